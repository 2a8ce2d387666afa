// The deck parser: directives, blocks, word lines, constraints and every error message.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "alphabet/alphabet.h"
#include "core/prefs.h"
#include "deck/deck.h"
#include "dicts/dicts.h"
#include "grid/zyn.h"

namespace {

// Parse a deck given as text; returns the parse result and what went to standard error.
int parse(const std::string& text, std::string* err = nullptr) {
  initbitidx16();
  loadprefdefaults();
  alphaload(0);
  docreset();
  for (int d = 0; d < MAXNDICTS; d++) dictpaths[d][0] = dsfilter[d][0] = dafilter[d][0] = 0;
  deckreset();
  FILE* f = fmemopen((void*)text.data(), text.size(), "r");
  testing::internal::CaptureStderr();
  int r = parsedeck(f);
  std::string e = testing::internal::GetCapturedStderr();
  fclose(f);
  if (err) *err = e;
  return r;
}

std::string settext(ABM b) {
  char buf[200];
  abmtostr(buf, sizeof buf, b, 1);
  return buf;
}

}  // namespace

TEST(Deck, ErrorMessages) {
  struct {
    const char* deck;
    const char* err;
  } cases[] = {
      {"}\n", "Error at line 1: End of block encountered at top level\n"},
      {"a b\n{\n", "Error at line 3: End of file encountered within block\n"},
      {".FROB\n", "Error at line 1: Unrecognised directive\n"},
      {"# c\n\n-x y\n", "Error at line 3: Syntax error\n"},
      {"abcdefghijklmnopqrstuvwxyz012345 b\n", "Error at line 1: Syntax error\n"},
      {"a abcdefghijklmnopqrstuvwxyz012345\n", "Error at line 1: Invalid name for entry\n"},
      {"a b-c\n", "Error at line 1: Invalid name for entry\n"},
      {"a1 a2 =CAT\n", "Error at line 1: Constraint too long\n"},
      {"a1 =C\nb a1 =D\n", "Error at line 2: No possible assignment to entry a1\n"},
      {".al\n", "Error at line 1: Syntax error in alphabet directive\n"},
      {".al Klingon\n", "Error at line 1: Alphabet not recognised\n"},
      {"a b\n.alphabet de\n", "Error at line 2: Alphabet directive must occur at beginning of deck\n"},
      {"{\n.AL de\n}\n", "Error at line 2: Alphabet directive encountered inside block\n"},
      {".di 10 x\n", "Error at line 1: Dictionary number must be 1..9\n"},
      {".ff 0 x\n", "Error at line 1: Dictionary number must be 1..9\n"},
      {".af\n", "Error at line 1: Dictionary number must be 1..9\n"},
      {"{\n.FF 1 x\n", "Error at line 2: Dictionary file filter directive encountered inside block\n"},
      {"a b\n.AF 1 x\n", "Error at line 2: Dictionary answer filter directive must occur at beginning of deck\n"},
      {".RA 3\n", "Error at line 1: Syntax error in random fill directive\n"},
      {".UN 01\n", "Error at line 1: Syntax error in unique fill directive\n"},
      {".TR 12\n", "Error at line 1: Invalid treatment number\n"},
      {".TR x\n", "Error at line 1: Syntax error in treatment directive\n"},
      {".ME 2 hello\n", "Error at line 1: Syntax error in message directive\n"},
      {".ME 0\n", "Error at line 1: Syntax error in message directive\n"},
      {".MA 0 3\n", "Error at line 1: Syntax error in message allocate directive\n"},
      {".MC 2 ABC\n", "Error at line 1: Syntax error in message constraints directive\n"},
      {".MC 1\n", "Error at line 1: Syntax error in  message constraints directive\n"},
      {".TW 2\n", "Error at line 1: Syntax error in word constraint directive\n"},
      {".PI\n", "Error at line 1: Syntax error in plugin directive\n"},
      {".UD 0\n", "Error at line 1: Syntax error in dictionary list\n"},
      {".UD\n", "Error at line 1: Syntax error in dictionary list\n"},
      {".EM x\n", "Error at line 1: Syntax error in entry method specification\n"},
      {"a b\n.RA 1\n", "Error at line 2: Random fill directive must occur at beginning of deck\n"},
      {"{\n.UN 1\n", "Error at line 2: Unique fill directive encountered inside block\n"},
      {"{\n.TR 1\n", "Error at line 2: Treatment directive encountered inside block\n"},
      {"a b\n.ME 0 x\n", "Error at line 2: Message directive must occur at beginning of deck\n"},
      {"{\n.MA 0 1\n", "Error at line 2: Message allocate directive encountered inside block\n"},
      {"a b\n.MC 0 A\n", "Error at line 2: Message constraints directive must occur at beginning of deck\n"},
      {"{\n.TW 1\n", "Error at line 2: Word constraint directive encountered inside block\n"},
      {"a b\n.PI x.so\n", "Error at line 2: Plugin directive must occur at beginning of deck\n"},
      {"{\n.DI 1 x\n", "Error at line 2: Dictionary directive encountered inside block\n"},
  };
  for (auto& c : cases) {
    std::string err;
    EXPECT_EQ(parse(c.deck, &err), 16) << c.deck;
    EXPECT_EQ(err, c.err) << c.deck;
  }
  std::string many = "w";
  for (int i = 0; i < 251; i++) many += " e" + std::to_string(i);
  std::string err;
  EXPECT_EQ(parse(many + "\n", &err), 16);
  EXPECT_EQ(err, "Error at line 1: Too many entries in word\n");

  // One set more than the longest word can hold is too long, not cut to fit.
  std::string w250 = "e0";
  for (int i = 1; i < MXCL; i++) w250 += " e" + std::to_string(i);
  EXPECT_EQ(parse(w250 + " =" + std::string(MXCL + 1, 'A') + "\n", &err), 16);
  EXPECT_EQ(err, "Error at line 1: Constraint too long\n");
  ASSERT_EQ(parse(w250 + " =" + std::string(MXCL, 'A') + "\n", &err), 0) << err;
  EXPECT_EQ(settext(dkents[0].flbm), "A");

  // Paths and filters that do not fit their buffers are refused, not cut.
  const struct {
    const char *dir, *what;
  } longvalues[] = {{".DI 1 ", "Dictionary file name"},
                    {".FF 2 ", "Dictionary file filter"},
                    {".AF 3 ", "Dictionary answer filter"},
                    {".PI ", "Plugin file name"}};
  for (auto& l : longvalues) {
    EXPECT_EQ(parse(l.dir + std::string(SLEN, 'x') + "\n", &err), 16) << l.dir;
    EXPECT_EQ(err, std::string("Error at line 1: ") + l.what + " too long (at most 999 bytes)\n");
    EXPECT_EQ(parse(l.dir + std::string(SLEN - 1, 'x') + "\n", &err), 0) << err;
  }
}

TEST(Deck, DirectivesSetTheirSettings) {
  std::string err;
  ASSERT_EQ(parse("# comment\n#also\n\n"
                  ".di 2 /tmp/words list.txt  \n"
                  ".FileFilter 1 ^[a-z]+$\n"
                  ".AF 3\n"
                  ".RA 2\n.UN 0\n"
                  ".TR 9abc\n"
                  ".ME 1  a message \n"
                  ".MA 1 2\n"
                  ".MC 0 [AB]-?C\n"
                  ".TW 1\n"
                  ".PI /tmp/plug in.so\n"
                  ".AL de\n",
                  &err),
            0)
      << err;
  EXPECT_STREQ(dictpaths[1], "/tmp/words list.txt  ");
  EXPECT_STREQ(dsfilter[0], "^[a-z]+$");
  EXPECT_STREQ(dafilter[2], "");
  EXPECT_EQ(dkdictseen, 1);
  EXPECT_EQ(prefint(PREF_AUTOFILL_RANDOM), 2);
  EXPECT_EQ(prefint(PREF_AUTOFILL_NO_DUPLICATES), 0);
  EXPECT_EQ(treattype, 9);
  EXPECT_STREQ(treatmsg[1], "a message ");
  EXPECT_EQ(allocmode[1], 2);
  EXPECT_EQ(mustbeword, 1);
  EXPECT_STREQ(pluginpath, "/tmp/plug in.so");
  EXPECT_EQ(settext(msgconstr[0][0]), "[AB]");
  EXPECT_EQ(msgconstr[0][1], ABM_DASH);
  EXPECT_EQ(msgconstr[0][2], ABM_ALLDASH);
  EXPECT_EQ(msgconstr[0][3], 1ULL << 2);
  EXPECT_EQ(msgconstr[0][4], ABM_ALLDASH);
  EXPECT_EQ(msgconstr[0][254], ABM_ALLDASH);
  EXPECT_STREQ(icctext[27], "AE");  // the German alphabet was chosen

  ASSERT_EQ(parse(".DI 2\n"), 0);
  EXPECT_STREQ(dictpaths[1], "");
}

TEST(Deck, WordsEntriesBlocksAndConstraints) {
  std::string err;
  ASSERT_EQ(parse("a1 a2 a3 =C?T\n"
                  "b1 a2 b3\n"
                  "{\n"
                  ".UD 23\n.EM frj\n.TD\n"
                  "c1 c2\n"
                  "  {\n.em <@\nd1 d2\n}\n"
                  "e1 e2\n"
                  "}\n"
                  "f1 f2 f1 =.X.\n",
                  &err),
            0)
      << err;
  ASSERT_EQ(dknw, 6);
  EXPECT_EQ(settext(dkents[dkfind("a1")].flbm), "C");
  EXPECT_EQ(dkents[dkfind("a2")].flbm, ABM_ALLDASH);
  EXPECT_EQ(settext(dkents[dkfind("a3")].flbm), "T");
  EXPECT_EQ(dkwords[0].e[1], dkwords[1].e[1]);  // the two words cross at a2
  EXPECT_EQ(dkwords[0].dmask, 1u);
  EXPECT_EQ(dkwords[0].emask, 1u);
  EXPECT_EQ(dkwords[0].ten, 1);
  EXPECT_EQ(dkwords[2].dmask, 6u);
  EXPECT_EQ(dkwords[2].emask, 19u);
  EXPECT_EQ(dkwords[2].ten, 0);
  EXPECT_EQ(dkwords[3].emask, 18u);
  EXPECT_EQ(dkwords[3].dmask, 6u);
  EXPECT_EQ(dkwords[4].emask, 19u);  // the inner block's change ended with it
  EXPECT_EQ(dkwords[5].dmask, 1u);
  EXPECT_EQ(dkwords[5].nent, 3);
  EXPECT_EQ(dkwords[5].e[0], dkwords[5].e[2]);  // one entry twice in a word
  EXPECT_EQ(settext(dkents[dkfind("f2")].flbm), "X");
  EXPECT_EQ(dkfind("A1"), -1);  // names are case-sensitive
}

TEST(Deck, HostileInput) {
  std::string err;
  // Deep nesting is only a matter of memory.
  std::string deep(1000 * 2, '{');
  for (size_t i = 1; i < deep.size(); i += 2) deep[i] = '\n';
  std::string closing;
  for (int i = 0; i < 1000; i++) closing += "}\n";
  EXPECT_EQ(parse(deep + "a b\n" + closing, &err), 0) << err;
  EXPECT_EQ(dknw, 1);

  // A line longer than the buffer is read as several lines.
  std::string huge(25000, 'x');
  EXPECT_EQ(parse(huge + "\n", &err), 16);
  EXPECT_EQ(err, "Error at line 1: Syntax error\n");

  // Binary junk.
  std::string junk;
  for (int i = 0; i < 4096; i++) junk += (char)((i * 7919) & 0xff);
  EXPECT_EQ(parse(junk, &err), 16);
  EXPECT_EQ(err.rfind("Error at line ", 0), 0u);

  // Many entries and words.
  std::string big;
  for (int i = 0; i < 100000; i++) big.append("x").append(std::to_string(i)).append(" y").append(std::to_string(i % 1000)).append("\n");
  EXPECT_EQ(parse(big, &err), 0) << err;
  EXPECT_EQ(dknw, 100000);
  EXPECT_EQ(dkne, 101000);
  EXPECT_EQ(parse("", &err), 0);
  EXPECT_EQ(dknw, 0);
}
