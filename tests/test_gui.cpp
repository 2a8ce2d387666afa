// The window's logic that needs no display: the menu table, the file chooser's names and the
// look-up addresses.
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
#include "grid/menus.h"
#include "grid/zyn.h"
#include "gui/lookup.h"
#include "gui/menutable.h"
#include "gui/names.h"
#include "gui/window.h"

namespace {

bool isbranch(int row) {
  return !strcmp(menutable[row].type, "<Branch>") || !strcmp(menutable[row].type, "<LastBranch>");
}

}  // namespace

TEST(Menu, TopLevelMenusInOrder) {
  std::vector<std::string> top;
  for (int i = 0; i < NMENUROWS; i++)
    if (menuparent(i) < 0) top.push_back(menulabel(i));
  EXPECT_EQ(top, (std::vector<std::string>{"_File", "_Edit", "_Properties", "_Select", "Sy_mmetry", "_Autofill", "_Help"}));
  // Help, and only Help, sits at the right end.
  for (int i = 0; i < NMENUROWS; i++)
    EXPECT_EQ(!strcmp(menutable[i].type, "<LastBranch>"), !strcmp(menutable[i].path, "/_Help")) << menutable[i].path;
}

// Items found by command and action value, in the order the menus show them.
TEST(Menu, RowsAsTabled) {
  struct {
    int cmd, action;
    const char *path, *accel, *type, *stock;
  } cases[] = {
      {MC_NEW, 0, "/File/New/Current shape and size", "<control>N", "<StockItem>", "gtk-new"},
      {MC_NEW, newcode(11, 13, 128), "/File/New/Blank 11x13", "", "", ""},
      {MC_NEW, newcode(23, 23, 3), "/File/New/Blocked 23x23 template/Unches on all edges", "", "", ""},
      {MC_SAVEAS, 0, "/File/Save _as...", "", "<StockItem>", "gtk-save-as"},
      {MC_EXPORT, 0x451, "/File/Export other format/_Crossword Compiler XML...", "", "", ""},
      {MC_EXPORT, 0x453, "/File/Export other format/Across Lite ._puz...", "", "", ""},
      {MC_QUIT, 0, "/File/_Quit", "<control>Q", "<StockItem>", "gtk-quit"},
      {MC_CLEARSEL, 0xF100, "/Edit/C_lear selected cells", "<shift><control>X", "<StockItem>", "gtk-clear"},
      {MC_ROTATE, 0xF001, "/Edit/Rotate cloc_kwise", "greater", "", ""},
      {MC_ZOOM, -2, "/Edit/Zoom/_Out", "<control>minus", "", ""},
      {MC_SELVIOL, 4, "/Select/Lights/that are _underchecked", "", "", ""},
      {MC_ROTSYM, 0x103, "/Symmetry/Threefold rotational", "", "/Symmetry/Twofold rotational", ""},
      {MC_DUPSYM, 0x303, "/Symmetry/Both", "", "/Symmetry/Up-down duplication", ""},
      {MC_AUTOFILL, 2, "/Autofill/Autofill _selected cells", "<shift><control>G", "<StockItem>", "gtk-execute"},
      {MC_GENBLOCKS, 0, "/Autofill/_Generate blocks...", "", "", ""},
      {MC_ABOUT, 0, "/Help/_About", "", "<StockItem>", "gtk-about"},
  };
  int last = -1;
  for (const auto& c : cases) {
    int row = menufind(c.cmd, c.action);
    ASSERT_GE(row, 0) << c.path;
    EXPECT_GT(row, last) << c.path;
    last = row;
    const menurow& r = menutable[row];
    EXPECT_STREQ(r.path, c.path);
    EXPECT_STREQ(r.accel, c.accel) << c.path;
    EXPECT_STREQ(r.type, c.type) << c.path;
    EXPECT_STREQ(r.stock, c.stock) << c.path;
  }
}

TEST(Menu, StructureIsConsistent) {
  std::set<std::pair<int, int>> keys;
  std::set<int> newcodes;
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
      // Every command is wired: an item is insensitive only where its rule says so.
      EXPECT_NE(handlerof(r.cmd), nullptr);
    }
    EXPECT_EQ(!strcmp(r.type, "<StockItem>"), r.stock[0] != 0);
    EXPECT_LE(std::count(r.path, r.path + strlen(r.path), '_'), 1);
    if (r.cmd == MC_NEW && r.action) newcodes.insert(r.action);
  }
  // The New items beside "Current shape and size": the blank sizes, and the four blocked
  // patterns of each odd size from 13 to 25.
  std::set<int> want;
  for (auto [w, h] : {std::pair{9, 9}, {10, 10}, {11, 11}, {11, 13}, {12, 12}, {13, 11}, {13, 13}, {14, 14}, {15, 15}})
    want.insert(newcode(w, h, 128));
  for (int n = 13; n <= 25; n += 2)
    for (int pat = 0; pat < 4; pat++) want.insert(newcode(n, n, pat));
  EXPECT_EQ(newcodes, want);
  // The twin labels are different items; two separators may share a name.
  EXPECT_NE(menufind(MC_MIRSYM, 0x203), menufind(MC_DUPSYM, 0x303));
  EXPECT_STREQ(menutable[menufind(MC_MIRSYM, 0x203)].path, menutable[menufind(MC_DUPSYM, 0x303)].path);
  EXPECT_EQ(std::count_if(menutable, menutable + NMENUROWS, [](const menurow& r) { return !strcmp(r.path, "/Autofill/sep2"); }), 2);
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
  EXPECT_EQ(leaders.size(), std::size(groups));
  for (int i = 0; i < NMENUROWS; i++) {
    int c = menutable[i].cmd;
    if (menugroup(i) >= 0) {
      EXPECT_TRUE(c == MC_ROTSYM || c == MC_MIRSYM || c == MC_DUPSYM || c == MC_INTERACTIVE);
    }
  }
}

TEST(Menu, AcceleratorsParseAndDiffer) {
  // Every item with an accelerator, by command and action value.
  const std::map<std::pair<int, int>, std::string> want = {
      {{MC_NEW, 0}, "<control>N"}, {{MC_OPEN, 0}, "<control>O"}, {{MC_SAVE, 0}, "<control>S"},
      {{MC_PRINT, 0}, "<control>P"}, {{MC_QUIT, 0}, "<control>Q"}, {{MC_UNDO, 0}, "<control>Z"},
      {{MC_REDO, 0}, "<control>Y"}, {{MC_EDITCLUE, 0}, "F2"}, {{MC_BLOCK, 0}, "Insert"},
      {{MC_BAR, 0}, "Return"}, {{MC_EMPTY, 0}, "Delete"}, {{MC_CUTOUT, 0}, "<control>C"},
      {{MC_MERGE, 0}, "<control>M"}, {{MC_CELLCONTENTS, 0}, "<control>I"}, {{MC_LIGHTCONTENTS, 0}, "<control>L"},
      {{MC_CLEARALL, 0}, "<control>X"}, {{MC_CLEARSEL, 0xF100}, "<shift><control>X"},
      {{MC_FLEXTEND, 0xF201}, "<control>E"}, {{MC_FLSHORTEN, 0xF202}, "<control>D"},
      {{MC_ROTATE, 0xF001}, "greater"}, {{MC_ROTATE, 0xF002}, "less"}, {{MC_ZOOM, -2}, "<control>minus"},
      {{MC_ZOOM, 0}, "<control>8"}, {{MC_ZOOM, 1}, "<control>9"}, {{MC_ZOOM, 2}, "<control>0"},
      {{MC_ZOOM, 3}, "<control>1"}, {{MC_ZOOM, 4}, "<control>2"}, {{MC_ZOOM, -1}, "<control>plus"},
      {{MC_SELCELL, 0}, "<shift>C"}, {{MC_SELLIGHT, 0}, "<shift>L"}, {{MC_SELMODE, 0}, "<shift>M"},
      {{MC_SELFREE, 0}, "<shift>F"}, {{MC_SELALL, 0}, "<shift>A"}, {{MC_SELINVERT, 0}, "<shift>I"},
      {{MC_SELNONE, 0}, "<shift>N"}, {{MC_AUTOFILL, 1}, "<control>G"}, {{MC_AUTOFILL, 2}, "<shift><control>G"},
      {{MC_ACCEPT, 0}, "<control>A"},
  };
  std::map<std::pair<int, int>, std::string> got;
  std::map<std::pair<guint, int>, int> seen;
  for (int i = 0; i < NMENUROWS; i++) {
    if (!menutable[i].accel[0]) continue;
    got[{menutable[i].cmd, menutable[i].action}] = menutable[i].accel;
    guint key = 0;
    GdkModifierType mods;
    gtk_accelerator_parse(menutable[i].accel, &key, &mods);
    EXPECT_NE(key, 0u) << menutable[i].accel;
    auto [at, fresh] = seen.insert({{key, (int)mods}, i});
    EXPECT_TRUE(fresh) << menutable[i].path << " repeats " << menutable[at->second].path;
  }
  EXPECT_EQ(got, want);
  guint key;
  GdkModifierType mods;
  gtk_accelerator_parse(menutable[menufind(MC_CLEARSEL, 0xF100)].accel, &key, &mods);
  EXPECT_EQ(key, (guint)GDK_KEY_x);
  EXPECT_EQ(mods, GDK_SHIFT_MASK | GDK_CONTROL_MASK);
}

// The window applies the engine's sensitivity rules by action value: each value they name is
// one item of the table, of the command the rule means.
TEST(Menu, RulesFindTheirItems) {
  std::vector<itemstate> rules = selitems();
  for (itemstate i : shapeitems()) rules.push_back(i);
  for (itemstate i : rules) {
    int row = menubyaction(i.action);
    ASSERT_GE(row, 0) << std::hex << i.action;
    int same = 0;
    for (int r = 0; r < NMENUROWS; r++) same += menutable[r].cmd != MC_NONE && menutable[r].action == i.action;
    EXPECT_EQ(same, 1) << std::hex << i.action;
  }
  EXPECT_EQ(menutable[menubyaction(ACT_FLIP)].cmd, MC_FLIP);
  EXPECT_EQ(menutable[menubyaction(ACT_CLEARSEL)].cmd, MC_CLEARSEL);
  EXPECT_EQ(menutable[menubyaction(ACT_MIRSYM + 3)].cmd, MC_MIRSYM);
  EXPECT_EQ(menutable[menubyaction(ACT_DUPSYM + 3)].cmd, MC_DUPSYM);
}

TEST(Gui, ChooserNames) {
  EXPECT_EQ(suffixext(".blank.eps"), ".eps");
  EXPECT_EQ(suffixext("-ccw.xml"), ".xml");
  EXPECT_EQ(suffixext(".zyn"), ".zyn");
  EXPECT_EQ(chooserdefault("", ".blank.eps"), "untitled.blank.eps");
  EXPECT_EQ(chooserdefault("/tmp/grid", ".zyn"), "/tmp/grid.zyn");
  // Save as: a name without an extension gets ".zyn"; a dot in a folder name does not count.
  EXPECT_EQ(withextension("grid", ".zyn"), "grid.zyn");
  EXPECT_EQ(withextension("grid.zyn", ".zyn"), "grid.zyn");
  EXPECT_EQ(withextension("grid.txt", ".zyn"), "grid.txt");
  EXPECT_EQ(withextension("/home/a.b/grid", ".zyn"), "/home/a.b/grid.zyn");
}

TEST(Gui, LookupAddresses) {
  struct {
    const char *tmpl, *cf, *uri;
  } cases[] = {
      {"https://x.org/?q=%s", "cat", "https://x.org/?q=cat"},
      {"https://x.org/%s/%s", "it's a", "https://x.org/it%27s%20a/it%27s%20a"},
      {"https://x.org/?q=%s", "caf\xc3\xa9", "https://x.org/?q=caf%C3%A9"},  // UTF-8 bytes
      {"https://x.org/100%%/%s", "Ab9", "https://x.org/100%/Ab9"},
      {"https://x.org/%a%s", "b", "https://x.org/ab"},  // "%" and another character: that character
      {"https://x.org/?q=%s%", "b", "https://x.org/?q=b%"},  // a "%" at the end stays
      {"no word", "b", "no word"},
  };
  for (const auto& c : cases) EXPECT_EQ(lookupaddress(c.tmpl, c.cf), c.uri) << c.tmpl;
  // Too long a word or address: no entry.
  std::string word(LOOKUPMAX - 20, 'a');
  EXPECT_EQ(lookupaddress("https://x.org/%s", word.c_str()), "https://x.org/" + word);
  EXPECT_EQ(lookupaddress("https://x.org/%s", (word + std::string(30, 'a')).c_str()), "");
  EXPECT_EQ(lookupaddress("https://x.org/%s", std::string(LOOKUPMAX + 1, 'a').c_str()), "");
  EXPECT_EQ(lookupaddress("https://x.org/%s", std::string(LOOKUPMAX / 2, ' ').c_str()), "");  // three bytes each

  for (const char* ok : {"http://a", "https://a/b"}) EXPECT_TRUE(openableaddress(ok)) << ok;
  for (const char* no : {"file:///etc/passwd", "javascript:x", "HTTPS//a", "", "ftp://a"})
    EXPECT_FALSE(openableaddress(no)) << no;
}
