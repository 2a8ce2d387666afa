// Messages for the user. In batch mode warnings and errors go to standard error and an error
// ends the process with status 16; the window fills in `uihooks` to show boxes instead.
#pragma once

#include "core/hooks.h"

void infobox(const char* msg);
void warnbox(const char* msg);
void errbox(const char* msg);
// While one is alive, an error without a window is reported as a warning and the run goes on,
// for a step that the window reports and survives.
struct softerrors {
  static int depth;
  softerrors() { depth++; }
  ~softerrors() { depth--; }
  softerrors(const softerrors&) = delete;
  softerrors& operator=(const softerrors&) = delete;
};
int areyousure(const char* verb);
// A yes/no question; without a window the answer is no, so nothing is changed unasked.
int askyesno(const char* question);
void fserror();
