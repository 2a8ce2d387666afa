// Undo and redo: a ring of up to 50 snapshots of the editable document, each taken after the
// change that made it. A snapshot holds the grid type and size, the symmetry, the squares in
// use, the default properties, the free lights, the treatment settings and the clues; never
// the title, author, dictionaries, selection or cursor. A step that changed the alphabet also keeps the
// alphabets before and after it.
#pragma once

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

struct alphastate;

// Store the current state as the newest snapshot, dropping any Redo steps and, when the ring is
// full, the oldest snapshot. Marks the document unsaved.
void undo_push();
// The same for a change of alphabet: `before` is the alphabet the step replaced, the current one
// the alphabet it made. Undoing the step brings back the previous alphabet with the grid,
// redoing it the new one; either reloads the dictionaries.
void undo_pushalpha(std::shared_ptr<const alphastate> before);
// Start a fresh history whose only snapshot is the current state, and clear unsaved (a new or
// loaded document; Undo never steps back into the previous document).
void undo_start();

int undo_canundo();  // 1 when an older snapshot is there to go back to
int undo_canredo();
int undo_steps();    // Undo steps available now
// Restore the previous (next) snapshot, with the filler stopped: reduce the symmetry to what the
// grid allows, take the cursor off a free light and mark the document unsaved. A step that
// changes the treatment's plug-in loads or unloads it. Return 0 when done, 1 when there was
// nothing to undo (redo).
int undo_back();
int undo_forward();
// What the last step of undo_back or undo_forward changed.
struct undochange {
  int shape;  // the grid's type or size
  int all;    // what every square may show: the default properties, the free lights, the alphabet
  // When neither: the squares whose own record differed, column by column, and whether some of
  // them changed more than their characters (blocks, bars, merges, properties) or their selection.
  std::vector<std::pair<int, int>> squares;
  int structure, sel;
};
const undochange& undo_change();
// Undo and Redo as the engine's commands (grid/road.cpp): the step above, the after-edit
// routine and assistance. Return 0 when done, 1 when there was nothing to undo (redo).
int undo_undo();
int undo_redo();

size_t undo_bytes();  // memory held by the snapshots
