// Changing the document's alphabet while keeping the characters of the grid.
#include "grid/alphachange.h"

#include <cstring>

#include "core/message.h"
#include "dicts/dicts.h"
#include "grid/geometry.h"
#include "grid/road.h"
#include "grid/zyn.h"
#include "treatment/treatment.h"

namespace {

constexpr ABM bit(int c) { return 1ULL << (c - 1); }

// Where each code of the previous alphabet goes in the new one.
struct codemap {
  unsigned char to[MAXICC + 1] = {};  // the new code, 0 for none
  bool kept[MAXICC + 1] = {};         // the code's character has an entry of its own there
  ABM all = 0;                        // every character code of the previous alphabet
};

// What the map needs of the previous alphabet.
struct prevalpha {
  int cp[MAXICC + 1];
  char text[MAXICC + 1][16];
  ABM all;
};

prevalpha takeprev() {
  prevalpha p;
  memcpy(p.cp, icccp, sizeof p.cp);
  memcpy(p.text, icctext, sizeof p.text);
  p.all = alphaset;
  return p;
}

codemap makemap(const prevalpha& p) {
  codemap m;
  m.all = p.all;
  for (int c = 1; c <= MAXICC; c++) {
    int u = p.cp[c];
    if (u != 0 && u != 63) {
      // The new entry with this character, or the one it is an equivalent of.
      int n = u < MAXUCP ? cptoicc[u] : 0;
      m.to[c] = (unsigned char)n;
      m.kept[c] = n && icccp[n] == u;
    } else if (u == 0 && p.text[c][0]) {
      // A substitution entry: kept where the new alphabet has the same pair.
      for (int n = 1; n <= MAXICC; n++)
        if (icccp[n] == 0 && !strcmp(icctext[n], p.text[c])) {
          m.to[c] = (unsigned char)n;
          m.kept[c] = true;
          break;
        }
    }
  }
  return m;
}

// The characters of a set in the new alphabet; *changed is set when one of them does not keep
// its own entry. A set holding every character (an empty cell) still holds every one.
ABM remapchars(ABM s, const codemap& m, bool* changed) {
  if ((s & m.all) == m.all) return ABM_ALL;
  ABM out = 0;
  for (int c = 1; c <= MAXICC; c++)
    if (s & bit(c)) {
      if (m.to[c]) out |= bit(m.to[c]);
      if (!m.kept[c]) *changed = true;
    }
  // A cell left with no character at all is empty.
  return out ? out : ABM_ALL;
}

// Cells (counted once, at their representative square) whose characters would change.
int countchanged(const codemap& m) {
  int n = 0;
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++) {
      int rx = x, ry = y;
      cellrep(rx, ry);
      if (!isclear(x, y) || rx != x || ry != y) continue;
      const square& q = sqarray[x][y];
      bool changed = false;
      for (int d = 0; d < MAXNDIR; d++)
        for (int k = 0; k < q.nchars[d]; k++) remapchars(q.charsets[d][k], m, &changed);
      n += changed;
    }
  return n;
}

void remapdocument(const codemap& m) {
  bool ignore;
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++) {
      square& q = sqarray[x][y];
      for (int d = 0; d < MAXNDIR; d++)
        for (int k = 0; k < q.nchars[d]; k++) q.charsets[d][k] = remapchars(q.charsets[d][k], m, &ignore);
    }
  for (auto& msg : msgconstr)
    for (ABM& s : msg) s = remapchars(s & ABM_ALL, m, &ignore) | (s & ABM_DASH);
}

void tracealphabet() {
  for (int i = 0; i < ncodes; i++)
    pstdout("%2d ICC:%2d %05x g%d\n", i, ordericc[i], icccp[ordericc[i]], orderclass[i]);
  pstdout("%d-%d-%d\n", classstart[0], classstart[1], classstart[2]);
}

}  // namespace

std::string alphachangequestion(int n) {
  char buf[300];
  pbuf(buf, sizeof buf,
       "This alphabet changes %d cell%s of the grid:\n"
       "characters it does not have are removed, and characters\n"
       "it counts as equivalents of an entry become that entry.\n\n"
       "Apply the alphabet?",
       n, n == 1 ? "" : "s");
  return buf;
}

int applyalphabet(const alphatable& t, int (*confirm)(const char* question), editreport* r) {
  beginedit();
  prevalpha prev = takeprev();
  std::shared_ptr<const alphastate> before = alphasave();
  int res = alphainstall(t);
  if (res & 1 << 1) errbox("Entries may not be space characters or\nany of the following: . - ? , [ ] ^ \"");
  if (res & 1 << 2) errbox("Space characters and the following: . - ? , [ ] ^ \"\nare always ignored in dictionary files");
  if (deb(DEB_ALPHA)) tracealphabet();
  codemap m = makemap(prev);
  if (int n = countchanged(m)) {
    if (!confirm || !confirm(alphachangequestion(n).c_str())) {
      alpharestore(*before);
      return 1;
    }
  }
  remapdocument(m);
  dictsload(0);
  syncplugin();
  // Every character may look different.
  editreport e;
  e.all = e.marks = 1;
  e = endalphaedit(e, std::move(before));
  if (r) *r = e;
  return 0;
}
