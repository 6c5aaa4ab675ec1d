#include "main/assets.h"
#include "platform/graphics.h"
