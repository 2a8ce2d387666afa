// Which menu items the grid and the selection allow: pure functions of the document and the
// selection, so that they can be checked without a display. The window applies them.
#pragma once

#include <vector>

struct menustate {
  int cmd, action;  // the item, as in the menu table
  bool on;          // sensitive
};

// The symmetry items the grid's type and size allow, the flip and rotations its shape allows, and
// the exports that need a square layout.
std::vector<menustate> shaperules();
// The items that act on the selection.
std::vector<menustate> selrules();
