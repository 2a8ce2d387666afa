// The interchange formats that solving programs read: ipuz (JSON) and .puz (the Across Lite
// binary). Both hold plain rectangular grids only; a grid either cannot hold is refused with a
// message naming the first cell or light at fault, and no file is written.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Write the document as ipuz (version 2) or as .puz (version 1.3). 0 on success; a refusal or a
// filing error is reported and leaves any existing file as it was.
int exportipuz(const char* path);
int exportpuz(const char* path);

// The .puz checksum: for each byte, c is rotated right by one bit within 16 bits and the byte
// added, modulo 65536.
unsigned puzcksum(const unsigned char* p, size_t n, unsigned c);
inline unsigned puzcksum(const std::string& s, unsigned c) { return puzcksum((const unsigned char*)s.data(), s.size(), c); }

// What a .puz file holds, texts in UTF-8.
struct puzdata {
  int w = 0, h = 0;
  std::string board;                // w*h solution characters in reading order, '.' for a block
  std::vector<std::string> rebus;   // per cell: its whole text when it holds several characters
  std::vector<unsigned char> circle;  // per cell: 1 when circled
  std::string title, author, copyright, notes;
  std::vector<std::string> clues;   // in the format's order: by number, Across before Down
};
// The file's bytes, or false with the reason when a text or a cell is outside Latin-1.
bool puzencode(const puzdata& p, std::string* bytes, std::string* why);

// The document as ipuz text or .puz data; false with the reason when the grid cannot be held.
bool ipuztext(std::string* out, std::string* why);
bool puzfromdoc(puzdata* p, std::string* why);

// Helpers both writers share.
// "row r, column c" for the square (x, y), counted from 1.
std::string cellname(int x, int y);
// The characters of a plain cell in upper case, or "" when any of them is not yet known.
std::string cellletters(int x, int y);
// Each light of the plain grid in numbering order: its start, direction (0 Across, 1 Down)
// and number (-1 when it has none).
struct gridlight {
  int x, y, d, number;
};
std::vector<gridlight> gridlights();
// The enumeration the light's length gives: its number of characters.
std::string lightenumeration(int x, int y, int d);
