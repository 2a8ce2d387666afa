// Drawing the grid with cairo and pango: text, cell backgrounds, lines and bars, contents, marks,
// and the screen-only layers (hints, cursor, selection, free lights). Every routine draws onto
// any cairo context at the current `scale` (draw/shape.h); the caller chooses the surface, its
// translation and what to clear, so the window only composites what these routines draw.
#pragma once

#include <cairo.h>

#include <string>

#include "draw/shape.h"
#include "grid/zyn.h"

// The drawing in progress: device units per grid unit, the width of the thin grid lines and the
// arc tolerance. On screen all three follow the zoom; a picture uses its square size, with the
// thin lines as the start-up zoom shows them, so that no picture depends on the zoom.
struct drawscope {
  explicit drawscope(double s, bool screen);  // screen: s is squarepx
  ~drawscope();
  drawscope(const drawscope&) = delete;
  drawscope& operator=(const drawscope&) = delete;
};
extern double hairpx;  // device units per grid unit that make a thin line one device unit wide

void setrgb(cairo_t* cr, unsigned colour);  // 0xRRGGBB, opaque

// Text. The layout is prepared for cr at height `size` grid units in style fontstyle (bit 0
// bold, bit 1 italic); textbaseline is then its baseline offset in grid units.
extern double textbaseline;
void setfonttext(cairo_t* cr, const char* text, double size, int fontstyle);
double textwidth();  // of the prepared layout, in grid units
void showtext(cairo_t* cr);
// Draw text centred on grid point x with its baseline at y, h grid units high; one character
// at a time, 0.8 h apart, when ocm is set.
void ctext(int fontstyle, int ocm, double x, double y, double h, cairo_t* cr, const char* text);
// The pango and cairo lines of the -D start-up trace.
void printdrawversions();

// Cells.
// The characters of one slot of a square as shown: each position's character, a space where
// several are possible, "?" where none is.
std::string slottext(const square& sq, int slot);
void drawcellbg(cairo_t* cr, int x, int y, int s, int exporting);
void drawcellfg(cairo_t* cr, int x, int y, int s, int b, int withcontents, int ocm, double textscale);
// The characters of cell (x, y) as held by sq (the square itself or an edited copy).
void drawcontents(cairo_t* cr, int x, int y, const square& sq, int ocm, int dots, double textscale);
// The codeword numbers (a mark "\c") of the grid as it is: a shuffle seeded from the grid's
// shape and contents, so that every picture and page of one fill shows the same numbers, in any
// run. drawmarks calls it; other writers of mark texts call it first.
void codewordsync();
// Text of mark k of (x, y) after merge selection and substitution ("\#" the light number when
// shownums is set, "\c" the codeword number, "\i" the position along free light 0).
std::string marktext(int x, int y, int k, int shownums);
void drawmarks(cairo_t* cr, int shownums);
// 1 when some mark shows what a cell holds (a codeword number), so that the marks must be
// redrawn when contents change; light numbers change only with the grid's shape.
int markscontents();

// Screen-only layers, drawn at scale = squarepx (the cursor at scale 1).
// The hints; with the preference edit_heat_map each open cell is first tinted red by how few
// candidates the lights through it kept in the last fill.
void drawhints(cairo_t* cr);
// The cursor arrow and multiplex digit, drawn into a squarepx square at the context's origin;
// cursorpos gives where that square goes in the drawing area. On a free light the arrow points
// along its path, to the next clear cell (at the last one, on from the one before).
void drawcursor(cairo_t* cr);
// Tints of one cell under its letters, on screen only: the cursor's light, a light where the
// last fill failed (bits TINT_*).
constexpr unsigned TINT_LIGHT = 1, TINT_FAIL = 2;
void drawtint(cairo_t* cr, int x, int y, unsigned bits);
void cursorpos(int* px, int* py);
void drawselection(cairo_t* cr);
void drawlightsel(cairo_t* cr);
void drawfreelights(cairo_t* cr);

// The statistics window's entry histogram, in pixels: a bar for each character of the
// alphabet by the number of grid entries fixed to it (the last rebuild's figures), each group
// (letters, digits, others) that is entered somewhere; nothing when no entry is fixed.
int histogramwidth();  // the drawing's width; its height is 250
void drawhistogram(cairo_t* cr);
