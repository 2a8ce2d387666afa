// Changing the document's alphabet. Cells and treatment constraints hold codes of the
// alphabet, so a change rewrites them to keep each character: a character that moved to
// another row keeps its place in the grid. A character the new alphabet has only as an
// equivalent of another entry becomes that entry, and one it lacks altogether is removed;
// before either happens the user is asked, with the number of cells it would change.
#pragma once

#include "alphabet/alphaedit.h"
#include "grid/edit.h"

// Apply the table (in text form) as the alphabet: build it (refused entries and equivalents are
// reported), ask through confirm when cells would change (no confirm: do not change them),
// rewrite the cells and constraints, reload the dictionaries, load or unload the plug-in,
// and end with endalphaedit, whose report goes to *r when given. Returns 0 when applied, 1 when
// the user declined (the previous alphabet is back, nothing changed, the filler still stopped).
int applyalphabet(const alphatable& t, int (*confirm)(const char* question), editreport* r = nullptr);

// The question asked before n cells change.
std::string alphachangequestion(int n);
