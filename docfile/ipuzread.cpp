// Reading ipuz crosswords (versions 1 and 2): the puzzle's cells in every form the format
// allows, the "barred" style in all four letters, circles and colours, the solution as strings
// or {"value": ...} objects, and the clues in their short and long forms.
#include <cstdlib>

#include "docfile/import.h"
#include "docfile/json.h"

namespace {

struct ipuzreader {
  const jvalue* block = nullptr;  // the file's block and empty values
  const jvalue* empty = nullptr;
  std::string why;

  bool fail(const std::string& reason) {
    if (why.empty()) why = reason;
    return false;
  }

  static bool same(const jvalue& a, const jvalue& b) {
    if (a.k != b.k) return false;
    return a.k == jvalue::STR ? a.s == b.s : a.k == jvalue::NUM ? a.num == b.num : a.k == jvalue::NUL;
  }
  bool isblock(const jvalue& v) const { return block ? same(v, *block) : v.k == jvalue::STR && v.s == "#"; }
  bool isempty(const jvalue& v) const {
    if (empty) return same(v, *empty);
    return (v.k == jvalue::NUM && v.num == 0) || (v.k == jvalue::STR && v.s == "0");
  }

  static int colour(const std::string& s) {
    std::string h = s[0] == '#' ? s.substr(1) : s;
    if (h.size() != 6 || h.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return -1;
    return (int)strtol(h.c_str(), nullptr, 16);
  }

  // The style's bars: R and B on the cell itself, T and L as the bar below or right of the
  // cell above or on the left.
  void style(const jvalue& st, importgrid* g, int x, int y) {
    if (st.k != jvalue::OBJ) return;
    importcell& c = g->at(x, y);
    if (const jvalue* b = st.get("barred"); b && b->k == jvalue::STR)
      for (char l : b->s) {
        if (l == 'R' || l == 'r') c.barright = true;
        else if (l == 'B' || l == 'b') c.barbelow = true;
        else if ((l == 'T' || l == 't') && y > 0) g->at(x, y - 1).barbelow = true;
        else if ((l == 'L' || l == 'l') && x > 0) g->at(x - 1, y).barright = true;
      }
    if (const jvalue* s = st.get("shapebg"); s && s->k == jvalue::STR && s->s == "circle") c.circle = true;
    if (const jvalue* s = st.get("color"); s && s->k == jvalue::STR && !s->s.empty()) c.bg = colour(s->s);
    if (const jvalue* s = st.get("colortext"); s && s->k == jvalue::STR && !s->s.empty()) c.fg = colour(s->s);
  }

  // One cell of "puzzle": its kind and number.
  bool puzzlecell(const jvalue& v, importgrid* g, int x, int y) {
    importcell& c = g->at(x, y);
    const jvalue* cell = &v;
    if (v.k == jvalue::OBJ) {
      if (const jvalue* st = v.get("style")) style(*st, g, x, y);
      if (const jvalue* val = v.get("value"); val && val->k == jvalue::STR) c.letters = val->s;
      cell = v.get("cell");
      if (!cell) return true;
    }
    if (cell->k == jvalue::NUL) c.kind = IC_VOID;
    else if (isblock(*cell)) c.kind = IC_BLOCK;
    else if (isempty(*cell)) {
    } else if (cell->isint(0, 1 << 20)) c.number = (int)cell->num;
    else if (cell->k == jvalue::STR && !cell->s.empty() && cell->s.size() < 8 &&
             cell->s.find_first_not_of("0123456789") == std::string::npos)
      c.number = atoi(cell->s.c_str());
    else if (cell->k == jvalue::STR || cell->k == jvalue::OBJ) {
      // A cell labelled with text other than a number (or the file's block and empty) is an
      // ordinary white cell.
    } else
      return fail("a cell of the puzzle in row " + std::to_string(y + 1) + ", column " + std::to_string(x + 1) +
                  " is neither a number, a block, an empty cell nor an object");
    return true;
  }

  void solutioncell(const jvalue& v, importcell& c) {
    const jvalue* s = &v;
    if (v.k == jvalue::OBJ) s = v.get("value");
    if (!s || s->k != jvalue::STR || isblock(*s) || isempty(*s)) return;
    if (c.kind == IC_WHITE) c.letters = s->s;
  }

  // The rows of a grid: an array of h arrays of w values.
  bool rows(const jvalue* v, const char* name, int w, int h) {
    if (!v || v->k != jvalue::ARR) return fail(std::string("\"") + name + "\" is missing or not an array");
    if ((int)v->a.size() != h) return fail(std::string("\"") + name + "\" has " + std::to_string(v->a.size()) + " rows, not " + std::to_string(h));
    for (int y = 0; y < h; y++)
      if (v->a[y].k != jvalue::ARR || (int)v->a[y].a.size() != w)
        return fail(std::string("row ") + std::to_string(y + 1) + " of \"" + name + "\" does not have " + std::to_string(w) + " cells");
    return true;
  }

  // A clue of either form: [number, "text"] or {"number": ..., "clue": "...", "enumeration": "..."}.
  bool clue(const jvalue& v, int d, importgrid* g) {
    const jvalue *num = nullptr, *text = nullptr, *en = nullptr;
    if (v.k == jvalue::ARR && v.a.size() >= 2) num = &v.a[0], text = &v.a[1];
    else if (v.k == jvalue::OBJ) num = v.get("number"), text = v.get("clue"), en = v.get("enumeration");
    else if (v.k == jvalue::STR) return fail("a clue has no number: \"" + v.s.substr(0, 40) + "\"");
    importclue c{0, "", ""};
    if (num && num->isint(1, 1 << 20)) c.number = (int)num->num;
    else if (num && num->k == jvalue::STR && !num->s.empty() && num->s.size() < 8 &&
             num->s.find_first_not_of("0123456789") == std::string::npos)
      c.number = atoi(num->s.c_str());
    if (c.number < 1) return fail("a clue has no number, or one that is not a whole number");
    if (text && text->k == jvalue::STR) c.text = text->s;
    else if (text && text->k != jvalue::NUL) return fail("the clue " + std::to_string(c.number) + " is not text");
    if (en && en->k == jvalue::STR) c.enumeration = en->s;
    else if (en && en->k == jvalue::NUM && en->isint(1, 999)) c.enumeration = std::to_string((int)en->num);
    g->clues[d].push_back(c);
    return true;
  }

  bool clues(const jvalue* v, importgrid* g) {
    if (!v) return true;
    if (v->k != jvalue::OBJ) return fail("\"clues\" is not an object");
    for (const auto& [key, list] : v->o) {
      // "Across" or "Across:label"; other directions (diagonals, zones) have no light in Zyn's plain grid.
      std::string dir = key.substr(0, key.find(':'));
      int d = dir == "Across" ? 0 : dir == "Down" ? 1 : -1;
      if (d < 0) continue;
      if (list.k != jvalue::ARR) return fail("the " + dir + " clues are not a list");
      for (const jvalue& c : list.a)
        if (!clue(c, d, g)) return false;
    }
    return true;
  }

  static std::string text(const jvalue& top, const char* key) {
    const jvalue* v = top.get(key);
    return v && v->k == jvalue::STR ? v->s : "";
  }

  bool read(const jvalue& top, importgrid* g) {
    if (top.k != jvalue::OBJ) return fail("the file is not a JSON object");
    const jvalue* ver = top.get("version");
    if (!ver || ver->k != jvalue::STR || (ver->s.rfind("http://ipuz.org/v1", 0) && ver->s.rfind("http://ipuz.org/v2", 0)))
      return fail("it has no ipuz version 1 or 2");
    const jvalue* kind = top.get("kind");
    bool crossword = false;
    if (kind && kind->k == jvalue::ARR)
      for (const jvalue& k : kind->a) crossword = crossword || (k.k == jvalue::STR && !k.s.rfind("http://ipuz.org/crossword", 0));
    if (!crossword) return fail("it is not an ipuz crossword");
    const jvalue* dim = top.get("dimensions");
    const jvalue* wv = dim ? dim->get("width") : nullptr;
    const jvalue* hv = dim ? dim->get("height") : nullptr;
    if (!wv || !hv || !wv->isint(1, 1 << 20) || !hv->isint(1, 1 << 20)) return fail("its dimensions are missing or not positive whole numbers");
    int w = (int)wv->num, h = (int)hv->num;
    if (w > 63 || h > 63) return fail("the grid is " + std::to_string(w) + " by " + std::to_string(h) + "; Zyn holds grids of 1 to 63 by 1 to 63");
    block = top.get("block");
    empty = top.get("empty");
    g->w = w, g->h = h;
    g->cells.assign((size_t)w * h, importcell());
    const jvalue* puzzle = top.get("puzzle");
    if (!rows(puzzle, "puzzle", w, h)) return false;
    for (int y = 0; y < h; y++)
      for (int x = 0; x < w; x++)
        if (!puzzlecell(puzzle->a[y].a[x], g, x, y)) return false;
    if (const jvalue* sol = top.get("solution"); sol && sol->k != jvalue::NUL) {
      if (!rows(sol, "solution", w, h)) return false;
      for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) solutioncell(sol->a[y].a[x], g->at(x, y));
    }
    g->title = text(top, "title"), g->author = text(top, "author");
    g->copyright = text(top, "copyright"), g->notes = text(top, "notes");
    return clues(top.get("clues"), g);
  }
};

}  // namespace

bool readipuz(const std::string& file, importgrid* g, std::string* why) {
  // Some sites serve ipuz wrapped as a JavaScript call: ipuz({...})
  std::string text = file;
  size_t start = text.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
  if (start != std::string::npos && !text.compare(start, 5, "ipuz(")) {
    size_t close = text.find_last_of(')');
    if (close == std::string::npos || close < start + 5) {
      *why = "the ipuz( wrapper is not closed";
      return false;
    }
    text = text.substr(start + 5, close - start - 5);
  } else if (start != std::string::npos && start >= 3 && !text.compare(0, 3, "\xEF\xBB\xBF")) {
    text = text.substr(3);
  }
  jvalue top;
  std::string err;
  if (!jsonparse(text, &top, &err)) {
    *why = "it is not valid JSON (" + err + ")";
    return false;
  }
  ipuzreader r;
  if (!r.read(top, g)) {
    *why = r.why;
    return false;
  }
  return true;
}
