#include "platform/testing/ModalTesting.h"

#include "platform/controls/Forms.h"
#include "platform/win/WinUser.h"

namespace testing_support {

int RunModalSteps(const std::function<void()>& Open, const std::vector<std::function<void()>>& Steps)
{
    std::size_t Next = 0;
    SetWaitHandler([&] {
        if (Next < Steps.size()) {
            // Counted before it runs: a step that opens a nested loop is waited in again.
            Steps[Next++]();
            return true;
        }
        TCustomForm* Form = Screen->ActiveForm();
        if (Form && Form->Visible() && Form->FormState.Contains(fsModal)) {
            PostMessage(Form->Handle(), WM_CLOSE, 0, 0);
            return true;
        }
        return false;
    });
    struct TReset {
        ~TReset() { SetWaitHandler(nullptr); }
    } Reset;
    Open();
    return static_cast<int>(Next);
}

} // namespace testing_support
