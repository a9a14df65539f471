#include "platform/testing/AppTesting.h"

#include "platform/win/WinUser.h"

#include <gtest/gtest.h>

namespace testing_support {

bool RunModal(TCustomForm* Target, const std::function<void()>& Show, const std::function<void()>& Inside)
{
    bool Done = false, WasModal = false;
    SetWaitHandler([&] {
        if (!Done) {
            Done = true;
            WasModal = Target->Visible() && Target->FormState.Contains(fsModal);
            Inside();
        } else if (Target->Visible())
            PostMessage(Target->Handle(), WM_CLOSE, 0, 0);
        return true;
    });
    Show();
    SetWaitHandler(nullptr);
    EXPECT_FALSE(Target->Visible()) << Target->Name();
    return WasModal;
}

TSystemCallRecorder::TSystemCallRecorder()
{
    SetSystemCallHandler(this);
    SetHelpViewer(this);
}

TSystemCallRecorder::~TSystemCallRecorder()
{
    SetSystemCallHandler(nullptr);
    SetHelpViewer(nullptr);
}

int TSystemCallRecorder::Perform(const TSystemCall& Call)
{
    FCalls.push_back(Call);
    return Result;
}

bool TSystemCallRecorder::Help(const std::string& HelpFile, WORD Command, LPARAM Data)
{
    TSystemCall Call;
    Call.Kind = TSystemCall::Help;
    Call.File = HelpFile;
    Call.Operation = std::to_string(Command);
    Call.Flags = static_cast<UINT>(Data);
    FCalls.push_back(Call);
    return true;
}

TAppTest::TAppTest()
{
    // Each test gets an application object of its own.
    delete Application;
    App = new TApplication(nullptr);
    Application = App;
}

TAppTest::~TAppTest()
{
    delete App;
    App = nullptr;
}

} // namespace testing_support
