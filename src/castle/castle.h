// The castles' public header for what the other subsystems read: the castle names, the castle just completed and
// the shop's buttons. Defined by the castles (src/castle; stand-ins in castle_stub.cpp until they land); read by the
// menus' boxes.
#pragma once

#include <array>
#include <cstdint>

#include "main/gui_button.h"
#include "platform/strings.h"

constexpr int kShopButtons = 13;
extern const std::array<Str, 7> Castle_Names;            // the castle names by castle number 0..6
extern int32_t Castle_JustCompleted;                     // the castle the last Castle.Completed finished
extern std::array<GUIBtnPtr, kShopButtons> Shop_Buttons; // the shop's buttons (null until the shop is built)
