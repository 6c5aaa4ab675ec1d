// Tests of main/gui_button.cpp, driven by scripted mouse input through the harness and the real event path: what
// counts as a click, disabled and hidden buttons, the drag knob, the draw priority of the images, and the factories.
#include <gtest/gtest.h>

#include <vector>

#include "main/assets.h"
#include "main/audio.h"
#include "main/fonts.h"
#include "main/gui_button.h"
#include "main/texts.h"
#include "platform/graphics.h"
#include "platform/incbin.h"
#include "platform/sound.h"
#include "platform/system.h"
#include "widgets_helpers.h"

namespace {

// Counts of a button's callbacks.
struct Calls {
    int down = 0, up = 0, hover = 0, update = 0;
};

class Button : public testing::Test {
  protected:
    void SetUp() override { WidgetsTest_Open(); }

    // A 80 x 30 button at (100, 100) counting its callbacks into calls_.
    GUIBtnPtr Make() {
        GUIBtnPtr b = GUIBtn::Create(7, 100, 100);
        b->SetImage(WidgetsTest_SolidImage(80, 30, 0, 0, 200), BTNIMG_DEFAULT);
        b->SetHitRect(0, 0, 80, 30);
        b->SetCallbacks([this](GUIBtn&) { ++calls_.down; }, [this](GUIBtn&) { ++calls_.up; },
                        [this](GUIBtn&) { ++calls_.hover; }, [this](GUIBtn&) { ++calls_.update; });
        return b;
    }

    // Runs `frames` frames of the script: each frame updates the buttons (and records their state), then flips.
    std::vector<int32_t> Run(const std::string& script, int frames, const std::vector<GUIBtnPtr>& buttons) {
        WidgetsTest_Script(script);
        std::vector<int32_t> states;
        for (int i = 0; i < frames; ++i) {
            for (const GUIBtnPtr& b : buttons)
                b->Update();
            states.push_back(buttons.front()->state);
            WidgetsTest_Flip();
        }
        return states;
    }

    Calls calls_;
};

TEST_F(Button, ClickIsAPressAndAReleaseBothOverIt) {
    GUIBtnPtr b = Make();
    GUIBtnPtr other = GUIBtn::Create(8, 400, 400);
    other->SetHitRect(0, 0, 50, 50);
    int otherUps = 0;
    other->SetCallbacks(
        nullptr, [&](GUIBtn&) { ++otherUps; }, nullptr, nullptr);
    const auto s = Run("2 mouse 120 110\n3 down 1\n5 up 1\n", 7, {b, other});
    EXPECT_EQ(s[0], 0);                         // frame 1: mouse elsewhere
    EXPECT_EQ(s[1], BTN_HOVERED);               // frame 2: over it
    EXPECT_EQ(s[2], BTN_HOVERED | BTN_PRESSED); // frame 3: pressed
    EXPECT_EQ(s[3], BTN_HOVERED | BTN_PRESSED); // frame 4: held
    EXPECT_EQ(s[4], BTN_HOVERED | BTN_CLICKED); // frame 5: released over it
    EXPECT_EQ(s[5], BTN_HOVERED);               // the clicked bit lasts one frame
    EXPECT_EQ(calls_.down, 1);
    EXPECT_EQ(calls_.up, 1);
    EXPECT_EQ(calls_.hover, 6);  // frames 2..7
    EXPECT_EQ(calls_.update, 7); // every frame
    EXPECT_EQ(otherUps, 0);
}

TEST_F(Button, PressDraggedOffOrPressElsewhereDoesNotClick) {
    GUIBtnPtr b = Make();
    // Pressed on it, dragged off, released outside.
    auto s = Run("2 mouse 120 110\n3 down 1\n4 mouse 300 300\n5 up 1\n", 6, {b});
    EXPECT_EQ(s[3], 0); // off it: neither hovered nor shown pressed
    EXPECT_EQ(calls_.up, 0);
    EXPECT_EQ(calls_.down, 1);
    // Pressed outside, moved onto it, released over it.
    calls_ = {};
    s = Run("2 mouse 300 300\n3 down 1\n4 mouse 120 110\n5 up 1\n", 6, {b});
    EXPECT_EQ(calls_.up, 0);
    EXPECT_EQ(calls_.down, 0);
    EXPECT_EQ(s[4] & BTN_CLICKED, 0);
    // Pressed on it, dragged off and back, released over it: a click.
    calls_ = {};
    Run("2 mouse 120 110\n3 down 1\n4 mouse 300 300\n5 mouse 121 111\n6 up 1\n", 7, {b});
    EXPECT_EQ(calls_.up, 1);
}

// A touchpad tap or a slow frame brings the press and the release in the same frame: still a click, and a release
// followed by a new press in one frame is a release now and a press in the next frame, never a click on the press.
TEST_F(Button, PressAndReleaseInsideOneFrameStillClick) {
    GUIBtnPtr b = Make();
    auto s = Run("2 mouse 120 110\n3 down 1\n3 up 1\n", 5, {b});
    EXPECT_EQ(s[2], BTN_HOVERED | BTN_CLICKED);
    EXPECT_EQ(s[3], BTN_HOVERED);
    EXPECT_EQ(calls_.down, 1);
    EXPECT_EQ(calls_.up, 1);

    // Held since a press elsewhere; in frame 4 it is let go, moved over the button and pressed again.
    calls_ = {};
    s = Run("2 mouse 300 300\n2 down 1\n4 up 1\n4 mouse 120 110\n4 down 1\n7 up 1\n", 8, {b});
    EXPECT_EQ(s[3] & (BTN_CLICKED | BTN_PRESSED), 0); // frame 4: only the release, which belongs to no press here
    EXPECT_EQ(s[4], BTN_HOVERED | BTN_PRESSED);       // frame 5: the new press
    EXPECT_EQ(s[6], BTN_HOVERED | BTN_CLICKED);       // frame 7: its release
    EXPECT_EQ(calls_.down, 1);
    EXPECT_EQ(calls_.up, 1);

    // Two taps inside one frame are two clicks, one frame after the other.
    calls_ = {};
    Run("2 mouse 120 110\n3 down 1\n3 up 1\n3 down 1\n3 up 1\n", 6, {b});
    EXPECT_EQ(calls_.up, 2);

    // A tap in frames no widget looked at (a screen without buttons) is not replayed when buttons come back.
    calls_ = {};
    WidgetsTest_Script("2 mouse 120 110\n3 down 1\n3 up 1\n");
    for (int frame = 1; frame <= 6; ++frame) {
        if (frame == 1 || frame >= 5) b->Update();
        WidgetsTest_Flip();
    }
    EXPECT_EQ(calls_.up, 0);
    EXPECT_EQ(calls_.down, 0);
}

TEST_F(Button, DisabledAndHiddenTakeNoInput) {
    for (int32_t bit : {BTN_DISABLED, BTN_HIDDEN}) {
        SCOPED_TRACE(bit);
        calls_ = {};
        GUIBtnPtr b = Make();
        b->state = bit;
        const auto s = Run("2 mouse 120 110\n3 down 1\n5 up 1\n", 6, {b});
        for (int32_t st : s)
            EXPECT_EQ(st, bit);
        EXPECT_EQ(calls_.down + calls_.up + calls_.hover, 0);
        EXPECT_EQ(calls_.update, 6); // the per-frame hook still runs
    }
    // Disabled while pressed: enabling it again before the release does not click.
    calls_ = {};
    GUIBtnPtr b = Make();
    WidgetsTest_Script("2 mouse 120 110\n3 down 1\n6 up 1\n");
    for (int frame = 1; frame <= 7; ++frame) {
        if (frame == 4) b->state |= BTN_DISABLED;
        if (frame == 5) b->state &= ~BTN_DISABLED;
        b->Update();
        WidgetsTest_Flip();
    }
    EXPECT_EQ(calls_.up, 0);
}

TEST_F(Button, KnobFollowsTheMouseWithinItsRange) {
    GUIBtnPtr knob = Make();
    knob->SetPosition(200, 100);
    knob->SetDragRange(100, 350);
    std::vector<float> xs;
    WidgetsTest_Script("2 mouse 210 110\n3 down 1\n4 mouse 260 140\n5 mouse 790 110\n6 mouse 5 110\n"
                       "7 mouse 150 300\n8 up 1\n");
    for (int frame = 1; frame <= 9; ++frame) {
        knob->Update();
        xs.push_back(knob->x);
        WidgetsTest_Flip();
    }
    EXPECT_FLOAT_EQ(xs[2], 200); // grabbed 10 pixels right of its left edge: no jump
    EXPECT_FLOAT_EQ(xs[3], 250); // follows horizontally only
    EXPECT_FLOAT_EQ(knob->y, 100);
    EXPECT_FLOAT_EQ(xs[4], 350); // clamped right
    EXPECT_FLOAT_EQ(xs[5], 100); // clamped left
    EXPECT_FLOAT_EQ(xs[6], 140); // far below the knob, still dragged
    EXPECT_FLOAT_EQ(xs[8], 140); // released: stays
    EXPECT_EQ(calls_.up, 1);     // the release counts, wherever the mouse is
    EXPECT_GE(calls_.hover, 5);  // hovered while dragged
}

TEST_F(Button, DrawPriorityOfTheImages) {
    GUIBtnPtr b = GUIBtn::Create(1, 300, 300);
    const struct {
        int32_t slot;
        uint32_t rgb;
    } slots[] = {{BTNIMG_DEFAULT, 0x0000C8}, {BTNIMG_HOVERED, 0x00C800},  {BTNIMG_PRESSED, 0xC80000},
                 {BTNIMG_CHECKED, 0xC8C800}, {BTNIMG_DISABLED, 0x646464}, {BTNIMG_CHECKED_HOVERED, 0x00C8C8}};
    for (const auto& s : slots)
        b->SetImage(WidgetsTest_SolidImage(40, 20, int(s.rgb >> 16), int((s.rgb >> 8) & 255), int(s.rgb & 255)),
                    s.slot);
    const auto drawn = [&](int32_t state) {
        Draw_ResetState();
        Draw_SetClsColor(0, 0, 0);
        Draw_Cls();
        b->state = state;
        b->Draw();
        return TestCanvas_Pixel(310, 310);
    };
    EXPECT_EQ(drawn(0), 0x0000C8u);
    EXPECT_EQ(drawn(BTN_HOVERED), 0x00C800u);
    EXPECT_EQ(drawn(BTN_CHECKED), 0xC8C800u);
    EXPECT_EQ(drawn(BTN_CHECKED | BTN_HOVERED), 0x00C8C8u);
    EXPECT_EQ(drawn(BTN_HOVERED | BTN_PRESSED), 0xC80000u);
    EXPECT_EQ(drawn(BTN_DISABLED | BTN_HOVERED | BTN_CHECKED), 0x646464u);
    EXPECT_EQ(drawn(BTN_HIDDEN), 0x000000u);
    // Without a disabled image: the default one at 0.7 of the alpha.
    b->SetImage(nullptr, BTNIMG_DISABLED);
    const uint32_t faded = drawn(BTN_DISABLED);
    EXPECT_NEAR(int(faded & 255), 140, 3);
    EXPECT_EQ(faded >> 8, 0u);
    EXPECT_FLOAT_EQ(Draw_GetAlpha(), 1.0f); // the alpha is given back
    // The glow adds its light over the state image while hovered or pressed, never at rest.
    b->SetImage(WidgetsTest_SolidImage(40, 20, 20, 20, 20), BTNIMG_GLOW);
    EXPECT_EQ(drawn(0), 0x0000C8u);
    EXPECT_EQ(drawn(BTN_HOVERED), 0x14DC14u);
    EXPECT_EQ(drawn(BTN_HOVERED | BTN_PRESSED), 0xDC1414u);
    EXPECT_EQ(Draw_GetBlend(), BLEND_ALPHA); // the blend mode is given back
}

TEST_F(Button, CaptionCentredInItsColourAndFont) {
    GUIBtnPtr b = GUIBtn::Create(1, 200, 200);
    b->SetImage(WidgetsTest_SolidImage(200, 40, 0, 0, 0), BTNIMG_DEFAULT);
    b->SetText(u"Löschen", Fonts[16], 231, 231, 253, BTNTXT_CENTRED, 100, 20);
    Draw_ResetState();
    Draw_SetClsColor(0, 0, 0);
    Draw_Cls();
    Draw_SetColor(10, 20, 30);
    b->Draw();
    // Ink around the caption point on both sides, none near the ends of the image.
    EXPECT_GT(WidgetsTest_CountInk(260, 205, 40, 30, 0x000000), 20);
    EXPECT_GT(WidgetsTest_CountInk(300, 205, 40, 30, 0x000000), 20);
    EXPECT_EQ(WidgetsTest_CountInk(200, 200, 30, 40, 0x000000), 0);
    // The brightest caption pixel has the caption colour.
    const Pixmap pm = Graphics_ReadPixels(200, 200, 200, 40);
    int best = 0;
    uint32_t rgb = 0;
    for (size_t i = 0; i + 3 < pm.bytes.size(); i += 4)
        if (pm.bytes[i] > best) {
            best = pm.bytes[i];
            rgb = (uint32_t(pm.bytes[i + 2]) << 16) | (uint32_t(pm.bytes[i + 1]) << 8) | pm.bytes[i];
        }
    EXPECT_EQ(rgb, 0xE7E7FDu);
    int r, g, bb;
    Draw_GetColor(r, g, bb);
    EXPECT_EQ(r * 65536 + g * 256 + bb, 10 * 65536 + 20 * 256 + 30); // drawing state given back
}

TEST_F(Button, SkinFactoriesTakeTheDialogImagesFromTheCache) {
    Images_ClearCache();
    for (auto& skin : GUIBtn_DlgImages)
        skin.fill(nullptr);
    Incbin_Register(u"Images/GUI/Dlgs/dlg2_btn_default.png", WidgetsTest_SolidPng(119, 28, 40, 60, 80));
    Incbin_Register(u"Images/GUI/Dlgs/dlg2_btn_hovered.png", WidgetsTest_SolidPng(119, 28, 60, 80, 100));
    Incbin_Register(u"Images/GUI/Dlgs/dlg2_btn_pressed.png", WidgetsTest_SolidPng(119, 28, 80, 100, 120));
    int ups = 0;
    GUIBtnPtr ok = GUIBtn::CreateDlg2Btn(
        9, 150, 250, [&](GUIBtn&) { ++ups; }, 14);
    EXPECT_EQ(ok->text, Str(u"OK"));
    EXPECT_EQ(ok->font, Fonts[14]);
    EXPECT_EQ(ok->textR * 65536 + ok->textG * 256 + ok->textB, 231 * 65536 + 231 * 256 + 253);
    EXPECT_EQ(ok->hitW, 119);
    EXPECT_EQ(ok->hitH, 28);
    EXPECT_EQ(ok->Image(BTNIMG_HOVERED), Images_Get(u".\\Images\\GUI\\Dlgs\\dlg2_btn_hovered.png"));
    Run("2 click 1 200 260\n", 4, {ok});
    EXPECT_EQ(ups, 1);
    // A second button shares the same images.
    GUIBtnPtr again = GUIBtn::CreateDlg2Btn(4, 0, 0, nullptr, 39);
    EXPECT_EQ(again->Image(BTNIMG_DEFAULT), ok->Image(BTNIMG_DEFAULT));
    EXPECT_EQ(again->text, Str(u"Weiter"));
    // dlg3 without images: the skin's size still makes the hit rectangle; the id is kept.
    GUIBtnPtr no;
    WidgetsTest_Stdout([&] { no = GUIBtn::CreateDlg3Btn(1, 10, 10, nullptr, 1, 14); });
    EXPECT_EQ(no->id, 1);
    EXPECT_EQ(no->text, Str(u"Nein"));
    EXPECT_EQ(no->hitW, 99);
    EXPECT_EQ(no->hitH, 28);
}

TEST_F(Button, Dlg1AndImageButtonFactories) {
    Images_ClearCache();
    for (auto& skin : GUIBtn_DlgImages)
        skin.fill(nullptr);
    for (const char16_t* state : {u"default", u"hovered", u"pressed"})
        Incbin_Register(Str(u"Images/GUI/Dlgs/dlg1_btn_") + state + u".png", WidgetsTest_SolidPng(167, 56, 0, 0, 90));
    // dlg1: caption by id in white, the id is the caption number, hit rectangle of the 167 x 56 skin.
    GUIBtnPtr add = GUIBtn::CreateDlg1Btn(21, 10, 20, nullptr, 14);
    EXPECT_EQ(add->id, 21);
    EXPECT_EQ(add->text, Str(u"Hinzuf\u00fcgen"));
    EXPECT_EQ(add->textR * 65536 + add->textG * 256 + add->textB, 0xFFFFFF);
    EXPECT_EQ(add->hitW * 1000 + add->hitH, 167056);
    EXPECT_TRUE(add->textOptions & BTNTXT_CENTRED);
    EXPECT_FLOAT_EQ(add->textX, 83);
    EXPECT_FLOAT_EQ(add->textY, 28);

    // Image button: the three given images in their slots, hit rectangle of the default one, clicks call left-up.
    const ImagePtr idle = WidgetsTest_SolidImage(60, 20, 0, 0, 200), over = WidgetsTest_SolidImage(60, 20, 0, 200, 0),
                   down = WidgetsTest_SolidImage(60, 20, 200, 0, 0);
    GUIBtnPtr img = GUIBtn::CreateImgBtn(
        5, 300, 300, [this](GUIBtn&) { ++calls_.up; }, idle, over, down, u"Ja", Fonts[11]);
    EXPECT_EQ(img->Image(BTNIMG_DEFAULT), idle);
    EXPECT_EQ(img->Image(BTNIMG_HOVERED), over);
    EXPECT_EQ(img->Image(BTNIMG_PRESSED), down);
    EXPECT_EQ(img->hitW * 1000 + img->hitH, 60020);
    EXPECT_EQ(img->textR * 65536 + img->textG * 256 + img->textB, 231 * 65536 + 231 * 256 + 253);
    Run("2 click 1 359 319\n4 click 1 360 320\n", 6, {img}); // the last pixel inside, then the first outside
    EXPECT_EQ(calls_.up, 1);
    Draw_ResetState();
    Draw_Cls();
    img->Draw();
    EXPECT_EQ(TestCanvas_Pixel(301, 301), 0x0000C8u); // the mouse left it: the default image
}

TEST_F(Button, MissingImagesStillDrawTheCaptionAndTakeClicks) {
    GUIBtnPtr b;
    const std::string out = WidgetsTest_Stdout([&] {
        b = GUIBtn::CreateSingleImgBtn(
            3, 500, 100, [this](GUIBtn&) { ++calls_.up; }, u".\\Images\\nowhere\\btn", u"Zurück", 14);
    });
    EXPECT_NE(out.find("failed loading .\\Images\\nowhere\\btn_default.png"), std::string::npos);
    ASSERT_GT(b->hitW, 20);
    Draw_ResetState();
    Draw_SetClsColor(0, 0, 0);
    Draw_Cls();
    b->Draw();
    EXPECT_GT(WidgetsTest_CountInk(500, 100, b->hitW, b->hitH, 0x000000), 20);
    Run("2 click 1 " + std::to_string(500 + b->hitW / 2) + " " + std::to_string(100 + b->hitH / 2) + "\n", 4, {b});
    EXPECT_EQ(calls_.up, 1);
}

// A second of 16-bit mono silence as a WAV file.
std::vector<uint8_t> SilentWav() {
    const uint32_t rate = 22050, bytes = rate * 2;
    std::vector<uint8_t> w;
    const auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            w.push_back(uint8_t(v >> (8 * i)));
    };
    const auto put16 = [&](uint16_t v) {
        w.push_back(uint8_t(v));
        w.push_back(uint8_t(v >> 8));
    };
    for (char c : std::string("RIFF"))
        w.push_back(uint8_t(c));
    put32(36 + bytes);
    for (char c : std::string("WAVEfmt "))
        w.push_back(uint8_t(c));
    put32(16);
    put16(1);
    put16(1);
    put32(rate);
    put32(rate * 2);
    put16(2);
    put16(16);
    for (char c : std::string("data"))
        w.push_back(uint8_t(c));
    put32(bytes);
    w.resize(w.size() + bytes, 0);
    return w;
}

TEST_F(Button, HoverAndClickSounds) {
    const std::vector<uint8_t> wav = SilentWav();
    Snd_Sounds[SND_BTN_HOVER] = Sound_Decode(wav.data(), wav.size());
    Snd_Sounds[SND_BTN_CLICK] = Sound_Decode(wav.data(), wav.size());
    ASSERT_NE(Snd_Sounds[SND_BTN_HOVER], nullptr);
    Mixer_StopAll();
    GUIBtnPtr b = Make();
    std::vector<int> playing;
    WidgetsTest_Script("2 mouse 120 110\n4 down 1\n5 up 1\n7 mouse 121 111\n");
    for (int frame = 1; frame <= 8; ++frame) {
        b->Update();
        playing.push_back(Mixer_ActiveChannels());
        WidgetsTest_Flip();
    }
    EXPECT_EQ(playing, (std::vector<int>{0, 1, 1, 1, 2, 2, 2, 2})); // hover once when it comes over, click once
    Mixer_StopAll();
    b->state = BTN_DISABLED;
    WidgetsTest_Script("2 mouse 300 300\n3 mouse 120 110\n4 click 1 120 110\n");
    for (int frame = 1; frame <= 6; ++frame) {
        b->Update();
        WidgetsTest_Flip();
    }
    EXPECT_EQ(Mixer_ActiveChannels(), 0); // a disabled button is silent
    Mixer_StopAll();
    Snd_Sounds[SND_BTN_HOVER] = Snd_Sounds[SND_BTN_CLICK] = nullptr;
}

TEST_F(Button, AnActionThatDropsTheButtonIsSafe) {
    std::vector<GUIBtnPtr> owner{Make()};
    owner[0]->SetCallbacks(
        nullptr,
        [&](GUIBtn& self) {
            owner.clear(); // the box closes itself: its buttons go
            self.text = u"still here";
        },
        nullptr, nullptr);
    WidgetsTest_Script("2 click 1 120 110\n");
    for (int frame = 1; frame <= 4; ++frame) {
        const std::vector<GUIBtnPtr> pass = owner; // the owner walks a copy of its list
        for (const GUIBtnPtr& b : pass)
            b->Update();
        WidgetsTest_Flip();
    }
    EXPECT_TRUE(owner.empty());
}

} // namespace
