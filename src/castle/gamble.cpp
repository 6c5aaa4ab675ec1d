// The gamble box of the shop: the prize table, the draw with the game's random generator, applying a prize (a
// prize that needs the board waits for the next level) and the result shown in the shop box. Gamble_Init runs from
// the dialogs' image loading, Gamble_Roll from the shop box's init, Gamble_DrawResult from its drawing.
#include <algorithm>

#include "board/play.h"
#include "board/rules.h"
#include "castle/castle.h"
#include "main/assets.h"
#include "main/fonts.h"
#include "main/runtime.h"
#include "main/screens.h"
#include "main/text_layout.h"
#include "platform/graphics.h"
#include "platform/random.h"

std::vector<Gamble_Prize> Gamble_Prizes;
int32_t Gamble_Result = -1;

namespace {

// Draws one prize index by weight; the table is never empty after Gamble_Init.
int32_t Draw() {
    int32_t total = 0;
    for (const Gamble_Prize& p : Gamble_Prizes)
        total += std::max(0, p.Weight);
    if (total <= 0) return -1;
    int32_t roll = Rand_Int(1, total);
    for (size_t i = 0; i < Gamble_Prizes.size(); ++i) {
        roll -= std::max(0, Gamble_Prizes[i].Weight);
        if (roll <= 0) return int32_t(i);
    }
    return int32_t(Gamble_Prizes.size()) - 1;
}

// A spell that can still grow, chosen at random; -1 when every spell is at its highest level.
int32_t SpellToRaise() {
    std::vector<int32_t> open;
    for (int32_t s = 0; s < kSpellCount; ++s)
        if (Spell_Level(s) < kSpellLevels) open.push_back(s);
    return open.empty() ? -1 : open[size_t(Rand_Int(0, int(open.size()) - 1))];
}

} // namespace

void Gamble_Init() {
    struct Row {
        int32_t kind, amount, weight;
        const char16_t* text;
        const char16_t* picture;
    };
    static const Row kRows[] = {
        {PRIZE_NOTHING, 0, 20, u"Leider nichts gewonnen.", u"prize_nothing"},
        {PRIZE_GOLD, 50, 22, u"Du gewinnst 50 Gold!", u"prize_gold"},
        {PRIZE_GOLD, 250, 8, u"Du gewinnst 250 Gold!", u"prize_gold"},
        {PRIZE_GEMS, 5, 16, u"Du gewinnst 5 Edelsteine!", u"prize_gems"},
        {PRIZE_MANA, 100, 14, u"Du gewinnst 100 Mana!", u"prize_mana"},
        {PRIZE_HAMMER, 60, 12, u"Hammerladung für das nächste Level!", u"prize_hammer"},
        {PRIZE_LIFE, 1, 5, u"Du gewinnst ein Extraleben!", u"prize_life"},
        {PRIZE_SPELL, 1, 3, u"Ein Zauberspruch steigt eine Stufe!", u"prize_spell"},
    };
    Gamble_Prizes.clear();
    for (const Row& r : kRows)
        Gamble_Prizes.push_back(Gamble_Prize{r.kind, r.amount, r.weight, r.text,
                                             Asset_LoadImage(Str(u"Images/GUI/Shop/") + r.picture + u".png")});
}

void Gamble_Apply(int32_t prize) {
    if (prize < 0 || prize >= int32_t(Gamble_Prizes.size())) {
        Log_Print(u"Gamble_Res[" + Str_FromInt(prize) + u"]");
        return;
    }
    const Gamble_Prize& p = Gamble_Prizes[size_t(prize)];
    switch (p.Kind) {
    case PRIZE_GOLD:
        Gold_Add(p.Amount);
        break;
    case PRIZE_GEMS: {
        const int32_t colour = Rand_Int(0, kGemColours - 1);
        Gems_Total[size_t(colour)] += p.Amount; // straight into the bag: no level is running
        break;
    }
    case PRIZE_MANA:
        Mana = std::clamp(Mana + p.Amount, 0, Mana_Caps[std::clamp(Mana_CapLevel, 0, 2)] - 1);
        break;
    case PRIZE_LIFE:
        Lives = std::min(Lives + 1, kLivesMax);
        break;
    case PRIZE_SPELL: {
        const int32_t s = SpellToRaise();
        if (s >= 0)
            Spells_AddLevel(s);
        else
            Gold_Add(250); // every spell is at its highest level: the gold prize instead
        break;
    }
    case PRIZE_HAMMER:
        Gamble_PendingHammer += p.Amount; // the play loop gives it at the next level's first frame
        break;
    default:
        break;
    }
}

void Gamble_Roll() {
    if (Gamble_Prizes.empty()) Gamble_Init();
    Gamble_Result = Draw();
    Gamble_Apply(Gamble_Result);
    Match_Save(Level_Current, 0);
}

void Gamble_DrawResult() {
    if (Gamble_Result < 0 || Gamble_Result >= int32_t(Gamble_Prizes.size())) {
        Log_Print(u"Gamble_Res[" + Str_FromInt(Gamble_Result) + u"]");
        return;
    }
    const Gamble_Prize& p = Gamble_Prizes[size_t(Gamble_Result)];
    // Inside the shop box (352 x 242 at Dialog_X, Dialog_Y): the picture at the top, the text under it.
    const float cx = float(Dialog_X + 176);
    if (p.Picture) Draw_Image(p.Picture, cx - float(Image_Width(p.Picture)) / 2, float(Dialog_Y + 34));
    Draw_SetImageFont(Font_Get(kFontUnzialish16));
    Draw_SetColor(255, 236, 170);
    Text_DrawCenteredAt(p.Text, cx, float(Dialog_Y + 160));
    Draw_SetColor(255, 255, 255);
}
