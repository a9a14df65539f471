// Pictures in the HTML view: a page of 200 small pictures (16 x 16 BMP files) loaded again while
// the image cache holds them all, against the first visit that decodes every one.
#include "html-engine/HtmlImageUtil.h"
#include "html-engine/HtmlViewCtl.h"
#include "platform/app/Application.h"
#include "platform/controls/Forms.h"
#include "platform/graphics/ImageCodecs.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace {

namespace fs = std::filesystem;

// A directory with Count pictures and the page that shows them all; removed afterwards.
class TPicturePage {
public:
    explicit TPicturePage(int Count)
    {
        std::string Pattern = (fs::temp_directory_path() / "tw-bench-XXXXXX").string();
        if (!mkdtemp(Pattern.data()))
            std::abort();
        FDir = Pattern;
        std::string Html = "<html><body><p>";
        for (int I = 0; I < Count; ++I) {
            TDibImage Image;
            Image.Width = Image.Height = 16;
            Image.Pixels.assign(256, 0xFF000000u | std::uint32_t(I * 0x010305));
            const std::string Name = "p" + std::to_string(I) + ".bmp";
            Write(Name, EncodeBmp(Image, 24));
            Html += "<img src=\"" + Name + "\"> ";
        }
        Write("page.htm", Html + "</p></body></html>");
    }
    ~TPicturePage()
    {
        std::error_code Ignored;
        fs::remove_all(FDir, Ignored);
    }
    std::string Page() const { return (fs::path(FDir) / "page.htm").string(); }

private:
    void Write(const std::string& Name, const std::string& Bytes)
    {
        std::ofstream(fs::path(FDir) / Name, std::ios::binary) << Bytes;
    }
    std::string FDir;
};

void WithPictureViewer(const std::function<void(THTMLViewer* Viewer)>& Body)
{
    HtmlImageInit();
    auto* Form = new TForm(nullptr);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(0, 0, 800, 600);
    auto* Viewer = new THTMLViewer(Form);
    Viewer->SetParent(Form);
    Viewer->SetBounds(0, 0, 800, 600);
    Viewer->SetViewImages(true);
    Form->Show();
    Application->ProcessMessages();
    Body(Viewer);
    Form->BeforeDestruction();
    delete Form;
    ImageCache->DropUnused();
}

// The revisit: every picture comes from the cache, nothing is decoded.
void BM_HtmlImagesRevisitFromCache(benchmark::State& State)
{
    const TPicturePage Site(int(State.range(0)));
    WithPictureViewer([&](THTMLViewer* Viewer) {
        Viewer->LoadFromFile(Site.Page());
        for (auto _ : State) {
            Viewer->LoadFromFile(Site.Page());
            Application->ProcessMessages(); // the paint of the first screen
        }
        State.counters["cached"] = ImageCache->Count();
    });
}
BENCHMARK(BM_HtmlImagesRevisitFromCache)->Arg(200)->Unit(benchmark::kMillisecond);

// The first visit: the cache is emptied before each load, so every picture is decoded.
void BM_HtmlImagesFirstVisit(benchmark::State& State)
{
    const TPicturePage Site(int(State.range(0)));
    WithPictureViewer([&](THTMLViewer* Viewer) {
        for (auto _ : State) {
            State.PauseTiming();
            Viewer->Clear();
            ImageCache->DropUnused();
            State.ResumeTiming();
            Viewer->LoadFromFile(Site.Page());
            Application->ProcessMessages();
        }
        State.counters["cached"] = ImageCache->Count();
    });
}
BENCHMARK(BM_HtmlImagesFirstVisit)->Arg(200)->Unit(benchmark::kMillisecond);

} // namespace
