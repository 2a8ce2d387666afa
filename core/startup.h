// Start-up: the command line, the usage text, the start-up order and the two roads
// (batch fill or the window).
#pragma once

extern const char* release;

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
