// The steps every export takes before and after writing its file.
#include "export/export.h"

#include <glib.h>

#include <cstring>

#include "core/common.h"
#include "filler/filler.h"
#include "grid/lights.h"
#include "grid/zyn.h"

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
  // XML 1.0 allows no control character but tab, line feed and carriage return, not even as a
  // character reference (which the escaping would make of one): they are dropped.
  std::string t;
  for (char c : s)
    if ((unsigned char)c >= 0x20 || c == '\t' || c == '\n' || c == '\r') t += c;
  gchar* v = g_utf8_make_valid(t.c_str(), (gssize)t.size());
  gchar* e = g_markup_escape_text(v, -1);
  std::string r = e;
  g_free(e);
  g_free(v);
  return r;
}
