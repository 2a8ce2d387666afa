// The filler: runs list building and the search on a worker thread, reports the outcome in
// filler_status and publishes the feasible sets and the current light's candidates.
#pragma once

#include <atomic>
#include <vector>

#include "core/common.h"

// Fill modes.
constexpr int FM_ASSIST = 0, FM_ALL = 1, FM_SEL = 2, FM_PROPAGATE = 3;

// filler_status values.
constexpr int FS_IDLE = 0, FS_RUNNING = 3, FS_DONE = 2, FS_NOFILL = 1, FS_NOMEM = -1,
              FS_DEPTH = -2, FS_LISTS = -3, FS_STOPPED = -5;

extern int fillmode;
// Shared with the filler thread, which writes the status and reads the assistance mode while the
// window's thread may look at both.
extern std::atomic<int> filler_status;
extern std::atomic<int> assistmode;  // 0 off, 1 light only, 2 entire grid
extern std::atomic<int> abortflag;   // set while filler_stop is stopping the thread
// Counts the fills started; a result the filler thread posted to the window belongs to the fill
// of its number, and is stale once another fill has started.
extern std::atomic<unsigned int> fillgen;
extern unsigned int fillseed;        // seed of the running or last fill

// Per entry, published with the feasible sets: the fewest candidates left by the last fill in
// the words through the entry that have lists, -1 for none; empty when the fill found nothing
// or has not published. For the window's heat map.
extern std::vector<int> heatcands;

// The current light's candidates after the last fill (lts indices, by decreasing weight).
extern int* llist;
extern int llistlen, llistwlen;
extern unsigned int llistdm, llistem;

int filler_start(int mode);  // 0 when the thread runs, 1 on failure
void filler_wait();
void filler_stop();
int runfiller(int mode);     // stop, rebuild, start; 0 on success
// Stop, rebuild and run a propagation-only fill to its end on the filler thread. Returns the
// filler status (FS_DONE: every light has candidates that fit; FS_NOFILL: some light has
// none), or -1 when the rebuild or the start failed. The propagated lists and sets stay for the
// caller until the next filler_stop.
int propagate();
