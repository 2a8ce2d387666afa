// The end of a fill on the filler thread: the outcome is published to the window under the
// lock (the feasible sets, the current light's candidates, the heat map), then the search's
// depth state is unwound.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/hooks.h"
#include "core/lock.h"
#include "filler/filler.h"
#include "filler/lists.h"
#include "filler/search.h"
#include "grid/zyn.h"

void searchdone() {
  const bool df = deb(DEB_FILLER);
  if (df) pstdout("searchdone: A\n");
  zyn_lock();
  // An autofill that was stopped leaves its partial fill as the hints, so the current light's
  // list is published from the same state; a background fill stopped for an edit publishes
  // nothing, since the document is changing.
  const bool stoppedfill = filler_status == FS_STOPPED && (fillmode == FM_ALL || fillmode == FM_SEL);
  if (filler_status != FS_STOPPED || stoppedfill) {
    // A list from an earlier fill must not outlive it: its indices refer to that fill's lts.
    free(llist);
    llist = nullptr;
    llistlen = 0;
    if (filler_status == FS_DONE || stoppedfill) {
      if (curword >= 0 && curword < nw && words[curword].flist && assistmode != 0) {
        const word* w = words + curword;
        llist = (int*)malloc(sizeof(int) * w->flistlen + 1);
        if (llist) {
          memcpy(llist, w->flist, sizeof(int) * w->flistlen);
          llistlen = w->flistlen;
          llistwlen = w->wlen;
          llistdm = w->lp->dmask;
          llistem = w->lp->emask;
          std::stable_sort(llist, llist + llistlen, [](int a, int b) { return lts[a].w > lts[b].w; });
        }
      }
      heatcands.assign(ne, -1);
      for (int i = 0; i < nw; i++) {
        const word* w = words + i;
        if (!w->flist || w->fe) continue;
        for (int k = 0; k < w->nent; k++) {
          int& h = heatcands[w->e[k] - entries];
          if (h < 0 || w->flistlen < h) h = w->flistlen;
        }
      }
    } else {
      for (int i = 0; i < ne; i++) setflbm(entries + i, 0);
      if (df) pstdout("BG fill failed\n");
    }
    if ((fillmode == FM_ALL || fillmode == FM_SEL) && ui.fipdone) ui.fipdone();
    if (ui.updatefeas) ui.updatefeas();
  }
  if (df) pstdout("searchdone: B\n");
  for (int i = 0; i < ne; i++) entries[i].flbmh = entries[i].flbm;
  if (ui.refreshhints) ui.refreshhints();
  zyn_unlock();
  if (df) pstdout("searchdone: C\n");
  unwindall();
  for (int i = 0; i < nw; i++)
    if (words[i].commitdep != -1) {
      pstdout("assertion failing i=%d nw=%d words[i].commitdep=%d\n", i, nw, words[i].commitdep);
      fillassert(false, "words[i].commitdep==-1");
    }
  if (df) {
    pstdout("search done\n");
    pstdout(">> ct_malloc=%d ct_free=%d diff=%d\n", ct_malloc, ct_free, ct_malloc - ct_free);
  }
}
