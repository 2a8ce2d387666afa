// The "Grid properties" dialog: title, author, copyright, grid type and size.
#include "core/common.h"
#include "grid/gridprops.h"
#include "grid/zyn.h"
#include "gui/dialogs.h"
#include "gui/window.h"

namespace {

GtkWidget *typecombo, *sizelabel[2];

void relabel() {
  int t = gtk_combo_box_get_active(GTK_COMBO_BOX(typecombo));
  bool circ = t >= 0 && gtypes[t].shape == SHAPE_CIRC;
  gtk_label_set_text(GTK_LABEL(sizelabel[0]), circ ? " radii" : " columns");
  gtk_label_set_text(GTK_LABEL(sizelabel[1]), circ ? " annuli" : " rows");
}

GtkWidget* sizespin(int v) {
  GtkWidget* s = gtk_spin_button_new_with_range(1, MXSZ, 1);
  gtk_spin_button_set_value(GTK_SPIN_BUTTON(s), v);
  return s;
}

// A field of the table: label column or not, neither takes spare width.
void place(GtkWidget* table, GtkWidget* w, int col, int row) { attach(table, w, col, row, 2, 2, GTK_FILL); }

GtkWidget* textentry(const char* text) { return newentry(text, SLEN - 1, 0); }

}  // namespace

void m_gridprops(int) {
  GtkWidget* d = newdialog("Grid properties");
  gtk_dialog_set_default_response(GTK_DIALOG(d), GTK_RESPONSE_OK);
  GtkWidget* table = gtk_table_new(5, 2, FALSE);
  gtk_container_set_border_width(GTK_CONTAINER(table), 5);
  gtk_box_pack_start(GTK_BOX(dialogbox(d)), table, TRUE, TRUE, 0);

  GtkWidget* te = textentry(title);
  GtkWidget* ae = textentry(author);
  place(table, rightlabel("Title: "), 0, 0);
  gtk_table_attach_defaults(GTK_TABLE(table), te, 1, 2, 0, 1);
  place(table, rightlabel("Author: "), 0, 1);
  gtk_table_attach_defaults(GTK_TABLE(table), ae, 1, 2, 1, 2);
  // Last, so that the fields before it keep their places in the keyboard order.
  GtkWidget* ce = textentry(copyright);
  place(table, rightlabel("Copyright: "), 0, 4);
  gtk_table_attach_defaults(GTK_TABLE(table), ce, 1, 2, 4, 5);

  typecombo = gtk_combo_box_new_text();
  for (const gtypeinfo& g : gtypes) gtk_combo_box_append_text(GTK_COMBO_BOX(typecombo), g.name);
  gtk_combo_box_set_active(GTK_COMBO_BOX(typecombo), gtype);
  place(table, rightlabel("Grid type: "), 0, 2);
  place(table, typecombo, 1, 2);

  GtkWidget* sizes = gtk_hbox_new(FALSE, 4);
  GtkWidget* ws = sizespin(width);
  GtkWidget* hs = sizespin(height);
  sizelabel[0] = gtk_label_new("");
  sizelabel[1] = gtk_label_new("");
  gtk_box_pack_start(GTK_BOX(sizes), ws, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(sizes), sizelabel[0], FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(sizes), gtk_label_new("by "), FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(sizes), hs, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(sizes), sizelabel[1], FALSE, FALSE, 0);
  place(table, rightlabel("Size: "), 0, 3);
  place(table, sizes, 1, 3);
  relabel();
  g_signal_connect(typecombo, "changed", G_CALLBACK(relabel), nullptr);

  gtk_widget_show_all(d);
  if (rundlg(d) == GTK_RESPONSE_OK) {
    // A number typed but not yet taken by the field counts.
    gtk_spin_button_update(GTK_SPIN_BUTTON(ws));
    gtk_spin_button_update(GTK_SPIN_BUTTON(hs));
    editreport r = setgridprops(entrytext(te).c_str(), entrytext(ae).c_str(),
                                gtk_combo_box_get_active(GTK_COMBO_BOX(typecombo)),
                                gtk_spin_button_get_value_as_int(GTK_SPIN_BUTTON(ws)),
                                gtk_spin_button_get_value_as_int(GTK_SPIN_BUTTON(hs)), entrytext(ce).c_str());
    showedit(r);
  }
  gtk_widget_destroy(d);
  typecombo = sizelabel[0] = sizelabel[1] = nullptr;
}
