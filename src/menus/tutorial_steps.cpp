// The 45 tutorial steps: the table of every step's levels, screen and event handlers (Tutorial_Init walks it), and
// what each handler does: when its step fires, which frame and text it shows, where the arrow points, what it
// refuses while it shows and what ends it. Handlers run inside the event notifiers of tutorial.cpp.
//
// Sections: [helpers] [game: first level] [game: coins, bottles, amulet] [game: hammers] [game: board lessons]
//           [build menu] [shop] [spells and mana] [gem bag] [the table]
#include <algorithm>

#include "board/board.h"
#include "board/play.h"
#include "board/rules.h"
#include "castle/castle.h"
#include "main/runtime.h"
#include "main/screens.h"
#include "menus/menus.h"
#include "menus/tutorial_internal.h"
#include "platform/graphics.h"

namespace {

// [helpers] ------------------------------------------------------------------------------------------------------

constexpr int32_t kFireball = 5;            // spell number of the fireball
constexpr int32_t kFireballButton = 7;      // its button in the in-game interface (spell + 2)
constexpr int32_t kShopFireballButton = 10; // its button in the shop (5 + spell)
// The mana bar runs along the top (x 200..482, its text in the middle): the arrow points at its left end from the
// left (its tip ends half a cell less 10 px left of the point placed), so it does not hide the bar's text.
constexpr int32_t kManaBarLeft = 198, kManaBarY = 19;
// The time display of this game's screen is the bar left of the board (x 34..56): the arrow stands right of it and
// points left, at the height where the hourglass runs down.
constexpr int32_t kTimeArrowX = Board_AreaX - 26, kTimeArrowY = 437;

bool Free() { return Tutorial_Current == -1; }
// A step shows its frame only while no box of the game's flow is open; it stays not done and may fire later.
bool CanShow() { return !Dialog_Active || Dialog_Owner() != DIALOG_GAME; }
bool FreeToShow() { return Free() && CanShow(); }
bool IsCurrent(const Tutorial& t) { return Tutorial_Current == t.Id; }

Point CellCentre(int32_t x, int32_t y) {
    return Point{Board_OriginX + x * Cell_Width + Cell_Width / 2, Board_OriginY + y * Cell_Height + Cell_Height / 2};
}
// The arrow points at a piece's centre: placed against its left edge, its tip would end on the left neighbour.
Point PiecePoint(const Piece& p) { return Point{p.ScreenX + Cell_Width / 2, p.ScreenY + Cell_Height / 2}; }
Point ButtonPoint(const GUIBtn& b) {
    const ImagePtr img = b.Image(BTNIMG_DEFAULT);
    const float w = img ? float(Image_Width(img)) : float(b.hitW), h = img ? float(Image_Height(img)) : float(b.hitH);
    return Point{int32_t(b.x + w / 4), int32_t(b.y + h / 2)};
}
bool InBoard(int32_t x, int32_t y) { return x >= 0 && y >= 0 && x < Board_Cols && y < Board_Rows; }
const PiecePtr& CellPiece(int32_t x, int32_t y) {
    static const PiecePtr none;
    return InBoard(x, y) ? Board_Cells[x][y].Piece : none;
}

bool OwnsSpell(int32_t s) { return Spell_GetIndex(s) != -1; }
bool OwnsAnySpell() {
    for (int32_t s = 0; s < 8; ++s)
        if (OwnsSpell(s)) return true;
    return false;
}

// Makes the step the running one and shows its frame.
void Show(Tutorial& t, int32_t kind, int32_t pause) {
    Tutorial_Current = t.Id;
    Tutorial_OpenFrame(kind, pause);
}
void ShowCentred(Tutorial& t, int32_t kind, int32_t pause) {
    TutFrame_X = TutFrame_Y = -1;
    Tutorial_Arrow.visible = 0;
    Tutorial_Arrow.piece.reset();
    Show(t, kind, pause);
}
void PlaceAt(Point p, int32_t side = 0, int32_t far = 0) { Tutorial_PlaceFrame(p.x, p.y, 1, side, far); }

void SetDisabled(const GUIBtnPtr& b, bool disabled) {
    if (!b) return;
    if (disabled)
        b->state |= BTN_DISABLED;
    else
        b->state &= ~BTN_DISABLED;
}
bool Clicked(const GUIBtnPtr& b) { return b && (b->state & BTN_CLICKED); }
bool Enabled(const GUIBtnPtr& b) { return b && !(b->state & (BTN_DISABLED | BTN_HIDDEN)); }

// The followed piece of a coin or bottle step has left the board or is being removed.
bool FollowedPieceGone() {
    const PiecePtr& p = Tutorial_Arrow.piece;
    return !p || p->Removing || !Piece_OnBoard(p);
}

// [game: first level] --------------------------------------------------------------------------------------------

void Tut0_OnEvent15(Tutorial& t, int32_t, int32_t) {
    if (!FreeToShow()) return;
    Tutorial_Arrow.visible = 0;
    Show(t, TUTFRAME_INTRO, 1);
}

void Tut1_OnEvent0(Tutorial& t, int32_t, int32_t) {
    if (!FreeToShow()) return;
    Match_Timer = 0;
    Hint_Found = 0;
    Hint_Tick(Board_OriginX + Board_PixelWidth / 2, Board_OriginY + Board_PixelHeight / 2, Match_MinRun);
    const Point at = Hint_Found ? CellCentre(Hint_Col, Hint_Row) : Point{Screen_CenterX, Screen_CenterY};
    PlaceAt(at);
    Show(t, TUTFRAME_PLAIN, 0);
}

// Until step 1 is done, only a cell that has a move with one of its neighbours on the board takes a click.
void Tut1_OnEvent12(Tutorial&, int32_t x, int32_t y) {
    static constexpr Point kNeighbours[4] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    if (!Cell_Playable(x, y)) {
        Tutorial_ClickAllowed = 0;
        return;
    }
    for (const Point& d : kNeighbours)
        if (Cell_Playable(x + d.x, y + d.y) && Board_FindMoves(x, y, x + d.x, y + d.y)) return;
    Tutorial_ClickAllowed = 0;
}

void Tut1_OnEvent1(Tutorial& t, int32_t, int32_t) {
    if (IsCurrent(t))
        Tutorial_Close();
    else
        Tutorial_MarkDone(t.Id); // a match made before the frame could show: the lesson is learnt
}

void Tut2_OnEvent1(Tutorial& t, int32_t, int32_t) {
    if (Free()) {
        Tutorial_Current = t.Id; // counting: other steps wait from the first match on
        Tutorial_FrameKind = TUTFRAME_NONE;
        Tutorial_Countdown = 5;
    }
    if (!IsCurrent(t) || Tutorial_FrameKind != TUTFRAME_NONE) return;
    if (Tutorial_Countdown > 0) --Tutorial_Countdown;
    if (Tutorial_Countdown <= 0 && CanShow()) ShowCentred(t, TUTFRAME_OK, 1);
}

void Tut3_OnEvent2(Tutorial& t, int32_t, int32_t) {
    if (FreeToShow()) ShowCentred(t, TUTFRAME_OK, 1);
}

void Tut4_OnEvent0(Tutorial& t, int32_t, int32_t) {
    if (Relaxed_Mode == 1 || !FreeToShow()) return;
    TutFrame_X = TutFrame_Y = -1;
    Tutorial_ShowArrow(kTimeArrowX, kTimeArrowY, 1);
    Show(t, TUTFRAME_OK, 1);
}

void Tut31_OnEvent1(Tutorial& t, int32_t, int32_t) {
    if (Level_EndState != 0 || Match_BySwap != 1 || !Free()) return;
    t.StateA = Match_HadTile ? 0 : t.StateA + 1;
    if (t.StateA >= 10 && CanShow()) ShowCentred(t, TUTFRAME_OK, 1);
}

// [game: coins, bottles, amulet] ---------------------------------------------------------------------------------

// Steps 5 (coin, event 3) and 7 (bottle, event 5): the frame with the arrow on the piece, which it follows.
void CollectableAppeared(Tutorial& t, int32_t x, int32_t y) {
    if (!FreeToShow()) return;
    const PiecePtr piece = CellPiece(x, y);
    if (!piece) return;
    PlaceAt(PiecePoint(*piece));
    Show(t, TUTFRAME_PLAIN, 0);
    Tutorial_AttachArrow(piece);
}
void Tut5_OnEvent3(Tutorial& t, int32_t x, int32_t y) { CollectableAppeared(t, x, y); }
void Tut7_OnEvent5(Tutorial& t, int32_t x, int32_t y) { CollectableAppeared(t, x, y); }

// Every frame: the piece does not expire while its step shows; when it is gone anyway (a cascade, a special
// piece), the step ends undone instead of refusing every click for good.
void CollectableKeep(Tutorial& t, int32_t, int32_t) {
    if (!IsCurrent(t)) return;
    if (FollowedPieceGone()) {
        Tutorial_Abort();
        return;
    }
    Tutorial_Arrow.piece->Lifetime = 10000;
}
void Tut5_OnEvent11(Tutorial& t, int32_t a, int32_t b) { CollectableKeep(t, a, b); }
void Tut7_OnEvent11(Tutorial& t, int32_t a, int32_t b) { CollectableKeep(t, a, b); }

void Tut5_OnEvent12(Tutorial& t, int32_t x, int32_t y) {
    if (!IsCurrent(t)) return;
    if (!Piece_IsCoin(CellPiece(x, y))) {
        Tutorial_ClickAllowed = 0;
        return;
    }
    Tutorial_Close();
}
void Tut7_OnEvent12(Tutorial& t, int32_t x, int32_t y) {
    if (!IsCurrent(t)) return;
    if (!Piece_IsManaBottle(CellPiece(x, y))) {
        Tutorial_ClickAllowed = 0;
        return;
    }
    Tutorial_Close();
}

void Tut6_OnEvent4(Tutorial& t, int32_t x, int32_t y) {
    if (!(Free() || IsCurrent(t)) || !CanShow()) return;
    const PiecePtr piece = CellPiece(x, y);
    if (!piece) return;
    Tutorial_PlaceFrame(PiecePoint(*piece).x, PiecePoint(*piece).y, 1, 0, 1);
    Show(t, TUTFRAME_OK, 1);
    Tutorial_AttachArrow(piece);
}

// While step 6 shows, the cells below an amulet (in its column, no void cell between) are lit.
void Tut6_OnEvent13(Tutorial& t, int32_t x, int32_t y) {
    if (!IsCurrent(t) || !InBoard(x, y)) return;
    for (int32_t r = y; r >= 0; --r) {
        const Table_cell& c = Board_Cells[x][r];
        if (c.Void) return;
        if (c.Piece && c.Piece->Kind == KIND_AMULET) {
            const float keep = Draw_GetAlpha();
            Draw_SetColor(255, 255, 255);
            Draw_SetAlpha(0.2f);
            Draw_Rect(Cell_PixelX(x), Cell_PixelY(y), float(Cell_Width), float(Cell_Height));
            Draw_SetAlpha(keep);
            return;
        }
    }
}

// Steps 33, 43, 44: the amulet lesson after ten swaps while an amulet is still to come down; an amulet that
// leaves the board starts the count again.
void Tut33_OnEvent11(Tutorial& t, int32_t, int32_t) {
    if (Level_EndState != 1 || IsCurrent(t)) return;
    for (const PiecePtr& p : Pieces)
        if (p && p->Kind == KIND_AMULET && p->Removing) {
            t.StateA = 0;
            return;
        }
}
void Tut33_OnEvent1(Tutorial& t, int32_t, int32_t) {
    if (Level_EndState != 1 || Match_BySwap != 1 || !Free()) return;
    ++t.StateA;
    if (t.StateA >= 10 && CanShow()) ShowCentred(t, TUTFRAME_OK, 1);
}

// [game: hammers] ------------------------------------------------------------------------------------------------

void Tut9_OnEvent6(Tutorial& t, int32_t, int32_t) {
    if (!FreeToShow()) return;
    // The arrow ends at the hammer button's left edge, pointing at it.
    Tutorial_PlaceFrame(Hammer_ButtonX + Cell_Width / 2, Hammer_ButtonY + Image_Height(Hammers[0].Grey) / 2, 1, 0, 0);
    Show(t, TUTFRAME_PLAIN, 1);
}
void Tut9_OnHammerPressed(Tutorial& t, int32_t, int32_t) {
    if (IsCurrent(t)) Tutorial_Close();
}
void Tut9_OnEvent12(Tutorial& t, int32_t, int32_t) {
    if (IsCurrent(t)) Tutorial_ClickAllowed = 0;
}

void Tut10_OnHammerPressed(Tutorial& t, int32_t, int32_t) {
    if (!FreeToShow()) return;
    if (!Tutorial_FindPieceNearCentre(t.StateA, t.StateB)) {
        Log_Print(S("Tut10_OnHammerPressed: failed to find a piece"));
        return;
    }
    PlaceAt(CellCentre(t.StateA, t.StateB));
    Show(t, TUTFRAME_PLAIN, 0);
}
void Tut10_OnEvent14(Tutorial& t, int32_t x, int32_t y) {
    if (!IsCurrent(t)) return;
    if (Board_CursorOnBoard && InBoard(x, y) && Hammer_CanHit(x, y))
        Tutorial_Close();
    else
        Tutorial_HammerAllowed = 0;
}

// Steps 18, 19, 20: hammer 1, 2 or 3 became available.
void Tut18_OnEvent6(Tutorial& t, int32_t n, int32_t) {
    if (n == t.Id - 17 && FreeToShow()) ShowCentred(t, TUTFRAME_OK, 1);
}

// [game: board lessons] ------------------------------------------------------------------------------------------

// The first cell (columns outer, rows inner) that passes the test, in `at`.
template <class Test> bool FindCell(Point& at, Test test) {
    for (int32_t c = 0; c < Board_Cols; ++c)
        for (int32_t r = 0; r < Board_Rows; ++r)
            if (!Board_Cells[c][r].Void && test(Board_Cells[c][r])) {
                at = Point{c, r};
                return true;
            }
    return false;
}

void Tut11_OnEvent0(Tutorial& t, int32_t, int32_t) { // wooden crates
    Point at;
    if (!FreeToShow() || !FindCell(at, [](const Table_cell& c) { return c.Blockers != 0; })) return;
    PlaceAt(CellCentre(at.x, at.y));
    Show(t, TUTFRAME_OK, 0);
}
void ChainLesson(Tutorial& t, int32_t shield) {
    Point at;
    if (!FreeToShow() || !FindCell(at, [shield](const Table_cell& c) { return c.Piece && c.Piece->Shield >= shield; }))
        return;
    PlaceAt(PiecePoint(*Board_Cells[at.x][at.y].Piece));
    Show(t, TUTFRAME_OK, 0);
}
void Tut12_OnEvent0(Tutorial& t, int32_t, int32_t) { ChainLesson(t, 1); }
void Tut13_OnEvent0(Tutorial& t, int32_t, int32_t) { ChainLesson(t, 2); }
void Tut14_OnEvent0(Tutorial& t, int32_t, int32_t) { // silver tiles
    Point at;
    const auto silver = [](const Table_cell& c) {
        return c.Blockers == 0 && (!c.Piece || (c.Piece->Shield == 0 && c.Piece->Frozen == 0)) && c.TileLevel >= 2;
    };
    if (!FreeToShow() || !FindCell(at, silver)) return;
    PlaceAt(CellCentre(at.x, at.y));
    Show(t, TUTFRAME_OK, 0);
}

// Steps 16 (multicoloured piece of a group of four) and 17 (launcher of a group of five).
void SpecialPieceLesson(Tutorial& t, int32_t minCount, int32_t kind) {
    if (Match_Count < minCount || !FreeToShow()) return;
    for (int32_t i = 0; i < Match_Count; ++i) {
        const PiecePtr piece = CellPiece(Match_List[i].x, Match_List[i].y);
        if (!piece || piece->Kind != kind) continue;
        PlaceAt(PiecePoint(*piece));
        Show(t, TUTFRAME_OK, 1);
        Tutorial_AttachArrow(piece);
        return;
    }
}
void Tut16_OnEvent1(Tutorial& t, int32_t, int32_t) { SpecialPieceLesson(t, 4, KIND_MULTICOLOR); }
void Tut17_OnEvent1(Tutorial& t, int32_t, int32_t) {
    if (Tutorial_IsDone(16)) SpecialPieceLesson(t, 5, KIND_LAUNCHER);
}

void Tut22_OnEvent2(Tutorial& t, int32_t x, int32_t y) { // gold for golden tiles
    if (!Free() || !Tutorial_IsDone(5)) return;
    ++t.StateA;
    if (t.StateA < 6 || !CanShow()) return;
    Tutorial_Arrow.visible = 0;
    Tutorial_PlaceFrame(Board_OriginX + x * Cell_Width, Board_OriginY + y * Cell_Height, 0, 0, 0);
    Show(t, TUTFRAME_OK, 1);
}

void Tut32_OnEvent11(Tutorial& t, int32_t, int32_t) { // rocks
    if (!FreeToShow()) return;
    for (int32_t r = 0; r < Board_Rows; ++r)
        for (int32_t c = 0; c < Board_Cols; ++c) {
            const PiecePtr& p = Board_Cells[c][r].Piece;
            if (!p || p->Kind != KIND_TAR || p->Removing || p->Busy) continue;
            PlaceAt(CellCentre(c, r));
            Show(t, TUTFRAME_OK, 1);
            Tutorial_AttachArrow(p);
            return;
        }
}

// [build menu] ---------------------------------------------------------------------------------------------------

int32_t PartsBuilt() {
    int32_t n = 0;
    for (const CastleElemPtr& e : Castle_Elems)
        n += (e && e->built) ? 1 : 0;
    return n;
}
void SetMenuButtonsDisabled(bool disabled) {
    for (const GUIBtnPtr& b : BuildMenu_Buttons)
        SetDisabled(b, disabled);
}

void Tut21_OnEvent0(Tutorial& t, int32_t, int32_t) {
    if (!FreeToShow()) return;
    const auto it = std::find_if(BuildMenu_PartButtons.begin(), BuildMenu_PartButtons.end(),
                                 [](const GUIBtnPtr& b) { return Enabled(b); });
    if (it == BuildMenu_PartButtons.end()) {
        Log_Print(S("no enabled build buttons found"));
        return;
    }
    t.StateA = (*it)->id;
    t.StateB = PartsBuilt();
    PlaceAt(ButtonPoint(**it));
    SetMenuButtonsDisabled(true);
    Show(t, TUTFRAME_PLAIN, 0);
}

// Ends when the pointed part is built, and also when any other part was built or the pointed part can no longer
// be bought: the menu buttons never stay locked.
void Tut21_OnEvent11(Tutorial& t, int32_t, int32_t) {
    if (!IsCurrent(t)) return;
    const bool targetBuilt =
        t.StateA >= 0 && size_t(t.StateA) < Castle_Elems.size() && Castle_Elems[size_t(t.StateA)]->built;
    const auto it = std::find_if(BuildMenu_PartButtons.begin(), BuildMenu_PartButtons.end(),
                                 [&t](const GUIBtnPtr& b) { return b && b->id == t.StateA; });
    const bool targetLost = it == BuildMenu_PartButtons.end() || !Enabled(*it);
    if (!targetBuilt && !targetLost && PartsBuilt() == t.StateB) return;
    SetMenuButtonsDisabled(false);
    BuildMenu_UpdateRelaxButton();
    Tutorial_Close();
}

void Tut23_OnEvent0(Tutorial& t, int32_t, int32_t) { // the king's gold
    if (!Free()) return;
    if (OwnsAnySpell() || Gold >= 500) {
        Tutorial_MarkDone(t.Id); // nothing to show; no dialog is touched
        return;
    }
    if (!CanShow()) return;
    Gold_Add((500 - Gold + 9) / 10 * 10);
    Match_Save(Level_Current, 0);
    ShowCentred(t, TUTFRAME_OK, 0);
}

void Tut24_OnEvent11(Tutorial& t, int32_t, int32_t) { // to the shop
    if (!Free() || !Tutorial_IsDone(23)) return;
    if (OwnsAnySpell()) {
        Tutorial_MarkDone(t.Id);
        return;
    }
    const GUIBtnPtr& shop = BuildMenu_Buttons[BM_BTN_SHOP];
    if (!shop || Fade_State != FADE_STILL || !CanShow()) return;
    PlaceAt(ButtonPoint(*shop));
    for (int32_t i : {BM_BTN_PLAY, BM_BTN_RELAX, BM_BTN_MENU})
        SetDisabled(BuildMenu_Buttons[size_t(i)], true);
    for (const GUIBtnPtr& b : BuildMenu_PartButtons)
        SetDisabled(b, true);
    Show(t, TUTFRAME_PLAIN, 0);
}
void Tut24_OnEvent16(Tutorial& t, int32_t button, int32_t) {
    if (!IsCurrent(t) || button != BM_BTN_SHOP || !Clicked(BuildMenu_Buttons[BM_BTN_SHOP])) return;
    Tutorial_Close();
    SetMenuButtonsDisabled(false);
    BuildMenu_UpdateRelaxButton();
    BuildMenu_LayoutPartButtons();
}

// Steps 38..42: gold piles up (1000, 2000, ... 5000), each after the one before.
void Tut38_OnEvent0(Tutorial& t, int32_t, int32_t) {
    const int32_t n = t.Id - 37;
    if (Gold < n * 1000 || (n > 1 && !Tutorial_IsDone(t.Id - 1)) || !FreeToShow()) return;
    const GUIBtnPtr& shop = BuildMenu_Buttons[BM_BTN_SHOP];
    if (shop)
        PlaceAt(ButtonPoint(*shop));
    else
        TutFrame_X = TutFrame_Y = -1;
    Show(t, TUTFRAME_OK, 0);
}

// [shop] ---------------------------------------------------------------------------------------------------------

void SetShopButtonsDisabled(bool disabled, int32_t except) {
    for (size_t i = 0; i < Shop_Buttons.size(); ++i)
        if (int32_t(i) != except) SetDisabled(Shop_Buttons[i], disabled);
}

void Tut25_OnEvent0(Tutorial& t, int32_t, int32_t) { // buy the fireball
    if (!Free()) return;
    if (OwnsAnySpell()) {
        Tutorial_MarkDone(t.Id);
        return;
    }
    // Only while the fireball can be bought: the back button is never locked behind a purchase that cannot happen
    // (the shop greys a button it cannot sell only once it takes input, after the fade-in that reports event 0).
    const GUIBtnPtr& fireball = Shop_Buttons[kShopFireballButton];
    if (!Enabled(fireball) || !Shop_CanBuy(kShopFireballButton) || !CanShow()) return;
    PlaceAt(ButtonPoint(*fireball));
    SetShopButtonsDisabled(true, kShopFireballButton);
    Show(t, TUTFRAME_PLAIN, 0);
}
void Tut25_OnEvent16(Tutorial& t, int32_t button, int32_t) {
    if (!IsCurrent(t) || button != kShopFireballButton) return;
    const GUIBtnPtr& fireball = Shop_Buttons[kShopFireballButton];
    if (Clicked(fireball)) {
        Tutorial_Close();
        SetShopButtonsDisabled(false, -1);
    } else if (!Enabled(fireball)) {
        SetShopButtonsDisabled(false, -1);
        Tutorial_Abort();
    }
}

void Tut34_OnEvent11(Tutorial& t, int32_t, int32_t) { // the fireball was bought
    if (!FreeToShow() || !Tutorial_IsDone(25) || !OwnsSpell(kFireball)) return;
    if (TutFrame_OkButton) TutFrame_OkButton->onLeftUp = Tut34_Btn_Ok_LeftUp;
    ShowCentred(t, TUTFRAME_OK, 0);
}

// [spells and mana] ----------------------------------------------------------------------------------------------

void Tut26_OnManaChanged(Tutorial& t, int32_t, int32_t) {
    if (!FreeToShow() || !OwnsSpell(kFireball)) return;
    Tutorial_Current = t.Id; // before the mana changes: the change it reports reaches no step anew
    Mana_Add(Mana_Caps[std::clamp(Mana_CapLevel, 0, 2)] - 1);
    PlaceAt(Point{kManaBarLeft + Cell_Width / 2, kManaBarY});
    Show(t, TUTFRAME_OK, 0);
}

int32_t FireballCost() {
    const int32_t i = Spell_GetIndex(kFireball);
    return i >= 0 && size_t(i) < Spell_Types.size() ? Spell_Types[size_t(i)].ManaCost : 0;
}

void Tut27_OnEvent11(Tutorial& t, int32_t, int32_t) {
    if (!FreeToShow() || !Tutorial_IsDone(26) || !OwnsSpell(kFireball) || Mana < FireballCost()) return;
    const GUIBtnPtr button = IGI_Button(kFireballButton);
    if (!button) return;
    PlaceAt(ButtonPoint(*button));
    Show(t, TUTFRAME_PLAIN, 0);
}
void Tut27_OnEvent16(Tutorial& t, int32_t button, int32_t) {
    if (IsCurrent(t) && button == kFireballButton && Clicked(IGI_Button(kFireballButton))) Tutorial_Close();
}

void Tut28_OnEvent16(Tutorial& t, int32_t button, int32_t) {
    if (button != kFireballButton || !Clicked(IGI_Button(kFireballButton))) return;
    if (!FreeToShow() || !Tutorial_IsDone(27)) return;
    if (!Tutorial_FindPieceNearCentre(t.StateA, t.StateB)) return;
    PlaceAt(CellCentre(t.StateA, t.StateB));
    Show(t, TUTFRAME_PLAIN, 0);
}
void Tut28_OnEvent12(Tutorial& t, int32_t x, int32_t y) {
    if (!IsCurrent(t)) return;
    if (!InBoard(x, y) || !Fireball_CanPass(x, y))
        Tutorial_ClickAllowed = 0;
    else
        Tutorial_Close();
}

void Tut35_OnManaChanged(Tutorial& t, int32_t, int32_t reachedCap) { // steps 35, 36, 37: the mana is full
    if (reachedCap != 1 || !FreeToShow() || !OwnsSpell(kFireball)) return;
    PlaceAt(Point{kManaBarLeft + Cell_Width / 2, kManaBarY});
    Show(t, TUTFRAME_OK, 0);
}

// [gem bag] ------------------------------------------------------------------------------------------------------

// Steps 29 (the bag, treasure level 0) and 30 (a chest): the bag is full for this level.
void BagFull(Tutorial& t, int32_t amount, bool chest) {
    const int32_t level = std::clamp(Treasure_Level, 0, kTreasureLevels - 1);
    if (amount < 0 || (level > 0) != chest || Gems_ThisLevel < Gems_BagLimits[size_t(level)]) return;
    if (!FreeToShow()) return;
    const TreasureDisplay& d = Treasure_Displays[size_t(std::min(level, 1))];
    PlaceAt(Point{d.x, d.y + 30});
    Show(t, TUTFRAME_OK, 0);
}
void Tut29_OnGemsAdded(Tutorial& t, int32_t, int32_t amount) { BagFull(t, amount, false); }
void Tut30_OnGemsAdded(Tutorial& t, int32_t, int32_t amount) { BagFull(t, amount, true); }

// [the table] ----------------------------------------------------------------------------------------------------

constexpr int32_t G = kScreenGame, B = kScreenBuildMenu, SH = kScreenShop;
constexpr TutStepRow::On kNone{-1, nullptr};

constexpr TutStepRow kSteps[kTutorialSteps] = {
    {0, 1, 1, G, {{15, Tut0_OnEvent15}, kNone, kNone}},
    {1, 1, 1, G, {{0, Tut1_OnEvent0}, {12, Tut1_OnEvent12}, {1, Tut1_OnEvent1}}},
    {2, 1, 1, G, {{1, Tut2_OnEvent1}, kNone, kNone}},
    {3, 1, 1, G, {{2, Tut3_OnEvent2}, kNone, kNone}},
    {4, 2, -1, G, {{0, Tut4_OnEvent0}, kNone, kNone}},
    {5, 2, 3, G, {{3, Tut5_OnEvent3}, {12, Tut5_OnEvent12}, {11, Tut5_OnEvent11}}},
    {6, 3, 3, G, {{4, Tut6_OnEvent4}, {13, Tut6_OnEvent13}, kNone}},
    {7, 6, 8, G, {{5, Tut7_OnEvent5}, {12, Tut7_OnEvent12}, {11, Tut7_OnEvent11}}},
    {8, 3, 3, G, {kNone, kNone, kNone}},
    {9, 2, 3, G, {{6, Tut9_OnEvent6}, {8, Tut9_OnHammerPressed}, {12, Tut9_OnEvent12}}},
    {10, 2, 3, G, {{8, Tut10_OnHammerPressed}, {14, Tut10_OnEvent14}, kNone}},
    {11, 4, 4, G, {{0, Tut11_OnEvent0}, kNone, kNone}},
    {12, 5, 5, G, {{0, Tut12_OnEvent0}, kNone, kNone}},
    {13, 6, 6, G, {{0, Tut13_OnEvent0}, kNone, kNone}},
    {14, 7, 7, G, {{0, Tut14_OnEvent0}, kNone, kNone}},
    {15, 1, 1, G, {kNone, kNone, kNone}},
    {16, 3, -1, G, {{1, Tut16_OnEvent1}, kNone, kNone}},
    {17, 3, -1, G, {{1, Tut17_OnEvent1}, kNone, kNone}},
    {18, 3, -1, G, {{6, Tut18_OnEvent6}, kNone, kNone}},
    {19, 3, -1, G, {{6, Tut18_OnEvent6}, kNone, kNone}},
    {20, 3, -1, G, {{6, Tut18_OnEvent6}, kNone, kNone}},
    {21, 2, 2, B, {{0, Tut21_OnEvent0}, {11, Tut21_OnEvent11}, kNone}},
    {22, 2, -1, G, {{2, Tut22_OnEvent2}, kNone, kNone}},
    {23, 6, -1, B, {{0, Tut23_OnEvent0}, kNone, kNone}},
    {24, 6, -1, B, {{11, Tut24_OnEvent11}, {16, Tut24_OnEvent16}, kNone}},
    {25, 6, -1, SH, {{0, Tut25_OnEvent0}, {16, Tut25_OnEvent16}, kNone}},
    {26, 6, -1, G, {{17, Tut26_OnManaChanged}, kNone, kNone}},
    {27, 6, -1, G, {{11, Tut27_OnEvent11}, {16, Tut27_OnEvent16}, kNone}},
    {28, 6, -1, G, {{16, Tut28_OnEvent16}, {12, Tut28_OnEvent12}, kNone}},
    {29, -1, -1, G, {{18, Tut29_OnGemsAdded}, kNone, kNone}},
    {30, -1, -1, G, {{18, Tut30_OnGemsAdded}, kNone, kNone}},
    {31, 1, 3, G, {{1, Tut31_OnEvent1}, kNone, kNone}},
    {32, -1, -1, G, {{11, Tut32_OnEvent11}, kNone, kNone}},
    {33, 3, 3, G, {{11, Tut33_OnEvent11}, {1, Tut33_OnEvent1}, kNone}},
    {43, 4, 4, G, {{11, Tut33_OnEvent11}, {1, Tut33_OnEvent1}, kNone}},
    {44, 5, 5, G, {{11, Tut33_OnEvent11}, {1, Tut33_OnEvent1}, kNone}},
    {34, 6, -1, SH, {{11, Tut34_OnEvent11}, kNone, kNone}},
    {35, 6, 6, G, {{17, Tut35_OnManaChanged}, kNone, kNone}},
    {36, 7, 7, G, {{17, Tut35_OnManaChanged}, kNone, kNone}},
    {37, 8, 8, G, {{17, Tut35_OnManaChanged}, kNone, kNone}},
    {38, 6, -1, B, {{0, Tut38_OnEvent0}, kNone, kNone}},
    {39, 6, -1, B, {{0, Tut38_OnEvent0}, kNone, kNone}},
    {40, 6, -1, B, {{0, Tut38_OnEvent0}, kNone, kNone}},
    {41, 6, -1, B, {{0, Tut38_OnEvent0}, kNone, kNone}},
    {42, 6, -1, B, {{0, Tut38_OnEvent0}, kNone, kNone}},
};

} // namespace

// Step 34's OK: back to the build menu as the shop's back button goes, then the button's usual action again.
void Tut34_Btn_Ok_LeftUp(GUIBtn&) {
    Shop_Btn_Back_LeftUp();
    Tutorial_Close();
    if (TutFrame_OkButton) TutFrame_OkButton->onLeftUp = TutFrame_Btn_Ok_LeftUp;
}

std::span<const TutStepRow> Tut_StepsTable() { return kSteps; }
