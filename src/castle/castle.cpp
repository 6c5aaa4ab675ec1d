// The seven castles: their price files, parts and storeys, buying a part, moving on a storey, completing a castle,
// the progress kept in the saved match, and drawing the castle through the GObj depth lists with its small
// animations. Called by the runtime (Castle_Init), the build menu, the play loop and the level map.
#include <algorithm>
#include <cmath>
#include <sstream>

#include "board/rules.h"
#include "castle/castle.h"
#include "main/assets.h"
#include "main/config.h"
#include "board/play.h"
#include "main/progress.h"
#include "main/runtime.h"
#include "main/screens.h"
#include "platform/graphics.h"
#include "platform/stream.h"

std::array<Str, kCastleCount> Castle_Names = {u"Gemunor",   u"Saithar", u"Mudiat",  u"Taykryn",
                                              u"Lagar'Mor", u"Luor",    u"Lohinril"};
std::array<Castle, kCastleCount> Castles;
std::vector<CastleElemPtr> Castle_Elems;
CastleProgress Castle_Progress;
int32_t Castle_DrawX = 0, Castle_DrawY = 0;
std::array<ImagePtr, kCastleCount> Castle_BuildBackgrounds;
std::array<ImagePtr, kCastleCount> Castle_GameBackgrounds;

namespace {

enum ElemAnim { ANIM_NONE = 0, ANIM_FLAG = 1, ANIM_SMOKE = 2 };
constexpr float kSettleMs = 700;     // a bought part drops into place this long
constexpr float kSettleDrop = 60;    // from this many pixels above
constexpr float kGhostAlpha = 0.28f; // a part on sale, not built yet
ImagePtr g_smoke;                    // a puff of chimney smoke
float g_clockMs = 0;                 // time of the animations (flags, smoke)

// What the lists hold now, so that an unchanged castle is not put in again every frame.
struct Shown {
    int32_t castle = -1, x = 0, y = 0, builtCount = -1, level = -1;
    bool ghosts = false;
} g_shown;

int32_t BuiltCount() {
    int32_t n = 0;
    for (const CastleElemPtr& e : Castle_Elems)
        n += e->built;
    return n;
}

// Castles without parts (a missing or empty price file) count as completed: the current castle moves past them.
void SkipEmptyCastles() {
    while (Castle_Current < kCastleCount && Castles[static_cast<size_t>(Castle_Current)].storeys.empty())
        ++Castle_Current;
}

void Report(const Str& file, int line, const Str& what) {
    Log_Print(u"Castle prices " + file + u" line " + Str_FromInt(line) + u": " + what + u" (line skipped)");
}

} // namespace

int32_t Wallpapers_FromLevel = 0;

// ---- Parts --------------------------------------------------------------------------------------------------------

bool CastleElem::Buildable() const {
    if (built) return false;
    for (int32_t n : needs)
        if (n < 0 || n >= static_cast<int32_t>(Castle_Elems.size()) || !Castle_Elems[static_cast<size_t>(n)]->built)
            return false;
    return true;
}

bool CastleElem::IsAffordable() const {
    if (!Buildable()) return false;
    for (int c = 0; c < kGemColours; ++c)
        if (Gems_Total[static_cast<size_t>(c)] < price[static_cast<size_t>(c)]) return false;
    return true;
}

void CastleElem::Draw() {
    if (!image) return;
    const float oldAlpha = Draw_GetAlpha();
    float sx = 1, sy = 1;
    Draw_GetScale(sx, sy);
    float px = static_cast<float>(Castle_DrawX + x), py = static_cast<float>(Castle_DrawY + y);
    if (ghost) {
        Draw_SetAlpha(oldAlpha * kGhostAlpha);
    } else if (settle < 1) {
        const float t = 1 - settle;
        py -= kSettleDrop * t * t;
        Draw_SetAlpha(oldAlpha * std::min(1.0f, 0.2f + settle * 1.6f));
    }
    if (anim == ANIM_FLAG && !ghost) {
        // the banner ripples: a slight stretch about the pole on the left
        const float wave = 1 + 0.07f * std::sin(g_clockMs * 0.006f + static_cast<float>(x));
        Draw_SetScale(wave, 1);
    }
    Draw_Image(image, px, py);
    Draw_SetScale(sx, sy);
    if (anim == ANIM_SMOKE && !ghost && g_smoke && settle >= 1) {
        // three puffs rising from the top centre of the part, each fading as it climbs
        const float w = static_cast<float>(Image_Width(image));
        for (int i = 0; i < 3; ++i) {
            const float t = std::fmod(g_clockMs / 2600.0f + i / 3.0f, 1.0f);
            Draw_SetAlpha(oldAlpha * 0.55f * (1 - t));
            Draw_SetScale(0.5f + t, 0.5f + t);
            Draw_Image(g_smoke, px + w / 2 - 8 + 14 * t + 3 * std::sin(t * 9 + i), py - 10 - 46 * t);
        }
        Draw_SetScale(sx, sy);
    }
    Draw_SetAlpha(oldAlpha);
}

// ---- Castles ------------------------------------------------------------------------------------------------------

bool Castle::StoreyDone() const {
    if (level < 0 || level >= static_cast<int32_t>(storeys.size())) return true;
    for (int32_t i : storeys[static_cast<size_t>(level)])
        if (!Castle_Elems[static_cast<size_t>(i)]->built) return false;
    return true;
}

bool Castle::IsComplete() const {
    for (const auto& s : storeys)
        for (int32_t i : s)
            if (!Castle_Elems[static_cast<size_t>(i)]->built) return false;
    return true;
}

bool Castle::GoNextLevel() {
    const int32_t count = static_cast<int32_t>(storeys.size());
    if (!StoreyDone() || level + 1 >= count) {
        Log_Print(u"Castle.GoNextLevel: castle " + Str_FromInt(number) + u" level " + Str_FromInt(level) + u" of " +
                  Str_FromInt(count));
        return false;
    }
    ++level;
    return true;
}

void Castle::Completed() {
    level = static_cast<int32_t>(storeys.size());
    const size_t flag = static_cast<size_t>(std::clamp(Player_Current, 0, 9) * kCastleCount + number);
    Castles_Completed[flag] = 1;
    Castle_JustCompleted = number;
    Castle_Celebrated = number;
    Wallpapers_FromLevel = 1;
    int32_t left = 0;
    for (int32_t& g : Gems_Total) {
        left += g;
        g = 0;
    }
    Gold_Add(left * kGoldPerGem);
    Castle_Current = std::max(Castle_Current, number + 1);
    SkipEmptyCastles();
    if (Castle_Current >= kCastleCount) Castles_AllDonePending = 1;
    Match_Save(Level_Current, 0);
    Castle_Hooks.MsgBox_CastleCompleted_Open();
}

// ---- Price files --------------------------------------------------------------------------------------------------

Str Castle_PricePath(int32_t n) { return u".\\Images\\Castles\\Castle" + Str_FromInt(n + 1) + u".txt"; }

int32_t Castle_ParsePrices(int32_t n, const std::string& text, const Str& fileName, std::vector<CastleElemPtr>& elems) {
    Castle& castle = Castles[static_cast<size_t>(n)];
    castle.number = n;
    castle.storeys.clear();
    castle.level = 0;
    int line = 0, read = 0;
    for (std::string raw : Str_SplitLines(text)) {
        ++line;
        if (const size_t hash = raw.find('#'); hash != std::string::npos) raw.erase(hash);
        while (!raw.empty() && (raw.back() == '\r' || raw.back() == ' ' || raw.back() == '\t'))
            raw.pop_back();
        const size_t first = raw.find_first_not_of(" \t");
        if (first == std::string::npos) continue;
        raw.erase(0, first);
        if (raw.rfind("level=", 0) == 0) {
            const std::string num = raw.substr(6);
            const int32_t want = static_cast<int32_t>(castle.storeys.size()) + 1;
            char* end = nullptr;
            const long v = std::strtol(num.c_str(), &end, 10);
            if (num.empty() || *end != '\0' || v != want) {
                Report(fileName, line, u"storey number must be " + Str_FromInt(want));
                continue;
            }
            castle.storeys.emplace_back();
            continue;
        }
        if (raw.rfind("elem", 0) != 0 || (raw.size() > 4 && raw[4] != ' ' && raw[4] != '\t')) {
            Report(fileName, line, u"neither \"level=\" nor \"elem\"");
            continue;
        }
        if (castle.storeys.empty()) {
            Report(fileName, line, u"\"elem\" before the first \"level=\"");
            continue;
        }
        auto e = std::make_shared<CastleElem>();
        e->castle = n;
        e->storey = static_cast<int32_t>(castle.storeys.size()) - 1;
        std::istringstream words(raw.substr(4));
        bool ok = true;
        for (int c = 0; c < kGemColours && ok; ++c) {
            std::string w;
            char* end = nullptr;
            if (!(words >> w)) ok = false;
            const long v = ok ? std::strtol(w.c_str(), &end, 10) : 0;
            if (!ok || *end != '\0' || v < 0 || v > 100000) ok = false;
            e->price[static_cast<size_t>(c)] = static_cast<int32_t>(v);
        }
        if (!ok) {
            Report(fileName, line, u"seven gem amounts (whole numbers, 0 or more) expected");
            continue;
        }
        const auto& storey = castle.storeys.back();
        std::string w;
        Str problem;
        while (problem.empty() && words >> w) {
            const size_t eq = w.find('=');
            const std::string key = eq == std::string::npos ? w : w.substr(0, eq);
            const std::string value = eq == std::string::npos ? "" : w.substr(eq + 1);
            const auto number = [&](int32_t& out, long lo, long hi) {
                char* end = nullptr;
                const long v = std::strtol(value.c_str(), &end, 10);
                if (value.empty() || *end != '\0' || v < lo || v > hi)
                    problem = Str_FromUtf8(key) + u" out of range";
                else
                    out = static_cast<int32_t>(v);
            };
            if (key == "x") {
                number(e->x, -kCastleWidth, 2 * kCastleWidth);
            } else if (key == "y") {
                number(e->y, -kCastleHeight, 2 * kCastleHeight);
            } else if (key == "depth") {
                number(e->elemDepth, 0, kGObjDepths - 1);
            } else if (key == "img") {
                e->imagePath = Str_FromUtf8(value);
            } else if (key == "anim") {
                if (value == "flag")
                    e->anim = ANIM_FLAG;
                else if (value == "smoke")
                    e->anim = ANIM_SMOKE;
                else
                    problem = u"anim must be flag or smoke";
            } else if (key == "needs") {
                // elem numbers of this storey, 1-based, each before this line
                std::istringstream list(value);
                std::string item;
                while (problem.empty() && std::getline(list, item, ',')) {
                    int32_t k = 0;
                    char* end = nullptr;
                    const long v = std::strtol(item.c_str(), &end, 10);
                    k = static_cast<int32_t>(v);
                    if (item.empty() || *end != '\0' || k < 1 || k > static_cast<int32_t>(storey.size()))
                        problem = u"needs names a part that is not above it in this storey";
                    else
                        e->needs.push_back(storey[static_cast<size_t>(k - 1)]);
                }
            } else if (key == "name") {
                std::string rest;
                std::getline(words, rest);
                e->name = Str_Trim(Str_FromUtf8(value + rest));
            } else {
                problem = u"unknown key " + Str_FromUtf8(key);
            }
        }
        if (!problem.empty()) {
            Report(fileName, line, problem);
            continue;
        }
        castle.storeys.back().push_back(static_cast<int32_t>(elems.size()));
        elems.push_back(e);
        ++read;
    }
    // empty storeys would never end: drop them
    std::erase_if(castle.storeys, [](const std::vector<int32_t>& s) { return s.empty(); });
    return read;
}

void Castle_Init() {
    Castle_Elems.clear();
    for (int32_t n = 0; n < kCastleCount; ++n) {
        const Str path = Castle_PricePath(n);
        std::vector<uint8_t> bytes;
        if (!File_ReadAll(Asset_Prefix + path, bytes)) {
            Asset_ReportMissing(path);
            Castles[static_cast<size_t>(n)] = Castle{};
            Castles[static_cast<size_t>(n)].number = n;
            continue;
        }
        Castle_ParsePrices(n, std::string(bytes.begin(), bytes.end()), path, Castle_Elems);
    }
    for (const CastleElemPtr& e : Castle_Elems)
        if (!e->imagePath.empty()) e->image = Asset_LoadImage(e->imagePath);
    g_smoke = Asset_LoadImage(u"Images/Castles/smoke.png");
    Castle_ResetProgress();
}

// ---- Progress -----------------------------------------------------------------------------------------------------

void Castle_ResetProgress() {
    for (const CastleElemPtr& e : Castle_Elems) {
        e->built = 0;
        e->settle = 1;
    }
    for (Castle& c : Castles)
        c.level = 0;
    Castle_Progress = CastleProgress{};
    Gems_Total.fill(0);
    Gems_LevelStart();
    Treasure_Level = 0;
    Gamble_PendingHammer = 0; // a prize of another match (or player) is not this one's
    SkipEmptyCastles();
    g_shown = Shown{};
}

namespace {
constexpr int32_t kStateMagic = 0x43535431; // "CST1"
constexpr int32_t kGemsMax = 1000000;       // gems of a colour in the bag: far beyond play, so seven add up safely
constexpr int32_t kHammerPrizeMax = 100000; // as the hammer charge itself
} // namespace

std::vector<int32_t> Castle_SaveState() {
    std::vector<int32_t> v = {kStateMagic, Castle_Current, Treasure_Level};
    for (const Castle& c : Castles)
        v.push_back(c.level);
    v.insert(v.end(), Gems_Total.begin(), Gems_Total.end());
    v.push_back(BuiltCount());
    for (size_t i = 0; i < Castle_Elems.size(); ++i)
        if (Castle_Elems[i]->built) v.push_back(static_cast<int32_t>(i));
    // the running level's gems, so that a restart after a continued match takes them back too
    v.insert(v.end(), Gems_ThisLevelByColour.begin(), Gems_ThisLevelByColour.end());
    // the gamble's hammer charge still to be given at the next level's start (an older block ends before it)
    v.push_back(std::clamp(Gamble_PendingHammer, 0, kHammerPrizeMax));
    return v;
}

void Castle_LoadState(const std::vector<int32_t>& values) {
    Castle_ResetProgress();
    constexpr size_t kHead = 3 + kCastleCount + kGemColours + 1;
    if (values.size() < kHead || values[0] != kStateMagic) {
        Log_Print(u"Castle_LoadState: no castle progress in the saved match, starting with castle 1");
        return;
    }
    Castle_Current = std::clamp(values[1], 0, kCastleCount);
    Treasure_Level = std::clamp(values[2], 0, kTreasureLevels - 1);
    if (Treasure_Level != values[2])
        Log_Print(u"Castle_LoadState: treasure level " + Str_FromInt(values[2]) + u" out of range, " +
                  Str_FromInt(Treasure_Level) + u" taken");
    for (size_t c = 0; c < kCastleCount; ++c) {
        Castle& castle = Castles[c];
        castle.level = std::clamp(values[3 + c], 0, static_cast<int32_t>(castle.storeys.size()));
    }
    for (size_t g = 0; g < kGemColours; ++g)
        Gems_Total[g] = std::clamp(values[3 + kCastleCount + g], 0, kGemsMax);
    const int32_t count = values[kHead - 1];
    const size_t builtEnd = kHead + static_cast<size_t>(std::max(0, count));
    if (values.size() >= builtEnd + kGemColours) {
        for (size_t g = 0; g < kGemColours; ++g) {
            Gems_ThisLevelByColour[g] = std::clamp(values[builtEnd + g], 0, Gems_Total[g]);
            Gems_ThisLevel += Gems_ThisLevelByColour[g];
        }
    }
    if (values.size() >= builtEnd + kGemColours + 1)
        Gamble_PendingHammer = std::clamp(values[builtEnd + kGemColours], 0, kHammerPrizeMax);
    for (size_t i = kHead; i < values.size() && i < builtEnd; ++i) {
        const int32_t index = values[i];
        if (index < 0 || index >= static_cast<int32_t>(Castle_Elems.size())) {
            Log_Print(u"Castle_LoadState: part " + Str_FromInt(index) + u" is not a castle part (ignored)");
            continue;
        }
        Castle_Elems[static_cast<size_t>(index)]->built = 1;
    }
    // castles before the current one are complete; parts of a storey above the current one are not possible
    for (size_t c = 0; c < kCastleCount; ++c) {
        Castle& castle = Castles[c];
        if (static_cast<int32_t>(c) < Castle_Current) {
            for (const auto& s : castle.storeys)
                for (int32_t i : s)
                    Castle_Elems[static_cast<size_t>(i)]->built = 1;
            castle.level = static_cast<int32_t>(castle.storeys.size());
        } else if (static_cast<int32_t>(c) > Castle_Current) {
            for (const auto& s : castle.storeys)
                for (int32_t i : s)
                    Castle_Elems[static_cast<size_t>(i)]->built = 0;
            castle.level = 0;
        }
    }
    if (Castle_Current < kCastleCount) {
        Castle& cur = Castles[static_cast<size_t>(Castle_Current)];
        cur.level = std::min(cur.level, std::max(0, static_cast<int32_t>(cur.storeys.size()) - 1));
        for (size_t s = 0; s < cur.storeys.size(); ++s)
            for (int32_t i : cur.storeys[s]) {
                CastleElem& e = *Castle_Elems[static_cast<size_t>(i)];
                if (static_cast<int32_t>(s) < cur.level) e.built = 1;
                if (static_cast<int32_t>(s) > cur.level) e.built = 0;
            }
    }
    g_shown = Shown{};
}

// ---- Buying -------------------------------------------------------------------------------------------------------

bool Castle_Buy(int32_t index) {
    if (Castle_Current >= kCastleCount || index < 0 || index >= static_cast<int32_t>(Castle_Elems.size())) return false;
    CastleElem& e = *Castle_Elems[static_cast<size_t>(index)];
    Castle& castle = Castles[static_cast<size_t>(Castle_Current)];
    if (e.castle != Castle_Current || e.storey != castle.level || !e.IsAffordable()) return false;
    for (int c = 0; c < kGemColours; ++c)
        Gems_Total[static_cast<size_t>(c)] -= e.price[static_cast<size_t>(c)];
    e.built = 1;
    e.settle = 0;
    if (castle.StoreyDone()) {
        if (castle.level + 1 < static_cast<int32_t>(castle.storeys.size()))
            castle.GoNextLevel();
        else {
            castle.Completed(); // saves the match itself
            return true;
        }
    }
    Match_Save(Level_Current, 0);
    return true;
}

// ---- Drawing ------------------------------------------------------------------------------------------------------

int32_t Castle_Shown() {
    if (Castle_Celebrated >= 0 && Castle_Celebrated < kCastleCount) return Castle_Celebrated;
    return std::min(Castle_Current, kCastleCount - 1);
}

void Castle_Show(int32_t x, int32_t y, bool ghosts) {
    Castle_DrawX = x;
    Castle_DrawY = y;
    const int32_t n = Castle_Shown();
    const Castle& castle = Castles[static_cast<size_t>(n)];
    const Shown want{n, x, y, BuiltCount(), castle.level, ghosts};
    if (want.castle == g_shown.castle && want.x == g_shown.x && want.y == g_shown.y &&
        want.builtCount == g_shown.builtCount && want.level == g_shown.level && want.ghosts == g_shown.ghosts)
        return;
    g_shown = want;
    GObj_ClearAll();
    for (const auto& storey : castle.storeys)
        for (int32_t i : storey) {
            CastleElem& e = *Castle_Elems[static_cast<size_t>(i)];
            const bool onSale = ghosts && !e.built && e.storey == castle.level && n == Castle_Current;
            if (!e.built && !onSale) continue;
            e.ghost = onSale;
            e.Add(e.elemDepth);
        }
}

const ImagePtr& Castle_Backdrop(int32_t n, bool game) {
    const size_t i = static_cast<size_t>(std::clamp(n, 0, kCastleCount - 1));
    static std::array<std::array<bool, kCastleCount>, 2> tried{}; // a missing file is reported once
    ImagePtr& slot = game ? Castle_GameBackgrounds[i] : Castle_BuildBackgrounds[i];
    if (!slot && !tried[game ? 1 : 0][i]) {
        tried[game ? 1 : 0][i] = true;
        slot = Asset_LoadImage(u"Images/Castles/castle" + Str_FromInt(n + 1) + (game ? u"_game.jpg" : u"_build.jpg"));
    }
    return slot;
}

void Castle_Hide() {
    Castle_Celebrated = -1;
    GObj_ClearAll();
    g_shown = Shown{};
}

void Castle_Animate(float ms) {
    g_clockMs += ms;
    for (const CastleElemPtr& e : Castle_Elems)
        if (e->settle < 1) e->settle = std::min(1.0f, e->settle + ms / kSettleMs);
}

bool Castle_GameStill(LayerKey& key) {
    const int32_t n = Castle_Shown();
    const Castle& castle = Castles[static_cast<size_t>(n)];
    key.Add(n).Add(castle.level).Add(Castle_Backdrop(n, true).get());
    for (const auto& storey : castle.storeys)
        for (int32_t i : storey) {
            const CastleElem& e = *Castle_Elems[static_cast<size_t>(i)];
            if (!e.built) continue;
            if (e.settle < 1 || e.anim != ANIM_NONE) return false;
            key.Add(i).Add(e.image.get());
        }
    return true;
}

void Castle_DrawGame() {
    const int32_t n = Castle_Shown();
    Background_DrawFullscreen(Castle_Backdrop(n, true));
    // high up, so that towers and roofs rise above the board (the scene's ground is painted to match)
    Castle_Show((Screen_Width - kCastleWidth) / 2, 10, false);
    Draw_SetColor(190, 186, 205); // in the evening light behind the board, so that the gems stand out
    GObj_DrawAll();
    Draw_SetColor(255, 255, 255);
}
