// The game's small shared helpers: diagnostic lines, time text, the active view port and the window mode, and the
// shared state of the main loop (terminate flag, desktop size). Called by every subsystem; the runtime
// (src/main/runtime) runs the start-up and the loop itself.
#include "main/runtime.h"

#include "main/config.h"
#include "main/screens.h"
#include "platform/graphics.h"
#include "platform/system.h"

ViewPortRect activeViewPort = {0, 0, Screen_Width, Screen_Height};
int32_t Quit_Requested = 0;
int32_t Desktop_Width = 0;
int32_t Desktop_Height = 0;

Str Time_FormatHMS(int32_t seconds) {
    if (seconds < 0) seconds = 0;
    const int32_t h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
    const auto two = [](int32_t v) { return (v < 10 ? Str(u"0") : Str()) + Str_FromInt(v); };
    if (h > 0) return Str_FromInt(h) + u":" + two(m) + u":" + two(s);
    return two(m) + u":" + two(s);
}

void ViewPort(int32_t x, int32_t y, int32_t w, int32_t h) {
    activeViewPort = {x, y, w, h};
    Draw_SetViewport(x, y, w, h);
}

void Window_ToggleMode() {
    Windowed_Mode = Windowed_Mode == 1 ? 0 : 1;
    if (Graphics_IsOpen()) Graphics_SetWindowed(Windowed_Mode == 1);
    Config_SetValue(u"WINDOWED_MODE", Str_FromInt(Windowed_Mode));
}
