// The three hammers: their charge from matches, which one is available, the gauge the in-game interface draws, the
// cursor and the strike. Called by the rules (Hammer_AddCharge), the logic tick and the interface's hammer button.
#include "board/play.h"

#include "board/board_hooks.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "main/assets.h"
#include "main/audio.h"
#include "main/config.h"
#include "main/frame_timer.h"
#include "main/gui_button.h"
#include "main/screens.h"

std::array<Hammer, Hammer_Count> Hammers = {Hammer{50, {}, {}}, Hammer{120, {}, {}}, Hammer{260, {}, {}}};
HammerState Hammer_State;
int32_t Hammer_ButtonX = 640, Hammer_ButtonY = 470;
int32_t Hammer_BurstsFired = 0;

namespace {

constexpr float kTrailScale = 0.8f;  // the charge comets' size
constexpr int32_t kTrailPerCell = 3; // comets per matched cell, minus one

constexpr const char16_t* kIconPaths[Hammer_Count] = {
    u"images/interface/map_hammer.png", u"images/interface/map_hammer2.png", u"images/interface/map_hammer3.png"};

// One burst of the icon particle emitter: the icon, the creation callback, thinning, sprite, frames, start scale.
struct Burst {
    int32_t hammer;   // 0..2
    bool fromPixel2;  // Particle_NewFromPixel2, else Particle_NewFromPixel
    int32_t thinning; // one pixel in n makes a particle
    const char16_t* sprite;
    int32_t frames;
    float startScale;
};
constexpr Burst kBursts[] = {
    {0, true, 4, u"incbin::images/effects/spark1.png", 0, 0.05f},
    {1, false, 8, u"incbin::images/effects/spark6.png", 32, 1.0f},
    {1, true, 4, u"incbin::images/effects/spark1.png", 0, 0.1f},
    {2, false, 4, u"incbin::images/effects/spark6.png", 32, 1.0f},
    {2, true, 2, u"incbin::images/effects/spark1.png", 0, 0.4f},
};

// The sprites of the bursts, looked up once by Hammers_Load (not in the frame a hammer charges).
std::array<ImagePtr, std::size(kBursts)> g_burstSprites;

void FireBursts(int32_t hammer) {
    ++Hammer_BurstsFired;
    if (!Hammers[size_t(hammer)].Image) return; // no pictures (the board playing alone)
    for (size_t i = 0; i < std::size(kBursts); ++i) {
        const Burst& b = kBursts[i];
        if (b.hammer != hammer) continue;
        Board_Hooks.Particles_HammerBurst(Hammers[size_t(hammer)].Image, b.fromPixel2 ? 1 : 0, b.thinning,
                                          Hammer_ButtonX, Hammer_ButtonY, g_burstSprites[i], b.frames, b.startScale);
    }
}

// A grey copy of an icon: every pixel's brightness, darker.
ImagePtr GreyCopy(const ImagePtr& img) {
    if (!img) return nullptr;
    ImagePtr grey = Image_Copy(img);
    Pixmap* pm = Image_Lock(grey, 0, LOCK_READWRITE);
    if (!pm) return grey;
    for (int y = 0; y < pm->height; ++y)
        for (int x = 0; x < pm->width; ++x) {
            const uint32_t argb = Pixmap_ReadPixel(*pm, x, y);
            const uint32_t r = argb >> 16 & 255, g = argb >> 8 & 255, b = argb & 255;
            const uint32_t v = (r * 3 + g * 6 + b) / 16;
            Pixmap_WritePixel(*pm, x, y, (argb & 0xff000000u) | v << 16 | v << 8 | v);
        }
    Image_Unlock(grey, 0);
    return grey;
}

int32_t AvailableHammer() {
    int32_t n = 0;
    for (int32_t i = 0; i < Hammer_Count; ++i)
        if (Hammer_Charge >= Hammers[i].Threshold) n = i + 1;
    return n;
}

} // namespace

void Hammers_Load() {
    for (int32_t i = 0; i < Hammer_Count; ++i) {
        Hammers[i].Image = Images_Get(kIconPaths[i]);
        Hammers[i].Grey = GreyCopy(Hammers[i].Image);
    }
    for (size_t i = 0; i < std::size(kBursts); ++i) {
        const Burst& b = kBursts[i];
        g_burstSprites[i] = b.frames > 0 ? Images_GetAnim(b.sprite, 32, 32, b.frames) : Images_Get(b.sprite);
    }
}

void Hammers_Reset() { Hammer_State = HammerState{}; }

void Hammer_AddCharge(int32_t charge) {
    if (charge <= 0) return;
    const int32_t before = Hammer_Charge;
    const int32_t top = Hammers[Hammer_Count - 1].Threshold;
    Hammer_Charge = std::min(top, Hammer_Charge + charge);
    // Comets fly from the matched cells to the hammers while the charge grows, unless the player has asked for
    // fewer effects ("Langsamer PC").
    if (Hammer_Charge > before && Slow_PC == 0) Board_Hooks.Gfx_MatchTrail(kTrailScale, kTrailPerCell);
    Board_Hooks.Tutorial_OnEvent7(charge);
    for (int32_t i = 0; i < Hammer_Count; ++i)
        if (before < Hammers[i].Threshold && Hammer_Charge >= Hammers[i].Threshold) FireBursts(i);
}

void Hammer_Update() {
    const int32_t n = AvailableHammer();
    if (n != Hammer_Current) {
        Hammer_Current = n;
        if (n > 0) Board_Hooks.Tutorial_OnEvent6(n);
    }
    if (Hammer_Current == 0) Hammer_Armed = 0;
    // Eleven segments over the charge up to the last threshold.
    const float top = float(Hammers[Hammer_Count - 1].Threshold);
    for (int32_t i = 0; i < Hammer_GaugeSegments; ++i) {
        const float lo = top * float(i) / Hammer_GaugeSegments, hi = top * float(i + 1) / Hammer_GaugeSegments;
        HammerFill[i] = int32_t(std::clamp((float(Hammer_Charge) - lo) / (hi - lo), 0.0f, 1.0f) * 255.0f);
    }
}

void Hammer_Arm() {
    if (Hammer_Current > 0) Hammer_Armed = Hammer_Armed ? 0 : 1;
}

int32_t Hammer_CanHit(int32_t c, int32_t r) {
    if (Hammer_Current == 0 || !Cell_Playable(c, r)) return 0;
    const Table_cell& cell = Board_Cells[c][r];
    const PiecePtr& p = cell.Piece;
    const bool piece = p && Piece_Settled(*p) && p->Kind != KIND_AMULET;
    switch (Hammer_Current) {
    case 1:
        return piece || cell.Blockers > 0;
    case 2:
        return piece || cell.Blockers > 0 || cell.TileLevel > 0;
    default:
        return p && Kind_IsGem(p->Kind) && Piece_Settled(*p);
    }
}

void Hammer_Strike(int32_t c, int32_t r) {
    if (!Hammer_CanHit(c, r)) return;
    Table_cell& cell = Board_Cells[c][r];
    const auto smash = [](int32_t x, int32_t y, bool tile) {
        Table_cell& at = Board_Cells[x][y];
        if (at.Blockers > 0) {
            at.Blockers = 0;
        } else if (at.Piece) {
            // The hammer goes through chains and ice.
            at.Piece->Shield = 0;
            at.Piece->Frozen = 0;
            Cell_DestroyPiece(x, y);
        }
        if (tile) Cell_ClearTile(x, y);
    };
    Board_Hooks.Snd_PlayIndex(SND_HAMMER, Board_Hooks.Snd_PanAt(int32_t(Cell_PixelX(c))));
    if (Hammer_Current == 3) {
        const int32_t colour = cell.Piece->Kind;
        for (int32_t x = 0; x < Board_Cols; ++x)
            for (int32_t y = 0; y < Board_Rows; ++y) {
                const PiecePtr& p = Board_Cells[x][y].Piece;
                if (Cell_Playable(x, y) && p && p->Kind == colour && Piece_Settled(*p)) smash(x, y, true);
            }
    } else {
        smash(c, r, Hammer_Current == 2);
    }
    Hammer_Charge = 0;
    Hammer_Armed = 0;
    Hammer_Update();
}

void Hammer_HandleClick() {
    if (!Hammer_Armed) return;
    const GUIMouse& m = GUI_Mouse();
    if (!m.pressed) return;
    if (!Board_CursorOnBoard) {
        Hammer_Armed = 0; // a click beside the board puts the hammer away
        return;
    }
    const Point at = Board_CursorCell;
    if (!Hammer_CanHit(at.x, at.y)) return;
    if (Board_Hooks.Tutorial_OnEvent14(at.x, at.y) != 1) return;
    Hammer_Strike(at.x, at.y);
}
