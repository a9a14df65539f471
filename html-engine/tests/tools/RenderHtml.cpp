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
#include "html-engine/HtmlModel.h"
#include "html-engine/HtmlViewCtl.h"
#include "platform/app/AppMain.h"
#include "platform/app/Application.h"
#include "platform/controls/Forms.h"
#include "platform/graphics/PngWriter.h"
#include "platform/graphics/Graphics.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/WinTesting.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

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
        try {
            const std::string Png = EncodePng(Image);
            std::ofstream Out(Output, std::ios::binary | std::ios::trunc);
            Out.write(Png.data(), static_cast<std::streamsize>(Png.size()));
            if (!Out) {
                std::fprintf(stderr, "cannot write %s\n", Output.c_str());
                Result = 1;
            }
        } catch (const EInvalidGraphic& E) {
            std::fprintf(stderr, "nothing to write to %s: %s\n", Output.c_str(), E.Message().c_str());
            Result = 1;
        }
        std::printf("%s: %dx%d, document %d high, widest line %d\n", Output.c_str(), Image.Width,
                    Image.Height, Viewer->DocHeight(), Viewer->MaxWidth());
        Form->BeforeDestruction();
        delete Form;
        return Result;
    });
}
