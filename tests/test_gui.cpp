// The window's logic that needs no display: the menu table, the window title, the file
// chooser's names.
#include <gtest/gtest.h>
#include <gdk/gdkkeysyms.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/common.h"
#include "grid/select.h"
#include "grid/zyn.h"
#include "gui/menurules.h"
#include "gui/menutable.h"
#include "gui/names.h"

namespace {

bool isbranch(int row) {
  return !strcmp(menutable[row].type, "<Branch>") || !strcmp(menutable[row].type, "<LastBranch>");
}

// The sensitivity a rule list gives an item; fails the test when the list lacks it.
bool ruleon(const std::vector<menustate>& rules, int cmd, int action) {
  for (const menustate& m : rules)
    if (m.cmd == cmd && m.action == action) return m.on;
  ADD_FAILURE() << "no rule for " << cmd << "/" << std::hex << action;
  return false;
}

}  // namespace

TEST(Menu, TopLevelMenusInOrder) {
  std::vector<std::string> top;
  for (int i = 0; i < NMENUROWS; i++)
    if (menuparent(i) < 0) top.push_back(menulabel(i));
  EXPECT_EQ(top, (std::vector<std::string>{"_File", "_Edit", "_Properties", "_Select", "Sy_mmetry", "_Autofill", "_Help"}));
  EXPECT_STREQ(menutable[NMENUROWS - 2].type, "<LastBranch>");
}

TEST(Menu, RowsAsTabled) {
  struct {
    int row;
    const char *path, *accel, *type, *stock;
    int cmd, action;
  } cases[] = {
      {2, "/File/New/Current shape and size", "<control>N", "<StockItem>", "gtk-new", MC_NEW, 0},
      {6, "/File/New/Blank 11x13", "", "", "", MC_NEW, newcode(11, 13, 128)},
      {41, "/File/New/Blocked 23x23 template/Unches on all edges", "", "", "", MC_NEW, newcode(23, 23, 3)},
      {50, "/File/Save _as...", "", "<StockItem>", "gtk-save-as", MC_SAVEAS, 0},
      {74, "/File/Export other format/_Crossword Compiler XML...", "", "", "", MC_EXPORT, 0x451},
      {79, "/File/_Quit", "<control>Q", "<StockItem>", "gtk-quit", MC_QUIT, 0},
      {93, "/Edit/C_lear selected cells", "<shift><control>X", "<StockItem>", "gtk-clear", MC_CLEARSEL, 0xF100},
      {103, "/Edit/Rotate cloc_kwise", "greater", "", "", MC_ROTATE, 0xF001},
      {115, "/Edit/Zoom/_Out", "<control>minus", "", "", MC_ZOOM, -2},
      {150, "/Select/Lights/that are _underchecked", "", "", "", MC_SELVIOL, 4},
      {157, "/Symmetry/Threefold rotational", "", "/Symmetry/Twofold rotational", "", MC_ROTSYM, 0x103},
      {176, "/Symmetry/Both", "", "/Symmetry/Up-down duplication", "", MC_DUPSYM, 0x303},
      {184, "/Autofill/Autofill _selected cells", "<shift><control>G", "<StockItem>", "gtk-execute", MC_AUTOFILL, 2},
      {194, "/Help/_About", "", "<StockItem>", "gtk-about", MC_ABOUT, 0},
  };
  for (const auto& c : cases) {
    const menurow& r = menutable[c.row];
    EXPECT_STREQ(r.path, c.path) << c.row;
    EXPECT_STREQ(r.accel, c.accel) << c.row;
    EXPECT_STREQ(r.type, c.type) << c.row;
    EXPECT_STREQ(r.stock, c.stock) << c.row;
    EXPECT_EQ(r.cmd, c.cmd) << c.row;
    EXPECT_EQ(r.action, c.action) << c.row;
  }
}

TEST(Menu, StructureIsConsistent) {
  std::set<std::pair<int, int>> keys;
  int newitems = 0;
  for (int i = 0; i < NMENUROWS; i++) {
    const menurow& r = menutable[i];
    SCOPED_TRACE(r.path);
    // Every item sits in a branch built before it.
    int p = menuparent(i);
    if (strchr(r.path + 1, '/')) {
      ASSERT_GE(p, 0);
      EXPECT_LT(p, i);
    }
    // Branches and separators do nothing; every other item does something, and its command and
    // action value find it and only it.
    bool inert = isbranch(i) || !strcmp(r.type, "<Separator>");
    EXPECT_EQ(inert, r.cmd == MC_NONE);
    if (!inert) {
      EXPECT_TRUE(keys.insert({r.cmd, r.action}).second);
      EXPECT_EQ(menufind(r.cmd, r.action), i);
    }
    EXPECT_EQ(!strcmp(r.type, "<StockItem>"), r.stock[0] != 0);
    EXPECT_LE(std::count(r.path, r.path + strlen(r.path), '_'), 1);
    if (r.cmd == MC_NEW && r.action) {
      newitems++;
      int w = r.action >> 16, h = r.action >> 8 & 0xff, pat = r.action & 0xff;
      EXPECT_TRUE(w >= 9 && w <= 25 && h >= 9 && h <= 25 && (pat == 128 || pat <= 3));
    }
  }
  EXPECT_EQ(newitems + 1, 38);  // and "Current shape and size"
  // The twin labels are different items.
  EXPECT_NE(menufind(MC_MIRSYM, 0x203), menufind(MC_DUPSYM, 0x303));
  EXPECT_EQ(menuplain(menutable[185].path), menuplain(menutable[191].path));
}

TEST(Menu, RadioGroups) {
  struct {
    int cmd, first, last;
  } groups[] = {{MC_ROTSYM, 0x101, 0x10C}, {MC_MIRSYM, 0x200, 0x203}, {MC_DUPSYM, 0x300, 0x303},
                {MC_INTERACTIVE, 0x500, 0x502}};
  std::set<int> leaders;
  for (const auto& g : groups) {
    int lead = menufind(g.cmd, g.first);
    ASSERT_GE(lead, 0);
    EXPECT_STREQ(menutable[lead].type, "<RadioItem>");
    leaders.insert(lead);
    for (int v = g.first; v <= g.last; v++) EXPECT_EQ(menugroup(menufind(g.cmd, v)), lead) << std::hex << v;
  }
  EXPECT_EQ(leaders.size(), 4u);
  for (int i = 0; i < NMENUROWS; i++) {
    int c = menutable[i].cmd;
    if (menugroup(i) >= 0) {
      EXPECT_TRUE(c == MC_ROTSYM || c == MC_MIRSYM || c == MC_DUPSYM || c == MC_INTERACTIVE);
    }
  }
}

TEST(Menu, AcceleratorsParseAndDiffer) {
  std::map<std::pair<guint, int>, int> seen;
  int n = 0;
  for (int i = 0; i < NMENUROWS; i++) {
    if (!menutable[i].accel[0]) continue;
    guint key = 0;
    GdkModifierType mods;
    gtk_accelerator_parse(menutable[i].accel, &key, &mods);
    EXPECT_NE(key, 0u) << menutable[i].accel;
    auto [at, fresh] = seen.insert({{key, (int)mods}, i});
    EXPECT_TRUE(fresh) << menutable[i].path << " repeats " << menutable[at->second].path;
    n++;
  }
  EXPECT_EQ(n, 36);
  guint key;
  GdkModifierType mods;
  gtk_accelerator_parse(menutable[menufind(MC_CLEARSEL, 0xF100)].accel, &key, &mods);
  EXPECT_EQ(key, (guint)GDK_KEY_x);
  EXPECT_EQ(mods, GDK_SHIFT_MASK | GDK_CONTROL_MASK);
}

TEST(MenuRules, ShapeDecidesSymmetryFlipAndSquareExports) {
  struct {
    int gt, w, h;
    std::vector<int> rotations;  // the orders allowed
    bool updownmirror, duplication, flip, rotate, squareexports;
  } cases[] = {
      {0, 15, 15, {1, 2, 4}, true, true, true, false, true},
      {3, 9, 5, {1, 3, 9}, false, false, false, true, false},   // circular, odd number of radii
      {4, 12, 4, {1, 2, 3, 4, 6, 12}, true, false, false, true, false},
      {1, 12, 12, {1, 2}, true, true, true, false, false},      // hexagonal
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.gt);
    gtype = c.gt, width = c.w, height = c.h;
    std::vector<menustate> r = shaperules();
    for (int i = 1; i <= 12; i++)
      EXPECT_EQ(ruleon(r, MC_ROTSYM, AV_ROTSYM + i), std::count(c.rotations.begin(), c.rotations.end(), i) > 0) << i;
    EXPECT_TRUE(ruleon(r, MC_MIRSYM, AV_MIRSYM + 1));
    EXPECT_EQ(ruleon(r, MC_MIRSYM, AV_MIRSYM + 2), c.updownmirror);
    EXPECT_EQ(ruleon(r, MC_MIRSYM, AV_MIRSYM + 3), c.updownmirror);
    EXPECT_TRUE(ruleon(r, MC_DUPSYM, AV_DUPSYM + 0));
    for (int m = 1; m < 4; m++) EXPECT_EQ(ruleon(r, MC_DUPSYM, AV_DUPSYM + m), c.duplication);
    EXPECT_EQ(ruleon(r, MC_FLIP, AV_FLIP), c.flip);
    EXPECT_EQ(ruleon(r, MC_ROTATE, AV_ROTCW), c.rotate);
    EXPECT_EQ(ruleon(r, MC_ROTATE, AV_ROTACW), c.rotate);
    for (int v : {0x404, 0x414, 0x433, 0x443, 0x451}) EXPECT_EQ(ruleon(r, MC_EXPORT, v), c.squareexports);
  }
  gtype = 0, width = height = 12;
}

TEST(MenuRules, SelectionItems) {
  struct {
    int mode, n;
    bool clearcells, onefree, deletefree, cellprops, lightprops;
  } cases[] = {
      {SEL_CELLS, 0, false, false, false, false, false},
      {SEL_CELLS, 3, true, false, false, true, false},
      {SEL_LIGHTS, 2, false, false, false, false, true},
      {SEL_FREE, 1, false, true, true, false, true},
      {SEL_FREE, 2, false, false, true, false, true},
      {SEL_FREE, 0, false, false, false, false, false},
  };
  for (const auto& c : cases) {
    selmode = c.mode, nsel = c.n;
    std::vector<menustate> r = selrules();
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " n " << c.n);
    EXPECT_EQ(ruleon(r, MC_CLEARSEL, AV_CLEARSEL), c.clearcells);
    EXPECT_EQ(ruleon(r, MC_FLEXTEND, AV_FLEXTEND), c.onefree);
    EXPECT_EQ(ruleon(r, MC_FLSHORTEN, AV_FLSHORTEN), c.onefree);
    EXPECT_EQ(ruleon(r, MC_FLMODIFY, AV_FLMODIFY), c.onefree);
    EXPECT_EQ(ruleon(r, MC_FLDELETE, AV_FLDELETE), c.deletefree);
    EXPECT_EQ(ruleon(r, MC_SELCELLPROPS, AV_SELCELLPROPS), c.cellprops);
    EXPECT_EQ(ruleon(r, MC_SELLIGHTPROPS, AV_SELLIGHTPROPS), c.lightprops);
  }
  selmode = SEL_CELLS, nsel = 0;
}

TEST(Gui, WindowTitle) {
  struct {
    const char *title, *author, *stem, *want;
  } cases[] = {
      {"", "", "", "Zyn: (untitled)"},
      {"", "A. Setter", "", "Zyn: (untitled) by A. Setter"},
      {"", "", "/home/me/grid", "Zyn: /home/me/grid"},
      {"Prize 12", "", "/home/me/grid", "Zyn: Prize 12"},
      {"T", "A", "stem", "Zyn: T by A"},
  };
  for (const auto& c : cases) {
    strcpy(title, c.title);
    strcpy(author, c.author);
    EXPECT_EQ(wintitle(c.stem), c.want);
  }
  title[0] = author[0] = 0;
}

TEST(Gui, ChooserNames) {
  EXPECT_EQ(suffixext(".blank.eps"), ".eps");
  EXPECT_EQ(suffixext("-ccw.xml"), ".xml");
  EXPECT_EQ(suffixext(".zyn"), ".zyn");
  EXPECT_EQ(chooserdefault("", ".blank.eps"), "untitled.blank.eps");
  EXPECT_EQ(chooserdefault("/tmp/grid", ".zyn"), "/tmp/grid.zyn");
}
