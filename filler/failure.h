// Where a fill failed. After a fill that found none, the filler thread looks for the lights
// that have no candidate left: first those with no candidate that fits their own cells; when
// there are none, propagation from the start, again and again, each time with the lights
// already found left out, until it succeeds. When every light keeps candidates, the fill failed
// deeper in the search, and the lights named are those in which it most often ran out.
#pragma once

#include <string>
#include <vector>

enum failkind {
  FAIL_NONE,    // the last fill did not fail, or it was stopped
  FAIL_EMPTY,   // nothing fits the lights in `words`: their own cells, or the crossings
  FAIL_SEARCH,  // every light has candidates, but the search ran out of them, most often in `words`
};

struct fillfailure {
  int kind = FAIL_NONE;
  std::vector<int> words;  // word indices: in the order found, or by dead ends met there
  bool more = false;       // FAIL_EMPTY: the look stopped before it found every such light
};
// Of the last fill: cleared by filler_start, written on the filler thread before the fill
// publishes its outcome (so the window's hooks and anyone after filler_wait may read it).
extern fillfailure lastfailure;

// On the filler thread, after a search that found no fill (at depth -1, every list and set as
// the fill started).
void findfailure();

// The sentence that names the lights, at most three of them by `name` and then "and n more":
// "Nothing fits 3 Across, 5 Down and 2 more" or "The search ran out of candidates most often in
// 3 Across and 7 Down"; empty for FAIL_NONE.
std::string failuretext(const fillfailure& f, std::string (*name)(int w));
