// The alphabet dialog's table: its two forms, its row operations and building it.
#include "alphabet/alphaedit.h"

#include <glib.h>

#include <cstdlib>

int hextocps(int* out, const char* text, int max) {
  int n = 0;
  out[0] = 0;
  for (const char* p = text; *p && n < max;) {
    if (!g_ascii_isxdigit(*p)) {
      p++;
      continue;
    }
    char* end;
    unsigned long v = strtoul(p, &end, 16);
    p = end;
    if (v > 0x7fffffff || !g_unichar_isprint((gunichar)v)) break;
    out[n++] = (int)v;
    out[n] = 0;
  }
  return n;
}

std::string cpstohex(const int* list) {
  std::string s;
  char buf[16];
  for (; *list; list++) {
    pbuf(buf, sizeof buf, "%sU+%04X", s.empty() ? "" : " ", *list);
    s += buf;
  }
  return s;
}

alphatable alphacurrent() {
  alphatable t;
  for (int c = 1; c <= MAXICC; c++) {
    alpharow& r = t[c - 1];
    ABM b = 1ULL << (c - 1);
    if (icccp[c] != 63) r.rep = icctext[c];
    r.equiv = iccequiv[c];
    r.inat = (atset & b) != 0;
    r.inhash = (hashset & b) != 0;
    r.seq = iccrun[c] != 0;
  }
  return t;
}

alphatable alphabuiltin(int index) {
  alphatable t;
  if (index < 0 || index >= NALPHAS) return t;
  for (int c = 1; c <= MAXICC; c++) {
    const alphaslot& s = alphabets[index].slot[c];
    alpharow& r = t[c - 1];
    r.rep = s.rep ? s.rep : "";
    r.equiv = s.equiv ? s.equiv : "";
    r.inat = s.inat, r.inhash = s.inhash, r.seq = s.seqcont;
  }
  return t;
}

namespace {

// One text from one form to the other, keeping at most max code points.
std::string convert(const std::string& s, int to, int max) {
  int cps[AEQUIV_TEXT + 1];
  if (to == AM_CODES) {
    utf8tocps(cps, s.c_str(), max + 1);
    return cpstohex(cps);
  }
  hextocps(cps, s.c_str(), max);
  std::string o;
  char buf[8];
  for (int* p = cps; *p; p++) {
    cptoutf8(buf, *p);
    o += buf;
  }
  return o;
}

}  // namespace

void alphaconvert(alphatable& t, int from, int to) {
  if (from == to) return;
  for (alpharow& r : t) {
    r.rep = convert(r.rep, to, AREP_TEXT);
    r.equiv = convert(r.equiv, to, AEQUIV_TEXT);
  }
}

void alpharowins(alphatable& t, int r) {
  if (r < 0 || r >= MAXICC - 1) return;
  for (int i = MAXICC - 1; i > r; i--) t[i] = t[i - 1];
  t[r] = alpharow();
}

void alpharowswap(alphatable& t, int r) {
  if (r < 0 || r >= MAXICC - 1) return;
  std::swap(t[r], t[r + 1]);
}

void alpharowdel(alphatable& t, int r) {
  if (r < 0 || r >= MAXICC - 1) return;
  for (int i = r; i < MAXICC - 1; i++) t[i] = t[i + 1];
  t[MAXICC - 1] = alpharow();
}

int alpharowkind(const alpharow& row, int mode) {
  int cps[3] = {0, 0, 0};
  if (mode == AM_CODES) hextocps(cps, row.rep.c_str(), 2);
  else utf8tocps(cps, row.rep.c_str(), 3);
  // Both decoders keep printable characters only.
  return cps[0] ? (cps[1] ? 2 : 1) : 0;
}

int alphainstall(const alphatable& t) {
  alphaclear();
  int res = 0;
  for (int c = 1; c <= MAXICC; c++) {
    const alpharow& r = t[c - 1];
    res |= 1 << alphaentry(c, r.rep.c_str(), r.equiv.c_str(), r.inat, r.inhash, r.seq);
  }
  codewordnumbers();
  return res & ~1;
}
