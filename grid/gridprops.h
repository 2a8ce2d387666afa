// The grid's properties as one change: title, author, copyright, grid type and size.
#pragma once

#include "grid/edit.h"

// Apply the properties dialog: a width or height outside 1 to 63 keeps the old value. Squares
// that come into the grid are fresh; squares that leave it are kept but no longer used. Free
// light cells outside the new size are dropped (and free lights left empty), the squares' bars,
// merges and light selection are cut to the new type's directions and the symmetry is reduced
// to what the new grid allows; then the after-edit routine and one undo step. Reports all and
// shape; done is 0 (nothing changed, no undo step) when every value is as it was. A null
// newcopyright keeps the copyright.
editreport setgridprops(const char* newtitle, const char* newauthor, int type, int w, int h, const char* newcopyright = nullptr);
