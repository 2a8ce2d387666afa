// What the cell contents and light contents dialogs read and write: the cursor cell's slots or
// the cursor light's character positions, as text in the character-set notation.
#pragma once

#include <string>

#include "grid/edit.h"
#include "grid/lights.h"

// The cursor cell's representative square; 0 after the error box when it cannot hold characters.
int contentscell(int* x, int* y);
// Rows of the cell dialog for cell (x, y): every direction slot when its lights need not agree,
// else one; and the row that takes the focus: the cursor direction's (the first on a free light).
int contentsrows(int x, int y);
int contentsfocus(int rows);
// The positions of one slot as text, "." for an unfilled position.
std::string slotcontents(int x, int y, int slot);
// The characters of text the notation cannot read; a dialog asks before storing such a text.
int contentsunread(const char* text);
// Store the rows' texts into the slots of (x, y), at most 31 positions each; an empty text
// leaves a slot with no positions. Ends with the after-edit routine and one undo step.
editreport setcellcontents(int x, int y, const std::string* texts, int rows);

// The positions of the light under the cursor, in light order, and their contents as text.
// Returns their number, or 0 after the error box when the cursor is not along a light of two
// to 250 positions.
int lightcontents(lightpos* pos, std::string* text);
// Store text into the n positions: positions beyond those the text gives become unfilled, and
// extra sets are ignored. Ends with the after-edit routine and one undo step.
editreport setlightcontents(const lightpos* pos, int n, const char* text);
