// Do-nothing stand-ins for the widgets, fonts and texts of the runtime until they land (fonts.*, texts.*, assets.*).
// Linked into bq_main; the start-up calls them through main/entry_points.h.
// Landing: define a function in your own source and delete it here; delete this file when it is empty.
#include "main/entry_points.h"

void Images_LoadAll() { EffectImages_Load(); }
void Fonts_Load() {}
void Texts_SetGerman() {}
void Texts_SetEnglish() {}
