// The cell and light properties dialogs, default and selected forms.
#include <string>
#include <vector>

#include "grid/props.h"
#include "gui/dialogs.h"
#include "gui/window.h"

namespace {

// With an override box, everything below it follows the box.
void followoverride(GtkToggleButton* b, gpointer body) { gtk_widget_set_sensitive(GTK_WIDGET(body), gtk_toggle_button_get_active(b)); }

// The override box and its separator at the top of box; returns the box the other controls go
// into. Without an override box the controls go into box itself.
GtkWidget* overridebox(GtkWidget* box, const char* label, bool on, GtkWidget** check) {
  *check = newcheck(label, on);
  gtk_box_pack_start(GTK_BOX(box), *check, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(box), gtk_hseparator_new(), FALSE, FALSE, 4);
  GtkWidget* body = gtk_vbox_new(FALSE, 2);
  gtk_box_pack_start(GTK_BOX(box), body, FALSE, FALSE, 0);
  g_signal_connect(*check, "toggled", G_CALLBACK(followoverride), body);
  gtk_widget_set_sensitive(body, on);
  return body;
}

GtkWidget* colourbutton(unsigned int rgb) {
  GdkColor c = {0, (guint16)((rgb >> 16 & 0xff) * 257), (guint16)((rgb >> 8 & 0xff) * 257), (guint16)((rgb & 0xff) * 257)};
  return gtk_color_button_new_with_color(&c);
}

unsigned int colourof(GtkWidget* b) {
  GdkColor c;
  gtk_color_button_get_color(GTK_COLOR_BUTTON(b), &c);
  return (unsigned int)(c.red >> 8) << 16 | (unsigned int)(c.green >> 8) << 8 | (unsigned int)(c.blue >> 8);
}

// A row of a label and a control in a two-column table.
void tablerow(GtkWidget* table, int row, const char* label, GtkWidget* w) {
  gtk_table_attach(GTK_TABLE(table), rightlabel(label), 0, 1, row, row + 1, GTK_FILL, GTK_FILL, 2, 2);
  gtk_table_attach(GTK_TABLE(table), w, 1, 2, row, row + 1, GTK_FILL, GTK_FILL, 2, 2);
}

void celldialog(celltargets& t) {
  const cellprops& c = *t.recs[0];
  GtkWidget* d = newdialog(t.selected ? "Selected cell properties" : "Default cell properties");
  GtkWidget* box = gtk_vbox_new(FALSE, 2);
  gtk_container_set_border_width(GTK_CONTAINER(box), 8);
  gtk_box_pack_start(GTK_BOX(dialogbox(d)), box, TRUE, TRUE, 0);
  GtkWidget* own = nullptr;
  if (t.selected) box = overridebox(box, "_Override default cell properties", c.cellown, &own);

  GtkWidget* table = gtk_table_new(4 + NMARKS, 2, FALSE);
  gtk_box_pack_start(GTK_BOX(box), table, FALSE, FALSE, 0);
  GtkWidget* bg = colourbutton(c.bgcolour);
  GtkWidget* fg = colourbutton(c.fgcolour);
  static const char* const styles[] = {"Normal", "Bold", "Italic", "Bold italic"};
  GtkWidget* style = newcombo(styles, 4, c.fontstyle);
  tablerow(table, 0, "Background colour: ", bg);
  tablerow(table, 1, "Foreground colour: ", fg);
  tablerow(table, 2, "Font style: ", style);
  GtkWidget* marks[NMARKS] = {};
  for (int k = 0; k < nmarksedit(); k++) {
    marks[k] = newentry(c.marktexts[k], 5, 5);
    tablerow(table, 3 + k, marklabel(k), marks[k]);
  }
  GtkWidget* mc = colourbutton(c.markcolour);
  tablerow(table, 3 + nmarksedit(), "Mark colour: ", mc);
  GtkWidget* treat = newcheck("_Flag for answer treatment", c.treatcell);
  gtk_box_pack_start(GTK_BOX(box), treat, FALSE, FALSE, 2);
  GtkWidget* agree = gtk_hbox_new(FALSE, 0);
  static const char* const links[] = {"must agree", "need not agree: horizontal display",
                                      "need not agree: vertical display"};
  GtkWidget* unlinked = newcombo(links, 3, c.unlinked);
  gtk_box_pack_start(GTK_BOX(agree), gtk_label_new("Lights intersecting here "), FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(agree), unlinked, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(box), agree, FALSE, FALSE, 2);

  gtk_widget_show_all(d);
  if (rundlg(d) == GTK_RESPONSE_OK) {
    cellform f;
    f.p = c;
    f.p.cellown = own && checked(own);
    f.p.bgcolour = colourof(bg);
    f.p.fgcolour = colourof(fg);
    f.p.markcolour = colourof(mc);
    f.p.fontstyle = (unsigned char)std::max(0, gtk_combo_box_get_active(GTK_COMBO_BOX(style)));
    f.p.unlinked = (unsigned char)std::max(0, gtk_combo_box_get_active(GTK_COMBO_BOX(unlinked)));
    f.p.treatcell = checked(treat);
    for (int k = 0; k < nmarksedit(); k++) {
      f.shown[k] = (const char*)g_object_get_data(G_OBJECT(marks[k]), "zyn-shown");
      f.typed[k] = entrytext(marks[k]);
    }
    gtk_widget_destroy(d);
    showedit(applycellform(f, t));
    return;
  }
  gtk_widget_destroy(d);
}

void lightdialog(lighttargets& t) {
  const lightprops& l = *t.recs[0];
  GtkWidget* d = newdialog(t.selected ? "Selected light properties" : "Default light properties");
  GtkWidget* box = gtk_vbox_new(FALSE, 2);
  gtk_container_set_border_width(GTK_CONTAINER(box), 8);
  gtk_box_pack_start(GTK_BOX(dialogbox(d)), box, TRUE, TRUE, 0);
  GtkWidget* own = nullptr;
  if (t.selected && !t.freelights) box = overridebox(box, "_Override default light properties", l.lightown, &own);

  GtkWidget* dict[MAXNDICTS];
  for (int n = 1; n <= MAXNDICTS; n++) {
    dict[n - 1] = newcheck(dictuselabel(n).c_str(), l.dmask >> (n - 1) & 1);
    gtk_box_pack_start(GTK_BOX(box), dict[n - 1], FALSE, FALSE, 0);
  }
  gtk_box_pack_start(GTK_BOX(box), gtk_hseparator_new(), FALSE, FALSE, 4);
  GtkWidget* ten = newcheck("_Enable answer treatment", l.ten);
  gtk_box_pack_start(GTK_BOX(box), ten, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(box), gtk_hseparator_new(), FALSE, FALSE, 4);
  static const char* const methods[] = {"normally", "reversed", "cyclically permuted",
                                        "cyclically permuted and reversed", "with any other permutation"};
  GtkWidget* em[5];
  for (int i = 0; i < 5; i++) {
    std::string label = std::string("Allow light to be entered _") + methods[i];
    em[i] = newcheck(label.c_str(), l.emask >> i & 1);
    gtk_box_pack_start(GTK_BOX(box), em[i], FALSE, FALSE, 0);
  }
  gtk_box_pack_start(GTK_BOX(box), gtk_hseparator_new(), FALSE, FALSE, 4);
  GtkWidget* nonum = newcheck("Light _does not receive a number", l.nonumber);
  GtkWidget* mux = newcheck("_Multiplex", l.layered);
  gtk_box_pack_start(GTK_BOX(box), nonum, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(box), mux, FALSE, FALSE, 0);

  gtk_widget_show_all(d);
  if (rundlg(d) == GTK_RESPONSE_OK) {
    lightprops p = l;
    p.lightown = own && checked(own);
    p.dmask = 0;
    for (int n = 0; n < MAXNDICTS; n++) p.dmask |= (unsigned int)checked(dict[n]) << n;
    p.emask = 0;
    for (int i = 0; i < 5; i++) p.emask |= (unsigned int)checked(em[i]) << i;
    p.ten = checked(ten);
    p.nonumber = checked(nonum);
    p.layered = checked(mux);
    gtk_widget_destroy(d);
    showedit(applylightform(p, t));
    return;
  }
  gtk_widget_destroy(d);
}

}  // namespace

void m_defcellprops(int) {
  celltargets t;
  if (defcelltargets(t) == 0) celldialog(t);
}

void m_selcellprops(int) {
  celltargets t;
  if (selcelltargets(t) == 0) celldialog(t);
}

void m_deflightprops(int) {
  lighttargets t;
  if (deflighttargets(t) == 0) lightdialog(t);
}

void m_sellightprops(int) {
  lighttargets t;
  if (sellighttargets(t) == 0) lightdialog(t);
}
