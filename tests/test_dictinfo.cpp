// The dictionaries dialog's logic: slot descriptions, the statistics pages, the warning about
// slots no light uses, and applying the slot settings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/undo.h"
#include "dicts/dictinfo.h"
#include "grid/forms.h"
#include "dicts/dicts.h"
#include "filler/filler.h"
#include "grid/zyn.h"
#include "tests/testutil.h"

namespace {

class DictInfo : public ::testing::Test {
 protected:
  void SetUp() override { resetdocument(5); }
  void TearDown() override {
    filler_stop();
    dictsfree();
  }
};

// A form with word lists in the given slots (0-based) and the current settings elsewhere.
dictform withlists(std::vector<int> slots) {
  dictform f = dictcurrent();
  for (int d : slots) f.path[d] = writetemp("apple\npear\nplum\n");
  return f;
}

}  // namespace

TEST_F(DictInfo, Descriptions) {
  std::string name100 = "/" + std::string(95, 'd') + ".txt";
  std::string filter100 = "^" + std::string(99, 'f');
  struct {
    std::string path, af;
    int maxlen;
    std::string want;
  } cases[] = {
      {"", "", 80, "<empty>"},
      {"/w.txt", "^A", 80, "/w.txt"},
      {name100, "", 80, std::string("...") + name100.substr(23)},
      {"", filter100, 80, std::string("\"") + filter100.substr(0, 77) + "...\""},
      {"", "EXAMPLE", 25, "\"EXAMPLE\""},
      // Cut by characters, never inside one.
      {"/listes/" + std::string(20, 'e') + "éèêë.txt", "", 25, "..." + std::string(14, 'e') + "éèêë.txt"},
      {"", "ÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉ", 25, "\"ÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉ...\""},
  };
  for (auto& c : cases) {
    strlcpy0(dictpaths[4], c.path.c_str(), SLEN);
    strlcpy0(dafilter[4], c.af.c_str(), SLEN);
    EXPECT_EQ(dictdesc(4, c.maxlen), c.want) << c.path << c.af;
  }
}

TEST_F(DictInfo, StatisticsPages) {
  std::string lines = "apple\npear\n";
  for (int i = 3; i < 12; i++) lines += "word\n";
  lines += "straße\no'clock\nrock'n'roll\n<b>&amp;</b>\nsmall\n";  // line 12 holds the ß
  strlcpy0(dictpaths[0], writetemp(lines).c_str(), SLEN);
  strcpy(dsfilter[0], "^[^s]");
  strcpy(dafilter[1], "ONEWORD'S");
  ASSERT_EQ(dictsload(1), 0);
  EXPECT_EQ(dictstatlines(0), (std::vector<std::string>{
                                  "  Name: " + std::string(dictpaths[0]),
                                  "  Usable entries: 16",
                                  "  After file filter: 14",
                                  "  After answer filter: 14",
                                  "  Rejected Unicode characters:",
                                  "    U+0026 (&):  one occurrence, at line 15",
                                  "    U+0027 ('):  3 occurrences, first at line 13",
                                  "    U+002F (/):  one occurrence, at line 15",
                                  "    U+003B (;):  one occurrence, at line 15",
                                  "    U+003C (<):  2 occurrences, first at line 15",
                                  "    U+003E (>):  2 occurrences, first at line 15",
                                  "    U+00DF (ß):  one occurrence, at line 12",
                              }));
  // The one-word case has no line numbers; an empty slot only its name.
  EXPECT_EQ(dictstatlines(1), (std::vector<std::string>{"  Name: \"ONEWORD'S\"", "  Usable entries: 1",
                                                        "  After file filter: 1", "  After answer filter: 1",
                                                        "  Rejected Unicode character:",
                                                        "    U+0027 ('):  one occurrence"}));
  EXPECT_EQ(dictstatlines(2), std::vector<std::string>{"  Name: <empty>"});

  // A minimum score says what it left out; scored lines without a word are counted.
  strlcpy0(dictpaths[2], writetemp("fig;80\nsloe;20\n;50\n").c_str(), SLEN);
  dminscore[2] = 30;
  ASSERT_EQ(dictsload(1), 0);
  std::vector<std::string> l = dictstatlines(2);
  ASSERT_EQ(l.size(), 7u);
  EXPECT_EQ(l[3], "  After answer filter: 2");
  EXPECT_EQ(l[4], "  After minimum score 30: 1 (1 below it left out)");
  EXPECT_EQ(l[5], "  Scored lines without a word, skipped: 1");
  dminscore[2] = 0;
}

TEST_F(DictInfo, UnusedSlotsWarning) {
  struct {
    std::vector<int> loaded;
    unsigned int dmask;
    std::string want;
  } cases[] = {
      {{0}, 1, ""},
      {{0, 1, 2}, 1, "No lights have properties set to use\nwords from dictionaries 2 or 3"},
      {{0, 1, 4, 6}, 1, "No lights have properties set to use\nwords from dictionaries 2, 5 or 7"},
      {{0, 1}, 2, "No lights have properties set to use\nwords from dictionary 1"},
      {{0, 1}, 3, ""},
  };
  for (auto& c : cases) {
    for (int d = 0; d < MAXNDICTS; d++) dictpaths[d][0] = 0;
    dictform f = withlists(c.loaded);
    for (int d = 0; d < MAXNDICTS; d++) strlcpy0(dictpaths[d], f.path[d].c_str(), SLEN);
    ASSERT_EQ(dictsload(1), 0);
    deflight.dmask = c.dmask;
    EXPECT_EQ(dictusewarning(), c.want) << c.dmask;
  }
  // A light of its own and a free light may use slot 2; a grid of blocks has no lights.
  deflight.dmask = 1;
  sqarray[0][2].lightrec[0].lightown = 1;
  sqarray[0][2].lightrec[0].dmask = 2;
  EXPECT_EQ(dictusewarning(), "");
  sqarray[0][2].lightrec[0].lightown = 0;
  setfreelight(0, {{0, 0}, {1, 1}});
  freelights[0].lp.dmask = 2;
  EXPECT_EQ(dictusewarning(), "");
  nfreelights = 0;
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++) sqarray[x][y].sqflags = SQF_BLOCK;
  EXPECT_EQ(dictusewarning(), "No lights have properties set to use\nwords from dictionaries 1 or 2");
}

TEST_F(DictInfo, Apply) {
  msgcapture cap;
  int steps = undo_steps();
  dictform f = withlists({0, 3});
  f.ff[3] = std::string(998, 'a') + "é";  // 1000 bytes: cut before the é
  applydictform(f);
  EXPECT_EQ(std::string(dsfilter[3]), std::string(998, 'a'));
  EXPECT_EQ(dloaded, 1u);  // nothing in slot 4 passes the filter
  EXPECT_EQ(undo_steps(), steps + 1);
  EXPECT_TRUE(unsaved);
  EXPECT_EQ(cap.msgs, std::vector<std::string>{});

  f = withlists({0, 1});
  f.path[3] = f.ff[3] = "";
  applydictform(f);
  EXPECT_EQ(cap.msgs, std::vector<std::string>{"W:No lights have properties set to use\nwords from dictionary 2"});

  // A slot that cannot be read: its error; the others stay loaded, and a message says which.
  cap.msgs.clear();
  f.path[2] = "/nonexistent/list.txt";
  applydictform(f);
  EXPECT_EQ(cap.msgs, (std::vector<std::string>{"E:Dictionary 3\nFile not found",
                                                "W:Dictionaries loaded: 1, 2\nNot loaded: 3"}));
  EXPECT_EQ(atotal, 3);
  EXPECT_EQ(dictslotstate(0), "loaded");
  EXPECT_EQ(dictslotstate(2), "not loaded");
  EXPECT_EQ(dictslotstate(5), "");
}
