// Importing an interchange file: recognising the format by content, reading the whole file
// within a size limit, checking the grid and its clues against the lights Zyn will make of it,
// and only then making it the document.
#include "docfile/import.h"

#include <glib.h>

#include <cstring>
#include <set>

#include "alphabet/alphabet.h"
#include "core/message.h"
#include "export/clueseam.h"
#include "grid/lights.h"
#include "grid/symm.h"
#include "grid/zyn.h"

importformat sniffformat(const char* p, size_t n) {
  static const char magic[] = "ACROSS&DOWN";
  for (size_t i = 2; i + sizeof magic <= n; i++)
    if (!memcmp(p + i, magic, sizeof magic)) return IF_PUZ;
  // A zip archive: a compressed JPZ puzzle.
  if (n >= 4 && !memcmp(p, "PK\x03\x04", 4)) return IF_CCXML;
  size_t i = 0;
  if (n >= 3 && !memcmp(p, "\xEF\xBB\xBF", 3)) i = 3;
  while (i < n && (p[i] == ' ' || p[i] == '\t' || p[i] == '\r' || p[i] == '\n')) i++;
  if (i < n && p[i] == '{') return IF_IPUZ;
  if (n - i >= 5 && !memcmp(p + i, "ipuz(", 5)) return IF_IPUZ;
  if (i < n && p[i] == '<') {
    std::string head(p + i, n - i);
    if (head.find("crossword-compiler") != std::string::npos || head.find("rectangular-puzzle") != std::string::npos)
      return IF_CCXML;
  }
  return IF_NONE;
}

bool splitenumeration(std::string* text, std::string* e) {
  const std::string& t = *text;
  if (t.size() < 4 || t.back() != ')') return false;
  size_t open = t.rfind('(');
  if (open == std::string::npos || open == 0 || t[open - 1] != ' ' || open + 2 >= t.size()) return false;
  std::string in = t.substr(open + 1, t.size() - open - 2);
  for (size_t i = 0; i < in.size(); i++) {
    char c = in[i];
    bool digit = c >= '0' && c <= '9';
    if (!digit && !((c == ',' || c == '-') && i > 0 && i + 1 < in.size() && in[i - 1] >= '0' && in[i - 1] <= '9')) return false;
  }
  *e = in;
  text->erase(open - 1);
  return true;
}

namespace {

const char* const dirname[2] = {"Across", "Down"};

bool white(const importgrid& g, int x, int y) { return x >= 0 && y >= 0 && x < g.w && y < g.h && g.at(x, y).kind == IC_WHITE; }

// A light of direction d starts at (x, y), as Zyn's plain grids make lights: a run of two or
// more white cells between blocks, edges and bars.
bool starts(const importgrid& g, int x, int y, int d) {
  if (!white(g, x, y)) return false;
  int px = x - (d == 0), py = y - (d == 1), nx = x + (d == 0), ny = y + (d == 1);
  auto barafter = [&](int cx, int cy) { return d == 0 ? g.at(cx, cy).barright : g.at(cx, cy).barbelow; };
  bool openbefore = white(g, px, py) && !barafter(px, py);
  bool openafter = white(g, nx, ny) && !barafter(x, y);
  return !openbefore && openafter;
}

// Where each clue goes: the cell that carries its number (the file's numbers when it has any,
// else Zyn's), which must start a light in the clue's direction, once.
bool placeclues(const importgrid& g, const std::vector<int>& zyn, std::vector<std::pair<int, int>> at[2], std::string* why) {
  bool filenumbers = false;
  for (const importcell& c : g.cells) filenumbers = filenumbers || c.number > 0;
  std::vector<int> cellof(g.cells.size() + 2, -1);
  std::vector<std::vector<int>> bynumber;
  for (size_t i = 0; i < g.cells.size(); i++) {
    int n = filenumbers ? g.cells[i].number : zyn[i];
    if (n <= 0) continue;
    if ((size_t)n >= bynumber.size()) bynumber.resize(std::min<size_t>((size_t)n + 1, g.cells.size() * 2 + 2));
    if ((size_t)n < bynumber.size()) bynumber[n].push_back((int)i);
  }
  for (int d = 0; d < 2; d++) {
    std::set<int> seen;
    for (const importclue& c : g.clues[d]) {
      std::string name = c.x >= 0 ? "at row " + std::to_string(c.y + 1) + ", column " + std::to_string(c.x + 1) + " " + dirname[d]
                                  : std::to_string(c.number) + " " + dirname[d];
      int found = -1;
      if (c.x >= 0) {
        if (c.x < g.w && c.y < g.h && starts(g, c.x, c.y, d)) found = c.y * g.w + c.x;
      } else if (c.number > 0 && (size_t)c.number < bynumber.size())
        for (int i : bynumber[c.number])
          if (starts(g, i % g.w, i / g.w, d)) found = i;
      if (found < 0) {
        *why = "the clue " + name + " belongs to no light of the grid";
        return false;
      }
      if (!seen.insert(found).second) {
        *why = "there are two clues for the light " + name;
        return false;
      }
      at[d].push_back({found % g.w, found / g.w});
    }
  }
  return true;
}

// The grid as a whole: its size, its cells and its clues.
bool checkgrid(importgrid* g, std::string* why) {
  if (g->w < 1 || g->h < 1 || g->w > MXSZ || g->h > MXSZ) {
    *why = "the grid is " + std::to_string(g->w) + " by " + std::to_string(g->h) + "; Zyn holds grids of 1 to 63 by 1 to 63";
    return false;
  }
  if (g->cells.size() != (size_t)g->w * g->h) {
    *why = "the grid's cells do not fill its size";
    return false;
  }
  std::vector<int> zyn(g->cells.size(), 0);
  int n = 0;
  for (int y = 0; y < g->h; y++)
    for (int x = 0; x < g->w; x++) {
      if (g_utf8_strlen(g->at(x, y).letters.c_str(), -1) > MXCP) {
        *why = "the cell in row " + std::to_string(y + 1) + ", column " + std::to_string(x + 1) + " holds more than 31 characters";
        return false;
      }
      if (starts(*g, x, y, 0) || starts(*g, x, y, 1)) zyn[(size_t)y * g->w + x] = ++n;
    }
  bool filenumbers = false, differ = false;
  for (const importcell& c : g->cells) filenumbers = filenumbers || c.number > 0;
  for (size_t i = 0; filenumbers && i < g->cells.size(); i++) differ = differ || g->cells[i].number != zyn[i];
  for (auto& a : g->clueat) a.clear();
  if (!placeclues(*g, zyn, g->clueat, why)) return false;
  if (differ) g->warnings.push_back("The file's light numbers differ from Zyn's numbering;\nZyn's own numbers are used");
  return true;
}

// The code of a character, adding it to the alphabet when the alphabet lacks it and has room;
// 0 when it cannot be had.
int codeof(gunichar u, bool* added) {
  int c = uchartoICC((int)u);
  if (c >= 1 && c <= MAXICC) return c;
  gunichar up = g_unichar_toupper(u);
  c = uchartoICC((int)up);
  if (c >= 1 && c <= MAXICC) return c;
  if (!g_unichar_isprint(up) || up >= (gunichar)MAXUCP) return 0;
  for (int k = 1; k <= MAXICC; k++)
    if (!icctext[k][0]) {
      char rep[8], low[8];
      rep[g_unichar_to_utf8(up, rep)] = 0;
      low[g_unichar_to_utf8(g_unichar_tolower(up), low)] = 0;
      if (alphaentry(k, rep, strcmp(rep, low) ? low : "", 0, 0, 0) == 1) return 0;
      *added = true;
      return uchartoICC((int)up) == k ? k : 0;
    }
  return 0;
}

}  // namespace

void importdocument(const importgrid& g) {
  gtype = 0;
  setgridsize(g.w, g.h);
  if (!symmrotok(rotsym)) rotsym = 1;
  bool added = false, lost = false;
  for (int y = 0; y < g.h; y++)
    for (int x = 0; x < g.w; x++) {
      const importcell& c = g.at(x, y);
      square& s = sqarray[x][y];
      s.sqflags = c.kind == IC_BLOCK ? SQF_BLOCK : c.kind == IC_VOID ? SQF_CUTOUT : 0;
      if (c.kind != IC_WHITE) continue;
      s.bars = (x + 1 < g.w && c.barright ? 1u : 0u) | (y + 1 < g.h && c.barbelow ? 2u : 0u);
      if (c.bg >= 0 || c.fg >= 0 || c.circle) {
        s.cellrec.cellown = 1;
        if (c.bg >= 0) s.cellrec.bgcolour = (unsigned)c.bg & 0xffffff;
        if (c.fg >= 0) s.cellrec.fgcolour = (unsigned)c.fg & 0xffffff;
        if (c.circle) strcpy(s.cellrec.marktexts[2], "\\o");
      }
      if (c.letters.empty()) continue;
      int k = 0;
      for (const char* p = c.letters.c_str(); *p && k < MXCP; p = g_utf8_next_char(p), k++) {
        int code = codeof(g_utf8_get_char(p), &added);
        if (!code) lost = true;
        s.charsets[0][k] = code ? 1ULL << (code - 1) : ABM_ALL;
      }
      s.nchars[0] = k;
    }
  if (added) codewordnumbers();
  utf8cut(title, g.title.c_str(), SLEN);
  utf8cut(author, g.author.c_str(), SLEN);
  utf8cut(copyright, g.copyright.c_str(), SLEN);
  utf8cut(notes, g.notes.c_str(), SLEN);
  numbering();
  for (int d = 0; d < 2; d++)
    for (size_t i = 0; i < g.clues[d].size() && i < g.clueat[d].size(); i++)
      setcluefrom(g.clueat[d][i].first, g.clueat[d][i].second, d, g.clues[d][i].text, g.clues[d][i].enumeration);
  std::vector<std::string> w = g.warnings;
  if (added) w.push_back("Characters the alphabet lacked have been added to it");
  if (lost) w.push_back("Some characters could not be added to the alphabet\nand their cells were left empty");
  std::string all;
  for (const std::string& m : w) all += (all.empty() ? "" : "\n") + m;
  if (!all.empty()) warnbox(all.c_str());
}

bool readimport(importformat k, FILE* f, const char* head, size_t headlen, importgrid* g, std::string* why) {
  std::string bytes(head, headlen);
  char buf[65536];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) {
    bytes.append(buf, n);
    if (bytes.size() > IMPORTMAXBYTES) {
      *why = "the file is larger than 16 MiB";
      return false;
    }
  }
  if (ferror(f)) {
    *why = "the file could not be read";
    return false;
  }
  bool ok = k == IF_IPUZ ? readipuz(bytes, g, why) : k == IF_PUZ ? readpuz(bytes, g, why) : readccxml(bytes, g, why);
  return ok && checkgrid(g, why);
}
