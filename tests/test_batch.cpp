// Batch mode end to end: decks and word lists written to a scratch folder, the built program
// run on them with -b, and its standard output, standard error and exit status compared exactly.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <string>

#include "tests/testutil.h"

using namespace std::string_literals;

namespace {

// The word lists the decks name, relative to the folder the program runs in. The default
// list in Dictionaries/ makes a deck without dictionary directives deterministic.
const struct {
  const char* name;
  std::string text;
} wordlists[] = {
    {"ct.txt", "cat\ntop\n"},
    {"ab.txt", "ab\nba\n"},
    {"at.txt", "at\n"},
    {"empty.txt", ""},
    {"pots.txt", "pots\n"},
    {"stoppots.txt", "stop\npots\n"},
    {"slot1.txt", "Cat\n"},
    {"slot2.txt", "cat\ndog\n"},
    {"filt.txt", "a-b\nab\ncd\n"},
    {"de.txt", "Straße\n"},
    {"treat.txt", "cats\ndog\n"},
    {"xs.txt", "ax\nbx\ncx\ndx\nex\nfx\ngx\nhx\nix\njx\nkx\nlx\nmx\nnx\nox\npx\n"},
    {"Dictionaries/UKACD18plus.txt", "zed\n"},
    {"mac.txt", "cat\rtop\r"},
    {"nul.txt", "ca\0t\ntop\n"s},
    {"latin1.txt", "x\ncaf\xE9\n"},
    {"scored.txt", "cat;80\ncot;30\ntop 1\n"},
};

struct result {
  int status;
  std::string out, err;
};

#define EXPECT_RUN(r, st, o, e) \
  do {                          \
    EXPECT_EQ((r).out, o);      \
    EXPECT_EQ((r).err, e);      \
    EXPECT_EQ((r).status, st);  \
  } while (0)

struct runcase {
  const char* what;
  const char* opts;
  std::string deck;
  const char* out;
  const char* err;
  int status;
};

class Batch : public testing::Test {
 protected:
  static std::string dir;

  static void SetUpTestSuite() {
    char tmpl[] = "/tmp/zynbatchXXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
    ASSERT_EQ(mkdir((dir + "/Dictionaries").c_str(), 0700), 0);
    for (auto& l : wordlists) std::ofstream(dir + "/" + l.name, std::ios::binary) << l.text;
  }
  static void TearDownTestSuite() { runcmd("rm -rf '" + dir + "'", nullptr, nullptr); }

  // Run `zyn -b` with these arguments in the scratch folder.
  static result zyn(const std::string& args) {
    result r;
    r.status = runcmd("cd '" + dir + "' && '" ZYN_BINARY "' -b " + args, &r.out, &r.err);
    return r;
  }
  // Write the deck (bytes as given) to the scratch folder and run it, options first.
  static result deck(const std::string& text, const std::string& opts = "") {
    std::ofstream(dir + "/deck", std::ios::binary | std::ios::trunc) << text;
    return zyn(opts + " deck");
  }
  template <size_t N>
  static void runtable(const runcase (&cases)[N]) {
    for (const runcase& c : cases) {
      SCOPED_TRACE(c.what);
      result r = deck(c.deck, c.opts);
      EXPECT_RUN(r, c.status, c.out, c.err);
    }
  }
};
std::string Batch::dir;

}  // namespace

TEST_F(Batch, DeckErrorsStopTheRun) {
  const runcase cases[] = {
      {"block end at top", "", "}\n", "", "Error at line 1: End of block encountered at top level\n", 16},
      {"line numbers count comments and blank lines", "", "# note\n\na1 a2\n.AL de\n", "",
       "Error at line 4: Alphabet directive must occur at beginning of deck\n", 16},
      {"end of file in a block is one past the last line", "", "a b\n{\nc d\n", "",
       "Error at line 4: End of file encountered within block\n", 16},
      {"constraint", "", "a1 a2 =CAT\n", "", "Error at line 1: Constraint too long\n", 16},
      // The dictionaries are still loaded after a parse error, so their error follows it.
      {"parse error, then the dictionary", "", ".DI 1 missing.txt\n}\n", "",
       "Error at line 2: End of block encountered at top level\nError: Dictionary 1\nFile not found\n", 16},
      {"parse error, then the plug-in", "", ".TR 9\n.PI ./missing.so\n}\n", "",
       "Error at line 3: End of block encountered at top level\nError: Failed to load custom plug-in\n", 16},
      {"plug-in alone", "", ".TR 9\n.PI ./missing.so\na b\n", "", "Error: Failed to load custom plug-in\n", 16},
      {"missing dictionary", "", ".DI 1 missing.txt\na b\n", "", "Error: Dictionary 1\nFile not found\n", 16},
      {"missing dictionary in slot 2", "", ".DI 1 at.txt\n.DI 2 missing.txt\na b\n", "",
       "Error: Dictionary 2\nFile not found\n", 16},
      {"empty dictionary", "", ".DI 1 empty.txt\na b\n", "", "Error: No words available from any dictionary\n", 16},
  };
  runtable(cases);

  // No deck named, a missing file, and a folder, which opens but cannot be read.
  for (const char* args : {"", "missing.deck", "."}) {
    SCOPED_TRACE(args);
    EXPECT_RUN(zyn(args), 16, "", "Error: Failed to open input deck\n");
  }
}

TEST_F(Batch, DirectivesShapeTheFill) {
  const runcase cases[] = {
      {"two crossing words", "", ".DI 1 ct.txt\na1 a2 a3\na3 b2 b3\n", "W0 CAT\n# cat\nW1 TOP\n# top\n", "", 0},
      {"UNIQUE 0 allows a repeat", "", ".DI 1 at.txt\n.UN 0\na1 a2\nb1 b2\n", "W0 AT\n# at\nW1 AT\n# at\n", "", 0},
      {"UNIQUE 1 forbids it", "", ".DI 1 at.txt\n.un 1\na1 a2\nb1 b2\n", "", "No fill found\nNothing fits W1\n", 4},
      {"no repeats by default", "", ".DI 1 at.txt\na1 a2\nb1 b2\n", "", "No fill found\nNothing fits W1\n", 4},
      // dog is only in slot 2; CAT has a citation form in each slot and shows those the word may use.
      {"USEDICTIONARY", "",
       ".DI 1 slot1.txt\n.DI 2 slot2.txt\n.UN 0\n"
       "{\n.UD 2\na1 a2 a3 =.O.\nb1 b2 b3 =C..\n}\n"
       "{\n.UD 12\nc1 c2 c3 =C..\n}\n"
       "d1 d2 d3\n",
       "W0 DOG\n# dog\nW1 CAT\n# cat\nW2 CAT\n# Cat, cat\nW3 CAT\n# Cat\n", "", 0},
      {"reversed entry", "", ".DI 1 pots.txt\n.EM r\na b c d\n", "W0 STOP\n# STOP: pots (rev.)\n", "", 0},
      {"normal and reversed candidates of one light", "", ".DI 1 stoppots.txt\n.EM fr\na b c d =...S\n",
       "W0 POTS\n# pots; POTS: stop (rev.)\n", "", 0},
      {"jumble, fully fixed", "", ".DI 1 pots.txt\n.EM j\na b c d =SOPT\n", "W0 SOPT\n# pots*\n", "", 0},
      // Its identity arrangement is the normal entry, which a jumble-only light does not allow.
      {"jumble never enters normally", "", ".DI 1 pots.txt\n.EM j\na b c d =POT.\n", "", "No fill found\nNothing fits W0\n", 4},
      {"fully fixed word still lists its citation forms", "", ".DI 1 ct.txt\na b c =CAT\n", "W0 CAT\n# cat\n", "", 0},
      // A light complete before the fill is accepted as it stands, word or not.
      {"fully fixed non-word", "", ".DI 1 ct.txt\na b c =CAB\n", "W0 CAB\n", "", 0},
      {"file filter sees the citation form", "", ".DI 1 filt.txt\n.FF 1 -\na b\n", "W0 AB\n# a-b\n", "", 0},
      {"file filter refuses", "", ".DI 1 filt.txt\n.FF 1 ^[a-z]+$\na b =A.\n", "W0 AB\n# ab\n", "", 0},
      {"answer filter sees the canonical form", "", ".DI 1 filt.txt\n.AF 1 ^AB$\na b\n", "W0 AB\n# a-b, ab\n", "", 0},
      {"answer filter refuses", "", ".DI 1 filt.txt\n.AF 1 ^C\na b\n", "W0 CD\n# cd\n", "", 0},
      {"German spells Straße with SS", "", ".AL de\n.DI 1 de.txt\na b c d e f g\n", "W0 STRASSE\n# Straße\n", "", 0},
      {"Roman has no ß", "", ".DI 1 de.txt\na b c d e f g\n", "", "No fill found\nNothing fits W0\n", 4},
      {"no dictionary directive: the default list", "", "a b c\n", "W0 ZED\n# zed\n", "", 0},
      {"-d counts as a dictionary setting", "-d ct.txt", "a b c\n", "W0 CAT\n# cat\n", "", 0},
      {"a deck directive replaces -d", "-d ct.txt", ".DI 1 at.txt\na b\n", "W0 AT\n# at\n", "", 0},
      {"no words", "", ".DI 1 at.txt\n", "", "", 0},
  };
  runtable(cases);
}

// A minimum score leaves the words scored below it out of the fill, from a deck or from -m, and
// for the default list too; a deck whose only fill needs such a word has none.
TEST_F(Batch, MinimumScores) {
  const runcase cases[] = {
      {"no floor", "", ".DI 1 scored.txt\na b c =CO.\n", "W0 COT\n# cot\n", "", 0},
      {"the floor removes cot", "", ".DI 1 scored.txt\n.MS 1 31\na b c =C.T\n", "W0 CAT\n# cat\n", "", 0},
      {"its only fill needs cot", "", ".DI 1 scored.txt\n.minscore 1 31\na b c =CO.\n", "", "No fill found\nNothing fits W0\n", 4},
      {"a score of 1 is 75 on the shared scale", "", ".DI 1 scored.txt\n.MS 1 76\na b c =.O.\n", "",
       "No fill found\nNothing fits W0\n", 4},
      {"-m for slot 1", "-d scored.txt -m 31", "a b c =CO.\n", "", "No fill found\nNothing fits W0\n", 4},
      {"-m for slot 2 only", "-d ct.txt -d scored.txt -m 0 -m 31", ".UD 2\na b c =CO.\n", "", "No fill found\nNothing fits W0\n", 4},
      {"the default lists take it", "", ".MS 1 95\na b c\n", "", "No fill found\nNothing fits W0\n", 4},
      {"a floor of 50 keeps an unscored word", "", ".MS 1 50\na b c\n", "W0 ZED\n# zed\n", "", 0},
      {"score above 100", "", ".MS 1 101\na b c\n", "", "Error at line 1: Syntax error in minimum score directive\n", 16},
      {"no score", "", ".MS 1\na b c\n", "", "Error at line 1: Syntax error in minimum score directive\n", 16},
      {"slot 0", "", ".MS 0 5\na b c\n", "", "Error at line 1: Dictionary number must be 1..9\n", 16},
      {"after a word", "", "a b c\n.MS 1 5\n", "", "Error at line 2: Minimum score directive must occur at beginning of deck\n",
       16},
      {"-m out of range", "-m 150", "a b c\n", "", "Error: Minimum score must be 0..100: 150\n", 16},
  };
  runtable(cases);
}

// Message slots follow the word's own cells; the message word prints after all deck words,
// and only for a message that has one (message 2 of a deletion is always in clue order).
// Without -D, a deck with no fill names where it failed: the words nothing fits, or when every
// word keeps candidates after propagation, those in which the search most often ran out.
TEST_F(Batch, NoFillSaysWhere) {
  const runcase cases[] = {
      {"a word of a length no answer has", "", ".DI 1 ct.txt\na b c\nd e f g\nc h i\n", "", "No fill found\nNothing fits W1\n", 4},
      {"the only fill of the crossings repeats an answer", "", ".DI 1 ct.txt\na b c\nd e f\na g d\n", "",
       "No fill found\nNothing fits W0\n", 4},
      {"four words from two answers, each used once", "", ".DI 1 ab.txt\na b\nc d\na c\nb d\n", "",
       "No fill found\nThe search ran out of candidates most often in W2\n", 4},
  };
  runtable(cases);
}

TEST_F(Batch, TreatedDeckPrintsMessageWords) {
  const runcase cases[] = {
      {"delete S, filler's allocation", "",
       ".DI 1 treat.txt\n.TR 6\n.ME 0 S\n.MA 0 2\na1 a2 a3 =C..\nb1 b2 b3\n",
       "W0 CATS-\n# cats\nW1 DOG--\n# dog\nM0 S-\n", "", 0},
      {"in clue order at the filler's discretion", "",
       ".DI 1 treat.txt\n.TR 6\n.ME 0 S\n.MA 0 1\n.ME 1 X\n.MA 1 2\na1 a2 a3 =C..\nb1 b2 b3\n",
       "W0 CATSX\n# cats\nW1 DOG--\n# dog\nM0 S-\n", "", 0},
      {"fixed allocation has no message word", "", ".DI 1 treat.txt\n.TR 6\n.ME 0 S\na1 a2 a3\nb1 b2 b3\n",
       "W0 CATS-\n# cats\nW1 DOG--\n# dog\n", "", 0},
  };
  runtable(cases);
}

// RANDOM 1 and 2 vary the fill with the filler seed (-F) and repeat it for the same seed;
// RANDOM 0 ignores the seed.
TEST_F(Batch, RandomFillFollowsTheSeed) {
  for (const char* ra : {"0", "1", "2"}) {
    SCOPED_TRACE(ra);
    std::string d = std::string(".DI 1 xs.txt\n.RA ") + ra + "\na1 a2\n";
    std::set<std::string> seen;
    for (int seed = 1; seed <= 4; seed++) {
      std::string opt = "-F " + std::to_string(seed);
      result a = deck(d, opt), b = deck(d, opt);
      EXPECT_RUN(b, a.status, a.out, a.err);
      EXPECT_EQ(a.status, 0) << a.err;
      seen.insert(a.out);
    }
    if (ra[0] == '0') EXPECT_EQ(seen, std::set<std::string>{"W0 AX\n# ax\n"});
    else EXPECT_GT(seen.size(), 1u);
  }
}

// Output that cannot be written (a full disk) is an error, not a success.
TEST_F(Batch, UnwrittenOutputIsAnError) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  std::ofstream(dir + "/deck", std::ios::binary | std::ios::trunc) << ".DI 1 ct.txt\na1 a2 a3\n";
  for (const char* args : {"-b deck", "-?"}) {
    SCOPED_TRACE(args);
    result r;
    r.status = runcmd("(cd '" + dir + "' && '" ZYN_BINARY "' " + args + " >/dev/full)", &r.out, &r.err);
    EXPECT_RUN(r, 16, "", "Error: Filing system error: No space left on device\n");
  }
}

// Word lists with classic Mac line ends or NUL bytes, a folder, and lists read from a pipe.
TEST_F(Batch, WordListsOfEveryShape) {
  const char* cattop = "W0 CAT\n# cat\nW1 TOP\n# top\n";
  const runcase cases[] = {
      {"classic Mac line ends", "", ".DI 1 mac.txt\na1 a2 a3\na3 b2 b3\n", cattop, "", 0},
      {"a NUL byte is skipped", "", ".DI 1 nul.txt\na1 a2 a3\na3 b2 b3\n", cattop, "", 0},
      {"a folder is no word list", "", ".DI 1 Dictionaries\na b\n", "", "Error: Dictionary 1\nFile not found\n", 16},
  };
  runtable(cases);
  // Nothing is lost to the probe for a format, and nothing to a second look at the text.
  const struct {
    const char *list, *deck, *out;
  } piped[] = {
      {"ct.txt", "a1 a2 a3\na3 b2 b3\n", cattop},
      {"latin1.txt", "a b c d\n", "W0 CAFE\n# caf\xC3\xA9\n"},
  };
  for (auto& p : piped) {
    SCOPED_TRACE(p.list);
    std::ofstream(dir + "/deck", std::ios::binary | std::ios::trunc) << p.deck;
    result r;
    r.status = runcmd("cd '" + dir + "' && cat " + p.list + " | '" ZYN_BINARY "' -b -d /dev/stdin deck", &r.out, &r.err);
    EXPECT_RUN(r, 0, p.out, "");
  }
}

// Line ends of every kind, NUL bytes and paths too long for their buffers.
TEST_F(Batch, DeckLinesAndValues) {
  // A path of 999 bytes naming ct.txt; with anything after it, cutting would name ct.txt too.
  std::string cutpath;
  for (int i = 0; i < 496; i++) cutpath += "./";
  cutpath += "/ct.txt";
  const runcase cases[] = {
      {"classic Mac line ends", "", "# a deck\r.DI 1 ct.txt\ra1 a2 a3\ra3 b2 b3\r", "W0 CAT\n# cat\nW1 TOP\n# top\n", "",
       0},
      {"CR LF counts as one line end", "", ".DI 1 ct.txt\r\na1 a2 a3\r\n}\r\n", "",
       "Error at line 3: End of block encountered at top level\n", 16},
      {"lone CR, then CR LF", "", ".DI 1 ct.txt\ra1 a2 a3\r\n}\n", "", "Error at line 3: End of block encountered at top level\n",
       16},
      {"a NUL byte separates names", "", ".DI 1 ct.txt\na1 a2\0a3\na3 b2 b3\n"s, "W0 CAT\n# cat\nW1 TOP\n# top\n", "", 0},
      {"a dictionary path of 999 bytes", "", ".DI 1 " + cutpath + "\na1 a2 a3\n", "W0 CAT\n# cat\n", "", 0},
      {"a longer one is not cut", "", ".DI 1 " + cutpath + "-not-this-one\na1 a2 a3\n", "",
       "Error at line 1: Dictionary file name too long (at most 999 bytes)\n", 16},
  };
  runtable(cases);
}

TEST_F(Batch, HostileDecks) {
  std::string deep, unclosed;
  for (int i = 0; i < 1000; i++) deep += "{\n";
  unclosed = ".DI 1 at.txt\n" + deep + "a b\n";
  for (int i = 0; i < 1000; i++) deep += "}\n";
  deep = ".DI 1 at.txt\n" + deep.insert(2000, "a b\n");

  std::string junk;
  for (int i = 0; i < 4096; i++) junk += (char)((i * 7919 + 13) & 0xff);

  // 100,000 entries in words of 250; no list holds such a word.
  std::string many = ".DI 1 at.txt\n";
  for (int w = 0; w < 400; w++) {
    for (int k = 0; k < 250; k++) many += (k ? " e" : "e") + std::to_string(w * 250 + k);
    many += "\n";
  }
  std::string n31(31, 'n'), n32(32, 'n');

  const runcase cases[] = {
      {"empty deck", "", "", "", "", 0},
      // Its first byte, a carriage return, ends line 1.
      {"binary junk", "", junk, "", "Error at line 2: Syntax error\n", 16},
      // The first 9999 bytes are line 2, the rest line 3.
      {"one huge line", "", ".DI 1 at.txt\n" + std::string(30000, 'a') + "\n", "", "Error at line 2: Syntax error\n",
       16},
      {"1000-deep nesting", "", deep, "W0 AT\n# at\n", "", 0},
      {"1000 blocks left open", "", unclosed, "", "Error at line 1003: End of file encountered within block\n", 16},
      {"100,000 entries", "", many, "", "No fill found\nNothing fits W0, W1, W2 and at least 47 more\n", 4},
      {"names of 31 characters", "", ".DI 1 at.txt\n" + n31 + " m\n", "W0 AT\n# at\n", "", 0},
      {"first name of 32", "", ".DI 1 at.txt\n" + n32 + " m\n", "", "Error at line 2: Syntax error\n", 16},
      {"later name of 32", "", ".DI 1 at.txt\nm " + n32 + "\n", "", "Error at line 2: Invalid name for entry\n", 16},
      {"a line of NUL bytes", "", ".DI 1 at.txt\n\0\0\0\na b\n"s, "W0 AT\n# at\n", "", 0},
      // An unclosed bracket ends at the end of the pattern.
      {"=[A", "", ".DI 1 at.txt\na b =[A\n", "", "No fill found\nNothing fits W0\n", 4},
      {"=[T", "", ".DI 1 at.txt\na b =[T\n", "W0 AT\n# at\n", "", 0},
      {"=[^", "", ".DI 1 at.txt\na b =[^\n", "W0 AT\n# at\n", "", 0},
      {"=[", "", ".DI 1 at.txt\na b =[\n", "", "Error at line 2: No possible assignment to entry b\n", 16},
      {"=[]", "", ".DI 1 at.txt\na b =[]\n", "", "Error at line 2: No possible assignment to entry b\n", 16},
      {"=[T-", "", ".DI 1 at.txt\na b =[T-\n", "W0 AT\n# at\n", "", 0},
      {"=[Z-A]", "", ".DI 1 at.txt\na b =[Z-A]\n", "W0 AT\n# at\n", "", 0},
      {"bare =", "", ".DI 1 at.txt\na b =\n", "W0 AT\n# at\n", "", 0},
      {"constraint first", "", ".DI 1 at.txt\n=AT a b\n", "", "Error at line 2: Syntax error\n", 16},
  };
  runtable(cases);
}
