// Line-by-line reading of text files for the document readers. A line may be of any length;
// its first LINEKEEP bytes are kept (more than any field takes, so nothing a record holds is
// lost) and the rest of it skipped, so the lines after it stay in step. Trailing control
// characters are stripped, so CR LF line ends are accepted. A NUL byte, which would end the
// field it is in, is read as U+FFFD, the replacement character.
#pragma once

#include <cstdio>
#include <string>

constexpr size_t LINEKEEP = 1 << 20;

struct linereader {
  FILE* f;
  std::string line;     // the current line
  bool pushed = false;  // the current line is to be read again
  char buf[65536];      // bytes read from the file and not yet taken
  size_t pos = 0, len = 0;
  int lineno = 0;      // of the current line, counted from 1
  bool ended = false;  // next() found no more lines

  explicit linereader(FILE* fp) : f(fp) {}
  // Next line into `line`; false at the end of the file (or on a read error: see ferror).
  bool next();
  // The bytes not yet taken, reading more when there are none; 0 at the end of the file.
  // next() still returns them.
  size_t peek();
  // The next call to next() gives the current line again.
  void unget() { pushed = true; }
};

// Stop the filler, since the document is about to change, and open a file to read (the trace
// names the reason under debug bit 0x800). On failure the error is reported, the background fill
// restarted and null returned.
FILE* openforreading(const char* path, const char* trace);
// Close a file that was read: 1 when reading or closing it failed.
int closeread(FILE* f);
// Report a malformed file: "File format error in <path>: " and where the reader stopped.
void formaterror(const char* path, const linereader& lr);

// Helpers shared by the readers.
inline bool iscontrol(char c) { return (unsigned char)c < 0x20 || c == 0x7f; }
bool startswith(const std::string& s, const char* prefix);
// A text field cut to fit n bytes at a character boundary, without the trailing control
// characters a line never keeps, so that what is read is what a save writes back.
void textcut(char* dst, const std::string& src, size_t n);
// A text for people (a title, an author, a mark, a message) as textcut keeps it, read as
// ISO-8859-1 where it is not valid UTF-8, as word lists are, so that every later step (the
// window, the pictures, the pages) has valid UTF-8.
void textread(char* dst, const std::string& src, size_t n);
// Read a decimal number, saturating at the limits of int instead of overflowing; p moves past
// it. False when p does not point at an optional sign followed by a digit.
bool readint(const char*& p, int* v);
