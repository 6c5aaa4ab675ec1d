// The birds of the main menu: up to five fly straight across the top of the picture, at most one of them large;
// large ones behind the middle picture layer, small ones in front. Updated and drawn by the main menu's frame.
#include "menus/menus.h"

#include <algorithm>

#include "main/assets.h"
#include "main/frame_timer.h"
#include "main/screens.h"
#include "platform/graphics.h"
#include "platform/mathdeg.h"
#include "platform/random.h"

std::vector<MMBird> MMBird_List;
int32_t MMBird_Timer = 0;

namespace {

struct BirdClass {
    const char16_t* right; // strip flying right (heading 0)
    const char16_t* left;  // strip flying left (heading 1)
    int size;              // frame width and height
    int frames;
    int layer; // 0 near, 1 far
};
constexpr BirdClass kClasses[4] = {
    {u".\\Images\\MainMenu\\mm_bird30_right.png", u".\\Images\\MainMenu\\mm_bird30_left.png", 30, 21, 0},
    {u".\\Images\\MainMenu\\mm_bird36_right.png", u".\\Images\\MainMenu\\mm_bird36_left.png", 36, 21, 0},
    {u".\\Images\\MainMenu\\mm_bird100a_right.png", u".\\Images\\MainMenu\\mm_bird100a_left.png", 100, 64, 1},
    {u".\\Images\\MainMenu\\mm_bird100b_right.png", u".\\Images\\MainMenu\\mm_bird100b_left.png", 100, 64, 1},
};
std::array<std::array<ImagePtr, 2>, 4> g_strips; // by class and heading

constexpr int kTopBand = 150;                          // birds fly between y 0 and this
constexpr int kMinSpeed = 35, kMaxSpeed = 50;          // pixels per second
constexpr int kMinDelayMs = 1000, kMaxDelayMs = 10000; // wait before the next bird
constexpr float kWingsPerPixel = 0.85f;                // animation frames per pixel flown

bool IsLarge(int32_t kind) { return kind == 2 || kind == 3; }

} // namespace

void MMBird_DropTextures() {
    for (const auto& pair : g_strips)
        for (const ImagePtr& strip : pair)
            Image_DropTexture(strip);
}

int32_t MMBird_StripsMade() {
    int32_t made = 0;
    for (const auto& pair : g_strips)
        for (const ImagePtr& strip : pair)
            made += Image_HasTexture(strip) ? 1 : 0;
    return made;
}

void MMBird_LoadImages() {
    for (size_t c = 0; c < g_strips.size(); ++c) {
        const BirdClass& k = kClasses[c];
        g_strips[c][0] = Asset_LoadAnimImage(k.right, k.size, k.size, k.frames);
        g_strips[c][1] = Asset_LoadAnimImage(k.left, k.size, k.size, k.frames);
    }
    MMBird_List.clear();
    MMBird_List.reserve(kMaxBirds + 1);
    MMBird_Timer = 0;
}

void MMBird::Setup() {
    const int heading = Rand_Int(0, 1);
    const auto big =
        std::count_if(MMBird_List.begin(), MMBird_List.end(), [](const MMBird& b) { return IsLarge(b.kind); });
    kind = Rand_Int(0, 3);
    if (IsLarge(kind) && big >= 1) kind = Rand_Int(0, 1); // at most one large bird at a time
    const BirdClass& k = kClasses[kind];
    image = g_strips[size_t(kind)][size_t(heading)];
    frameCount = k.frames;
    layer = k.layer;
    frame = float(Rand_Int(0, frameCount - 1));
    const int w = k.size;
    speed = float(Rand_Int(kMinSpeed, kMaxSpeed));
    y = float(Rand_Int(0, kTopBand));
    targetY = Rand_Int(0, kTopBand);
    if (heading == 0) {
        x = float(-w);
        targetX = Screen_Width + w;
    } else {
        x = float(Screen_Width + w);
        targetX = -w;
    }
    angle = float(Deg_ATan2(double(float(targetY) - y), double(float(targetX) - x)));
    distanceLeft = float(Screen_Width + 2 * w);
    step = 0;
    gone = false;
}

MMBird MMBird::Create() {
    MMBird b;
    b.Setup();
    return b;
}

void MMBird::Move() {
    step = speed * Frame_DeltaSec;
    x += float(Deg_Cos(angle)) * step;
    y += float(Deg_Sin(angle)) * step;
    distanceLeft -= step;
    if (distanceLeft < 0) gone = true;
}

void MMBird::Animate() {
    frame += step * kWingsPerPixel;
    while (int(frame) >= frameCount && frameCount > 0)
        frame -= float(frameCount);
    if (frame < 0) frame = 0;
}

void MMBird::Draw() const { Draw_Image(image, x, y, int(frame)); }

void MMBirds_Update() {
    // Every bird moves in this pass, also one that flew out before it; the leavers go after the pass.
    for (MMBird& b : MMBird_List) {
        b.Move();
        b.Animate();
    }
    std::erase_if(MMBird_List, [](const MMBird& b) { return b.gone; });
    if (MMBird_List.size() < size_t(kMaxBirds)) {
        MMBird_Timer -= int32_t(Frame_DeltaMs);
        if (MMBird_Timer < 0) {
            MMBird_List.push_back(MMBird::Create());
            MMBird_Timer = Rand_Int(kMinDelayMs, kMaxDelayMs);
        }
    } else {
        MMBird_Timer = Rand_Int(kMinDelayMs, kMaxDelayMs); // the next one waits a full delay once a bird has left
    }
}

void MMBirds_DrawFar() {
    for (const MMBird& b : MMBird_List)
        if (b.layer != 0) b.Draw();
}

void MMBirds_DrawNear() {
    for (const MMBird& b : MMBird_List)
        if (b.layer != 1) b.Draw();
}
