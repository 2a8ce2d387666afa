// The clue pane below the grid: every light by direction with its number, its pattern or answer,
// its clue and its enumeration, the clue and enumeration edited in place. Selecting a row moves
// the grid's cursor to the light; moving the cursor selects the light's row. Rows are brought
// into line with the document after each edit, when the window is idle.
#include <gdk/gdkkeysyms.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/common.h"
#include "core/message.h"
#include "core/traces.h"
#include "grid/clues.h"
#include "grid/road.h"
#include "grid/zyn.h"
#include "gui/window.h"

GtkWidget* cluelist;

namespace {

enum { COL_LIGHT, COL_PATTERN, COL_CLUE, COL_ENUM, COL_EMPTY, COL_X, COL_Y, COL_D, NCOLS };

GtkListStore* cluestore_;
GtkWidget* countlabel;
GtkWidget* orphanbutton;
std::vector<cluelight> rows;  // the lights the rows show, in order
guint refreshidle;
bool following;    // the selection is being moved to follow the cursor
bool advance;      // the edit was ended by Tab or Enter: go on to the next clue
int editcolumn;    // the column being edited

std::string lightlabel(const cluelight& l) {
  std::string s = "F";
  if (l.k.d >= 100) return s += std::to_string(l.number);
  std::string dir = gtypes[gtype].dname[l.k.d];
  return cluenumtext(l) + " " + dir;
}

void setrow(GtkTreeIter* it, const cluelight& l) {
  const clue* c = cluefor(l.k);
  std::string text = c ? c->text : "", enumr = cluebracketed(l);
  gtk_list_store_set(cluestore_, it, COL_LIGHT, lightlabel(l).c_str(), COL_PATTERN, cluepattern(l).c_str(), COL_CLUE,
                     text.c_str(), COL_ENUM, enumr.c_str(), COL_EMPTY, text.empty(), COL_X, l.k.x, COL_Y, l.k.y, COL_D,
                     l.k.d, -1);
}

void showcounts() {
  int clued, lights;
  cluecounts(&clued, &lights);
  int orphans = cluesorphans();
  std::string t = std::to_string(clued) + " of " + std::to_string(lights) + " clued";
  if (orphans) t += ", " + std::to_string(orphans) + (orphans == 1 ? " orphaned clue" : " orphaned clues");
  gtk_label_set_text(GTK_LABEL(countlabel), t.c_str());
  if (deb(DEB_UI)) pstdout(TRACE_CLUEPANE "\n", t.c_str());
  gtk_widget_set_visible(orphanbutton, orphans > 0);
}

int rowof(const cluekey& k) {
  for (size_t i = 0; i < rows.size(); i++)
    if (rows[i].k == k) return (int)i;
  return -1;
}

void selectrow(int r) {
  GtkTreeSelection* sel = gtk_tree_view_get_selection(GTK_TREE_VIEW(cluelist));
  following = true;
  if (r < 0) {
    gtk_tree_selection_unselect_all(sel);
  } else {
    GtkTreePath* p = gtk_tree_path_new_from_indices(r, -1);
    gtk_tree_view_set_cursor(GTK_TREE_VIEW(cluelist), p, nullptr, FALSE);
    gtk_tree_view_scroll_to_cell(GTK_TREE_VIEW(cluelist), p, nullptr, FALSE, 0, 0);
    gtk_tree_path_free(p);
  }
  following = false;
}

gboolean refreshnow(gpointer) {
  refreshidle = 0;
  if (!cluelist) return FALSE;
  gint64 t0 = g_get_monotonic_time();
  std::vector<cluelight> now = cluelights();
  bool same = now.size() == rows.size();
  for (size_t i = 0; same && i < now.size(); i++) same = now[i].k == rows[i].k;
  GtkTreeIter it;
  if (same) {
    // The same lights: only the rows whose text changed are set again.
    bool ok = gtk_tree_model_get_iter_first(GTK_TREE_MODEL(cluestore_), &it);
    for (size_t i = 0; ok && i < now.size(); i++, ok = gtk_tree_model_iter_next(GTK_TREE_MODEL(cluestore_), &it)) {
      gchar *pattern, *text, *enumr;
      gtk_tree_model_get(GTK_TREE_MODEL(cluestore_), &it, COL_PATTERN, &pattern, COL_CLUE, &text, COL_ENUM, &enumr, -1);
      const clue* c = cluefor(now[i].k);
      if (cluepattern(now[i]) != pattern || (c ? c->text : "") != text || cluebracketed(now[i]) != enumr ||
          now[i].number != rows[i].number)
        setrow(&it, now[i]);
      g_free(pattern), g_free(text), g_free(enumr);
    }
  } else {
    g_object_ref(cluestore_);
    gtk_tree_view_set_model(GTK_TREE_VIEW(cluelist), nullptr);
    gtk_list_store_clear(cluestore_);
    for (const cluelight& l : now) {
      gtk_list_store_append(cluestore_, &it);
      setrow(&it, l);
    }
    gtk_tree_view_set_model(GTK_TREE_VIEW(cluelist), GTK_TREE_MODEL(cluestore_));
    g_object_unref(cluestore_);
  }
  rows = std::move(now);
  showcounts();
  cluepanefollow();
  if (deb(DEB_UI)) pstdout("clue pane refreshed in %.2f ms\n", (g_get_monotonic_time() - t0) / 1000.0);
  return FALSE;
}

// The key of the row at a path.
cluekey keyat(GtkTreePath* path) {
  GtkTreeIter it;
  cluekey k{0, 0, -1};
  if (gtk_tree_model_get_iter(GTK_TREE_MODEL(cluestore_), &it, path))
    gtk_tree_model_get(GTK_TREE_MODEL(cluestore_), &it, COL_X, &k.x, COL_Y, &k.y, COL_D, &k.d, -1);
  return k;
}

void oncursorchanged(GtkTreeView* view, gpointer) {
  if (following) return;
  GtkTreePath* path = nullptr;
  gtk_tree_view_get_cursor(view, &path, nullptr);
  if (!path) return;
  cluekey k = keyat(path);
  gtk_tree_path_free(path);
  if (k.d >= 0 && cluecursor(k) == 0) {
    // Assistance follows the cursor's light.
    curmoved = 1;
    editreport r;
    showedit(endmove(r));
  }
}

// Go on editing the same column of the next row.
gboolean editnext(gpointer p) {
  int r = GPOINTER_TO_INT(p);
  if (!cluelist || r >= (int)rows.size()) return FALSE;
  GtkTreePath* path = gtk_tree_path_new_from_indices(r, -1);
  GtkTreeViewColumn* col = gtk_tree_view_get_column(GTK_TREE_VIEW(cluelist), editcolumn);
  gtk_tree_view_set_cursor(GTK_TREE_VIEW(cluelist), path, col, TRUE);
  gtk_tree_path_free(path);
  return FALSE;
}

void onedited(GtkCellRendererText*, gchar* pathtext, gchar* newtext, gpointer column) {
  GtkTreePath* path = gtk_tree_path_new_from_string(pathtext);
  int r = gtk_tree_path_get_indices(path)[0];
  cluekey k = keyat(path);
  gtk_tree_path_free(path);
  bool next = advance;
  advance = false;
  if (k.d < 0) return;
  const clue* c = cluefor(k);
  std::string text = c ? c->text : "", enumr = c ? c->enumr : "";
  std::string typed = newtext;
  if (GPOINTER_TO_INT(column) == COL_CLUE) {
    if (typed.size() > MXCLUE) {
      errbox("A clue holds at most 2000 bytes.\nThe clue has been cut to fit.");
      typed = cluecut(typed, MXCLUE);
    }
    text = typed;
  } else {
    // The enumeration is shown in parentheses; "" or the computed one means no override.
    if (typed.size() >= 2 && typed.front() == '(' && typed.back() == ')') typed = typed.substr(1, typed.size() - 2);
    if (typed == std::to_string(rows[r].len)) typed.clear();
    if (typed.size() > MXENUM) {
      errbox("An enumeration holds at most 100 bytes.\nIt has been cut to fit.");
      typed = cluecut(typed, MXENUM);
    }
    enumr = typed;
  }
  if (clueedit(k, text, enumr) == CLUE_BADUTF8) errbox("The text is not UTF-8.");
  if (deb(DEB_UI)) pstdout(TRACE_CLUESET "\n", lightlabel(rows[r]).c_str(), text.c_str(), enumr.c_str());
  refreshnow(nullptr);
  // Before the keys that follow are handled, so that none of them is lost; under the lock, as
  // every handler runs, since the row moves the grid's cursor, which restarts the filler.
  if (next) gdk_threads_add_idle_full(G_PRIORITY_HIGH, editnext, GINT_TO_POINTER(r + 1), nullptr);
}

gboolean oneditkey(GtkWidget*, GdkEventKey* ev, gpointer) {
  if (ev->keyval == GDK_KEY_Tab || ev->keyval == GDK_KEY_Return || ev->keyval == GDK_KEY_KP_Enter ||
      ev->keyval == GDK_KEY_ISO_Enter) {
    advance = true;
    // Tab would move the keyboard out of the entry; end the edit here instead.
    if (ev->keyval == GDK_KEY_Tab) {
      GtkCellEditable* e = GTK_CELL_EDITABLE(gtk_window_get_focus(GTK_WINDOW(mainw)));
      gtk_cell_editable_editing_done(e);
      gtk_cell_editable_remove_widget(e);
      return TRUE;
    }
  }
  return FALSE;
}

void oneditingstarted(GtkCellRenderer*, GtkCellEditable* editable, gchar* pathtext, gpointer column) {
  int r = atoi(pathtext);
  if (deb(DEB_UI) && r >= 0 && r < (int)rows.size()) pstdout(TRACE_EDITINGCLUE "\n", lightlabel(rows[r]).c_str());
  editcolumn = GPOINTER_TO_INT(column) == COL_CLUE ? 2 : 3;
  advance = false;
  if (GTK_IS_ENTRY(editable)) {
    g_signal_connect(editable, "key-press-event", G_CALLBACK(oneditkey), nullptr);
    if (GPOINTER_TO_INT(column) == COL_CLUE) gtk_entry_set_max_length(GTK_ENTRY(editable), 0);
  }
}

// The main window sees a key before the widget with the keyboard and would run a menu's
// accelerator for it (a capital letter selects, Return is "Bar before"). While the pane has the
// keyboard, keys go to it first.
gboolean onwindowkey(GtkWidget* w, GdkEventKey* ev, gpointer) {
  GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(w));
  if (!cluelist || !focus || (focus != cluelist && !gtk_widget_is_ancestor(focus, cluelist))) return FALSE;
  if (ev->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK)) return FALSE;
  if (gtk_window_propagate_key_event(GTK_WINDOW(w), ev)) return TRUE;
  // Escape on the list goes back to the grid; Tab moves the keyboard on as usual; no other key
  // reaches the menus' accelerators.
  if (ev->keyval == GDK_KEY_Escape && focus == cluelist && drawarea) {
    gtk_widget_grab_focus(drawarea);
    return TRUE;
  }
  return ev->keyval != GDK_KEY_Tab && ev->keyval != GDK_KEY_ISO_Left_Tab;
}

void ondeleteorphans(GtkButton*, gpointer) {
  if (cluedeleteorphansstep()) refreshnow(nullptr);
}

GtkTreeViewColumn* textcolumn(const char* title, int col, bool editable, int width) {
  GtkCellRenderer* r = gtk_cell_renderer_text_new();
  GtkTreeViewColumn* c = gtk_tree_view_column_new_with_attributes(title, r, "text", col, nullptr);
  if (editable) {
    g_object_set(r, "editable", TRUE, nullptr);
    g_signal_connect(r, "edited", G_CALLBACK(onedited), GINT_TO_POINTER(col));
    g_signal_connect(r, "editing-started", G_CALLBACK(oneditingstarted), GINT_TO_POINTER(col));
  }
  if (col == COL_CLUE) {
    // An empty clue shows on a pale yellow ground.
    g_object_set(r, "cell-background", "#fff2b0", "ellipsize", PANGO_ELLIPSIZE_END, nullptr);
    gtk_tree_view_column_add_attribute(c, r, "cell-background-set", COL_EMPTY);
    gtk_tree_view_column_set_expand(c, TRUE);
  }
  if (width) gtk_tree_view_column_set_min_width(c, width);
  gtk_tree_view_column_set_resizable(c, TRUE);
  return c;
}

void ondestroy(GtkWidget*, gpointer) {
  cluelist = nullptr;
  rows.clear();
  if (refreshidle) g_source_remove(refreshidle), refreshidle = 0;
}

}  // namespace

GtkWidget* buildcluepane() {
  GtkWidget* box = gtk_vbox_new(FALSE, 2);
  gtk_container_set_border_width(GTK_CONTAINER(box), 4);
  GtkWidget* head = gtk_hbox_new(FALSE, 6);
  GtkWidget* title = gtk_label_new(nullptr);
  gtk_label_set_markup(GTK_LABEL(title), "<b>Clues</b>");
  gtk_box_pack_start(GTK_BOX(head), title, FALSE, FALSE, 0);
  countlabel = gtk_label_new("");
  gtk_box_pack_start(GTK_BOX(head), countlabel, FALSE, FALSE, 0);
  orphanbutton = gtk_button_new_with_label("Delete orphaned clues");
  g_signal_connect(orphanbutton, "clicked", G_CALLBACK(ondeleteorphans), nullptr);
  // Shown only while there are orphans.
  gtk_widget_set_no_show_all(orphanbutton, TRUE);
  gtk_box_pack_end(GTK_BOX(head), orphanbutton, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(box), head, FALSE, FALSE, 0);

  cluestore_ = gtk_list_store_new(NCOLS, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_BOOLEAN,
                                  G_TYPE_INT, G_TYPE_INT, G_TYPE_INT);
  cluelist = gtk_tree_view_new_with_model(GTK_TREE_MODEL(cluestore_));
  g_object_unref(cluestore_);
  gtk_widget_set_name(cluelist, "Clues");
  GtkTreeView* v = GTK_TREE_VIEW(cluelist);
  gtk_tree_view_append_column(v, textcolumn("Light", COL_LIGHT, false, 70));
  gtk_tree_view_append_column(v, textcolumn("Pattern", COL_PATTERN, false, 90));
  gtk_tree_view_append_column(v, textcolumn("Clue", COL_CLUE, true, 200));
  gtk_tree_view_append_column(v, textcolumn("Enumeration", COL_ENUM, true, 0));
  gtk_tree_view_set_enable_search(v, FALSE);
  gtk_tree_view_set_fixed_height_mode(v, FALSE);
  g_signal_connect(cluelist, "cursor-changed", G_CALLBACK(oncursorchanged), nullptr);
  g_signal_connect(mainw, "key-press-event", G_CALLBACK(onwindowkey), nullptr);

  GtkWidget* sw = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(sw), GTK_POLICY_AUTOMATIC, GTK_POLICY_AUTOMATIC);
  gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(sw), GTK_SHADOW_IN);
  gtk_container_add(GTK_CONTAINER(sw), cluelist);
  gtk_box_pack_start(GTK_BOX(box), sw, TRUE, TRUE, 0);
  g_signal_connect(cluelist, "destroy", G_CALLBACK(ondestroy), nullptr);
  return box;
}

void cluepanerefresh() {
  if (cluelist && !refreshidle) refreshidle = gdk_threads_add_idle(refreshnow, nullptr);
}

void m_editclue(int) {
  if (!cluelist) return;
  if (refreshidle) g_source_remove(refreshidle), refreshnow(nullptr);
  int r = rowof(cursorclue());
  if (r < 0) return;
  gtk_widget_grab_focus(cluelist);
  editcolumn = 2;
  editnext(GINT_TO_POINTER(r));
}

void cluepanefollow() {
  if (!cluelist || following) return;
  int r = rowof(cursorclue());
  GtkTreePath* path = nullptr;
  gtk_tree_view_get_cursor(GTK_TREE_VIEW(cluelist), &path, nullptr);
  int at = path ? gtk_tree_path_get_indices(path)[0] : -1;
  if (path) gtk_tree_path_free(path);
  if (r == at || r < 0) return;
  if (deb(DEB_UI)) pstdout(TRACE_CLUEFOLLOWS "\n", lightlabel(rows[r]).c_str());
  selectrow(r);
}
