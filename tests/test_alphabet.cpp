// Tests of the alphabet module: the built-in table, entry definition and refusal, groups,
// codeword numbers, the conversions and printing routines, and the UTF-8 helpers.
#include <glib.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "alphabet/alphabet.h"

namespace {

// The ICC whose display text is t, or 0.
int iccof(const char* t) {
  for (int c = 1; c <= MAXICC; c++)
    if (!strcmp(icctext[c], t)) return c;
  return 0;
}

ABM bit(int c) { return 1ULL << (c - 1); }

// How a dictionary word reads in the current alphabet: direct characters first, then
// substitution entries replaced by those of their two characters that are in the alphabet.
std::string canon(const char* word) {
  int cps[100];
  int n = utf8tocps(cps, word, 100);
  std::string r;
  for (int i = 0; i < n; i++) {
    int c = uchartoICC(cps[i]);
    if (c) {
      r += icctext[c];
      continue;
    }
    int s = cpsubst[cps[i]];
    for (int k = 0; s && k < 2; k++)
      if (int p = uchartoICC(substpair[s][k])) r += icctext[p];
  }
  return r;
}

std::string captured(void (*f)()) {
  testing::internal::CaptureStdout();
  f();
  fflush(stdout);
  return testing::internal::GetCapturedStdout();
}

}  // namespace

TEST(Alphabet, BuiltinRowsLoadWholeAndConsistently) {
  static const int entries[NALPHAS] = {26, 10, 36, 42, 29, 27, 32, 29, 26, 30,
                                       36, 24, 30, 35, 26, 32, 35, 27, 29, 0};
  static const int pairs[NALPHAS] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 3};
  for (int a = 0; a < NALPHAS; a++) {
    SCOPED_TRACE(alphabets[a].dname);
    alphaclear();
    int n = 0;
    for (int i = 1; i <= MAXICC; i++) {
      const alphaslot& s = alphabets[a].slot[i];
      if (!s.rep) continue;
      n++;
      EXPECT_EQ(alphaentry(i, s.rep, s.equiv, s.inat, s.inhash, s.seqcont), 0) << s.rep;
    }
    EXPECT_EQ(n, entries[a]);
    EXPECT_EQ(ncodes, entries[a] - pairs[a]);
    EXPECT_EQ(classstart[3], ncodes);
    // Every representative and equivalent still points at its own slot: no later entry of the
    // same row has taken it over, and every substitution pair is made of the row's characters.
    for (int i = 1; i <= MAXICC; i++) {
      const alphaslot& s = alphabets[a].slot[i];
      if (!s.rep) continue;
      int cps[110];
      int m = utf8tocps(cps, s.equiv, 110);
      bool pair = substpair[i][0] != 0;
      for (int k = 0; k < m; k++) EXPECT_EQ((pair ? cpsubst : cptoicc)[cps[k]], i) << s.rep;
      if (pair) {
        EXPECT_NE(uchartoICC(substpair[i][0]), 0) << s.rep;
        EXPECT_NE(uchartoICC(substpair[i][1]), 0) << s.rep;
        EXPECT_EQ(alphaset & bit(i), 0u);
      } else {
        EXPECT_EQ(uchartoICC(icccp[i]), i) << s.rep;
        EXPECT_EQ(ordericc[iccorder[i]], i);
      }
    }
    // Groups occupy contiguous runs of used indices.
    for (int g = 0; g < 3; g++)
      for (int u = classstart[g]; u < classstart[g + 1]; u++) EXPECT_EQ(orderclass[u], g);
  }
}

TEST(Alphabet, BuiltinEntrySpotChecks) {
  struct Case {
    const char* alpha;
    const char* rep;
    bool at, hash, run;
    const char* equiv;
    int group;
  };
  static const Case cases[] = {
      {"Roman", "Y", false, true, true, "yýÝÿ", 0},
      {"Roman", "Z", false, true, false, "z", 0},
      {"Roman", "E", true, false, true, "eæÆœŒéÉèÈêÊëË", 0},
      {"French", "Y", true, false, true, "yýÝÿ", 0},
      {"Italian", "Y", true, false, true, "yýÝÿ", 0},
      {"FI", "Y", true, true, true, "yýÝÿüÜ", 0},
      {"FI", "Ö", true, false, false, "öøØõÕ", 0},
      {"CZ", "$", false, true, false, "", 2},
      {"CZ", "Ď", false, true, false, "ď", 0},
      {"CZ", "Ž", false, true, false, "ž", 2},
      {"RomanDigits", "0", false, false, true, "", 1},
      {"RomanDigits", "9", false, false, false, "", 1},
      {"DA", "Æ", true, false, true, "æ", 0},
      {"NL", "Ĳ", true, false, false, "ĳÿ", 0},
      {"EE", "Õ", true, false, true, "õ", 0},
      {"HU", "Ö", true, false, false, "öőŐ", 0},
      {"PL", "Ż", false, true, false, "ż", 0},
      {"RO", "T", false, true, true, "tȚŢțţ", 0},
      {"RU", "Е", true, false, true, "еЁё", 0},
      {"RU", "Ъ", false, true, true, "ъ", 0},
      {"SI", "Đ", false, true, false, "đ", 0},
      {"ES", "Ñ", false, true, true, "ñ", 0},
      {"SE", "Å", true, false, true, "å", 0},
      {"MG", "Σ", false, true, true, "σς", 0},
      {"AG", "Ϙ", false, true, false, "Ϙϙ", 0},
      {"AG", "Ω", true, false, false, "ωώΏὠὡὢὣὤὥὦὧὼώὨὩὪὫὬὭὮὯῶῺΏ", 0},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.alpha) + " " + k.rep);
    ASSERT_EQ(alphafind(k.alpha), 0);
    int c = iccof(k.rep);
    ASSERT_NE(c, 0);
    EXPECT_EQ((atset & bit(c)) != 0, k.at);
    EXPECT_EQ((hashset & bit(c)) != 0, k.hash);
    EXPECT_EQ(iccrun[c] != 0, k.run);
    EXPECT_STREQ(iccequiv[c], k.equiv);
    EXPECT_EQ(iccclass[c], k.group);
    EXPECT_NE(alphaset & bit(c), 0u);
  }
}

TEST(Alphabet, DictionaryCharactersReadThroughTheTables) {
  struct Case {
    const char* alpha;
    const char* word;
    const char* reads;
  };
  static const Case cases[] = {
      {"de", "Äpfel", "AEPFEL"},
      {"de", "Straße", "STRASSE"},
      {"de", "ÜBERẞ", "UEBERSS"},
      {"Roman", "éøÿ", "EOY"},
      {"Roman", "ßx", "X"},
      {"NL", "ÿy", "ĲY"},
      {"RO", "șţ", "ST"},
      {"MG", "ς", "Σ"},
      {"AG", "ᾳῼ", "ΑΙΩΙ"},
      {"CZ", "$", "$"},
      {"Digits", "a1", "1"},
  };
  for (const Case& k : cases) {
    ASSERT_EQ(alphafind(k.alpha), 0);
    EXPECT_EQ(canon(k.word), k.reads) << k.alpha << " " << k.word;
  }
  alphafind("de");
  int ae = iccof("AE");
  EXPECT_EQ(substpair[ae][0], 'A');
  EXPECT_EQ(substpair[ae][1], 'E');
  EXPECT_EQ(icccp[ae], 0);
  EXPECT_EQ(iccorder[ae], -1);
  EXPECT_EQ(ICCtouchar(ae), 0);
}

TEST(Alphabet, FindMatchesNamesAndCodesOnly) {
  struct Case {
    const char* name;
    int ret;
    int ncodes;
    const char* first;
  };
  static const Case cases[] = {
      {"de", 0, 26, "A"},       {"GERMAN", 0, 26, "A"},   {"roman", 0, 26, "A"},
      {"Roman A-Z", 1, 0, ""},  {"az09", 0, 36, "A"},     {"norwegian", 0, 29, "A"},
      {"Digits", 0, 10, "0"},   {"ru", 0, 32, "А"},       {"Null", 0, 0, ""},
      {"Roman ", 1, 0, ""},     {"", 1, 0, ""},           {nullptr, 1, 0, ""},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name ? k.name : "(null)");
    alphaload(2);  // a failed look-up must not leave the previous alphabet behind
    EXPECT_EQ(alphafind(k.name), k.ret);
    EXPECT_EQ(ncodes, k.ncodes);
    EXPECT_STREQ(icctext[1], k.first);
    EXPECT_EQ(uchartoICC('A') != 0, !strcmp(k.first, "A"));
    EXPECT_STREQ(icctext[ICC_DASH], "-");
  }
  alphaload(NALPHAS);
  EXPECT_EQ(ncodes, 0);
  alphaload(-1);
  EXPECT_EQ(ncodes, 0);
}

TEST(Alphabet, EntriesRefusedOrPartlyTaken) {
  struct Case {
    const char* rep;
    const char* equiv;
    int ret;
    const char* text;
    int cp;
  };
  static const Case cases[] = {
      {".", "", 1, "?", 63},
      {"@", "a", 1, "?", 63},
      {" ", "", 1, "?", 63},
      {"\xf3\xb0\x80\x80", "", 1, "?", 63},  // U+F0000: graphic, but beyond the mapped range
      {"", "x", 0, "?", 63},
      {"\x07", "", 0, "?", 63},
      {"B", "b-", 2, "B", 'B'},
      {"B", "b c", 2, "B", 'B'},
      {"B", "\xef\xbb\xbf" "b", 0, "B", 'B'},  // a byte-order mark is ignored, not refused
      {"AE", "ä", 0, "AE", 0},
      {"A.", "ä", 1, "", 0},  // a refused pair leaves the slot untouched
      {"ÀB", "", 0, "ÀB", 0},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.rep);
    alphaclear();
    EXPECT_EQ(alphaentry(1, k.rep, k.equiv, 1, 1, 1), k.ret);
    EXPECT_STREQ(icctext[1], k.text);
    EXPECT_EQ(icccp[1], k.cp);
    bool character = k.cp && k.cp != 63;
    EXPECT_EQ(alphaset, character ? bit(1) : 0u);
    EXPECT_EQ(atset, character ? bit(1) : 0u);
    EXPECT_EQ(ncodes, character ? 1 : 0);
    EXPECT_EQ(ICCtouchar(1), character ? k.cp : 0);
  }
  alphaclear();
  EXPECT_EQ(alphaentry(1, "B", "b-", 0, 0, 0), 2);
  EXPECT_EQ(uchartoICC('b'), 1);
  EXPECT_EQ(uchartoICC('-'), 0);
  alphaclear();
  alphaentry(1, "AE", "äÄ", 0, 0, 0);
  EXPECT_EQ(cpsubst[0xe4], 1);
  EXPECT_EQ(uchartoICC(0xe4), 0);

  // Slots outside 1..60 are left alone.
  alphaclear();
  EXPECT_EQ(alphaentry(0, "A", "", 1, 1, 1), 0);
  EXPECT_EQ(alphaentry(61, "A", "", 1, 1, 1), 0);
  EXPECT_EQ(alphaentry(-3, "A", "", 1, 1, 1), 0);
  EXPECT_EQ(ncodes, 0);
  EXPECT_EQ(uchartoICC('A'), 0);
  EXPECT_STREQ(icctext[ICC_DASH], "-");
  EXPECT_EQ(ICCtouchar(ICC_DASH), '-');
}

TEST(Alphabet, LaterDefinitionsWinAndLongTextsAreCutWhole) {
  alphaclear();
  alphaentry(1, "A", "x", 0, 0, 1);
  alphaentry(2, "B", "x", 0, 0, 1);
  EXPECT_EQ(uchartoICC('x'), 2);

  // The stored texts are cut at a character boundary; decoding uses the whole text.
  std::string rep = std::string(6, '\x01') + "é";
  std::string eq = "a";
  for (int i = 0; i < 400; i++) eq += "é";
  alphaclear();
  EXPECT_EQ(alphaentry(1, rep.c_str(), eq.c_str(), 0, 0, 1), 0);
  EXPECT_EQ(icccp[1], 0xe9);
  EXPECT_EQ(strlen(icctext[1]), 6u);
  EXPECT_EQ(strlen(iccequiv[1]), 799u);
  EXPECT_TRUE(g_utf8_validate(iccequiv[1], -1, nullptr));
  EXPECT_EQ(uchartoICC('a'), 1);
}

TEST(Alphabet, RedefiningASlotReplacesItWithoutASecondUsedIndex) {
  alphaclear();
  alphaentry(1, "A", "a", 1, 0, 1);
  alphaentry(2, "B", "b", 0, 1, 1);
  EXPECT_EQ(alphaentry(1, "C", "c", 0, 1, 0), 0);
  EXPECT_EQ(ncodes, 2);
  EXPECT_EQ(iccorder[1], 0);
  EXPECT_EQ(ordericc[0], 1);
  EXPECT_EQ(ordericc[1], 2);
  EXPECT_EQ(uchartoICC('A'), 0);
  EXPECT_EQ(uchartoICC('a'), 0);
  EXPECT_EQ(uchartoICC('c'), 1);
  EXPECT_EQ(atset, 0u);
  EXPECT_EQ(hashset, bit(1) | bit(2));

  // A pair or a refused entry in its place leaves it in none of the sets.
  EXPECT_EQ(alphaentry(1, "AE", "ä", 1, 1, 1), 0);
  EXPECT_EQ(alphaset, bit(2));
  EXPECT_EQ(uchartoICC('C'), 0);
  EXPECT_EQ(ICCtouchar(1), 0);
  EXPECT_EQ(alphaentry(1, ".", "", 1, 1, 1), 1);
  EXPECT_EQ(cpsubst[0xe4], 0);
  EXPECT_EQ(substpair[1][0], 0);

  // Repeating every slot of a full alphabet keeps one used index per slot.
  alphaclear();
  for (int pass = 0; pass < 2; pass++)
    for (int i = 1; i <= MAXICC; i++) {
      char r[8];
      cptoutf8(r, 0x400 + i);
      alphaentry(i, r, "", 0, 0, 1);
    }
  EXPECT_EQ(ncodes, MAXICC);
  EXPECT_EQ(classstart[3], MAXICC);
}

TEST(Alphabet, GroupsStayContiguous) {
  alphaload(2);
  EXPECT_EQ(std::vector<int>(classstart, classstart + 4), (std::vector<int>{0, 26, 36, 36}));
  EXPECT_EQ(iccclass[iccof("A")], 0);
  EXPECT_EQ(iccclass[iccof("0")], 1);

  alphafind("CZ");  // "$" moves the group on, so the letters after it are "others"
  EXPECT_EQ(std::vector<int>(classstart, classstart + 4), (std::vector<int>{0, 13, 13, 42}));
  EXPECT_EQ(iccclass[iccof("I")], 2);

  // A letter after a digit, and a digit after it, both go to group 2.
  alphaclear();
  alphaentry(1, "1", "", 0, 0, 1);
  alphaentry(2, "A", "a", 0, 0, 1);
  alphaentry(3, "2", "", 0, 0, 1);
  EXPECT_EQ(std::vector<int>(classstart, classstart + 4), (std::vector<int>{0, 0, 1, 3}));
  EXPECT_EQ(std::vector<int>(orderclass, orderclass + 4), (std::vector<int>{1, 2, 2, -1}));
  EXPECT_EQ(ICCtoclass(2), 2);
}

TEST(Alphabet, CodewordNumbers) {
  alphafind("Digits");
  for (int c = 0; c <= MAXICC; c++) EXPECT_EQ(codewordno[c], 0);

  alphaclear();
  alphaentry(5, "Q", "q", 0, 1, 1);
  alphaentry(6, "7", "", 0, 0, 1);
  codewordnumbers();
  for (int c = 0; c <= MAXICC; c++) EXPECT_EQ(codewordno[c], c == 5 ? 1 : 0) << c;

  // With several letters the numbers are a shuffled 1..n over the letters only.
  alphaload(2);
  std::set<int> seen;
  bool moved = false;
  for (int c = 1; c <= MAXICC; c++) {
    if (iccclass[c] == 0) {
      seen.insert(codewordno[c]);
      moved |= codewordno[c] != c;
    } else {
      EXPECT_EQ(codewordno[c], 0) << c;
    }
  }
  EXPECT_EQ(seen.size(), 26u);
  EXPECT_EQ(*seen.begin(), 1);
  EXPECT_EQ(*seen.rbegin(), 26);
  EXPECT_TRUE(moved);
}

TEST(Alphabet, ConversionsRejectOutOfRangeValues) {
  alphafind("Roman");
  alphaentry(30, ".", "", 0, 0, 0);  // a refused slot reads as no character
  struct Case {
    int (*f)(int);
    int arg, want;
  };
  static const Case cases[] = {
      {ICCtouchar, 1, 'A'},        {ICCtouchar, 61, 45},      {ICCtouchar, 62, 0},
      {ICCtouchar, -1, 0},         {ICCtouchar, -200, 0},     {ICCtouchar, 256 + 1, 0},
      {ICCtouchar, 30, 0},         {ICCtouchar, 40, 0},       {ICCtouchar, 0, 0},
      {uchartoICC, 'A', 1},        {uchartoICC, 0xe9, 5},     {uchartoICC, 0x30000, 0},
      {uchartoICC, -1, 0},         {uchartoICC, 0x2ffff, 0},  {uchartoICC, '?', 0},
      {ICCtoclass, 1, 0},          {ICCtoclass, 0, -1},       {ICCtoclass, 61, -1},
      {ICCtoclass, 62, -1},        {ICCtoclass, -1, -1},      {ICCtoclass, 30, -1},
  };
  for (const Case& k : cases) EXPECT_EQ(k.f(k.arg), k.want) << k.arg;
}

TEST(Alphabet, SetToIcc) {
  initbitidx16();
  struct Case {
    unsigned low, high;
    int want;
  };
  static const Case cases[] = {
      {0, 0, -1},          {3, 0, -2},          {1, 1, -2},          {0, 1u << 8, 41},
      {1, 0, 1},           {1u << 16, 0, 17},   {1u << 31, 0, 32},   {0, 1, 33},
      {0, 1u << 28, 61},   {0, 0x0fffffff, -2}, {0x00010000, 0x00010000, -2},
  };
  for (const Case& k : cases) EXPECT_EQ(settoicc(k.low, k.high), k.want) << k.low << " " << k.high;
  EXPECT_EQ(settoicc(ABM(1) << 47), 48);
  EXPECT_EQ(settoicc(ABM_ALL), -2);
}

TEST(Alphabet, PrintingRoutines) {
  alphafind("de");
  EXPECT_EQ(captured([] {
              printU('A');
              printU(0xe9);
              printU(7);
              printU(-5);
            }),
            "Aé");
  EXPECT_EQ(captured([] {
              static const int s[] = {'Z', 0x1f600, 0xd800, 0x20ac, 0};
              EXPECT_EQ(printUs(s), 0);
            }),
            "Z😀€");
  EXPECT_EQ(captured([] {
              printICC(27);
              printICC(61);
              printICC(62);
              printICC(-1);
              printICC(0);
            }),
            "AE-");
  EXPECT_EQ(captured([] {
              static const char s[] = {1, 30, 127, (char)200, 61, 2, 0};
              EXPECT_EQ(printICCs(s), 0);
            }),
            "ASS-B");
}

TEST(Alphabet, DebugTraces) {
  struct Case {
    const char* rep;
    const char* equiv;
    const char* out;
  };
  static const Case cases[] = {
      {"B", "b", "rep=B equiv=b\n  rep -> 1 char(s): U+00000042\n  icc=1 usedindex=0 group=0\n"
                 " 00000062\n"},
      {".", "", "rep=. equiv=\n  rep -> 1 char(s): U+0000002e\n  uc=0000002e: disallowed\n"},
      {"", "", "rep= equiv=\n  rep -> 0 char(s):\n  replacing with '?'\n"},
      {"SS", "ß", "rep=SS equiv=ß\n  rep -> 2 char(s): U+00000053 U+00000053\n"
                  "pair 00000053 00000053:  000000df\n"},
  };
  static const Case* cur;
  for (const Case& k : cases) {
    cur = &k;
    alphaclear();
    debug = DEB_ALPHA;
    std::string out = captured([] { alphaentry(1, cur->rep, cur->equiv, 0, 0, 1); });
    debug = 0;
    EXPECT_EQ(out, k.out);
  }
}

TEST(Alphabet, Utf8ToCodePoints) {
  struct Case {
    const char* text;
    int max;
    std::vector<int> want;
  };
  static const Case cases[] = {
      {"Aé€😀", 10, {'A', 0xe9, 0x20ac, 0x1f600}},
      {"\x01" "A\x7f\x80\xbf" "B", 10, {'A', 'B'}},  // controls, DEL and stray continuations
      {"\xfe" "A\xff" "B", 10, {'A', 'B'}},
      {"A\xe2\x82", 10, {'A'}},                       // terminator inside a sequence
      {"\xc3" "A", 10, {0xc1}},                       // continuation bytes are not checked
      {"\xc2\x85" "\xef\xbb\xbf" "x", 10, {'x'}},     // unprintable code points are dropped
      {"\xf8\x88\x80\x80\x80" "A", 10, {'A'}},        // five-byte form beyond Unicode
      {"ABC", 3, {'A', 'B'}},
      {"ABC", 1, {'A'}},
      {"ABC", 0, {}},
      {"", 4, {}},
  };
  for (const Case& k : cases) {
    int out[12];
    for (int& v : out) v = -7;
    int n = utf8tocps(out, k.text, k.max);
    EXPECT_EQ(std::vector<int>(out, out + n), k.want) << k.text;
    // A terminator follows whenever there is room for one, and nothing is written beyond max.
    if (n < k.max) {
      EXPECT_EQ(out[n], 0) << k.text;
    }
    for (int i = n < k.max ? n + 1 : n; i < 12; i++) EXPECT_EQ(out[i], -7) << k.text;
  }
}

TEST(Alphabet, CodePointToUtf8AndSequenceLength) {
  struct Enc {
    int u;
    const char* bytes;
  };
  static const Enc enc[] = {
      {'A', "A"},       {0xe9, "é"},     {0x20ac, "€"},  {0x1f600, "😀"}, {7, ""},
      {0xd800, ""},     {0x110000, ""},  {-1, ""},       {0x7fffffff, ""},
  };
  for (const Enc& k : enc) {
    char buf[8];
    int n = cptoutf8(buf, k.u);
    EXPECT_STREQ(buf, k.bytes) << k.u;
    EXPECT_EQ(n, (int)strlen(k.bytes)) << k.u;
  }
  // Every printable code point of the mapped range survives a round trip.
  for (int u = 0x20; u < MAXUCP; u++) {
    if (!g_unichar_isprint(u)) continue;
    char buf[8];
    int out[3];
    int l = cptoutf8(buf, u);
    ASSERT_EQ(utf8charlen(buf), l) << u;
    ASSERT_EQ(utf8tocps(out, buf, 3), 1) << u;
    ASSERT_EQ(out[0], u);
  }

  struct Len {
    const char* p;
    int want;
  };
  static const Len lens[] = {
      {"", 0},          {"A", 1},           {"\x01", 1},          {"é", 2},
      {"€x", 3},        {"😀", 4},          {"\x80", -1},         {"\xbf" "A", -1},
      {"\xfe", -1},     {"\xff", -1},       {"\xc3", -1},         {"\xe2\x82" "A", -1},
      {"\xf0\x9f\x98", -1},                 {"\xf8\x88\x80\x80\x80", 5},
      {"\xfc\x84\x80\x80\x80\x80", 6},      {"\xfc\x84\x80\x80\x80", -1},
  };
  for (const Len& k : lens) EXPECT_EQ(utf8charlen(k.p), k.want) << k.p;
}
