// The search: constraint propagation between word lists and entry sets, scoring, and
// depth-first branching on single entries with exactly undoable depths.
#pragma once

#include <cstring>
#include <vector>

#include "core/common.h"
#include "grid/zyn.h"

extern int sdep;                 // current depth, -1 before the first pushstate
extern int ct_malloc, ct_free;   // list allocations and frees, for the logs
extern long long ct_push;        // depths opened since the program began
extern int deadword;             // the word whose list filterwords last found empty
extern std::vector<int> deadends;  // per word: dead ends the search met there in this fill

inline bool onebit(ABM b) { return b && !(b & (b - 1)); }
inline int abmcode(ABM b) { return __builtin_ctzll(b) + 1; }  // the code of a one-bit set
// Two rows of n codes (n >= 1) are equal; the first code tells most rows apart without a call.
inline bool samerow(const unsigned char* a, const unsigned char* b, int n) { return a[0] == b[0] && !memcmp(a, b, n); }
inline ABM codebit(int c) { return c >= 1 && c <= 61 ? 1ULL << (c - 1) : 0; }

// A fatal consistency check: prints the condition and ends the process.
void fillassert(bool ok, const char* what);

// Sets an entry's feasible set so that popstate can restore it.
void setflbm(entry* e, ABM b);

int settlewds();
int filterwords();
int computescores();
int choosecrit();
void getposs(const entry* e, unsigned char* out, int r, int blank);
void pushstate();
void popstate();
void unwindall();
void initdepths();   // sdep = -1, every word uncommitted, then depth 0
int search();
// On the filler thread after a fill: publishes its outcome to the window (feasible sets, the
// current light's candidates, the heat map) and unwinds the search state.
void searchdone();
void notestart(long long ms);  // time of the last progress display
