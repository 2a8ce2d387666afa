// The endings every command of the engine shares, and Undo and Redo as commands.
#include "grid/road.h"

#include "core/undo.h"
#include "filler/filler.h"
#include "grid/geometry.h"
#include "grid/select.h"
#include "grid/zyn.h"

namespace {

// What beginedit saw: whether the selection layer showed anything, and the light numbers.
bool begun;
bool selshown;
unsigned long long numbers;

bool selshows() { return nsel > 0 || nfreelights > 0; }

unsigned long long numbersum() {
  unsigned long long h = 0;
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++) h = h * 1000003 + (unsigned)(sqarray[x][y].number + 1);
  return h;
}

enum { PUSH = 1, ALPHA = 2, FILL = 4, SETTLE = 8 };

editreport finish(editreport& r, int steps, std::shared_ptr<const alphastate> before = nullptr) {
  if (steps & SETTLE) settleedit();
  else countsel();
  if (steps & ALPHA) undo_pushalpha(std::move(before));
  else if (steps & PUSH) undo_push();
  // Its rebuild renumbers the lights.
  if (steps & FILL) runfiller(FM_ASSIST);
  if (steps & (PUSH | ALPHA)) r.doc = 1;
  if (steps & SETTLE) {
    if (!begun || numbersum() != numbers) r.marks = 1;
    // The selection layer also shows the free lights; when it shows nothing before and after,
    // it has nothing to redraw.
    if (begun && !selshown && !selshows()) r.sel = 0;
  }
  begun = false;
  reportdone(r);
  return r;
}

}  // namespace

void beginedit() {
  filler_stop();
  begun = true;
  selshown = selshows();
  numbers = numbersum();
}

editreport endedit(editreport& r) { return finish(r, SETTLE | PUSH | FILL); }

editreport endalphaedit(editreport& r, std::shared_ptr<const alphastate> before) {
  return finish(r, SETTLE | ALPHA | FILL, std::move(before));
}

editreport endreplace(editreport& r) { return finish(r, SETTLE | FILL); }

editreport endmove(editreport& r) {
  fixcursor();
  return finish(r, FILL);
}

editreport endtext(editreport& r) {
  countsel();
  undo_push();
  r.doc = 1;
  begun = false;
  reportdone(r);
  return r;
}

editreport endselect(editreport& r) { return finish(r, 0); }

editreport endnothing() {
  runfiller(FM_ASSIST);
  begun = false;
  return {};
}

editreport undostep(int redo) {
  editreport r;
  if (!(redo ? undo_canredo() : undo_canundo())) return r;
  beginedit();
  if (redo ? undo_forward() : undo_back()) return endnothing();
  const undochange& c = undo_change();
  r.shape = c.shape;
  r.all = c.shape || c.all;
  r.marks = r.all || c.structure;
  r.sel = r.all || c.sel;
  if (!r.all)
    for (auto [x, y] : c.squares) {
      // Its neighbours too, and every square of their merged cells, as an edit of it reports them.
      reportaround(r, x, y);
      for (int e = 0; e < 2 * ndir(); e++) {
        int nx = x, ny = y;
        stepnext(nx, ny, e);
        if (sqexists(nx, ny)) reportcell(r, nx, ny);
      }
    }
  finish(r, SETTLE | FILL);
  r.doc = 1;
  return r;
}

int undo_undo() { return undostep(0).done ? 0 : 1; }
int undo_redo() { return undostep(1).done ? 0 : 1; }
