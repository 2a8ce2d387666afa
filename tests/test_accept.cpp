// Accepting hints: a fill's settled characters go into the cells and the discretionary
// message constraints; a fill that found nothing changes nothing.
#include <gtest/gtest.h>

#include "core/undo.h"
#include "filler/filler.h"
#include "grid/accept.h"
#include "grid/geometry.h"
#include "grid/lights.h"
#include "grid/zyn.h"
#include "treatment/treatment.h"
#include "tests/testutil.h"

TEST(Accept, HintsGoIntoCellsAndConstraints) {
  resetengine();
  drawgrid(0, {"...", ".#.", "..."});
  setmerge(0, 0, 0, 1);  // (0, 0) and (1, 0) are one cell
  treattype = TT_LATENT;
  allocmode[0] = 1;
  deflight.ten = 1;
  ASSERT_EQ(rebuild(), 0);
  undo_start();
  ASSERT_GT(ne, msgent0);
  const ABM A = 1, B = 2;
  for (int i = 0; i < msgent0; i++) entries[i].flbmh = i == entryat(2, 2, 0, 0) ? A | B : A;
  for (int i = msgent0; i < ne; i++) entries[i].flbmh = ABM_DASH;
  msgconstr[0][0] = A | ABM_DASH;

  EXPECT_EQ(accepthints(), 1);
  EXPECT_EQ(sqarray[0][0].charsets[0][0], A);
  EXPECT_EQ(sqarray[1][0].charsets[0][0], A);
  EXPECT_EQ(sqarray[2][2].charsets[0][0], ABM_ALL);  // two codes left: no hint
  EXPECT_EQ(msgconstr[0][0], ABM_DASH);
  EXPECT_EQ(msgconstr[0][1], ABM_DASH);
  EXPECT_EQ(undo_steps(), 1);

  // After a fill that found nothing there are no hints, and nothing changes.
  filler_stop();
  sqarray[0][1].charsets[0][0] = ABM_ALL;
  msgconstr[0][1] = ABM_ALLDASH;
  ASSERT_EQ(rebuild(), 0);
  for (int i = 0; i < ne; i++) entries[i].flbmh = 0;
  EXPECT_EQ(accepthints(), 0);
  EXPECT_EQ(sqarray[0][1].charsets[0][0], ABM_ALL);
  EXPECT_EQ(msgconstr[0][1], ABM_ALLDASH);
  filler_stop();
}
