// The filler thread: starting, waiting for and stopping a fill, the restart sequence after
// every change.
#include "filler/filler.h"

#include <glib.h>

#include <cstdlib>

#include "core/hooks.h"
#include "core/lock.h"
#include "filler/failure.h"
#include "filler/lists.h"
#include "filler/recover.h"
#include "filler/search.h"
#include "filler/trace.h"
#include "treatment/treatment.h"
#include "grid/lights.h"
#include "grid/zyn.h"

int fillmode = FM_ASSIST;
std::atomic<int> filler_status{FS_IDLE};
std::atomic<int> assistmode{2};
std::atomic<int> abortflag{0};
std::atomic<unsigned int> fillgen{0};
unsigned int fillseed = 0;

std::vector<int> heatcands;

int* llist = nullptr;
int llistlen = 0, llistwlen = 0;
unsigned int llistdm = 0, llistem = 0;

static GThread* fth = nullptr;
static long long fillstart;

static long long nowms() { return g_get_monotonic_time() / 1000; }

static gpointer fillerthread(gpointer) {
  if (deb(DEB_FILLER)) pstdout("filler_seed=0x%08x (set this using -F)\n", fillseed);
  srand(fillseed);
  fillstart = nowms();
  notestart(fillstart);
  clueorderindex = 0;
  const long long push0 = ct_push;
  if (buildlists()) {
    // A failed build is still reported to the window, so that a progress dialog closes.
    if (filler_status == FS_LISTS && fillmode != FM_PROPAGATE) searchdone();
  } else {
    if (deb(DEB_SEARCH)) printwords(1);
    for (int i = 0; i < ne; i++) entries[i].upd = 1;
    for (int i = 0; i < nw; i++) words[i].upd = 1;
    if (ui.searching) ui.searching();
    filler_status = (fillmode > 0 || assistmode > 0) ? search() : FS_DONE;
    // A fill that failed says where; a propagation for an export or a check needs only the outcome.
    if (filler_status == FS_NOFILL && fillmode != FM_PROPAGATE) findfailure();
    if (fillmode != FM_PROPAGATE) searchdone();
  }
  if (deb(DEB_FILLER)) {
    pstdout("search finished: %.3fs\n", (double)(nowms() - fillstart) / 1000.0);
    pstdout("nodes searched: %lld\n", ct_push - push0);
    pstdout("candidates examined: %lld\n", recover_stats().work);
    if (recover_stats().runs) pstdout("recovery runs: %d, nogoods learned: %d\n", recover_stats().runs, recover_stats().nogoods);
    pstdout("fillerthread() terminating filler_status=%d\n", filler_status.load());
  }
  return nullptr;
}

int filler_start(int mode) {
  fillassert(fth == nullptr, "fth==0");
  if (deb(DEB_FILLER)) pstdout("filler_start(%d)\n", mode);
  if (deb(DEB_SEARCH)) printwords(0);
  fillmode = mode;
  // The candidates of the last fill refer to the light strings about to be discarded.
  free(llist);
  llist = nullptr;
  llistlen = 0;
  for (int i = 0; i < nw; i++) {
    word* w = words + i;
    // A light settled before the fill is taken as it stands; a message word settled by its
    // constraints must still match its message.
    int fe = !(w->lp->dmask & 0x600);
    for (int k = 0; k < w->nent; k++) fe = fe && onebit(w->e[k]->flbm);
    w->fe = fe;
    unsigned em = w->lp->emask;
    w->jmode = (em & 0x10) ? 1 : (em & 0x20) ? 2 : 0;
  }
  if (ltsclear() || inittreatment()) return 1;
  lastfailure = fillfailure();
  heatcands.clear();
  filler_status = FS_IDLE;
  initdepths();
  filler_status = FS_RUNNING;
  fillseed = filler_seed ? filler_seed : (unsigned int)rand();
  fillgen++;
  recover_reset(fillseed);
  // A run without a window can end through exit (an error box) while a fill runs: the thread
  // is stopped first, before the static storage it reads is destroyed.
  static const bool stopsatexit = std::atexit([] {
    if (fth) filler_stop();
  }) == 0;
  (void)stopsatexit;
  GError* err = nullptr;
  // The window's tests set ZYN_TEST_NO_FILLER_THREAD to see how a fill that cannot start is
  // reported: the thread is then refused as the system would refuse it.
  static const bool nothread = getenv("ZYN_TEST_NO_FILLER_THREAD") != nullptr;
  fth = nothread ? nullptr : g_thread_try_new("filler", fillerthread, nullptr, &err);
  if (!fth) {
    if (err) g_error_free(err);
    unwindall();
    filler_status = FS_IDLE;
    return 1;
  }
  return 0;
}

void filler_wait() {
  if (deb(DEB_FILLER)) pstdout("filler_wait() A\n");
  if (fth) {
    zyn_unlock();
    g_thread_join(fth);
    fth = nullptr;
    zyn_lock();
  }
  if (deb(DEB_FILLER)) pstdout("filler_wait() B\n");
}

void filler_stop() {
  if (deb(DEB_FILLER)) pstdout("filler_stop() A\n");
  abortflag = 1;
  filler_wait();
  abortflag = 0;
  if (deb(DEB_FILLER)) pstdout("filler_stop() B\n");
  unwindall();
  if (deb(DEB_FILLER)) pstdout("filler_stop() C\n");
}

int runfiller(int mode) {
  filler_stop();
  if (ui.setfeaslabel) ui.setfeaslabel("");
  if (rebuild()) return 1;
  if (filler_start(mode)) return 1;
  if (assistmode > 0 && ui.setfeaslabel) ui.setfeaslabel(" Working...");
  return 0;
}

int propagate() {
  filler_stop();
  if (rebuild() || filler_start(FM_PROPAGATE)) return -1;
  filler_wait();
  return filler_status;
}
