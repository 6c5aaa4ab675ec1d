// Tests of main/gui_listbox.cpp with scripted clicks through the harness: selection, left-up and double-click with
// the row's data, the double-click time, the capacity, and what is drawn.
#include <gtest/gtest.h>

#include <vector>

#include "main/fonts.h"
#include "main/gui_listbox.h"
#include "platform/graphics.h"
#include "widgets_helpers.h"

namespace {

class Listbox : public testing::Test {
  protected:
    void SetUp() override {
        WidgetsTest_Open();
        list_ = GUIListbox::Create(600, 240, 10, 120);
        for (int slot : {0, 3, 7}) {
            GUIListboxSlotPtr row = list_->AddItem(u"Spieler" + Str_FromInt(slot), Fonts[12], 255, 255, 255, slot);
            row->SetCallbacks([this](GUIListboxSlot& s) { ups_.push_back(s.data); },
                              [this](GUIListboxSlot& s) { doubles_.push_back(s.data); });
        }
        rowH_ = list_->RowHeight(0);
    }

    // Screen y of the middle of row i.
    int RowY(int i) const { return 240 + rowH_ * i + rowH_ / 2; }

    void Run(const std::string& script, int frames, int frameMs = 16) {
        WidgetsTest_Script(script, frameMs);
        for (int i = 0; i < frames; ++i) {
            list_->Update();
            WidgetsTest_Flip();
        }
    }

    GUIListboxPtr list_;
    int rowH_ = 0;
    std::vector<int32_t> ups_, doubles_;
};

TEST_F(Listbox, ClickSelectsTheRowAndHandsItsData) {
    ASSERT_GT(rowH_, 10);
    EXPECT_EQ(list_->rowCount, 3);
    EXPECT_EQ(list_->selected, -1);
    Run("2 click 1 650 " + std::to_string(RowY(1)) + "\n", 4);
    EXPECT_EQ(list_->selected, 1);
    EXPECT_EQ(ups_, (std::vector<int32_t>{3}));
    EXPECT_TRUE(doubles_.empty());
    // A click beside the list or below the last row changes nothing.
    Run("2 click 1 590 " + std::to_string(RowY(0)) + "\n4 click 1 650 " + std::to_string(RowY(5)) + "\n", 6);
    EXPECT_EQ(list_->selected, 1);
    EXPECT_EQ(ups_.size(), 1u);
}

TEST_F(Listbox, SecondQuickClickOnTheSameRowIsADoubleClick) {
    const std::string y2 = std::to_string(RowY(2));
    // Clicks 4 frames apart at 16 ms: well within the double-click time.
    Run("2 click 1 650 " + y2 + "\n6 click 1 650 " + y2 + "\n10 click 1 650 " + y2 + "\n", 12);
    EXPECT_EQ(ups_, (std::vector<int32_t>{7, 7, 7}));
    EXPECT_EQ(doubles_, (std::vector<int32_t>{7})); // the third click starts a new pair
    EXPECT_EQ(list_->selected, 2);
}

TEST_F(Listbox, SlowClicksOrAnotherRowAreNoDoubleClick) {
    const std::string y0 = std::to_string(RowY(0)), y1 = std::to_string(RowY(1));
    Run("2 click 1 650 " + y0 + "\n6 click 1 650 " + y1 + "\n", 8);
    EXPECT_TRUE(doubles_.empty());
    // 100 ms frames: the second click comes 400 ms + a frame later.
    Run("2 click 1 650 " + y0 + "\n7 click 1 650 " + y0 + "\n", 9, 100);
    EXPECT_TRUE(doubles_.empty());
    EXPECT_EQ(ups_, (std::vector<int32_t>{0, 3, 0, 0}));
}

TEST_F(Listbox, TapsInsideOneFrameSelectAndDoubleClick) {
    const std::string y1 = std::to_string(RowY(1)), y2 = std::to_string(RowY(2));
    Run("2 mouse 650 " + y1 + "\n3 down 1\n3 up 1\n", 4);
    EXPECT_EQ(list_->selected, 1);
    EXPECT_EQ(ups_, (std::vector<int32_t>{3}));
    Run("2 mouse 650 " + y2 + "\n3 down 1\n3 up 1\n3 down 1\n3 up 1\n", 5);
    EXPECT_EQ(ups_, (std::vector<int32_t>{3, 7, 7}));
    EXPECT_EQ(doubles_, (std::vector<int32_t>{7}));
}

TEST_F(Listbox, PressOnOneRowReleaseOnAnotherSelectsNothing) {
    Run("2 mouse 650 " + std::to_string(RowY(0)) + "\n3 down 1\n4 mouse 650 " + std::to_string(RowY(2)) + "\n5 up 1\n",
        6);
    EXPECT_EQ(list_->selected, -1);
    EXPECT_TRUE(ups_.empty());
}

TEST_F(Listbox, CapacityClearAndDrawing) {
    GUIListboxPtr small = GUIListbox::Create(10, 10, 2, 100);
    small->AddItem(u"Anna", Fonts[12], 255, 255, 255, 0);
    small->AddItem(u"Bernd", Fonts[12], 255, 255, 255, 1);
    GUIListboxSlotPtr third;
    const std::string out = WidgetsTest_Stdout([&] { third = small->AddItem(u"Carla", Fonts[12], 255, 255, 255, 2); });
    ASSERT_NE(third, nullptr); // a row of no list: setting its callbacks is safe
    third->SetCallbacks([this](GUIListboxSlot& s) { ups_.push_back(s.data); }, nullptr);
    EXPECT_EQ(third->index, -1);
    EXPECT_NE(out.find("GUIListbox.AddItem"), std::string::npos);
    EXPECT_EQ(small->rowCount, 2);
    EXPECT_EQ(small->rows.size(), 2u);

    // Drawn: text on every row, a bar behind the selected one only.
    list_->selected = 1;
    Draw_ResetState();
    Draw_SetClsColor(0, 0, 0);
    Draw_Cls();
    list_->Draw();
    for (int i = 0; i < 3; ++i)
        EXPECT_GT(WidgetsTest_CountInk(600, 240 + rowH_ * i, 120, rowH_, 0x000000), 10) << i;
    EXPECT_NE(TestCanvas_Pixel(600 + 118, RowY(1)), 0x000000u);
    EXPECT_EQ(TestCanvas_Pixel(600 + 118, RowY(0)), 0x000000u);

    list_->Clear();
    EXPECT_EQ(list_->rowCount, 0);
    EXPECT_EQ(list_->selected, -1);
    Run("2 click 1 650 " + std::to_string(RowY(0)) + "\n", 4); // nothing left to click
    EXPECT_TRUE(ups_.empty());
}

} // namespace
