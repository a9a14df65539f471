// Renders an HTML file with the view control, offscreen, and writes what it shows as a PNG:
//   render_html page.html out.png [width [height]]
// Without a height the view is made tall enough for the whole document (at most 16000 pixels).
// A .txt file is shown as plain text, a picture file as a one-image page.
//   render_html --print page.html out.png [width [height]]
// draws the page as it goes to paper instead: off the screen, form controls painting their own
// look rather than showing their windows.
//   render_html --show page.html [width height]
// shows the page in a window on the display instead, to click links and select text by hand;
// the caption names the link under the pointer.
#include "html-engine/HtmlImageUtil.h"
#include "html-engine/HtmlViewCtl.h"
#include "platform/app/AppMain.h"
#include "platform/app/Application.h"
#include "html-engine/HtmlModel.h"
#include "platform/controls/Forms.h"
#include "platform/graphics/Graphics.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/WinTesting.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

std::uint32_t Crc32(const std::string& Data, std::size_t From)
{
    static const std::array<std::uint32_t, 256> Table = [] {
        std::array<std::uint32_t, 256> T{};
        for (std::uint32_t N = 0; N < 256; ++N) {
            std::uint32_t C = N;
            for (int K = 0; K < 8; ++K)
                C = (C & 1) ? 0xEDB88320u ^ (C >> 1) : C >> 1;
            T[N] = C;
        }
        return T;
    }();
    std::uint32_t C = 0xFFFFFFFFu;
    for (std::size_t I = From; I < Data.size(); ++I)
        C = Table[(C ^ static_cast<std::uint8_t>(Data[I])) & 0xFF] ^ (C >> 8);
    return C ^ 0xFFFFFFFFu;
}

void Put32(std::string& S, std::uint32_t V)
{
    for (int Shift = 24; Shift >= 0; Shift -= 8)
        S += static_cast<char>((V >> Shift) & 0xFF);
}

void Chunk(std::string& Png, const char* Type, const std::string& Data)
{
    Put32(Png, static_cast<std::uint32_t>(Data.size()));
    const std::size_t Start = Png.size();
    Png += Type;
    Png += Data;
    Put32(Png, Crc32(Png, Start));
}

// An RGB PNG with uncompressed deflate blocks: no compression library needed for a dev tool.
std::string EncodePng(const TDibImage& Image)
{
    std::string Raw;
    Raw.reserve(static_cast<std::size_t>(Image.Height) * (Image.Width * 3 + 1));
    for (int Y = 0; Y < Image.Height; ++Y) {
        Raw += '\0';
        for (int X = 0; X < Image.Width; ++X) {
            const std::uint32_t P = Image.Pixels[static_cast<std::size_t>(Y) * Image.Width + X];
            Raw += static_cast<char>((P >> 16) & 0xFF);
            Raw += static_cast<char>((P >> 8) & 0xFF);
            Raw += static_cast<char>(P & 0xFF);
        }
    }
    std::string Z = "\x78\x01";
    std::size_t Pos = 0;
    do {
        const std::size_t N = std::min<std::size_t>(65535, Raw.size() - Pos);
        Z += static_cast<char>(Pos + N == Raw.size() ? 1 : 0);
        Z += static_cast<char>(N & 0xFF);
        Z += static_cast<char>(N >> 8);
        Z += static_cast<char>(~N & 0xFF);
        Z += static_cast<char>((~N >> 8) & 0xFF);
        Z.append(Raw, Pos, N);
        Pos += N;
    } while (Pos < Raw.size());
    std::uint32_t A = 1, B = 0;
    for (unsigned char C : Raw) {
        A = (A + C) % 65521;
        B = (B + A) % 65521;
    }
    Put32(Z, (B << 16) | A);

    std::string Png = "\x89PNG\r\n\x1a\n";
    std::string Header;
    Put32(Header, static_cast<std::uint32_t>(Image.Width));
    Put32(Header, static_cast<std::uint32_t>(Image.Height));
    Header += std::string("\x08\x02\x00\x00\x00", 5);
    Chunk(Png, "IHDR", Header);
    Chunk(Png, "IDAT", Z);
    Chunk(Png, "IEND", "");
    return Png;
}

// Loads the input by its kind; false (reported) when it cannot be loaded.
bool LoadInput(THTMLViewer* Viewer, const std::string& Input)
{
    try {
        const std::string Ext = UpperCase(ExtractFileExt(Input));
        if (Ext == ".TXT")
            Viewer->LoadPlainTextFile(ExpandFileName(Input));
        else if (Ext == ".GIF" || Ext == ".BMP" || Ext == ".PNG" || Ext == ".JPG" || Ext == ".JPEG")
            Viewer->LoadPictureFile(ExpandFileName(Input));
        else
            Viewer->LoadFromFile(ExpandFileName(Input));
    } catch (const Exception& E) {
        std::fprintf(stderr, "%s\n", E.Message().c_str());
        return false;
    }
    return true;
}

// The view's page drawn on a bitmap of the view's size, as a printer would get it.
TDibImage PrintedImage(THTMLViewer* Viewer)
{
    TSectionList* Doc = Viewer->SectionList();
    TBitmap Page;
    Page.SetWidth(Viewer->Width());
    Page.SetHeight(Viewer->Height());
    TCanvas* C = Page.Canvas();
    C->Brush()->SetColor(Doc->Background | clPaletteRelative);
    C->FillRect(Rect(0, 0, Viewer->Width(), Viewer->Height()));
    Doc->Printing = true;
    Doc->Draw(C, Rect(10, 1, Viewer->Width(), Viewer->Height()), 0, 10, Viewer->Width());
    Doc->Printing = false;
    return Page.ToDibImage();
}

int Show(const std::string& Input, int Width, int Height)
{
    HtmlImageInit();
    auto* Form = new TForm(Application);
    Application->SetMainForm(Form);
    Form->SetBounds(0, 0, Width, Height);
    auto* Viewer = new THTMLViewer(Form);
    Viewer->SetParent(Form);
    Viewer->SetAlign(alClient);
    Viewer->SetDefBackground(clWhite);
    Viewer->SetViewImages(true);
    Viewer->SetHistoryMaxCount(20);
    auto Caption = [Form, Viewer](const std::string& Link) {
        Form->SetCaption(Link.empty() ? "render_html: " + Viewer->GetDocumentTitle()
                                      : "render_html: " + Link);
    };
    Viewer->OnHotSpotCovered = [Caption](TObject*, const std::string& URL) { Caption(URL); };
    Viewer->OnHistoryChange = [Caption](TObject*) { Caption(std::string()); };
    LoadInput(Viewer, Input);
    Caption(std::string());
    Application->Run();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::string(argv[1]) == "--show") {
        const int Width = argc > 3 ? std::max(40, std::atoi(argv[3])) : 800;
        const int Height = argc > 4 ? std::max(40, std::atoi(argv[4])) : 600;
        const std::string Input = argv[2];
        return RunProgram(argc, argv, [&] { return Show(Input, Width, Height); });
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s page.html out.png [width [height]]\n", argv[0]);
        std::fprintf(stderr, "       %s --show page.html [width height]\n", argv[0]);
        std::fprintf(stderr, "       %s --print page.html out.png [width [height]]\n", argv[0]);
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const bool Print = std::string(argv[1]) == "--print";
    if (Print && argc < 4) {
        std::fprintf(stderr, "usage: %s --print page.html out.png [width [height]]\n", argv[0]);
        return 2;
    }
    const int First = Print ? 2 : 1;
    const std::string Input = argv[First], Output = argv[First + 1];
    const int Width = argc > First + 2 ? std::max(40, std::atoi(argv[First + 2])) : 800;
    const int FixedHeight = argc > First + 3 ? std::max(40, std::atoi(argv[First + 3])) : 0;
    return RunProgram(argc, argv, [&]() -> int {
        HtmlImageInit();
        auto* Form = new TForm(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, Width, FixedHeight ? FixedHeight : 600);
        auto* Viewer = new THTMLViewer(Form);
        Viewer->SetParent(Form);
        Viewer->SetBounds(0, 0, Width, FixedHeight ? FixedHeight : 600);
        Viewer->SetDefBackground(clWhite);
        Viewer->SetViewImages(true);
        Form->Show();
        int Result = LoadInput(Viewer, Input) ? 0 : 1;
        if (!FixedHeight) {
            const int H = std::min(16000, Viewer->DocHeight() + 40);
            Form->SetBounds(0, 0, Width, H);
            Viewer->SetBounds(0, 0, Width, H);
        }
        ProcessPendingMessages();
        const TDibImage Image = Print ? PrintedImage(Viewer) : CaptureWindowImage(Viewer->Handle());
        std::ofstream Out(Output, std::ios::binary | std::ios::trunc);
        const std::string Png = EncodePng(Image);
        Out.write(Png.data(), static_cast<std::streamsize>(Png.size()));
        if (!Out) {
            std::fprintf(stderr, "cannot write %s\n", Output.c_str());
            Result = 1;
        }
        std::printf("%s: %dx%d, document %d high, widest line %d\n", Output.c_str(), Image.Width,
                    Image.Height, Viewer->DocHeight(), Viewer->MaxWidth());
        Form->BeforeDestruction();
        delete Form;
        return Result;
    });
}
