// The game screen (1) and its neighbours: level start (5), level end (6) and the dimmed board behind a dialog (7),
// with their hooks and frames, the developer keys, and the drawing of the board, pieces, marks, time bar and hammer
// cursor. The runtime's screen table calls the hooks and frames; the menus' boxes call the level-end follow-ups.
//
// [SECTION] Drawing helpers
// [SECTION] Board, pieces, marks, time bar, hammer cursor
// [SECTION] Screen 1: the game
// [SECTION] Screen 5: level start
// [SECTION] Screen 6: level end
// [SECTION] Screen 7: the dimmed board
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <utility>

#include "board/play.h"

#include "castle/castle.h"
#include "editor/editor.h"
#include "effects/effects.h"
#include "menus/menus.h"
#include "main/assets.h"
#include "main/config.h"
#include "main/fonts.h"
#include "main/frame_timer.h"
#include "main/runtime.h"
#include "main/screens.h"
#include "main/text_layout.h"
#include "platform/canvas_boxes.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/mathdeg.h"
#include "platform/random.h"
#include "platform/sprite_batch.h"
#include "platform/system.h"

namespace {

// [SECTION] Drawing helpers ------------------------------------------------------------------------------------------

struct Rgb {
    int r, g, b;
};
constexpr Rgb kBackdrop{20, 26, 58};              // SkyNight behind a board without castle
constexpr Rgb kContour{242, 194, 75};             // Gold: the border along the board's edges and holes
constexpr Rgb kContourDark{107, 67, 22};          // Bronze: its shadow
constexpr Rgb kSelect{255, 240, 168};             // GoldLight: the selected cell
constexpr Rgb kHint{127, 212, 255};               // MagicBlue: the antigravity arrow
constexpr int32_t kTimeBarX = 34, kTimeBarW = 22; // the time bar left of the board, pixels
constexpr int kFontTime = kFontSans18;            // sans 18 px: the time over the bar
constexpr int kFontBonus = kFontTrinigan36;       // Roman capitals 36 px: the counted time bonus

float g_clockMs = 0; // drawing clock of the game screen (animation frames, pulses)

void SetColour(const Rgb& c) { Draw_SetColor(c.r, c.g, c.b); }

float DrawX(float x) { return x - float(Board_OverflowX); }
float DrawY(float y) { return y - float(Board_OverflowY); }

// An outline of a cell, `width` pixels thick.
void CellOutline(int32_t c, int32_t r, float width) {
    const float x = DrawX(Cell_PixelX(c)), y = DrawY(Cell_PixelY(r)), s = float(Cell_Width);
    Draw_Rect(x, y, s, width);
    Draw_Rect(x, y + s - width, s, width);
    Draw_Rect(x, y, width, s);
    Draw_Rect(x + s - width, y, width, s);
}

// The frame of an animated picture at the drawing clock.
int32_t AnimFrame(const ImagePtr& img, int32_t phase, float fps) {
    const int32_t frames = Image_Frames(img);
    if (frames <= 1) return 0;
    return (phase + int32_t(g_clockMs * fps / 1000.0f)) % frames;
}

float TilesetFps(int32_t kind) {
    if (Tileset_Current < 0 || Tileset_Current >= int32_t(Tilesets.size())) return 0;
    for (const Tileset_Tile& t : Tilesets[size_t(Tileset_Current)].Tiles)
        if (t.Index == kind - 1) return float(t.Fps);
    return 0;
}

void DrawScaled(const ImagePtr& img, float x, float y, int32_t frame = 0) {
    if (!img) return;
    Draw_SetScale(Cell_ScaleX, Cell_ScaleY);
    Draw_Image(img, x, y, frame);
    Draw_SetScale(1, 1);
}

// How a piece is drawn in this frame: where, how strong, how large, which frame of its picture.
struct PieceLook {
    float x = 0, y = 0; // its cell's top-left on the canvas
    float alpha = 0;    // 0: not drawn
    float scale = 1;    // of its cell, about the cell's centre (a removal shrinks it)
    int32_t frame = 0;
};

PieceLook LookOf(const Piece& p) {
    PieceLook look{DrawX(p.PosX), DrawY(p.PosY), Board_Alpha};
    if (p.Removing) look.alpha *= std::clamp(p.RemoveMs / rules::RemoveMs, 0.0f, 1.0f);
    if (p.FadeAlpha > 0) look.alpha *= p.FadeAlpha;
    // Coins and bottles blink in their last three seconds.
    if (p.Lifetime > 0 && p.Lifetime < 3000 && int32_t(g_clockMs / 150) % 2) look.alpha *= 0.4f;
    look.frame = p.Frame;
    if (p.Kind == KIND_TAR)
        look.frame = AnimFrame(p.Image, p.Frame, 12.0f);
    else if (Kind_IsGem(p.Kind))
        look.frame = AnimFrame(p.Image, 0, TilesetFps(p.Kind));
    if (p.Removing) look.scale = 0.6f + 0.4f * std::clamp(p.RemoveMs / rules::RemoveMs, 0.0f, 1.0f);
    return look;
}

// Everything DrawPiece reads, as a layer key's part.
uint64_t LookKey(const Piece& p, const PieceLook& look) {
    LayerKey key;
    key.Add(p.Image.get()).Add(look.frame).Add(look.x).Add(look.y).Add(look.alpha).Add(look.scale);
    key.Add(p.Bomb).Add(p.Laser).Add(p.Golden).Add(p.Frozen).Add(p.Shield).Add(p.Antigrav);
    return key.hash;
}

// The canvas box a piece's pictures may change, a pixel to spare on every side.
Rect PieceBox(const Piece& p, const PieceLook& look) {
    Rect box{};
    const float off = float(Cell_Width) * (1.0f - look.scale) * 0.5f;
    const float sx = Cell_ScaleX * look.scale, sy = Cell_ScaleY * look.scale;
    const auto take = [&](const ImagePtr& img) {
        if (!img) return;
        const float l = look.x + off - Image_HandleX(img) * sx, t = look.y + off - Image_HandleY(img) * sy;
        const float r = l + float(Image_Width(img)) * sx, b = t + float(Image_Height(img)) * sy;
        const Rect r1{int(std::floor(l)) - 1, int(std::floor(t)) - 1, int(std::ceil(r - std::floor(l))) + 2,
                      int(std::ceil(b - std::floor(t))) + 2};
        box = box.w > 0 ? Rect_Union(box, r1) : r1;
    };
    take(p.Image);
    for (const ImagePtr& overlay : {Piece_OverlayBomb, Piece_OverlayLaser, Piece_OverlayGolden, Piece_OverlayFrozen,
                                    Piece_OverlayChain[1], Piece_OverlayChain[2]})
        take(overlay);
    // The antigravity arrow lies within the cell.
    const Rect cell{int(std::floor(look.x)) - 1, int(std::floor(look.y)) - 1, Cell_Width + 3, Cell_Height + 3};
    return box.w > 0 ? Rect_Union(box, cell) : cell;
}

void DrawPiece(const Piece& p, const PieceLook& look) {
    const float x = look.x, y = look.y, alpha = look.alpha;
    if (alpha <= 0) return;
    Draw_SetBlend(BLEND_ALPHA);
    Draw_SetAlpha(alpha);
    Draw_SetColor(255, 255, 255);
    const int32_t frame = look.frame;
    const float scale = look.scale;
    if (scale != 1.0f) {
        const float off = float(Cell_Width) * (1.0f - scale) * 0.5f;
        Draw_SetScale(Cell_ScaleX * scale, Cell_ScaleY * scale);
        Draw_Image(p.Image, x + off, y + off, frame);
        Draw_SetScale(1, 1);
    } else {
        DrawScaled(p.Image, x, y, frame);
    }
    if (p.Bomb) DrawScaled(Piece_OverlayBomb, x, y);
    if (p.Laser) DrawScaled(Piece_OverlayLaser, x, y);
    if (p.Golden) DrawScaled(Piece_OverlayGolden, x, y);
    if (p.Frozen) DrawScaled(Piece_OverlayFrozen, x, y);
    if (p.Shield > 0) DrawScaled(Piece_OverlayChain[std::min(p.Shield, 2)], x, y);
    if (p.Antigrav) {
        // An arrow up in the cell's top-right corner, in MagicBlue with a dark edge.
        const float s = float(Cell_Width), ax = x + s * 0.78f, ay = y + s * 0.12f, h = s * 0.28f;
        Draw_SetColor(20, 26, 58);
        Draw_Rect(ax - 2, ay, 5, h + 1);
        SetColour(kHint);
        Draw_Rect(ax - 1, ay + 1, 3, h - 1);
        for (int32_t i = 0; i < int32_t(h * 0.4f); ++i)
            Draw_Rect(ax - float(i), ay + float(i), float(2 * i + 1), 1);
        Draw_SetColor(255, 255, 255);
    }
}

// Pieces whose look has held for a while are kept in the game scene's cached layer over the cells; the rest (moving,
// blinking, animated) are drawn each frame in boxes over it, with the behind pass's effects, which lie between the
// cells and the pieces: in each box the cells, the effects and every piece are drawn again in their order, clipped
// to it, so every pixel is what drawing the whole scene gives.
struct KeptPieces {
    struct Seen {
        const Piece* piece = nullptr;
        uint64_t look = 0;
        int32_t still = 0; // frames its look has held, up to kStillFrames
    };
    std::vector<Seen> seen;  // by place in the piece list, as of this frame
    uint64_t cellsKey = 0;   // the layer's key without the pieces at the last frame
    bool onSoftware = false; // SDL's software renderer keeps them too (tests)
};
KeptPieces g_kept;
constexpr int32_t kStillFrames = 15;    // frames a piece's look holds before it joins the layer: a quarter second
constexpr size_t kMaxLivePieces = 12;   // more moving pieces than this: none kept (a cascade redraws the board anyway)
constexpr size_t kMaxBehindHeld = 1024; // more behind-pass objects than this: none kept (the pass is drawn as it comes)

bool IsKept(size_t i) { return g_kept.seen[i].still >= kStillFrames; }

// Counts how long each piece's look has held; true when the still ones go into the layer this frame.
bool KeptPieces_Update() {
    // Kept, the pieces took the idle board's own thread on llvmpipe from 0.14 to 0.10 CPU-s/s; SDL's software
    // renderer draws them with our blitter for next to nothing, so there they are drawn every frame as before.
    if (!g_kept.onSoftware && std::strcmp(Graphics_RendererName(), "software") == 0) return false;
    std::vector<KeptPieces::Seen>& seen = g_kept.seen;
    size_t i = 0, kept = 0;
    for (const PiecePtr& p : Pieces) {
        if (i == seen.size()) seen.emplace_back();
        KeptPieces::Seen& s = seen[i++];
        const uint64_t look = LookKey(*p, LookOf(*p));
        s.still = s.piece == p.get() && s.look == look ? std::min(s.still + 1, kStillFrames) : 0;
        s.piece = p.get();
        s.look = look;
        kept += s.still >= kStillFrames ? 1 : 0;
    }
    seen.resize(i);
    return kept > 0 && i - kept <= kMaxLivePieces && Effects_BehindCount() <= kMaxBehindHeld;
}

// The pieces in list order, clipped to the board (pieces falling in from above) within the viewport; `keptOnly`:
// only those kept in the layer.
void DrawPieces(bool keptOnly) {
    const Rect keep = Draw_GetViewport();
    const Rect board = Rect_Intersect(keep, Rect{int(DrawX(float(Board_OriginX))), int(DrawY(float(Board_OriginY))),
                                                 Board_PixelWidth, Board_PixelHeight});
    Draw_SetViewport(board.x, board.y, board.w, board.h);
    size_t i = 0;
    for (const PiecePtr& p : Pieces) {
        const bool draw = p->Image && (!keptOnly || IsKept(i));
        ++i;
        if (draw) DrawPiece(*p, LookOf(*p));
    }
    Draw_SetViewport(keep.x, keep.y, keep.w, keep.h);
    Draw_SetAlpha(1);
    Draw_SetBlend(BLEND_ALPHA);
}

void Clip(const Rect& r) { Draw_SetViewport(r.x, r.y, r.w, r.h); }

// The bottom of the scene, drawn again in each box: the clear, the castle, the cells.
void DrawUnderPieces(const FxBoxes& boxes) {
    for (int b = 0; b < boxes.count; ++b) {
        const Rect& box = boxes.box[size_t(b)];
        Draw_ResetState();
        Clip(box);
        Draw_SetBlend(BLEND_SOLID);
        SetColour(kBackdrop);
        Draw_Rect(float(box.x), float(box.y), float(box.w), float(box.h));
        Draw_ResetState();
        Clip(box);
        Castle_DrawGame();
        Board_Draw();
    }
    Draw_ResetState();
}

// Over the layer with the kept pieces: the boxes of the pieces drawn live and of the behind pass's effects.
void DrawOverKeptPieces() {
    FxBoxes boxes;
    size_t i = 0;
    for (const PiecePtr& p : Pieces)
        if (!IsKept(i++) && p->Image) boxes.Add(PieceBox(*p, LookOf(*p)));
    Effects_DrawBehindOver(boxes, DrawUnderPieces);
    for (int b = 0; b < boxes.count; ++b) {
        Clip(boxes.box[size_t(b)]);
        DrawPieces(false);
    }
    Draw_ResetState();
}

} // namespace

// [SECTION] Board, pieces, marks, time bar, hammer cursor ----------------------------------------------------------

void Board_Draw() {
    Draw_SetBlend(BLEND_ALPHA);
    Draw_SetAlpha(Board_Alpha);
    Draw_SetColor(255, 255, 255);
    for (int32_t r = 0; r < Board_Rows; ++r)
        for (int32_t c = 0; c < Board_Cols; ++c) {
            const Table_cell& cell = Board_Cells[c][r];
            if (cell.Void) continue;
            const float x = DrawX(Cell_PixelX(c)), y = DrawY(Cell_PixelY(r));
            DrawScaled(Tile_Empty, x, y);
            if (cell.TileLevel >= 1) DrawScaled(Tile_Golden, x, y);
            if (cell.TileLevel >= 2) DrawScaled(Tile_Silver, x, y);
            if (cell.Blockers > 0) {
                DrawScaled(Tile_Crate[std::min(cell.Blockers, 3)], x, y);
                if (cell.Blockers > 3 && Cell_Width >= 24) {
                    Draw_SetImageFont(Font_Default);
                    Text_DrawCenteredAt(Str_FromInt(cell.Blockers), x + float(Cell_HalfWidth),
                                        y + float(Cell_HalfHeight));
                }
            }
            if (cell.Light > 0 && Bg_Light) {
                Draw_SetBlend(BLEND_ADDITIVE);
                Draw_SetAlpha(Board_Alpha * float(cell.Light) / 255.0f * 0.6f);
                Draw_Rect(x, y, float(Cell_Width), float(Cell_Height));
                Draw_SetBlend(BLEND_ALPHA);
                Draw_SetAlpha(Board_Alpha);
            }
            Tutorial_OnEvent13(c, r);
        }
    // The contour: a gold line with a bronze shadow along every side that borders a hole or the edge.
    const float w = std::max(1.0f, float(Cell_Width) / 16.0f);
    for (int32_t r = 0; r < Board_Rows; ++r)
        for (int32_t c = 0; c < Board_Cols; ++c) {
            const int32_t k = Board_Cells[c][r].Contour;
            if (!k || Board_Cells[c][r].Void) continue;
            const float x = DrawX(Cell_PixelX(c)), y = DrawY(Cell_PixelY(r)), s = float(Cell_Width);
            for (int32_t pass = 0; pass < 2; ++pass) {
                SetColour(pass == 0 ? kContourDark : kContour);
                const float o = pass == 0 ? w : 0.0f, t = pass == 0 ? w * 2 : w;
                if (k & 1) Draw_Rect(x - t + o, y - o, t, s + 2 * o);
                if (k & 2) Draw_Rect(x - o, y - t + o, s + 2 * o, t);
                if (k & 4) Draw_Rect(x + s - o, y - o, t, s + 2 * o);
                if (k & 8) Draw_Rect(x - o, y + s - o, s + 2 * o, t);
            }
        }
    Draw_SetColor(255, 255, 255);
}

void Pieces_Draw() { DrawPieces(false); }
void Pieces_KeepOnSoftware(bool on) { g_kept.onSoftware = on; }

void Board_DrawMarks() {
    const float pulse = 0.5f + 0.5f * Sin_Table[int32_t(g_clockMs * 0.36f) % 360];
    const float w = std::max(1.0f, float(Cell_Width) / 12.0f);
    Draw_SetBlend(BLEND_ALPHA);
    if (Board_CursorOnBoard && !Hammer_Armed && Level_EndState < 2) {
        Draw_SetAlpha(0.35f);
        Draw_SetColor(255, 255, 255);
        CellOutline(Board_CursorCell.x, Board_CursorCell.y, w);
    }
    if (Board_Selected) {
        Draw_SetAlpha(0.6f + 0.4f * pulse);
        SetColour(kSelect);
        CellOutline(Board_SelectedCell.x, Board_SelectedCell.y, w * 1.5f);
    }
    Draw_SetAlpha(1);
    Draw_SetColor(255, 255, 255);
}

void TimeBar_Draw() {
    const float top = float(Board_AreaY), height = float(Board_AreaH);
    const float share =
        Level_Duration > 0 ? std::clamp(float(Level_TimeLeft) / float(Level_Duration), 0.0f, 1.0f) : 1.0f;
    Draw_SetBlend(BLEND_ALPHA);
    Draw_SetAlpha(1);
    Draw_SetColor(45, 40, 36); // StoneDeep socket
    Draw_Rect(kTimeBarX - 4, top - 4, kTimeBarW + 8, height + 8);
    SetColour(kContourDark);
    Draw_Rect(kTimeBarX - 2, top - 2, kTimeBarW + 4, height + 4, false);
    Draw_SetColor(12, 14, 30);
    Draw_Rect(kTimeBarX, top, kTimeBarW, height);
    // Green while there is time, through gold to red; blue and full in relaxed play; it flashes in the last minute.
    Rgb fill = Relaxed_Mode   ? Rgb{90, 160, 240}
               : share > 0.5f ? Rgb{int(80 + (1 - share) * 2 * 160), 200, 70}
                              : Rgb{240, int(60 + share * 2 * 140), 50};
    float alpha = 1.0f;
    if (!Relaxed_Mode && Level_TimeLeft < Level_OfferThresholdUs && int32_t(g_clockMs / 250) % 2) alpha = 0.6f;
    const float h = Relaxed_Mode ? height : height * share;
    Draw_SetAlpha(alpha);
    SetColour(fill);
    Draw_Rect(kTimeBarX, top + height - h, kTimeBarW, h);
    Draw_SetAlpha(0.35f * alpha);
    Draw_SetColor(255, 255, 255);
    Draw_Rect(kTimeBarX + 3, top + height - h, 4, h);
    Draw_SetAlpha(1);
    Draw_SetImageFont(Font_Get(kFontTime));
    SetColour(kSelect);
    const Str text = Time_FormatHMS(int32_t(std::max<int64_t>(0, Level_TimeLeft) / 1000000));
    Text_DrawCenteredAt(text, float(kTimeBarX + kTimeBarW / 2) + 6, top - 22);
    Draw_SetColor(255, 255, 255);
}

void Hammer_DrawCursor() {
    if (!Hammer_Armed || Hammer_Current <= 0) return;
    const ImagePtr& icon = Hammers[size_t(Hammer_Current - 1)].Image;
    const bool can = Board_CursorOnBoard && Hammer_CanHit(Board_CursorCell.x, Board_CursorCell.y);
    if (Board_CursorOnBoard) {
        Draw_SetBlend(BLEND_ALPHA);
        Draw_SetAlpha(0.7f);
        if (can)
            SetColour(kSelect);
        else
            Draw_SetColor(200, 40, 40);
        CellOutline(Board_CursorCell.x, Board_CursorCell.y, std::max(1.0f, float(Cell_Width) / 12.0f));
    }
    // The icons are lit pixels on black: drawn additive, red when the hammer cannot strike here.
    Draw_SetBlend(BLEND_ADDITIVE);
    Draw_SetAlpha(1);
    if (can)
        Draw_SetColor(255, 255, 255);
    else
        Draw_SetColor(255, 80, 80);
    Draw_Image(icon, float(Input_MouseX - 8), float(Input_MouseY - 40));
    Draw_SetBlend(BLEND_ALPHA);
    Draw_SetColor(255, 255, 255);
}

namespace {

// The board's highlights in effects: sparks run round the selected cell, the hammer's target and the cell under the
// mouse (kind 6, three sizes); dots (kind 8) outline the hinted move and the edge between its two cells. A lap starts
// when a highlight moves to a cell and again every lap while it stays there.
struct MarkLap {
    int32_t col = -1, row = -1; // the cell (the hint: its first cell) of the running lap; -1 none
    float nextMs = 0;           // drawing clock at which the next lap starts
};
enum MarkCase { MARK_SELECTED, MARK_HAMMER, MARK_CURSOR, MARK_HINT, MARK_CASES };
struct MarkEffects {
    std::array<MarkLap, MARK_CASES> laps;
};
MarkEffects g_marks;
constexpr float kSparkScale[MARK_HINT] = {0.8f, 0.65f, 0.4f}; // sizes of the sparks by case
constexpr float kSparkLapMs = 500; // a lap of sparks (its delays run down by update and draw alike)
constexpr float kHintLapMs = 1000; // a line of dots shows for about two seconds

// Starts a lap for the case when its highlight has moved, or when the last lap has run; forgets it when it is off.
template <typename Start> void Mark_Keep(MarkCase k, bool on, int32_t c, int32_t r, float lapMs, Start start) {
    MarkLap& lap = g_marks.laps[k];
    if (!on) {
        lap.col = -1;
        return;
    }
    if (c == lap.col && r == lap.row && g_clockMs < lap.nextMs) return;
    lap = MarkLap{c, r, g_clockMs + lapMs};
    start();
}

void Mark_Sparks(MarkCase k, bool on, int32_t c, int32_t r) {
    Mark_Keep(k, on, c, r, kSparkLapMs, [&] { Gfx_RectEdgeSparks(Cell_PixelX(c), Cell_PixelY(r), kSparkScale[k]); });
}

// The hint's dots: the outline of the two cells together and the edge between them.
void Mark_HintDots() {
    const int32_t c = std::min(Hint_Col, Hint_Col2), r = std::min(Hint_Row, Hint_Row2);
    const bool across = Hint_Col != Hint_Col2; // side by side
    Mark_Keep(MARK_HINT, Hint_Found && Match_Timer == 0 && !Board_Selected, c, r, kHintLapMs, [&] {
        const int32_t x = int32_t(Cell_PixelX(c)), y = int32_t(Cell_PixelY(r)), s = Cell_Width;
        const int32_t w = across ? 2 * s : s, h = across ? s : 2 * s;
        for (int32_t i = 0; i < w; i += s) {
            Gfx_Kind8Line(x + i, y, 1, 0);
            Gfx_Kind8Line(x + i, y + h, 1, 0);
        }
        for (int32_t i = 0; i < h; i += s) {
            Gfx_Kind8Line(x, y + i, 0, 1);
            Gfx_Kind8Line(x + w, y + i, 0, 1);
        }
        if (across)
            Gfx_Kind8Line(x + s, y, 0, 1);
        else
            Gfx_Kind8Line(x, y + s, 1, 0);
    });
}

void Board_MarkEffects() {
    const Point cur = Board_CursorCell;
    const bool hammerTarget = Board_CursorOnBoard && Hammer_Armed && Hammer_CanHit(cur.x, cur.y);
    Mark_Sparks(MARK_SELECTED, Board_Selected != 0, Board_SelectedCell.x, Board_SelectedCell.y);
    Mark_Sparks(MARK_HAMMER, hammerTarget, cur.x, cur.y);
    Mark_Sparks(MARK_CURSOR, Board_CursorOnBoard && !Hammer_Armed && Level_EndState < 2, cur.x, cur.y);
    Mark_HintDots();
}

// What the board's cells look like (Board_Draw): every input it reads. A running tutorial step may light cells
// over an amulet above them (event 13), so the pieces count too while one runs.
void AddCellsKey(LayerKey& key) {
    key.Add(Board_Cols).Add(Board_Rows).Add(Board_OriginX).Add(Board_OriginY).Add(Board_OverflowX).Add(Board_OverflowY);
    key.Add(Cell_Width).Add(Cell_Height).Add(Cell_ScaleX).Add(Cell_ScaleY).Add(Board_Alpha).Add(Bg_Light);
    key.Add(Tile_Empty.get()).Add(Tile_Golden.get()).Add(Tile_Silver.get());
    for (const ImagePtr& crate : Tile_Crate)
        key.Add(crate.get());
    const bool tutorial = Tutorial_Current >= 0;
    key.Add(Tutorial_Current).Add(Screen_Current);
    for (int32_t r = 0; r < Board_Rows; ++r)
        for (int32_t c = 0; c < Board_Cols; ++c) {
            const Table_cell& cell = Board_Cells[c][r];
            key.Add(cell.Void).Add(cell.TileLevel).Add(cell.Blockers).Add(cell.Light).Add(cell.Contour);
            if (tutorial) key.Add(cell.Piece ? cell.Piece->Kind : -1);
        }
}

// The bottom of the game screen: the clear, the backdrop with the castle, the board's cells and, while they stand
// still, the pieces. They change seldom (a cell's tile or light, a castle part, a piece moved), so while the castle
// stands still and the board is not faded they are kept as one cached layer and copied each frame; what moves over
// the cells is drawn again in its boxes (KeptPieces). Either way the drawing state afterwards is that of drawing the
// cells, or with the pieces, the pieces'. With the interface drawn later in the frame, the copy leaves out what the
// panel covers opaque: on the GL renderers, where that spares their per-pixel cost. SDL's software renderer copies
// the whole layer faster than the pieces round the panel (about 0.02 CPU-s/s less on the idle board, measured), so
// there it is copied whole. True: the pieces are drawn, with the behind pass's effects beneath them.
bool DrawBackdropAndCells(bool interface) {
    Draw_ResetState();
    Draw_SetClsColor(kBackdrop.r, kBackdrop.g, kBackdrop.b);
    bool keepPieces = KeptPieces_Update();
    LayerKey key;
    if (Board_Alpha == 1.0f && Castle_GameStill(key)) {
        AddCellsKey(key);
        // Only over cells that held still since the last frame: while they change frame after frame (the level's
        // opening light sweep) the layer is drawn anew each frame, and the pieces drawn into it with the cells
        // would only add to llvmpipe's work held for the frame (2.5 MB more at the board run's peak, measured).
        const bool cellsStill = std::exchange(g_kept.cellsKey, key.hash) == key.hash;
        keepPieces = keepPieces && cellsStill;
        key.Add(keepPieces);
        if (keepPieces)
            for (size_t i = 0; i < g_kept.seen.size(); ++i)
                if (IsKept(i)) key.Add(i).Mix(g_kept.seen[i].look);
        const bool leaveOut = interface && std::strcmp(Graphics_RendererName(), "software") != 0;
        if (Layer_Reuse(kLayerGameScene, key.hash, Rect{}, leaveOut ? IGI_OpaqueBand() : Rect{})) {
            Draw_SetAlpha(Board_Alpha);
            if (Cell_Width >= 24)
                for (int32_t r = 0; r < Board_Rows; ++r)
                    for (int32_t c = 0; c < Board_Cols; ++c)
                        if (!Board_Cells[c][r].Void && Board_Cells[c][r].Blockers > 3) Draw_SetImageFont(Font_Default);
        } else {
            Draw_Cls();
            Castle_DrawGame(); // the castle behind the board, first
            Board_Draw();
            if (keepPieces) DrawPieces(true);
            Layer_Done(kLayerGameScene);
        }
        if (keepPieces) DrawOverKeptPieces();
        return keepPieces;
    }
    Draw_Cls();
    Castle_DrawGame();
    Board_Draw();
    Layer_Done(kLayerGameScene);
    return false;
}

// The scene of the game screen without its logic: backdrop, castle, board, effects, pieces, interface. The game
// frame alone (interface on) steps and draws the map effects; the level start and the dimmed board only show the
// effect layers.
void DrawScene(bool interface) {
    if (!DrawBackdropAndCells(interface)) {
        Effects_DrawBehind();
        Pieces_Draw();
    }
    Board_DrawMarks();
    if (interface) MapEffects_RunAll();
    Effects_DrawAbove();
    Draw_SetRotation(0);
    TimeBar_Draw();
    if (interface) IGI_Update();
}

// The developer keys. The level-win key (W while Right Alt is held) is always there; the rest only in a build
// with the developer keys.
void DeveloperKeys() {
    // Keys are part of the game's logic: while the editor edits (not test-plays) they leave its board alone.
    const bool editing = Editor_Open && !Editor_Testing;
    if (Key_Down(VK::RMENU) && Key_Hit('W') && !editing) {
        for (int32_t c = 0; c < Board_Cols; ++c)
            for (int32_t r = 0; r < Board_Rows; ++r)
                Board_Cells[c][r].TileLevel = 0;
    }
#if defined(BQ_DEV_KEYS)
    if (Key_Down(VK::RMENU) && Key_Hit('L')) {
        if (!Editor_Open)
            Editor_Create();
        else
            Editor_Close();
    }
    if (Key_Down(VK::LCONTROL) && Key_Hit('C')) {
        try {
            Level_Save(S("dbg_level.lev"));
        } catch (const RuntimeError& e) {
            Log_Print(S("dbg_level.lev: ") + Str_FromUtf8(e.what()));
        }
    }
#endif
}

} // namespace

// [SECTION] Screen 1: the game ---------------------------------------------------------------------------------------

void Game_Enter() {
    if (!Hammers[0].Image) Hammers_Load();
    // The effects' pictures are painted into their atlas pages now, on the screen's first frame, not by the first
    // spell or blast that draws from a page (a fireball's first cast decoded a page's sixteen pictures).
    Batch_PreparePages();
}
void Game_Leave() { Hammer_Armed = 0; }

void Game_Frame() {
    Tutorial_OnEvent11();
    // The in-game menu (which can leave the level) waits until the editor is closed.
    if (Key_Hit(VK::ESCAPE) && !Editor_Open) IGI_OpenMenu();
    const bool logic = !Game_Paused && !Tips_Visible && (!Editor_Open || Editor_Testing);
    if (logic) {
        g_clockMs += Frame_DeltaMs;
        if (Level_Sweeping) LevelEnd_LightSweep();
        Spells_Update(Frame_DeltaMs); // a spell's target click comes before the board's
        Game_LogicTick(Frame_DeltaMs);
        Board_MarkEffects();
        Effects_UpdateAll();
        Level_UpdateTime(Frame_DeltaMs);
    }
    DrawScene(true);
    Effects_DrawTop();
    Particles_Draw();
    Hammer_DrawCursor();
    Tips_Draw();
    Tips_ShowIceCrystal();
    Tips_ShowSnowball();
    DeveloperKeys();
    if (Editor_Open) {
        Editor_Update();
        Editor_Draw();
    }
}

// [SECTION] Screen 5: level start -----------------------------------------------------------------------------------

void Screen5_Enter() {}
void Screen5_Leave() {}
void Screen5_Frame() {
    Effects_UpdateAll();
    DrawScene(false);
}

// [SECTION] Screen 6: level end -------------------------------------------------------------------------------------

namespace {
constexpr float kCountMs = 1500;  // phase 0: the time bonus is counted
constexpr float kEffectMs = 1000; // phase 1: the picture and the effects above the board
constexpr float kTrailFactor = 0; // colour trail emitters per burst: one
} // namespace

namespace {
// Where the level end's title stands: over the board area's middle, a little above it; its scale.
float TitleX() { return float(Board_AreaX + Board_AreaW / 2); }
float TitleY() { return float(Board_AreaY + Board_AreaH / 2) - 60; }
float TitleScale() { return Level_Lost ? 3.0f : 1.6f; }
} // namespace

void LevelEnd_Enter() {
    LevelEnd_Phase = 0;
    LevelEnd_Ms = 0;
    Board_Selected = 0;
    MapFx_LevelEndStart();
    // A won board breaks up: every tile flies off towards the edges.
    if (!Level_Lost) Gfx_LevelEndTiles();
}

// The level end's effects of one frame. The title dissolves (you win: glow and flicker sparks from its animation;
// you lose: spinning sparks). A won level streams star streaks, tile rings and flying titles in every frame of
// every phase, the dialog's included; the flying titles have one call in each phase and a fourth on the frame a
// phase ends, so the titles burst out again as the count-up finishes and as the dialog opens. While the effects
// above the board are drawn (phase 1) a colour trail burst rises from a random cell every frame.
static void LevelEnd_MakeEffects(bool phaseEnds) {
    MapFx_LevelEndAdvance(Frame_DeltaMs / 1000.0f);
    if (Level_Lost) {
        if (LevelEnd_Phase < 2) MapEffect_AddSpinning(TitleX(), TitleY(), TitleScale());
        return;
    }
    Gfx_Kind11Ring();
    Gfx_Kind12Ring();
    switch (LevelEnd_Phase) {
    case 0:
        Gfx_Kind15Burst();
        break;
    case 1: {
        Gfx_Kind15Burst();
        // A random cell; a hole passes the burst on to the next playable cell in reading order.
        const int32_t cells = Board_Cols * Board_Rows, start = Rand_Int(0, std::max(0, cells - 1));
        for (int32_t i = 0; i < cells; ++i) {
            const int32_t k = (start + i) % cells, c = k % Board_Cols, r = k / Board_Cols;
            if (!Cell_Playable(c, r)) continue;
            Gfx_Kind40Burst(Cell_PixelX(c), Cell_PixelY(r), kTrailFactor, 10);
            break;
        }
        break;
    }
    default:
        Gfx_Kind15Burst();
        break;
    }
    if (phaseEnds) Gfx_Kind15Burst();
    if (LevelEnd_Phase < 2) MapEffect_AddAnimated(TitleX(), TitleY(), TitleScale());
}
void LevelEnd_Leave() {}

void LevelEnd_Frame() {
    g_clockMs += Frame_DeltaMs;
    LevelEnd_Ms += Frame_DeltaMs;
    // The phases follow one clock from the level end's first frame: the count-up, then the effects, then the
    // dialog or box. (A clock restarted at a phase change would count the time bonus and grow the title again.)
    const bool countEnds = LevelEnd_Phase == 0 && LevelEnd_Ms >= kCountMs;
    const bool effectsEnd = LevelEnd_Phase == 1 && LevelEnd_Ms >= kCountMs + kEffectMs;
    LevelEnd_MakeEffects(countEnds || effectsEnd);
    Effects_UpdateAll();
    // The board stays, still settling, behind the picture.
    Board_UpdateTimers(Frame_DeltaMs);
    Board_UpdateMoves(Frame_DeltaMs);
    Board_Alpha = std::max(0.45f, 1.0f - LevelEnd_Ms / 2000.0f);
    DrawBackdropAndCells(false);
    Effects_DrawBehind();
    Pieces_Draw();
    MapEffects_RunAll(); // the dissolving titles and the hourglass go on over the board
    TimeBar_Draw();
    Board_Alpha = 1.0f;
    if (LevelEnd_Phase >= 1) Effects_DrawAbove();
    Draw_SetRotation(0);

    const ImagePtr title =
        Level_Lost ? Images_Get(u"images/effects/youlose_german.png") : Images_Get(u"images/interface/youwin.png");
    // The title (and the dark band that carries it) shows while the time bonus is counted and the effects run;
    // once the dialog or box has opened over the level end it is gone, so no piece of it peeks out beside them.
    if (title && LevelEnd_Phase < 2) {
        const float grow = std::min(1.0f, LevelEnd_Ms / 400.0f);
        const float s = TitleScale() * (0.5f + 0.5f * grow);
        // The band runs across the board as drawn (a small board is narrower than its area).
        const float cy = TitleY();
        const float bandX = float(std::max(Board_AreaX, Board_OriginX));
        const float bandW = float(std::min(Board_AreaW, Board_PixelWidth));
        Draw_SetBlend(BLEND_ALPHA);
        Draw_SetAlpha(0.6f * grow);
        Draw_SetColor(0, 0, 0);
        Draw_Rect(bandX, cy - 70, bandW, 170);
        Draw_SetColor(255, 255, 255);
        Draw_SetBlend(Level_Lost ? BLEND_ADDITIVE : BLEND_ALPHA);
        Draw_SetAlpha(grow);
        Draw_SetScale(s, s);
        const float x = TitleX() - float(Image_Width(title)) * s / 2;
        const float y = cy - float(Image_Height(title)) * s / 2;
        Draw_Image(title, x, y);
        Draw_SetScale(1, 1);
        Draw_SetBlend(BLEND_ALPHA);
        Draw_SetAlpha(1);
    }
    if (!Level_Lost && Level_TimeBonus > 0 && LevelEnd_Phase < 2) {
        const float shown = std::min(1.0f, LevelEnd_Ms / kCountMs) * float(Level_TimeBonus);
        Draw_SetImageFont(Font_Get(kFontBonus));
        Draw_SetColor(255, 240, 168);
        Text_DrawCenteredAt(S("+") + Str_FromInt(int32_t(shown)), float(Board_AreaX + Board_AreaW / 2),
                            float(Board_AreaY + Board_AreaH / 2) + 30);
        Draw_SetColor(255, 255, 255);
    }
    Particles_Draw();

    if (countEnds) {
        LevelEnd_Phase = 1;
    } else if (effectsEnd) {
        LevelEnd_Phase = 2;
        if (!Level_Lost)
            WinLose_Open();
        else if (Lives > 0)
            MsgBox_Frame_Open();
        else
            MsgBox_Game_Open();
    }
}

// [SECTION] Screen 7: the dimmed board ------------------------------------------------------------------------------

void Dimmed_Enter() {}
void Dimmed_Leave() {}
void Dimmed_Frame() {
    DrawScene(false);
    Draw_SetBlend(BLEND_ALPHA);
    Draw_SetAlpha(0.55f);
    Draw_SetColor(0, 0, 0);
    Draw_Rect(0, 0, float(Screen_Width), float(Screen_Height));
    Draw_SetAlpha(1);
    Draw_SetColor(255, 255, 255);
}
