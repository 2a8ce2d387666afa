// The engine's hooks into the window. Widgets are touched on the main thread only: the hooks the
// filler thread calls post their work to the main loop, tagged with the number of the fill that
// produced it, and the work is dropped when another fill has started since (its lists and entries
// are gone by then); the end of an autofill only sets the flag the progress dialog's timer
// polls. The other hooks are called on the main thread and act at once.
#include "core/common.h"
#include "core/hooks.h"
#include "draw/screen.h"
#include "filler/filler.h"
#include "grid/select.h"
#include "gui/msgbox.h"
#include "gui/window.h"

repaintcount repaints;

namespace {

GThread* mainthread;

void invalidate(int x, int y, int w, int h) {
  if (!drawarea || !drawarea->window) return;
  if (w < 0) {
    repaints.whole++;
    gdk_window_invalidate_rect(drawarea->window, nullptr, FALSE);
    return;
  }
  repaints.rects++;
  GdkRectangle r = {x, y, w, h};
  gdk_window_invalidate_rect(drawarea->window, &r, FALSE);
}

// Work the filler thread hands to the main loop: at most one idle call of each kind is pending,
// carrying the number of the newest fill that asked for it. Both sides hold the engine's lock
// (the filler publishes under it; GDK takes it around the idle call), which guards these records.
struct postedwork {
  void (*fn)();
  unsigned int gen;
  bool pending;
};
postedwork hintswork = {refreshhints, 0, false};
postedwork feaswork = {updatefeas, 0, false};

gboolean runposted(gpointer p) {
  postedwork* w = (postedwork*)p;
  w->pending = false;
  if (mainw && w->gen == fillgen.load()) w->fn();
  else if (deb(DEB_UI)) pstdout("dropped a result of fill %u\n", w->gen);
  return FALSE;
}

// Run the work on the main thread: now when called there, else at the main loop's next idle
// moment.
void onmain(postedwork* w) {
  if (g_thread_self() == mainthread) {
    w->fn();
    return;
  }
  w->gen = fillgen.load();
  if (!w->pending) {
    w->pending = true;
    gdk_threads_add_idle(runposted, w);
  }
}

}  // namespace

void installhooks() {
  mainthread = g_thread_self();
  ui.infobox = guiinfobox;
  ui.warnbox = guiwarnbox;
  ui.errbox = guierrbox;
  ui.areyousure = guiareyousure;
  ui.askyesno = guiaskyesno;
  ui.askplugin = guiaskplugin;
  ui.cellcontents = cellcontentsdialog;
  ui.invalidate = invalidate;
  ui.refreshhints = [] { onmain(&hintswork); };
  ui.updatefeas = [] { onmain(&feaswork); };
  // The end of an autofill reaches the progress dialog's timer alone, which polls for it.
  ui.fipdone = fipdone;
  ui.setfeaslabel = setfeaslabel;
}

void clearhooks() { ui = {}; }
