// Importing the interchange formats: ipuz, .puz and Crossword Compiler XML. Each reader turns
// its file into an `importgrid` without touching the document; the grid is checked whole
// (size, clues against the lights) before it replaces the document, so that a file that fails
// leaves the open document as it was.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

constexpr size_t IMPORTMAXBYTES = 16 << 20;  // largest interchange file read

constexpr int IC_WHITE = 0, IC_BLOCK = 1, IC_VOID = 2;

struct importcell {
  int kind = IC_WHITE;
  std::string letters;  // UTF-8; "" when not known
  int number = 0;       // the file's number, 0 none
  bool barright = false, barbelow = false, circle = false;
  int bg = -1, fg = -1;  // 0xRRGGBB, -1 the default
};

struct importclue {
  int number;  // the file's number of the light
  std::string text, enumeration;
  int x = -1, y = -1;  // its start square, where the file names it rather than the number
};

struct importgrid {
  int w = 0, h = 0;
  std::vector<importcell> cells;  // reading order
  std::string title, author, copyright, notes;
  std::vector<importclue> clues[2];  // Across, Down
  std::vector<std::string> warnings;
  std::vector<std::pair<int, int>> clueat[2];  // the start square of each clue's light, found by the check
  importcell& at(int x, int y) { return cells[(size_t)y * w + x]; }
  const importcell& at(int x, int y) const { return cells[(size_t)y * w + x]; }
};

// The interchange format the start of a file shows, by its content.
enum importformat { IF_NONE, IF_IPUZ, IF_PUZ, IF_CCXML };
importformat sniffformat(const char* p, size_t n);

// Each reads a whole file into g; false with the reason when the file cannot be read as one.
bool readipuz(const std::string& text, importgrid* g, std::string* why);
bool readpuz(const std::string& bytes, importgrid* g, std::string* why);
bool readccxml(const std::string& text, importgrid* g, std::string* why);

// Read the file of that format (`head` holds its first bytes, already read from f) and check
// it: false with the reason, the document untouched. Then importdocument makes it the document
// (after the caller's reset), with its warnings reported.
bool readimport(importformat k, FILE* f, const char* head, size_t headlen, importgrid* g, std::string* why);
void importdocument(const importgrid& g);

// The puzzle in a zip archive (a compressed JPZ): its member named .xml or .jpz, or its only
// member, at most IMPORTMAXBYTES; false with the reason.
bool unzipmember(const std::string& zip, std::string* out, std::string* why);
// Inflates raw deflate data into *out, never beyond limit bytes; false when the data is damaged
// or larger. The programs that import set it with usezipinflate (which needs GIO); while it is
// unset, unzipmember refuses deflated members.
extern bool (*zipinflate)(const std::string& in, std::string* out, size_t limit);
void usezipinflate();

// A clue text's own trailing enumeration, "Clue (4,5)": split off into *e, true when found.
bool splitenumeration(std::string* text, std::string* e);
