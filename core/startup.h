// Start-up: the command line, the usage text, the start-up order and the two roads
// (batch fill or the window).
#pragma once

extern const char* release;
extern const char* zynweb;  // shown with the release in the heads of saved and exported files

// The window, for an executable that has one; main() fills this in before zynmain(), and an
// executable without a window leaves it empty. open and run are called with the lock held.
struct frontend {
  void (*printversion)();               // the toolkits' version lines for the -D start-up trace
  int (*open)(int* argc, char*** argv); // start the toolkit and build the window; 0 when it is up
  int (*run)();                         // show the document and run until Quit; exit status
  // Batch-only program: run the window's program in this one's place with the same command line
  // (for the window and for the -D trace); returns only when that fails, with the exit status.
  int (*handoff)(char** argv);
};
extern frontend zynfe;

// Classic single-letter option parsing: a letter followed by ":" in opts takes a value, glued
// to the letter or as the next argument; "--" ends the options. take(letter, value) is called
// for each option (value "" for a letter without one) and returns 1 for a letter it does not
// know, 2 for a value it refuses. Returns the index of the first argument after the options, -1
// when the usage text must be shown (-?, an unknown letter, a value missing at the end), -2 when
// a value was refused (parseerror() says why).
int scanoptions(int argc, char** argv, const char* opts, int (*take)(char c, const char* val));
// The options of zyn: -a, -b, -d, -m, -D, -R and -F into the process-wide settings; 1 for any
// other letter, 2 for a value it refuses (longer than its buffer, a minimum score not 0..100).
int takeoption(char c, const char* val);
// A minimum score of the command line, 0..100; false (parseerror() says why) for anything else.
bool readminscore(const char* val, int* v);
// Parse zyn's options and the file argument into the process-wide settings.
// Returns 0 to go on, 1 when the usage text must be shown, 2 when a value is longer than its
// buffer (parseerror() says which).
int parseargs(int argc, char** argv);
const char* parseerror();
// Choose the alphabet of the start: the -a value (an error when unknown), else the
// preference startup_al. 1 when the -a value was unknown (batch mode has already ended then).
int choosealphabet();
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
