// The text notation of character sets, used wherever cell contents, light contents or
// message constraints are written as text: reading, writing, and the one-character display.
#include <glib.h>

#include <algorithm>
#include <bit>
#include <string>

#include "alphabet/alphabet.h"
#include "grid/zyn.h"

static ABM bit(int c) { return c ? 1ULL << (c - 1) : 0; }

// The alphabet code of one character, 0 when it is not in the alphabet.
static int ucode(gunichar u) {
  if (u >= (gunichar)MAXUCP) return 0;
  int c = cptoicc[u];
  return c >= 1 && c <= MAXICC ? c : 0;
}

// Decode one character and advance; a malformed byte is skipped and gives 0.
static gunichar nextchar(const char*& p) {
  gunichar u = g_utf8_get_char_validated(p, -1);
  if (u == (gunichar)-1 || u == (gunichar)-2) {
    p++;
    return 0;
  }
  p = g_utf8_next_char(p);
  return u;
}

// The inside of a bracket expression, p just after "["; bad counts the characters not understood.
static ABM readbracket(const char*& p, int dash, int& bad) {
  bool neg = *p == '^';
  if (neg) p++;
  ABM b = 0;
  while (*p && *p != ']') {
    gunichar u = nextchar(p);
    if (u == '@') {
      b |= atset;
    } else if (u == '#') {
      b |= hashset;
    } else if (u == '-') {
      if (dash) b |= ABM_DASH;
      else bad++;
    } else if (int c = ucode(u)) {
      int c2 = 0;
      if (*p == '-') {
        const char* q = p + 1;
        c2 = ucode(nextchar(q));
        if (c2) p = q;  // otherwise the "-" is an item of its own
      }
      if (!c2) c2 = c;
      int lo = std::min(c, c2), hi = std::max(c, c2);
      b |= ((1ULL << hi) - 1) & ~((1ULL << (lo - 1)) - 1);
    } else {
      bad++;
    }
  }
  if (*p == ']') p++;
  if (neg) b = (ABM_ALL | (dash ? ABM_DASH : 0)) & ~b;
  return b;
}

int parseabm(ABM* out, int max, const char* s, int dash, int* skipped) {
  int n = 0, bad = 0;
  const char* p = s;
  while (*p && n < max) {
    gunichar u = nextchar(p);
    switch (u) {
      case '.':
      case ' ':
        out[n++] = ABM_ALL;
        break;
      case '?':
        out[n++] = ABM_ALL | (dash ? ABM_DASH : 0);
        break;
      case '-':
        if (dash) out[n++] = ABM_DASH;
        else bad++;
        break;
      case '@':
        out[n++] = atset;
        break;
      case '#':
        out[n++] = hashset;
        break;
      case '[':
        out[n++] = readbracket(p, dash, bad);
        break;
      default:
        if (int c = ucode(u)) out[n++] = bit(c);
        else bad++;
    }
  }
  if (skipped) *skipped = bad;
  return n;
}

// A bracket expression listing codes in order; a run whose codes all but the last continue
// the alphabet's sequence is written first-last when it has three or more codes.
static std::string bracket(const char* open, ABM set, bool withdash) {
  std::string o = open;
  for (int c = 1; c <= MAXICC; c++) {
    if (!(set & bit(c))) continue;
    int e = c;
    while (e < MAXICC && iccrun[e] && (set & bit(e + 1))) e++;
    if (e - c >= 2) {
      o += icctext[c];
      o += '-';
      o += icctext[e];
    } else {
      for (int k = c; k <= e; k++) o += icctext[k];
    }
    c = e;
  }
  if (withdash) o += '-';
  o += ']';
  return o;
}

static std::string abmtext(ABM b, int dash) {
  ABM codes = b & alphaset;
  bool hasdash = dash && (b & ABM_DASH);
  // Codes outside the alphabet have no written form and are left out.
  if (alphaset && codes == alphaset) return hasdash ? "?" : ".";
  if (!hasdash && codes && codes == atset) return "@";
  if (!hasdash && codes && codes == hashset) return "#";
  if (!hasdash && std::has_single_bit(codes)) return icctext[std::countr_zero(codes) + 1];
  if (hasdash && !codes) return "-";
  std::string plain = bracket("[", codes, hasdash);
  std::string comp = bracket("[^", alphaset & ~codes, dash && !hasdash);
  return comp.size() < plain.size() ? comp : plain;
}

void abmtostr(char* out, size_t n, ABM b, int dash) { strlcpy0(out, abmtext(b, dash).c_str(), n); }

void abmstodispstr(char* out, size_t n, const ABM* b, int cnt) {
  std::string o;
  for (int i = 0; i < cnt; i++) {
    ABM s = b[i] & ABM_ALLDASH;
    if (!s) o += '?';
    else if (!std::has_single_bit(s)) o += ' ';
    else if (const char* t = icctext[std::countr_zero(s) + 1]; *t) o += t;
    else o += '?';
  }
  strlcpy0(out, o.c_str(), n);
}
