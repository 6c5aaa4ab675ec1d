// The skinned window toolkit: widget tree, windows, skin, cursor, widgets, message box and file requester. It knows
// no game: it draws through the platform layer and reads its mouse and keyboard. Used by the level editor; the
// start-up makes `Paneo_Windows` empty and calls `Toolkit_Init`.
//
// Index
//   [UTILITIES]  GuiColor, GuiTimeout, GuiMouse, drawing and text helpers          (toolkit_util.cpp)
//   [BASE]       PNO_Widget, the child pass, the library state                     (toolkit_core.cpp)
//   [SKIN]       skin paths, palette, sounds, cursors                              (toolkit_core.cpp)
//   [WINDOW]     PNO_Window                                                        (toolkit_window.cpp)
//   [WIDGETS]    buttons, label, input, check box, spinner, scroll bar, image      (toolkit_widgets.cpp)
//   [LISTS]      list box and combo box                                            (toolkit_lists.cpp)
//   [MODAL]      message box and file requester                                    (toolkit_modal.cpp)
//
// There are no callbacks: each widget's Update reads the input and draws in one pass and records the outcome in its
// fields; the owner polls them after Paneo_DrawFrame (Clicked returns 1 once).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/font.h"
#include "platform/image.h"
#include "platform/list.h"
#include "platform/sound.h"
#include "platform/strings.h"

class PNO_Widget;
class PNO_Window;
class PNO_Label;
class PNO_CustomButton;
class PNO_Input;
class PNO_Scrollbar;
class PNO_Combo;
struct PNO_ComboItem;
class PNO_MouseCursor;
using WidgetPtr = std::shared_ptr<PNO_Widget>;

// Window kinds: the root window behind everything (no title bar, not listed, never dragged) and a framed window.
constexpr int32_t kWindowRoot = 10;
constexpr int32_t kWindowFramed = 20;
// Cursor kinds drawn each frame.
constexpr int32_t kCursorNormal = 10;
constexpr int32_t kCursorHelp = 20;
constexpr int32_t kCursorBusy = 30;
constexpr int32_t kCursorNone = 40;

// ==== [UTILITIES] ================================================================================================

// A colour held by reference: widgets given the same object share it.
struct GuiColor {
    uint8_t r = 0, g = 0, b = 0;
    static std::shared_ptr<GuiColor> Create(int r, int g, int b);
    void Set() const;        // makes it the current drawing colour
    uint32_t ToARGB() const; // Color_PackARGB(r, g, b, 255)
};
using GuiColorPtr = std::shared_ptr<GuiColor>;
uint32_t Color_PackARGB(int r, int g, int b, int a);
uint32_t Color_ToARGB(const GuiColorPtr& c); // 0 for null

// A millisecond timeout on the platform clock. Wrap-safe: the clock may pass the int32 limit while it runs.
struct GuiTimeout {
    int32_t Start = 0; // clock value at creation
    int32_t End = 0;   // expired once the clock is past this
    static std::shared_ptr<GuiTimeout> Create(int ms);
    bool Expired() const;
    void Restart(int ms); // as new, from now
};
using GuiTimeoutPtr = std::shared_ptr<GuiTimeout>;
bool Timeout_Expired(const GuiTimeoutPtr& t);   // a null timeout counts as expired
void Timeout_Restart(GuiTimeoutPtr& t, int ms); // restarts in place (creates it when null): no allocation a frame

// The mouse of this frame, refreshed once per frame by Update (Paneo_DrawFrame) and read by every widget. The edges
// come from the platform's counts of every press and release (those the toolkit captured and those it left to the
// game), which nobody clears, so other readers of the mouse never take a press away from the toolkit; a press and
// release that both fall between two frames is a press in this frame and a release in the next.
struct GuiMouseState {
    int X = 0, Y = 0;                 // position in canvas pixels
    int Wheel = 0;                    // wheel position as the platform reports it
    int LeftDown = 0;                 // 1 while the left button is held (or a tap is being delivered)
    int LeftHit = 0;                  // 1 in the frame the left button went down
    int LeftReleased = 0;             // 1 in the frame the left button came up
    int LeftWasDown = 0;              // LeftDown of the previous frame
    int PressX = -1, PressY = -1;     // last left press; -1 after a release
    int ReleaseX = -1, ReleaseY = -1; // last left release; -1 after a press
    int RightDown = 0, RightHit = 0, RightReleased = 0, RightWasDown = 0; // the same for the right button
    int RightPressX = -1, RightPressY = -1;                               // last right press; -1 after a release
    int LastWheel = 0;                                                    // wheel position seen last
    int WheelDir = 0; // this frame: 0 none, -1 the position grew, +1 it shrank
    // Bookkeeping of the edges (not part of the record the widgets read).
    int seenPress[2] = {0, 0};   // platform press counts taken so far (left, right)
    int seenRelease[2] = {0, 0}; // platform release counts taken so far
    int tapPending[2] = {0, 0};  // a tap's release still to deliver next frame

    void Update();
    // Mouse inside x..x+w, y..y+h (both inclusive); with checkPress also the last press inside x..x+w-1, y..y+h-1.
    int InRect(int x, int y, int w, int h, int checkPress) const;
    // Takes the platform's counts as seen and forgets every edge (after a modal box or at set-up).
    void Sync();
};
extern GuiMouseState GuiMouse;

// The toolkit's input capture, given to the platform by Paneo_Init: a press belongs to the toolkit alone (the game
// beneath never reads it) while a modal box runs or a combo list is open, and when it lands on a shown window other
// than the root (its title bar and body, the title bar alone when minimised).
bool Paneo_TakesPress(int x, int y);

// Makes a font the toolkit's text font (Paneo_TtfFont) while the scope lives; a null font changes nothing.
class GuiFontScope {
  public:
    explicit GuiFontScope(const FontPtr& font);
    ~GuiFontScope();
    GuiFontScope(const GuiFontScope&) = delete;
    GuiFontScope& operator=(const GuiFontScope&) = delete;

  private:
    FontPtr saved_;
    bool swapped_ = false;
};
// The font a widget's text is drawn in: its own Font, else the nearest one of its parents', else null (the toolkit's).
FontPtr Paneo_FontOf(const PNO_Widget& widget);

inline int Flag_Invert(int v) { return 1 - v; }

// Loads the path, resizes it (filtered) to w x h and paints a one-pixel border: style 1 raised, 2 sunken, else none.
// Null for a missing file or a size below 1.
ImagePtr Img_CreateBevelled(const Str& path, int w, int h, uint32_t light, uint32_t dark, int style);
// The decoded picture of a path, one copy per path (null when missing, with a diagnostic line once).
const PixmapPtr& Img_Pixmap(const Str& path);
// Image of the path resized to w x h without a border (shared between callers asking the same); null when missing.
ImagePtr Img_LoadSized(const Str& path, int w, int h);
// An image of (w + 1) x (h + 1) holding the canvas at (x, y) (flag 1: masked), after which the canvas is cleared.
ImagePtr Img_GrabRegion(int x, int y, int w, int h, int flag);
// Styles: 0 fill; 1 fill + raised edges; 2 fill + sunken edges; 3 raised edges; 4 sunken edges; other: nothing.
void Draw_BevelBox(int x, int y, int w, int h, const GuiColorPtr& fill, const GuiColorPtr& light,
                   const GuiColorPtr& dark, int style, int blend);
void Draw_ImageColored(const ImagePtr& img, int x, int y, const GuiColorPtr& color, int frame, int blend);
void Draw_TextColored(const Str& text, int x, int y, const GuiColorPtr& color, const FontPtr& font, int blend);
void Draw_TextRGB(const Str& text, int x, int y, int r, int g, int b, const FontPtr& font, int blend);
// (Draw_ResetState is the platform's: viewport, colour, blend and alpha back to their start values.)
void Paneo_ResetDrawState();

Str Str_DeleteRange(const Str& text, int pos, int count); // never throws: positions clamp to the text
Str Str_InsertAt(const Str& text, const Str& insert, int pos);
int Text_MultilineHeight(const Str& text); // lines split at "|", in the platform's built-in font
int Text_MultilineWidth(const Str& text);
// A leading decimal number after blanks: sign, digits, optional fraction; no exponent, inf, nan or hex. Text
// without a number gives 0; huge values saturate at +-3.4e38. Never throws, never NaN.
float Paneo_ParseNumber(const Str& text);

// ==== [BASE] =====================================================================================================

// The base of every widget. Fields as the class Parts use them; `Children` in drawing order.
class PNO_Widget : public std::enable_shared_from_this<PNO_Widget> {
  public:
    virtual ~PNO_Widget() = default;

    Str Text;                   // caption, title or content
    Str Tooltip;                // empty: no tooltip
    GuiTimeoutPtr TooltipDelay; // buttons restart it (450 ms) while idle; the tooltip shows once it expired
    int32_t X = 0, Y = 0;       // position relative to the parent's client origin (a window: screen position)
    int32_t W = 0, H = 0;       // size (a window's H excludes its title bar)
    uint8_t Inactive = 0;       // 1 dimmed; for a window: not the active one
    uint8_t Hidden = 0;         // 1 neither drawn nor reacting
    uint8_t State = 0;          // 0 idle, 1 over, 2 held, 3 clicked (classes say more)
    uint8_t Freed = 0;          // 1 freed: the parent's next child pass unlinks it
    float Step = 0, Value = 0, MinValue = 0, MaxValue = 0; // spinner and scroll bar numbers
    uint8_t IntegerOnly = 0;                               // 1 whole numbers
    float Alpha = 1.0f;                                    // opacity 0..1
    int32_t Blend = 0;                                     // blend mode when drawing
    SoundPtr Sound;                                        // click sound (a window: played on its first update)
    int32_t SoundPlayed = 0;                               // 1 once played for this press
    GuiColorPtr Color;                                     // held by reference
    std::shared_ptr<PNO_Label> Caption; // caption label of windows, buttons, check boxes, spinners, bars
    std::weak_ptr<PNO_Widget> Parent;   // the root window when created without one
    int32_t AbsX = 0, AbsY = 0;         // screen position of the client origin, from the last Update
    int32_t Kind = 0;                   // window kind (kWindowRoot, kWindowFramed)
    FontPtr Font; // text font of this widget and everything in it (also behind a modal box); null: the enclosing one
    TList<PNO_Widget> Children; // creation order = drawing order

    void AddChild(const WidgetPtr& child);
    virtual int TypeId() const = 0;
    void SetColor(int r, int g, int b); // writes into the shared colour object (all holders change)
    virtual void Update(PNO_Widget& parent) = 0;
    virtual void Free();                               // drops colour, marks freed, frees the children
    virtual bool IsChildClass() const { return true; } // windows are never children

  protected:
    // Steps shared by every child class: parent (root when null), Blend 3, add to the parent.
    void Attach(const WidgetPtr& parent);
    // The end of every Update: store the position, the child pass, push hidden/dimmed/alpha, reset the state.
    void FinishUpdate(int sx, int sy);
    float DrawAlpha(float divisor = 2.0f) const { return Inactive == 1 ? Alpha / divisor : Alpha; }
};

void Paneo_AddToParent(const WidgetPtr& parent, const WidgetPtr& child);
void Paneo_UpdateChildren(TList<PNO_Widget>& children, PNO_Widget& parent);
void Paneo_FreeChildren(TList<PNO_Widget>& children);
void Paneo_SetChildrenHidden(TList<PNO_Widget>& children, uint8_t hidden);
void Paneo_SetChildrenDimmed(TList<PNO_Widget>& children, uint8_t inactive);
void Paneo_SetChildrenAlpha(TList<PNO_Widget>& children, float alpha);
void Paneo_SetChildrenColor(TList<PNO_Widget>& children, const GuiColorPtr& color);

// Library state shared by the widgets, set up once.
extern TList<PNO_Window> Paneo_Windows; // every window, back to front; the last is in front
extern uint8_t Paneo_SoundsOn;          // 1: widgets play their click sounds
extern int32_t Paneo_FontHeight;        // text height of the toolkit font
extern FontPtr Paneo_FonFont;           // "incbin::paneo.fon" 13 px: the inputs' font
extern FontPtr Paneo_TtfFont;           // "incbin::paneo.ttf" 13 px: every other text

// The toolkit's input, focus and combo state, in one struct so that Toolkit_Init puts all of it back by assigning a
// fresh one. The widgets and callers use the names bound below.
struct PaneoState {
    std::shared_ptr<PNO_Window> RootWindow;   // full-screen window of kind 10, parent of parentless widgets
    std::shared_ptr<PNO_Window> ActiveWindow; // the window last clicked or activated
    int32_t MouseFree = 1;                    // 1 while no button holds the left mouse button
    std::weak_ptr<PNO_Widget> PressedWidget;  // the widget that took the current press
    int32_t ClickActivates = 1;               // 1: a clicked window comes to the front (0 in modal boxes)
    int32_t WindowDragging = 0;               // 1 while a window is dragged
    int32_t ComboOpen = 0;                    // 1 while a combo list is open: others ignore the mouse
    int32_t ModalDepth = 0;                   // modal boxes running (an alert may open inside a requester)
    float TooltipAlpha = 0;                   // fade-in of the tooltip, 0..1
    int32_t CursorKind = kCursorNormal;       // cursor drawn each frame (kCursorNormal ... kCursorNone)
    TList<PNO_Combo> Combos;                  // every combo box, in creation order
    std::vector<PNO_ComboItem> ComboItems;    // entries of all combos, in order of adding
    std::weak_ptr<PNO_Combo> OpenCombo;       // the combo whose list is open
};
extern PaneoState Paneo_State;
inline constinit std::shared_ptr<PNO_Window>& Paneo_RootWindow = Paneo_State.RootWindow;
inline constinit std::shared_ptr<PNO_Window>& Paneo_ActiveWindow = Paneo_State.ActiveWindow;
inline constinit int32_t& Paneo_MouseFree = Paneo_State.MouseFree;
inline constinit std::weak_ptr<PNO_Widget>& Paneo_PressedWidget = Paneo_State.PressedWidget;
inline constinit int32_t& Paneo_ClickActivates = Paneo_State.ClickActivates;
inline constinit int32_t& Paneo_WindowDragging = Paneo_State.WindowDragging;
inline constinit int32_t& Paneo_ComboOpen = Paneo_State.ComboOpen;
inline constinit int32_t& Paneo_ModalDepth = Paneo_State.ModalDepth;
inline constinit float& Paneo_TooltipAlpha = Paneo_State.TooltipAlpha;
inline constinit int32_t& Paneo_CursorKind = Paneo_State.CursorKind;
inline constinit TList<PNO_Combo>& Paneo_Combos = Paneo_State.Combos;
inline constinit std::vector<PNO_ComboItem>& Paneo_ComboItems = Paneo_State.ComboItems;
inline constinit std::weak_ptr<PNO_Combo>& Paneo_OpenCombo = Paneo_State.OpenCombo;

// Global set-up at program start, after Paneo_Windows is made empty: a fresh Paneo_State.
void Toolkit_Init();
// Hides the system pointer, loads skin, fonts and cursors, creates the root window. Missing assets leave their
// widgets without pictures; nothing fails.
void Paneo_Init(int cursorStyle, int soundsOn);
// One toolkit frame: mouse, every window back to front, the open combo list, the cursor. Neither clears nor flips.
void Paneo_DrawFrame();
void Paneo_DrawTooltip(const Str& text, float step);
void Paneo_DeselectAllWindows();
std::shared_ptr<PNO_Window> Paneo_WindowUnderMouse(int part); // part 1 title bar, else body; active window only

// ==== [SKIN] =====================================================================================================

constexpr int kSkinImageCount = 80;
extern const char* const Paneo_SkinNames[kSkinImageCount]; // the skin's image names (without folder and ".png")
Str Paneo_SkinPath(const char* name);                      // "incbin::./PNO_Graphics/Default_Skin/" + name + ".png"
constexpr int kPaletteSize = 58;
extern std::array<GuiColorPtr, kPaletteSize> Paneo_Palette;           // palette entry n
extern Str Paneo_FonFontPath, Paneo_TtfFontPath;                      // the two font paths
extern Str Paneo_ClickSoundPath, Paneo_AlertSoundPath;                // the two sounds
extern std::array<std::shared_ptr<PNO_MouseCursor>, 3> Paneo_Cursors; // normal, help, busy

void Paneo_LoadSkin(int cursorStyle);
void Paneo_InitColors(); // new objects every call
void Paneo_LoadSounds();
SoundPtr Paneo_LoadSound(const Str& path); // one decoded copy per path, shared

// An animated cursor strip drawn with a shadow, 50 ms a frame. Not a widget.
class PNO_MouseCursor {
  public:
    ImagePtr Image; // the strip; null for a kind or style outside the table
    int32_t FrameWidth = 0, FrameHeight = 0;
    int32_t FirstFrame = 0;
    int32_t FrameCount = 0;
    int32_t Frame = 0;        // shown now
    int32_t FrameTime = 50;   // ms per frame
    GuiTimeoutPtr FrameTimer; // until the next frame
    static std::shared_ptr<PNO_MouseCursor> Create(int kind, int style);
    static void Draw(int kind);
};
// The strip path of a cursor kind (10, 20, 30) and style (1, 2); empty outside the table.
Str Paneo_CursorPath(int kind, int style);

// ==== [WINDOW] ===================================================================================================

class PNO_Window : public PNO_Widget {
  public:
    uint8_t ClickedBody = 0;    // last click: 0 title bar, 1 body
    int32_t TitleEndWidth = 15; // width of a title end part
    int32_t TitleHeight = 20;
    int32_t Dragging = 0;                     // 1 while dragged by the title bar
    int32_t DragOffsetX = 0, DragOffsetY = 0; // mouse minus position, refreshed while not dragging
    int32_t Minimized = 0;
    int32_t Locked = 0;                                                        // a locked window cannot be dragged
    std::shared_ptr<PNO_CustomButton> CloseButton, MinimizeButton, LockButton; // null when not asked for
    std::array<ImagePtr, 3> TitleImages;                                       // left, middle, right of the active look
    std::array<ImagePtr, 3> TitleImagesInactive;                               // the inactive look, also the shadow
    ImagePtr BodyImage;
    bool Listed = false; // in Paneo_Windows

    // h is the whole height with the title bar; lock, minimize, close: 1 adds that button.
    static std::shared_ptr<PNO_Window> Create(const Str& title, int x, int y, int w, int h, int lock, int minimize,
                                              int close, int kind);
    int TypeId() const override { return 140; }
    bool IsChildClass() const override { return false; }
    void Update(PNO_Widget& parent) override;
    void ToggleMinimize();
    void ToggleLock();
    void Activate();
    void Free() override;
};

// ==== [WIDGETS] ==================================================================================================

class PNO_Label : public PNO_Widget {
  public:
    uint8_t Align = 1; // 1 left, 2 centred, 3 right of the anchor
    static std::shared_ptr<PNO_Label> Create(const WidgetPtr& parent, const Str& text, int x, int y, int align,
                                             const GuiColorPtr& color);
    int TypeId() const override { return 40; }
    void Update(PNO_Widget& parent) override;
    void SetText(const Str& text) { Text = text; }
    const Str& GetText() const { return Text; }
};
// Draws "|"-separated lines in Paneo_TtfFont, each aligned on (x, y) (align 3 ends lines at x + width).
void Paneo_DrawTextAligned(const Str& text, int x, int y, int align, int width, const GuiColorPtr& color);

// The state machine shared by both buttons: 0 idle, 1 hover, 2 down, 3 clicked.
class PNO_ButtonBase : public PNO_Widget {
  public:
    void Update(PNO_Widget& parent) override;
    void SetText(const Str& text);
    const Str& GetText() const { return Text; }
    int Clicked(); // 1 once per completed click
    int IsDown() const { return State == 2 ? 1 : 0; }

  protected:
    virtual void DrawLook(int look, int sx, int sy) = 0; // 0 normal, 1 hover, 2 pressed
    void MakeCaption();
};

class PNO_CustomButton : public PNO_ButtonBase {
  public:
    ImagePtr HoverImage, NormalImage, PressedImage;
    static std::shared_ptr<PNO_CustomButton> Create(const WidgetPtr& parent, const Str& text, int x, int y, int w,
                                                    int h, const Str& hoverPath, const Str& normalPath,
                                                    const Str& pressedPath, int bevelled);
    int TypeId() const override { return 50; }
    void Free() override;

  protected:
    void DrawLook(int look, int sx, int sy) override;
};

class PNO_PushButton : public PNO_ButtonBase {
  public:
    std::array<ImagePtr, 9> Parts; // left, middle, right of the normal, hover and pressed looks
    int32_t CapWidth = 0;          // width of the left cap
    static std::shared_ptr<PNO_PushButton> Create(const WidgetPtr& parent, const Str& text, int x, int y, int w);
    int TypeId() const override { return 51; }
    void Free() override;

  protected:
    void DrawLook(int look, int sx, int sy) override;
};

class PNO_Input : public PNO_Widget {
  public:
    int32_t CaretX = 0;       // caret offset in pixels from the box's start, a multiple of CharWidth
    int32_t CaretIndex = 0;   // caret position in characters
    int32_t VisibleChars = 0; // character cells shown
    int32_t MaxLength = 0;    // longest text typing may make
    int32_t CharWidth = 1;    // width of "0" in Paneo_FonFont (at least 1)
    int32_t ScrollOffset = 0; // characters hidden left of the box
    GuiTimeoutPtr KeyRepeat;  // 90 ms repeat of the held editing keys
    ImagePtr UnselectedImage, SelectedImage;
    static std::shared_ptr<PNO_Input> Create(const WidgetPtr& parent, const Str& text, int x, int y, int visible,
                                             int maxLength);
    int TypeId() const override { return 100; }
    void Update(PNO_Widget& parent) override;
    void SetText(const Str& text) { Text = text; }
    const Str& GetText() const { return Text; }
    void Free() override;

  private:
    bool HandleKey(const Str& key); // false: the update ends here (Enter, Esc)
    void TypeChar(char16_t c);
    void KeepCaretInside();
};
// The held editing key of this frame by priority ("KEY_ESCAPE", ...), or "".
Str Paneo_ReadInputKey();
bool Paneo_InputAllows(char16_t c); // the typed-character set

class PNO_Checkbox : public PNO_Widget {
  public:
    ImagePtr UncheckedImage, CheckedImage;
    static std::shared_ptr<PNO_Checkbox> Create(const WidgetPtr& parent, const Str& text, int x, int y, int checked);
    int TypeId() const override { return 110; }
    void Update(PNO_Widget& parent) override;
    void SetChecked(int flag) { State = uint8_t(flag != 0); }
    int GetChecked() const { return State; }
    void SetText(const Str& text);
    const Str& GetText() const { return Text; }
    void Free() override;
};

class PNO_Value : public PNO_Widget {
  public:
    std::shared_ptr<PNO_Input> Field;
    std::shared_ptr<PNO_CustomButton> UpButton, DownButton;
    GuiTimeoutPtr StepRepeat; // 150 ms arrow repeat
    static std::shared_ptr<PNO_Value> Create(const WidgetPtr& parent, const Str& text, int x, int y, int digits,
                                             float value, float step, float minValue, float maxValue, int integerOnly);
    int TypeId() const override { return 120; }
    void Update(PNO_Widget& parent) override;
    float GetValue() const; // the field's text as a number, unclamped (0 without a field); use Value instead
    void SetStep(float f) { Step = f; }
    void SetValue(float f);
    void SetMin(float f) { MinValue = f; }
    void SetMax(float f) { MaxValue = f; }
    void SetText(const Str& text);
    const Str& GetText() const { return Text; }
    void Increase();
    void Decrease();
    void Free() override;
    Str FormatNumber(float v) const; // whole number or "%#.9g"
};

class PNO_Scrollbar : public PNO_Widget {
  public:
    int32_t ThumbSize = 0; // a quarter of the length
    float ThumbPos = 0;    // thumb centre in pixels from the start
    float ThumbPlaced = 0; // 0: recompute ThumbPos from Value at the next update
    uint8_t Vertical = 0;
    ImagePtr BodyImage;
    static std::shared_ptr<PNO_Scrollbar> Create(const WidgetPtr& parent, const Str& text, int x, int y, int w, int h,
                                                 float value, float minValue, float maxValue, float step,
                                                 int orientation, int integerOnly);
    int TypeId() const override { return 80; }
    void Update(PNO_Widget& parent) override;
    float GetValue() const { return Value; }
    void SetValue(float f);
    void SetStep(float f) { Step = f; }
    void SetMin(float f) { MinValue = f; }
    void SetMax(float f) { MaxValue = f; }
    void SetText(const Str& text);
    const Str& GetText() const { return Text; }
    float PosToValue(int pos, int length) const; // MinValue when the range or the track is empty
    float ValueToPos(float value, float length) const;
    void Increase();
    void Decrease();
    void Free() override;
    int Length() const { return Vertical ? H : W; }
};

class PNO_StaticImage : public PNO_Widget {
  public:
    ImagePtr Image;          // null draws nothing
    uint8_t BorderStyle = 0; // 0 none, 1 raised, 2 sunken
    static std::shared_ptr<PNO_StaticImage> Create(const WidgetPtr& parent, const Str& path, int x, int y, int w, int h,
                                                   int borderStyle, int blend);
    int TypeId() const override { return 30; }
    void Update(PNO_Widget& parent) override;
    void SetImage(const Str& path);
    void Free() override;
};

// ==== [LISTS] ====================================================================================================

struct PNO_ListBoxItem {
    Str Text;
    uint8_t Separator = 0; // 1 when the text is "[]"
    uint8_t Selected = 0;
    ImagePtr Icon; // 14 x 14
};

class PNO_ListBox : public PNO_Widget {
  public:
    GuiTimeoutPtr RepeatTimer; // arrow auto-repeat, 150 ms
    Str SelectedText;          // empty at creation and after Clear
    int32_t SelectedIndex = 0; // 1-based, set by SelectByIndex only
    int32_t ItemCount = 0;
    int32_t WidestText = 0;             // widest entry since the last Clear
    std::vector<PNO_ListBoxItem> Items; // display order
    std::shared_ptr<PNO_Scrollbar> HBar, VBar;
    std::shared_ptr<PNO_CustomButton> UpButton, DownButton, LeftButton, RightButton;
    ImagePtr BodyImage;

    static std::shared_ptr<PNO_ListBox> Create(const WidgetPtr& parent, int x, int y, int width, int rows);
    int TypeId() const override { return 90; }
    void Update(PNO_Widget& parent) override;
    void AddItem(const Str& text, const Str& iconPath);
    void SetItemText(const Str& oldText, const Str& newText);
    void SelectByText(const Str& text);
    void SelectByIndex(int n);
    void Clear();
    void DeselectAll();
    int RemoveItem(const Str& text);
    void Sort(int ascending);
    void UpdateItems(int inputAllowed);
    void Free() override;

  private:
    void PlayOnce();
};

struct PNO_ComboItem {
    std::weak_ptr<PNO_Combo> Owner;
    ImagePtr Icon; // 15 x 15
    Str Text;
    uint8_t State = 0; // 0 normal, 1 under the mouse in the open list, 2 selected
};

class PNO_Combo : public PNO_Widget {
  public:
    int32_t ItemCount = 0;
    Str SelectedText;
    ImagePtr SelectedIcon;
    ImagePtr ArrowImage, ArrowPressedImage, BodyImage, BodyPressedImage, RowImage, RowHighlightImage;

    static std::shared_ptr<PNO_Combo> Create(const WidgetPtr& parent, int x, int y, int width);
    int TypeId() const override { return 130; }
    void Update(PNO_Widget& parent) override;
    void AddItem(const Str& text, const Str& iconPath); // the added entry becomes the selected one
    void Clear();
    int SelectByText(const Str& text, int exclusive); // number of entries matched
    void SetItemState(int n, int state);
    void DeselectAll();
    static void CloseAll();
    int ListHeight() const;
    void Free() override; // also closes its list when it is the open one
};
void Paneo_DrawComboList();

// ==== [MODAL] ====================================================================================================

// A modal box: buttons 1 "Ok", 2 "Yes"/"No", 3 "Yes"/"No"/"Cancel" (other values: 1); icon 1 ask, 2 alert,
// 3 warning. Returns 1 Ok/Yes, 2 No, 3 Cancel. Esc and the terminate flag answer with the last button.
int Paneo_Confirm(const Str& title, const Str& text, int buttons, int icon);

extern Str Paneo_RequestFolder; // where the next requester opens when the caller gives no folder
extern Str Paneo_RequestFilter; // the filter of the next requester's first listing
// A modal open (saveFlag 0) or save (1) requester. Returns the chosen file's full path, or "" on cancel, Esc or
// the terminate flag. Names with separators, reserved characters, "." / ".." or only blanks are refused; open asks
// for an existing file; save asks before overwriting.
Str Paneo_RequestFile(const Str& title, const Str& startFolder, const Str& filterString, const Str& initialFilter,
                      int saveFlag);
// Fills the list with ".." and the folders, then "[]" and the files that pass the filter (".*" all, else the last
// four characters ignoring case). False when the folder cannot be listed (the list is then empty).
bool Paneo_ListDirectory(const Str& folder, PNO_ListBox& list, const Str& filter, int foldersOnly);
// The icon path of a file name by its last four characters.
Str Paneo_FileIcon(const Str& name);

// The toolkit's calls out, do-nothing by default (tests fill them).
struct PaneoHooks {
    void (*ModalFrame)(); // once per pass of the modal loops, after the flip (tests use it as a watchdog)
};
extern PaneoHooks Paneo_Hooks;
PaneoHooks Paneo_HooksDefault();
