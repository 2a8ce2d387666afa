// Writing the native document: every record group in order, each group whole, built in memory
// and handed to the platform's safe writer so that a failed save never harms the previous file.
#include <cstdarg>
#include <cstring>
#include <string>

#include "alphabet/alphabet.h"
#include "core/message.h"
#include "docfile/docfile.h"
#include "docfile/linereader.h"
#include "export/export.h"
#include "grid/zyn.h"
#include "platform/platform.h"

namespace {

void add(std::string& o, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
void add(std::string& o, const char* fmt, ...) {
  char buf[256];
  va_list ap;
  va_start(ap, fmt);
  int n = vsnprintf(buf, sizeof buf, fmt, ap);
  va_end(ap);
  o.append(buf, n < (int)sizeof buf ? (size_t)n : sizeof buf - 1);
}

// A continuation line. A line break inside the text would end the record early and make the
// file unreadable, so line breaks are written as spaces; trailing control characters, which no
// reader keeps, are left out.
void addtext(std::string& o, const char* text) {
  o += '+';
  size_t at = o.size();
  o += text;
  while (o.size() > at && iscontrol(o.back())) o.pop_back();
  for (size_t i = at; i < o.size(); i++)
    if (o[i] == '\n' || o[i] == '\r') o[i] = ' ';
  o += '\n';
}

void addlp(std::string& o, const lightprops& l) {
  add(o, " %u %u %d %d %d %d\n", l.dmask, l.emask, l.ten, l.lightown, l.nonumber, l.layered);
}

void addcp(std::string& o, const cellprops& c) {
  add(o, " %06x %06x %d %d %d %d %06x\n", c.bgcolour & 0xffffff, c.fgcolour & 0xffffff, c.treatcell, c.cellown,
      c.fontstyle, c.unlinked, c.markcolour & 0xffffff);
}

void addalphabet(std::string& o) {
  for (int c = 1; c <= MAXICC; c++) {
    const char* rep = icctext[c];
    if (!rep[0] || !strcmp(rep, "\xEF\xBF\xBD")) continue;
    ABM b = 1ULL << (c - 1);
    add(o, "ALP %d %d %d %d\n", c, (atset & b) != 0, (hashset & b) != 0, iccrun[c] ? 1 : 0);
    addtext(o, rep);
    addtext(o, iccequiv[c]);
  }
}

void addtreatment(std::string& o) {
  char buf[1024];
  add(o, "TM 0 %d %d %d %d\n", treattype, mustbeword, allocmode[0], allocmode[1]);
  addtext(o, pluginpath);
  for (int m = 0; m < 2; m++) {
    add(o, "TMSG 0 %d\n", m);
    addtext(o, treatmsg[m]);
  }
  for (int m = 0; m < 2; m++)
    for (int k = 0; k < MXMSGSLOTS; k++)
      if (msgconstr[m][k] != ABM_ALLDASH) {
        abmtostr(buf, sizeof buf, msgconstr[m][k], 1);
        add(o, "TCST %d %d ", m, k);
        o += buf;
        o += '\n';
      }
}

void adddicts(std::string& o) {
  const char* kw[3] = {"DFN", "DSF", "DAF"};
  char (*tab[3])[SLEN] = {dictpaths, dsfilter, dafilter};
  for (int t = 0; t < 3; t++)
    for (int d = 0; d < MAXNDICTS; d++) {
      add(o, "%s %d\n", kw[t], d);
      addtext(o, tab[t][d]);
    }
}

// The square groups, each over the whole width x height rectangle, row by row.
void addsquares(std::string& o) {
  char buf[1024];
  int nd = ndir();
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      const square& s = sqarray[x][y];
      add(o, "SQ %d %d %u %u %d .\n", x, y, s.bars, s.merge, s.sqflags);
    }
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      add(o, "SQSP %d %d", x, y);
      addcp(o, sqarray[x][y].cellrec);
    }
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++)
      for (int k = 0; k < NMARKS; k++) {
        add(o, "SQSPMK %d %d %d\n", x, y, k);
        addtext(o, sqarray[x][y].cellrec.marktexts[k]);
      }
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++)
      for (int d = 0; d < nd; d++) {
        add(o, "SQLP %d %d %d", x, y, d);
        addlp(o, sqarray[x][y].lightrec[d]);
      }
  for (int i = 0; i < nfreelights; i++)
    for (int k = 0; k < freelights[i].n; k++) add(o, "VL %d %d %d %d\n", i, k, freelights[i].x[k], freelights[i].y[k]);
  for (int i = 0; i < nfreelights; i++) {
    add(o, "VLP %d", i);
    addlp(o, freelights[i].lp);
  }
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++)
      for (int d = 0; d < nd; d++) {
        const square& s = sqarray[x][y];
        add(o, "SQCT %d %d %d \"", x, y, d);
        for (int k = 0; k < s.nchars[d] && k < MXCP; k++) {
          abmtostr(buf, sizeof buf, s.charsets[d][k], 0);
          o += buf;
        }
        o += "\"\n";
      }
}

}  // namespace

// The whole document as the native format's text.
static std::string doctext() {
  std::string o;
  o.reserve((size_t)width * height * 400 + 8192);
  add(o, "#ZYN2v5 %s\n", zynweb);
  add(o, "GP %d %d %d %d %d %d\n", gtype, width, height, rotsym, mirsym, dupsym);
  o += "TTL\n";
  addtext(o, title);
  o += "AUT\n";
  addtext(o, author);
  addalphabet(o);
  o += "GLP";
  addlp(o, deflight);
  o += "GSP";
  addcp(o, defcell);
  for (int k = 0; k < NMARKS; k++) {
    add(o, "GSPMK %d\n", k);
    addtext(o, defcell.marktexts[k]);
  }
  addtreatment(o);
  adddicts(o);
  addsquares(o);
  o += "END\n";
  return o;
}

int savedocument() {
  std::string text = doctext();
  if (deb(DEB_DOC)) pstdout("savedocument: %s, %zu bytes\n", filename, text.size());
  if (plat_writefile(filename, text.data(), text.size())) {
    fserror();
    return 1;
  }
  setfilestem(filename);
  havename = 1;
  unsaved = 0;
  return 0;
}
