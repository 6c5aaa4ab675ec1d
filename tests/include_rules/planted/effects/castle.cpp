#include "castle/castle.h"
#include "board/rules.h"
