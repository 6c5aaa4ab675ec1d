// Do-nothing stand-ins for the window toolkit until it lands.
// Library bq_toolkit; the start-up reaches it through toolkit/toolkit.h.
// Landing: define a function in your own source and delete it here; delete this file when it is empty.
#include "toolkit/toolkit.h"

TList<PNO_Window> Paneo_Windows;
void Toolkit_Init() {}
