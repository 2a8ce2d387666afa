// The screen picture of the grid, kept in cached image surfaces that are updated piecemeal: one
// surface per square for its lines, bars and contents, layer surfaces for the backgrounds, the
// hints, the marks and the selection, and a one-square surface for the cursor. Showing the grid
// only composites them, so typing a letter redraws one cell. The surfaces hold only the part of
// the grid round what the window shows; a repaint outside it moves them there, drawn afresh. Every refresh tells the window
// which drawing-area rectangle to repaint through the hook ui.invalidate. A layer of tints over
// the backgrounds shades the cursor's light and the lights where a fill failed.
#pragma once

#include <cairo.h>

#include <vector>

#include "grid/edit.h"

// Make every surface again for the current grid and zoom (and after a change of shape or
// size), then draw every layer into them.
void makesurfaces();
void freesurfaces();

// Redraw one square's background and foreground; every square of its merged cell.
void refreshsq(int x, int y);
void refreshsqmg(int x, int y);
// Every square, then the cursor, marks, hints and selection.
void refreshall();
void refreshmarks();
void refreshhints();
// The cursor where it is now; the old and the new place are repainted, and so are the squares
// whose light tint changes (the cursor's light is shaded while edit_highlight_light is on).
void refreshcursor();
// Shade these squares as a light where a fill failed (none: no marks); the part of the tint
// layer that changes is redrawn.
void setfailmarks(const std::vector<sqpos>& squares);
void refreshselection();
// Redraw the squares an edit reports changed (every square when it says all), and the marks
// when it says they changed or some mark shows what a cell holds. A change of shape needs
// makesurfaces instead.
void refreshreport(const editreport& r);

// The part of the drawing area the window shows, in its pixels; the cached part is kept round it.
void setscreenview(int x, int y, int w, int h);
// Paint the layers onto cr, whose origin is the drawing area's, for the rectangle given; 0
// (nothing painted) when there are no surfaces for the grid as it is now.
int compositescreen(cairo_t* cr, int x, int y, int w, int h);
