// The level map (screen 10): the seven castles' lands with one point per level along a winding road, the road
// travelled so far, and the cursor walking on to the level about to be played. Entered from the build menu; its
// buttons start the level, go back to the build menu or save and leave for the main menu. LevelMap_PointOf is
// also used by the asset generator that paints the map.
#include <algorithm>
#include <cmath>

#include "board/rules.h"
#include "castle/castle.h"
#include "main/assets.h"
#include "board/play.h"
#include "main/fonts.h"
#include "main/config.h"
#include "main/frame_timer.h"
#include "main/progress.h"
#include "main/screens.h"
#include "main/text_layout.h"
#include "platform/graphics.h"

int32_t LevelMap_Cursor = 1;

namespace {

// First level of each castle's land; the last entry is one past the campaign.
constexpr std::array<int32_t, kCastleCount + 1> kLandFirst = {1, 13, 31, 51, 73, 97, 123, kLevelsPlanned + 1};
// The road: three rows joined by bends, from the bottom left to the top right.
struct Way {
    float x, y;
};
constexpr std::array<Way, 10> kRoad = {{{60, 528},
                                        {400, 540},
                                        {742, 520},
                                        {760, 430},
                                        {712, 340},
                                        {400, 352},
                                        {88, 332},
                                        {40, 240},
                                        {90, 160},
                                        {742, 150}}};
constexpr float kStepMs = 240; // the cursor takes this long from one point to the next
const char16_t* const kCaptions[3] = {u"Spielen", u"Burg", u"Menü"};

ImagePtr g_map, g_point, g_pointDone, g_cursor;
std::array<ImagePtr, kCastleCount> g_castles; // the castles on the map (lm_castle1..7.png), 96 x 84, ground at 79
std::array<GUIBtnPtr, 3> g_buttons;
float g_walk = 0; // ms into the step between the cursor's point and the next

float RoadLength() {
    float total = 0;
    for (size_t i = 1; i < kRoad.size(); ++i)
        total += std::hypot(kRoad[i].x - kRoad[i - 1].x, kRoad[i].y - kRoad[i - 1].y);
    return total;
}

void Btn_Play(GUIBtn&) {
    LevelMap_Cursor = std::clamp(Level_Current, 1, kLevelsPlanned);
    Game_Start(0);
}
void Btn_Castle(GUIBtn&) {
    BuildMenu_From = BM_FROM_LEVELMAP;
    Screen_Set(kScreenBuildMenu);
}
void Btn_Menu(GUIBtn&) {
    Match_Save(Level_Current, 0);
    Screen_Set(kScreenMainMenu);
}

} // namespace

int32_t LevelMap_CastleOf(int32_t level) {
    level = std::clamp(level, 1, kLevelsPlanned);
    for (int32_t c = 0; c < kCastleCount; ++c)
        if (level < kLandFirst[static_cast<size_t>(c + 1)]) return c;
    return kCastleCount - 1;
}

MapPoint LevelMap_PointOf(int32_t level) {
    level = std::clamp(level, 1, kLevelsPlanned);
    static const float total = RoadLength();
    float along = total * (static_cast<float>(level) - 0.5f) / kLevelsPlanned;
    for (size_t i = 1; i < kRoad.size(); ++i) {
        const float dx = kRoad[i].x - kRoad[i - 1].x, dy = kRoad[i].y - kRoad[i - 1].y;
        const float len = std::hypot(dx, dy);
        if (along <= len || i + 1 == kRoad.size()) {
            const float t = std::min(1.0f, along / len);
            // a gentle sway across the road so that the points read as a trail
            const float sway = 7 * std::sin(static_cast<float>(level) * 0.9f);
            const float x = kRoad[i - 1].x + dx * t - dy / len * sway;
            const float y = kRoad[i - 1].y + dy * t + dx / len * sway;
            return {static_cast<int32_t>(std::lround(x)), static_cast<int32_t>(std::lround(y))};
        }
        along -= len;
    }
    return {static_cast<int32_t>(kRoad.back().x), static_cast<int32_t>(kRoad.back().y)};
}

MapPoint LevelMap_CastlePoint(int32_t n) {
    n = std::clamp(n, 0, kCastleCount - 1);
    const MapPoint mid =
        LevelMap_PointOf((kLandFirst[static_cast<size_t>(n)] + kLandFirst[static_cast<size_t>(n + 1)] - 1) / 2);
    return {std::clamp(mid.x, 70, 730), mid.y - 16};
}

void LevelMap_ResetCursor() {
    LevelMap_Cursor = 1;
    g_walk = 0;
}

void LevelMap_Load() {
    g_map = Asset_LoadImage(u"Images/LevelMap/levelmap.jpg");
    g_point = Asset_LoadImage(u"Images/LevelMap/lm_point.png");
    g_pointDone = Asset_LoadImage(u"Images/LevelMap/lm_point_done.png");
    g_cursor = Asset_LoadImage(u"Images/LevelMap/lm_cursor.png");
    for (int32_t n = 0; n < kCastleCount; ++n)
        g_castles[static_cast<size_t>(n)] =
            Asset_LoadImage(u"Images/LevelMap/lm_castle" + Str_FromInt(n + 1) + u".png");
    static void (*const kActions[3])(GUIBtn&) = {Btn_Play, Btn_Castle, Btn_Menu};
    for (size_t i = 0; i < g_buttons.size(); ++i)
        g_buttons[i] = GUIBtn::CreateSingleImgBtn(static_cast<int32_t>(i), 236 + 112 * static_cast<float>(i), 554,
                                                  kActions[i], u"Images/GUI/BuildMenu/lm_btn", kCaptions[i], 41);
}

void LevelMap_Enter() {
    LevelMap_Cursor = std::clamp(LevelMap_Cursor, 1, std::clamp(Level_Current, 1, kLevelsPlanned));
    g_walk = 0;
    for (const GUIBtnPtr& b : g_buttons)
        if (b) b->state &= ~(BTN_PRESSED | BTN_CLICKED);
}

void LevelMap_Leave() {}

void LevelMap_Frame() {
    const int32_t target = std::clamp(Level_Current, 1, kLevelsPlanned);
    if (LevelMap_Cursor < target) {
        g_walk += Frame_DeltaMs;
        while (g_walk >= kStepMs && LevelMap_Cursor < target) {
            g_walk -= kStepMs;
            ++LevelMap_Cursor;
        }
    }
    if (LevelMap_Cursor >= target) g_walk = 0;

    Background_DrawFullscreen(g_map);
    // the castles: rebuilt ones in full, the others a faint sketch of what is to come
    for (int32_t n = 0; n < kCastleCount; ++n) {
        const ImagePtr& img = g_castles[static_cast<size_t>(n)];
        if (!img) continue;
        const MapPoint at = LevelMap_CastlePoint(n);
        const bool done = n < Castle_Current ||
                          Castles_Completed[static_cast<size_t>(std::clamp(Player_Current, 0, 9) * kCastleCount + n)];
        Draw_SetAlpha(done ? 1.0f : 0.22f);
        Draw_Image(img, static_cast<float>(at.x - 48), static_cast<float>(at.y - 79));
    }
    Draw_SetAlpha(1);
    // travelled points, the rest plain
    for (int32_t l = 1; l <= kLevelsPlanned; ++l) {
        const ImagePtr& mark = l < target ? g_pointDone : g_point;
        if (!mark) continue;
        const MapPoint p = LevelMap_PointOf(l);
        Draw_Image(mark, static_cast<float>(p.x - Image_Width(mark) / 2),
                   static_cast<float>(p.y - Image_Height(mark) / 2));
    }
    // the cursor, between its point and the next while it walks
    MapPoint a = LevelMap_PointOf(LevelMap_Cursor);
    if (LevelMap_Cursor < target) {
        const MapPoint b = LevelMap_PointOf(LevelMap_Cursor + 1);
        const float t = g_walk / kStepMs;
        a = {static_cast<int32_t>(a.x + (b.x - a.x) * t), static_cast<int32_t>(a.y + (b.y - a.y) * t)};
    }
    if (g_cursor) {
        Draw_Image(g_cursor, static_cast<float>(a.x - Image_Width(g_cursor) / 2),
                   static_cast<float>(a.y - Image_Height(g_cursor) + 4));
    }
    // caption: level and land
    Draw_SetImageFont(Font_Get(kFontTrinigan24));
    Draw_SetColor(92, 40, 24); // dark red ink on the parchment
    Text_DrawCenteredAt(u"Level " + Str_FromInt(Level_Current) + u" - " +
                            Castle_Names[static_cast<size_t>(LevelMap_CastleOf(target))],
                        Screen_CenterX, 24);
    Draw_SetColor(255, 255, 255);
    const bool input = !Dialog_Active;
    for (const GUIBtnPtr& b : g_buttons) {
        if (input) b->Update();
        b->Draw();
    }
}
