// Dictionary reading and the answer index: the plain list format and its scores, encodings,
// filters, the one-word case, TSD files, canonical answers, merging, weights and failures.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "alphabet/alphabet.h"
#include "core/prefs.h"
#include "dicts/dicts.h"
#include "dicts/personal.h"
#include "grid/zyn.h"
#include "platform/platform.h"
#include "tests/testutil.h"

namespace {

class Dicts : public ::testing::Test {
 protected:
  void SetUp() override {
    initbitidx16();
    alphaload(0);
    debug = 0;
    for (int d = 0; d < MAXNDICTS; d++) dictpaths[d][0] = dsfilter[d][0] = dafilter[d][0] = 0;
  }
  void TearDown() override {
    dictsfree();
    debug = 0;
  }
};

void setslot(int d, const std::string& path, const char* ff = "", const char* af = "") {
  strlcpy0(dictpaths[d], path.c_str(), SLEN);
  strlcpy0(dsfilter[d], ff, SLEN);
  strlcpy0(dafilter[d], af, SLEN);
}

// Load one file into slot 1 quietly.
int load1(const std::string& bytes, const char* ff = "", const char* af = "") {
  setslot(0, writetemp(bytes), ff, af);
  return dictsload(1);
}

// The answer spelt with these characters of the current alphabet, or null.
const answer* find(const char* text) {
  int cps[SLEN];
  int n = utf8tocps(cps, text, SLEN);
  std::string s;
  for (int i = 0; i < n; i++) s += (char)cptoicc[cps[i]];
  int i = findanswer(s.c_str());
  return i < 0 ? nullptr : answerlist[i];
}

std::vector<std::string> cfs(const answer* a) {
  std::vector<std::string> r;
  for (; a; a = a->acf) r.emplace_back(a->cf);
  return r;
}

// One list line, what it loads as, and Zyn's score of it.
struct linecase {
  const char* line;
  const char* cf;  // null: nothing loaded
  const char* word;
  double score;
};

// Loads each line alone as a list and checks the one answer it gives, or that it gives none
// (counted as a line without a word where nowords is 1).
void checklines(const std::vector<linecase>& cases, int nowords) {
  for (const linecase& c : cases) {
    SCOPED_TRACE(c.line);
    int r = load1(c.line);
    if (!c.cf) {
      EXPECT_EQ(r, 2);
      EXPECT_EQ(atotal, 0);
      EXPECT_EQ(nnoword[0], nowords);
      continue;
    }
    ASSERT_EQ(r, 0);
    ASSERT_EQ(atotal, 1);
    const answer* a = find(c.word);
    ASSERT_NE(a, nullptr);
    EXPECT_STREQ(a->cf, c.cf);
    EXPECT_NEAR(log10(a->weight), c.score, 1e-9);
    EXPECT_EQ(nnoword[0], 0);
  }
}

}  // namespace

TEST_F(Dicts, LineRulesAndScores) {
  alphaload(2);  // digits count as letters here, so digits left in a citation form show
  checklines({
      {"fish 2.5\n", "fish", "FISH", 2.5},
      {"fish2.5\n", "fish2.5", "FISH25", 0},
      {"catch-22 -3\n", "catch-22", "CATCH22", -3},
      {"rock -\n", "rock", "ROCK", 0},
      {"99\n", "99", "99", 0},
      {"big 17\n", "big", "BIG", 10},
      {"low -12.5\n", "low", "LOW", -10},
      {"half 0.25\r\n", "half", "HALF", 0.3},  // stored with one decimal, rounded half up
      {"neg -0.25\n", "neg", "NEG", -0.2},
      {"dots 1.5.2\n", "dots", "DOTS", 1.5},
      {"  two words   3 \t\r\n", "  two words", "TWOWORDS", 3},
      {"end 4", "end", "END", 4},  // no line feed at the end of the file
      {" 5\n", nullptr, nullptr, 0},
      {"\r\n\n", nullptr, nullptr, 0},
  }, 0);
}

// Shared lists: a score of 0..100 after the last ";" or tab, in whole steps of Zyn's scale (50
// is 0, every 25 points one step, rounded). A line that does not end in such a number is read by
// the rules above.
TEST_F(Dicts, SharedListScores) {
  alphaload(2);
  checklines({
      {"apple;50\n", "apple", "APPLE", 0},
      {"apple;100\n", "apple", "APPLE", 2},
      {"apple;0\n", "apple", "APPLE", -2},
      {"pear\t65\n", "pear", "PEAR", 1},
      {"ice cream ; 60 \r\n", "ice cream", "ICECREAM", 0},
      {"half;62.5\n", "half", "HALF", 1},
      {"rock;roll\n", "rock;roll", "ROCKROLL", 0},
      {"rock;roll 2\n", "rock;roll", "ROCKROLL", 2},
      {"a;b;70\n", "a;b", "AB", 1},
      {"apple;;90\n", "apple", "APPLE", 2},
      {"huge;99999999999999999999999\n", "huge", "HUGE", 2},
      {"neg;-30\n", "neg", "NEG", -2},
      {"dots;5.5.5\n", "dots;5.5.5", "DOTS555", 0},
      {"exp;5e3\n", "exp;5e3", "EXP5E3", 0},
      {"trail;\n", "trail", "TRAIL", 0},
      {"catch-22;30\n", "catch-22", "CATCH22", -1},
      {";50\n", nullptr, nullptr, 0},
      {";;\n", nullptr, nullptr, 0},
  }, 1);  // a shared list's line with a score and no word is counted, not silently lost
}

// A slot's minimum score leaves out the entries scored below it, after the filters, and the
// statistics count them; each slot has its own, and an unscored word counts as 50.
TEST_F(Dicts, MinimumScore) {
  std::string a = writetemp("apple;80\nmedlar;35\nquince -0.4\nfig\n"), b = writetemp("medlar;90\n");
  setslot(0, a);
  setslot(1, b);
  dminscore[0] = 40;
  ASSERT_EQ(dictsload(1), 0);
  EXPECT_NE(find("APPLE"), nullptr);
  EXPECT_NE(find("FIG"), nullptr);
  EXPECT_NE(find("QUINCE"), nullptr);  // -0.4 is 40 on the shared scale: at the floor, kept
  EXPECT_EQ(nafteraf[0], 4);
  EXPECT_EQ(naftermin[0], 3);
  const answer* m = find("MEDLAR");  // only slot 2's entry is left
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->dmask, 2u);
  EXPECT_NEAR(log10(m->weight), 2, 1e-9);

  dminscore[0] = 41;
  ASSERT_EQ(dictsload(1), 0);
  EXPECT_EQ(find("QUINCE"), nullptr);
  EXPECT_EQ(naftermin[0], 2);
  dminscore[0] = 100;  // nothing in slot 1 reaches it
  ASSERT_EQ(dictsload(1), 0);
  EXPECT_EQ(naftermin[0], 0);
  EXPECT_EQ(dloaded, 2u);
  std::fill_n(dminscore, MAXNDICTS, 0);
}

// The personal list: its scores replace the slots' for the answers it names, its words are open
// to every light, 0 is never used; a damaged line is reported by number, skipped and kept; a
// change is written at once and read back by the next session.
TEST_F(Dicts, PersonalList) {
  std::string dir = tempdir();
  personalpath = dir + "/Zyn/personal-words.txt";
  EXPECT_EQ(personalload(), 0);  // no file yet: an empty list
  EXPECT_TRUE(personalwords.empty());
  std::string text = "pear;90\nfig;0\nbroken line\n\nquince;7x\nnewword ; 60\n";
  ASSERT_EQ(personalset("seed", 50), 0);  // makes the folder and the file
  FILE* f = fopen(personalpath.c_str(), "w");
  fputs(text.c_str(), f);
  fclose(f);
  {
    msgcapture cap;
    EXPECT_EQ(personalload(), 0);
    ASSERT_EQ(cap.msgs.size(), 1u);
    EXPECT_NE(cap.msgs[0].find("lines 3, 5 are damaged and skipped"), std::string::npos) << cap.msgs[0];
  }
  ASSERT_EQ(personalwords.size(), 3u);
  setslot(0, writetemp("pear -3\nfig 4\napple\n"));
  ASSERT_EQ(dictsload(1), 0);
  const answer* pear = find("PEAR");
  ASSERT_NE(pear, nullptr);
  EXPECT_NEAR(log10(pear->weight), 2, 1e-9);  // 90, not the slot's -3 nor their sum
  EXPECT_EQ(pear->dmask, ALLSLOTS);
  EXPECT_EQ(find("FIG")->dmask, 0u);  // never used
  ASSERT_NE(find("NEWWORD"), nullptr);
  EXPECT_STREQ(find("NEWWORD")->cf, "newword");
  EXPECT_EQ(find("APPLE")->dmask, 1u);

  // Never use, in place and in the file; the damaged lines stay in the file as they were.
  EXPECT_EQ(setpersonalanswer("apple", 0), 0);
  EXPECT_EQ(find("APPLE")->dmask, 0u);
  EXPECT_EQ(setpersonalanswer("plum", 0), 1);
  EXPECT_EQ(setpersonalanswer("''", 0), 2);
  ASSERT_EQ(personalset("apple", 0), 0);
  EXPECT_EQ(readfile(personalpath), "pear;90\nfig;0\nbroken line\n\nquince;7x\nnewword;60\napple;0\n");
  // The next session.
  personalwords.clear();
  EXPECT_EQ(personalload(), 0);
  EXPECT_EQ(personalscore("apple"), 0);
  ASSERT_EQ(dictsload(1), 0);
  EXPECT_EQ(find("APPLE")->dmask, 0u);
  personalpath.clear();
  personalwords.clear();
  runcmd("rm -rf '" + dir + "'", nullptr, nullptr);
}

// A line ends at a line feed, at a carriage return and line feed, or at a carriage return
// alone; a NUL byte is skipped. The line numbers of rejected characters count the lines so.
TEST_F(Dicts, LineEndsAndNulBytes) {
  ASSERT_EQ(load1(std::string("a'b\rc~d\r\ne\0f;g 2\nh+i\n", 20)), 0);
  EXPECT_EQ(atotal, 4);
  EXPECT_STREQ(find("CD")->cf, "c~d");
  EXPECT_STREQ(find("EFG")->cf, "ef;g");
  EXPECT_NEAR(log10(find("EFG")->weight), 2, 1e-9);
  const struct {
    int u, line;
  } rejected[] = {{'\'', 1}, {'~', 2}, {';', 3}, {'+', 4}};
  for (auto& r : rejected) EXPECT_EQ(rejline[0][r.u], r.line) << (char)r.u;
}

TEST_F(Dicts, Encodings) {
  msgcapture mc;
  // UTF-8 with and without a mark.
  ASSERT_EQ(load1("\xEF\xBB\xBF" "caf\xC3\xA9\n"), 0);
  EXPECT_STREQ(find("CAFE")->cf, "caf\xC3\xA9");
  ASSERT_EQ(load1("caf\xC3\xA9\n"), 0);
  EXPECT_STREQ(find("CAFE")->cf, "caf\xC3\xA9");

  // Without a mark each line is UTF-8 where it is valid UTF-8 and ISO-8859-1 where it is not,
  // so that one stray ISO-8859-1 byte changes nothing on the other lines.
  ASSERT_EQ(load1("ok\nx\xC3\xA9\ncaf\xE9 \xA9\nna\xC3\xAFve\n"), 0);
  EXPECT_EQ(atotal, 4);
  EXPECT_EQ(nusable[0], 4);
  EXPECT_STREQ(find("XE")->cf, "x\xC3\xA9");
  EXPECT_STREQ(find("CAFE")->cf, "caf\xC3\xA9 \xC2\xA9");
  EXPECT_STREQ(find("NAIVE")->cf, "na\xC3\xAFve");
  EXPECT_EQ(rejcount[0][0xA9], 1);
  EXPECT_EQ(rejline[0][0xA9], 3);
  // A file wholly in ISO-8859-1 reads as such.
  ASSERT_EQ(load1("caf\xE9\nna\xEFve\n"), 0);
  EXPECT_STREQ(find("CAFE")->cf, "caf\xC3\xA9");
  EXPECT_STREQ(find("NAIVE")->cf, "na\xC3\xAFve");
  EXPECT_TRUE(mc.msgs.empty());

  // A file of fewer than four bytes is not checked for a mark: FF FE is read as y-diaeresis
  // and thorn (not in the alphabet).
  ASSERT_EQ(load1("\xFF\xFE" "a"), 0);
  EXPECT_STREQ(find("YA")->cf, "\xC3\xBF\xC3\xBE" "a");
  EXPECT_TRUE(mc.msgs.empty());

  // Refused encodings: nothing is loaded and the slot's message is shown.
  struct {
    std::string bytes;
    const char* msg;
  } bad[] = {
      {"\xEF\xBB\xBF" "ok\nbad\xE9\n", "E:Dictionary 1\nFile not encoded in accordance with its BOM"},
      {std::string("\xFF\xFEo\0k\0", 6), "E:Dictionary 1\nCannot read file encoding:\ntry UTF-8 or ISO-8859-1 encoding"},
      {std::string("\xFE\xFF\0o\0k", 6), "E:Dictionary 1\nCannot read file encoding:\ntry UTF-8 or ISO-8859-1 encoding"},
      {std::string("\xFF\xFE\0\0o\0\0\0", 8), "E:Dictionary 1\nCannot read file encoding:\ntry UTF-8 or ISO-8859-1 encoding"},
      {std::string("\0\0\xFE\xFF\0\0\0o", 8), "E:Dictionary 1\nCannot read file encoding:\ntry UTF-8 or ISO-8859-1 encoding"},
  };
  setslot(1, writetemp("fine\n"));
  for (auto& b : bad) {
    mc.msgs.clear();
    setslot(0, writetemp(b.bytes));
    EXPECT_EQ(dictsload(0), 1);
    EXPECT_EQ(atotal, 1);  // slot 2's word
    ASSERT_EQ(mc.msgs.size(), 1u);
    EXPECT_EQ(mc.msgs[0], b.msg);
  }
}

TEST_F(Dicts, LongLinesAreSplitBetweenCharacters) {
  // 1001 bytes before the line feed: the first piece may hold 999 bytes, which would cut the
  // two-byte e-acute in half. It moves whole to the second piece and the file stays UTF-8.
  std::string l = "w" + std::string(997, ' ') + "\xC3\xA9" + "\n";
  ASSERT_EQ(load1(l + "next\n"), 0);
  EXPECT_EQ(atotal, 3);
  EXPECT_STREQ(find("W")->cf, "w");
  EXPECT_STREQ(find("E")->cf, "\xC3\xA9");
  EXPECT_NE(find("NEXT"), nullptr);

  // In ISO-8859-1 a long line is cut at 999 bytes whatever they are; the first piece, 1000
  // bytes once converted, is skipped.
  std::string iso = "a" + std::string(997, ' ') + "\xC3\xE9\n";
  ASSERT_EQ(load1(iso), 0);
  EXPECT_EQ(atotal, 1);
  EXPECT_STREQ(find("E")->cf, "\xC3\xA9");
}

TEST_F(Dicts, Filters) {
  struct {
    const char* words;
    const char* ff;
    const char* af;
    std::vector<const char*> kept;
    int usable, afterff;
  } cases[] = {
      {"dog's\ndogs\nDOG'S\ncat\n", "^.*+(?<!'s)", "", {"DOGS", "CAT"}, 4, 2},
      {"\xC3\x89" "cole\necole\nbecole\n", "^\xC3\xA9", "", {"ECOLE"}, 3, 1},  // caseless, UTF-8
      {"ab\ncd\nx\n", "", "^[a-c]+$", {"AB"}, 3, 3},
      {"ab\nabc\n", "b$", "^A", {"AB"}, 2, 1},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.words);
    ASSERT_EQ(load1(c.words, c.ff, c.af), 0);
    EXPECT_EQ(atotal, (int)c.kept.size());
    for (const char* k : c.kept) EXPECT_NE(find(k), nullptr) << k;
    EXPECT_EQ(nusable[0], c.usable);
    EXPECT_EQ(nafterff[0], c.afterff);
    EXPECT_EQ(nafteraf[0], atotal);
  }

  // The answer filter sees the canonical form: Strasse and Straße both read STRASSE in German.
  ASSERT_EQ(alphafind("de"), 0);
  ASSERT_EQ(load1("Stra\xC3\x9F" "e\nStrase\n", "", "SS"), 0);
  EXPECT_EQ(atotal, 1);
  EXPECT_NE(find("STRASSE"), nullptr);
}

TEST_F(Dicts, BadFilterIsReportedOnceAndIgnored) {
  msgcapture mc;
  setslot(1, writetemp("one\ntwo\n"), "(", "[b");
  EXPECT_EQ(dictsload(0), 0);
  EXPECT_EQ(atotal, 2);
  ASSERT_EQ(mc.msgs.size(), 2u);
  EXPECT_EQ(mc.msgs[0].rfind("E:Dictionary 2\nBad file filter syntax: ", 0), 0u) << mc.msgs[0];
  EXPECT_NE(mc.msgs[0].find("missing closing parenthesis"), std::string::npos);
  EXPECT_EQ(mc.msgs[1].rfind("E:Dictionary 2\nBad answer filter syntax: ", 0), 0u) << mc.msgs[1];
}

TEST_F(Dicts, OneWordSlot) {
  // The answer filter text is the only word, not a filter; it is read as one line with a score.
  setslot(4, "", "", "ex(ample)? 2");
  ASSERT_EQ(dictsload(1), 0);
  EXPECT_EQ(atotal, 1);
  EXPECT_EQ(dloaded, 1u << 4);
  const answer* a = find("EXAMPLE");
  ASSERT_NE(a, nullptr);
  EXPECT_STREQ(a->cf, "ex(ample)?");
  EXPECT_DOUBLE_EQ(a->weight, 100);
  EXPECT_EQ(rejcount[4]['('], 1);
  EXPECT_EQ(rejline[4]['('], 0);
  EXPECT_EQ(rejline[4]['?'], 0);
}

TEST_F(Dicts, CanonicalAnswers) {
  std::string w250(250, 'a'), spaced;
  for (int i = 0; i < 250; i++) spaced += "b ";
  ASSERT_EQ(load1("x\no'clock\n\xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82\n" + w250 + "\n" + w250 +
                  "a\n" + spaced + "\n" + spaced + "b\n"),
            0);
  EXPECT_STREQ(find("OCLOCK")->cf, "o'clock");
  EXPECT_EQ(rejcount[0]['\''], 1);
  EXPECT_EQ(rejline[0]['\''], 2);
  EXPECT_EQ(rejcount[0][0x3BB], 1);  // Greek lambda: the word has no letter of the alphabet
  EXPECT_EQ(rejline[0][0x3BB], 3);
  EXPECT_EQ(rejline[0]['~'], -1);
  EXPECT_EQ(rejcount[0][' '], 0);    // spaces are dropped silently
  EXPECT_NE(find(w250.c_str()), nullptr);
  EXPECT_NE(find(std::string(250, 'b').c_str()), nullptr);  // 250 letters among 500 characters
  EXPECT_EQ(atotal, 4);  // 251 letters are refused before they count as usable
  EXPECT_EQ(nusable[0], 4);

  ASSERT_EQ(alphafind("de"), 0);
  ASSERT_EQ(load1("Stra\xC3\x9F" "e\nStrasse\n\xC3\x84pfel\n"), 0);
  EXPECT_EQ(cfs(find("STRASSE")), (std::vector<std::string>{"Strasse", "Stra\xC3\x9F" "e"}));
  EXPECT_NE(find("AEPFEL"), nullptr);
}

TEST_F(Dicts, MergingCitationsMasksAndWeights) {
  setslot(0, writetemp("new-york\nNew York\nkiwi 1\nsame\nsame\nbig 10\nbig 10\n"));
  setslot(2, writetemp("kiwi 1\nsame -1\n"));
  std::string sad, mixed;
  for (int i = 0; i < 40; i++) sad += "sad -10\n";
  for (int i = 0; i < 40; i++) mixed += i % 2 ? "mixed 10\n" : "mixed -10\n";
  setslot(5, writetemp(sad + mixed));
  ASSERT_EQ(dictsload(1), 0);
  EXPECT_EQ(dloaded, 0x25u);

  const answer* ny = find("NEWYORK");
  EXPECT_EQ(cfs(ny), (std::vector<std::string>{"New York", "new-york"}));
  EXPECT_EQ(ny->dmask, 1u);
  EXPECT_EQ(ny->cfdmask, 1u);
  EXPECT_EQ(ny->acf->cfdmask, 1u);

  const answer* kiwi = find("KIWI");
  EXPECT_EQ(cfs(kiwi).size(), 1u);
  EXPECT_EQ(kiwi->dmask, 5u);
  EXPECT_EQ(kiwi->cfdmask, 5u);
  EXPECT_DOUBLE_EQ(kiwi->weight, 100);

  const answer* same = find("SAME");
  EXPECT_EQ(cfs(same).size(), 1u);
  EXPECT_DOUBLE_EQ(same->weight, 0.1);
  EXPECT_DOUBLE_EQ(find("BIG")->weight, 1e10);  // capped, not 1e20
  // Forty entries of -10 would underflow a product to 0; the weight stays positive, and
  // alternating +10 and -10 gives exactly 1 whatever the order.
  EXPECT_GT(find("SAD")->weight, 0);
  EXPECT_DOUBLE_EQ(find("MIXED")->weight, 1);
  for (int i = 0; i < atotal; i++) EXPECT_EQ(answerlist[i]->banned, 0u);
}

TEST_F(Dicts, IndexIsSortedMergedAndHashed) {
  // Pseudo-random words with many duplicates and prefixes, over three slots.
  unsigned s = 12345;
  auto rnd = [&] { return (s = s * 1103515245 + 12345) >> 16; };
  std::string f[3];
  int entries = 0;
  for (int i = 0; i < 6000; i++) {
    std::string w;
    for (int n = 1 + rnd() % 12; n; n--) w += (char)((rnd() % 3 ? 'a' : 'A') + rnd() % 5);
    f[rnd() % 3] += w + "\n";
    entries++;
  }
  for (int d = 0; d < 3; d++) setslot(d * 3, writetemp(f[d]));
  ASSERT_EQ(dictsload(1), 0);
  int stored = 0, reached = 0;
  for (int d = 0; d < MAXNDICTS; d++) stored += nafteraf[d];
  EXPECT_EQ(stored, entries);
  for (int i = 0; i < atotal; i++) {
    const answer* a = answerlist[i];
    if (i) {
      EXPECT_LT(strcmp(answerlist[i - 1]->answercodes, a->answercodes), 0);
    }
    EXPECT_EQ(findanswer(a->answercodes), i);
    unsigned cfmask = 0;
    for (const answer* c = a; c; c = c->acf) {
      if (c->acf) {
        EXPECT_LT(strcmp(c->cf, c->acf->cf), 0);
      }
      EXPECT_STREQ(c->answercodes, a->answercodes);
      cfmask |= c->cfdmask;
    }
    EXPECT_EQ(a->dmask, cfmask);
  }
  for (int i = 0; i < entries; i++) {
    // Every stored entry is a record of some chain: a chain record or a duplicate merged into one.
    const answer* r = &answerrecs[i];
    const answer* a = answerlist[findanswer(r->answercodes)];
    for (const answer* c = a; c; c = c->acf)
      if (!strcmp(c->cf, r->cf)) {
        reached++;
        break;
      }
  }
  EXPECT_EQ(reached, entries);
  EXPECT_EQ(findanswer("\x01\x02\x03\x04\x05\x01\x02\x03\x04\x05\x01\x02\x03"), -1);
}

TEST_F(Dicts, LoadFailures) {
  msgcapture mc;
  setslot(0, writetemp("fine\n"));
  setslot(1, "/nonexistent/zyn/words.txt");
  // The slot that loads keeps its words; the one that cannot is reported.
  EXPECT_EQ(dictsload(0), 1);
  EXPECT_EQ(atotal, 1);
  EXPECT_NE(find("FINE"), nullptr);
  EXPECT_EQ(dloaded, 1u);
  EXPECT_EQ(mc.msgs, (std::vector<std::string>{"E:Dictionary 2\nFile not found"}));

  // Nothing at all: the missing file's message, then the general one.
  mc.msgs.clear();
  dictpaths[0][0] = 0;
  EXPECT_EQ(dictsload(0), 2);
  EXPECT_EQ(mc.msgs, (std::vector<std::string>{"E:Dictionary 2\nFile not found",
                                               "E:No words available from any dictionary"}));
  mc.msgs.clear();
  EXPECT_EQ(dictsload(1), 2);
  EXPECT_TRUE(mc.msgs.empty());

  // A slot that was emptied or could not be read shows no counts from an earlier load.
  setslot(1, writetemp("a'b\n"));
  ASSERT_EQ(dictsload(1), 0);
  EXPECT_EQ(nusable[1], 1);
  setslot(1, "/nonexistent/zyn/words.txt");
  dictsload(1);
  EXPECT_EQ(nusable[1], 0);
  EXPECT_EQ(rejcount[1]['\''], 0);
  EXPECT_EQ(rejline[1]['\''], -1);
}

namespace {

// A TSD file holding these words (ISO-8859-1 bytes), each in the length slot of its byte
// length. Every byte used, and 0, gets a 6-bit code; '#' in a word is written as the code 63,
// which the table lacks.
struct tsdfile {
  std::string bytes;
  size_t table;  // offset of the code table
};

tsdfile maketsd(char fmt, const std::vector<std::string>& words) {
  std::map<unsigned char, unsigned> code{{0, 0}};
  for (auto& w : words)
    for (unsigned char c : w)
      if (c != '#' && !code.count(c)) code.emplace(c, (unsigned)code.size());
  std::map<size_t, std::vector<std::string>> bylen;
  for (auto& w : words) bylen[w.size()].push_back(w);
  int ml = (int)bylen.rbegin()->first + 1;
  auto put = [](std::string& s, uint32_t v, int n) {
    for (int i = 0; i < n; i++) s += (char)(v >> 8 * i);
  };
  std::string h = "TSD";
  h += fmt;
  put(h, ml, 2);
  if (fmt == '1') h.append(12 * (ml + 1), '\0');
  size_t offs = h.size();
  h.append(8 * ml, '\0');
  h.append(fmt == '1' ? 1004 : 84, '\0');
  size_t table = h.size();
  for (int c = 0; c < 256; c++) {
    auto it = code.find((unsigned char)c);
    h += '\0';
    h += it == code.end() ? '\0' : '\6';
    h.append(2, '\0');
    put(h, it == code.end() ? 0 : it->second, 4);
  }
  for (auto& [len, list] : bylen) {
    std::string o, n;
    put(o, (uint32_t)h.size(), 4);
    put(n, (uint32_t)list.size(), 4);
    h.replace(offs + 4 * len, 4, o);
    h.replace(offs + 4 * ml + 4 * len, 4, n);
    std::vector<int> bits;
    for (auto& w : list) {
      for (size_t i = 0; i <= w.size(); i++) {
        unsigned v = i == w.size() ? 0 : w[i] == '#' ? 63 : code[(unsigned char)w[i]];
        for (int b = 5; b >= 0; b--) bits.push_back(v >> b & 1);
      }
      if (fmt == '1') bits.push_back(1);
    }
    std::string s((bits.size() + 7) / 8, '\0');
    for (size_t i = 0; i < bits.size(); i++) s[i / 8] |= (char)(bits[i] << (i % 8));
    h += s;
  }
  return {h, table};
}

}  // namespace

TEST_F(Dicts, TsdFiles) {
  // Control bytes cut a word, bytes 127..159 are dropped, ISO-8859-1 becomes UTF-8, and
  // a later length slot starts on a fresh byte.
  std::vector<std::string> words = {"cat", "dog", "caf\xE9", "ab\x85" "cd", "xy\x01z", "o'k"};
  for (char fmt : {'0', '1'}) {
    SCOPED_TRACE(fmt);
    tsdfile t = maketsd(fmt, words);
    ASSERT_EQ(load1(t.bytes + "\nspare\n"), 0);
    EXPECT_EQ(atotal, 6);
    EXPECT_STREQ(find("CAFE")->cf, "caf\xC3\xA9");
    EXPECT_STREQ(find("ABCD")->cf, "abcd");
    EXPECT_STREQ(find("XY")->cf, "xy");
    EXPECT_EQ(rejline[0]['\''], 0);
    EXPECT_EQ(find("SPARE"), nullptr);
  }

  // Malformed files are read as text, whose first line gives an answer starting TSD.
  struct {
    const char* what;
    std::vector<std::string> words;
    char fmt;
    void (*patch)(tsdfile&);
  } bad[] = {
      {"format 2", {"word"}, '2', nullptr},
      {"missing child", {"word", "wo#d"}, '0', nullptr},
      {"truncated", {"word", "wordy"}, '0', [](tsdfile& t) { t.bytes.resize(t.bytes.size() - 2); }},
      {"negative count", {"word"}, '0', [](tsdfile& t) { t.bytes.replace(6 + 4 * 5 + 4 * 4, 4, "\xFF\xFF\xFF\xFF"); }},
      {"no length slots", {"word"}, '0', [](tsdfile& t) { t.bytes.replace(4, 2, std::string(2, '\0')); }},
      {"code too long", {"word"}, '1', [](tsdfile& t) { t.bytes[t.table + 8 * 'w' + 1] = 33; }},
  };
  for (auto& b : bad) {
    SCOPED_TRACE(b.what);
    tsdfile t = maketsd(b.fmt, b.words);
    if (b.patch) b.patch(t);
    ASSERT_EQ(load1(t.bytes), 0);
    bool tsd = false;
    for (int i = 0; i < atotal; i++) tsd = tsd || !strncmp(answerlist[i]->cf, "TSD", 3);
    EXPECT_TRUE(tsd);
    EXPECT_EQ(find("WORD"), nullptr);
  }
}

// A list that cannot seek (a pipe or FIFO) loses nothing to the probe for its format, in
// any of its forms.
TEST_F(Dicts, NonSeekableInput) {
  std::string fifo = writetemp("", ".fifo");
  unlink(fifo.c_str());
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    const char* what;
    std::string bytes;
    const char* word;
  } cases[] = {
      {"plain", "cat\ntop\n", "CAT"},
      {"ISO-8859-1", "x\ncaf\xE9\n", "CAFE"},
      {"marked UTF-8", "\xEF\xBB\xBF" "caf\xC3\xA9\n", "CAFE"},
      {"TSD", maketsd('0', {"cat", "dog"}).bytes, "CAT"},
      {"short", "ox", "OX"},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::thread writer([&] {
      FILE* f = fopen(fifo.c_str(), "wb");
      fwrite(c.bytes.data(), 1, c.bytes.size(), f);
      fclose(f);
    });
    setslot(0, fifo);
    EXPECT_EQ(dictsload(1), 0);
    writer.join();
    EXPECT_NE(find(c.word), nullptr);
  }
  unlink(fifo.c_str());
}

namespace {
// Everything a load leaves: each answer with its citation forms, masks, weight and hash link,
// the slots' statistics and their rejected characters.
std::string snapshot() {
  std::string s;
  char buf[100];
  for (int i = 0; i < atotal; i++) {
    const answer* a = answerlist[i];
    s += a->answercodes;
    for (const answer* c = a; c; c = c->acf) {
      pbuf(buf, sizeof buf, "|%x:", (unsigned)c->cfdmask);
      s += buf + std::string(c->cf);
    }
    pbuf(buf, sizeof buf, " %x %.17g %d\n", (unsigned)a->dmask, a->weight, a->hlink);
    s += buf;
  }
  for (int d = 0; d < MAXNDICTS; d++) {
    pbuf(buf, sizeof buf, "slot %d: %d %d %d\n", d, nusable[d], nafterff[d], nafteraf[d]);
    s += buf;
    for (int u = 0; u < MAXUCP; u++)
      if (rejcount[d][u]) {
        pbuf(buf, sizeof buf, "U+%04X %d at %d\n", u, rejcount[d][u], rejline[d][u]);
        s += buf;
      }
  }
  return s;
}
}  // namespace

// A large list is read by two threads, in chunks; the index and the statistics are those of
// one thread reading line by line. The list mixes line ends, scores, encodings, characters
// outside the alphabet, NUL bytes, repeats and lines longer than a piece, one of them longer
// than a chunk.
TEST_F(Dicts, TwoThreadsReadAsOne) {
  std::string text;
  const char* ends[] = {"\n", "\r\n", "\r"};
  for (int i = 0; i < 150000; i++) {
    std::string w;
    for (int k = i; k; k /= 23) w += (char)('a' + k % 23);
    switch (i % 11) {
      case 0: w += " 2.5"; break;
      case 1: w = "q" + w; break;                 // refused by the file filter
      case 2: w += "'s"; break;                    // an apostrophe outside the alphabet
      case 3: w += "\xC3\xA9"; break;             // UTF-8
      case 4: w += "\xE9"; break;                 // ISO-8859-1
      case 5: w += std::string(1, '\0') + "x"; break;
      case 6: w = std::string(990 + i % 20, ' ') + w + "\xC3\xA9z"; break;  // across a piece
      case 7: w = std::to_string(i % 100); break;  // repeats
    }
    if (i % 40000 == 39999) w += "\xC2\xA7";  // first met far into the file

    text += w + ends[i % 3];
  }
  std::string giant;
  while (giant.size() < (3u << 20)) giant += "x" + std::string(20, ' ');
  text += giant + "\nlast\n";
  setslot(0, writetemp(text), "^[^q]");
  setslot(1, writetemp("beta\ngamma 3\n"));
  std::string one, two;
  dictthreads = 1;
  ASSERT_EQ(dictsload(1), 0);
  one = snapshot();
  dictthreads = 2;
  ASSERT_EQ(dictsload(1), 0);
  two = snapshot();
  EXPECT_GT(atotal, 100000);
  EXPECT_TRUE(one == two) << "the two loads differ";
}

TEST_F(Dicts, DefaultDictionary) {
  std::string cwd = plat_cwd();
  char dir[] = "/tmp/zyndictsXXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  std::string sub = std::string(dir) + "/Dictionaries", file = sub + "/UKACD18plus.txt";
  ASSERT_EQ(mkdir(sub.c_str(), 0700), 0);
  FILE* f = fopen(file.c_str(), "w");
  fputs("dog's\ndogs\nDOG'S\n", f);
  fclose(f);
  ASSERT_EQ(chdir(dir), 0);

  // The preference comes first, with its filters.
  std::string pref = writetemp("alpha\nbeta\n");
  strlcpy0(prefstrs[PREF_STARTUP_DEFDICT1], pref.c_str(), SLEN);
  strlcpy0(prefstrs[PREF_STARTUP_AF1], "^A", SLEN);
  EXPECT_EQ(dictsdefault(), 0);
  EXPECT_EQ(atotal, 1);
  EXPECT_NE(find("ALPHA"), nullptr);

  // A preference that loads nothing falls back to the file under the current directory.
  strlcpy0(prefstrs[PREF_STARTUP_DEFDICT1], "/nonexistent/zyn.txt", SLEN);
  EXPECT_EQ(dictsdefault(), 0);
  EXPECT_EQ(std::string(dictpaths[0]), plat_cwd() + "/Dictionaries/UKACD18plus.txt");
  EXPECT_STREQ(dafilter[0], "");
  EXPECT_EQ(atotal, 1);
  EXPECT_NE(find("DOGS"), nullptr);

  // Then Zyn's everyday list in the chosen spelling, without a filter, with the preferred
  // minimum score (or the one given for this run).
  unlink(file.c_str());
  std::string everyday = tempdir();
  everydaydir = everyday.c_str();
  std::string am = everyday + "/words-american.txt";
  FILE* e = fopen(am.c_str(), "w");
  fputs("color;90\nrare;20\n", e);
  fclose(e);
  prefdata[PREF_STARTUP_SPELLING] = 1;
  prefdata[PREF_STARTUP_MINSCORE1] = 40;
  EXPECT_EQ(dictsdefault(), 0);
  EXPECT_EQ(dictpaths[0], am);
  EXPECT_STREQ(dsfilter[0], "");
  EXPECT_EQ(dminscore[0], 40);
  EXPECT_EQ(atotal, 1);
  EXPECT_NE(find("COLOR"), nullptr);
  startminscore = 10;
  EXPECT_EQ(dictsdefault(), 0);
  EXPECT_EQ(atotal, 2);
  startminscore = -1;

  // Without it, the system word list, with the same filter and a warning; here a list of the
  // test's own.
  unlink(am.c_str());
  rmdir(everyday.c_str());
  const char* sys = sysdictpath;
  std::string fallback = writetemp("cat's\ncats\n");
  sysdictpath = fallback.c_str();
  msgcapture cap;
  EXPECT_EQ(dictsdefault(), 0);
  ASSERT_EQ(cap.msgs.size(), 1u);
  EXPECT_EQ(cap.msgs[0].rfind("W:Zyn's everyday word list is missing", 0), 0u);
  EXPECT_EQ(dictpaths[0], fallback);
  EXPECT_STREQ(dsfilter[0], "^.*+(?<!'s)");
  EXPECT_EQ(atotal, 1);
  EXPECT_NE(find("CATS"), nullptr);

  // Nothing at all: the slot is emptied.
  sysdictpath = "/nonexistent/zyn/words";
  EXPECT_EQ(dictsdefault(), 4);
  EXPECT_STREQ(dictpaths[0], "");
  EXPECT_STREQ(dsfilter[0], "");
  EXPECT_EQ(atotal, 0);
  sysdictpath = sys;
  everydaydir = nullptr;
  prefdata[PREF_STARTUP_SPELLING] = 0;
  dminscore[0] = 0;
  prefstrs[PREF_STARTUP_DEFDICT1][0] = prefstrs[PREF_STARTUP_AF1][0] = 0;
  ASSERT_EQ(chdir(cwd.c_str()), 0);
  rmdir(sub.c_str());
  rmdir(dir);
}

TEST_F(Dicts, Traces) {
  setslot(0, writetemp("o'k 1\n"));
  debug = DEB_DICT | DEB_CANON;
  testing::internal::CaptureStdout();
  dictsload(1);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("Reading dictionary file " + std::string(dictpaths[0]) + " (in mode -1), owd=0\n"),
            std::string::npos);
  EXPECT_NE(out.find("adddictword: citation=<o'k> canonical UTF-8=<OK> canonical ICC=<OK>\n"
                     "  Unicode: U+00004F U+00004B\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("atotal=        1\nk=        1\nTotal unique answers by entry: 1\n"), std::string::npos);
}
