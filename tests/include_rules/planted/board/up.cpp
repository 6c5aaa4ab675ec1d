#include "menus/menus.h"
#include "board/play.h"
