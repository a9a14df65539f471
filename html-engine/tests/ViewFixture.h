// A view on a shown form: 400 x 300 on a white page, for the tests that drive the view.
#pragma once

#include "html-engine/HtmlViewCtl.h"
#include "platform/controls/Forms.h"
#include "platform/testing/FormTesting.h"
#include "platform/win/WinTesting.h"

#include <gtest/gtest.h>

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

    TForm* Form = nullptr;
    THTMLViewer* Viewer = nullptr;
};
