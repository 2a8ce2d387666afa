// Helpers shared by the tests: temporary files and capture of user messages.
#pragma once

#include <string>
#include <utility>
#include <vector>

// Write bytes to a new temporary file and return its path; removed at exit.
std::string writetemp(const std::string& bytes, const char* suffix = ".txt");

// The whole contents of a file ("" when it cannot be read).
std::string readfile(const std::string& path);

// Run fn while no file this process writes may grow beyond `bytes`: writes past the limit fail
// with "File too large", as on a full disk. Returns fn's result.
int withfilesizelimit(long bytes, int (*fn)());

// While alive, warnings and errors are recorded here instead of ending the process
// (the program runs as if interactive, with no window).
struct msgcapture {
  msgcapture();
  ~msgcapture();
  std::vector<std::string> msgs;  // "W:" or "E:" followed by the text
};


// The expected text of a golden file in tests/golden/. With ZYN_UPDATE_GOLDEN=1 in the
// environment the file is first rewritten with `actual` (review the difference before committing).
std::string golden(const std::string& name, const std::string& actual);

// A new empty folder under /tmp (the caller removes it).
std::string tempdir();


// Run a command through the shell; returns its exit status and fills out and err.
int runcmd(const std::string& cmd, std::string* out, std::string* err);

// The engine's starting state for a test: bit table, Roman alphabet, default preferences, no
// traces, deterministic fills with assistance over the whole grid, the usual budget before the
// recovery search, empty dictionary slots.
void resetengine();

// resetengine, then an empty plain document of size x size with twofold symmetry, no title or
// author, the cursor at the origin and a fresh undo history.
void resetdocument(int size);

// Store the words, one per line, as dictionary 1 and load it; returns dictsload's result.
int loadwords(const std::vector<std::string>& words);

// Grid type gt with the size of the drawing, the document reset, and the drawing's blocks
// ('#') and cutouts ('x'); any other character is a clear square.
void drawgrid(int gt, const std::vector<std::string>& rows);

// Free light k made of the given cells (x, y), with nfreelights raised to include it.
void setfreelight(int k, const std::vector<std::pair<int, int>>& cells);

// Make square (x, y) use its own cell properties (a fresh square's are the defaults).
struct cellprops* owncell(int x, int y);
