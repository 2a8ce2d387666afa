// Block patterns: each style's rules on the grids it makes, checked through the lights that
// rebuild finds; symmetry, connection, what was there before, the selection, the outcomes that
// refuse, and the quick fill check with the word lists.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/undo.h"
#include "dicts/dicts.h"
#include "filler/filler.h"
#include "grid/geometry.h"
#include "grid/lights.h"
#include "grid/pattern.h"
#include "grid/select.h"
#include "grid/symm.h"
#include "tests/testutil.h"

namespace {

typedef std::vector<std::string> rows;

rows picture() {
  rows r(height, std::string(width, '.'));
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) r[y][x] = sqarray[x][y].sqflags & SQF_BLOCK ? '#' : '.';
  return r;
}

int blocks() {
  int n = 0;
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++) n += (sqarray[x][y].sqflags & SQF_BLOCK) != 0;
  return n;
}

// Every block's images under the document's symmetry are blocks.
bool symmetric() {
  bool ok = true;
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++)
      if (sqarray[x][y].sqflags & SQF_BLOCK)
        symmapply([](int ix, int iy, int, void* v) { *(bool*)v = *(bool*)v && (sqarray[ix][iy].sqflags & SQF_BLOCK); },
                  &ok, x, y, 0);
  return ok;
}

// Every clear square reachable from the first across edges without bars.
bool connected() {
  std::vector<sqpos> todo;
  std::vector<std::vector<char>> seen(width, std::vector<char>(height, 0));
  int total = 0, reached = 0;
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++)
      if (isclear(x, y)) {
        total++;
        if (todo.empty() && !reached) todo.push_back({x, y}), seen[x][y] = 1, reached = 1;
      }
  while (!todo.empty()) {
    sqpos q = todo.back();
    todo.pop_back();
    for (int e = 0; e < 4; e++) {
      int nx = q.x, ny = q.y;
      stepnext(nx, ny, e);
      if (!isclear(nx, ny) || seen[nx][ny] || isbar(q.x, q.y, e)) continue;
      seen[nx][ny] = 1, reached++;
      todo.push_back({nx, ny});
    }
  }
  return reached == total;
}

// The rules of a style, read from the words and entries of a rebuild.
void expectrules(int style, int minlen) {
  filler_stop();
  ASSERT_EQ(rebuild(), 0);
  for (int i = 0; i < nw; i++) EXPECT_GE(words[i].nent, minlen) << "word " << i;
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++) {
      if (!isclear(x, y)) continue;
      int e = entryat(x, y, 0, 0);
      ASSERT_GE(e, 0);
      int least = style == PAT_AMERICAN ? 2 : 1;  // American: every cell checked; else in some light
      EXPECT_GE(entries[e].checking, least) << x << "," << y;
      for (int d = 0; d < 2; d++) EXPECT_FALSE(sqarray[x][y].chk[d] & CHK_TWO) << x << "," << y;
    }
  EXPECT_TRUE(symmetric());
  EXPECT_TRUE(connected());
}

// An empty plain grid with twofold symmetry and no word lists (the fill check is then skipped);
// the background fill the last edit started is stopped first.
void fresh(int size) {
  filler_stop();
  resetdocument(size);
  dictsfree();
}

class Pattern : public ::testing::Test {
 protected:
  void SetUp() override { fresh(15); }
  void TearDown() override { filler_stop(); }
};

TEST_F(Pattern, EachStyleKeepsItsRulesAndIsRepeatableForItsSeed) {
  struct tc {
    int style, size;
    unsigned seed;
  } cases[] = {
      {PAT_AMERICAN, 15, 1}, {PAT_AMERICAN, 15, 2}, {PAT_AMERICAN, 21, 3}, {PAT_BRITISH, 15, 4},
      {PAT_BRITISH, 21, 5},  {PAT_FREE, 15, 6},     {PAT_FREE, 21, 7},
  };
  for (const tc& c : cases) {
    SCOPED_TRACE(std::string(patstylenames[c.style]) + " " + std::to_string(c.size) + " seed " + std::to_string(c.seed));
    fresh(c.size);
    patternparams p;
    p.style = c.style;
    p.seed = c.seed;
    patternshares(c.style, &p.minshare, &p.maxshare);
    int steps = undo_steps();
    patternresult res;
    editreport r = generateblocks(p, &res);
    ASSERT_EQ(res.status, PS_OK) << patternmessage(res.status);
    EXPECT_TRUE(r.done && r.all);
    EXPECT_EQ(undo_steps(), steps + 1);
    EXPECT_EQ(res.blocks, blocks());
    EXPECT_EQ(res.squares, c.size * c.size);
    EXPECT_GE(blocks() * 100, p.minshare * c.size * c.size);
    EXPECT_LE(blocks() * 100, (p.maxshare + 1) * c.size * c.size);
    expectrules(c.style, 3);
    if (c.style == PAT_BRITISH) {
      for (int x = 0; x < width; x++)
        for (int y = 0; y < height; y++)
          if (chequerblock(x, y, 0)) {
            EXPECT_TRUE(sqarray[x][y].sqflags & SQF_BLOCK) << "base " << x << "," << y;
          }
    }
    rows first = picture();
    fresh(c.size);
    generateblocks(p, &res);
    EXPECT_EQ(picture(), first);
    undo_undo();
    EXPECT_EQ(blocks(), 0);
  }
}

TEST_F(Pattern, LongerMinimumAndAnotherParity) {
  patternparams p;
  p.minlen = 4;
  p.seed = 11;
  ASSERT_EQ(generateblocks(p, nullptr).done, 1);
  expectrules(PAT_AMERICAN, 4);
  fresh(15);
  p.style = PAT_BRITISH;
  p.minlen = 3;
  p.parity = 3;
  patternshares(PAT_BRITISH, &p.minshare, &p.maxshare);
  ASSERT_EQ(generateblocks(p, nullptr).done, 1);
  expectrules(PAT_BRITISH, 3);
  EXPECT_TRUE(sqarray[0][0].sqflags & SQF_BLOCK);  // the base of template 3 has its corners blocked
}

// Blocks, bars and letters already there stay; the new blocks keep off lettered cells, and the
// rules hold around them.
TEST_F(Pattern, KeepsWhatIsThere) {
  sqarray[4][0].sqflags = sqarray[10][14].sqflags = SQF_BLOCK;
  sqarray[7][7].charsets[0][0] = 1ULL << ('Q' - 'A');
  sqarray[3][7].bars = 1;  // a bar after (3, 7) and its image before (11, 7)
  sqarray[10][7].bars = 1;
  patternparams p;
  p.seed = 5;
  patternresult res;
  ASSERT_EQ(generateblocks(p, &res).done, 1) << patternmessage(res.status);
  EXPECT_TRUE(sqarray[4][0].sqflags & SQF_BLOCK);
  EXPECT_TRUE(sqarray[10][14].sqflags & SQF_BLOCK);
  EXPECT_FALSE(sqarray[7][7].sqflags & SQF_BLOCK);
  EXPECT_EQ(sqarray[7][7].charsets[0][0], 1ULL << ('Q' - 'A'));
  EXPECT_EQ(sqarray[3][7].bars, 1u);
  expectrules(PAT_AMERICAN, 3);
}

// Pre-placed blocks that leave two-letter lights are mended by blocking them out.
TEST_F(Pattern, MendsShortLightsItFinds) {
  sqarray[2][0].sqflags = sqarray[12][14].sqflags = SQF_BLOCK;  // A 2-cell light at the top left
  patternparams p;
  p.seed = 9;
  ASSERT_EQ(generateblocks(p, nullptr).done, 1);
  expectrules(PAT_AMERICAN, 3);
}

TEST_F(Pattern, SelectedCellsOnly) {
  setnosymmetry();
  for (int x = 0; x < 15; x++)
    for (int y = 0; y < 7; y++) sqarray[x][y].sqflags |= SQF_SEL;
  countsel();
  patternparams p;
  p.selonly = 1;
  p.seed = 3;
  patternresult res;
  ASSERT_EQ(generateblocks(p, &res).done, 1) << patternmessage(res.status);
  EXPECT_EQ(res.squares, 15 * 7);
  EXPECT_GT(blocks(), 0);
  for (int x = 0; x < 15; x++)
    for (int y = 7; y < 15; y++) EXPECT_FALSE(sqarray[x][y].sqflags & SQF_BLOCK) << x << "," << y;
  EXPECT_TRUE(connected());
}

// Refusals change nothing and push no undo step.
TEST_F(Pattern, Refusals) {
  struct tc {
    const char* what;
    void (*setup)(patternparams&);
    int status;
  } cases[] = {
      {"hexagonal grid", [](patternparams&) { gtype = 1; }, PS_NOTPLAIN},
      {"no selection", [](patternparams& p) { p.selonly = 1; }, PS_NOSEL},
      {"minimum too short", [](patternparams& p) { p.minlen = 1; }, PS_BADPARAMS},
      {"share range upside down", [](patternparams& p) { p.minshare = 20, p.maxshare = 10; }, PS_BADPARAMS},
      {"British base on an even grid under a half turn",
       [](patternparams& p) {
         fresh(14);
         p.style = PAT_BRITISH;
       },
       PS_NOBASE},
      {"grid already cut in two",
       [](patternparams&) {
         for (int y = 0; y < 15; y++) sqarray[7][y].sqflags = SQF_BLOCK;
       },
       PS_SPLIT},
      {"every square lettered",
       [](patternparams&) {
         for (int x = 0; x < 15; x++)
           for (int y = 0; y < 15; y++) sqarray[x][y].charsets[0][0] = 1;
       },
       PS_NOPATTERN},
  };
  for (const tc& c : cases) {
    SCOPED_TRACE(c.what);
    fresh(15);
    patternparams p;
    c.setup(p);
    rows before = picture();
    int steps = undo_steps();
    patternresult res;
    EXPECT_EQ(generateblocks(p, &res).done, 0);
    EXPECT_EQ(res.status, c.status);
    EXPECT_STRNE(patternmessage(res.status), "");
    EXPECT_EQ(picture(), before);
    EXPECT_EQ(undo_steps(), steps);
  }
}

// With word lists loaded, a pattern is taken only when every light has a candidate after
// propagation: a list without long words refuses every American 15x15 pattern. (Two words of
// each length keep every cell open to two letters, so no word is settled twice.)
TEST_F(Pattern, FillCheckWithTheWordLists) {
  std::vector<std::string> words;
  for (int n = 3; n <= 15; n++) words.push_back(std::string(n, 'a')), words.push_back(std::string(n, 'b'));
  ASSERT_EQ(loadwords(words), 0);
  patternparams p;
  patternresult res;
  ASSERT_EQ(generateblocks(p, &res).done, 1);
  EXPECT_EQ(res.checked, 1);
  undo_undo();
  words.resize(8);  // lengths 3 to 6 only
  filler_stop();  // the lists change under the assistance that Undo started
  ASSERT_EQ(loadwords(words), 0);
  EXPECT_EQ(generateblocks(p, &res).done, 0);
  EXPECT_EQ(res.status, PS_NOTFILLABLE);
  EXPECT_EQ(blocks(), 0);
  filler_stop();
}

}  // namespace
