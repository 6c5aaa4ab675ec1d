// The toolkit's small building blocks: colours, timeouts, the per-frame mouse record, bevelled images and boxes,
// coloured drawing, the text helpers of the inputs and boxes, and the number reader. Used by every widget.
#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/stream.h"
#include "platform/system.h"
#include "toolkit/toolkit.h"

GuiMouseState GuiMouse;

// ---- Colour ------------------------------------------------------------------------------------------------------
GuiColorPtr GuiColor::Create(int r, int g, int b) {
    auto c = std::make_shared<GuiColor>();
    c->r = uint8_t(r);
    c->g = uint8_t(g);
    c->b = uint8_t(b);
    return c;
}
void GuiColor::Set() const { Draw_SetColor(r, g, b); }
uint32_t GuiColor::ToARGB() const { return Color_PackARGB(r, g, b, 255); }
uint32_t Color_PackARGB(int r, int g, int b, int a) {
    return (uint32_t(a & 255) << 24) | (uint32_t(r & 255) << 16) | (uint32_t(g & 255) << 8) | uint32_t(b & 255);
}
uint32_t Color_ToARGB(const GuiColorPtr& c) { return c ? c->ToARGB() : 0; }

// ---- Timeout -----------------------------------------------------------------------------------------------------
GuiTimeoutPtr GuiTimeout::Create(int ms) {
    auto t = std::make_shared<GuiTimeout>();
    t->Start = Sys_Millisecs();
    t->End = int32_t(uint32_t(t->Start) + uint32_t(ms));
    return t;
}
bool GuiTimeout::Expired() const {
    // Differences of the wrapping clock, so passing the int32 limit changes nothing; a clock that went back (a
    // restarted test clock) lets the timeout expire rather than hold it for weeks.
    const int32_t elapsed = int32_t(uint32_t(Sys_Millisecs()) - uint32_t(Start));
    const uint32_t length = uint32_t(End) - uint32_t(Start);
    return elapsed < 0 || uint32_t(elapsed) > length;
}
void GuiTimeout::Restart(int ms) {
    Start = Sys_Millisecs();
    End = int32_t(uint32_t(Start) + uint32_t(ms));
}
bool Timeout_Expired(const GuiTimeoutPtr& t) { return !t || t->Expired(); }
void Timeout_Restart(GuiTimeoutPtr& t, int ms) {
    if (t)
        t->Restart(ms);
    else
        t = GuiTimeout::Create(ms);
}

// ---- Mouse -------------------------------------------------------------------------------------------------------
namespace {
// One button's edges from the platform's never-cleared counts. A press whose release also came before this look
// (a tap) is held for this frame and released in the next one.
void TakeButton(GuiMouseState& m, int i, int& down, int& hit, int& released, int& wasDown) {
    const int button = i + 1;
    const int presses = Mouse_AllPressCount(button);
    const int releases = Mouse_AllReleaseCount(button);
    const bool newPress = presses != m.seenPress[i];
    m.seenPress[i] = presses;
    m.seenRelease[i] = releases;
    hit = newPress ? 1 : 0;
    wasDown = down;
    const bool heldNow = Mouse_Held(button);
    if (m.tapPending[i]) {
        m.tapPending[i] = 0;
        down = heldNow ? 1 : 0;
        if (newPress && !heldNow) { // another tap right behind the first
            down = 1;
            m.tapPending[i] = 1;
        }
    } else if (newPress && !heldNow) {
        down = 1;
        m.tapPending[i] = 1;
    } else {
        down = heldNow ? 1 : 0;
    }
    released = (wasDown == 1 && down == 0) ? 1 : 0;
}
} // namespace

void GuiMouseState::Update() {
    // A press ends with its release: the widget that took it can no longer complete a click with a later one, and
    // the mouse is free again even when that widget was hidden or freed before the release.
    if (LeftReleased) {
        Paneo_PressedWidget.reset();
        Paneo_MouseFree = 1;
    }
    X = Mouse_X();
    Y = Mouse_Y();
    Wheel = Mouse_Z();
    if (LastWheel == Wheel) {
        WheelDir = 0;
    } else {
        WheelDir = LastWheel < Wheel ? -1 : 1;
        LastWheel = Wheel;
    }
    TakeButton(*this, 0, LeftDown, LeftHit, LeftReleased, LeftWasDown);
    if (LeftHit) {
        PressX = X;
        PressY = Y;
        ReleaseX = ReleaseY = -1;
    }
    if (LeftReleased) {
        PressX = PressY = -1;
        ReleaseX = X;
        ReleaseY = Y;
    }
    TakeButton(*this, 1, RightDown, RightHit, RightReleased, RightWasDown);
    if (RightHit) {
        RightPressX = X;
        RightPressY = Y;
    }
    if (RightReleased) RightPressX = RightPressY = -1;
}

int GuiMouseState::InRect(int x, int y, int w, int h, int checkPress) const {
    if (X < x || X > x + w || Y < y || Y > y + h) return 0;
    if (!checkPress) return 1;
    return (PressX >= x && PressX <= x + w - 1 && PressY >= y && PressY <= y + h - 1) ? 1 : 0;
}

void GuiMouseState::Sync() {
    for (int i = 0; i < 2; ++i) {
        seenPress[i] = Mouse_AllPressCount(i + 1);
        seenRelease[i] = Mouse_AllReleaseCount(i + 1);
        tapPending[i] = 0;
    }
    LeftDown = Mouse_Held(1) ? 1 : 0;
    RightDown = Mouse_Held(2) ? 1 : 0;
    LeftWasDown = LeftDown;
    RightWasDown = RightDown;
    LeftHit = LeftReleased = RightHit = RightReleased = 0;
    PressX = PressY = ReleaseX = ReleaseY = RightPressX = RightPressY = -1;
    X = Mouse_X();
    Y = Mouse_Y();
    Wheel = LastWheel = Mouse_Z();
    WheelDir = 0;
}

// ---- Images ------------------------------------------------------------------------------------------------------
// Decoded skin pictures, one per path: widgets are made often (a folder listing makes one icon per entry).
const PixmapPtr& Img_Pixmap(const Str& path) {
    static std::map<Str, PixmapPtr> cache; // by File_Key
    const Str key = path.empty() ? Str() : File_Key(path);
    auto it = cache.find(key);
    if (it == cache.end()) {
        PixmapPtr pm = path.empty() ? nullptr : Pixmap_Load(path);
        if (!pm && !path.empty()) Log_Print(u"failed loading " + path);
        it = cache.emplace(key, pm).first;
    }
    return it->second;
}

ImagePtr Img_CreateBevelled(const Str& path, int w, int h, uint32_t light, uint32_t dark, int style) {
    if (w < 1 || h < 1) return nullptr;
    const PixmapPtr& src = Img_Pixmap(path);
    if (!src || src->width < 1 || src->height < 1) return nullptr;
    Pixmap pm = Pixmap_Resize(*src, w, h);
    const auto edges = [&](uint32_t bottomRight, uint32_t topLeft) {
        for (int x = 0; x < w; ++x)
            Pixmap_WritePixel(pm, x, h - 1, bottomRight);
        for (int y = 0; y < h; ++y)
            Pixmap_WritePixel(pm, w - 1, y, bottomRight);
        for (int x = 0; x < w; ++x)
            Pixmap_WritePixel(pm, x, 0, topLeft);
        for (int y = 0; y < h; ++y)
            Pixmap_WritePixel(pm, 0, y, topLeft);
    };
    if (style == 1) edges(dark, light);
    if (style == 2) edges(light, dark);
    return Image_FromPixmap(pm, IMG_FILTERED);
}

ImagePtr Img_LoadSized(const Str& path, int w, int h) {
    static std::map<std::tuple<Str, int, int>, ImagePtr> cache; // by File_Key and size
    const auto key = std::make_tuple(path.empty() ? Str() : File_Key(path), w, h);
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    ImagePtr img = Img_CreateBevelled(path, w, h, 0, 0, 0);
    cache.emplace(key, img);
    return img;
}

ImagePtr Img_GrabRegion(int x, int y, int w, int h, int flag) {
    const ImagePtr img = Image_Create(std::max(1, w + 1), std::max(1, h + 1), 1, flag == 1 ? IMG_MASKED : 0);
    Image_GrabBackBuffer(img, x, y);
    Draw_SetColor(255, 255, 255);
    Draw_Cls();
    return img;
}

// ---- Drawing -----------------------------------------------------------------------------------------------------
void Draw_BevelBox(int x, int y, int w, int h, const GuiColorPtr& fill, const GuiColorPtr& light,
                   const GuiColorPtr& dark, int style, int blend) {
    Draw_SetBlend(blend);
    if (style < 0 || style > 4) return;
    const auto set = [](const GuiColorPtr& c) {
        if (c) c->Set();
    };
    if (style <= 2) {
        set(fill);
        Draw_Rect(float(x), float(y), float(w), float(h));
    }
    if (style == 0) return;
    const bool raised = style == 1 || style == 3;
    const auto edge = [&](const GuiColorPtr& c, bool bottomRight) {
        set(c);
        if (bottomRight) {
            Draw_Rect(float(x), float(y + h - 1), float(w), 1);
            Draw_Rect(float(x + w - 1), float(y), 1, float(h));
        } else {
            Draw_Rect(float(x), float(y), float(w), 1);
            Draw_Rect(float(x), float(y), 1, float(h));
        }
    };
    edge(raised ? dark : light, true);
    edge(raised ? light : dark, false);
}

void Draw_ImageColored(const ImagePtr& img, int x, int y, const GuiColorPtr& color, int frame, int blend) {
    if (color) color->Set();
    Draw_SetBlend(blend);
    Draw_Image(img, float(x), float(y), frame);
}

void Draw_TextColored(const Str& text, int x, int y, const GuiColorPtr& color, const FontPtr& font, int blend) {
    if (color) color->Set();
    Draw_SetImageFont(font);
    Draw_SetBlend(blend);
    Draw_Text(text, float(x), float(y));
}

void Draw_TextRGB(const Str& text, int x, int y, int r, int g, int b, const FontPtr& font, int blend) {
    Draw_SetColor(r, g, b);
    Draw_SetImageFont(font);
    Draw_SetBlend(blend);
    Draw_Text(text, float(x), float(y));
}

void Paneo_ResetDrawState() {
    Draw_SetViewport(0, 0, Graphics_Width(), Graphics_Height());
    Draw_SetColor(255, 255, 255);
    Draw_SetBlend(BLEND_SOLID);
    Draw_SetAlpha(1.0f);
}

// ---- Text --------------------------------------------------------------------------------------------------------
Str Str_DeleteRange(const Str& text, int pos, int count) {
    const int n = int(text.size());
    if (count <= 0 || pos >= n) return text;
    if (pos < 0) pos = 0;
    const int end = count > n - pos ? n : pos + count;
    return text.substr(0, size_t(pos)) + text.substr(size_t(end));
}

Str Str_InsertAt(const Str& text, const Str& insert, int pos) {
    if (pos <= 0) return insert + text;
    if (pos >= int(text.size())) return text + insert;
    return text.substr(0, size_t(pos)) + insert + text.substr(size_t(pos));
}

namespace {
// Walks the "|"-separated lines (a trailing "|" adds no line) in the built-in font.
template <class F> void ForEachLine(const Str& text, F&& f) {
    Draw_SetImageFont(ImageFont_Default());
    Str line;
    for (const char16_t c : text) {
        if (c == u'|') {
            f(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (text.empty() || text.back() != u'|') f(line);
}
} // namespace

int Text_MultilineHeight(const Str& text) {
    int h = 0;
    ForEachLine(text, [&](const Str& line) { h += Text_Height(line); });
    return h;
}

int Text_MultilineWidth(const Str& text) {
    int w = 0;
    ForEachLine(text, [&](const Str& line) { w = std::max(w, Text_Width(line)); });
    return w;
}

float Paneo_ParseNumber(const Str& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    double v = 0;
    bool digits = false;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        digits = true;
        if (v < 1e39) v = v * 10 + (text[i] - u'0');
    }
    if (i < text.size() && text[i] == u'.') {
        double scale = 0.1;
        for (++i; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i, scale /= 10) {
            digits = true;
            v += (text[i] - u'0') * scale;
        }
    }
    if (!digits) return 0.0f;
    constexpr double kMax = 3.4e38;
    if (v > kMax) v = kMax;
    const float f = float(negative ? -v : v);
    return f == 0.0f ? 0.0f : f; // no negative zero
}
