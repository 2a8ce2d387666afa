// Helpers shared by the tests: temporary files and capture of user messages.
#pragma once

#include <string>
#include <vector>

// Write bytes to a new temporary file and return its path; removed at exit.
std::string writetemp(const std::string& bytes, const char* suffix = ".txt");

// While alive, warnings and errors are recorded here instead of ending the process
// (the program runs as if interactive, with no window).
struct msgcapture {
  msgcapture();
  ~msgcapture();
  std::vector<std::string> msgs;  // "W:" or "E:" followed by the text
};

// Run a command through the shell; returns its exit status and fills out and err.
int runcmd(const std::string& cmd, std::string* out, std::string* err);

// The engine's starting state for a test: bit table, Roman alphabet, default preferences, no
// traces, deterministic fills with assistance over the whole grid, the usual budget before the
// recovery search, empty dictionary slots.
void resetengine();

// Store the words, one per line, as dictionary 1 and load it; returns dictsload's result.
int loadwords(const std::vector<std::string>& words);

// Grid type gt with the size of the drawing, the document reset, and the drawing's blocks
// ('#') and cutouts ('x'); any other character is a clear square.
void drawgrid(int gt, const std::vector<std::string>& rows);
