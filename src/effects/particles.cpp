// Image particles: a pool of 8000 reused slots, the emitter that turns an image's lit pixels into particles, the
// per-particle step (appear, hold, fly, drift, die) and the value planes the emitters read instead of textures.
// Called by the hammers (bursts), the game frame and the main menu (drawing), and the start-up (tables).
#include <unordered_map>

#include "effects/fx_draw.h"
#include "effects/fx_internal.h"
#include "main/runtime.h"
#include "main/screens.h"

std::vector<Particle> Particle_Pool;
int32_t Particle_Count = 0;

namespace {
// Settings of the running Particles_FromImage call, read by the creation callbacks.
struct Emitter {
    int32_t ox = 0, oy = 0;
    float scale = 1;
    int32_t width = 0, height = 0;
    ImagePtr sprite;
    int32_t frames = 0;
    float startScale = 1;
    int32_t frameDelay = 0;
    ParticleStep step = nullptr;
} g_em;

void NothingStep(Particle&) {}

float Into360(float d) {
    if (std::fabs(d) >= 360.0f) d = std::fmod(d, 360.0f);
    if (d < 0) d += 360.0f;
    return d;
}

// The next free slot filled with what both callbacks share; null when the pool is full.
Particle* Take(int32_t px, int32_t py) {
    if (Particle_Count >= Particle_Max) return nullptr;
    if (Particle_Pool.size() < size_t(Particle_Max)) Particle_Pool.resize(size_t(Particle_Max));
    Particle& p = Particle_Pool[size_t(Particle_Count)];
    p = Particle{};
    p.x = float(g_em.ox) + float(px) * g_em.scale;
    p.y = float(g_em.oy) + float(py) * g_em.scale;
    p.state = 1;
    p.alpha = 0;
    p.image = g_em.sprite;
    p.frameCount = g_em.frames;
    p.marginX = Image_Width(g_em.sprite);
    p.marginY = Image_Height(g_em.sprite);
    p.scale = g_em.startScale;
    p.frameCountdown = 0;
    p.frameDelay = g_em.frameDelay;
    p.step = g_em.step ? g_em.step : NothingStep;
    return &p;
}

// The frame a new particle starts on; a strip of no frames always shows frame 0.
int32_t StartFrame() { return g_em.frames > 0 ? Ri(0, g_em.frames - 1) : 0; }

void Move(Particle& p, float dt) {
    p.speed += p.acceleration * dt;
    const int a = std::clamp(ToInt(p.direction), 0, 360);
    p.x += p.speed * Cos_Table[a] * dt;
    p.y += p.speed * Sin_Table[a] * dt;
    p.y += p.fallSpeed * dt;
    p.fallSpeed += p.gravity * dt;
    if (p.x < float(-p.marginX) || p.x > float(Screen_Width + p.marginX) || p.y < float(-p.marginY) ||
        p.y > float(Screen_Height + p.marginY))
        p.state = 0;
}
} // namespace

// ---- Value planes ----------------------------------------------------------------------------------------------

const ValuePlane* ValuePlane_Of(const ImagePtr& img) {
    if (!img) return nullptr;
    // Keyed by image; the cache keeps the image, so the key is never reused by another one.
    static std::unordered_map<const Image*, std::pair<ImagePtr, std::shared_ptr<ValuePlane>>> cache;
    const auto it = cache.find(img.get());
    if (it != cache.end()) return it->second.second.get();
    auto plane = std::make_shared<ValuePlane>();
    if (const Pixmap* pm = Image_Lock(img, 0, LOCK_READ)) {
        plane->width = pm->width;
        plane->height = pm->height;
        plane->v.resize(size_t(pm->width) * size_t(pm->height));
        for (int y = 0; y < pm->height; ++y)
            for (int x = 0; x < pm->width; ++x) {
                const uint32_t argb = Pixmap_ReadPixel(*pm, x, y);
                plane->v[size_t(y) * size_t(pm->width) + size_t(x)] = (argb >> 24) == 0 ? 0 : uint8_t(argb >> 16);
            }
        Image_Unlock(img, 0);
    }
    cache.emplace(img.get(), std::make_pair(img, plane));
    return plane.get();
}

// ---- Particles -------------------------------------------------------------------------------------------------

void Particles_InitTables() {
    DegTables_Fill();
    Particle_Pool.assign(size_t(Particle_Max), Particle{});
    Particle_Count = 0;
}

void Particles_Reset() { Particle_Count = 0; }

void Particles_FromImage(const ImagePtr& source, void (*start)(), ParticleCreate create, ParticleStep step, int32_t n,
                         int32_t ox, int32_t oy, float scale, const ImagePtr& sprite, int32_t frames, float startScale,
                         int32_t frameDelay) {
    g_em =
        Emitter{ox, oy, scale, Image_Width(source), Image_Height(source), sprite, frames, startScale, frameDelay, step};
    if (start) start();
    const ValuePlane* plane = ValuePlane_Of(source);
    if (!plane || plane->v.empty() || !create) {
        static bool reported = false; // a missing picture makes no burst; one line, not a box in mid-play
        if (!reported) Log_Print(u"particles: no source picture for a burst");
        reported = true;
        return;
    }
    for (int32_t py = 0; py < plane->height; ++py)
        for (int32_t px = 0; px < plane->width; ++px)
            if (plane->At(px, py) != 0 && Ri(1, std::max(n, 1)) == 1) create(px, py);
}

Particle* Particle_NewFromPixel(int32_t px, int32_t py) {
    Particle* p = Take(px, py);
    if (!p) return nullptr;
    p->fadeRate = Rf(7, 20);
    p->direction = 200;
    p->speed = 100;
    p->acceleration = float(Ri(4, 8));
    p->timer = Ri(1, 100) + 100;
    p->hold = 200 - p->timer;
    p->frame = StartFrame();
    ++Particle_Count;
    return p;
}

Particle* Particle_NewFromPixel2(int32_t px, int32_t py) {
    Particle* p = Take(px, py);
    if (!p) return nullptr;
    p->fadeRate = Rf(15, 20);
    p->direction = Into360(float(Deg_ATan2(float(py) - float(g_em.height) * 0.7f, float(px - g_em.width))));
    p->speed = float(Ri(2, 170));
    p->acceleration = float(Ri(10, 20));
    p->gravity = 4.0f;
    p->timer = Ri(1, 150) + 100;
    p->hold = Ri(1, 100) + 400;
    p->frame = StartFrame();
    ++Particle_Count;
    return p;
}

void Particle_Step(Particle& p) {
    const float dt = Fx_Dt(), ms = Fx_Ms();
    switch (p.state) {
    case 1:
        if (p.timer > 0) {
            p.timer = ToInt(float(p.timer) - ms);
            return;
        }
        p.alpha += p.fadeRate * dt;
        p.scale = std::min(p.scale + 0.4f * dt, 2.0f);
        if (p.alpha >= 1) {
            p.state = 2;
            p.timer = p.hold;
        }
        break;
    case 2:
        p.timer = ToInt(float(p.timer) - ms);
        if (p.timer < 1) p.state = 3;
        break;
    case 3:
        Move(p, dt);
        p.alpha -= p.fadeRate * 0.02f * dt;
        if (p.alpha < 0.7f) {
            p.state = 4;
            p.direction = Into360(p.direction + float(Ri(-30, 30)));
            p.gravity = 150;
            p.fallSpeed = 0;
            p.speed = float(Ri(1, 100) + 50);
            p.acceleration = -float(Ri(10, 50));
        }
        if (Fx_Fps() < 30) p.alpha -= p.fadeRate * 0.1f * dt;
        if (p.alpha <= 0) p.state = 0;
        p.scale = std::min(p.scale + 0.25f * dt, 2.0f);
        break;
    case 4:
        Move(p, dt);
        p.alpha -= p.fadeRate * 0.025f * dt;
        if (Fx_Fps() < 30) p.alpha -= p.fadeRate * 0.1f * dt;
        if (p.alpha <= 0) p.state = 0;
        p.scale = std::max(p.scale - 0.3f * dt, 0.1f);
        break;
    default:
        return;
    }
    Fx_SetScale(p.scale, p.scale);
    Fx_SetAlpha(p.alpha);
    Fx_SetBlend(BLEND_ADDITIVE);
    Fx_Draw(p.image, p.x, p.y, p.frame);
    if (p.frameCount > 0) {
        p.frameCountdown = ToInt(float(p.frameCountdown) - ms);
        if (p.frameCountdown < 0) {
            p.frameCountdown = p.frameDelay;
            p.frame += 1;
            if (p.frame >= p.frameCount) p.frame = 0;
        }
    }
}

void Particles_Draw() {
    if (Particle_Count == 0) return;
    Fx_SetBlend(BLEND_ALPHA);
    const float alpha = Fx.alpha, sx = Fx.sx, sy = Fx.sy;
    bool any = false;
    for (int32_t i = 0; i < Particle_Count; ++i) {
        Particle& p = Particle_Pool[size_t(i)];
        if (p.state == 0) continue;
        (p.step ? p.step : NothingStep)(p);
        any = true;
    }
    if (Particle_Pool[size_t(Particle_Count - 1)].state == 0) --Particle_Count;
    if (!any) Particles_Reset();
    Fx_SetAlpha(alpha);
    Fx_SetScale(sx, sy);
    Fx_SetBlend(BLEND_ALPHA);
    Fx_Sink().Flush();
}
