// The "Modify free light path" dialog: the selected free light's cells as lines of "x,y".
#include <string>

#include "core/common.h"
#include "grid/freelight.h"
#include "grid/zyn.h"
#include "gui/dialogs.h"
#include "gui/window.h"

void m_flmodify(int) {
  int n = flselected();
  if (n < 0) return;
  GtkWidget* d = newdialog("Modify free light path");
  GtkWidget* box = dialogbox(d);
  gtk_box_pack_start(GTK_BOX(box), gtk_label_new("  Enter a coordinate pair for each cell in the path on a  "), FALSE,
                     FALSE, 0);
  gtk_box_pack_start(GTK_BOX(box), gtk_label_new("  separate line. Coordinates are counted from zero.  "), FALSE,
                     FALSE, 0);
  std::string text;
  char line[40];
  for (int i = 0; i < freelights[n].n; i++) {
    pbuf(line, sizeof line, "%d,%d\n", freelights[n].x[i], freelights[n].y[i]);
    text += line;
  }
  GtkWidget* view = gtk_text_view_new();
  GtkTextBuffer* buf = gtk_text_view_get_buffer(GTK_TEXT_VIEW(view));
  gtk_text_buffer_set_text(buf, text.c_str(), -1);
  GtkWidget* sw = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(sw), GTK_POLICY_AUTOMATIC, GTK_POLICY_AUTOMATIC);
  gtk_widget_set_size_request(sw, -1, 200);
  gtk_container_add(GTK_CONTAINER(sw), view);
  gtk_box_pack_start(GTK_BOX(box), sw, TRUE, TRUE, 0);
  gtk_widget_show_all(d);
  gtk_widget_grab_focus(view);
  // A text that cannot be read has been reported; the dialog shows it again to be mended.
  while (rundlg(d) == GTK_RESPONSE_OK) {
    GtkTextIter a, b;
    gtk_text_buffer_get_bounds(buf, &a, &b);
    gchar* t = gtk_text_buffer_get_text(buf, &a, &b, FALSE);
    editreport r;
    int bad = flsetpath(n, t, &r);
    g_free(t);
    showedit(r);
    if (!bad) break;
  }
  gtk_widget_destroy(d);
}
