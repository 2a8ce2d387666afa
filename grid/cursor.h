// The cursor and the keyboard: arrow moves with the grid's edge joins, direction and layer
// changes, typing characters into cells, and the editing keys. The window turns each key event
// into one call of keypress() and redraws what the report names, then the cursor.
#pragma once

#include "grid/edit.h"

// Modifier bits of a key or pointer event (the values of the window toolkit's state mask).
constexpr unsigned KM_SHIFT = 1, KM_CONTROL = 4, KM_ALT = 8;

// Keys that are not characters.
enum zynkey {
  ZK_NONE,  // a character key: its code point is given instead
  ZK_LEFT,
  ZK_RIGHT,
  ZK_UP,
  ZK_DOWN,
  ZK_HOME,
  ZK_END,
  ZK_PAGEUP,
  ZK_PAGEDOWN,
  ZK_TAB,
  ZK_LEFTTAB,  // Shift+Tab
  ZK_BACKSPACE,
};

// Move the cursor one column (dx) or row (dy) with the grid's edge joins; refused (0) when the
// square reached does not exist. A cursor on a free light returns to direction 0.
int movecursor(int dx, int dy);

// Next and previous direction: through the layers of a multiplexed light, then the grid
// directions and the free lights through the cursor cell.
void nextdir();
void prevdir();

// Enter Unicode character ch at the cursor. 1 when taken: the cell is set (or, in a cell of
// several positions, the cell contents dialog was opened) and the cursor moved on; 0 when ch is
// not a character of the alphabet, is a pattern character, or the cursor is not on a clear cell.
int typechar(int ch, editreport& r);

// One key: ch its Unicode value (0 for none), key for the keys that are not characters, mods
// the modifier bits. A key with Control or Alt held is left to the menus. done is 0 when the
// key was not used.
editreport keypress(int ch, int key, unsigned mods);
