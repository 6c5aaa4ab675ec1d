// A whole scene made only of the widgets, driven headless by a scripted mouse through the harness: four buttons
// with German captions in the four font families, a check box, a volume knob and a list of players. Checks what
// the callbacks saw and what the canvas shows, and leaves a screenshot (widgets_scene.png) in the build's test_pictures
// folder.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "common/test_common.h"
#include "main/fonts.h"
#include "main/gui_button.h"
#include "main/gui_listbox.h"
#include "main/text_layout.h"
#include "main/texts.h"
#include "platform/graphics.h"
#include "platform/incbin.h"
#include "platform/system.h"
#include "widgets_helpers.h"

namespace {

constexpr uint32_t kBackground = 0x141E32;

// One button of the scene: position, caption, font-table entry and the colours of its three images.
struct SceneButton {
    int x, y;
    const char16_t* caption;
    int font;
    uint32_t idle, hover, press;
};
constexpr SceneButton kButtons[] = {
    {60, 60, u"Zurück", 14, 0x503C28, 0x785A3C, 0xA0783C},           // UnZialish 20
    {60, 140, u"Hinzufügen", 37, 0x28503C, 0x3C785A, 0x3CA078},      // Trinigan 24
    {60, 220, u"Löschen", 9, 0x3C2850, 0x5A3C78, 0x783CA0},          // sans 20
    {60, 300, u"Größere Schätze", 25, 0x50283C, 0x783C5A, 0xA03C78}, // book 20
};
constexpr int kBtnW = 220, kBtnH = 50;

void RegisterButtonImages(int i, const SceneButton& b) {
    const Str base = u"Images/Scene/btn" + Str_FromInt(i);
    const auto png = [](uint32_t c) {
        return WidgetsTest_SolidPng(kBtnW, kBtnH, int(c >> 16), int((c >> 8) & 255), int(c & 255));
    };
    Incbin_Register(base + u"_default.png", png(b.idle));
    Incbin_Register(base + u"_hovered.png", png(b.hover));
    Incbin_Register(base + u"_pressed.png", png(b.press));
}

class WidgetsScene : public testing::Test {
  protected:
    void SetUp() override {
        WidgetsTest_Open();
        for (int i = 0; i < 4; ++i) {
            RegisterButtonImages(i, kButtons[i]);
            const SceneButton& s = kButtons[i];
            buttons_.push_back(GUIBtn::CreateSingleImgBtn(
                i, float(s.x), float(s.y), [this](GUIBtn& b) { clicks_.push_back(b.id); },
                u".\\Images\\Scene\\btn" + Str_FromInt(i), s.caption, s.font));
        }
        // Check box: a click flips its checked bit.
        check_ = GUIBtn::Create(10, 340, 60);
        check_->SetImage(WidgetsTest_SolidImage(30, 30, 90, 90, 90), BTNIMG_DEFAULT);
        check_->SetImage(WidgetsTest_SolidImage(30, 30, 40, 200, 40), BTNIMG_CHECKED);
        check_->SetHitRect(0, 0, 30, 30);
        check_->SetCallbacks(
            nullptr, [](GUIBtn& b) { b.state ^= BTN_CHECKED; }, nullptr, nullptr);
        // Volume knob over a 250-pixel track.
        knob_ = GUIBtn::Create(11, 340, 140);
        knob_->SetImage(WidgetsTest_SolidImage(16, 30, 230, 200, 60), BTNIMG_DEFAULT);
        knob_->SetHitRect(0, 0, 16, 30);
        knob_->SetDragRange(340, 590);
        knob_->SetCallbacks(
            nullptr, nullptr, [this](GUIBtn& b) { volume_ = (b.x - 340) / 250.0f; }, nullptr);
        // Players.
        list_ = GUIListbox::Create(340, 220, 10, 200);
        int slot = 0;
        for (const char16_t* name : {u"Jörg", u"Änne", u"Grüße"}) {
            GUIListboxSlotPtr row = list_->AddItem(name, Fonts[12], 255, 255, 255, slot++ * 10);
            row->SetCallbacks([this](GUIListboxSlot& r) { rowUps_.push_back(r.data); },
                              [this](GUIListboxSlot& r) { rowDoubles_.push_back(r.data); });
        }
    }

    void DrawScene() {
        Draw_ResetState();
        Draw_SetClsColor(int(kBackground >> 16), int((kBackground >> 8) & 255), int(kBackground & 255));
        Draw_Cls();
        for (const GUIBtnPtr& b : buttons_)
            b->Draw();
        Draw_SetColor(120, 120, 140);
        Draw_Rect(340, 152, 266, 6); // the knob's track
        Draw_SetColor(255, 255, 255);
        check_->Draw();
        knob_->Draw();
        list_->Draw();
        Draw_SetImageFont(Fonts[16]);
        Text_DrawCenteredAt(MsgBox_Titles[11], 600, 520); // "Glückwunsch!"
    }

    std::vector<GUIBtnPtr> buttons_;
    GUIBtnPtr check_, knob_;
    GUIListboxPtr list_;
    std::vector<int32_t> clicks_, rowUps_, rowDoubles_;
    float volume_ = -1;
};

TEST_F(WidgetsScene, ReactsToScriptedClicksAndShowsGermanCaptionsInFourFamilies) {
    const std::string shot = TestPicture_Path("widgets_scene.png");
    std::remove(shot.c_str());
    const int rowH = list_->RowHeight(0);
    const std::string row1 = std::to_string(220 + rowH + rowH / 2), row2 = std::to_string(220 + 2 * rowH + rowH / 2);
    const std::string script = "2 mouse 170 85\n"    // hover button 0
                               "4 click 1 170 165\n" // click button 1
                               "7 click 1 355 75\n"  // tick the check box
                               "10 mouse 348 155\n11 down 1\n12 mouse 460 160\n13 mouse 900 150\n14 mouse 473 150\n"
                               "15 up 1\n"                                                // drag the knob to x 465
                               "17 mouse 170 245\n18 down 1\n19 mouse 170 500\n20 up 1\n" // press button 2, slip off
                               "22 click 1 400 " +
                               row1 +
                               "\n" // select "Änne"
                               "25 click 1 400 " +
                               row2 + "\n27 click 1 400 " + row2 +
                               "\n"                             // double-click "Grüße"
                               "30 mouse 170 325\n31 down 1\n"; // hold button 3 down
    WidgetsTest_Script(script);
    HarnessConfig config = Harness_Current();
    config.screenshots.push_back({32, shot});
    Harness_Configure(config);
    Sys_PollEvents();
    GUI_MouseInvalidate();

    std::vector<uint32_t> button0Pixel;
    for (int frame = 1; frame <= 32; ++frame) {
        if (frame == 28) buttons_[1]->state |= BTN_DISABLED; // disabled from here: a click does nothing
        for (const GUIBtnPtr& b : buttons_)
            b->Update();
        check_->Update();
        knob_->Update();
        list_->Update();
        DrawScene();
        button0Pixel.push_back(TestCanvas_Pixel(62, 62));
        if (frame == 32) {
            // Button 3 held down shows its pressed image; button 1 is greyed (no disabled image: 0.7 alpha).
            EXPECT_EQ(TestCanvas_Pixel(62, 302), kButtons[3].press);
            const uint32_t grey = TestCanvas_Pixel(62, 142);
            EXPECT_LT(grey & 0xFF00, kButtons[1].idle & 0xFF00);
            EXPECT_GT(grey & 0xFF00, 0u);
            // Check box ticked, knob where it was left, list bar behind "Änne".
            EXPECT_EQ(TestCanvas_Pixel(350, 70), 0x28C828u);
            EXPECT_EQ(TestCanvas_Pixel(470, 145), 0xE6C83Cu);
            EXPECT_NE(TestCanvas_Pixel(535, 220 + 2 * rowH + rowH / 2), kBackground); // "Grüße" selected last
            // Every caption has ink on its button, in each family.
            for (const SceneButton& s : kButtons)
                EXPECT_GT(WidgetsTest_CountInk(s.x + 10, s.y + 5, kBtnW - 20, kBtnH - 10, s.idle, 60), 40) << s.y;
            EXPECT_GT(WidgetsTest_CountInk(500, 500, 200, 40, kBackground), 100);
        }
        WidgetsTest_Flip();
    }
    EXPECT_EQ(button0Pixel[0], kButtons[0].idle);
    EXPECT_EQ(button0Pixel[2], kButtons[0].hover); // frame 3: hovered
    EXPECT_EQ(clicks_, (std::vector<int32_t>{1})); // button 2 slipped off, button 1 disabled later
    EXPECT_TRUE(check_->state & BTN_CHECKED);
    EXPECT_FLOAT_EQ(knob_->x, 465);
    EXPECT_NEAR(volume_, 0.5f, 0.001f);
    EXPECT_EQ(rowUps_, (std::vector<int32_t>{10, 20, 20}));
    EXPECT_EQ(rowDoubles_, (std::vector<int32_t>{20}));
    EXPECT_EQ(list_->selected, 2);
    std::FILE* f = std::fopen(shot.c_str(), "rb");
    ASSERT_NE(f, nullptr) << "no screenshot";
    std::fclose(f);
}

} // namespace
