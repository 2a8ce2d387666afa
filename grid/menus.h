// Which menu items the document and the selection allow, and the radio settings that are not
// symmetry. The window applies the answers to its widgets; it decides nothing itself.
#pragma once

#include <vector>

#include "grid/edit.h"

// Action values of the menu items whose sensitivity the engine decides.
constexpr int ACT_CLEARSEL = 0xF100;                                      // Clear selected cells
constexpr int ACT_FLEXTEND = 0xF201, ACT_FLSHORTEN = 0xF202, ACT_FLMODIFY = 0xF203,
              ACT_FLDELETE = 0xF204;                                      // Free light submenu
constexpr int ACT_SELCELLPROPS = 0xF300, ACT_SELLIGHTPROPS = 0xF301;      // Selected properties
constexpr int ACT_ROTSYM = 0x100, ACT_MIRSYM = 0x200, ACT_DUPSYM = 0x300;  // plus the value
constexpr int ACT_FLIP = 0xF000, ACT_ROTCW = 0xF001, ACT_ROTACW = 0xF002;
// Exports that need a square layout.
constexpr int ACT_SQUAREEXPORTS[] = {0x404, 0x414, 0x433, 0x443, 0x451, 0x452, 0x453};

struct itemstate {
  int action;
  int sensitive;
};

// The items that follow the selection mode and count.
std::vector<itemstate> selitems();
// The items that follow the grid's type and size: the symmetry orders, mirrors and duplications,
// flip and rotation, and the square-only exports.
std::vector<itemstate> shapeitems();

// Interactive assistance: 0 off, 1 the light at the cursor, 2 the whole grid; restarts the
// background fill, with the report in *r when given. 1 for a value out of range (nothing changes).
int setassistmode(int m, editreport* r = nullptr);
