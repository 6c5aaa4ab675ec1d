// GUIBtn: the game's button, and the per-frame mouse snapshot the widgets share. Owners (menus, dialogs, build
// menu, shop, in-game interface) call Update and Draw once per frame; the callbacks run inside Update.
#include "main/gui_button.h"

#include <algorithm>
#include <cmath>

#include "main/assets.h"
#include "main/audio.h"
#include "main/fonts.h"
#include "main/text_layout.h"
#include "main/texts.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/system.h"

const std::array<std::array<const char16_t*, 3>, 3> GUIBtn_DlgImagePaths = {{
    {u".\\Images\\GUI\\Dlgs\\dlg1_btn_default.png", u".\\Images\\GUI\\Dlgs\\dlg1_btn_hovered.png",
     u".\\Images\\GUI\\Dlgs\\dlg1_btn_pressed.png"},
    {u".\\Images\\GUI\\Dlgs\\dlg2_btn_default.png", u".\\Images\\GUI\\Dlgs\\dlg2_btn_hovered.png",
     u".\\Images\\GUI\\Dlgs\\dlg2_btn_pressed.png"},
    {u".\\Images\\GUI\\Dlgs\\dlg3_btn_default.png", u".\\Images\\GUI\\Dlgs\\dlg3_btn_hovered.png",
     u".\\Images\\GUI\\Dlgs\\dlg3_btn_pressed.png"},
}};
const std::array<std::array<int32_t, 2>, 3> GUIBtn_DlgSizes = {{{167, 56}, {119, 28}, {99, 28}}};
std::array<std::array<ImagePtr, 3>, 3> GUIBtn_DlgImages;

void GUIBtn_Nothing(GUIBtn&) {}

namespace {

constexpr int kSlotOfBit[] = {BTNIMG_DEFAULT, BTNIMG_HOVERED,  BTNIMG_PRESSED, BTNIMG_CHECKED_HOVERED,
                              BTNIMG_CHECKED, BTNIMG_DISABLED, BTNIMG_GLOW};
constexpr float kDisabledAlpha = 0.7f;                               // a disabled button without its own image
constexpr int32_t kCaptionR = 231, kCaptionG = 231, kCaptionB = 253; // caption colour of the skinned factories

int SlotIndex(int32_t bit) {
    for (int i = 0; i < kBtnImageSlots; ++i)
        if (kSlotOfBit[i] == bit) return i;
    return -1;
}

GUIBtnAction OrNothing(GUIBtnAction f) { return f ? std::move(f) : GUIBtnAction(GUIBtn_Nothing); }

// Mouse snapshot of one frame.
GUIMouse g_mouse;
int g_mouseFrame = -1;
int g_mousePressesSeen = 0;  // left-button press count the snapshots have used up
int g_mouseReleasesSeen = 0; // left-button release count the snapshots have used up
bool g_mouseStale = true;

// A skinned button of dlg skin `skin` (0..2) with a caption from Button_Captions.
GUIBtnPtr MakeDlgButton(int skin, int32_t id, int32_t captionIndex, float x, float y, GUIBtnAction leftUp,
                        int32_t fontIndex, int32_t r, int32_t g, int32_t b) {
    GUIBtnPtr btn = GUIBtn::Create(id, x, y);
    auto& imgs = GUIBtn_DlgImages[static_cast<size_t>(skin)];
    for (size_t k = 0; k < 3; ++k) {
        if (!imgs[k]) imgs[k] = Images_Get(GUIBtn_DlgImagePaths[static_cast<size_t>(skin)][k]);
        btn->SetImage(imgs[k], kSlotOfBit[k]);
    }
    const int32_t w = imgs[0] ? Image_Width(imgs[0]) : GUIBtn_DlgSizes[static_cast<size_t>(skin)][0];
    const int32_t h = imgs[0] ? Image_Height(imgs[0]) : GUIBtn_DlgSizes[static_cast<size_t>(skin)][1];
    btn->SetCallbacks(nullptr, std::move(leftUp), nullptr, nullptr);
    btn->SetHitRect(0, 0, w, h);
    btn->SetText(Text_Entry(Button_Captions, captionIndex, "Button_Captions"), Font_Get(fontIndex), r, g, b,
                 BTNTXT_CENTRED, static_cast<float>(w / 2), static_cast<float>(h / 2));
    return btn;
}

// Hit rectangle and caption point of an image button: the default image's size, or, without an image, a box
// around the caption.
void PlaceOnImage(GUIBtn& btn) {
    const ImagePtr& img = btn.images[0];
    if (img) {
        const int32_t w = Image_Width(img), h = Image_Height(img);
        btn.SetHitRect(0, 0, w, h);
        btn.textX = static_cast<float>(w / 2);
        btn.textY = static_cast<float>(h / 2);
        return;
    }
    const FontPtr font = btn.font ? btn.font : Draw_GetImageFont();
    const int32_t w = ImageFont_TextWidth(font, btn.text) + 8, h = ImageFont_Height(font) + 4;
    btn.SetHitRect(0, 0, w, h);
    btn.textX = static_cast<float>(w / 2);
    btn.textY = static_cast<float>(h / 2);
}

} // namespace

// ---- Mouse snapshot ---------------------------------------------------------------------------------------------
const GUIMouse& GUI_Mouse() {
    const int frame = Input_Frame();
    if (g_mouseStale || frame != g_mouseFrame) {
        // Edges are read from the press and release counts, so a press and release inside one frame (a touchpad
        // tap, a slow frame) still click. Only when the previous snapshot was the previous frame's: after frames
        // nobody watched (a screen without widgets, a reset) old presses must not come back as clicks, so then only
        // a press still held counts.
        const bool followsLastFrame = !g_mouseStale && frame == g_mouseFrame + 1;
        g_mouseStale = false;
        g_mouseFrame = frame;
        g_mouse.x = Mouse_X();
        g_mouse.y = Mouse_Y();
        const int presses = Mouse_PressCount(1), releases = Mouse_ReleaseCount(1);
        const bool heldNow = Mouse_Down(1);
        g_mouse.pressed = g_mouse.released = false;
        if (!followsLastFrame || presses < g_mousePressesSeen || releases < g_mouseReleasesSeen) {
            g_mouse.pressed = heldNow && presses > g_mousePressesSeen;
            g_mouse.down = heldNow;
            g_mousePressesSeen = presses;
            g_mouseReleasesSeen = releases;
            return g_mouse;
        }
        // Presses and releases alternate: more releases than presses, or as many while the button is held, means
        // the first edge was a release. A snapshot takes at most one click (press, release) or one release; later
        // edges wait for the next frames, so two taps in one frame are two clicks (a double click in a list).
        constexpr int kMaxQueuedEdges = 4; // beyond this, the oldest edges are dropped in press-release pairs
        while ((presses - g_mousePressesSeen) + (releases - g_mouseReleasesSeen) > kMaxQueuedEdges) {
            if (presses > g_mousePressesSeen) ++g_mousePressesSeen;
            if (releases > g_mouseReleasesSeen) ++g_mouseReleasesSeen;
        }
        const int newPresses = presses - g_mousePressesSeen, newReleases = releases - g_mouseReleasesSeen;
        const bool releaseFirst = newReleases > newPresses || (newReleases > 0 && newReleases == newPresses && heldNow);
        if (releaseFirst) {
            g_mouse.released = true;
            ++g_mouseReleasesSeen;
        } else if (newPresses > 0) {
            g_mouse.pressed = true;
            ++g_mousePressesSeen;
            if (newReleases > 0) {
                g_mouse.released = true;
                ++g_mouseReleasesSeen;
            }
        }
        const bool edgesWaiting = presses > g_mousePressesSeen || releases > g_mouseReleasesSeen;
        g_mouse.down = edgesWaiting ? g_mouse.pressed && !g_mouse.released : heldNow;
    }
    return g_mouse;
}

void GUI_MouseInvalidate() { g_mouseStale = true; }

void GUI_MouseFlush() {
    g_mouseStale = false;
    g_mouseFrame = Input_Frame();
    g_mouse.x = Mouse_X();
    g_mouse.y = Mouse_Y();
    g_mouse.down = Mouse_Down(1);
    g_mouse.pressed = g_mouse.released = false;
    g_mousePressesSeen = Mouse_PressCount(1);
    g_mouseReleasesSeen = Mouse_ReleaseCount(1);
}

// ---- Reset, create, position, hit test, drag --------------------------------------------------------------------
void GUIBtn::Reset() {
    x = y = 0;
    id = 0;
    state = 0;
    text.clear();
    font = nullptr;
    textR = textG = textB = 255;
    textOptions = 0;
    textX = textY = 0;
    textFitW = 0;
    for (ImagePtr& img : images)
        img = nullptr;
    hitX = hitY = hitW = hitH = 0;
    dragMinX = dragMaxX = 0;
    draggable = false;
    onLeftDown = onLeftUp = onHover = onUpdate = GUIBtn_Nothing;
    armed = false;
    dragGrabX = 0;
}

GUIBtnPtr GUIBtn::Create(int32_t newId, float nx, float ny) {
    auto btn = std::make_shared<GUIBtn>();
    btn->id = newId;
    btn->x = nx;
    btn->y = ny;
    return btn;
}

void GUIBtn::SetPosition(float nx, float ny) {
    x = nx; // the caption point is relative to (x, y), so it follows
    y = ny;
}

void GUIBtn::SetHitRect(int32_t hx, int32_t hy, int32_t w, int32_t h) {
    hitX = hx;
    hitY = hy;
    hitW = w;
    hitH = h;
}

bool GUIBtn::HitTest(int mx, int my) const {
    int32_t w = hitW, h = hitH;
    if (w <= 0 && h <= 0 && images[0]) { // never set: the default image's size
        w = Image_Width(images[0]);
        h = Image_Height(images[0]);
    }
    const float left = x + static_cast<float>(hitX), top = y + static_cast<float>(hitY);
    return static_cast<float>(mx) >= left && static_cast<float>(mx) < left + static_cast<float>(w) &&
           static_cast<float>(my) >= top && static_cast<float>(my) < top + static_cast<float>(h);
}

void GUIBtn::SetDragRange(int32_t minX, int32_t maxX) {
    dragMinX = std::min(minX, maxX);
    dragMaxX = std::max(minX, maxX);
    draggable = true;
}

// ---- Update and draw ---------------------------------------------------------------------------------------------
void GUIBtn::Update() {
    // A callback may drop the owner's last reference (a box closing itself): keep the button alive until we return.
    const GUIBtnPtr keep = weak_from_this().lock();
    state &= ~BTN_CLICKED;
    if (state & (BTN_DISABLED | BTN_HIDDEN)) {
        state &= ~(BTN_HOVERED | BTN_PRESSED);
        armed = false;
        onUpdate(*this);
        return;
    }
    const GUIMouse& m = GUI_Mouse();
    bool inside = HitTest(m.x, m.y);
    bool pressedNow = false;
    if (m.pressed && inside) {
        armed = true;
        pressedNow = true;
        dragGrabX = static_cast<float>(m.x) - x;
    }
    if (armed && draggable) {
        const float nx =
            std::clamp(static_cast<float>(m.x) - dragGrabX, static_cast<float>(dragMinX), static_cast<float>(dragMaxX));
        SetPosition(nx, y);
        inside = true; // a grabbed knob counts as under the mouse
    }
    const bool wasHovered = (state & BTN_HOVERED) != 0;
    if (inside)
        state |= BTN_HOVERED;
    else
        state &= ~BTN_HOVERED;
    if (inside && !wasHovered) Snd_PlayIndex(SND_BTN_HOVER);

    bool clicked = false;
    if (armed && m.released) {
        armed = false;
        clicked = HitTest(m.x, m.y) || draggable;
    } else if (armed && !m.down) {
        armed = false; // released while this button was not updated
    }
    if (armed && inside)
        state |= BTN_PRESSED;
    else
        state &= ~BTN_PRESSED;
    if (clicked) {
        state |= BTN_CLICKED;
        Snd_PlayIndex(SND_BTN_CLICK);
    }

    if (pressedNow) onLeftDown(*this);
    if (clicked) onLeftUp(*this);
    if (state & BTN_HOVERED) onHover(*this);
    onUpdate(*this);
}

void GUIBtn::Draw() {
    if (state & BTN_HIDDEN) return;
    const auto slot = [this](int32_t bit) -> const ImagePtr& { return images[static_cast<size_t>(SlotIndex(bit))]; };
    ImagePtr img;
    bool faded = false;
    const bool hovered = (state & BTN_HOVERED) != 0, checked = (state & BTN_CHECKED) != 0;
    if ((state & BTN_PRESSED) && slot(BTNIMG_PRESSED))
        img = slot(BTNIMG_PRESSED);
    else if (state & BTN_DISABLED) {
        img = slot(BTNIMG_DISABLED);
        if (!img) {
            img = checked && slot(BTNIMG_CHECKED) ? slot(BTNIMG_CHECKED) : slot(BTNIMG_DEFAULT);
            faded = true;
        }
    } else if (hovered && checked && slot(BTNIMG_CHECKED_HOVERED))
        img = slot(BTNIMG_CHECKED_HOVERED);
    else if (hovered && slot(BTNIMG_HOVERED))
        img = slot(BTNIMG_HOVERED);
    else if (checked && slot(BTNIMG_CHECKED))
        img = slot(BTNIMG_CHECKED);
    else
        img = slot(BTNIMG_DEFAULT);

    const float alpha = Draw_GetAlpha();
    if (faded) Draw_SetAlpha(alpha * kDisabledAlpha);
    Draw_Image(img, x, y);
    if ((state & (BTN_HOVERED | BTN_PRESSED)) && slot(BTNIMG_GLOW)) {
        const int blend = Draw_GetBlend();
        Draw_SetBlend(BLEND_ADDITIVE);
        Draw_Image(slot(BTNIMG_GLOW), x, y);
        Draw_SetBlend(blend);
    }
    if (!text.empty()) {
        const FontPtr previousFont = Draw_GetImageFont();
        int r, g, b;
        Draw_GetColor(r, g, b);
        if (font) Draw_SetImageFont(font);
        Draw_SetColor(textR, textG, textB);
        if (textFitW > 0 && (textOptions & BTNTXT_CENTRED))
            Text_DrawFittedCentred(text, x + textX, y + textY, textFitW);
        else if (textFitW > 0)
            Text_DrawFitted(text, x + textX, y + textY, textFitW);
        else if (textOptions & BTNTXT_CENTRED)
            Text_DrawCenteredAt(text, x + textX, y + textY);
        else
            Draw_Text(text, x + textX, y + textY);
        Draw_SetColor(r, g, b);
        Draw_SetImageFont(previousFont);
    }
    if (faded) Draw_SetAlpha(alpha);
}

Rect GUIBtn::DrawBox() const {
    float left = 0, top = 0, right = 0, bottom = 0;
    bool any = false;
    const auto take = [&](float l, float t, float r, float b) {
        left = any ? std::min(left, l) : l;
        top = any ? std::min(top, t) : t;
        right = any ? std::max(right, r) : r;
        bottom = any ? std::max(bottom, b) : b;
        any = true;
    };
    for (const ImagePtr& img : images)
        if (img) {
            const float l = x - Image_HandleX(img), t = y - Image_HandleY(img);
            take(l, t, l + static_cast<float>(Image_Width(img)), t + static_cast<float>(Image_Height(img)));
        }
    if (!text.empty()) {
        // The line's advance and height, no wider than the fitting width; a glyph may reach past its advance and
        // an accent above the line, so half a line of room on every side.
        const FontPtr f = font ? font : Draw_GetImageFont();
        int w = ImageFont_TextWidth(f, text);
        if (textFitW > 0) w = std::min(w, textFitW);
        const float fw = static_cast<float>(w), fh = static_cast<float>(ImageFont_Height(f)), room = fh / 2 + 2;
        const bool centred = (textOptions & BTNTXT_CENTRED) != 0;
        const float l = x + textX - (centred ? fw / 2 : 0), t = y + textY - (centred ? fh / 2 : 0);
        take(l - room, t - room, l + fw + room, t + fh + room);
    }
    if (!any) return Rect{};
    const int l = static_cast<int>(std::floor(left)), t = static_cast<int>(std::floor(top));
    return Rect{l, t, static_cast<int>(std::ceil(right)) - l + 1, static_cast<int>(std::ceil(bottom)) - t + 1};
}

// ---- Callbacks, images, text ------------------------------------------------------------------------------------
void GUIBtn::SetCallbacks(GUIBtnAction leftDown, GUIBtnAction leftUp, GUIBtnAction hover, GUIBtnAction update) {
    onLeftDown = OrNothing(std::move(leftDown));
    onLeftUp = OrNothing(std::move(leftUp));
    onHover = OrNothing(std::move(hover));
    onUpdate = OrNothing(std::move(update));
}

void GUIBtn::SetImage(const ImagePtr& img, int32_t slotBits) {
    for (int i = 0; i < kBtnImageSlots; ++i)
        if (slotBits & kSlotOfBit[i]) images[static_cast<size_t>(i)] = img;
}

void GUIBtn::LoadImages(const Str& base, int32_t slotBits) {
    static const char16_t* const kSuffix[] = {u"_default.png", u"_hovered.png", u"_pressed.png"};
    for (int i = 0; i < 3; ++i)
        if (slotBits & kSlotOfBit[i]) images[static_cast<size_t>(i)] = Asset_LoadImage(base + kSuffix[i]);
}

ImagePtr GUIBtn::Image(int32_t slotBit) const {
    const int i = SlotIndex(slotBit);
    return i < 0 ? nullptr : images[static_cast<size_t>(i)];
}

void GUIBtn::SetText(const Str& caption, const FontPtr& captionFont, int32_t r, int32_t g, int32_t b, int32_t options,
                     float xOffset, float yOffset) {
    text = caption;
    font = captionFont;
    textR = r;
    textG = g;
    textB = b;
    textOptions = options;
    textX = xOffset;
    textY = yOffset;
}

// ---- Factories ---------------------------------------------------------------------------------------------------
GUIBtnPtr GUIBtn::CreateDlg1Btn(int32_t captionIndex, float nx, float ny, GUIBtnAction leftUp, int32_t fontIndex) {
    return MakeDlgButton(0, captionIndex, captionIndex, nx, ny, std::move(leftUp), fontIndex, 255, 255, 255);
}

GUIBtnPtr GUIBtn::CreateDlg2Btn(int32_t captionIndex, float nx, float ny, GUIBtnAction leftUp, int32_t fontIndex) {
    return MakeDlgButton(1, 0, captionIndex, nx, ny, std::move(leftUp), fontIndex, kCaptionR, kCaptionG, kCaptionB);
}

GUIBtnPtr GUIBtn::CreateDlg3Btn(int32_t captionIndex, float nx, float ny, GUIBtnAction leftUp, int32_t newId,
                                int32_t fontIndex) {
    return MakeDlgButton(2, newId, captionIndex, nx, ny, std::move(leftUp), fontIndex, kCaptionR, kCaptionG, kCaptionB);
}

GUIBtnPtr GUIBtn::CreateImgBtn(int32_t newId, float nx, float ny, GUIBtnAction leftUp, const ImagePtr& defaultImg,
                               const ImagePtr& hoveredImg, const ImagePtr& pressedImg, const Str& caption,
                               const FontPtr& captionFont) {
    GUIBtnPtr btn = Create(newId, nx, ny);
    btn->SetImage(defaultImg, BTNIMG_DEFAULT);
    btn->SetImage(hoveredImg, BTNIMG_HOVERED);
    btn->SetImage(pressedImg, BTNIMG_PRESSED);
    btn->SetCallbacks(nullptr, std::move(leftUp), nullptr, nullptr);
    btn->SetText(caption, captionFont, kCaptionR, kCaptionG, kCaptionB, BTNTXT_CENTRED, 0, 0);
    PlaceOnImage(*btn);
    return btn;
}

GUIBtnPtr GUIBtn::CreateSingleImgBtn(int32_t newId, float nx, float ny, GUIBtnAction leftUp, const Str& base,
                                     const Str& caption, int32_t fontIndex) {
    GUIBtnPtr btn = Create(newId, nx, ny);
    btn->LoadImages(base, BTNIMG_DEFAULT | BTNIMG_HOVERED | BTNIMG_PRESSED);
    btn->SetCallbacks(nullptr, std::move(leftUp), nullptr, nullptr);
    btn->SetText(caption, Font_Get(fontIndex), kCaptionR, kCaptionG, kCaptionB, BTNTXT_CENTRED, 0, 0);
    PlaceOnImage(*btn);
    return btn;
}
