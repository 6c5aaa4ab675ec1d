// The effect list and its objects: the list and its cap, the effect images, clearing, the constructors, the
// drawing layer the rules draw through (state, sinks, frame checks) and the layer bookkeeping of the passes.
// Called by every effects source; EffectImages_Load and Effects_Clear by the runtime, the board and the menus.
#include <unordered_set>
#include <utility>

#include "effects/fx_draw.h"
#include "effects/fx_internal.h"
#include "main/assets.h"
#include "main/runtime.h"
#include "platform/frame_tally.h"
#include "platform/sprite_batch.h"

Gfx_ObjList Effects_List;
PointFloat Effect_PointF;
int32_t Effects_Cap = Effects_DefaultCap;
int64_t Effects_Dropped = 0;
ImagePtr Img_SparkSnowball, Img_TilePart1, Img_TilePart2, Img_TilePartProxy;
const std::array<float, 4> Ring_Speed = {200, 150, 100, 50};
const std::array<float, 4> Ring_WaveX = {0.1f, 0.2f, 0.35f, 0.5f};
const std::array<float, 4> Ring_WaveY = {0.5f, 0.3f, 0.25f, 0.15f};
std::array<ImagePtr, 4> Ring_Images;
std::array<float, 4> Ring_Angle = {0, 0, 0, 0};
std::array<float, 4> Ring_Scale = {0, 0, 0, 0};
std::array<float, 4> Ring_Alpha = {0, 0, 0, 0};
FxImages Fx_Img;
FxState Fx;

namespace {
// Effect objects the pool holds room for from the start and keeps when the effects are cleared: more than a busy
// board's cascades fill (play reaches about 7 500 live objects, a 48 x 48 board's list about 10 700 with the removed
// ones not yet dropped), so a game frame allocates nothing. A level end or a blast that runs into the cap grows the
// pool further until the next clear.
constexpr size_t kKeptObjects = 12288;
constexpr size_t kKeptPictures = 256; // pictures the objects stand for: a few dozen in play
constexpr size_t kKeptPieces = 1024;  // pieces followed by glows at once
// Entries of the layers' lists: the live objects and the removed ones not yet dropped.
constexpr size_t kKeptLayerEntries = kKeptObjects + kKeptObjects / 2;
int32_t g_live = 0;                  // objects in Effects_List not marked removed
int32_t g_removedInWalk = 0;         // objects marked removed since the last compaction
bool g_sweeping = false;             // a sweeping walk runs: it files new objects in their layers
Gfx_Obj g_scratch;                   // what Gfx_New hands out at the cap
uint32_t g_passNo = 0;               // layer passes so far
uint32_t g_layerPass[3] = {0, 0, 0}; // pass number at which each layer (-10, 10, 20) was last drawn
// The objects of each drawn layer (-10, 10, 20) in list order, so that a layer pass walks only its own. Entries of
// removed objects stay until their layer's pass drops them or the list's compaction moves the objects (the lists are
// then made anew).
std::array<std::vector<Gfx_Obj*>, 3> g_layerObjs;

int LayerSlot(int32_t layer) { return layer == -10 ? 0 : layer == 10 ? 1 : layer == 20 ? 2 : -1; }

// ---- Drawing layer: the game's sink feeds the sprite batch ----
uint8_t Byte(float v) { return uint8_t(std::isfinite(v) ? std::clamp(v, 0.0f, 255.0f) : 0.0f); }

// Values arrive clamped (Fx_Draw, Fx_Line), so the conversion to bytes is a plain one.
class BatchSink final : public FxSink {
  public:
    void Sprite(const ImagePtr& img, int frame, float x, float y, const FxState& s) override {
        Batch_Sprite(img, frame, x, y, s.sx, s.sy, s.rot, uint8_t(s.r), uint8_t(s.g), uint8_t(s.b),
                     uint8_t(s.alpha * 255.0f), s.blend);
    }
    void Line(float x1, float y1, float x2, float y2, const FxState& s) override {
        Batch_Line(x1, y1, x2, y2, uint8_t(s.r), uint8_t(s.g), uint8_t(s.b), uint8_t(s.alpha * 255.0f), s.blend);
    }
    Rect Viewport() override { return Draw_GetViewport(); }
    void SetViewport(const Rect& r) override { Batch_SetViewport(r.x, r.y, r.w, r.h); }
    void Flush() override { Batch_Flush(); }
};
BatchSink g_batchSink;
FxSink* g_sink = &g_batchSink;

// The images the objects stand for by number (Fx_ImageRef), with their frame counts; number 0 is none. A creator
// mostly makes many objects of one picture in a row: the last look-up is remembered.
struct ImageTable {
    std::vector<ImagePtr> images{nullptr};
    std::vector<int32_t> frames{0};
    const Image* last = nullptr;
    uint16_t lastId = 0;
    bool fullReported = false;
};
ImageTable g_images;

// The pieces the kind-37 glows follow (Fx_PieceRef); slot 0 is none; given-back slots are reused.
struct PieceTable {
    std::vector<std::weak_ptr<Piece>> slots{std::weak_ptr<Piece>{}};
    std::vector<uint16_t> unused;
    bool fullReported = false;
};
PieceTable g_pieces;

uint16_t ImageIdOf(const ImagePtr& img) {
    ImageTable& t = g_images;
    const Image* p = img.get();
    if (!p) return 0;
    if (p == t.last) return t.lastId;
    size_t id = 1;
    while (id < t.images.size() && t.images[id].get() != p)
        ++id;
    if (id == t.images.size()) {
        if (id > UINT16_MAX) { // never in play: a few dozen pictures
            if (!std::exchange(t.fullReported, true)) Log_Print(u"effects: too many pictures, the newest draw nothing");
            return 0;
        }
        t.images.push_back(img);
        t.frames.push_back(Image_Frames(img));
    }
    t.last = p;
    t.lastId = uint16_t(id);
    return t.lastId;
}

FxState Clamped(const FxState& s) {
    FxState c = s;
    c.alpha = std::isfinite(s.alpha) ? std::clamp(s.alpha, 0.0f, 1.0f) : 0.0f;
    c.r = Byte(s.r);
    c.g = Byte(s.g);
    c.b = Byte(s.b);
    return c;
}

ImagePtr Centred(const ImagePtr& img) {
    if (img) Image_CentreHandle(img);
    return img;
}
ImagePtr Single(const char16_t* path) { return Centred(Images_GetCopy(path)); }
// A smaller, fainter copy of a picture: `size` of its sides, its opacity times `opacity` (centred).
ImagePtr Ghost(const ImagePtr& img, float size, float opacity) {
    const Pixmap* pm = img ? Image_Lock(img, 0, LOCK_READ) : nullptr;
    if (!pm) return img;
    Pixmap small = Pixmap_Resize(*pm, std::max(1, int(std::lround(float(pm->width) * size))),
                                 std::max(1, int(std::lround(float(pm->height) * size))));
    Image_Unlock(img, 0);
    small = Pixmap_Convert(small, PF_BGRA8888);
    for (int y = 0; y < small.height; ++y)
        for (int x = 0; x < small.width; ++x) {
            const uint32_t c = Pixmap_ReadPixel(small, x, y);
            const uint32_t a = uint32_t(std::lround(float(c >> 24) * opacity));
            Pixmap_WritePixel(small, x, y, (c & 0x00FFFFFFu) | a << 24);
        }
    const ImagePtr ghost = Image_FromPixmap(small, Image_Flags(img));
    return ghost ? Centred(ghost) : img;
}
ImagePtr Strip(const char16_t* path, int fw, int fh, int count) {
    return Centred(Images_GetAnimCopy(path, fw, fh, count));
}
} // namespace

Fx_ImageRef::Fx_ImageRef(const ImagePtr& img) : id_(ImageIdOf(img)) {}
Fx_ImageRef& Fx_ImageRef::operator=(const ImagePtr& img) {
    id_ = ImageIdOf(img);
    return *this;
}
Fx_ImageRef::operator const ImagePtr&() const { return g_images.images[id_]; }
const Image* Fx_ImageRef::get() const { return g_images.images[id_].get(); }
int32_t Fx_ImageRef::Frames() const { return g_images.frames[id_]; }

Fx_PieceRef& Fx_PieceRef::operator=(const std::shared_ptr<Piece>& piece) {
    PieceTable& t = g_pieces;
    if (!piece) {
        reset();
        return *this;
    }
    if (slot_ == 0) {
        if (!t.unused.empty()) {
            slot_ = t.unused.back();
            t.unused.pop_back();
        } else if (t.slots.size() <= UINT16_MAX) {
            slot_ = uint16_t(t.slots.size());
            t.slots.emplace_back();
        } else {
            if (!std::exchange(t.fullReported, true))
                Log_Print(u"effects: too many glowing pieces, the newest glow not");
            return *this;
        }
    }
    t.slots[slot_] = piece;
    return *this;
}
std::shared_ptr<Piece> Fx_PieceRef::lock() const { return g_pieces.slots[slot_].lock(); }
void Fx_PieceRef::reset() {
    if (slot_ == 0) return;
    g_pieces.slots[slot_].reset();
    g_pieces.unused.push_back(slot_);
    slot_ = 0;
}

FxSink& Fx_Sink() { return *g_sink; }
void Fx_SetSink(FxSink* sink) { g_sink = sink ? sink : &g_batchSink; }

namespace {
void ReportFrame(const ImagePtr& img, int frame, int frames) {
    static std::unordered_set<const Image*> reported; // one line per image
    if (reported.insert(img.get()).second)
        Log_Print(u"effects: frame " + Str_FromInt(frame) + u" outside a strip of " + Str_FromInt(frames) + u" frames");
}

// Draws a frame known to be within the image's strip.
void DrawFrame(const ImagePtr& img, float x, float y, int frame) {
    if (g_sink == &g_batchSink) { // the game's sink, called directly: the same bytes without the state's copy
        const float alpha = std::isfinite(Fx.alpha) ? std::clamp(Fx.alpha, 0.0f, 1.0f) : 0.0f;
        Batch_Sprite(img, frame, x, y, Fx.sx, Fx.sy, Fx.rot, Byte(Fx.r), Byte(Fx.g), Byte(Fx.b),
                     uint8_t(alpha * 255.0f), Fx.blend);
        return;
    }
    g_sink->Sprite(img, frame, x, y, Clamped(Fx));
}
} // namespace

void Fx_Draw(const ImagePtr& img, float x, float y, int frame) {
    if (!img) return;
    const int frames = Image_Frames(img);
    if (frame < 0 || frame >= frames) return ReportFrame(img, frame, frames);
    DrawFrame(img, x, y, frame);
}

void Fx_Draw(Fx_ImageRef img, float x, float y, int frame) {
    if (!img) return;
    const int frames = img.Frames();
    if (frame < 0 || frame >= frames) return ReportFrame(img, frame, frames);
    DrawFrame(img, x, y, frame);
}

void Fx_Line(float x1, float y1, float x2, float y2) { g_sink->Line(x1, y1, x2, y2, Clamped(Fx)); }

bool Fx_LayerShown(int32_t layer) {
    const int slot = LayerSlot(layer);
    return slot >= 0 && g_layerPass[slot] != 0 && g_passNo - g_layerPass[slot] < 3;
}

void Fx_CountPass(int32_t layer) {
    ++g_passNo;
    const int slot = LayerSlot(layer);
    if (slot >= 0) g_layerPass[slot] = g_passNo;
}

void Fx_Remove(Gfx_Obj& o) {
    if (o.dead || &o == &g_scratch) return;
    o.dead = true;
    --g_live;
    ++g_removedInWalk;
}

bool Fx_SweepDue(bool always) {
    // Dead objects cost the walks only a flag test: they stay until an eighth of the list is dead (a quarter for the
    // layer passes, which the update pass follows in the same frame).
    return g_removedInWalk != 0 && size_t(g_removedInWalk) * (always ? 8 : 4) >= Effects_List.size();
}

void Fx_SweepWalk(FxRule visit) {
    // The objects move: the layers' lists are made anew on the way (children appended meanwhile join them when the
    // walk reaches them, not when they are made).
    for (std::vector<Gfx_Obj*>& l : g_layerObjs)
        l.clear();
    g_sweeping = true;
    size_t kept = 0;
    for (size_t i = 0; i < Effects_List.size(); ++i) {
        Gfx_Obj* o = &Effects_List[i];
        if (o->dead) {
            o->piece.reset();
            continue;
        }
        if (kept != i) {
            Effects_List[kept] = *o;
            o = &Effects_List[kept];
        }
        visit(*o);     // may append: o stays valid (blocks never move)
        if (o->dead) { // the next survivor takes its place
            o->piece.reset();
            continue;
        }
        if (const int slot = LayerSlot(o->layer); slot >= 0) g_layerObjs[size_t(slot)].push_back(o);
        ++kept;
    }
    Effects_List.Shrink(kept);
    g_sweeping = false;
    g_removedInWalk = 0;
}

void Fx_Compact(bool always) {
    if (Fx_SweepDue(always)) Fx_SweepWalk([](Gfx_Obj&) {});
}

std::vector<Gfx_Obj*>* Fx_LayerObjects(int32_t layer) {
    const int slot = LayerSlot(layer);
    return slot >= 0 ? &g_layerObjs[size_t(slot)] : nullptr;
}

int32_t Effects_LiveCount() { return g_live; }

int32_t Fx_Room(int32_t n) {
    const int32_t room = std::max(Effects_Cap - g_live, 0);
    if (n <= room) return n;
    Effects_Dropped += n - room;
    return room;
}

void EffectImages_Load() {
    Effects_List.clear();
    MapEffects_List.clear();
    Ring_Images.fill(Single(u"incbin::images/effects/shine1.png"));
    Effect_PointF = PointFloat{};
    Img_SparkSnowball = Single(u"incbin::Images/effects/spark_snowball.png");
    Img_TilePart1 = Strip(u"incbin::Images/effects/tile_part1.png", 24, 24, 64);
    Img_TilePart2 = Strip(u"incbin::Images/effects/tile_part2.png", 24, 24, 64);
    Img_TilePartProxy = Strip(u"incbin::Images/effects/tile_part_proxy.png", 48, 48, 80);
    FxImages& i = Fx_Img;
    i.spark1 = Single(u"incbin::images/effects/spark1.png");
    i.spark2 = Single(u"incbin::images/effects/spark2.png");
    i.spark3 = Single(u"incbin::images/effects/spark3.png");
    i.spark4 = Single(u"incbin::images/effects/spark4.png");
    i.spark5 = Single(u"incbin::images/effects/spark5.png");
    i.spark7 = Single(u"incbin::images/effects/spark7.png");
    i.spark8 = Strip(u"incbin::images/effects/spark8.png", 24, 24, 16);
    i.spark10 = Single(u"incbin::images/effects/Spark10.png");
    i.spark11 = Single(u"incbin::images/effects/Spark11.png");
    i.spark12 = Single(u"incbin::images/effects/Spark12.png");
    i.spark13 = Single(u"incbin::images/effects/Spark13.png");
    i.spark14 = Single(u"incbin::images/effects/Spark14.png");
    i.spark15 = Single(u"incbin::images/effects/Spark15.png");
    i.spark19 = Single(u"incbin::images/effects/spark19.png");
    i.shine1 = Ring_Images[0];
    i.skyStar2 = Single(u"incbin::images/effects/Sky_Star2.png");
    i.spark6 = Strip(u"incbin::images/effects/spark6.png", 32, 32, 32);
    i.spark9 = Strip(u"incbin::images/effects/spark9.png", 32, 32, 32);
    i.spark17 = Strip(u"incbin::images/effects/Spark17.png", 64, 64, 24);
    i.spark18 = Strip(u"incbin::images/effects/spark18.png", 64, 64, 24);
    i.goldCoin = Strip(u"incbin::images/effects/Gold_Coin.png", 32, 32, 16);
    i.combo = Strip(u"incbin::images/effects/combo_effect1.png", 96, 96, 32);
    i.chainLink = Strip(u"incbin::images/maillon_28x20_15.png", 28, 20, 15);
    // The flying titles: hundreds of them stream out behind the level-won dialog, so each is a smaller, fainter
    // copy of the title, a shimmer of colour rather than a crowd of words.
    i.youWinTitle = Ghost(Single(u"incbin::images/interface/youwin.png"), 0.45f, 0.5f);
    for (int f = 0; f < 24; ++f)
        i.youWin[f] = Images_GetCopy(u"incbin::images/effects/youwin000" + Str_FromInt(f) + Lang_Suffix + u".png");
    i.youLose = Images_GetCopy(u"incbin::images/effects/youlose" + Lang_Suffix + u".png");
    // Everything the effects draw goes into the shared atlas, so a layer pass draws in a few geometry calls.
    for (const ImagePtr& img :
         {Img_SparkSnowball, Img_TilePart1, Img_TilePart2, Img_TilePartProxy, i.spark1,  i.spark2,    i.spark3,
          i.spark4,          i.spark5,      i.spark7,      i.spark8,          i.spark10, i.spark11,   i.spark12,
          i.spark13,         i.spark14,     i.spark15,     i.spark19,         i.shine1,  i.skyStar2,  i.spark6,
          i.spark9,          i.spark17,     i.spark18,     i.goldCoin,        i.combo,   i.chainLink, i.youWinTitle})
        Batch_AtlasAdd(img);
    // The dissolve sources are read as value planes once, here, not during play.
    for (const ImagePtr& img : i.youWin)
        ValuePlane_Of(img);
    ValuePlane_Of(i.youLose);
    Effects_Clear();
}

void Effects_Clear() {
    // Room in the pool for as many objects as a busy board's cascades make, so that a game frame allocates nothing;
    // what a level end or a blast grew beyond that is given back.
    Effects_List.clear();
    Effects_List.Release(kKeptObjects);
    Effects_List.reserve(kKeptObjects);
    for (std::vector<Gfx_Obj*>& l : g_layerObjs) {
        l.clear();
        if (l.capacity() > kKeptLayerEntries) std::vector<Gfx_Obj*>().swap(l);
        l.reserve(kKeptLayerEntries);
    }
    // No object is left: the pictures and pieces they stood for are let go.
    g_scratch = Gfx_Obj{};
    g_images = ImageTable{};
    g_images.images.reserve(kKeptPictures);
    g_images.frames.reserve(kKeptPictures);
    g_pieces = PieceTable{};
    g_pieces.slots.reserve(kKeptPieces);
    g_pieces.unused.reserve(kKeptPieces);
    MapEffects_List.clear();
    g_live = 0;
    g_removedInWalk = 0;
}

Gfx_Obj& Gfx_New(int32_t kind, int32_t x, int32_t y, int32_t delay, int32_t layer) {
    Gfx_Obj* o;
    if (g_live >= Effects_Cap) {
        ++Effects_Dropped;
        ++Frame_Tally.effectsAtCap;
        g_scratch.piece.reset();
        g_scratch = Gfx_Obj{};
        o = &g_scratch;
    } else {
        const size_t room = Effects_List.capacity();
        o = &Effects_List.emplace_back();
        ++g_live;
        ++Frame_Tally.effectsMade;
        if (Effects_List.capacity() != room) ++Frame_Tally.poolBlocks;
        if (const int slot = LayerSlot(layer); slot >= 0 && !g_sweeping) g_layerObjs[size_t(slot)].push_back(o);
    }
    o->kind = uint8_t(kind >= 0 && kind < FX_KIND_END ? kind : 0);
    o->x = x;
    o->y = y;
    o->delay = delay;
    o->layer = int16_t(std::clamp<int32_t>(layer, INT16_MIN, INT16_MAX)); // outside -10, 10, 20: never drawn
    return *o;
}

void Gfx_Kind4At(int32_t x0, int32_t y0) {
    const int32_t x = ToInt(float(x0) + float(Ri(-5, 5)) + Cell_CentreOffsetX());
    const int32_t y = ToInt(float(y0) + float(Ri(-5, 5)) + Cell_CentreOffsetY());
    Gfx_Obj& o = Gfx_New(FX_LINE_BLAST, x, y, 0, 10);
    o.posX = float(x);
    o.posY = float(y);
    o.alpha = 0.75f;
    o.spread = 0.1f;
}

void Gfx_Create(const ImagePtr& img, int32_t kind, int32_t x, int32_t y, float vx, float vy, int32_t delay, float alpha,
                float scale, int32_t layer, int32_t counter) {
    Gfx_Obj& o = Gfx_New(kind, x, y, delay, layer);
    o.posX = float(x);
    o.posY = float(y);
    o.velX = vx;
    o.velY = vy;
    o.image = img;
    o.alpha = alpha;
    o.counter = counter;
    o.scaleX = o.scaleY = scale;
    o.rotation = float(Ri(1, 360));
}

void Gfx_CreateSimple(const ImagePtr& img, int32_t kind, int32_t x, int32_t y, float alpha, float scale,
                      int32_t turnRate, int32_t turnAccel, int32_t layer) {
    Gfx_Obj& o = Gfx_New(kind, x, y, 0, layer);
    o.counter = 1;
    o.posX = float(x);
    o.posY = float(y);
    o.alpha = alpha;
    o.image = img;
    o.scaleX = o.scaleY = scale;
    o.turnRate = float(turnRate);
    o.turnAccel = float(turnAccel);
    o.rotation = float(Ri(1, 360));
}

void Gfx_CreateColoured(const ImagePtr& img, int32_t kind, int32_t x, int32_t y, int32_t r, int32_t g, int32_t b,
                        float alpha, float scale, int32_t turnRate, int32_t turnAccel, int32_t layer) {
    Gfx_Obj& o = Gfx_New(kind, x, y, 0, layer);
    o.counter = 1;
    o.posX = float(x);
    o.posY = float(y);
    o.alpha = alpha;
    o.image = img;
    o.scaleX = o.scaleY = scale;
    o.colR = float(r);
    o.colG = float(g);
    o.colB = float(b);
    o.turnRate = float(turnRate);
    o.turnAccel = float(turnAccel);
    o.rotation = float(Ri(1, 360));
}

namespace {
void RisingSpark(int32_t x, int32_t y, const ImagePtr& img, int32_t kind, float gravity, float alpha) {
    const float dt = Fx_CreateDt();
    const float vx = Rf(-2, 2) * dt, vy = (Rf(0, 2) + 1) * dt;
    Gfx_Obj& o = Gfx_New(kind, x, y, 0, 10);
    o.image = img;
    o.posX = float(x);
    o.posY = float(y);
    o.velX = vx;
    o.velY = vy;
    o.gravity = gravity;
    o.scaleX = o.scaleY = 0.4f;
    o.alpha = alpha;
    o.counter = 1;
}
} // namespace

void Gfx_Sparkle(int32_t x, int32_t y) { RisingSpark(x, y, Fx_Img.spark4, FX_RISING_SPARK, Rf(0, 2) * 0.5f + 1, 0.7f); }
void Gfx_Ember(int32_t x, int32_t y) { RisingSpark(x, y, Fx_Img.spark1, FX_BLUE_SPARK, Rf(0, 2) * 0.5f + 2, 0.2f); }
