// The personal word list: a setter's own words and scores, kept in a plain "word;score" file
// (UTF-8, scores 0 to 100) in the per-user folder beside the preferences, and loaded with every
// document's word lists. For the answers it names its score wins over the nine slots and their
// minimum scores, and its words are open to every light; a score of 0 means never use.
#pragma once

#include <string>
#include <vector>

struct personalword {
  std::string cf;  // the spelling, as the list shows it
  int score;       // 0..100; 0: never used
};

// The list's file, empty for none: the window sets it at start-up; batch mode, zyn-export and the
// tests leave it empty unless they choose a file.
extern std::string personalpath;
// The words as last read or set, in the file's order.
extern std::vector<personalword> personalwords;

// Read the file into personalwords (a missing file is an empty list). Each damaged line (not
// "word;score" with a score of 0 to 100, or not UTF-8) is skipped, kept to be written back as
// it was, and reported once with its line number. 0, or 1 when the file could not be read
// (reported; the list is then empty).
int personalload();
// Give the word cf the score (0..100; 0 for Never use), adding it when the list does not have
// it, and write the file whole, atomically. 0 when written, 1 when the file could not be
// written (reported; the list in memory keeps the change for this session).
int personalset(const char* cf, int score);
// The score the list gives the word spelt cf, or -1 when it does not name it.
int personalscore(const char* cf);
