// The selection (cells, lights or free lights) and the engine's after-edit routine.
#pragma once

// Selection modes.
constexpr int SEL_CELLS = 0, SEL_LIGHTS = 1, SEL_FREE = 2;

extern int selmode;  // SEL_*
extern int nsel;     // selected items in the current mode

// Recount nsel for the current mode and tell the window (its Select menu and selection layer).
void countsel();
// Clear the cell bits, light bits and free-light flags, then countsel.
void clearsel();

// Put the cursor on an existing square of the grid, with a direction the grid has (or a free
// light that exists); 1 when it had to be moved.
int fixcursor();

// What every edit ends with: drop the selection bits of lights that no longer exist, recount
// the selection, put the cursor back on the grid, renumber, let the window redraw the cursor,
// selection and marks, and restart the background fill.
void afteredit();
