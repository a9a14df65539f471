// A view on a shown form: 400 x 300 on a white page, for the tests that drive the view.
#pragma once

#include "html-engine/HtmlViewCtl.h"
#include "platform/controls/Forms.h"
#include "platform/testing/FormTesting.h"
#include "platform/testing/TestSupport.h"
#include "platform/testing/WinTesting.h"

#include <gtest/gtest.h>

#include <string>

// A page titled "Long" of N numbered paragraphs, with an anchor "mark" before paragraph Anchor.
inline std::string LongPage(int N, int Anchor = -1)
{
    std::string S = "<html><head><title>Long</title></head><body>";
    for (int I = 0; I < N; ++I) {
        if (I == Anchor)
            S += "<a name=\"mark\"></a>";
        S += "<p>Paragraph number " + std::to_string(I) + " of the long page.";
    }
    return S + "</body></html>";
}

class ViewFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 420, 320);
        Viewer = new THTMLViewer(Form);
        Viewer->SetParent(Form);
        Viewer->SetBounds(0, 0, 400, 300);
        Viewer->SetDefBackground(clWhite);
        Form->Show();
        testing_support::ProcessMessages();
    }
    void TearDown() override
    {
        Form->BeforeDestruction();
        delete Form;
        ResetWindowModel();
    }

    // Shows Html as a page of no file.
    void LoadString(const std::string& Html)
    {
        Viewer->LoadFromMemory(Html.data(), Html.size());
        testing_support::ProcessMessages();
    }
    // A file of Bytes in the test's home; answers its path.
    std::string WriteFile(const std::string& Name, const std::string& Bytes)
    {
        const std::string Path = testing_support::HomeDir() + "/" + Name;
        testing_support::WriteFileBytes(Path, Bytes);
        return Path;
    }
    void Focus()
    {
        Viewer->SetFocus();
        testing_support::ProcessMessages();
    }

    TForm* Form = nullptr;
    THTMLViewer* Viewer = nullptr;
};
