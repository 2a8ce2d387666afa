// HTML pages: the grid as absolutely positioned boxes (blank, filled, with or without numbers),
// clue tables and answer lists, or a picture of the grid written beside the page.
#include <glib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "alphabet/alphabet.h"
#include "core/common.h"
#include "core/message.h"
#include "core/prefs.h"
#include "core/startup.h"
#include "draw/draw.h"
#include "draw/picture.h"
#include "docfile/docfile.h"
#include "export/answers.h"
#include "export/export.h"
#include "grid/geometry.h"
#include "grid/zyn.h"
#include "platform/platform.h"

namespace {

// Box sizes in pixels: square, bar width (odd, at least 3) and half the bar width.
struct htmlgeom {
  int sq, bw, h;
};

void stylesheet(FILE* f, const htmlgeom& g) {
  const char* none = "border-left:black 0px solid;border-right:black 0px solid;";
  pstream(f, "<style type=\"text/css\">\n");
  pstream(f, "div.bk {position:absolute;font-size:0px;%sborder-top:black %dpx solid;border-bottom:black 0px solid;width:%dpx;height:%dpx;}\n", none, g.sq, g.sq, g.sq);
  pstream(f, "div.hb {position:absolute;font-size:0px;%sborder-top:black %dpx solid;border-bottom:black 0px solid;width:%dpx;}\n", none, g.bw, g.sq + 1);
  pstream(f, "div.hb0 {position:absolute;font-size:0px;%sborder-top:black %dpx solid;border-bottom:black 0px solid;width:%dpx;}\n", none, g.bw, g.sq + 1 + g.h);
  pstream(f, "div.vb {position:absolute;font-size:0px;border-left:black %dpx solid;border-right:black 0px solid;border-top:black 0px solid;border-bottom:black 0px solid;height:%dpx;}\n", g.bw, g.sq + 1);
  pstream(f, "div.vb0 {position:absolute;font-size:0px;border-left:black %dpx solid;border-right:black 0px solid;border-top:black 0px solid;border-bottom:black 0px solid;height:%dpx;}\n", g.bw, g.sq + 1 + g.h);
  pstream(f, "div.hr {position:absolute;font-size:0px;%sborder-top:black 1px solid;border-bottom:black 0px solid;}\n", none);
  pstream(f, "div.vr {position:absolute;font-size:0px;border-left:black 1px solid;border-right:black 0px solid;border-top:black 0px solid;border-bottom:black 0px solid;}\n");
  pstream(f, "div.nu {position:absolute;font-size:%dpx;font-family:sans-serif;width:%dpx;height:%dpx}\n", g.sq / 3, g.sq - 4, g.sq - 4);
  pstream(f, "div.lt {position:absolute;text-align:center;width:%dpx;font-family:sans-serif}\n", g.sq);
  pstream(f, "</style>\n");
}

void box(FILE* f, const char* cls, int left, int top) {
  pstream(f, "<div class=\"%s\" style=\"left:%dpx;top:%dpx;\"></div>\n", cls, left, top);
}

void backgrounds(FILE* f, const htmlgeom& g) {
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      int rx = x, ry = y;
      cellrep(rx, ry);
      if (sqarray[rx][ry].sqflags & SQF_BLOCK) box(f, "bk", g.sq * x + 1, g.sq * y + 1);
      else
        pstream(f, "<div class=\"bk\" style=\"left:%dpx;top:%dpx;border-top:#%06X %dpx solid;\"></div>\n", g.sq * x + 1,
                g.sq * y + 1, getcprops(rx, ry)->bgcolour, g.sq);
    }
}

void barsandmarks(FILE* f, const htmlgeom& g, int shownums) {
  if (markscontents()) codewordsync();
  int sq = g.sq, h = g.h;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      bool right = isbar(x, y, 0), bottom = isbar(x, y, 1), left = isbar(x, y, 2), top = isbar(x, y, 3);
      // Where two bars meet at a corner, one of them is lengthened to close the corner.
      if (right) box(f, bottom ? "vb0" : "vb", sq * (x + 1) - h, sq * y);
      if (bottom) {
        if (left) box(f, "hb0", sq * x - h, sq * (y + 1) - h);
        else box(f, "hb", sq * x, sq * (y + 1) - h);
      }
      if (left) {
        if (top) box(f, "vb0", sq * x - h, sq * y - h);
        else box(f, "vb", sq * x - h, sq * y);
      }
      if (top) box(f, right ? "hb0" : "hb", sq * x, sq * y - h);
      unsigned colour = getcpropsrep(x, y)->markcolour;
      for (int k = 0; k < 4; k++) {
        std::string t = marktext(x, y, k, shownums);
        if (t.empty()) continue;
        bool leftalign = k == 0 || k == 3;
        int top = k < 2 ? sq * y + 1 : sq * y + (2 * sq) / 3 - 4;
        if (leftalign) pstream(f, "<div class=\"nu\" style=\"left:%dpx;top:%dpx;color:#%06X;text-align:left\" >", sq * x + 4, top, colour);
        else pstream(f, "<div class=\"nu\" style=\"left:%dpx;top:%dpx;color:#%06X;text-align:right\">", sq * x + 1, top, colour);
        pstream(f, "%s</div>\n", markup(t).c_str());
      }
    }
}

void letterbox(FILE* f, int left, int top, unsigned colour, int size, int style, const std::string& text) {
  pstream(f, "<div class=\"lt\" style=\"left:%dpx;top:%dpx;color:#%06X;font-size:%dpx;\">", left, top, colour, size);
  pstream(f, "%s%s%s%s%s</div>\n", style & 1 ? "<b>" : "", style & 2 ? "<i>" : "", markup(text).c_str(), style & 2 ? "</i>" : "",
          style & 1 ? "</b>" : "");
}

void letters(FILE* f, const htmlgeom& g, double fac) {
  int sq = g.sq;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      int n = 1, d = 0, mx = x, my = y;
      if (isclear(x, y)) {
        int rx = x, ry = y;
        cellrep(rx, ry);
        if (rx != x || ry != y) continue;
        int gx[MXCL], gy[MXCL];
        d = mergedir(x, y);
        n = mergegroup(gx, gy, x, y, d);
        // Measure from the middle of the run, as the picture does.
        if (n > 2) {
          int steps = (n - 3) / 2 + 1;
          for (int i = 0; i < steps; i++) stepnext(mx, my, d);
          n -= 2 * steps;
        }
        if ((d == 0 && mx == width - 1) || (d == 1 && my == height - 1)) n = 1;
      }
      int left = d == 0 ? (sq * (2 * mx + n - 1)) / 2 + 1 : (sq * 2 * mx) / 2 + 1;
      int centre = d == 1 ? (sq * (2 * my + n - 1)) / 2 + sq / 2 : (sq * 2 * my) / 2 + sq / 2;
      const cellprops* cp = getcpropsrep(x, y);
      const square& q = sqarray[x][y];
      if (cp->unlinked == 2) {
        int t = std::max({3, q.nchars[0], q.nchars[1]});
        int size = (int)floor(fac * sq / t + 0.5);
        letterbox(f, left, centre - size, cp->fgcolour, size, cp->fontstyle, slottext(q, 0));
        letterbox(f, left, centre, cp->fgcolour, size, cp->fontstyle, slottext(q, 1));
        continue;
      }
      std::string text = slottext(q, 0);
      int count = q.nchars[0];
      if (cp->unlinked == 1) {
        text += slottext(q, 1);
        count += q.nchars[1];
      }
      int size = count <= 1 ? (int)floor(0.75 * fac * sq + 0.5) : (int)floor(fac * sq / count + 0.5);
      letterbox(f, left, centre - size / 2, cp->fgcolour, size, cp->fontstyle, text);
    }
}

// A line segment is needed on the edge between two squares when either is part of the grid and
// they are not one merged cell; runs of segments are written as one line.
bool drawn(int x, int y) { return sqexists(x, y) && !(sqarray[x][y].sqflags & SQF_CUTOUT); }

void gridlines(FILE* f, const htmlgeom& g) {
  int sq = g.sq;
  for (int i = 0; i <= height; i++) {
    int run = 0;
    for (int j = 0; j <= width; j++) {
      if ((drawn(j, i) || drawn(j, i - 1)) && !ismerge(j, i, 3)) {
        run++;
        continue;
      }
      if (run) pstream(f, "<div class=\"hr\" style=\"left:%dpx;top:%dpx;width:%dpx;\"></div>\n", sq * (j - run), sq * i, sq * run + 1);
      run = 0;
    }
  }
  for (int i = 0; i <= width; i++) {
    int run = 0;
    for (int j = 0; j <= height; j++) {
      if ((drawn(i, j) || drawn(i - 1, j)) && !ismerge(i, j, 2)) {
        run++;
        continue;
      }
      if (run) pstream(f, "<div class=\"vr\" style=\"left:%dpx;top:%dpx;height:%dpx;\"></div>\n", sq * i, sq * (j - run), sq * run + 1);
      run = 0;
    }
  }
}

void cluetables(FILE* f, int avail) {
  int nd = ndir();
  pstream(f, "<center><table><tr>\n");
  for (int d = 0; d < nd; d++) {
    if (d) pstream(f, "<td>&nbsp;</td>\n");
    pstream(f, "<td width=\"%d%%\"><b>%s</b></td>\n", 96 / nd, gtypes[gtype].dname[d]);
  }
  pstream(f, "</tr><tr>\n");
  for (int d = 0; d < nd; d++) {
    if (d) pstream(f, "<td>&nbsp;</td>\n");
    pstream(f, "<td valign=\"top\"><table>\n");
    listanswers(f, d, LA_HTMLCLUES, avail, nullptr);
    pstream(f, "</table></td>\n");
  }
  pstream(f, "</tr>\n");
  if (nfreelights > 0) {
    pstream(f, "<tr><td colspan=\"%d\"><b>Other</b></td></tr>\n", 2 * nd - 1);
    pstream(f, "<tr><td colspan=\"%d\"><table>\n", 2 * nd - 1);
    // Table rows, like the other clues: bare text inside a table would be moved out of it.
    listanswers(f, -1, LA_HTMLCLUES, avail, nullptr);
    pstream(f, "</table></td></tr>\n");
  }
  pstream(f, "</table></center>\n");
}

void answerlists(FILE* f, int avail) {
  for (int d = 0; d < ndir(); d++) {
    pstream(f, "<b>%s:</b>\n", gtypes[gtype].dname[d]);
    listanswers(f, d, LA_HTMLOTHER, avail, nullptr);
    pstream(f, "<br>\n");
  }
  if (nfreelights > 0) {
    pstream(f, "<b>Other:</b>\n");
    listanswers(f, -1, LA_HTMLOTHER, avail, nullptr);
    pstream(f, "<br>\n");
  }
}

void page(FILE* f, int bits, const char* src, int avail) {
  int sq = prefint(PREF_EXPORT_HTML_SQUARE_PIXELS);
  htmlgeom g = {sq, std::max(3, sq / 8) | 1, 0};
  g.h = g.bw / 2;
  pstream(f, "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\"\n");
  pstream(f, "\"http://www.w3.org/TR/REC-html40/loose.dtd\">\n");
  pstream(f, "<html>\n<!-- Created by Zyn %s %s -->\n", release, zynweb);
  pstream(f, "<head><title>%s</title>\n", markup(titletext()).c_str());
  pstream(f, "<meta http-equiv=\"Content-Type\" content=\"text/html;charset=UTF-8\">\n");
  if (bits & HTML_GRID) stylesheet(f, g);
  pstream(f, "</head>\n\n<body>\n");
  if (bits & HTML_GRID) {
    pstream(f, "<center>\n");
    pstream(f, "<div style=\"border-width:0px;width:%dpx;height:%dpx;position:relative;\">\n", sq * width + 1, sq * height + 1);
    pstream(f, "<div style=\"border-width:0px;top:0px;left:0px;width:%dpx;height:%dpx;position:absolute;\">\n", sq * width + 1,
            sq * height + 1);
    backgrounds(f, g);
    barsandmarks(f, g, bits & HTML_NUMBERS);
    if (bits & HTML_LETTERS) letters(f, g, (bits & (HTML_LETTERS | HTML_NUMBERS)) == (HTML_LETTERS | HTML_NUMBERS) ? 0.8 : 1.0);
    gridlines(f, g);
    pstream(f, "</div></div></center>\n");
  }
  if (bits & HTML_PICTURE) pstream(f, "<center>\n<img src=\"%s\" alt=\"grid image\">\n</center>\n", markup(src).c_str());
  if (bits & HTML_CLUES) cluetables(f, avail);
  if (bits & HTML_ANSWERS) answerlists(f, avail);
  pstream(f, "</body></html>\n");
}

}  // namespace

namespace {
// The page written to path after preexport; 0, or 1 with plat_errtext saying why. The caller
// reports a failure and then calls postexport (a report ends a batch run, and no restarted fill
// may be left running then).
int writepage(const char* path, int bits, const char* src) {
  plat_newfile out;
  if (plat_newopen(out, path)) return 1;
  int avail = preexport();
  page(out.f, bits, src, avail);
  return plat_newcommit(out);
}
}  // namespace

int exporthtml(const char* path, int bits, const char* src) {
  if (deb(DEB_EXPORT)) pstdout("export HTML %s\n", path);
  if ((bits & HTML_GRID) && shapeclass() != SC_SQUARE) {
    errbox("Cannot export non-rectangular grids\nto HTML");
    return 1;
  }
  int bad = writepage(path, bits, src);
  if (bad) fserror();
  postexport();
  return bad;
}

int exporthtmlimg(const char* path, int solution, int format) {
  if (deb(DEB_EXPORT)) pstdout("export HTML %s\n", path);
  std::string dir = std::string(path) + "_files";
  std::string leaf = std::string(solution ? "/solution" : "/grid") + (format == PIC_SVG ? ".svg" : ".png");
  // A folder that cannot be made shows as the picture's own file error. A failure removes what
  // this export made, before it is reported.
  bool made = false;
  plat_mkdir(dir.c_str(), &made);
  picresult pr = writepicture((dir + leaf).c_str(), solution ? filledflags() : PIC_NUMBERS, format);
  if (pr.failed()) {
    if (made) std::remove(dir.c_str());
    reportpicture(pr);
    return 1;
  }
  gchar* base = g_path_get_basename(dir.c_str());
  // The address is relative to the page and percent-encoded, so any file name works.
  gchar* addr = g_uri_escape_string((std::string(base) + leaf).c_str(), "/", FALSE);
  int bad = writepage(path, HTML_PICTURE | (solution ? HTML_ANSWERS : HTML_CLUES), addr);
  g_free(addr);
  g_free(base);
  if (bad) {
    if (made) {
      std::remove((dir + leaf).c_str());
      std::remove(dir.c_str());
    }
    fserror();
  }
  postexport();
  return bad;
}
