// The menu bar, built from the menu table with GtkMenu, GtkMenuItem, GtkImageMenuItem and
// GtkRadioMenuItem, and the dispatch of each item to its command.
#include <cstring>

#include "gui/dialogs.h"
#include "gui/menutable.h"
#include "gui/window.h"

namespace {

typedef void (*menuhandler)(int action);

GtkWidget* items[NMENUROWS];  // one widget per table row
bool selecting;               // menuselect is moving a radio group: no command runs

// The command behind each item. A command without a handler here waits for its engine: its
// items show and stay insensitive until it is wired.
//   documents:        MC_NEW, MC_OPEN, MC_SAVE, MC_SAVEAS, MC_IMPORTFL, MC_EXPORTFL
//   drawing, exports: MC_EXPORT
//   editing engine:   MC_BLOCK .. MC_MERGE, MC_CELLCONTENTS, MC_LIGHTCONTENTS, MC_CLEARALL,
//                     MC_CLEARSEL, MC_FLSTART .. MC_FLDELETE, MC_FLIP .. MC_INSCOL, and the
//                     Select menu but "Nothing"
//   dialogs to come:  MC_STATS, MC_GRIDPROPS, MC_AUTOFILL, MC_ACCEPT, MC_UNBAN
menuhandler handlerof(int cmd) {
  switch (cmd) {
    case MC_QUIT: return m_quit;
    case MC_ABOUT: return m_about;
    case MC_UNDO: return m_undo;
    case MC_REDO: return m_redo;
    case MC_ZOOM: return m_zoom;
    case MC_SYMNONE: return m_symnone;
    case MC_ROTSYM: return m_rotsym;
    case MC_MIRSYM: return m_mirsym;
    case MC_DUPSYM: return m_dupsym;
    case MC_INTERACTIVE: return m_interactive;
    case MC_SELNONE: return m_selnone;
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

void onactivate(GtkMenuItem* item, gpointer data) {
  if (selecting) return;
  // A radio item being switched off reports too; only the item switched on acts.
  if (GTK_IS_CHECK_MENU_ITEM(item) && !gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(item))) return;
  const menurow& r = menutable[GPOINTER_TO_INT(data)];
  if (menuhandler h = handlerof(r.cmd)) h(r.action);
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

}  // namespace

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
    gtk_widget_set_sensitive(w, handlerof(r.cmd) != nullptr);
  }
  return bar;
}

GtkWidget* menuitem(int cmd, int action) {
  int row = menufind(cmd, action);
  return row < 0 ? nullptr : items[row];
}

void menusensitive(int cmd, int action, bool on) {
  if (GtkWidget* w = menuitem(cmd, action)) gtk_widget_set_sensitive(w, on && handlerof(cmd) != nullptr);
}

void menuselect(int cmd, int action) {
  GtkWidget* w = menuitem(cmd, action);
  if (!w) return;
  selecting = true;
  gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(w), TRUE);
  selecting = false;
}
