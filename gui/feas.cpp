// The feasible-word list beside the grid and the feasible-characters line below it, refilled
// on the main thread when a background fill has published its result; and the list's actions:
// a click (or Enter) enters a word into the cursor's light, the pop-up menu bans, copies or
// looks a word up, and adds words and scores to the personal word list.
#include <gdk/gdkkeysyms.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/common.h"
#include "core/message.h"
#include "core/prefs.h"
#include "core/traces.h"
#include "draw/screen.h"
#include "filler/filler.h"
#include "grid/assist.h"
#include "gui/dialogs.h"
#include "gui/lookup.h"
#include "gui/window.h"
#include "platform/platform.h"

namespace {

GtkListStore* feasstore;
// The rows shown, the entry methods of their light and the fill that listed them. A row is
// acted on only while that fill is the latest: after another has started, the list is about
// to be refilled, perhaps for another light.
std::vector<listedword> shown;
unsigned int shownem, showngen;

const listedword* currentrow(int r) {
  if (showngen != fillgen.load() || r < 0 || r >= (int)shown.size()) return nullptr;
  return &shown[r];
}

void backtogrid() {
  if (drawarea) gtk_widget_grab_focus(drawarea);
}

void enterrow(int r) {
  if (deb(DEB_DRAW)) pstdout(TRACE_ROWSELECT "\n", r);
  const listedword* w = currentrow(r);
  if (!w) return;
  editreport rep = enterword(*w, shownem);
  if (!rep.done) return;
  showedit(rep);
  backtogrid();
}

// The row under a point of the list, -1 when none.
int rowat(double x, double y) {
  GtkTreePath* path = nullptr;
  if (!gtk_tree_view_get_path_at_pos(GTK_TREE_VIEW(feaslist), (int)x, (int)y, &path, nullptr, nullptr, nullptr))
    return -1;
  int r = gtk_tree_path_get_indices(path)[0];
  gtk_tree_path_free(path);
  return r;
}

void onban(GtkMenuItem*, gpointer p) {
  const listedword* w = currentrow(GPOINTER_TO_INT(p));
  editreport r;
  if (w && banword(w->ans, &r) == 0 && deb(DEB_UI)) pstdout("banned %s\n", w->cf.c_str());
  showedit(r);
  backtogrid();
}

void oncopy(GtkMenuItem* item, gpointer) {
  const char* cf = (const char*)g_object_get_data(G_OBJECT(item), "text");
  gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), cf, -1);
  backtogrid();
}

void onlookup(GtkMenuItem* item, gpointer) {
  std::string uri = (const char*)g_object_get_data(G_OBJECT(item), "text");
  if (deb(DEB_UI)) pstdout("Lookup %s\n", uri.c_str());
  if (!openableaddress(uri)) errbox("Only http:// and https:// URIs can be opened.\nPlease check your Preferences settings.");
  else if (plat_openuri(uri.c_str())) {
    std::string msg = "Could not open the address\n" + uri;
    errbox(msg.c_str());
  }
  if (mainw && mainw->window) gdk_window_set_cursor(mainw->window, nullptr);
  backtogrid();
}

// Asks for a score of 0..100, and with word set for a word too (its entry starts empty). False
// when cancelled or when the word is empty.
bool askscore(const char* title, std::string* word, int* score) {
  GtkWidget* d = newdialog(title);
  GtkWidget* box = gtk_table_new(2, 2, FALSE);
  gtk_container_set_border_width(GTK_CONTAINER(box), 5);
  gtk_box_pack_start(GTK_BOX(dialogbox(d)), box, TRUE, TRUE, 0);
  GtkWidget* entry = nullptr;
  int row = 0;
  if (word) {
    entry = newentry("", SLEN - 1, 30);
    gtk_entry_set_activates_default(GTK_ENTRY(entry), TRUE);
    gtk_table_attach(GTK_TABLE(box), rightlabel(" Word: "), 0, 1, row, row + 1, GTK_FILL, GTK_FILL, 2, 2);
    gtk_table_attach(GTK_TABLE(box), entry, 1, 2, row, row + 1, GTK_FILL, GTK_FILL, 2, 2);
    row++;
  }
  GtkWidget* spin = gtk_spin_button_new_with_range(0, 100, 1);
  gtk_spin_button_set_value(GTK_SPIN_BUTTON(spin), *score);
  gtk_table_attach(GTK_TABLE(box), rightlabel(" Score (0 to 100): "), 0, 1, row, row + 1, GTK_FILL, GTK_FILL, 2, 2);
  gtk_table_attach(GTK_TABLE(box), spin, 1, 2, row, row + 1, GTK_FILL, GTK_FILL, 2, 2);
  gtk_widget_show_all(d);
  bool ok = rundlg(d) == GTK_RESPONSE_OK;
  if (ok) {
    gtk_spin_button_update(GTK_SPIN_BUTTON(spin));
    *score = gtk_spin_button_get_value_as_int(GTK_SPIN_BUTTON(spin));
    if (word) *word = entrytext(entry);
  }
  gtk_widget_destroy(d);
  return ok && (!word || !word->empty());
}

void personal(const std::string& cf, int score) {
  if (deb(DEB_UI)) pstdout("personal %s %d\n", cf.c_str(), score);
  editreport r;
  if (setpersonal(cf.c_str(), score, &r) == 2) errbox("The word has no letter of the alphabet");
  showedit(r);
  backtogrid();
}

void onaddword(GtkMenuItem*, gpointer) {
  std::string word;
  int score = 60;
  if (askscore("Add word", &word, &score)) personal(word, score);
  else backtogrid();
}

void onsetscore(GtkMenuItem*, gpointer p) {
  const listedword* w = currentrow(GPOINTER_TO_INT(p));
  if (!w) return;
  std::string cf = w->cf;  // the list may be refilled while the dialog runs
  int score = listedscore(*w);
  std::string title = "Score of \"" + cf + "\"";
  if (askscore(title.c_str(), nullptr, &score)) personal(cf, score);
  else backtogrid();
}

void onneveruse(GtkMenuItem*, gpointer p) {
  const listedword* w = currentrow(GPOINTER_TO_INT(p));
  if (w) personal(w->cf, 0);
}

GtkWidget* rowitem(const char* label, int r, GCallback cb) {
  GtkWidget* item = gtk_menu_item_new_with_label(label);
  g_signal_connect(item, "activate", cb, GINT_TO_POINTER(r));
  return item;
}

// A menu item that hands its callback a copy of text, freed with the item.
GtkWidget* textitem(const char* label, const std::string& text, GCallback cb) {
  GtkWidget* item = gtk_menu_item_new_with_label(label);
  g_object_set_data_full(G_OBJECT(item), "text", g_strdup(text.c_str()), g_free);
  g_signal_connect(item, "activate", cb, nullptr);
  return item;
}

gboolean destroylater(gpointer w) {
  gtk_widget_destroy(GTK_WIDGET(w));
  return FALSE;
}

void popup(int r, GdkEventButton* ev) {
  const listedword* w = currentrow(r);
  if (!w) return;
  GtkWidget* menu = gtk_menu_new();
  if (w->ans >= 0) {
    std::string label = "Ban \"" + w->cf + "\"";
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), rowitem(label.c_str(), r, G_CALLBACK(onban)));
  }
  gtk_menu_shell_append(GTK_MENU_SHELL(menu), textitem("Copy", w->cf, G_CALLBACK(oncopy)));
  for (int i = 0; i < 6; i++) {
    std::string uri = lookupaddress(prefstr(PREF_LOOKUPURI_0 + i), w->cf.c_str());
    if (deb(DEB_UI)) pstdout("lookupuri[%d]=%s\n", i, uri.c_str());
    if (uri.empty()) continue;
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), textitem(prefstr(PREF_LOOKUPNAME_0 + i), uri, G_CALLBACK(onlookup)));
  }
  // The personal word list: lasting, unlike Ban, which ends with the session.
  gtk_menu_shell_append(GTK_MENU_SHELL(menu), gtk_separator_menu_item_new());
  if (w->ans >= 0) {
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), rowitem("Never use", r, G_CALLBACK(onneveruse)));
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), rowitem("Set score...", r, G_CALLBACK(onsetscore)));
  }
  gtk_menu_shell_append(GTK_MENU_SHELL(menu), rowitem("Add word...", r, G_CALLBACK(onaddword)));
  gtk_widget_show_all(menu);
  // Destroyed once closed; later, so that the chosen item's command runs first.
  g_signal_connect(menu, "deactivate", G_CALLBACK(+[](GtkWidget* m, gpointer) { gdk_threads_add_idle(destroylater, m); }), nullptr);
  gtk_menu_popup(GTK_MENU(menu), nullptr, nullptr, nullptr, nullptr, ev->button, ev->time);
}

// A click enters the word under it; the right button opens the pop-up menu. The list is not
// selected by the pointer: moving through it with the keyboard enters nothing until Enter.
gboolean onbutton(GtkWidget*, GdkEventButton* ev, gpointer) {
  if (ev->window != gtk_tree_view_get_bin_window(GTK_TREE_VIEW(feaslist))) return FALSE;
  int r = rowat(ev->x, ev->y);
  if (deb(DEB_DRAW)) pstdout("list button %d type %d row %d\n", (int)ev->button, (int)ev->type, r);
  if (r < 0) return FALSE;
  if (ev->button == 1 && ev->type == GDK_BUTTON_PRESS) enterrow(r);
  else if (ev->button == 3 && ev->type == GDK_BUTTON_PRESS) popup(r, ev);
  return ev->button == 1 || ev->button == 3;
}

// Enter (or space) on the row the keyboard is on.
void onactivated(GtkTreeView*, GtkTreePath* path, GtkTreeViewColumn*, gpointer) {
  GdkEvent* ev = gtk_get_current_event();
  bool key = ev && ev->type == GDK_KEY_PRESS;
  if (ev) gdk_event_free(ev);
  if (key) enterrow(gtk_tree_path_get_indices(path)[0]);
}

// The main window sees a key before the widget with the keyboard and would run a menu's
// accelerator for it: Return is "Bar before". While the list has the keyboard, Return and
// Enter go to the list first, so that they enter the word the list is on.
gboolean onwindowkey(GtkWidget* w, GdkEventKey* ev, gpointer) {
  if (gtk_window_get_focus(GTK_WINDOW(w)) != feaslist) return FALSE;
  if (ev->keyval != GDK_KEY_Return && ev->keyval != GDK_KEY_KP_Enter && ev->keyval != GDK_KEY_ISO_Enter) return FALSE;
  return gtk_window_propagate_key_event(GTK_WINDOW(w), ev);
}

}  // namespace

GtkWidget* buildfeaslist() {
  feasstore = gtk_list_store_new(1, G_TYPE_STRING);
  feaslist = gtk_tree_view_new_with_model(GTK_TREE_MODEL(feasstore));
  g_object_unref(feasstore);  // the view holds it
  GtkTreeViewColumn* col =
      gtk_tree_view_column_new_with_attributes("Feasible words", gtk_cell_renderer_text_new(), "text", 0, nullptr);
  // As wide as the pane, and wider when a treated entry's text needs it (the pane then scrolls).
  gtk_tree_view_column_set_sizing(col, GTK_TREE_VIEW_COLUMN_GROW_ONLY);
  gtk_tree_view_column_set_min_width(col, 180);
  gtk_tree_view_column_set_expand(col, TRUE);
  gtk_tree_view_append_column(GTK_TREE_VIEW(feaslist), col);
  gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(feaslist), TRUE);
  gtk_tree_view_set_headers_clickable(GTK_TREE_VIEW(feaslist), FALSE);
  gtk_tree_view_set_enable_search(GTK_TREE_VIEW(feaslist), FALSE);
  gtk_tree_selection_set_mode(gtk_tree_view_get_selection(GTK_TREE_VIEW(feaslist)), GTK_SELECTION_SINGLE);
  g_signal_connect(feaslist, "button-press-event", G_CALLBACK(onbutton), nullptr);
  g_signal_connect(feaslist, "row-activated", G_CALLBACK(onactivated), nullptr);
  g_signal_connect(mainw, "key-press-event", G_CALLBACK(onwindowkey), nullptr);
  return feaslist;
}

void setfeaslabel(const char* text) {
  if (feaslabel) gtk_label_set_text(GTK_LABEL(feaslabel), text);
}

void updatefeas() {
  if (!feaslist) return;
  if (deb(DEB_DRAW)) pstdout(TRACE_UPDATEFEAS "\n");
  // Detached from the view while it is refilled, so that the view does not follow every row.
  g_object_ref(feasstore);
  gtk_tree_view_set_model(GTK_TREE_VIEW(feaslist), nullptr);
  gtk_list_store_clear(feasstore);
  shown.clear();
  if (assistmode != 0) shown = listedwords();
  shownem = llistem;
  showngen = fillgen.load();
  GtkTreeIter it;
  for (const listedword& w : shown) {
    if (deb(DEB_DRAW)) {
      char score[20] = "";
      if (w.ans >= 0) pbuf(score, sizeof score, "%+.1f", log10(w.weight));
      pstdout(TRACE_LISTROW "\n", w.text.c_str(), score);
    }
    gtk_list_store_insert_with_values(feasstore, &it, -1, 0, w.text.c_str(), -1);
  }
  gtk_tree_view_set_model(GTK_TREE_VIEW(feaslist), GTK_TREE_MODEL(feasstore));
  g_object_unref(feasstore);
  std::string label = feaslabeltext();
  if (deb(DEB_DRAW)) pstdout(TRACE_LISTLABEL "\n", label.c_str());
  setfeaslabel(label.c_str());
  // Assistance that found some light impossible says where.
  if (filler_status == FS_NOFILL && fillmode == FM_ASSIST) showfailure();
  if (assistkeytime) {
    if (deb(DEB_UI)) pstdout("key answered in %.2f ms\n", (g_get_monotonic_time() - assistkeytime) / 1000.0);
    assistkeytime = 0;
  }
}

void showfailure() {
  std::string where = failuremessage();
  if (where.empty()) return;
  if (deb(DEB_UI)) pstdout(TRACE_FAILURE "\n", where.c_str());
  setfailmarks(failuresquares());
  if (faillabel) gtk_label_set_text(GTK_LABEL(faillabel), where.c_str());
}

void clearfailure() {
  setfailmarks({});
  if (faillabel) gtk_label_set_text(GTK_LABEL(faillabel), "");
}
