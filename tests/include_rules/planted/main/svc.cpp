#include "main/runtime/startup.h"
#include "platform/sdl_context.h"
#include "platform/image_internal.h"
