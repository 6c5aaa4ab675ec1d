// GUIBtn: the game's button. Position, seven images, state and option bits, a caption with font and colour, four
// callbacks, a hit rectangle and an optional horizontal drag range (a slider knob). Used by the menus, dialogs,
// build menu, shop and in-game interface; each owner updates and draws its buttons once per frame.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/font.h"
#include "platform/graphics.h"
#include "platform/image.h"
#include "platform/strings.h"

class GUIBtn;
using GUIBtnPtr = std::shared_ptr<GUIBtn>;
// A button callback, called with the button. An empty one is the shared do-nothing function.
using GUIBtnAction = std::function<void(GUIBtn&)>;
void GUIBtn_Nothing(GUIBtn& button); // the shared do-nothing callback

// State bits (GUIBtn::state).
enum GUIBtnState : int32_t {
    BTN_HOVERED = 1,
    BTN_PRESSED = 2, // pressed on it and the mouse is over it
    BTN_CLICKED = 4, // released over it after a press on it, this frame
    BTN_CHECKED = 16,
    BTN_DISABLED = 32, // drawn greyed, takes no input
    BTN_HIDDEN = 128,  // not drawn, takes no input
};
// Image slot bits (SetImage, LoadImages). Not the state bits.
enum GUIBtnImageBit : int32_t {
    BTNIMG_DEFAULT = 1,
    BTNIMG_HOVERED = 2,
    BTNIMG_PRESSED = 4,
    BTNIMG_CHECKED_HOVERED = 8, // checked and hovered (a toggle under the mouse)
    BTNIMG_CHECKED = 16,
    BTNIMG_DISABLED = 32,
    BTNIMG_GLOW = 64, // drawn over the state image, additively, while the button is hovered or pressed
};
constexpr int kBtnImageSlots = 7;
// The ends of a plaque button (its gold rim), pixels from each side, that a caption leaves free.
constexpr int32_t kPlaqueEndRoom = 7;
// Caption option bits (SetText).
constexpr int32_t BTNTXT_CENTRED = 128; // centre the caption on (x + x offset, y + y offset)

class GUIBtn : public std::enable_shared_from_this<GUIBtn> {
  public:
    // ---- Fields ------------------------------------------------------------------------------------------------
    float x = 0, y = 0;                            // top-left on the screen, pixels
    int32_t id = 0;                                // owner's number
    int32_t state = 0;                             // GUIBtnState bits
    Str text;                                      // caption
    FontPtr font;                                  // caption font (null: the current font)
    int32_t textR = 255, textG = 255, textB = 255; // caption colour
    int32_t textOptions = 0;                       // BTNTXT_* bits
    float textX = 0, textY = 0;                    // caption point relative to (x, y)
    int32_t textFitW = 0; // a caption that can vary is shrunk to this width when wider (0: drawn as it is)
    std::array<ImagePtr, kBtnImageSlots>
        images; // by slot: default, hovered, pressed, checked-hovered, checked, disabled, glow
    int32_t hitX = 0, hitY = 0, hitW = 0, hitH = 0; // hit rectangle relative to (x, y)
    int32_t dragMinX = 0, dragMaxX = 0;             // knob range of x, pixels (used when dragging is on)
    bool draggable = false;                         // SetDragRange was called
    GUIBtnAction onLeftDown = GUIBtn_Nothing, onLeftUp = GUIBtn_Nothing, onHover = GUIBtn_Nothing,
                 onUpdate = GUIBtn_Nothing;
    bool armed = false;  // the left button went down on this button and is still held
    float dragGrabX = 0; // mouse x - button x when the knob was grabbed

    // ---- Operations, in the class's order ----------------------------------------------------------------------
    void Reset(); // back to the state of a fresh button (keeps nothing)
    static GUIBtnPtr Create(int32_t id, float x, float y);
    void SetPosition(float nx, float ny); // the caption point moves with the button
    void SetHitRect(int32_t hx, int32_t hy, int32_t w, int32_t h);
    bool HitTest(int mx, int my) const; // (mx, my) in the hit rectangle
    void SetDragRange(int32_t minX, int32_t maxX);
    void Update(); // hover, press, click, sounds, callbacks; disabled or hidden: no input
    void Draw();   // state image, glow, caption; hidden: nothing
    // The canvas rectangle Draw may touch at scale 1 without rotation, whatever the state: every image slot (so what
    // the next Update shows stays inside) and the caption with room round its glyphs. Empty with neither.
    Rect DrawBox() const;
    void SetCallbacks(GUIBtnAction leftDown, GUIBtnAction leftUp, GUIBtnAction hover, GUIBtnAction update);
    void SetImage(const ImagePtr& img, int32_t slotBits);
    void LoadImages(const Str& base, int32_t slotBits); // base + "_default.png", "_hovered.png", "_pressed.png"
    ImagePtr Image(int32_t slotBit) const;              // the image of one slot (null when none)
    void SetText(const Str& caption, const FontPtr& captionFont, int32_t r, int32_t g, int32_t b, int32_t options,
                 float xOffset, float yOffset);

    // ---- Factories -----------------------------------------------------------------------------------------
    // dlg1 skin (167 x 56): caption Button_Captions[captionIndex] in white, centred; id = captionIndex.
    static GUIBtnPtr CreateDlg1Btn(int32_t captionIndex, float x, float y, GUIBtnAction leftUp, int32_t fontIndex);
    // dlg2 skin (119 x 28): caption Button_Captions[captionIndex] in 231, 231, 253, centred; id 0.
    static GUIBtnPtr CreateDlg2Btn(int32_t captionIndex, float x, float y, GUIBtnAction leftUp, int32_t fontIndex);
    // dlg3 skin (99 x 28): the same with the given id.
    static GUIBtnPtr CreateDlg3Btn(int32_t captionIndex, float x, float y, GUIBtnAction leftUp, int32_t id,
                                   int32_t fontIndex);
    // Three given images; hit rectangle of the default image; caption centred in 231, 231, 253.
    static GUIBtnPtr CreateImgBtn(int32_t id, float x, float y, GUIBtnAction leftUp, const ImagePtr& defaultImg,
                                  const ImagePtr& hoveredImg, const ImagePtr& pressedImg, const Str& caption,
                                  const FontPtr& captionFont);
    // Images base + "_default.png", "_hovered.png", "_pressed.png"; hit rectangle of the default image; caption
    // centred in 231, 231, 253 with font `fontIndex` of the font table.
    static GUIBtnPtr CreateSingleImgBtn(int32_t id, float x, float y, GUIBtnAction leftUp, const Str& base,
                                        const Str& caption, int32_t fontIndex);
};

// The buttons play the runtime's SND_BTN_HOVER when the mouse comes over an enabled button and SND_BTN_CLICK on a
// click (main/audio.h).

// Paths of the dialog skins' button images (default, hovered, pressed) for skins dlg1, dlg2 and dlg3, and their
// sizes in pixels (used for the hit rectangle when an image is missing).
extern const std::array<std::array<const char16_t*, 3>, 3> GUIBtn_DlgImagePaths;
extern const std::array<std::array<int32_t, 2>, 3> GUIBtn_DlgSizes;
// ---- State owned by this module -------------------------------------------------------------------------------
// The dialog skins' button images by skin and slot. The dialog loader may fill them; an empty entry is taken from
// the image cache by its path when a factory needs it.
extern std::array<std::array<ImagePtr, 3>, 3> GUIBtn_DlgImages;

// The mouse as the widgets see it in one frame: taken once per frame (the platform's Input_Frame) from the
// platform's press and release counts, so that every widget of a frame sees the same press and release edges.
struct GUIMouse {
    int x = 0, y = 0;      // position in screen pixels
    bool down = false;     // left button held
    bool pressed = false;  // went down since the previous frame's snapshot
    bool released = false; // went up since the previous frame's snapshot
};
const GUIMouse& GUI_Mouse(); // the snapshot of the current frame (taken on first use in a frame)
void GUI_MouseInvalidate();  // the next GUI_Mouse takes a new snapshot whatever the frame (tests, harness reset)
void GUI_MouseFlush();       // every press and release so far is used up: the rest of this frame sees no edge
