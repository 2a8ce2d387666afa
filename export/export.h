// What every export shares: stopping the filler and obtaining each light's answers before
// writing, and restarting the background fill afterwards; and the exports of whole pages.
#pragma once

#include <string>

// Stop the filler, rebuild and run a propagation-only fill; 1 when every word's feasible list
// is available, 0 when the rebuild or the fill could not be done or some light has no
// candidate that fits.
int preexport();
// Stop the filler and restart interactive assistance.
void postexport();

// Markup escaping of a text taken from the document, without the characters XML 1.0 refuses.
std::string markup(const std::string& s);

// Sections of an HTML page.
constexpr int HTML_GRID = 1, HTML_LETTERS = 2, HTML_NUMBERS = 4, HTML_CLUES = 8, HTML_ANSWERS = 16, HTML_PICTURE = 32;

// Write an HTML page with the given sections to path; src is the picture's address for
// HTML_PICTURE. The grid boxes need square cells: on other shapes the page is refused.
// 0 on success; failures are reported and leave any existing file as it was.
int exporthtml(const char* path, int bits, const char* src);
// The page with a picture: the picture goes into the folder path + "_files" as grid.svg or
// grid.png (solution.svg, solution.png for a solution), format PIC_SVG or PIC_PNG.
int exporthtmlimg(const char* path, int solution, int format);

// Write the grid with its words and clues as Crossword Compiler XML. Refuses (with a message)
// grids that the format cannot hold: other shapes than square, cells of several characters or
// with characters in a second slot, merged cells. 0 on success.
int exportxml(const char* path);
