// Pictures of the whole grid: drawn onto any cairo context, or written as an EPS, SVG or PNG file.
#pragma once

#include <cairo.h>

#include <cstdio>

#include "platform/platform.h"

// Picture contents: the cells' characters, the light numbers.
constexpr int PIC_LETTERS = 2, PIC_NUMBERS = 4;
// A file that cairo's stream surfaces write into; writesink is their write function.
struct sink {
  FILE* f;
  int err;  // errno of the first failed write
};
cairo_status_t writesink(void* closure, const unsigned char* data, unsigned int len);
// End a file drawn through a sink: with cairo's final status st, replace the target by it, or
// report the failure (a write error as the filing system's, else "Could not draw the <what>")
// and leave the target as it was. 0 on success.
int closesink(plat_newfile& out, const sink& sk, cairo_status_t st, const char* what);

// Picture formats.
constexpr int PIC_EPS = 0, PIC_SVG = 1, PIC_PNG = 2;

// The flags of a filled picture: letters, and numbers when the preference asks for them.
int filledflags();

// Draw the grid with square size s and bar width b (device units), the bar width also being the
// margin; the context's origin is the picture's top-left corner.
void drawpicture(cairo_t* cr, int s, int b, int flags);

// Write the picture of the grid to the file `name`: square size from the preferences (points for
// EPS and SVG, pixels for PNG). 0 on success; failures are reported (errbox, fserror), and an
// existing file of that name is replaced only by a complete picture.
int a_exportg(const char* name, int flags, int format);
// a_exportg in two steps, for a caller that must tidy up before a failure is reported (which
// ends a batch run): write the file, then report what went wrong, if anything.
struct picresult {
  int fs;             // the file could not be written (plat_errtext says why)
  cairo_status_t st;  // drawing failed with this status
  int format;
  bool failed() const { return fs || st != CAIRO_STATUS_SUCCESS; }
};
picresult writepicture(const char* name, int flags, int format);
void reportpicture(const picresult& r);
