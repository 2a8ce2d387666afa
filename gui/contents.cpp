// The "Cell contents" and "Light contents" dialogs: the cursor cell's slots or the cursor
// light's positions as text in the character-set notation, stored on OK.
#include <string>

#include "core/common.h"
#include "draw/screen.h"
#include "grid/contents.h"
#include "grid/zyn.h"
#include "gui/dialogs.h"
#include "gui/msgbox.h"
#include "gui/window.h"

namespace {

// Return in the dialog's entries stores, as OK does.
GtkWidget* newcontentsdialog(const char* title) {
  GtkWidget* d = newdialog(title, GTK_STOCK_OK);
  gtk_dialog_set_default_response(GTK_DIALOG(d), GTK_RESPONSE_OK);
  return d;
}

GtkWidget* contentsentry(const std::string& text, int maxchars, int widthchars) {
  GtkWidget* e = newentry(text.c_str(), maxchars, widthchars);
  gtk_entry_set_activates_default(GTK_ENTRY(e), TRUE);
  return e;
}

// OK on texts holding characters the notation cannot read: store what could be read only when
// the user says so, rather than silently moving the rest along.
bool acceptunread(int unread) {
  if (!unread) return true;
  char q[200];
  pbuf(q, sizeof q, "%d character%s of the text %s not understood\nand will be left out.\n\nStore the rest?", unread,
       unread == 1 ? "" : "s", unread == 1 ? "was" : "were");
  return askokcancel(q);
}

}  // namespace

int cellcontentsdialog() {
  int x, y;
  if (!contentscell(&x, &y)) return 0;
  GtkWidget* d = newcontentsdialog("Cell contents");
  GtkWidget* box = gtk_vbox_new(FALSE, 2);
  gtk_box_pack_start(GTK_BOX(dialogbox(d)), box, TRUE, TRUE, 0);
  int rows = contentsrows(x, y);
  bool unlinked = getcprops(x, y)->unlinked;
  if (unlinked) gtk_box_pack_start(GTK_BOX(box), leftlabel("Contribution from cell"), FALSE, FALSE, 0);
  GtkWidget* entry[MAXNDIR];
  for (int i = 0; i < rows; i++) {
    GtkWidget* row = gtk_hbox_new(FALSE, 2);
    char text[100];
    if (unlinked) pbuf(text, sizeof text, "to %s lights: ", gtypes[gtype].dname[i]);
    else pbuf(text, sizeof text, "Contents of cell: ");
    GtkWidget* l = rightlabel(text);
    gtk_label_set_width_chars(GTK_LABEL(l), 20);
    gtk_box_pack_start(GTK_BOX(row), l, FALSE, FALSE, 0);
    entry[i] = contentsentry(slotcontents(x, y, i), 30380, 30);
    gtk_box_pack_start(GTK_BOX(row), entry[i], TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(box), row, FALSE, FALSE, 0);
  }
  gtk_box_pack_start(GTK_BOX(box), leftlabel("(use '.' for any characters yet to be filled or enter a pattern)"), FALSE,
                     FALSE, 0);
  gtk_widget_show_all(d);
  gtk_widget_grab_focus(entry[contentsfocus(rows)]);
  int applied = 0;
  while (rundlg(d) == GTK_RESPONSE_OK) {
    std::string texts[MAXNDIR];
    int unread = 0;
    for (int i = 0; i < rows; i++) {
      texts[i] = entrytext(entry[i]);
      unread += contentsunread(texts[i].c_str());
    }
    if (!acceptunread(unread)) continue;
    showedit(setcellcontents(x, y, texts, rows));
    applied = 1;
    break;
  }
  gtk_widget_destroy(d);
  return applied;
}

void m_cellcontents(int) { cellcontentsdialog(); }

void m_lightcontents(int) {
  static lightpos pos[MXCL];
  std::string text;
  int n = lightcontents(pos, &text);
  if (!n) return;
  GtkWidget* d = newcontentsdialog("Light contents");
  GtkWidget* box = gtk_vbox_new(FALSE, 2);
  gtk_box_pack_start(GTK_BOX(dialogbox(d)), box, TRUE, TRUE, 0);
  GtkWidget* row = gtk_hbox_new(FALSE, 2);
  gtk_box_pack_start(GTK_BOX(row), gtk_label_new("Contents of light: "), FALSE, FALSE, 5);
  GtkWidget* entry = contentsentry(text, 245000, 60);
  gtk_box_pack_start(GTK_BOX(row), entry, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(box), row, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(box), leftlabel("(use '.' or enter a pattern for any characters yet to be filled)"), FALSE,
                     FALSE, 0);
  gtk_widget_show_all(d);
  gtk_widget_grab_focus(entry);
  while (rundlg(d) == GTK_RESPONSE_OK) {
    std::string t = entrytext(entry);
    if (!acceptunread(contentsunread(t.c_str()))) continue;
    showedit(setlightcontents(pos, n, t.c_str()));
    break;
  }
  gtk_widget_destroy(d);
}
