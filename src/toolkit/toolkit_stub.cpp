// Do-nothing stand-ins for the window toolkit until it lands.
// Library bq_toolkit; the start-up reaches it through main/entry_points.h.
// Landing: define a function in your own source and delete it here; delete this file when it is empty.
#include "main/entry_points.h"

void Toolkit_Init() {}
