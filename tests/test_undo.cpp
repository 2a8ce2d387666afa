// Undo and redo: how many steps there are, what a step restores, when the document counts
// as changed, and the memory the snapshots hold.
#include <gtest/gtest.h>

#include <cstdio>

#include "core/undo.h"
#include "docfile/docfile.h"
#include "filler/filler.h"
#include "grid/select.h"
#include "grid/symm.h"
#include "grid/zyn.h"
#include "tests/testutil.h"

namespace {

class Undo : public ::testing::Test {
 protected:
  void SetUp() override {
    resetdocument(15);
  }
  void TearDown() override { filler_stop(); }
};

// One edit: toggle a block, as an editing command would, and push.
void edit(int i) {
  sqarray[i % width][i / width % height].sqflags ^= SQF_BLOCK;
  undo_push();
}

}  // namespace

TEST_F(Undo, StepsAndRedo) {
  EXPECT_FALSE(undo_canundo());
  EXPECT_EQ(undo_undo(), 1);
  EXPECT_EQ(undo_redo(), 1);

  // k snapshots give k-1 steps, at most 49 once the ring is full.
  for (int i = 0; i < 5; i++) edit(i);
  EXPECT_EQ(undo_steps(), 5);
  for (int i = 5; i < 60; i++) edit(i);
  EXPECT_EQ(undo_steps(), UNDOSLOTS - 1);
  int n = 0;
  while (undo_undo() == 0) n++;
  EXPECT_EQ(n, UNDOSLOTS - 1);
  // The oldest snapshot kept is the one after edit 10: blocks at squares 0 to 10.
  for (int i = 0; i < 12; i++) EXPECT_EQ(sqarray[i % width][i / width].sqflags, i <= 10 ? SQF_BLOCK : 0) << i;

  // Redo walks forward again, all the way.
  n = 0;
  while (undo_redo() == 0) n++;
  EXPECT_EQ(n, UNDOSLOTS - 1);
  EXPECT_EQ(sqarray[59 % width][59 / width].sqflags, SQF_BLOCK);

  // An edit after an Undo drops the Redo steps.
  undo_undo();
  undo_undo();
  EXPECT_TRUE(undo_canredo());
  edit(100);
  EXPECT_FALSE(undo_canredo());
  EXPECT_EQ(undo_steps(), UNDOSLOTS - 2);
}

TEST_F(Undo, RestoresGridSizeAndSymmetryButNotTheTitle) {
  // A hexagonal grid with threefold symmetry, then one of a size that does not allow it.
  gtype = 1, width = height = 5, rotsym = 3;
  docreset();
  undo_push();
  width = 6;
  symmreduce();
  ASSERT_EQ(rotsym, 1);
  cursorx = 5, cursory = 4;
  undo_push();
  snprintf(title, SLEN, "new title");
  nfreelights = 1;
  freelights[0].n = 1;
  cursordir = 100;

  ASSERT_EQ(undo_undo(), 0);
  EXPECT_EQ(width, 5);
  EXPECT_EQ(rotsym, 3);
  EXPECT_EQ(cursorx, 4);
  EXPECT_EQ(cursory, 4);
  EXPECT_EQ(cursordir, 0);
  EXPECT_EQ(nfreelights, 0);
  EXPECT_STREQ(title, "new title");

  ASSERT_EQ(undo_redo(), 0);
  EXPECT_EQ(width, 6);
  EXPECT_EQ(rotsym, 1);

  // Even a snapshot taken with a symmetry its grid does not allow comes back reduced, so a
  // restored hexagonal grid never meets an order it cannot be rotated by.
  rotsym = 3;
  undo_push();
  edit(0);
  undo_undo();
  EXPECT_EQ(width, 6);
  EXPECT_EQ(rotsym, 1);
}

TEST_F(Undo, ChangedFlagAndFreshHistories) {
  EXPECT_EQ(unsaved, 0);
  edit(0);
  EXPECT_EQ(unsaved, 1);
  unsaved = 0;  // as a save does
  undo_undo();
  EXPECT_EQ(unsaved, 1);  // back at the state of the save, but by a change
  unsaved = 0;
  undo_redo();
  EXPECT_EQ(unsaved, 1);

  // A new document starts a history of its own: Undo never reaches the previous document.
  edit(1);
  newdocument(0);
  EXPECT_EQ(unsaved, 0);
  EXPECT_FALSE(undo_canundo());
  EXPECT_FALSE(undo_canredo());

  // So does a loaded one.
  edit(2);
  strlcpy0(filename, writetemp("#ZYN2v3\nGP 0 4 4 1 0 0\nTTL\n+\nAUT\n+\nEND\n", ".zyn").c_str(), SLEN);
  ASSERT_EQ(loaddocument(0), LOAD_OK);
  EXPECT_EQ(unsaved, 0);
  EXPECT_FALSE(undo_canundo());
}

TEST_F(Undo, SnapshotMemoryFollowsTheGrid) {
  for (int i = 0; i < UNDOSLOTS; i++) edit(i);
  size_t small = undo_bytes();
  width = height = MXSZ;
  docreset();
  undo_start();
  for (int i = 0; i < UNDOSLOTS; i++) edit(i);
  size_t large = undo_bytes();
  printf("memory of %d undo snapshots: 15x15 %.1f MB, 63x63 %.1f MB\n", UNDOSLOTS, small / 1e6, large / 1e6);
  RecordProperty("bytes15", (int)small);
  RecordProperty("bytes63", (int)large);
  EXPECT_LT(small, 20u * 1000 * 1000);
  EXPECT_GT(large, small * 10);
}
