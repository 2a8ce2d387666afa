// The statistics window: a table of the lights by length with their checking, ten summary
// lines, and the entry histogram. Non-modal; refilled after every rebuild while it is open.
#include <string>

#include "core/common.h"
#include "core/traces.h"
#include "draw/draw.h"
#include "grid/stats.h"
#include "gui/dialogs.h"
#include "gui/window.h"

namespace {

constexpr int NROWS = 252, NCOLS = 5, NLINES = 11;

GtkWidget* statsw;                 // the window; null when closed
GtkWidget* cell[NROWS][NCOLS];     // rows 2 to MXCL: the lights of that length
GtkWidget* line[NLINES];
GtkWidget* hist;

// Set a label's text only when it changed: the window is refilled after every keystroke.
void settext(GtkWidget* l, const std::string& t) {
  if (t != gtk_label_get_text(GTK_LABEL(l))) gtk_label_set_text(GTK_LABEL(l), t.c_str());
}

gboolean onhistexpose(GtkWidget* w, GdkEventExpose* ev, gpointer) {
  if (deb(DEB_DRAW)) pstdout("hist expose event x=%d y=%d w=%d h=%d\n", ev->area.x, ev->area.y, ev->area.width, ev->area.height);
  cairo_t* cr = gdk_cairo_create(w->window);
  gdk_cairo_rectangle(cr, &ev->area);
  cairo_clip(cr);
  drawhistogram(cr);
  cairo_destroy(cr);
  return FALSE;
}

gboolean onhistconfigure(GtkWidget*, GdkEventConfigure* ev, gpointer) {
  if (deb(DEB_DRAW)) pstdout("hist config event: new w=%d h=%d\n", ev->width, ev->height);
  return TRUE;
}

void stats_quit(GtkDialog* d, gint response, gpointer) {
  if (deb(DEB_DRAW)) pstdout("stats_quit()\n");
  // On the delete-event response the window is being destroyed anyway.
  if (response != GTK_RESPONSE_DELETE_EVENT) gtk_widget_destroy(GTK_WIDGET(d));
}

void buildstats() {
  statsw = gtk_dialog_new_with_buttons("Statistics", GTK_WINDOW(mainw), GTK_DIALOG_DESTROY_WITH_PARENT, GTK_STOCK_CLOSE,
                                       GTK_RESPONSE_ACCEPT, nullptr);
  gtk_window_set_resizable(GTK_WINDOW(statsw), FALSE);
  GtkWidget* nb = gtk_notebook_new();
  gtk_box_pack_start(GTK_BOX(GTK_DIALOG(statsw)->vbox), nb, TRUE, TRUE, 0);
  GtkWidget* general = gtk_vbox_new(FALSE, 3);
  GtkWidget* histpage = gtk_vbox_new(FALSE, 3);
  gtk_notebook_append_page(GTK_NOTEBOOK(nb), general, gtk_label_new("General"));
  gtk_notebook_append_page(GTK_NOTEBOOK(nb), histpage, gtk_label_new("Entry histogram"));

  GtkWidget* table = gtk_table_new(NROWS, NCOLS, FALSE);
  static const char* heads[NCOLS] = {"  Length  ", "  Count  ", "  Underchecked  ", "  Overchecked  ",
                                     "  Check ratio min:mean:max  "};
  for (int c = 0; c < NCOLS; c++) gtk_table_attach_defaults(GTK_TABLE(table), gtk_label_new(heads[c]), c, c + 1, 0, 1);
  gtk_table_attach_defaults(GTK_TABLE(table), gtk_hseparator_new(), 0, NCOLS, 1, 2);
  for (int r = 2; r <= MXCL; r++)
    for (int c = 0; c < NCOLS; c++) {
      cell[r][c] = gtk_label_new("");
      gtk_table_attach_defaults(GTK_TABLE(table), cell[r][c], c, c + 1, r, r + 1);
    }
  gtk_table_attach_defaults(GTK_TABLE(table), gtk_hseparator_new(), 0, NCOLS, NROWS - 1, NROWS);
  gtk_box_pack_start(GTK_BOX(general), table, FALSE, FALSE, 0);
  for (int i = 0; i < NLINES; i++) {
    line[i] = leftlabel("");
    gtk_box_pack_start(GTK_BOX(general), line[i], FALSE, FALSE, 0);
  }

  hist = gtk_drawing_area_new();
  gtk_widget_set_size_request(hist, histogramwidth(), 250);
  gtk_widget_add_events(hist, GDK_EXPOSURE_MASK);
  g_signal_connect(hist, "expose-event", G_CALLBACK(onhistexpose), nullptr);
  g_signal_connect(hist, "configure-event", G_CALLBACK(onhistconfigure), nullptr);
  gtk_box_pack_start(GTK_BOX(histpage), hist, FALSE, FALSE, 0);

  g_signal_connect(statsw, "response", G_CALLBACK(stats_quit), nullptr);
  g_signal_connect(statsw, "destroy", G_CALLBACK(+[](GtkWidget*, gpointer) { statsw = hist = nullptr; }), nullptr);
  // The window itself is shown once filled, so that it is placed by its filled size.
  gtk_widget_show_all(nb);
}

}  // namespace

void statsrefresh() {
  if (!statsw) return;
  for (int r = 2; r <= MXCL; r++) {
    std::vector<std::string> row = statsrow(r);
    for (int c = 0; c < NCOLS; c++) {
      settext(cell[r][c], row.empty() ? " " : row[c]);
      if (row.empty()) gtk_widget_hide(cell[r][c]);
      else gtk_widget_show(cell[r][c]);
    }
  }
  std::vector<std::string> lines = statslines();
  for (int i = 0; i < NLINES; i++) settext(line[i], lines[i]);
  gtk_widget_set_size_request(hist, histogramwidth(), 250);
  if (hist->window) gdk_window_invalidate_rect(hist->window, nullptr, FALSE);
  if (deb(DEB_UI)) pstdout(TRACE_STATS "\n");
}

void m_stats(int) {
  if (!statsw) buildstats();
  statsrefresh();
  gtk_window_present(GTK_WINDOW(statsw));
}
