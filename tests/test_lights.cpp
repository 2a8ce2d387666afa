// Words, entries and numbering: what rebuild() derives from the squares and free lights.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/prefs.h"
#include "grid/geometry.h"
#include "grid/lights.h"
#include "tests/testutil.h"

namespace {

void setgrid(int gt, const std::vector<std::string>& rows) {
  loadprefdefaults();
  drawgrid(gt, rows);
  ASSERT_EQ(rebuild(), 0);
}

const std::vector<std::string> three = {"...", ".#.", "..."};

int num(int x, int y) { return sqarray[x][y].number; }

lightprops* ownlight(int x, int y, int d) {
  lightprops* l = &sqarray[x][y].lightrec[d];
  l->lightown = 1;
  return l;
}

const word& wordof(int x, int y, int d, int layer = 0) {
  int w = wordat(x, y, d, layer);
  EXPECT_GE(w, 0);
  return words[w < 0 ? 0 : w];
}

int entidx(const entry* e) { return (int)(e - entries); }

}  // namespace

TEST(Lights, ThreeByThreeWithCentreBlock) {
  setgrid(0, three);
  EXPECT_EQ(num(0, 0), 1);
  EXPECT_EQ(num(2, 0), 2);
  EXPECT_EQ(num(0, 2), 3);
  for (auto [x, y] : {std::pair{1, 0}, std::pair{0, 1}, std::pair{2, 1}, std::pair{1, 1}, std::pair{2, 2}})
    EXPECT_EQ(num(x, y), -1);
  EXPECT_EQ(nw, 4);
  EXPECT_EQ(ne, 8);
  EXPECT_EQ(nc, 12);
  // Words in direction order, then row by row.
  EXPECT_EQ(words[0].ldir, 0);
  EXPECT_EQ(words[1].gy, 2);
  EXPECT_EQ(words[2].ldir, 1);
  EXPECT_EQ(words[3].gx, 2);
  const word& across = wordof(0, 0, 0);
  const word& down = wordof(2, 0, 1);
  EXPECT_EQ(across.e[2], down.e[0]);  // the shared corner
  EXPECT_EQ(entryat(2, 0, 0, 0), entidx(down.e[0]));
  EXPECT_EQ(entryat(1, 1, 0, 0), -1);
  EXPECT_EQ(across.e[0]->checking, 2);
  EXPECT_EQ(across.e[1]->checking, 1);
  EXPECT_EQ(across.nent, 3);
  EXPECT_EQ(across.wlen, 3);
  EXPECT_EQ(across.jlen, 3);
  EXPECT_EQ(across.lp, &deflight);
  EXPECT_EQ(gstats.len[3].count, 4);
  EXPECT_EQ(gstats.len[3].minchk, 2);
  EXPECT_EQ(gstats.len[3].sumchk, 8);
  EXPECT_EQ(gstats.ncells, 8);
  EXPECT_EQ(gstats.ncheckedcells, 4);
  EXPECT_EQ(gstats.nempty, 8);
  // Rebuilding again gives the same result.
  ASSERT_EQ(rebuild(), 0);
  EXPECT_EQ(nw, 4);
  EXPECT_EQ(nc, 12);
  EXPECT_EQ(words[0].e[0]->checking, 2);
}

TEST(Lights, HexColumnsAreNumberedEvenFirst) {
  setgrid(1, {"....", "...."});
  int want[4][2] = {{1, 5}, {3, 6}, {2, -1}, {4, -1}};
  for (int x = 0; x < 4; x++)
    for (int y = 0; y < 2; y++) EXPECT_EQ(num(x, y), want[x][y]) << x << "," << y;
}

TEST(Lights, NumberingPropertiesAndEmptyDictionaryMask) {
  setgrid(0, three);
  ownlight(2, 0, 1)->nonumber = 1;
  ownlight(0, 0, 0)->nonumber = 1;  // (0,0) still numbered through its Down light
  ownlight(0, 2, 0)->dmask = 0;
  ASSERT_EQ(rebuild(), 0);
  EXPECT_EQ(num(0, 0), 1);
  EXPECT_EQ(num(2, 0), -1);
  EXPECT_EQ(num(0, 2), 2);  // numbered although it has no word
  EXPECT_EQ(nw, 3);
  EXPECT_EQ(wordat(0, 2, 0, 0), -1);
  EXPECT_EQ(gstats.nbadlights, 0);
  EXPECT_EQ(wordof(2, 0, 1).lp, &sqarray[2][0].lightrec[1]);
  // A light's own record counts only with lightown set.
  sqarray[0][2].lightrec[0].lightown = 0;
  ASSERT_EQ(rebuild(), 0);
  EXPECT_EQ(nw, 4);
}

TEST(Lights, MultiCharacterCellsWithAndWithoutMultiplex) {
  struct mcase {
    int layered, nwords, nent;
  } cases[] = {{0, 1, 6}, {1, 3, 3}};
  for (const mcase& c : cases) {
    SCOPED_TRACE(c.layered);
    setgrid(0, {"..."});
    sqarray[1][0].nchars[0] = 3;
    sqarray[2][0].nchars[0] = 2;
    for (int k = 0; k < 3; k++) sqarray[1][0].charsets[0][k] = 1ULL << k;
    deflight.layered = c.layered;
    ASSERT_EQ(rebuild(), 0);
    EXPECT_EQ(ne, 6);
    EXPECT_EQ(nw, c.nwords);
    for (int l = 0; l < c.nwords; l++) {
      const word& w = wordof(0, 0, 0, l);
      EXPECT_EQ(w.nent, c.nent);
      EXPECT_EQ(w.layer, l);
    }
  }
  // Layer 2 takes the middle cell's third character and, wrapping, the last cell's first.
  const word& w = wordof(0, 0, 0, 2);
  EXPECT_EQ(w.e[1]->flbm, 4u);
  EXPECT_EQ(entidx(w.e[2]), entryat(2, 0, 0, 0));
  EXPECT_EQ(lightmaxchars(2, 0, 0), 3);
  // Without multiplex the characters of a cell follow each other in order.
  deflight.layered = 0;
  ASSERT_EQ(rebuild(), 0);
  EXPECT_EQ(words[0].e[3]->flbm, 4u);
  // A light whose cells hold nothing gives no word and is counted.
  setgrid(0, {".."});
  sqarray[0][0].nchars[0] = sqarray[1][0].nchars[0] = 0;
  ASSERT_EQ(rebuild(), 0);
  EXPECT_EQ(nw, 0);
  EXPECT_EQ(ne, 0);
  EXPECT_EQ(gstats.nbadlights, 1);
}

TEST(Lights, UnlinkedCellsGiveEachDirectionItsOwnSlot) {
  setgrid(0, three);
  owncell(0, 0)->unlinked = 1;
  sqarray[0][0].nchars[1] = 1;
  sqarray[0][0].charsets[0][0] = 1;
  sqarray[0][0].charsets[1][0] = 2;
  ASSERT_EQ(rebuild(), 0);
  EXPECT_EQ(ne, 9);
  EXPECT_EQ(wordof(0, 0, 0).e[0]->flbm, 1u);
  EXPECT_EQ(wordof(0, 0, 1).e[0]->flbm, 2u);
  EXPECT_EQ(wordof(0, 0, 0).e[0]->checking, 1);
  // A free light through the cell reads every slot in order.
  nfreelights = 1;
  freelights[0].n = 2;
  freelights[0].x[0] = 0, freelights[0].y[0] = 0;
  freelights[0].x[1] = 1, freelights[0].y[1] = 0;
  ASSERT_EQ(rebuild(), 0);
  const word& f = words[wordat(0, 0, 100, 0)];
  ASSERT_EQ(f.nent, 3);
  EXPECT_EQ(f.e[0]->flbm, 1u);
  EXPECT_EQ(f.e[1]->flbm, 2u);
  EXPECT_EQ(f.ldir, 100);
  EXPECT_EQ(num(0, 0), 1);
}

TEST(Lights, CheckingFlags) {
  // Row 0 is the light under test; a clear square below a cell checks it with a Down light.
  struct chkcase {
    const char* below;
    int flags;
  } cases[] = {
      {"..#..", 0},
      {".#.#.", CHK_UNDER},
      {".##..", CHK_TWO | CHK_UNDER},
      {".###.", CHK_TWO | CHK_THREE | CHK_UNDER},
      {"#####", CHK_TWO | CHK_THREE | CHK_UNDER},
      {".....", CHK_OVER},
      {"....#", 0},  // one checked cell beyond the limit is tolerated
  };
  for (const chkcase& c : cases) {
    SCOPED_TRACE(c.below);
    setgrid(0, {".....", c.below});
    EXPECT_EQ(sqarray[0][0].chk[0], c.flags);
    EXPECT_EQ(gstats.ntwounch > 0, (c.flags & CHK_TWO) != 0);
    EXPECT_EQ(gstats.nthreeunch > 0, (c.flags & CHK_THREE) != 0);
  }
  setgrid(0, {".....", "....."});
  prefdata[PREF_STATS_MAX_CHECK_PERCENT] = 100;
  ASSERT_EQ(rebuild(), 0);
  EXPECT_EQ(sqarray[0][0].chk[0], 0);
  EXPECT_EQ(gstats.len[5].over, 0);
}

TEST(Lights, FreeLights) {
  setgrid(0, three);
  nfreelights = 2;
  int path[3][2] = {{0, 0}, {1, 1}, {2, 2}};  // through the centre block
  freelights[0].n = 3;
  for (int i = 0; i < 3; i++) freelights[0].x[i] = path[i][0], freelights[0].y[i] = path[i][1];
  freelights[1].n = 1;
  freelights[1].x[0] = freelights[1].y[0] = 1;
  ASSERT_EQ(rebuild(), 0);
  EXPECT_EQ(nw, 5);
  const word& f = words[wordat(0, 0, 100, 0)];
  EXPECT_EQ(f.nent, 2);
  EXPECT_EQ(entidx(f.e[1]), entryat(2, 2, 0, 0));
  EXPECT_EQ(f.e[0]->checking, 3);
  EXPECT_EQ(wordat(0, 0, 101, 0), -1);
  EXPECT_EQ(gstats.nbadfree, 1);
  EXPECT_EQ(num(1, 1), -1);
  EXPECT_EQ(wordat(0, 0, 102, 0), -1);

  // 250 entries make a word, one more does not.
  freelights[1].n = MXCL;
  for (int i = 0; i < MXCL; i++) freelights[1].x[i] = i % 3, freelights[1].y[i] = 0;
  ASSERT_EQ(rebuild(), 0);
  EXPECT_EQ(words[wordat(0, 0, 101, 0)].nent, MXCL);
  sqarray[1][0].nchars[0] = 2;
  ASSERT_EQ(rebuild(), 0);
  EXPECT_EQ(wordat(0, 0, 101, 0), -1);
  EXPECT_EQ(gstats.nbadfree, 1);
  lightpos pos[MXCL];
  EXPECT_EQ(lightpositions(pos, 0, 0, 101, 0), -2);
}

TEST(Lights, LightTooLongForAWord) {
  setgrid(0, {std::string(63, '.')});
  for (int x = 0; x < 63; x++) sqarray[x][0].nchars[0] = 4;
  ASSERT_EQ(rebuild(), 0);
  EXPECT_EQ(nw, 0);
  EXPECT_EQ(ne, 252);
  EXPECT_EQ(gstats.nbadlights, 1);
  EXPECT_EQ(num(0, 0), 1);
}

TEST(Lights, LightPositions) {
  setgrid(9, {"....", "..#.", "#..."});
  lightpos pos[MXCL];
  EXPECT_EQ(lightpositions(pos, 2, 1, 0, 0), 0);   // block
  EXPECT_EQ(lightpositions(pos, 1, 0, 0, 0), -1);  // ring
  ASSERT_EQ(lightpositions(pos, 1, 1, 0, 0), 3);
  EXPECT_EQ(pos[0].x, 3);  // starts after the block and wraps
  EXPECT_EQ(pos[2].x, 1);
  // A clear square in no light gives its own positions.
  setgrid(0, {".#.", "###"});
  sqarray[2][0].nchars[0] = 2;
  EXPECT_EQ(lightpositions(pos, 2, 0, 0, 0), 2);
  EXPECT_EQ(pos[1].pos, 1);
}

TEST(Lights, TreatmentIndicesFollowTheFlaggedCells) {
  setgrid(0, three);
  owncell(2, 0)->treatcell = 1;
  owncell(1, 0)->treatcell = 1;
  setmerge(0, 2, 0, 1);        // (0,2)-(1,2): one cell, indexed once
  owncell(0, 2)->treatcell = 1;
  owncell(1, 2)->treatcell = 1;
  ASSERT_EQ(rebuild(), 0);
  EXPECT_EQ(sqarray[1][0].goi, 0);
  EXPECT_EQ(sqarray[2][0].goi, 1);
  EXPECT_EQ(sqarray[0][2].goi, 2);
  EXPECT_EQ(sqarray[1][2].goi, -1);
  // The words see this rebuild's indices, not the previous ones.
  const word& a = wordof(0, 0, 0);
  EXPECT_EQ(a.goi[0], -1);
  EXPECT_EQ(a.goi[1], 0);
  EXPECT_EQ(a.goi[2], 1);
  const word& b = wordof(0, 2, 0);
  EXPECT_EQ(b.nent, 2);
  EXPECT_EQ(b.goi[0], 2);
}

TEST(Lights, CursorEntryAndWord) {
  setgrid(0, three);
  cursorx = 2, cursory = 0, cursordir = 1;
  ASSERT_EQ(rebuild(), 0);
  EXPECT_EQ(curent, entryat(2, 0, 0, 0));
  EXPECT_EQ(curword, wordat(2, 0, 1, 0));
  cursordir = 0;
  ASSERT_EQ(rebuild(), 0);
  EXPECT_EQ(curword, wordat(0, 0, 0, 0));
  cursorx = 1, cursory = 1;
  ASSERT_EQ(rebuild(), 0);
  EXPECT_EQ(curent, -1);
  EXPECT_EQ(curword, -1);
  // On a multiplexed light the layer picks both the entry and the word.
  setgrid(0, {"..."});
  deflight.layered = 1;
  sqarray[1][0].nchars[0] = 2;
  cursorx = 1, cursordir = 0, cursorlayer = 1;
  ASSERT_EQ(rebuild(), 0);
  EXPECT_EQ(curent, entryat(1, 0, 0, 1));
  EXPECT_EQ(curword, wordat(0, 0, 0, 1));
}

TEST(Lights, EntryContentsAndStatistics) {
  setgrid(0, {"....", "####"});
  sqarray[0][0].charsets[0][0] = 1;               // A
  sqarray[1][0].charsets[0][0] = 3 | ABM_DASH;    // A or B; the no-character bit is dropped
  sqarray[2][0].charsets[0][0] = 0;
  sqarray[3][0].sqflags = SQF_SEL;
  ASSERT_EQ(rebuild(), 0);
  EXPECT_EQ(entries[1].flbm, 3u);
  EXPECT_EQ(gstats.ccount[1], 1);
  EXPECT_EQ(gstats.nmulti, 2);
  EXPECT_EQ(gstats.nempty, 1);
  EXPECT_EQ(entries[3].sel, 1);
  EXPECT_EQ(entries[0].sel, 0);
  EXPECT_EQ(gstats.len[4].under, 1);
  EXPECT_EQ(gstats.nlights, 1);
  EXPECT_EQ(gstats.nchars, 4);
}

TEST(Lights, FillerFieldsAreFreedAndCleared) {
  setgrid(0, three);
  words[0].flist = (int*)malloc(16);
  words[0].flistlen = 4;
  words[1].jdata = malloc(128);
  words[1].jflbm = (ABM*)malloc(64);
  words[2].sdata = (double*)malloc(64);
  words[2].commitdep = 3;
  words[3].fe = 1;
  entries[0].flbmh = 5;
  entries[0].score[3] = 1.5;
  ASSERT_EQ(rebuild(), 0);  // the leak checker reports any list not freed
  for (int i = 0; i < nw; i++) {
    EXPECT_EQ(words[i].flist, nullptr);
    EXPECT_EQ(words[i].flistlen, 0);
    EXPECT_EQ(words[i].jdata, nullptr);
    EXPECT_EQ(words[i].commitdep, 0);
    EXPECT_EQ(words[i].fe, 0);
  }
  EXPECT_EQ(entries[0].flbmh, 0u);
  EXPECT_EQ(entries[0].score[3], 0.0);
}

TEST(Lights, DocresetClearsTheDocument) {
  setgrid(0, three);
  sqarray[0][0].bars = 3;
  owncell(1, 0)->bgcolour = 0x123456;
  deflight.dmask = 7;
  defcell.fontstyle = 2;
  nfreelights = 1;
  freelights[0].n = 2;
  freelights[0].lp.ten = 1;
  treattype = 3;
  allocmode[1] = 2;
  msgconstr[1][254] = 1;
  strcpy(treatmsg[0], "HELLO");
  unsaved = 1;
  docreset();
  EXPECT_EQ(sqarray[0][0].bars, 0u);
  EXPECT_EQ(sqarray[1][1].sqflags, 0);
  EXPECT_EQ(sqarray[1][0].cellrec.cellown, 0);
  EXPECT_STREQ(sqarray[1][0].cellrec.marktexts[0], "\\#");
  EXPECT_EQ(sqarray[1][0].charsets[0][0], ABM_ALL);
  EXPECT_EQ(sqarray[1][0].nchars[1], 0);
  EXPECT_EQ(deflight.dmask, 1u);
  EXPECT_EQ(defcell.fontstyle, 0);
  EXPECT_EQ(defcell.bgcolour, 0xFFFFFFu);
  EXPECT_EQ(nfreelights, 0);
  EXPECT_EQ(freelights[0].n, 0);
  EXPECT_EQ(freelights[0].lp.ten, 0);
  EXPECT_EQ(treattype, 0);
  EXPECT_EQ(allocmode[1], 0);
  EXPECT_EQ(msgconstr[1][254], ABM_ALLDASH);
  EXPECT_EQ(treatmsg[0][0], 0);
  EXPECT_EQ(unsaved, 0);
  EXPECT_EQ(width, 3);
  EXPECT_EQ(nw, 6);  // the empty 3x3 grid, rebuilt
}
