// The cursor, the keyboard and the pointer: arrow moves on every grid type, direction and
// layer changes, typing, the editing keys, and the click and drag rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/hooks.h"
#include "core/lock.h"
#include "core/prefs.h"
#include "core/undo.h"
#include "filler/filler.h"
#include "grid/cursor.h"
#include "grid/geometry.h"
#include "grid/lights.h"
#include "grid/pointer.h"
#include "grid/select.h"
#include "grid/symm.h"
#include "tests/testutil.h"

namespace {

typedef std::vector<std::string> rows;

// Cursor position and direction as one number, xxyyddd.
int cur() { return cursorx * 100000 + cursory * 1000 + cursordir; }
int at(int x, int y, int d = 0) { return x * 100000 + y * 1000 + d; }

ABM letter(char c) { return 1ULL << (c - 'A'); }

class Cursor : public testing::Test {
 protected:
  void SetUp() override {
    grid(0, {"....", "....", "...."});
  }
  void TearDown() override {
    filler_stop();
  }
  void grid(int gt, const rows& r) {
    filler_stop();
    resetengine();
    assistmode = 0;
    drawgrid(gt, r);
    rotsym = 1, mirsym = dupsym = 0;
    selmode = SEL_CELLS;
    dragsel = -1;
    undo_start();
  }
  editreport key(int ch, int k = ZK_NONE, unsigned mods = 0) { return keypress(ch, k, mods); }
};

}  // namespace

TEST_F(Cursor, ArrowsWrapByGridType) {
  // From the edge of a 5 by 4 grid: Right from (4,1), Left from (0,1), Down from (0,3), Up
  // from (0,0). Expected squares per grid type; the cursor stays where the edge is not joined.
  struct {
    int gt;
    int right, left, down, up;
  } cases[] = {
      {0, at(4, 1), at(0, 1), at(0, 3), at(0, 0)},
      {1, at(4, 1), at(0, 1), at(0, 3), at(0, 0)},
      {2, at(4, 1), at(0, 1), at(0, 3), at(0, 0)},
      {3, at(0, 1), at(4, 1), at(0, 3), at(0, 0)},
      {4, at(0, 1), at(4, 1), at(0, 3), at(0, 0)},
      {5, at(0, 1), at(4, 1), at(0, 3), at(0, 0)},
      {6, at(4, 1), at(0, 1), at(0, 0), at(0, 3)},
      {7, at(0, 2), at(4, 2), at(0, 3), at(0, 0)},
      {8, at(4, 1), at(0, 1), at(4, 0), at(4, 3)},
      {9, at(0, 1), at(4, 1), at(0, 0), at(0, 3)},
      {10, at(0, 2), at(4, 2), at(0, 0), at(0, 3)},
      {11, at(0, 1), at(4, 1), at(4, 0), at(4, 3)},
      {12, at(0, 2), at(4, 2), at(4, 0), at(4, 3)},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.gt);
    grid(c.gt, rows(4, "....."));
    cursorx = 4, cursory = 1;
    key(0, ZK_RIGHT);
    EXPECT_EQ(cur(), c.right);
    cursorx = 0, cursory = 1;
    key(0, ZK_LEFT);
    EXPECT_EQ(cur(), c.left);
    cursorx = 0, cursory = 3;
    key(0, ZK_DOWN);
    EXPECT_EQ(cur(), c.down);
    cursorx = 0, cursory = 0;
    key(0, ZK_UP);
    EXPECT_EQ(cur(), c.up);
  }
  // A missing hexagon is not entered; a cursor on a free light returns to direction 0.
  grid(1, rows(4, "....."));
  setfreelight(0, {{1, 2}});
  cursorx = 1, cursory = 2, cursordir = 100;
  EXPECT_EQ(movecursor(0, 1), 0);
  EXPECT_EQ(cur(), at(1, 2));
  EXPECT_EQ(movecursor(1, 0), 1);
  EXPECT_EQ(cur(), at(2, 2));
}

TEST_F(Cursor, DirectionsLayersAndFreeLights) {
  // The top row is multiplexed and its middle cell holds three characters.
  sqarray[0][0].lightrec[0].lightown = sqarray[0][0].lightrec[0].layered = 1;
  sqarray[1][0].nchars[0] = 3;
  setfreelight(0, {{1, 0}, {1, 1}});
  setfreelight(1, {{3, 2}});
  setfreelight(2, {{2, 2}, {1, 0}});
  cursorx = 1, cursory = 0, cursordir = 0, cursorlayer = 0;
  std::vector<int> seen;
  for (int i = 0; i < 7; i++) {
    nextdir();
    seen.push_back(cursordir * 10 + cursorlayer);
  }
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 10, 1000, 1020, 0, 1}));
  cursorlayer = 0;
  seen.clear();
  for (int i = 0; i < 7; i++) {
    prevdir();
    seen.push_back(cursordir * 10 + cursorlayer);
  }
  EXPECT_EQ(seen, (std::vector<int>{1020, 1000, 10, 2, 1, 0, 1020}));
  // A leftover layer beyond the light's is brought back within it.
  cursordir = 0, cursorlayer = 7;
  prevdir();
  EXPECT_EQ(cursorlayer, 2);
  // Keys: "/" and Page Down forward, Page Up back.
  cursordir = 1, cursorlayer = 0;
  EXPECT_TRUE(key('/').done);
  EXPECT_EQ(cursordir, 100);
  key(0, ZK_PAGEDOWN);
  EXPECT_EQ(cursordir, 102);
  key(0, ZK_PAGEUP);
  EXPECT_EQ(cursordir, 100);
}

TEST_F(Cursor, Typing) {
  int steps = undo_steps();
  // A lower-case letter enters its upper-case form, and the cursor moves on.
  EXPECT_TRUE(key('q').done);
  EXPECT_EQ(sqarray[0][0].charsets[0][0], letter('Q'));
  EXPECT_EQ(cur(), at(1, 0));
  EXPECT_EQ(undo_steps(), steps + 1);
  // Pattern characters, spaces and characters outside the alphabet are refused (the space
  // key moves on instead).
  editreport r;
  for (int ch : std::vector<int>{'.', '-', '?', ',', '[', ']', '^', '"', '@', '#', ' ', 0x416, 0x30041})
    EXPECT_EQ(typechar(ch, r), 0) << ch;
  EXPECT_EQ(undo_steps(), steps + 1);
  // Down a column, in the slot of a cell whose lights need not agree.
  cellprops& c = sqarray[1][0].cellrec;
  c.cellown = c.unlinked = 1;
  sqarray[1][0].nchars[1] = 1;
  cursordir = 1;
  EXPECT_EQ(typechar('X', r), 1);
  EXPECT_EQ(sqarray[1][0].charsets[1][0], letter('X'));
  EXPECT_EQ(sqarray[1][0].charsets[0][0], ABM_ALL);
  EXPECT_EQ(cur(), at(1, 1, 1));
  // On a free light that cell takes slot 0, and the cursor moves on along the free light.
  setfreelight(0, {{1, 0}, {2, 0}});
  cursorx = 1, cursory = 0, cursordir = 100;
  EXPECT_EQ(typechar('Y', r), 1);
  EXPECT_EQ(sqarray[1][0].charsets[0][0], letter('Y'));
  EXPECT_EQ(cur(), at(2, 0, 100));
  // A block or cutout takes nothing, visible or hidden.
  sqarray[2][0].sqflags = SQF_BLOCK;
  sqarray[3][0].sqflags = SQF_CUTOUT;
  for (int x : {2, 3}) {
    cursorx = x, cursordir = 0;
    EXPECT_FALSE(key('K').done);
    EXPECT_EQ(sqarray[x][0].charsets[0][0], ABM_ALL);
  }
  EXPECT_EQ(undo_steps(), steps + 3);
}

// Typing along a free light follows its path cell by cell, past a block, through a cell it
// visits twice, and stops at its end.
TEST_F(Cursor, TypingAlongAFreeLight) {
  sqarray[2][2].sqflags = SQF_BLOCK;
  setfreelight(0, {{0, 1}, {1, 1}, {2, 1}, {2, 2}, {1, 2}, {1, 1}, {0, 2}});
  cursorx = 0, cursory = 1, cursordir = 100;
  std::vector<int> seen;
  for (char c : std::string("ABCDEFG")) {
    EXPECT_TRUE(key(c).done);
    seen.push_back(cur());
  }
  std::vector<int> want = {at(1, 1, 100), at(2, 1, 100), at(1, 2, 100), at(1, 1, 100),
                           at(0, 2, 100), at(0, 2, 100), at(0, 2, 100)};
  EXPECT_EQ(seen, want);
  EXPECT_EQ(sqarray[1][1].charsets[0][0], letter('E'));  // typed over on the second visit
  EXPECT_EQ(sqarray[0][2].charsets[0][0], letter('G'));
  // The cursor's light is the free light's clear squares.
  std::vector<sqpos> light = {{0, 1}, {0, 2}, {1, 1}, {1, 2}, {2, 1}};
  EXPECT_EQ(cursorlight(), light);
}

TEST_F(Cursor, TypingIntoACellOfSeveralPositionsOpensTheContentsDialog) {
  sqarray[1][1].nchars[0] = 2;
  cursorx = cursory = 1;
  editreport r;
  EXPECT_EQ(typechar('A', r), 0);  // no window to ask
  int steps = undo_steps();
  msgcapture mc;
  static int answer, opened;
  ui.cellcontents = [] {
    opened++;
    if (answer) undo_push();  // the dialog's own undo step
    return answer;
  };
  answer = 0;
  EXPECT_TRUE(key('a').done);
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(cur(), at(1, 1));  // cancelled: nothing moves, no undo step
  EXPECT_EQ(undo_steps(), steps);
  answer = 1;
  EXPECT_TRUE(key('a').done);
  EXPECT_EQ(opened, 2);
  EXPECT_EQ(cur(), at(2, 1));
  EXPECT_EQ(undo_steps(), steps + 1);
  EXPECT_EQ(sqarray[1][1].charsets[0][0], ABM_ALL);
}

TEST_F(Cursor, ModifierKeysAreLeftToTheMenus) {
  for (unsigned m : {KM_CONTROL, KM_ALT, KM_CONTROL | KM_SHIFT}) {
    EXPECT_FALSE(key('a', ZK_NONE, m).done);
    EXPECT_FALSE(key(0, ZK_RIGHT, m).done);
  }
  EXPECT_EQ(sqarray[0][0].charsets[0][0], ABM_ALL);
  EXPECT_EQ(cur(), at(0, 0));
  // Shift and AltGr (its own modifier bit) still type.
  EXPECT_TRUE(key('B', ZK_NONE, KM_SHIFT).done);
  EXPECT_TRUE(key('C', ZK_NONE, 0x80).done);
  EXPECT_EQ(sqarray[1][0].charsets[0][0], letter('C'));
  EXPECT_FALSE(key(0, ZK_NONE).done);  // a key the grid has no use for
}

TEST_F(Cursor, EditingKeys) {
  rotsym = 2;
  for (int x = 0; x < 4; x++) sqarray[x][1].charsets[0][0] = letter('A' + x);
  setmerge(1, 1, 0, 1);  // (1,1)-(2,1) one cell, holding B
  cursory = 1;
  int steps = undo_steps();
  // Space moves on; BackSpace moves back without clearing.
  key(' ');
  EXPECT_EQ(cur(), at(1, 1));
  key(' ');
  EXPECT_EQ(cur(), at(3, 1));  // past the merged cell
  key(0, ZK_BACKSPACE);
  EXPECT_EQ(cur(), at(2, 1));
  EXPECT_EQ(undo_steps(), steps);
  // Tab clears and moves on; Shift+Tab moves back to the start of a merged cell and clears it.
  cursorx = 3;
  key(0, ZK_TAB);
  EXPECT_EQ(cellchar(3, 1), -2);
  EXPECT_EQ(cur(), at(3, 1));  // at the end of the row
  key(0, ZK_LEFTTAB);
  EXPECT_EQ(cur(), at(1, 1));
  EXPECT_EQ(cellchar(1, 1), -2);
  EXPECT_EQ(cellchar(0, 1), 1);
  EXPECT_EQ(undo_steps(), steps + 2);
  // "," blocks with symmetry and "." empties, each one undo step.
  cursorx = 0, cursory = 0;
  key(',');
  EXPECT_TRUE(sqarray[0][0].sqflags & SQF_BLOCK);
  EXPECT_TRUE(sqarray[3][2].sqflags & SQF_BLOCK);
  EXPECT_EQ(cur(), at(1, 0));
  cursorx = 0;
  key('.');
  EXPECT_FALSE(sqarray[3][2].sqflags & SQF_BLOCK);
  EXPECT_EQ(undo_steps(), steps + 4);
  // Home and End: the ends of the cursor's light, free lights included.
  cursorx = 2, cursory = 2;
  key(0, ZK_HOME);
  EXPECT_EQ(cur(), at(0, 2));
  key(0, ZK_END);
  EXPECT_EQ(cur(), at(3, 2));
  setfreelight(0, {{2, 0}, {9, 9}, {1, 2}, {0, 0}});
  sqarray[0][0].sqflags = SQF_BLOCK;
  cursordir = 100;
  key(0, ZK_END);
  EXPECT_EQ(cur(), at(1, 2, 100));  // the last clear cell
  key(0, ZK_HOME);
  EXPECT_EQ(cur(), at(2, 0, 100));
  // On a free light Tab clears without moving; Shift+Tab, BackSpace and space do nothing.
  sqarray[2][0].charsets[0][0] = letter('Z');
  steps = undo_steps();
  key(0, ZK_TAB);
  EXPECT_EQ(cellchar(2, 0), -2);
  for (int k : {ZK_LEFTTAB, ZK_BACKSPACE}) EXPECT_TRUE(key(0, k).done);
  key(' ');
  EXPECT_EQ(cur(), at(2, 0, 100));
  EXPECT_EQ(undo_steps(), steps + 1);
}

TEST_F(Cursor, ClickRules) {
  grid(0, {"....", "....", "...."});
  rotsym = 2;
  const unsigned corner = 1 | 8, edge = 1, middle = 0;
  struct {
    int block, bar;
    unsigned edges;
    const char* what;  // "block", "bar" or "cursor"
  } rules[] = {
      {1, 1, corner, "block"}, {1, 1, edge, "bar"}, {1, 1, middle, "cursor"}, {0, 1, corner, "cursor"},
      {1, 0, edge, "cursor"},  {0, 0, corner, "cursor"},
  };
  for (auto& r : rules) {
    SCOPED_TRACE(testing::Message() << r.block << r.bar << " " << r.edges);
    grid(0, {"....", "....", "...."});
    rotsym = 2;
    prefdata[PREF_EDIT_CLICK_FOR_BLOCK] = r.block;
    prefdata[PREF_EDIT_CLICK_FOR_BAR] = r.bar;
    int steps = undo_steps();
    editreport e = pointerbutton(1, 0, r.edges, 1, 0, PE_PRESS);
    EXPECT_TRUE(e.done);
    std::string what = r.what;
    EXPECT_EQ((sqarray[1][0].sqflags & SQF_BLOCK) != 0, what == "block");
    EXPECT_EQ((sqarray[2][2].sqflags & SQF_BLOCK) != 0, what == "block");
    EXPECT_EQ(isbar(1, 0, 0) && isbar(1, 2, 0), what == "bar");
    EXPECT_EQ(cur(), what == "cursor" ? at(1, 0) : at(0, 0));
    EXPECT_EQ(undo_steps(), steps + (what != "cursor"));
  }
  prefdata[PREF_EDIT_CLICK_FOR_BLOCK] = prefdata[PREF_EDIT_CLICK_FOR_BAR] = 1;
  // A second corner click empties the block (and its image), clearing its contents.
  pointerbutton(1, 0, 1 | 2, 1, 0, PE_PRESS);
  sqarray[1][0].charsets[0][0] = letter('H');
  pointerbutton(1, 0, 2 | 4, 1, 0, PE_PRESS);
  EXPECT_EQ(sqarray[1][0].sqflags, 0);
  EXPECT_EQ(sqarray[2][2].sqflags, 0);
  EXPECT_EQ(sqarray[1][0].charsets[0][0], ABM_ALL);
  // A second click on the cursor square changes direction; elsewhere the cursor leaves its
  // free light.
  cursorx = 1, cursory = 0, cursordir = 0;
  pointerbutton(1, 0, 0, 1, 0, PE_PRESS);
  EXPECT_EQ(cursordir, 1);
  setfreelight(0, {{1, 0}});
  cursordir = 100;
  pointerbutton(2, 1, 0, 1, 0, PE_PRESS);
  EXPECT_EQ(cur(), at(2, 1, 0));
  // The extra events of a double or triple click, other buttons, squares off the grid and
  // an edge with no square beyond it do nothing.
  int steps = undo_steps();
  for (int kind : {PE_DOUBLE, PE_TRIPLE}) EXPECT_FALSE(pointerbutton(1, 1, 3, 1, 0, kind).done);
  EXPECT_FALSE(pointerbutton(1, 1, 3, 2, 0, PE_PRESS).done);
  EXPECT_FALSE(pointerbutton(1, 1, 3, 3, 0, PE_PRESS).done);
  EXPECT_FALSE(pointerbutton(-1, -1, 0, 1, 0, PE_PRESS).done);
  EXPECT_FALSE(pointerbutton(4, 0, 0, 1, 0, PE_PRESS).done);
  EXPECT_FALSE(pointerbutton(0, 0, 8, 1, 0, PE_PRESS).done);  // the top edge of the grid
  EXPECT_EQ(undo_steps(), steps);
  EXPECT_EQ(sqarray[1][1].sqflags, 0);
  EXPECT_EQ(cur(), at(2, 1, 0));
}

TEST_F(Cursor, ShiftDragWithThePointer) {
  pointerbutton(0, 0, 0, 1, KM_SHIFT, PE_PRESS);
  pointermotion(1, 0, KM_SHIFT | KM_BUTTON1);
  pointermotion(5, 5, KM_SHIFT | KM_BUTTON1);  // off the grid: ignored
  pointerbutton(1, 0, 0, 1, KM_SHIFT, PE_RELEASE);
  EXPECT_EQ(dragsel, -1);
  EXPECT_EQ(nsel, 2);
  // A new drag from a selected cell deselects; motion without Shift ends the drag.
  pointerbutton(1, 0, 0, 1, KM_SHIFT, PE_PRESS);
  pointermotion(2, 0, KM_BUTTON1);
  EXPECT_EQ(dragsel, -1);
  pointermotion(0, 0, KM_SHIFT | KM_BUTTON1);  // starts again from (0,0), selected
  pointermotion(2, 0, KM_SHIFT);               // no button: the drag ends
  EXPECT_EQ(dragsel, -1);
  EXPECT_EQ(nsel, 0);
  // Button 3 selects lights in the cursor direction.
  cursordir = 1;
  pointerbutton(0, 1, 0, 3, KM_SHIFT, PE_PRESS);
  pointermotion(2, 2, KM_SHIFT | KM_BUTTON3);
  EXPECT_EQ(selmode, SEL_LIGHTS);
  EXPECT_EQ(nsel, 2);
  EXPECT_EQ(sqarray[0][0].lightsel * 10 + sqarray[2][0].lightsel, 22);
}
