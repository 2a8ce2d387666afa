// Reading Crossword Compiler XML, as Zyn writes it and in its JPZ form (the same vocabulary
// inside a crossword-compiler-applet, plain or zipped): the grid's cells with their blocks, letters, numbers,
// bars and circles, the title and creator, and the clues joined to their words. Namespace
// prefixes are ignored; the parser is GLib's.
#include <glib.h>

#include <cstdlib>
#include <cstring>
#include <map>

#include "docfile/import.h"

namespace {

struct xword {
  int x0, x1, y0, y1;
};

struct ccreader {
  importgrid* g;
  std::vector<std::string> stack;  // local names of the open elements
  std::map<int, xword> words;
  struct pending {
    int word;
    int number;
    std::string text, format;
  };
  std::vector<pending> clues;
  std::string* text = nullptr;  // where character data goes
  std::string title, creator, copyright, description;
  bool grid = false;
  std::string why;
};

const char* localname(const char* n) {
  const char* c = strrchr(n, ':');
  return c ? c + 1 : n;
}

const char* attr(const char** names, const char** values, const char* want) {
  for (int i = 0; names[i]; i++)
    if (!strcmp(localname(names[i]), want)) return values[i];
  return nullptr;
}

bool number(const char* s, int* v, int lo, int hi) {
  if (!s || !*s) return false;
  char* end;
  long n = strtol(s, &end, 10);
  if (*end || n < lo || n > hi) return false;
  *v = (int)n;
  return true;
}

// "3" or "3-7", counted from 1.
bool range(const char* s, int* a, int* b) {
  if (!s) return false;
  std::string t = s;
  size_t dash = t.find('-');
  if (dash == std::string::npos) return number(s, a, 1, 63) && (*b = *a, true);
  return number(t.substr(0, dash).c_str(), a, 1, 63) && number(t.substr(dash + 1).c_str(), b, 1, 63) && *a <= *b;
}

void seterr(GError** err, ccreader* r, const std::string& why) {
  r->why = why;
  g_set_error_literal(err, G_MARKUP_ERROR, G_MARKUP_ERROR_INVALID_CONTENT, why.c_str());
}

bool istrue(const char* v) { return v && (!strcmp(v, "true") || !strcmp(v, "1")); }

int colour(const char* v) {
  if (!v || v[0] != '#' || strlen(v) != 7) return -1;
  char* end;
  long c = strtol(v + 1, &end, 16);
  return *end ? -1 : (int)c;
}

void cell(ccreader* r, const char** n, const char** v, GError** err) {
  importgrid* g = r->g;
  int x, y;
  if (!r->grid || !number(attr(n, v, "x"), &x, 1, g->w) || !number(attr(n, v, "y"), &y, 1, g->h)) {
    seterr(err, r, "a cell lies outside the grid");
    return;
  }
  importcell& c = g->at(x - 1, y - 1);
  const char* type = attr(n, v, "type");
  if (type && !strcmp(type, "block")) c.kind = IC_BLOCK;
  else if (type && !strcmp(type, "void")) c.kind = IC_VOID;
  if (c.kind != IC_WHITE) return;
  if (const char* s = attr(n, v, "solution")) c.letters = s;
  int num;
  if (number(attr(n, v, "number"), &num, 1, 1 << 20)) c.number = num;
  const char* shape = attr(n, v, "background-shape");
  c.circle = shape && !strcmp(shape, "circle");
  // Zyn writes the circle's background itself; a colour is kept only for an uncircled cell.
  if (!c.circle) {
    int bg = colour(attr(n, v, "background-color"));
    if (bg >= 0 && bg != 0xffffff) c.bg = bg;
  }
  int fg = colour(attr(n, v, "foreground-color"));
  if (fg > 0) c.fg = fg;
  if (istrue(attr(n, v, "right-bar"))) c.barright = true;
  if (istrue(attr(n, v, "bottom-bar"))) c.barbelow = true;
  if (istrue(attr(n, v, "left-bar")) && x > 1) g->at(x - 2, y - 1).barright = true;
  if (istrue(attr(n, v, "top-bar")) && y > 1) g->at(x - 1, y - 2).barbelow = true;
}

void start(GMarkupParseContext*, const gchar* name, const gchar** n, const gchar** v, gpointer data, GError** err) {
  ccreader* r = (ccreader*)data;
  std::string el = localname(name);
  std::string parent = r->stack.empty() ? "" : r->stack.back();
  r->stack.push_back(el);
  if (r->stack.size() > 64) {
    seterr(err, r, "its elements are nested too deeply");
    return;
  }
  if (el == "grid") {
    int w, h;
    if (r->grid || !number(attr(n, v, "width"), &w, 1, 1 << 20) || !number(attr(n, v, "height"), &h, 1, 1 << 20)) {
      seterr(err, r, "its grid has no width and height, or two grids");
      return;
    }
    if (w > 63 || h > 63) {
      seterr(err, r, "the grid is " + std::to_string(w) + " by " + std::to_string(h) + "; Zyn holds grids of 1 to 63 by 1 to 63");
      return;
    }
    r->grid = true;
    r->g->w = w, r->g->h = h;
    r->g->cells.assign((size_t)w * h, importcell());
  } else if (el == "cell" && parent == "grid") {
    cell(r, n, v, err);
  } else if (el == "word") {
    int id;
    xword wd;
    if (!number(attr(n, v, "id"), &id, 1, 1 << 20) || !range(attr(n, v, "x"), &wd.x0, &wd.x1) || !range(attr(n, v, "y"), &wd.y0, &wd.y1) ||
        (wd.x0 != wd.x1 && wd.y0 != wd.y1)) {
      // Words given cell by cell, or diagonal ones, have no light in a plain grid.
      return;
    }
    if (!r->words.emplace(id, wd).second) seterr(err, r, "two words have the id " + std::to_string(id));
  } else if (el == "clue") {
    ccreader::pending p{0, 0, "", ""};
    if (!number(attr(n, v, "word"), &p.word, 1, 1 << 20)) {
      seterr(err, r, "a clue names no word");
      return;
    }
    number(attr(n, v, "number"), &p.number, 1, 1 << 20);
    if (const char* f = attr(n, v, "format")) p.format = f;
    r->clues.push_back(p);
    r->text = &r->clues.back().text;
  } else if (parent == "metadata") {
    r->text = el == "title" ? &r->title : el == "creator" ? &r->creator : el == "copyright" ? &r->copyright
            : el == "description" ? &r->description : nullptr;
  }
}

void end(GMarkupParseContext*, const gchar*, gpointer data, GError**) {
  ccreader* r = (ccreader*)data;
  std::string el = r->stack.back();
  r->stack.pop_back();
  // The text of a clue includes that of the markup inside it; the element that opened the text ends it.
  if (el == "clue" || (!r->stack.empty() && r->stack.back() == "metadata")) r->text = nullptr;
}

void chars(GMarkupParseContext*, const gchar* t, gsize len, gpointer data, GError**) {
  ccreader* r = (ccreader*)data;
  if (r->text) r->text->append(t, len);
}

// Zyn writes a light's answer (or its pattern) where a document has no clue text: such a "clue"
// is the letters of the light itself, with '?' or '.' for those not known, in any case and
// spacing, and is no clue.
bool isanswer(const std::string& text, const importgrid& g, const xword& w) {
  std::string letters;
  for (int y = w.y0; y <= w.y1; y++)
    for (int x = w.x0; x <= w.x1; x++) {
      if (x > g.w || y > g.h) return false;
      const std::string& l = g.at(x - 1, y - 1).letters;
      letters += l.empty() ? "?" : l;
    }
  gchar* up = g_utf8_strup(text.c_str(), -1);
  std::string t;
  for (const char* p = up; *p; p++)
    if (*p != ' ' && *p != '-' && *p != '\'') t += *p;
  g_free(up);
  gchar* lu = g_utf8_strup(letters.c_str(), -1);
  letters = lu;
  g_free(lu);
  if (t.size() != letters.size() || t.empty()) return false;
  for (size_t i = 0; i < t.size(); i++)
    if (t[i] != letters[i] && t[i] != '?' && t[i] != '.' && letters[i] != '?') return false;
  return true;
}

std::string trimmed(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r\n"), b = s.find_last_not_of(" \t\r\n");
  return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

}  // namespace

bool readccxml(const std::string& file, importgrid* g, std::string* why) {
  std::string unzipped;
  if (!file.compare(0, 4, "PK\x03\x04") && !unzipmember(file, &unzipped, why)) return false;
  const std::string& text = unzipped.empty() ? file : unzipped;
  if (text.find('\0') != std::string::npos) {
    *why = "it holds a NUL byte";
    return false;
  }
  ccreader r;
  r.g = g;
  GMarkupParser p = {start, end, chars, nullptr, nullptr};
  GMarkupParseContext* ctx = g_markup_parse_context_new(&p, (GMarkupParseFlags)0, &r, nullptr);
  GError* err = nullptr;
  // The XML declaration is no element; GLib's parser reads it as a processing instruction.
  bool ok = g_markup_parse_context_parse(ctx, text.data(), (gssize)text.size(), &err) &&
            g_markup_parse_context_end_parse(ctx, &err);
  g_markup_parse_context_free(ctx);
  if (!ok) {
    *why = r.why.empty() ? std::string("it is not well-formed XML (") + (err ? err->message : "") + ")" : r.why;
    if (err) g_error_free(err);
    return false;
  }
  if (!r.grid) {
    *why = "it has no grid";
    return false;
  }
  for (const ccreader::pending& c : r.clues) {
    auto it = r.words.find(c.word);
    if (it == r.words.end()) {
      *why = "a clue names the word " + std::to_string(c.word) + ", which the file does not have";
      return false;
    }
    const xword& w = it->second;
    int d = w.y0 == w.y1 && w.x0 != w.x1 ? 0 : 1;
    std::string text = trimmed(c.text);
    if (isanswer(text, *g, w)) text.clear();
    importclue ic{c.number, text, c.format, w.x0 - 1, w.y0 - 1};
    g->clues[d].push_back(ic);
  }
  g->title = trimmed(r.title), g->author = trimmed(r.creator), g->copyright = trimmed(r.copyright), g->notes = trimmed(r.description);
  return true;
}
