// Message routines: the window's boxes when it has installed them, otherwise standard error.
#include "core/message.h"

#include <cstdlib>

#include "core/common.h"
#include "platform/platform.h"

uihooks ui = {};

void infobox(const char* msg) {
  if (ui.infobox) ui.infobox(msg);
}

void warnbox(const char* msg) {
  if (ui.warnbox) ui.warnbox(msg);
  else pstream(stderr, "Warning: %s\n", msg);
}

void errbox(const char* msg) {
  if (usegui) {
    if (ui.errbox) ui.errbox(msg);
    else pstream(stderr, "Error: %s\n", msg);
    return;
  }
  if (softerrors::depth > 0) {
    pstream(stderr, "Warning: %s\n", msg);
    return;
  }
  pstream(stderr, "Error: %s\n", msg);
  fflush(stdout);
  exit(16);
}

int softerrors::depth = 0;

int areyousure(const char* verb) {
  if (ui.areyousure) return ui.areyousure(verb);
  return 1;
}

int askyesno(const char* question) {
  if (ui.askyesno) return ui.askyesno(question);
  return 0;
}

void fserror() {
  char buf[SLEN + 40];
  pbuf(buf, sizeof buf, "Filing system error: %s", plat_errtext());
  errbox(buf);
}
