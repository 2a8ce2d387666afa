// The contents dialogs' reading and storing of cell and light contents, and the grid properties
// change: its order, what it keeps and drops, and its single undo step.
#include <gtest/gtest.h>

#include <string>

#include "core/undo.h"
#include "filler/filler.h"
#include "grid/contents.h"
#include "grid/geometry.h"
#include "grid/gridprops.h"
#include "grid/select.h"
#include "grid/symm.h"
#include "tests/testutil.h"

namespace {

class Contents : public testing::Test {
 protected:
  void SetUp() override {
    resetdocument(5);
    assistmode = 0;
  }
  void TearDown() override { filler_stop(); }
};

std::string cellslot(int x, int y, int slot) { return slotcontents(x, y, slot); }

}  // namespace

TEST_F(Contents, CellSlotsFromText) {
  struct {
    const char* text;
    int nchars;
    const char* stored;
  } cases[] = {
      {"TH", 2, "TH"},       // two characters in one cell
      {"", 0, ""},           // a slot that contributes nothing
      {"[AEI].", 2, "[AEI]."},
      {"A1B", 2, "AB"},      // "1" is not a letter of the alphabet
  };
  for (auto c : cases) {
    std::string t = c.text;
    editreport r = setcellcontents(1, 1, &t, 1);
    EXPECT_TRUE(r.done);
    EXPECT_EQ(sqarray[1][1].nchars[0], c.nchars) << c.text;
    EXPECT_EQ(cellslot(1, 1, 0), c.stored) << c.text;
  }
  EXPECT_EQ(contentsunread("A1B"), 1);
  EXPECT_EQ(contentsunread("[A-C]x"), 0);  // lower case is read as its capital
  EXPECT_EQ(contentsunread("A-[B!]"), 2);  // no "-" in a cell, no "!" in the alphabet
}

TEST_F(Contents, CellRowsAndFocus) {
  int x, y;
  cursorx = 2, cursory = 0, cursordir = 1;
  ASSERT_TRUE(contentscell(&x, &y));
  EXPECT_EQ(contentsrows(x, y), 1);
  EXPECT_EQ(contentsfocus(1), 0);
  owncell(x, y)->unlinked = 1;
  EXPECT_EQ(contentsrows(x, y), 2);
  EXPECT_EQ(contentsfocus(2), 1);
  cursordir = 100;  // on a free light
  EXPECT_EQ(contentsfocus(2), 0);

  msgcapture m;
  sqarray[2][0].sqflags = SQF_BLOCK;
  EXPECT_FALSE(contentscell(&x, &y));
  EXPECT_EQ(m.msgs, (std::vector<std::string>{"E:Please place the cursor on a cell\nthat can contain characters"}));
}

TEST_F(Contents, LightFromText) {
  static lightpos pos[MXCL];
  std::string text;
  cursorx = 0, cursory = 2, cursordir = 0;
  ASSERT_EQ(lightcontents(pos, &text), 5);
  EXPECT_EQ(text, ".....");
  int steps = undo_steps();
  // Fewer sets than cells leave the rest unfilled; more are ignored.
  setlightcontents(pos, 5, "AB");
  lightcontents(pos, &text);
  EXPECT_EQ(text, "AB...");
  setlightcontents(pos, 5, "VWXYZQ");
  lightcontents(pos, &text);
  EXPECT_EQ(text, "VWXYZ");
  EXPECT_EQ(undo_steps(), steps + 2);

  // A free light through blocks takes only its clear cells.
  setfreelight(0, {{0, 0}, {1, 1}, {2, 2}});
  sqarray[1][1].sqflags = SQF_BLOCK;
  cursorx = 0, cursory = 0, cursordir = 100;
  ASSERT_EQ(lightcontents(pos, &text), 2);
  setlightcontents(pos, 2, "MN");
  EXPECT_EQ(cellslot(0, 0, 0) + cellslot(2, 2, 0), "MN");

  msgcapture m;
  sqarray[0][0].sqflags = SQF_BLOCK;
  EXPECT_EQ(lightcontents(pos, &text), 0);
  EXPECT_EQ(m.msgs, (std::vector<std::string>{"E:Please point the cursor along a light"}));
}

TEST_F(Contents, GridPropertiesResize) {
  sqarray[4][4].sqflags = SQF_BLOCK;
  setfreelight(0, {{0, 0}, {4, 4}, {1, 0}});
  setfreelight(1, {{4, 0}});
  cursorx = 4, cursory = 4, cursordir = 101;
  int steps = undo_steps();
  editreport r = setgridprops("T", "A", 0, 4, 4);
  EXPECT_TRUE(r.done && r.all && r.shape);
  EXPECT_EQ(width * 100 + height, 404);
  EXPECT_STREQ(title, "T");
  EXPECT_STREQ(author, "A");
  // Cells outside drop out of the free lights, and a free light left empty goes.
  ASSERT_EQ(nfreelights, 1);
  EXPECT_EQ(freelights[0].n, 2);
  EXPECT_EQ(freelights[0].x[1], 1);
  EXPECT_TRUE(sqexists(cursorx, cursory));
  EXPECT_EQ(cursordir, 0);
  EXPECT_EQ(undo_steps(), steps + 1);
  // Growing again gives fresh squares, not the old ones.
  setgridprops("T", "A", 0, 5, 5);
  EXPECT_EQ(sqarray[4][4].sqflags, 0);
  // The same values again change nothing and push no step.
  steps = undo_steps();
  EXPECT_FALSE(setgridprops("T", "A", 0, 5, 5).done);
  EXPECT_EQ(undo_steps(), steps);
  // The copyright is one of the properties; left out, it stays.
  EXPECT_TRUE(setgridprops("T", "A", 0, 5, 5, "\xC2\xA9 Me").done);
  EXPECT_STREQ(copyright, "\xC2\xA9 Me");
  EXPECT_FALSE(setgridprops("T", "A", 0, 5, 5).done);
  // Sizes out of range keep the old ones.
  setgridprops("T", "A", 0, 0, 64);
  EXPECT_EQ(width * 100 + height, 505);
}

TEST_F(Contents, GridPropertiesNewType) {
  struct {
    int fromtype, w, h, rot, mir, dup, totype, tow, toh;
    int rot2, mir2, dup2;
  } cases[] = {
      {0, 12, 12, 4, 0, 0, 3, 10, 5, 1, 0, 0},  // fourfold does not divide 10 radii
      {3, 9, 5, 1, 2, 0, 3, 9, 5, 1, 0, 0},     // no up-down mirror with an odd number of radii
      {0, 12, 12, 2, 0, 3, 3, 12, 6, 2, 0, 0},  // no duplication on a circle
  };
  for (auto c : cases) {
    filler_stop();
    resetdocument(5);
    gtype = c.fromtype, width = c.w, height = c.h;
    rotsym = c.rot, mirsym = c.mir, dupsym = c.dup;
    setgridprops("", "x", c.totype, c.tow, c.toh);
    EXPECT_EQ(rotsym * 100 + mirsym * 10 + dupsym, c.rot2 * 100 + c.mir2 * 10 + c.dup2) << c.totype;
  }
  // A hexagonal grid's third direction leaves nothing behind on a plain one.
  filler_stop();
  resetdocument(5);
  gtype = 1;
  sqarray[1][1].bars = 7;
  sqarray[2][1].merge = 4;
  sqarray[3][1].lightsel = 4;
  setgridprops("", "", 0, 5, 5);
  EXPECT_EQ(sqarray[1][1].bars, 3u);
  EXPECT_EQ(sqarray[2][1].merge, 0u);
  EXPECT_EQ(sqarray[3][1].lightsel, 0);
}
