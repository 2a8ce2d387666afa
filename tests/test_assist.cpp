// Interactive assistance: the feasible-characters line in each of its forms, the rows of the
// feasible-word list, entering and banning listed words, and the question about resetting
// the treatment constraints.
#include <gtest/gtest.h>
#include <unistd.h>

#include "core/hooks.h"
#include "core/undo.h"
#include "dicts/dicts.h"
#include "dicts/personal.h"
#include "filler/failure.h"
#include "filler/filler.h"
#include "filler/search.h"
#include "grid/assist.h"
#include "grid/lights.h"
#include "grid/select.h"
#include "grid/zyn.h"
#include "tests/testutil.h"
#include "treatment/treatment.h"

namespace {

// A fixture list with scores, so that the list's order is by weight, not by spelling.
const std::vector<std::string> WORDS = {"cat", "cot 1", "cut 2", "dog", "dot -1"};

void fill() {
  ASSERT_EQ(runfiller(FM_ASSIST), 0);
  filler_wait();
}

std::vector<std::string> texts() {
  std::vector<std::string> v;
  for (const listedword& w : listedwords()) v.push_back(w.text);
  return v;
}

// A 3x1 grid (one light) with the given pattern in it, the fixture words, and a fill.
void light(const char* pattern, int cx) {
  resetengine();
  drawgrid(0, {"..."});
  ASSERT_EQ(loadwords(WORDS), 0);
  for (int x = 0; x < 3; x++)
    if (pattern[x] != '.') sqarray[x][0].charsets[0][0] = 1ULL << (pattern[x] - 'a');
  cursorx = cx;
  undo_start();
  fill();
}

}  // namespace

TEST(Assist, LabelInEveryForm) {
  struct {
    const char* pattern;
    int cursor, mode;
    const char* label;
  } cases[] = {
      {"c.t", 1, 2, " Feasible characters: UOA"},  // by decreasing weight of the words giving them
      {"c.t", 0, 2, " Feasible character: C"},
      {"c.t", 1, 1, " Feasible characters: UOA"},  // light only
      {"x.t", 1, 2, " No feasible characters"},
      {"c.t", 1, 0, ""},                            // assistance off
      {"cat", 1, 2, ""},                            // complete before the fill
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pattern);
    resetengine();
    assistmode = c.mode;
    drawgrid(0, {"..."});
    ASSERT_EQ(loadwords(WORDS), 0);
    for (int x = 0; x < 3; x++)
      if (c.pattern[x] != '.') sqarray[x][0].charsets[0][0] = 1ULL << (c.pattern[x] - 'a');
    cursorx = c.cursor;
    fill();
    EXPECT_EQ(feaslabeltext(), c.label);
  }
  assistmode = 2;
  // On a block: no list and no characters.
  drawgrid(0, {".#..."});
  ASSERT_EQ(loadwords(WORDS), 0);
  cursorx = 1;
  fill();
  EXPECT_EQ(feaslabeltext(), "");
  EXPECT_TRUE(listedwords().empty());
  filler_stop();
}

TEST(Assist, ListByWeightThenEnterAndBan) {
  light("c.t", 1);
  EXPECT_EQ(texts(), (std::vector<std::string>{"cut", "cot", "cat"}));
  std::vector<listedword> ws = listedwords();
  EXPECT_EQ(ws[1].cf, "cot");
  EXPECT_GT(ws[0].weight, ws[1].weight);

  // A jumbled light cannot be typed in; a word of another length does not fit.
  EXPECT_FALSE(enterword(ws[1], 0x10).done);
  listedword longer = ws[1];
  longer.codes += longer.codes[0];
  EXPECT_FALSE(enterword(longer, 1).done);
  EXPECT_EQ(undo_steps(), 0);

  editreport r = enterword(ws[1], 1);
  filler_wait();
  EXPECT_TRUE(r.done);
  EXPECT_EQ(sqarray[1][0].charsets[0][0], 1ULL << ('o' - 'a'));
  EXPECT_EQ(undo_steps(), 1);

  // Banned, the word leaves every list; Unban all answers brings it back.
  light("c.t", 1);
  EXPECT_EQ(banword(listedwords()[0].ans), 0);
  filler_wait();
  EXPECT_EQ(texts(), (std::vector<std::string>{"cot", "cat"}));
  EXPECT_EQ(banword(-1), 1);
  EXPECT_EQ(banword(1 << 30), 1);
  unbanall();
  filler_wait();
  EXPECT_EQ(texts(), (std::vector<std::string>{"cut", "cot", "cat"}));
  filler_stop();
}

// The personal list's actions: a new score reorders the list at once, Never use takes the word
// out of every list (Unban all does not bring it back), and a word no list has is added.
TEST(Assist, PersonalScoresAndNeverUse) {
  light("c.t", 1);
  ASSERT_EQ(texts(), (std::vector<std::string>{"cut", "cot", "cat"}));
  EXPECT_EQ(listedscore(listedwords()[0]), 100);  // Zyn's score 2
  EXPECT_EQ(setpersonal("cut", 25), 0);  // one step below an unscored word
  filler_wait();
  EXPECT_EQ(texts(), (std::vector<std::string>{"cot", "cat", "cut"}));
  EXPECT_EQ(listedscore(listedwords()[2]), 25);
  EXPECT_EQ(setpersonal("cot", 0), 0);
  filler_wait();
  unbanall();
  filler_wait();
  EXPECT_EQ(texts(), (std::vector<std::string>{"cat", "cut"}));
  EXPECT_EQ(setpersonal("cyt", 100), 0);  // not in the list: read again with it
  filler_wait();
  EXPECT_EQ(texts(), (std::vector<std::string>{"cyt", "cat", "cut"}));
  EXPECT_EQ(setpersonal("--", 70), 2);
  filler_stop();
  personalwords.clear();
}

// A minimum score takes its words out of the list and their letters out of the line.
TEST(Assist, MinimumScoreNarrowsListAndLetters) {
  light("c.t", 1);
  dminscore[0] = 76;  // keeps cut (2, that is 100); cot (1) is 75 and cat 50
  ASSERT_EQ(dictsload(1), 0);
  fill();
  EXPECT_EQ(texts(), std::vector<std::string>{"cut"});
  EXPECT_EQ(feaslabeltext(), " Feasible character: U");
  dminscore[0] = 0;
  filler_stop();
}

TEST(Assist, ResetConstraintsAsksOnlyWhenNarrowed) {
  static int asked, answer;
  msgcapture cap;
  ui.askyesno = [](const char*) {
    asked++;
    return answer;
  };
  struct {
    int alloc;
    bool narrowed;
    int answer, asks, reset;
  } cases[] = {
      {1, true, 1, 1, 1},   // discretionary, narrowed, yes
      {2, true, 0, 1, 0},   // discretionary, narrowed, no: left as it was
      {1, false, 1, 0, 0},  // nothing narrowed: no question
      {0, true, 1, 0, 0},   // fixed allocation: never asked
  };
  for (const auto& c : cases) {
    resetengine();
    drawgrid(0, {"..."});
    treattype = TT_LATENT;
    allocmode[0] = c.alloc;
    for (ABM& b : msgconstr[0]) b = ABM_ALLDASH;
    if (c.narrowed) msgconstr[0][3] = 1;
    asked = 0;
    answer = c.answer;
    EXPECT_EQ(resetconstraints(), c.reset) << c.alloc;
    EXPECT_EQ(asked, c.asks) << c.alloc;
    EXPECT_EQ(msgconstr[0][3], c.reset || !c.narrowed ? ABM_ALLDASH : 1) << c.alloc;
  }
  resetengine();
}

// A fill that fails names the lights nothing fits and gives their squares to mark: first the
// lights whose own letters nothing fits, else those the crossings empty. Background assistance
// over the whole grid finds the same as Autofill, and a fill that works names none.
TEST(Assist, WhereAFillFailed) {
  const std::vector<std::string> ring = {"cat", "act", "ate", "tea", "eat"};
  for (int mode : {FM_ASSIST, FM_ALL}) {
    SCOPED_TRACE(mode);
    resetengine();
    drawgrid(0, {"...", "#.#", "#.."});
    ASSERT_EQ(loadwords(ring), 0);
    sqarray[1][2].charsets[0][0] = 1ULL << ('q' - 'a');  // the end of 2 Down, and 3 Across is too short
    ASSERT_EQ(runfiller(mode), 0);
    filler_wait();
    EXPECT_EQ(filler_status, FS_NOFILL);
    EXPECT_EQ(failuremessage(), "Nothing fits 3 Across and 2 Down");
    std::vector<sqpos> marks = {{1, 0}, {1, 1}, {1, 2}, {2, 2}};
    EXPECT_EQ(failuresquares(), marks);

    // E?? across is EAT, ??A down is TEA: each fits alone, not both.
    sqarray[2][2].sqflags = SQF_BLOCK;
    sqarray[0][0].charsets[0][0] = 1ULL << ('e' - 'a');
    sqarray[1][2].charsets[0][0] = 1ULL << ('a' - 'a');
    ASSERT_EQ(runfiller(mode), 0);
    filler_wait();
    EXPECT_EQ(filler_status, FS_NOFILL);
    EXPECT_EQ(failuremessage(), "Nothing fits 1 Across");

    sqarray[0][0].charsets[0][0] = ABM_ALL;
    sqarray[1][2].charsets[0][0] = 1ULL << ('e' - 'a');  // CAT or EAT across, ATE down
    ASSERT_EQ(runfiller(mode), 0);
    filler_wait();
    EXPECT_EQ(filler_status, FS_DONE);
    EXPECT_EQ(failuremessage(), "");
    EXPECT_TRUE(failuresquares().empty());
    filler_stop();
  }
}

// Lights by the names a setter uses; the sentence names three and counts the rest.
TEST(Assist, NamesOfLights) {
  resetengine();
  drawgrid(0, {"...", "#.#", "..."});
  sqarray[0][2].lightrec[0].lightown = 1;
  sqarray[0][2].lightrec[0].nonumber = 1;
  setfreelight(0, {{0, 0}, {1, 1}, {2, 2}});
  ASSERT_EQ(rebuild(), 0);
  std::vector<std::string> names;
  for (int w = 0; w < nw; w++) names.push_back(lightname(w));
  std::vector<std::string> want = {"1 Across", "the Across light at 0,2", "2 Down", "free light 0"};
  EXPECT_EQ(names, want);

  struct {
    int kind, n;
    bool more;
    const char* text;
  } cases[] = {
      {FAIL_NONE, 2, false, ""},
      {FAIL_EMPTY, 1, false, "Nothing fits L0"},
      {FAIL_EMPTY, 2, false, "Nothing fits L0 and L1"},
      {FAIL_EMPTY, 3, false, "Nothing fits L0, L1 and L2"},
      {FAIL_EMPTY, 5, false, "Nothing fits L0, L1, L2 and 2 more"},
      {FAIL_EMPTY, 8, true, "Nothing fits L0, L1, L2 and at least 5 more"},
      {FAIL_SEARCH, 2, false, "The search ran out of candidates most often in L0 and L1"},
  };
  for (const auto& c : cases) {
    fillfailure f;
    f.kind = c.kind;
    f.more = c.more;
    for (int i = 0; i < c.n; i++) f.words.push_back(i);
    EXPECT_EQ(failuretext(f, [](int w) { return std::string("L").append(std::to_string(w)); }), c.text);
  }
}

// After an autofill is stopped, the feasible-word list describes the partial fill the hints
// show, not the light as it was before the fill.
TEST(Assist, AStoppedAutofillListsWhatTheHintsShow) {
  resetengine();
  drawgrid(0, {"......", "......", "......", "......", "......", "......"});
  strlcpy0(dictpaths[0], "/usr/share/dict/british-english", SLEN);
  ASSERT_EQ(dictsload(1), 0);
  cursorx = cursory = cursordir = 0;
  undo_start();
  fill();
  ASSERT_GT(listedwords().size(), 100u);

  // A six by six square of words takes a long search: stop it part-way.
  long long start = ct_push;
  ASSERT_EQ(runfiller(FM_ALL), 0);
  for (int i = 0; i < 10000 && ct_push < start + 40; i++) usleep(1000);
  filler_stop();
  ASSERT_EQ(filler_status, FS_STOPPED);
  const word& w = words[curword];
  int fixed = 0;
  for (int i = 0; i < w.nent; i++) fixed += __builtin_popcountll(w.e[i]->flbmh) == 1;
  ASSERT_GT(fixed, 0) << "the fill left the light as it was";
  for (const listedword& lw : listedwords()) {
    ASSERT_EQ((int)lw.codes.size(), w.nent);
    for (int i = 0; i < w.nent; i++)
      ASSERT_TRUE(w.e[i]->flbmh & codebit((unsigned char)lw.codes[i])) << lw.text << " does not fit the hints";
  }
  dictsfree();
}
