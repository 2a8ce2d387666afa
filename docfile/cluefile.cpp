// Plain-text clue files: one line per light, "1A Clue text (5)", "12D ...", "F3 ..." for free
// light 3. The export writes every numbered light; the import matches lines to lights by number
// and direction and changes nothing but clues.
#include <glib.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "core/common.h"
#include "core/message.h"
#include "docfile/docfile.h"
#include "grid/clues.h"
#include "grid/road.h"
#include "grid/zyn.h"
#include "platform/platform.h"

namespace {

// Short names of the directions, by grid type's direction name.
const char* dirabbrev(const char* name) {
  static const char* const tab[][2] = {{"Across", "A"},    {"Down", "D"},  {"Northeast", "NE"},
                                       {"Southeast", "SE"}, {"South", "S"}, {"East", "E"},
                                       {"Southwest", "SW"}, {"Ring", "R"},  {"Radial", "RA"}};
  for (const auto& t : tab)
    if (!strcmp(t[0], name)) return t[1];
  return name;
}

// The direction a line names, by short or full name in any case; -1 for none.
int dirnamed(const std::string& s) {
  for (int d = 0; d < ndir(); d++) {
    const char* full = gtypes[gtype].dname[d];
    if (!g_ascii_strcasecmp(s.c_str(), full) || !g_ascii_strcasecmp(s.c_str(), dirabbrev(full))) return d;
  }
  return -1;
}

std::string lightname(const cluelight& l) {
  std::string s = "F";
  if (l.k.d >= 100) return s += std::to_string(l.number);
  return std::to_string(l.number) + dirabbrev(gtypes[gtype].dname[l.k.d]);
}

// A clue's text on one line: backslashes and line breaks escaped.
std::string oneline(const std::string& s) {
  std::string o;
  for (char c : s) {
    if (c == '\\') o += "\\\\";
    else if (c == '\n') o += "\\n";
    else if (c == '\r') o += "\\r";
    else o += c;
  }
  return o;
}

std::string unescape(const std::string& s) {
  std::string o;
  for (size_t i = 0; i < s.size(); i++) {
    char n = i + 1 < s.size() ? s[i + 1] : 0;
    if (s[i] == '\\' && (n == '\\' || n == 'n' || n == 'r')) {
      o += n == 'n' ? '\n' : n == 'r' ? '\r' : '\\';
      i++;
    } else {
      o += s[i];
    }
  }
  return o;
}

// An enumeration as a line ends with it: digits with separators, in parentheses.
bool isenum(const std::string& s) {
  bool digit = false;
  for (char c : s) {
    if (c >= '0' && c <= '9') digit = true;
    else if (!strchr(",-. '/", c)) return false;
  }
  return digit;
}

struct parsed {
  int line;
  cluekey k;
  std::string text, enumr;
  bool hasenum;
};

}  // namespace

std::string cluestext() {
  std::string o;
  for (const cluelight& l : cluelights()) {
    if (l.number < 1) continue;
    const clue* c = cluefor(l.k);
    o += lightname(l);
    o += ' ';
    if (c && !c->text.empty()) o += oneline(c->text) + ' ';
    o += '(' + clueenum(l) + ")\n";
  }
  return o;
}

int exportclues(const char* path) {
  std::string text = cluestext();
  if (plat_writefile(path, text.data(), text.size())) {
    fserror();
    return 1;
  }
  return 0;
}

int readclues(const std::string& bytes, const char* name, std::vector<std::string>* unmatched) {
  std::map<std::string, cluelight> lights;
  for (const cluelight& l : cluelights())
    if (l.number >= 1) lights[lightname(l)] = l;
  std::vector<parsed> lines;
  std::map<cluekey, int> seen;
  char msg[400];
  auto fail = [&](int n, const char* why) {
    pbuf(msg, sizeof msg, "Clue file %.200s:\nline %d: %s", name, n, why);
    errbox(msg);
    return 1;
  };
  size_t at = 0;
  for (int n = 1; at < bytes.size(); n++) {
    size_t end = bytes.find('\n', at);
    if (end == std::string::npos) end = bytes.size();
    std::string l = bytes.substr(at, end - at);
    at = end + 1;
    if (!l.empty() && l.back() == '\r') l.pop_back();
    if (!g_utf8_validate(l.data(), (gssize)l.size(), nullptr) || l.find('\0') != std::string::npos)
      return fail(n, "not UTF-8 text");
    size_t p = l.find_first_not_of(" \t");
    if (p == std::string::npos || l[p] == '#') continue;
    // The light: "F" and a free light's number, or a number and a direction.
    bool free = l[p] == 'F' || l[p] == 'f';
    size_t q = p + free;
    while (q < l.size() && l[q] >= '0' && l[q] <= '9') q++;
    size_t r = q;
    while (!free && r < l.size() && g_ascii_isalpha(l[r])) r++;
    if (q == p + free || q - p > 9 || (!free && r == q) || (r < l.size() && l[r] != ' ' && l[r] != '\t'))
      return fail(n, "expected a light such as 1A, 12D or F3 at the start");
    int num = atoi(l.substr(p + free, q - p - free).c_str());
    std::string lname;
    if (free) {
      lname = "F";
      lname += std::to_string(num);
    } else {
      int d = dirnamed(l.substr(q, r - q));
      if (d < 0) return fail(n, ("no direction \"" + l.substr(q, r - q) + "\" in this grid").c_str());
      lname = std::to_string(num) + dirabbrev(gtypes[gtype].dname[d]);
    }
    // The text, and the enumeration in parentheses at its end.
    std::string text = r < l.size() ? l.substr(r + 1) : "";
    parsed e{n, {}, "", "", false};
    size_t open = text.rfind('(');
    if (!text.empty() && text.back() == ')' && open != std::string::npos &&
        isenum(text.substr(open + 1, text.size() - open - 2))) {
      e.enumr = text.substr(open + 1, text.size() - open - 2);
      e.hasenum = true;
      text.erase(open);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
    e.text = unescape(text);
    if (e.text.size() > MXCLUE) return fail(n, "the clue is longer than 2000 bytes");
    if (e.enumr.size() > MXENUM) return fail(n, "the enumeration is longer than 100 bytes");
    auto it = lights.find(lname);
    if (it == lights.end()) {
      unmatched->push_back("line " + std::to_string(n) + ": no light " + lname);
      continue;
    }
    e.k = it->second.k;
    if (e.hasenum && e.enumr == std::to_string(it->second.len)) e.enumr.clear();
    auto [first, fresh] = seen.emplace(e.k, n);
    if (!fresh) return fail(n, ("a second clue for " + lname + " (the first is on line " + std::to_string(first->second) + ")").c_str());
    lines.push_back(e);
  }
  int changed = 0;
  for (const parsed& e : lines) {
    const clue* c = cluefor(e.k);
    std::string enumr = e.hasenum ? e.enumr : c ? c->enumr : "";
    changed |= clueset(e.k, e.text, enumr) == CLUE_SET;
  }
  editreport r;
  if (changed) endtext(r);
  return 0;
}

int importclues(const char* path) {
  FILE* f = plat_fopen(path, "rb");
  if (!f) {
    fserror();
    return 1;
  }
  // A clue file of a grid is a few hundred kilobytes at most; anything far larger is refused
  // rather than read into memory.
  constexpr size_t MXCLUEFILE = 64 << 20;
  std::string bytes;
  char buf[65536];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0 && bytes.size() <= MXCLUEFILE) bytes.append(buf, n);
  int bad = ferror(f);
  if (fclose(f) != 0 || bad) {
    fserror();
    return 1;
  }
  if (bytes.size() > MXCLUEFILE) {
    std::string m = "Clue file " + std::string(path) + ":\nthe file is too large";
    errbox(m.c_str());
    return 1;
  }
  std::vector<std::string> unmatched;
  if (readclues(bytes, path, &unmatched)) return 1;
  if (!unmatched.empty()) {
    std::string m = "Clue file " + std::string(path) + ":\nlines that match no light were skipped:";
    for (size_t i = 0; i < unmatched.size() && i < 10; i++) m += "\n" + unmatched[i];
    if (unmatched.size() > 10) m += "\nand " + std::to_string(unmatched.size() - 10) + " more";
    warnbox(m.c_str());
  }
  return 0;
}
