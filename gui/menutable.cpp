// The menu table and the lookups over it.
#include "gui/menutable.h"

#include <cstring>

const menurow menutable[] = {
    {"/_File", "", "<Branch>", "", MC_NONE, 0},
    {"/File/_New", "", "<Branch>", "", MC_NONE, 0},
    {"/File/New/Current shape and size", "<control>N", "<StockItem>", "gtk-new", MC_NEW, 0},
    {"/File/New/Blank 9x9", "", "", "", MC_NEW, newcode(9, 9, 128)},
    {"/File/New/Blank 10x10", "", "", "", MC_NEW, newcode(10, 10, 128)},
    {"/File/New/Blank 11x11", "", "", "", MC_NEW, newcode(11, 11, 128)},
    {"/File/New/Blank 11x13", "", "", "", MC_NEW, newcode(11, 13, 128)},
    {"/File/New/Blank 12x12", "", "", "", MC_NEW, newcode(12, 12, 128)},
    {"/File/New/Blank 13x11", "", "", "", MC_NEW, newcode(13, 11, 128)},
    {"/File/New/Blank 13x13", "", "", "", MC_NEW, newcode(13, 13, 128)},
    {"/File/New/Blank 14x14", "", "", "", MC_NEW, newcode(14, 14, 128)},
    {"/File/New/Blank 15x15", "", "", "", MC_NEW, newcode(15, 15, 128)},
    {"/File/New/Blocked 13x13 template", "", "<Branch>", "", MC_NONE, 0},
    {"/File/New/Blocked 13x13 template/No unches on edges", "", "", "", MC_NEW, newcode(13, 13, 0)},
    {"/File/New/Blocked 13x13 template/Unches left and right", "", "", "", MC_NEW, newcode(13, 13, 1)},
    {"/File/New/Blocked 13x13 template/Unches top and bottom", "", "", "", MC_NEW, newcode(13, 13, 2)},
    {"/File/New/Blocked 13x13 template/Unches on all edges", "", "", "", MC_NEW, newcode(13, 13, 3)},
    {"/File/New/Blocked 15x15 template", "", "<Branch>", "", MC_NONE, 0},
    {"/File/New/Blocked 15x15 template/No unches on edges", "", "", "", MC_NEW, newcode(15, 15, 0)},
    {"/File/New/Blocked 15x15 template/Unches left and right", "", "", "", MC_NEW, newcode(15, 15, 1)},
    {"/File/New/Blocked 15x15 template/Unches top and bottom", "", "", "", MC_NEW, newcode(15, 15, 2)},
    {"/File/New/Blocked 15x15 template/Unches on all edges", "", "", "", MC_NEW, newcode(15, 15, 3)},
    {"/File/New/Blocked 17x17 template", "", "<Branch>", "", MC_NONE, 0},
    {"/File/New/Blocked 17x17 template/No unches on edges", "", "", "", MC_NEW, newcode(17, 17, 0)},
    {"/File/New/Blocked 17x17 template/Unches left and right", "", "", "", MC_NEW, newcode(17, 17, 1)},
    {"/File/New/Blocked 17x17 template/Unches top and bottom", "", "", "", MC_NEW, newcode(17, 17, 2)},
    {"/File/New/Blocked 17x17 template/Unches on all edges", "", "", "", MC_NEW, newcode(17, 17, 3)},
    {"/File/New/Blocked 19x19 template", "", "<Branch>", "", MC_NONE, 0},
    {"/File/New/Blocked 19x19 template/No unches on edges", "", "", "", MC_NEW, newcode(19, 19, 0)},
    {"/File/New/Blocked 19x19 template/Unches left and right", "", "", "", MC_NEW, newcode(19, 19, 1)},
    {"/File/New/Blocked 19x19 template/Unches top and bottom", "", "", "", MC_NEW, newcode(19, 19, 2)},
    {"/File/New/Blocked 19x19 template/Unches on all edges", "", "", "", MC_NEW, newcode(19, 19, 3)},
    {"/File/New/Blocked 21x21 template", "", "<Branch>", "", MC_NONE, 0},
    {"/File/New/Blocked 21x21 template/No unches on edges", "", "", "", MC_NEW, newcode(21, 21, 0)},
    {"/File/New/Blocked 21x21 template/Unches left and right", "", "", "", MC_NEW, newcode(21, 21, 1)},
    {"/File/New/Blocked 21x21 template/Unches top and bottom", "", "", "", MC_NEW, newcode(21, 21, 2)},
    {"/File/New/Blocked 21x21 template/Unches on all edges", "", "", "", MC_NEW, newcode(21, 21, 3)},
    {"/File/New/Blocked 23x23 template", "", "<Branch>", "", MC_NONE, 0},
    {"/File/New/Blocked 23x23 template/No unches on edges", "", "", "", MC_NEW, newcode(23, 23, 0)},
    {"/File/New/Blocked 23x23 template/Unches left and right", "", "", "", MC_NEW, newcode(23, 23, 1)},
    {"/File/New/Blocked 23x23 template/Unches top and bottom", "", "", "", MC_NEW, newcode(23, 23, 2)},
    {"/File/New/Blocked 23x23 template/Unches on all edges", "", "", "", MC_NEW, newcode(23, 23, 3)},
    {"/File/New/Blocked 25x25 template", "", "<Branch>", "", MC_NONE, 0},
    {"/File/New/Blocked 25x25 template/No unches on edges", "", "", "", MC_NEW, newcode(25, 25, 0)},
    {"/File/New/Blocked 25x25 template/Unches left and right", "", "", "", MC_NEW, newcode(25, 25, 1)},
    {"/File/New/Blocked 25x25 template/Unches top and bottom", "", "", "", MC_NEW, newcode(25, 25, 2)},
    {"/File/New/Blocked 25x25 template/Unches on all edges", "", "", "", MC_NEW, newcode(25, 25, 3)},
    {"/File/sep0", "", "<Separator>", "", MC_NONE, 0},
    {"/File/_Open...", "<control>O", "<StockItem>", "gtk-open", MC_OPEN, 0},
    {"/File/_Save", "<control>S", "<StockItem>", "gtk-save", MC_SAVE, 0},
    {"/File/Save _as...", "", "<StockItem>", "gtk-save-as", MC_SAVEAS, 0},
    {"/File/sep1", "", "<Separator>", "", MC_NONE, 0},
    {"/File/Export _blank grid image", "", "<Branch>", "", MC_NONE, 0},
    {"/File/Export blank grid image/as _EPS...", "", "", "", MC_EXPORT, 0x401},
    {"/File/Export blank grid image/as _SVG...", "", "", "", MC_EXPORT, 0x402},
    {"/File/Export blank grid image/as _PNG...", "", "", "", MC_EXPORT, 0x403},
    {"/File/Export blank grid image/as _HTML...", "", "", "", MC_EXPORT, 0x404},
    {"/File/Export _filled grid image", "", "<Branch>", "", MC_NONE, 0},
    {"/File/Export filled grid image/as _EPS...", "", "", "", MC_EXPORT, 0x411},
    {"/File/Export filled grid image/as _SVG...", "", "", "", MC_EXPORT, 0x412},
    {"/File/Export filled grid image/as _PNG...", "", "", "", MC_EXPORT, 0x413},
    {"/File/Export filled grid image/as _HTML...", "", "", "", MC_EXPORT, 0x414},
    {"/File/Export ans_wers", "", "<Branch>", "", MC_NONE, 0},
    {"/File/Export answers/As _text...", "", "", "", MC_EXPORT, 0x420},
    {"/File/Export answers/As _HTML...", "", "", "", MC_EXPORT, 0x423},
    {"/File/Export _puzzle", "", "<Branch>", "", MC_NONE, 0},
    {"/File/Export puzzle/As _HTML...", "", "", "", MC_EXPORT, 0x433},
    {"/File/Export puzzle/As HTML+_SVG...", "", "", "", MC_EXPORT, 0x434},
    {"/File/Export puzzle/As HTML+_PNG...", "", "", "", MC_EXPORT, 0x435},
    {"/File/Export puzzle/As P_DF...", "", "", "", MC_EXPORT, 0x436},
    {"/File/Export so_lution", "", "<Branch>", "", MC_NONE, 0},
    {"/File/Export solution/As _HTML...", "", "", "", MC_EXPORT, 0x443},
    {"/File/Export solution/As HTML+_SVG...", "", "", "", MC_EXPORT, 0x444},
    {"/File/Export solution/As HTML+_PNG...", "", "", "", MC_EXPORT, 0x445},
    {"/File/Export solution/As P_DF...", "", "", "", MC_EXPORT, 0x446},
    {"/File/Export o_ther format", "", "<Branch>", "", MC_NONE, 0},
    {"/File/Export other format/_Crossword Compiler XML...", "", "", "", MC_EXPORT, 0x451},
    {"/File/Export other format/_ipuz...", "", "", "", MC_EXPORT, 0x452},
    {"/File/Export other format/Across Lite ._puz...", "", "", "", MC_EXPORT, 0x453},
    {"/File/sep2", "", "<Separator>", "", MC_NONE, 0},
    {"/File/I_mport free light paths", "", "", "", MC_IMPORTFL, 0},
    {"/File/E_xport free light paths", "", "", "", MC_EXPORTFL, 0},
    {"/File/Import cl_ues...", "", "", "", MC_IMPORTCLUES, 0},
    {"/File/Export clu_es...", "", "", "", MC_EXPORT, 0x460},
    {"/File/sep4", "", "<Separator>", "", MC_NONE, 0},
    {"/File/P_rint...", "<control>P", "<StockItem>", "gtk-print", MC_PRINT, 0},
    {"/File/sep3", "", "<Separator>", "", MC_NONE, 0},
    {"/File/_Quit", "<control>Q", "<StockItem>", "gtk-quit", MC_QUIT, 0},
    {"/_Edit", "", "<Branch>", "", MC_NONE, 0},
    {"/Edit/_Undo", "<control>Z", "<StockItem>", "gtk-undo", MC_UNDO, 0},
    {"/Edit/_Redo", "<control>Y", "<StockItem>", "gtk-redo", MC_REDO, 0},
    {"/Edit/Edit _clue", "F2", "", "", MC_EDITCLUE, 0},
    {"/Edit/sep1", "", "<Separator>", "", MC_NONE, 0},
    {"/Edit/_Solid block", "Insert", "", "", MC_BLOCK, 0},
    {"/Edit/_Bar before", "Return", "", "", MC_BAR, 0},
    {"/Edit/_Empty", "Delete", "", "", MC_EMPTY, 0},
    {"/Edit/_Cutout", "<control>C", "", "", MC_CUTOUT, 0},
    {"/Edit/_Merge with next", "<control>M", "", "", MC_MERGE, 0},
    {"/Edit/sep2", "", "<Separator>", "", MC_NONE, 0},
    {"/Edit/Cell c_ontents...", "<control>I", "", "", MC_CELLCONTENTS, 0},
    {"/Edit/_Light contents...", "<control>L", "", "", MC_LIGHTCONTENTS, 0},
    {"/Edit/Clear _all cells", "<control>X", "<StockItem>", "gtk-clear", MC_CLEARALL, 0},
    {"/Edit/C_lear selected cells", "<shift><control>X", "<StockItem>", "gtk-clear", MC_CLEARSEL, 0xF100},
    {"/Edit/sep3", "", "<Separator>", "", MC_NONE, 0},
    {"/Edit/_Free light", "", "<Branch>", "", MC_NONE, 0},
    {"/Edit/Free light/_Start new", "", "", "", MC_FLSTART, 0xF200},
    {"/Edit/Free light/_Extend selected", "<control>E", "", "", MC_FLEXTEND, 0xF201},
    {"/Edit/Free light/_Shorten selected", "<control>D", "", "", MC_FLSHORTEN, 0xF202},
    {"/Edit/Free light/_Modify selected", "", "", "", MC_FLMODIFY, 0xF203},
    {"/Edit/Free light/_Delete selected", "", "", "", MC_FLDELETE, 0xF204},
    {"/Edit/sep6", "", "<Separator>", "", MC_NONE, 0},
    {"/Edit/Flip in main dia_gonal", "", "", "", MC_FLIP, 0xF000},
    {"/Edit/Rotate cloc_kwise", "greater", "", "", MC_ROTATE, 0xF001},
    {"/Edit/Rotate a_nticlockwise", "less", "", "", MC_ROTATE, 0xF002},
    {"/Edit/_Delete", "", "<Branch>", "", MC_NONE, 0},
    {"/Edit/Delete/_Row or annulus", "", "", "", MC_DELROW, 0},
    {"/Edit/Delete/_Column or radius", "", "", "", MC_DELCOL, 0},
    {"/Edit/_Insert", "", "<Branch>", "", MC_NONE, 0},
    {"/Edit/Insert/Row _above or outer annulus", "", "", "", MC_INSROW, 0},
    {"/Edit/Insert/Row _below or inner annulus", "", "", "", MC_INSROW, 1},
    {"/Edit/Insert/Column to _left or previous radius", "", "", "", MC_INSCOL, 0},
    {"/Edit/Insert/Column to _right or next radius", "", "", "", MC_INSCOL, 1},
    {"/Edit/sep7", "", "<Separator>", "", MC_NONE, 0},
    {"/Edit/_Zoom", "", "<Branch>", "", MC_NONE, 0},
    {"/Edit/Zoom/_Out", "<control>minus", "", "", MC_ZOOM, -2},
    {"/Edit/Zoom/_1 50%", "<control>8", "", "", MC_ZOOM, 0},
    {"/Edit/Zoom/_2 71%", "<control>9", "", "", MC_ZOOM, 1},
    {"/Edit/Zoom/_3 100%", "<control>0", "", "", MC_ZOOM, 2},
    {"/Edit/Zoom/_4 141%", "<control>1", "", "", MC_ZOOM, 3},
    {"/Edit/Zoom/_5 200%", "<control>2", "", "", MC_ZOOM, 4},
    {"/Edit/Zoom/_In", "<control>plus", "", "", MC_ZOOM, -1},
    {"/Edit/Show s_tatistics", "", "", "", MC_STATS, 0},
    {"/Edit/_Preferences...", "", "<StockItem>", "gtk-preferences", MC_PREFS, 0},
    {"/_Properties", "", "<Branch>", "", MC_NONE, 0},
    {"/Properties/_Grid properties...", "", "<StockItem>", "gtk-properties", MC_GRIDPROPS, 0},
    {"/Properties/Default _cell properties...", "", "", "", MC_DEFCELLPROPS, 0},
    {"/Properties/Selected c_ell properties...", "", "", "", MC_SELCELLPROPS, 0xF300},
    {"/Properties/Default _light properties...", "", "", "", MC_DEFLIGHTPROPS, 0},
    {"/Properties/Selected l_ight properties...", "", "", "", MC_SELLIGHTPROPS, 0xF301},
    {"/_Select", "", "<Branch>", "", MC_NONE, 0},
    {"/Select/Current _cell", "<shift>C", "", "", MC_SELCELL, 0},
    {"/Select/Current _light", "<shift>L", "", "", MC_SELLIGHT, 0},
    {"/Select/Cell _mode <> light mode", "<shift>M", "", "", MC_SELMODE, 0},
    {"/Select/_Free light", "<shift>F", "", "", MC_SELFREE, 0},
    {"/Select/sep0", "", "<Separator>", "", MC_NONE, 0},
    {"/Select/_All", "<shift>A", "", "", MC_SELALL, 0},
    {"/Select/_Invert", "<shift>I", "", "", MC_SELINVERT, 0},
    {"/Select/_Nothing", "<shift>N", "", "", MC_SELNONE, 0},
    {"/Select/sep1", "", "<Separator>", "", MC_NONE, 0},
    {"/Select/Cell_s", "", "<Branch>", "", MC_NONE, 0},
    {"/Select/Cells/overriding default _properties", "", "", "", MC_SELCELLOWN, 0},
    {"/Select/Cells/flagged for _answer treatment", "", "", "", MC_SELCELLTREAT, 0},
    {"/Select/Cells/that are _unchecked", "", "", "", MC_SELUNCHECKED, 0},
    {"/Select/Li_ghts", "", "<Branch>", "", MC_NONE, 0},
    {"/Select/Lights/_in current direction", "", "", "", MC_SELLIGHTDIR, 0},
    {"/Select/Lights/overriding default _properties", "", "", "", MC_SELLIGHTOWN, 0},
    {"/Select/Lights/with answer treatment _enabled", "", "", "", MC_SELLIGHTTREAT, 0},
    {"/Select/Lights/with _double or more unches", "", "", "", MC_SELVIOL, 1},
    {"/Select/Lights/with _triple or more unches", "", "", "", MC_SELVIOL, 2},
    {"/Select/Lights/that are _underchecked", "", "", "", MC_SELVIOL, 4},
    {"/Select/Lights/that are _overchecked", "", "", "", MC_SELVIOL, 8},
    {"/Sy_mmetry", "", "<Branch>", "", MC_NONE, 0},
    {"/Symmetry/_None", "", "", "", MC_SYMNONE, 0},
    {"/Symmetry/sep1", "", "<Separator>", "", MC_NONE, 0},
    {"/Symmetry/N_o rotational", "", "<RadioItem>", "", MC_ROTSYM, 0x101},
    {"/Symmetry/_Twofold rotational", "", "/Symmetry/No rotational", "", MC_ROTSYM, 0x102},
    {"/Symmetry/Threefold rotational", "", "/Symmetry/Twofold rotational", "", MC_ROTSYM, 0x103},
    {"/Symmetry/_Fourfold rotational", "", "/Symmetry/Threefold rotational", "", MC_ROTSYM, 0x104},
    {"/Symmetry/Fivefold rotational", "", "/Symmetry/Fourfold rotational", "", MC_ROTSYM, 0x105},
    {"/Symmetry/Sixfold rotational", "", "/Symmetry/Fivefold rotational", "", MC_ROTSYM, 0x106},
    {"/Symmetry/Sevenfold rotational", "", "/Symmetry/Sixfold rotational", "", MC_ROTSYM, 0x107},
    {"/Symmetry/Eightfold rotational", "", "/Symmetry/Sevenfold rotational", "", MC_ROTSYM, 0x108},
    {"/Symmetry/Ninefold rotational", "", "/Symmetry/Eightfold rotational", "", MC_ROTSYM, 0x109},
    {"/Symmetry/Tenfold rotational", "", "/Symmetry/Ninefold rotational", "", MC_ROTSYM, 0x10A},
    {"/Symmetry/Elevenfold rotational", "", "/Symmetry/Tenfold rotational", "", MC_ROTSYM, 0x10B},
    {"/Symmetry/Twelvefold rotational", "", "/Symmetry/Elevenfold rotational", "", MC_ROTSYM, 0x10C},
    {"/Symmetry/sep2", "", "<Separator>", "", MC_NONE, 0},
    {"/Symmetry/No mirror", "", "<RadioItem>", "", MC_MIRSYM, 0x200},
    {"/Symmetry/Left-right mirror", "", "/Symmetry/No mirror", "", MC_MIRSYM, 0x201},
    {"/Symmetry/Up-down mirror", "", "/Symmetry/Left-right mirror", "", MC_MIRSYM, 0x202},
    {"/Symmetry/Both", "", "/Symmetry/Up-down mirror", "", MC_MIRSYM, 0x203},
    {"/Symmetry/sep3", "", "<Separator>", "", MC_NONE, 0},
    {"/Symmetry/No duplication", "", "<RadioItem>", "", MC_DUPSYM, 0x300},
    {"/Symmetry/Left-right duplication", "", "/Symmetry/No duplication", "", MC_DUPSYM, 0x301},
    {"/Symmetry/Up-down duplication", "", "/Symmetry/Left-right duplication", "", MC_DUPSYM, 0x302},
    {"/Symmetry/Both", "", "/Symmetry/Up-down duplication", "", MC_DUPSYM, 0x303},
    {"/_Autofill", "", "<Branch>", "", MC_NONE, 0},
    {"/Autofill/_Dictionaries...", "", "", "", MC_DICTS, 0},
    {"/Autofill/Anal_yse dictionaries...", "", "", "", MC_ANALYSE, 0},
    {"/Autofill/_Alphabet...", "", "", "", MC_ALPHABET, 0},
    {"/Autofill/Answer _treatment...", "", "", "", MC_TREATMENT, 0},
    {"/Autofill/sep1", "", "<Separator>", "", MC_NONE, 0},
    {"/Autofill/Auto_fill", "<control>G", "<StockItem>", "gtk-execute", MC_AUTOFILL, 1},
    {"/Autofill/Autofill _selected cells", "<shift><control>G", "<StockItem>", "gtk-execute", MC_AUTOFILL, 2},
    {"/Autofill/_Generate blocks...", "", "", "", MC_GENBLOCKS, 0},
    {"/Autofill/sep2", "", "<Separator>", "", MC_NONE, 0},
    {"/Autofill/_Interactive assistance", "", "<Branch>", "", MC_NONE, 0},
    {"/Autofill/Interactive assistance/_Off", "", "<RadioItem>", "", MC_INTERACTIVE, 0x500},
    {"/Autofill/Interactive assistance/_Light only", "", "/Autofill/Interactive assistance/Off", "", MC_INTERACTIVE, 0x501},
    {"/Autofill/Interactive assistance/_Entire grid", "", "/Autofill/Interactive assistance/Light only", "", MC_INTERACTIVE, 0x502},
    {"/Autofill/Accept _hints", "<control>A", "", "", MC_ACCEPT, 0},
    {"/Autofill/sep2", "", "<Separator>", "", MC_NONE, 0},
    {"/Autofill/_Unban all answers", "", "", "", MC_UNBAN, 0},
    {"/_Help", "", "<LastBranch>", "", MC_NONE, 0},
    {"/Help/_About", "", "<StockItem>", "gtk-about", MC_ABOUT, 0},
};

const int NMENUROWS = sizeof menutable / sizeof menutable[0];

std::string menuplain(const char* path) {
  std::string s;
  for (const char* p = path; *p; p++)
    if (*p != '_') s += *p;
  return s;
}

const char* menulabel(int row) { return strrchr(menutable[row].path, '/') + 1; }

static int branchnamed(const std::string& plain) {
  for (int i = 0; i < NMENUROWS; i++) {
    const char* t = menutable[i].type;
    if ((!strcmp(t, "<Branch>") || !strcmp(t, "<LastBranch>")) && menuplain(menutable[i].path) == plain) return i;
  }
  return -1;
}

int menuparent(int row) {
  std::string p = menuplain(menutable[row].path);
  p.erase(p.rfind('/'));
  return p.empty() ? -1 : branchnamed(p);
}

int menugroup(int row) {
  // Follow the chain of "joins the group of" back to the item that started the group. Only
  // items before this one can be named, so the walk ends.
  for (int guard = 0; guard < NMENUROWS && row >= 0; guard++) {
    const char* t = menutable[row].type;
    if (!strcmp(t, "<RadioItem>")) return row;
    if (t[0] != '/') return -1;
    int named = -1;
    for (int i = 0; i < row && named < 0; i++)
      if (menuplain(menutable[i].path) == t) named = i;
    row = named;
  }
  return -1;
}

int menufind(int cmd, int action) {
  for (int i = 0; i < NMENUROWS; i++)
    if (menutable[i].cmd == cmd && menutable[i].action == action) return i;
  return -1;
}

int menubyaction(int action) {
  for (int i = 0; i < NMENUROWS; i++)
    if (menutable[i].cmd != MC_NONE && menutable[i].action == action) return i;
  return -1;
}
