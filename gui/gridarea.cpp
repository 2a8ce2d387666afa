// The grid pane: compositing the cached surfaces on expose, keys, clicks, drags and the wheel
// turned into calls of the editing engine, and the redraws of what the engine reports.
#include <gdk/gdkkeysyms.h>

#include <cmath>

#include "core/common.h"
#include "core/traces.h"
#include "draw/screen.h"
#include "draw/shape.h"
#include "filler/filler.h"
#include "grid/cursor.h"
#include "grid/pointer.h"
#include "grid/zyn.h"
#include "gui/window.h"

int curmoved;
gint64 assistkeytime;

namespace {

int lastcursordir;
gint64 keytime;  // when the key being shown was pressed; 0 when none

// Under the window traces, the last key pressed anywhere (the grid, a menu's accelerator, a
// dialog's button) is followed to the end of the grid's next repaint, with the fills it started
// and the repaints it asked for.
struct keymark {
  gint64 t;  // 0 when no key is being followed
  unsigned int fills;
  repaintcount asked;
} mark;

gint snoopkey(GtkWidget*, GdkEventKey* ev, gpointer) {
  if (ev->type == GDK_KEY_PRESS && !ev->is_modifier) mark = {g_get_monotonic_time(), fillgen.load(), repaints};
  return FALSE;
}

void keyrepainted() {
  if (!mark.t) return;
  pstdout("key repainted in %.2f ms: %u filler starts, %d whole-area invalidations, %d rectangles\n",
          (g_get_monotonic_time() - mark.t) / 1000.0, fillgen.load() - mark.fills, repaints.whole - mark.asked.whole,
          repaints.rects - mark.asked.rects);
  mark.t = 0;
}

// Scroll the grid so that the cursor cell, plus 3 pixels, is in view.
void scrolltocursor() {
  gpoint c = runcentre(cursorx, cursory, 0, 1);
  if (deb(DEB_DRAW)) pstdout("curmoved: %f %f %d %d\n", c.x, c.y, cursorx, cursory);
  GtkScrolledWindow* sw = GTK_SCROLLED_WINDOW(gridsw);
  GtkAdjustment* adj[2] = {gtk_scrolled_window_get_hadjustment(sw), gtk_scrolled_window_get_vadjustment(sw)};
  double centre[2] = {c.x, c.y};
  for (int i = 0; i < 2; i++)
    gtk_adjustment_clamp_page(adj[i], (centre[i] - 0.5) * squarepx + bawdpx() - 3, (centre[i] + 0.5) * squarepx + bawdpx() + 3);
}

gboolean onexpose(GtkWidget* w, GdkEventExpose* ev, gpointer) {
  if (ev->window != w->window) return FALSE;
  GtkScrolledWindow* sw = GTK_SCROLLED_WINDOW(gridsw);
  GtkAdjustment* ha = gtk_scrolled_window_get_hadjustment(sw);
  GtkAdjustment* va = gtk_scrolled_window_get_vadjustment(sw);
  int vx = (int)floor(gtk_adjustment_get_value(ha)), vy = (int)floor(gtk_adjustment_get_value(va));
  setscreenview(vx, vy, (int)ceil(gtk_adjustment_get_value(ha) + gtk_adjustment_get_page_size(ha)) - vx,
                (int)ceil(gtk_adjustment_get_value(va) + gtk_adjustment_get_page_size(va)) - vy);
  cairo_t* cr = gdk_cairo_create(w->window);
  gdk_cairo_region(cr, ev->region);
  cairo_clip(cr);
  compositescreen(cr, ev->area.x, ev->area.y, ev->area.width, ev->area.height);
  cairo_destroy(cr);
  // After the painting: a repaint that moves the cached part of the grid draws it first.
  if (deb(DEB_DRAW)) pstdout(TRACE_EXPOSE "\n", ev->area.x, ev->area.y, ev->area.width, ev->area.height);
  if (curmoved) {
    scrolltocursor();
    curmoved = 0;
  }
  if (keytime) {
    if (deb(DEB_UI)) pstdout(TRACE_KEYSHOWN "\n", (g_get_monotonic_time() - keytime) / 1000.0);
    keytime = 0;
  }
  if (deb(DEB_UI)) keyrepainted();
  return FALSE;
}

gboolean onconfigure(GtkWidget*, GdkEventConfigure* ev, gpointer) {
  if (deb(DEB_DRAW)) pstdout(TRACE_CONFIGURE "\n", ev->width, ev->height);
  return TRUE;
}

// The keys the engine knows by name; characters come as their Unicode values.
int zynkeyof(guint keyval) {
  switch (keyval) {
    case GDK_KEY_Left: return ZK_LEFT;
    case GDK_KEY_Right: return ZK_RIGHT;
    case GDK_KEY_Up: return ZK_UP;
    case GDK_KEY_Down: return ZK_DOWN;
    case GDK_KEY_Home: return ZK_HOME;
    case GDK_KEY_End: return ZK_END;
    case GDK_KEY_Page_Up: return ZK_PAGEUP;
    case GDK_KEY_Page_Down: return ZK_PAGEDOWN;
    case GDK_KEY_Tab: return ZK_TAB;
    case GDK_KEY_ISO_Left_Tab: return ZK_LEFTTAB;
    case GDK_KEY_BackSpace: return ZK_BACKSPACE;
    default: return ZK_NONE;
  }
}

gboolean onkey(GtkWidget*, GdkEventKey* ev, gpointer) {
  gint64 t = g_get_monotonic_time();
  editreport r = keypress((int)gdk_keyval_to_unicode(ev->keyval), zynkeyof(ev->keyval), ev->state);
  if (!r.done) return FALSE;
  keytime = assistkeytime = t;
  showedit(r);
  return TRUE;
}

int eventkind(GdkEventType t) {
  switch (t) {
    case GDK_2BUTTON_PRESS: return PE_DOUBLE;
    case GDK_3BUTTON_PRESS: return PE_TRIPLE;
    case GDK_BUTTON_RELEASE: return PE_RELEASE;
    default: return PE_PRESS;
  }
}

gboolean onbutton(GtkWidget*, GdkEventButton* ev, gpointer) {
  hitresult h = hittest(ev->x, ev->y);
  if (deb(DEB_DRAW))
    pstdout(TRACE_PRESS "\n", ev->x, ev->y, h.x, h.y,
            h.mask, ev->button, (unsigned)ev->type, ev->state);
  editreport r = pointerbutton(h.x, h.y, h.mask, (int)ev->button, ev->state, eventkind(ev->type));
  if (ev->type == GDK_BUTTON_PRESS && ev->button == 1) gtk_widget_grab_focus(drawarea);
  showedit(r);
  if (deb(DEB_DRAW) && ev->type != GDK_BUTTON_RELEASE) pstdout(TRACE_PRESSDONE "\n");
  return FALSE;
}

gboolean onmotion(GtkWidget*, GdkEventMotion* ev, gpointer) {
  hitresult h = hittest(ev->x, ev->y);
  showedit(pointermotion(h.x, h.y, ev->state));
  return FALSE;
}

gboolean onscroll(GtkWidget*, GdkEventScroll* ev, gpointer) {
  if (ev->state & GDK_CONTROL_MASK) {
    if (ev->direction == GDK_SCROLL_UP) m_zoom(-1);
    else if (ev->direction == GDK_SCROLL_DOWN) m_zoom(-2);
  }
  return FALSE;  // the scrolled window sees the wheel too
}

}  // namespace

void connectgridarea() {
  g_signal_connect(drawarea, "expose-event", G_CALLBACK(onexpose), nullptr);
  g_signal_connect(drawarea, "configure-event", G_CALLBACK(onconfigure), nullptr);
  g_signal_connect(drawarea, "button-press-event", G_CALLBACK(onbutton), nullptr);
  g_signal_connect(drawarea, "button-release-event", G_CALLBACK(onbutton), nullptr);
  g_signal_connect(drawarea, "motion-notify-event", G_CALLBACK(onmotion), nullptr);
  g_signal_connect(drawarea, "scroll-event", G_CALLBACK(onscroll), nullptr);
  // After the default handlers, so that the menus' accelerators have had the key first.
  g_signal_connect_after(drawarea, "key-press-event", G_CALLBACK(onkey), nullptr);
  if (deb(DEB_UI)) gtk_key_snooper_install(snoopkey, nullptr);
}

namespace {
// The selection layer draws the free light the cursor is on, so a cursor on or leaving one
// redraws it too.
bool cursorselection() { return lastcursordir >= 100 || cursordir >= 100; }

void redrawcursor() {
  refreshcursor();
  lastcursordir = cursordir;
  curmoved = 1;
  cluepanefollow();
}
}  // namespace

void showcursor() {
  if (cursorselection()) refreshselection();
  redrawcursor();
}

void showedit(const editreport& r) {
  if (!r.done) return;
  // The clue pane's patterns, the statistics and the marks of a failed fill follow the document.
  if (r.doc || r.all || r.shape || !r.squares.empty()) {
    cluepanerefresh();
    statsrefresh();
    clearfailure();
  }
  if (r.shape) {
    syncgui();
    return;
  }
  refreshreport(r);
  if (r.sel) syncselmenu();
  if (r.sel || cursorselection()) refreshselection();
  redrawcursor();
}
