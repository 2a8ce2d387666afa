// The pointer on the grid: what a button press, a release or a motion does, given the square
// and the edge mask that the window's hit test found under the pointer.
#pragma once

#include "grid/edit.h"

// Button events. A double or triple click also delivers a press for each click; its own extra
// event (PE_DOUBLE, PE_TRIPLE) does nothing, so that each click acts once.
constexpr int PE_PRESS = 0, PE_DOUBLE = 1, PE_TRIPLE = 2, PE_RELEASE = 3;
// Buttons held during a motion (the toolkit's state-mask bits).
constexpr unsigned KM_BUTTON1 = 0x100, KM_BUTTON3 = 0x400;

// A button event on square (x, y) (possibly outside the grid) with edge mask edges (bit k: the
// pointer is near edge k). Button 1 on a corner toggles a block and on an edge toggles a bar,
// each when its preference is on; otherwise it moves the cursor there, or changes direction on
// the cursor square. Shift with button 1 or 3 starts a cell or light drag selection.
editreport pointerbutton(int x, int y, unsigned edges, int button, unsigned mods, int kind);
// A motion to square (x, y): continues a shift-drag selection, or ends one without Shift.
editreport pointermotion(int x, int y, unsigned mods);
