#include "apps/html-editor/Unit4.h"

#include "apps/html-editor/About.h"
#include "apps/html-editor/Unit1.h"
#include "apps/html-editor/Unit3.h"
#include "apps/html-editor/Unit9.h"
#include "platform/classes/TypInfo.h"

#include <string>

TForm4* Form4 = nullptr;

// Loaded afresh at every activation, so a page edited meanwhile shows as it is now. With no file
// chosen in the find window there is nothing to show and the window stays as it was.
void TForm4::FormActivate(TObject*)
{
    const std::string File = Form3->FileListBox1->FileName();
    if (File.empty())
        return;
    Viewer->LoadFromFile(File);
    SetCaption(Viewer->GetDocumentTitle());
}

// The page replaces the document pane's text; a page that cannot be read is reported by the
// load and leaves the pane and both windows as they were.
void TForm4::Open1Click(TObject*)
{
    const std::string File = Form3->FileListBox1->FileName();
    if (!File.empty())
        Form1->main->Lines()->LoadFromFile(File);
    Close();
    Form3->Close();
}

void TForm4::Exit1Click(TObject*)
{
    Close();
}

void TForm4::AboutTamselPro1Click(TObject*)
{
    about->ShowModal();
}

void TForm4::AboutHTMLViewer1Click(TObject*)
{
    Form9->ShowModal();
}

TW_PUBLISH(TForm4, TForm)
{
    Cls.Field("Viewer", &TForm4::Viewer);
    Cls.Field("MainMenu1", &TForm4::MainMenu1);
    Cls.Handler("FormActivate", &TForm4::FormActivate);
    Cls.Handler("Open1Click", &TForm4::Open1Click);
    Cls.Handler("Exit1Click", &TForm4::Exit1Click);
    Cls.Handler("AboutTamselPro1Click", &TForm4::AboutTamselPro1Click);
    Cls.Handler("AboutHTMLViewer1Click", &TForm4::AboutHTMLViewer1Click);
}
