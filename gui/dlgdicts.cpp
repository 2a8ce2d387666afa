// The "Dictionaries" dialog and the "Dictionary statistics" window.
#include "core/common.h"
#include "dicts/dictinfo.h"
#include "grid/forms.h"
#include "grid/road.h"
#include "gui/dialogs.h"
#include "gui/window.h"

namespace {

void choosedict(GtkButton* b, gpointer p) {
  if (deb(DEB_UI)) {
    pstdout("w=%p p=%p\n", (void*)b, p);
    fflush(stdout);
  }
  std::string name = choosefile("Choose a dictionary");
  if (name.empty()) return;
  gtk_entry_set_text(GTK_ENTRY(p), name.c_str());
  gtk_editable_set_position(GTK_EDITABLE(p), -1);
}

// A file's path: wide, scrolled to its end so that the file's name shows, and whole in its
// tooltip, which follows what is typed.
void pathtip(GtkEditable* e, gpointer) {
  const char* t = gtk_entry_get_text(GTK_ENTRY(e));
  gtk_widget_set_tooltip_text(GTK_WIDGET(e), *t ? t : nullptr);
}

GtkWidget* pathentry(const char* text) {
  GtkWidget* e = newentry(text, SLEN - 1, 40);
  pathtip(GTK_EDITABLE(e), nullptr);
  g_signal_connect(e, "changed", G_CALLBACK(pathtip), nullptr);
  gtk_editable_set_position(GTK_EDITABLE(e), -1);
  return e;
}

}  // namespace

void m_dicts(int) {
  beginedit();
  dictform f = dictcurrent();
  GtkWidget* d = newdialog("Dictionaries");
  GtkWidget* table = gtk_table_new(MAXNDICTS + 1, 7, FALSE);
  gtk_container_set_border_width(GTK_CONTAINER(table), 5);
  gtk_box_pack_start(GTK_BOX(dialogbox(d)), table, TRUE, TRUE, 0);
  attach(table, markuplabel("<b>File</b>"), 1, 0);
  attach(table, gtk_label_new(""), 3, 0, 10);
  attach(table, markuplabel("<b>File filter</b>"), 4, 0);
  attach(table, markuplabel("<b>Answer filter</b>"), 5, 0);
  gtk_table_attach(GTK_TABLE(table), markuplabel("<b>Minimum score</b>"), 6, 7, 0, 1, GTK_FILL, GTK_FILL, 5, 1);
  GtkWidget *path[MAXNDICTS], *ff[MAXNDICTS], *af[MAXNDICTS], *ms[MAXNDICTS];
  for (int n = 0; n < MAXNDICTS; n++) {
    char num[16];
    pbuf(num, sizeof num, "<b>%d</b>", n + 1);
    gtk_table_attach(GTK_TABLE(table), markuplabel(num), 0, 1, n + 1, n + 2, GTK_FILL, GTK_FILL, 5, 1);
    path[n] = pathentry(f.path[n].c_str());
    attach(table, path[n], 1, n + 1);
    GtkWidget* browse = gtk_button_new_with_label(" Browse... ");
    g_signal_connect(browse, "clicked", G_CALLBACK(choosedict), path[n]);
    gtk_table_attach(GTK_TABLE(table), browse, 2, 3, n + 1, n + 2, GTK_FILL, GTK_FILL, 0, 1);
    // Whether the last load could use the slot, so that a list that failed is seen.
    attach(table, gtk_label_new(dictslotstate(n).c_str()), 3, n + 1, 10);
    ff[n] = newentry(f.ff[n].c_str(), SLEN - 1, 0);
    attach(table, ff[n], 4, n + 1);
    af[n] = newentry(f.af[n].c_str(), SLEN - 1, 0);
    attach(table, af[n], 5, n + 1);
    // 0 to 100, as shared word lists score; 0 leaves every word in.
    ms[n] = gtk_spin_button_new_with_range(0, 100, 1);
    gtk_spin_button_set_value(GTK_SPIN_BUTTON(ms[n]), f.minscore[n]);
    gtk_entry_set_width_chars(GTK_ENTRY(ms[n]), 4);
    gtk_table_attach(GTK_TABLE(table), ms[n], 6, 7, n + 1, n + 2, GTK_FILL, GTK_FILL, 5, 1);
  }
  gtk_widget_show_all(d);
  if (rundlg(d) == GTK_RESPONSE_OK) {
    for (int n = 0; n < MAXNDICTS; n++) {
      f.path[n] = entrytext(path[n]);
      f.ff[n] = entrytext(ff[n]);
      f.af[n] = entrytext(af[n]);
      f.minscore[n] = gtk_spin_button_get_value_as_int(GTK_SPIN_BUTTON(ms[n]));
    }
    gtk_widget_destroy(d);
    showedit(applydictform(f));
    return;
  }
  // Nothing changes; the filler stopped for the dialog starts again.
  gtk_widget_destroy(d);
  showedit(endnothing());
}

void m_analyse(int) {
  GtkWidget* d = gtk_dialog_new_with_buttons("Dictionary statistics", mainw ? GTK_WINDOW(mainw) : nullptr,
                                             (GtkDialogFlags)(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
                                             GTK_STOCK_OK, GTK_RESPONSE_OK, nullptr);
  GtkWidget* box = gtk_vbox_new(FALSE, 3);
  gtk_box_pack_start(GTK_BOX(dialogbox(d)), box, TRUE, TRUE, 0);
  GtkWidget* book = gtk_notebook_new();
  gtk_box_pack_start(GTK_BOX(box), book, TRUE, TRUE, 0);
  for (int n = 0; n < MAXNDICTS; n++) {
    GtkWidget* sw = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(sw), GTK_POLICY_AUTOMATIC, GTK_POLICY_AUTOMATIC);
    gtk_widget_set_size_request(sw, -1, 300);
    GtkWidget* page = gtk_vbox_new(FALSE, 3);
    // Plain labels: a rejected "<" or "&" is shown as itself, never read as markup.
    for (const std::string& l : dictstatlines(n)) gtk_box_pack_start(GTK_BOX(page), leftlabel(l.c_str()), FALSE, FALSE, 0);
    gtk_scrolled_window_add_with_viewport(GTK_SCROLLED_WINDOW(sw), page);
    char tab[32];
    pbuf(tab, sizeof tab, "Dictionary %d", n + 1);
    gtk_notebook_append_page(GTK_NOTEBOOK(book), sw, gtk_label_new(tab));
  }
  gtk_widget_show_all(d);
  rundlg(d);
  gtk_widget_destroy(d);
}
