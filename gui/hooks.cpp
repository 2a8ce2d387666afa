// The engine's hooks into the window. Widgets are touched on the main thread only: a hook that
// runs on the filler thread posts its work to the main loop, tagged with the number of the fill
// that produced it, and the work is dropped when another fill has started since (its lists and
// entries are gone by then).
#include "core/common.h"
#include "core/hooks.h"
#include "filler/filler.h"
#include "grid/select.h"
#include "gui/msgbox.h"
#include "gui/window.h"

namespace {

GThread* mainthread;

struct posted {
  void (*fn)();
  unsigned int gen;
};

gboolean runposted(gpointer p) {
  posted* q = (posted*)p;
  if (mainw && q->gen == fillgen.load()) q->fn();
  else if (deb(DEB_UI)) pstdout("dropped a result of fill %u\n", q->gen);
  g_free(q);
  return FALSE;
}

// Run fn on the main thread: now when called there, else at the main loop's next idle moment
// with the lock held.
void onmain(void (*fn)()) {
  if (g_thread_self() == mainthread) {
    fn();
    return;
  }
  posted* q = g_new(posted, 1);
  q->fn = fn;
  q->gen = fillgen.load();
  gdk_threads_add_idle(runposted, q);
}

void redrawgrid() {
  if (drawarea) gtk_widget_queue_draw(drawarea);
}

// The end of an autofill; its progress dialog closes here once the autofill commands exist.
void fillended() {
  if (deb(DEB_UI)) pstdout("fill %u ended\n", fillgen.load());
}

}  // namespace

void installhooks() {
  mainthread = g_thread_self();
  ui.infobox = guiinfobox;
  ui.warnbox = guiwarnbox;
  ui.errbox = guierrbox;
  ui.areyousure = guiareyousure;
  ui.selchanged = [] { onmain(syncselmenu); };
  ui.afteredit = [] { onmain(redrawgrid); };
  ui.refreshhints = [] { onmain(redrawgrid); };
  ui.updatefeas = [] { onmain(updatefeas); };
  ui.fipdone = [] { onmain(fillended); };
  ui.setfeaslabel = setfeaslabel;
}

void clearhooks() { ui = {}; }
