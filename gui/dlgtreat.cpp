// The "Answer treatment" dialog.
#include "core/common.h"
#include "grid/forms.h"
#include "grid/road.h"
#include "grid/zyn.h"
#include "gui/dialogs.h"
#include "gui/window.h"
#include "treatment/settings.h"
#include "treatment/treatment.h"

namespace {

// The dialog's widgets while it runs.
struct treatwidgets {
  GtkWidget* type;
  GtkWidget *msglabel[2], *msgrow[2], *msg[2], *allocrow[2], *alloc[2], *constrrow[2], *constr[2];
  GtkWidget *pluginrow, *plugin, *mustbeword;
};

GtkWidget* row(GtkWidget* box) {
  GtkWidget* r = gtk_hbox_new(FALSE, 0);
  gtk_box_pack_start(GTK_BOX(box), r, FALSE, FALSE, 2);
  return r;
}

void pack(GtkWidget* r, GtkWidget* w, bool grow = false) { gtk_box_pack_start(GTK_BOX(r), w, grow, grow, 0); }

// The rows follow the type: sensitive where the type uses them, message labels as it names them.
void treatdlgchanged(GtkComboBox*, gpointer p) {
  treatwidgets& w = *(treatwidgets*)p;
  int t = treatatpos(gtk_combo_box_get_active(GTK_COMBO_BOX(w.type)));
  for (int m = 0; m < 2; m++) {
    gtk_label_set_text(GTK_LABEL(w.msglabel[m]), msglabel(t, m));
    gtk_widget_set_sensitive(w.msgrow[m], treatmsgused(t, m));
    gtk_widget_set_sensitive(w.allocrow[m], treatallocused(t, m));
    int a = gtk_combo_box_get_active(GTK_COMBO_BOX(w.alloc[m]));
    gtk_widget_set_sensitive(w.constrrow[m], treatconstrused(t, m, a));
  }
  gtk_widget_set_sensitive(w.pluginrow, t == TT_PLUGIN);
  gtk_widget_set_sensitive(w.mustbeword, t != TT_NONE);
}

void choosetplugin(GtkButton* b, gpointer p) {
  if (deb(DEB_UI)) pstdout("w=%p p=%p\n", (void*)b, p);
  std::string name = choosefile("Choose a treatment plug-in");
  if (!name.empty()) gtk_entry_set_text(GTK_ENTRY(p), name.c_str());
}

}  // namespace

void m_treatment(int) {
  beginedit();
  treatform f = treatcurrent();
  treatwidgets w;
  GtkWidget* d = newdialog("Answer treatment");
  GtkWidget* box = gtk_vbox_new(FALSE, 2);
  gtk_container_set_border_width(GTK_CONTAINER(box), 8);
  gtk_box_pack_start(GTK_BOX(dialogbox(d)), box, TRUE, TRUE, 0);

  const char* names[NTREATTYPES];
  for (int i = 0; i < NTREATTYPES; i++) names[i] = treatnames[treatorder[i]];
  w.type = newcombo(names, NTREATTYPES, f.pos);
  pack(row(box), w.type);
  static const char* const allocs[] = {"in clue order, first come first served", "in clue order, at discretion of filler",
                                       "in any order, at discretion of filler"};
  for (int m = 0; m < 2; m++) {
    gtk_box_pack_start(GTK_BOX(box), gtk_hseparator_new(), FALSE, FALSE, 4);
    w.msgrow[m] = row(box);
    w.msglabel[m] = rightlabel("");
    gtk_label_set_width_chars(GTK_LABEL(w.msglabel[m]), 25);
    w.msg[m] = newentry(f.msg[m].c_str(), MXMSGLEN, 30);
    pack(w.msgrow[m], w.msglabel[m]);
    pack(w.msgrow[m], w.msg[m], true);
    w.allocrow[m] = row(box);
    w.alloc[m] = newcombo(allocs, 3, f.alloc[m]);
    pack(w.allocrow[m], gtk_label_new("Allocate characters "));
    pack(w.allocrow[m], w.alloc[m]);
    w.constrrow[m] = row(box);
    w.constr[m] = newentry(f.constr[m].c_str(), 249901, 30);
    pack(w.constrrow[m], gtk_label_new("subject to constraints "));
    pack(w.constrrow[m], w.constr[m], true);
  }
  gtk_box_pack_start(GTK_BOX(box), gtk_hseparator_new(), FALSE, FALSE, 4);
  w.pluginrow = row(box);
  w.plugin = newentry(f.plugin.c_str(), SLEN - 1, 0);
  GtkWidget* browse = gtk_button_new_with_label(" Browse... ");
  pack(w.pluginrow, gtk_label_new("Treatment plug-in: "));
  pack(w.pluginrow, w.plugin, true);
  pack(w.pluginrow, browse);
  g_signal_connect(browse, "clicked", G_CALLBACK(choosetplugin), w.plugin);
  w.mustbeword = newcheck("Treated answer _must be a word", f.mustbeword);
  gtk_box_pack_start(GTK_BOX(box), w.mustbeword, FALSE, FALSE, 2);

  g_signal_connect(w.type, "changed", G_CALLBACK(treatdlgchanged), &w);
  for (GtkWidget* a : w.alloc) g_signal_connect(a, "changed", G_CALLBACK(treatdlgchanged), &w);
  treatdlgchanged(nullptr, &w);
  gtk_widget_show_all(d);

  if (rundlg(d) == GTK_RESPONSE_OK) {
    treatform g;
    g.pos = gtk_combo_box_get_active(GTK_COMBO_BOX(w.type));
    for (int m = 0; m < 2; m++) {
      g.msg[m] = entryvalue(w.msg[m], f.msg[m]);
      g.alloc[m] = gtk_combo_box_get_active(GTK_COMBO_BOX(w.alloc[m]));
      g.constr[m] = entryvalue(w.constr[m], f.constr[m]);
    }
    g.plugin = entrytext(w.plugin);
    g.mustbeword = checked(w.mustbeword);
    gtk_widget_destroy(d);
    showedit(applytreatform(g));
    return;
  }
  // Nothing changes; the filler stopped for the dialog starts again.
  gtk_widget_destroy(d);
  showedit(endnothing());
}
