// The selection (cells, lights or free lights) and the engine's after-edit routine.
#pragma once

#include "grid/edit.h"

// Selection modes.
constexpr int SEL_CELLS = 0, SEL_LIGHTS = 1, SEL_FREE = 2;

extern int selmode;  // SEL_*
extern int nsel;     // selected items in the current mode

// Recount nsel for the current mode.
void countsel();
// Clear the cell bits, light bits and free-light flags, then countsel.
void clearsel();

// Put the cursor on an existing square of the grid, with a direction the grid has (or a free
// light that exists); 1 when it had to be moved.
int fixcursor();

// The after-edit steps, in order: drop the selection bits of lights that no longer exist,
// recount the selection and put the cursor back on the grid (settleedit); then restart the
// background fill, whose rebuild renumbers the lights (afteredit). The endings of grid/road.h
// run them once for every command.
void settleedit();
void afteredit();

// Set or clear the cell selection of every square of the merged cell of (x, y) (the square
// alone when it is not clear).
void selcellgroup(int x, int y, int on);
// 1 when free light k passes through the cell of square (x, y).
int onfreelight(int k, int x, int y);
// Convert the selection to cell mode (the cells of the selected lights; from free light mode
// the cells of every free light) or to light mode (every light through a selected cell).
void seltoc();
void seltol();
// Light mode: select exactly the lights whose checking flags (CHK_*) have a bit of m.
editreport selviol(int m);

// The Select menu. Each enters the mode it works in (starting that mode from an empty
// selection) and ends with endselect: its report says the selection changed.
editreport selcurcell();         // toggle the cursor cell
editreport selcurlight();        // toggle the cursor's light or free light
editreport selswitchmode();      // cells <> lights
editreport selfreelight();       // select the next free light (an error box when there are none)
editreport selall();
editreport selinvert();
editreport selnothing();
editreport selcellsown();        // cells overriding the default properties
editreport selcellstreat();      // cells flagged for answer treatment
editreport selcellsunchecked();  // cells in one light only (after the last rebuild)
editreport sellightsdir();       // all lights in the cursor direction, or none when the cursor's light is selected
editreport sellightsown();       // lights overriding the default properties
editreport sellightsten();       // lights with answer treatment enabled

// Shift-drag selection, one cell or light at a time: a drag selects or deselects according to
// the first cell or light it meets. dragsel is -1 when no drag is under way.
extern int dragsel;
editreport dragcell(int x, int y);
editreport draglight(int x, int y);  // the light through (x, y) in the cursor direction

// Offer to reset the constraints of the treatment messages placed at the filler's discretion;
// 1 when they were reset.
int resetconstraints();

// Clear the contents of every cell, or of the selected cells (a light selection is first
// turned into cells); then offer to reset the treatment constraints. One undo step.
editreport clearallcells();
editreport clearselcells();
