// The character-set notation: reading, writing, their round trip, and the display form.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "alphabet/alphabet.h"
#include "grid/zyn.h"

namespace {

// Set of characters in the "Roman plus digits" alphabet: A-Z are codes 1-26, 0-9 codes 27-36.
ABM cs(const std::string& chars) {
  ABM b = 0;
  for (char c : chars) b |= 1ULL << (c >= 'A' ? c - 'A' : 26 + c - '0');
  return b;
}

ABM span(char from, char to) {
  std::string s;
  for (char c = from; c <= to; c++) s += c;
  return cs(s);
}

std::vector<ABM> parse(const char* text, int dash, int max = 31) {
  ABM out[255];
  int n = parseabm(out, max, text, dash);
  return std::vector<ABM>(out, out + n);
}

std::string write(ABM b, int dash) {
  char buf[1000];
  abmtostr(buf, sizeof buf, b, dash);
  return buf;
}

class Charset : public ::testing::Test {
 protected:
  void SetUp() override {
    initbitidx16();
    alphaload(2);
  }
};

}  // namespace

TEST_F(Charset, Reading) {
  struct readcase {
    const char* text;
    int dash;
    std::vector<ABM> want;
  } cases[] = {
      {"A.b", 0, {cs("A"), ABM_ALL, cs("B")}},
      {"?", 0, {ABM_ALL}},
      {"?", 1, {ABM_ALLDASH}},
      {"-", 0, {}},
      {"-", 1, {ABM_DASH}},
      {"@#", 0, {cs("AEIOU"), span('B', 'Z') & ~cs("EIOU")}},
      {"[A-C]", 0, {cs("ABC")}},
      {"[c-a]", 0, {cs("ABC")}},
      {"[A-C9]x", 0, {cs("ABC9"), cs("X")}},
      {"[^A-Y]", 0, {ABM_ALL & ~span('A', 'Y')}},
      {"[^A]", 1, {ABM_ALLDASH & ~cs("A")}},
      {"[^A-]", 1, {ABM_ALL & ~cs("A")}},
      {"[A-]", 1, {cs("A") | ABM_DASH}},
      {"[A-]", 0, {cs("A")}},
      {"[-A]", 1, {cs("A") | ABM_DASH}},
      {"[@0]", 0, {cs("AEIOU0")}},
      {"[]", 0, {0}},
      {"\xc3\xa9 \xc3\x9f", 0, {cs("E"), ABM_ALL}},  // é is E; ß is not in the alphabet
      {"[AB", 0, {cs("AB")}},
      {"\xff" "A", 0, {cs("A")}},
  };
  for (const readcase& c : cases) EXPECT_EQ(parse(c.text, c.dash), c.want) << c.text << " dash " << c.dash;
  EXPECT_EQ(parse("ABCD", 0, 2), (std::vector<ABM>{cs("A"), cs("B")}));
}

TEST_F(Charset, Writing) {
  ABM letters = span('A', 'Z'), digits = span('0', '9');
  struct writecase {
    ABM set;
    int dash;
    const char* want;
  } cases[] = {
      {ABM_ALL, 0, "."},
      {letters | digits, 0, "."},
      {ABM_ALLDASH, 1, "?"},
      {ABM_ALLDASH, 0, "."},
      {ABM_ALL, 1, "."},
      {ABM_DASH, 1, "-"},
      {cs("AEIOU"), 0, "@"},
      {letters & ~cs("AEIOU"), 0, "#"},
      {cs("Q"), 0, "Q"},
      {cs("Q") | (1ULL << 50), 0, "Q"},  // codes outside the alphabet cannot be written
      {cs("AB"), 0, "[AB]"},
      {cs("ABC"), 0, "[A-C]"},
      {cs("XYZ012"), 0, "[X-Z0-2]"},
      {cs("YZ0"), 0, "[YZ0]"},            // Z ends the letters' sequence
      {cs("ACE"), 0, "[ACE]"},
      {(letters | digits) & ~cs("A"), 0, "[^A]"},
      {letters | cs("0"), 0, "[A-Z0]"},  // as long as "[^1-9]": the plain form wins
      {cs("A") | ABM_DASH, 1, "[A-]"},
      {(letters | digits) & ~cs("A"), 1, "[^A-]"},
      {0, 0, "[]"},
      {0, 1, "[]"},
      {cs("ABEIOU"), 0, "[ABEIOU]"},
  };
  for (const writecase& c : cases) EXPECT_EQ(write(c.set, c.dash), c.want) << std::hex << c.set << " dash " << c.dash;
}

TEST_F(Charset, RoundTripInSeveralAlphabets) {
  std::mt19937_64 rng(12345);
  for (int a : {2, 3, 9, 11, 19}) {
    alphaload(a);
    for (int dash = 0; dash < 2; dash++) {
      ABM mask = alphaset | (dash ? ABM_DASH : 0);
      for (int i = 0; i < 400; i++) {
        ABM b = rng();
        if (i % 2) b &= rng() & rng();  // sparse sets too
        if (i % 3 == 0) b |= alphaset;
        std::string t = write(b, dash);
        std::vector<ABM> r = parse(t.c_str(), dash);
        ASSERT_EQ(r.size(), 1u) << "alphabet " << a << ": " << t;
        ASSERT_EQ(r[0] & mask, b & mask) << "alphabet " << a << ": " << t;
      }
    }
  }
}

TEST_F(Charset, DisplayForm) {
  ABM sets[] = {cs("A"), ABM_ALL, 0, cs("AB"), ABM_DASH, cs("9")};
  char buf[64];
  abmstodispstr(buf, sizeof buf, sets, 6);
  EXPECT_STREQ(buf, "A ? -9");
  alphaload(11);  // Greek: characters of two bytes
  ABM g[] = {1, 2};
  abmstodispstr(buf, sizeof buf, g, 2);
  EXPECT_STREQ(buf, "\xce\x91\xce\x92");
}
