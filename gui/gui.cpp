// The window's entry points for start-up.
#include "gui/gui.h"

#include <gtk/gtk.h>

#include "core/common.h"
#include "core/startup.h"

static void printgtkversion() {
  pstdout("gtk version %d.%d.%d\n", (int)gtk_major_version, (int)gtk_minor_version, (int)gtk_micro_version);
}

void guiinstall() { zynfe.printversion = printgtkversion; }
