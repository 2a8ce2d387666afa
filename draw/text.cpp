// Text: one cached pango layout in the "Sans" font, and text centred on a grid point.
#include <pango/pangocairo.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "alphabet/alphabet.h"
#include "core/common.h"
#include "draw/draw.h"

double textbaseline = 0;

namespace {

PangoLayout* layout = nullptr;
PangoFontDescription* fontdesc = nullptr;
// The layout belongs to one cairo context, known by a generation number stored on the context:
// a new context never inherits it, even where it reuses a freed context's address.
cairo_user_data_key_t genkey;
uintptr_t layoutgen = 0, lastgen = 0;
double lastsize = -1;
int laststyle = -1;

uintptr_t contextgen(cairo_t* cr) {
  if (void* p = cairo_get_user_data(cr, &genkey)) return (uintptr_t)p;
  uintptr_t g = ++lastgen;
  // Without room for the tag the context simply gets a fresh layout on every call.
  cairo_set_user_data(cr, &genkey, (void*)g, nullptr);
  return g;
}

// One piece of text centred on x; off is its byte offset for the trace of one character at a
// time, -1 for whole text.
void drawone(cairo_t* cr, const char* text, double x, double y, double h, int fontstyle, long off) {
  setfonttext(cr, text, h, fontstyle);
  double tw = textwidth();
  if (deb(DEB_DRAW)) {
    int w, hh;
    pango_layout_get_size(layout, &w, &hh);
    pstdout("  (x=%d y=%d)\n", w, hh);
    if (off < 0) pstdout("  tw=%f,u=%f\n", tw, x - tw / 2);
    else pstdout("  p-s=%ld t=<%s>,tw=%f,u=%f\n", off, text, tw, x - tw / 2);
  }
  cairo_move_to(cr, scale * (x - tw / 2), scale * y);
  cairo_rel_move_to(cr, 0, -textbaseline * scale);
  showtext(cr);
}

}  // namespace

void setfonttext(cairo_t* cr, const char* text, double size, int fontstyle) {
  uintptr_t g = contextgen(cr);
  if (!layout || g != layoutgen) {
    if (layout) g_object_unref(layout);
    layout = pango_cairo_create_layout(cr);
    layoutgen = g;
    lastsize = -1;
    laststyle = -1;
  }
  if (!fontdesc) fontdesc = pango_font_description_from_string("Sans");
  double want = scale * size;
  if (want != lastsize) {
    pango_font_description_set_absolute_size(fontdesc, fmax(1, floor(want * PANGO_SCALE + 0.5)));
    pango_layout_set_font_description(layout, fontdesc);
    lastsize = want;
  }
  if (fontstyle != laststyle) {
    pango_font_description_set_weight(fontdesc, fontstyle & 1 ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(fontdesc, fontstyle & 2 ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    pango_layout_set_font_description(layout, fontdesc);
    laststyle = fontstyle;
  }
  pango_layout_set_text(layout, text, -1);
  pango_cairo_update_layout(cr, layout);
  textbaseline = pango_layout_get_baseline(layout) / (double)PANGO_SCALE / scale;
}

double textwidth() {
  int w, h;
  pango_layout_get_size(layout, &w, &h);
  return w / (double)PANGO_SCALE / scale;
}

void printdrawversions() {
  pstdout("pango version %s\ncairo version %s\n", pango_version_string(), cairo_version_string());
}

void showtext(cairo_t* cr) { pango_cairo_show_layout(cr, layout); }

void ctext(int fontstyle, int ocm, double x, double y, double h, cairo_t* cr, const char* text) {
  if (deb(DEB_DRAW)) pstdout("ctext(..,<%s>,x=%f,y=%f,h=%f,fs=%d,ocm=%d)\n", text, x, y, h, fontstyle, ocm);
  if (!*text) return;
  if (!ocm) {
    drawone(cr, text, x, y, h, fontstyle, -1);
    return;
  }
  int n = 0;
  for (const char* p = text; *p;) {
    int l = utf8charlen(p);
    if (l <= 0) break;
    p += l, n++;
  }
  const char* p = text;
  for (int i = 0; i < n; i++) {
    int l = utf8charlen(p);
    char one[8];
    memcpy(one, p, l);
    one[l] = 0;
    p += l;
    drawone(cr, one, x + (2 * i + 1 - n) * 0.4 * h, y, h, fontstyle, (long)(p - text));
  }
}
