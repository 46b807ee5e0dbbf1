// Draws Plumbline's artwork as PNG files into the folder given as the only
// argument (the build's `artwork` target writes into resources/). The scale
// tiles put their ticks where the rulers draw their numbers: every 100 points,
// with half and tenth marks between.
#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

namespace {
using Painter = std::function<void(cairo_t*)>;

bool write(const std::string& folder, const char* name, int w, int h, const Painter& paint)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(surface);
    paint(cr);
    cairo_destroy(cr);
    const std::string path = folder + "/" + name + ".png";
    const bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    if (!ok) std::fprintf(stderr, "could not write %s\n", path.c_str());
    return ok;
}

// A one-pixel line along a pixel row or column (PNG coordinates, y down).
void hline(cairo_t* cr, double x0, double x1, int row)
{
    cairo_rectangle(cr, x0, row, x1 - x0, 1);
    cairo_fill(cr);
}
void vline(cairo_t* cr, int col, double y0, double y1)
{
    cairo_rectangle(cr, col, y0, 1, y1 - y0);
    cairo_fill(cr);
}

// Tick length for a distance within a 100-point tile.
double tick(int d, double major, double half, double ten, double five)
{
    if (d % 100 == 0) return major;
    if (d % 50 == 0) return half;
    if (d % 10 == 0) return ten;
    if (d % 5 == 0) return five;
    return 0;
}

void roundedBox(cairo_t* cr, double x, double y, double w, double h, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void cross(cairo_t* cr, double cx, double cy, double s)
{
    cairo_set_line_width(cr, 1.5);
    cairo_move_to(cr, cx - s, cy - s);
    cairo_line_to(cr, cx + s, cy + s);
    cairo_move_to(cr, cx + s, cy - s);
    cairo_line_to(cr, cx - s, cy + s);
    cairo_stroke(cr);
}

// A handle: a grey rounded body, three grip lines in the drag part and a red
// cross in the delete part. dragFirst: the drag part comes first along the
// long side (left, or top in PNG rows).
void handle(cairo_t* cr, int w, int h, bool horizontal, bool dragFirst)
{
    roundedBox(cr, 0.5, 0.5, w - 1, h - 1, 3);
    cairo_set_source_rgb(cr, 0.88, 0.88, 0.9);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.35, 0.35, 0.4);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    const double half = (horizontal ? w : h) / 2.0;
    const double dragCentre = dragFirst ? half / 2 + 0.5 : half + half / 2 - 0.5;
    const double deleteCentre = dragFirst ? half + half / 2 - 0.5 : half / 2 + 0.5;
    // The divider between the two parts.
    cairo_set_source_rgb(cr, 0.55, 0.55, 0.6);
    if (horizontal) vline(cr, static_cast<int>(half), 2, h - 2);
    else hline(cr, 2, w - 2, static_cast<int>(half));
    cairo_set_source_rgb(cr, 0.3, 0.3, 0.35);
    for (int i = -1; i <= 1; ++i) {
        if (horizontal) vline(cr, static_cast<int>(dragCentre) + 2 * i, 4, h - 4);
        else hline(cr, 4, w - 4, static_cast<int>(dragCentre) + 2 * i);
    }
    cairo_set_source_rgb(cr, 0.8, 0.1, 0.1);
    if (horizontal) cross(cr, deleteCentre, h / 2.0, 3);
    else cross(cr, w / 2.0, deleteCentre, 3);
}

void arrowHead(cairo_t* cr, double x, double y, double dx, double dy)
{
    cairo_move_to(cr, x, y);
    cairo_line_to(cr, x - 3 * dx + 3 * dy, y - 3 * dy + 3 * dx);
    cairo_line_to(cr, x - 3 * dx - 3 * dy, y - 3 * dy - 3 * dx);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void rotateIcon(cairo_t* cr, bool vertical)
{
    cairo_set_source_rgb(cr, 0.2, 0.35, 0.7);
    cairo_set_line_width(cr, 1.6);
    cairo_arc(cr, 8, 8, 5, vertical ? 0 : -M_PI / 2, vertical ? 3 * M_PI / 2 : M_PI);
    cairo_stroke(cr);
    if (vertical) arrowHead(cr, 8, 3, 1, 0);
    else arrowHead(cr, 3, 8, 0, 1);
}

void doubleArrow(cairo_t* cr, bool vertical)
{
    cairo_set_source_rgb(cr, 0.25, 0.25, 0.3);
    cairo_set_line_width(cr, 1.4);
    if (vertical) {
        cairo_move_to(cr, 6.5, 3);
        cairo_line_to(cr, 6.5, 10);
        cairo_stroke(cr);
        arrowHead(cr, 6.5, 0.5, 0, -1);
        arrowHead(cr, 6.5, 12.5, 0, 1);
    } else {
        cairo_move_to(cr, 3, 6.5);
        cairo_line_to(cr, 10, 6.5);
        cairo_stroke(cr);
        arrowHead(cr, 0.5, 6.5, -1, 0);
        arrowHead(cr, 12.5, 6.5, 1, 0);
    }
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::string out = argv[1];
    bool ok = true;

    // Guideline handles: 27 x 14 and 14 x 27, a 13 x 13 box for each part,
    // the two boxes sharing the middle line. The vertical handle is drawn in
    // a flipped view, so its PNG rows read upwards there: the delete part,
    // nearer the screen edge, lies in the lower rows.
    ok &= write(out, "hor_mover", 27, 14, [](cairo_t* cr) { handle(cr, 27, 14, true, true); });
    ok &= write(out, "ver_mover", 14, 27, [](cairo_t* cr) { handle(cr, 14, 27, false, true); });

    ok &= write(out, "rotate_hor", 16, 16, [](cairo_t* cr) { rotateIcon(cr, false); });
    ok &= write(out, "rotate_ver", 16, 16, [](cairo_t* cr) { rotateIcon(cr, true); });
    ok &= write(out, "abortcross", 16, 16, [](cairo_t* cr) {
        cairo_arc(cr, 8, 8, 6.5, 0, 2 * M_PI);
        cairo_set_source_rgb(cr, 0.85, 0.2, 0.2);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cross(cr, 8, 8, 3);
    });
    ok &= write(out, "resize", 13, 13, [](cairo_t* cr) { doubleArrow(cr, false); });
    ok &= write(out, "resize2", 13, 13, [](cairo_t* cr) { doubleArrow(cr, true); });

    // Single rulers, 50 points thick. Horizontal tile (drawn from x = 1 every
    // 100): ticks hang from the top edge, the full tick at the tile's first
    // column, beside which the ruler writes 0, 100, 200 ...
    ok &= write(out, "horgrid", 100, 50, [](cairo_t* cr) {
        cairo_set_source_rgb(cr, 0, 0, 0);
        for (int c = 0; c < 100; ++c)
            if (double len = tick(c, 22, 10, 7, 4); len > 0) vline(cr, c, 0, len);
    });
    // Vertical tile (drawn upwards from the top edge every 100): ticks reach
    // in from the right edge, the full tick on the tile's last row, where the
    // ruler writes the distance from the top.
    ok &= write(out, "vergrid", 50, 100, [](cairo_t* cr) {
        cairo_set_source_rgb(cr, 0, 0, 0);
        for (int r = 0; r < 100; ++r)
            if (double len = tick(99 - r, 22, 10, 7, 4); len > 0) hline(cr, 50 - len, 50, r);
    });
    // Corner ruler arms: the horizontal arm's ticks rise from its bottom edge,
    // the vertical arm's reach in from its outer edge, clear of the numbers.
    ok &= write(out, "doublehorgrid", 100, 14, [](cairo_t* cr) {
        cairo_set_source_rgb(cr, 0, 0, 0);
        for (int c = 0; c < 100; ++c)
            if (double len = tick(c, 14, 9, 6, 3); len > 0) vline(cr, c, 14 - len, 14);
    });
    ok &= write(out, "doublevergrid", 23, 100, [](cairo_t* cr) {
        cairo_set_source_rgb(cr, 0, 0, 0);
        for (int r = 0; r < 100; ++r)
            if (double len = tick(r + 1, 23, 9, 6, 3); len > 0) hline(cr, 23 - len, 23, r);
    });

    // The link text view's pointing hand, 16 x 16: the index finger's tip at
    // column 5 of the top row, where the cursor's hot spot is.
    ok &= write(out, "ZAKURLTextViewHand", 16, 16, [](cairo_t* cr) {
        cairo_new_path(cr);
        cairo_move_to(cr, 3.5, 2);  // the index finger
        cairo_arc(cr, 5, 2, 1.5, M_PI, 0);
        cairo_line_to(cr, 6.5, 7);
        cairo_line_to(cr, 8, 6.5);  // knuckles of the curled fingers
        cairo_line_to(cr, 9.5, 7);
        cairo_line_to(cr, 11, 7);
        cairo_line_to(cr, 12.5, 7.5);
        cairo_line_to(cr, 14, 8);
        cairo_line_to(cr, 14.5, 12);
        cairo_line_to(cr, 12.5, 15.5);  // the wrist
        cairo_line_to(cr, 5.5, 15.5);
        cairo_line_to(cr, 1.5, 10.5);  // the thumb
        cairo_line_to(cr, 2, 9);
        cairo_line_to(cr, 3.5, 10);
        cairo_close_path(cr);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_fill_preserve(cr);
        cairo_set_line_width(cr, 1);
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_stroke(cr);
        for (double x : {8.0, 9.5, 11.0}) {
            cairo_move_to(cr, x + 0.5, 7);
            cairo_line_to(cr, x + 0.5, 10);
        }
        cairo_stroke(cr);
    });

    return ok ? 0 : 1;
}
