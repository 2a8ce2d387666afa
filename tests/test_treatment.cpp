// Answer treatments: every treatment type through list building, clue-order and discretionary
// allocation of message characters with message slots and words, mustbeword, the slot limit,
// bad settings and messages, the dialog labels, and plug-ins compiled from C and loaded here.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <pthread.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "alphabet/alphabet.h"
#include "core/prefs.h"
#include "dicts/dicts.h"
#include "filler/filler.h"
#include "filler/lists.h"
#include "grid/lights.h"
#include "grid/zyn.h"
#include "tests/testutil.h"
#include "treatment/treatment.h"

namespace {

int icc(char c) { return uchartoICC((unsigned char)c); }
ABM bit(char c) { return c == '-' ? ABM_DASH : 1ULL << (icc(c) - 1); }

std::string text(const char* s, int n) {
  std::string r;
  for (int i = 0; i < n && s[i]; i++) r += icctext[(unsigned char)s[i]];
  return r;
}

class Treat : public ::testing::Test {
 protected:
  void SetUp() override { resetengine(); }
  void TearDown() override {
    filler_stop();
    unloadplugin();
    dictsfree();
  }
};

void dict(const std::vector<std::string>& ws) { ASSERT_EQ(loadwords(ws), 0); }

// Treated lights along rows, rows separated by blocked rows; '.' an empty cell, '#' a block,
// a letter a settled cell. Resets the document, so the treatment is set afterwards.
void lights(const std::vector<std::string>& rows) {
  gtype = 0;
  width = 0;
  for (auto& r : rows) width = std::max(width, (int)r.size());
  height = 2 * (int)rows.size() - 1;
  cursorx = cursory = cursordir = cursorlayer = 0;
  docreset();
  deflight.ten = 1;
  defcell.treatcell = 1;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      square& s = sqarray[x][y];
      const std::string* r = y % 2 ? nullptr : &rows[y / 2];
      if (!r || x >= (int)r->size() || (*r)[x] == '#') s.sqflags = SQF_BLOCK;
      else if ((*r)[x] != '.') s.charsets[0][0] = bit((*r)[x]);
    }
}

void treatment(int type, const char* m1 = "", const char* m2 = "", int a1 = 0, int a2 = 0) {
  treattype = type;
  strlcpy0(treatmsg[0], m1, MXMSGLEN + 1);
  strlcpy0(treatmsg[1], m2, MXMSGLEN + 1);
  allocmode[0] = a1;
  allocmode[1] = a2;
  ASSERT_EQ(rebuild(), 0);
}

// Every word's list as the strings offered, in order and with repeats; a treated light's
// strings are followed by "/" and their two tags.
std::vector<std::vector<std::string>> lists(bool tags = false) {
  ltsclear();
  EXPECT_EQ(inittreatment(), 0);
  EXPECT_EQ(buildlists(), 0);
  std::vector<std::vector<std::string>> r(nw);
  for (int i = 0; i < nw; i++)
    for (int j = 0; j < words[i].flistlen; j++) {
      const ltsrec& l = lts[words[i].flist[j]];
      std::string s = text(l.s, l.len0);
      if (tags && l.ten) s += std::string("/") + text(l.s + l.len0, 2);
      r[i].push_back(s);
    }
  return r;
}

int fill(int mode) {
  EXPECT_EQ(runfiller(mode), 0);
  filler_wait();
  return filler_status;
}

std::string settled(const entry* e) {
  ABM b = e->flbmh;
  return b && !(b & (b - 1)) ? icctext[__builtin_ctzll(b) + 1] : "?";
}

}  // namespace

TEST_F(Treat, EveryTypeOnOneLight) {
  struct {
    int type;
    const char *m1, *m2;
    int alpha;
    const char* answer;
    int len;
    std::vector<std::string> want;
  } cases[] = {
      {0, "", "", 0, "TEN", 3, {"TEN"}},
      // Playfair: HE in one row, DM in one column, PR a rectangle; a doubled pair and an odd
      // last letter stay; J enciphers as I, and a pair sharing a cell stays.
      {1, "PLAYFAIR", "", 0, "HEDMPR", 6, {"KGMTLI"}},
      {1, "PLAYFAIR", "", 0, "LLAMA", 5, {"LLFHA"}},
      {1, "PLAYFAIR", "", 0, "JR", 2, {"RB"}},
      {1, "PLAYFAIR", "", 0, "IJ", 2, {"IJ"}},
      {1, "PLAYFAIR", "", 0, "HE", 3, {}},
      {2, "QWERTYUIOPASDFGHJKLZXCVBNM", "", 0, "ZEBRA", 5, {"MTWKQ"}},
      {2, "XY", "", 0, "ABC", 3, {"XYC"}},
      // Letters and digits: the key covers the letters and then the digits.
      {2, "ZYXWVUTSRQPONMLKJIHGFEDCBA9876543210", "", 2, "A1", 2, {"Z8"}},
      {3, "B", "", 0, "ZAP", 3, {"ABQ"}},
      {3, "AB", "", 0, "AAAA", 4, {"ABAB"}},
      {3, "B", "", 2, "Z9", 2, {"A0"}},
      {3, "1", "", 2, "A9", 2, {"B0"}},
      {3, "", "", 0, "ZAP", 3, {"ZAP"}},
      {4, "C", "", 0, "ABC", 3, {"CDE"}},
      {4, "", "", 0, "ABC", 3, {"ABC"}},
      {5, "A", "O", 0, "BANANA", 6, {"BONANA", "BANONA", "BANANO"}},
      {5, "A", "A", 0, "BANANA", 6, {"BANANA"}},
      {5, "", "O", 0, "BOO", 3, {"OOO"}},
      {5, "-", "O", 0, "BOO", 3, {"OOO"}},
      {5, "", "", 0, "BOO", 3, {"BOO"}},
      {11, "O", "", 0, "BOO", 3, {"OOO"}},
      {6, "E", "", 0, "TEEN", 3, {"TEN"}},
      {6, "E", "", 0, "EVE", 2, {"VE", "EV"}},
      {6, "E", "", 0, "TEEN", 4, {}},
      {7, "E", "", 0, "TEEPEE", 2, {"TP"}},
      {7, "E", "", 0, "TEEPEE", 3, {}},
      {7, "E", "", 0, "TAP", 3, {}},
      {8, "E", "", 0, "TEN", 4, {"ETEN", "TEEN", "TENE"}},
      {8, "E", "", 0, "TEN", 3, {}},
  };
  for (auto& c : cases) {
    alphaload(c.alpha);
    dict({c.answer});
    lights({std::string(c.len, '.')});
    treatment(c.type, c.m1, c.m2);
    EXPECT_EQ(lists()[0], c.want) << c.type << " " << c.m1 << " " << c.answer;
  }
}

TEST_F(Treat, PlayfairSquare) {
  lights({"..."});
  treatment(1, "playfair");
  inittreatment();
  std::string sq;
  for (int c : pfsquare) sq += icctext[c];
  EXPECT_EQ(sq, "PLAYFIRBCDEGHKMNOQSTUVWXZ");
  EXPECT_EQ(pfcell[icc('J')], pfcell[icc('I')]);
  // With no I, a J in the keyword keeps its own cell.
  alphaclear();
  const char* letters[] = {"J", "A", "B"};
  for (int i = 0; i < 3; i++) alphaentry(i + 1, letters[i], "", 0, 0, 0);
  treatment(1, "JAB");
  inittreatment();
  EXPECT_EQ(pfsquare[0], 1);
  EXPECT_EQ(pfsquare[3], 0);
}

// A misprint with only the correct character given offers every other character there.
TEST_F(Treat, MisprintWithoutIncorrectCharacter) {
  for (int type : {5, 10}) {
    dict({"OX"});
    lights({".."});
    treatment(type, "X");
    std::vector<std::string> want;
    for (char c = 'A'; c <= 'Z'; c++)
      if (c != 'X') want.push_back(std::string("O") + c);
    EXPECT_EQ(lists()[0], want) << type;
  }
}

// The fixed allocation gives treated lights the message characters in clue order, and a
// light past the end of the message the no-character tag.
TEST_F(Treat, ClueOrder) {
  dict({"AB"});
  lights({"..", "..", ".."});
  treatment(4, "BC");
  auto l = lists(true);
  EXPECT_EQ(l, (std::vector<std::vector<std::string>>{{"BC/B-"}, {"CD/C-"}, {"BC/--"}}));
  treatment(5, "ABA", "XYZ");
  l = lists(true);
  EXPECT_EQ(l, (std::vector<std::vector<std::string>>{{"XB/AX"}, {"AY/BY"}, {"ZB/AZ"}}));
}

// Under a discretionary allocation the no-character tag leaves the answer untreated.
TEST_F(Treat, NoCharacterTagIsUntreated) {
  dict({"TE", "TEN", "TEEN"});
  for (int type : {4, 6, 7, 8, 10, 11}) {
    lights({"...", "..."});
    treatment(type, "E", "", 1);
    std::vector<std::string> untreated;
    auto l = lists(true);
    for (auto& s : l[0])
      if (s.substr(s.size() - 2) == "--") untreated.push_back(s);
    EXPECT_EQ(untreated, std::vector<std::string>{"TEN/--"}) << type;
  }
}

TEST_F(Treat, MessageSlotsAndWords) {
  dict({"CAT"});
  lights({"...", "...", "..."});
  msgconstr[0][1] = bit('B') | ABM_DASH;
  treatment(6, "AB", "", 1);
  ASSERT_EQ(nw, 4);
  EXPECT_EQ(ntw, 3);
  EXPECT_EQ(ne, 9 + 6);
  EXPECT_EQ(msgword0, 3);
  for (int i = 0; i < 3; i++) {
    const word& w = words[i];
    EXPECT_EQ(w.nent, 5);
    EXPECT_EQ(w.wlen, 3);
    EXPECT_EQ(w.jlen, 3);
    EXPECT_EQ(w.e[3], words[3].e[i]);
    EXPECT_EQ(w.e[3]->flbm, i == 1 ? (bit('B') | ABM_DASH) : ABM_ALLDASH);
    EXPECT_EQ(w.e[4]->flbm, ABM_ALLDASH);  // message 2 is allocated in clue order
    for (int k = 3; k < 5; k++) {
      EXPECT_EQ(w.e[k]->checking, 2);
      EXPECT_EQ(w.e[k]->sel, 1);
    }
  }
  const word& m = words[3];
  EXPECT_EQ(m.nent, 3);
  EXPECT_EQ(m.wlen, 2);
  EXPECT_EQ(m.lp->dmask, 0x200u);
  EXPECT_EQ(m.lp->emask, 0x20u);
  EXPECT_EQ(m.lp->ten, 0);
  EXPECT_EQ(text(msgword[0], 9), "AB");
  EXPECT_EQ(lists()[3], std::vector<std::string>{"AB"});

  struct {
    int type;
    const char *m1, *m2;
    int a1, a2;
    std::vector<std::string> words;  // the message words' strings
    std::vector<int> wlens;
  } cases[] = {
      {6, "AB", "", 2, 0, {"AB-"}, {3}},
      {6, "ABCDE", "", 1, 0, {"ABC"}, {3}},
      {6, "ABCDE", "", 2, 0, {"ABC"}, {3}},
      {9, "A", "XY", 2, 1, {"A--", "XY"}, {3, 2}},
      {6, "", "", 2, 0, {"---"}, {3}},
      // An empty spread message makes no word: every slot takes "-" from the lights' tags.
      {6, "", "", 1, 0, {}, {}},
      {6, "AB", "", 0, 0, {}, {}},
  };
  for (auto& c : cases) {
    lights({"...", "...", "..."});
    treatment(c.type, c.m1, c.m2, c.a1, c.a2);
    ASSERT_EQ(nw, 3 + (int)c.words.size()) << c.m1 << c.a1;
    for (size_t j = 0; j < c.words.size(); j++) {
      const word& w = words[3 + j];
      int mm = w.lp->dmask == 0x200 ? 0 : 1;
      EXPECT_EQ(text(msgword[mm], 9), c.words[j]);
      EXPECT_EQ(w.wlen, c.wlens[j]);
      EXPECT_EQ(w.lp->emask, allocmode[mm] == 2 ? 0x1fu : 0x20u);
      if (allocmode[mm] == 2) {
        EXPECT_EQ(w.jlen, 3);
      }
    }
  }
}

// Insertion with message "AB" spread over three lights in clue order: the grid decides which
// lights may take which character, and only the right order fills in mode 1. Message
// constraints that settle every slot still leave the message word to be checked.
TEST_F(Treat, DiscretionaryFills) {
  dict({"CT", "DOG", "HT"});
  struct {
    std::vector<std::string> rows;
    int mode;
    const char* constraints;
    int status;
    std::string slots;
  } cases[] = {
      {{"CAT", "DOG", "HBT"}, 1, "", FS_DONE, "A-B"},
      {{"HBT", "DOG", "CAT"}, 1, "", FS_NOFILL, ""},
      {{"HBT", "DOG", "CAT"}, 2, "", FS_DONE, "B-A"},
      {{"HBT", "DOG", "CAT"}, 0, "", FS_NOFILL, ""},
      {{"CAT", "DOG", "HBT"}, 1, "A-B", FS_DONE, "A-B"},
      {{"CAT", "DOG", "HAT"}, 1, "A-A", FS_NOFILL, ""},
      {{"HBT", "DOG", "CAT"}, 2, "B-B", FS_NOFILL, ""},
  };
  for (auto& c : cases) {
    lights(c.rows);
    for (int i = 0; c.constraints[i]; i++) msgconstr[0][i] = bit(c.constraints[i]);
    treatment(8, "AB", "", c.mode);
    ASSERT_EQ(fill(FM_ALL), c.status) << c.rows[0] << c.mode << c.constraints;
    if (c.status != FS_DONE) continue;
    std::string got;
    for (int i = 0; i < 3; i++) got += settled(words[i].e[3]);
    EXPECT_EQ(got, c.slots);
  }
  // An empty spread message leaves every light untreated.
  lights({"DOG"});
  treatment(8, "", "", 1);
  EXPECT_EQ(fill(FM_ALL), FS_DONE);
}

TEST_F(Treat, MustBeWord) {
  dict({"CAT", "COT", "DOG"});
  lights({"..."});
  treatment(10, "A");
  EXPECT_EQ(lists()[0].size(), 25u);
  mustbeword = 1;
  EXPECT_EQ(lists()[0], std::vector<std::string>{"COT"});
}

TEST_F(Treat, MoreThan255TreatedLights) {
  dict({"AT", "EAT"});
  std::string row;
  for (int i = 0; i < 21; i++) row += "..#";
  // 13 rows of 21 two-cell lights.
  lights(std::vector<std::string>(13, row));
  for (ABM& b : msgconstr[0]) b = ABM_DASH;
  treatment(6, "E", "", 1);
  ASSERT_EQ(ntw, 273);
  ASSERT_EQ(nw, 274);
  EXPECT_EQ(gstats.msgoverflow, 1);
  EXPECT_EQ(words[273].nent, 255);
  EXPECT_EQ(words[254].e[2]->flbm, ABM_DASH);
  EXPECT_EQ(words[255].e[2]->flbm, ABM_ALLDASH);
  auto l = lists(true);
  EXPECT_EQ(l[0], std::vector<std::string>{"AT/--"});
  EXPECT_EQ(l[260], (std::vector<std::string>{"AT/E-", "AT/--"}));
  lights(std::vector<std::string>(3, row));
  treatment(6, "E", "", 1);
  EXPECT_EQ(gstats.msgoverflow, 0);
}

TEST_F(Treat, SettingsOutOfRange) {
  dict({"TEN"});
  for (int bad : {12, -1, 1000}) {
    lights({"..."});
    treatment(bad, "E");
    EXPECT_EQ(treattype, 0);
    EXPECT_EQ(ntw, 0);
    EXPECT_EQ(words[0].nent, 3);
    EXPECT_EQ(lists()[0], std::vector<std::string>{"TEN"});
  }
  struct {
    int type, a1, a2, w1, w2;
  } cases[] = {{4, 3, 0, 0, 0}, {4, -1, 0, 0, 0}, {1, 1, 0, 0, 0}, {4, 2, 2, 2, 0}, {9, 1, 2, 1, 2}, {5, 1, 1, 0, 0}};
  for (auto& c : cases) {
    lights({"..."});
    treatment(c.type, "E", "E", c.a1, c.a2);
    EXPECT_EQ(allocmode[0], c.w1) << c.type << c.a1 << c.a2;
    EXPECT_EQ(allocmode[1], c.w2) << c.type << c.a1 << c.a2;
  }
}

TEST_F(Treat, MessageForms) {
  auto u = [](const int* p) {
    std::vector<int> v;
    while (*p) v.push_back(*p++);
    return v;
  };
  alphaload(2);
  lights({"..."});
  treatment(9, "a-b?1ß");
  EXPECT_EQ(text(treatmsgICC[0], 99), "AB1");
  EXPECT_EQ(text(treatmsgICCAZ[0], 99), "AB");
  EXPECT_EQ(text(treatmsgICCAZ09[0], 99), "AB1");
  EXPECT_STREQ(treatmsgAZ[0], "AB");
  EXPECT_STREQ(treatmsgAZ09[0], "AB1");
  EXPECT_EQ(u(treatmsgU[0]), (std::vector<int>{'a', '-', 'b', '?', '1', 0xdf}));
  EXPECT_EQ(u(treatmsgUAZ09[0]), (std::vector<int>{'A', 'B', '1'}));
  // The exported forms follow the messages once a plug-in fill starts.
  inittreatment();
  EXPECT_STREQ(treatmessage[0], "a-b?1ß");
  EXPECT_EQ(treatmessageICC[0], treatmsgICC[0]);
  EXPECT_EQ(treatmessageUAZ09[1], treatmsgUAZ09[1]);

  alphaload(13);  // Polish: letters above 128 are canonical but not in the byte forms
  treatment(9, "ąb");
  EXPECT_EQ(u(treatmsgUAZ[0]), (std::vector<int>{0x104, 'B'}));
  EXPECT_STREQ(treatmsgAZ[0], "B");

  // Messages at full length, one not even terminated, are cut to the characters kept.
  alphaload(0);
  memset(treatmsg[0], 'e', sizeof treatmsg[0]);
  for (int i = 0; i + 1 < MXMSGLEN; i += 2) memcpy(treatmsg[1] + i, "é", 2);
  treattype = 5;
  allocmode[0] = allocmode[1] = 0;
  ASSERT_EQ(rebuild(), 0);
  EXPECT_EQ(treatmsg[0][MXMSGLEN], 0);
  EXPECT_EQ(strlen(treatmsgICC[0]), (size_t)MXMSGU);
  EXPECT_EQ(u(treatmsgU[1]).size(), (size_t)MXMSGU);
  EXPECT_EQ(text(treatmsgICC[1], 3), "EEE");
  dict({"TEN"});
  EXPECT_EQ(lists()[0], std::vector<std::string>{"TEN"});
}

// Empty messages: every type but Playfair (which then uses the plain alphabet) leaves the
// answer as it is.
TEST_F(Treat, EmptyMessages) {
  dict({"TE", "TEN", "TEEN"});
  for (int type = 0; type < NTREATTYPES; type++) {
    if (type == TT_PLUGIN) continue;
    for (int mode : {0, 1}) {
      lights({"..."});
      treatment(type, "", "", mode, mode);
      EXPECT_EQ(lists()[0], std::vector<std::string>{type == TT_PLAYFAIR ? "UDN" : "TEN"}) << type;
    }
  }
}

TEST_F(Treat, Labels) {
  struct {
    int alpha, type, m;
    const char* want;
  } cases[] = {
      {0, 0, 0, "-"},
      {0, 1, 0, "Keyword:"},
      {0, 1, 1, "-"},
      {0, 2, 0, "Encode ABC...Z as: "},
      {2, 2, 0, "Encode ABC...Z, 012...9 as: "},
      {1, 2, 0, "Encode 012...9 as: "},
      {0, 4, 0, "Encodings of A: "},
      {2, 4, 0, "Encodings of A, 0: "},
      {0, 5, 1, "Incorrect characters:"},
      {0, 9, 1, "Message 2:"},
      {0, 10, 0, "Correct characters:"},
      {0, 11, 0, "Incorrect characters:"},
      {0, 12, 0, "-"},
      {-1, 2, 0, "Alphabet substitutions: "},
      {-1, 4, 0, "Encoding offsets: "},
  };
  for (auto& c : cases) {
    if (c.alpha < 0) alphaclear();
    else alphaload(c.alpha);
    EXPECT_STREQ(msglabel(c.type, c.m), c.want) << c.type << " " << c.m;
  }
  // A short group is written out.
  alphaclear();
  const char* letters[] = {"X", "Y", "Z", "1"};
  for (int i = 0; i < 4; i++) alphaentry(i + 1, letters[i], "", 0, 0, 0);
  EXPECT_STREQ(msglabel(2, 0), "Encode XYZ, 1 as: ");
  EXPECT_STREQ(treatnames[treatorder[5]], " Misprint (correct characters specified)");
}

// Plug-ins are compiled from C into a temporary folder and loaded into this process, which
// exports the program's names to them.
namespace {

// Removed at exit with everything built in it.
struct tempdir {
  std::string path;
  ~tempdir() {
    if (!path.empty()) std::filesystem::remove_all(path);
  }
};

std::string plugindir() {
  static tempdir dir;
  if (dir.path.empty()) {
    char t[] = "/tmp/zynpluginXXXXXX";
    dir.path = mkdtemp(t);
  }
  return dir.path;
}

std::string buildplugin(const std::string& name, const std::string& source) {
  std::string c = plugindir() + "/" + name + ".c", so = plugindir() + "/" + name + ".so";
  FILE* f = fopen(c.c_str(), "w");
  fputs(source.c_str(), f);
  fclose(f);
  std::string err;
  int st = runcmd("cc -shared -fPIC -Wall -I" ZYN_SOURCE_DIR "/treatment -o " + so + " " + c, nullptr, &err);
  EXPECT_EQ(st, 0) << err;
  return so;
}

std::string example(const std::string& name) {
  FILE* f = fopen((std::string(ZYN_SOURCE_DIR "/examples/plugins/") + name + ".c").c_str(), "r");
  std::string s;
  char buf[4096];
  size_t n;
  while (f && (n = fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
  if (f) fclose(f);
  return buildplugin(name, s);
}

const char* load(const std::string& path) {
  strlcpy0(pluginpath, path.c_str(), SLEN);
  return loadplugin();
}

// A symbol of a plug-in that is loaded.
template <class T>
T* sym(const std::string& path, const char* name) {
  void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  EXPECT_NE(h, nullptr);
  // The library stays mapped while this handle is open, so its data outlive unloadplugin.
  return h ? (T*)dlsym(h, name) : nullptr;
}

}  // namespace

TEST_F(Treat, ExamplePlugins) {
  std::string swap = example("swapends"), prefix = example("prefix");
  dict({"DRAWN", "A"});
  lights({"....."});
  treatment(9);
  ASSERT_EQ(load(swap), nullptr);
  EXPECT_EQ(lists()[0], std::vector<std::string>{"NRAWD"});

  dict({"OP", "RAIN", "STOP", "TOP", "TRAIN"});
  lights({".....", "....", ".."});
  treatment(9, "ts");
  testing::internal::CaptureStdout();
  EXPECT_EQ(load(prefix), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "prefix plug-in loaded\n");
  EXPECT_EQ(lists(), (std::vector<std::vector<std::string>>{{"TRAIN"}, {"STOP"}, {"OP"}}));
  testing::internal::CaptureStdout();
  unloadplugin();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "prefix plug-in unloaded\n");
}

TEST_F(Treat, PluginLoadErrors) {
  std::string notreat = buildplugin("notreat", "#include <stdio.h>\nvoid init(void) { puts(\"init\"); }\n");
  std::string notlib = writetemp("not a library\n", ".so");
  std::string longpath(SLEN + 10, 'a');
  struct {
    std::string path;
    std::string prefix;  // the error starts with it and goes on with the loader's reason
  } cases[] = {
      {"/nonexistent/zyn/plugin.so", "\"/nonexistent/zyn/plugin.so\": "},
      {notlib, "\"" + notlib + "\": "},
      {notreat, "\"treat\": "},
      {"", "\"\": "},
      {"\xff\xfe.so", "\"\": "},
      {longpath, "\"" + longpath.substr(0, SLEN - 1) + "\": "},
  };
  for (auto& c : cases) {
    testing::internal::CaptureStdout();
    const char* e = load(c.path);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "init of a refused library ran";
    ASSERT_NE(e, nullptr) << c.path;
    EXPECT_EQ(std::string(e).substr(0, c.prefix.size()), c.prefix);
    EXPECT_GT(strlen(e), c.prefix.size()) << e;
    EXPECT_FALSE(pluginloaded());
  }
  EXPECT_EQ(dlopen(notreat.c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr) << "a refused library stays loaded";
  // Without a plug-in a plug-in fill cannot build its lists.
  dict({"TEN"});
  lights({"..."});
  treatment(9);
  ltsclear();
  EXPECT_EQ(buildlists(), 1);
  EXPECT_EQ(filler_status, FS_LISTS);
}

// Two message words with the same text, both allocated by the filler: the duplicates rule is
// for the lights' answers, so neither strikes the other's only candidate.
TEST_F(Treat, EqualMessageWords) {
  std::string so = buildplugin("identity", "#include \"zynplugin.h\"\nint treat(const char *a) { return treatedanswer(a); }\n");
  dict({"CAT", "DOG"});
  for (int mode : {1, 2}) {
    lights({"...", "..."});
    treatment(9, "AB", "AB", mode, mode);
    ASSERT_EQ(load(so), nullptr);
    ASSERT_EQ(nw, 4);
    EXPECT_EQ(fill(FM_ALL), FS_DONE) << mode;
  }
}

// A plug-in with only treat loads and unloads silently. Strings of the wrong length, strings
// holding bytes that are no codes, and null pointers add nothing and get 0.
TEST_F(Treat, PluginWithoutInitOfferingBadStrings) {
  std::string so = buildplugin("badstrings", R"(
#include <stdio.h>
#include "zynplugin.h"
int results[8] = {-9, -9, -9, -9, -9, -9, -9, -9};
int treat(const char *a) {
  char s[600];
  char code62[4] = {answerICC[0], 62, answerICC[2], 0}, code200[4] = {answerICC[0], (char)200, answerICC[2], 0};
  snprintf(s, sizeof s, "%sX", a);
  results[0] = treatedanswer(s);
  results[1] = treatedanswerU(answerU + 1);
  results[2] = treatedanswer("");
  results[3] = treatedanswerICC(code62);
  results[4] = treatedanswerICC(code200);
  results[5] = treatedanswerICC(0);
  results[6] = iswordICC(0);
  results[7] = treatedanswer(0) + treatedanswerU(0) + isword(0) + iswordU(0);
  return 0;
}
)");
  dict({"TEN"});
  lights({"..."});
  treatment(9);
  testing::internal::CaptureStdout();
  EXPECT_EQ(load(so), nullptr);
  EXPECT_TRUE(pluginloaded());
  EXPECT_EQ(lists()[0], std::vector<std::string>{});
  int* r = sym<int>(so, "results");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(std::vector<int>(r, r + 8), (std::vector<int>(8, 0)));
  EXPECT_EQ(fill(FM_ALL), FS_NOFILL);
  filler_stop();
  unloadplugin();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_FALSE(pluginloaded());
}

// treat runs on the filler thread and sees the light, the answer and the messages.
TEST_F(Treat, PluginSeesTheLightOnTheFillerThread) {
  std::string so = buildplugin("probe", R"(
#include <pthread.h>
#include <string.h>
#include "zynplugin.h"
unsigned long thread;
int probe[14], inits, finits, failat = -1;
char msg[64];
void init(void) { inits++; }
void finit(void) { finits++; }
int treat(const char *a) {
  thread = (unsigned long)pthread_self();
  int v[14] = {lightlength, lightx, lighty, lightdir, clueorderindex, msgcharICC[0],
               gridorderindex[1], checking[0], ICCtouchar(61), ICCtoclass(62), answerU[0],
               isword(a), iswordU(answerU), msgcharU[0]};
  memcpy(probe, v, sizeof v);
  strncpy(msg, treatmessage[0], 63);
  if (clueorderindex == failat) return 7;
  return treatedanswer(a);
}
)");
  dict({"CAT", "DOG"});
  lights({"...", "..."});
  treatment(9, "KEY");
  ASSERT_EQ(load(so), nullptr);
  ASSERT_EQ(fill(FM_ALL), FS_DONE);
  unsigned long* th = sym<unsigned long>(so, "thread");
  int* probe = sym<int>(so, "probe");
  ASSERT_TRUE(th && probe);
  EXPECT_NE(*th, (unsigned long)pthread_self());
  EXPECT_EQ(std::vector<int>(probe, probe + 14),
            (std::vector<int>{3, 0, 2, 0, 1, icc('E'), 4, 1, '-', -1, 'D', 1, 1, 'E'}));
  EXPECT_STREQ(sym<char>(so, "msg"), "KEY");
  EXPECT_EQ(*sym<int>(so, "inits"), 1);
  *sym<int>(so, "failat") = 1;
  EXPECT_EQ(fill(FM_ALL), FS_LISTS);
  filler_stop();
  unloadplugin();
  EXPECT_EQ(*sym<int>(so, "finits"), 1);
}

// The zyn executable exports the interface and nothing else of its own: a batch fill through a
// plug-in, a plug-in whose own globals have the names of the program's, and the dynamic symbol
// table against the names the engine defines.
TEST_F(Treat, ProgramExportsExactlyTheInterface) {
  std::string words = writetemp("drawn\n");
  auto batch = [&](const std::string& so, const std::string& want) {
    std::string deck = writetemp(".DI 1 " + words + "\n.TR 9\n.PI " + so + "\na1 a2 a3 a4 a5\n", ".deck");
    std::string out, err;
    EXPECT_EQ(runcmd(std::string(ZYN_BINARY) + " -b " + deck, &out, &err), 0) << err;
    EXPECT_EQ(out, want);
    EXPECT_EQ(err, "");
  };
  batch(example("swapends"), "W0 NRAWD--\n# drawn\n");

  std::string globals = buildplugin("globals", R"(
#include "zynplugin.h"
unsigned int debug;
int width = 7, line;
void init(void) { debug = 0xffffffffu; width = 99; line = 5; }
int treat(const char *a) { debug = 0xffffffffu; return treatedanswer(a); }
)");
  batch(globals, "W0 DRAWN--\n# drawn\n");
  dict({"DRAWN"});
  lights({"....."});
  int w = width;
  treatment(9);
  ASSERT_EQ(load(globals), nullptr);
  EXPECT_EQ(lists()[0], std::vector<std::string>{"DRAWN"});
  EXPECT_EQ(debug, 0u);
  EXPECT_EQ(width, w);

  const std::set<std::string> iface = {
      "answerICC", "answerU", "lightlength", "lightx", "lighty", "lightdir", "clueorderindex",
      "gridorderindex", "checking", "msgchar", "msgcharAZ", "msgcharAZ09", "msgcharICC", "msgcharICCAZ",
      "msgcharICCAZ09", "msgcharU", "msgcharUAZ", "msgcharUAZ09", "treatmessage", "treatmessageAZ",
      "treatmessageAZ09", "treatmessageICC", "treatmessageICCAZ", "treatmessageICCAZ09", "treatmessageU",
      "treatmessageUAZ", "treatmessageUAZ09", "treatedanswer", "treatedanswerU", "treatedanswerICC", "isword",
      "iswordU", "iswordICC", "ICCtoclass", "ICCtouchar", "uchartoICC", "printU", "printUs", "printICC",
      "printICCs"};
  // Names with a strong definition ("T", "D", "B", "R") in the listing.
  auto defined = [](const std::string& cmd) {
    std::string out, err;
    EXPECT_EQ(runcmd(cmd, &out, &err), 0) << err;
    std::set<std::string> r;
    std::istringstream in(out);
    std::string l;
    while (std::getline(in, l)) {
      std::istringstream f(l);
      std::string addr, type, name;
      if (f >> addr >> type >> name && strchr("TDBR", type[0])) r.insert(name);
    }
    return r;
  };
  std::set<std::string> exported = defined("nm -D --defined-only '" ZYN_BINARY "'");
  std::set<std::string> engine = defined("nm -g --defined-only '" ZYN_CORELIB "'");
  std::set<std::string> own;
  for (auto& n : exported)
    if (engine.count(n)) own.insert(n);
  EXPECT_EQ(own, iface);
  EXPECT_EQ(iface.size(), 40u);
}
