// edit_test.cpp -- the EDIT control: typed text as Shift-JIS bytes, Backspace,
// and keys that reach only the focus window.
#include "window_fixture.h"

static std::string edit_text()
{
    char buf[256];
    int n = GetWindowTextA(test_edit, buf, sizeof buf);
    return std::string(buf, (size_t)n);
}

// Typed text and input-method commits are appended as Shift-JIS, Backspace
// takes a whole character, and setting the text replaces it without notifying.
TEST(EditQueue, TypedTextIsShiftJisAndBackspaceTakesAWholeCharacter)
{
    open_test_window();
    headless_type("Ab");
    headless_text(u8"あ漢"); // an input-method commit: text without key presses
    headless_key(VK_RETURN);
    pump();
    EXPECT_EQ(edit_text(), "Ab\x82\xA0\x8A\xBF\r\n");
    EXPECT_GE(count_of(WM_COMMAND), 1); // the parent hears of the change
    recorded.clear();
    SetWindowTextA(test_edit, "a");
    EXPECT_EQ(count_of(WM_COMMAND), 0);
    headless_text(u8"ソ"); // 0x83 0x5C: its second byte looks like a backslash
    headless_key(VK_BACK);
    pump();
    EXPECT_EQ(edit_text(), "a");
    headless_key(VK_BACK);
    headless_key(VK_BACK);
    pump();
    EXPECT_EQ(edit_text(), "");
    char small[3];
    SetWindowTextA(test_edit, "wxyz");
    EXPECT_EQ(GetWindowTextA(test_edit, small, sizeof small), 2);
    EXPECT_STREQ(small, "wx");
}

TEST(EditQueue, KeysReachOnlyTheFocusWindow)
{
    open_test_window();
    SetFocus(test_window);
    headless_type("x");
    pump();
    EXPECT_EQ(edit_text(), "");
    headless_key(VK_TAB); // keys that type a control character
    headless_key(VK_ESCAPE);
    pump();
    std::vector<WPARAM> chars;
    for (const Recorded& r : recorded)
        if (r.msg == WM_CHAR)
            chars.push_back(r.wparam);
    EXPECT_EQ(chars, (std::vector<WPARAM>{'x', '\t', 0x1B}));
    SetFocus(nullptr);
    headless_type("y");
    pump();
    EXPECT_EQ(count_of(WM_CHAR), 3);
}
