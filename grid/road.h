// The road every command of the engine takes: beginedit() before it changes anything, then one
// ending, which does the after-edit steps (select.h), pushes the undo step, starts assistance
// once and returns the one report the window applies (showedit).
#pragma once

#include <memory>

#include "grid/edit.h"

struct alphastate;

// Stop the filler, which reads the document, and note what the screen shows of the selection
// and the light numbers, so that the ending can tell whether they changed.
void beginedit();

// An edit of the document: the after-edit steps, one undo step, assistance started again.
editreport endedit(editreport& r);
// The same for a change of alphabet, whose undo step keeps the alphabet it replaced.
editreport endalphaedit(editreport& r, std::shared_ptr<const alphastate> before);
// The document was put back or replaced whole (Undo, Redo, New, Open, start-up), or the word
// lists changed without an undo step: the after-edit steps and assistance, no undo step.
editreport endreplace(editreport& r);
// Only the cursor or the assistance mode changed: the cursor is put back on the grid and
// assistance, which follows the cursor's light, starts again; no undo step.
editreport endmove(editreport& r);
// An edit of what the filler never reads (the clues): one undo step; the fill goes on.
editreport endtext(editreport& r);
// Only the selection changed: it is recounted; no fill starts and no undo step is pushed.
editreport endselect(editreport& r);
// A command that stopped the filler but changed nothing (a cancelled dialog, no pattern found):
// assistance starts again; the report says nothing changed.
editreport endnothing();

// Undo (redo 0) and Redo (1) as commands: one step of the undo ring, reported as the squares it
// changed (every square, or a change of shape, when the step changed more). done is 0 when there
// was no step to take.
editreport undostep(int redo);
