// The cursor and the keyboard: arrow moves with the grid's edge joins, direction and layer
// changes, typing characters into cells, and the editing keys. The window turns each key event
// into one call of keypress() and redraws what the report names, then the cursor.
#pragma once

#include <vector>

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

// The squares of the cursor's light, every square of each of its cells, sorted and each once:
// the light through the cursor in its direction (across a joined edge as the light runs), or
// the clear squares of the free light it is on; empty when the cursor is in no light.
std::vector<sqpos> cursorlight();

// The cursor's place on the free light it is on: the index along the path of the cell it
// reached by typing when that still holds the cursor, else of the first cell that does; -1 when
// the cursor is not on a free light. A free light may pass through a cell more than once.
int cursorflpos();
// The clear cells of free light k before and after index i along its path: their indices, -1
// when there is none.
int flprevcell(int k, int i);
int flnextcell(int k, int i);

// Enter Unicode character ch at the cursor. 1 when taken: the cell is set (or, in a cell of
// several positions, the cell contents dialog was opened) and the cursor moved on; 0 when ch is
// not a character of the alphabet, is a pattern character, or the cursor is not on a clear cell.
// On a free light the cursor moves on to the next clear cell of its path.
int typechar(int ch, editreport& r);

// One key: ch its Unicode value (0 for none), key for the keys that are not characters, mods
// the modifier bits. A key with Control or Alt held is left to the menus. done is 0 when the
// key was not used.
editreport keypress(int ch, int key, unsigned mods);
