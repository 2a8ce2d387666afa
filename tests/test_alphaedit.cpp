// The alphabet dialog's logic: code points in hexadecimal, the table's two forms and row
// operations, building the alphabet, and applying it to a document without losing its letters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "alphabet/alphaedit.h"
#include "core/hooks.h"
#include "core/undo.h"
#include "dicts/dicts.h"
#include "filler/filler.h"
#include "grid/alphachange.h"
#include "grid/zyn.h"
#include "tests/testutil.h"

namespace {

std::vector<int> hex(const char* text, int max) {
  int out[8];
  int n = hextocps(out, text, max);
  EXPECT_EQ(out[n], 0);
  return std::vector<int>(out, out + n);
}

// The code of a character in the current alphabet (0 when it has none).
int code(const char* ch) {
  for (int c = 1; c <= MAXICC; c++)
    if (icccp[c] != 63 && !strcmp(icctext[c], ch)) return c;
  return 0;
}

ABM bitof(const char* ch) { return 1ULL << (code(ch) - 1); }

// Answers to the question asked before cells change, and what was asked.
std::vector<std::string> asked;
int reply;
int ask(const char* q) {
  asked.push_back(q);
  return reply;
}

class AlphaChange : public ::testing::Test {
 protected:
  void SetUp() override {
    resetdocument(3);
    loadwords({"cab", "abe"});
    asked.clear();
  }
  void TearDown() override {
    filler_stop();
    dictsfree();
  }
  // Put the text of a row of characters into the grid's top row.
  void type(const std::vector<const char*>& chars) {
    for (size_t x = 0; x < chars.size(); x++) sqarray[x][0].charsets[0][0] = bitof(chars[x]);
    undo_push();
  }
  std::string row0() {
    std::string s;
    for (int x = 0; x < width; x++) {
      ABM b = sqarray[x][0].charsets[0][0];
      s += b == ABM_ALL ? "." : icctext[__builtin_ctzll(b) + 1];
    }
    return s;
  }
};

}  // namespace

TEST(AlphaEdit, HexadecimalCodePoints) {
  EXPECT_EQ(hex("U+0041 U+00C9", 2), (std::vector<int>{0x41, 0xC9}));
  EXPECT_EQ(hex("U+0041 U+0007 U+0042", 5), (std::vector<int>{0x41}));  // unprintable ends the list
  EXPECT_EQ(hex("ghij klmn", 2), std::vector<int>{});
  EXPECT_EQ(hex("41,42;43", 2), (std::vector<int>{0x41, 0x42}));
  EXPECT_EQ(hex("U+FFFFFFFFFFFF", 2), std::vector<int>{});
  int cps[] = {0x41, 0x1F600, 0x7, 0};
  EXPECT_EQ(cpstohex(cps + 3), "");
  cps[2] = 0;
  EXPECT_EQ(cpstohex(cps), "U+0041 U+1F600");
}

TEST(AlphaEdit, FormsAndRowOperations) {
  resetengine();
  alphatable t = alphabuiltin(9);  // German: A to Z, then AE, OE, UE, SS
  t[1].rep = "É";
  alphaconvert(t, AM_TEXT, AM_CODES);
  EXPECT_EQ(t[1].rep, "U+00C9");
  EXPECT_EQ(t[26].rep, "U+0041 U+0045");
  EXPECT_EQ(t[26].equiv, "U+00C4 U+00E4");
  EXPECT_EQ(alpharowkind(t[1], AM_CODES), 1);
  EXPECT_EQ(alpharowkind(t[26], AM_CODES), 2);
  t[2].rep = "ghij";  // no hexadecimal digit: no code point
  EXPECT_EQ(alpharowkind(t[2], AM_CODES), 0);
  alphaconvert(t, AM_CODES, AM_TEXT);
  EXPECT_EQ(t[1].rep, "É");
  EXPECT_EQ(t[26].rep, "AE");
  EXPECT_EQ(t[26].equiv, "Ää");
  EXPECT_EQ(t[2].rep, "");
  EXPECT_EQ(t[0].equiv, "aÀáÁàâÂåÅãÃ");

  // Insert at row 1: every row moves down and the last row's content is lost.
  t[59].rep = "Ω";
  alpharowins(t, 0);
  EXPECT_EQ(t[0].rep, "");
  EXPECT_FALSE(t[0].inat || t[0].inhash || t[0].seq);
  EXPECT_EQ(t[1].rep, "A");
  EXPECT_EQ(t[27].rep, "AE");
  EXPECT_EQ(t[59].rep, "");
  alpharowswap(t, 1);
  EXPECT_EQ(t[1].rep, "É");
  EXPECT_EQ(t[2].rep, "A");
  EXPECT_TRUE(t[2].inat);
  // Deleting row 59 moves row 60 up and clears row 60.
  t[59].rep = "Z";
  alpharowdel(t, 58);
  EXPECT_EQ(t[58].rep, "Z");
  EXPECT_EQ(t[59].rep, "");
}

TEST(AlphaEdit, InstallReportsRefusals) {
  resetengine();
  alphatable t = alphabuiltin(0);
  EXPECT_EQ(alphainstall(t), 0);
  EXPECT_EQ(alphacurrent()[4].equiv, t[4].equiv);
  t[1].rep = " ";
  EXPECT_EQ(alphainstall(t), 1 << 1);
  EXPECT_STREQ(icctext[2], "?");
  EXPECT_EQ(alphacurrent()[1].rep, "");  // a refused entry shows empty
  t[1].rep = "B";
  t[2].equiv = "c,";
  EXPECT_EQ(alphainstall(t), 1 << 2);
  EXPECT_EQ(cptoicc['c'], 3);
}

TEST_F(AlphaChange, RowsMoveButCellsKeepTheirLetters) {
  type({"C", "A", "T"});
  alphatable t = alphacurrent();
  alpharowins(t, 0);
  t[0].rep = "Þ";
  EXPECT_EQ(applyalphabet(t, ask), 0);
  EXPECT_TRUE(asked.empty());
  EXPECT_EQ(code("A"), 2);
  EXPECT_EQ(row0(), "CAT");
  // The word lists were read again in the new codes.
  const char cab[] = {(char)code("C"), (char)code("A"), (char)code("B"), 0};
  EXPECT_GE(findanswer(cab), 0);
}

TEST_F(AlphaChange, AskedBeforeLettersGoAndUndoneWithTheAlphabet) {
  msgcapture cap;
  alphaload(18);  // Swedish, as the document was made
  type({"Å", "B", "E"});
  msgconstr[0][0] = bitof("E") | ABM_DASH;
  undo_start();
  EXPECT_EQ(row0(), "ÅBE");
  int steps = undo_steps();

  // Russian has none of the three letters: the user is asked and declines.
  reply = 0;
  EXPECT_EQ(applyalphabet(alphabuiltin(15), ask), 1);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], alphachangequestion(3));
  EXPECT_NE(asked[0].find("changes 3 cells"), std::string::npos);
  EXPECT_STREQ(icctext[27], "Å");
  EXPECT_EQ(row0(), "ÅBE");
  EXPECT_EQ(undo_steps(), steps);

  // Roman A-Z folds Å into A: one cell changes; accepted.
  reply = 1;
  EXPECT_EQ(applyalphabet(alphabuiltin(0), ask), 0);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[1], alphachangequestion(1));
  EXPECT_EQ(row0(), "ABE");
  EXPECT_EQ(msgconstr[0][0], bitof("E") | ABM_DASH);
  EXPECT_EQ(undo_steps(), steps + 1);
  EXPECT_EQ(cap.msgs.size(), 0u);

  // Undo brings back Swedish with the grid; Redo the Roman alphabet.
  ASSERT_EQ(undo_undo(), 0);
  EXPECT_STREQ(icctext[27], "Å");
  EXPECT_EQ(row0(), "ÅBE");
  ASSERT_EQ(undo_redo(), 0);
  EXPECT_EQ(code("Å"), 0);
  EXPECT_EQ(row0(), "ABE");

  // An alphabet without E removes it from the cell and the constraint; an emptied cell is
  // empty, not impossible.
  alphatable t = alphacurrent();
  t[4] = alpharow();
  EXPECT_EQ(applyalphabet(t, ask), 0);
  EXPECT_EQ(row0(), "AB.");
  EXPECT_EQ(msgconstr[0][0], ABM_ALLDASH);
  // Without anyone to ask, nothing changes.
  EXPECT_EQ(applyalphabet(alphabuiltin(15), nullptr), 1);
  EXPECT_EQ(row0(), "AB.");
}
