// The widget base and child lists, the library state, the skin (paths, palette, sounds), the animated cursors,
// Paneo_Init, the toolkit frame and the tooltip. Called by the level editor and the modal boxes.
#include <map>
#include <vector>

#include "platform/graphics.h"
#include "platform/hooks.h"
#include "platform/input.h"
#include "platform/stream.h"
#include "platform/system.h"
#include "toolkit/toolkit.h"

TList<PNO_Window> Paneo_Windows;
PaneoState Paneo_State;
uint8_t Paneo_SoundsOn = 1;
int32_t Paneo_FontHeight = 13;
FontPtr Paneo_FonFont;
FontPtr Paneo_TtfFont;

std::array<GuiColorPtr, kPaletteSize> Paneo_Palette;
Str Paneo_FonFontPath, Paneo_TtfFontPath;
Str Paneo_ClickSoundPath, Paneo_AlertSoundPath;
std::array<std::shared_ptr<PNO_MouseCursor>, 3> Paneo_Cursors;

PaneoHooks Paneo_HooksDefault() {
    PaneoHooks h;
    Hooks_SetNothing(h.ModalFrame);
    return h;
}
PaneoHooks Paneo_Hooks = Paneo_HooksDefault();

// ==== Widget base ================================================================================================

void PNO_Widget::AddChild(const WidgetPtr& child) { Children.AddLast(child); }

void PNO_Widget::SetColor(int r, int g, int b) {
    if (!Color) return;
    Color->r = uint8_t(r);
    Color->g = uint8_t(g);
    Color->b = uint8_t(b);
}

void PNO_Widget::Free() {
    Color.reset();
    Freed = 1;
    Paneo_FreeChildren(Children);
}

void PNO_Widget::Attach(const WidgetPtr& parent) {
    WidgetPtr p = parent ? parent : WidgetPtr(Paneo_RootWindow);
    Parent = p;
    Blend = BLEND_ALPHA;
    if (p) Paneo_AddToParent(p, shared_from_this());
}

void PNO_Widget::FinishUpdate(int sx, int sy) {
    AbsX = sx;
    AbsY = sy;
    Paneo_UpdateChildren(Children, *this);
    Paneo_SetChildrenHidden(Children, Hidden);
    Paneo_SetChildrenDimmed(Children, Inactive);
    Paneo_SetChildrenAlpha(Children, Alpha);
    Paneo_ResetDrawState();
}

void Paneo_AddToParent(const WidgetPtr& parent, const WidgetPtr& child) {
    if (parent && child) parent->AddChild(child);
}

void Paneo_UpdateChildren(TList<PNO_Widget>& children, PNO_Widget& parent) {
    // The list walk survives removals (a child freeing a sibling, or itself) made while it runs.
    for (auto it = children.begin(); it != children.end(); ++it) {
        const WidgetPtr child = *it; // kept alive through its own update
        if (!child || !child->IsChildClass()) continue;
        if (child->Freed) {
            children.RemoveLink(it.link());
        } else {
            const GuiFontScope font(child->Font);
            child->Update(parent);
        }
    }
    for (const WidgetPtr& child : children) {
        if (!child || child->Freed || !child->TooltipDelay) continue;
        const int id = child->TypeId();
        if ((id != 50 && id != 51) || child->State != 1 || child->Tooltip.empty()) continue;
        if (child->TooltipDelay->Expired())
            Paneo_DrawTooltip(child->Tooltip, 0.0025f);
        else
            Paneo_TooltipAlpha = 0;
    }
}

GuiFontScope::GuiFontScope(const FontPtr& font) {
    if (!font) return;
    saved_ = Paneo_TtfFont;
    Paneo_TtfFont = font;
    swapped_ = true;
}
GuiFontScope::~GuiFontScope() {
    if (swapped_) Paneo_TtfFont = saved_;
}

FontPtr Paneo_FontOf(const PNO_Widget& widget) {
    if (widget.Font) return widget.Font;
    for (WidgetPtr w = widget.Parent.lock(); w; w = w->Parent.lock())
        if (w->Font) return w->Font;
    return nullptr;
}

void Paneo_FreeChildren(TList<PNO_Widget>& children) {
    for (auto it = children.begin(); it != children.end(); ++it) {
        const WidgetPtr child = *it;
        if (child && child->IsChildClass()) child->Free();
        children.RemoveLink(it.link());
    }
}

namespace {
template <class F> void ForChildren(TList<PNO_Widget>& children, bool skipValue, F&& f) {
    for (const WidgetPtr& child : children) {
        if (!child || !child->IsChildClass()) continue;
        if (skipValue && child->TypeId() == 120) continue; // a spinner keeps its own look
        f(*child);
    }
}
} // namespace

void Paneo_SetChildrenHidden(TList<PNO_Widget>& children, uint8_t hidden) {
    ForChildren(children, false, [&](PNO_Widget& w) { w.Hidden = hidden; });
}
void Paneo_SetChildrenDimmed(TList<PNO_Widget>& children, uint8_t inactive) {
    ForChildren(children, true, [&](PNO_Widget& w) { w.Inactive = inactive; });
}
void Paneo_SetChildrenAlpha(TList<PNO_Widget>& children, float alpha) {
    ForChildren(children, true, [&](PNO_Widget& w) { w.Alpha = alpha; });
}
void Paneo_SetChildrenColor(TList<PNO_Widget>& children, const GuiColorPtr& color) {
    ForChildren(children, true, [&](PNO_Widget& w) { w.Color = color; });
}

// ==== Skin ======================================================================================================

const char* const Paneo_SkinNames[kSkinImageCount] = {
    "Window_Body",
    "Window_title_left_se",
    "Window_title_middle_se",
    "Window_title_right_se",
    "Window_title_left_un",
    "Window_title_middle_un",
    "Window_title_right_un",
    "Window_Lock_hi",
    "Window_Lock_se",
    "Window_Lock_un",
    "Window_Minimize_hi",
    "Window_Minimize_se",
    "Window_Minimize_un",
    "Window_Close_hi",
    "Window_Close_se",
    "Window_Close_un",
    "Button_left_hi",
    "Button_middle_hi",
    "Button_right_hi",
    "Button_left_un",
    "Button_middle_un",
    "Button_right_un",
    "Button_left_se",
    "Button_middle_se",
    "Button_right_se",
    "Arrow_Left_hi",
    "Arrow_Left_un",
    "Arrow_Left_se",
    "Arrow_Right_hi",
    "Arrow_Right_un",
    "Arrow_Right_se",
    "Arrow_Up_hi",
    "Arrow_Up_un",
    "Arrow_Up_se",
    "Arrow_Down_hi",
    "Arrow_Down_un",
    "Arrow_Down_se",
    "Checkbox_un",
    "Checkbox_se",
    "Input_Unselect",
    "Input_Select",
    "Progress_Body",
    "Progress_Bar",
    "Combo_Symbol_un",
    "Combo_Symbol_se",
    "Combo_Body_un",
    "Combo_Body_se",
    "Combo_Bar_un",
    "Combo_Bar_se",
    "Scrollbar_Horizontal_Body",
    "Scrollbar_Vertical_Body",
    "Listbox_Body",
    "Tab_Body",
    "Tab_Horizontal_Border",
    "Tab_left_un",
    "Tab_middle_un",
    "Tab_right_un",
    "Tab_left_se",
    "Tab_middle_se",
    "Tab_right_se",
    "Menu_Bar",
    "Menu_Checkmark",
    "Messagebox_Ask",
    "Messagebox_Warning",
    "Messagebox_Alert",
    "Icon_Folder",
    "Icon_Picture",
    "Icon_Sound",
    "Icon_Archive",
    "Icon_Default",
    "Icon_Document",
    "Icon_Program",
    "Icon_Web",
    "Icon_Screen",
    "Icon_Item",
    "Icon_Cdrom",
    "Icon_Floppy",
    "Icon_Drive",
    "Icon_Network",
    "Icon_Ramdrive",
};

Str Paneo_SkinPath(const char* name) { return u"incbin::./PNO_Graphics/Default_Skin/" + S(name) + u".png"; }

void Paneo_InitColors() {
    static constexpr uint8_t kRgb[kPaletteSize][3] = {
        {255, 255, 255}, {0, 0, 0},       {255, 0, 0},     {0, 255, 0},     {0, 0, 255},     {255, 255, 0},
        {200, 200, 200}, {130, 130, 130}, {0, 0, 0},       {80, 80, 80},    {10, 10, 10},    {200, 200, 200},
        {200, 200, 200}, {50, 50, 50},    {255, 155, 50},  {200, 200, 200}, {80, 80, 80},    {220, 220, 220},
        {220, 220, 220}, {20, 20, 20},    {200, 200, 200}, {80, 80, 80},    {50, 50, 50},    {50, 50, 50},
        {50, 50, 50},    {50, 50, 50},    {200, 200, 200}, {200, 200, 200}, {93, 155, 219},  {120, 120, 120},
        {0, 0, 0},       {240, 245, 255}, {170, 180, 190}, {55, 55, 55},    {93, 155, 219},  {93, 155, 219},
        {93, 155, 219},  {200, 200, 200}, {200, 200, 200}, {50, 50, 50},    {200, 200, 200}, {200, 200, 200},
        {0, 0, 0},       {55, 55, 55},    {255, 255, 225}, {20, 20, 20},    {20, 20, 20},    {0, 0, 0},
        {240, 240, 240}, {20, 20, 20},    {20, 20, 20},    {10, 10, 10},    {110, 152, 221}, {121, 144, 205},
        {232, 121, 31},  {20, 20, 20},    {20, 20, 20},    {50, 50, 50},
    };
    for (int i = 0; i < kPaletteSize; ++i)
        Paneo_Palette[i] = GuiColor::Create(kRgb[i][0], kRgb[i][1], kRgb[i][2]);
}

void Paneo_LoadSounds() {
    Paneo_ClickSoundPath = u"incbin::Button_Click.wav";
    Paneo_AlertSoundPath = u"incbin::Message_Alert.wav";
}

SoundPtr Paneo_LoadSound(const Str& path) {
    static std::map<Str, SoundPtr> cache; // by File_Key
    const Str key = File_Key(path);
    auto it = cache.find(key);
    if (it == cache.end()) {
        SoundPtr s = Sound_Load(path);
        if (!s) Log_Print(u"failed loading " + path);
        it = cache.emplace(key, s).first;
    }
    return it->second;
}

void Paneo_LoadSkin(int cursorStyle) {
    Paneo_FonFontPath = u"incbin::paneo.fon";
    Paneo_TtfFontPath = u"incbin::paneo.ttf";
    Paneo_InitColors();
    Paneo_LoadSounds();
    static constexpr int kKinds[3] = {10, 20, 30};
    for (int i = 0; i < 3; ++i)
        Paneo_Cursors[i] = PNO_MouseCursor::Create(kKinds[i], cursorStyle);
}

// ==== Cursor ====================================================================================================

namespace {
struct CursorStrip {
    int style, kind;
    const char* file;
    int w, h, frames;
};
constexpr CursorStrip kCursorStrips[] = {
    {1, 10, "Mouse01_Normal.png", 28, 30, 9}, {1, 20, "Mouse01_Help.png", 28, 30, 11},
    {1, 30, "Mouse01_Busy.png", 32, 32, 6},   {2, 10, "Mouse02_Normal.png", 32, 32, 6},
    {2, 20, "Mouse02_Help.png", 32, 32, 6},   {2, 30, "Mouse02_Busy.png", 32, 32, 6},
};
const CursorStrip* FindStrip(int kind, int style) {
    for (const CursorStrip& s : kCursorStrips)
        if (s.kind == kind && s.style == style) return &s;
    return nullptr;
}
} // namespace

Str Paneo_CursorPath(int kind, int style) {
    const CursorStrip* s = FindStrip(kind, style);
    return s ? u"incbin::./PNO_Graphics/" + S(s->file) : Str();
}

std::shared_ptr<PNO_MouseCursor> PNO_MouseCursor::Create(int kind, int style) {
    auto c = std::make_shared<PNO_MouseCursor>();
    if (const CursorStrip* s = FindStrip(kind, style)) {
        c->FrameWidth = s->w;
        c->FrameHeight = s->h;
        c->FrameCount = s->frames;
        c->FrameTimer = GuiTimeout::Create(c->FrameTime);
        c->Image = Image_LoadAnim(Paneo_CursorPath(kind, style), s->w, s->h, 0, s->frames, IMG_MASKED);
        if (!c->Image) Log_Print(u"failed loading " + Paneo_CursorPath(kind, style));
    }
    return c;
}

void PNO_MouseCursor::Draw(int kind) {
    Draw_SetBlend(BLEND_ALPHA);
    const int slot = kind == kCursorNormal ? 0 : kind == kCursorHelp ? 1 : kind == kCursorBusy ? 2 : -1;
    if (slot >= 0 && Paneo_Cursors[slot]) {
        PNO_MouseCursor& c = *Paneo_Cursors[slot];
        if (c.FrameCount > 0 && Timeout_Expired(c.FrameTimer)) {
            c.Frame = (c.Frame + 1) % c.FrameCount;
            Timeout_Restart(c.FrameTimer, c.FrameTime);
        }
        if (c.Image) {
            Draw_SetAlpha(0.5f);
            Draw_ImageColored(c.Image, GuiMouse.X + 3, GuiMouse.Y + 1, Paneo_Palette[1], c.Frame, BLEND_ALPHA);
            Draw_SetAlpha(0.9f);
            Draw_ImageColored(c.Image, GuiMouse.X, GuiMouse.Y, Paneo_Palette[0], c.Frame, BLEND_ALPHA);
        }
    }
    Draw_SetBlend(BLEND_MASKED);
    Draw_SetAlpha(1.0f);
}

// ==== Set-up, frame and tooltip ===================================================================================

void Toolkit_Init() { Paneo_State = PaneoState{}; }

void Paneo_Init(int cursorStyle, int soundsOn) {
    Mouse_Hide();
    Paneo_LoadSkin(cursorStyle);
    Paneo_FonFont = ImageFont_Load(Paneo_FonFontPath, 13, FONT_SMOOTH);
    Paneo_TtfFont = ImageFont_Load(Paneo_TtfFontPath, 13, FONT_SMOOTH | FONT_BOLD);
    if (!Paneo_FonFont) Log_Print(u"failed loading " + Paneo_FonFontPath);
    if (!Paneo_TtfFont) Log_Print(u"failed loading " + Paneo_TtfFontPath);
    Draw_SetImageFont(Paneo_TtfFont);
    Paneo_FontHeight = Text_Height(u"Paneo");
    if (Paneo_FontHeight < 1) Paneo_FontHeight = 13;
    if (Paneo_RootWindow) Paneo_RootWindow->Free();
    Paneo_RootWindow = PNO_Window::Create(u"", 0, 0, Graphics_Width(), Graphics_Height(), 0, 0, 0, kWindowRoot);
    Paneo_SoundsOn = uint8_t(soundsOn);
    GuiMouse.Sync();
    Mouse_SetCapture(Paneo_TakesPress);
}

void Paneo_DrawFrame() {
    GuiMouse.Update();
    // The windows of this frame, taken before the walk: a close button frees its window and a click brings a window
    // to the front while the walk runs, and each window must still be updated at most once.
    static std::vector<std::shared_ptr<PNO_Window>> walk;
    walk.clear();
    for (const auto& w : Paneo_Windows)
        walk.push_back(w);
    for (const auto& w : walk)
        if (w && w->Listed) {
            const GuiFontScope font(w->Font);
            w->Update(*w);
        }
    walk.clear();
    if (Paneo_Windows.Count() == 1 && Paneo_RootWindow && Paneo_RootWindow->Listed) Paneo_RootWindow->Activate();
    Paneo_DrawComboList();
    PNO_MouseCursor::Draw(Paneo_CursorKind);
    Draw_SetImageFont(Paneo_TtfFont);
}

void Paneo_DrawTooltip(const Str& text, float step) {
    if (!Paneo_TtfFont) return;
    Draw_SetImageFont(Paneo_TtfFont);
    int x = GuiMouse.X + 20, y = GuiMouse.Y + 20;
    const int w = Text_Width(text) + 10, h = Paneo_FontHeight + 2;
    Paneo_TooltipAlpha += step;
    if (Paneo_TooltipAlpha > 1.0f) Paneo_TooltipAlpha = 1.0f;
    if (x + w > Graphics_Width()) x = Graphics_Width() - w;
    if (y + h > Graphics_Height()) y = Graphics_Height() - h;
    Draw_SetAlpha(Paneo_TooltipAlpha);
    Draw_BevelBox(x, y, w, h, Paneo_Palette[44], Paneo_Palette[45], Paneo_Palette[46], 1, BLEND_ALPHA);
    Draw_TextColored(text, x + 5, y, Paneo_Palette[43], Paneo_TtfFont, BLEND_ALPHA);
    Paneo_ResetDrawState();
}
