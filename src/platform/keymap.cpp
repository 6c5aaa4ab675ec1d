// Windows virtual-key codes for SDL keys: one table of (scancode, code) pairs walked both ways. Called by the input
// module for every key event and by the harness when it turns scripted key codes into events.
#include "platform/keymap.h"

#include <iterator>

#include "platform/input.h"

namespace {

struct KeyPair {
    SDL_Scancode scancode;
    int vk;
};

// Everything but the letters A..Z, which are matched by keycode first. Generic Shift/Ctrl/Alt (16, 17, 18) are
// derived from their left and right keys by the input module.
constexpr KeyPair kKeys[] = {
    {SDL_SCANCODE_BACKSPACE, VK::BACK},
    {SDL_SCANCODE_TAB, VK::TAB},
    {SDL_SCANCODE_RETURN, VK::RETURN},
    {SDL_SCANCODE_RETURN2, VK::RETURN},
    {SDL_SCANCODE_KP_ENTER, VK::RETURN},
    {SDL_SCANCODE_PAUSE, VK::PAUSE},
    {SDL_SCANCODE_CAPSLOCK, VK::CAPITAL},
    {SDL_SCANCODE_ESCAPE, VK::ESCAPE},
    {SDL_SCANCODE_SPACE, VK::SPACE},
    {SDL_SCANCODE_PAGEUP, VK::PRIOR},
    {SDL_SCANCODE_PAGEDOWN, VK::NEXT},
    {SDL_SCANCODE_END, VK::END},
    {SDL_SCANCODE_HOME, VK::HOME},
    {SDL_SCANCODE_LEFT, VK::LEFT},
    {SDL_SCANCODE_UP, VK::UP},
    {SDL_SCANCODE_RIGHT, VK::RIGHT},
    {SDL_SCANCODE_DOWN, VK::DOWN},
    {SDL_SCANCODE_PRINTSCREEN, VK::SNAPSHOT},
    {SDL_SCANCODE_INSERT, VK::INSERT},
    {SDL_SCANCODE_DELETE, VK::DELETE_},
    {SDL_SCANCODE_0, 48},
    {SDL_SCANCODE_1, 49},
    {SDL_SCANCODE_2, 50},
    {SDL_SCANCODE_3, 51},
    {SDL_SCANCODE_4, 52},
    {SDL_SCANCODE_5, 53},
    {SDL_SCANCODE_6, 54},
    {SDL_SCANCODE_7, 55},
    {SDL_SCANCODE_8, 56},
    {SDL_SCANCODE_9, 57},
    {SDL_SCANCODE_LGUI, VK::LWIN},
    {SDL_SCANCODE_RGUI, VK::RWIN},
    {SDL_SCANCODE_APPLICATION, VK::APPS},
    {SDL_SCANCODE_KP_0, 96},
    {SDL_SCANCODE_KP_1, 97},
    {SDL_SCANCODE_KP_2, 98},
    {SDL_SCANCODE_KP_3, 99},
    {SDL_SCANCODE_KP_4, 100},
    {SDL_SCANCODE_KP_5, 101},
    {SDL_SCANCODE_KP_6, 102},
    {SDL_SCANCODE_KP_7, 103},
    {SDL_SCANCODE_KP_8, 104},
    {SDL_SCANCODE_KP_9, 105},
    {SDL_SCANCODE_KP_MULTIPLY, VK::MULTIPLY},
    {SDL_SCANCODE_KP_PLUS, VK::ADD},
    {SDL_SCANCODE_KP_MINUS, VK::SUBTRACT},
    {SDL_SCANCODE_KP_PERIOD, VK::DECIMAL},
    {SDL_SCANCODE_KP_DIVIDE, VK::DIVIDE},
    {SDL_SCANCODE_F1, 112},
    {SDL_SCANCODE_F2, 113},
    {SDL_SCANCODE_F3, 114},
    {SDL_SCANCODE_F4, 115},
    {SDL_SCANCODE_F5, 116},
    {SDL_SCANCODE_F6, 117},
    {SDL_SCANCODE_F7, 118},
    {SDL_SCANCODE_F8, 119},
    {SDL_SCANCODE_F9, 120},
    {SDL_SCANCODE_F10, 121},
    {SDL_SCANCODE_F11, 122},
    {SDL_SCANCODE_F12, 123},
    {SDL_SCANCODE_NUMLOCKCLEAR, VK::NUMLOCK},
    {SDL_SCANCODE_SCROLLLOCK, VK::SCROLL},
    {SDL_SCANCODE_LSHIFT, VK::LSHIFT},
    {SDL_SCANCODE_RSHIFT, VK::RSHIFT},
    {SDL_SCANCODE_LCTRL, VK::LCONTROL},
    {SDL_SCANCODE_RCTRL, VK::RCONTROL},
    {SDL_SCANCODE_LALT, VK::LMENU},
    {SDL_SCANCODE_RALT, VK::RMENU}, // AltGr on German layouts
    {SDL_SCANCODE_SEMICOLON, VK::OEM_1},
    {SDL_SCANCODE_EQUALS, VK::OEM_PLUS},
    {SDL_SCANCODE_COMMA, VK::OEM_COMMA},
    {SDL_SCANCODE_MINUS, VK::OEM_MINUS},
    {SDL_SCANCODE_PERIOD, VK::OEM_PERIOD},
    {SDL_SCANCODE_SLASH, VK::OEM_2},
    {SDL_SCANCODE_GRAVE, VK::OEM_3},
    {SDL_SCANCODE_LEFTBRACKET, VK::OEM_4},
    {SDL_SCANCODE_BACKSLASH, VK::OEM_5},
    {SDL_SCANCODE_RIGHTBRACKET, VK::OEM_6},
    {SDL_SCANCODE_APOSTROPHE, VK::OEM_7},
    {SDL_SCANCODE_NONUSBACKSLASH, VK::OEM_102},
};

} // namespace

int Vk_FromSdl(SDL_Scancode scancode, SDL_Keycode keycode) {
    if (keycode >= SDLK_a && keycode <= SDLK_z) return VK::KEY_A + (keycode - SDLK_a);
    // A letter position whose layout types no Latin letter there (Cyrillic, or AZERTY's ',' on the 'm' position):
    // keep the position.
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) return VK::KEY_A + (scancode - SDL_SCANCODE_A);
    for (const KeyPair& k : kKeys)
        if (k.scancode == scancode) return k.vk;
    return 0;
}

bool Vk_ToSdl(int vk, SDL_Scancode& scancode, SDL_Keycode& keycode) {
    if (vk >= VK::KEY_A && vk < VK::KEY_A + 26) {
        scancode = static_cast<SDL_Scancode>(SDL_SCANCODE_A + (vk - VK::KEY_A));
        keycode = SDLK_a + (vk - VK::KEY_A);
        return true;
    }
    int want = vk;
    if (vk == VK::SHIFT) want = VK::LSHIFT;
    if (vk == VK::CONTROL) want = VK::LCONTROL;
    if (vk == VK::MENU) want = VK::LMENU;
    for (const KeyPair& k : kKeys) {
        if (k.vk == want) {
            scancode = k.scancode;
            keycode = SDL_GetKeyFromScancode(k.scancode);
            if (keycode == SDLK_UNKNOWN) keycode = SDL_SCANCODE_TO_KEYCODE(k.scancode);
            return true;
        }
    }
    return false;
}
