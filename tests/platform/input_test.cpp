// Keyboard and mouse through SDL events pushed as a real device would send them: hit counts and clearing, key
// repeat, the virtual-key table, generic modifiers, the typed-character queue, flushes, mouse buttons, wheel and
// canvas coordinates. Tests src/platform/input.cpp and keymap.cpp.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/keymap.h"
#include "platform/system.h"
#include "sdl_push.h"

namespace {

using namespace sdl_push;

class InputTest : public ::testing::Test {
  protected:
    void SetUp() override { Fresh(); }
};

std::vector<int> DrainChars() {
    std::vector<int> out;
    for (int c = Key_GetChar(); c != 0; c = Key_GetChar())
        out.push_back(c);
    return out;
}

TEST_F(InputTest, KeyHitCountsPressesUntilAskedAndIgnoresRepeat) {
    Key(SDL_SCANCODE_A, SDLK_a, true);
    Key(SDL_SCANCODE_A, SDLK_a, true, /*repeat=*/true);
    Key(SDL_SCANCODE_A, SDLK_a, true, true);
    Pump();
    EXPECT_TRUE(Key_Down(VK::KEY_A));
    Key(SDL_SCANCODE_A, SDLK_a, false);
    Key(SDL_SCANCODE_A, SDLK_a, true);
    Pump();
    EXPECT_EQ(Key_Hit(VK::KEY_A), 2) << "two presses, repeats not counted";
    EXPECT_EQ(Key_Hit(VK::KEY_A), 0) << "asking clears";
    EXPECT_TRUE(Key_Down(VK::KEY_A));
    Key(SDL_SCANCODE_A, SDLK_a, false);
    Pump();
    EXPECT_FALSE(Key_Down(VK::KEY_A));
    EXPECT_EQ(Key_Hit(VK::KEY_A), 0);
    // Codes outside 0..255 are no keys at all.
    EXPECT_EQ(Key_Hit(-1), 0);
    EXPECT_FALSE(Key_Down(256));
}

struct KeyCase {
    SDL_Scancode scancode;
    SDL_Keycode keycode;
    int vk;
};

TEST_F(InputTest, VirtualKeyCodesOfTheKeysTheGameReads) {
    const KeyCase cases[] = {
        {SDL_SCANCODE_A, SDLK_a, 65},
        {SDL_SCANCODE_E, SDLK_e, 69},
        {SDL_SCANCODE_Z, SDLK_y, 89}, // German layout: the key right of T types y
        {SDL_SCANCODE_Q, 0x439, 81},  // Cyrillic layout: no Latin letter, the position counts
        {SDL_SCANCODE_1, SDLK_1, 49},
        {SDL_SCANCODE_0, SDLK_0, 48},
        {SDL_SCANCODE_1, SDLK_AMPERSAND, 49}, // French layout: digits need Shift, the row still gives 1
        {SDL_SCANCODE_F1, SDLK_F1, 112},
        {SDL_SCANCODE_F2, SDLK_F2, 113},
        {SDL_SCANCODE_F12, SDLK_F12, 123},
        {SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, 8},
        {SDL_SCANCODE_TAB, SDLK_TAB, 9},
        {SDL_SCANCODE_RETURN, SDLK_RETURN, 13},
        {SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, 13},
        {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, 27},
        {SDL_SCANCODE_SPACE, SDLK_SPACE, 32},
        {SDL_SCANCODE_PAGEUP, SDLK_PAGEUP, 33},
        {SDL_SCANCODE_PAGEDOWN, SDLK_PAGEDOWN, 34},
        {SDL_SCANCODE_END, SDLK_END, 35},
        {SDL_SCANCODE_HOME, SDLK_HOME, 36},
        {SDL_SCANCODE_LEFT, SDLK_LEFT, 37},
        {SDL_SCANCODE_UP, SDLK_UP, 38},
        {SDL_SCANCODE_RIGHT, SDLK_RIGHT, 39},
        {SDL_SCANCODE_DOWN, SDLK_DOWN, 40},
        {SDL_SCANCODE_INSERT, SDLK_INSERT, 45},
        {SDL_SCANCODE_DELETE, SDLK_DELETE, 46},
        {SDL_SCANCODE_KP_0, SDLK_KP_0, 96},
        {SDL_SCANCODE_KP_9, SDLK_KP_9, 105},
        {SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, 160},
        {SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, 161},
        {SDL_SCANCODE_LCTRL, SDLK_LCTRL, 162},
        {SDL_SCANCODE_RCTRL, SDLK_RCTRL, 163},
        {SDL_SCANCODE_LALT, SDLK_LALT, 164},
        {SDL_SCANCODE_RALT, SDLK_MODE, 165}, // AltGr
        {SDL_SCANCODE_SEMICOLON, 0xF6, 186}, // German layout: ö sits where US has ';'
    };
    for (const KeyCase& k : cases) {
        SCOPED_TRACE(SDL_GetScancodeName(k.scancode));
        Key(k.scancode, k.keycode, true);
        Pump();
        EXPECT_TRUE(Key_Down(k.vk));
        EXPECT_EQ(Key_Hit(k.vk), 1);
        Key(k.scancode, k.keycode, false);
        Pump();
        EXPECT_FALSE(Key_Down(k.vk));
        Keys_Flush();
    }
}

// Every code the harness can type must come back as itself (generic modifiers as their left key), so the table has
// no key mapped twice or pointing at the wrong code.
TEST(KeymapTable, EveryScriptableCodeRoundTrips) {
    int known = 0;
    for (int vk = 1; vk < VK::COUNT; ++vk) {
        SDL_Scancode sc;
        SDL_Keycode kc;
        if (!Vk_ToSdl(vk, sc, kc)) continue;
        ++known;
        const int want = vk == VK::SHIFT     ? VK::LSHIFT
                         : vk == VK::CONTROL ? VK::LCONTROL
                         : vk == VK::MENU    ? VK::LMENU
                                             : vk;
        EXPECT_EQ(Vk_FromSdl(sc, kc), want) << "code " << vk;
    }
    EXPECT_GE(known, 100);
    SDL_Scancode sc;
    SDL_Keycode kc;
    EXPECT_FALSE(Vk_ToSdl(0, sc, kc));
    EXPECT_FALSE(Vk_ToSdl(255, sc, kc));
}

TEST_F(InputTest, GenericShiftCtrlAltFollowEitherSide) {
    Key(SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, true);
    Key(SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, true);
    Key(SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, false);
    Pump();
    EXPECT_TRUE(Key_Down(VK::SHIFT)) << "right Shift still held";
    EXPECT_EQ(Key_Hit(VK::SHIFT), 2);
    Key(SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, false);
    Pump();
    EXPECT_FALSE(Key_Down(VK::SHIFT));

    Key(SDL_SCANCODE_RCTRL, SDLK_RCTRL, true);
    Key(SDL_SCANCODE_RALT, SDLK_MODE, true);
    Pump();
    EXPECT_TRUE(Key_Down(VK::CONTROL));
    EXPECT_TRUE(Key_Down(VK::RCONTROL));
    EXPECT_FALSE(Key_Down(VK::LCONTROL));
    EXPECT_TRUE(Key_Down(VK::MENU));
    EXPECT_TRUE(Key_Down(VK::RMENU));
    EXPECT_EQ(Key_Hit(VK::MENU), 1);
}

TEST_F(InputTest, TypedCharactersComeFromTextAndFromControlKeys) {
    Text("M\xC3\xBCller");    // "Müller"
    Text("\xC3\xA4");         // "ä"
    Text("\xE2\x82\xAC");     // "€", beyond Latin-1: queued as it is
    Text("\xF0\x9F\x98\x80"); // U+1F600, beyond 16 bits: a surrogate pair
    Text(" ");
    Tap(SDL_SCANCODE_RETURN);
    Tap(SDL_SCANCODE_KP_ENTER);
    Tap(SDL_SCANCODE_BACKSPACE);
    Key(SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, true, /*repeat=*/true); // a held Backspace keeps deleting
    Tap(SDL_SCANCODE_ESCAPE);
    Tap(SDL_SCANCODE_TAB);
    // Keys that type nothing: Delete (a 127 would end up in names), arrows, Home, F1, letters without text.
    Tap(SDL_SCANCODE_DELETE);
    Tap(SDL_SCANCODE_LEFT);
    Tap(SDL_SCANCODE_RIGHT);
    Tap(SDL_SCANCODE_HOME);
    Tap(SDL_SCANCODE_F1);
    Tap(SDL_SCANCODE_A);
    Pump();
    const std::vector<int> want = {'M',    0xFC, 'l', 'l', 'e', 'r', 0xE4, 0x20AC, 0xD83D,
                                   0xDE00, ' ',  13,  13,  8,   8,   27,   9};
    EXPECT_EQ(DrainChars(), want);
    EXPECT_EQ(Key_GetChar(), 0);
}

TEST_F(InputTest, BrokenUtf8TypesReplacementCharacters) {
    Text("a\xC3(b\x80");
    Pump();
    const std::vector<int> want = {'a', 0xFFFD, '(', 'b', 0xFFFD};
    EXPECT_EQ(DrainChars(), want);
}

TEST_F(InputTest, FullCharacterQueueKeepsTheOldest) {
    for (int i = 0; i < 30; ++i)
        Text("abcdefghij"); // 300 characters
    Pump();
    const std::vector<int> got = DrainChars();
    ASSERT_EQ(got.size(), 256u);
    EXPECT_EQ(got.front(), 'a');
    EXPECT_EQ(got.back(), 'f'); // the 256th: 25 full rounds of ten, then six more
}

TEST_F(InputTest, FlushesClearCountsAndQueueButNotHeldState) {
    Key(SDL_SCANCODE_SPACE, SDLK_SPACE, true);
    Text("xy");
    Button(SDL_BUTTON_LEFT, true, 10, 10);
    Pump();
    Keys_Flush();
    EXPECT_EQ(Key_Hit(VK::SPACE), 0);
    EXPECT_EQ(Key_GetChar(), 0);
    EXPECT_TRUE(Key_Down(VK::SPACE));
    EXPECT_EQ(Mouse_Hit(1), 1) << "Keys_Flush leaves the mouse alone";

    Button(SDL_BUTTON_RIGHT, true, 10, 10);
    Pump();
    Mouse_Flush();
    EXPECT_EQ(Mouse_Hit(2), 0);
    EXPECT_TRUE(Mouse_Down(2));

    Key(SDL_SCANCODE_E, SDLK_e, true);
    Text("z");
    Button(SDL_BUTTON_MIDDLE, true, 10, 10);
    Pump();
    Input_Flush();
    EXPECT_EQ(Key_Hit(VK::KEY_A + 4), 0);
    EXPECT_EQ(Key_GetChar(), 0);
    EXPECT_EQ(Mouse_Hit(3), 0);
    EXPECT_TRUE(Key_Down(VK::KEY_A + 4));
    EXPECT_TRUE(Mouse_Down(3));
}

TEST_F(InputTest, MouseButtonsAreNumberedLeftRightMiddle) {
    struct {
        Uint8 sdl;
        int game;
    } const buttons[] = {{SDL_BUTTON_LEFT, 1}, {SDL_BUTTON_RIGHT, 2}, {SDL_BUTTON_MIDDLE, 3}};
    for (const auto& b : buttons) {
        SCOPED_TRACE(b.game);
        Button(b.sdl, true, 5, 6);
        Button(b.sdl, false, 5, 6);
        Button(b.sdl, true, 5, 6);
        Pump();
        EXPECT_TRUE(Mouse_Down(b.game));
        EXPECT_EQ(Mouse_Hit(b.game), 2);
        EXPECT_EQ(Mouse_Hit(b.game), 0);
        for (int other = 1; other <= 3; ++other) {
            if (other != b.game) {
                EXPECT_FALSE(Mouse_Down(other));
            }
        }
        Button(b.sdl, false, 5, 6);
        Pump();
        EXPECT_FALSE(Mouse_Down(b.game));
    }
    Button(SDL_BUTTON_X1, true);
    Pump();
    for (int b = 0; b <= 5; ++b)
        EXPECT_EQ(Mouse_Hit(b), 0);
}

// The press and release counts are the only record of a tap that starts and ends between two looks; no reader
// (hit counts, flushes, a reset) may clear them, and letting go of a button on focus loss is not a release.
TEST_F(InputTest, PressAndReleaseCountsSurviveAskingFlushingAndResets) {
    const int p0 = Mouse_PressCount(1), r0 = Mouse_ReleaseCount(1), p2 = Mouse_PressCount(2);
    Button(SDL_BUTTON_LEFT, true, 5, 6);
    Button(SDL_BUTTON_LEFT, false, 5, 6); // a tap inside one frame
    Button(SDL_BUTTON_LEFT, true, 5, 6);
    Pump();
    EXPECT_TRUE(Mouse_Down(1));
    EXPECT_EQ(Mouse_PressCount(1) - p0, 2);
    EXPECT_EQ(Mouse_ReleaseCount(1) - r0, 1);
    EXPECT_EQ(Mouse_PressCount(2), p2) << "counts are per button";
    EXPECT_EQ(Mouse_Hit(1), 2);
    Input_Flush();
    Input_Reset();
    EXPECT_EQ(Mouse_PressCount(1) - p0, 2) << "asking, flushing and resetting leave the counts";
    EXPECT_EQ(Mouse_ReleaseCount(1) - r0, 1);

    Button(SDL_BUTTON_LEFT, true, 5, 6);
    Pump();
    Window(SDL_WINDOWEVENT_FOCUS_LOST);
    Pump();
    EXPECT_FALSE(Mouse_Down(1));
    Button(SDL_BUTTON_LEFT, false, 5, 6); // the late up of the button the focus loss let go
    Pump();
    EXPECT_EQ(Mouse_PressCount(1) - p0, 3);
    EXPECT_EQ(Mouse_ReleaseCount(1) - r0, 1) << "nothing was held, so nothing was released";
    EXPECT_EQ(Mouse_PressCount(0), 0);
    EXPECT_EQ(Mouse_ReleaseCount(4), 0);
}

// A layer over the game (the window toolkit) takes the presses on its left half: they and their releases are its
// alone, whatever the pointer or the capture does before the release; the game's reads and edges see only the rest.
TEST_F(InputTest, ACapturedPressAndItsReleaseNeverReachTheGame) {
    static bool claim;
    claim = true;
    Mouse_SetCapture([](int x, int) { return claim && x < 400; });
    struct Uncapture {
        ~Uncapture() { Mouse_SetCapture(nullptr); }
    } uncapture;
    const int p0 = Mouse_PressCount(1), r0 = Mouse_ReleaseCount(1), p2 = Mouse_PressCount(2);
    const int a0 = Mouse_AllPressCount(1), ar0 = Mouse_AllReleaseCount(1);

    // Pressed on the layer, dragged off it, the capture given up, then released: none of it is the game's.
    Button(SDL_BUTTON_LEFT, true, 100, 100);
    Pump();
    EXPECT_TRUE(Mouse_Held(1));
    EXPECT_FALSE(Mouse_Down(1));
    Sys_OnFlip();
    EXPECT_FALSE(Mouse_WasDown(1));
    claim = false;
    Button(SDL_BUTTON_LEFT, false, 600, 100);
    Pump();
    EXPECT_EQ(Mouse_Hit(1), 0);
    EXPECT_EQ(Mouse_PressCount(1) - p0, 0);
    EXPECT_EQ(Mouse_ReleaseCount(1) - r0, 0);
    EXPECT_EQ(Mouse_AllPressCount(1) - a0, 1);
    EXPECT_EQ(Mouse_AllReleaseCount(1) - ar0, 1);

    // Pressed beside the layer, then released over it while it claims again: the whole click is the game's.
    Button(SDL_BUTTON_LEFT, true, 600, 100);
    Pump();
    claim = true;
    EXPECT_TRUE(Mouse_Down(1));
    Sys_OnFlip();
    EXPECT_TRUE(Mouse_WasDown(1));
    Button(SDL_BUTTON_LEFT, false, 100, 100);
    // The other buttons are captured too; a tap on the layer inside one frame leaves no hit behind.
    Button(SDL_BUTTON_RIGHT, true, 399, 0);
    Button(SDL_BUTTON_RIGHT, false, 399, 0);
    Button(SDL_BUTTON_MIDDLE, true, 400, 0);
    Pump();
    EXPECT_EQ(Mouse_Hit(1), 1);
    EXPECT_EQ(Mouse_PressCount(1) - p0, 1);
    EXPECT_EQ(Mouse_ReleaseCount(1) - r0, 1);
    EXPECT_EQ(Mouse_AllPressCount(1) - a0, 2);
    EXPECT_EQ(Mouse_Hit(2), 0);
    EXPECT_EQ(Mouse_PressCount(2), p2);
    EXPECT_EQ(Mouse_Hit(3), 1) << "x 400 is beside the layer";

    // A focus loss ends a captured hold without counting a release; the next press is judged afresh.
    Button(SDL_BUTTON_LEFT, true, 10, 10);
    Pump();
    Window(SDL_WINDOWEVENT_FOCUS_LOST);
    Pump();
    EXPECT_FALSE(Mouse_Held(1));
    claim = false;
    Button(SDL_BUTTON_LEFT, true, 10, 10);
    Pump();
    EXPECT_TRUE(Mouse_Down(1));
    EXPECT_EQ(Mouse_Hit(1), 1);
}

TEST_F(InputTest, FramesKeepLastFramesStateAndTheHarnessReadsTheSameCounter) {
    EXPECT_EQ(Input_Frame(), 1);
    Button(SDL_BUTTON_LEFT, true, 5, 6);
    Pump();
    EXPECT_TRUE(Mouse_Down(1));
    EXPECT_FALSE(Mouse_WasDown(1)); // pressed in this frame
    Sys_OnFlip();                   // frame 2 starts
    EXPECT_EQ(Input_Frame(), 2);
    EXPECT_EQ(Harness_FrameNumber(), Input_Frame());
    EXPECT_TRUE(Mouse_WasDown(1));
    Button(SDL_BUTTON_LEFT, false, 5, 6);
    Pump();
    EXPECT_FALSE(Mouse_Down(1));
    EXPECT_TRUE(Mouse_WasDown(1)); // released in this frame: held when the last one ended
    Sys_OnFlip();
    EXPECT_FALSE(Mouse_WasDown(1));
    HarnessConfig c;
    c.headless = true;
    Harness_Configure(c); // a fresh configuration starts again at frame 1
    EXPECT_EQ(Input_Frame(), 1);
}

TEST_F(InputTest, WheelGrowsWhenRolledAwayFromTheUser) {
    Wheel(1);
    Wheel(2);
    Pump();
    EXPECT_EQ(Mouse_Z(), 3);
    Wheel(-1);
    Wheel(1, /*flipped=*/true); // "natural scrolling": SDL reports it inverted
    Pump();
    EXPECT_EQ(Mouse_Z(), 1);
    Mouse_Flush();
    EXPECT_EQ(Mouse_Z(), 1) << "the wheel is a position, a flush keeps it";
}

class InputWindowTest : public InputTest {
  protected:
    void SetUp() override {
        InputTest::SetUp();
        ASSERT_TRUE(Graphics_Open(800, 600, true));
    }
    void TearDown() override { Graphics_Close(); }
};

TEST_F(InputWindowTest, PointerIsInCanvasPixelsWhateverTheWindowSize) {
    SDL_SetWindowSize(Sdl_Window(), 1600, 1200);
    Pump(); // the renderer learns the new size
    Motion(800, 600);
    Pump();
    EXPECT_EQ(Mouse_X(), 400);
    EXPECT_EQ(Mouse_Y(), 300);
    Button(SDL_BUTTON_LEFT, true, 1598, 2);
    Pump();
    EXPECT_EQ(Mouse_X(), 799);
    EXPECT_EQ(Mouse_Y(), 1);
    // Outside the canvas (the letterbox bars) is held at its edge.
    Motion(-40, 5000);
    Pump();
    EXPECT_EQ(Mouse_X(), 0);
    EXPECT_EQ(Mouse_Y(), 599);
}

TEST_F(InputWindowTest, MouseMoveSetsThePositionAtOnce) {
    SDL_SetWindowSize(Sdl_Window(), 1600, 1200);
    Pump();
    Mouse_Move(123, 456);
    EXPECT_EQ(Mouse_X(), 123);
    EXPECT_EQ(Mouse_Y(), 456);
    Pump(); // nothing the move caused may shift the position
    EXPECT_EQ(Mouse_X(), 123);
    EXPECT_EQ(Mouse_Y(), 456);
    Mouse_Move(900, -3);
    EXPECT_EQ(Mouse_X(), 799);
    EXPECT_EQ(Mouse_Y(), 0);
}

TEST_F(InputWindowTest, HideAndShowThePointer) {
    Mouse_Hide();
    EXPECT_FALSE(Mouse_Visible());
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    Mouse_Show();
    EXPECT_TRUE(Mouse_Visible());
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

} // namespace
