#include "castle/castle_private_parts.h"
#include "effects/effects.h"
