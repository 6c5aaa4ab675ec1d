// The castle's hook table and its do-nothing defaults (see castle.h). Filled by the runtime at start-up.
#include "castle/castle.h"
#include "platform/hooks.h"

CastleHooks Castle_HooksDefault() {
    CastleHooks h;
    Hooks_SetNothing(h.Tutorial_OnEvent0, h.Tutorial_OnEvent8, h.Tutorial_OnEvent11, h.Tutorial_OnEvent16,
                     h.Tutorial_OnGemsAdded, h.Tutorial_OnManaChanged, h.MsgBox_Shop_Open,
                     h.MsgBox_CastleCompleted_Open, h.IGMenu_Init, h.IGMenu_Update, h.IGMenu_Draw);
    h.Tutorial_OnEvent12 = [](int32_t, int32_t) -> int32_t { return 1; };
    return h;
}

CastleHooks Castle_Hooks = Castle_HooksDefault();
