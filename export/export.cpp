// The steps every export takes before and after writing its file.
#include "export/export.h"

#include <glib.h>

#include <cstring>

#include "core/common.h"
#include "filler/filler.h"
#include "grid/lights.h"
#include "grid/zyn.h"

const char* zynweb = "Zyn crossword construction";

int preexport() {
  if (deb(DEB_EXPORT)) pstdout("preexport()\n");
  // A propagation that finds some light impossible leaves every list unfiltered: then no list
  // says which candidates fit, and the lights are listed by their patterns.
  return propagate() == FS_DONE;
}

void postexport() {
  if (deb(DEB_EXPORT)) pstdout("postexport()\n");
  filler_stop();
  runfiller(FM_ASSIST);
}

std::string markup(const std::string& s) {
  gchar* e = g_markup_escape_text(s.c_str(), -1);
  std::string r = e;
  g_free(e);
  return r;
}
