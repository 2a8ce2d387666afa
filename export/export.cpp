// The steps every export takes before and after writing its file.
#include "export/export.h"

#include "core/common.h"
#include "filler/filler.h"
#include "grid/lights.h"

const char* zynweb = "Zyn crossword construction";

int preexport() {
  if (deb(DEB_EXPORT)) pstdout("preexport()\n");
  filler_stop();
  if (rebuild()) return 0;
  if (filler_start(FM_PROPAGATE)) return 0;
  filler_wait();
  return 1;
}

void postexport() {
  if (deb(DEB_EXPORT)) pstdout("postexport()\n");
  filler_stop();
  runfiller(FM_ASSIST);
}
