// The main window: its widgets, zoom, the symmetry and assistance radio groups, the menu rules,
// the title, About and Quit, and syncgui, which brings all of it into line with the document.
#include "gui/window.h"

#include <algorithm>
#include <cmath>

#include "core/common.h"
#include "core/message.h"
#include "core/startup.h"
#include "core/undo.h"
#include "draw/shape.h"
#include "filler/filler.h"
#include "grid/select.h"
#include "grid/zyn.h"
#include "gui/menurules.h"
#include "gui/menutable.h"
#include "gui/names.h"

GtkWidget* mainw;
GtkWidget* paned;
GtkWidget* gridsw;
GtkWidget* drawarea;
GtkWidget* feaslist;
GtkWidget* feaslabel;

const int zoomsizes[NZOOM] = {18, 20, 22, 24, 26, 28, 30, 33, 36, 39, 43, 47, 52, 57, 62, 67, 72};
int zoomlev = 8;
int modaldepth;

namespace {

constexpr int FEASPANE = 218;  // width of the feasible-word pane when it is shown

// The grid's size on screen, margins included.
void gridpixels(int* w, int* h) {
  *w = imagewidth(squarepx, bawdpx());
  *h = imageheight(squarepx, bawdpx());
}

// Until the drawing module lands, the grid pane shows a plain picture of the grid's size: white,
// with the cell lines of a rectangular grid.
gboolean onexpose(GtkWidget* w, GdkEventExpose* ev, gpointer) {
  if (ev->window != w->window) return FALSE;
  if (deb(DEB_DRAW)) pstdout("expose event x=%d y=%d w=%d h=%d\n", ev->area.x, ev->area.y, ev->area.width, ev->area.height);
  cairo_t* cr = gdk_cairo_create(w->window);
  gdk_cairo_rectangle(cr, &ev->area);
  cairo_clip(cr);
  int gw, gh;
  gridpixels(&gw, &gh);
  cairo_rectangle(cr, bawdpx(), bawdpx(), gw - 2 * bawdpx(), gh - 2 * bawdpx());
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_set_line_width(cr, 1);
  if (gtypes[gtype].shape == SHAPE_RECT) {
    for (int x = 1; x < width; x++) {
      cairo_move_to(cr, bawdpx() + x * squarepx + 0.5, bawdpx());
      cairo_rel_line_to(cr, 0, height * squarepx);
    }
    for (int y = 1; y < height; y++) {
      cairo_move_to(cr, bawdpx(), bawdpx() + y * squarepx + 0.5);
      cairo_rel_line_to(cr, width * squarepx, 0);
    }
  }
  cairo_stroke(cr);
  cairo_destroy(cr);
  return FALSE;
}

gboolean onscroll(GtkWidget*, GdkEventScroll* ev, gpointer) {
  if (ev->state & GDK_CONTROL_MASK) {
    if (ev->direction == GDK_SCROLL_UP) m_zoom(-1);
    else if (ev->direction == GDK_SCROLL_DOWN) m_zoom(-2);
  }
  return FALSE;  // the scrolled window sees the wheel too
}

gboolean ondelete(GtkWidget*, GdkEvent*, gpointer) {
  if (modaldepth || (unsaved && !areyousure("quit"))) return TRUE;
  filler_stop();
  clearhooks();
  return FALSE;  // GTK destroys the window
}

void ondestroy(GtkWidget*, gpointer) {
  mainw = paned = gridsw = drawarea = feaslist = feaslabel = nullptr;
  gtk_main_quit();
}

void zoombutton(GtkWidget* box, const char* stock, int v) {
  GtkWidget* b = gtk_button_new();
  gtk_button_set_image(GTK_BUTTON(b), gtk_image_new_from_stock(stock, GTK_ICON_SIZE_MENU));
  g_signal_connect_swapped(b, "clicked", G_CALLBACK(m_zoom), GINT_TO_POINTER(v));
  gtk_box_pack_start(GTK_BOX(box), b, FALSE, FALSE, 0);
}

int clampsize(int screen, int lo, int hi) { return screen >= lo && screen <= hi ? screen : hi; }

}  // namespace

void buildmainwindow() {
  squarepx = zoomsizes[zoomlev];
  mainw = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_widget_set_name(mainw, "Zyn");
  gtk_window_set_title(GTK_WINDOW(mainw), "Zyn");
  GdkScreen* scr = gtk_window_get_screen(GTK_WINDOW(mainw));
  gtk_window_set_default_size(GTK_WINDOW(mainw), clampsize(gdk_screen_get_width(scr), 400, 800),
                              clampsize(gdk_screen_get_height(scr), 300, 628));
  gtk_window_set_position(GTK_WINDOW(mainw), GTK_WIN_POS_CENTER);

  GtkWidget* vbox = gtk_vbox_new(FALSE, 0);
  gtk_container_add(GTK_CONTAINER(mainw), vbox);
  GtkAccelGroup* accel = gtk_accel_group_new();
  gtk_window_add_accel_group(GTK_WINDOW(mainw), accel);
  gtk_box_pack_start(GTK_BOX(vbox), buildmenubar(accel), FALSE, TRUE, 0);

  paned = gtk_hpaned_new();
  gtk_box_pack_start(GTK_BOX(vbox), paned, TRUE, TRUE, 0);
  gridsw = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_container_set_border_width(GTK_CONTAINER(gridsw), 10);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(gridsw), GTK_POLICY_AUTOMATIC, GTK_POLICY_AUTOMATIC);
  gtk_paned_pack1(GTK_PANED(paned), gridsw, TRUE, TRUE);
  GtkWidget* listsw = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_container_set_border_width(GTK_CONTAINER(listsw), 10);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(listsw), GTK_POLICY_AUTOMATIC, GTK_POLICY_AUTOMATIC);
  gtk_paned_pack2(GTK_PANED(paned), listsw, FALSE, TRUE);
  gtk_paned_set_position(GTK_PANED(paned), 582);

  drawarea = gtk_drawing_area_new();
  gtk_widget_set_size_request(drawarea, 100, 100);
  gtk_scrolled_window_add_with_viewport(GTK_SCROLLED_WINDOW(gridsw), drawarea);
  gtk_widget_set_can_focus(drawarea, TRUE);
  gtk_widget_add_events(drawarea, GDK_EXPOSURE_MASK | GDK_POINTER_MOTION_MASK | GDK_BUTTON_PRESS_MASK |
                                      GDK_BUTTON_RELEASE_MASK | GDK_KEY_PRESS_MASK | GDK_SCROLL_MASK);
  gtk_container_add(GTK_CONTAINER(listsw), buildfeaslist());

  GtkWidget* strip = gtk_hbox_new(FALSE, 0);
  zoombutton(strip, GTK_STOCK_ZOOM_OUT, -2);
  zoombutton(strip, GTK_STOCK_ZOOM_IN, -1);
  feaslabel = gtk_label_new(" Feasible characters:");
  gtk_box_pack_start(GTK_BOX(strip), feaslabel, FALSE, FALSE, 0);
  gtk_box_pack_end(GTK_BOX(vbox), strip, FALSE, TRUE, 0);

  g_signal_connect(drawarea, "expose-event", G_CALLBACK(onexpose), nullptr);
  g_signal_connect(drawarea, "scroll-event", G_CALLBACK(onscroll), nullptr);
  g_signal_connect(mainw, "delete-event", G_CALLBACK(ondelete), nullptr);
  g_signal_connect(mainw, "destroy", G_CALLBACK(ondestroy), nullptr);

  gtk_widget_show_all(mainw);
  gtk_widget_grab_focus(drawarea);
}

void syncgui() {
  if (!usegui || !mainw) return;
  fixcursor();
  // The size request depends on the bar width, so the metrics come first.
  int w, h;
  gridpixels(&w, &h);
  gtk_widget_set_size_request(drawarea, w + 3, h + 3);
  gtk_widget_show(drawarea);
  syncsymmenu();
  syncselmenu();
  menuselect(MC_INTERACTIVE, AV_ASSIST + assistmode);
  m_interactive(AV_ASSIST + assistmode);
  settitle();
  gtk_widget_queue_draw(drawarea);
}

void syncsymmenu() {
  if (!mainw) return;
  menuselect(MC_ROTSYM, AV_ROTSYM + rotsym);
  menuselect(MC_MIRSYM, AV_MIRSYM + mirsym);
  menuselect(MC_DUPSYM, AV_DUPSYM + dupsym);
  for (const menustate& m : shaperules()) menusensitive(m.cmd, m.action, m.on);
}

void syncselmenu() {
  if (!mainw) return;
  if (deb(DEB_UI)) pstdout("syncselmenu mode=%d,n=%d\n", selmode, nsel);
  for (const menustate& m : selrules()) menusensitive(m.cmd, m.action, m.on);
}

void settitle() {
  if (!mainw) return;
  // The document's file stem takes its place here once documents can be saved and opened.
  gtk_window_set_title(GTK_WINDOW(mainw), wintitle("").c_str());
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
  if (deb(DEB_UI)) pstdout("zoom level %d, %d pixels\n", zoomlev, squarepx);
  syncgui();
}

void m_interactive(int v) {
  filler_stop();
  assistmode = v & 0xff;
  int w;
  gtk_window_get_size(GTK_WINDOW(mainw), &w, nullptr);
  gtk_paned_set_position(GTK_PANED(paned), assistmode ? w - FEASPANE : w + 100);
  afteredit();
}

void m_rotsym(int v) { rotsym = v & 0xff; }
void m_mirsym(int v) { mirsym = v & 0xff; }
void m_dupsym(int v) { dupsym = v & 0xff; }

void m_symnone(int) {
  rotsym = 1;
  mirsym = dupsym = 0;
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

void m_undo(int) {
  if (undo_undo() == 0) syncgui();
}

void m_redo(int) {
  if (undo_redo() == 0) syncgui();
}

void m_selnone(int) { clearsel(); }
