// The search: filterwords and settlewds propagate between word lists and entry sets,
// computescores and choosecrit pick the most constrained entry, getposs orders its codes,
// and pushstate/popstate open and undo depths.
#include "filler/search.h"

#include <glib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "alphabet/alphabet.h"
#include "core/hooks.h"
#include "core/lock.h"
#include "core/prefs.h"
#include "dicts/dicts.h"
#include "filler/filler.h"
#include "filler/jumble.h"
#include "filler/lists.h"
#include "filler/recover.h"
#include "filler/trace.h"

int sdep = -1;
int ct_malloc = 0, ct_free = 0;
long long ct_push = 0;

// Depth state is kept as undo logs, so that memory follows what the search changes rather
// than the square of the grid: each depth records the entry sets it changed and the word
// lists it replaced, and popstate plays them back.
struct savedlist {
  int w, prevdep;
  int* flist;
  int flistlen;
  void* jdata;
  ABM* jflbm;
  double* sdata;
  unsigned char* chr;
  std::vector<double> table;  // the kept weight table of the list, when it was up to date
};
struct depthrec {
  size_t trail0, saved0;         // where this depth's records start
  unsigned char poss[63];        // codes to try in the critical entry
  int crit, posi;                // critical entry (-2-w: word w), position reached in poss
  wordbranch wb;                 // the recovery search's word and its candidates
  // For the nogoods of a run that stops: the codes the branch taken here set (entry * 64 + code),
  // and the words' strings refuted here, one after another in refkeys.
  std::vector<int> setlits;
  unsigned char tried[MXWENT];   // the string of the word tried here
  std::vector<int> refs;
  std::vector<unsigned char> refkeys;
  unsigned gen;                  // a number of its own each time the search comes down to it
};
static std::vector<std::pair<int, ABM>> trail;
static std::vector<savedlist> saved;
static std::vector<depthrec> depths;
static std::vector<int> saveddep;   // per word: depth whose record holds its previous list, -1 none
static std::vector<int> committed;  // committed words, in order of commitment
static const word* statewords;      // the word array the state refers to
static unsigned depthgens;          // the last depth record's number
static std::vector<std::pair<int, unsigned>> ngapplied;  // per nogood: depth and number where applied

static long long lastshow;  // time of the last progress display, ms

void notestart(long long ms) { lastshow = ms; }

void fillassert(bool ok, const char* what) {
  if (ok) return;
  pstream(stderr, "Assertion failed: %s\n", what);
  abort();
}

void setflbm(entry* e, ABM b) {
  if (sdep >= 0) trail.emplace_back((int)(e - entries), e->flbm);
  e->flbm = b;
}

static bool aborting() { return abortflag.load(std::memory_order_relaxed) != 0; }

// Codes of the candidates, as one-bit sets; code 0 (past the end of a string) is no code.
static ABM bitof[256];
static struct bitofinit {
  bitofinit() {
    for (int c = 1; c <= 61; c++) bitof[c] = 1ULL << (c - 1);
  }
} bitofinit_;

// The weight table of an ordinary word depends only on its list and, under the duplicates
// rule, on the marks of answers of its length; tables of long lists are kept between calls
// and recomputed only when one of those changed. With whole-number weights every partial sum
// is exact, so the sum over the whole list is kept too and a change of marks only subtracts
// the marked candidates.
struct acccache {
  std::vector<double> all, t;  // nent rows of 62: every candidate; as scored
  unsigned allgen = 0, gen = 0, uv = 0;
  bool allok = false;
  int mode = -1;  // -1 none; else 0 rule off, 1 committed, 2 uncommitted under the rule
};
static std::vector<acccache> caches;
// Words with equal initial lists share the union of their codes and their weight table.
static std::unordered_map<const unsigned char*, std::vector<ABM>> initunion;
static std::unordered_map<const unsigned char*, std::vector<double>> initall;
static std::vector<unsigned> listgen;  // per word: bumped whenever its list changes
// Per word: the list and marking versions at which its list last lost every marked candidate
// under the duplicates rule; while both hold, none of its candidates is marked.
static std::vector<unsigned> cleangen, cleanuv;
static unsigned usedver[MXWENT + 1];   // per length (0: all lengths): bumped by every marking
static bool intweights;                // every weight a whole number, all of them summing below 2^53
static bool posweights;                // every weight above 0
constexpr int CACHEMIN = 16;           // shorter lists are recomputed every time
constexpr int TABLEKEEPMIN = 64;       // shorter lists' tables are recomputed after a backtrack

static unsigned& usedverof(const word* w) { return usedver[ntw > 0 || w->wlen > MXWENT ? 0 : w->wlen]; }

static void resetcaches() {
  caches.assign(nw, acccache());
  initunion.clear();
  initall.clear();
  listgen.assign(nw, 0);
  cleangen.assign(nw, ~0u);
  cleanuv.assign(nw, 0);
  answerweightkinds(&intweights, &posweights);
}

static inline bool isused(int li) { return recused[li]; }

// With whole positive weights a kept table of ordinary word i's whole list, when it is up to
// date, says exactly which codes its candidates put at each position: those with a weight.
static bool tablecodes(int i, ABM* out) {
  const acccache& ca = caches[i];
  const int n = words[i].nent;
  if (!intweights || !posweights || !ca.allok || ca.allgen != listgen[i] || (int)ca.all.size() != n * 62) return false;
  const double(*all)[62] = (const double(*)[62])ca.all.data();
  for (int k = 0; k < n; k++) {
    ABM b = 0;
    for (int c = 1; c <= 61; c++)
      if (all[k][c] != 0) b |= bitof[c];
    out[k] = b;
  }
  return true;
}

// Which word's settlewds narrowed each entry, from the last settlewds until the next filterwords
// or pushstate: a word whose own candidates narrowed an entry loses none of them when filtered
// against it, so filterwords tests that position only for the entry's other words. -1 when
// more than one word narrowed it, or it was marked for another reason.
static std::vector<int> narrowedby;
static std::vector<unsigned> narrowedgen;  // the settlewds call that set narrowedby
static unsigned settlegen = 0;
static bool narrowedlive = false;
static std::vector<unsigned char> distinctents;  // per word: its entries are all different

static void markused(const word* w, int v) {
  usedverof(w)++;
  for (int j = 0; j < w->flistlen; j++) setused(w->flist[j], v);
}

int settlewds() {
  if (deb(DEB_SEARCH)) pstdout("settlewds()\n");
  int cnt = 0;
  ABM entfl[MXWENT];
  const bool logw = deb(DEB_WORDS);
  settlegen++;
  narrowedlive = (int)narrowedby.size() == ne;
  for (int i = 0; i < nw; i++) {
    word* w = words + i;
    if (!w->upd || w->fe || !w->flist || (assistmode == 1 && i != curword)) continue;
    if (aborting()) return -3;
    const int n = w->nent;
    for (int k = 0; k < n; k++) entfl[k] = 0;
    if (w->jmode == 0 && wchr[i] == winit[i]) {
      std::vector<ABM>& u = initunion[wchr[i]];
      if (u.empty()) {
        u.assign(n, 0);
        const unsigned char* p = wchr[i];
        for (int j = 0; j < w->flistlen; j++, p += n)
          for (int k = 0; k < n; k++) u[k] |= bitof[p[k]];
      }
      for (int k = 0; k < n; k++) entfl[k] = u[k];
    } else if (w->jmode == 0 && !logw && tablecodes(i, entfl)) {
      // The kept weight table gave the codes.
    } else if (w->jmode == 0) {
      // Once a position covers its entry's set nothing can be narrowed there, so its scan may
      // stop early unless the sets are being logged. Each position is scanned on its own, its
      // union in a register, and checked every four candidates. Lists are in alphabetical
      // order, so the candidates are visited in strides to meet every initial letter soon; the
      // union does not depend on the order.
      const unsigned char* p0 = wchr[i];
      const int len = w->flistlen;
      const int stride = len > 256 ? 64 : 1;
      const size_t step = (size_t)stride * n;
      for (int k = 0; k < n; k++) {
        const ABM need = w->e[k]->flbm;
        if (!logw && !need) continue;
        auto open = [&](ABM acc) { return logw || (need & ~acc) != 0; };
        ABM acc = 0;
        const unsigned char* pk = p0 + k;
        for (int s0 = 0; s0 < stride && open(acc); s0++) {
          int j = s0;
          for (; j + 3 * stride < len; j += 4 * stride) {
            const unsigned char* p = pk + (size_t)j * n;
            acc |= bitof[p[0]] | bitof[p[step]] | bitof[p[2 * step]] | bitof[p[3 * step]];
            if (!open(acc)) break;
          }
          for (; j < len && open(acc); j += stride) acc |= bitof[pk[(size_t)j * n]];
        }
        entfl[k] = acc;
      }
    } else if (w->jmode == 1) {
      const int jl = w->jlen;
      const unsigned char* p = wchr[i];
      for (int j = 0; j < w->flistlen; j++, p += n) {
        const ABM* js = w->jflbm + (size_t)j * jl;
        for (int k = 0; k < jl; k++) entfl[k] |= js[k];
        for (int k = jl; k < n; k++) entfl[k] |= bitof[p[k]];
      }
    } else {
      for (int j = 0; j < w->flistlen; j++) {
        const ABM* ss = ssets(w, j);
        for (int k = 0; k < n; k++) entfl[k] |= ss[k];
      }
    }
    if (logw) {
      pstdout("w=%d entfl: ", i);
      for (int k = 0; k < n; k++) {
        pabm(entfl[k]);
        pstdout(" ");
      }
      pstdout("\n");
    }
    for (int k = 0; k < n; k++) {
      entry* e = w->e[k];
      if (e->flbm & ~entfl[k]) {
        setflbm(e, e->flbm & entfl[k]);
        if (narrowedlive) {
          const int ei = (int)(e - entries);
          narrowedby[ei] = e->upd || w->jmode != 0 || !distinctents[i] ? -1 : i;
          narrowedgen[ei] = settlegen;
        }
        e->upd = 1;
        cnt++;
      }
    }
  }
  for (int i = 0; i < nw; i++) words[i].upd = 0;
  if (deb(DEB_SEARCH)) pstdout("settlewds returns %d\n", cnt);
  return cnt;
}

// Keeps word i's current arrays for popstate and installs the given ones at this depth.
static void installlist(int i, int* fl, unsigned char* chr, void* jd, ABM* jf, double* sd) {
  word* w = words + i;
  ct_malloc++;
  saved.push_back({i, saveddep[i], w->flist, w->flistlen, w->jdata, w->jflbm, w->sdata, wchr[i], {}});
  // A long list's weight table goes with it, so that a backtrack finds it up to date.
  const acccache& ca = caches[i];
  if (w->jmode == 0 && w->flistlen >= TABLEKEEPMIN && intweights && ca.allok && ca.allgen == listgen[i])
    saved.back().table = ca.all;
  saveddep[i] = sdep;
  w->flist = fl;
  wchr[i] = chr;
  w->jdata = jd;
  w->jflbm = jf;
  w->sdata = sd;
}

// Gives word i fresh arrays for its list at this depth, keeping the old ones for popstate.
static int savelist(int i) {
  word* w = words + i;
  size_t n = (size_t)w->flistlen;
  int* fl = (int*)malloc(sizeof(int) * n + 1);
  unsigned char* chr = (unsigned char*)malloc(n * w->nent + CHRSLACK);
  void* jd = nullptr;
  ABM* jf = nullptr;
  double* sd = nullptr;
  bool ok = fl && chr;
  if (w->jmode == 1) {
    jd = malloc(n * sizeof(jrec) + 1);
    jf = (ABM*)malloc(sizeof(ABM) * (n * w->jlen + 1));
    ok = ok && jd && jf;
  } else if (w->jmode == 2) {
    w->sdatalen = sdatastride(w);
    sd = (double*)malloc(sizeof(double) * (n * w->sdatalen + 1));
    ok = ok && sd;
  }
  if (!ok) {
    free(fl);
    free(chr);
    free(jd);
    free(jf);
    free(sd);
    return -1;
  }
  installlist(i, fl, chr, jd, jf, sd);
  return 0;
}

// Copies one candidate's codes into a separate array with CHRSLACK spare bytes at its end,
// so that a short row moves as one block (its tail lands where the next row will go).
static inline void chrcopy(unsigned char* q, const unsigned char* p, int n) {
  if (n <= CHRSLACK) memcpy(q, p, CHRSLACK);
  else memcpy(q, p, n);
}

// Moves a row of n codes to an earlier row of the same array, or onto itself, as one load and
// one store: the bytes past the row land where the next rows go, before the first row not yet
// read (or, onto itself, rewrite those rows unchanged), and a load past the last row stays
// within the array's spare bytes.
static inline void rowmove(unsigned char* q, const unsigned char* p, int n) {
  static_assert(CHRSLACK >= 16);
  auto move = [&]<int W>() {
    unsigned char v[W];
    memcpy(v, p, W);
    memcpy(q, v, W);
  };
  if (n >= 2 && n <= 4) move.operator()<4>();
  else if (n >= 5 && n <= 8) move.operator()<8>();
  else if (n >= 9 && n <= 16) move.operator()<16>();
  else memmove(q, p, n);
}

// Whether the row p of a candidate li passes the test of its tn positions kl, and under the
// duplicates rule (dupscan) is not marked.
static inline unsigned passes(const unsigned char* p, int li, int tn, const int* kl, const unsigned char (*allow)[64],
                              bool dupscan) {
  unsigned ok = 1;
  for (int t = 0; t < tn; t++) ok &= allow[t][p[kl[t]]];
  if (dupscan) ok &= !isused(li);
  return ok;
}

// filterwords' scan of a list not yet saved at this depth into new arrays, from candidate j on:
// every row is copied and kept only when it passes, which spares a branch the processor cannot
// predict; the candidates that go are noted in gone. NK is the number of positions tested when
// it is small, else 0.
template <int NK>
static int scanfresh(int j, int oldlen, int n, int nk, const int* kk, const unsigned char (*allow)[64],
                     const unsigned char* schr, const int* sfl, bool dupscan, int* dfl, unsigned char* dchr, int m,
                     int* gone, int& ng) {
  const int tn = NK ? NK : nk;
  // The positions and the count of those that go are kept in locals: the stores below may
  // alias anything, which would make them round trips through memory on every candidate.
  int kl[MXWENT];
  for (int t = 0; t < tn; t++) kl[t] = kk[t];
  int g = ng;
  for (; j < oldlen; j++) {
    const unsigned char* p = schr + (size_t)j * n;
    const int li = sfl[j];
    const unsigned ok = passes(p, li, tn, kl, allow, dupscan);
    dfl[m] = li;
    chrcopy(dchr + (size_t)m * n, p, n);
    m += (int)ok;
    gone[g] = j;
    g += (int)!ok;
  }
  ng = g;
  return m;
}

// filterwords' scan of a list already saved at this depth, in place from candidate j on, with
// m candidates kept so far: each kept row moves down to the next kept place. While follow is set,
// the rows that go are summed into the two tables dt in turn, for the kept weight table; once
// more than maxrem have gone (nrem counts them) follow is cleared and the rest is scanned as the
// fresh scan does, every row moved and kept only when it passes (a row rewrites itself unchanged
// until the first one goes). NK is the number of positions tested when it is small, else 0.
template <int NK>
static int scaninplace(int j, int oldlen, int n, int nk, const int* kk, const unsigned char (*allow)[64], int* fl,
                       unsigned char* chr, bool dupscan, int m, bool& follow, int& nrem, int maxrem,
                       double (*dt)[MXWENT][62]) {
  const int tn = NK ? NK : nk;
  int kl[MXWENT];
  for (int t = 0; t < tn; t++) kl[t] = kk[t];
  if (follow) {
    int r = nrem;
    for (; j < oldlen; j++) {
      const unsigned char* p = chr + (size_t)j * n;
      const int li = fl[j];
      if (!passes(p, li, tn, kl, allow, dupscan)) {
        if (r++ >= maxrem) {
          follow = false;
          j++;
          break;
        }
        const double wt = ltsw[li];
        double(*d)[62] = dt[r & 1];
        for (int k = 0; k < n; k++) d[k][p[k]] += wt;
        continue;
      }
      fl[m] = li;
      unsigned char* q = chr + (size_t)m * n;
      if (q != p) rowmove(q, p, n);
      m++;
    }
    nrem = r;
  }
  for (; j < oldlen; j++) {
    const unsigned char* p = chr + (size_t)j * n;
    const int li = fl[j];
    const unsigned ok = passes(p, li, tn, kl, allow, dupscan);
    fl[m] = li;
    rowmove(chr + (size_t)m * n, p, n);
    m += (int)ok;
  }
  return m;
}

int deadword;
std::vector<int> deadends;

int filterwords() {
  const bool nodup = prefint(PREF_AUTOFILL_NO_DUPLICATES) != 0;
  int cnt = 0;
  const bool narrowed = narrowedlive;
  narrowedlive = false;
  for (int i = 0; i < nw; i++) {
    if (aborting()) return -3;
    word* w = words + i;
    if (!w->flist) continue;
    const int n = w->nent;
    bool any = false;
    for (int k = 0; k < n; k++) any = any || w->e[k]->upd;
    if (!any) continue;
    int nset = 0;
    while (nset < n && onebit(w->e[nset]->flbm)) nset++;
    // A list not yet saved at this depth is kept as it is and the survivors go to new arrays;
    // one already saved here is filtered in place.
    const bool fresh = saveddep[i] != sdep;
    if (!fresh && w->commitdep == sdep) markused(w, 0);  // its marks must follow the list
    const int oldlen = w->flistlen;
    // The budget counts every list filtered here, also when the shortcuts below skip its scan,
    // so that the switch to the recovery search does not depend on them.
    recover_work(oldlen);
    const int* sfl = w->flist;
    const unsigned char* schr = wchr[i];
    ABM fb[MXWENT];
    for (int k = 0; k < n; k++) fb[k] = w->e[k]->flbm;
    // The positions to test, skipping those of an initial list whose set allows every code
    // the list has there, and those that only this word narrowed.
    int kk[MXWENT], nk = 0;
    const int kfrom = w->jmode == 1 ? w->jlen : 0;
    const ABM* u = nullptr;
    if (w->jmode == 0 && wchr[i] == winit[i]) {
      auto it = initunion.find(wchr[i]);
      if (it != initunion.end()) u = it->second.data();
    }
    if (w->jmode != 2)
      for (int k = kfrom; k < n; k++)
        if (w->e[k]->upd && !(u && !(u[k] & ~fb[k]))) {
          const int ei = (int)(w->e[k] - entries);
          if (narrowed && narrowedgen[ei] == settlegen && narrowedby[ei] == i) continue;
          kk[nk++] = k;
        }
    // Per tested position, whether each code is allowed.
    static unsigned char allow[MXWENT][64];
    for (int t = 0; t < nk; t++)
      for (int c = 0; c < 64; c++) allow[t][c] = (bitof[c] & fb[kk[t]]) != 0;
    const bool dup = nodup && w->commitdep == -1;
    int m = 0;
    if (w->jmode == 0) {
      int* dfl = w->flist;
      unsigned char* dchr = wchr[i];
      if (fresh) dfl = nullptr, dchr = nullptr;
      // A kept table of the whole list follows the list by subtracting the candidates that
      // go, as long as fewer go than stay.
      acccache* ca = intweights && caches[i].allok && caches[i].allgen == listgen[i] ? &caches[i] : nullptr;
      int nrem = 0;
      const int maxrem = oldlen / 2;
      // Removed candidates are summed into two tables in turn, so that neighbouring ones do
      // not wait for each other.
      static double dt[2][MXWENT][62];
      if (ca)
        for (int k = 0; k < n; k++)
          for (int c = 0; c < 62; c++) dt[0][k][c] = dt[1][k][c] = 0.0;
      // With nothing to test every candidate stays, and so it does when the kept table shows
      // that every code of the list is allowed where it is tested.
      bool clean = !dup || (cleangen[i] == listgen[i] && cleanuv[i] == usedverof(w));
      if (!clean && wsorted[i] && nusedrecs < oldlen / 8) {
        // Few marked records: look each one up in the ordered list.
        clean = true;
        for (int q = 0; q < nusedrecs && clean; q++) clean = !std::binary_search(sfl, sfl + oldlen, usedrecs[q]);
      }
      const bool dupscan = dup && !clean;  // candidates may still be marked
      bool keepall = nk == 0 && clean;
      if (!keepall && clean) {
        ABM have[MXWENT];
        if (tablecodes(i, have)) {
          keepall = true;
          for (int t = 0; t < nk && keepall; t++) keepall = !(have[kk[t]] & ~fb[kk[t]]);
        }
      }
      if (keepall) m = oldlen;
      int j = m;
      // A list already saved at this depth is filtered in place.
      if (!fresh) {
        bool follow = ca != nullptr;
        auto scan = nk == 1   ? scaninplace<1>
                    : nk == 2 ? scaninplace<2>
                    : nk == 3 ? scaninplace<3>
                    : nk == 4 ? scaninplace<4>
                    : nk == 5 ? scaninplace<5>
                    : nk == 6 ? scaninplace<6>
                              : scaninplace<0>;
        m = scan(j, oldlen, n, nk, kk, allow, dfl, dchr, dupscan, m, follow, nrem, maxrem, dt);
        if (!follow) ca = nullptr;
        j = oldlen;
      }
      // A fresh list goes into new arrays; the table then loses the candidates that went.
      static std::vector<int> gone;
      if (fresh && (int)gone.size() < oldlen) gone.resize(oldlen);
      int ng = 0;
      if (fresh && j < oldlen) {
        // Into arrays for the whole list, shrunk to the survivors afterwards.
        dfl = (int*)malloc(sizeof(int) * oldlen + 1);
        dchr = (unsigned char*)malloc((size_t)oldlen * n + CHRSLACK);
        if (!dfl || !dchr) {
          free(dfl);
          free(dchr);
          return -1;
        }
        auto scan = nk == 1   ? scanfresh<1>
                    : nk == 2 ? scanfresh<2>
                    : nk == 3 ? scanfresh<3>
                    : nk == 4 ? scanfresh<4>
                    : nk == 5 ? scanfresh<5>
                    : nk == 6 ? scanfresh<6>
                              : scanfresh<0>;
        m = scan(j, oldlen, n, nk, kk, allow, schr, sfl, dupscan, dfl, dchr, m, gone.data(), ng);
      }
      if (fresh && ca && ng > maxrem) ca = nullptr;
      if (fresh && ca)
        for (int g = 0; g < ng; g++) {
          const unsigned char* p = schr + (size_t)gone[g] * n;
          const double wt = ltsw[sfl[gone[g]]];
          double(*d)[62] = dt[g & 1];
          for (int k = 0; k < n; k++) d[k][p[k]] += wt;
        }
      if (fresh && dfl && m == oldlen) {
        free(dfl);
        free(dchr);
      } else if (fresh && dfl) {
        // Shrinking cannot fail in practice; on failure the larger blocks are simply kept.
        if (void* q = realloc(dfl, sizeof(int) * m + 1)) dfl = (int*)q;
        if (void* q = realloc(dchr, (size_t)m * n + CHRSLACK)) dchr = (unsigned char*)q;
        installlist(i, dfl, dchr, nullptr, nullptr, nullptr);
      }
      if (ca && m != oldlen) {
        double(*all)[62] = (double(*)[62])ca->all.data();
        for (int k = 0; k < n; k++)
          for (int c = 1; c < 62; c++) all[k][c] -= dt[0][k][c] + dt[1][k][c];
        ca->allgen = listgen[i] + 1;
      }
      if (dup) {
        cleangen[i] = listgen[i] + (m != oldlen);
        cleanuv[i] = usedverof(w);
      }
    } else {
      if (fresh && savelist(i)) return -1;
      int* dfl = w->flist;
      unsigned char* dchr = wchr[i];
      for (int j = 0; j < oldlen; j++) {
        const unsigned char* p = schr + (size_t)j * n;
        unsigned ok = 1;
        for (int t = 0; t < nk; t++) ok &= allow[t][p[kk[t]]];
        if (!ok) continue;
        int li = sfl[j];
        if (dup && isused(li)) continue;
        dfl[m] = li;
        if (dchr + (size_t)m * n != p) memmove(dchr + (size_t)m * n, p, n);
        if (w->jmode == 1 && !checkjword(w, m)) continue;
        if (w->jmode == 2) checksword(w, m);
        m++;
      }
    }
    w->flistlen = m;
    if (m != oldlen) listgen[i]++;
    if (m != oldlen || w->jmode) {
      w->upd = 1;
      cnt++;
    }
    if (m != oldlen && !(fresh && w->jmode == 0)) {
      // Shrinking cannot fail in practice; on failure the larger blocks are simply kept.
      if (void* p = realloc(w->flist, sizeof(int) * m + 1)) w->flist = (int*)p;
      if (void* p = realloc(wchr[i], (size_t)m * n + CHRSLACK)) wchr[i] = (unsigned char*)p;
      if (w->jmode == 1) {
        if (void* p = realloc(w->jdata, (size_t)m * sizeof(jrec) + 1)) w->jdata = p;
        if (void* p = realloc(w->jflbm, sizeof(ABM) * ((size_t)m * w->jlen + 1))) w->jflbm = (ABM*)p;
      } else if (w->jmode == 2) {
        if (void* p = realloc(w->sdata, sizeof(double) * ((size_t)m * w->sdatalen + 1))) w->sdata = (double*)p;
      }
    }
    if (m == 0 && !w->fe) {
      deadword = i;
      return -2;
    }
    if (nset == n) {
      if (w->jmode == 1) {
        int q = 0;
        for (int j = 0; j < w->flistlen; j++)
          if (checkperm(w, j, 0)) {
            w->flist[q] = w->flist[j];
            memmove(wchr[i] + (size_t)q * n, wchr[i] + (size_t)j * n, n);
            memmove((jrec*)w->jdata + q, (jrec*)w->jdata + j, sizeof(jrec));
            memmove(w->jflbm + (size_t)q * w->jlen, w->jflbm + (size_t)j * w->jlen, sizeof(ABM) * w->jlen);
            q++;
          }
        if (q != w->flistlen) listgen[i]++;
        w->flistlen = q;
        if (q == 0 && !w->fe) {
          deadword = i;
          return -2;
        }
      }
      // A word already committed at a shallower depth keeps that commitment.
      if (w->commitdep == -1) {
        w->commitdep = sdep;
        committed.push_back(i);
      }
      if (w->commitdep == sdep) markused(w, 1);
    } else if (w->commitdep == sdep) {
      markused(w, 1);
    }
  }
  for (int i = 0; i < ne; i++) entries[i].upd = 0;
  return cnt;
}

// Work table of computescores: one row of code weights per position.
static double acc[MXWENT][62];

// The weight table of ordinary word i, into t, adding the candidates in list order.
static void wordacc(int i, bool nodup, double (*t)[62]) {
  const word* w = words + i;
  const int n = w->nent;
  for (int k = 0; k < n; k++)
    for (int c = 0; c < 62; c++) t[k][c] = 0.0;
  const unsigned char* p = wchr[i];
  if (nodup && w->commitdep != -1) {
    if (w->flistlen == 1)
      for (int k = 0; k < n; k++) t[k][p[k]] += 1.0;
    return;
  }
  for (int j = 0; j < w->flistlen; j++, p += n) {
    int li = w->flist[j];
    if (nodup && isused(li)) continue;
    double wt = ltsw[li];
    for (int k = 0; k < n; k++) t[k][p[k]] += wt;
  }
}

// With whole-number weights: the table of every candidate of word i, summed in two
// interleaved halves so that neighbouring candidates do not wait for each other.
static void wordaccall(int i, double (*t)[62]) {
  const word* w = words + i;
  const int n = w->nent;
  static double t2[MXWENT][62];
  for (int k = 0; k < n; k++)
    for (int c = 0; c < 62; c++) t[k][c] = t2[k][c] = 0.0;
  const unsigned char* p = wchr[i];
  int j = 0;
  for (; j + 1 < w->flistlen; j += 2, p += 2 * n) {
    double w0 = ltsw[w->flist[j]], w1 = ltsw[w->flist[j + 1]];
    for (int k = 0; k < n; k++) {
      t[k][p[k]] += w0;
      t2[k][p[n + k]] += w1;
    }
  }
  if (j < w->flistlen) {
    double w0 = ltsw[w->flist[j]];
    for (int k = 0; k < n; k++) t[k][p[k]] += w0;
  }
  for (int k = 0; k < n; k++)
    for (int c = 1; c < 62; c++) t[k][c] += t2[k][c];
}

// The cached weight table of ordinary word i, brought up to date.
static double (*cachedacc(int i, bool nodup))[62] {
  const word* w = words + i;
  const int n = w->nent;
  acccache& ca = caches[i];
  const int mode = !nodup ? 0 : w->commitdep != -1 ? 1 : 2;
  const unsigned uv = mode == 2 ? usedverof(w) : 0;
  if ((int)ca.t.size() != n * 62) {
    ca.t.assign(n * 62, 0.0);
    ca.mode = -1;
  }
  double (*t)[62] = (double (*)[62])ca.t.data();
  if (ca.mode == mode && ca.gen == listgen[i] && ca.uv == uv) return t;
  ca.mode = mode;
  ca.gen = listgen[i];
  ca.uv = uv;
  if (!intweights || mode == 1) {
    wordacc(i, nodup, t);
    return t;
  }
  if (ca.all.size() != ca.t.size()) ca.all.assign(n * 62, 0.0), ca.allok = false;
  double (*all)[62] = (double (*)[62])ca.all.data();
  if (!ca.allok || ca.allgen != listgen[i]) {
    if (wchr[i] == winit[i]) {
      std::vector<double>& shared = initall[wchr[i]];
      if (shared.empty()) {
        shared.resize(n * 62);
        wordaccall(i, (double(*)[62])shared.data());
      }
      memcpy(all, shared.data(), sizeof(double) * 62 * n);
    } else {
      wordaccall(i, all);
    }
    ca.allok = true;
    ca.allgen = listgen[i];
  }
  memcpy(t, all, sizeof(double) * 62 * n);
  if (mode != 2) return t;
  auto sub = [&](int j) {
    const unsigned char* p = wchr[i] + (size_t)j * n;
    double wt = ltsw[w->flist[j]];
    for (int k = 0; k < n; k++) t[k][p[k]] -= wt;
  };
  if (wsorted[i] && nusedrecs < w->flistlen / 8) {
    // Few marked records: look each one up in the ordered list.
    const int* b = w->flist;
    const int* e = w->flist + w->flistlen;
    for (int u = 0; u < nusedrecs; u++) {
      int r = usedrecs[u];
      if (lts[r].len0 != w->wlen) continue;
      auto rg = std::equal_range(b, e, r);
      for (const int* q = rg.first; q != rg.second; q++) sub((int)(q - b));
    }
  } else {
    for (int j = 0; j < w->flistlen; j++)
      if (isused(w->flist[j])) sub(j);
  }
  return t;
}

int computescores() {
  const bool nodup = prefint(PREF_AUTOFILL_NO_DUPLICATES) != 0;
  // An entry's scores are the product of its words' tables, in word order: the first table is
  // copied rather than multiplied into ones, which gives the same values.
  static std::vector<unsigned char> begun;
  begun.assign(ne, 0);
  static double rows[MXWENT][62];
  for (int i = 0; i < nw; i++) {
    word* w = words + i;
    if (w->fe || !w->flist) continue;
    if (aborting()) return -3;
    const int n = w->nent;
    double (*t)[62] = acc;
    if (w->jmode == 0) {
      if (w->flistlen >= CACHEMIN) t = cachedacc(i, nodup);
      else wordacc(i, nodup, t);
    } else if (w->jmode == 1) {
      for (int k = 0; k < n; k++)
        for (int c = 0; c < 62; c++) acc[k][c] = 0.0;
      const int jl = w->jlen;
      const unsigned char* p = wchr[i];
      for (int j = 0; j < w->flistlen; j++, p += n) {
        double tp = jscores(w, j, rows);
        for (int k = 0; k < jl; k++)
          for (int c = 1; c <= 61; c++) acc[k][c] += rows[k][c];
        double wt = tp * ltsw[w->flist[j]];
        for (int k = jl; k < n; k++) acc[k][p[k]] += wt;
      }
    } else {
      for (int k = 0; k < n; k++)
        for (int c = 0; c < 62; c++) acc[k][c] = 0.0;
      for (int j = 0; j < w->flistlen; j++) {
        sscores(w, j, rows);
        for (int k = 0; k < n; k++)
          for (int c = 1; c <= 61; c++) acc[k][c] += rows[k][c];
      }
    }
    for (int k = 0; k < n; k++) {
      const int ei = (int)(w->e[k] - entries);
      double* sc = entries[ei].score;
      if (!begun[ei]) {
        memcpy(sc, t[k] + 1, sizeof(double) * 61);
        begun[ei] = 1;
      } else {
        for (int c = 1; c <= 61; c++) sc[c - 1] *= t[k][c];
      }
    }
  }
  for (int i = 0; i < ne; i++) {
    double* sc = entries[i].score;
    if (!begun[i])
      for (int c = 0; c < 61; c++) sc[c] = 1.0;
    // Four running maxima, so that each comparison need not wait for the one before.
    double b[4] = {sc[0], sc[1], sc[2], sc[3]};
    for (int c = 4; c < 60; c += 4)
      for (int q = 0; q < 4; q++) b[q] = std::max(b[q], sc[c + q]);
    entries[i].best = std::max(std::max(std::max(b[0], b[1]), std::max(b[2], b[3])), sc[60]);
  }
  return 0;
}

int choosecrit() {
  auto eligible = [](const entry& e) { return (fillmode != FM_SEL || e.sel) && !onebit(e.flbm); };
  int m = 0;
  bool any = false;
  for (int i = 0; i < ne; i++)
    if (eligible(entries[i])) {
      m = any ? std::max(m, entries[i].checking) : entries[i].checking;
      any = true;
    }
  if (!any || m <= 0) return -1;
  for (int t = m; t >= 1; t--) {
    int b = -1;
    for (int i = 0; i < ne; i++)
      if (eligible(entries[i]) && entries[i].checking >= t && (b < 0 || entries[i].best < entries[b].best)) b = i;
    if (b >= 0) return b;
  }
  return -1;
}

void getposs(const entry* e, unsigned char* out, int r, int blank) {
  const int n = blank ? 61 : 60;
  const long ei = e - entries;
  if (deb(DEB_SEARCH)) pstdout("getposs(%ld)\n", ei);
  // Every code with a positive score, by decreasing score, ties by increasing code.
  int len = 0;
  for (int c = 1; c <= n; c++)
    if (e->score[c - 1] > 0) out[len++] = (unsigned char)c;
  std::stable_sort(out, out + len, [e](unsigned char a, unsigned char b) { return e->score[a - 1] > e->score[b - 1]; });
  if (deb(DEB_SEARCH))
    for (int j = 0; j < len; j++)
      if (j == 0 || e->score[out[j] - 1] != e->score[out[j - 1] - 1]) pstdout("getposs(%ld): j=%g\n", ei, e->score[out[j] - 1]);
  out[len] = 0;
  if (r > 0)
    for (int j = 0; j < len; j++) {
      int k = rand() % (2 * r + 1);
      if (j + k < len) std::swap(out[j], out[j + k]);
    }
}

void pushstate() {
  sdep++;
  narrowedlive = false;
  ct_push++;
  fillassert(sdep <= ne, "sdep<=ne");
  if ((int)depths.size() <= sdep) depths.resize(sdep + 1);
  depthrec& d = depths[sdep];
  d.trail0 = trail.size();
  d.saved0 = saved.size();
  d.refs.clear();
  d.refkeys.clear();
  d.gen = ++depthgens;
}

void popstate() {
  const bool logw = deb(DEB_WORDS);
  // Uncommit in word order.
  size_t keep = committed.size();
  while (keep > 0 && words[committed[keep - 1]].commitdep >= sdep) keep--;
  std::sort(committed.begin() + keep, committed.end());
  for (size_t q = keep; q < committed.size(); q++) {
    word* w = words + committed[q];
    if (logw) {
      pstdout("sdep=%d flistlen=%d uncommitting word %d commitdep=%d:", sdep, w->flistlen, committed[q], w->commitdep);
      for (int j = 0; j < w->flistlen; j++) {
        pstdout(" ");
        printICCs(lts[w->flist[j]].s);
      }
      pstdout("\n");
    }
    markused(w, 0);
    w->commitdep = -1;
  }
  committed.resize(keep);
  const depthrec& d = depths[sdep];
  while (saved.size() > d.saved0) {
    savedlist& s = saved.back();
    word* w = words + s.w;
    free(w->flist);
    free(wchr[s.w]);
    free(w->jdata);
    free(w->jflbm);
    free(w->sdata);
    ct_free++;
    w->flist = s.flist;
    w->flistlen = s.flistlen;
    w->jdata = s.jdata;
    w->jflbm = s.jflbm;
    w->sdata = s.sdata;
    wchr[s.w] = s.chr;
    saveddep[s.w] = s.prevdep;
    listgen[s.w]++;
    if (!s.table.empty()) {
      acccache& ca = caches[s.w];
      ca.all.swap(s.table);
      ca.allok = true;
      ca.allgen = listgen[s.w];
    }
    saved.pop_back();
  }
  while (trail.size() > d.trail0) {
    entries[trail.back().first].flbm = trail.back().second;
    trail.pop_back();
  }
}

void unwindall() {
  // The state refers to the words by index and holds their lists: a rebuild while a state is
  // kept (a propagation left for its caller) must come after filler_stop.
  fillassert(sdep < 0 || words == statewords, "filler_stop before rebuild");
  while (sdep >= 0) {
    popstate();
    sdep--;
  }
  std::vector<std::pair<int, ABM>>().swap(trail);
  std::vector<savedlist>().swap(saved);
  std::vector<depthrec>().swap(depths);
  committed.clear();
}

void initdepths() {
  // Any earlier search state was discarded by filler_stop; its words may no longer exist.
  trail.clear();
  saved.clear();
  depths.clear();
  committed.clear();
  saveddep.assign(nw, -1);
  deadends.assign(nw, 0);
  ngapplied.clear();
  statewords = words;
  resetcaches();
  narrowedby.assign(ne, -1);
  narrowedgen.assign(ne, 0);
  narrowedlive = false;
  distinctents.assign(nw, 1);
  for (int i = 0; i < nw; i++)
    for (int k = 0; k < words[i].nent; k++)
      for (int q = 0; q < k; q++)
        if (words[i].e[q] == words[i].e[k]) distinctents[i] = 0;
  sdep = -1;
  for (int i = 0; i < nw; i++) words[i].commitdep = -1;
  pushstate();
}

static long long nowms() { return g_get_monotonic_time() / 1000; }

// The recovery search's refutation: word wi's candidates spelled as key failed below this depth,
// so they leave its list here (and so every list below it), and the entries they alone allowed
// are narrowed. Returns 1 when that left the word without candidates, 2 when it had none spelled
// so, -1 when out of memory.
static int refute(int wi, const unsigned char* keyp) {
  word* w = words + wi;
  const int n = w->nent, len = w->flistlen;
  unsigned char key[MXWENT];  // the key may be a row of the list, which moves below
  memcpy(key, keyp, n);
  // The rows spelled as the key: few, usually one.
  static std::vector<int> hits;
  hits.clear();
  const int* fl = w->flist;
  const unsigned char* chr = wchr[wi];
  for (int q = 0; q < len; q++)
    if (samerow(chr + (size_t)q * n, key, n)) hits.push_back(q);
  if (hits.empty()) return 2;
  const int m = len - (int)hits.size();
  if (m == 0) return 1;
  // A list not yet saved at this depth goes to new arrays, installed as this depth's list; one
  // saved here closes up in place. Either way the stretches between the hits move as blocks.
  const bool fresh = saveddep[wi] != sdep;
  int* dfl = w->flist;
  unsigned char* dchr = wchr[wi];
  if (fresh) {
    dfl = (int*)malloc(sizeof(int) * m + 1);
    dchr = (unsigned char*)malloc((size_t)m * n + CHRSLACK);
    if (!dfl || !dchr) {
      free(dfl);
      free(dchr);
      return -1;
    }
  }
  hits.push_back(len);
  int to = 0, from = 0;
  for (int h : hits) {
    const int cnt = h - from;
    if (cnt > 0 && (fresh || to != from)) {
      memmove(dfl + to, fl + from, sizeof(int) * cnt);
      memmove(dchr + (size_t)to * n, chr + (size_t)from * n, (size_t)cnt * n);
    }
    to += cnt;
    from = h + 1;
  }
  if (fresh) installlist(wi, dfl, dchr, nullptr, nullptr, nullptr);
  w->flistlen = m;
  listgen[wi]++;
  w->upd = 1;
  return 0;
}

// Notes the nogoods of the branch where a run stopped: every string refuted at a depth below 0
// failed under the codes that the decisions above it set, and so does the decision whose
// propagation just failed.
static void learn() {
  if (!recover_on()) return;
  static std::vector<int> pre;
  pre.clear();
  for (int d = 0; d <= sdep; d++) {
    const depthrec& r = depths[d];
    for (size_t q = 0, at = 0; d > 0 && q < r.refs.size(); at += words[r.refs[q]].nent, q++)
      recover_learn(pre, r.refs[q], r.refkeys.data() + at);
    if (d == sdep) break;
    if (d == sdep - 1 && d > 0 && r.crit <= -2) recover_learn(pre, -2 - r.crit, r.tried);
    pre.insert(pre.end(), r.setlits.begin(), r.setlits.end());
  }
  depths[0].refs.clear();
  depths[0].refkeys.clear();
  ngapplied.resize(recover_nogoods(), {-1, 0});
}

// The nogoods whose premises all hold here, and did not already at a depth above that is still
// in force: their words lose the strings they refute. Returns 0 when no list changed, 2 when one
// did, 1 when one was left empty (deadword), -1 when out of memory.
static int applynogoods() {
  static std::vector<int> holding;
  recover_holding(holding, [](int i) {
    const auto [ad, ag] = ngapplied[i];
    return ad >= 0 && ad <= sdep && depths[ad].gen == ag;
  });
  int ret = 0;
  for (int i : holding) {
    const unsigned char* key;
    const int w = recover_nogood(i, &key);
    const int rf = refute(w, key);
    if (rf < 0) return -1;
    if (rf == 1) {
      deadword = w;
      return 1;
    }
    ngapplied[i] = {sdep, depths[sdep].gen};
    if (rf == 0) ret = 2;
  }
  return ret;
}

// Goes back to depth 0 and starts a run of the recovery search. Depth 0 was propagated to a
// fixed point before its first branch, so nothing is left to filter there.
static void newrun() {
  learn();
  while (sdep > 0) {
    popstate();
    sdep--;
  }
  for (int i = 0; i < ne; i++) entries[i].upd = 0;
  for (int i = 0; i < nw; i++) words[i].upd = 0;
  recover_run();
  if (deb(DEB_SEARCH)) pstdout("recovery run %d\n", recover_stats().runs);
}

int search() {
  if (fillmode == FM_ASSIST && assistmode == 1) {
    if (filterwords() == -3 || settlewds() == -3 || computescores() == -3) return -5;
    return 2;
  }
  const bool ds = deb(DEB_SEARCH);
  settlewds();
  bool rechoose = false;  // a run of the recovery search starts at depth 0: choose at once
  for (;;) {
    if (aborting()) {
      if (ds) pstdout("aborting...\n");
      return -5;
    }
    int r = rechoose ? 0 : filterwords();
    if (r == -3) continue;
    if (r == -1) return -1;
    if (r >= 0 && !rechoose && recover_on()) {
      const int q = applynogoods();
      if (q < 0) return -1;
      if (q == 1) r = -2;
      if (q == 2) {
        if (settlewds() == -3) return -5;
        continue;
      }
    }
    if (r == -2) deadends[deadword]++;
    if (r == -2 && recover_on() && recover_fail(deadword)) {
      newrun();
      rechoose = true;
      continue;
    }
    if (r != -2) {
      if (r > 0) {
        int s = settlewds();
        if (s == -3 || s > 0) continue;
      }
      rechoose = false;
      if (computescores() == -3) continue;
      if (fillmode == FM_ASSIST || fillmode == FM_PROPAGATE) return 2;
      if (deb(DEB_WORDS)) {
        printwords(1);
        printlistlens();
      }
      depthrec& d = depths[sdep];
      int e;
      if (recover_on()) {
        e = recover_choose(d.wb, d.poss);
      } else {
        if (fillmode == FM_ALL || fillmode == FM_SEL) recover_progress();
        e = choosecrit();
        if (e >= 0) getposs(entries + e, d.poss, prefint(PREF_AUTOFILL_RANDOM), 1);
      }
      if (e == -1) return 2;
      d.crit = e;
      d.posi = 0;
      if (ds && e <= -2) pstdout("D%3d %*scrit W%d\n", sdep, sdep, "", -2 - e);
      if (ds && e >= 0) {
        pstdout("D%3d %*scrit E%d ", sdep, sdep, "", e);
        for (int j = 0; d.poss[j]; j++) pstdout("%s", icctext[d.poss[j]]);
        pstdout("\n");
      }
    }
    // Try the next code of the critical entry at this depth, backtracking while none is left.
    for (;;) {
      const bool back = r == -2;
      if (back) {
        fillassert(sdep >= 0, "sdep>=0");
        popstate();
        sdep--;
        if (sdep < 0) return 1;
      }
      depthrec& d = depths[sdep];
      if (d.crit <= -2 && back) {
        // A word of the recovery search whose candidate failed: the candidate leaves its list,
        // and the search propagates that and chooses again at this depth.
        const int wi = -2 - d.crit;
        const unsigned char* key = wchr[wi] + (size_t)d.wb.cand[d.wb.next - 1].second * words[wi].nent;
        d.refs.push_back(wi);
        d.refkeys.insert(d.refkeys.end(), key, key + words[wi].nent);
        const int rf = refute(wi, key);
        if (rf < 0) return -1;
        if (rf == 1) {
          r = -2;
          continue;
        }
        if (settlewds() == -3) return -5;
        break;
      }
      if (d.crit <= -2) {
        // A word of the recovery search: its entries take its first candidate's codes.
        const int wi = -2 - d.crit;
        const int j = recover_nextword(d.wb);
        if (j < 0) {
          r = -2;
          continue;
        }
        if (sdep == ne) return -2;
        const word& w = words[wi];
        const unsigned char* row = wchr[wi] + (size_t)j * w.nent;
        if (ds) {
          pstdout("D%3d %*strying W%d=", sdep, sdep, "", wi);
          for (int k = 0; k < w.nent; k++) pstdout("%s", icctext[row[k]]);
          pstdout("\n");
        }
        memcpy(d.tried, row, w.nent);
        d.setlits.clear();
        for (int k = 0; k < w.nent; k++)
          if (!onebit(w.e[k]->flbm)) d.setlits.push_back((int)(w.e[k] - entries) * 64 + row[k]);
        pushstate();  // d may move
        for (int k = 0; k < w.nent; k++)
          if (!onebit(w.e[k]->flbm)) {
            setflbm(w.e[k], codebit(row[k]));
            w.e[k]->upd = 1;
          }
        break;
      }
      int c = d.poss[d.posi];
      if (!c) {
        r = -2;
        continue;
      }
      if (recover_due()) {
        newrun();
        rechoose = true;
        break;
      }
      d.posi++;
      if (ds) pstdout("D%3d %*strying E%d=%s\n", sdep, sdep, "", d.crit, icctext[c]);
      if (sdep == ne) return -2;
      int crit = d.crit;
      d.setlits.assign(1, crit * 64 + c);
      pushstate();
      setflbm(entries + crit, codebit(c));
      entries[crit].upd = 1;
      break;
    }
    long long now = nowms();
    if (now - lastshow > 3000 || now < lastshow) {
      zyn_lock();
      for (int i = 0; i < ne; i++) entries[i].flbmh = entries[i].flbm;
      if (ui.refreshhints) ui.refreshhints();
      zyn_unlock();
      lastshow = now;
      if (ds) pstdout("ct_malloc=%d ct_free=%d diff=%d\n", ct_malloc, ct_free, ct_malloc - ct_free);
    }
  }
}
