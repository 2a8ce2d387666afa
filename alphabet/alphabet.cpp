// The current alphabet: its tables, building them entry by entry or from a built-in row,
// codeword numbering, and the conversions and printing routines shared with plug-ins.
#include "alphabet/alphabet.h"

#include <glib.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

int icccp[62];
char icctext[62][16];
char iccequiv[61][801];
unsigned char iccrun[62];
int iccclass[62];
int iccorder[62];
unsigned char ordericc[62];
int orderclass[62];
int ncodes;
int classstart[4];
ABM alphaset, atset, hashset;
unsigned char cptoicc[MAXUCP];
unsigned char cpsubst[MAXUCP];
int substpair[61][2];
int codewordno[61];

namespace {

constexpr size_t MXREP1 = 7;    // bytes of representative kept for a single character
constexpr size_t MXREP2 = 15;   // ... and for a substitution pair
constexpr size_t MXEQB = 800;   // bytes of equivalents string kept
constexpr int MXEQCP = 100;     // equivalents decoded

// Group of the most recent character; it only moves forward so that groups stay contiguous.
int curgroup;

// The code points whose cptoicc or cpsubst entry may be non-zero, one bit each, so that
// clearing, saving and keying the tables visits only those: the tables themselves are large
// and, in the usual alphabets, almost empty.
uint64_t cpmarks[MAXUCP / 64];

void setcp(unsigned char* t, int u, int icc) {
  t[u] = (unsigned char)icc;
  cpmarks[u >> 6] |= 1ULL << (u & 63);
}

// Calls f with each marked code point, in ascending order.
template <typename F>
void eachmarked(F f) {
  for (int i = 0; i < MAXUCP / 64; i++)
    for (uint64_t m = cpmarks[i]; m; m &= m - 1) f(i * 64 + __builtin_ctzll(m));
}

void clearcps() {
  eachmarked([](int u) { cptoicc[u] = cpsubst[u] = 0; });
  memset(cpmarks, 0, sizeof cpmarks);
}

// Characters that the set notation and the filler give meanings of their own cannot be entries.
bool allowed(int u) {
  if (u < 0 || u >= MAXUCP || !g_unichar_isgraph((gunichar)u)) return false;
  return u >= 128 || !strchr(".-?,[]^\"@#", u);
}

void tracerefused(int u) {
  if (deb(DEB_ALPHA)) pstdout("  uc=%08x: disallowed\n", u);
}

// Point every allowed equivalent at icc in table t; true when any was refused.
bool mapequivs(unsigned char* t, const char* equiv, int icc) {
  int cps[MXEQCP + 1];
  int n = utf8tocps(cps, equiv, MXEQCP + 1);
  bool refused = false;
  for (int i = 0; i < n; i++) {
    if (deb(DEB_ALPHA)) pstdout(" %08x", cps[i]);
    if (!allowed(cps[i])) {
      tracerefused(cps[i]);
      refused = true;
      continue;
    }
    setcp(t, cps[i], icc);
  }
  if (deb(DEB_ALPHA)) pstdout("\n");
  return refused;
}

// A slot defined a second time (a document may repeat an entry) first gives up what its earlier
// definition claimed. Its used index and group stay, so that each slot has at most one used
// index and `ncodes` never exceeds the number of slots.
void forget(int icc) {
  if (!icctext[icc][0]) return;
  ABM keep = ~(1ULL << (icc - 1));
  alphaset &= keep;
  atset &= keep;
  hashset &= keep;
  icccp[icc] = 0;
  icctext[icc][0] = 0;
  iccequiv[icc][0] = 0;
  iccrun[icc] = 0;
  substpair[icc][0] = substpair[icc][1] = 0;
  eachmarked([icc](int u) {
    if (cptoicc[u] == icc) cptoicc[u] = 0;
    if (cpsubst[u] == icc) cpsubst[u] = 0;
  });
}

void markundefined(int icc) {
  icccp[icc] = 63;
  strcpy(icctext[icc], "?");
}

int defchar(int icc, int u, const char* rep, const char* equiv, int inat, int inhash, int seqcont) {
  forget(icc);
  if (!allowed(u)) {
    tracerefused(u);
    markundefined(icc);
    return 1;
  }
  icccp[icc] = u;
  ABM bit = 1ULL << (icc - 1);
  if (inat) atset |= bit;
  if (inhash) hashset |= bit;
  alphaset |= bit;
  int cls = g_unichar_isalpha((gunichar)u) ? 0 : g_unichar_isdigit((gunichar)u) ? 1 : 2;
  if (cls < curgroup) cls = 2;
  if (iccorder[icc] < 0) {
    while (curgroup < cls) classstart[++curgroup] = ncodes;
    for (int g = curgroup + 1; g <= 3; g++) classstart[g] = ncodes + 1;
    orderclass[ncodes] = curgroup;
    iccclass[icc] = curgroup;
    iccorder[icc] = ncodes;
    ordericc[ncodes] = (unsigned char)icc;
    ncodes++;
  }
  if (deb(DEB_ALPHA))
    pstdout("  icc=%d usedindex=%d group=%d\n", icc, iccorder[icc], iccclass[icc]);
  iccrun[icc] = seqcont ? 1 : 0;
  utf8cut(icctext[icc], rep, MXREP1 + 1);
  utf8cut(iccequiv[icc], equiv, MXEQB + 1);
  setcp(cptoicc, u, icc);
  return mapequivs(cptoicc, equiv, icc) ? 2 : 0;
}

int defpair(int icc, int u1, int u2, const char* rep, const char* equiv) {
  if (!allowed(u1) || !allowed(u2)) {
    if (!allowed(u1)) tracerefused(u1);
    if (!allowed(u2)) tracerefused(u2);
    return 1;
  }
  forget(icc);
  if (deb(DEB_ALPHA)) pstdout("pair %08x %08x: ", u1, u2);
  utf8cut(icctext[icc], rep, MXREP2 + 1);
  utf8cut(iccequiv[icc], equiv, MXEQB + 1);
  bool refused = mapequivs(cpsubst, equiv, icc);
  substpair[icc][0] = u1;
  substpair[icc][1] = u2;
  return refused ? 2 : 0;
}

}  // namespace

void alphaclear() {
  memset(icccp, 0, sizeof icccp);
  memset(icctext, 0, sizeof icctext);
  memset(iccequiv, 0, sizeof iccequiv);
  memset(iccrun, 0, sizeof iccrun);
  clearcps();
  memset(substpair, 0, sizeof substpair);
  alphaset = atset = hashset = 0;
  ncodes = 0;
  curgroup = 0;
  memset(classstart, 0, sizeof classstart);
  for (int i = 0; i < 62; i++) iccorder[i] = orderclass[i] = iccclass[i] = -1;
  memset(ordericc, 0, sizeof ordericc);
  strcpy(icctext[ICC_DASH], "-");
  icccp[ICC_DASH] = '-';
}

std::string alphakey() {
  std::string k;
  auto put = [&k](const void* p, size_t n) { k.append((const char*)p, n); };
  eachmarked([&](int u) {
    if (!cptoicc[u] && !cpsubst[u]) return;
    put(&u, sizeof u);
    put(&cptoicc[u], 1);
    put(&cpsubst[u], 1);
  });
  put(substpair, sizeof substpair);
  put(icctext, sizeof icctext);
  return k;
}

// The alphabet starts out empty rather than all zeros, so that "-" and the -1 markers hold
// even for code that runs before the first alphabet is chosen.
static const int startclear = (alphaclear(), 0);

int alphaentry(int icc, const char* rep, const char* equiv, int inat, int inhash, int seqcont) {
  if (icc < 1 || icc > MAXICC) return 0;
  if (!rep) rep = "";
  if (!equiv) equiv = "";
  if (deb(DEB_ALPHA)) pstdout("rep=%s equiv=%s\n", rep, equiv);
  int cps[3];
  int n = utf8tocps(cps, rep, 3);
  if (deb(DEB_ALPHA)) {
    pstdout("  rep -> %d char(s):", n);
    for (int i = 0; i < n; i++) pstdout(" U+%08x", cps[i]);
    pstdout("\n");
  }
  if (n == 1) return defchar(icc, cps[0], rep, equiv, inat, inhash, seqcont);
  if (n == 2) return defpair(icc, cps[0], cps[1], rep, equiv);
  if (deb(DEB_ALPHA)) pstdout("  replacing with '?'\n");
  forget(icc);
  markundefined(icc);
  return 0;
}

void alphaload(int index) {
  alphaclear();
  if (index >= 0 && index < NALPHAS) {
    for (int i = 1; i <= MAXICC; i++) {
      const alphaslot& s = alphabets[index].slot[i];
      if (s.rep && s.rep[0]) alphaentry(i, s.rep, s.equiv, s.inat, s.inhash, s.seqcont);
    }
  }
  codewordnumbers();
}

int alphafind(const char* name) {
  alphaclear();
  if (!name) return 1;
  for (int a = 0; a < NALPHAS; a++) {
    for (const char* n : alphabets[a].names) {
      if (!n) break;
      if (!g_ascii_strcasecmp(name, n)) {
        alphaload(a);
        return 0;
      }
    }
  }
  return 1;
}

void codewordnumbers(uint64_t seed) {
  int letters[MAXICC];
  int n = 0;
  codewordno[0] = 0;
  for (int c = 1; c <= MAXICC; c++) {
    codewordno[c] = 0;
    if (iccorder[c] >= 0 && iccclass[c] == 0) {
      letters[n++] = c;
      codewordno[c] = n;
    }
  }
  // A Fisher-Yates shuffle driven by splitmix64: the same seed gives the same numbers in every
  // run and on every system.
  uint64_t z = seed;
  for (int i = n - 1; i > 0; i--) {
    z += 0x9e3779b97f4a7c15ULL;
    uint64_t r = z;
    r = (r ^ (r >> 30)) * 0xbf58476d1ce4e5b9ULL;
    r = (r ^ (r >> 27)) * 0x94d049bb133111ebULL;
    r ^= r >> 31;
    int j = (int)(r % (uint64_t)(i + 1));
    std::swap(codewordno[letters[i]], codewordno[letters[j]]);
  }
}

int settoicc(unsigned int low, unsigned int high) {
  ABM b = (ABM)high << 32 | low;
  if (!b) return -1;
  if (b & (b - 1)) return -2;
  for (int base = 1;; base += 16, b >>= 16)
    if (b & 0xffff) return base + bitidx16[b & 0xffff];
}

// Plug-ins may pass any value, so every index is checked before use.
extern "C" {

int ICCtouchar(int c) {
  if (c < 0 || c > ICC_DASH) return 0;
  return icccp[c] == 63 ? 0 : icccp[c];
}

int uchartoICC(int u) {
  return u >= 0 && u < MAXUCP ? cptoicc[u] : 0;
}

void printU(int u) {
  char buf[8];
  cptoutf8(buf, u);
  pstdout("%s", buf);
}

int printUs(const int* p) {
  for (; p && *p; p++) printU(*p);
  return 0;
}

int printICC(int c) {
  if (c >= 0 && c <= ICC_DASH) pstdout("%s", icctext[c]);
  return 0;
}

int printICCs(const char* s) {
  for (; s && *s; s++) printICC((unsigned char)*s);
  return 0;
}

int ICCtoclass(int c) {
  return c >= 0 && c <= ICC_DASH ? iccclass[c] : -1;
}

}

// The code point tables are kept as their few non-zero entries.
struct alphastate {
  int icccp[62];
  char icctext[62][16];
  std::vector<std::string> iccequiv;
  unsigned char iccrun[62];
  int iccclass[62], iccorder[62], orderclass[62];
  unsigned char ordericc[62];
  int ncodes, classstart[4], curgroup;
  ABM alphaset, atset, hashset;
  std::vector<std::pair<int, unsigned char>> cptoicc, cpsubst;
  int substpair[61][2];
  int codewordno[61];
};

std::shared_ptr<const alphastate> alphasave() {
  auto s = std::make_shared<alphastate>();
  memcpy(s->icccp, icccp, sizeof icccp);
  memcpy(s->icctext, icctext, sizeof icctext);
  for (const char* e : iccequiv) s->iccequiv.emplace_back(e);
  memcpy(s->iccrun, iccrun, sizeof iccrun);
  memcpy(s->iccclass, iccclass, sizeof iccclass);
  memcpy(s->iccorder, iccorder, sizeof iccorder);
  memcpy(s->orderclass, orderclass, sizeof orderclass);
  memcpy(s->ordericc, ordericc, sizeof ordericc);
  s->ncodes = ncodes;
  memcpy(s->classstart, classstart, sizeof classstart);
  s->curgroup = curgroup;
  s->alphaset = alphaset, s->atset = atset, s->hashset = hashset;
  eachmarked([&](int u) {
    if (cptoicc[u]) s->cptoicc.emplace_back(u, cptoicc[u]);
    if (cpsubst[u]) s->cpsubst.emplace_back(u, cpsubst[u]);
  });
  memcpy(s->substpair, substpair, sizeof substpair);
  memcpy(s->codewordno, codewordno, sizeof codewordno);
  return s;
}

void alpharestore(const alphastate& s) {
  memcpy(icccp, s.icccp, sizeof icccp);
  memcpy(icctext, s.icctext, sizeof icctext);
  for (int c = 0; c < 61; c++) strlcpy0(iccequiv[c], s.iccequiv[c].c_str(), sizeof iccequiv[c]);
  memcpy(iccrun, s.iccrun, sizeof iccrun);
  memcpy(iccclass, s.iccclass, sizeof iccclass);
  memcpy(iccorder, s.iccorder, sizeof iccorder);
  memcpy(orderclass, s.orderclass, sizeof orderclass);
  memcpy(ordericc, s.ordericc, sizeof ordericc);
  ncodes = s.ncodes;
  memcpy(classstart, s.classstart, sizeof classstart);
  curgroup = s.curgroup;
  alphaset = s.alphaset, atset = s.atset, hashset = s.hashset;
  clearcps();
  for (auto [u, c] : s.cptoicc) setcp(cptoicc, u, c);
  for (auto [u, c] : s.cpsubst) setcp(cpsubst, u, c);
  memcpy(substpair, s.substpair, sizeof substpair);
  memcpy(codewordno, s.codewordno, sizeof codewordno);
}
