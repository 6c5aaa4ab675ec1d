// The in-game interface over the game screen: the panel on the right with level, score, gold and lives, the spell
// buttons with their tooltips, the treasure counter, the hammer button with its gauge and the menu button; the mana
// bar along the top; the frost on the time bar while time stands still; the spell previews. Drawn by Game_Frame
// directly; IGI_OpenMenu also by the Esc key.
#include <algorithm>

#include "board/play.h"
#include "board/rules.h"
#include "castle/castle.h"
#include "main/assets.h"
#include "main/fonts.h"
#include "main/frame_timer.h"
#include "main/screens.h"
#include "main/text_layout.h"
#include "platform/graphics.h"

std::array<GUIBtnPtr, kSpellCount + 2> IGI_Buttons;

namespace {

// Layout, pixels.
constexpr float kPanelX = 620;             // the panel right of the board
constexpr float kPanelInnerRight = 784;    // where the panel's gold frame begins on its right: a tooltip ends here
constexpr float kManaX = 200, kManaY = 10; // the mana bar along the top (its centre is (341, 20))
constexpr float kManaW = 282, kManaH = 20;
constexpr float kSpellX = 640, kSpellY = 118; // first spell button; two columns of four
constexpr float kSpellStepX = 82, kSpellStepY = 68;
constexpr float kSpellSize = 60;
constexpr float kGaugeX = 712, kGaugeW = 18, kGaugeH = 64; // the hammer gauge right of the hammer button
constexpr float kMenuX = 650, kMenuY = 552;
constexpr int32_t kTimeBarX = 34, kTimeBarW = 22; // the board's time bar (frost while time stands still)
constexpr int32_t kIdHammer = 0, kIdMenu = 1;

ImagePtr g_panel, g_manaFrame, g_manaFill, g_coin, g_heart, g_dot, g_gauge;
std::array<ImagePtr, kSpellCount> g_spellIcons;

void Btn_Spell(GUIBtn& b) {
    const int32_t s = b.id - 2;
    if (Spell_Targeting == s) {
        Spell_Cancel();
        return;
    }
    Spell_Choose(s);
}
void Btn_Hammer(GUIBtn&) { IGI_Btn_Hammer_LeftUp(); }
void Btn_Menu(GUIBtn&) { IGI_OpenMenu(); }

void Counter(const ImagePtr& icon, const Str& text, float x, float y) {
    if (icon) Draw_Image(icon, x, y);
    Draw_SetImageFont(Font_Get(kFontTrinigan18));
    Draw_SetColor(255, 240, 200);
    Draw_Text(text, x + 30, y + 4);
    Draw_SetColor(255, 255, 255);
}

void DrawManaBar() {
    const int32_t cap = Mana_Caps[std::clamp(Mana_CapLevel, 0, 2)] - 1;
    const float share = cap > 0 ? std::clamp(float(Mana) / float(cap), 0.0f, 1.0f) : 0.0f;
    Draw_SetBlend(BLEND_ALPHA);
    Draw_SetColor(12, 14, 30);
    Draw_Rect(kManaX, kManaY, kManaW, kManaH);
    Draw_SetColor(255, 255, 255);
    if (g_manaFill)
        Draw_ImagePart(g_manaFill, kManaX + 2, kManaY + 2, 0, 0, int(share * (kManaW - 4)), int(kManaH - 4));
    else {
        Draw_SetColor(60, 200, 90);
        Draw_Rect(kManaX + 2, kManaY + 2, share * (kManaW - 4), kManaH - 4);
    }
    // The cost of each affordable spell as a tick on the bar.
    for (int32_t s = 0; s < kSpellCount; ++s) {
        const int32_t i = Spell_GetIndex(s);
        if (i < 0 || cap <= 0) continue;
        const float x = kManaX + 2 + (kManaW - 4) * std::min(1.0f, float(Spell_Types[size_t(i)].ManaCost) / float(cap));
        Draw_SetColor(255, 226, 140);
        Draw_Rect(x, kManaY + 2, 1, kManaH - 4);
    }
    Draw_SetColor(255, 255, 255);
    if (g_manaFrame) Draw_Image(g_manaFrame, kManaX - 8, kManaY - 6);
    Draw_SetImageFont(Font_Get(kFontTrinigan16));
    Draw_SetColor(235, 255, 235);
    // The label is made again only when a number changed, in a string that keeps its room: no allocation per frame.
    static Str label;
    static int32_t shownMana = -1, shownCap = -1;
    if (Mana != shownMana || cap != shownCap || label.empty()) {
        shownMana = Mana;
        shownCap = cap;
        label.assign(u"Mana ").append(Str_FromInt(Mana)).append(u"/").append(Str_FromInt(cap));
    }
    Text_DrawCenteredAt(label, kManaX + kManaW / 2, kManaY + kManaH / 2);
    Draw_SetColor(255, 255, 255);
}

void DrawFrost() {
    if (Freeze_TimeLeft <= 0 || Freeze_TimeTotal <= 0) return;
    const float share = std::clamp(Freeze_TimeLeft / Freeze_TimeTotal, 0.0f, 1.0f);
    Draw_SetBlend(BLEND_ADDITIVE);
    Draw_SetAlpha(0.25f + 0.35f * share);
    Draw_SetColor(120, 190, 255);
    Draw_Rect(float(kTimeBarX - 2), float(Board_AreaY - 2), float(kTimeBarW + 4), float(Board_AreaH + 4));
    Draw_SetBlend(BLEND_ALPHA);
    Draw_SetAlpha(1);
    Draw_SetColor(255, 255, 255);
}

void DrawGauge() {
    const float top = float(Hammer_ButtonY), segH = kGaugeH / float(Hammer_GaugeSegments);
    Draw_SetColor(12, 14, 30);
    Draw_Rect(kGaugeX, top, kGaugeW, kGaugeH);
    for (int32_t i = 0; i < Hammer_GaugeSegments; ++i) {
        const float y = top + kGaugeH - segH * float(i + 1);
        const float f = float(HammerFill[size_t(i)]) / 255.0f;
        Draw_SetColor(int(60 + 195 * f), int(60 + 150 * f), int(80 - 40 * f));
        Draw_Rect(kGaugeX + 2, y + 1, kGaugeW - 4, segH - 2);
    }
    Draw_SetColor(255, 255, 255);
    if (g_gauge) Draw_Image(g_gauge, kGaugeX - 4, top - 4);
}

void DrawHammerIcon(const GUIBtn& b) {
    const int32_t n = std::clamp(Hammer_Current, 0, Hammer_Count);
    const Hammer& h = Hammers[size_t(std::max(0, n - 1))];
    const ImagePtr& icon = n > 0 ? h.Image : h.Grey;
    if (!icon) return;
    Draw_SetBlend(BLEND_ADDITIVE);
    const float s = std::min(44.0f / float(Image_Width(icon)), 44.0f / float(Image_Height(icon)));
    Draw_ImageRect(icon, b.x + 10, b.y + 10, float(Image_Width(icon)) * s, float(Image_Height(icon)) * s);
    Draw_SetBlend(BLEND_ALPHA);
    if (Hammer_Armed) {
        Draw_SetColor(255, 240, 168);
        Draw_Rect(b.x + 2, b.y + 2, 60, 60, false);
        Draw_SetColor(255, 255, 255);
    }
}

void DrawSpellButton(int32_t s, const GUIBtn& b) {
    const bool off = (b.state & BTN_DISABLED) != 0;
    if (const ImagePtr& icon = g_spellIcons[size_t(s)]) {
        Draw_SetAlpha(off ? 0.35f : 1.0f);
        if (off) Draw_SetColor(150, 150, 170);
        Draw_ImageRect(icon, b.x + 6, b.y + 6, kSpellSize - 12, kSpellSize - 12);
        Draw_SetAlpha(1);
        Draw_SetColor(255, 255, 255);
    }
    // The owned level as gold pips under the icon.
    for (int32_t l = 0; l < Spell_Level(s); ++l) {
        Draw_SetColor(255, 214, 90);
        Draw_Rect(b.x + kSpellSize / 2 - 10 + float(l) * 8, b.y + kSpellSize - 6, 5, 4);
    }
    if (Spell_Targeting == s || Spell_Pending == s) {
        Draw_SetColor(127, 212, 255);
        Draw_Rect(b.x + 1, b.y + 1, kSpellSize - 2, kSpellSize - 2, false);
        Draw_Rect(b.x + 2, b.y + 2, kSpellSize - 4, kSpellSize - 4, false);
    }
    Draw_SetColor(255, 255, 255);
}

void DrawTooltip(int32_t s, const GUIBtn& b) {
    const int32_t i = Spell_GetIndex(s);
    Str line = Spell_Name(s);
    if (i >= 0)
        line += u" (Stufe " + Str_FromInt(Spell_Types[size_t(i)].Level) + u"): " +
                Str_FromInt(Spell_Types[size_t(i)].ManaCost) + u" Mana";
    else
        line += u": im Shop erhältlich";
    Draw_SetImageFont(Font_Get(kFontTrinigan16));
    const float w = float(Text_Width(line)) + 16, x = std::min(b.x - 4, kPanelInnerRight - w), y = b.y - 26;
    Draw_SetAlpha(0.85f);
    Draw_SetColor(20, 26, 58);
    Draw_Rect(x, y, w, 22);
    Draw_SetAlpha(1);
    Draw_SetColor(242, 194, 75);
    Draw_Rect(x, y, w, 22, false);
    Draw_SetColor(255, 240, 200);
    Draw_Text(line, x + 8, y + 3);
    Draw_SetColor(255, 255, 255);
}

void Make() {
    const ImagePtr def = Images_Get(u"Images/GUI/Interface/igi_spell_default.png");
    const ImagePtr hov = Images_Get(u"Images/GUI/Interface/igi_spell_hovered.png");
    const ImagePtr pre = Images_Get(u"Images/GUI/Interface/igi_spell_pressed.png");
    const ImagePtr off = Images_Get(u"Images/GUI/Interface/igi_spell_disabled.png");
    for (int32_t s = 0; s < kSpellCount; ++s) {
        GUIBtnPtr b =
            GUIBtn::CreateImgBtn(s + 2, kSpellX + kSpellStepX * float(s / 4), kSpellY + kSpellStepY * float(s % 4),
                                 Btn_Spell, def, hov, pre, Str(), nullptr);
        if (!def) b->SetHitRect(0, 0, int32_t(kSpellSize), int32_t(kSpellSize));
        b->SetImage(off, BTNIMG_DISABLED);
        IGI_Buttons[size_t(s + 2)] = b;
    }
    IGI_Buttons[kIdHammer] = GUIBtn::CreateSingleImgBtn(kIdHammer, float(Hammer_ButtonX), float(Hammer_ButtonY),
                                                        Btn_Hammer, u"Images/GUI/Interface/igi_hammer", Str(), 40);
    if (!IGI_Buttons[kIdHammer]->Image(BTNIMG_DEFAULT)) IGI_Buttons[kIdHammer]->SetHitRect(0, 0, 64, 64);
    IGI_Buttons[kIdMenu] =
        GUIBtn::CreateSingleImgBtn(kIdMenu, kMenuX, kMenuY, Btn_Menu, u"Images/GUI/Interface/igi_menu", u"Menü", 40);
    if (!IGI_Buttons[kIdMenu]->Image(BTNIMG_DEFAULT)) IGI_Buttons[kIdMenu]->SetHitRect(0, 0, 120, 36);
}

} // namespace

const ImagePtr& IGI_SpellIcon(int32_t spell) {
    static const ImagePtr none;
    return spell >= 0 && spell < kSpellCount ? g_spellIcons[size_t(spell)] : none;
}
const ImagePtr& Spell_PreviewDot() { return g_dot; }

void IGI_Load() {
    g_panel = Asset_LoadImage(u"Images/GUI/Interface/igi_panel.png");
    g_manaFrame = Asset_LoadImage(u"Images/GUI/Interface/igi_manaframe.png");
    g_manaFill = Asset_LoadImage(u"Images/GUI/Interface/igi_manafill.png");
    g_coin = Asset_LoadImage(u"Images/GUI/Interface/igi_gold.png");
    g_heart = Asset_LoadImage(u"Images/GUI/Interface/igi_life.png");
    g_gauge = Asset_LoadImage(u"Images/GUI/Interface/igi_gauge.png");
    g_dot = Images_GetAnim(u"Images/GUI/Interface/igi_dot.png", 16, 16, 4);
    for (int32_t s = 0; s < kSpellCount; ++s)
        g_spellIcons[size_t(s)] = Asset_LoadImage(u"Images/GUI/Interface/spell" + Str_FromInt(s) + u".png");
    Make();
}

void IGI_OpenMenu() {
    if (Spells_TakesClicks()) { // Esc while a spell waits for its target takes the spell back
        Spell_Cancel();
        return;
    }
    Dialog_Open(Castle_Hooks.IGMenu_Init, Castle_Hooks.IGMenu_Update, Castle_Hooks.IGMenu_Draw, 1);
}

GUIBtnPtr IGI_Button(int32_t index) {
    if (index < 0 || index >= int32_t(IGI_Buttons.size())) return nullptr;
    return IGI_Buttons[size_t(index)];
}

void IGI_Btn_Hammer_LeftUp() {
    Castle_Hooks.Tutorial_OnEvent8();
    Spell_Cancel();
    Hammer_Arm();
}

Rect IGI_OpaqueBand() {
    int top = 0, bottom = 0;
    Image_OpaqueRows(g_panel, 0, top, bottom);
    const int w = g_panel ? Image_Width(g_panel) : 0;
    if (bottom - top < 16 || w <= 0) return Rect{};
    return Rect{int(kPanelX), top, w, bottom - top};
}

namespace {
// The panel with what stands on it but the buttons: level, score, gold, lives, the treasure, the hammer gauge.
void DrawPanel() {
    Draw_SetBlend(BLEND_ALPHA);
    if (g_panel) Draw_Image(g_panel, kPanelX, 0);
    Draw_SetImageFont(Font_Get(kFontTrinigan16));
    Draw_SetColor(230, 232, 255);
    Text_DrawCenteredAt(u"Level " + Str_FromInt(Level_Current), kPanelX + 90, 22);
    Draw_SetImageFont(Font_Get(kFontTrinigan24));
    Draw_SetColor(255, 226, 140);
    Text_DrawCenteredAt(Str_FromInt(Score), kPanelX + 90, 52);
    Counter(g_coin, Str_FromInt(Gold), kPanelX + 14, 76);
    Counter(g_heart, Str_FromInt(Lives), kPanelX + 104, 76);
    Treasure_Draw();
    DrawGauge();
}

// Everything DrawPanel shows.
LayerKey PanelKey() {
    LayerKey key;
    key.Add(g_panel.get()).Add(g_coin.get()).Add(g_heart.get()).Add(g_gauge.get());
    key.Add(Level_Current).Add(Score).Add(Gold).Add(Lives).Add(Treasure_Level).Add(Gems_ThisLevel).Add(Gems_BagFull());
    for (const int32_t fill : HammerFill)
        key.Add(fill);
    key.Add(Hammer_ButtonY);
    return key;
}

// The panel's band of rows opaque all across is kept as a cached layer and copied at its place in the drawing
// order; only the rows above and below it (its rounded ends, where what lies below shows through) are drawn each
// frame, clipped to them. Either way the drawing state afterwards is the same. The buttons are drawn over it.
void DrawPanelCached() {
    const Rect band = IGI_OpaqueBand();
    if (band.w <= 0) { // not drawn yet, or nothing worth keeping
        DrawPanel();
    } else {
        if (!Layer_Reuse(kLayerGamePanel, PanelKey().hash, band)) {
            DrawPanel();
            Layer_Done(kLayerGamePanel);
        }
        const Rect keep = Draw_GetViewport();
        const int x = band.x, w = band.w, top = band.y, bottom = band.y + band.h;
        for (const Rect& strip : {Rect{x, 0, w, top}, Rect{x, bottom, w, Image_Height(g_panel) - bottom}}) {
            Draw_SetViewport(strip.x, strip.y, strip.w, strip.h);
            if (Draw_GetViewport().w > 0 && Draw_GetViewport().h > 0) DrawPanel();
        }
        Draw_SetViewport(keep.x, keep.y, keep.w, keep.h);
    }
    Draw_SetBlend(BLEND_ALPHA);
    Draw_SetAlpha(1);
    Draw_SetColor(255, 255, 255);
    Draw_SetImageFont(Font_Get(kFontTrinigan18));
}
} // namespace

void IGI_Update() {
    if (!IGI_Buttons[kIdMenu]) IGI_Load();
    Spells_DrawPreview();
    DrawFrost();
    DrawManaBar();

    // A tutorial frame that waits for one of these buttons lets them work, though it may pause the game.
    const bool input =
        (Dialog_Owner() == DIALOG_TUTORIAL_FRAME || (!Game_Paused && !Dialog_Active)) && Level_EndState < 2;
    DrawPanelCached();
    // One button at a time: updated, then drawn over the panel.
    int32_t hovered = -1;
    for (int32_t i = 0; i < int32_t(IGI_Buttons.size()); ++i) {
        GUIBtn& b = *IGI_Buttons[size_t(i)];
        if (i >= 2) {
            if (Spell_CanCast(i - 2) || Spell_Targeting == i - 2)
                b.state &= ~BTN_DISABLED;
            else
                b.state |= BTN_DISABLED;
        } else if (i == kIdHammer) {
            if (Hammer_Current > 0)
                b.state &= ~BTN_DISABLED;
            else
                b.state |= BTN_DISABLED;
        }
        if (input) b.Update();
        b.Draw();
        if (i == kIdHammer) DrawHammerIcon(b);
        if (i >= 2) {
            DrawSpellButton(i - 2, b);
            if (b.HitTest(Input_MouseX, Input_MouseY)) hovered = i - 2;
        }
        Castle_Hooks.Tutorial_OnEvent16(i);
    }
    if (hovered >= 0) DrawTooltip(hovered, *IGI_Buttons[size_t(hovered + 2)]);
}
