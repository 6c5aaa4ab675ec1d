// The game screen and its neighbours as the main loop runs them, observed in the modules they call: the effect
// passes and the drawing around them in their order, the level end's effects and the dialog or box it opens, and
// Esc's in-game menu. Tests src/game/game_screen.cpp.
#include <array>
#include <cstdint>
#include <functional>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "../platform/sdl_push.h"
#include "board/board.h"
#include "board/play.h"
#include "castle/castle.h"
#include "effects/effects.h"
#include "effects/fx_draw.h"
#include "main/config.h"
#include "main/gobj.h"
#include "main/screens.h"
#include "menus/menus.h"
#include "play_helpers.h"

namespace {

// The passes of a frame, in the order they ran. Each effect pass is seen through a marker only it moves: an effect
// object on its layer with a long delay (the update pass counts every object's delay down, a layer pass only its
// own layer's; layer 0 is never drawn), and a map effect with a long countdown. The markers are read whenever a
// pass ends (every effect pass hands its drawing on to the sink), and by three probes: an object in the castle's
// drawing lists, the interface's tutorial event for its buttons and a particle's step.
class PassTrace final : public FxSink {
  public:
    static constexpr int32_t kLong = 4000000; // a delay or countdown no test runs down (exact as a float)
    std::vector<std::string> passes;

    PassTrace() : real_(&Fx_Sink()) { Fx_SetSink(this); }
    ~PassTrace() override {
        Fx_SetSink(nullptr);
        if (particle_ < Particle_Pool.size()) Particle_Pool[particle_].state = 0;
        std::erase_if(MapEffects_List, [](const MapEffect_obj& e) { return e.x == float(kMarkX); });
        if (castle_) castle_->Remove();
        Castle_Hooks.Tutorial_OnEvent16 = Castle_HooksDefault().Tutorial_OnEvent16;
        g_trace = nullptr;
    }

    // Puts the markers and probes in place (after a screen's entry, which clears the effects and particles).
    void Plant() {
        for (size_t i = 0; i < kLayers.size(); ++i)
            Gfx_New(FX_LINE_DOT, kMarkX - int32_t(i), kMarkY, kLong, kLayers[i]);
        MapEffect_obj map;
        map.x = float(kMarkX);
        map.countdown = map.interval = kLong;
        map.hook1 = map.hook2 = map.hook3 = map.endHook = Emitter_Nothing;
        MapEffects_List.push_back(map);
        particle_ = size_t(Particle_Count++);
        Particle& p = Particle_Pool[particle_];
        p = Particle{};
        p.state = 2;
        p.timer = kLong;
        p.step = [](Particle&) { g_trace->Note("particles"); };
        castle_ = std::make_shared<CastleProbe>();
        castle_->Add(0);
        Castle_Hooks.Tutorial_OnEvent16 = [](int32_t) { g_trace->Note("interface"); };
        g_trace = this;
        Settle();
        passes.clear();
    }
    // The passes of one frame that `frame` runs.
    template <class F> std::vector<std::string> Of(F frame) {
        passes.clear();
        frame();
        Settle();
        return passes;
    }

    void Sprite(const ImagePtr& img, int frame, float x, float y, const FxState& s) override {
        real_->Sprite(img, frame, x, y, s);
    }
    void Line(float x1, float y1, float x2, float y2, const FxState& s) override { real_->Line(x1, y1, x2, y2, s); }
    Rect Viewport() override { return real_->Viewport(); }
    void SetViewport(const Rect& r) override { real_->SetViewport(r); }
    void Flush() override {
        real_->Flush();
        Settle();
    }

  private:
    struct CastleProbe final : GObj {
        void Draw() override { g_trace->Note("castle"); }
    };
    static constexpr std::array<int32_t, 4> kLayers = {0, -10, 10, 20};
    static constexpr const char* kLayerPass[4] = {"update", "behind", "above", "top"};
    static constexpr int32_t kMarkX = -5000, kMarkY = -5000; // far outside the screen
    static inline PassTrace* g_trace = nullptr;

    void Note(const char* pass) {
        Settle();
        if (passes.empty() || passes.back() != pass) passes.push_back(pass);
    }
    // Writes down the passes that moved a marker since the last look.
    void Settle() {
        std::array<int64_t, 4> now{};
        for (const Gfx_Obj& o : Effects_List)
            if (!o.dead && o.y == kMarkY && o.x <= kMarkX && o.x > kMarkX - 4) now[size_t(kMarkX - o.x)] = o.delay;
        int64_t map = 0;
        for (const MapEffect_obj& e : MapEffects_List)
            if (!e.dead && e.x == float(kMarkX)) map = e.countdown;
        const int64_t updated = seen_[0] - now[0];
        if (updated > 0) passes.push_back(kLayerPass[0]);
        for (size_t i = 1; i < 4; ++i) {
            if (seen_[i] - now[i] > updated) passes.push_back(kLayerPass[i]);
            if (i == 1 && map != seenMap_) passes.push_back("map"); // a pass of its own between the layers
        }
        seen_ = now;
        seenMap_ = map;
    }

    FxSink* real_;
    std::shared_ptr<CastleProbe> castle_;
    size_t particle_ = SIZE_MAX; // the probe particle's slot
    std::array<int64_t, 4> seen_{};
    int64_t seenMap_ = 0;
};

// The effect images, particles and dialogs of the whole game, made once.
class GameScreen : public PlayTest {
  protected:
    void SetUp() override {
        PlayTest::SetUp();
        static bool loaded = false;
        if (!loaded) {
            loaded = true;
            EffectImages_Load();
            Particles_InitTables();
        }
        PlayTest_LoadDialogs();
        Castle_Hooks = Castle_HooksDefault();
        Castle_Hooks.IGMenu_Init = IGMenu_Init;
        Castle_Hooks.IGMenu_Update = IGMenu_Update;
        Castle_Hooks.IGMenu_Draw = IGMenu_Draw;
    }
    void TearDown() override {
        Dialog_Close();
        PlayTest::TearDown();
    }
};

} // namespace

// The game screen updates the effects and draws their layers around the castle, the pieces and the interface, with
// the map effects between the pieces and the upper layer; the level start only shows the layers, the dimmed board
// behind a dialog shows them standing still; the level end keeps the map effects (the dissolving titles) going and
// draws the upper layer only once its picture shows.
TEST_F(GameScreen, TheScreensRunTheEffectPassesInTheirOrder) {
    using V = std::vector<std::string>;
    Game_Start(0);
    Frame(); // the castle's lists are laid out on its first drawing
    PassTrace trace;
    trace.Plant();
    const auto frame = [this] { Frame(); };
    EXPECT_EQ(trace.Of(frame), (V{"update", "castle", "behind", "map", "above", "interface", "top", "particles"}));

    Screen_Set(kScreenLevelStart);
    EXPECT_EQ(trace.Of(frame), (V{"update", "castle", "behind", "above"}));

    Screen_Set(kScreenDimmed);
    EXPECT_EQ(trace.Of(frame), (V{"castle", "behind", "above"}));

    Screen_Set(kScreenLevelEnd);
    EXPECT_EQ(trace.Of(frame), (V{"update", "castle", "behind", "map", "particles"})) << "phase 0: no upper layer";
    for (int32_t i = 0; i < 200 && LevelEnd_Phase == 0; ++i)
        Frame();
    ASSERT_EQ(LevelEnd_Phase, 1);
    EXPECT_EQ(trace.Of(frame), (V{"update", "castle", "behind", "map", "above", "particles"}));
}

namespace {

// What the effects hold after one frame that started with none: objects by kind, and the map effects.
struct Made {
    int32_t stars = 0, rings = 0, titles = 0, trails = 0, flyers = 0;
    std::vector<MapEffect_obj> dissolves;
};
Made Census() {
    Made m;
    for (const Gfx_Obj& o : Effects_List) {
        if (o.dead) continue;
        m.stars += o.kind == FX_STAR_STREAK;
        m.rings += o.kind == FX_TILE_RING;
        m.titles += o.kind == FX_COLOUR_RING;
        m.trails += o.kind == FX_COLOUR_TRAIL_EMITTER && o.layer == 10;
        m.flyers += o.kind == FX_CELL_FLYER;
    }
    for (const MapEffect_obj& e : MapEffects_List)
        if (!e.dead) m.dissolves.push_back(e);
    return m;
}

} // namespace

// The level end makes its effects: entering a won level restarts the title counters and sends the tiles flying;
// every frame of every phase, the dialog's too, adds stars, tile rings and flying titles (once more on the frame a
// phase ends), the upper layer's phase adds a colour trail burst, and the you-win dissolve runs at the title while
// it shows. The phases follow one clock: the count-up is not counted twice. A lost level only dissolves its title;
// the last life lost opens the game-over box instead of the life-lost one.
TEST_F(GameScreen, TheLevelEndMakesItsEffectsAndOpensItsDialog) {
    const float titleX = float(Board_AreaX + Board_AreaW / 2), titleY = float(Board_AreaY + Board_AreaH / 2) - 60;
    // A frame that starts with no effect: what it made.
    const auto frame = [this] {
        Effects_Clear();
        Frame();
        return Census();
    };
    const auto dissolvesAt = [&](const Made& m, float scale) {
        return m.dissolves.size() == 1 && m.dissolves[0].scale == scale &&
               m.dissolves[0].x == std::trunc(titleX - 64 * scale) &&
               m.dissolves[0].y == std::trunc(titleY - 16 * scale);
    };

    Game_Start(0);
    Level_Sweeping = 0;
    Frames(2);
    Effects_Clear();
    MapFx_AnimFrame = MapFx_FlickerFrame = 7;
    Level_Finish(true);
    ASSERT_EQ(Screen_Current, kScreenLevelEnd);
    EXPECT_EQ(MapFx_FlickerFrame, 0.0f) << "the title counters start again";
    EXPECT_GT(Census().flyers, 0) << "the tiles fly off";
    Made m = frame();
    const int32_t perBurst = m.titles;
    EXPECT_GT(m.stars, 0);
    EXPECT_GT(m.rings, 0);
    EXPECT_GT(perBurst, 0);
    EXPECT_EQ(m.trails, 0) << "no colour trail before the upper layer shows";
    EXPECT_TRUE(dissolvesAt(m, 1.6f)) << "the you-win dissolve at the title";
    int32_t frames = 1, effectFrames = 0, phaseEnds = 0;
    float before = LevelEnd_Ms, effectsFrom = 0;
    for (int32_t i = 0; i < 400 && LevelEnd_Phase < 2; ++i) {
        const int32_t phase = LevelEnd_Phase;
        m = frame();
        ++frames;
        effectFrames += phase == 1;
        if (phase == 0 && LevelEnd_Phase == 1) effectsFrom = LevelEnd_Ms;
        ASSERT_GT(LevelEnd_Ms, before) << "the level end's clock runs on through its phases";
        before = LevelEnd_Ms;
        ASSERT_GT(m.stars, 0) << "frame " << frames;
        ASSERT_GT(m.rings, 0) << "frame " << frames;
        ASSERT_EQ(m.trails, phase == 1 ? 1 : 0) << "frame " << frames;
        ASSERT_EQ(dissolvesAt(m, 1.6f), true) << "frame " << frames;
        if (phase != LevelEnd_Phase) {
            ++phaseEnds;
            EXPECT_EQ(m.titles, 2 * perBurst) << "one more burst as phase " << phase << " ends";
        } else {
            ASSERT_EQ(m.titles, perBurst) << "frame " << frames;
        }
    }
    ASSERT_EQ(LevelEnd_Phase, 2);
    EXPECT_EQ(phaseEnds, 2);
    EXPECT_GT(effectFrames, 0);
    EXPECT_EQ(Dialog_UpdateFn(), WinLose_Update) << "the level-won dialog";
    EXPECT_GE(effectsFrom, 1500.0f);
    EXPECT_LT(effectsFrom, 1520.0f);
    EXPECT_GE(LevelEnd_Ms, 2500.0f);
    EXPECT_LT(LevelEnd_Ms, 2520.0f);
    m = frame();
    EXPECT_GT(m.stars, 0) << "the sky goes on under the dialog";
    EXPECT_EQ(m.titles, perBurst);
    EXPECT_TRUE(m.dissolves.empty()) << "the title is gone under the dialog";
    Dialog_Close();

    // A lost level: its board stays, only its title dissolves; then the life-lost box, or after the last life the
    // game-over box.
    for (const int32_t lives : {1, 0}) {
        SCOPED_TRACE(lives);
        Lives = lives + 1;
        Game_Start(1);
        Level_Sweeping = 0;
        Frames(2);
        Effects_Clear();
        Level_Finish(false);
        ASSERT_EQ(Screen_Current, kScreenLevelEnd);
        ASSERT_EQ(Lives, lives);
        EXPECT_EQ(Census().flyers, 0) << "a lost board stays where it is";
        m = frame();
        EXPECT_EQ(m.stars + m.rings + m.titles + m.trails, 0);
        EXPECT_TRUE(dissolvesAt(m, 3.0f)) << "the you-lose dissolve at the title";
        for (int32_t i = 0; i < 400 && LevelEnd_Phase < 2; ++i)
            Frame();
        ASSERT_EQ(LevelEnd_Phase, 2);
        EXPECT_STREQ(MsgBox_FlowName(), lives > 0 ? "Frame" : "Game");
        Dialog_Close();
    }
}

// Esc on the game screen opens the in-game menu.
TEST_F(GameScreen, EscOpensTheInGameMenu) {
    Game_Start(0);
    Frames(90);
    ASSERT_EQ(Dialog_Active, 0);
    sdl_push::Tap(SDL_SCANCODE_ESCAPE);
    Frames(2);
    EXPECT_EQ(Dialog_UpdateFn(), IGMenu_Update);
}

// Whatever lay on the canvas before a frame never shows through, on the game screen and on the dimmed board (the
// scene's copy may leave out the panel's rows, which the interface covers opaque later in the frame).
TEST_F(GameScreen, AFrameCoversWhatLayOnTheCanvasBefore) {
    Game_Start(0);
    Frames(90); // the light sweep
    ASSERT_EQ(Screen_Current, kScreenGame);
    Game_Paused = 1; // nothing moves: two frames of one state are the same
    Frames(2);       // the scene and the panel kept
    ASSERT_GT(IGI_OpaqueBand().h, 0);
    const auto over = [&](int r, int g, int b) {
        Draw_SetClsColor(r, g, b);
        Draw_Cls();
        Draw_SetClsColor(0, 0, 0);
        Frame();
        return Graphics_ReadPixels(0, 0, 800, 600).bytes;
    };
    for (const int screen : {kScreenGame, kScreenDimmed}) {
        Screen_Current = screen;
        EXPECT_TRUE(over(255, 0, 255) == over(0, 255, 0)) << "screen " << screen;
    }
    Screen_Current = kScreenGame;
    Game_Paused = 0;
}

// The game screen keeps its backdrop and cells as a cached layer. Each change a player can see in a cell shows in the
// next frame exactly as drawing the screen anew shows it (a key that missed a cell's value would keep the old picture).
TEST_F(GameScreen, CachedSceneShowsEveryChangeOfACell) {
    Game_Start(0);
    Frames(90); // the light sweep
    ASSERT_EQ(Screen_Current, kScreenGame);
    Game_Paused = 1; // nothing moves: two frames of one state are the same
    Bg_Light = 1;
    Point cell{-1, -1}; // a cell with its golden tile
    for (int32_t r = 0; r < Board_Rows && cell.x < 0; ++r)
        for (int32_t col = 0; col < Board_Cols && cell.x < 0; ++col)
            if (Board_Cells[col][r].TileLevel == 1 && !Board_Cells[col][r].Void) cell = Point{col, r};
    ASSERT_GE(cell.x, 0);
    const int32_t x = int32_t(Cell_PixelX(cell.x)) - Board_OverflowX, y = int32_t(Cell_PixelY(cell.y)) - Board_OverflowY;
    const auto shown = [&] {
        Frame();
        return Graphics_ReadPixels(x - 2, y - 2, Cell_Width + 4, Cell_Height + 4).bytes;
    };
    Table_cell& c = Board_Cells[cell.x][cell.y];
    const struct {
        const char* what;
        std::function<void()> change;
    } kChanges[] = {
        {"golden tile gone", [&] { c.TileLevel = 0; }},
        {"silver tile", [&] { c.TileLevel = 2; }},
        {"lit", [&] { c.Light = 200; }},
        {"light fades", [&] { c.Light = 90; }},
        {"crate", [&] { c.Blockers = 2; }},
        {"crate of five", [&] { c.Blockers = 5; }},
        {"border", [&] { c.Contour = 1 | 8; }},
    };
    std::vector<uint8_t> before = shown();
    for (const auto& k : kChanges) {
        k.change();
        const std::vector<uint8_t> cached = shown();
        Layer_Release(kLayerGameScene);
        const std::vector<uint8_t> anew = shown();
        EXPECT_TRUE(cached == anew) << k.what << ": the cached layer shows an old picture";
        EXPECT_FALSE(cached == before) << k.what << ": no change seen";
        before = anew;
    }
    Game_Paused = 0;
}

// Still pieces are kept in the scene's cached layer; what moves over the cells is drawn again in its boxes each
// frame: a piece out of its cell (drawn live) and the hint's dots, which lie under the pieces' edges. The frame
// gives the pixels of drawing the whole scene anew, and a kept piece that moves leaves the layer at once.
TEST_F(GameScreen, KeptPiecesGiveThePixelsOfTheWholeSceneWithWhatMovesOverThem) {
    Game_Start(0);
    Frames(90); // the light sweep
    ASSERT_EQ(Screen_Current, kScreenGame);
    Game_Paused = 1; // nothing moves unless the test moves it
    Pieces_KeepOnSoftware(true);
    const int32_t x = int32_t(Cell_PixelX(2)), y = int32_t(Cell_PixelY(3));
    Gfx_Kind8Line(x, y, 1, 0);
    Gfx_Kind8Line(x, y, 0, 1);
    for (Gfx_Obj& o : Effects_List)
        if (o.kind == FX_LINE_DOT) { // shown at full strength, fading by nothing a float can hold
            o.delay = 0;
            o.alpha = 1;
            o.life = 1e9f;
        }
    Frames(20); // long enough for the pieces to be kept
    const Rect area{Board_AreaX, Board_AreaY, Board_AreaW, Board_AreaH};
    const auto shown = [&] {
        Frame();
        return Graphics_ReadPixels(area.x, area.y, area.w, area.h).bytes;
    };
    ASSERT_TRUE(shown() == shown()) << "a still frame changed";
    PiecePtr piece = Board_Cells[3][4].Piece;
    ASSERT_TRUE(piece);
    piece->PosY -= 9.0f; // over the cell above
    const uint32_t redraws = Layer_Redraws(kLayerGameScene);
    const std::vector<uint8_t> kept = shown();
    EXPECT_EQ(Layer_Redraws(kLayerGameScene), redraws + 1) << "the moved piece stayed in the layer";
    Pieces_KeepOnSoftware(false);
    const std::vector<uint8_t> anew = shown();
    EXPECT_TRUE(kept == anew) << "the kept layer and its boxes differ from the scene drawn whole";
    piece->PosY += 9.0f;
    Game_Paused = 0;
}
