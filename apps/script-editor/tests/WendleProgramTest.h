// The script editor as it starts, for tests of its commands: the unit start-ups, the program's
// forms with the frame shown and active, a fresh home and settings directory, answers for
// dialogs and a recorder in place of starting browsers and programs (RunModal of AppTesting.h
// drives the modal dialogs).
#pragma once

#include "apps/script-editor/Childwin.h"
#include "apps/script-editor/Main.h"
#include "apps/script-editor/WendleStartup.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/AppTesting.h"
#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace testing_support {

class WendleProgramTest : public ::testing::Test {
protected:
    WendleProgramTest()
    {
        SetProgramName("wendle");
        RunUnitStartups();
        CreateProgramForms();
        Frame = MainForm;
        Frame->Show();
        ProcessMessages();
    }

    // A document window captioned Caption (a full path or "Untitled") holding Text; it becomes
    // the active one. Nothing is read from or written to the file.
    TMDIChild* Document(const std::string& Caption, const std::string& Text)
    {
        TMDIChild* Child = Frame->NewChildWindow(Caption);
        Child->ColorMemo1->SetText(Text);
        Child->ColorMemo1->SetModified(false);
        ProcessMessages();
        return Child;
    }
    // Closes every document window without questions.
    void CloseDocuments()
    {
        while (TMDIChild* Child = Frame->ActiveDocument()) {
            Child->ColorMemo1->SetModified(false);
            Child->Close();
            ProcessMessages();
        }
    }

    // The component Name of Owner (the frame by default), of class T.
    template <typename T> T* Get(const std::string& Name, TComponent* Owner = nullptr)
    {
        auto* C = dynamic_cast<T*>((Owner ? Owner : Frame)->FindComponent(Name));
        EXPECT_TRUE(C) << Name;
        return C;
    }
    // Fires the OnClick that its form's description binds to the menu item or control Name.
    void Fire(const std::string& Name, TComponent* Owner = nullptr)
    {
        TComponent* C = (Owner ? Owner : Frame)->FindComponent(Name);
        ASSERT_TRUE(C) << Name;
        TNotifyEvent Event;
        if (auto* Item = dynamic_cast<TMenuItem*>(C))
            Event = Item->OnClick;
        else if (auto* Control = dynamic_cast<TControl*>(C))
            Event = Control->OnClick;
        ASSERT_TRUE(Event) << Name << " has no OnClick";
        Event(C);
        ProcessMessages();
    }

    TAppTest Fixture;
    TMainForm* Frame = nullptr;
};

} // namespace testing_support
