// The recovery search's choices and its per-fill state: the runs and their limits on dead ends,
// the failure weights of the words, and a random generator seeded from the fill's seed.
#include "filler/recover.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

#include "filler/filler.h"
#include "filler/lists.h"
#include "filler/search.h"
#include "grid/zyn.h"

long long recoverybudget = RECOVERYBUDGET;

namespace {

constexpr long long RUNUNIT = 32;   // dead ends per unit of the run limits
constexpr double CROSSWEIGHT = 2;   // weight of a crossing word's failures against a word's own
// Spread of the random draw of candidates. A small one keeps runs on the likeliest branches,
// where the nogoods of earlier runs cut them short.
constexpr double NOISE = 0.2;

// A nogood in the store: its premises nglit[lit0 ..] and its word's string ngkey[key0 ..].
struct nogood {
  unsigned lit0, key0;
  int nlit, w;
};

struct recstate {
  bool on = false;
  long long work = 0;           // candidates examined by the filter in this fill
  long long budget = 0;         // the work after which the recovery search takes over
  int best = -1;                // most eligible entries settled at a branch of the ordinary search
  long long bestwork = 0;       // the work when best last grew
  int eligible = 0;             // entries the fill may branch on
  int runs = 0;                 // runs started
  long long fails = 0, limit = 0;  // dead ends in this run, and those it may meet
  unsigned long long rng = 0;
  std::vector<double> wt;       // per word: 1 plus the dead ends found in it
  std::vector<int> ewstart, ew;  // per entry: the words through it, ew[ewstart[e] .. ewstart[e+1])
  std::vector<nogood> ng;       // the nogoods learned from the runs so far
  std::vector<int> nglit;       // their premises: entry * 64 + code
  std::vector<unsigned char> ngkey;  // their words' strings
  // The nogoods by their last premise, the code of the deepest decision: only those whose last
  // premise holds need a look.
  std::unordered_map<int, std::vector<int>> ngbylast;
};
recstate rec;

// splitmix64: a generator of its own, so that the recovery search neither disturbs nor is
// disturbed by the C library's sequence.
unsigned long long next64() {
  unsigned long long z = (rec.rng += 0x9e3779b97f4a7c15ULL);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}

double uniform() { return ((next64() >> 11) + 0.5) / 9007199254740992.0; }  // in (0, 1)

// A Gumbel variable: adding one to each log-weight and taking the largest draws in proportion
// to the weights.
double gumbel() { return -std::log(-std::log(uniform())); }

// Term i (from 1) of 1 1 2 1 1 2 4 1 1 2 1 1 2 4 8 ...: runs are mostly short, with ever longer
// ones among them, so that some run eventually has room for the whole search.
long long luby(long long i) {
  for (;;) {
    long long k = 1;
    while ((1LL << k) - 1 < i) k++;
    if (i == (1LL << k) - 1) return 1LL << (k - 1);
    i -= (1LL << (k - 1)) - 1;
  }
}

// The failures that count for the open entry e, beyond those of word i itself.
double crossfails(int e, int i) {
  double f = 0;
  for (int j = rec.ewstart[e]; j < rec.ewstart[e + 1]; j++)
    if (rec.ew[j] != i) f += rec.wt[rec.ew[j]] - 1.0;
  return f;
}

// The index below n with the smallest value, ties at random; a negative value marks an index
// that may not be chosen. -1 when there is none.
template <class F>
int pick(int n, F value) {
  int best = -1;
  double bestv = 0, bestr = 0;
  for (int i = 0; i < n; i++) {
    double v = value(i);
    if (v < 0) continue;
    double r = uniform();
    if (best < 0 || v < bestv || (v == bestv && r < bestr)) best = i, bestv = v, bestr = r;
  }
  return best;
}

// The ordinary word to fill next: all its open entries may be branched on, and it has the
// fewest candidates per open entry for the failures in it and around it.
int chooseword() {
  return pick(nw, [](int i) {
    const word& w = words[i];
    if (w.jmode != 0 || w.fe || !w.flist) return -1.0;
    int nopen = 0;
    double wd = rec.wt[i];
    for (int k = 0; k < w.nent; k++) {
      const entry* en = w.e[k];
      if (onebit(en->flbm)) continue;
      if (fillmode == FM_SEL && !en->sel) return -1.0;
      nopen++;
      wd += CROSSWEIGHT * crossfails((int)(en - entries), i);
    }
    return nopen ? std::log(1.0 + w.flistlen) / nopen / wd : -1.0;
  });
}

// The entry with the fewest codes for the failures of its words, for what whole words do not
// cover (jumbled and spread words, cells outside the selection).
int chooseentry() {
  return pick(ne, [](int e) {
    const entry& en = entries[e];
    if ((fillmode == FM_SEL && !en.sel) || onebit(en.flbm)) return -1.0;
    int dom = 0;
    for (int c = 0; c < 61; c++) dom += en.score[c] > 0;
    return dom / (1.0 + crossfails(e, -1));
  });
}

// Word wi's candidates into b, keyed for a draw without replacement weighted by what each leaves
// the crossing words: the product over its open entries of the entry's score (the product of the
// supports of the words through it) divided by the word's own support.
void keywords(wordbranch& b, int wi) {
  const word& w = words[wi];
  const int n = w.nent;
  static double own[MXWENT][62];
  static float lg[MXWENT][62];
  for (int k = 0; k < n; k++)
    for (int c = 0; c < 62; c++) own[k][c] = 0;
  const unsigned char* p = wchr[wi];
  for (int j = 0; j < w.flistlen; j++, p += n) {
    double wt = ltsw[w.flist[j]];
    for (int k = 0; k < n; k++) own[k][p[k]] += wt;
  }
  for (int k = 0; k < n; k++) {
    const entry* e = w.e[k];
    for (int c = 1; c <= 61; c++) {
      double s = e->score[c - 1];
      lg[k][c] = onebit(e->flbm) ? 0.0f : s > 0 && own[k][c] > 0 ? (float)std::log(s / own[k][c]) : -1e30f;
    }
  }
  b.w = wi;
  b.cand.resize(w.flistlen);
  p = wchr[wi];
  for (int j = 0; j < w.flistlen; j++, p += n) {
    float v = 0;
    for (int k = 0; k < n; k++) v += lg[k][p[k]];
    b.cand[j] = {v + (float)(NOISE * gumbel()), j};
  }
  b.sorted = b.next = 0;
}

}  // namespace

recoverstats recover_stats() { return {rec.work, rec.runs, (int)rec.ng.size()}; }

void recover_reset(unsigned seed) {
  rec.on = false;
  rec.work = 0;
  // The ordinary search decides which fill a setter sees; on a small grid it has found one long
  // before this if it finds one at all.
  const long long perentry = RECOVERYPERENTRY * std::max(ne, 1);
  rec.budget = std::min(recoverybudget, perentry);
  if (ne < RECOVERYFULLNE) rec.budget = std::min(rec.budget, std::max(RECOVERYMIN, perentry * ne / RECOVERYFULLNE));
  rec.best = -1;
  rec.bestwork = 0;
  rec.eligible = 0;
  rec.runs = 0;
  rec.fails = rec.limit = 0;
  rec.rng = 0x5851f42d4c957f2dULL ^ seed;
  rec.wt.assign(nw, 1.0);
  rec.ng.clear();
  rec.nglit.clear();
  rec.ngkey.clear();
  rec.ngbylast.clear();
  rec.ewstart.assign(ne + 1, 0);
  for (int i = 0; i < nw; i++)
    for (int k = 0; k < words[i].nent; k++) rec.ewstart[words[i].e[k] - entries + 1]++;
  for (int e = 0; e < ne; e++) rec.ewstart[e + 1] += rec.ewstart[e];
  rec.ew.assign(rec.ewstart[ne], 0);
  std::vector<int> at(rec.ewstart.begin(), rec.ewstart.end() - 1);
  for (int i = 0; i < nw; i++)
    for (int k = 0; k < words[i].nent; k++) rec.ew[at[words[i].e[k] - entries]++] = i;
}

void recover_work(long long n) { rec.work += n; }

bool recover_on() { return rec.on; }

void recover_progress() {
  int settled = 0, eligible = 0;
  for (int e = 0; e < ne; e++)
    if (fillmode != FM_SEL || entries[e].sel) {
      eligible++;
      settled += onebit(entries[e].flbm);
    }
  if (settled > rec.best) rec.best = settled, rec.bestwork = rec.work;
  rec.eligible = eligible;
}

bool recover_due() {
  if (rec.on || (fillmode != FM_ALL && fillmode != FM_SEL)) return false;
  if (rec.work > rec.budget) return true;
  // Stalled: no more entries settled for a while, and more than a tenth of them still open at best.
  return rec.work > RECOVERYSTALLMIN * rec.budget && rec.work - rec.bestwork > RECOVERYSTALL * rec.budget &&
         10 * (rec.eligible - rec.best) > rec.eligible;
}

void recover_run() {
  rec.on = true;
  rec.runs++;
  rec.fails = 0;
  rec.limit = luby(rec.runs) * RUNUNIT;
}

bool recover_fail(int w) {
  if (w >= 0 && w < nw) rec.wt[w] += 1.0;
  return ++rec.fails >= rec.limit;
}

void recover_learn(const std::vector<int>& lits, int w, const unsigned char* key) {
  if (lits.empty() || rec.ng.size() >= RECOVERYNOGOODS || rec.nglit.size() + lits.size() > RECOVERYNOGOODLITS) return;
  rec.ngbylast[lits.back()].push_back((int)rec.ng.size());
  rec.ng.push_back({(unsigned)rec.nglit.size(), (unsigned)rec.ngkey.size(), (int)lits.size(), w});
  rec.nglit.insert(rec.nglit.end(), lits.begin(), lits.end());
  rec.ngkey.insert(rec.ngkey.end(), key, key + words[w].nent);
}

int recover_nogoods() { return (int)rec.ng.size(); }

void recover_holding(std::vector<int>& out, bool (*skip)(int)) {
  out.clear();
  if (rec.ng.empty()) return;
  for (int e = 0; e < ne; e++) {
    const ABM b = entries[e].flbm;
    if (!onebit(b)) continue;
    const auto it = rec.ngbylast.find(e * 64 + __builtin_ctzll(b) + 1);
    if (it == rec.ngbylast.end()) continue;
    for (int i : it->second) {
      if (skip(i)) continue;
      const nogood& g = rec.ng[i];
      const int* l = rec.nglit.data() + g.lit0;
      // The first premise, of the run's first decision, tells most runs' nogoods apart.
      int k = g.nlit - 1;
      if (k > 0 && entries[l[0] >> 6].flbm != codebit(l[0] & 63)) continue;
      while (k > 1 && entries[l[k - 1] >> 6].flbm == codebit(l[k - 1] & 63)) k--;
      if (k <= 1) out.push_back(i);
    }
  }
}

int recover_nogood(int i, const unsigned char** key) {
  *key = rec.ngkey.data() + rec.ng[i].key0;
  return rec.ng[i].w;
}

int recover_choose(wordbranch& b, unsigned char* poss) {
  b.w = -1;
  int wi = chooseword();
  if (wi >= 0) {
    keywords(b, wi);
    return -2 - wi;
  }
  int e = chooseentry();
  if (e < 0) return -1;
  // Codes with a positive score, drawn in proportion to the score.
  const entry& en = entries[e];
  double key[61];
  int n = 0;
  for (int c = 1; c <= 61; c++)
    if (en.score[c - 1] > 0) {
      key[n] = std::log(en.score[c - 1]) + NOISE * gumbel();
      poss[n++] = (unsigned char)c;
    }
  for (int a = 1; a < n; a++)
    for (int j = a; j > 0 && key[j] > key[j - 1]; j--) {
      std::swap(key[j], key[j - 1]);
      std::swap(poss[j], poss[j - 1]);
    }
  poss[n] = 0;
  return e;
}

int recover_nextword(wordbranch& b) {
  const int n = words[b.w].nent;
  const unsigned char* rows = wchr[b.w];
  auto bykey = [](const std::pair<float, int>& x, const std::pair<float, int>& y) { return x.first > y.first; };
  for (;;) {
    if (b.next >= b.cand.size()) return -1;
    if (b.next >= b.sorted) {
      // Most words are left after a few candidates: sort in growing stretches.
      size_t to = std::min(b.cand.size(), b.sorted + std::max<size_t>(64, b.sorted));
      std::partial_sort(b.cand.begin() + b.sorted, b.cand.begin() + to, b.cand.end(), bykey);
      b.sorted = to;
    }
    int j = b.cand[b.next++].second;
    // Equal strings of different answers or entry methods fill the entries alike.
    bool seen = false;
    for (size_t t = 0; t + 1 < b.next && !seen; t++)
      seen = samerow(rows + (size_t)b.cand[t].second * n, rows + (size_t)j * n, n);
    if (!seen) return j;
  }
}
