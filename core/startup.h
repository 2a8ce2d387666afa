// Start-up: the command line, the usage text, the start-up order and the two roads
// (batch fill or the window).
#pragma once

extern const char* release;

// The window, for an executable that has one; main() fills this in before zynmain(), and an
// executable without a window leaves it empty.
struct frontend {
  void (*printversion)();               // the toolkit's version line for the -D start-up trace
  int (*run)(int argc, char** argv);    // the interactive road, with the lock held; exit status
};
extern frontend zynfe;

// Parse the options and the file argument into the process-wide settings.
// Returns 0 to go on, 1 when the usage text must be shown, 2 when a value is longer than its
// buffer (parseerror() says which).
int parseargs(int argc, char** argv);
const char* parseerror();
void printusage(const char* progname);
void printversions();

// Load the dictionaries of an interactive start without a document: those given with -d,
// else the default one; warns when nothing could be loaded.
void loadstartdicts();

// Flush and close standard output; status, or 16 after "Error: Filing system error: ..." on
// standard error when the output could not be written.
int closestdout(int status);

// The whole program; returns the exit status.
int zynmain(int argc, char** argv);
