// The main window's menu as data: every item in the order the menu bar shows it, with its label
// and mnemonic, accelerator, kind, stock icon, command and action value. GTK-free, so that the
// table can be checked without a display.
#pragma once

#include <string>

// What an item does; items of one command are told apart by their action value.
enum menucmd {
  MC_NONE,  // branches and separators
  MC_NEW, MC_OPEN, MC_SAVE, MC_SAVEAS, MC_EXPORT, MC_IMPORTFL, MC_EXPORTFL, MC_QUIT,
  MC_UNDO, MC_REDO, MC_BLOCK, MC_BAR, MC_EMPTY, MC_CUTOUT, MC_MERGE, MC_CELLCONTENTS,
  MC_LIGHTCONTENTS, MC_CLEARALL, MC_CLEARSEL, MC_FLSTART, MC_FLEXTEND, MC_FLSHORTEN, MC_FLMODIFY,
  MC_FLDELETE, MC_FLIP, MC_ROTATE, MC_DELROW, MC_DELCOL, MC_INSROW, MC_INSCOL, MC_ZOOM, MC_STATS,
  MC_PREFS, MC_GRIDPROPS, MC_DEFCELLPROPS, MC_SELCELLPROPS, MC_DEFLIGHTPROPS, MC_SELLIGHTPROPS,
  MC_SELCELL, MC_SELLIGHT, MC_SELMODE, MC_SELFREE, MC_SELALL, MC_SELINVERT, MC_SELNONE,
  MC_SELCELLOWN, MC_SELCELLTREAT, MC_SELUNCHECKED, MC_SELLIGHTDIR, MC_SELLIGHTOWN,
  MC_SELLIGHTTREAT, MC_SELVIOL, MC_SYMNONE, MC_ROTSYM, MC_MIRSYM, MC_DUPSYM, MC_DICTS, MC_ANALYSE,
  MC_ALPHABET, MC_TREATMENT, MC_AUTOFILL, MC_INTERACTIVE, MC_ACCEPT, MC_UNBAN, MC_GENBLOCKS, MC_ABOUT,
  MC_IMPORTCLUES, MC_PRINT, MC_EDITCLUE,
  NMENUCMD
};

struct menurow {
  const char* path;   // the menus above the item, then its label with the mnemonic underscore
  const char* accel;  // as gtk_accelerator_parse reads it; "" for none
  // "" a plain item; "<Branch>" a submenu; "<LastBranch>" a submenu at the right end;
  // "<StockItem>" an item with the stock icon; "<Separator>"; "<RadioItem>" the first item of a
  // radio group; otherwise the path (without underscores) of the radio item whose group it joins.
  const char* type;
  const char* stock;
  int cmd;            // menucmd
  int action;         // handed to the command's handler
};

extern const menurow menutable[];
extern const int NMENUROWS;  // the rows of menutable, counted from the table itself

// The action value of a New item: the new grid's size and block pattern (128: no blocks).
constexpr int newcode(int w, int h, int pattern) { return w << 16 | h << 8 | pattern; }

// Action values of the radio groups and of the rotation the window tells apart.
constexpr int AV_ROTSYM = 0x100, AV_MIRSYM = 0x200, AV_DUPSYM = 0x300, AV_ASSIST = 0x500;
constexpr int AV_ROTCW = 0xF001;

std::string menuplain(const char* path);  // the path without mnemonic underscores
const char* menulabel(int row);           // the last part of the path: the item's label
int menuparent(int row);                  // the branch row holding the item; -1 on the menu bar
int menugroup(int row);                   // a radio item's group: the row that started it; else -1
int menufind(int cmd, int action);        // the row of that command and value; -1 when none
// The row of an item the engine's sensitivity rules name by action value alone (those values
// belong to one item each); -1 when none.
int menubyaction(int action);
