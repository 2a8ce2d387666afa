// The printable puzzle's page layout and its PDF export. Text is laid out with pango, so the PDF
// holds real, searchable text in embedded fonts; the grid is the picture exports' drawing.
#include "export/pdf.h"

#include <cairo-pdf.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/message.h"
#include "core/prefs.h"
#include "docfile/docfile.h"
#include "draw/picture.h"
#include "draw/shape.h"
#include "export/export.h"
#include "grid/clues.h"
#include "grid/zyn.h"
#include "platform/platform.h"

namespace {

constexpr double MARGIN = 42, GAP = 18, NUMW = 22;  // points
constexpr double TITLESIZE = 16, AUTHORSIZE = 11, HEADSIZE = 11, CLUESIZE = 10;

struct textbox {
  std::string num, text;  // a clue's number and its text with the enumeration; a heading's text
  bool heading;
  int page;
  double x, y, h;
};

PangoLayout* newlayout(cairo_t* cr, double size, bool bold, double width) {
  PangoLayout* l = pango_cairo_create_layout(cr);
  PangoFontDescription* fd = pango_font_description_from_string("Sans");
  pango_font_description_set_absolute_size(fd, size * PANGO_SCALE);
  if (bold) pango_font_description_set_weight(fd, PANGO_WEIGHT_BOLD);
  pango_layout_set_font_description(l, fd);
  pango_font_description_free(fd);
  if (width > 0) pango_layout_set_width(l, (int)(width * PANGO_SCALE));
  pango_layout_set_wrap(l, PANGO_WRAP_WORD_CHAR);
  return l;
}

double textheight(cairo_t* cr, const std::string& s, double size, bool bold, double width) {
  PangoLayout* l = newlayout(cr, size, bold, width);
  pango_layout_set_text(l, s.c_str(), (int)s.size());
  int w, h;
  pango_layout_get_size(l, &w, &h);
  g_object_unref(l);
  return (double)h / PANGO_SCALE;
}

void showtext(cairo_t* cr, const std::string& s, double size, bool bold, double x, double y, double width,
              PangoAlignment align = PANGO_ALIGN_LEFT) {
  PangoLayout* l = newlayout(cr, size, bold, width);
  pango_layout_set_alignment(l, align);
  pango_layout_set_text(l, s.c_str(), (int)s.size());
  cairo_move_to(cr, x, y);
  pango_cairo_show_layout(cr, l);
  g_object_unref(l);
}

// The title block's height.
double headheight(cairo_t* cr, double w) {
  double h = 0;
  if (title[0]) h += textheight(cr, title, TITLESIZE, true, w - 2 * MARGIN);
  if (author[0]) h += textheight(cr, author, AUTHORSIZE, false, w - 2 * MARGIN);
  return h > 0 ? h + GAP / 2 : 0;
}

void drawhead(cairo_t* cr, double w, const char* extra) {
  double y = MARGIN;
  std::string t = title;
  if (extra) t = t.empty() ? extra : t + " \xe2\x80\x94 " + extra;
  if (!t.empty()) {
    showtext(cr, t, TITLESIZE, true, MARGIN, y, w - 2 * MARGIN);
    y += textheight(cr, t, TITLESIZE, true, w - 2 * MARGIN);
  }
  if (author[0]) showtext(cr, author, AUTHORSIZE, false, MARGIN, y, w - 2 * MARGIN);
}

// The largest square size whose picture fits in maxw by maxh points.
int gridsquare(double maxw, double maxh) {
  int s = 36;
  while (s > 4 && (imagewidth(s, std::max(2, s / 8)) > maxw || imageheight(s, std::max(2, s / 8)) > maxh)) s--;
  return s;
}

// The grid centred at the top of the area, returning its height.
double drawgrid(cairo_t* cr, double w, double top, double maxh, int flags) {
  int s = gridsquare(w - 2 * MARGIN, maxh);
  int b = std::max(2, s / 8);
  cairo_save(cr);
  cairo_translate(cr, (w - imagewidth(s, b)) / 2, top);
  drawpicture(cr, s, b, flags);
  cairo_restore(cr);
  return imageheight(s, b);
}

double gridtop(cairo_t* cr, double w) { return MARGIN + headheight(cr, w); }

// The puzzle grid takes at most half the page's height.
double puzzlegridheight(double w, double h) {
  int s = gridsquare(w - 2 * MARGIN, (h - 2 * MARGIN) / 2);
  return imageheight(s, std::max(2, s / 8));
}

// The clues placed in two columns below the grid, then in two columns on each further page.
std::vector<textbox> layout(cairo_t* cr, double w, double h, int* pages) {
  std::vector<textbox> out;
  double colw = (w - 2 * MARGIN - GAP) / 2, textw = colw - NUMW;
  double top = gridtop(cr, w) + puzzlegridheight(w, h) + GAP, bottom = h - MARGIN;
  int page = 0, col = 0;
  double y = top;
  auto place = [&](textbox b, double need) {
    // need: the height that must fit with the box (a heading's first clue).
    if (y + need > bottom && y > (page == 0 ? top : MARGIN)) {
      if (++col == 2) col = 0, page++;
      y = page == 0 ? top : MARGIN;
    }
    b.page = page, b.x = MARGIN + col * (colw + GAP), b.y = y;
    y += b.h;
    out.push_back(b);
  };
  std::vector<cluelight> lights = cluelights();
  int lastd = -1;
  for (size_t i = 0; i < lights.size(); i++) {
    const cluelight& l = lights[i];
    const clue* c = cluefor(l.k);
    std::string text = c && !c->text.empty() ? c->text + " " : "";
    text += cluebracketed(l);
    textbox b{l.number >= 1 ? std::to_string(l.number) : "", text, false, 0, 0, 0, 0};
    b.h = textheight(cr, text, CLUESIZE, false, textw) + 2;
    int d = std::min(l.k.d, 100);
    if (d != lastd) {
      std::string name = d >= 100 ? "Other" : gtypes[gtype].dname[d];
      if (lastd >= 0) y += GAP / 2;
      textbox hb{"", name, true, 0, 0, 0, 0};
      hb.h = textheight(cr, name, HEADSIZE, true, colw) + 3;
      place(hb, hb.h + b.h);
      lastd = d;
    }
    place(b, b.h);
  }
  *pages = page + 1;
  return out;
}

}  // namespace

void papersize(double* w, double* h) {
  if (prefint(PREF_EXPORT_PDF_PAPER) == 1) *w = 612, *h = 792;
  else *w = 595.276, *h = 841.89;
}

int puzzlepagecount(cairo_t* cr, double w, double h, int what) {
  int pages = 0;
  if (what & PP_PUZZLE) layout(cr, w, h, &pages);
  return pages + ((what & PP_SOLUTION) != 0);
}

void drawpuzzlepage(cairo_t* cr, double w, double h, int what, int page) {
  int pages = 0;
  std::vector<textbox> boxes;
  if (what & PP_PUZZLE) boxes = layout(cr, w, h, &pages);
  cairo_save(cr);
  cairo_set_source_rgb(cr, 0, 0, 0);
  if (page == pages) {
    drawhead(cr, w, "Solution");
    double top = gridtop(cr, w) + (title[0] ? 0 : textheight(cr, "Solution", TITLESIZE, true, w));
    drawgrid(cr, w, top, h - MARGIN - top, filledflags());
  } else {
    if (page == 0) {
      drawhead(cr, w, nullptr);
      drawgrid(cr, w, gridtop(cr, w), (h - 2 * MARGIN) / 2, PIC_NUMBERS);
    }
    cairo_set_source_rgb(cr, 0, 0, 0);
    double colw = (w - 2 * MARGIN - GAP) / 2;
    for (const textbox& b : boxes) {
      if (b.page != page) continue;
      if (b.heading) {
        showtext(cr, b.text, HEADSIZE, true, b.x, b.y, colw);
        continue;
      }
      showtext(cr, b.num, CLUESIZE, true, b.x, b.y, NUMW - 5, PANGO_ALIGN_RIGHT);
      showtext(cr, b.text, CLUESIZE, false, b.x + NUMW, b.y, colw - NUMW);
    }
  }
  cairo_restore(cr);
}

int exportpdf(const char* path, int what) {
  if (what == PP_PUZZLE && prefint(PREF_EXPORT_PDF_SOLUTION)) what |= PP_SOLUTION;
  double w, h;
  papersize(&w, &h);
  plat_newfile out;
  if (plat_newopen(out, path)) {
    fserror();
    return 1;
  }
  sink sk = {out.f, 0};
  cairo_surface_t* surf = cairo_pdf_surface_create_for_stream(writesink, &sk, w, h);
  std::string t = titletext();
  cairo_pdf_surface_set_metadata(surf, CAIRO_PDF_METADATA_TITLE, t.c_str());
  if (author[0]) cairo_pdf_surface_set_metadata(surf, CAIRO_PDF_METADATA_AUTHOR, author);
  cairo_pdf_surface_set_metadata(surf, CAIRO_PDF_METADATA_CREATOR, "Zyn");
  cairo_t* cr = cairo_create(surf);
  int pages = puzzlepagecount(cr, w, h, what);
  for (int p = 0; p < pages; p++) {
    drawpuzzlepage(cr, w, h, what, p);
    cairo_show_page(cr);
  }
  cairo_status_t st = cairo_status(cr);
  cairo_destroy(cr);
  cairo_surface_finish(surf);
  if (st == CAIRO_STATUS_SUCCESS) st = cairo_surface_status(surf);
  cairo_surface_destroy(surf);
  return closesink(out, sk, st, "pages");
}
