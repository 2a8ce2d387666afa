// Where a fill failed: the lights left without candidates, found by propagation from the
// start, and the sentence that names them.
#include "filler/failure.h"

#include <algorithm>

#include "filler/filler.h"
#include "filler/search.h"
#include "grid/zyn.h"

fillfailure lastfailure;

namespace {

constexpr int MAXDIRECT = 50;  // lights found without a candidate that fits their own cells
constexpr int MAXLOOKS = 8;    // propagations from the start, each finding at most one light
constexpr int NAMED = 3;       // lights a sentence names

// Propagation at the current depth to a fixed point, as the search does before it branches:
// 0 done, -2 a list became empty (deadword), -1 out of memory, -3 stopped.
int propagatehere() {
  if (settlewds() == -3) return -3;
  for (;;) {
    int r = filterwords();
    if (r <= 0) return r;
    int s = settlewds();
    if (s == -3) return -3;
    if (s == 0) return 0;
  }
}

// The lights whose lists have no candidate that fits their own cells, in word order, at most
// MAXDIRECT (more is set when there may be others): the lists are filtered without narrowing
// any cell, each empty one left out in turn.
int directfailures(std::vector<int>& found, bool& more) {
  for (int i = 0; i < ne; i++) entries[i].upd = 1;
  pushstate();
  int r;
  while ((r = filterwords()) == -2 && (int)found.size() < MAXDIRECT) {
    found.push_back(deadword);
    words[deadword].fe = 1;
  }
  more = r == -2;
  popstate();
  sdep--;
  return r;
}

// Propagate from the start with the given words left out.
int lookwithout(const std::vector<int>& out) {
  for (int w : out) words[w].fe = 1;
  for (int i = 0; i < ne; i++) entries[i].upd = 1;
  for (int i = 0; i < nw; i++) words[i].upd = 1;
  pushstate();
  int r = propagatehere();
  popstate();
  sdep--;
  return r;
}

}  // namespace

void findfailure() {
  lastfailure = fillfailure();
  // Words are left out by taking them as complete before the fill (fe): such a word neither
  // ends a fill with its empty list nor narrows its entries.
  std::vector<int> fe(nw);
  for (int i = 0; i < nw; i++) fe[i] = words[i].fe;
  std::vector<int> found;
  bool more = false;
  int r = directfailures(found, more);
  if (found.empty() && r >= 0) {
    // Each light is fine alone: propagation through the crossings empties some.
    while ((int)found.size() < MAXLOOKS && (r = lookwithout(found)) == -2) found.push_back(deadword);
    more = r == -2;
  }
  for (int i = 0; i < nw; i++) words[i].fe = fe[i];
  if (r == -1 || r == -3) return;
  if (!found.empty()) {
    lastfailure.kind = FAIL_EMPTY;
    lastfailure.words = found;
    lastfailure.more = more;
    return;
  }
  // Every light keeps candidates at the start: name those the search most often emptied.
  std::vector<int> order;
  for (int i = 0; i < nw && i < (int)deadends.size(); i++)
    if (deadends[i] > 0) order.push_back(i);
  std::stable_sort(order.begin(), order.end(), [](int a, int b) { return deadends[a] > deadends[b]; });
  if (order.size() > (size_t)NAMED) order.resize(NAMED);
  if (order.empty()) return;
  lastfailure.kind = FAIL_SEARCH;
  lastfailure.words = order;
}

std::string failuretext(const fillfailure& f, std::string (*name)(int w)) {
  if (f.kind == FAIL_NONE || f.words.empty()) return "";
  int n = (int)f.words.size(), shown = std::min(n, NAMED);
  std::string s;
  for (int i = 0; i < shown; i++) {
    if (i) s += i == shown - 1 && n == shown && !f.more ? " and " : ", ";
    s += name(f.words[i]);
  }
  if (n > shown) s += " and " + std::string(f.more ? "at least " : "") + std::to_string(n - shown) + " more";
  else if (f.more) s += " and more";
  return f.kind == FAIL_EMPTY ? "Nothing fits " + s : "The search ran out of candidates most often in " + s;
}
