// Fixtures the control tests share: a form built in code, or one read from a description.
#pragma once

#include "platform/controls/Forms.h"
#include "platform/testing/FormTesting.h"
#include "platform/testing/WinTesting.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace controls_testing {

// A shown form the test fills in code. Forms the test opens besides go to Extra and are freed
// first, newest first.
class TBuiltFormTest : public ::testing::Test {
protected:
    explicit TBuiltFormTest(TColor AFormColor = clWhite) : FormColor(AFormColor) {}
    void SetUp() override
    {
        Form = new TForm(nullptr);
        Form->SetName("Form");
        Form->SetBounds(100, 100, 400, 300);
        Form->SetColor(FormColor);
        Form->Show();
        testing_support::ProcessMessages();
    }
    void TearDown() override
    {
        for (auto It = Extra.rbegin(); It != Extra.rend(); ++It) {
            (*It)->BeforeDestruction();
            delete *It;
        }
        Form->BeforeDestruction();
        delete Form;
    }
    template <class T>
    T* Add(const std::string& Name, int L, int T_, int W, int H, TWinControl* Parent = nullptr)
    {
        T* C = new T(Form);
        C->SetName(Name);
        C->SetBounds(L, T_, W, H);
        C->SetParent(Parent ? Parent : Form);
        return C;
    }
    TColor Pixel(TControl* C, int X, int Y)
    {
        testing_support::ProcessMessages();
        auto Shot = testing_support::RenderControl(C);
        return testing_support::PixelAt(Shot.get(), X, Y);
    }
    TColor FormColor;
    testing_support::TWindowTest Fixture;
    TForm* Form = nullptr;
    std::vector<TForm*> Extra;
};

// A form read from a description (the body between "object Form1: TForm" and its "end"), shown.
class TLoadedFormTest : public ::testing::Test {
protected:
    explicit TLoadedFormTest(int AFormWidth = 400, int AFormHeight = 300)
        : FormWidth(AFormWidth), FormHeight(AFormHeight)
    {
    }
    void TearDown() override
    {
        if (Form) {
            Form->BeforeDestruction();
            delete Form;
        }
    }
    void Load(const std::string& Body)
    {
        Form = testing_support::CreateFormFromText<TForm>(
            nullptr,
            "object Form1: TForm\n  Left = 100\n  Top = 100\n  Width = " + std::to_string(FormWidth) +
                "\n  Height = " + std::to_string(FormHeight) + "\n" + Body + "end\n");
        Form->Show();
        testing_support::ProcessMessages();
    }
    template <class T> T* Find(const std::string& Name)
    {
        return dynamic_cast<T*>(Form->FindComponent(Name));
    }
    int FormWidth;
    int FormHeight;
    testing_support::TWindowTest Fixture;
    TForm* Form = nullptr;
};

} // namespace controls_testing
