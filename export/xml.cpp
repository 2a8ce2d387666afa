// Crossword Compiler XML: a rectangular grid of single-character cells with its solution,
// numbers, bars, words and clues, for other crossword software to finish or publish.
#include <string>

#include "alphabet/alphabet.h"
#include "core/message.h"
#include "core/prefs.h"
#include "core/startup.h"
#include "draw/shape.h"
#include "export/answers.h"
#include "export/export.h"
#include "grid/geometry.h"
#include "grid/zyn.h"
#include "platform/platform.h"

namespace {

// Why the grid cannot be written in the format, or null.
const char* refusal() {
  if (shapeclass() != SC_SQUARE) return "Cannot export non-rectangular grids\nto Crossword Compiler XML";
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      const square& q = sqarray[x][y];
      if (q.nchars[0] != 1 || q.nchars[1] != 0) return "Cannot export multi-character or\nde-checked cells to Crossword Compiler XML";
      int rx = x, ry = y;
      cellrep(rx, ry);
      if (rx != x || ry != y) return "Cannot export merged cells\nto Crossword Compiler XML";
    }
  return nullptr;
}

void cell(FILE* f, int x, int y) {
  const square& q = sqarray[x][y];
  pstream(f, "<cell x=\"%d\" y=\"%d\"", x + 1, y + 1);
  if (q.sqflags & SQF_CUTOUT) {
    pstream(f, " type=\"void\"");
  } else if (q.sqflags & SQF_BLOCK) {
    pstream(f, " type=\"block\"");
  } else {
    const cellprops* cp = getcprops(x, y);
    pstream(f, " foreground-color=\"#%06X\"", cp->fgcolour);
    if (circled(x, y)) {
      // The circle is shown as a shape on a background halfway between the letters' colour and white.
      unsigned c = cp->fgcolour, half = 0;
      for (int sh = 0; sh < 24; sh += 8) half |= ((c >> sh & 255) / 2 + 128) << sh;
      pstream(f, " background-color=\"#%06X\" background-shape=\"circle\"", half);
    } else {
      pstream(f, " background-color=\"#%06X\"", cp->bgcolour);
    }
    int c = settoicc(q.charsets[0][0] & ABM_ALL);
    if (c > 0) pstream(f, " solution=\"%s\"", markup(icctext[c]).c_str());
    if (q.number > 0) pstream(f, " number=\"%d\"", q.number);
    if (isbar(x, y, 2)) pstream(f, " left-bar=\"true\"");
    if (isbar(x, y, 3)) pstream(f, " top-bar=\"true\"");
  }
  pstream(f, "></cell>\n");
}

void document(FILE* f, int avail) {
  pstream(f, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
  pstream(f, "<crossword-compiler xmlns=\"http://crossword.info/xml/crossword-compiler\">\n");
  std::string alpha;
  for (int i = 0; i < ncodes; i++) alpha += icctext[ordericc[i]];
  pstream(f, "<rectangular-puzzle xmlns=\"http://crossword.info/xml/rectangular-puzzle\" alphabet=\"%s\">\n\n", markup(alpha).c_str());
  pstream(f, "<metadata>\n<title>%s</title>\n<creator>%s</creator>\n", markup(title).c_str(), markup(author).c_str());
  pstream(f, "<created>Zyn %s %s</created>\n<copyright></copyright>\n<description></description>\n</metadata>\n\n",
          release, markup(zynweb).c_str());
  pstream(f, "<crossword>\n\n");
  pstream(f, "<grid width=\"%d\" height=\"%d\">\n", width, height);
  pstream(f, "<grid-look numbering-scheme=\"normal\" cell-size-in-pixels=\"%d\"></grid-look>\n", prefint(PREF_EXPORT_HTML_SQUARE_PIXELS));
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) cell(f, x, y);
  pstream(f, "</grid>\n\n");
  int id = 1;
  for (int d = 0; d < 2; d++) listanswers(f, d, LA_XMLWORDS, avail, &id);
  id = 1;
  for (int d = 0; d < 2; d++) {
    pstream(f, "<clues ordering=\"normal\"><title><b>%s</b></title>\n", gtypes[gtype].dname[d]);
    listanswers(f, d, LA_XMLCLUES, avail, &id);
    pstream(f, "</clues>\n");
  }
  pstream(f, "</crossword>\n\n</rectangular-puzzle>\n</crossword-compiler>\n");
}

}  // namespace

int exportxml(const char* path) {
  if (deb(DEB_EXPORT)) pstdout("export XML %s\n", path);
  if (const char* why = refusal()) {
    errbox(why);
    return 1;
  }
  int avail = preexport();
  plat_newfile out;
  int bad = plat_newopen(out, path);
  if (!bad) {
    document(out.f, avail);
    bad = plat_newcommit(out);
  }
  if (bad) fserror();
  // Assistance restarts whatever happened to the file.
  postexport();
  return bad;
}
