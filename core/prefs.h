// User preferences: 31 named integer or string values with defaults, read from the
// User preferences: named integer or string values with defaults, read from the
// per-user preferences file at interactive start-up and written back by the dialog.
#pragma once

#include <cstdio>
#include <string>

#include "core/common.h"

enum prefindex {
  PREF_EDIT_CLICK_FOR_BLOCK,
  PREF_EDIT_CLICK_FOR_BAR,
  PREF_EDIT_SHOW_NUMBERS,
  PREF_STATS_MIN_CHECK_PERCENT,
  PREF_STATS_MAX_CHECK_PERCENT,
  PREF_AUTOFILL_NO_DUPLICATES,
  PREF_AUTOFILL_RANDOM,
  PREF_EXPORT_EPS_SQUARE_POINTS,
  PREF_EXPORT_HTML_SQUARE_PIXELS,
  PREF_LIGHT_NUMBERS_IN_SOLUTIONS,
  PREF_LOOKUPNAME_0,
  PREF_LOOKUPURI_0 = PREF_LOOKUPNAME_0 + 6,
  PREF_STARTUP_DEFDICT1 = PREF_LOOKUPURI_0 + 6,
  PREF_STARTUP_FF1,
  PREF_STARTUP_AF1,
  PREF_STARTUP_AL,
  PREF_EXPORT_PDF_PAPER,     // 0 A4, 1 Letter
  PREF_EXPORT_PDF_SOLUTION,  // the puzzle's PDF has the solution on a last page
  PREF_STARTUP_MINSCORE1,  // minimum score of the start-up list (slot 1)
  PREF_STARTUP_SPELLING,   // spelling of Zyn's everyday list: an index of wordvarieties
  PREF_DICT_CACHE,  // keep finished answer indexes in the cache folder
  PREF_EDIT_HIGHLIGHT_LIGHT,  // shade the cells of the cursor's light on screen
  PREF_EDIT_HEAT_MAP,         // tint each cell on screen by the candidates of the lights through it
  NPREFS
};

struct prefdef {
  const char* key;
  int isstr;
  int min, max;
  int idef;
  const char* sdef;
};
extern const prefdef prefdefs[NPREFS];

// Current values: integers in prefdata, strings in prefstrs (empty for integer entries).
extern int prefdata[NPREFS];
extern char prefstrs[NPREFS][SLEN];

inline int prefint(int i) { return prefdata[i]; }
inline const char* prefstr(int i) { return prefstrs[i]; }

void loadprefdefaults();
// Path of the preferences file, empty when the folder cannot be determined; the folder is
// created first when mkdir is set.
std::string prefspath(int mkdir);
void loadprefs();             // defaults, then the file if it can be read
// Write every entry; the previous file survives a failed write. 0 on success, else 1 with
// plat_errtext() saying why.
int saveprefs();
// Set one preference from its key and value text as a line of the file would: integers are
// clamped to the entry's range. 1 when the key is unknown.
int setpref(const char* key, const char* val);
void readprefs(FILE* f);      // apply the lines of an open preferences file

// Store a value the preferences dialog read back. An integer is clamped to the entry's range,
// except that an alphabet index outside it gives the default alphabet; a text loses its control
// characters (a pasted line break would end the line in the file) and is cut at a character
// boundary to 999 bytes.
void storeprefint(int i, int v);
void storeprefstr(int i, const char* s);
// Write the preferences file as saveprefs does, reporting a failure with the filing-system
// message. 0 on success, 1 on failure.
int writeprefs();
