// The undo ring. Each snapshot stores only what is in use (the width x height squares without
// their derived data and with only the characters they hold, the free lights there are, the
// messages' actual text), so the ring's memory follows the grid.
#include "core/undo.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "alphabet/alphabet.h"
#include "core/common.h"
#include "dicts/dicts.h"
#include "grid/clues.h"
#include "grid/symm.h"
#include "grid/zyn.h"
#include "treatment/treatment.h"

namespace {
// What a snapshot keeps of a square: everything but the characters and the derived data.
struct sqsnap {
  unsigned int bars, merge;
  unsigned char sqflags, lightsel;
  unsigned char nchars[MAXNDIR];
  cellprops cellrec;
  lightprops lightrec[MAXNDIR];
};

struct snapshot {
  int gtype, width, height, rotsym, mirsym, dupsym;
  std::vector<sqsnap> squares;  // column by column
  std::vector<ABM> chars;       // the squares' characters, slot by slot, in the same order
  cellprops defcell;
  lightprops deflight;
  std::vector<freelight> fl;
  int treattype, mustbeword, allocmode[2];
  std::string pluginpath, msg[2];
  ABM msgconstr[2][MXMSGSLOTS];
  cluestore clues;  // shared with the document until a clue changes
  // Set only for a step that changed the alphabet: the alphabets before and after it.
  std::shared_ptr<const alphastate> alphabefore, alphaafter;
};

std::unique_ptr<snapshot> ring[UNDOSLOTS];
// undohead: the slot the next push fills (the current state is in undohead-1); undotail: the
// oldest valid slot; undohwm: one past the newest slot Redo may reach; undocount: the snapshots
// from undotail to undohead-1, which tells a full ring from an empty one.
int undohead, undotail, undohwm, undocount;

int prevslot(int i) { return (i + UNDOSLOTS - 1) % UNDOSLOTS; }

void take(snapshot& s) {
  s.gtype = gtype, s.width = width, s.height = height;
  s.rotsym = rotsym, s.mirsym = mirsym, s.dupsym = dupsym;
  s.squares.resize((size_t)width * height);
  s.chars.clear();
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++) {
      const square& q = sqarray[x][y];
      sqsnap& t = s.squares[(size_t)x * height + y];
      t.bars = q.bars, t.merge = q.merge, t.sqflags = q.sqflags, t.lightsel = q.lightsel;
      t.cellrec = q.cellrec;
      for (int d = 0; d < MAXNDIR; d++) {
        t.nchars[d] = (unsigned char)q.nchars[d];
        t.lightrec[d] = q.lightrec[d];
        s.chars.insert(s.chars.end(), q.charsets[d], q.charsets[d] + q.nchars[d]);
      }
    }
  s.defcell = defcell;
  s.deflight = deflight;
  s.fl.assign(freelights, freelights + nfreelights);
  s.treattype = treattype, s.mustbeword = mustbeword;
  s.allocmode[0] = allocmode[0], s.allocmode[1] = allocmode[1];
  s.pluginpath = pluginpath;
  for (int i = 0; i < 2; i++) s.msg[i] = treatmsg[i];
  memcpy(s.msgconstr, msgconstr, sizeof msgconstr);
  s.clues = cluesget();
  s.alphabefore.reset();
  s.alphaafter.reset();
}

undochange change;

bool samecell(const cellprops& a, const cellprops& b) {
  if (a.bgcolour != b.bgcolour || a.fgcolour != b.fgcolour || a.markcolour != b.markcolour ||
      a.treatcell != b.treatcell || a.cellown != b.cellown || a.fontstyle != b.fontstyle || a.unlinked != b.unlinked)
    return false;
  for (int k = 0; k < NMARKS; k++)
    if (strcmp(a.marktexts[k], b.marktexts[k])) return false;
  return true;
}

bool samelight(const lightprops& a, const lightprops& b) {
  return a.dmask == b.dmask && a.emask == b.emask && a.ten == b.ten && a.lightown == b.lightown &&
         a.nonumber == b.nonumber && a.layered == b.layered;
}

bool samefreelights(const std::vector<freelight>& fl) {
  if ((int)fl.size() != nfreelights) return false;
  for (int i = 0; i < nfreelights; i++) {
    const freelight &a = fl[i], &b = freelights[i];
    if (a.n != b.n || a.sel != b.sel || !samelight(a.lp, b.lp) || !std::equal(a.x, a.x + a.n, b.x) ||
        !std::equal(a.y, a.y + a.n, b.y))
      return false;
  }
  return true;
}

// Note in `change` how square (x, y), still as it is, differs from its snapshot t, whose
// characters start at c.
void comparesquare(int x, int y, const sqsnap& t, const ABM* c) {
  const square& q = sqarray[x][y];
  bool shape = q.bars != t.bars || q.merge != t.merge || (q.sqflags & ~SQF_SEL) != (t.sqflags & ~SQF_SEL) ||
               !samecell(q.cellrec, t.cellrec);
  bool sel = (q.sqflags & SQF_SEL) != (t.sqflags & SQF_SEL) || q.lightsel != t.lightsel;
  bool chars = false;
  for (int d = 0; d < MAXNDIR; d++) {
    shape = shape || !samelight(q.lightrec[d], t.lightrec[d]);
    if (q.nchars[d] != t.nchars[d]) chars = true;
    else if (!chars) chars = !std::equal(c, c + t.nchars[d], q.charsets[d]);
    c += t.nchars[d];
  }
  if (!shape && !sel && !chars) return;
  change.squares.push_back({x, y});
  change.structure |= shape;
  change.sel |= sel;
}

// Bring back a snapshot; alpha, when set, is the alphabet that goes with it.
void restore(const snapshot& s, const alphastate* alpha) {
  bool plugin = treattype != s.treattype || s.pluginpath != pluginpath;
  change = {};
  change.shape = gtype != s.gtype || width != s.width || height != s.height;
  change.all = alpha || !samecell(defcell, s.defcell) || !samelight(deflight, s.deflight) || !samefreelights(s.fl);
  if (!change.shape && !change.all) {
    const ABM* c = s.chars.data();
    for (int x = 0; x < width; x++)
      for (int y = 0; y < height; y++) {
        const sqsnap& t = s.squares[(size_t)x * height + y];
        comparesquare(x, y, t, c);
        for (int d = 0; d < MAXNDIR; d++) c += t.nchars[d];
      }
  }
  gtype = s.gtype;
  setgridsize(s.width, s.height);
  rotsym = s.rotsym, mirsym = s.mirsym, dupsym = s.dupsym;
  const ABM* c = s.chars.data();
  for (int x = 0; x < sqext; x++)
    for (int y = 0; y < sqext; y++) {
      square& q = sqarray[x][y];
      initsquare(&q);
      if (x >= width || y >= height) continue;
      const sqsnap& t = s.squares[(size_t)x * height + y];
      q.bars = t.bars, q.merge = t.merge, q.sqflags = t.sqflags, q.lightsel = t.lightsel;
      q.cellrec = t.cellrec;
      for (int d = 0; d < MAXNDIR; d++) {
        q.nchars[d] = t.nchars[d];
        q.lightrec[d] = t.lightrec[d];
        for (int k = 0; k < t.nchars[d]; k++) q.charsets[d][k] = *c++;
      }
    }
  defcell = s.defcell;
  deflight = s.deflight;
  for (int i = 0; i < MXFL; i++) {
    if (i < (int)s.fl.size()) freelights[i] = s.fl[i], freelights[i].w = -1;
    else initfreelight(&freelights[i]);
  }
  nfreelights = (int)s.fl.size();
  treattype = s.treattype, mustbeword = s.mustbeword;
  allocmode[0] = s.allocmode[0], allocmode[1] = s.allocmode[1];
  strlcpy0(pluginpath, s.pluginpath.c_str(), SLEN);
  for (int i = 0; i < 2; i++) strlcpy0(treatmsg[i], s.msg[i].c_str(), MXMSGLEN + 1);
  memcpy(msgconstr, s.msgconstr, sizeof msgconstr);
  cluesset(s.clues);
  if (alpha) {
    // The answers are held in the alphabet's codes.
    alpharestore(*alpha);
    dictsload(0);
  }
  if (plugin || alpha) syncplugin();
  symmreduce();
  // The type or size may have changed: the cursor leaves a free light.
  if (cursordir >= ndir()) cursordir = 0;
  unsaved = 1;
}

// Take a snapshot into the next slot and return it.
snapshot& push() {
  if (!ring[undohead]) ring[undohead] = std::make_unique<snapshot>();
  snapshot& s = *ring[undohead];
  take(s);
  unsaved = 1;
  undohead = (undohead + 1) % UNDOSLOTS;
  undohwm = undohead;
  if (undocount == UNDOSLOTS) undotail = (undotail + 1) % UNDOSLOTS;
  else undocount++;
  if (deb(DEB_DOC)) pstdout("undo_push: head=%d tail=%d hwm=%d\n", undohead, undotail, undohwm);
  return s;
}
}  // namespace

void undo_push() { push(); }

void undo_pushalpha(std::shared_ptr<const alphastate> before) {
  snapshot& s = push();
  s.alphabefore = std::move(before);
  s.alphaafter = alphasave();
}

void undo_start() {
  for (auto& s : ring) s.reset();
  undohead = undotail = undohwm = undocount = 0;
  undo_push();
  unsaved = 0;
}

int undo_canundo() { return undocount > 1; }
int undo_canredo() { return undohead != undohwm; }
int undo_steps() { return undocount > 0 ? undocount - 1 : 0; }

const undochange& undo_change() { return change; }

int undo_back() {
  if (!undo_canundo()) return 1;
  undohead = prevslot(undohead);
  undocount--;
  restore(*ring[prevslot(undohead)], ring[undohead]->alphabefore.get());
  return 0;
}

int undo_forward() {
  if (!undo_canredo()) return 1;
  restore(*ring[undohead], ring[undohead]->alphaafter.get());
  undohead = (undohead + 1) % UNDOSLOTS;
  undocount++;
  return 0;
}

size_t undo_bytes() {
  size_t n = 0;
  for (const auto& s : ring)
    if (s)
      n += sizeof(snapshot) + s->squares.capacity() * sizeof(sqsnap) + s->chars.capacity() * sizeof(ABM) +
           s->fl.capacity() * sizeof(freelight) +
           s->pluginpath.capacity() + s->msg[0].capacity() + s->msg[1].capacity();
  return n;
}
