// Entry point of Zyn's two programs. The window's program (ZYN_HAVE_GUI) hands its window to
// start-up and reads zipped puzzles. The batch program, zyn itself, links neither GTK, cairo nor
// GIO, so that a `zyn -b` run starts quickly; it runs the window's program in its place when the
// window is asked for.
#include "core/startup.h"

#ifdef ZYN_HAVE_GUI
#include "docfile/import.h"
#include "gui/gui.h"
#endif
#ifdef ZYN_WINDOW_PROGRAM
#include <string>

#include "core/common.h"
#include "platform/platform.h"

namespace {

// Beside this program in the build tree, else in the installed prefix's lib/zyn.
int handoff(char** argv) {
  std::string dir = plat_exedir();
  std::string here = dir + PLAT_SEP + ZYN_WINDOW_PROGRAM;
  std::string installed = dir + PLAT_SEP + ".." + PLAT_SEP + "lib" + PLAT_SEP + "zyn" + PLAT_SEP + ZYN_WINDOW_PROGRAM;
  plat_exec(here, argv);
  plat_exec(installed, argv);
  pstream(stderr, "%s: cannot start the window's program %s: %s\n", argv[0], installed.c_str(), plat_errtext());
  return 16;
}

}  // namespace
#endif

int main(int argc, char** argv) {
#ifdef ZYN_HAVE_GUI
  guiinstall();
  usezipinflate();
#endif
#ifdef ZYN_WINDOW_PROGRAM
  zynfe.handoff = handoff;
#endif
  return zynmain(argc, argv);
}
