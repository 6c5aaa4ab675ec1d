#include "game/startup.h"
#include "platform/sdl_context.h"
#include "platform/image_internal.h"
