// The widgets under scripted input: text editing keys, scrolled fields and fast typing; spinner clamping, bad numbers,
// arrow repeat and wheel; scroll bar positions and empty ranges; list box selection, wheel and separators; combo box
// picks, its list above other windows, and a combo freed while open; check box toggles. Tests toolkit_widgets.cpp
// and toolkit_lists.cpp.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/graphics.h"
#include "platform/input.h"
#include "toolkit_helpers.h"

namespace {

constexpr int kWinX = 100, kWinY = 80;
constexpr int kOx = kWinX, kOy = kWinY + 21; // the window's client origin

std::shared_ptr<PNO_Window> Win() { return PNO_Window::Create(u"Widgets", kWinX, kWinY, 600, 450, 0, 0, 0, kWindowFramed); }

// Script lines in client coordinates of the test window.
std::string At(int frame, const char* verb, int x, int y) {
    return std::to_string(frame) + " " + verb + " " + std::to_string(kOx + x) + " " + std::to_string(kOy + y) + "\n";
}
std::string Click(int frame, int x, int y) { return At(frame, "click 1", x, y); }
std::string Key(int frame, int vk) { return std::to_string(frame) + " key " + std::to_string(vk) + " press\n"; }
std::string Type(int frame, const std::string& text) { return std::to_string(frame) + " text " + text + "\n"; }

TEST(ToolkitInput, EditingKeysMaxLengthAndTheAllowedSet) {
    ToolkitTest_Open();
    auto win = Win();
    auto in = PNO_Input::Create(win, u"hello", 10, 10, 20, 8);
    const int cw = in->CharWidth;
    std::string s = Click(2, 10 + 2 + 2 * cw + 1, 15); // between "he" and "llo"
    s += Type(5, "X");
    s += Key(7, VK::HOME) + Key(9, VK::BACK) + Key(11, VK::DELETE_); // nothing left of 0; then "h" goes
    s += Key(13, VK::END) + Type(15, "ab_\\c");                      // "_" is allowed; "\" is not; 8 at most
    s += Key(18, VK::LEFT) + Key(20, VK::LEFT) + Key(22, VK::BACK);
    ToolkitTest_Script(s);
    ToolkitTest_Frames(4);
    EXPECT_EQ(in->State, 1);
    EXPECT_EQ(in->CaretIndex, 2);
    ToolkitTest_Frames(2);
    EXPECT_EQ(in->GetText(), u"heXllo");
    ToolkitTest_Frames(6);
    EXPECT_EQ(in->GetText(), u"eXllo");
    EXPECT_EQ(in->CaretIndex, 0);
    EXPECT_EQ(in->CaretX, 0);
    ToolkitTest_Frames(4);
    EXPECT_EQ(in->GetText(), u"eXlloab_"); // the eighth character fills it; "\" and "c" find no room
    ToolkitTest_Frames(9);
    EXPECT_EQ(in->GetText(), u"eXllob_");
    EXPECT_EQ(in->CaretIndex, 5);
    EXPECT_EQ(in->CaretX, 5 * cw);
    win->Free();
}

TEST(ToolkitInput, ScrolledFieldsFastTypingAndShorterTexts) {
    ToolkitTest_Open();
    auto win = Win();
    auto other = PNO_Input::Create(win, u"", 10, 60, 5, 40); // updated first: it takes Enter's hit
    auto in = PNO_Input::Create(win, u"abcdefghij", 10, 10, 5, 40);
    const int cw = in->CharWidth;
    std::string s = Click(2, 13, 15) + Key(4, VK::END);
    s += Click(7, 10 + 2 + cw + 2, 15) + Type(9, "Z"); // the second visible cell of the scrolled field
    ToolkitTest_Script(s);
    ToolkitTest_Frames(6);
    EXPECT_EQ(in->CaretIndex, 10);
    EXPECT_EQ(in->ScrollOffset, 5);
    EXPECT_EQ(in->CaretX, 5 * cw);
    ToolkitTest_Frames(4);
    EXPECT_EQ(in->GetText(), u"abcdefZghij"); // typed where the caret was shown
    EXPECT_EQ(in->CaretX, 2 * cw);

    // Backspace held from the end back past the start: the caret never leaves the box.
    ToolkitTest_Script("1 key 35 press\n3 key 8 down\n100 key 8 up\n");
    for (int f = 0; f < 104; ++f) {
        ToolkitTest_Frame();
        ASSERT_GE(in->CaretX, 0);
        ASSERT_LE(in->CaretX, 5 * cw);
        ASSERT_EQ(in->CaretX, (in->CaretIndex - in->ScrollOffset) * cw);
    }
    EXPECT_EQ(in->GetText(), u"");
    EXPECT_EQ(in->CaretIndex, 0);

    // Three characters inside one frame are all kept.
    ToolkitTest_Script(Type(2, "123"));
    ToolkitTest_Frames(3);
    EXPECT_EQ(in->GetText(), u"123");
    // A shorter text under the caret, then Delete, Backspace and typing.
    in->SetText(u"x");
    ToolkitTest_Script(Key(2, VK::DELETE_) + Key(4, VK::BACK) + Type(6, "y"));
    ToolkitTest_Frames(8);
    EXPECT_EQ(in->GetText(), u"y");
    EXPECT_EQ(in->CaretIndex, 1);

    // Enter leaves editing even though the other input took the Enter hit before it; a long text shows its start.
    in->SetText(u"0123456789");
    ToolkitTest_Script(Key(2, VK::END) + Key(4, VK::RETURN));
    ToolkitTest_Frames(3);
    EXPECT_EQ(in->ScrollOffset, 5);
    ToolkitTest_Frames(3);
    EXPECT_EQ(in->State, 0);
    EXPECT_EQ(other->State, 0);
    EXPECT_EQ(in->ScrollOffset, 0);
    win->Free();
}

TEST(ToolkitValue, ClampsBadNumbersArrowsAndWheel) {
    ToolkitTest_Open();
    auto win = Win();
    auto v = PNO_Value::Create(win, u"Width:", 100, 10, 4, 5, 1, 1, 10, 1);
    const struct {
        const char* typed;
        float want;
    } cases[] = {{"100", 10}, {"abc", 1}, {"nan", 1}, {"inf", 1}, {"1e999", 1}, {"-0", 1}, {"7.9", 7}};
    for (const auto& c : cases) {
        // Select the field, empty it, type, click elsewhere.
        std::string s = Click(2, 103, 15) + Key(4, VK::END);
        for (int i = 0; i < 6; ++i)
            s += Key(6 + 2 * i, VK::BACK);
        s += Type(20, c.typed) + Click(22, 400, 300);
        ToolkitTest_Script(s);
        ToolkitTest_Frames(21);
        EXPECT_EQ(v->GetValue(), Paneo_ParseNumber(S(c.typed))); // raw while editing
        ToolkitTest_Frames(4);
        EXPECT_EQ(v->Value, c.want) << c.typed;
        EXPECT_EQ(v->Field->GetText(), Str_FromInt(int(c.want))) << c.typed;
        EXPECT_TRUE(std::isfinite(v->GetValue()));
    }
    v->SetValue(1000);
    EXPECT_EQ(v->Field->GetText(), u"10");
    EXPECT_EQ(v->GetValue(), 10.0f);
    v->SetValue(1);
    ToolkitTest_Frame();

    // The up arrow held for one second from a settled state: a step at once, then every 150 ms.
    const int ux = 100 + v->W + 8, uy = 12;
    ToolkitTest_Script(At(2, "mouse", ux, uy) + "2 down 1\n64 up 1\n");
    ToolkitTest_Frames(66);
    EXPECT_GE(v->Value, 7.0f);
    EXPECT_LE(v->Value, 9.0f);
    ToolkitTest_Script(At(2, "mouse", ux, uy) + "2 down 1\n200 up 1\n");
    ToolkitTest_Frames(202);
    EXPECT_EQ(v->Value, 10.0f); // stops at the maximum

    // The wheel over the field steps once per notch; over the caption it does nothing.
    ToolkitTest_Script(At(2, "mouse", 105, 15) + "3 wheel 1\n6 wheel 1\n" + At(8, "mouse", 70, 15) + "9 wheel 1\n");
    ToolkitTest_Frames(12);
    EXPECT_EQ(v->Value, 8.0f);

    // A spinner whose field was freed answers without it.
    v->Free();
    EXPECT_EQ(v->GetValue(), v->Value);
    win->Free();
}

TEST(ToolkitScrollbar, PositionsEmptyRangesAndTruncation) {
    ToolkitTest_Open();
    auto win = Win();
    auto bar = PNO_Scrollbar::Create(win, u"", 10, 10, 200, 16, 0, 0, 255, 10, 0, 1);
    EXPECT_EQ(bar->ThumbSize, 50);
    for (const auto& [x, want] : {std::pair{25, 0.0f}, {175, 255.0f}, {190, 255.0f}}) {
        ToolkitTest_Script(At(2, "mouse", 10 + x, 18) + "2 down 1\n4 up 1\n");
        ToolkitTest_Frames(5);
        EXPECT_EQ(bar->Value, want) << x;
    }
    EXPECT_EQ(bar->ThumbPos, 175.0f);
    // A press begun outside and dragged in does not move the thumb.
    bar->SetValue(100);
    ToolkitTest_Script(At(2, "mouse", 100, 100) + "2 down 1\n" + At(3, "mouse", 60, 18) + "5 up 1\n");
    ToolkitTest_Frames(6);
    EXPECT_EQ(bar->Value, 100.0f);
    bar->SetValue(12.9f);
    EXPECT_EQ(bar->Value, 12.0f);
    bar->SetMin(-10);
    bar->SetValue(-3.7f);
    EXPECT_EQ(bar->Value, -3.0f);

    // An empty range and a bar no longer than its thumb: press, drag and wheel leave the minimum, no NaN.
    auto flat = PNO_Scrollbar::Create(win, u"", 10, 60, 200, 16, 1, 1, 1, 1, 0, 1);
    auto tiny = PNO_Scrollbar::Create(win, u"", 10, 100, 16, 2, 3, 3, 9, 1, 1, 1);
    tiny->ThumbSize = 16;
    ToolkitTest_Script(At(2, "mouse", 50, 68) + "2 down 1\n" + At(4, "mouse", 150, 68) + "5 wheel -1\n6 up 1\n" +
                       At(8, "mouse", 15, 100) + "8 down 1\n9 wheel 2\n10 up 1\n");
    for (int f = 0; f < 12; ++f) {
        ToolkitTest_Frame();
        ASSERT_TRUE(std::isfinite(flat->Value) && std::isfinite(flat->ThumbPos));
        ASSERT_TRUE(std::isfinite(tiny->Value) && std::isfinite(tiny->ThumbPos));
    }
    EXPECT_EQ(flat->Value, 1.0f);
    EXPECT_EQ(tiny->Value, 3.0f);
    win->Free();
}

TEST(ToolkitListBox, SelectionScrollingSeparatorsAndWheel) {
    ToolkitTest_Open();
    auto win = Win();
    auto small = PNO_ListBox::Create(win, 10, 10, 40, 3);
    EXPECT_EQ(small->W, 49); // widened to 65, less the bar
    EXPECT_EQ(small->H, 5 * Paneo_FontHeight + 1);
    small->Free();
    auto list = PNO_ListBox::Create(win, 10, 10, 300, 14);
    const int L = Paneo_FontHeight;
    for (int i = 1; i <= 30; ++i)
        list->AddItem(i == 3 ? u"[]" : u"entry " + Str_FromInt(i), u"");
    list->AddItem(u"entry 1", u""); // a twin
    ToolkitTest_Frame();
    EXPECT_EQ(list->VBar->MaxValue, 31 + 1 - 14);
    // Press on row 1 and drag down over rows 2 and 4: selection follows the mouse.
    ToolkitTest_Script(At(2, "mouse", 20, 10 + L / 2) + "2 down 1\n" + At(4, "mouse", 20, 10 + L + L / 2) +
                       At(6, "mouse", 20, 10 + 3 * L + L / 2) + "8 up 1\n");
    ToolkitTest_Frames(5);
    EXPECT_EQ(list->SelectedText, u"entry 2");
    ToolkitTest_Frames(5);
    EXPECT_EQ(list->SelectedText, u"entry 4");
    EXPECT_EQ(list->SelectedIndex, 4);
    // A press on the separator: nothing selected, the text stays.
    ToolkitTest_Script(Click(2, 20, 10 + 2 * L + L / 2));
    ToolkitTest_Frames(4);
    EXPECT_EQ(list->SelectedText, u"entry 4");
    for (const auto& it : list->Items)
        EXPECT_EQ(it.Selected, 0);
    // A press outside that moves in selects nothing.
    ToolkitTest_Script(At(2, "mouse", 400, 300) + "2 down 1\n" + At(3, "mouse", 20, 10 + L / 2) + "5 up 1\n");
    ToolkitTest_Frames(6);
    EXPECT_EQ(list->SelectedText, u"entry 4");
    // Two notches down over the list scroll two rows.
    ToolkitTest_Script(At(2, "mouse", 20, 20) + "3 wheel -2\n");
    ToolkitTest_Frames(5);
    EXPECT_EQ(list->VBar->Value, 2.0f);
    list->SelectByText(u"ENTRY 1");
    EXPECT_EQ(list->Items.front().Selected, 1);
    EXPECT_EQ(list->Items.back().Selected, 1);
    // Adding goes back to the first entry.
    list->AddItem(u"late", u"");
    EXPECT_EQ(list->VBar->Value, 1.0f);

    // A short list: its bars have empty ranges; pressing and dragging them keeps the list drawn and selectable.
    list->Clear();
    list->AddItem(u"only", u"");
    ToolkitTest_Script(At(2, "mouse", 10 + list->W + 5, 30) + "2 down 1\n" + At(4, "mouse", 10 + list->W + 5, 90) +
                       "5 up 1\n" + At(7, "mouse", 30, 10 + list->H + 8) + "7 down 1\n" +
                       At(8, "mouse", 200, 10 + list->H + 8) + "9 up 1\n" + Click(11, 20, 10 + L / 2));
    ToolkitTest_Frames(14);
    EXPECT_EQ(list->VBar->Value, 1.0f);
    EXPECT_TRUE(std::isfinite(list->HBar->Value));
    EXPECT_EQ(list->SelectedText, u"only");
    win->Free();
}

TEST(ToolkitCombo, PicksTheListOverOtherWindowsAndFreeWhileOpen) {
    ToolkitTest_Open();
    auto back = Win();
    auto combo = PNO_Combo::Create(back, 10, 10, 200);
    for (const char16_t* t : {u"Gems", u"Fruit", u"Runes"})
        combo->AddItem(t, u"");
    EXPECT_EQ(combo->SelectedText, u"Runes");
    EXPECT_EQ(combo->SelectByText(u"gEMS", 1), 1);
    EXPECT_EQ(combo->SelectedText, u"Gems");
    const int L = Paneo_FontHeight, rowY = 10 + combo->H + 1; // first list row, client coordinates
    // A window in front of the list's place, with a button under the second row.
    auto front = PNO_Window::Create(u"Front", kOx, kOy + rowY - 25, 300, 200, 0, 0, 0, kWindowFramed);
    auto under = PNO_PushButton::Create(front, u"Under", 0, L + 4, 200);
    Paneo_ClickActivates = 0;
    back->Activate();
    ToolkitTest_Frame();
    const uint32_t before = TestCanvas_Pixel(kOx + 150, kOy + rowY + L / 2);
    // Press on the box, drag to row 2, release there.
    ToolkitTest_Script(At(2, "mouse", 20, 15) + "2 down 1\n" + At(4, "mouse", 30, rowY + L + L / 2) + "6 up 1\n");
    ToolkitTest_Frames(4);
    EXPECT_EQ(Paneo_ComboOpen, 1);
    EXPECT_NE(TestCanvas_Pixel(kOx + 150, kOy + rowY + L / 2), before); // the list lies over the front window
    int underClicks = 0;
    for (int f = 0; f < 4; ++f) {
        ToolkitTest_Frame();
        underClicks += under->Clicked();
    }
    EXPECT_EQ(combo->SelectedText, u"Fruit");
    EXPECT_EQ(Paneo_ComboOpen, 0);
    EXPECT_EQ(underClicks, 0);

    // A release on the bottom pixel row of the list changes nothing; a left press elsewhere closes it.
    ToolkitTest_Script(Click(2, 20, 15) + At(5, "mouse", 30, rowY + 3 * L) + "5 down 1\n6 up 1\n");
    ToolkitTest_Frames(8);
    EXPECT_EQ(combo->SelectedText, u"Fruit");
    EXPECT_EQ(Paneo_ComboOpen, 0);
    // A right press anywhere closes it.
    ToolkitTest_Script(Click(2, 20, 15) + "5 click 2 700 500\n");
    ToolkitTest_Frames(4);
    EXPECT_EQ(Paneo_ComboOpen, 1);
    ToolkitTest_Frames(3);
    EXPECT_EQ(Paneo_ComboOpen, 0);

    // Freed while open (its window closed by a key): the others hear the mouse again.
    ToolkitTest_Script(Click(2, 20, 15));
    ToolkitTest_Frames(4);
    ASSERT_EQ(Paneo_ComboOpen, 1);
    combo->Free();
    EXPECT_EQ(Paneo_ComboOpen, 0);
    auto box = PNO_Checkbox::Create(back, u"Again", 10, 100, 0);
    ToolkitTest_Script(Click(2, 13, 104));
    ToolkitTest_Frames(4);
    EXPECT_EQ(box->GetChecked(), 1);

    // Clear keeps the last icon; a combo without entries does not open.
    auto empty = PNO_Combo::Create(back, 10, 200, 150);
    empty->AddItem(u"one", Paneo_SkinPath("Icon_Folder"));
    empty->Clear();
    EXPECT_TRUE(empty->SelectedIcon);
    EXPECT_EQ(empty->SelectedText, u"");
    ToolkitTest_Script(Click(2, 20, 205));
    ToolkitTest_Frames(4);
    EXPECT_EQ(Paneo_ComboOpen, 0);
    Paneo_ClickActivates = 1;
    front->Free();
    back->Free();
}

TEST(ToolkitCheckbox, CaptionTogglesOnThePressOnly) {
    ToolkitTest_Open();
    auto win = Win();
    auto box = PNO_Checkbox::Create(win, u"Frozen", 10, 10, 0);
    auto combo = PNO_Combo::Create(win, 10, 200, 150);
    combo->AddItem(u"x", u"");
    ToolkitTest_Frame();
    const int right = 10 + 16 + box->W + 8;
    std::string s = Click(2, 30, 14);                    // on the caption
    s += At(5, "mouse", 12, 14) + "5 down 1\n12 up 1\n"; // held: one toggle only
    s += Click(14, right, 14);                           // right of the caption
    ToolkitTest_Script(s);
    ToolkitTest_Frames(3);
    EXPECT_EQ(box->GetChecked(), 1);
    ToolkitTest_Frames(10);
    EXPECT_EQ(box->GetChecked(), 0);
    ToolkitTest_Frames(4);
    EXPECT_EQ(box->GetChecked(), 0);
    // An open combo list and an inactive window block it.
    ToolkitTest_Script(Click(2, 20, 205) + Click(5, 12, 14));
    ToolkitTest_Frames(7);
    EXPECT_EQ(box->GetChecked(), 0);
    PNO_Combo::CloseAll();
    win->Inactive = 1;
    Paneo_ClickActivates = 0;
    ToolkitTest_Script(Click(2, 12, 14));
    ToolkitTest_Frames(4);
    EXPECT_EQ(box->GetChecked(), 0);
    Paneo_ClickActivates = 1;
    win->Free();
}

} // namespace
