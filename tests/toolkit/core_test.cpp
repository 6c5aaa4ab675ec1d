// The toolkit's core: utilities (hit test, timeouts at the clock's wrap, text helpers, the number reader, bevelled
// images), mouse edges seen once by one widget, the child pass while widgets are freed, windows (close and
// activation inside the frame's walk, stacking, drag, lock, minimise), tooltip, cursor, palette and the skin's
// files in the archive. Tests toolkit_util.cpp, toolkit_core.cpp and toolkit_window.cpp.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/graphics.h"
#include "platform/incbin.h"
#include "platform/stream.h"
#include "platform/system.h"
#include "toolkit_helpers.h"

namespace {

// A label that counts its updates, to see how often a window's child pass ran.
struct CountingLabel : PNO_Label {
    int updates = 0;
    static std::shared_ptr<CountingLabel> Make(const WidgetPtr& parent) {
        auto l = std::make_shared<CountingLabel>();
        l->Color = GuiColor::Create(0, 0, 0);
        l->Attach(parent);
        return l;
    }
    void Update(PNO_Widget& parent) override {
        ++updates;
        PNO_Label::Update(parent);
    }
};

// A button whose update frees other widgets (or itself) in the middle of its parent's pass.
struct FreeingButton : PNO_CustomButton {
    std::vector<WidgetPtr> victims;
    int updates = 0;
    static std::shared_ptr<FreeingButton> Make(const WidgetPtr& parent) {
        auto b = std::make_shared<FreeingButton>();
        b->Color = GuiColor::Create(255, 255, 255);
        b->W = b->H = 10;
        b->Attach(parent);
        return b;
    }
    void Update(PNO_Widget& parent) override {
        ++updates;
        for (auto& v : victims)
            v->Free();
        victims.clear();
        PNO_CustomButton::Update(parent);
    }
};

std::string Click(int frame, int x, int y) {
    return std::to_string(frame) + " click 1 " + std::to_string(x) + " " + std::to_string(y) + "\n";
}

std::shared_ptr<PNO_PushButton> Button(const WidgetPtr& parent, int x, int y) {
    return PNO_PushButton::Create(parent, u"Go", x, y, 80);
}

TEST(ToolkitUtilities, HitTestTextHelpersAndNumbers) {
    ToolkitTest_Open();
    ToolkitTest_Script("1 mouse 20 20\n2 down 1\n3 up 1\n4 mouse 19 19\n4 down 1\n");
    ToolkitTest_Frame();
    EXPECT_EQ(GuiMouse.InRect(0, 0, 20, 20, 0), 1); // both edges inclusive for the position
    ToolkitTest_Frame();                            // pressed at (20, 20)
    EXPECT_EQ(GuiMouse.InRect(0, 0, 20, 20, 1), 0); // ... but the press must lie inside w x h
    ToolkitTest_Frames(2);                          // released, then pressed at (19, 19)
    EXPECT_EQ(GuiMouse.InRect(0, 0, 20, 20, 1), 1);

    EXPECT_EQ(Str_InsertAt(u"abc", u"X", 0), u"Xabc");
    EXPECT_EQ(Str_InsertAt(u"abc", u"X", 2), u"abXc");
    EXPECT_EQ(Str_InsertAt(u"abc", u"X", 7), u"abcX");
    EXPECT_EQ(Str_DeleteRange(u"abcdef", 2, 1), u"abdef");
    EXPECT_EQ(Str_DeleteRange(u"abcdef", 2, 10), u"ab");
    EXPECT_EQ(Str_DeleteRange(u"abc", 9, 2), u"abc"); // beyond the text: unchanged, no throw
    EXPECT_EQ(Str_DeleteRange(u"abc", -3, 1), u"bc");
    EXPECT_EQ(Text_MultilineWidth(u"ab|cdef"), Text_MultilineWidth(u"ab|cdef|"));
    EXPECT_EQ(Text_MultilineHeight(u"ab|cd"), 2 * Text_MultilineHeight(u"ab"));
    EXPECT_EQ(Text_MultilineWidth(u""), 0);

    EXPECT_EQ(Paneo_ParseNumber(u"  12.5abc"), 12.5f);
    EXPECT_EQ(Paneo_ParseNumber(u"-7"), -7.0f);
    for (const char16_t* bad : {u"nan", u"inf", u"-inf", u"0x10", u"", u"abc", u"."})
        EXPECT_EQ(Paneo_ParseNumber(bad), 0.0f) << Str_ToUtf8(bad);
    EXPECT_EQ(Paneo_ParseNumber(u"1e999"), 1.0f); // no exponent: the leading 1
    EXPECT_TRUE(std::isfinite(Paneo_ParseNumber(std::u16string(400, u'9'))));
    EXPECT_FALSE(std::signbit(Paneo_ParseNumber(u"-0")));

    EXPECT_EQ(GuiColor::Create(1, 2, 3)->ToARGB(), 0xFF010203u);
    EXPECT_EQ(Color_ToARGB(nullptr), 0u);
    EXPECT_EQ(Img_CreateBevelled(u"incbin::nothing_here.png", 10, 10, 0, 0, 1), nullptr);
    EXPECT_EQ(Img_CreateBevelled(Paneo_SkinPath("Window_Body"), 0, 10, 0, 0, 1), nullptr);
    // A 64 x 64 picture squeezed to 32 x 16 with a sunken border.
    const ImagePtr img = Img_CreateBevelled(Paneo_SkinPath("Messagebox_Ask"), 32, 16, 0xFFC8C8C8, 0xFF505050, 2);
    ASSERT_TRUE(img);
    const Pixmap* pm = Image_Lock(img);
    ASSERT_TRUE(pm);
    EXPECT_EQ(Pixmap_ReadPixel(*pm, 5, 0) & 0xFFFFFF, 0x505050u);
    EXPECT_EQ(Pixmap_ReadPixel(*pm, 0, 5) & 0xFFFFFF, 0x505050u);
    EXPECT_EQ(Pixmap_ReadPixel(*pm, 5, 15) & 0xFFFFFF, 0xC8C8C8u);
    EXPECT_EQ(Pixmap_ReadPixel(*pm, 31, 5) & 0xFFFFFF, 0xC8C8C8u);
    Image_Unlock(img);

    // A grabbed region is one pixel larger each way and leaves the canvas cleared.
    Draw_Cls();
    Draw_SetColor(200, 10, 10);
    Draw_Rect(10, 10, 20, 20);
    const ImagePtr grab = Img_GrabRegion(10, 10, 20, 20, 0);
    EXPECT_EQ(Image_Width(grab), 21);
    const Pixmap* gp = Image_Lock(grab);
    ASSERT_TRUE(gp);
    EXPECT_EQ(Pixmap_ReadPixel(*gp, 3, 3) & 0xFFFFFF, 0xC80A0Au);
    Image_Unlock(grab);
    EXPECT_EQ(TestCanvas_Pixel(15, 15), 0u);
}

TEST(ToolkitUtilities, TimeoutsExpireAcrossTheClockWrapAndWheelSign) {
    ToolkitTest_Open();
    ToolkitTest_Script("3 wheel 1\n4 wheel -2\n");
    // Close below the int32 limit of the millisecond clock.
    Sys_Delay(int(int64_t(INT32_MAX) - Sys_Millisecs() - 10));
    const GuiTimeoutPtr t = GuiTimeout::Create(50);
    EXPECT_FALSE(t->Expired());
    Sys_Delay(50);
    EXPECT_FALSE(t->Expired()); // exactly at the end: not yet
    Sys_Delay(1);
    EXPECT_TRUE(t->Expired()); // the clock has wrapped meanwhile
    EXPECT_LT(Sys_Millisecs(), 0);
    ToolkitTest_Frames(2);
    ToolkitTest_Frame();
    EXPECT_EQ(GuiMouse.WheelDir, -1); // the position grew
    ToolkitTest_Frame();
    EXPECT_EQ(GuiMouse.WheelDir, 1);
    ToolkitTest_Frame();
    EXPECT_EQ(GuiMouse.WheelDir, 0);
}

TEST(ToolkitMouse, AClickIsSeenOnceByOneWidgetTapsIncluded) {
    ToolkitTest_Open();
    auto win = PNO_Window::Create(u"Clicks", 100, 100, 400, 300, 0, 0, 0, kWindowFramed);
    auto a = Button(win, 10, 10);
    auto b = Button(win, 40, 10); // overlaps a from x 40 to 90
    auto c = Button(win, 10, 100);
    const int ox = 100, oy = 121;
    std::string script = Click(3, ox + 60, oy + 15); // on a and b
    script += "8 mouse " + std::to_string(ox + 20) + " " + std::to_string(oy + 110) + "\n";
    script += "8 down 1\n8 up 1\n";          // a tap inside one frame on c
    script += Click(12, ox + 300, oy + 200); // empty window area ...
    script += "13 mouse " + std::to_string(ox + 20) + " " + std::to_string(oy + 110) + "\n"; // ... held onto c
    script += "12 down 1\n14 up 1\n";
    ToolkitTest_Script(script);
    int clicks[3] = {0, 0, 0};
    for (int f = 0; f < 20; ++f) {
        ToolkitTest_Frame();
        clicks[0] += a->Clicked();
        clicks[1] += b->Clicked();
        clicks[2] += c->Clicked();
        EXPECT_EQ(c->Clicked(), 0); // a click is reported once
    }
    EXPECT_EQ(clicks[0], 0); // under the later widget
    EXPECT_EQ(clicks[1], 1);
    EXPECT_EQ(clicks[2], 1); // the tap; the press that began elsewhere and was dragged in is no click
    EXPECT_EQ(Paneo_MouseFree, 1);
    win->Free();
}

TEST(ToolkitMouse, AnEarlierClickNeverCompletesALaterPressElsewhere) {
    ToolkitTest_Open();
    auto win = PNO_Window::Create(u"Stale", 100, 100, 400, 300, 0, 0, 0, kWindowFramed);
    auto a = Button(win, 10, 10);
    auto list = PNO_ListBox::Create(win, 10, 60, 200, 6);
    list->AddItem(u"one", u"");
    const int ox = 100, oy = 121;
    std::string script = Click(3, ox + 20, oy + 15); // a real click on a
    script += "6 mouse " + std::to_string(ox + 30) + " " + std::to_string(oy + 66) + "\n6 down 1\n"; // on the list
    script += "8 mouse " + std::to_string(ox + 20) + " " + std::to_string(oy + 15) + "\n9 up 1\n";   // onto a
    ToolkitTest_Script(script);
    int clicks = 0;
    for (int f = 0; f < 14; ++f) {
        ToolkitTest_Frame();
        clicks += a->Clicked();
    }
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(list->SelectedText, u"one");

    // A button freed while it holds the mouse: the release still frees the mouse for window drags.
    auto held = Button(win, 200, 10);
    ToolkitTest_Script("2 mouse " + std::to_string(ox + 210) + " " + std::to_string(oy + 15) + "\n2 down 1\n6 up 1\n");
    ToolkitTest_Frames(3);
    EXPECT_EQ(Paneo_MouseFree, 0);
    held->Free();
    ToolkitTest_Frames(6);
    EXPECT_EQ(Paneo_MouseFree, 1);

    // An inactive button never gets past idle and shows no tooltip; a narrow push button is widened.
    auto off = Button(win, 200, 100);
    off->Inactive = 1;
    off->Tooltip = u"never";
    ToolkitTest_Script("2 mouse " + std::to_string(ox + 210) + " " + std::to_string(oy + 105) +
                       "\n3 down 1\n40 up 1\n");
    for (int f = 0; f < 45; ++f) {
        ToolkitTest_Frame();
        ASSERT_EQ(off->State, 0);
        ASSERT_EQ(off->Clicked(), 0);
    }
    EXPECT_EQ(Paneo_TooltipAlpha, 0.0f);
    EXPECT_EQ(PNO_PushButton::Create(win, u"", 0, 0, 20)->W, 35);
    win->Free();
}

TEST(ToolkitChildPass, FreeingDuringThePassAndLateInheritance) {
    ToolkitTest_Open();
    auto win = PNO_Window::Create(u"Pass", 100, 100, 300, 200, 0, 0, 0, kWindowFramed);
    auto freer = FreeingButton::Make(win);
    auto later = CountingLabel::Make(win);
    auto other = CountingLabel::Make(win);
    auto button = Button(win, 50, 50);
    freer->victims = {later, freer};
    ToolkitTest_Frame();
    EXPECT_EQ(freer->updates, 1);
    EXPECT_EQ(later->updates, 0); // freed before its turn
    EXPECT_EQ(other->updates, 1);
    EXPECT_EQ(button->Freed, 0);
    ToolkitTest_Frame();
    EXPECT_EQ(freer->updates, 1); // unlinked by the next pass
    EXPECT_EQ(other->updates, 2);
    EXPECT_EQ(win->Children.Count(), 3u); // caption, other, button
    button->Free();
    EXPECT_EQ(button->Clicked(), 0); // an owner may still poll it
    ToolkitTest_Frame();
    EXPECT_FALSE(win->Children.Contains(button));

    // Hidden, dimmed and alpha reach a child one frame late; a spinner keeps its own look.
    auto box = PNO_Checkbox::Create(win, u"Box", 10, 10, 0);
    auto value = PNO_Value::Create(win, u"V", 60, 40, 3, 1, 1, 0, 9, 1);
    ToolkitTest_Frame();
    box->Inactive = 1;
    box->Alpha = 0.5f;
    box->Hidden = 1;
    ToolkitTest_Frame();
    EXPECT_EQ(box->Caption->Hidden, 1);
    EXPECT_EQ(box->Caption->Inactive, 1);
    EXPECT_EQ(box->Caption->Alpha, 0.5f);
    value->Inactive = 1;
    value->Alpha = 0.3f;
    ToolkitTest_Frame();
    EXPECT_EQ(value->Field->Inactive, 1);
    ToolkitTest_Frame();
    EXPECT_EQ(value->Field->Alpha, 0.3f);
    win->Free();
}

TEST(ToolkitPalette, SharedColoursAndTheSkinInTheArchive) {
    ToolkitTest_Open();
    EXPECT_EQ(Paneo_Palette[0]->ToARGB(), 0xFFFFFFFFu);
    EXPECT_EQ(Paneo_Palette[1]->ToARGB(), 0xFF000000u);
    EXPECT_EQ(Paneo_Palette[44]->ToARGB(), 0xFFFFFFE1u);
    EXPECT_EQ(Paneo_Palette[57]->ToARGB(), 0xFF323232u);
    // Two labels given one palette entry share it: SetColor on one changes the entry for all.
    auto a = PNO_Label::Create(nullptr, u"a", 0, 0, 1, Paneo_Palette[13]);
    auto b = PNO_Label::Create(nullptr, u"b", 0, 0, 1, Paneo_Palette[13]);
    a->SetColor(1, 2, 3);
    EXPECT_EQ(b->Color->ToARGB(), 0xFF010203u);
    EXPECT_EQ(Paneo_Palette[13]->ToARGB(), 0xFF010203u);
    const GuiColorPtr old = Paneo_Palette[13];
    Paneo_InitColors();
    EXPECT_NE(Paneo_Palette[13], old);
    EXPECT_EQ(Paneo_Palette[13]->ToARGB(), 0xFF323232u);
    a->Free();
    b->Free();

    // Every file the toolkit loads is in the packed archive, spelt as the code spells it.
    for (const char* name : Paneo_SkinNames)
        EXPECT_TRUE(Pixmap_Load(Paneo_SkinPath(name))) << name;
    for (int style : {1, 2})
        for (int kind : {10, 20, 30}) {
            const auto c = PNO_MouseCursor::Create(kind, style);
            EXPECT_TRUE(c->Image) << Str_ToUtf8(Paneo_CursorPath(kind, style));
            EXPECT_EQ(Image_Frames(c->Image), c->FrameCount);
        }
    for (const Str& path : {Paneo_FonFontPath, Paneo_TtfFontPath, Paneo_ClickSoundPath, Paneo_AlertSoundPath})
        EXPECT_EQ(File_Type(path), 1) << Str_ToUtf8(path);
    EXPECT_TRUE(Paneo_FonFont && Paneo_TtfFont);
    EXPECT_TRUE(Paneo_LoadSound(Paneo_ClickSoundPath) && Paneo_LoadSound(Paneo_AlertSoundPath));
}

TEST(ToolkitWindows, CloseAndActivationInsideTheFrameWalkUpdateEachWindowOnce) {
    ToolkitTest_Open();
    auto b = PNO_Window::Create(u"B", 300, 50, 200, 150, 0, 0, 1, kWindowFramed);
    auto a = PNO_Window::Create(u"A", 50, 50, 200, 150, 0, 0, 0, kWindowFramed);
    auto c = PNO_Window::Create(u"C", 50, 300, 200, 150, 0, 0, 0, kWindowFramed);
    const auto la = CountingLabel::Make(a), lb = CountingLabel::Make(b), lc = CountingLabel::Make(c);
    // B is the active one but not in front: its close button frees it in the middle of the walk.
    Paneo_DeselectAllWindows();
    b->Inactive = 0;
    Paneo_ActiveWindow = b;
    Paneo_ClickActivates = 0;
    ToolkitTest_Script(Click(2, 300 + 200 - 22 + 9, 50 + 10));
    ToolkitTest_Frames(4); // frame 2: press; 3: release (clicked); 4: polled, the window frees itself
    EXPECT_EQ(lb->updates, 3);
    EXPECT_FALSE(b->Listed);
    EXPECT_FALSE(Paneo_Windows.Contains(b));
    EXPECT_EQ(la->updates, 4);
    EXPECT_EQ(lc->updates, 4);
    ToolkitTest_Frame();
    EXPECT_EQ(lb->updates, 3);
    EXPECT_EQ(la->updates, 5);

    // A click on A brings it to the front in the next frame, and it is still updated once a frame.
    Paneo_ClickActivates = 1;
    ToolkitTest_Script(Click(2, 100, 150));
    for (int f = 0; f < 4; ++f) {
        const int before = la->updates;
        ToolkitTest_Frame();
        EXPECT_EQ(la->updates, before + 1);
    }
    EXPECT_EQ(Paneo_Windows.Last(), a);
    EXPECT_EQ(a->Inactive, 0);
    EXPECT_EQ(c->Inactive, 1);
    EXPECT_EQ(Paneo_WindowUnderMouse(0), a);

    // While a requester runs, clicks do not activate.
    Paneo_ClickActivates = 0;
    ToolkitTest_Script(Click(2, 100, 350));
    ToolkitTest_Frames(4);
    EXPECT_EQ(Paneo_ActiveWindow, c);
    EXPECT_EQ(c->Inactive, 1);
    EXPECT_EQ(Paneo_Windows.Last(), a);
    Paneo_ClickActivates = 1;

    // When the last ordinary window goes, the root becomes active again.
    a->Free();
    c->Free();
    ToolkitTest_Frame();
    EXPECT_EQ(Paneo_ActiveWindow, Paneo_RootWindow);
    EXPECT_EQ(Paneo_RootWindow->Inactive, 0);
}

TEST(ToolkitWindows, DragLockAndMinimise) {
    ToolkitTest_Open();
    auto w = PNO_Window::Create(u"Drag", 100, 100, 300, 200, 1, 1, 1, kWindowFramed);
    auto inside = Button(w, 10, 10);
    // Drag by the title from (200, 110) to (260, 150).
    ToolkitTest_Script("2 mouse 200 110\n2 down 1\n4 mouse 230 130\n6 mouse 260 150\n8 up 1\n");
    ToolkitTest_Frames(10);
    EXPECT_EQ(w->X, 160);
    EXPECT_EQ(w->Y, 140);
    EXPECT_EQ(Paneo_WindowDragging, 0);
    // The minimise button's place is not part of the drag zone.
    const int mx = w->X + 300 - 42 + 5, my = w->Y + 8;
    ToolkitTest_Script("2 mouse " + std::to_string(mx) + " " + std::to_string(my) + "\n2 down 1\n4 mouse " +
                       std::to_string(mx + 30) + " " + std::to_string(my + 30) + "\n5 mouse " + std::to_string(mx) +
                       " " + std::to_string(my) + "\n6 up 1\n");
    ToolkitTest_Frames(8);
    EXPECT_EQ(w->X, 160);
    EXPECT_EQ(w->Minimized, 1); // the press and release on it minimised the window
    EXPECT_EQ(inside->Hidden, 1);
    EXPECT_EQ(w->Caption->Hidden, 0);
    EXPECT_EQ(w->CloseButton->Hidden, 0);
    w->ToggleMinimize();
    EXPECT_EQ(inside->Hidden, 0);
    // Locked: no drag, and the drag offsets stay as they were.
    w->ToggleLock();
    const int offX = w->DragOffsetX;
    ToolkitTest_Script("2 mouse 250 150\n2 down 1\n4 mouse 300 200\n6 up 1\n");
    ToolkitTest_Frames(8);
    EXPECT_EQ(w->X, 160);
    EXPECT_EQ(w->DragOffsetX, offX);
    w->Free();
    // A window narrower than its two title ends still builds and draws.
    auto thin = PNO_Window::Create(u"", 10, 10, 20, 60, 0, 0, 1, kWindowFramed);
    ToolkitTest_Frame();
    EXPECT_TRUE(thin->TitleImages[1]);
    thin->Free();
}

TEST(ToolkitFrame, TooltipCursorAndFont) {
    ToolkitTest_Open();
    // A tooltip near the bottom-right corner ends exactly at the screen's edges.
    ToolkitTest_Script("1 mouse 790 590\n");
    ToolkitTest_Frame();
    Draw_Cls();
    Paneo_TooltipAlpha = 1;
    Paneo_DrawTooltip(u"A rather long tooltip text", 0.0025f);
    EXPECT_EQ(Paneo_TooltipAlpha, 1.0f); // never above 1
    const int w = Text_Width(u"A rather long tooltip text") + 10, h = Paneo_FontHeight + 2;
    EXPECT_EQ(TestCanvas_Pixel(799, 599), 0x141414u);
    EXPECT_EQ(TestCanvas_Pixel(800 - w, 600 - h), 0x141414u);
    EXPECT_EQ(TestCanvas_Pixel(800 - w - 1, 599), 0u);
    EXPECT_EQ(TestCanvas_Pixel(799, 600 - h - 1), 0u);
    EXPECT_EQ(TestCanvas_Pixel(800 - w + 2, 600 - h + 2) >> 16, 255u);
    EXPECT_EQ(Draw_GetImageFont(), Paneo_TtfFont);

    // The hover delay: nothing for 450 ms, then a fade-in; moving off and back starts again from 0.
    auto b = Button(nullptr, 600, 500);
    b->Tooltip = u"Tip";
    const int bx = 600 + 10, by = 500 + 21 + 5;
    const std::string on = std::to_string(bx) + " " + std::to_string(by) + "\n";
    ToolkitTest_Script("1 mouse 10 10\n3 mouse " + on + "60 mouse 10 10\n62 mouse " + on);
    ToolkitTest_Frames(20);
    EXPECT_EQ(b->State, 1);
    EXPECT_EQ(Paneo_TooltipAlpha, 0.0f);
    ToolkitTest_Frames(30);
    EXPECT_GT(Paneo_TooltipAlpha, 0.0f);
    EXPECT_LT(Paneo_TooltipAlpha, 0.1f);
    ToolkitTest_Frames(15);
    EXPECT_EQ(Paneo_TooltipAlpha, 0.0f);
    ToolkitTest_Frame();
    EXPECT_EQ(Draw_GetImageFont(), Paneo_TtfFont); // the frame leaves the toolkit's font current
    b->Free();

    // Cursors: style 1's normal cursor runs 0..8 and wraps, at most one frame per drawn frame.
    Paneo_Cursors[0] = PNO_MouseCursor::Create(10, 1);
    auto& cur = *Paneo_Cursors[0];
    std::vector<int> seen;
    for (int i = 0; i < 12; ++i) {
        Sys_Delay(500);
        PNO_MouseCursor::Draw(kCursorNormal);
        seen.push_back(cur.Frame);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 0, 1, 2, 3}));
    const auto none = PNO_MouseCursor::Create(50, 1);
    EXPECT_FALSE(none->Image);
    EXPECT_EQ(none->FrameCount, 0);
    Draw_SetAlpha(0.3f);
    PNO_MouseCursor::Draw(kCursorNone);
    EXPECT_EQ(Draw_GetBlend(), 1);
    EXPECT_EQ(Draw_GetAlpha(), 1.0f);
}

} // namespace
