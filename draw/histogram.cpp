// The statistics window's entry histogram: one bar per character of the alphabet, by how many
// entries of the grid are fixed to it, drawn in pixels.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "alphabet/alphabet.h"
#include "draw/draw.h"
#include "grid/lights.h"

int histogramwidth() { return 16 * ncodes + 7; }

void drawhistogram(cairo_t* cr) {
  drawscope pixels(1, false);
  int sum = 0, peak = 1;
  for (int i = 0; i < ncodes; i++) {
    int q = gstats.ccount[ordericc[i]];
    sum += q;
    peak = std::max(peak, q);
  }
  if (sum == 0) return;
  static const unsigned fill[3] = {0x00ff00, 0x00ffff, 0xffff00};  // letters, digits, others
  int k = 0;
  for (int g = 0; g < 3; g++) {
    int groupsum = 0;
    for (int i = classstart[g]; i < classstart[g + 1] && i < ncodes; i++) groupsum += gstats.ccount[ordericc[i]];
    if (groupsum == 0) continue;  // a group not entered anywhere takes no room
    for (int i = classstart[g]; i < classstart[g + 1] && i < ncodes; i++, k++) {
      int c = ordericc[i], q = gstats.ccount[c];
      double x = 5 + 16 * k;
      int bar = 150 * q / peak;
      cairo_rectangle(cr, x, 224, 12, -bar);
      setrgb(cr, fill[g]);
      cairo_fill_preserve(cr);
      setrgb(cr, 0);
      cairo_set_line_width(cr, 1);
      cairo_stroke(cr);
      if (q > 0) {
        char t[40];
        snprintf(t, sizeof t, "%d (%.1f%%)", q, 100.0 * q / sum);
        cairo_save(cr);
        cairo_translate(cr, x + 10, 220 - bar);
        cairo_rotate(cr, -M_PI / 2);  // reads upwards
        setfonttext(cr, t, 10, 0);
        cairo_move_to(cr, 0, -textbaseline);
        showtext(cr);
        cairo_restore(cr);
      }
      setrgb(cr, q > 0 ? 0 : 0xff0000);
      ctext(0, 0, x + 6, 244, 16, cr, icctext[c]);
    }
  }
}
