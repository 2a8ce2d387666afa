// The alphabet dialog's table without its widgets: 60 rows, one per internal character code,
// filled from the current or a built-in alphabet, edited row by row, shown either as printable
// characters or as Unicode code points, and built into the current alphabet.
#pragma once

#include <array>
#include <string>

#include "alphabet/alphabet.h"

// Row n-1 edits code n: its entry (one character, or two for a substitution entry), its
// equivalents in dictionary files and its three flags.
struct alpharow {
  std::string rep, equiv;
  bool inat = false, inhash = false, seq = false;
};
typedef std::array<alpharow, MAXICC> alphatable;

// How the row texts stand: UTF-8 text, or code points written "U+%04X" and separated by spaces.
constexpr int AM_TEXT = 0, AM_CODES = 1;
// Most characters a row's entry texts hold in each form (the entries' limits).
constexpr int AREP_TEXT = 2, AEQUIV_TEXT = 100, AREP_CODES = 21, AEQUIV_CODES = 1100;

// Read code points written in hexadecimal, skipping whatever is not a hexadecimal digit, into
// out (room for max plus a terminating 0). A number that is not a printable character ends the
// list. Returns the number read.
int hextocps(int* out, const char* text, int max);
// A 0-terminated list of code points as "U+%04X" items separated by one space.
std::string cpstohex(const int* list);

alphatable alphacurrent();              // the current alphabet, in text form
alphatable alphabuiltin(int index);     // built-in alphabet `index`, in text form
// Convert every row between the two forms; a text form keeps at most 2 entry characters and
// 100 equivalents.
void alphaconvert(alphatable& t, int from, int to);

// The row operations of rows 1 to 59 (r counts from 0): insert an empty row at r (the last row's
// content is lost), exchange r with the row below, delete r (an empty row comes in at the end).
void alpharowins(alphatable& t, int r);
void alpharowswap(alphatable& t, int r);
void alpharowdel(alphatable& t, int r);

// What a row's entry holds, in form `mode`: 0 nothing usable, 1 one printable character (an
// ordinary entry: its flags apply), 2 two (a substitution entry: only its equivalents apply).
int alpharowkind(const alpharow& row, int mode);

// Make the table (in text form) the current alphabet: clear it, define every row and number the
// codewords. Returns bit r set for each result r of the rows' definitions (1: an entry was
// refused, 2: an equivalent was refused).
int alphainstall(const alphatable& t);
