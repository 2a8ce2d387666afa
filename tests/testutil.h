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
