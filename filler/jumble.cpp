// Jumbled and spread words: whether a candidate can still be arranged in the word's entries,
// which codes each position can then take, and the weights used for scoring.
#include "filler/jumble.h"

#include <cfloat>
#include <cstring>
#include <utility>

#include "alphabet/alphabet.h"
#include "filler/lists.h"
#include "filler/search.h"
#include "filler/trace.h"

static bool jdeb() { return deb(DEB_JUMBLE); }

static void phist(const unsigned char* h) {
  for (int c = 1; c <= 61; c++) pstdout(" %d", h[c]);
  pstdout("\n");
}

static void psets(const ABM* bm, int n) {
  for (int k = 0; k < n; k++) {
    pstdout(" ");
    pabm(bm[k]);
  }
  pstdout("\n");
}

// One candidate's jumble record and its per-position sets, on the jumble log.
static void pjrec(const jrec* jd, int nuf, const ABM* sets, int n) {
  pstdout(" nuf=%d\nufhist=", nuf);
  phist(jd->ufhist);
  pstdout("poscnt=");
  phist(jd->poscnt);
  pstdout(" flbm: ");
  psets(sets, n);
}

int checkjword(word* w, int j) {
  const ltsrec& L = lts[w->flist[j]];
  const int jl = w->jlen;
  const long wn = w - words;
  ABM bm[MXWENT];
  unsigned char h[62], hist[62];
  ltshist(w->flist[j], hist);
  bool forced[MXWENT];
  if (jdeb()) {
    pstdout("checkjword(w=%ld,", wn);
    pquoted(L.s);
    pstdout(") jlen=%d lbm=", jl);
    pabm(L.lbm);
    pstdout("\nhist=");
    phist(hist);
  }
  for (int k = 0; k < jl; k++) bm[k] = L.lbm & w->e[k]->flbm;
  if (jdeb()) {
    pstdout("entering main loop with\nbm[k]= ");
    psets(bm, jl);
  }
  for (;;) {
    memcpy(h, hist, sizeof h);
    for (int k = 0; k < jl; k++) forced[k] = false;
    for (;;) {
      for (int k = 0; k < jl; k++) {
        if (forced[k]) continue;
        if (!bm[k]) {
          if (jdeb()) pstdout("infeasible at entry %d\n", k);
          return 0;
        }
        if (onebit(bm[k])) {
          int c = abmcode(bm[k]);
          if (jdeb()) pstdout("position %d is forced to %s\n", k, icctext[c]);
          if (!h[c]) {
            if (jdeb()) pstdout("not enough in histogram for forced entries\n");
            return 0;
          }
          forced[k] = true;
          h[c]--;
        }
      }
      ABM gone = 0;
      for (int c = 1; c <= 61; c++)
        if (!h[c]) gone |= codebit(c);
      bool removed = false;
      for (int k = 0; k < jl; k++)
        if (!forced[k] && (bm[k] & gone)) {
          bm[k] &= ~gone;
          removed = true;
        }
      if (removed) {
        if (jdeb()) {
          pstdout("after removing forced entries:\nhist=");
          phist(h);
          pstdout("bm[k]=");
          psets(bm, jl);
        }
        continue;
      }
      bool tight = false;
      for (int c = 1; c <= 61 && !tight; c++) {
        if (!h[c]) continue;
        ABM b = codebit(c);
        int p = 0;
        for (int k = 0; k < jl; k++)
          if (!forced[k] && (bm[k] & b)) p++;
        int excess = p - h[c];
        if (jdeb()) pstdout("character %s can go in %d place(s) excess=%d\n", icctext[c], p, excess);
        if (excess < 0) {
          if (jdeb()) pstdout("not enough room for all occurrences of character %s\n", icctext[c]);
          return 0;
        }
        if (excess == 0) {
          if (jdeb()) pstdout("only just enough room for all occurrences of character %s\n", icctext[c]);
          for (int k = 0; k < jl; k++)
            if (!forced[k] && (bm[k] & b)) bm[k] = b;
          tight = true;
        }
      }
      if (!tight) break;
    }
    // Groups of codes that between them exactly fill the positions they can go in.
    int order[61], no = 0, excess[62];
    for (int c = 1; c <= 61; c++) {
      if (!h[c]) continue;
      ABM b = codebit(c);
      int p = 0;
      for (int k = 0; k < jl; k++)
        if (!forced[k] && (bm[k] & b)) p++;
      excess[c] = p - h[c];
      order[no++] = c;
    }
    for (int a = 1; a < no; a++)  // stable insertion sort: by excess, then code
      for (int b = a; b > 0 && excess[order[b]] < excess[order[b - 1]]; b--) std::swap(order[b], order[b - 1]);
    bool changed = false;
    int total = 0, first = 0;
    ABM mask = 0;
    for (int a = 0; a < no; a++) {
      int c = order[a];
      total += h[c];
      mask |= codebit(c);
      int slots = 0;
      for (int k = 0; k < jl; k++)
        if (!forced[k] && (bm[k] & mask)) slots++;
      if (jdeb()) {
        pstdout("considering group %d..%d=", first, a);
        pabm(mask);
        pstdout(": \n  c=%s group hist total=%d slots[group]=%d\n", icctext[c], total, slots);
      }
      if (slots < total) {
        if (jdeb()) {
          pstdout("not enough slots for group ");
          pabm(mask);
          pstdout(" slot count=%d group count=%d\n", slots, total);
        }
        return 0;
      }
      if (slots == total) {
        for (int k = 0; k < jl; k++)
          if (!forced[k] && (bm[k] & mask) && (bm[k] & ~mask)) {
            bm[k] &= mask;
            changed = true;
          }
        if (jdeb()) pstdout("new group\n");
        total = 0;
        mask = 0;
        first = a + 1;
      }
    }
    if (!changed) break;
  }
  jrec* jd = (jrec*)w->jdata + j;
  ABM* out = w->jflbm + (size_t)j * jl;
  int nuf = 0;
  memset(jd->poscnt, 0, sizeof jd->poscnt);
  for (int k = 0; k < jl; k++) {
    out[k] = bm[k];
    if (forced[k]) continue;
    nuf++;
    for (int c = 1; c <= 61; c++)
      if (bm[k] & codebit(c)) jd->poscnt[c]++;
  }
  memcpy(jd->ufhist, h, sizeof h);
  jd->ufhist[0] = 0;
  jd->nuf = nuf;
  if (jdeb()) {
    pstdout("checkjword returning w=%ld ", wn);
    pquoted(L.s);
    pjrec(jd, nuf, out, jl);
  }
  bool all = true;
  for (int k = 0; k < jl; k++) all = all && onebit(bm[k]);
  if (all) {
    int r = checkperm(w, j, 1);
    if (jdeb()) pstdout("checkperm returns %d\n", r);
    if (!r) return 0;
  }
  if (jdeb()) pstdout("checkjword: OK\n");
  return 1;
}

// s rotated left by i equals t (both of length n)?
static bool isrot(const char* s, const char* t, int n, int i) {
  for (int k = 0; k < n; k++)
    if (s[(i + k) % n] != t[k]) return false;
  return true;
}

int checkperm(const word* w, int j, int mode) {
  const int n = w->jlen;
  const char* s = lts[w->flist[j]].s;
  char a[MXWENT + 1], r[MXWENT + 1];
  for (int k = 0; k < n; k++) {
    ABM b = mode ? w->jflbm[(size_t)j * n + k] : w->e[k]->flbm;
    a[k] = b ? (char)abmcode(b) : 0;
  }
  for (int k = 0; k < n; k++) r[k] = a[n - 1 - k];
  a[n] = r[n] = 0;
  unsigned em = w->lp->emask;
  if (jdeb()) {
    pstdout("checkperm(");
    printICCs(a);
    pstdout(" : ");
    printICCs(s);
    pstdout(" em=%d mode=%d)\n", em, mode);
  }
  if (!(em & 1) && !memcmp(a, s, n)) return 0;
  if (!(em & 2) && !memcmp(r, s, n)) return 0;
  if (!(em & 4) && n > 1)
    for (int i = 1; i < n; i++)
      if (isrot(s, a, n, i)) return 0;
  if (em & 8) return 1;
  for (int i = 1; i < n; i++)
    if (isrot(s, r, n, i)) return 0;
  return 1;
}

void checksword(word* w, int j) {
  ABM sets[MXWENT];
  for (int k = 0; k < w->nent; k++) sets[k] = w->e[k]->flbm;
  if (jdeb()) {
    pstdout("checksword(w=%ld,", (long)(w - words));
    pquoted(lts[w->flist[j]].s);
    pstdout(") bm=");
    psets(sets, w->nent);
    pstdout(" j=%d\n", j);
  }
  scounts(w, j, sets);
  if (jdeb()) {
    pstdout("  output bm=");
    psets(ssets(w, j), w->nent);
  }
}

static double CTL[256][256], CTR[256][256];

static void ptable(double (*t)[256], int m, int n) {
  for (int i = 0; i <= m; i++) {
    for (int l = 0; l <= n; l++) pstdout(" %g", t[i][l]);
    pstdout("\n");
  }
}

void scounts(word* w, int j, const ABM* sets) {
  const char* s = lts[w->flist[j]].s;
  const int m = w->wlen, n = w->nent;
  if (jdeb()) {
    pstdout("scounts: w=%ld ", (long)(w - words));
    pquoted(s);
    pstdout("\n");
  }
  auto allows = [&](int l, int c) { return (sets[l] & codebit(c)) != 0; };
  for (int i = 0; i <= m; i++)
    for (int l = 0; l <= n; l++) CTL[i][l] = CTR[i][l] = 0;
  CTL[0][0] = 1;
  for (int l = 0; l < n; l++)
    for (int i = 0; i <= m; i++)
      CTL[i][l + 1] = (allows(l, ICC_DASH) ? CTL[i][l] : 0) +
                      (i > 0 && allows(l, (unsigned char)s[i - 1]) ? CTL[i - 1][l] : 0);
  CTR[m][n] = 1;
  for (int l = n - 1; l >= 0; l--)
    for (int i = m; i >= 0; i--)
      CTR[i][l] = (allows(l, ICC_DASH) ? CTR[i][l + 1] : 0) +
                  (i < m && allows(l, (unsigned char)s[i]) ? CTR[i + 1][l + 1] : 0);
  if (jdeb()) {
    pstdout("CTL: # of ways to put chars [0,i) in slots [0,j)\n");
    ptable(CTL, m, n);
    pstdout("CTR: # of ways to put chars [i,n) in slots [j,m)\n");
    ptable(CTR, m, n);
  }
  ABM* out = ssets(w, j);
  double* tab = stable(w, j);
  double* blank = sblank(w, j);
  for (int l = 0; l < n; l++) {
    ABM b = 0;
    for (int i = 0; i < m; i++) {
      // Only a slot that allows the character can hold it.
      double v = allows(l, (unsigned char)s[i]) ? CTL[i][l] * CTR[i + 1][l + 1] : 0;
      tab[(size_t)i * n + l] = v;
      if (v != 0) b |= codebit((unsigned char)s[i]);
    }
    double bl = 0;
    if (allows(l, ICC_DASH))
      for (int i = 0; i <= m; i++) bl += CTL[i][l] * CTR[i][l + 1];
    blank[l] = bl;
    if (bl != 0) b |= ABM_DASH;
    out[l] = b;
  }
}

double jscores(const word* w, int j, double (*rows)[62]) {
  const jrec* jd = (const jrec*)w->jdata + j;
  const int jl = w->jlen, nuf = jd->nuf;
  const ABM* sets = w->jflbm + (size_t)j * jl;
  double tp = 1;
  int d = nuf;
  for (int c = 1; c <= 61; c++) {
    int u = jd->ufhist[c];
    if (!u || u == nuf) continue;
    d -= u;
    double f = u + (double)(jd->poscnt[c] - u) * d / (nuf - u);
    double num = 1, den = 1;
    for (int t = 0; t < u; t++) {
      num *= f - t;
      den *= t + 1;
    }
    tp = tp * num / den;
    if (tp > DBL_MAX) tp = DBL_MAX;
  }
  for (int p = 0; p < jl; p++) {
    double* row = rows[p];
    for (int c = 0; c < 62; c++) row[c] = 0;
    ABM S = sets[p];
    if (!S) continue;
    if (onebit(S)) {
      row[abmcode(S)] = tp;
      continue;
    }
    double sum = 0;
    for (int c = 1; c <= 61; c++)
      if ((S & codebit(c)) && jd->poscnt[c]) {
        row[c] = (double)jd->ufhist[c] / jd->poscnt[c];
        sum += row[c];
      }
    if (sum > 0)
      for (int c = 1; c <= 61; c++) row[c] = row[c] * tp / sum;
  }
  if (jdeb()) {
    pstdout("jscores: w=%ld ", (long)(w - words));
    pquoted(lts[w->flist[j]].s);
    pjrec(jd, nuf, sets, jl);
    pstdout("  tp=%g\n", tp);
    for (int p = 0; p < jl; p++) {
      pstdout("  e%3d:", p);
      for (int c = 1; c <= 26; c++) pstdout("%7.1f", rows[p][c]);
      pstdout("\n");
    }
  }
  return tp;
}

void sscores(const word* w, int j, double (*rows)[62]) {
  const char* s = lts[w->flist[j]].s;
  const int m = w->wlen, n = w->nent;
  const double* tab = stable(w, j);
  const double* blank = sblank(w, j);
  for (int l = 0; l < n; l++)
    for (int c = 0; c < 62; c++) rows[l][c] = 0;
  for (int i = 0; i < m; i++)
    for (int l = 0; l < n; l++) rows[l][(unsigned char)s[i]] += tab[(size_t)i * n + l];
  for (int l = 0; l < n; l++) rows[l][ICC_DASH] += blank[l];
  if (jdeb())
    for (int l = 0; l < n; l++) {
      pstdout("  e%2d:", l);
      for (int c = 1; c <= 61; c++) {
        pstdout(" %5.1f", rows[l][c]);
        if (c == 26 || c == 36) pstdout("  ");
      }
      pstdout("\n");
    }
}
