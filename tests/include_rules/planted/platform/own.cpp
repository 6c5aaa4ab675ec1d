#include "platform/sdl_context.h"
