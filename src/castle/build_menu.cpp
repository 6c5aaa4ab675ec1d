// The build menu (screen 9): the castle being rebuilt on its scene, the panel with the part buttons of the current
// storey and the four buttons (play, relax, shop, menu), the gem bag along the top, and the panel's slide fades.
// Screen hooks called by the screen switcher; BuildMenu_LayoutPartButtons also by the tutorial.
#include <algorithm>
#include <cmath>

#include "board/rules.h"
#include "castle/castle.h"
#include "main/assets.h"
#include "main/audio.h"
#include "board/play.h"
#include "main/fonts.h"
#include "main/frame_timer.h"
#include "main/screens.h"
#include "main/text_layout.h"
#include "platform/graphics.h"

int32_t BuildMenu_From = BM_FROM_LEVELEND;
std::array<GUIBtnPtr, 4> BuildMenu_Buttons;
std::vector<GUIBtnPtr> BuildMenu_PartButtons;
int32_t BuildMenu_Leaving = -1;
int32_t Fade_State = FADE_STILL;
float Fade_Offset = 0;
float Fade_Limit = 360;
float Fade_Speed = 1100;

namespace {

// Layout of the screen, pixels.
constexpr float kPanelX = 452, kPanelY = 0;     // the panel on the right (slides in from the right edge)
constexpr float kPartX = 22, kPartY = 118;      // first part button, relative to the panel
constexpr float kPartStep = 66;                 // part buttons one under the other
constexpr float kMenuX[4] = {24, 176, 24, 176}; // the four buttons, relative to the panel
constexpr float kMenuY[4] = {494, 494, 542, 542};
constexpr int32_t kCastleX = 30, kCastleY = 150; // castle space (0, 0) on the screen
constexpr float kGemBarX = 16, kGemBarY = 12;    // the gem bag along the top left
const char16_t* const kMenuCaptions[4] = {u"Spielen", u"Entspannt", u"Shop", u"Menü"};

ImagePtr g_panel, g_gemBar;
uint32_t g_layouts = 0; // part-button layouts so far (a click may lay them out anew mid-frame)
bool g_fadeInReported = false;

float PanelX() { return kPanelX + Fade_Offset; }

void Leave(int32_t screen) {
    if (Fade_State == FADE_SLIDING_OUT) return;
    BuildMenu_Leaving = screen;
    Fade_State = FADE_SLIDING_OUT;
}

void Btn_Play(GUIBtn&) {
    Relaxed_Mode = 0;
    Leave(kScreenLevelMap);
}
void Btn_Relax(GUIBtn&) {
    Relaxed_Mode = 1;
    Leave(kScreenLevelMap);
}
void Btn_Shop(GUIBtn&) {
    BuildMenu_From = BM_FROM_SHOP; // the shop comes back here with Screen_Set(9)
    Leave(kScreenShop);
}
void Btn_Menu(GUIBtn&) {
    Match_Save(Level_Current, 0);
    Leave(kScreenMainMenu);
}
void Btn_Part(GUIBtn& b) {
    if (Castle_Buy(b.id)) {
        Snd_PlayIndex(SND_MAGIC);
    } else {
        Snd_PlayIndex(SND_SWAP_BACK);
    }
    BuildMenu_LayoutPartButtons();
}

void PlaceButtons() {
    const float px = PanelX();
    for (size_t i = 0; i < BuildMenu_Buttons.size(); ++i)
        if (BuildMenu_Buttons[i]) BuildMenu_Buttons[i]->SetPosition(px + kMenuX[i], kPanelY + kMenuY[i]);
    for (size_t i = 0; i < BuildMenu_PartButtons.size(); ++i)
        BuildMenu_PartButtons[i]->SetPosition(px + kPartX, kPanelY + kPartY + kPartStep * static_cast<float>(i));
}

// The price of a part: gem pictures with their amounts, red where the bag has too few.
void DrawPrice(const CastleElem& e, float x, float y) {
    Draw_SetImageFont(Font_Get(kFontTrinigan16));
    for (int c = 0; c < kGemColours; ++c) {
        const int32_t need = e.price[static_cast<size_t>(c)];
        if (need == 0) continue;
        if (const ImagePtr& g = Gem_Pictures[static_cast<size_t>(c)]) {
            Draw_SetColor(255, 255, 255); // untinted: the colour of the last amount drawn stays set
            Draw_SetScale(0.6f, 0.6f);
            Draw_Image(g, x, y);
            Draw_SetScale(1, 1);
        }
        const Str text = Str_FromInt(need);
        if (Gems_Total[static_cast<size_t>(c)] < need)
            Draw_SetColor(255, 110, 95);
        else
            Draw_SetColor(235, 235, 255);
        Draw_Text(text, x + 23, y + 2);
        x += 30 + static_cast<float>(Text_Width(text));
    }
    Draw_SetColor(255, 255, 255);
}

} // namespace

void BuildMenu_DrawPart(const GUIBtn& b) {
    if (b.state & BTN_HIDDEN) return;
    const CastleElem& e = *Castle_Elems[static_cast<size_t>(b.id)];
    const bool off = (b.state & BTN_DISABLED) != 0;
    if (e.image) {
        // the part's own picture, fitted into the 52 x 52 window on the button's left
        const float w = static_cast<float>(Image_Width(e.image)), h = static_cast<float>(Image_Height(e.image));
        const float s = std::min(48 / w, 48 / h);
        Draw_SetAlpha(off ? 0.55f : 1.0f);
        Draw_ImageRect(e.image, b.x + 8 + (52 - w * s) / 2, b.y + 5 + (52 - h * s) / 2, w * s, h * s);
        Draw_SetAlpha(1);
    }
    Castle_DrawButtonTitle(e.name, b.x + 68, b.y + 7, off);
    Draw_SetColor(255, 255, 255);
    DrawPrice(e, b.x + 68, b.y + 33);
}

namespace {

void DrawGemBar() {
    if (g_gemBar) Draw_Image(g_gemBar, kGemBarX, kGemBarY);
    Draw_SetImageFont(Font_Get(kFontTrinigan18));
    for (int c = 0; c < kGemColours; ++c) {
        const float x = kGemBarX + 14 + 58 * static_cast<float>(c);
        if (const ImagePtr& g = Gem_Pictures[static_cast<size_t>(c)]) {
            Draw_SetScale(0.75f, 0.75f);
            Draw_Image(g, x, kGemBarY + 12);
            Draw_SetScale(1, 1);
        }
        Draw_SetColor(255, 240, 200);
        Draw_Text(Str_FromInt(Gems_Total[static_cast<size_t>(c)]), x + 28, kGemBarY + 16);
    }
    Draw_SetColor(255, 255, 255);
}

void DrawPanelTexts() {
    const float px = PanelX();
    const int32_t n = Castle_Shown();
    const Castle& castle = Castles[static_cast<size_t>(n)];
    Draw_SetImageFont(Font_Get(kFontTrinigan24));
    Draw_SetColor(255, 226, 140);
    Text_DrawCenteredAt(Castle_Names[static_cast<size_t>(n)], px + 174, 46);
    Draw_SetImageFont(Font_Get(kFontTrinigan16));
    Draw_SetColor(230, 232, 255);
    Str line;
    if (Castle_Current >= kCastleCount && n == kCastleCount - 1 && Castle_Celebrated < 0)
        line = u"Alle Burgen sind wieder aufgebaut";
    else if (n != Castle_Current)
        line = u"Wieder aufgebaut!";
    else
        line = u"Stockwerk " + Str_FromInt(castle.level + 1) + u" von " + Str_FromInt(castle.storeys.size());
    Text_DrawCenteredAt(line, px + 174, 82);
    Draw_SetImageFont(Font_Get(kFontTrinigan14));
    Draw_SetColor(200, 200, 230);
    Text_DrawCenteredAt(u"Gold: " + Str_FromInt(Gold) + u"    Level " + Str_FromInt(Level_Current), px + 174, 470);
    Draw_SetColor(255, 255, 255);
}

} // namespace

void BuildMenu_Load() {
    for (int c = 0; c < kGemColours; ++c)
        Gem_Pictures[static_cast<size_t>(c)] =
            Asset_LoadImage(u".\\Images\\GUI\\BuildMenu\\bm_tt" + Str_FromInt(c) + u".png");
    g_panel = Asset_LoadImage(u"Images/GUI/BuildMenu/bm_panel.png");
    g_gemBar = Asset_LoadImage(u"Images/GUI/BuildMenu/bm_gembar.png");
    static void (*const kActions[4])(GUIBtn&) = {Btn_Play, Btn_Relax, Btn_Shop, Btn_Menu};
    for (size_t i = 0; i < BuildMenu_Buttons.size(); ++i)
        BuildMenu_Buttons[i] =
            GUIBtn::CreateSingleImgBtn(static_cast<int32_t>(i), kPanelX + kMenuX[i], kMenuY[i], kActions[i],
                                       u"Images/GUI/BuildMenu/bm_btn", kMenuCaptions[i], 40);
}

void BuildMenu_UpdateRelaxButton() {
    GUIBtnPtr& relax = BuildMenu_Buttons[BM_BTN_RELAX];
    if (!relax) return;
    if (Level_Current >= 6)
        relax->state &= ~BTN_DISABLED;
    else
        relax->state |= BTN_DISABLED;
}

void BuildMenu_LayoutPartButtons() {
    BuildMenu_PartButtons.clear();
    ++g_layouts;
    if (Castle_Current < kCastleCount && Castle_Shown() == Castle_Current) {
        const Castle& castle = Castles[static_cast<size_t>(Castle_Current)];
        if (castle.level < static_cast<int32_t>(castle.storeys.size())) {
            const ImagePtr def = Images_Get(u"Images/GUI/BuildMenu/bm_part_default.png");
            const ImagePtr hov = Images_Get(u"Images/GUI/BuildMenu/bm_part_hovered.png");
            const ImagePtr pre = Images_Get(u"Images/GUI/BuildMenu/bm_part_pressed.png");
            for (int32_t i : castle.storeys[static_cast<size_t>(castle.level)]) {
                const CastleElem& e = *Castle_Elems[static_cast<size_t>(i)];
                if (e.built) continue;
                GUIBtnPtr b = GUIBtn::CreateImgBtn(i, 0, 0, Btn_Part, def, hov, pre, Str(), nullptr);
                if (!def) b->SetHitRect(0, 0, 306, 62);
                if (!e.IsAffordable()) b->state |= BTN_DISABLED;
                BuildMenu_PartButtons.push_back(b);
            }
        }
    }
    PlaceButtons();
    Castle_Show(kCastleX, kCastleY, true);
}

int32_t Fade_Step(float ms) {
    if (Fade_State == FADE_SLIDING_IN) {
        Fade_Offset = std::max(0.0f, Fade_Offset - Fade_Speed * ms / 1000);
        if (Fade_Offset > 0) return FADE_STILL;
    } else if (Fade_State == FADE_SLIDING_OUT) {
        Fade_Offset = std::min(Fade_Limit, Fade_Offset + Fade_Speed * ms / 1000);
        if (Fade_Offset < Fade_Limit) return FADE_STILL;
    } else {
        return FADE_STILL;
    }
    const int32_t ended = Fade_State;
    Fade_State = FADE_STILL;
    return ended;
}

void Castle_DrawButtonTitle(const Str& title, float x, float y, bool off) {
    Draw_SetImageFont(Font_Get(kFontTrinigan18));
    if (off) // light, not grey: it stands on a greyed button and must still read
        Draw_SetColor(222, 218, 236);
    else
        Draw_SetColor(255, 236, 170);
    Draw_Text(title, x, y);
}

void BuildMenu_Enter() {
    if (Castles_AllDonePending) {
        Castles_AllDonePending = 0;
        Match_CastlesCompleted();
    }
    for (const GUIBtnPtr& b : BuildMenu_Buttons)
        if (b) b->state &= ~(BTN_DISABLED | BTN_PRESSED | BTN_CLICKED);
    BuildMenu_UpdateRelaxButton();
    Fade_State = FADE_SLIDING_IN;
    Fade_Offset = Fade_Limit;
    BuildMenu_Leaving = -1;
    g_fadeInReported = false;
    BuildMenu_LayoutPartButtons();
}

void BuildMenu_Leave() {
    Fade_State = FADE_STILL;
    Fade_Offset = 0;
    Castle_Hide();
}

void BuildMenu_Update() {
    const float ms = Frame_DeltaMs;
    // the panel's slides
    const int32_t slid = Fade_Step(ms);
    if (slid == FADE_SLIDING_IN) {
        if (!g_fadeInReported && BuildMenu_From == BM_FROM_LEVELEND) Castle_Hooks.Tutorial_OnEvent0();
        g_fadeInReported = true;
    } else if (slid == FADE_SLIDING_OUT) {
        const int32_t to = BuildMenu_Leaving;
        BuildMenu_Leaving = -1;
        Screen_Set(to);
        return;
    }
    PlaceButtons();
    Castle_Animate(ms);
    Castle_Hooks.Tutorial_OnEvent11();

    // scene and castle
    const int32_t n = Castle_Shown();
    Background_DrawFullscreen(Castle_Backdrop(n, false));
    Castle_Show(kCastleX, kCastleY, true);
    GObj_DrawAll();
    DrawGemBar();

    // the panel and its buttons (no input while it slides or a dialog is open)
    if (g_panel) Draw_Image(g_panel, PanelX(), kPanelY);
    const bool input = Fade_State == FADE_STILL && !Dialog_HoldsInput();
    for (size_t i = 0; i < BuildMenu_Buttons.size(); ++i) {
        if (!BuildMenu_Buttons[i]) continue; // not loaded (the screen's load failed or never ran)
        GUIBtn& b = *BuildMenu_Buttons[i];
        if (input) b.Update();
        b.Draw();
        Castle_Hooks.Tutorial_OnEvent16(static_cast<int32_t>(i));
    }
    // the part buttons take input first: a purchase lays them out anew, and the new list is what gets drawn
    const uint32_t layout = g_layouts;
    for (size_t i = 0; input && i < BuildMenu_PartButtons.size() && layout == g_layouts; ++i) {
        const GUIBtnPtr b = BuildMenu_PartButtons[i];
        b->Update();
    }
    for (const GUIBtnPtr& b : BuildMenu_PartButtons) {
        b->Draw();
        BuildMenu_DrawPart(*b);
    }
    DrawPanelTexts();
}
