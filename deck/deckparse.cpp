// The deck parser: lines, blocks, directives and word lines into the deck tables.
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "alphabet/alphabet.h"
#include "core/arena.h"
#include "core/prefs.h"
#include "deck/deck.h"
#include "dicts/dicts.h"
#include "grid/zyn.h"

dkentry* dkents = nullptr;
int dkne = 0;
dkword* dkwords = nullptr;
int dknw = 0;
int* dkhash = nullptr;
int dkhashsz = 0;
int dkline = 0;
int dkdictseen = 0;

namespace {

int entcap = 0, wordcap = 0;
arena<char> names;     // the entries' names
arena<int> wordents;   // the words' entry lists

// The word settings of one block.
struct blockset {
  unsigned int dmask, emask;
  unsigned char ten;
};

struct deckfailure {
  std::string msg;
};

[[noreturn]] void fail(const std::string& msg) { throw deckfailure{msg}; }

unsigned int namehash(const char* s) {
  unsigned int h = 0;
  for (; *s; s++) h = h * 113 + (unsigned int)(int)(signed char)*s;
  return h;
}

bool validname(const char* s) {
  size_t l = strlen(s);
  if (l < 1 || l > DKNAMELEN) return false;
  for (; *s; s++) {
    unsigned char c = *s;
    if (!(isalnum(c) || c == '$' || c == '_')) return false;
  }
  return true;
}

template <typename T>
void grow(T*& arr, int n, int& cap) {
  if (n < cap) return;
  long long nc = 2LL * cap + 1000;
  T* p = (T*)realloc(arr, (size_t)nc * sizeof(T));
  if (!p) fail("Out of memory");
  arr = p;
  cap = (int)nc;
}

// Adds entry k at the head of its chain. Linking every entry in index order again after the
// table grows gives each chain the order that adding the entries one by one gives.
void linkname(int k) {
  unsigned int h = namehash(dkents[k].name) & (dkhashsz - 1);
  dkents[k].hnext = dkhash[h];
  dkhash[h] = k;
}

// The table doubles whenever it holds as many entries as chains, so that chains stay short and
// parsing stays linear in the number of names.
void growhash() {
  if (dkhash && dkne < dkhashsz) return;
  int sz = dkhash ? 2 * dkhashsz : DKHASH;
  int* p = (int*)malloc(sizeof(int) * sz);
  if (!p) fail("Out of memory");
  free(dkhash);
  dkhash = p;
  dkhashsz = sz;
  for (int h = 0; h < sz; h++) dkhash[h] = -1;
  for (int k = 0; k < dkne; k++) linkname(k);
}

int addentry(const char* name) {
  growhash();
  grow(dkents, dkne, entcap);
  size_t l = strlen(name);
  char* n = names.take(l + 1);
  if (!n) fail("Out of memory");
  memcpy(n, name, l + 1);
  dkentry& e = dkents[dkne];
  e.name = n;
  e.flbm = ABM_ALLDASH;
  linkname(dkne);
  return dkne++;
}

// Lines as fgets would give them into a DKLINE buffer (at most 9999 bytes, through the line
// feed), except that a carriage return not followed by a line feed also ends a line (classic
// Mac files), and a NUL byte reads as a space rather than ending the line's text early.
struct deckreader {
  FILE* f;
  size_t pos = 0, len = 0;
  unsigned char buf[1 << 16];

  int peek() {
    if (pos == len) {
      len = fread(buf, 1, sizeof buf, f);
      pos = 0;
      if (!len) return EOF;
    }
    return buf[pos];
  }

  // The next line into out (DKLINE bytes, 0-terminated); false at the end of the file.
  bool next(char* out) {
    int n = 0;
    while (n < DKLINE - 1) {
      int c = peek();
      if (c == EOF) break;
      pos++;
      if (c == '\r' && peek() != '\n') c = '\n';
      out[n++] = c ? (char)c : ' ';
      if (c == '\n') break;
    }
    out[n] = 0;
    return n > 0;
  }
};

// A line split into tokens, remembering where each one ends for "rest of line" arguments.
struct tokline {
  const char* text;
  std::vector<std::string> tok;
  std::vector<size_t> end;

  explicit tokline(const char* s) : text(s) {
    size_t i = 0;
    while (s[i]) {
      while (s[i] && strchr(" \t\r\n", s[i])) i++;
      if (!s[i]) break;
      size_t st = i;
      while (s[i] && !strchr(" \t\r\n", s[i])) i++;
      tok.emplace_back(s + st, i - st);
      end.push_back(i);
    }
  }
  const char* arg(size_t k) const { return k < tok.size() ? tok[k].c_str() : nullptr; }
  // The text after token k with leading white space skipped and the line end excluded;
  // null when nothing is left.
  bool rest(size_t k, std::string* out) const {
    if (k >= end.size()) return false;
    const char* p = text + end[k];
    while (*p == ' ' || *p == '\t') p++;
    std::string r(p);
    while (!r.empty() && (r.back() == '\n' || r.back() == '\r')) r.pop_back();
    *out = r;
    return !r.empty();
  }
};

enum dirid { D_AL, D_DI, D_FF, D_AF, D_RA, D_UN, D_TR, D_ME, D_MA, D_MC, D_TW, D_PI, D_UD, D_EM, D_TE, D_TD, D_MS };

struct dirdef {
  const char* name;
  const char* abbr;
  bool global;
  const char* what;  // for the position messages
};

const dirdef dirs[] = {
    {"ALPHABET", "AL", true, "Alphabet"},
    {"DICTIONARY", "DI", true, "Dictionary"},
    {"FILEFILTER", "FF", true, "Dictionary file filter"},
    {"ANSWERFILTER", "AF", true, "Dictionary answer filter"},
    {"RANDOM", "RA", true, "Random fill"},
    {"UNIQUE", "UN", true, "Unique fill"},
    {"TREATMENT", "TR", true, "Treatment"},
    {"MESSAGE", "ME", true, "Message"},
    {"MESSAGEALLOCATE", "MA", true, "Message allocate"},
    {"MESSAGECONSTRAINTS", "MC", true, "Message constraints"},
    {"TREATEDANSWERMUSTBEAWORD", "TW", true, "Word constraint"},
    {"PLUGIN", "PI", true, "Plugin"},
    {"USEDICTIONARY", "UD", false, nullptr},
    {"ENTRYMETHOD", "EM", false, nullptr},
    {"TREATMENTENABLE", "TE", false, nullptr},
    {"TREATMENTDISABLE", "TD", false, nullptr},
    {"MINSCORE", "MS", true, "Minimum score"},
};

bool is01(const char* t) { return t && (!strcmp(t, "0") || !strcmp(t, "1")); }

// A path or filter that does not fit its buffer is refused: cut short, a path can name
// another, existing file.
void fitsslen(const std::string& v, const char* what) {
  if (v.size() >= (size_t)SLEN) fail(std::string(what) + " too long (at most " + std::to_string(SLEN - 1) + " bytes)");
}

// Slot number "1".."9" of the dictionary directives, as an index 0..8.
int dictslot(const char* t) {
  if (!t || strlen(t) != 1 || t[0] < '1' || t[0] > '9') fail("Dictionary number must be 1..9");
  return t[0] - '1';
}

void directive(const tokline& l, int depth, bool wordseen, blockset& bs) {
  const char* name = l.tok[0].c_str() + 1;
  int id = -1;
  for (int i = 0; i < (int)(sizeof dirs / sizeof dirs[0]); i++)
    if (!strcasecmp(name, dirs[i].name) || !strcasecmp(name, dirs[i].abbr)) id = i;
  if (id < 0) fail("Unrecognised directive");
  const dirdef& dd = dirs[id];
  if (dd.global) {
    if (depth > 0) fail(std::string(dd.what) + " directive encountered inside block");
    if (wordseen) fail(std::string(dd.what) + " directive must occur at beginning of deck");
  }
  const char* a1 = l.arg(1);
  const char* a2 = l.arg(2);
  std::string rest;
  switch (id) {
    case D_AL:
      if (!a1) fail("Syntax error in alphabet directive");
      if (alphafind(a1)) fail("Alphabet not recognised");
      break;
    case D_DI:
    case D_FF:
    case D_AF: {
      int d = dictslot(a1);
      l.rest(1, &rest);
      fitsslen(rest, id == D_DI ? "Dictionary file name" : id == D_FF ? "Dictionary file filter" : "Dictionary answer filter");
      char(*tab)[SLEN] = id == D_DI ? dictpaths : id == D_FF ? dsfilter : dafilter;
      strlcpy0(tab[d], rest.c_str(), SLEN);
      dkdictseen = 1;
      if (deb(DEB_DECK))
        pstdout("%s %d: >%s<\n", id == D_DI ? "dictionary" : id == D_FF ? "dsfilter" : "dafilter", d, tab[d]);
      break;
    }
    case D_MS: {
      // Not a choice of word list: without one the default list takes slot 1's minimum score.
      int d = dictslot(a1);
      if (!a2 || !a2[0] || strspn(a2, "0123456789") != strlen(a2) || strlen(a2) > 3 || atoi(a2) > 100)
        fail("Syntax error in minimum score directive");
      dminscore[d] = atoi(a2);
      if (d == 0) startminscore = dminscore[d];
      if (deb(DEB_DECK)) pstdout("minscore %d: %d\n", d, dminscore[d]);
      break;
    }
    case D_RA:
      if (!a1 || strlen(a1) != 1 || a1[0] < '0' || a1[0] > '2') fail("Syntax error in random fill directive");
      prefdata[PREF_AUTOFILL_RANDOM] = a1[0] - '0';
      break;
    case D_UN:
      if (!is01(a1)) fail("Syntax error in unique fill directive");
      prefdata[PREF_AUTOFILL_NO_DUPLICATES] = a1[0] - '0';
      break;
    case D_TR: {
      if (!a1 || !isdigit((unsigned char)a1[0])) fail("Syntax error in treatment directive");
      long t = strtol(a1, nullptr, 10);
      if (t < 0 || t > 11) fail("Invalid treatment number");
      treattype = (int)t;
      break;
    }
    case D_ME:
      if (!is01(a1) || !l.rest(1, &rest)) fail("Syntax error in message directive");
      strlcpy0(treatmsg[a1[0] - '0'], rest.c_str(), MXMSGLEN + 1);
      break;
    case D_MA:
      if (!is01(a1) || !a2 || strlen(a2) != 1 || a2[0] < '0' || a2[0] > '2')
        fail("Syntax error in message allocate directive");
      allocmode[a1[0] - '0'] = a2[0] - '0';
      break;
    case D_MC: {
      if (!is01(a1)) fail("Syntax error in message constraints directive");
      if (!l.rest(1, &rest)) fail("Syntax error in  message constraints directive");
      ABM* mc = msgconstr[a1[0] - '0'];
      int n = parseabm(mc, MXMSGSLOTS, rest.c_str(), 1);
      for (int i = n; i < MXMSGSLOTS; i++) mc[i] = ABM_ALLDASH;
      break;
    }
    case D_TW:
      if (!is01(a1)) fail("Syntax error in word constraint directive");
      mustbeword = a1[0] - '0';
      break;
    case D_PI:
      if (!l.rest(0, &rest)) fail("Syntax error in plugin directive");
      fitsslen(rest, "Plugin file name");
      strlcpy0(pluginpath, rest.c_str(), SLEN);
      break;
    case D_UD: {
      if (!a1) fail("Syntax error in dictionary list");
      unsigned int m = 0;
      for (const char* p = a1; *p; p++) {
        if (*p < '1' || *p > '9') fail("Syntax error in dictionary list");
        m |= 1u << (*p - '1');
      }
      bs.dmask = m;
      break;
    }
    case D_EM: {
      if (!a1) fail("Syntax error in entry method specification");
      unsigned int m = 0;
      for (const char* p = a1; *p; p++) {
        const char* k = strchr("frcaj", tolower((unsigned char)*p));
        const char* alt = strchr("><)(@", *p);
        if (k && *p) m |= 1u << (k - "frcaj");
        else if (alt && *p) m |= 1u << (alt - "><)(@");
        else fail("Syntax error in entry method specification");
      }
      bs.emask = m;
      break;
    }
    case D_TE:
      bs.ten = 1;
      break;
    case D_TD:
      bs.ten = 0;
      break;
  }
}

void wordline(const tokline& l, const blockset& bs) {
  int e[MXCL], n = 0;
  for (size_t k = 0; k < l.tok.size(); k++) {
    const char* t = l.tok[k].c_str();
    if (t[0] == '=' && k > 0) {
      // One set more than a word can hold, so that a constraint too long for any word is seen.
      ABM sets[MXCL + 1];
      int ns = parseabm(sets, MXCL + 1, t + 1, 1);
      if (ns > n) fail("Constraint too long");
      for (int i = 0; i < ns; i++) {
        dkentry& de = dkents[e[n - ns + i]];
        de.flbm &= sets[i];
        if (!de.flbm) fail(std::string("No possible assignment to entry ") + de.name);
      }
      continue;
    }
    if (deb(DEB_DECK)) pstdout("word entry tok=>%s<\n", t);
    if (!validname(t)) fail(k == 0 ? "Syntax error" : "Invalid name for entry");
    if (n >= MXCL) fail("Too many entries in word");
    int ei = dkfind(t);
    if (ei < 0) ei = addentry(t);
    e[n++] = ei;
  }
  grow(dkwords, dknw, wordcap);
  dkword& w = dkwords[dknw];
  if (!(w.e = wordents.take(n))) fail("Out of memory");
  memcpy(w.e, e, sizeof(int) * n);
  w.nent = n;
  w.dmask = bs.dmask;
  w.emask = bs.emask;
  w.ten = bs.ten;
  dknw++;
}

}  // namespace

void deckreset() {
  free(dkents);
  free(dkwords);
  free(dkhash);
  dkents = nullptr;
  dkwords = nullptr;
  dkhash = nullptr;
  names.clear();
  wordents.clear();
  dkne = dknw = entcap = wordcap = dkhashsz = 0;
  dkline = 0;
  dkdictseen = 0;
}

void deckerror(const char* msg) {
  if (dkline) pstream(stderr, "Error at line %d: %s\n", dkline, msg);
  else pstream(stderr, "Error: %s\n", msg);
}

int dkfind(const char* name) {
  if (!dkhash) return -1;
  for (int i = dkhash[namehash(name) & (dkhashsz - 1)]; i >= 0; i = dkents[i].hnext)
    if (!strcmp(dkents[i].name, name)) return i;
  return -1;
}

int parsedeck(FILE* f) {
  std::vector<blockset> blocks{{1, 1, 1}};  // top level, then one element per open block
  std::vector<char> buf(DKLINE);
  auto rd = std::make_unique<deckreader>();
  rd->f = f;
  bool wordseen = false;
  try {
    growhash();
    while (rd->next(buf.data())) {
      dkline++;
      tokline l(buf.data());
      if (l.tok.empty() || l.tok[0][0] == '#') continue;
      const std::string& t0 = l.tok[0];
      if (t0 == "{") {
        blocks.push_back(blocks.back());
      } else if (t0 == "}") {
        if (blocks.size() == 1) fail("End of block encountered at top level");
        blocks.pop_back();
      } else if (t0[0] == '.') {
        directive(l, (int)blocks.size() - 1, wordseen, blocks.back());
      } else {
        wordline(l, blocks.back());
        wordseen = true;
      }
    }
    // A deck that cannot be read (a folder, a read error) must not pass for a short one.
    if (ferror(f)) {
      dkline = 0;
      fail("Failed to open input deck");
    }
    if (blocks.size() > 1) {
      dkline++;
      fail("End of file encountered within block");
    }
  } catch (const deckfailure& e) {
    deckerror(e.msg.c_str());
    return 16;
  }
  return 0;
}
