// The fixture for tests of whole forms and programs: the window fixture plus a fresh application
// object, and a recorder in place of launching browsers, programs, sounds and help.
#pragma once

#include "platform/app/Application.h"
#include "platform/app/SystemCalls.h"
#include "platform/testing/FormTesting.h"

#include <functional>
#include <vector>

namespace testing_support {

class TSystemCallRecorder : public TSystemCallHandler, public THelpViewer {
public:
    TSystemCallRecorder();
    ~TSystemCallRecorder() override;
    int Perform(const TSystemCall& Call) override;
    bool Help(const std::string& HelpFile, WORD Command, LPARAM Data) override;
    const std::vector<TSystemCall>& Calls() const { return FCalls; }
    // What Perform answers (default 33: a ShellExecute that worked).
    int Result = 33;

private:
    std::vector<TSystemCall> FCalls;
};

// Shows Target modally through Show (which is expected to show it modally), runs Inside while it
// is up and closes it if Inside did not. True when it was modal.
bool RunModal(TCustomForm* Target, const std::function<void()>& Show, const std::function<void()>& Inside);

class TAppTest : public TWindowTest {
public:
    TAppTest();
    ~TAppTest();
    TApplication* App = nullptr;
    TSystemCallRecorder Recorder;
};

} // namespace testing_support
