// The options dialog: the current player's three volumes on sliders (heard at once, written when the knob is let
// go), full screen and the slow-machine switch, and the way to the high scores, the credits and the help. Built at
// start-up; opened by the main menu and by the high-score, credits and help dialogs when they close.
#include <algorithm>
#include <cmath>

#include "main/assets.h"
#include "main/audio.h"
#include "main/config.h"
#include "main/fonts.h"
#include "main/progress.h"
#include "main/runtime.h"
#include "main/screens.h"
#include "main/text_layout.h"
#include "main/texts.h"
#include "menus/menus.h"
#include "platform/graphics.h"
#include "platform/input.h"

std::array<GUIBtnPtr, kOptionsWidgets> Options_Widgets;
ImagePtr Options_CheckImage, Options_CheckedImage;

namespace {

constexpr int kButtonFont = kFontUnzialish18, kTitleFont = kFontUnzialish24, kLabelFont = kFontUnzialish16;
enum : int32_t { W_BACK, W_HIGHSCORES, W_CREDITS, W_HELP, W_FX, W_MUSIC, W_AMBIENT, W_FULLSCREEN, W_SLOWPC };

ImagePtr g_frame;
std::vector<GUIBtnPtr> g_all; // the widgets in id order, for the update

// The three volume sliders: the player's value, its key in the configuration text file, its progress-file array,
// how the change is heard at once, and the value last written (so a drag that ends where it began writes nothing).
struct Slider {
    int32_t id;
    std::array<float, 10>* volumes;
    const char16_t* key;
    int array;
    void (*apply)(float v);
    float written = -1;
};
std::array<Slider, 3> g_sliders{{
    {W_FX, &Vol_Fx, u"FX_VOL", 11, [](float) {}},
    {W_MUSIC, &Vol_Music, u"MUSIC_VOL", 12, [](float) { Music_ApplyVolume(); }},
    {W_AMBIENT, &Vol_Ambient, u"AMBIENT_VOL", 13, Ambient_SetVolume},
}};

// The labels, placed once at start-up: their top-left corners.
struct Label {
    int captionId;
    float x, y;
};
std::array<Label, 5> g_labels;

float& PlayerVolume(const Slider& s) { return (*s.volumes)[size_t(std::clamp<int32_t>(Player_Current, 0, 9))]; }

Slider& SliderOf(const GUIBtn& knob) {
    for (Slider& s : g_sliders)
        if (s.id == knob.id) return s;
    return g_sliders[0];
}

float g_grabX = 0; // where the knob stood when it was grabbed

void Follow(GUIBtn& knob) {
    Slider& s = SliderOf(knob);
    const float v = (knob.x - float(knob.dragMinX)) / float(knob.dragMaxX - knob.dragMinX);
    PlayerVolume(s) = std::clamp(v, 0.0f, 1.0f);
    s.apply(PlayerVolume(s));
}

void Slider_LeftDown(GUIBtn& knob) { g_grabX = knob.x; }

// Dragging the knob: the volume follows it in memory and is heard at once; nothing is written yet. Resting the
// pointer on a knob changes nothing.
void Slider_Hover(GUIBtn& knob) {
    if (knob.armed) Follow(knob);
}

// Letting it go: both files get the new value, once, and only when it changed.
void Slider_LeftUp(GUIBtn& knob) {
    if (knob.x != g_grabX) Follow(knob); // the release frame's move
    Slider& s = SliderOf(knob);
    const float v = PlayerVolume(s);
    if (v == s.written) return;
    s.written = v;
    Config_SetValue(s.key, Str_FromFloat(v));
    Config_SaveArray(s.array);
}

GUIBtnPtr MakeButton(int32_t id, float x, float y, GUIBtnAction leftUp, const Str& base) {
    GUIBtnPtr b = GUIBtn::CreateSingleImgBtn(id, float(Options_X) + x, float(Options_Y) + y, std::move(leftUp), base,
                                             Text_Entry(Options_Captions, id, "Options_Captions"), kButtonFont);
    return b;
}

GUIBtnPtr MakeSlider(int32_t id, float x, float y, const ImagePtr& knob) {
    GUIBtnPtr b = GUIBtn::Create(id, float(Options_X) + x, float(Options_Y) + y);
    b->SetImage(knob, BTNIMG_DEFAULT);
    b->SetCallbacks(Slider_LeftDown, Slider_LeftUp, Slider_Hover, nullptr);
    b->SetHitRect(0, 0, Image_Width(knob), Image_Height(knob));
    b->SetDragRange(int32_t(b->x), int32_t(b->x + kSliderRange));
    return b;
}

GUIBtnPtr MakeCheckBox(int32_t id, float x, float y, GUIBtnAction leftUp) {
    GUIBtnPtr b = GUIBtn::Create(id, float(Options_X) + x, float(Options_Y) + y);
    b->SetImage(Options_CheckImage, BTNIMG_DEFAULT);
    b->SetImage(Options_CheckedImage, BTNIMG_CHECKED);
    b->SetCallbacks(nullptr, std::move(leftUp), nullptr, nullptr);
    b->SetHitRect(0, 0, Image_Width(Options_CheckImage), Image_Height(Options_CheckImage));
    return b;
}

void SetChecked(GUIBtn& b, bool on) {
    if (on)
        b.state |= BTN_CHECKED;
    else
        b.state &= ~BTN_CHECKED;
}

} // namespace

void Options_Build() {
    const Str dir = u".\\Images\\GUI\\Dlgs\\";
    g_frame = Asset_LoadImage(dir + u"opt_frame.png");
    Options_CheckImage = Asset_LoadImage(dir + u"opt_check_default.png");
    Options_CheckedImage = Asset_LoadImage(dir + u"opt_check_checked.png");
    const ImagePtr knob = Asset_LoadImage(dir + u"opt_slider_default.png");
    auto& w = Options_Widgets;
    w[W_BACK] = MakeButton(W_BACK, 216, 359, Options_Btn_Back_LeftUp, dir + u"opt_btn_back");
    w[W_HIGHSCORES] = MakeButton(W_HIGHSCORES, 71, 276, Options_Btn_HighScores_LeftUp, dir + u"opt_btn");
    w[W_CREDITS] = MakeButton(W_CREDITS, 243, 276, Options_Btn_Credits_LeftUp, dir + u"opt_btn");
    w[W_HELP] = MakeButton(W_HELP, 414, 276, Options_Btn_Help_LeftUp, dir + u"opt_btn");
    w[W_FX] = MakeSlider(W_FX, 211, 121, knob);
    w[W_MUSIC] = MakeSlider(W_MUSIC, 211, 82, knob);
    w[W_AMBIENT] = MakeSlider(W_AMBIENT, 211, 160, knob);
    w[W_FULLSCREEN] = MakeCheckBox(W_FULLSCREEN, 135, 201, Options_Chk_Windowed_LeftUp);
    w[W_SLOWPC] = MakeCheckBox(W_SLOWPC, 331, 201, Options_Chk_SlowPc_LeftUp);
    g_all.assign(w.begin(), w.end());

    // The labels: the volumes' right-aligned to end at x 173, the switches' from their boxes, each centred on its
    // line.
    const FontPtr previous = Draw_GetImageFont();
    Draw_SetImageFont(Font_Get(kLabelFont));
    const auto place = [](int id, bool rightAligned, float x, float centreY) {
        const Str& text = Text_Entry(Options_Captions, id, "Options_Captions");
        const float left = rightAligned ? x - float(Text_Width(text)) : x;
        return Label{id, float(Options_X) + left, float(Options_Y) + centreY - float(Text_Height(text) / 2)};
    };
    g_labels = {place(W_MUSIC, true, 173, 98), place(W_FX, true, 173, 137), place(W_AMBIENT, true, 173, 176),
                place(W_FULLSCREEN, false, 184, 229), place(W_SLOWPC, false, 381, 229)};
    Draw_SetImageFont(previous);
}

void Options_Open() { Dialog_Open(Options_Init, Options_Update, Options_Draw, 1); }

void Options_Init() {
    Options_RefreshChecks();
    for (Slider& s : g_sliders)
        s.written = PlayerVolume(s);
}

void Options_RefreshChecks() {
    if (!Options_Widgets[W_FULLSCREEN]) return;
    SetChecked(*Options_Widgets[W_FULLSCREEN], Windowed_Mode != 1);
    SetChecked(*Options_Widgets[W_SLOWPC], Slow_PC != 0);
    for (const Slider& s : g_sliders) {
        GUIBtn& knob = *Options_Widgets[size_t(s.id)];
        // A damaged file may hold any number: the knob stays on its track.
        const float v = std::clamp(PlayerVolume(s), 0.0f, 1.0f);
        knob.SetPosition(std::trunc(float(knob.dragMinX) + float(knob.dragMaxX - knob.dragMinX) * v), knob.y);
    }
}

void Options_Update() {
    if (Key_Hit(VK::ESCAPE)) {
        Options_Btn_Back_LeftUp(*Options_Widgets[W_BACK]);
        return;
    }
    Dialog_UpdateButtons(g_all);
}

void Options_Draw() {
    const FontPtr previous = Draw_GetImageFont();
    for (size_t i = W_BACK; i <= W_HELP; ++i)
        Options_Widgets[i]->Draw();
    Draw_Image(g_frame, float(Options_X), float(Options_Y));
    for (size_t i = W_FX; i < Options_Widgets.size(); ++i)
        Options_Widgets[i]->Draw();
    Draw_SetColor(255, 255, 255);
    Draw_SetImageFont(Font_Get(kTitleFont));
    Text_DrawCenteredAt(Options_Title, float(Options_X + 364), float(Options_Y + 33));
    Draw_SetImageFont(Font_Get(kLabelFont));
    for (const Label& l : g_labels)
        Draw_Text(Options_Captions[size_t(l.captionId)], l.x, l.y);
    Draw_SetImageFont(previous);
}

void Options_Btn_Back_LeftUp(GUIBtn&) { Dialog_Close(); }
void Options_Btn_HighScores_LeftUp(GUIBtn&) { HighScores_Open(-1, 0); }
void Options_Btn_Credits_LeftUp(GUIBtn&) { Dialog_Open(nullptr, Credits_Update, Credits_Draw, 1); }
void Options_Btn_Help_LeftUp(GUIBtn&) { Dialog_Open(Help_Init, Help_Update, Help_Draw, 1); }

void Options_Chk_Windowed_LeftUp(GUIBtn&) {
    Window_ToggleMode();
    Options_RefreshChecks();
}

void Options_Chk_SlowPc_LeftUp(GUIBtn&) {
    Slow_PC ^= 1;
    Config_SetValue(u"SLOW_PC", Str_FromInt(Slow_PC));
    Options_RefreshChecks();
}
