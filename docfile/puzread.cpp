// Reading .puz (Across Lite) files of versions 1.2 to 2.0: the header wherever its magic
// string sits, the solution board, the strings (Latin-1, or UTF-8 from version 2.0), the clues
// given to the lights by the format's numbering, the rebus and circle sections, and every
// checksum, a mismatch of which is a warning rather than a refusal.
#include <glib.h>

#include <cstring>
#include <map>

#include "docfile/import.h"
#include "export/interchange.h"

namespace {

struct puzreader {
  const std::string& b;
  size_t base = 0, p = 0;
  bool utf8 = false;
  std::string why;

  explicit puzreader(const std::string& bytes) : b(bytes) {}

  bool fail(const std::string& reason) {
    if (why.empty()) why = reason;
    return false;
  }
  unsigned u8(size_t at) const { return (unsigned char)b[base + at]; }
  unsigned u16(size_t at) const { return u8(at) | u8(at + 1) << 8; }

  // A NUL-terminated string from p on, as UTF-8; false at the end of the file.
  bool str(std::string* raw, std::string* text, const char* what) {
    size_t e = b.find('\0', p);
    if (e == std::string::npos) return fail(std::string("the file ends inside ") + what);
    *raw = b.substr(p, e - p);
    p = e + 1;
    if (utf8) {
      if (!g_utf8_validate(raw->data(), (gssize)raw->size(), nullptr)) return fail(std::string(what) + " is not UTF-8");
      *text = *raw;
    } else {
      text->clear();
      char u[8];
      for (unsigned char c : *raw) text->append(u, g_unichar_to_utf8(c, u));
    }
    return true;
  }

  // The extensions after the strings: rebus and circles; their checksums must match.
  bool sections(importgrid* g, const std::string& board, bool* damaged) {
    size_t n = board.size();
    std::string grbs;
    std::map<int, std::string> rtbl;
    while (p + 8 <= b.size()) {
      std::string name = b.substr(p, 4);
      size_t len = (unsigned char)b[p + 4] | (unsigned char)b[p + 5] << 8;
      unsigned sum = (unsigned char)b[p + 6] | (unsigned char)b[p + 7] << 8;
      if (p + 8 + len + 1 > b.size()) return fail("the section " + std::string(name.c_str()) + " runs past the end of the file");
      std::string data = b.substr(p + 8, len);
      if (puzcksum(data, 0) != sum || b[p + 8 + len] != 0) *damaged = true;
      p += 8 + len + 1;
      if (name == "GRBS") {
        if (len != n) return fail("the rebus section GRBS does not match the grid's size");
        grbs = data;
      } else if (name == "RTBL") {
        // " 0:SH; 1:TH;"
        size_t q = 0;
        while (q < data.size()) {
          size_t colon = data.find(':', q), semi = data.find(';', q);
          if (colon == std::string::npos || semi == std::string::npos || semi < colon) return fail("the rebus table RTBL is malformed");
          std::string key = data.substr(q, colon - q);
          key.erase(0, key.find_first_not_of(' '));
          if (key.empty() || key.size() > 3 || key.find_first_not_of("0123456789") != std::string::npos)
            return fail("the rebus table RTBL is malformed");
          std::string raw = data.substr(colon + 1, semi - colon - 1), text;
          char u[8];
          for (unsigned char c : raw) text.append(u, g_unichar_to_utf8(c, u));
          if (utf8 && g_utf8_validate(raw.data(), (gssize)raw.size(), nullptr)) text = raw;
          rtbl[atoi(key.c_str())] = text;
          q = semi + 1;
        }
      } else if (name == "GEXT") {
        if (len != n) return fail("the section GEXT does not match the grid's size");
        for (size_t i = 0; i < n; i++)
          if ((unsigned char)data[i] & 0x80) g->cells[i].circle = true;
      }
    }
    for (size_t i = 0; i < grbs.size(); i++) {
      int k = (unsigned char)grbs[i];
      if (!k || g->cells[i].kind != IC_WHITE) continue;
      auto it = rtbl.find(k - 1);
      if (it == rtbl.end()) return fail("a rebus cell names key " + std::to_string(k - 1) + ", which RTBL does not have");
      if (!g->cells[i].letters.empty()) g->cells[i].letters = it->second;
    }
    return true;
  }

  bool read(importgrid* g) {
    static const char magic[] = "ACROSS&DOWN";
    size_t m = b.find(std::string(magic, sizeof magic));
    if (m == std::string::npos || m < 2) return fail("it has no .puz header");
    base = m - 2;
    if (b.size() - base < 0x34) return fail("the file ends inside its header");
    int w = (int)u8(0x2c), h = (int)u8(0x2d), nclues = (int)u16(0x2e);
    if (w < 1 || h < 1) return fail("the grid has no cells");
    if (w > 63 || h > 63) return fail("the grid is " + std::to_string(w) + " by " + std::to_string(h) + "; Zyn holds grids of 1 to 63 by 1 to 63");
    utf8 = u8(0x18) >= '2' && u8(0x18) <= '9';
    bool locked = u16(0x32) & 0x0004;
    size_t n = (size_t)w * h;
    p = base + 0x34;
    if (b.size() < p + 2 * n) return fail("the file ends inside its grid");
    std::string board = b.substr(p, n), fill = b.substr(p + n, n);
    p += 2 * n;
    g->w = w, g->h = h;
    g->cells.assign(n, importcell());
    for (size_t i = 0; i < n; i++) {
      unsigned char c = (unsigned char)board[i];
      if (c == '.' || c == ':') {
        g->cells[i].kind = IC_BLOCK;
      } else if (!locked && c != '-' && c > ' ') {
        char u[8];
        g->cells[i].letters.assign(u, g_unichar_to_utf8(c, u));
      }
    }
    std::string raw[4], text[4];
    const char* what[4] = {"the title", "the author", "the copyright", "the notes"};
    for (int k = 0; k < 3; k++)
      if (!str(&raw[k], &text[k], what[k])) return false;
    std::vector<std::string> rawclues(nclues), clues(nclues);
    for (int k = 0; k < nclues; k++)
      if (!str(&rawclues[k], &clues[k], "the clues")) return false;
    // Old files may end without the notes.
    if (p < b.size() && !str(&raw[3], &text[3], what[3])) return false;

    unsigned cib = puzcksum((const unsigned char*)b.data() + base + 0x2c, 8, 0);
    std::string version = b.substr(base + 0x18, 3);
    auto textsum = [&](unsigned c) {
      for (int k = 0; k < 3; k++)
        if (!raw[k].empty()) c = puzcksum((const unsigned char*)raw[k].c_str(), raw[k].size() + 1, c);
      for (const std::string& s : rawclues)
        if (!s.empty()) c = puzcksum(s, c);
      if (!raw[3].empty() && version >= "1.3") c = puzcksum((const unsigned char*)raw[3].c_str(), raw[3].size() + 1, c);
      return c;
    };
    unsigned four[4] = {cib, puzcksum(board, 0), puzcksum(fill, 0), textsum(0)};
    bool damaged = u16(0x0e) != cib || u16(0) != textsum(puzcksum(fill, puzcksum(board, cib)));
    const char key[] = "ICHEATED";
    for (int i = 0; i < 4; i++)
      damaged = damaged || u8(0x10 + i) != ((unsigned char)key[i] ^ (four[i] & 0xff)) ||
                u8(0x14 + i) != ((unsigned char)key[i + 4] ^ (four[i] >> 8));
    if (!sections(g, board, &damaged)) return false;

    // The clues go to the lights in the format's order: by number, Across before Down.
    auto white = [&](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h && g->at(x, y).kind == IC_WHITE; };
    std::vector<std::pair<int, int>> lights;  // number, direction
    for (int y = 0, number = 0; y < h; y++)
      for (int x = 0; x < w; x++) {
        bool a = white(x, y) && !white(x - 1, y) && white(x + 1, y), d = white(x, y) && !white(x, y - 1) && white(x, y + 1);
        if (a || d) number++;
        if (a) lights.push_back({number, 0});
        if (d) lights.push_back({number, 1});
      }
    if ((int)lights.size() != nclues)
      return fail("the file has " + std::to_string(nclues) + " clues for the " + std::to_string(lights.size()) + " lights of its grid");
    for (size_t k = 0; k < lights.size(); k++) {
      importclue c{lights[k].first, clues[k], ""};
      splitenumeration(&c.text, &c.enumeration);
      g->clues[lights[k].second].push_back(c);
    }
    g->title = text[0], g->author = text[1], g->copyright = text[2], g->notes = text[3];
    if (damaged) g->warnings.push_back("The file's checksums do not match; the file may be damaged");
    if (locked) g->warnings.push_back("The file's solution is locked (scrambled):\nthe grid is loaded without its letters");
    return true;
  }
};

}  // namespace

bool readpuz(const std::string& bytes, importgrid* g, std::string* why) {
  puzreader r(bytes);
  if (r.read(g)) return true;
  *why = r.why;
  return false;
}
