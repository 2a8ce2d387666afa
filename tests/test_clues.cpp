// Clues in the document: the list of lights, setting clues and their limits, clues that stay
// with their lights through edits and Undo, orphans, and the native file's clue records.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/undo.h"
#include "docfile/docfile.h"
#include "filler/filler.h"
#include "grid/clues.h"
#include "grid/edit.h"
#include "grid/freelight.h"
#include "grid/gridprops.h"
#include "grid/lights.h"
#include "grid/select.h"
#include "grid/zyn.h"
#include "tests/testutil.h"

namespace {

class Clues : public ::testing::Test {
 protected:
  void SetUp() override {
    resetdocument(5);
    rotsym = 1;
    numbering();
  }
  void TearDown() override { filler_stop(); }
};

constexpr cluekey A1{0, 0, 0}, D1{0, 0, 1};

std::string textof(const cluekey& k) {
  const clue* c = cluefor(k);
  return c ? c->text : "(none)";
}

std::string save() {
  std::string p = writetemp("", ".zyn");
  strlcpy0(filename, p.c_str(), SLEN);
  EXPECT_EQ(savedocument(), 0);
  return readfile(p);
}

std::vector<std::string> load(const std::string& text) {
  msgcapture cap;
  strlcpy0(filename, writetemp(text, ".zyn").c_str(), SLEN);
  loaddocument(0);
  return cap.msgs;
}

// The lights' keys and numbers, as the clue list gives them.
std::string listing() {
  std::string s;
  for (const cluelight& l : cluelights())
    s += cluenumtext(l) + (l.k.d >= 100 ? "F" : l.k.d == 0 ? "A" : "D") + "(" + clueenum(l) + ") ";
  return s;
}

}  // namespace

TEST_F(Clues, LightsAreListedByDirectionInNumberOrderThenFreeLights) {
  drawgrid(0, {"...#", ".#..", "...."});
  setfreelight(0, {{0, 0}, {1, 0}, {2, 0}});
  numbering();
  EXPECT_EQ(listing(), "1A(3) 3A(2) 5A(4) 1D(3) 2D(3) 4D(2) 1F(3) ");
  ASSERT_EQ(clueset({3, 1, 1}, "", "1-1"), CLUE_SET);
  EXPECT_EQ(listing(), "1A(3) 3A(2) 5A(4) 1D(3) 2D(3) 4D(1-1) 1F(3) ");
}

TEST_F(Clues, SettingAClueAndItsLimits) {
  EXPECT_EQ(clueset(A1, "Taxi", ""), CLUE_SET);
  EXPECT_EQ(clueset(A1, "Taxi", ""), CLUE_UNCHANGED);
  EXPECT_EQ(clueset(A1, std::string(MXCLUE + 1, 'x'), ""), CLUE_TOOLONG);
  EXPECT_EQ(clueset(A1, "Taxi", std::string(MXENUM + 1, '1')), CLUE_TOOLONG);
  EXPECT_EQ(clueset(A1, "bad \xff byte", ""), CLUE_BADUTF8);
  EXPECT_EQ(textof(A1), "Taxi");
  EXPECT_EQ(clueset(A1, std::string(MXCLUE, 'x'), ""), CLUE_SET);
  // An empty text without an override removes the clue: the document is as if never clued.
  EXPECT_EQ(clueset(A1, "", ""), CLUE_SET);
  EXPECT_EQ(cluefor(A1), nullptr);
  EXPECT_FALSE(cluesinuse());
  // Cutting at a limit never leaves half a character.
  EXPECT_EQ(cluecut("ab\xc3\xa9", 3), "ab");
  EXPECT_EQ(cluecut("ab\xc3\xa9", 4), "ab\xc3\xa9");
  EXPECT_EQ(cluecut("\xf0\x9f\x98\x80", 3), "");
}

TEST_F(Clues, ABlockThatSplitsALightLeavesTheClueWithItsStartAndUndoBringsItBack) {
  clueset(A1, "Taxi", "");
  clueset(D1, "Down one", "");
  undo_push();
  // A block in the middle of 1 Across: the part that keeps the start square keeps the clue.
  cursorx = 2, cursory = 0, cursordir = 0;
  ASSERT_TRUE(editblock().done);
  EXPECT_EQ(textof(A1), "Taxi");
  EXPECT_EQ(textof({3, 0, 0}), "(none)");
  // A block on the start square: both lights from it go; their clues stay as orphans.
  cursorx = 0, cursory = 0;
  ASSERT_TRUE(editblock().done);
  EXPECT_EQ(cluesorphans(), 2);
  int clued, lights;
  cluecounts(&clued, &lights);
  EXPECT_EQ(clued, 0);
  // Emptying the square again brings both back, as does Undo.
  cursorx = 0, cursory = 0;
  ASSERT_TRUE(editempty().done);
  EXPECT_EQ(cluesorphans(), 0);
  EXPECT_EQ(textof(D1), "Down one");
  ASSERT_EQ(undo_undo(), 0);
  EXPECT_EQ(cluesorphans(), 2);
  ASSERT_EQ(undo_undo(), 0);
  ASSERT_EQ(undo_undo(), 0);
  EXPECT_EQ(cluesorphans(), 0);
  EXPECT_EQ(textof(A1), "Taxi");
  // Undo of the clue's own step removes it.
  ASSERT_EQ(undo_undo(), 0);
  EXPECT_FALSE(cluesinuse());
}

TEST_F(Clues, WholeGridEditsMoveCluesWithTheirLights) {
  struct {
    const char* what;
    std::function<editreport()> edit;
    cluekey across, down;  // where 1 Across and 2 Down, at (0, 1) and (1, 0) before, go
  } cases[] = {
      {"column inserted left", [] { cursorx = 0; return insertcol(0); }, {0, 1, 0}, {2, 0, 1}},
      {"row inserted above", [] { cursory = 0; return insertrow(0); }, {0, 2, 0}, {1, 0, 1}},
      {"first column deleted", [] { cursorx = 0; return deletecol(); }, {0, 1, 0}, {0, 0, 1}},
      {"flipped", [] { return flipdiag(); }, {1, 0, 1}, {0, 1, 0}},
      {"grid made larger", [] { return setgridprops("", "", 0, 6, 6); }, {0, 1, 0}, {1, 0, 1}},
      // A column of squares is no light of a hexagonal grid: the clue goes to a light through it.
      {"plain to hexagonal", [] { return setgridprops("", "", 2, 5, 5); }, {0, 1, 0}, {-1, -1, -1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    filler_stop();
    drawgrid(0, {"#....", ".....", "#....", ".....", "....."});
    rotsym = 1;
    numbering();
    clueset({0, 1, 0}, "Across", "");
    clueset({1, 0, 1}, "Down", "");
    ASSERT_TRUE(c.edit().done);
    EXPECT_EQ(textof(c.across), "Across");
    if (c.down.d >= 0) {
      EXPECT_EQ(textof(c.down), "Down");
    }
    EXPECT_EQ(cluesorphans(), 0);
  }
}

TEST_F(Clues, FreeLightCluesFollowTheirIndexAndADeletedOneBecomesAnOrphan) {
  setfreelight(0, {{0, 0}, {1, 1}});
  setfreelight(1, {{0, 4}, {1, 3}, {2, 2}});
  numbering();
  clueset({0, 0, 100}, "Diagonal", "");
  clueset({0, 0, 101}, "Other", "2,1");
  selmode = SEL_FREE;
  freelights[0].sel = 1;
  ASSERT_EQ(fldelete(), 0);
  EXPECT_EQ(textof({0, 0, 100}), "Other");
  EXPECT_EQ(cluesorphans(), 1);
  // A free light made later does not inherit the deleted light's clue.
  selmode = SEL_CELLS;
  ASSERT_EQ(flstartnew(), 0);
  EXPECT_EQ(textof({0, 0, 101}), "(none)");
  EXPECT_EQ(cluesdeleteorphans(), 1);
  EXPECT_EQ(cluesorphans(), 0);
}

TEST_F(Clues, EveryTypedByteRoundTripsAndOrphansAreSaved) {
  const std::string texts[] = {
      "Say \"cheese\" with a back\\slash \\n not a break",
      "Two lines\nof clue\n",
      "Tab\tand CR\r LF, trailing space ",
      "Ελληνικά, русский, 日本語, עברית, العربية, हिन्दी",
      "Emoji \xf0\x9f\xa6\x8a and a zero-width joiner \xe2\x80\x8d",
      "+leading plus",
  };
  for (int i = 0; i < 5; i++) clueset({0, i, 0}, texts[i], "");
  clueset({0, 0, 1}, texts[5], "2-3");
  setfreelight(0, {{0, 0}, {1, 1}});
  clueset({0, 0, 100}, "", "1,1");
  std::vector<clue> before = *cluesget();
  before.push_back({{4, 4, 1}, "An orphan", ""});  // no light starts at (4, 4)
  cluesfromfile(before);
  std::string saved = save();
  EXPECT_EQ(saved.substr(0, 8), "#ZYN2v6 ");
  resetdocument(5);
  EXPECT_TRUE(load(saved).empty());
  ASSERT_EQ(cluesget()->size(), before.size());
  for (size_t i = 0; i < before.size(); i++) {
    const clue& c = (*cluesget())[i];
    EXPECT_EQ(c.k, before[i].k);
    EXPECT_EQ(c.text, before[i].text);
    EXPECT_EQ(c.enumr, before[i].enumr);
  }
  EXPECT_EQ(cluesorphans(), 1);
  EXPECT_EQ(save(), saved);
}

TEST_F(Clues, ADocumentWithoutCluesIsSavedAsVersionFive) {
  clueset(A1, "Taxi", "");
  clueset(A1, "", "");
  std::string saved = save();
  EXPECT_EQ(saved.substr(0, 8), "#ZYN2v5 ");
  EXPECT_EQ(saved.find("\nCL"), std::string::npos);
}

TEST_F(Clues, AReleaseThatKnowsNoClueRecordsStillLoadsTheGrid) {
  // What a release without clues does with the clue records is what this one does with any
  // record it does not know: skip it and its continuation lines, load the rest, and warn.
  sqarray[2][2].sqflags = SQF_BLOCK;
  clueset(A1, "Taxi\nrank", "3");
  std::string saved = save();
  for (const char* kw : {"\nCLU ", "\nCLF "}) {
    size_t at = saved.find(kw);
    if (at != std::string::npos) saved[at + 3] = 'Z';
  }
  resetdocument(5);
  // A release that reads version 5 only warns that the file is newer instead.
  EXPECT_EQ(load(saved), std::vector<std::string>{"W:Some lines of the file were not recognised\nand have been skipped."});
  EXPECT_EQ(sqarray[2][2].sqflags, SQF_BLOCK);
  EXPECT_EQ(width, 5);
}

TEST_F(Clues, MalformedClueRecordsAreFormatErrorsAndUnknownLightsOrphans) {
  std::string head = "#ZYN2v6 t\nGP 0 5 5 1 0 0\nTTL\n+\nAUT\n+\n";
  struct {
    const char* records;
    bool error;
    int clues, orphans;
  } cases[] = {
      {"CLU 0 0 0\n+Taxi\n+\n", false, 1, 0},
      {"CLU 0 0\n+Taxi\n+\n", true, 0, 0},
      {"CLU 0 0 0\n+Taxi\n", true, 0, 0},
      {"CLU 0 0 0\n+Taxi\nEND\n+\n", true, 0, 0},
      {"CLU 0 0 0\n+bad \\q escape\n+\n", true, 0, 0},
      {"CLU 0 0 0\n+cut \\x4\n+\n", true, 0, 0},
      {"CLU 0 0 0\n+\xc3 broken\n+\n", true, 0, 0},
      {"CLU 0 0 0\n+\\x01 and \\x7f\n+\n", false, 1, 0},
      {"CLU 3 3 1\n+no light here\n+\n", false, 1, 1},
      {"CLF 7\n+no free light\n+\n", false, 1, 1},
      {"CLU 70 0 0\n+off the array\n+\n", false, 0, 0},
      {"CLU 0 0 9\n+no such direction\n+\n", false, 0, 0},
      {"CLU 0 0 0\n+First\n+\nCLU 0 0 0\n+Second\n+\n", false, 2, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.records);
    filler_stop();
    resetdocument(5);
    auto msgs = load(head + c.records + "END\n");
    EXPECT_EQ(!msgs.empty() && msgs[0].starts_with("E:File format error in "), c.error);
    EXPECT_EQ((int)cluesget()->size(), c.clues);
    EXPECT_EQ(cluesorphans(), c.orphans);
  }
  EXPECT_EQ(textof(A1), "First");
}

TEST_F(Clues, ClueFilesRoundTripAndABadFileChangesNothing) {
  drawgrid(0, {"...#", ".#..", "...."});
  setfreelight(0, {{0, 0}, {1, 0}, {2, 0}});
  numbering();
  clueset(A1, "Taxi\nwith a back\\slash", "");
  clueset({0, 2, 0}, "Whole row", "2-2");
  clueset({0, 0, 100}, "Free", "");
  std::string text = cluestext();
  EXPECT_EQ(text,
            "1A Taxi\\nwith a back\\\\slash (3)\n3A (2)\n5A Whole row (2-2)\n1D (3)\n2D (3)\n4D (2)\nF1 Free (3)\n");
  cluestore before = cluesget();
  cluesclear();
  std::string path = writetemp(text);
  {
    msgcapture cap;
    ASSERT_EQ(importclues(path.c_str()), 0);
    EXPECT_TRUE(cap.msgs.empty());
  }
  EXPECT_EQ(cluestext(), text);
  EXPECT_EQ(cluesget()->size(), before->size());
  // One undo step takes the whole import back.
  ASSERT_EQ(undo_undo(), 0);
  EXPECT_FALSE(cluesinuse());
  ASSERT_EQ(undo_redo(), 0);

  struct {
    const char* file;
    const char* message;  // "" when the import succeeds
  } cases[] = {
      {"# comments and blank lines\n\n2d Down two\n", ""},
      {"2Down  Spaced out (1,2)\r\n", ""},
      {"1A Taxi\n99A Nowhere\nF4 Nor here\n3A Short (2)\n", "W:Clue file %s:\nlines that match no light were skipped:\nline 2: no light 99A\nline 3: no light F4"},
      {"1A Taxi\nThis is not a clue line\n", "E:Clue file %s:\nline 2: expected a light such as 1A, 12D or F3 at the start"},
      {"1A Taxi\n1X Nowhere\n", "E:Clue file %s:\nline 2: no direction \"X\" in this grid"},
      {"1A Taxi\n3A Two\n1a Again\n", "E:Clue file %s:\nline 3: a second clue for 1A (the first is on line 1)"},
      {"1A Taxi\n3A Bad \xff byte\n", "E:Clue file %s:\nline 2: not UTF-8 text"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    cluesset(before);
    std::string p = writetemp(c.file);
    msgcapture cap;
    int r = importclues(p.c_str());
    char want[600];
    snprintf(want, sizeof want, c.message, p.c_str());
    EXPECT_EQ(r, c.message[0] == 'E');
    EXPECT_EQ(cap.msgs, c.message[0] ? std::vector<std::string>{want} : std::vector<std::string>{});
    if (r) {
      EXPECT_EQ(cluesget(), before);
    }
  }
  // An enumeration equal to the computed one sets no override; another one does.
  cluesset(before);
  ASSERT_EQ(importclues(writetemp("3A Short (2)\n2Down  Spaced out (1,2)\r\n").c_str()), 0);
  EXPECT_EQ(textof({2, 1, 0}), "Short");
  EXPECT_EQ(cluefor({2, 1, 0})->enumr, "");
  EXPECT_EQ(textof({2, 0, 1}), " Spaced out");
  EXPECT_EQ(cluefor({2, 0, 1})->enumr, "1,2");
}

TEST_F(Clues, ThePanesCommandsEditUndoAndMoveTheCursor) {
  drawgrid(0, {"CAB", ".#.", "..."});
  numbering();
  undo_start();
  EXPECT_EQ(clueedit(A1, "Taxi", ""), CLUE_SET);
  EXPECT_EQ(undo_steps(), 1);
  EXPECT_EQ(clueedit(A1, "Taxi", ""), CLUE_UNCHANGED);
  EXPECT_EQ(undo_steps(), 1);
  std::vector<cluelight> ls = cluelights();
  EXPECT_EQ(cluepattern(ls[1]), "???");
  // The cursor on a light's second cell belongs to that light; moving it to a light's clue.
  cursorx = 1, cursory = 2, cursordir = 0;
  EXPECT_EQ(cursorclue(), (cluekey{0, 2, 0}));
  cursorx = 1, cursory = 1;
  EXPECT_EQ(cursorclue().d, -1);
  ASSERT_EQ(cluecursor({2, 0, 1}), 0);
  EXPECT_EQ(cursorx, 2);
  EXPECT_EQ(cursordir, 1);
  EXPECT_EQ(cluecursor({1, 1, 0}), 1);
  // Orphans are deleted in one step.
  sqarray[0][0].sqflags = SQF_BLOCK;
  numbering();
  EXPECT_EQ(cluedeleteorphansstep(), 1);
  EXPECT_EQ(undo_steps(), 2);
  EXPECT_EQ(cluedeleteorphansstep(), 0);
}
