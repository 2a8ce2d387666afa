// The "Grid properties" dialog: title, author, copyright, grid type and size.
#include "core/common.h"
#include "grid/gridprops.h"
#include "grid/zyn.h"
#include "gui/msgbox.h"
#include "gui/window.h"

namespace {

GtkWidget *typecombo, *sizelabel[2];

void relabel() {
  int t = gtk_combo_box_get_active(GTK_COMBO_BOX(typecombo));
  bool circ = t >= 0 && gtypes[t].shape == SHAPE_CIRC;
  gtk_label_set_text(GTK_LABEL(sizelabel[0]), circ ? " radii" : " columns");
  gtk_label_set_text(GTK_LABEL(sizelabel[1]), circ ? " annuli" : " rows");
}

GtkWidget* textentry(const char* text) {
  GtkWidget* e = gtk_entry_new();
  gtk_entry_set_max_length(GTK_ENTRY(e), SLEN - 1);
  gtk_entry_set_text(GTK_ENTRY(e), text);
  return e;
}

GtkWidget* sizespin(int v) {
  GtkWidget* s = gtk_spin_button_new_with_range(1, MXSZ, 1);
  gtk_spin_button_set_value(GTK_SPIN_BUTTON(s), v);
  return s;
}

void attach(GtkWidget* table, GtkWidget* w, int col, int row) {
  gtk_table_attach(GTK_TABLE(table), w, col, col + 1, row, row + 1, GTK_FILL, GTK_FILL, 2, 2);
}

GtkWidget* rightlabel(const char* text) {
  GtkWidget* l = gtk_label_new(text);
  gtk_misc_set_alignment(GTK_MISC(l), 1, 0.5);
  return l;
}

}  // namespace

void m_gridprops(int) {
  GtkWidget* d = gtk_dialog_new_with_buttons("Grid properties", GTK_WINDOW(mainw), GTK_DIALOG_MODAL, GTK_STOCK_CANCEL,
                                             GTK_RESPONSE_CANCEL, GTK_STOCK_APPLY, GTK_RESPONSE_APPLY, nullptr);
  gtk_dialog_set_default_response(GTK_DIALOG(d), GTK_RESPONSE_APPLY);
  GtkWidget* table = gtk_table_new(5, 2, FALSE);
  gtk_container_set_border_width(GTK_CONTAINER(table), 5);
  gtk_box_pack_start(GTK_BOX(GTK_DIALOG(d)->vbox), table, TRUE, TRUE, 0);

  GtkWidget* te = textentry(title);
  GtkWidget* ae = textentry(author);
  attach(table, rightlabel("Title: "), 0, 0);
  gtk_table_attach_defaults(GTK_TABLE(table), te, 1, 2, 0, 1);
  attach(table, rightlabel("Author: "), 0, 1);
  gtk_table_attach_defaults(GTK_TABLE(table), ae, 1, 2, 1, 2);
  // Last, so that the fields before it keep their places in the keyboard order.
  GtkWidget* ce = textentry(copyright);
  attach(table, rightlabel("Copyright: "), 0, 4);
  gtk_table_attach_defaults(GTK_TABLE(table), ce, 1, 2, 4, 5);

  typecombo = gtk_combo_box_new_text();
  for (const gtypeinfo& g : gtypes) gtk_combo_box_append_text(GTK_COMBO_BOX(typecombo), g.name);
  gtk_combo_box_set_active(GTK_COMBO_BOX(typecombo), gtype);
  attach(table, rightlabel("Grid type: "), 0, 2);
  attach(table, typecombo, 1, 2);

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
  attach(table, rightlabel("Size: "), 0, 3);
  attach(table, sizes, 1, 3);
  relabel();
  g_signal_connect(typecombo, "changed", G_CALLBACK(relabel), nullptr);

  gtk_widget_show_all(d);
  if (rundialog(d) == GTK_RESPONSE_APPLY) {
    // A number typed but not yet taken by the field counts.
    gtk_spin_button_update(GTK_SPIN_BUTTON(ws));
    gtk_spin_button_update(GTK_SPIN_BUTTON(hs));
    editreport r = setgridprops(gtk_entry_get_text(GTK_ENTRY(te)), gtk_entry_get_text(GTK_ENTRY(ae)),
                                gtk_combo_box_get_active(GTK_COMBO_BOX(typecombo)),
                                gtk_spin_button_get_value_as_int(GTK_SPIN_BUTTON(ws)),
                                gtk_spin_button_get_value_as_int(GTK_SPIN_BUTTON(hs)), gtk_entry_get_text(GTK_ENTRY(ce)));
    showedit(r);
  }
  gtk_widget_destroy(d);
  typecombo = sizelabel[0] = sizelabel[1] = nullptr;
}
