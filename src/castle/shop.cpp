// The shop (screen 11): the back button, the four items (extra life, treasure chest, mana potion, gamble box) and
// one button per spell at its next level, with their prices; buying pays gold, applies and saves the match. The
// panel slides in and out like the build menu's. Screen hooks called by the screen switcher; the tutorial reads
// Shop_Buttons and calls Shop_Btn_Back_LeftUp.
#include <algorithm>

#include "board/play.h"
#include "board/rules.h"
#include "castle/castle.h"
#include "main/assets.h"
#include "main/audio.h"
#include "main/fonts.h"
#include "main/frame_timer.h"
#include "main/screens.h"
#include "main/text_layout.h"
#include "platform/graphics.h"

std::array<GUIBtnPtr, kShopButtons> Shop_Buttons;
int32_t Shop_Leaving = 0;

namespace {

// Layout, pixels: the panel slides in from the right; items in the left column, spells in two columns.
constexpr float kPanelX = 40, kPanelY = 30;
constexpr float kBackX = 300, kBackY = 500; // relative to the panel
constexpr float kItemX = 30, kItemY = 90, kItemStep = 92;
constexpr float kSpellX[2] = {260, 480};
constexpr float kSpellY = 90, kSpellStep = 92;
constexpr float kBtnW = 210, kBtnH = 84;

ImagePtr g_panel;
bool g_fadeInReported = false;
bool g_boxOpen = false;                      // the gamble's shop box is open (it disables every button)
std::array<bool, kShopButtons> g_priceOff{}; // the shop disabled the button (too dear or at the maximum)

const char16_t* const kItemNames[4] = {u"Extraleben", u"Schatztruhe", u"Manatrank", u"Glücksbox"};
const char16_t* const kItemImages[4] = {u"Images/GUI/Shop/item_life.png", u"Images/GUI/Shop/item_chest.png",
                                        u"Images/GUI/Shop/item_potion.png", u"Images/GUI/Shop/item_gamble.png"};
std::array<ImagePtr, 4> g_itemIcons;

float PanelX() { return kPanelX + Fade_Offset; }

void ButtonPoint(int32_t i, float& x, float& y) {
    const float px = PanelX();
    if (i == SHOP_BACK) {
        x = px + kBackX, y = kPanelY + kBackY;
    } else if (i < SHOP_SPELL0) {
        x = px + kItemX, y = kPanelY + kItemY + kItemStep * float(i - 1);
    } else {
        const int32_t s = i - SHOP_SPELL0;
        x = px + kSpellX[s / 4], y = kPanelY + kSpellY + kSpellStep * float(s % 4);
    }
}

void PlaceButtons() {
    for (int32_t i = 0; i < kShopButtons; ++i)
        if (Shop_Buttons[size_t(i)]) {
            float x, y;
            ButtonPoint(i, x, y);
            Shop_Buttons[size_t(i)]->SetPosition(x, y);
        }
}

void Btn_Buy(GUIBtn& b) {
    const int32_t i = b.id;
    if (i == SHOP_GAMBLE) {
        if (!Shop_Buy(i)) {
            Snd_PlayIndex(SND_SWAP_BACK);
            return;
        }
        g_boxOpen = true;
        Snd_PlayIndex(SND_GAMBLE);
        Castle_Hooks.MsgBox_Shop_Open(); // its init rolls the prize
        return;
    }
    Snd_PlayIndex(Shop_Buy(i) ? (i == SHOP_LIFE ? SND_LIFE : SND_BUY) : SND_SWAP_BACK);
}

void Btn_Back(GUIBtn&) { Shop_Btn_Back_LeftUp(); }

} // namespace

// The button's text: name, level and price, or why it is not for sale.
void Shop_DrawItem(int32_t i, const GUIBtn& b) {
    Str name, detail;
    ImagePtr icon;
    if (i < SHOP_SPELL0) {
        name = kItemNames[i - 1];
        icon = g_itemIcons[size_t(i - 1)];
        if (i == SHOP_CHEST) detail = u"Stufe " + Str_FromInt(Treasure_Level);
        if (i == SHOP_POTION) detail = u"Mana " + Str_FromInt(Mana_Caps[std::clamp(Mana_CapLevel, 0, 2)]);
        if (i == SHOP_LIFE) detail = u"Leben " + Str_FromInt(Lives);
    } else {
        const int32_t s = i - SHOP_SPELL0;
        name = Spell_Name(s);
        icon = IGI_SpellIcon(s);
        detail = u"Stufe " + Str_FromInt(Spell_Level(s)) + u"/3";
    }
    const bool off = (b.state & BTN_DISABLED) != 0;
    if (icon) {
        Draw_SetAlpha(off ? 0.5f : 1.0f);
        Draw_ImageRect(icon, b.x + 10, b.y + 14, 56, 56);
        Draw_SetAlpha(1);
    }
    Castle_DrawButtonTitle(name, b.x + 76, b.y + 12, off);
    Draw_SetImageFont(Font_Get(kFontTrinigan16));
    Draw_SetColor(220, 222, 250);
    Draw_Text(detail, b.x + 76, b.y + 36);
    const int32_t price = Shop_Price(i);
    if (price > 0) {
        if (Gold < price)
            Draw_SetColor(255, 110, 95);
        else
            Draw_SetColor(255, 214, 90);
        Draw_Text(Str_FromInt(price) + u" Gold", b.x + 76, b.y + 56);
    } else {
        Draw_SetColor(170, 200, 170);
        Draw_Text(u"ausverkauft", b.x + 76, b.y + 56);
    }
    Draw_SetColor(255, 255, 255);
}

int32_t Shop_Price(int32_t button) {
    switch (button) {
    case SHOP_LIFE:
        return Lives < kLivesMax ? kLifePrice : 0;
    case SHOP_CHEST:
        return Treasure_Level >= 0 && Treasure_Level < 2 ? kChestPrices[size_t(Treasure_Level)] : 0;
    case SHOP_POTION:
        return Mana_CapLevel >= 0 && Mana_CapLevel < 2 ? kPotionPrices[size_t(Mana_CapLevel)] : 0;
    case SHOP_GAMBLE:
        return kGamblePrice;
    default:
        break;
    }
    const int32_t s = button - SHOP_SPELL0;
    if (s < 0 || s >= kSpellCount) return 0;
    const int32_t level = Spell_Level(s);
    return level < kSpellLevels ? Spell_Types[size_t(s * kSpellLevels + level)].Price : 0;
}

bool Shop_CanBuy(int32_t button) {
    const int32_t price = Shop_Price(button);
    return price > 0 && Gold >= price;
}

bool Shop_Buy(int32_t button) {
    if (!Shop_CanBuy(button)) return false;
    const int32_t price = Shop_Price(button);
    Gold -= price;
    switch (button) {
    case SHOP_LIFE:
        ++Lives;
        break;
    case SHOP_CHEST:
        ++Treasure_Level;
        break;
    case SHOP_POTION:
        ++Mana_CapLevel;
        Mana = Mana_Caps[Mana_CapLevel] - 1; // the new, larger bottle comes full
        break;
    case SHOP_GAMBLE:
        break; // the shop box rolls the prize
    default:
        Spells_AddLevel(button - SHOP_SPELL0);
        break;
    }
    Match_Save(Level_Current, 0);
    return true;
}

void Shop_Load() {
    g_panel = Asset_LoadImage(u"Images/GUI/Shop/shop_panel.png");
    for (size_t i = 0; i < g_itemIcons.size(); ++i)
        g_itemIcons[i] = Asset_LoadImage(kItemImages[i]);
    Shop_Buttons[SHOP_BACK] =
        GUIBtn::CreateSingleImgBtn(SHOP_BACK, 0, 0, Btn_Back, u"Images/GUI/BuildMenu/bm_btn", u"Zurück", 40);
    const ImagePtr def = Images_Get(u"Images/GUI/Shop/shop_btn_default.png");
    const ImagePtr hov = Images_Get(u"Images/GUI/Shop/shop_btn_hovered.png");
    const ImagePtr pre = Images_Get(u"Images/GUI/Shop/shop_btn_pressed.png");
    const ImagePtr off = Images_Get(u"Images/GUI/Shop/shop_btn_disabled.png");
    for (int32_t i = 1; i < kShopButtons; ++i) {
        GUIBtnPtr b = GUIBtn::CreateImgBtn(i, 0, 0, Btn_Buy, def, hov, pre, Str(), nullptr);
        if (!def) b->SetHitRect(0, 0, int32_t(kBtnW), int32_t(kBtnH));
        b->SetImage(off, BTNIMG_DISABLED);
        Shop_Buttons[size_t(i)] = b;
    }
    if (!Shop_Buttons[SHOP_BACK]->Image(BTNIMG_DEFAULT)) Shop_Buttons[SHOP_BACK]->SetHitRect(0, 0, 144, 42);
    PlaceButtons();
}

void Shop_Enter() {
    if (!Shop_Buttons[SHOP_BACK]) Shop_Load();
    for (const GUIBtnPtr& b : Shop_Buttons)
        if (b) b->state &= ~(BTN_DISABLED | BTN_PRESSED | BTN_CLICKED);
    g_priceOff.fill(false);
    g_boxOpen = false;
    Fade_State = FADE_SLIDING_IN;
    Fade_Offset = Fade_Limit;
    Shop_Leaving = 0;
    g_fadeInReported = false;
    PlaceButtons();
}

void Shop_Leave() {
    Fade_State = FADE_STILL;
    Fade_Offset = 0;
    Shop_Leaving = 0;
}

void Shop_Btn_Back_LeftUp() {
    if (Fade_State == FADE_SLIDING_OUT) return;
    Shop_Leaving = 1;
    Fade_State = FADE_SLIDING_OUT;
}

void Shop_Update() {
    const float ms = Frame_DeltaMs;
    const int32_t slid = Fade_Step(ms);
    if (slid == FADE_SLIDING_IN) {
        if (!g_fadeInReported) Castle_Hooks.Tutorial_OnEvent0();
        g_fadeInReported = true;
    } else if (slid == FADE_SLIDING_OUT) {
        Shop_Leaving = 0;
        BuildMenu_From = BM_FROM_SHOP;
        Screen_Set(kScreenBuildMenu);
        return;
    }
    PlaceButtons();
    Castle_Hooks.Tutorial_OnEvent11();

    Background_DrawFullscreen(Castle_Backdrop(Castle_Shown(), false));
    if (g_panel) Draw_Image(g_panel, PanelX(), kPanelY);
    Draw_SetImageFont(Font_Get(kFontTrinigan24));
    Draw_SetColor(255, 226, 140);
    Text_DrawCenteredAt(u"Shop", PanelX() + 360, kPanelY + 40);
    Draw_SetImageFont(Font_Get(kFontTrinigan14));
    Draw_SetColor(230, 232, 255);
    Text_DrawCenteredAt(u"Gold: " + Str_FromInt(Gold), PanelX() + 120, kPanelY + 524);
    Draw_SetColor(255, 255, 255);

    // The shop box disables every button and its OK enables the first: then the shop takes the others back. Each
    // frame the shop disables what cannot be bought and enables again only what it disabled itself, so the
    // tutorial's own disabling stands.
    if (g_boxOpen && !Dialog_Active && !(Shop_Buttons[0]->state & BTN_DISABLED)) {
        g_boxOpen = false;
        for (const GUIBtnPtr& b : Shop_Buttons)
            b->state &= ~BTN_DISABLED;
        g_priceOff.fill(false);
    }
    const bool input = Fade_State == FADE_STILL && !Dialog_HoldsInput() && !g_boxOpen; // a tutorial frame lets them work
    for (int32_t i = 0; i < kShopButtons; ++i) {
        GUIBtn& b = *Shop_Buttons[size_t(i)];
        if (input && i > 0) {
            const bool can = Shop_CanBuy(i);
            if (!can && !(b.state & BTN_DISABLED)) {
                b.state |= BTN_DISABLED;
                g_priceOff[size_t(i)] = true;
            } else if (can && g_priceOff[size_t(i)]) {
                b.state &= ~BTN_DISABLED;
                g_priceOff[size_t(i)] = false;
            }
        }
        if (input) b.Update();
        b.Draw();
        if (i > 0) Shop_DrawItem(i, b);
        Castle_Hooks.Tutorial_OnEvent16(i);
    }
}
