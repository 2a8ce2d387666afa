// The window's entry points for start-up: the toolkit's version line, opening the window, and
// the interactive run until Quit.
#include "gui/gui.h"

#include "core/common.h"
#include "core/lock.h"
#include "core/startup.h"
#include "draw/draw.h"
#include "grid/road.h"
#include "gui/window.h"

namespace {

void printgtkversion() {
  pstdout("gtk version %d.%d.%d\n", (int)gtk_major_version, (int)gtk_minor_version, (int)gtk_micro_version);
  printdrawversions();
}

int guiopen(int* argc, char*** argv) {
  // Traces of an interactive session are read while it runs.
  if (debug) setvbuf(stdout, nullptr, _IOLBF, 0);
  // GDK's lock is the engine's lock, which the caller already holds.
  gdk_threads_set_lock_functions(G_CALLBACK(zyn_lock), G_CALLBACK(zyn_unlock));
  gdk_threads_init();
  if (!gtk_init_check(argc, argv)) {
    pstream(stderr, "%s: cannot open the display; use -b <deck> for batch mode\n", (*argv)[0]);
    return 1;
  }
  buildmainwindow();
  installhooks();
  return 0;
}

int guirun() {
  // The document start-up made: the after-edit steps and assistance, then all of it shown.
  editreport r;
  endreplace(r);
  syncgui();
  gtk_main();
  return 0;
}

}  // namespace

void guiinstall() {
  zynfe.printversion = printgtkversion;
  zynfe.open = guiopen;
  zynfe.run = guirun;
}
