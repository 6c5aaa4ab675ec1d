#include "menus/menus.h"
#include "editor/editor.h"
