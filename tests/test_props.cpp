// The cell and light properties dialogs' logic: which records each form edits, the labels they
// show, and what Apply writes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "alphabet/alphabet.h"
#include "core/undo.h"
#include "dicts/dicts.h"
#include "filler/filler.h"
#include "grid/props.h"
#include "grid/select.h"
#include "grid/zyn.h"
#include "tests/testutil.h"

namespace {

class Props : public ::testing::Test {
 protected:
  void SetUp() override {
    resetdocument(5);
    selmode = SEL_CELLS;
  }
  void TearDown() override { filler_stop(); }
};

// A cell form as the dialog fills it from a record, with nothing touched.
cellform formof(const cellprops& c) {
  cellform f;
  f.p = c;
  for (int k = 0; k < NMARKS; k++) {
    char shown[6 * 4 + 1];  // the entry holds five characters of the mark
    int n = 0;
    const char* p = c.marktexts[k];
    while (*p && n < 5) p += utf8charlen(p), n++;
    strlcpy0(shown, c.marktexts[k], (size_t)(p - c.marktexts[k]) + 1);
    f.shown[k] = f.typed[k] = shown;
  }
  return f;
}

}  // namespace

TEST_F(Props, SelectedTargetsInOrderOrTheError) {
  msgcapture cap;
  celltargets ct;
  lighttargets lt;
  // Nothing selected, then cells selected while the selection is in light mode.
  EXPECT_EQ(selcelltargets(ct), 1);
  sqarray[3][0].sqflags |= SQF_SEL;
  sqarray[1][2].sqflags |= SQF_SEL;
  selmode = SEL_LIGHTS;
  EXPECT_EQ(selcelltargets(ct), 1);
  EXPECT_EQ(sellighttargets(lt), 1);
  ASSERT_EQ(cap.msgs.size(), 3u);
  EXPECT_EQ(cap.msgs[1], "E:Please select one or more cells\nwhose properties you wish to change");
  EXPECT_EQ(cap.msgs[2], "E:Please select one or more lights\nwhose properties you wish to change");

  selmode = SEL_CELLS;
  ASSERT_EQ(selcelltargets(ct), 0);
  EXPECT_TRUE(ct.selected);
  EXPECT_EQ(ct.recs, (std::vector<cellprops*>{&sqarray[3][0].cellrec, &sqarray[1][2].cellrec}));

  // Lights: directions first, then rows, then columns; a stale bit off a light start is ignored.
  selmode = SEL_LIGHTS;
  sqarray[1][0].sqflags = SQF_BLOCK;
  sqarray[0][3].lightsel = 1;
  sqarray[2][0].lightsel = 3;
  sqarray[2][2].lightsel = 2;  // not the start of a down light
  ASSERT_EQ(sellighttargets(lt), 0);
  EXPECT_FALSE(lt.freelights);
  EXPECT_EQ(lt.recs, (std::vector<lightprops*>{&sqarray[2][0].lightrec[0], &sqarray[0][3].lightrec[0],
                                               &sqarray[2][0].lightrec[1]}));

  setfreelight(0, {{0, 0}, {1, 1}});
  setfreelight(1, {{4, 0}, {3, 1}});
  freelights[1].sel = 1;
  selmode = SEL_FREE;
  ASSERT_EQ(sellighttargets(lt), 0);
  EXPECT_TRUE(lt.freelights);
  EXPECT_EQ(lt.recs, (std::vector<lightprops*>{&freelights[1].lp}));
  EXPECT_EQ(cap.msgs.size(), 3u);
}

TEST_F(Props, MarkLabelsPerGridType) {
  struct {
    int gt;
    std::vector<std::string> labels;
  } cases[] = {
      {0, {"NW mark: ", "NE mark: ", "SE mark: ", "SW mark: "}},
      {9, {"NW mark: ", "NE mark: ", "SE mark: ", "SW mark: "}},
      {1, {"NW mark: ", "NE mark: ", "E mark: ", "SE mark: ", "SW mark: ", "W mark: "}},
      {2, {"NW mark: ", "N mark: ", "NE mark: ", "SE mark: ", "S mark: ", "SW mark: "}},
      {4, {"First mark: ", "Second mark: ", "Third mark: ", "Fourth mark: "}},
  };
  for (auto& c : cases) {
    gtype = c.gt;
    std::vector<std::string> got;
    for (int k = 0; k < nmarksedit(); k++) got.push_back(marklabel(k));
    EXPECT_EQ(got, c.labels) << c.gt;
  }
}

TEST_F(Props, DictionaryLabels) {
  strcpy(dictpaths[0], "/usr/share/dict/words");
  strcpy(dictpaths[1], "/home/setter/lists/my_themed_words_list.txt");  // 43 characters
  strcpy(dafilter[2], "^[A-Z]+QU[A-Z]*$");
  strcpy(dafilter[3], "^(ÉTÉ|ÉPÉE|CAFÉ|SOUFFLÉ|BRÛLÉE)$");  // 32 characters, 41 bytes
  EXPECT_EQ(dictuselabel(1), "Use dictionary _1 (/usr/share/dict/words)");
  // Shortened by characters; an underscore in the name shows as one.
  EXPECT_EQ(dictuselabel(2), "Use dictionary _2 (...__themed__words__list.txt)");
  EXPECT_EQ(dictuselabel(3), "Use dictionary _3 (\"^[A-Z]+QU[A-Z]*$\")");
  EXPECT_EQ(dictuselabel(4), "Use dictionary _4 (\"^(ÉTÉ|ÉPÉE|CAFÉ|SOUFFL...\")");
  EXPECT_EQ(dictuselabel(5), "Use dictionary _5 (<empty>)");
}

TEST_F(Props, CellApplyWritesEveryRecordOnce) {
  // Two selected cells; the first has a mark longer than the entry shows.
  cellprops* a = owncell(1, 1);
  strcpy(a->marktexts[1], "a long mark text");
  sqarray[1][1].sqflags |= SQF_SEL;
  sqarray[3][2].sqflags |= SQF_SEL;
  celltargets t;
  ASSERT_EQ(selcelltargets(t), 0);
  int steps = undo_steps();
  cellform f = formof(*a);
  f.p.cellown = 1;
  f.p.bgcolour = 0xff0000;
  f.p.fontstyle = 3;
  f.p.unlinked = 2;
  f.p.treatcell = 1;
  f.typed[2] = std::string(29, 'x') + "é";  // 31 bytes: cut before the é
  strcpy(sqarray[3][2].cellrec.marktexts[4], "kept");  // beyond the editable marks
  applycellform(f, t);
  for (cellprops* c : {&sqarray[1][1].cellrec, &sqarray[3][2].cellrec}) {
    EXPECT_EQ(c->cellown, 1);
    EXPECT_EQ(c->bgcolour, 0xff0000u);
    EXPECT_EQ(c->fontstyle, 3);
    EXPECT_EQ(c->unlinked, 2);
    EXPECT_EQ(c->treatcell, 1);
    EXPECT_STREQ(c->marktexts[0], "\\#");
    EXPECT_STREQ(c->marktexts[1], "a long mark text");  // untouched: not cut to the entry's five
    EXPECT_EQ(std::string(c->marktexts[2]), std::string(29, 'x'));
  }
  EXPECT_STREQ(sqarray[3][2].cellrec.marktexts[4], "kept");
  EXPECT_EQ(undo_steps(), steps + 1);
  EXPECT_TRUE(unsaved);

  // The default form has no override: defcell never overrides.
  ASSERT_EQ(defcelltargets(t), 0);
  f = formof(defcell);
  f.p.cellown = 1;
  f.p.fgcolour = 0x0000ff;
  applycellform(f, t);
  EXPECT_EQ(defcell.cellown, 0);
  EXPECT_EQ(defcell.fgcolour, 0x0000ffu);
}

TEST_F(Props, LightApply) {
  msgcapture cap;
  selmode = SEL_LIGHTS;
  sqarray[0][0].lightsel = 3;
  sqarray[0][2].lightsel = 1;
  lighttargets t;
  ASSERT_EQ(sellighttargets(t), 0);
  ASSERT_EQ(t.recs.size(), 3u);
  lightprops p = deflight;
  p.lightown = 1;
  p.dmask = 2;
  p.emask = 0;  // every entry method off
  p.ten = p.nonumber = p.layered = 1;
  applylightform(p, t);
  // The error is shown once for the three lights, and each may be entered normally.
  ASSERT_EQ(cap.msgs.size(), 1u);
  EXPECT_EQ(cap.msgs[0],
            "E:No entry methods selected:\nthis would make fill impossible.\nAllowing lights to be entered normally.");
  for (lightprops* l : t.recs) {
    EXPECT_EQ(l->lightown, 1);
    EXPECT_EQ(l->dmask, 2u);
    EXPECT_EQ(l->emask, 1u);
    EXPECT_EQ(l->ten + l->nonumber + l->layered, 3);
  }
  EXPECT_EQ(getlprops(0, 2, 0)->dmask, 2u);

  // Free lights take the values but no override flag, which means nothing for them.
  setfreelight(0, {{0, 1}, {1, 2}, {2, 3}});
  freelights[0].sel = 1;
  selmode = SEL_FREE;
  ASSERT_EQ(sellighttargets(t), 0);
  p.emask = 0x12;
  applylightform(p, t);
  EXPECT_EQ(freelights[0].lp.lightown, 0);
  EXPECT_EQ(freelights[0].lp.emask, 0x12u);

  ASSERT_EQ(deflighttargets(t), 0);
  applylightform(p, t);
  EXPECT_EQ(deflight.lightown, 0);
  EXPECT_EQ(deflight.dmask, 2u);
  EXPECT_EQ(cap.msgs.size(), 1u);
}
