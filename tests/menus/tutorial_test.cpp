// The tutorial and the tips with the whole game behind them: a new player's first level played through the real
// game screen (intro, level box, the first frame and arrow, refused clicks, the golden-tile lesson, nothing twice),
// the hammer lesson, the coin that must never lock the board, a step that meets a box of the game's flow, the
// records and the frames, and the tips with their switch on. The build menu, shop and spell steps are in
// tutorial_castle_test.cpp.
#include <set>

#include "main/assets.h"
#include "tutorial_helpers.h"

namespace {

// A cell holding a plain gem that has a move with no neighbour.
bool FindDeadCell(Point& at) {
    static constexpr Point kN[4] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    for (int32_t c = 0; c < Board_Cols; ++c)
        for (int32_t r = 0; r < Board_Rows; ++r) {
            const PiecePtr& p = Board_Cells[c][r].Piece;
            if (!Cell_Playable(c, r) || !p || !Kind_IsGem(p->Kind) || !Piece_Settled(*p)) continue;
            bool move = false;
            for (const Point& d : kN)
                move = move || (Cell_Playable(c + d.x, r + d.y) && Board_FindMoves(c, r, c + d.x, r + d.y));
            if (!move) {
                at = Point{c, r};
                return true;
            }
        }
    return false;
}

// [level 1] -------------------------------------------------------------------------------------------------------

TEST_F(TutorialPlay, ANewPlayersFirstLevelIsGuidedOnceAndNeverAgain) {
    Level_Current = 1;
    Game_Start(0);
    ASSERT_TRUE(Until([] { return Tutorial_Current == 0; }, 30)) << "the intro opens with the light sweep";
    EXPECT_EQ(Dialog_Owner(), DIALOG_TUTORIAL_BOX);
    EXPECT_EQ(Game_Paused, 1);
    Frames(3);
    TestPicture_ShotIfAsked("tut_intro.png");
    const float sweep = Level_SweepPos;
    Frames(20);
    EXPECT_EQ(Level_SweepPos, sweep) << "the sweep waits behind the intro; the level box cannot push it aside";
    EXPECT_TRUE(Image_HasTexture(TutIntro_Picture));
    Enter();
    EXPECT_FALSE(Image_HasTexture(TutIntro_Picture)) << "its full-screen picture is not kept after it";
    EXPECT_TRUE(Tutorial_IsDone(0));
    EXPECT_EQ(Tutorial_Current, -1);
    EXPECT_EQ(Game_Paused, 0);

    // The level box, then step 1's frame with its arrow on a move.
    ASSERT_TRUE(Until([] { return Dialog_Active == 1; }, 200));
    ASSERT_EQ(Dialog_Owner(), DIALOG_GAME);
    ClickAndSettle(Centre(*MsgBox_Buttons.front()));
    ASSERT_EQ(Tutorial_Current, 1);
    EXPECT_EQ(Dialog_Owner(), DIALOG_TUTORIAL_FRAME);
    EXPECT_EQ(Tutorial_Arrow.visible, 1);
    Frames(10);
    TestPicture_ShotIfAsked("tut_step1.png");

    // A click on a cell with no move is ignored; the frame stays.
    Point dead;
    ASSERT_TRUE(FindDeadCell(dead));
    ClickAndSettle(CellCentre(dead));
    EXPECT_EQ(Board_Selected, 0);
    EXPECT_EQ(Tutorial_Current, 1);

    // The first match ends step 1 and step 2 counts from it: its OK frame comes at the fifth group.
    static int32_t groups, shownAt;
    groups = 0;
    shownAt = -1;
    Board_Hooks.Tutorial_OnEvent1 = [] {
        ++groups;
        Tutorial_OnEvent1();
        if (shownAt < 0 && Tutorial_Current == 2 && Tutorial_FrameKind == TUTFRAME_OK) shownAt = groups;
    };
    Play([] { return Tutorial_Current == 2 && Tutorial_FrameKind == TUTFRAME_OK; }, 60);
    ASSERT_EQ(Tutorial_Current, 2);
    EXPECT_EQ(shownAt, 5) << "cascades count, the group that ended step 1 too";
    EXPECT_TRUE(Tutorial_IsDone(1));
    EXPECT_EQ(Game_Paused, 1);
    TestPicture_ShotIfAsked("tut_step2.png");
    Play([] { return Level_EndState >= 2; }, 400);
    EXPECT_TRUE(Tutorial_IsDone(2));
    EXPECT_TRUE(Tutorial_IsDone(3)) << "the golden-tile praise after a tile broke";
    const std::set<int32_t> once(shown_.begin(), shown_.end());
    EXPECT_EQ(once.size(), shown_.size()) << "no step shows twice";

    // The flags are in the progress file: read back as at the next start, level 1 again shows nothing.
    Tutorial_Flags.fill(0);
    Progress_Load();
    EXPECT_TRUE(Tutorial_IsDone(0) && Tutorial_IsDone(1) && Tutorial_IsDone(2));
    shown_.clear();
    Level_Current = 1;
    Game_Start(0);
    ASSERT_TRUE(Until([] { return Dialog_Active == 1; }, 200));
    EXPECT_EQ(Dialog_Owner(), DIALOG_GAME) << "no intro: the level box comes first";
    ClickAndSettle(Centre(*MsgBox_Buttons.front()));
    EXPECT_EQ(Tutorial_Current, -1);
    Play([] { return false; }, 12);
    for (int32_t s : shown_)
        EXPECT_GT(s, 3) << "the first level's lessons do not come back";
}

// [level 2: hammer] -----------------------------------------------------------------------------------------------

TEST_F(TutorialPlay, TheHammerLessonPointsAtTheButtonThenAtAPiece) {
    OnlySteps({4, 9, 10});
    StartLevel(2);
    ASSERT_EQ(Tutorial_Current, 4) << "the time lesson";
    EXPECT_EQ(Tutorial_Arrow.visible, 1);
    Frames(5);
    TestPicture_ShotIfAsked("tut_step4.png");
    Enter();
    EXPECT_TRUE(Tutorial_IsDone(4));

    Hammer_Charge = Hammers[0].Threshold;
    Frame();
    ASSERT_EQ(Tutorial_Current, 9);
    EXPECT_EQ(Dialog_Owner(), DIALOG_TUTORIAL_FRAME);
    EXPECT_EQ(Tutorial_OnEvent12(0, 0), 0) << "the board waits for the hammer button";
    Frames(5);
    TestPicture_ShotIfAsked("tut_step9.png");

    // The hammer button takes the click under the frame, the game paused: step 9 ends, step 10 points at a piece.
    ClickAndSettle(Centre(*IGI_Button(0)));
    EXPECT_EQ(Hammer_Armed, 1);
    EXPECT_TRUE(Tutorial_IsDone(9));
    ASSERT_EQ(Tutorial_Current, 10);
    const Point target{Tutorials[10]->StateA, Tutorials[10]->StateB};
    EXPECT_EQ(Tutorial_OnEvent14(-1, -1), 0) << "a strike off the board is held";
    EXPECT_EQ(Tutorial_Current, 10);
    Frames(3);
    ClickAndSettle(CellCentre(target));
    EXPECT_TRUE(Tutorial_IsDone(10));
    EXPECT_EQ(Tutorial_Current, -1);
    EXPECT_EQ(Game_Paused, 0);
}

// [soft locks] ----------------------------------------------------------------------------------------------------

TEST_F(TutorialPlay, ACoinOrBottleThatVanishesEndsItsStepAndFreesTheBoard) {
    // Steps 5 (coin, level 3) and 7 (mana bottle, level 6) follow their piece; a cascade that takes it away must
    // not leave every click refused.
    struct Case {
        int32_t step, level, kind;
    };
    for (const Case& k : {Case{5, 3, KIND_COIN_GOLD}, Case{7, 6, KIND_BOTTLE}}) {
        SCOPED_TRACE(k.step);
        Tutorial_Flags.fill(0);
        OnlySteps({k.step});
        StartLevel(k.level);
        Frames(2);
        Point at;
        ASSERT_TRUE(Tutorial_FindPieceNearCentre(at.x, at.y));
        ASSERT_TRUE(Piece_CreateCoinOrBottle(at.x, at.y, k.kind));
        ASSERT_EQ(Tutorial_Current, k.step);
        EXPECT_EQ(Tutorial_OnEvent12(at.x == 0 ? 1 : 0, at.y), 0) << "only the piece takes a click";
        Frames(3);
        if (k.step == 5) TestPicture_ShotIfAsked("tut_step5.png");
        Cell_DestroyPiece(at.x, at.y);
        Frames(2);
        EXPECT_EQ(Tutorial_Current, -1);
        EXPECT_FALSE(Tutorial_IsDone(k.step)) << "not learnt: it may show with the next one";
        EXPECT_EQ(Tutorial_OnEvent12(at.x, at.y), 1);
        EXPECT_EQ(Tutorial_Arrow.visible, 0);
        EXPECT_EQ(Dialog_Active, 0);
    }
}

// [boxes of the game's flow] --------------------------------------------------------------------------------------

TEST_F(TutorialPlay, AStepMeetingAnOpenBoxWaitsAndAPushedAsideFrameComesBack) {
    OnlySteps({5});
    StartLevel(3);
    Frames(2);
    // The time offer is open when a coin appears: the box stays, the step does not fire and is not done.
    MsgBox_Level_Open();
    const int serial = Dialog_Serial();
    Point at;
    ASSERT_TRUE(Tutorial_FindPieceNearCentre(at.x, at.y));
    Piece_CreateCoinOrBottle(at.x, at.y, KIND_COIN_GOLD);
    EXPECT_EQ(Tutorial_Current, -1);
    EXPECT_EQ(Dialog_Serial(), serial);
    Tutorial_Close(); // a close with no step of its own leaves the box alone
    EXPECT_EQ(Dialog_Serial(), serial);
    EXPECT_FALSE(Tutorial_IsDone(5));
    Dialog_Close();
    Game_Paused = 0;

    // A step's frame pushed aside by a box comes back once the box is gone.
    Cell_DestroyPiece(at.x, at.y);
    Frames(30);
    ASSERT_TRUE(Tutorial_FindPieceNearCentre(at.x, at.y));
    ASSERT_TRUE(Piece_CreateCoinOrBottle(at.x, at.y, KIND_COIN_SILVER));
    ASSERT_EQ(Tutorial_Current, 5);
    MsgBox_Level_Open();
    EXPECT_EQ(Dialog_Owner(), DIALOG_GAME);
    Dialog_Close();
    Game_Paused = 0;
    Frame();
    EXPECT_EQ(Tutorial_Current, 5);
    EXPECT_EQ(Dialog_Owner(), DIALOG_TUTORIAL_FRAME) << "the coin's frame is back";
    // The screen is left under it (the level ended): on the next screen the step gives way undone, its frame goes.
    Screen_Current = kScreenBuildMenu;
    Tutorial_OnEvent11();
    EXPECT_EQ(Tutorial_Current, -1);
    EXPECT_EQ(Dialog_Active, 0);
    EXPECT_FALSE(Tutorial_IsDone(5));
    Screen_Current = kScreenGame;
}

// [records and search] --------------------------------------------------------------------------------------------

TEST_F(TutorialPlay, DispatchOffersEventsByScreenLevelAndRunningStep) {
    EXPECT_EQ(Tutorial_Count, kTutorialSteps);
    for (int32_t id = 0; id < kTutorialSteps; ++id)
        ASSERT_TRUE(Tutorials[size_t(id)] && Tutorials[size_t(id)]->Id == id) << id;
    // Event 12 with two refusing handlers: the second is not asked once the first said no.
    static int calls = 0;
    calls = 0;
    const TutorialPtr keep = std::make_shared<Tutorial>(*Tutorials[8]);
    Tutorials[8]->SetHandler(12, [](Tutorial&, int32_t, int32_t) {
        ++calls;
        Tutorial_ClickAllowed = 0;
    });
    *Tutorials[15] = *Tutorials[8];
    Tutorials[15]->Id = 15;
    Tutorials[15]->MinLevel = Tutorials[15]->MaxLevel = -1;
    Tutorials[8]->MinLevel = Tutorials[8]->MaxLevel = -1;
    Screen_Current = kScreenGame;
    Level_Current = 40;
    EXPECT_EQ(Tutorial_OnEvent12(0, 0), 0);
    EXPECT_EQ(calls, 1);
    // Off for this player: the step hears nothing; another screen: neither.
    Tutorial_Word(8) |= kTutOff;
    Tutorial_Word(15) |= kTutOff;
    EXPECT_EQ(Tutorial_OnEvent12(0, 0), 1);
    Tutorial_Word(8) &= ~kTutOff;
    Screen_Current = kScreenBuildMenu;
    EXPECT_EQ(Tutorial_OnEvent12(0, 0), 1);
    EXPECT_EQ(calls, 1);
    // A new match clears the done bits and keeps the off bits.
    Tutorial_Word(3) = kTutDone | kTutOff;
    Tutorial_ClearFlags(kTutDone);
    EXPECT_EQ(Tutorial_Word(3), kTutOff);
    *Tutorials[8] = *keep;
    *Tutorials[15] = *keep;
    Tutorials[15]->Id = 15;
    Tutorials[15]->MinLevel = Tutorials[15]->MaxLevel = 1;
    Screen_Current = kScreenMainMenu;
}

// [board lessons] -------------------------------------------------------------------------------------------------

// The cell under the arrow's tip as it stands when placed (no bob yet); the art's tip is 2 px short of the end it
// points to. {-1, -1} off the board.
Point ArrowTipCell() {
    const TutArrow& a = Tutorial_Arrow;
    const float reach = float(Image_Width(TutArrow_Image)) / 2 - 2;
    const float x = a.flipped ? a.x - reach : a.x + reach;
    const float dx = x - float(Board_OriginX), dy = a.y - float(Board_OriginY);
    if (dx < 0 || dy < 0) return Point{-1, -1};
    const Point cell{int32_t(dx) / Cell_Width, int32_t(dy) / Cell_Height};
    return cell.x < Board_Cols && cell.y < Board_Rows ? cell : Point{-1, -1};
}

// With BQ_PLAY_SHOTS set, one drawn frame of the lesson's frame and arrow, kept as lesson<step>.png.
void ShotOfLesson(int32_t step) {
    if (!std::getenv("BQ_PLAY_SHOTS")) return;
    Screen_HooksOf(Screen_Current).frame(); // the board (one frame of play goes by)
    Dialog_RunDraw();
    TestPicture_ShotIfAsked("lesson" + std::to_string(step) + ".png");
}

// Steps 11 to 14 on their own levels' boards: the tip ends inside a cell holding what the lesson talks about.
TEST_F(TutorialPlay, EveryBoardLessonsArrowEndsOnItsTarget) {
    struct Lesson {
        int32_t step, level;
        bool (*holds)(const Table_cell&);
    };
    static constexpr Lesson kLessons[] = {
        {11, 4, [](const Table_cell& c) { return c.Blockers != 0; }},
        {12, 5, [](const Table_cell& c) { return c.Piece && c.Piece->Shield != 0; }},
        {13, 6, [](const Table_cell& c) { return c.Piece && c.Piece->Shield >= 2; }},
        {14, 7, [](const Table_cell& c) { return c.Blockers == 0 && c.TileLevel >= 2; }},
    };
    for (const Lesson& l : kLessons) {
        Tutorial_Flags.fill(0);
        OnlySteps({l.step});
        StartLevel(l.level);
        ASSERT_EQ(Tutorial_Current, l.step) << "level " << l.level;
        ASSERT_EQ(Tutorial_Arrow.visible, 1);
        const Point at = ArrowTipCell();
        ASSERT_GE(at.x, 0) << "step " << l.step << ": the tip is off the board";
        EXPECT_TRUE(l.holds(Board_Cells[at.x][at.y])) << "step " << l.step << " points at " << at.x << "," << at.y;
        ShotOfLesson(l.step);
        Enter();
        EXPECT_EQ(Tutorial_Current, -1);
    }
    // Steps 6, 16 and 17 point at a piece (the amulet, the multicoloured piece, the launcher) and follow it.
    Tutorial_Flags.fill(0);
    OnlySteps({6, 16, 17});
    StartLevel(3);
    const Point target{Board_Cols / 2, Board_Rows / 2};
    const PiecePtr piece = Board_Cells[target.x][target.y].Piece;
    ASSERT_TRUE(piece);
    for (const int32_t step : {6, 16, 17}) {
        piece->Kind = step == 6 ? KIND_AMULET : step == 16 ? KIND_MULTICOLOR : KIND_LAUNCHER;
        Match_Count = step == 17 ? 5 : 4;
        for (int32_t i = 0; i < Match_Count; ++i)
            Match_List[i] = Point{target.x, target.y == 0 ? 1 : target.y - 1};
        Match_List[Match_Count - 1] = target; // the special piece last in the group
        if (step == 6)
            Tutorial_OnEvent4(target.x, target.y);
        else
            Tutorial_OnEvent1();
        ASSERT_EQ(Tutorial_Current, step);
        EXPECT_EQ(Tutorial_Arrow.piece, piece) << step;
        const Point at = ArrowTipCell();
        EXPECT_TRUE(at.x == target.x && at.y == target.y) << "step " << step << " points at " << at.x << "," << at.y;
        ShotOfLesson(step);
        Tutorial_Close(); // no frame runs: the piece stays where it is for the next lesson
        EXPECT_EQ(Tutorial_Current, -1);
    }
    Match_Count = 0;
    Game_Paused = 0;
}

// Step 3 praises a broken golden tile: a match group, or a cell without a tile blown up, never shows it; the first
// tile that breaks does.
TEST_F(TutorialPlay, TheGoldenTilePraiseWaitsForATile) {
    OnlySteps({3});
    StartLevel(1);
    static int32_t tileEvents;
    tileEvents = 0;
    Board_Hooks.Tutorial_OnEvent2 = [](int32_t x, int32_t y) {
        ++tileEvents;
        Tutorial_OnEvent2(x, y);
    };
    const Point cell{Board_Cols / 2, Board_Rows / 2};
    ASSERT_TRUE(Cell_Playable(cell.x, cell.y));
    Board_Cells[cell.x][cell.y].TileLevel = 0;
    Cell_Explode(cell.x, cell.y);
    for (int32_t i = 0; i < 6; ++i)
        Tutorial_OnEvent1();
    EXPECT_EQ(tileEvents, 0);
    EXPECT_EQ(Tutorial_Current, -1) << "matches over bare cells";
    Board_Cells[cell.x][cell.y].TileLevel = 1;
    Cell_Explode(cell.x, cell.y);
    EXPECT_EQ(tileEvents, 1);
    EXPECT_EQ(Tutorial_Current, 3);
}

// Steps 29 and 30: the full bag points at the bag, a full chest (treasure levels 1 and 2) at the chest; a level
// one gem short of its limit, or gems taken away, show nothing.
TEST_F(TutorialPlay, AFullBagOrChestPointsAtItsOwnDisplay) {
    Screen_Current = kScreenGame;
    Level_Current = 9;
    struct Case {
        int32_t treasure, step, display;
    };
    for (const Case& k : {Case{0, 29, 0}, Case{1, 30, 1}, Case{2, 30, 1}}) {
        Tutorial_Flags.fill(0);
        OnlySteps({29, 30});
        Treasure_Level = k.treasure;
        const int32_t limit = Gems_BagLimits[size_t(k.treasure)];
        Gems_ThisLevel = limit - 1;
        Tutorial_OnGemsAdded(0, 1);
        EXPECT_EQ(Tutorial_Current, -1) << "one gem short, treasure level " << k.treasure;
        Gems_ThisLevel = limit;
        Tutorial_OnGemsAdded(0, -3);
        EXPECT_EQ(Tutorial_Current, -1) << "gems taken away";
        Tutorial_OnGemsAdded(0, 0);
        ASSERT_EQ(Tutorial_Current, k.step) << "treasure level " << k.treasure;
        const TreasureDisplay& d = Treasure_Displays[size_t(k.display)];
        EXPECT_EQ(Tutorial_Arrow.y, float(d.y + 30)) << "treasure level " << k.treasure;
        EXPECT_EQ(Tutorial_Arrow.x, float(d.x - 60 - Cell_Width / 2 + Image_Width(TutArrow_Image) / 2));
        Tutorial_Close();
    }
    Treasure_Level = 0;
    Gems_ThisLevel = 0;
    Screen_Current = kScreenMainMenu;
}

// Step 32: the first rock in reading order (rows outer) that is neither removed nor swapped; the arrow follows it.
TEST_F(TutorialPlay, TheRockLessonPointsAtTheFirstRestingRock) {
    Board_Reset();
    Pieces_Clear();
    Board_Cols = Board_Rows = 6;
    Screen_Current = kScreenGame;
    Level_Current = 9;
    OnlySteps({32});
    const auto rock = [](int32_t c, int32_t r) {
        auto p = std::make_shared<Piece>();
        p->Kind = KIND_TAR;
        p->PosX = float(p->ScreenX = int32_t(Cell_PixelX(c)));
        p->PosY = float(p->ScreenY = int32_t(Cell_PixelY(r)));
        Board_Cells[c][r].Piece = p;
        return p;
    };
    rock(0, 0)->Removing = 1;
    rock(4, 1)->Busy = 1;
    rock(1, 3);
    const PiecePtr first = rock(3, 2); // row 2 comes before row 3, though column 1 comes before column 3
    Tutorial_OnEvent11();
    ASSERT_EQ(Tutorial_Current, 32);
    EXPECT_EQ(Tutorial_Arrow.piece, first);
    const Point at = ArrowTipCell();
    EXPECT_TRUE(at.x == 3 && at.y == 2) << at.x << "," << at.y;
    EXPECT_EQ(Game_Paused, 1);
    Tutorial_Arrow.piece.reset();
    Tutorial_Close();
    Game_Paused = 0;
    Tutorial_OnEvent11();
    EXPECT_EQ(Tutorial_Current, -1) << "once";
    Board_Reset();
    Screen_Current = kScreenMainMenu;
}

TEST_F(TutorialPlay, TheRingSearchStaysOnTheBoard) {
    Board_Reset();
    Pieces_Clear();
    Board_Cols = 17;
    Board_Rows = 13;
    for (int32_t c : {0, 1, 16})
        for (int32_t r = 0; r < Board_Rows; ++r)
            Board_Cells[c][r].Piece = std::make_shared<Piece>();
    int32_t x = -1, y = -1;
    EXPECT_FALSE(Tutorial_FindPieceNearCentre(x, y)) << "the rings reach the edge before columns 0, 1 and 16";
    Board_Reset();
    Board_Cols = Board_Rows = 48;
    Board_Cells[47][47].Piece = std::make_shared<Piece>();
    EXPECT_FALSE(Tutorial_FindPieceNearCentre(x, y)); // never reads past column or row 47 (ASan would say)
    Board_Cells[30][24].Piece = std::make_shared<Piece>();
    EXPECT_TRUE(Tutorial_FindPieceNearCentre(x, y));
    EXPECT_EQ(x, 30);
    EXPECT_EQ(y, 24);
    Board_Reset();
}

TEST_F(TutorialPlay, FramePlacementAndTheArrow) {
    Tutorial_PlaceFrame(600, 450, 1, 0, 0);
    EXPECT_EQ(TutFrame_X + Image_Width(TutFrame_Image) / 2, 300);
    EXPECT_EQ(TutFrame_Y + Image_Height(TutFrame_Image) / 2, 225);
    EXPECT_EQ(Tutorial_Arrow.flipped, 0);
    Tutorial_PlaceFrame(40, 100, 1, 0, 1);
    EXPECT_EQ(TutFrame_X + Image_Width(TutFrame_Image) / 2, 600);
    EXPECT_EQ(Tutorial_Arrow.flipped, 1) << "a target near the left edge gets the arrow on its right";
    // A target near the centre would lie under the frame's near corner: both frames move clear of it, on screen.
    for (const Point t : {Point{352, 315}, Point{420, 280}, Point{400, 300}})
        for (const bool ok : {false, true}) {
            Tutorial_PlaceFrame(t.x, t.y, 1, 0, 0);
            ok ? TutFrameOk_Init() : TutFrame_Init();
            const int32_t w = ok ? kDlg2Width : Image_Width(TutFrame_Image);
            const int32_t h = ok ? kDlg2Height : Image_Height(TutFrame_Image);
            const bool covered = t.x >= TutFrame_X && t.x < TutFrame_X + w && t.y >= TutFrame_Y && t.y < TutFrame_Y + h;
            EXPECT_FALSE(covered) << t.x << "," << t.y << (ok ? " OK frame" : " plain frame");
            EXPECT_TRUE(TutFrame_X >= 0 && TutFrame_Y >= 0 && TutFrame_X + w <= Screen_Width &&
                        TutFrame_Y + h <= Screen_Height);
        }
    // The OK frame with no step running draws no text and reads no text out of range.
    Tutorial_Current = -1;
    TutFrame_X = TutFrame_Y = -1;
    TutFrameOk_Init();
    TutFrameOk_Draw();
    EXPECT_EQ(TutFrame_X, Screen_CenterX - kDlg2Width / 2);
    // A followed piece that leaves the board ends the arrow.
    auto p = std::make_shared<Piece>();
    Tutorial_ShowArrow(100, 100, 0);
    Tutorial_AttachArrow(p);
    Tutorial_DrawArrow();
    EXPECT_EQ(Tutorial_Arrow.visible, 0);
    EXPECT_EQ(Tutorial_Arrow.piece, nullptr);
}

// [tips] ----------------------------------------------------------------------------------------------------------

TEST_F(TutorialPlay, TipsStayOffInPlayAndShowOnceWithTheSwitchOn) {
    Tips_Place();
    EXPECT_EQ(Tips_Show(0, 0, 0), 0) << "switched off by every level start";
    EXPECT_EQ(Tips_Shown[0][0], 0);
    Tips_On = 1;
    ASSERT_EQ(Tips_Show(5, 1, 1), 1);
    EXPECT_EQ(Tips_Visible, 1);
    EXPECT_EQ(Tips_BoxX, Tips_PlacedX);
    EXPECT_EQ(Tips_Show(6, 1, 1), 0) << "one tip at a time";
    // A target near the top puts the box below it; the right edge pulls it back to 16 pixels.
    Tips_PointAt(790, 10, -45, 0);
    EXPECT_GT(Tips_BoxY, 10);
    EXPECT_EQ(Tips_BoxX + 420, Screen_Width - 16);
    Tips_PointAt(0, 400, -45, 0);
    EXPECT_EQ(Tips_BoxX, 16);
    Screen_Current = kScreenGame;
    Draw_Cls();
    Tips_Draw();
    TestPicture_ShotIfAsked("tips_box.png");
    sdl_push::Tap(SDL_SCANCODE_SPACE);
    sdl_push::Pump();
    Tips_Draw();
    EXPECT_EQ(Tips_Visible, 0);
    EXPECT_EQ(Board_Alpha, 1.0f);
    EXPECT_EQ(Tips_Show(5, 1, 1), 0) << "never twice for this player";
    Player_Current = 1;
    EXPECT_EQ(Tips_Show(5, 1, 1), 1) << "another player sees it once";
    Tips_Close();
    Player_Current = 0;
    // The snowball point opens tip 13 from the game frame.
    Tips_SetSnowballPoint(300, 300);
    Tips_ShowSnowball();
    EXPECT_EQ(Tips_Visible, 1);
    EXPECT_EQ(Tips_Id, 13);
    EXPECT_EQ(Tips_ArrowVisible, 1);
    Tips_Close();
    // The options tip waits for the main menu without a dialog, then shows once and settles.
    Tips_Tip20Delay = 10;
    Screen_Current = kScreenGame;
    Tips_Tick();
    EXPECT_EQ(Tips_Tip20Delay, -1) << "not on the game screen: tried again next frame";
    Screen_Current = kScreenMainMenu;
    Tips_Tick();
    EXPECT_EQ(Tips_Id, 20);
    EXPECT_EQ(Tips_Tip20Delay, 0);
    Tips_Close();
    Tips_Place();
    Tips_Tip20Delay = 1800000;
}

// Each level's tip and what its arrow points at; pieces by the last column that holds one (the first match in
// each column, columns outer).
TEST_F(TutorialPlay, TipsCheckBoardChoosesEachLevelsTipAndTarget) {
    Board_Reset();
    Pieces_Clear();
    Board_Cols = Board_Rows = 6;
    const auto put = [](int32_t c, int32_t r) {
        auto p = std::make_shared<Piece>();
        p->Kind = KIND_GEM_FIRST;
        p->ScreenX = Board_OriginX + c * Cell_Width;
        p->ScreenY = Board_OriginY + r * Cell_Height;
        Board_Cells[c][r].Piece = p;
        return p;
    };
    for (int32_t c = 0; c < Board_Cols; ++c)
        for (int32_t r = 0; r < Board_Rows; ++r)
            put(c, r);
    Board_Cells[1][2].Piece->Shield = 2; // a double chain left of a single one
    Board_Cells[3][1].Piece->Shield = 2; // the last column with a double chain: level 7 points here
    Board_Cells[4][3].Piece->Shield = 1; // the last column with any chain: level 5 points here
    Board_Cells[2][3].Piece->Bomb = 1;
    Board_Cells[4][0].Piece->Bomb = 1;
    Board_Cells[0][5].Piece->Kind = KIND_TAR;
    Board_Cells[5][2].TileLevel = 2;
    Board_Cells[2][2].TileLevel = 2;
    const int32_t half = Image_Width(Asset_LoadImage(u"images/interface/arrow_yellow.png")) / 2;
    const auto piecePoint = [half](int32_t c, int32_t r) {
        return Point{Board_OriginX + c * Cell_Width - half, Board_OriginY + r * Cell_Height};
    };
    struct Case {
        int32_t level, tip;
        Point at; // {-1, -1}: wherever the hint was found
    };
    const Case cases[] = {
        {1, 0, {-1, -1}},
        {4, 8, {-1, -1}},
        {2, 3, {735 - half, 399}},
        {3, 5, {Hammer_ButtonX - half, Hammer_ButtonY + 20}},
        {5, 12, piecePoint(4, 3)},
        {7, 15, piecePoint(3, 1)},
        {8, 16, piecePoint(5, 2)},
        {13, 17, piecePoint(4, 0)},
        {16, 18, piecePoint(0, 5)},
        {6, -1, {}},
        {9, -1, {}},
    };
    Relaxed_Mode = 0;
    for (const Case& k : cases) {
        Tips_Shown.fill({});
        Tips_On = 1;
        Tips_Visible = Tips_ArrowVisible = 0;
        Level_Current = k.level;
        Tips_CheckBoard();
        if (k.tip < 0) {
            EXPECT_EQ(Tips_Visible, 0) << "level " << k.level << " has no tip";
            continue;
        }
        ASSERT_EQ(Tips_Visible, 1) << "level " << k.level;
        EXPECT_EQ(Tips_Id, k.tip) << "level " << k.level;
        if (k.at.x >= 0) {
            EXPECT_EQ(Tips_ArrowVisible, 1) << "level " << k.level;
            EXPECT_EQ(Tips_ArrowX, k.at.x) << "level " << k.level;
            EXPECT_EQ(Tips_ArrowY, k.at.y) << "level " << k.level;
        }
        Tips_Close();
    }
    // In relaxed mode level 2 has no time tip; a tip shown once never comes back.
    Relaxed_Mode = 1;
    Level_Current = 2;
    Tips_Shown.fill({});
    Tips_CheckBoard();
    EXPECT_EQ(Tips_Visible, 0);
    Relaxed_Mode = 0;
    Level_Current = 7;
    Tips_CheckBoard();
    Tips_Close();
    Tips_CheckBoard();
    EXPECT_EQ(Tips_Visible, 0);
    Tips_Place();
    Board_Reset();
}

} // namespace
