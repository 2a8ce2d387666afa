// Writing the native document: every record group in order, each group whole, built in memory
// and handed to the platform's safe writer so that a failed save never harms the previous file.
#include <charconv>
#include <cstring>
#include <string>

#include "alphabet/alphabet.h"
#include "core/message.h"
#include "core/startup.h"
#include "dicts/dicts.h"
#include "docfile/docfile.h"
#include "docfile/linereader.h"
#include "grid/clues.h"
#include "grid/zyn.h"
#include "platform/platform.h"

namespace {

// A colour field: six hexadecimal digits.
struct colour {
  unsigned int v;
};

void put(std::string& o, long long v) {
  char b[24];
  o.append(b, std::to_chars(b, b + sizeof b, v).ptr);
}

void put(std::string& o, colour c) {
  static const char digits[] = "0123456789abcdef";
  for (int s = 20; s >= 0; s -= 4) o += digits[c.v >> s & 15];
}

// A header line without its line end: the keyword and the fields, each after a space.
template <class... F>
void head(std::string& o, const char* kw, F... f) {
  o += kw;
  ((o += ' ', put(o, f)), ...);
}

// A whole header line.
template <class... F>
void line(std::string& o, const char* kw, F... f) {
  head(o, kw, f...);
  o += '\n';
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

// The light and cell property fields, in the order every record that holds them uses.
void addlp(std::string& o, const lightprops& l) {
  put(o, l.dmask), o += ' ', put(o, l.emask);
  for (int f : {l.ten, l.lightown, l.nonumber, l.layered}) o += ' ', put(o, f);
  o += '\n';
}

void addcp(std::string& o, const cellprops& c) {
  put(o, colour{c.bgcolour}), o += ' ', put(o, colour{c.fgcolour});
  for (int f : {c.treatcell, c.cellown, c.fontstyle, c.unlinked}) o += ' ', put(o, f);
  o += ' ', put(o, colour{c.markcolour}), o += '\n';
}

void addalphabet(std::string& o) {
  for (int c = 1; c <= MAXICC; c++) {
    const char* rep = icctext[c];
    if (!rep[0] || !strcmp(rep, "\xEF\xBF\xBD")) continue;
    ABM b = 1ULL << (c - 1);
    line(o, "ALP", c, (atset & b) != 0, (hashset & b) != 0, iccrun[c] != 0);
    addtext(o, rep);
    addtext(o, iccequiv[c]);
  }
}

void addtreatment(std::string& o) {
  char buf[1024];
  line(o, "TM", 0, treattype, mustbeword, allocmode[0], allocmode[1]);
  addtext(o, pluginpath);
  for (int m = 0; m < 2; m++) {
    line(o, "TMSG", 0, m);
    addtext(o, treatmsg[m]);
  }
  for (int m = 0; m < 2; m++)
    for (int k = 0; k < MXMSGSLOTS; k++)
      if (msgconstr[m][k] != ABM_ALLDASH) {
        abmtostr(buf, sizeof buf, msgconstr[m][k], 1);
        head(o, "TCST", m, k);
        o += ' ';
        o += buf;
        o += '\n';
      }
}

void adddicts(std::string& o) {
  const char* kw[3] = {"DFN", "DSF", "DAF"};
  char (*tab[3])[SLEN] = {dictpaths, dsfilter, dafilter};
  for (int t = 0; t < 3; t++)
    for (int d = 0; d < MAXNDICTS; d++) {
      line(o, kw[t], d);
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
      head(o, "SQ", x, y, s.bars, s.merge, s.sqflags);
      o += " .\n";
    }
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      head(o, "SQSP", x, y);
      o += ' ';
      addcp(o, sqarray[x][y].cellrec);
    }
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++)
      for (int k = 0; k < NMARKS; k++) {
        line(o, "SQSPMK", x, y, k);
        addtext(o, sqarray[x][y].cellrec.marktexts[k]);
      }
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++)
      for (int d = 0; d < nd; d++) {
        head(o, "SQLP", x, y, d);
        o += ' ';
        addlp(o, sqarray[x][y].lightrec[d]);
      }
  for (int i = 0; i < nfreelights; i++)
    for (int k = 0; k < freelights[i].n; k++) line(o, "VL", i, k, freelights[i].x[k], freelights[i].y[k]);
  for (int i = 0; i < nfreelights; i++) {
    head(o, "VLP", i);
    o += ' ';
    addlp(o, freelights[i].lp);
  }
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++)
      for (int d = 0; d < nd; d++) {
        const square& s = sqarray[x][y];
        head(o, "SQCT", x, y, d);
        o += " \"";
        for (int k = 0; k < s.nchars[d] && k < MXCP; k++) {
          abmtostr(buf, sizeof buf, s.charsets[d][k], 0);
          o += buf;
        }
        o += "\"\n";
      }
}

// A clue's continuation line: the text with backslashes, line breaks and other control
// characters escaped, so that every byte a setter typed reads back.
void addescaped(std::string& o, const std::string& text) {
  static const char hex[] = "0123456789abcdef";
  o += '+';
  size_t start = 0;
  for (size_t i = 0; i < text.size(); i++) {
    unsigned char c = (unsigned char)text[i];
    if (c != '\\' && !iscontrol((char)c)) continue;
    o.append(text, start, i - start);
    start = i + 1;
    if (c == '\\') o += "\\\\";
    else if (c == '\n') o += "\\n";
    else o += "\\x", o += hex[c >> 4], o += hex[c & 15];
  }
  o.append(text, start, std::string::npos);
  o += '\n';
}

// Clues, grid lights then free lights, each with its text and its enumeration override.
void addclues(std::string& o) {
  cluestore cs = cluesget();
  for (int free = 0; free < 2; free++)
    for (const clue& c : *cs) {
      if ((c.k.d >= 100) != (free == 1)) continue;
      if (free) line(o, "CLF", c.k.d - 100);
      else line(o, "CLU", c.k.x, c.k.y, c.k.d);
      addescaped(o, c.text);
      addescaped(o, c.enumr);
    }
}

// The records added after version 5, after every older group and before END. Each is written
// only when it holds something, so that a document using none of them stays a version 5 file.
std::string newrecords() {
  std::string o;
  if (copyright[0]) {
    o += "CPR\n";
    addtext(o, copyright);
  }
  if (notes[0]) {
    o += "NOTE\n";
    addtext(o, notes);
  }
  addclues(o);
  for (int d = 0; d < MAXNDICTS; d++)
    if (dminscore[d] > 0) line(o, "DMS", d, dminscore[d]);
  return o;
}

// The whole document as the native format's text: version 6 exactly when a record added
// after version 5 is written, so that older releases warn that something was skipped.
std::string doctext() {
  std::string o, added = newrecords();
  o.reserve((size_t)width * height * 400 + 8192 + added.size());
  o += added.empty() ? "#ZYN2v5 " : "#ZYN2v6 ";
  o += zynweb;
  o += '\n';
  line(o, "GP", gtype, width, height, rotsym, mirsym, dupsym);
  o += "TTL\n";
  addtext(o, title);
  o += "AUT\n";
  addtext(o, author);
  addalphabet(o);
  o += "GLP ";
  addlp(o, deflight);
  o += "GSP ";
  addcp(o, defcell);
  for (int k = 0; k < NMARKS; k++) {
    line(o, "GSPMK", k);
    addtext(o, defcell.marktexts[k]);
  }
  addtreatment(o);
  adddicts(o);
  addsquares(o);
  o += added;
  o += "END\n";
  return o;
}

}  // namespace

int savedocument() {
  std::string text = doctext();
  if (deb(DEB_DOC)) pstdout("savedocument: %s, %zu bytes\n", filename, text.size());
  if (plat_writefile(filename, text.data(), text.size())) {
    fserror();
    return 1;
  }
  setfilestem(filename);
  havename = 1;
  readforeigngrid = 0;
  unsaved = 0;
  return 0;
}
