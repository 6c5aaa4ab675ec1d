// The effects' public services: effect objects and their list, the update and layer passes, image particles, the
// creators the board, spells, level end and main menu call, and the map effects (pixel-scan emitters). Called by
// the runtime (start-up), the board's play loop (through board/board_hooks.h), the castle and the menus. The effects
// read the board directly; the one value they need from the castle comes through Effects_Hooks below.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

#include "platform/canvas_boxes.h"
#include "platform/image.h"
#include "platform/pool.h"

struct Piece;

// ============================================================================================================
// Effect objects and the effect list
// ============================================================================================================
// The effect kinds: what an object does is chosen by its kind (the update and draw rules of src/effects/kinds.cpp).
// Numbers 0 to 3, 13, 38 and 39 are not used.
enum Fx_Kind : int32_t {
    FX_LINE_BLAST = 4,            // the beam cross of a line blast
    FX_FALLING_GLOW = 5,          // a destroyed piece's glow
    FX_EDGE_SPARK = 6,            // a spark running round a highlighted cell
    FX_RISING_SPARK = 7,          // a glow's sparkle
    FX_LINE_DOT = 8,              // a hint dot
    FX_SHARD = 9,                 // a removed piece's shard
    FX_BLUE_SPARK = 10,           // a shard's ember
    FX_STAR_STREAK = 11,          // level end: a star flying at the viewer
    FX_TILE_RING = 12,            // level end: a tile flying at the viewer
    FX_CELL_FLYER = 14,           // level end: an empty tile taking off
    FX_COLOUR_RING = 15,          // level end: a flying title
    FX_TILE_SHARD = 16,           // a bomb's tile shard
    FX_RAY_SPARK = 17,            // a bomb's ray
    FX_EXPLOSION_SPARK = 18,      // an exploding cell's spark
    FX_CHARGE_TRAIL = 19,         // a comet flying to the hammers
    FX_CHAIN_LINK = 20,           // a link of a broken chain
    FX_SPINNING_GLOW = 21,        // a rocket's trail
    FX_FLASH_STRIP = 22,          // a new special piece's flash
    FX_SMALL_SPARK = 23,          // glitter and a bolt's spark
    FX_COIN_GLITTER = 24,         // a collected coin
    FX_BOTTLE_GLITTER = 25,       // a collected bottle; the main menu's glows
    FX_TRAIL_SPARK = 26,          // a bolt's spark with a trail
    FX_TRAIL_DOT = 27,            // a trail's dot
    FX_RING_EMITTER = 28,         // the bomb spell's ring
    FX_RING_SPARK = 29,           // a collect ring's spark
    FX_FREEZE_SPARK = 30,         // frost on the time bar
    FX_GLOW_SPARK = 31,           // the chroma frenzy's spark
    FX_POP_FLASH = 32,            // a flash that grows and fades
    FX_FLAME = 33,                // the bomb spell's flame
    FX_SHARD_EMITTER = 34,        // the tar destroyer's shard
    FX_DESTROY_SPARK = 35,        // a spark of a piece that is gone
    FX_TILE_CHIP = 36,            // a chip of a tile or a crate
    FX_PIECE_GLOW = 37,           // a glow following a special piece
    FX_COLOUR_TRAIL_EMITTER = 40, // level end: a colour trail
    FX_COLOUR_PUFF = 41,          // a colour trail's puff
    FX_KIND_END = 42              // one past the last kind
};

// An effect object's picture: a small number standing for an image the effects hold (0: none). Objects stay plain
// data, so the list's walks copy them without touching reference counts; the images stay alive while the effects
// hold them (until Effects_Clear, when no object is left). Reads and assigns like an ImagePtr.
class Fx_ImageRef {
  public:
    Fx_ImageRef() = default;
    Fx_ImageRef(const ImagePtr& img); // NOLINT: assigned from ImagePtr like the pointer it stands for
    Fx_ImageRef& operator=(const ImagePtr& img);
    Fx_ImageRef& operator=(std::nullptr_t) {
        id_ = 0;
        return *this;
    }
    operator const ImagePtr&() const; // NOLINT: passed where an ImagePtr is expected
    const Image* get() const;
    int32_t Frames() const; // frames of the strip (0 for none)
    explicit operator bool() const { return id_ != 0; }
    bool operator==(std::nullptr_t) const { return id_ == 0; }
    bool operator==(const Fx_ImageRef& o) const { return id_ == o.id_; }
    uint16_t Id() const { return id_; }

  private:
    uint16_t id_ = 0;
};

// The piece a kind-37 glow follows: a slot in a side table of weak references (0: none), so the object stays plain
// data. The slot is given back when the list drops the object.
class Fx_PieceRef {
  public:
    Fx_PieceRef& operator=(const std::shared_ptr<Piece>& piece);
    std::shared_ptr<Piece> lock() const;
    void reset(); // gives the slot back
    explicit operator bool() const { return slot_ != 0; }

  private:
    uint16_t slot_ = 0;
};

// One effect object, plain data of two cache lines. What the fields mean depends on the kind (see the update and
// draw passes). The first line holds what the walks and most kinds read every frame; the second what some kinds
// read (turning, depth, headings, drift, colour, strips).
struct alignas(64) Gfx_Obj {
    uint8_t kind = 0;             // effect kind (Fx_Kind); numbers outside the table are stored as 0 (no rule)
    bool dead = false;            // removed during a walk; dropped from the list when the walk ends
    int16_t layer = 0;            // -10 under the pieces, 10 over them, 20 over the interface; others never drawn
    int32_t delay = 0;            // ms before the object takes part; every pass that meets it counts it down
    Fx_ImageRef image;            // what is drawn; a strip for the kinds that step frames
    Fx_PieceRef piece;            // the piece a kind-37 glow follows; none = no piece
    float frame = 0;              // animation frame; drawing uses its integer part
    int32_t x = 0, y = 0;         // drawn position, screen pixels
    float posX = 0, posY = 0;     // real position, pixels
    float velX = 0, velY = 0;     // pixels per frame; SparkRed, SparkGreen
    float gravity = 0;            // added to velocity y per second; acceleration (14); TitleGreen
    float alpha = 0;              // drawing alpha
    float scaleX = 0, scaleY = 0; // drawing scale
    float rotation = 0;           // drawing rotation in degrees
    int32_t counter = 0;          // loops left, fade phase (1 growing, 2 fading) or a countdown
    // ---- second line
    float turnRate = 0;                 // degrees per unit of frame time added to the rotation
    float turnAccel = 0;                // added to the turn rate
    float z = 0;                        // depth of the projected kinds 11 and 12
    float vz = 0;                       // depth per frame (11, 12); SparkBlue
    float speed = 0;                    // speed along the heading (14, 17..20); TitleRed
    float heading = 0;                  // direction in degrees (14, 19); TitleBlue
    float life = 0;                     // kind-specific hold time or divisor
    float spread = 0;                   // beam spread of kind 4 (0..16); TrailScale
    float driftX = 0, driftY = 0;       // decaying second velocity (31, 33) or a direction
    float colR = 0, colG = 0, colB = 0; // drawing colour 0..255
    int32_t frameCount = 0;             // frames in the strip as the creator gave them
    int32_t countdown = 0;              // kind-specific timer, ms
    int32_t frameDelay = 0;             // ms per animation frame

    // Fields some kinds reuse for a value of their own, by the name of that value.
    float& TitleRed() { return speed; } // the flying title's colour (FX_COLOUR_RING)
    float& TitleGreen() { return gravity; }
    float& TitleBlue() { return heading; }
    float& SparkRed() { return velX; } // the colour of FX_GLOW_SPARK and FX_FLAME (they move by their drift)
    float& SparkGreen() { return velY; }
    float& SparkBlue() { return vz; }
    float& TrailScale() { return spread; } // the drawing scale of FX_CHARGE_TRAIL (which has no beam)
    float TrailScale() const { return spread; }
};
static_assert(sizeof(Gfx_Obj) == 128, "an effect object is two cache lines");
static_assert(std::is_trivially_copyable_v<Gfx_Obj> && std::is_trivially_destructible_v<Gfx_Obj>,
              "the list copies objects and drops them without destroying them");

// Four floats of scratch; the level end advances the fourth (the spin wave of the you-lose dissolve).
struct PointFloat {
    float v[4] = {0, 0, 0, 0};
};

// The list owns its objects, oldest first. They sit in blocks of kBlock that never move while the list grows, so a
// reference stays valid while a rule appends children mid-walk; a walk reads them in memory order. Blocks are added
// as the list grows and kept when it shrinks, so effects made and dropped every frame allocate nothing once a level
// has warmed up; Effects_Clear gives back those beyond a busy board's needs, so a level's high-water mark is not
// carried into the menus. Removed objects are dropped by a sweep that moves the others down in order
// (src/effects/effect_list.cpp).
class Gfx_ObjList {
  public:
    static constexpr size_t kBlock = 512; // objects per block (a power of two: indexing is a shift and a mask)
    template <class List, class Obj> class Iter {
      public:
        Iter(List* l, size_t i) : l_(l), i_(i) {}
        Obj& operator*() const { return (*l_)[i_]; }
        Obj* operator->() const { return &(*l_)[i_]; }
        Iter& operator++() {
            ++i_;
            return *this;
        }
        bool operator==(const Iter& o) const { return i_ == o.i_; }
        bool operator!=(const Iter& o) const { return i_ != o.i_; }

      private:
        List* l_;
        size_t i_;
    };
    using iterator = Iter<Gfx_ObjList, Gfx_Obj>;
    using const_iterator = Iter<const Gfx_ObjList, const Gfx_Obj>;

    Gfx_Obj& operator[](size_t i) { return blocks_[i / kBlock][i % kBlock]; }
    const Gfx_Obj& operator[](size_t i) const { return blocks_[i / kBlock][i % kBlock]; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    Gfx_Obj& front() { return (*this)[0]; }
    const Gfx_Obj& front() const { return (*this)[0]; }
    iterator begin() { return {this, 0}; }
    iterator end() { return {this, size_}; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size_}; }

    // A fresh object (every field at its default) at the end.
    Gfx_Obj& emplace_back() {
        if (size_ == blocks_.size() * kBlock) blocks_.push_back(NewBlock());
        return *new (&(*this)[size_++]) Gfx_Obj{};
    }
    // Room for n objects without allocating.
    void reserve(size_t n) {
        while (blocks_.size() * kBlock < n)
            blocks_.push_back(NewBlock());
    }
    // Every object gone; the blocks stay.
    void clear() { Shrink(0); }
    // Drops the objects from n on (a slot is made fresh when it is reused); the list's owner calls it once it has
    // moved the objects it keeps below n.
    void Shrink(size_t n) { size_ = std::min(n, size_); }
    // Gives back the blocks beyond those that hold `keep` objects (rounded up to a block); objects beyond them must be
    // gone already.
    void Release(size_t keep) {
        const size_t blocks = std::max((keep + kBlock - 1) / kBlock, (size_ + kBlock - 1) / kBlock);
        if (blocks_.size() > blocks) blocks_.resize(blocks);
    }
    size_t capacity() const { return blocks_.size() * kBlock; }

  private:
    // A block is raw storage: an object is made in its slot when it is appended, so room reserved and not yet used
    // costs no resident memory.
    struct BlockDelete {
        void operator()(Gfx_Obj* p) const { ::operator delete[](p, std::align_val_t(alignof(Gfx_Obj))); }
    };
    using Block = std::unique_ptr<Gfx_Obj[], BlockDelete>;
    static Block NewBlock() {
        return Block(
            static_cast<Gfx_Obj*>(::operator new[](kBlock * sizeof(Gfx_Obj), std::align_val_t(alignof(Gfx_Obj)))));
    }
    std::vector<Block> blocks_;
    size_t size_ = 0;
};
extern Gfx_ObjList Effects_List; // every effect object, oldest first (dead ones until the walk ends)
extern PointFloat Effect_PointF; // shared scratch record of the level-end map effects
// Most live objects: a creator beyond the cap makes nothing. 25000 keeps the level end, which reaches it, within
// its frame budget.
constexpr int32_t Effects_DefaultCap = 25000;
extern int32_t Effects_Cap;                   // most live objects now (tests change it)
extern int64_t Effects_Dropped;               // objects not made because of the cap, since start
extern ImagePtr Img_SparkSnowball;            // "Images/effects/spark_snowball.png", handle centred
extern ImagePtr Img_TilePart1;                // "Images/effects/tile_part1.png", 64 frames of 24x24, centred
extern ImagePtr Img_TilePart2;                // "Images/effects/tile_part2.png", 64 frames of 24x24, centred
extern ImagePtr Img_TilePartProxy;            // "Images/effects/tile_part_proxy.png", 80 frames of 48x48, centred
extern const std::array<float, 4> Ring_Speed; // ring layer turn speed, degrees per second: 200, 150, 100, 50
extern const std::array<float, 4> Ring_WaveX; // ring layer scale amplitude: 0.1, 0.2, 0.35, 0.5
extern const std::array<float, 4> Ring_WaveY; // ring layer alpha amplitude: 0.5, 0.3, 0.25, 0.15
extern std::array<ImagePtr, 4> Ring_Images;   // ring layer images: shine1 four times
extern std::array<float, 4> Ring_Angle;       // ring layer angles, degrees (start 0)
extern std::array<float, 4> Ring_Scale;       // ring layer scales of this frame
extern std::array<float, 4> Ring_Alpha;       // ring layer alphas of this frame

void EffectImages_Load();    // from Images_LoadAll: the effect images
void Effects_Clear();        // level start, main menu: every effect object and map effect
int32_t Effects_LiveCount(); // objects in the list that are not removed
// Appends an object (kind, drawn position, delay, layer; the rest at the constructor's values) and returns it.
// At the cap it returns a scratch object that is in no list (and counts the drop).
Gfx_Obj& Gfx_New(int32_t kind, int32_t x, int32_t y, int32_t delay, int32_t layer);
void Gfx_Kind4At(int32_t x, int32_t y); // beam cross through the cell at top-left (x, y)
// Generic constructors: rotation random 1..360, frame 0, scale (s, s).
void Gfx_Create(const ImagePtr& img, int32_t kind, int32_t x, int32_t y, float vx, float vy, int32_t delay, float alpha,
                float scale, int32_t layer, int32_t counter);
void Gfx_CreateSimple(const ImagePtr& img, int32_t kind, int32_t x, int32_t y, float alpha, float scale,
                      int32_t turnRate, int32_t turnAccel, int32_t layer);
void Gfx_CreateColoured(const ImagePtr& img, int32_t kind, int32_t x, int32_t y, int32_t r, int32_t g, int32_t b,
                        float alpha, float scale, int32_t turnRate, int32_t turnAccel, int32_t layer);
void Gfx_Sparkle(int32_t x, int32_t y); // one rising spark (kind 7), from the glows' draw
void Gfx_Ember(int32_t x, int32_t y);   // one blue spark (kind 10), from the shards' draw

// ============================================================================================================
// The passes
// ============================================================================================================
void Effects_UpdateAll();         // per frame of screens 1, 5, 6: motion, trails, removals of motion
void Effects_DrawBehind();        // layer -10, drawn before the pieces
// The behind pass under pieces kept in a cached layer: its objects are stepped and drawn as by Effects_DrawBehind,
// but the draws are held until `under` has drawn again what lies beneath them, in boxes that take in every pixel
// they may change (added to those the caller put in `boxes`, merged, none overlapping). The caller then draws
// again, in the same boxes, what lies above the pass.
using FxBoxes = CanvasBoxes<12>;
void Effects_DrawBehindOver(FxBoxes& boxes, void (*under)(const FxBoxes&));
size_t Effects_BehindCount(); // objects the behind pass walks now, removed ones not yet dropped included
void Effects_DrawAbove();         // layer 10, drawn after the pieces
void Effects_DrawTop();           // layer 20, drawn after the in-game interface
void Effects_DrawOne(Gfx_Obj& o); // draws and advances one object (the layer passes call it)
// Kind steps of their own (update: motion and removal; draw: drawing and its side values).
void Gfx_ShardUpdate(Gfx_Obj& o); // kinds 16, 36
void Gfx_ShardDraw(Gfx_Obj& o);
void Gfx_RaySparkUpdate(Gfx_Obj& o); // kind 17
void Gfx_RaySparkDraw(Gfx_Obj& o);
void Gfx_SparkUpdate(Gfx_Obj& o); // kinds 18, 35
void Gfx_SparkDraw(Gfx_Obj& o);
void Gfx_TrailUpdate(Gfx_Obj& o); // kind 19
void Gfx_TrailDraw(Gfx_Obj& o);
void Gfx_ChainLinkUpdate(Gfx_Obj& o); // kind 20
void Gfx_ChainLinkDraw(Gfx_Obj& o);

// ============================================================================================================
// Calls upward (the castle's time-stop spell, the clock of kind 30), filled by the runtime; do-nothing until then
// ============================================================================================================
struct EffectsHooks {
    float (*Freeze_TimeLeft)();  // s left of the running time-stop spell (do-nothing: 0)
    float (*Freeze_TimeTotal)(); // its full duration, s (do-nothing: 0: no spell runs)
};
extern EffectsHooks Effects_Hooks;
EffectsHooks Effects_HooksDefault();

// ---- Spell effects (spell_effects.cpp): the fireball's and the chain lightning's dissolves, the time stop
// ------------ The fireball flying one way: "Map_Fireball.png" dissolves from (x, y) out along `rotation` degrees
// (0 right, 90 down), `scale` screen pixels per image pixel.
void MapEffect_Fireball(float x, float y, int32_t rotation, float scale);
// One chain-lightning bolt ("Map_Flash1.png" or "Map_Flash2.png" by which = 1, 2) from (x, y); the bolt (the image's
// height) runs along `rotation` + 90 degrees, `scale` screen pixels per image pixel.
void MapEffect_Flash(int32_t which, float x, float y, int32_t rotation, float scale);
// The time stop begins: the hourglass dissolves over the time bar (left of the board) and frost (kind 30) settles on
// the bar, each flake fading once Freeze_TimeLeft falls below its share.
void Gfx_TimeStop();

// ============================================================================================================
// Image particles
// ============================================================================================================
struct Particle;
using ParticleStep = void (*)(Particle&);
using ParticleCreate = Particle* (*)(int32_t px, int32_t py);
struct Particle {
    float x = 0, y = 0;               // screen position of the image's handle
    float alpha = 0;                  // grows while appearing, falls while flying
    float fadeRate = 0;               // per-second rate of the alpha changes
    float speed = 0;                  // pixels per second along the direction
    float direction = 0;              // degrees 0..360
    float acceleration = 0;           // added to the speed per second
    float fallSpeed = 0;              // extra vertical velocity, px per second
    float gravity = 0;                // added to the fall speed per second
    int32_t timer = 0;                // ms: appear delay, then hold time
    int32_t hold = 0;                 // hold time copied into the timer once appeared
    ImagePtr image;                   // the sprite
    int32_t frame = 0;                // current frame
    int32_t frameCount = 0;           // frames of the sprite; 0 = not animated
    int32_t marginX = 0, marginY = 0; // sprite size: further outside the screen the particle dies
    float scale = 0;                  // drawing scale, both axes
    int32_t frameDelay = 0;           // ms per frame
    int32_t frameCountdown = 0;       // ms left of the current frame
    int32_t state = 0;                // 0 dead, 1 appearing, 2 holding, 3 flying, 4 drifting
    ParticleStep step = nullptr;      // moves and draws it once per frame
};
constexpr int32_t Particle_Max = 8000;
extern std::vector<Particle> Particle_Pool; // Particle_Max slots; 0..Particle_Count-1 in use
extern int32_t Particle_Count;              // slots in use

void Particles_InitTables(); // start-up: the degree tables and the particle pool
void Particles_Reset();      // level start, main menu: every particle gone
void Particles_Draw();       // steps and draws every particle (game frame, main menu)
// Emits particles from the lit pixels (red byte not 0, transparent pixels count as 0) of frame 0 of the source,
// about one in n; `start` (may be null) runs first.
void Particles_FromImage(const ImagePtr& source, void (*start)(), ParticleCreate create, ParticleStep step, int32_t n,
                         int32_t ox, int32_t oy, float scale, const ImagePtr& sprite, int32_t frames, float startScale,
                         int32_t frameDelay);
Particle* Particle_NewFromPixel(int32_t px, int32_t py);  // flies off at a fixed direction
Particle* Particle_NewFromPixel2(int32_t px, int32_t py); // flies away from a point of the source
void Particle_Step(Particle& p);

// ============================================================================================================
// Creators: board and pieces
// ============================================================================================================
void Gfx_BurstAtCell(float x, float y, float factor);                // a piece destroyed (x, y: the cell's top-left)
void Gfx_RemovedPieceBurst(float x, float y, float factor);          // a piece left its cell (x, y: its top-left)
void Gfx_CoinCollected(float x, float y);                            // a coin was collected
void Gfx_BottleCollected(float x, float y);                          // a mana bottle was collected
void Gfx_CollectRing(int32_t x, int32_t y);                          // 60 ring sparks at a collect point
void Gfx_RectEdgeSparks(float x, float y, float scale);              // sparks running round a cell
void Gfx_Kind8Line(int32_t x, int32_t y, int32_t sx, int32_t sy);    // hint dots along one cell edge
void Gfx_Kind21Burst(float x, float y, float factor);                // a rocket moves
void Gfx_Kind22Burst(float x, float y, float factor);                // a group left a special piece in the cell
void Gfx_Kind40Burst(float x, float y, float factor, int32_t layer); // colour trail emitters (level end)
void Gfx_MatchTrail(float scale, int32_t n);                         // comets from the matched cells to the hammer icon
void Gfx_ExplosionSparks(int32_t x, int32_t y);                      // a cell exploded (x, y: its centre)
void Gfx_ExplosionRays(int32_t x, int32_t y);                        // a cell exploded: tile shards and ray sparks
void Gfx_Explosion16(int32_t x, int32_t y);                          // a cell exploded: 16 tile chips
void Gfx_BlockerHit16(int32_t x, int32_t y);                         // a crate was hit (x, y: the cell centre)
void Gfx_Sparks(int32_t x, int32_t y);                               // chain links flying off (x, y: the piece centre)
void Gfx_DestroySparks(int32_t x, int32_t y);                        // a piece object was destroyed
void Gfx_Kind37Circle(const std::shared_ptr<Piece>& piece);          // three turning glows following a special piece
// The cell centre offset the bursts add to a cell's top-left: half a cell, in pixels.
float Cell_CentreOffsetX();
float Cell_CentreOffsetY();

// ============================================================================================================
// Creators: spells, level end, gem bag, main menu; the spell previews' immediate drawing
// ============================================================================================================
void Gfx_LevelEndTiles(); // every playable cell flies off (level-end entry)
void Gfx_Kind11Ring();    // star streaks (level-end frame)
void Gfx_Kind12Ring();    // 3D tile rings (level-end frame)
void Gfx_Kind15Burst();   // flying you-win titles (level-end frame)
void Gfx_SpellBurst(int32_t x, int32_t y, const std::shared_ptr<Piece>& piece); // chroma frenzy glow sparks
void Gfx_Circle360(int32_t x, int32_t y);                                       // bomb: ring emitters and flames
void Gfx_Kind34At(float x, float y);         // tar destroyer: a spinning shard emitter
void Gfx_Star360(int32_t x, int32_t y);      // gem bag: 60 ring sparks
void Gfx_Kind25Circle(int32_t x, int32_t y); // main menu: three turning glows
void Gfx_RingUpdate(float base);             // advances the four-layer ring
void Gfx_Ring(int32_t cx, int32_t cy, int32_t cw, int32_t ch, int32_t x, int32_t y, float alpha); // draws it
void Gfx_DrawStrip(int32_t x, int32_t y, int32_t w, int32_t h, const ImagePtr& img, int32_t frame, int32_t count,
                   int32_t step, float alpha, float rotation); // dots marching round a rectangle

// ============================================================================================================
// Map effects
// ============================================================================================================
using Emitter_Hook = void (*)();
// A source image's values: the red byte of every pixel of frame 0 (0 where fully transparent), made once per image.
struct ValuePlane {
    int32_t width = 0, height = 0;
    std::vector<uint8_t> v; // row-major
    uint8_t At(int32_t x, int32_t y) const { return v[size_t(y) * size_t(width) + size_t(x)]; }
};
// The value plane of an image (cached by image); null for a null image.
const ValuePlane* ValuePlane_Of(const ImagePtr& img);

struct MapEffect_obj {
    ImagePtr image;                          // the source image
    std::shared_ptr<const ValuePlane> plane; // its values
    int32_t rotation = 0;                    // sweep orientation, whole degrees
    float rotationSpeed = 0;                 // degrees per second
    int32_t mode = 0;                        // 1 column sweep, 6 radial sweep, others do nothing
    float x = 0, y = 0;                      // top-left (mode 1) or centre (mode 6) on the screen
    float sweep = 0;                         // current column (1) or ray angle (6)
    int32_t extraPerStep = 0;                // columns or rays per step, minus one
    float stop = 0;                          // 0 to the end; else a fraction of the width (1) or an angle (6)
    int32_t angleStep = 0;                   // degrees between rays (6)
    float scale = 0;                         // screen pixels per image pixel
    int32_t scaleGrowth = 0;                 // added to the scale per second (6)
    int32_t countdown = 0;                   // ms until the next step
    int32_t interval = 0;                    // ms between steps
    int32_t thinning = 0;                    // a pixel fires when random 1..thinning is 1
    int32_t band1 = 0, band2 = 0, band3 = 0; // value thresholds
    Emitter_Hook hook1 = nullptr, hook2 = nullptr, hook3 = nullptr, endHook = nullptr; // never null once made
    bool dead = false;                                                                 // removed during a walk
};
extern std::deque<MapEffect_obj, Pool_Allocator<MapEffect_obj>> MapEffects_List; // every live map effect
extern int32_t Emitter_X, Emitter_Y; // screen point of the pixel a hook is called for
extern float Emitter_Value;          // its value divided by its band's upper threshold
// The level end's animation counters, in one struct so that MapFx_LevelEndStart puts them back by assigning a fresh
// one; the hooks use the names bound below.
struct MapFxLevelEnd {
    float AnimFrame = 0, FlickerFrame = 0; // animation counters, frames 0..23
    int32_t SpinAngle = 0, HookAngle = 0;  // spin angles, degrees
};
extern MapFxLevelEnd MapFx_LevelEnd;
inline constinit float& MapFx_AnimFrame = MapFx_LevelEnd.AnimFrame;
inline constinit float& MapFx_FlickerFrame = MapFx_LevelEnd.FlickerFrame;
inline constinit int32_t& MapFx_SpinAngle = MapFx_LevelEnd.SpinAngle;
inline constinit int32_t& MapFx_HookAngle = MapFx_LevelEnd.HookAngle;
void MapFx_LevelEndStart();                // the level end opens: its counters, spin and swing back to 0
void MapFx_LevelEndAdvance(float seconds); // the level end's frame: the you-lose spin swings on

void MapEffect_Create(const ImagePtr& img, int32_t band1, int32_t band2, int32_t band3, Emitter_Hook hook1,
                      Emitter_Hook hook2, Emitter_Hook hook3, Emitter_Hook endHook, int32_t mode, float x, float y,
                      int32_t rotation, int32_t rotationSpeed, float scale, int32_t scaleGrowth, int32_t thinning,
                      int32_t extraPerStep, int32_t angleStep, int32_t interval, float stop);
void MapEffects_RunAll(); // steps every map effect (game and level-end frames)
void MapEffect_Step(MapEffect_obj& e);
void MapEffect_AddAnimated(float x, float y, float scale); // the you-win dissolve (level end)
void MapEffect_AddSpinning(float x, float y, float scale); // the you-lose dissolve (level end)
void MapEffect_GlowHook();
void MapEffect_FlickerHook();
void MapEffect_SparkleHook();
void MapEffect_SpinBackHook();
void MapEffect_SpinHook();
void Emitter_SpawnKind23();
void Emitter_SpawnKind8();
void Emitter_SpawnKind26();
void Emitter_SpawnKind7();
void Emitter_SpawnA();
void Emitter_SpawnB();
void Emitter_SpawnKind27();
void Emitter_SpawnKind27b();
void Emitter_Nothing();
