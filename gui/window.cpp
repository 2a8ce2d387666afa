// The main window: its widgets, zoom, the symmetry and assistance radio groups, the menu rules,
// the title, About and Quit, and syncgui, which brings all of it into line with the document.
#include "gui/window.h"

#include <algorithm>
#include <cmath>

#include "core/common.h"
#include "core/message.h"
#include "core/startup.h"
#include "core/traces.h"
#include "core/undo.h"
#include "docfile/docfile.h"
#include "draw/screen.h"
#include "draw/shape.h"
#include "filler/filler.h"
#include "grid/menus.h"
#include "grid/road.h"
#include "grid/select.h"
#include "grid/symm.h"
#include "grid/zyn.h"
#include "gui/menutable.h"

GtkWidget* mainw;
GtkWidget* paned;
GtkWidget* gridsw;
GtkWidget* drawarea;
GtkWidget* feaslist;
GtkWidget* feaslabel;
GtkWidget* faillabel;

const int zoomsizes[NZOOM] = {18, 20, 22, 24, 26, 28, 30, 33, 36, 39, 43, 47, 52, 57, 62, 67, 72};
int zoomlev = 8;
int modaldepth;

namespace {

// The width of the feasible-word pane when it is shown: what the first window leaves beside a
// 15x15 grid, from enough for plain words to enough for a 15-letter light's reversed entry (its
// light string, citation form and suffix).
constexpr int FEASPANEMIN = 218, FEASPANEMAX = 400;
int feaspane = FEASPANEMIN;
constexpr int GRIDBORDER = 10;  // around the grid's scrolled pane
constexpr int BELOWGRIDMIN = 150;  // the first window's height left to the menus, the clues and the strip

gboolean ondelete(GtkWidget*, GdkEvent*, gpointer) {
  if (modaldepth || (unsaved && !areyousure("quit"))) {
    if (deb(DEB_UI)) pstdout(TRACE_CLOSEREFUSED "\n");
    return TRUE;
  }
  filler_stop();
  clearhooks();
  return FALSE;  // GTK destroys the window
}

void ondestroy(GtkWidget*, gpointer) {
  freesurfaces();
  mainw = paned = gridsw = drawarea = feaslist = feaslabel = faillabel = nullptr;
  gtk_main_quit();
}

void zoombutton(GtkWidget* box, const char* stock, int v) {
  GtkWidget* b = gtk_button_new();
  gtk_button_set_image(GTK_BUTTON(b), gtk_image_new_from_stock(stock, GTK_ICON_SIZE_MENU));
  g_signal_connect_swapped(b, "clicked", G_CALLBACK(m_zoom), GINT_TO_POINTER(v));
  gtk_box_pack_start(GTK_BOX(box), b, FALSE, FALSE, 0);
}

// The window's first size: room for a 15x15 grid at 100% with the feasible-word list beside it
// and a few rows of clues below, less a margin for the desktop's panels and the title bar, and
// never more than the screen.
int firstsize(int screen, int margin, int lo, int hi) { return std::clamp(screen - margin, std::min(lo, screen), hi); }

// The width or height of the grid's pane that shows a 15x15 grid at the first zoom without scroll
// bars: the drawing area's request (see syncgui), the viewport's frame and the pane's border.
int gridpanesize(int framethickness) { return 15 * squarepx + 2 * bawdpx() - 1 + 3 + 2 * framethickness + 2 * GRIDBORDER; }

// The first places of the panes' dividers in a window of w by h: the grid's pane as large as a
// 15x15 grid at the first zoom needs (less what the menus, the clues and the strip keep), and the
// feasible-word pane the rest beside it, within its bounds.
void placepanes(GtkWidget* vpaned, int w, int h) {
  GtkWidget* viewport = gtk_bin_get_child(GTK_BIN(gridsw));
  gtk_widget_ensure_style(viewport);
  gtk_widget_ensure_style(paned);
  int handle = 0;
  gtk_widget_style_get(paned, "handle-size", &handle, nullptr);
  int gridh = std::min(gridpanesize(viewport->style->ythickness), h - BELOWGRIDMIN);
  // On a screen too low for the grid, its pane keeps room for the vertical scroll bar as well.
  int gridw = gridpanesize(viewport->style->xthickness);
  if (gridh < gridpanesize(viewport->style->ythickness)) {
    GtkRequisition bar;
    gtk_widget_size_request(gtk_scrolled_window_get_vscrollbar(GTK_SCROLLED_WINDOW(gridsw)), &bar);
    int spacing = 0;
    gtk_widget_style_get(gridsw, "scrollbar-spacing", &spacing, nullptr);
    gridw += bar.width + spacing;
  }
  feaspane = std::clamp(w - gridw - handle, FEASPANEMIN, FEASPANEMAX);
  gtk_paned_set_position(GTK_PANED(paned), w - feaspane);
  gtk_paned_set_position(GTK_PANED(vpaned), gridh);
}

}  // namespace

void buildmainwindow() {
  squarepx = zoomsizes[zoomlev];
  mainw = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_widget_set_name(mainw, "Zyn");
  gtk_window_set_title(GTK_WINDOW(mainw), "Zyn");
  GdkScreen* scr = gtk_window_get_screen(GTK_WINDOW(mainw));
  int firstw = firstsize(gdk_screen_get_width(scr), 80, 400, 1100);
  int firsth = firstsize(gdk_screen_get_height(scr), 60, 300, 760);
  gtk_window_set_default_size(GTK_WINDOW(mainw), firstw, firsth);
  gtk_window_set_position(GTK_WINDOW(mainw), GTK_WIN_POS_CENTER);

  GtkWidget* vbox = gtk_vbox_new(FALSE, 0);
  gtk_container_add(GTK_CONTAINER(mainw), vbox);
  GtkAccelGroup* accel = gtk_accel_group_new();
  gtk_window_add_accel_group(GTK_WINDOW(mainw), accel);
  gtk_box_pack_start(GTK_BOX(vbox), buildmenubar(accel), FALSE, TRUE, 0);

  // The grid and the feasible words above, the clues below.
  GtkWidget* vpaned = gtk_vpaned_new();
  gtk_box_pack_start(GTK_BOX(vbox), vpaned, TRUE, TRUE, 0);
  paned = gtk_hpaned_new();
  gtk_paned_pack1(GTK_PANED(vpaned), paned, TRUE, TRUE);
  gridsw = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_container_set_border_width(GTK_CONTAINER(gridsw), GRIDBORDER);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(gridsw), GTK_POLICY_AUTOMATIC, GTK_POLICY_AUTOMATIC);
  gtk_paned_pack1(GTK_PANED(paned), gridsw, TRUE, TRUE);
  GtkWidget* listsw = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_container_set_border_width(GTK_CONTAINER(listsw), 10);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(listsw), GTK_POLICY_AUTOMATIC, GTK_POLICY_AUTOMATIC);
  gtk_paned_pack2(GTK_PANED(paned), listsw, FALSE, TRUE);

  drawarea = gtk_drawing_area_new();
  gtk_widget_set_size_request(drawarea, 100, 100);
  gtk_scrolled_window_add_with_viewport(GTK_SCROLLED_WINDOW(gridsw), drawarea);
  gtk_widget_set_can_focus(drawarea, TRUE);
  gtk_widget_add_events(drawarea, GDK_EXPOSURE_MASK | GDK_POINTER_MOTION_MASK | GDK_BUTTON_PRESS_MASK |
                                      GDK_BUTTON_RELEASE_MASK | GDK_KEY_PRESS_MASK | GDK_SCROLL_MASK);
  gtk_container_add(GTK_CONTAINER(listsw), buildfeaslist());
  gtk_paned_pack2(GTK_PANED(vpaned), buildcluepane(), FALSE, TRUE);
  placepanes(vpaned, firstw, firsth);
  connectgridarea();

  GtkWidget* strip = gtk_hbox_new(FALSE, 0);
  zoombutton(strip, GTK_STOCK_ZOOM_OUT, -2);
  zoombutton(strip, GTK_STOCK_ZOOM_IN, -1);
  feaslabel = gtk_label_new(" Feasible characters:");
  gtk_box_pack_start(GTK_BOX(strip), feaslabel, FALSE, FALSE, 0);
  faillabel = gtk_label_new("");
  gtk_label_set_ellipsize(GTK_LABEL(faillabel), PANGO_ELLIPSIZE_END);
  gtk_misc_set_alignment(GTK_MISC(faillabel), 1, 0.5);
  gtk_box_pack_start(GTK_BOX(strip), faillabel, TRUE, TRUE, 8);
  gtk_box_pack_end(GTK_BOX(vbox), strip, FALSE, TRUE, 0);

  g_signal_connect(mainw, "delete-event", G_CALLBACK(ondelete), nullptr);
  g_signal_connect(mainw, "destroy", G_CALLBACK(ondestroy), nullptr);

  gtk_widget_show_all(mainw);
  gtk_widget_grab_focus(drawarea);
}

void syncgui() {
  if (!usegui || !mainw) return;
  // The bar width, and with it the margin, follows the zoom: the metrics are those of squarepx.
  gtk_widget_set_size_request(drawarea, imagewidth(squarepx, bawdpx()) + 3, imageheight(squarepx, bawdpx()) + 3);
  gtk_widget_show(drawarea);
  syncsymmenu();
  syncselmenu();
  menuselect(MC_INTERACTIVE, AV_ASSIST + assistmode);
  showassistpane(assistmode);
  settitle();
  makesurfaces();
  showcursor();
  cluepanerefresh();
  statsrefresh();
}

void syncsymmenu() {
  if (!mainw) return;
  menuselect(MC_ROTSYM, AV_ROTSYM + rotsym);
  menuselect(MC_MIRSYM, AV_MIRSYM + mirsym);
  menuselect(MC_DUPSYM, AV_DUPSYM + dupsym);
  for (itemstate m : shapeitems()) menusensitive(menubyaction(m.action), m.sensitive);
}

void syncselmenu() {
  if (!mainw) return;
  if (deb(DEB_UI)) pstdout(TRACE_SELMENU "\n", selmode, nsel);
  for (itemstate m : selitems()) menusensitive(menubyaction(m.action), m.sensitive);
}

void settitle() {
  if (mainw) gtk_window_set_title(GTK_WINDOW(mainw), windowtitle().c_str());
}

void closewindow() {
  filler_stop();
  clearhooks();
  gtk_widget_destroy(mainw);
}

void m_zoom(int v) {
  int z = v == -1 ? zoomlev + 1 : v == -2 ? zoomlev - 1 : 4 * v;
  zoomlev = std::clamp(z, 0, NZOOM - 1);
  squarepx = zoomsizes[zoomlev];
  if (deb(DEB_UI)) pstdout(TRACE_ZOOM "\n", zoomlev, squarepx);
  syncgui();
}

void showassistpane(int mode) {
  int w;
  gtk_window_get_size(GTK_WINDOW(mainw), &w, nullptr);
  gtk_paned_set_position(GTK_PANED(paned), mode ? w - feaspane : w + 100);
}

void m_interactive(int v) {
  showassistpane(v & 0xff);
  // The marks of a light nothing fits belong to the assistance that found them: Off finds none,
  // and another mode finds them again.
  clearfailure();
  editreport r;
  setassistmode(v & 0xff, &r);
  showedit(r);
}

// A setting the grid does not allow is refused; the radio group then shows the one in force.
void m_rotsym(int v) {
  if (setrotsym(v & 0xff)) syncsymmenu();
}
void m_mirsym(int v) {
  if (setmirsym(v & 0xff)) syncsymmenu();
}
void m_dupsym(int v) {
  if (setdupsym(v & 0xff)) syncsymmenu();
}

void m_symnone(int) {
  setnosymmetry();
  syncsymmenu();
}

void m_quit(int) {
  if (modaldepth || (unsaved && !areyousure("quit"))) return;
  closewindow();
}

void m_about(int) {
  char msg[600];
  pbuf(msg, sizeof msg,
       "Zyn release %s\n\n"
       "Copyright (C) 2026 the Zyn developers.\n\n"
       "Zyn is free software: you may use, copy, change and share it under the terms of its "
       "licence, which comes with it. It comes with NO WARRANTY.\n\n"
       "Web site, manual and news: see the README that came with Zyn. "
       "Questions and reports: the project's issue tracker.",
       release);
  infobox(msg);
}

// A step of the undo ring changes the document, so the marks of a failed fill go with it
// (showedit).
void m_undo(int) { showedit(undostep(0)); }
void m_redo(int) { showedit(undostep(1)); }

