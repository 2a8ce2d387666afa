// The menu bar, built from the menu table with GtkMenu, GtkMenuItem, GtkImageMenuItem and
// GtkRadioMenuItem, and the dispatch of each item to its command.
#include <cstring>
#include <vector>

#include "core/common.h"
#include "core/traces.h"
#include "grid/edit.h"
#include "grid/freelight.h"
#include "grid/select.h"
#include "gui/dialogs.h"
#include "gui/menutable.h"
#include "gui/window.h"

namespace {

std::vector<GtkWidget*> items(NMENUROWS);  // one widget per table row
bool selecting;                            // menuselect is moving a radio group: no command runs

void onactivate(GtkMenuItem* item, gpointer data) {
  if (selecting) return;
  // A radio item being switched off reports too; only the item switched on acts.
  if (GTK_IS_CHECK_MENU_ITEM(item) && !gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(item))) return;
  const menurow& r = menutable[GPOINTER_TO_INT(data)];
  handlerof(r.cmd)(r.action);
  if (deb(DEB_UI)) pstdout(TRACE_COMMANDDONE "\n", menuplain(r.path).c_str());
}

GtkWidget* makeitem(int row) {
  const menurow& r = menutable[row];
  const char* label = menulabel(row);
  if (!strcmp(r.type, "<Separator>")) return gtk_separator_menu_item_new();
  if (!strcmp(r.type, "<StockItem>")) {
    GtkWidget* w = gtk_image_menu_item_new_with_mnemonic(label);
    gtk_image_menu_item_set_image(GTK_IMAGE_MENU_ITEM(w), gtk_image_new_from_stock(r.stock, GTK_ICON_SIZE_MENU));
    return w;
  }
  if (!strcmp(r.type, "<RadioItem>")) return gtk_radio_menu_item_new_with_mnemonic(nullptr, label);
  if (r.type[0] == '/')
    return gtk_radio_menu_item_new_with_mnemonic_from_widget(GTK_RADIO_MENU_ITEM(items[menugroup(row)]), label);
  GtkWidget* w = gtk_menu_item_new_with_mnemonic(label);
  if (!strcmp(r.type, "<LastBranch>")) gtk_menu_item_set_right_justified(GTK_MENU_ITEM(w), TRUE);
  return w;
}

// A command that returns its status and hands its report back through a pointer.
void showreported(int (*cmd)(editreport*)) {
  editreport r;
  cmd(&r);
  showedit(r);
}

}  // namespace

// The command behind each item, one line each; every command of the menus has one.
menuhandler handlerof(int cmd) {
  switch (cmd) {
    case MC_NEW: return m_new;
    case MC_OPEN: return m_open;
    case MC_SAVE: return m_save;
    case MC_SAVEAS: return m_saveas;
    case MC_EXPORT: return m_export;
    case MC_IMPORTFL: return m_importfl;
    case MC_EXPORTFL: return m_exportfl;
    case MC_IMPORTCLUES: return m_importclues;
    case MC_PRINT: return m_print;
    case MC_EDITCLUE: return m_editclue;
    case MC_QUIT: return m_quit;
    case MC_UNDO: return m_undo;
    case MC_REDO: return m_redo;
    case MC_BLOCK: return [](int) { showedit(editblock()); };
    case MC_BAR: return [](int) { showedit(editbarbefore()); };
    case MC_EMPTY: return [](int) { showedit(editempty()); };
    case MC_CUTOUT: return [](int) { showedit(editcutout()); };
    case MC_MERGE: return [](int) { showedit(editmerge()); };
    case MC_CELLCONTENTS: return m_cellcontents;
    case MC_LIGHTCONTENTS: return m_lightcontents;
    case MC_CLEARALL: return [](int) { showedit(clearallcells()); };
    case MC_CLEARSEL: return [](int) { showedit(clearselcells()); };
    case MC_FLSTART: return [](int) { showreported(flstartnew); };
    case MC_FLEXTEND: return [](int) { showreported(flextend); };
    case MC_FLSHORTEN: return [](int) { showreported(flshorten); };
    case MC_FLMODIFY: return m_flmodify;
    case MC_FLDELETE: return [](int) { showreported(fldelete); };
    case MC_FLIP: return [](int) { showedit(flipdiag()); };
    case MC_ROTATE: return [](int v) { showedit(rotategrid(v == AV_ROTCW)); };
    case MC_DELROW: return [](int) { showedit(deleterow()); };
    case MC_DELCOL: return [](int) { showedit(deletecol()); };
    case MC_INSROW: return [](int v) { showedit(insertrow(v)); };
    case MC_INSCOL: return [](int v) { showedit(insertcol(v)); };
    case MC_ZOOM: return m_zoom;
    case MC_STATS: return m_stats;
    case MC_GRIDPROPS: return m_gridprops;
    case MC_SELCELL: return [](int) { showedit(selcurcell()); };
    case MC_SELLIGHT: return [](int) { showedit(selcurlight()); };
    case MC_SELMODE: return [](int) { showedit(selswitchmode()); };
    case MC_SELFREE: return [](int) { showedit(selfreelight()); };
    case MC_SELALL: return [](int) { showedit(selall()); };
    case MC_SELINVERT: return [](int) { showedit(selinvert()); };
    case MC_SELNONE: return [](int) { showedit(selnothing()); };
    case MC_SELCELLOWN: return [](int) { showedit(selcellsown()); };
    case MC_SELCELLTREAT: return [](int) { showedit(selcellstreat()); };
    case MC_SELUNCHECKED: return [](int) { showedit(selcellsunchecked()); };
    case MC_SELLIGHTDIR: return [](int) { showedit(sellightsdir()); };
    case MC_SELLIGHTOWN: return [](int) { showedit(sellightsown()); };
    case MC_SELLIGHTTREAT: return [](int) { showedit(sellightsten()); };
    case MC_SELVIOL: return [](int v) { showedit(selviol(v)); };
    case MC_SYMNONE: return m_symnone;
    case MC_ROTSYM: return m_rotsym;
    case MC_MIRSYM: return m_mirsym;
    case MC_DUPSYM: return m_dupsym;
    case MC_AUTOFILL: return autofill;
    case MC_INTERACTIVE: return m_interactive;
    case MC_ACCEPT: return m_accept;
    case MC_UNBAN: return m_unban;
    case MC_GENBLOCKS: return m_genblocks;
    case MC_ABOUT: return m_about;
    case MC_PREFS: return m_prefs;
    case MC_DEFCELLPROPS: return m_defcellprops;
    case MC_SELCELLPROPS: return m_selcellprops;
    case MC_DEFLIGHTPROPS: return m_deflightprops;
    case MC_SELLIGHTPROPS: return m_sellightprops;
    case MC_DICTS: return m_dicts;
    case MC_ANALYSE: return m_analyse;
    case MC_ALPHABET: return m_alphabet;
    case MC_TREATMENT: return m_treatment;
    default: return nullptr;
  }
}

GtkWidget* buildmenubar(GtkAccelGroup* accel) {
  GtkWidget* bar = gtk_menu_bar_new();
  for (int row = 0; row < NMENUROWS; row++) {
    const menurow& r = menutable[row];
    GtkWidget* w = items[row] = makeitem(row);
    int parent = menuparent(row);
    GtkWidget* shell = parent < 0 ? bar : gtk_menu_item_get_submenu(GTK_MENU_ITEM(items[parent]));
    gtk_menu_shell_append(GTK_MENU_SHELL(shell), w);
    if (!strcmp(r.type, "<Branch>") || !strcmp(r.type, "<LastBranch>")) {
      GtkWidget* sub = gtk_menu_new();
      gtk_menu_set_accel_group(GTK_MENU(sub), accel);
      gtk_menu_item_set_submenu(GTK_MENU_ITEM(w), sub);
      continue;
    }
    if (r.cmd == MC_NONE) continue;
    if (r.accel[0]) {
      guint key;
      GdkModifierType mods;
      gtk_accelerator_parse(r.accel, &key, &mods);
      gtk_widget_add_accelerator(w, "activate", accel, key, mods, GTK_ACCEL_VISIBLE);
    }
    g_signal_connect(w, "activate", G_CALLBACK(onactivate), GINT_TO_POINTER(row));
  }
  return bar;
}

GtkWidget* menuitem(int cmd, int action) {
  int row = menufind(cmd, action);
  return row < 0 ? nullptr : items[row];
}

void menusensitive(int row, bool on) {
  if (row >= 0 && items[row]) gtk_widget_set_sensitive(items[row], on);
}

void menuselect(int cmd, int action) {
  GtkWidget* w = menuitem(cmd, action);
  if (!w) return;
  selecting = true;
  gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(w), TRUE);
  selecting = false;
}
