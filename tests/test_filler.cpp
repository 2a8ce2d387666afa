// The filler on small grids and word lists: candidate lists and entry methods, propagation
// for interactive assistance, full and selected fills, the duplicates rule, jumbled and
// spread words, pre-filled lights, stopping a fill, and repeatable randomised fills.
#include <gtest/gtest.h>

#include <glib.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "alphabet/alphabet.h"
#include "core/hooks.h"
#include "core/prefs.h"
#include "dicts/dicts.h"
#include "filler/filler.h"
#include "filler/jumble.h"
#include "filler/lists.h"
#include "filler/recover.h"
#include "filler/search.h"
#include "grid/lights.h"
#include "grid/zyn.h"
#include "tests/testutil.h"
#include "treatment/treatment.h"

namespace {

int icc(char c) { return uchartoICC((unsigned char)c); }

// A set written as letters; "." for any letter.
ABM setof(const std::string& letters) {
  if (letters == ".") return ABM_ALL;
  ABM b = 0;
  for (char c : letters) b |= codebit(icc(c));
  return b;
}

std::string lettersof(ABM b) {
  if (b == ABM_ALL) return ".";
  std::string s;
  for (int c = 1; c <= 61; c++)
    if (b & codebit(c)) s += c == ICC_DASH ? '-' : (char)ICCtouchar(c);
  return s;
}

class Filler : public ::testing::Test {
 protected:
  void SetUp() override { resetengine(); }
  void TearDown() override {
    filler_stop();
    dictsfree();
  }
};

void words_(const std::vector<std::string>& ws) { ASSERT_EQ(loadwords(ws), 0); }

// A plain grid drawn row by row: '#' block, '.' empty, a letter a settled cell, '[xy]' a set,
// '*' an empty selected cell. Every light gets emask em.
void grid_(const std::vector<std::string>& rows, unsigned em = 1) {
  gtype = 0;
  height = (int)rows.size();
  width = 0;
  std::vector<std::vector<std::string>> cells(rows.size());
  for (size_t y = 0; y < rows.size(); y++) {
    const std::string& r = rows[y];
    for (size_t i = 0; i < r.size(); i++) {
      if (r[i] == '[') {
        size_t j = r.find(']', i);
        cells[y].push_back(r.substr(i + 1, j - i - 1));
        i = j;
      } else {
        cells[y].push_back(std::string(1, r[i]));
      }
    }
    width = std::max(width, (int)cells[y].size());
  }
  cursorx = cursory = cursordir = cursorlayer = 0;
  docreset();
  deflight.emask = em;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      square& s = sqarray[x][y];
      const std::string& c = cells[y][x];
      if (c == "#") s.sqflags = SQF_BLOCK;
      else if (c == "*") s.sqflags = SQF_SEL;
      else if (c != ".") s.charsets[0][0] = setof(c);
    }
  ASSERT_EQ(rebuild(), 0);
}

int run(int mode) {
  EXPECT_EQ(runfiller(mode), 0);
  filler_wait();
  return filler_status;
}

// The published sets of the grid, one string per cell ("#" for a block).
std::vector<std::string> hints() {
  std::vector<std::string> r;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      int e = entryat(x, y, 0, 0);
      r.push_back(e < 0 ? "#" : lettersof(entries[e].flbmh));
    }
  return r;
}

// The filled grid as rows of letters (requires every entry settled).
std::vector<std::string> filled() {
  std::vector<std::string> r;
  for (int y = 0; y < height; y++) {
    std::string row;
    for (int x = 0; x < width; x++) {
      int e = entryat(x, y, 0, 0);
      ABM b = e < 0 ? 0 : entries[e].flbmh;
      row += e < 0 ? '#' : onebit(b) ? (char)ICCtouchar(abmcode(b)) : '?';
    }
    r.push_back(row);
  }
  return r;
}

// The string each word holds after a fill.
std::vector<std::string> lightstrings() {
  std::vector<std::string> r;
  for (int i = 0; i < nw; i++) {
    std::string s;
    for (int k = 0; k < words[i].nent; k++) {
      ABM b = words[i].e[k]->flbmh;
      s += onebit(b) ? (char)ICCtouchar(abmcode(b)) : '?';
    }
    r.push_back(s);
  }
  return r;
}

TEST_F(Filler, FullFillUsesDictionaryWordsThatAgree) {
  std::vector<std::string> dict = {"CAT", "COT", "TOP", "TAP", "CUP", "PIT", "ART", "OAT", "APT", "TIP", "PAT"};
  words_(dict);
  grid_({"...", ".#.", "..."});
  ASSERT_EQ(run(FM_ALL), FS_DONE);
  std::set<std::string> d(dict.begin(), dict.end());
  for (auto& s : lightstrings()) EXPECT_TRUE(d.count(s)) << s;
  for (auto& row : filled()) EXPECT_EQ(row.find('?'), std::string::npos);
}

TEST_F(Filler, NoFillWhenCrossingsCannotAgree) {
  words_({"AB", "CD"});
  grid_({"..", ".."});
  EXPECT_EQ(run(FM_ALL), FS_NOFILL);
  for (auto& h : hints()) EXPECT_EQ(h, "");  // a failed fill shows nothing feasible
}

// Interactive assistance: "Entire grid" propagates through the crossings to a fixed point;
// "Light only" narrows just the current light from its own list; "Off" builds nothing.
TEST_F(Filler, AssistanceModes) {
  words_({"AB", "CD", "AC", "BD", "EF", "GH"});
  struct {
    int mode;
    std::vector<std::string> want;  // cells (0,0) (1,0) (0,1) (1,1)
    int nlist;                      // candidates left for the light at the cursor
  } cases[] = {
      {2, {"A", "BC", "BC", "D"}, 2},
      {1, {"ABCEG", "BCDFH", ".", "."}, 6},
      {0, {".", ".", ".", "."}, 0},
  };
  for (auto& c : cases) {
    assistmode = c.mode;
    grid_({"..", ".."});
    ASSERT_EQ(run(FM_ASSIST), FS_DONE);
    EXPECT_EQ(hints(), c.want) << "assistmode " << c.mode;
    EXPECT_EQ(llistlen, c.nlist) << "assistmode " << c.mode;
  }
}

TEST_F(Filler, FeasibleListIsSortedByWeight) {
  words_({"AB 1", "AC 3", "AD 2", "AE"});
  grid_({".."});
  ASSERT_EQ(run(FM_ASSIST), FS_DONE);
  std::vector<std::string> got;
  for (int i = 0; i < llistlen; i++) got.push_back(lts[llist[i]].s);
  std::vector<std::string> want;
  for (const char* w : {"AC", "AD", "AB", "AE"}) want.push_back({(char)icc(w[0]), (char)icc(w[1])});
  EXPECT_EQ(got, want);
}

TEST_F(Filler, DuplicatesRule) {
  words_({"ABA"});
  for (int nodup : {1, 0}) {
    prefdata[PREF_AUTOFILL_NO_DUPLICATES] = nodup;
    grid_({"...", ".#.", "..."});
    if (nodup) {
      EXPECT_EQ(run(FM_ALL), FS_NOFILL);
    } else {
      ASSERT_EQ(run(FM_ALL), FS_DONE);
      EXPECT_EQ(filled(), (std::vector<std::string>{"ABA", "B#B", "ABA"}));
    }
  }
}

TEST_F(Filler, PrefilledLightNeedNotBeAWord) {
  words_({"QA", "XB", "AB"});
  grid_({"QX", ".."});
  ASSERT_EQ(run(FM_ALL), FS_DONE);
  EXPECT_EQ(filled(), (std::vector<std::string>{"QX", "AB"}));
  EXPECT_EQ(words[0].fe, 1);
  EXPECT_EQ(words[1].fe, 0);
}

// One light of four cells holding ABCD under each entry method: the union of what propagation
// leaves, and the arrangement a fill chooses.
TEST_F(Filler, EntryMethods) {
  words_({"ABCD"});
  std::set<std::string> jumbles;
  std::string p = "ABCD";
  do jumbles.insert(p);
  while (std::next_permutation(p.begin(), p.end()));
  for (const char* x : {"ABCD", "DCBA", "BCDA", "CDAB", "DABC", "ADCB", "BADC", "CBAD"}) jumbles.erase(x);
  struct {
    unsigned em;
    std::set<std::string> allowed;
  } cases[] = {
      {0, {"ABCD"}},
      {1, {"ABCD"}},
      {2, {"DCBA"}},
      {4, {"BCDA", "CDAB", "DABC"}},
      {8, {"ADCB", "BADC", "CBAD"}},
      {0x10, jumbles},
  };
  for (auto& c : cases) {
    grid_({"...."}, c.em);
    ASSERT_EQ(run(FM_ASSIST), FS_DONE) << c.em;
    std::vector<std::string> want(4);
    for (auto& s : c.allowed)
      for (int k = 0; k < 4; k++)
        if (want[k].find(s[k]) == std::string::npos) want[k] += s[k];
    for (auto& w : want) std::sort(w.begin(), w.end());
    EXPECT_EQ(hints(), want) << "emask " << c.em;
    grid_({"...."}, c.em);
    ASSERT_EQ(run(FM_ALL), FS_DONE) << c.em;
    EXPECT_TRUE(c.allowed.count(filled()[0])) << "emask " << c.em << " " << filled()[0];
  }
  // Every arrangement of three letters is a rotation or a reversed rotation.
  words_({"ABC"});
  grid_({"..."}, 0x10);
  EXPECT_EQ(run(FM_ALL), FS_NOFILL);
}

// What the candidate lists hold: each (answer, method, string) once, equal strings sharing a
// sid, no rotations of a two-letter light that may be reversed, and no banned answer.
TEST_F(Filler, CandidateLists) {
  words_({"AB", "BA", "CD"});
  answerlist[findanswer(std::string{(char)icc('C'), (char)icc('D')}.c_str())]->banned = 1;
  grid_({".."}, 7);
  ASSERT_EQ(run(FM_ASSIST), FS_DONE);
  std::set<std::string> got;
  std::set<int> sids[2];
  for (int j = 0; j < words[0].flistlen; j++) {
    const ltsrec& r = lts[words[0].flist[j]];
    std::string s{(char)ICCtouchar(r.s[0]), (char)ICCtouchar(r.s[1])};
    got.insert(std::string(answerlist[r.ans]->cf) + ">" + s + std::to_string(r.em));
    sids[s == "AB"].insert(r.sid);
  }
  EXPECT_EQ(got, (std::set<std::string>{"AB>AB0", "AB>BA1", "BA>BA0", "BA>AB1"}));
  EXPECT_EQ(sids[0].size(), 1u);
  EXPECT_EQ(sids[1].size(), 1u);
  EXPECT_NE(*sids[0].begin(), *sids[1].begin());
}

// Jumbled lights: forced positions, a code with only one place left, and a group of codes
// that exactly fills the positions it can go in.
TEST_F(Filler, JumbleFeasibility) {
  struct {
    const char* word;
    std::vector<std::string> row;
    std::vector<std::string> want;  // empty: no arrangement
  } cases[] = {
      {"ABC", {"[AB]", "[AB]", "[ABC]"}, {"AB", "AB", "C"}},
      {"ABCD", {"[AB]", "[AB]", "[ABCD]", "[ABCD]"}, {"AB", "AB", "CD", "CD"}},
      {"ABC", {"A", "A", "."}, {}},
  };
  for (auto& c : cases) {
    words_({c.word});
    std::string row;
    for (auto& x : c.row) row += x;
    grid_({row}, 0x10);
    int st = run(FM_ASSIST);
    if (c.want.empty()) {
      EXPECT_EQ(st, FS_NOFILL) << c.word;
    } else {
      EXPECT_EQ(st, FS_DONE) << c.word;
      EXPECT_EQ(hints(), c.want) << c.word;
    }
  }
}

// A spread word places its candidate's characters in order over its slots, the other slots
// taking the no-character code.
TEST_F(Filler, SpreadPlacements) {
  ltsclear();
  lightten = 0;
  const char ab[] = {(char)icc('A'), (char)icc('B'), 0};
  int li = addlts(ab, -1, 0);
  struct {
    std::vector<ABM> slots;
    std::vector<std::string> want;
  } cases[] = {
      {{ABM_ALLDASH, ABM_ALLDASH, ABM_ALLDASH}, {"A-", "AB-", "B-"}},
      {{setof("B"), ABM_ALLDASH, ABM_ALLDASH}, {"", "", ""}},
      {{ABM_DASH, ABM_ALLDASH, ABM_ALLDASH}, {"-", "A", "B"}},
  };
  for (auto& c : cases) {
    std::vector<entry> es(3);
    entry* ents[3];
    word w{};
    w.e = ents;
    w.nent = 3;
    w.wlen = 2;
    w.jlen = 2;
    w.flist = &li;
    w.flistlen = 1;
    w.sdatalen = sdatastride(&w);
    std::vector<double> sd(w.sdatalen);
    w.sdata = sd.data();
    for (int k = 0; k < 3; k++) {
      es[k].flbm = c.slots[k];
      w.e[k] = &es[k];
    }
    checksword(&w, 0);
    std::vector<std::string> got;
    for (int k = 0; k < 3; k++) got.push_back(lettersof(ssets(&w, 0)[k]));
    EXPECT_EQ(got, c.want);
  }
}

TEST_F(Filler, SelectedCellsOnly) {
  words_({"CAT", "COT", "CUT", "TOP", "TAP", "TIP", "PIT", "PAT", "POT", "COP", "CAP"});
  grid_({"***", ".#.", "..."});
  ASSERT_EQ(run(FM_SEL), FS_DONE);
  auto h = hints();
  for (int x = 0; x < 3; x++) EXPECT_EQ(h[x].size(), 1u) << x;
  int open = 0;
  for (int i = 3; i < 9; i++) open += h[i].size() > 1;
  EXPECT_GT(open, 0);  // unselected cells were narrowed but never chosen
}

TEST_F(Filler, SameSeedSameRandomisedFill) {
  std::vector<std::string> dict;
  for (const char* a : {"CAT", "COT", "CUT", "TOP", "TAP", "TIP", "PIT", "PAT", "POT", "COP", "CAP", "OPT", "APT", "ACT"})
    dict.push_back(a);
  words_(dict);
  prefdata[PREF_AUTOFILL_RANDOM] = 2;
  std::set<std::vector<std::string>> fills;
  for (unsigned seed : {7u, 7u, 8u, 9u, 10u}) {
    filler_seed = seed;
    grid_({"...", ".#.", "..."});
    ASSERT_EQ(run(FM_ALL), FS_DONE);
    EXPECT_EQ(fillseed, seed);
    if (seed == 7) fills.insert(filled());
  }
  EXPECT_EQ(fills.size(), 1u);
}

// Words of the given length over the letters A to E, drawn by a fixed generator.
std::vector<std::string> pseudowords(int n, int len, unsigned r) {
  std::vector<std::string> ws;
  for (int i = 0; i < n; i++) {
    std::string w;
    for (int k = 0; k < len; k++) {
      r = r * 1103515245u + 12345u;
      w += (char)('A' + (r >> 16) % 5);
    }
    ws.push_back(w);
  }
  return ws;
}

// For a grid of width (odd) by height open cells: across lights take words with an even number
// of A's, down lights an odd number. The A's cannot be counted both ways, but only a complete
// search finds that out.
std::vector<std::string> paritywords(int width, int height) {
  std::vector<std::string> ws;
  for (int len : {width, height})
    for (int b = 0; b < 1 << len; b++)
      if (__builtin_popcount(b) % 2 == (len == height)) {
        std::string w;
        for (int k = 0; k < len; k++) w += (b >> k & 1) ? 'A' : 'B';
        ws.push_back(w);
      }
  return ws;
}

// Once the ordinary search has spent its budget (here at once), the recovery search takes over:
// its fills are valid, a fill repeats with its seed, it keeps to the selected cells, a grid
// without a fill still ends with no fill, and one whose every fill needs the one word that breaks
// the parity is filled with the nogoods of earlier runs in play.
TEST_F(Filler, RecoverySearch) {
  recoverybudget = 0;
  auto valid = [](const std::set<std::string>& dict) {
    std::set<std::string> seen;
    for (auto& s : lightstrings())
      if (!dict.count(s) || !seen.insert(s).second) return false;
    return true;
  };
  std::vector<std::string> dict = pseudowords(400, 5, 99);
  words_(dict);
  std::set<std::string> d(dict.begin(), dict.end());
  std::vector<std::string> open(5, ".....");
  std::vector<std::vector<std::string>> fills;
  for (unsigned seed : {3u, 3u, 4u}) {
    filler_seed = seed;
    grid_(open);
    ASSERT_EQ(run(FM_ALL), FS_DONE) << seed;
    EXPECT_GE(recover_stats().runs, 1) << seed;
    EXPECT_TRUE(valid(d)) << seed;
    fills.push_back(filled());
  }
  EXPECT_EQ(fills[0], fills[1]);

  grid_({"*****", "*****", ".....", ".....", "....."});
  ASSERT_EQ(run(FM_SEL), FS_DONE);
  auto h = hints();
  for (int i = 0; i < 10; i++) EXPECT_EQ(h[i].size(), 1u) << i;
  int unsettled = 0;
  for (int i = 10; i < 25; i++) unsettled += h[i].size() != 1;
  EXPECT_GT(unsettled, 0);

  words_(paritywords(5, 4));
  grid_(std::vector<std::string>(4, "....."));
  EXPECT_EQ(run(FM_ALL), FS_NOFILL);
  EXPECT_GT(recover_stats().runs, 1);
  EXPECT_GT(recover_stats().nogoods, 0);

  // An across word with an odd number of A's makes the counts agree, but only in its own row.
  dict = paritywords(5, 4);
  dict.push_back("ABBBB");
  words_(dict);
  d = std::set<std::string>(dict.begin(), dict.end());
  int learned = 0;
  for (unsigned seed = 1; seed <= 6; seed++) {
    filler_seed = seed;
    grid_(std::vector<std::string>(4, "....."));
    ASSERT_EQ(run(FM_ALL), FS_DONE) << seed;
    EXPECT_TRUE(valid(d)) << seed;
    learned += recover_stats().nogoods > 0;
  }
  EXPECT_GE(learned, 3);
}

// On small random grids near the edge of having a fill, the recovery search, with its nogoods,
// finds a fill exactly when the ordinary search does.
TEST_F(Filler, RecoveryFillsWhenTheOrdinarySearchDoes) {
  int both = 0, neither = 0;
  for (int n : {58, 64})
    for (unsigned r = 1; r <= 6; r++) {
      words_(pseudowords(n, 5, r * 7919));
      std::vector<int> res;
      for (long long budget : {RECOVERYBUDGET, 0LL}) {
        recoverybudget = budget;
        filler_seed = r;
        grid_(std::vector<std::string>(5, "....."));
        res.push_back(run(FM_ALL));
      }
      EXPECT_EQ(res[0], res[1]) << n << " words, " << r;
      both += res[0] == FS_DONE && res[1] == FS_DONE;
      neither += res[0] == FS_NOFILL && res[1] == FS_NOFILL;
    }
  EXPECT_GT(both, 0);
  EXPECT_GT(neither, 0);
}

// Stopping works at once, in the ordinary search and in the recovery search.
TEST_F(Filler, StopDuringLongFill) {
  filler_stop();  // nothing running: returns at once
  words_(paritywords(7, 6));
  // Stop once the search has begun: the filler thread says so through the hook.
  static std::mutex m;
  static std::condition_variable cv;
  static bool searching;
  ui.searching = [] {
    std::lock_guard<std::mutex> g(m);
    searching = true;
    cv.notify_all();
  };
  for (long long budget : {RECOVERYBUDGET, 0LL}) {
    recoverybudget = budget;
    grid_(std::vector<std::string>(6, "......."));
    searching = false;
    ASSERT_EQ(runfiller(FM_ALL), 0);
    {
      std::unique_lock<std::mutex> l(m);
      EXPECT_TRUE(cv.wait_for(l, std::chrono::seconds(120), [] { return searching; }));
    }
    // With no budget the recovery search starts at the first branching; give it time to.
    if (budget == 0) usleep(300000);
    // A search that did not see the stop would run for far longer than this bound.
    gint64 t0 = g_get_monotonic_time();
    filler_stop();
    EXPECT_LT(g_get_monotonic_time() - t0, 10000000) << budget;
    EXPECT_EQ(filler_status, FS_STOPPED) << budget;
    EXPECT_EQ(recover_stats().runs > 0, budget == 0);
    EXPECT_EQ(sdep, -1);
    for (int i = 0; i < nw; i++) EXPECT_EQ(words[i].commitdep, -1);
  }
  ui.searching = nullptr;
}

// The traces take their own paths through the search (full scans where the quiet search stops
// early); with every trace on, fills come out the same, in either search.
TEST_F(Filler, TracesDoNotChangeTheFill) {
  std::vector<std::string> dict = {"CAT", "COT", "CUT", "TOP", "TAP", "TIP", "PIT", "PAT", "POT", "COP", "CAP", "OPT"};
  struct {
    std::vector<std::string> rows;
    unsigned em;
  } cases[] = {{{"...", ".#.", "..."}, 1}, {{"...", ".#.", "..."}, 0x11}, {{"...", "#.#", "..."}, 3}};
  words_(dict);
  filler_seed = 5;  // the recovery search draws from it
  for (long long budget : {RECOVERYBUDGET, 0LL}) {
    recoverybudget = budget;
    for (auto& c : cases) {
      std::vector<std::string> quiet, loud;
      for (unsigned d : {0u, 0x7fffu}) {
        grid_(c.rows, c.em);
        debug = d;
        testing::internal::CaptureStdout();
        int st = run(FM_ALL);
        std::string out = testing::internal::GetCapturedStdout();
        debug = 0;
        std::vector<std::string>& got = d ? loud : quiet;
        got = filled();
        got.push_back(std::to_string(st));
        if (d) {
          EXPECT_NE(out.find("search finished"), std::string::npos);
        }
      }
      EXPECT_EQ(quiet, loud) << "emask " << c.em << " budget " << budget;
    }
  }
}

// A fill whose lists cannot be built reports -3, and still tells the window that it ended so
// that the progress dialog closes.
TEST_F(Filler, ListFailureIsReported) {
  static int feas, done;
  feas = done = 0;
  uihooks saved = ui;
  int savedgui = usegui;
  usegui = 1;
  ui.updatefeas = [] { feas++; };
  ui.fipdone = [] { done++; };
  words_({"CAT"});
  grid_({"..."});
  treattype = TT_PLUGIN;  // no plug-in is loaded
  deflight.ten = 1;
  EXPECT_EQ(run(FM_ALL), FS_LISTS);
  EXPECT_EQ(feas, 1);
  EXPECT_EQ(done, 1);
  ui = saved;
  usegui = savedgui;
}

// Message characters left to the filler: each treated light's list carries every character of
// the message as its tag, and "no character" only when the message is shorter than the number of
// treated lights; a fill then spends each character of the message on one light.
TEST_F(Filler, DiscretionaryMessageTags) {
  words_({"TN", "BT", "CAT"});
  auto treat = [](const char* msg) {
    grid_({"...#..."});
    treattype = TT_INSERT;
    strlcpy0(treatmsg[0], msg, sizeof treatmsg[0]);
    allocmode[0] = 2;
    deflight.ten = 1;
  };
  struct {
    const char* msg;
    const char* tags;
  } cases[] = {{"EAX", "AEX"}, {"E", "E-"}};
  for (auto& c : cases) {
    treat(c.msg);
    run(FM_ASSIST);
    ABM tags = 0;
    for (int j = 0; j < words[0].flistlen; j++) tags |= codebit(lts[words[0].flist[j]].s[3]);
    EXPECT_EQ(lettersof(tags), c.tags) << c.msg;
  }
  treat("EA");
  ASSERT_EQ(run(FM_ALL), FS_DONE);
  std::set<std::string> answers;
  ABM tags = 0;
  for (int i = 0; i < 2; i++) {
    ABM tag = words[i].e[3]->flbmh;
    ASSERT_TRUE(onebit(tag));
    tags |= tag;
    std::string s = lightstrings()[i].substr(0, 3);
    s.erase(s.find((char)ICCtouchar(abmcode(tag))), 1);
    answers.insert(s);
  }
  EXPECT_EQ(lettersof(tags), "AE");
  EXPECT_EQ(answers, (std::set<std::string>{"TN", "BT"}));
}

// The search keeps weight tables between calls and updates them as lists shrink and answers
// are marked. At every step of a walk down and back up the search, the scores must equal those
// computed from scratch: per entry and code, the product over the words through the entry of
// the summed weights of the candidates putting that code there.
TEST_F(Filler, ScoresMatchRecomputation) {
  auto oracle = [](bool nodup, int e, int c) {
    double sc = 1;
    for (int i = 0; i < nw; i++) {
      const word& w = words[i];
      if (w.fe || !w.flist) continue;
      for (int k = 0; k < w.nent; k++) {
        if (w.e[k] != entries + e) continue;
        double sum = 0;
        if (nodup && w.commitdep != -1) {
          sum = w.flistlen == 1 && lts[w.flist[0]].s[k] == c;
        } else {
          for (int j = 0; j < w.flistlen; j++) {
            const ltsrec& r = lts[w.flist[j]];
            if (nodup && (usedans[r.ans + 2] || usedstr[r.sid])) continue;
            if (r.s[k] == c) sum += r.w;
          }
        }
        sc *= sum;
      }
    }
    return sc;
  };
  auto check = [&](bool nodup, const char* when) {
    ASSERT_EQ(computescores(), 0);
    for (int e = 0; e < ne; e++)
      for (int c = 1; c <= 61; c++) ASSERT_EQ(entries[e].score[c - 1], oracle(nodup, e, c)) << when << " E" << e << " code " << c;
  };
  auto propagate = [] {
    for (;;) {
      int r = filterwords();
      if (r < 0) return r;
      if (r == 0 || settlewds() == 0) return 0;
    }
  };
  struct {
    int nodup;
    const char* scores[3];  // appended to the words in turn
  } cases[] = {{1, {"", " 1", " 2"}}, {1, {"", " 0.5", " 1.3"}}, {0, {"", " 1", ""}}};
  int pops = 0;  // dead ends met on the way down
  for (auto& c : cases) {
    prefdata[PREF_AUTOFILL_NO_DUPLICATES] = c.nodup;
    std::vector<std::string> dict;
    unsigned r = 99;
    for (int i = 0; i < 160; i++) {
      std::string w;
      for (int k = 0; k < 4; k++) {
        r = r * 1103515245u + 12345u;
        w += (char)('A' + (r >> 16) % 5);
      }
      dict.push_back(w + c.scores[i % 3]);
    }
    words_(dict);
    grid_({"....", "....", "....", "...."});
    ASSERT_EQ(run(FM_PROPAGATE), FS_DONE);
    check(c.nodup, "start");
    for (int step = 0; step < 40; step++) {
      int e = choosecrit();
      if (e < 0) break;
      unsigned char poss[63];
      getposs(entries + e, poss, 0, 1);
      int np = (int)strlen((const char*)poss);
      bool down = false;
      // Least likely codes first, to meet dead ends.
      for (int j = np - 1; j >= 0 && !down; j--) {
        pushstate();
        setflbm(entries + e, codebit(poss[j]));
        entries[e].upd = 1;
        if (propagate() == 0) {
          down = true;
        } else {
          popstate();
          sdep--;
          pops++;
        }
        check(c.nodup, down ? "after a step" : "after undoing a step");
      }
      if (!down) {
        if (sdep == 0) break;
        popstate();
        sdep--;
        pops++;
        check(c.nodup, "after backtracking");
      }
    }
    while (sdep > 0) {
      popstate();
      sdep--;
      check(c.nodup, "unwinding");
    }
    filler_stop();
  }
  EXPECT_GT(pops, 0);
}

}  // namespace
