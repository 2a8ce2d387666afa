// The filler's trace printers, for the debug logs.
#include "filler/trace.h"

#include "alphabet/alphabet.h"
#include "filler/lists.h"
#include "grid/zyn.h"

void pabm(ABM b) {
  char buf[200];
  abmtostr(buf, sizeof buf, b, 1);
  pstdout("%s", buf);
}

void pquoted(const char* s) {
  pstdout("\"");
  printICCs(s);
  pstdout("\"");
}

void printwords(int details) {
  char buf[200];
  for (int i = 0; i < nw; i++) {
    const word* w = words + i;
    pstdout("W%d: fe=%d jmode=%d nent=%d wlen=%d jlen=%d E: ", i, w->fe, w->jmode, w->nent, w->wlen, w->jlen);
    for (int k = 0; k < w->nent; k++) pstdout("%d ", (int)(w->e[k] - entries));
    pstdout("= ");
    for (int k = 0; k < w->nent; k++) {
      abmtostr(buf, sizeof buf, w->e[k]->flbm, 1);
      pstdout("%s ", buf);
    }
    if (details && w->flist) {
      int n = w->flistlen;
      for (int j = 0; j < n && j < 3; j++) pstdout("[%d]", lts[w->flist[j]].ans);
      if (n > 6) pstdout(" ...");
      for (int j = n > 6 ? n - 3 : 3; j < n; j++) pstdout("[%d]", lts[w->flist[j]].ans);
      pstdout(" (%d)", n);
    }
    pstdout("\n");
  }
}

void printlistlens() {
  for (int i = 0; i < nw; i++) pstdout("[w%d: %d]", i, words[i].flistlen);
  pstdout("\n");
}
