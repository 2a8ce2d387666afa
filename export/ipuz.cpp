// The ipuz writer: version 2 JSON for plain rectangular grids, with blocks, cut-outs, Zyn's
// light numbers, the solution, bars as the "barred" style, circles, colours and marks as cell
// styles, the titles and the clues with their enumerations.
#include <glib.h>

#include "core/message.h"
#include "core/startup.h"
#include "draw/draw.h"
#include "export/clueseam.h"
#include "export/interchange.h"
#include "grid/geometry.h"
#include "grid/zyn.h"
#include "platform/platform.h"

namespace {

// A JSON string. Text that is not UTF-8 (possible only in a damaged document) has each bad
// byte replaced, so that the file stays valid JSON.
void jstr(std::string& o, const std::string& s) {
  o += '"';
  const char* p = s.c_str();
  const char* end = p + s.size();
  while (p < end) {
    const char* bad;
    if (!g_utf8_validate(p, end - p, &bad)) {
      for (const char* q = p; q < bad; q++) o += *q == '"' || *q == '\\' || (unsigned char)*q < 0x20 ? '?' : *q;
      o += "\xEF\xBF\xBD";
      p = bad + 1;
      continue;
    }
    for (; p < end; p++) {
      unsigned char c = (unsigned char)*p;
      if (c == '"' || c == '\\') o += '\\', o += (char)c;
      else if (c == '\n') o += "\\n";
      else if (c == '\t') o += "\\t";
      else if (c < 0x20) {
        char b[8];
        pbuf(b, sizeof b, "\\u%04x", c);
        o += b;
      } else o += (char)c;
    }
  }
  o += '"';
}

void jfield(std::string& o, const char* key, const std::string& v) {
  jstr(o, key);
  o += ':';
  jstr(o, v);
  o += ',';
}

std::string hexcolour(unsigned c) {
  char b[8];
  pbuf(b, sizeof b, "%06X", c & 0xffffff);
  return b;
}

// The style of a white cell: its bars written once (right and below), circle, colours and marks
// other than the light number; "" when it has none.
std::string cellstyle(int x, int y) {
  std::string st, bars;
  if (x + 1 < width && isbar(x, y, 0)) bars += 'R';
  if (y + 1 < height && isbar(x, y, 1)) bars += 'B';
  if (!bars.empty()) jfield(st, "barred", bars);
  if (circled(x, y)) jfield(st, "shapebg", "circle");
  const cellprops* cp = getcprops(x, y);
  if (cp->bgcolour != 0xffffff) jfield(st, "color", hexcolour(cp->bgcolour));
  if (cp->fgcolour != 0) jfield(st, "colortext", hexcolour(cp->fgcolour));
  std::string marks;
  static const char* const corner[4] = {"TL", "TR", "BR", "BL"};
  for (int k = 0; k < 4; k++) {
    std::string t = marktext(x, y, k, 0);
    if (!t.empty()) jfield(marks, corner[k], t);
  }
  if (!marks.empty()) {
    marks.pop_back();
    st += "\"mark\":{" + marks + "},";
  }
  if (!st.empty()) st.pop_back();
  return st;
}

std::string puzzlecell(int x, int y) {
  const square& s = sqarray[x][y];
  if (s.sqflags & SQF_CUTOUT) return "null";
  if (s.sqflags & SQF_BLOCK) return "\"#\"";
  std::string n = std::to_string(s.number > 0 ? s.number : 0), st = cellstyle(x, y);
  return st.empty() ? n : "{\"cell\":" + n + ",\"style\":{" + st + "}}";
}

std::string solutioncell(int x, int y) {
  const square& s = sqarray[x][y];
  if (s.sqflags & SQF_CUTOUT) return "null";
  if (s.sqflags & SQF_BLOCK) return "\"#\"";
  std::string t = cellletters(x, y);
  if (t.empty()) return "0";
  std::string o;
  jstr(o, t);
  return o;
}

// The rows of puzzle or solution, one line per row.
std::string rows(std::string (*cell)(int, int)) {
  std::string o = "[";
  for (int y = 0; y < height; y++) {
    o += y ? ",\n  [" : "\n  [";
    for (int x = 0; x < width; x++) {
      if (x) o += ',';
      o += cell(x, y);
    }
    o += ']';
  }
  return o + "]";
}

std::string clues(int d) {
  std::string o = "[";
  for (const gridlight& l : gridlights()) {
    if (l.d != d) continue;
    if (o.size() > 1) o += ',';
    o += "\n  {\"number\":" + std::to_string(l.number) + ",";
    jfield(o, "clue", cluetextof(l.x, l.y, l.d));
    jstr(o, "enumeration");
    o += ':';
    jstr(o, enumerationof(l.x, l.y, l.d));
    o += '}';
  }
  return o + "]";
}

std::string refused(const std::string& why) { return "Cannot export to ipuz:\n" + why; }

// Why the grid cannot be written as ipuz, or "".
std::string refusal() {
  if (gtype != 0)
    return refused(std::string("it holds plain rectangular grids only, and this grid is of the type\n\"") + gtypes[gtype].name + "\"");
  if (nfreelights > 0) return refused("it cannot hold free lights");
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      if (!isclear(x, y)) continue;
      std::string at = "the cell in " + cellname(x, y);
      for (int d = 0; d < 4; d++)
        if (ismerge(x, y, d)) return refused(at + " is merged");
      if (getcprops(x, y)->unlinked) return refused(at + " has lights that need not agree");
    }
  for (const gridlight& l : gridlights())
    if (l.number < 1)
      return refused("the light at " + cellname(l.x, l.y) + " (" + gtypes[0].dname[l.d] + ") has no number");
  return "";
}

}  // namespace

bool ipuztext(std::string* out, std::string* why) {
  *why = refusal();
  if (!why->empty()) return false;
  bool letters = false;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) letters = letters || (isclear(x, y) && !cellletters(x, y).empty());
  std::string o = "{\"version\":\"http://ipuz.org/v2\",\n\"kind\":[\"http://ipuz.org/crossword/crypticcrossword#1\"],\n";
  for (auto [key, v] : {std::pair{"title", title}, {"author", author}, {"copyright", copyright}, {"notes", notes}})
    if (v[0]) jfield(o, key, v), o += '\n';
  jfield(o, "origin", std::string("Zyn ") + release);
  o += "\n\"block\":\"#\",\"empty\":0,\"showenumerations\":true,\n";
  o += "\"dimensions\":{\"width\":" + std::to_string(width) + ",\"height\":" + std::to_string(height) + "},\n";
  o += "\"puzzle\":" + rows(puzzlecell) + ",\n";
  if (letters) o += "\"solution\":" + rows(solutioncell) + ",\n";
  o += "\"clues\":{\"Across\":" + clues(0) + ",\n\"Down\":" + clues(1) + "}}\n";
  *out = o;
  return true;
}

int exportipuz(const char* path) {
  if (deb(DEB_EXPORT)) pstdout("export ipuz %s\n", path);
  std::string text, why;
  if (!ipuztext(&text, &why)) {
    errbox(why.c_str());
    return 1;
  }
  if (plat_writefile(path, text.data(), text.size())) {
    fserror();
    return 1;
  }
  return 0;
}
