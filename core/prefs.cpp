// The preference table, its defaults and clamping, and the preferences file.
#include "core/prefs.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/message.h"
#include "platform/platform.h"

const prefdef prefdefs[NPREFS] = {
    {"edit_click_for_block", 0, 0, 1, 0, nullptr},
    {"edit_click_for_bar", 0, 0, 1, 0, nullptr},
    {"edit_show_numbers", 0, 0, 1, 1, nullptr},
    {"stats_min_check_percent", 0, 0, 100, 66, nullptr},
    {"stats_max_check_percent", 0, 0, 100, 75, nullptr},
    {"autofill_no_duplicates", 0, 0, 1, 1, nullptr},
    {"autofill_random", 0, 0, 2, 0, nullptr},
    {"export_EPS_square_points", 0, 10, 72, 36, nullptr},
    {"export_HTML_square_pixels", 0, 10, 72, 36, nullptr},
    {"light_numbers_in_solutions", 0, 0, 1, 0, nullptr},
    {"lookupname_0", 1, 0, 0, 0, "Look up at Collins online"},
    {"lookupname_1", 1, 0, 0, 0, "Look up at Oxford online"},
    {"lookupname_2", 1, 0, 0, 0, "Search at English Wiktionary"},
    {"lookupname_3", 1, 0, 0, 0, "Search at English Wikipedia"},
    {"lookupname_4", 1, 0, 0, 0, "Search at Startpage"},
    {"lookupname_5", 1, 0, 0, 0, "Look up at Dictionary.com"},
    {"lookupuri_0", 1, 0, 0, 0, "https://www.collinsdictionary.com/search/?dictCode=english&q=%s"},
    {"lookupuri_1", 1, 0, 0, 0, "https://www.oxfordlearnersdictionaries.com/definition/%s"},
    {"lookupuri_2", 1, 0, 0, 0, "https://en.wiktionary.org/w/index.php?search=%s"},
    {"lookupuri_3", 1, 0, 0, 0, "https://en.wikipedia.org/w/index.php?search=%s"},
    {"lookupuri_4", 1, 0, 0, 0, "https://www.startpage.com/do/search?q=%s"},
    {"lookupuri_5", 1, 0, 0, 0, "https://www.dictionary.com/browse/%s?s=t"},
    {"startup_defdict1", 1, 0, 0, 0, ""},
    {"startup_ff1", 1, 0, 0, 0, ""},
    {"startup_af1", 1, 0, 0, 0, ""},
    {"startup_al", 0, 0, 19, 2, nullptr},
    {"export_PDF_paper", 0, 0, 1, 0, nullptr},
    {"export_PDF_solution", 0, 0, 1, 0, nullptr},
    {"startup_minscore1", 0, 0, 100, 40, nullptr},
    {"startup_spelling", 0, 0, 4, 0, nullptr},
    {"dict_cache_index", 0, 0, 1, 1, nullptr},
    {"edit_highlight_light", 0, 0, 1, 1, nullptr},
    {"edit_heat_map", 0, 0, 1, 0, nullptr},
};

int prefdata[NPREFS];
char prefstrs[NPREFS][SLEN];

void loadprefdefaults() {
  for (int i = 0; i < NPREFS; i++) {
    prefdata[i] = prefdefs[i].idef;
    strlcpy0(prefstrs[i], prefdefs[i].isstr ? prefdefs[i].sdef : "", SLEN);
  }
}

std::string prefspath(int mkdir) {
  std::string dir = plat_configdir(mkdir != 0);
  if (dir.empty()) return "";
  return dir + PLAT_SEP + "Zyn.ini";
}

int setpref(const char* key, const char* val) {
  for (int i = 0; i < NPREFS; i++) {
    if (strcmp(key, prefdefs[i].key) != 0) continue;
    if (prefdefs[i].isstr) {
      utf8cut(prefstrs[i], val, SLEN);
    } else {
      long v = strtol(val, nullptr, 10);
      if (v < prefdefs[i].min) v = prefdefs[i].min;
      if (v > prefdefs[i].max) v = prefdefs[i].max;
      prefdata[i] = (int)v;
    }
    return 0;
  }
  return 1;
}

// Each line is read whole, so that a value Zyn wrote comes back exactly and no part of it is
// taken for a line of its own. A line ends at LF, CR LF or a lone CR. A line with a NUL byte
// inside, or a value too long to keep whole, is ignored rather than cut into another value.
void readprefs(FILE* f) {
  std::string text;
  char buf[4096];
  for (size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;) text.append(buf, n);
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find_first_of("\r\n", at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    at = end + 1;
    size_t sp = line.find(' ');
    if (sp == std::string::npos || line.find('\0') != std::string::npos) continue;
    size_t l = line.size();
    while (l > sp + 1 && ((unsigned char)line[l - 1] < 0x20 || line[l - 1] == 0x7f)) l--;
    if (l - sp - 1 >= (size_t)SLEN) continue;
    line.resize(l);
    line[sp] = 0;
    setpref(line.c_str(), line.c_str() + sp + 1);
  }
}

void loadprefs() {
  loadprefdefaults();
  std::string path = prefspath(0);
  FILE* f = path.empty() ? nullptr : plat_fopen(path.c_str(), "r");
  if (!f) return;
  readprefs(f);
  fclose(f);
}

int saveprefs() {
  plat_clearerr();  // a folder that cannot be named leaves no stale reason behind
  std::string path = prefspath(1);
  if (path.empty()) return 1;
  std::string text;
  char line[2 * SLEN + 8];
  for (int i = 0; i < NPREFS; i++) {
    if (prefdefs[i].isstr) pbuf(line, sizeof line, "%s %s\n", prefdefs[i].key, prefstrs[i]);
    else pbuf(line, sizeof line, "%s %d\n", prefdefs[i].key, prefdata[i]);
    text += line;
  }
  return plat_writefile(path.c_str(), text.data(), text.size());
}

void storeprefint(int i, int v) {
  const prefdef& p = prefdefs[i];
  if (i == PREF_STARTUP_AL && (v < p.min || v > p.max)) v = p.idef;
  prefdata[i] = v < p.min ? p.min : v > p.max ? p.max : v;
}

void storeprefstr(int i, const char* s) {
  std::string t;
  for (; *s; s++)
    if ((unsigned char)*s >= 0x20 && *s != 0x7f) t += *s;
  utf8cut(prefstrs[i], t.c_str(), SLEN);
}

int writeprefs() {
  if (saveprefs() == 0) return 0;
  fserror();
  return 1;
}
