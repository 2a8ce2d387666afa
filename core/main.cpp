// Entry point of the zyn executable: the window, when built, is handed to start-up.
#include "core/startup.h"

#ifdef ZYN_HAVE_GUI
#include "gui/gui.h"
#endif

int main(int argc, char** argv) {
#ifdef ZYN_HAVE_GUI
  guiinstall();
#endif
  return zynmain(argc, argv);
}
