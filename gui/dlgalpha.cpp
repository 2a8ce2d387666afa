// The "Alphabet" dialog: 60 rows, one per internal character code, filled from a built-in
// alphabet or edited as printable characters or as code points.
#include <algorithm>

#include "alphabet/alphaedit.h"
#include "core/common.h"
#include "grid/road.h"
#include "grid/alphachange.h"
#include "gui/dialogs.h"
#include "gui/msgbox.h"
#include "gui/window.h"

namespace {

// The form the row texts stand in (AM_TEXT or AM_CODES); the dialog always opens as text.
int alphamode;

struct rowwidgets {
  GtkWidget *label, *rep, *equiv, *at, *hash, *seq;
};

struct alphawidgets {
  GtkWidget *chooser, *modechooser;
  rowwidgets row[MAXICC];
  bool filling;  // rows being written as a whole: refresh once at the end
};
alphawidgets* dlg;  // the dialog while it runs

alphatable readrows() {
  alphatable t;
  for (int i = 0; i < MAXICC; i++) {
    const rowwidgets& w = dlg->row[i];
    t[i].rep = entrytext(w.rep);
    t[i].equiv = entrytext(w.equiv);
    t[i].inat = checked(w.at), t[i].inhash = checked(w.hash), t[i].seq = checked(w.seq);
  }
  return t;
}

// Labels and sensitivity follow what each row's entry holds.
void alpharefresh() {
  if (dlg->filling) return;
  for (int i = 0; i < MAXICC; i++) {
    const rowwidgets& w = dlg->row[i];
    alpharow r;
    r.rep = entrytext(w.rep);
    int kind = alpharowkind(r, alphamode);
    char num[16];
    pbuf(num, sizeof num, "<b>%d</b>", i + 1);
    gtk_label_set_markup(GTK_LABEL(w.label), num);
    for (GtkWidget* x : {w.label, w.at, w.hash, w.seq}) gtk_widget_set_sensitive(x, kind == 1);
    gtk_widget_set_sensitive(w.equiv, kind != 0);
  }
}

// Write the rows, with the entries' limits for the form they stand in.
void writerows(const alphatable& t) {
  dlg->filling = true;
  for (int i = 0; i < MAXICC; i++) {
    const rowwidgets& w = dlg->row[i];
    gtk_entry_set_max_length(GTK_ENTRY(w.rep), alphamode == AM_CODES ? AREP_CODES : AREP_TEXT);
    gtk_entry_set_max_length(GTK_ENTRY(w.equiv), alphamode == AM_CODES ? AEQUIV_CODES : AEQUIV_TEXT);
    gtk_entry_set_text(GTK_ENTRY(w.rep), t[i].rep.c_str());
    gtk_entry_set_text(GTK_ENTRY(w.equiv), t[i].equiv.c_str());
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(w.at), t[i].inat);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(w.hash), t[i].inhash);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(w.seq), t[i].seq);
  }
  dlg->filling = false;
  alpharefresh();
}

void alphamodechanged(GtkComboBox* c, gpointer) {
  int m = gtk_combo_box_get_active(c);
  if (m < 0 || m == alphamode) return;
  alphatable t = readrows();
  alphaconvert(t, alphamode, m);
  alphamode = m;
  writerows(t);
}

void alphafromdefault(GtkComboBox* c, gpointer) {
  int a = gtk_combo_box_get_active(c);
  if (a < 1 || a > NALPHAS) return;
  alphatable t = alphabuiltin(a - 1);
  int m = gtk_combo_box_get_active(GTK_COMBO_BOX(dlg->modechooser));
  alphaconvert(t, AM_TEXT, m);
  alphamode = m;
  writerows(t);
  gtk_combo_box_set_active(c, 0);
}

void onrowchanged(GtkEditable*, gpointer) { alpharefresh(); }

// The three row buttons carry their row; which operation is the button's "op" data.
void onrowbutton(GtkButton* b, gpointer row) {
  alphatable t = readrows();
  int r = GPOINTER_TO_INT(row);
  switch (GPOINTER_TO_INT(g_object_get_data(G_OBJECT(b), "op"))) {
    case 0: alpharowins(t, r); break;
    case 1: alpharowswap(t, r); break;
    default: alpharowdel(t, r); break;
  }
  writerows(t);
}

GtkWidget* header(const char* markup) {
  GtkWidget* l = markuplabel(markup);
  gtk_label_set_justify(GTK_LABEL(l), GTK_JUSTIFY_CENTER);
  return l;
}

GtkWidget* buildrows(alphawidgets& w) {
  GtkWidget* table = gtk_table_new(MAXICC + 1, 9, FALSE);
  auto put = [table](GtkWidget* x, int col, int row, int span = 1) {
    gtk_table_attach(GTK_TABLE(table), x, col, col + span, row, row + 1, GTK_FILL, GTK_FILL, 2, 1);
  };
  put(header("<b>Entry</b>"), 1, 0);
  put(header("<b>Equivalents in dictionary files</b>"), 2, 0);
  put(header("<b>In @ set?</b>"), 3, 0);
  put(header("<b>In # set?</b>"), 4, 0);
  put(header("<b>Sequence\ncontinues?</b>"), 5, 0);
  put(header("<b>Edit rows</b>"), 6, 0, 3);
  static const char* const ops[3][2] = {{"+", "Insert new row"}, {"⇅", "Shuffle row down"}, {"✕", "Delete row"}};
  for (int i = 0; i < MAXICC; i++) {
    rowwidgets& r = w.row[i];
    r.label = gtk_label_new("");
    r.rep = gtk_entry_new();
    gtk_entry_set_width_chars(GTK_ENTRY(r.rep), 10);
    gtk_entry_set_alignment(GTK_ENTRY(r.rep), 0.5);
    r.equiv = gtk_entry_new();
    gtk_entry_set_width_chars(GTK_ENTRY(r.equiv), 50);
    r.at = gtk_check_button_new();
    r.hash = gtk_check_button_new();
    r.seq = gtk_check_button_new();
    GtkWidget* cells[] = {r.label, r.rep, r.equiv, r.at, r.hash, r.seq};
    for (int c = 0; c < 6; c++) put(cells[c], c, i + 1);
    g_signal_connect(r.rep, "changed", G_CALLBACK(onrowchanged), nullptr);
    if (i == MAXICC - 1) {
      gtk_widget_set_no_show_all(r.seq, TRUE);  // the last row continues no sequence
      continue;
    }
    for (int op = 0; op < 3; op++) {
      GtkWidget* b = gtk_button_new_with_label(ops[op][0]);
      gtk_widget_set_tooltip_text(b, ops[op][1]);
      g_object_set_data(G_OBJECT(b), "op", GINT_TO_POINTER(op));
      g_signal_connect(b, "clicked", G_CALLBACK(onrowbutton), GINT_TO_POINTER(i));
      put(b, 6 + op, i + 1);
    }
  }
  return table;
}

}  // namespace

void m_alphabet(int) {
  beginedit();
  alphawidgets w = {};
  dlg = &w;
  alphamode = AM_TEXT;
  GtkWidget* d = newdialog("Alphabet");
  GtkWidget* top = gtk_table_new(1, 3, FALSE);
  gtk_box_pack_start(GTK_BOX(dialogbox(d)), top, FALSE, FALSE, 0);
  const char* names[NALPHAS + 1] = {"Initialise from language default..."};
  for (int a = 0; a < NALPHAS; a++) names[a + 1] = alphabets[a].dname;
  w.chooser = newcombo(names, NALPHAS + 1, 0);
  static const char* const modes[] = {"Edit as printable characters", "Edit as Unicode code points"};
  w.modechooser = newcombo(modes, 2, AM_TEXT);
  gtk_table_attach(GTK_TABLE(top), w.chooser, 0, 1, 0, 1, GTK_FILL, GTK_FILL, 5, 5);
  gtk_table_attach(GTK_TABLE(top), w.modechooser, 2, 3, 0, 1, GTK_FILL, GTK_FILL, 5, 5);
  gtk_table_attach(GTK_TABLE(top), gtk_label_new(""), 1, 2, 0, 1, (GtkAttachOptions)(GTK_FILL | GTK_EXPAND),
                   GTK_FILL, 0, 0);
  GtkWidget* sw = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(sw), GTK_POLICY_AUTOMATIC, GTK_POLICY_AUTOMATIC);
  GtkWidget* rows = buildrows(w);
  gtk_scrolled_window_add_with_viewport(GTK_SCROLLED_WINDOW(sw), rows);
  gtk_box_pack_start(GTK_BOX(dialogbox(d)), sw, TRUE, TRUE, 0);
  writerows(alphacurrent());
  g_signal_connect(w.chooser, "changed", G_CALLBACK(alphafromdefault), nullptr);
  g_signal_connect(w.modechooser, "changed", G_CALLBACK(alphamodechanged), nullptr);

  // The table's width, but never wider or taller than the screen, so that the buttons stay in
  // reach; set before the dialog is placed.
  gtk_widget_show_all(rows);
  GtkRequisition req;
  gtk_widget_size_request(rows, &req);
  GdkScreen* scr = gtk_window_get_screen(GTK_WINDOW(d));
  gtk_widget_set_size_request(sw, std::min(req.width + 40, gdk_screen_get_width(scr) - 60),
                              std::min(450, gdk_screen_get_height(scr) - 160));
  gtk_widget_show_all(d);
  gtk_window_set_focus(GTK_WINDOW(d), nullptr);

  bool applied = false;
  editreport r;
  while (!applied && rundlg(d) == GTK_RESPONSE_OK) {
    gtk_combo_box_set_active(GTK_COMBO_BOX(w.modechooser), AM_TEXT);
    // Declining the question about the grid's cells goes back to the dialog.
    applied = applyalphabet(readrows(), askokcancel, &r) == 0;
  }
  gtk_widget_destroy(d);
  dlg = nullptr;
  showedit(applied ? r : endnothing());
}
