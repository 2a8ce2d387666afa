// Accepting the hints of a fill: the characters the last fill settled are written into the
// cells, and under a discretionary allocation into the message constraints.
#pragma once

#include "grid/edit.h"

// Write every one-code hint into its cell (every square of a merged cell receives it) and
// narrow the message constraints of a discretionary allocation to the fill's message slots.
// Ends with endedit, whose report goes to *r when given. Returns 1 when a constraint changed
// (the window then says so), else 0.
int accepthints(editreport* r = nullptr);
