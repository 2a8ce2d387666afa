// The recovery search. A fill starts with the ordinary search, whose order decides which fill a
// setter sees; when that has spent its budget without finding a fill, the search goes back to
// depth 0 and runs again and again, each run stopped after a growing number of dead ends. Runs
// fill whole words, choosing first the word with the fewest candidates per open cell, weighted
// by how often the search failed in it and in the words crossing it, and try its candidates in
// an order drawn at random from the fill's seed, weighted towards those that leave the crossing
// words most candidates. A candidate that failed leaves its word's list at that depth, and the
// search propagates that and chooses again there; refuted at depth 0, it stays out for the rest
// of the fill; refuted deeper, it is kept as a nogood when the run stops, so that a later run
// that comes back to the same codes drops it at once. A run that is not stopped is a complete
// search, so a grid without a fill still ends with no fill.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

// Work (candidates examined by the filter) after which a fill that branches switches to the
// recovery search: RECOVERYPERENTRY for each entry of the grid, about a second on a 23x23
// grid and less on smaller ones, and never more than recoverybudget. Tests lower it. The work
// the ordinary search needs grows faster than the grid: below RECOVERYFULLNE entries (a 21x21
// grid) the budget per entry shrinks in proportion to the entries, down to RECOVERYMIN in all,
// so that a 15x15 grid the ordinary search cannot fill gives way after half the work.
// An ordinary search that has plainly stalled gives way sooner: once it has spent RECOVERYSTALLMIN
// of its budget, when its most settled entries so far leave more than a tenth of the eligible
// entries open and have not grown for RECOVERYSTALL of its budget. A search that fills keeps
// settling entries as it goes until it is near the end, where it may grind longer.
extern long long recoverybudget;
constexpr long long RECOVERYBUDGET = 100000000;
constexpr long long RECOVERYPERENTRY = 200000;
constexpr int RECOVERYFULLNE = 380;
constexpr long long RECOVERYMIN = 10000000;
constexpr double RECOVERYSTALL = 0.15, RECOVERYSTALLMIN = 0.2;

// The recovery search keeps at most RECOVERYNOGOODS nogoods with RECOVERYNOGOODLITS premises in
// all (about 30 MB with their index at most); a run that stops notes one for every candidate
// refuted in its branch.
constexpr size_t RECOVERYNOGOODS = 1 << 18, RECOVERYNOGOODLITS = 1 << 22;

// The counts of the last or running fill, for the logs, tests and benchmarks.
struct recoverstats {
  long long work;  // candidates examined by the filter
  int runs;        // runs of the recovery search; 0 when it never started
  int nogoods;     // nogoods it learned
};
recoverstats recover_stats();

// A word chosen at one depth, kept in that depth's record: its candidates (indices into its
// list) with their keys, sorted by decreasing key as far as they have been tried.
struct wordbranch {
  int w = -1;
  std::vector<std::pair<float, int>> cand;
  size_t sorted = 0, next = 0;
};

void recover_reset(unsigned seed);  // at the start of every fill
void recover_work(long long n);     // the filter examined n candidates
bool recover_on();                  // the recovery search is running
// Before each branch of the ordinary search: notes how many eligible entries are settled.
void recover_progress();
bool recover_due();                 // a fill that branches has spent its budget or stalled
void recover_run();                 // start a run; the search is back at depth 0
// A dead end in this run, found in word w; true when the run has reached its limit.
bool recover_fail(int w);
// Nogoods are learned when a run stops: word w spelled as its key failed under the premises, the
// codes that the decisions above it set in their entries. Wherever every premise holds again,
// the word's strings equal to the key go from its list.
// Notes a nogood with premises lits (entry * 64 + code) for word w spelled as key; none is kept
// without premises (a refutation at depth 0 stays in the lists) or beyond the store's limit.
void recover_learn(const std::vector<int>& lits, int w, const unsigned char* key);
int recover_nogoods();  // nogoods learned in this fill
// The nogoods whose premises all hold now, leaving out those for which skip is true.
void recover_holding(std::vector<int>& out, bool (*skip)(int));
int recover_nogood(int i, const unsigned char** key);  // nogood i's word, with its key in *key
// What to branch on: an entry e (returned, >= 0) with its codes in the order to try,
// zero-terminated in poss; or a word w (returned as -2-w) whose candidates recover_nextword
// gives in turn from b; -1 when every eligible entry is settled.
int recover_choose(wordbranch& b, unsigned char* poss);
// The next candidate of the word in b, skipping strings already tried there; -1 when none is
// left. The search takes the first, and chooses again after a refutation.
int recover_nextword(wordbranch& b);
