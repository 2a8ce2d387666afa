// Free lights: the commands that start, extend, shorten and delete them, and the path text
// of the path dialog. Each command that changes something ends with the after-edit routine
// and an undo snapshot; errors are shown with errbox.
#pragma once

#include "grid/edit.h"

// The free light selected when exactly one is (free light selection mode), else -1.
int flselected();

// Each returns 0 when done, with the edit's report in *r when given, and 1 when nothing changed
// (an error shown, or the command does not apply in the present selection).
int flstartnew(editreport* r = nullptr);  // a new free light of the cursor square alone, the only one selected
int flextend(editreport* r = nullptr);    // the cursor square appended to the selected free light
int flshorten(editreport* r = nullptr);   // its last cell removed; a free light of one cell is deleted
int fldelete(editreport* r = nullptr);    // every selected free light deleted

// The pairs of a path text, at most MXCL, into fx and fy: their number, or -1 after the error
// was shown. Coordinates are clamped to the square array.
int flparsepath(const char* text, int* fx, int* fy);
// The path dialog's Apply for free light n: 0 when applied (an empty text keeps the path),
// 1 after an error, when the dialog shows the text again.
int flsetpath(int n, const char* text, editreport* r = nullptr);

// Drop the free lights left without cells, keeping the order of the others; a cursor on a
// free light follows it to its new index, or goes back to direction 0 when it was dropped.
void compactfreelights();
