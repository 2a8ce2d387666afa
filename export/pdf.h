// A printable puzzle: the title and author, the grid as the picture exports draw it, and the
// clues by direction in two columns, flowing onto further pages when long; the solution on a
// page of its own. One layout serves the PDF export and the window's Print.
#pragma once

#include <cairo.h>

// What the pages hold.
constexpr int PP_PUZZLE = 1, PP_SOLUTION = 2;

// Page sizes in points, by the preference export_PDF_paper (0 A4, 1 Letter).
void papersize(double* w, double* h);

// The number of pages of a w by h point page for `what`, measured with cr's text settings.
int puzzlepagecount(cairo_t* cr, double w, double h, int what);
// Draw page `page` (from 0) onto cr, whose origin is the page's top-left corner, in points.
void drawpuzzlepage(cairo_t* cr, double w, double h, int what, int page);

// Write the pages to a PDF file: puzzle-pdf (the solution page too when the preference
// export_PDF_solution is set) and solution-pdf. 0 on success; failures are reported and leave
// any existing file as it was.
int exportpdf(const char* path, int what);
