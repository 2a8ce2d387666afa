// Start-up: the command line, the usage text, the start-up order and the two roads
// (batch fill or the window).
#pragma once

extern const char* release;

// The window, for an executable that has one; main() fills this in before zynmain(), and an
// executable without a window leaves it empty. Both calls are made with the lock held.
struct frontend {
  void (*printversion)();               // the toolkit's version line for the -D start-up trace
  int (*open)(int* argc, char*** argv); // start the toolkit and build the window; 0 when it is up
  int (*run)();                         // show the document and run until Quit; exit status
};
extern frontend zynfe;

// Parse the options and the file argument into the process-wide settings.
// Returns 0 to go on, 1 when the usage text must be shown.
int parseargs(int argc, char** argv);
void printusage(const char* progname);
void printversions();

// Load the dictionaries of an interactive start without a document: those given with -d,
// else the default one; warns when nothing could be loaded.
void loadstartdicts();

// The whole program; returns the exit status.
int zynmain(int argc, char** argv);
