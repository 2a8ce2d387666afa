// The undo ring. Each snapshot stores only what is in use (the width x height squares without
// their derived data and with only the characters and mark text they hold, the free lights there
// are, the messages' actual text), so the ring's memory follows the grid. A snapshot shares each
// column of squares, the free lights and the treatment settings with the snapshot before it when
// they are unchanged, so a step that edits one square costs one column, not the whole grid.
#include "core/undo.h"

#include <cstring>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "alphabet/alphabet.h"
#include "core/common.h"
#include "dicts/dicts.h"
#include "filler/filler.h"
#include "grid/clues.h"
#include "grid/select.h"
#include "grid/symm.h"
#include "grid/zyn.h"
#include "treatment/treatment.h"

namespace {
// What a snapshot keeps of a square: everything but the characters, the mark texts and the
// derived data.
struct sqsnap {
  unsigned int bars, merge;
  unsigned int bgcolour, fgcolour, markcolour;
  unsigned char sqflags, lightsel, treatcell, cellown, fontstyle, unlinked;
  unsigned char nchars[MAXNDIR];
  unsigned char marklen[NMARKS];  // bytes kept of each mark text
  lightprops lightrec[MAXNDIR];
};
// take and restore copy cellprops field by field: a new field must be added to sqsnap.
static_assert(sizeof(cellprops) == 3 * sizeof(unsigned int) + 4 + NMARKS * (MXMK + 1) + 2);

// One column of squares, top to bottom, with their characters slot by slot and their mark texts
// in the same order.
struct column {
  std::vector<sqsnap> squares;
  std::vector<ABM> chars;
  std::string marks;
};

struct treatsnap {
  int treattype, mustbeword, allocmode[2];
  std::string pluginpath, msg[2];
  ABM msgconstr[2][MXMSGSLOTS];
};

struct snapshot {
  int gtype, width, height, rotsym, mirsym, dupsym;
  std::vector<std::shared_ptr<const column>> cols;
  cellprops defcell;
  lightprops deflight;
  std::shared_ptr<const std::vector<freelight>> fl;
  std::shared_ptr<const treatsnap> treat;
  cluestore clues;  // shared with the document until a clue changes
  // Set only for a step that changed the alphabet: the alphabets before and after it.
  std::shared_ptr<const alphastate> alphabefore, alphaafter;
};

// Field by field, so that padding never stops two equal records from being shared.
bool same(const lightprops& a, const lightprops& b) {
  return a.dmask == b.dmask && a.emask == b.emask && a.ten == b.ten && a.lightown == b.lightown &&
         a.nonumber == b.nonumber && a.layered == b.layered;
}

bool same(const sqsnap& a, const sqsnap& b) {
  if (a.bars != b.bars || a.merge != b.merge || a.bgcolour != b.bgcolour || a.fgcolour != b.fgcolour ||
      a.markcolour != b.markcolour || a.sqflags != b.sqflags || a.lightsel != b.lightsel ||
      a.treatcell != b.treatcell || a.cellown != b.cellown || a.fontstyle != b.fontstyle || a.unlinked != b.unlinked ||
      memcmp(a.nchars, b.nchars, sizeof a.nchars) || memcmp(a.marklen, b.marklen, sizeof a.marklen))
    return false;
  for (int d = 0; d < MAXNDIR; d++)
    if (!same(a.lightrec[d], b.lightrec[d])) return false;
  return true;
}

bool same(const column& a, const column& b) {
  if (a.squares.size() != b.squares.size() || a.chars != b.chars || a.marks != b.marks) return false;
  for (size_t i = 0; i < a.squares.size(); i++)
    if (!same(a.squares[i], b.squares[i])) return false;
  return true;
}

// The w member is made again by the next rebuild, so it is not compared.
bool same(const freelight& a, const freelight& b) {
  return a.n == b.n && !memcmp(a.x, b.x, sizeof a.x) && !memcmp(a.y, b.y, sizeof a.y) && same(a.lp, b.lp) &&
         a.sel == b.sel;
}

bool same(const std::vector<freelight>& a, const std::vector<freelight>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); i++)
    if (!same(a[i], b[i])) return false;
  return true;
}

bool same(const treatsnap& a, const treatsnap& b) {
  return a.treattype == b.treattype && a.mustbeword == b.mustbeword && a.allocmode[0] == b.allocmode[0] &&
         a.allocmode[1] == b.allocmode[1] && a.pluginpath == b.pluginpath && a.msg[0] == b.msg[0] &&
         a.msg[1] == b.msg[1] && !memcmp(a.msgconstr, b.msgconstr, sizeof a.msgconstr);
}

// The previous snapshot's copy when it equals the one just made, else the new one.
template <class T>
std::shared_ptr<const T> share(T& made, const std::shared_ptr<const T>* prev) {
  if (prev && *prev && same(made, **prev)) return *prev;
  return std::make_shared<const T>(std::move(made));
}

std::unique_ptr<snapshot> ring[UNDOSLOTS];
// undohead: the slot the next push fills (the current state is in undohead-1); undotail: the
// oldest valid slot; undohwm: one past the newest slot Redo may reach; undocount: the snapshots
// from undotail to undohead-1, which tells a full ring from an empty one.
int undohead, undotail, undohwm, undocount;

int prevslot(int i) { return (i + UNDOSLOTS - 1) % UNDOSLOTS; }

// Fill s with the current state, sharing what is unchanged with prev (the newest snapshot, or
// null).
void take(snapshot& s, const snapshot* prev) {
  s.gtype = gtype, s.width = width, s.height = height;
  s.rotsym = rotsym, s.mirsym = mirsym, s.dupsym = dupsym;
  bool sameheight = prev && prev->height == height;
  std::vector<std::shared_ptr<const column>> cols(width);
  for (int x = 0; x < width; x++) {
    column c;
    c.squares.resize(height);
    c.chars.reserve((size_t)height * 2);
    c.marks.reserve((size_t)height * 4);
    for (int y = 0; y < height; y++) {
      const square& q = sqarray[x][y];
      sqsnap& t = c.squares[y];
      t.bars = q.bars, t.merge = q.merge, t.sqflags = q.sqflags, t.lightsel = q.lightsel;
      const cellprops& p = q.cellrec;
      t.bgcolour = p.bgcolour, t.fgcolour = p.fgcolour, t.markcolour = p.markcolour;
      t.treatcell = p.treatcell, t.cellown = p.cellown, t.fontstyle = p.fontstyle, t.unlinked = p.unlinked;
      for (int k = 0; k < NMARKS; k++) {
        // The text, or every byte when any follows its end.
        static const char zeros[MXMK + 1] = {};
        size_t n = strnlen(p.marktexts[k], MXMK + 1);
        if (memcmp(p.marktexts[k] + n, zeros, MXMK + 1 - n)) n = MXMK + 1;
        t.marklen[k] = (unsigned char)n;
        c.marks.append(p.marktexts[k], n);
      }
      for (int d = 0; d < MAXNDIR; d++) {
        t.nchars[d] = (unsigned char)q.nchars[d];
        t.lightrec[d] = q.lightrec[d];
        c.chars.insert(c.chars.end(), q.charsets[d], q.charsets[d] + q.nchars[d]);
      }
    }
    cols[x] = share(c, sameheight && x < prev->width ? &prev->cols[x] : nullptr);
  }
  s.cols = std::move(cols);
  s.defcell = defcell;
  s.deflight = deflight;
  std::vector<freelight> fl(freelights, freelights + nfreelights);
  s.fl = share(fl, prev ? &prev->fl : nullptr);
  treatsnap t;
  t.treattype = treattype, t.mustbeword = mustbeword;
  t.allocmode[0] = allocmode[0], t.allocmode[1] = allocmode[1];
  t.pluginpath = pluginpath;
  for (int i = 0; i < 2; i++) t.msg[i] = treatmsg[i];
  memcpy(t.msgconstr, msgconstr, sizeof msgconstr);
  s.treat = share(t, prev ? &prev->treat : nullptr);
  s.clues = cluesget();
  s.alphabefore.reset();
  s.alphaafter.reset();
}

// Bring back a snapshot; alpha, when set, is the alphabet that goes with it.
void restore(const snapshot& s, const alphastate* alpha) {
  filler_stop();
  const treatsnap& t = *s.treat;
  bool plugin = treattype != t.treattype || t.pluginpath != pluginpath;
  gtype = s.gtype;
  setgridsize(s.width, s.height);
  rotsym = s.rotsym, mirsym = s.mirsym, dupsym = s.dupsym;
  for (int x = 0; x < sqext; x++) {
    const ABM* c = x < width ? s.cols[x]->chars.data() : nullptr;
    const char* m = x < width ? s.cols[x]->marks.data() : nullptr;
    for (int y = 0; y < sqext; y++) {
      square& q = sqarray[x][y];
      initsquare(&q);
      if (x >= width || y >= height) continue;
      const sqsnap& t = s.cols[x]->squares[y];
      q.bars = t.bars, q.merge = t.merge, q.sqflags = t.sqflags, q.lightsel = t.lightsel;
      cellprops& p = q.cellrec;
      p.bgcolour = t.bgcolour, p.fgcolour = t.fgcolour, p.markcolour = t.markcolour;
      p.treatcell = t.treatcell, p.cellown = t.cellown, p.fontstyle = t.fontstyle, p.unlinked = t.unlinked;
      memset(p.marktexts, 0, sizeof p.marktexts);  // not the default mark where it had none
      for (int k = 0; k < NMARKS; k++) {
        memcpy(p.marktexts[k], m, t.marklen[k]);
        m += t.marklen[k];
      }
      for (int d = 0; d < MAXNDIR; d++) {
        q.nchars[d] = t.nchars[d];
        q.lightrec[d] = t.lightrec[d];
        for (int k = 0; k < t.nchars[d]; k++) q.charsets[d][k] = *c++;
      }
    }
  }
  defcell = s.defcell;
  deflight = s.deflight;
  const std::vector<freelight>& fl = *s.fl;
  for (int i = 0; i < MXFL; i++) {
    if (i < (int)fl.size()) freelights[i] = fl[i], freelights[i].w = -1;
    else initfreelight(&freelights[i]);
  }
  nfreelights = (int)fl.size();
  treattype = t.treattype, mustbeword = t.mustbeword;
  allocmode[0] = t.allocmode[0], allocmode[1] = t.allocmode[1];
  strlcpy0(pluginpath, t.pluginpath.c_str(), SLEN);
  for (int i = 0; i < 2; i++) strlcpy0(treatmsg[i], t.msg[i].c_str(), MXMSGLEN + 1);
  memcpy(msgconstr, t.msgconstr, sizeof msgconstr);
  cluesset(s.clues);
  if (alpha) {
    // The answers are held in the alphabet's codes.
    alpharestore(*alpha);
    dictsload(0);
  }
  if (plugin || alpha) syncplugin();
  symmreduce();
  // The type or size may have changed: the cursor leaves a free light and stays on the grid.
  if (cursordir >= ndir()) cursordir = 0;
  fixcursor();
  unsaved = 1;
  afteredit();
}

// Take a snapshot into the next slot and return it.
snapshot& push() {
  if (!ring[undohead]) ring[undohead] = std::make_unique<snapshot>();
  snapshot& s = *ring[undohead];
  take(s, undocount ? ring[prevslot(undohead)].get() : nullptr);
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

int undo_undo() {
  if (!undo_canundo()) return 1;
  undohead = prevslot(undohead);
  undocount--;
  restore(*ring[prevslot(undohead)], ring[undohead]->alphabefore.get());
  return 0;
}

int undo_redo() {
  if (!undo_canredo()) return 1;
  restore(*ring[undohead], ring[undohead]->alphaafter.get());
  undohead = (undohead + 1) % UNDOSLOTS;
  undocount++;
  return 0;
}

size_t undo_bytes() {
  // Shared parts are counted once.
  std::unordered_set<const void*> seen;
  size_t n = 0;
  for (const auto& s : ring) {
    if (!s) continue;
    n += sizeof(snapshot) + s->cols.capacity() * sizeof s->cols[0];
    for (const auto& c : s->cols)
      if (seen.insert(c.get()).second)
        n += sizeof(column) + c->squares.capacity() * sizeof(sqsnap) + c->chars.capacity() * sizeof(ABM) +
             c->marks.capacity();
    if (s->fl && seen.insert(s->fl.get()).second) n += sizeof *s->fl + s->fl->capacity() * sizeof(freelight);
    if (s->treat && seen.insert(s->treat.get()).second)
      n += sizeof(treatsnap) + s->treat->pluginpath.capacity() + s->treat->msg[0].capacity() + s->treat->msg[1].capacity();
  }
  return n;
}
