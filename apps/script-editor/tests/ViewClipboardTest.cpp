#include "apps/script-editor/tests/WendleProgramTest.h"
#include "apps/script-editor/view.h"
#include "platform/app/Clipbrd.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

class ViewClipboardTest : public WendleProgramTest {};

// Edit > View Clipboard shows the window modally with what the clipboard holds at that moment,
// also when another program put it there; its OK button closes it.
TEST_F(ViewClipboardTest, TheMenuShowsTheClipboardModallyAndOkClosesIt)
{
    SetClipboardTextFromOutside("from elsewhere\r\nline two");
    ProcessMessages();
    EXPECT_TRUE(RunModal(
        viewclip, [&] { Fire("ViewClipboard1"); },
        [&] {
            auto* Shown = dynamic_cast<TMemo*>(viewclip->ClipboardViewer1->View());
            ASSERT_NE(Shown, nullptr);
            EXPECT_EQ(Shown->Text(), "from elsewhere\r\nline two");
            Fire("Button1", viewclip);
        }));

    // A document's copy shows at the next showing.
    TMDIChild* Child = Document("Untitled", "copied text");
    Child->ColorMemo1->SelectAll();
    Fire("CopyItem");
    EXPECT_TRUE(RunModal(
        viewclip, [&] { Fire("ViewClipboard1"); },
        [&] {
            auto* Shown = dynamic_cast<TMemo*>(viewclip->ClipboardViewer1->View());
            ASSERT_NE(Shown, nullptr);
            EXPECT_EQ(Shown->Text(), "copied text");
        }));
}

} // namespace
