// The Autofill menu's fills: Autofill and Autofill selected cells with their "Filling in
// progress" dialog and outcome messages, Accept hints, and Unban all answers.
#include <algorithm>
#include <string>

#include "core/common.h"
#include "core/message.h"
#include "core/traces.h"
#include "filler/filler.h"
#include "grid/accept.h"
#include "grid/assist.h"
#include "grid/select.h"
#include "gui/msgbox.h"
#include "gui/window.h"

namespace {

GtkWidget* fipdia;  // the progress dialog while an autofill runs
// 1 once the fill has ended and the dialog should close; 2 once its close was asked for.
int killfipdia;
// The progress timer's ticks, to report how long the main loop was kept from serving events.
gint64 lasttick;
double longestgap;

void createfipdia() {
  if (deb(DEB_UI)) pstdout("entering createfipdia()...\n");
  killfipdia = 0;
  fipdia = gtk_message_dialog_new(GTK_WINDOW(mainw), GTK_DIALOG_DESTROY_WITH_PARENT, GTK_MESSAGE_INFO,
                                  GTK_BUTTONS_NONE, "\n  Filling in progress  \n");
  if (deb(DEB_UI)) pstdout("fipdia=%p\n", (void*)fipdia);
  gtk_dialog_add_button(GTK_DIALOG(fipdia), "  Stop", GTK_RESPONSE_ACCEPT);
  g_signal_connect(fipdia, "map-event", G_CALLBACK(+[](GtkWidget*, GdkEvent*, gpointer) -> gboolean {
                     if (deb(DEB_UI)) pstdout(TRACE_PROGRESSSHOWN "\n");
                     return FALSE;
                   }),
                   nullptr);
}

gboolean fiptimeout(gpointer) {
  if (deb(DEB_UI)) pstdout("<fiptimeout> fipdia=%p %d\n", (void*)fipdia, killfipdia);
  gint64 now = g_get_monotonic_time();
  longestgap = std::max(longestgap, (now - lasttick) / 1000.0);
  lasttick = now;
  if (killfipdia && fipdia) {
    killfipdia = 2;
    gtk_dialog_response(GTK_DIALOG(fipdia), GTK_RESPONSE_ACCEPT);
  }
  return TRUE;
}

void runfipdia() {
  if (deb(DEB_UI)) pstdout("entering runfipdia %p...\n", (void*)fipdia);
  lasttick = g_get_monotonic_time();
  longestgap = 0;
  guint timer = gdk_threads_add_timeout(100, fiptimeout, nullptr);
  rundialog(fipdia);
  if (deb(DEB_UI)) pstdout("leaving runfipdia %p...\n", (void*)fipdia);
  g_source_remove(timer);
  // The timer ticks every 100 ms while the main loop is free; a longer gap is a handler that
  // kept it busy.
  if (deb(DEB_UI)) pstdout(TRACE_PROGRESSTIMER "\n", longestgap);
  gtk_widget_destroy(fipdia);
  fipdia = nullptr;
}

}  // namespace

void fipdone() {
  if (fipdia && !killfipdia) killfipdia = 1;
}

void autofill(int mode) {
  // Only cells can be filled: a selection of lights becomes the cells of those lights.
  if (mode == FM_SEL && selmode != SEL_CELLS) selswitchmode();
  createfipdia();
  if (runfiller(mode)) {
    gtk_widget_destroy(fipdia);
    fipdia = nullptr;
    errbox("Could not start filler");
    return;
  }
  runfipdia();
  if (deb(DEB_UI)) pstdout("stopping filler...\n");
  gint64 t = g_get_monotonic_time();
  filler_stop();  // after Stop this ends the search; after the fill's own end it only tidies up
  if (deb(DEB_UI))
    pstdout(TRACE_FILLERSTOPPED "\n", (g_get_monotonic_time() - t) / 1000.0, filler_status.load());
  setfeaslabel("");
  switch (filler_status) {
    case FS_LISTS: errbox("Error generating lists of feasible lights"); break;
    case FS_DEPTH: errbox("Out of stack space"); break;
    case FS_NOMEM: errbox("Out of memory"); break;
    case FS_NOFILL: {
      // Where it failed, marked and named; then the assistance the fill replaced comes back,
      // so that the hints and the list are as they were before it.
      std::string where = failuremessage();
      showfailure();
      errbox(where.empty() ? "No fill found" : ("No fill found\n\n" + where).c_str());
      runfiller(FM_ASSIST);
      break;
    }
    default: break;
  }
}

void m_accept(int) {
  if (deb(DEB_UI)) pstdout("m_accept\n");
  int changed = accepthints();
  editreport r;
  r.done = r.all = 1;
  showedit(r);
  if (changed) infobox("\n  Answer treatment  \n  constraints updated  \n");
}

void m_unban(int) { unbanall(); }
