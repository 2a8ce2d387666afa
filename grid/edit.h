// Editing operations: structural edits at the cursor (or a clicked square), repeated at every
// image under the document's symmetry, and the whole-grid rearrangements. Each one that acts
// ends with afteredit() and one undo step, and tells the window what to redraw.
#pragma once

#include <vector>

struct sqpos {
  int x, y;
  bool operator==(const sqpos&) const = default;
  auto operator<=>(const sqpos&) const = default;
};

// What an edit changed. A command that does not apply (a refused precondition) returns a
// report with done 0: nothing changed and no undo step was pushed.
struct editreport {
  int done = 0;   // the command acted (for a key: the key was used)
  int all = 0;    // any square may have changed: redraw the whole grid
  int shape = 0;  // the grid's type, size or arrangement changed: resynchronise the window
  int doc = 0;    // the document changed (an undo step was pushed or taken)
  int marks = 0;  // the light numbers or the cells' marks may have changed: redraw them
  int sel = 0;    // the selection or its mode may have changed: its layer and the Select menu
  std::vector<sqpos> squares;  // when not all: the squares whose drawing changed, sorted, each once
};

// Add square (x, y) to a report, and finish one: sort the squares and drop repeats.
void reportsq(editreport& r, int x, int y);
void reportcell(editreport& r, int x, int y);  // every square of the merged cell of (x, y)
void reportdone(editreport& r);
// A square's cell and the squares across its edges, whose outlines and bars it shares.
void reportaround(editreport& r, int x, int y);

// At the cursor, with symmetry. Block, empty and cutout then move the cursor one cell on
// (not on a free light). Bar and merge are refused on a free light, and where the cursor's own
// edge has no square beyond it (for a merge: no clear square on each side).
editreport editblock();
editreport editempty();
editreport editcutout();
editreport editbarbefore();  // toggle the bar before the cursor square in the cursor direction
editreport editmerge();      // toggle the merge with the next square in the cursor direction

// At a clicked square, with symmetry: a block becomes empty (its contents cleared), anything
// else a block; and the bar on edge e (0 to 2*ndir()-1) toggled. A bar on an edge with no
// square beyond it is refused.
editreport toggleblock(int x, int y);
editreport togglebar(int x, int y, int e);

// Whole-grid operations; each reports all and shape. Flip is refused on circular grids,
// rotation on all others; inserting needs fewer than 63 rows (columns), deleting at least two.
editreport flipdiag();
editreport rotategrid(int clockwise);
editreport insertrow(int below);  // above (0) or below (1) the cursor row; the outer side on circles
editreport insertcol(int right);  // left (0) or right (1) of the cursor column
editreport deleterow();
editreport deletecol();
