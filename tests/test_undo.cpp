// Undo and redo: how many steps there are, what a step restores, when the document counts
// as changed, and the memory the snapshots hold.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

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

template <class T>
void put(std::string& s, const T& v) {
  s.append(reinterpret_cast<const char*>(&v), sizeof v);
}

// Everything a snapshot restores, field by field, as bytes to compare.
std::string state() {
  std::string s;
  put(s, width), put(s, height);
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++) {
      const square& q = sqarray[x][y];
      put(s, q.bars), put(s, q.merge), put(s, q.sqflags), put(s, q.lightsel);
      const cellprops& c = q.cellrec;
      put(s, c.bgcolour), put(s, c.fgcolour), put(s, c.markcolour), put(s, c.cellown), put(s, c.marktexts);
      for (int d = 0; d < MAXNDIR; d++) {
        put(s, q.nchars[d]), put(s, q.lightrec[d].dmask), put(s, q.lightrec[d].emask);
        s.append(reinterpret_cast<const char*>(q.charsets[d]), q.nchars[d] * sizeof(ABM));
      }
    }
  put(s, nfreelights);
  for (int i = 0; i < nfreelights; i++) put(s, freelights[i].n), put(s, freelights[i].x), put(s, freelights[i].lp.dmask);
  s += treatmsg[0];
  return s;
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

// Snapshots share what an edit left alone with the snapshot before them; every step must still
// bring back its own state, across a change of height and after an Undo followed by a new edit.
TEST_F(Undo, EveryStepRestoresItsOwnState) {
  const std::vector<std::function<void()>> edits = {
      [] { sqarray[2][3].charsets[0][0] = 1ULL << 4; },
      [] { snprintf(owncell(4, 1)->marktexts[2], MXMK + 1, "mark"); },
      [] { snprintf(owncell(4, 1)->marktexts[2], MXMK + 1, "m"); },  // "ark" stays after the end
      [] { memset(owncell(5, 2)->marktexts[0], 0, MXMK + 1); },       // no default mark
      [] { sqarray[0][0].lightrec[1].dmask = 6; },
      [] { setfreelight(0, {{1, 1}, {2, 2}, {3, 3}}); },
      [] { snprintf(treatmsg[0], MXMSGLEN + 1, "message"); },
      [] { height = 5; },
      [] { sqarray[1][1].sqflags ^= SQF_BLOCK; },
      [] { height = 7; },
      [] { sqarray[8][6].nchars[0] = 2; },
  };
  std::vector<std::string> states = {state()};
  for (const auto& e : edits) {
    e();
    undo_push();
    states.push_back(state());
  }
  for (int k = (int)edits.size() - 1; k >= 0; k--) {
    ASSERT_EQ(undo_undo(), 0);
    EXPECT_EQ(state(), states[k]) << "undo to " << k;
  }
  for (size_t k = 1; k < states.size(); k++) {
    ASSERT_EQ(undo_redo(), 0);
    EXPECT_EQ(state(), states[k]) << "redo to " << k;
  }
  // Back three steps, a new edit there, then Undo and Redo of it.
  for (int i = 0; i < 3; i++) undo_undo();
  sqarray[2][3].charsets[0][0] = 1ULL << 7;
  undo_push();
  std::string branch = state();
  undo_undo();
  EXPECT_EQ(state(), states[edits.size() - 3]);
  undo_redo();
  EXPECT_EQ(state(), branch);
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

// An edit of every column: a block toggled in each.
void editall(int i) {
  for (int x = 0; x < width; x++) sqarray[x][i % height].sqflags ^= SQF_BLOCK;
  undo_push();
}

// The ring's memory follows the grid's size, and a step that edits one square costs about one
// column, not a copy of the grid.
TEST_F(Undo, SnapshotMemoryFollowsTheGrid) {
  size_t bytes[2][2];  // [15x15, 63x63][whole-grid edits, one-square edits]
  for (int big = 0; big < 2; big++)
    for (int one = 0; one < 2; one++) {
      width = height = big ? MXSZ : 15;
      docreset();
      undo_start();
      for (int i = 0; i < UNDOSLOTS; i++) one ? edit(i) : editall(i);
      bytes[big][one] = undo_bytes();
    }
  printf("memory of %d undo snapshots: 15x15 %.1f MB, 63x63 %.1f MB, 63x63 by single squares %.1f MB\n", UNDOSLOTS,
         bytes[0][0] / 1e6, bytes[1][0] / 1e6, bytes[1][1] / 1e6);
  RecordProperty("bytes15", (int)bytes[0][0]);
  RecordProperty("bytes63", (int)bytes[1][0]);
  RecordProperty("bytes63single", (int)bytes[1][1]);
  EXPECT_LT(bytes[0][0], 20u * 1000 * 1000);
  EXPECT_GT(bytes[1][0], bytes[0][0] * 10);
  EXPECT_LT(bytes[1][1] * 10, bytes[1][0]);
  EXPECT_LT(bytes[0][1], bytes[0][0]);
}
