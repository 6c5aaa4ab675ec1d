// Painters of the editor toolkit's skin (calm greys with a blue accent), its mouse cursors, and the level editor's
// piece and tile pictures. Each chooses what to draw from the file name. Named by inventory.cpp.
#include "assetgen_images/painters.h"
#include "assetgen_images/ui.h"

#include <algorithm>
#include <cmath>

namespace imagegen {

using namespace art;

namespace {
constexpr double Pi = 3.14159265358979323846;

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    return name.substr(0, name.size() - 4); // without ".png"
}
bool Has(const std::string& s, const char* part) { return s.find(part) != std::string::npos; }
bool EndsWith(const std::string& s, const char* tail) {
    const size_t n = std::char_traits<char>::length(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

// 0 normal (_un), 1 hover (_hi), 2 pressed or selected (_se)
int SkinState(const std::string& name) {
    if (EndsWith(name, "_hi")) {
        return 1;
    }
    if (EndsWith(name, "_se") || name == "Input_Select") {
        return 2;
    }
    return 0;
}

// A flat editor button face: light grey, a hover accent border, a pressed inset.
void EdFace(cairo_t* cr, double x, double y, double w, double h, double r, int state) {
    PathRoundRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, r);
    if (state == 2) {
        FillVertical(cr, y, y + h, {pal::EdFaceDark, pal::EdFace}, true);
    } else if (state == 1) {
        FillVertical(cr, y, y + h, {pal::EdFaceLight, Mix(pal::EdFace, pal::EdAccentLight, 0.35)}, true);
    } else {
        FillVertical(cr, y, y + h, {pal::EdFaceLight, pal::EdFace}, true);
    }
    Stroke(cr, state == 1 ? pal::EdAccent : pal::EdLine, 1);
}

void Triangle(cairo_t* cr, double cx, double cy, double s, double rotDeg, const Rgb& col) {
    PathPolygon(cr, cx, cy, s, 3, rotDeg);
    SetColour(cr, col);
    cairo_fill(cr);
}

void Check(cairo_t* cr, double x, double y, double s, const Rgb& col, double width) {
    cairo_move_to(cr, x + s * 0.15, y + s * 0.5);
    cairo_line_to(cr, x + s * 0.42, y + s * 0.78);
    cairo_line_to(cr, x + s * 0.88, y + s * 0.2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    Stroke(cr, col, width);
}

void Field(cairo_t* cr, double w, double h, bool active) {
    cairo_rectangle(cr, 0.5, 0.5, w - 1, h - 1);
    FillStroke(cr, pal::White, active ? pal::EdAccent : pal::EdFaceDark, 1);
    cairo_move_to(cr, 1.5, h - 1.5);
    cairo_line_to(cr, 1.5, 1.5);
    cairo_line_to(cr, w - 1.5, 1.5);
    Stroke(cr, WithAlpha(pal::Black, 0.15), 1);
}

// Small file and drive icons, 16 by 16.
void FileIcon(cairo_t* cr, const std::string& name) {
    const Rgb line = pal::EdLine;
    auto page = [&](const Rgb& fill) {
        cairo_move_to(cr, 3.5, 1.5);
        cairo_line_to(cr, 10, 1.5);
        cairo_line_to(cr, 12.5, 4);
        cairo_line_to(cr, 12.5, 14.5);
        cairo_line_to(cr, 3.5, 14.5);
        cairo_close_path(cr);
        FillStroke(cr, fill, line, 1);
    };
    if (name == "Icon_Folder") {
        cairo_move_to(cr, 1.5, 4.5);
        cairo_line_to(cr, 6, 4.5);
        cairo_line_to(cr, 7.5, 3);
        cairo_line_to(cr, 14.5, 3);
        cairo_line_to(cr, 14.5, 13.5);
        cairo_line_to(cr, 1.5, 13.5);
        cairo_close_path(cr);
        FillVertical(cr, 3, 14, {Hex(0xe8d6a8), Hex(0xc4a868)}, true);
        Stroke(cr, line, 1);
    } else if (name == "Icon_Picture") {
        cairo_rectangle(cr, 1.5, 2.5, 13, 11);
        FillStroke(cr, Hex(0xcfe3f7), line, 1);
        cairo_move_to(cr, 2, 13);
        cairo_line_to(cr, 6, 8);
        cairo_line_to(cr, 9, 11);
        cairo_line_to(cr, 11, 9);
        cairo_line_to(cr, 14, 13);
        SetColour(cr, Hex(0x4f8a4a));
        cairo_fill(cr);
        cairo_arc(cr, 11, 5.5, 1.5, 0, 2 * Pi);
        SetColour(cr, Hex(0xf0c040));
        cairo_fill(cr);
    } else if (name == "Icon_Sound") {
        cairo_move_to(cr, 6.5, 12);
        cairo_line_to(cr, 6.5, 3);
        cairo_line_to(cr, 13, 2);
        cairo_line_to(cr, 13, 11);
        Stroke(cr, line, 1.4);
        for (double x : {4.5, 11.0}) {
            cairo_arc(cr, x, x < 6 ? 12 : 11, 2.2, 0, 2 * Pi);
            SetColour(cr, pal::EdAccent);
            cairo_fill(cr);
        }
    } else if (name == "Icon_Archive") {
        cairo_rectangle(cr, 2.5, 4.5, 11, 9);
        FillVertical(cr, 4, 14, {Hex(0xd9c39a), Hex(0xa88a5a)}, true);
        Stroke(cr, line, 1);
        cairo_rectangle(cr, 1.5, 2.5, 13, 3);
        FillStroke(cr, Hex(0xc4a868), line, 1);
        cairo_rectangle(cr, 6.5, 7, 3, 2);
        SetColour(cr, line);
        cairo_fill(cr);
    } else if (name == "Icon_Document") {
        page(pal::White);
        for (double y : {5.5, 7.5, 9.5, 11.5}) {
            cairo_move_to(cr, 5, y);
            cairo_line_to(cr, 11, y);
        }
        Stroke(cr, pal::EdFaceDark, 1);
    } else if (name == "Icon_Program") {
        cairo_rectangle(cr, 1.5, 2.5, 13, 11);
        FillStroke(cr, pal::White, line, 1);
        cairo_rectangle(cr, 2, 3, 12, 3);
        SetColour(cr, pal::EdAccent);
        cairo_fill(cr);
    } else if (name == "Icon_Web" || name == "Icon_Network") {
        cairo_arc(cr, 8, 8, 5.8, 0, 2 * Pi);
        FillStroke(cr, Hex(0xcfe3f7), pal::EdAccent, 1);
        cairo_save(cr);
        cairo_translate(cr, 8, 8);
        cairo_scale(cr, 0.45, 1);
        cairo_arc(cr, 0, 0, 5.8, 0, 2 * Pi);
        cairo_restore(cr);
        cairo_move_to(cr, 2.2, 8);
        cairo_line_to(cr, 13.8, 8);
        Stroke(cr, pal::EdAccent, 0.8);
        if (name == "Icon_Network") {
            cairo_move_to(cr, 8, 13.8);
            cairo_line_to(cr, 8, 15.5);
            cairo_move_to(cr, 3, 15.5);
            cairo_line_to(cr, 13, 15.5);
            Stroke(cr, line, 1);
        }
    } else if (name == "Icon_Screen") {
        cairo_rectangle(cr, 1.5, 2.5, 13, 9);
        FillStroke(cr, Hex(0x2a3a5a), line, 1);
        cairo_rectangle(cr, 5, 12, 6, 2);
        SetColour(cr, line);
        cairo_fill(cr);
    } else if (name == "Icon_Item") {
        PathPolygon(cr, 8, 8, 4.5, 4, 0);
        SetColour(cr, pal::EdAccent);
        cairo_fill(cr);
    } else if (name == "Icon_Cdrom") {
        cairo_arc(cr, 8, 8, 6.5, 0, 2 * Pi);
        SourceLinear(cr, 2, 2, 14, 14, {{0, {0.9, 0.92, 0.97}}, {0.5, {0.75, 0.85, 0.95}}, {1, {0.85, 0.78, 0.92}}});
        cairo_fill_preserve(cr);
        Stroke(cr, line, 1);
        cairo_arc(cr, 8, 8, 1.8, 0, 2 * Pi);
        FillStroke(cr, pal::White, line, 0.8);
    } else if (name == "Icon_Floppy") {
        cairo_rectangle(cr, 2.5, 2.5, 11, 11);
        FillStroke(cr, Hex(0x4a5a78), line, 1);
        cairo_rectangle(cr, 5, 3, 6, 4);
        SetColour(cr, pal::EdFaceLight);
        cairo_fill(cr);
        cairo_rectangle(cr, 4.5, 9, 7, 4);
        SetColour(cr, pal::White);
        cairo_fill(cr);
    } else if (name == "Icon_Drive" || name == "Icon_Ramdrive") {
        cairo_rectangle(cr, 1.5, 5.5, 13, 6);
        FillVertical(cr, 5, 12, {pal::EdFaceLight, pal::EdFaceDark}, true);
        Stroke(cr, line, 1);
        cairo_rectangle(cr, 11, 8, 2, 1.5);
        SetColour(cr, name == "Icon_Ramdrive" ? pal::Emerald : pal::EdAccent);
        cairo_fill(cr);
        if (name == "Icon_Ramdrive") {
            for (double x = 3; x < 10; x += 2) {
                cairo_rectangle(cr, x, 12, 1, 2);
            }
            SetColour(cr, line);
            cairo_fill(cr);
        }
    } else { // Icon_Default
        page(pal::EdFaceLight);
    }
}

void MessageIcon(cairo_t* cr, const std::string& name) {
    TextStyle st;
    st.face = Face::SansBold;
    st.size = 20;
    st.fill = pal::White;
    if (name == "Messagebox_Ask") {
        cairo_arc(cr, 16, 16, 14, 0, 2 * Pi);
        FillVertical(cr, 2, 30, {pal::EdAccentLight, pal::EdAccent}, true);
        Stroke(cr, Darker(pal::EdAccent, 0.4), 1);
        DrawText(cr, "?", 16, 23, st);
    } else if (name == "Messagebox_Warning") {
        cairo_move_to(cr, 16, 2);
        cairo_line_to(cr, 30.5, 29);
        cairo_line_to(cr, 1.5, 29);
        cairo_close_path(cr);
        FillVertical(cr, 2, 29, {Hex(0xffe27a), Hex(0xe0a820)}, true);
        Stroke(cr, Hex(0x7a5a10), 1);
        st.fill = pal::EdText;
        DrawText(cr, "!", 16, 26, st);
    } else {
        PathPolygon(cr, 16, 16, 14.5, 8, 22.5);
        FillVertical(cr, 2, 30, {Hex(0xe86060), Hex(0xb02020)}, true);
        Stroke(cr, Hex(0x5a1010), 1);
        DrawText(cr, "!", 16, 23, st);
    }
}
} // namespace

// [SECTION] Skin ---------------------------------------------------------------------------------------------------

void PaintSkin(Canvas& c, const ImageRow& s, int) {
    cairo_t* cr = c.cr();
    const std::string name = BaseName(s.path);
    const double w = c.width(), h = c.height();
    const int state = SkinState(name);
    if (name == "Window_Body") {
        cairo_rectangle(cr, 0, 0, w, h);
        FillVertical(cr, 0, h, {pal::EdFaceLight, pal::EdFace});
        cairo_rectangle(cr, 0.5, 0.5, w - 1, h - 1);
        Stroke(cr, pal::EdLine, 1);
    } else if (Has(name, "Window_title_")) {
        const bool active = EndsWith(name, "_se");
        const Rgb top = active ? pal::EdAccentLight : pal::EdFaceLight;
        const Rgb bottom = active ? pal::EdAccent : pal::EdFaceDark;
        const bool leftEnd = Has(name, "_left"), rightEnd = Has(name, "_right");
        cairo_new_path(cr);
        if (leftEnd) {
            PathRoundRect(cr, 0, 0, w + 8, h, 5);
        } else if (rightEnd) {
            PathRoundRect(cr, -8, 0, w + 8, h, 5);
        } else {
            cairo_rectangle(cr, 0, 0, w, h);
        }
        FillVertical(cr, 0, h, {top, bottom});
        cairo_move_to(cr, 0, h - 0.5);
        cairo_line_to(cr, w, h - 0.5);
        Stroke(cr, pal::EdLine, 1);
        cairo_move_to(cr, 0, 0.5);
        cairo_line_to(cr, w, 0.5);
        Stroke(cr, WithAlpha(pal::White, 0.6), 1);
    } else if (Has(name, "Window_Lock") || Has(name, "Window_Minimize") || Has(name, "Window_Close")) {
        EdFace(cr, 1, 1, w - 2, h - 2, 3, state);
        const Rgb ink = Has(name, "Close") && state == 1 ? Hex(0xb02020) : pal::EdText;
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        if (Has(name, "Close")) {
            cairo_move_to(cr, 6, 6);
            cairo_line_to(cr, 13, 13);
            cairo_move_to(cr, 13, 6);
            cairo_line_to(cr, 6, 13);
            Stroke(cr, ink, 1.8);
        } else if (Has(name, "Minimize")) {
            cairo_move_to(cr, 6, 13);
            cairo_line_to(cr, 13, 13);
            Stroke(cr, ink, 2);
        } else {
            cairo_arc(cr, 9.5, 8, 2.6, Pi, 2 * Pi);
            Stroke(cr, ink, 1.4);
            cairo_rectangle(cr, 5.5, 8, 8, 6);
            SetColour(cr, ink);
            cairo_fill(cr);
        }
    } else if (Has(name, "Button_")) {
        // the three parts are slices of one 32-pixel button: caps 8 wide, middle 16
        Canvas whole(32, static_cast<int>(h));
        EdFace(whole.cr(), 0, 0, 32, h, 5, state);
        const double offset = Has(name, "_left") ? 0 : (Has(name, "_middle") ? -8 : -24);
        cairo_set_source_surface(cr, whole.surface(), offset, 0);
        cairo_paint(cr);
    } else if (Has(name, "Arrow_")) {
        EdFace(cr, 0, 0, w, h, 3, state);
        const double rot = Has(name, "Left") ? 180 : Has(name, "Right") ? 0 : Has(name, "Up") ? -90 : 90;
        Triangle(cr, w / 2 + (state == 2 ? 0.5 : 0), h / 2 + (state == 2 ? 0.5 : 0), 4.2, rot, pal::EdText);
    } else if (Has(name, "Checkbox_")) {
        Field(cr, w, h, false);
        if (state == 2) {
            Check(cr, 2, 2, w - 4, pal::EdAccent, 2);
        }
    } else if (Has(name, "Input_")) {
        Field(cr, w, h, state == 2);
    } else if (name == "Progress_Body") {
        Field(cr, w, h, false);
    } else if (name == "Progress_Bar") {
        cairo_rectangle(cr, 0, 0, w, h);
        FillVertical(cr, 0, h, {pal::EdAccentLight, pal::EdAccent});
    } else if (Has(name, "Combo_Symbol")) {
        EdFace(cr, 0, 0, w, h, 2, state);
        Triangle(cr, w / 2, h / 2 + 1, 4, 90, pal::EdText);
    } else if (Has(name, "Combo_Body")) {
        Field(cr, w, h, state == 2);
    } else if (Has(name, "Combo_Bar")) {
        cairo_rectangle(cr, 0, 0, w, h);
        SetColour(cr, state == 2 ? pal::EdAccent : pal::White);
        cairo_fill(cr);
    } else if (Has(name, "Scrollbar_")) {
        cairo_rectangle(cr, 0, 0, w, h);
        SetColour(cr, Mix(pal::EdFace, pal::EdFaceDark, 0.4));
        cairo_fill(cr);
        cairo_rectangle(cr, 0.5, 0.5, w - 1, h - 1);
        Stroke(cr, pal::EdFaceDark, 1);
    } else if (name == "Listbox_Body") {
        Field(cr, w, h, false);
    } else if (Has(name, "Tab_left") || Has(name, "Tab_middle") || Has(name, "Tab_right")) {
        // the three parts are slices of one 48-pixel tab with rounded top corners; a selected tab is lighter and
        // open at the bottom (it joins the page below)
        const bool selected = state == 2;
        Canvas whole(48, static_cast<int>(h));
        cairo_t* t = whole.cr();
        const double r = 4, right = 47.5, bottom = selected ? h : h - 1;
        cairo_move_to(t, 0.5, bottom);
        cairo_arc(t, 0.5 + r, 0.5 + r, r, Pi, 1.5 * Pi);
        cairo_arc(t, right - r, 0.5 + r, r, 1.5 * Pi, 2 * Pi);
        cairo_line_to(t, right, bottom);
        FillVertical(t, 0, h, {selected ? pal::EdAccentLight : pal::EdFaceLight, pal::EdFace}, true);
        Stroke(t, pal::EdLine, 1);
        if (!selected) {
            cairo_move_to(t, 0, h - 0.5);
            cairo_line_to(t, 48, h - 0.5);
            Stroke(t, pal::EdLine, 1);
        }
        const double offset = Has(name, "_left") ? 0 : (Has(name, "_middle") ? -16 : -32);
        cairo_set_source_surface(cr, whole.surface(), offset, 0);
        cairo_paint(cr);
    } else if (Has(name, "Tab_")) {
        cairo_rectangle(cr, 0, 0, w, h);
        FillVertical(cr, 0, h, {EndsWith(name, "_se") ? pal::EdAccentLight : pal::EdFaceLight, pal::EdFace});
        cairo_move_to(cr, 0, h - 0.5);
        cairo_line_to(cr, w, h - 0.5);
        Stroke(cr, pal::EdLine, 1);
    } else if (name == "Menu_Bar") {
        cairo_rectangle(cr, 0, 0, w, h);
        FillVertical(cr, 0, h, {pal::EdFaceLight, pal::EdFace});
    } else if (name == "Menu_Checkmark") {
        Check(cr, 2, 2, w - 4, pal::EdText, 1.8);
    } else if (Has(name, "Messagebox_")) {
        MessageIcon(cr, name);
    } else {
        FileIcon(cr, name);
    }
}

// [SECTION] Cursors ------------------------------------------------------------------------------------------------

void PaintCursor(Canvas& c, const ImageRow& s, int frame) {
    cairo_t* cr = c.cr();
    const double t = static_cast<double>(frame) / s.frames;
    const bool gameStyle = s.variant < 3; // style 1: gold and gem; style 2: the calm editor look
    const int kind = s.variant % 3;       // 0 normal, 1 help, 2 busy
    const Rgb fill = gameStyle ? pal::GoldLight : pal::White;
    const Rgb edge = gameStyle ? pal::Bronze : pal::EdText;
    if (kind == 2) {
        // busy: a ring of dots, the bright one going round
        const double cx = c.width() / 2.0, cy = c.height() / 2.0;
        for (int i = 0; i < 8; ++i) {
            const double a = i * 2 * Pi / 8;
            const double lit = std::fmod(8 + i - t * 8, 8.0) / 8.0;
            cairo_arc(cr, cx + std::cos(a) * 10, cy + std::sin(a) * 10, 3, 0, 2 * Pi);
            FillStroke(cr, Mix(gameStyle ? pal::Gold : pal::EdAccent, pal::EdFace, lit), edge, 0.8);
        }
        return;
    }
    // the arrow, tip at (1, 1)
    cairo_move_to(cr, 1.5, 1.5);
    cairo_line_to(cr, 1.5, 19);
    cairo_line_to(cr, 6, 15);
    cairo_line_to(cr, 9, 22);
    cairo_line_to(cr, 12, 20.5);
    cairo_line_to(cr, 9, 14);
    cairo_line_to(cr, 15, 14);
    cairo_close_path(cr);
    if (gameStyle) {
        FillVertical(cr, 1, 22, {fill, pal::Gold, pal::GoldDark}, true);
    } else {
        SetColour(cr, fill);
        cairo_fill_preserve(cr);
    }
    Stroke(cr, edge, 1.2);
    if (kind == 0) {
        // a glint that runs down the arrow's edge
        const double gy = 2 + t * 16;
        Twinkle(cr, 2.5, gy, 4, gameStyle ? pal::MagicGold : pal::EdAccentLight, 0.9);
    } else {
        TextStyle st;
        st.face = Face::SansBold;
        st.size = 13;
        st.fill = gameStyle ? pal::Sapphire : pal::EdAccent;
        st.outline = pal::White;
        st.outlineWidth = 1;
        DrawText(cr, "?", 21, 17 + std::sin(t * 2 * Pi + Pi / 4) * 2, st);
    }
}

// [SECTION] Editor pictures ----------------------------------------------------------------------------------------

void PaintEditorIcon(Canvas& c, const ImageRow& s, int) {
    cairo_t* cr = c.cr();
    const std::string name = BaseName(s.path);
    const double w = c.width(), cx = w / 2, cy = w / 2;
    const double k = w / 30.0;
    if (name.rfind("jewel", 0) == 0 || name.rfind("rune", 0) == 0) {
        // tile-set colour icons: the gem alone, or set in a dark rune stone with a gold ring
        const Gem g = static_cast<Gem>(s.variant % GemCount);
        if (name[0] == 'r') {
            cairo_arc(cr, cx, cy, 13.5 * k, 0, 2 * Pi);
            FillRadial(cr, cx - 3 * k, cy - 3 * k, 16 * k, Hex(0x5a5660), Hex(0x1a181e), true);
            Stroke(cr, pal::GoldDark, 2 * k);
            DrawGem(cr, g, cx, cy, 17 * k);
        } else {
            DrawGem(cr, g, cx, cy, 26 * k);
        }
    } else if (name == "bottle") {
        // a mana bottle (drawn on the help pages)
        cairo_move_to(cr, 12 * k, 4 * k);
        cairo_line_to(cr, 18 * k, 4 * k);
        cairo_line_to(cr, 18 * k, 11 * k);
        cairo_curve_to(cr, 26 * k, 14 * k, 27 * k, 27 * k, 15 * k, 27 * k);
        cairo_curve_to(cr, 3 * k, 27 * k, 4 * k, 14 * k, 12 * k, 11 * k);
        cairo_close_path(cr);
        FillVertical(cr, 4 * k, 27 * k, {Hex(0xd8f0ff, 0.9), pal::MagicBlue, pal::Sapphire}, true);
        Stroke(cr, pal::Outline, 1.2 * k);
        cairo_rectangle(cr, 11.5 * k, 2 * k, 7 * k, 3 * k);
        SetColour(cr, pal::Wood);
        cairo_fill(cr);
        Twinkle(cr, 11 * k, 17 * k, 5 * k, pal::White);
    } else if (name == "multicolor") {
        for (int g = 0; g < GemCount; ++g) {
            const double a0 = g * 2 * Pi / GemCount - Pi / 2, a1 = a0 + 2 * Pi / GemCount;
            cairo_move_to(cr, cx, cy);
            cairo_arc(cr, cx, cy, 12 * k, a0, a1);
            cairo_close_path(cr);
            SetColour(cr, GemColour(static_cast<Gem>(g)));
            cairo_fill(cr);
        }
        cairo_arc(cr, cx, cy, 12 * k, 0, 2 * Pi);
        Stroke(cr, pal::Outline, 1.2 * k);
        Twinkle(cr, cx - 4 * k, cy - 4 * k, 6 * k, pal::White);
    } else if (name == "tar") {
        cairo_move_to(cr, 4 * k, 22 * k);
        cairo_curve_to(cr, 2 * k, 12 * k, 10 * k, 4 * k, 16 * k, 6 * k);
        cairo_curve_to(cr, 24 * k, 4 * k, 29 * k, 14 * k, 26 * k, 22 * k);
        cairo_curve_to(cr, 20 * k, 28 * k, 10 * k, 28 * k, 4 * k, 22 * k);
        FillRadial(cr, 12 * k, 10 * k, 18 * k, Hex(0x4a4450), Hex(0x0a080c), true);
        Stroke(cr, pal::Black, 1 * k);
    } else if (name == "launcher_icon" || name == "launcher") {
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_rotate(cr, -Pi / 4);
        cairo_scale(cr, k, k);
        cairo_move_to(cr, 0, -13);
        cairo_curve_to(cr, 5, -8, 5, 2, 4, 7);
        cairo_line_to(cr, -4, 7);
        cairo_curve_to(cr, -5, 2, -5, -8, 0, -13);
        FillVertical(cr, -13, 7, {pal::StoneLight, pal::Stone}, true);
        Stroke(cr, pal::Outline, 1.2);
        cairo_move_to(cr, -3, 7);
        cairo_line_to(cr, 0, 13);
        cairo_line_to(cr, 3, 7);
        SetColour(cr, pal::Amber);
        cairo_fill(cr);
        cairo_restore(cr);
        DrawGem(cr, Gem::Red, cx + 1 * k, cy - 1 * k, 7 * k);
    } else if (name == "bottom_line") {
        cairo_arc(cr, cx, 7 * k, 5 * k, Pi, 2 * Pi);
        Stroke(cr, pal::Gold, 1.5 * k);
        DrawGem(cr, Gem::Purple, cx, 17 * k, 20 * k);
    } else if (name == "new2" || name == "new3") {
        const bool two = name == "new2";
        PathStar(cr, cx, cy, 13 * k, 6 * k, two ? 6 : 8);
        FillRadial(cr, cx, cy, 13 * k, pal::White, two ? pal::MagicBlue : pal::Amethyst, true);
        Stroke(cr, pal::Outline, 1 * k);
    } else if (name == "coin1" || name == "coin2") {
        const bool gold = name == "coin2";
        cairo_arc(cr, cx, cy, w / 2 - 1, 0, 2 * Pi);
        FillRadial(cr, cx - 2 * k, cy - 2 * k, w, gold ? pal::GoldLight : Hex(0xf4f6fa),
                   gold ? pal::GoldDark : Hex(0x7a8090), true);
        Stroke(cr, gold ? pal::Bronze : Hex(0x40444f), 1);
    } else if (name == "icon_chain1") {
        for (int i = 0; i < 2; ++i) {
            cairo_save(cr);
            cairo_translate(cr, (10 + i * 10) * k, (10 + i * 10) * k);
            cairo_rotate(cr, Pi / 4 + i * Pi / 2);
            cairo_scale(cr, 1, 0.55);
            cairo_arc(cr, 0, 0, 8 * k, 0, 2 * Pi);
            cairo_restore(cr);
            Stroke(cr, pal::Outline, 4.5 * k, true);
            Stroke(cr, Hex(0xc0c4d0), 2.5 * k);
        }
    } else if (name == "mod_antigrav") {
        DrawGem(cr, Gem::Blue, cx, 19 * k, 16 * k);
        cairo_move_to(cr, cx, 2 * k);
        cairo_line_to(cr, cx + 7 * k, 10 * k);
        cairo_line_to(cr, cx - 7 * k, 10 * k);
        cairo_close_path(cr);
        FillStroke(cr, pal::Emerald, pal::Outline, 1 * k);
    } else if (name == "icon_bomb") {
        cairo_arc(cr, 14 * k, 17 * k, 10 * k, 0, 2 * Pi);
        FillRadial(cr, 10 * k, 13 * k, 14 * k, Hex(0x6a6a7a), Hex(0x101014), true);
        Stroke(cr, pal::Black, 1 * k);
        cairo_move_to(cr, 20 * k, 9 * k);
        cairo_curve_to(cr, 23 * k, 5 * k, 25 * k, 6 * k, 26 * k, 4 * k);
        Stroke(cr, pal::Wood, 1.6 * k);
        Twinkle(cr, 26 * k, 4 * k, 5 * k, pal::Amber);
    } else if (name == "golden") {
        Glow(cr, cx, cy, 15 * k, WithAlpha(pal::MagicGold, 0.9));
        DrawGem(cr, Gem::Yellow, cx, cy, 22 * k);
    } else if (name == "icon_laser") {
        cairo_move_to(cr, 2 * k, cy);
        cairo_line_to(cr, 28 * k, cy);
        Stroke(cr, WithAlpha(pal::Ruby, 0.5), 7 * k);
        cairo_move_to(cr, 2 * k, cy);
        cairo_line_to(cr, 28 * k, cy);
        Stroke(cr, pal::White, 2 * k);
        Twinkle(cr, cx, cy, 9 * k, pal::Ruby);
    } else if (name == "frozen") {
        PathRoundRect(cr, 3 * k, 3 * k, 24 * k, 24 * k, 4 * k);
        FillVertical(cr, 3 * k, 27 * k, {WithAlpha(Hex(0xeaf8ff), 0.95), WithAlpha(Hex(0x8cc8f0), 0.9)}, true);
        Stroke(cr, Hex(0x3a78a8), 1.2 * k);
        cairo_move_to(cr, 7 * k, 8 * k);
        cairo_line_to(cr, 13 * k, 6 * k);
        Stroke(cr, pal::White, 1.5 * k);
    } else if (name == "tile_empty") {
        cairo_rectangle(cr, 1.5, 1.5, w - 3, w - 3);
        SetColour(cr, Hex(0x1a1d2a));
        cairo_fill_preserve(cr);
        const double dash[] = {2, 2};
        cairo_set_dash(cr, dash, 2, 0);
        Stroke(cr, pal::EdFaceDark, 1);
        cairo_set_dash(cr, nullptr, 0, 0);
    } else if (name == "tile_1" || name == "tile_2") {
        BevelPanel(cr, 0.5, 0.5, w - 1, w - 1, 2, name == "tile_1" ? pal::Stone : Hex(0x6a5a8a), 2, 1);
        if (name == "tile_2") {
            cairo_rectangle(cr, 3.5, 3.5, w - 7, w - 7);
            Stroke(cr, pal::Gold, 1);
        }
    }
}

} // namespace imagegen
