// One window holding every widget of the toolkit, drawn headless and compared with a stored picture, then driven by
// scripted input: a click in the field and typing, a check box toggle, a spinner step, a list pick and a combo pick.
// Leaves toolkit_scene.png in the build's test_pictures folder. Set BQ_UPDATE_PICTURES=1 to store a new picture on
// purpose.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "common/test_common.h"
#include "platform/graphics.h"
#include "platform/stream.h"
#include "toolkit_helpers.h"

namespace {

struct Scene {
    std::shared_ptr<PNO_Window> win;
    std::shared_ptr<PNO_PushButton> push;
    std::shared_ptr<PNO_CustomButton> custom;
    std::shared_ptr<PNO_Label> label;
    std::shared_ptr<PNO_Input> input;
    std::shared_ptr<PNO_Checkbox> check, check2;
    std::shared_ptr<PNO_Value> value;
    std::shared_ptr<PNO_Scrollbar> hbar, vbar;
    std::shared_ptr<PNO_StaticImage> image;
    std::shared_ptr<PNO_ListBox> list;
    std::shared_ptr<PNO_Combo> combo;
};

Scene MakeScene() {
    Scene s;
    s.win = PNO_Window::Create(u"Every widget", 40, 30, 720, 540, 1, 1, 1, kWindowFramed);
    s.push = PNO_PushButton::Create(s.win, u"Push me", 20, 20, 110);
    s.push->Tooltip = u"A push button";
    s.custom = PNO_CustomButton::Create(s.win, u"", 150, 20, 24, 24, Paneo_SkinPath("Arrow_Right_hi"),
                                        Paneo_SkinPath("Arrow_Right_un"), Paneo_SkinPath("Arrow_Right_se"), 1);
    s.label = PNO_Label::Create(s.win, u"A label of two lines|centred on its anchor", 330, 20, 2, Paneo_Palette[13]);
    s.input = PNO_Input::Create(s.win, u"level_001.lev", 20, 70, 20, 40);
    s.check = PNO_Checkbox::Create(s.win, u"Frozen", 20, 110, 1);
    s.check2 = PNO_Checkbox::Create(s.win, u"Shield", 120, 110, 0);
    s.value = PNO_Value::Create(s.win, u"Width:", 80, 150, 4, 12, 1, 1, 48, 1);
    s.hbar = PNO_Scrollbar::Create(s.win, u"Volume", 20, 200, 200, 18, 128, 0, 255, 10, 0, 1);
    s.vbar = PNO_Scrollbar::Create(s.win, u"", 240, 70, 16, 150, 3, 0, 10, 1, 1, 1);
    s.image = PNO_StaticImage::Create(s.win, Paneo_SkinPath("Messagebox_Ask"), 280, 70, 48, 48, 2, 3);
    s.list = PNO_ListBox::Create(s.win, 20, 250, 300, 12);
    s.list->AddItem(u"..", Paneo_SkinPath("Icon_Folder"));
    s.list->AddItem(u"levels", Paneo_SkinPath("Icon_Folder"));
    s.list->AddItem(u"[]", u"");
    for (const char16_t* f : {u"BQ2_level_001.lev", u"notes.txt", u"theme.ogg", u"castle.png", u"backup.zip"})
        s.list->AddItem(f, Paneo_FileIcon(f));
    s.list->SelectByText(u"notes.txt");
    s.combo = PNO_Combo::Create(s.win, 380, 70, 200);
    for (const char16_t* t : {u"Gems", u"Fruit", u"Runes"})
        s.combo->AddItem(t, u"");
    s.combo->SelectByText(u"gems", 1);
    return s;
}

// Share of pixels whose channels all lie within `tolerance` of the stored picture.
double Similarity(const Pixmap& a, const Pixmap& b, int tolerance) {
    if (a.width != b.width || a.height != b.height) return 0;
    long same = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            const uint32_t p = Pixmap_ReadPixel(a, x, y), q = Pixmap_ReadPixel(b, x, y);
            bool close = true;
            for (int sh = 0; sh <= 16; sh += 8)
                close = close && std::abs(int((p >> sh) & 255) - int((q >> sh) & 255)) <= tolerance;
            same += close;
        }
    return double(same) / (double(a.width) * a.height);
}

TEST(ToolkitScene, EveryWidgetInTheSkinMatchesTheStoredPicture) {
    ToolkitTest_Open();
    // The pointer rests on the push button long enough for its tooltip to fade in (450 ms, then 400 frames).
    ToolkitTest_Script("1 mouse 100 72\n");
    Scene s = MakeScene();
    ToolkitTest_Frames(440);
    Draw_Cls();
    Paneo_DrawFrame();
    ASSERT_TRUE(TestPicture_Save("toolkit_scene.png"));
    const Pixmap shot = Graphics_ReadPixels(0, 0, 800, 600);
    Graphics_Flip(-1);

    const Str stored = S(BQ_TEST_DATA) + u"/toolkit_scene.png";
    const char* update = std::getenv("BQ_UPDATE_PICTURES");
    if (update && *update == '1')
        std::filesystem::copy_file(TestPicture_Path("toolkit_scene.png"), Str_ToUtf8(stored),
                                   std::filesystem::copy_options::overwrite_existing);
    const PixmapPtr want = Pixmap_Load(stored);
    ASSERT_TRUE(want) << "no stored picture; run once with BQ_UPDATE_PICTURES=1 and look at it";
    EXPECT_GT(Similarity(shot, *want, 12), 0.995);

    // Every widget drew something of its own: the field's text, the checked box, the thumb, the list selection.
    EXPECT_NE(TestCanvas_Pixel(0, 0), TestCanvas_Pixel(s.win->X + 100, s.win->Y + 10));
    s.win->Free();
}

TEST(ToolkitScene, ScriptedInputReachesEveryWidget) {
    ToolkitTest_Open();
    Scene s = MakeScene();
    const int ox = 40, oy = 30 + 21; // client origin of the window
    std::string script;
    const auto at = [&](int frame, const char* verb, int x, int y) {
        script +=
            std::to_string(frame) + " " + verb + " 1 " + std::to_string(ox + x) + " " + std::to_string(oy + y) + "\n";
    };
    at(3, "click", 30, 75);                                                       // into the field
    script += "5 key 35 press\n6 text _b\n";                                      // End, then type
    at(10, "click", 25, 115);                                                     // toggles "Frozen" off
    at(14, "click", 80 + s.value->W + 5, 152);                                    // the spinner's up arrow
    at(20, "click", 30, 250 + 3 * Paneo_FontHeight + 3);                          // the fourth row: the level file
    at(24, "click", 400, 75);                                                     // opens the combo
    at(28, "click", 400, 75 + (Paneo_FontHeight + 3) + 2 * Paneo_FontHeight + 3); // third entry
    at(32, "click", 60, 30);                                                      // the push button
    ToolkitTest_Script(script);
    int pushClicks = 0;
    for (int f = 0; f < 40; ++f) {
        ToolkitTest_Frame();
        pushClicks += s.push->Clicked();
    }
    EXPECT_EQ(s.input->GetText(), u"level_001.lev_b");
    EXPECT_EQ(s.check->GetChecked(), 0);
    EXPECT_EQ(s.value->Value, 13.0f);
    EXPECT_EQ(s.list->SelectedText, u"BQ2_level_001.lev");
    EXPECT_EQ(s.combo->SelectedText, u"Runes");
    EXPECT_EQ(Paneo_ComboOpen, 0);
    EXPECT_EQ(pushClicks, 1);
    s.win->Free();
}

} // namespace
