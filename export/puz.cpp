// The .puz (Across Lite) writer: version 1.3, texts in ISO-8859-1, the solution board with an
// empty fill board, the clues by number with Across before Down, the four header checksums,
// and the rebus (GRBS, RTBL) and circle (GEXT) sections. The format knows only letters and
// blocks, so a grid with anything else is refused.
#include <glib.h>

#include <map>

#include "core/message.h"
#include "export/clueseam.h"
#include "export/export.h"
#include "export/interchange.h"
#include "grid/geometry.h"
#include "grid/zyn.h"
#include "platform/platform.h"

namespace {

// Typographic punctuation that solvers' texts are full of, as the nearest Latin-1 text.
const char* plainpunct(gunichar u) {
  switch (u) {
    case 0x2018: case 0x2019: case 0x201a: case 0x2032: return "'";
    case 0x201c: case 0x201d: case 0x201e: case 0x2033: return "\"";
    case 0x2010: case 0x2011: case 0x2012: case 0x2013: case 0x2014: case 0x2212: return "-";
    case 0x2026: return "...";
  }
  return nullptr;
}

// UTF-8 text as Latin-1 bytes. False, with the first character it cannot hold in *bad, when
// there is one (or the text is not UTF-8). Punctuation is made plain only in texts.
bool tolatin1(const std::string& s, std::string* out, std::string* bad, bool texts) {
  out->clear();
  if (!g_utf8_validate(s.data(), (gssize)s.size(), nullptr)) {
    *bad = "a byte that is not UTF-8";
    return false;
  }
  for (const char* p = s.c_str(); *p; p = g_utf8_next_char(p)) {
    gunichar u = g_utf8_get_char(p);
    if (u < 0x100) *out += (char)u;
    else if (const char* r = texts ? plainpunct(u) : nullptr) *out += r;
    else {
      *bad = std::string(p, g_utf8_next_char(p) - p);
      return false;
    }
  }
  return true;
}

void put16(std::string& o, size_t at, unsigned v) {
  o[at] = (char)(v & 0xff);
  o[at + 1] = (char)(v >> 8 & 0xff);
}

void add16(std::string& o, unsigned v) {
  o += (char)(v & 0xff);
  o += (char)(v >> 8 & 0xff);
}

// The strings' share of a checksum, as the format sums them.
unsigned textsum(const std::string& t, const std::string& a, const std::string& c, const std::vector<std::string>& clues,
                 const std::string& n, unsigned sum) {
  for (const std::string* s : {&t, &a, &c})
    if (!s->empty()) sum = puzcksum((const unsigned char*)s->c_str(), s->size() + 1, sum);
  for (const std::string& s : clues)
    if (!s.empty()) sum = puzcksum(s, sum);
  if (!n.empty()) sum = puzcksum((const unsigned char*)n.c_str(), n.size() + 1, sum);
  return sum;
}

void addsection(std::string& o, const char* name, const std::string& data) {
  o.append(name, 4);
  add16(o, (unsigned)data.size());
  add16(o, puzcksum(data, 0));
  o += data;
  o += '\0';
}

const char* const dirname[2] = {"Across", "Down"};

std::string lightname(const gridlight& l) {
  return l.number > 0 ? std::to_string(l.number) + " " + dirname[l.d] : "the light at " + cellname(l.x, l.y);
}

std::string refused(const std::string& why) { return "Cannot export to .puz:\n" + why; }

// Why the cell (x, y) cannot go into a .puz file, or "".
std::string cellfault(int x, int y) {
  const square& s = sqarray[x][y];
  std::string at = "the cell in " + cellname(x, y);
  if (s.sqflags & SQF_CUTOUT) return at + " is cut out of the grid";
  if (s.sqflags & SQF_BLOCK) return "";
  if ((x + 1 < width && isbar(x, y, 0)) || (y + 1 < height && isbar(x, y, 1))) return at + " has a bar";
  for (int d = 0; d < 4; d++)
    if (ismerge(x, y, d)) return at + " is merged";
  if (getcprops(x, y)->unlinked) return at + " has lights that need not agree";
  if (!isclear(x - 1, y) && !isclear(x + 1, y) && !isclear(x, y - 1) && !isclear(x, y + 1))
    return at + " is a light of one cell";
  std::string t = cellletters(x, y), l1, bad;
  if (t.empty()) return at + " has no letter yet";
  if (!tolatin1(t, &l1, &bad, false)) return at + " holds " + bad + ", which is not in Latin-1";
  for (char c : l1)
    if (c == '.' || c == '-' || c == ':') return at + " holds " + std::string(1, c) + ", which .puz cannot hold";
  return "";
}

}  // namespace

bool puzencode(const puzdata& p, std::string* bytes, std::string* why) {
  size_t n = (size_t)p.w * p.h;
  std::string t, a, c, no, bad;
  std::vector<std::string> clues(p.clues.size());
  const std::pair<const std::string*, std::string*> texts[] = {{&p.title, &t}, {&p.author, &a}, {&p.copyright, &c}, {&p.notes, &no}};
  for (auto [from, to] : texts)
    if (!tolatin1(*from, to, &bad, true)) {
      *why = refused("a text holds " + bad + ", which is not in Latin-1");
      return false;
    }
  for (size_t i = 0; i < clues.size(); i++)
    if (!tolatin1(p.clues[i], &clues[i], &bad, true)) {
      *why = refused("a clue holds " + bad + ", which is not in Latin-1");
      return false;
    }
  if (p.w < 1 || p.w > 255 || p.h < 1 || p.h > 255 || p.board.size() != n || clues.size() > 0xffff) {
    *why = refused("the grid or its clues are too large");
    return false;
  }
  std::string fill(n, '-');
  for (size_t i = 0; i < n; i++)
    if (p.board[i] == '.') fill[i] = '.';

  std::string o(0x34, '\0');
  o.replace(2, 12, std::string("ACROSS&DOWN\0", 12));
  o.replace(0x18, 4, std::string("1.3\0", 4));
  o[0x2c] = (char)p.w;
  o[0x2d] = (char)p.h;
  put16(o, 0x2e, (unsigned)clues.size());
  put16(o, 0x30, 1);
  unsigned cib = puzcksum((const unsigned char*)o.data() + 0x2c, 8, 0);
  unsigned csol = puzcksum(p.board, 0), cfill = puzcksum(fill, 0), cpart = textsum(t, a, c, clues, no, 0);
  put16(o, 0x0e, cib);
  put16(o, 0x00, textsum(t, a, c, clues, no, puzcksum(fill, puzcksum(p.board, cib))));
  const unsigned four[4] = {cib, csol, cfill, cpart};
  const char key[] = "ICHEATED";
  for (int i = 0; i < 4; i++) {
    o[0x10 + i] = (char)(key[i] ^ (four[i] & 0xff));
    o[0x14 + i] = (char)(key[i + 4] ^ (four[i] >> 8));
  }
  o += p.board;
  o += fill;
  for (const std::string* s : {&t, &a, &c}) o += *s, o += '\0';
  for (const std::string& s : clues) o += s, o += '\0';
  o += no, o += '\0';

  // Rebus cells: one key per different text, in the order the cells come.
  std::map<std::string, int> keys;
  std::string grbs(n, '\0');
  for (size_t i = 0; i < n && i < p.rebus.size(); i++) {
    if (p.rebus[i].empty()) continue;
    std::string l1;
    if (!tolatin1(p.rebus[i], &l1, &bad, false)) {
      *why = refused("a cell holds " + bad + ", which is not in Latin-1");
      return false;
    }
    auto k = keys.emplace(l1, (int)keys.size()).first->second;
    if (k > 99) {
      *why = refused("more than 100 different cells hold several characters");
      return false;
    }
    grbs[i] = (char)(k + 1);
  }
  if (!keys.empty()) {
    std::vector<std::string> bykey(keys.size());
    for (auto& [text, k] : keys) bykey[k] = text;
    std::string rtbl;
    for (size_t k = 0; k < bykey.size(); k++) rtbl += (k < 10 ? " " : "") + std::to_string(k) + ":" + bykey[k] + ";";
    addsection(o, "GRBS", grbs);
    addsection(o, "RTBL", rtbl);
  }
  std::string gext(n, '\0');
  bool anycircle = false;
  for (size_t i = 0; i < n && i < p.circle.size(); i++)
    if (p.circle[i]) gext[i] = (char)0x80, anycircle = true;
  if (anycircle) addsection(o, "GEXT", gext);
  *bytes = o;
  return true;
}

bool puzfromdoc(puzdata* p, std::string* why) {
  if (gtype != 0) {
    *why = refused(std::string("it holds plain rectangular grids only, and this grid is of the type\n\"") + gtypes[gtype].name + "\"");
    return false;
  }
  if (nfreelights > 0) {
    *why = refused("it cannot hold free lights");
    return false;
  }
  p->w = width, p->h = height;
  p->board.clear();
  p->rebus.assign((size_t)width * height, "");
  p->circle.assign((size_t)width * height, 0);
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      std::string f = cellfault(x, y);
      if (!f.empty()) {
        *why = refused(f);
        return false;
      }
      size_t i = (size_t)y * width + x;
      if (sqarray[x][y].sqflags & SQF_BLOCK) {
        p->board += '.';
        continue;
      }
      std::string t = cellletters(x, y), l1, bad;
      tolatin1(t, &l1, &bad, false);
      p->board += l1[0];
      if (l1.size() > 1) p->rebus[i] = t;
      p->circle[i] = (unsigned char)circled(x, y);
    }
  p->clues.clear();
  for (const gridlight& l : gridlights()) {
    if (l.number < 1) {
      *why = refused(lightname(l) + " (" + dirname[l.d] + ") has no number");
      return false;
    }
    std::string clue = cluetextof(l.x, l.y, l.d), e = enumerationof(l.x, l.y, l.d), bad, l1;
    // The format has no enumerations: one the setter gave goes after the clue, as printed.
    if (!clue.empty() && e != lightenumeration(l.x, l.y, l.d)) clue += " (" + e + ")";
    if (!tolatin1(clue, &l1, &bad, true)) {
      *why = refused("the clue of " + lightname(l) + " holds " + bad + ", which is not in Latin-1");
      return false;
    }
    p->clues.push_back(clue);
  }
  p->title = title, p->author = author, p->copyright = copyright, p->notes = notes;
  return true;
}

int exportpuz(const char* path) {
  if (deb(DEB_EXPORT)) pstdout("export puz %s\n", path);
  puzdata p;
  std::string bytes, why;
  if (!puzfromdoc(&p, &why) || !puzencode(p, &bytes, &why)) {
    errbox(why.c_str());
    return 1;
  }
  if (plat_writefile(path, bytes.data(), bytes.size())) {
    fserror();
    return 1;
  }
  return 0;
}
