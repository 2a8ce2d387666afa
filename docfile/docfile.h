// Document files: the native format (with the legacy grid form and the foreign grid format on
// reading), free light path files, new documents from the size and template codes, and the
// name the document goes by (its file stem and the window-title text).
#pragma once

#include <string>
#include <vector>

#include "core/common.h"
#include "grid/edit.h"

// The current document's path without its ".zyn" extension; the name Save writes to again
// and the file chooser proposes.
extern char filestem[SLEN];
// The document was loaded from or saved to a file, so Save need not ask for a name.
extern int havename;
// The document was read from a legacy or foreign grid and has not been saved since.
extern int readforeigngrid;

// The file Save writes to again: the file stem with ".zyn", in *name. SAVE_ASK when Save must ask
// for a name instead (the document has none, or the name is that of the legacy or foreign grid it
// was read from, which a save must never replace); SAVE_TOOLONG when the name does not fit.
constexpr int SAVE_NAMED = 0, SAVE_ASK = 1, SAVE_TOOLONG = 2;
int savename(std::string* name);

// The newest version of the native format: a file of a later version is read as far as this
// release understands it, with a warning.
constexpr int DOCVERSION = 6;

// Write the document to `filename` without ever destroying the previous file. On success the
// document is saved (unsaved = 0), has a name and takes its file stem from `filename`; on
// failure the filing-system error is reported and all three stay as they were.
// Returns 0 on success, 1 on failure.
int savedocument();


// Results of loaddocument.
constexpr int LOAD_OK = 0, LOAD_NOFILE = 1, LOAD_BADFORMAT = 2;
// Replace the document by the file `filename`: a native document, a legacy grid or a foreign
// grid; or an ipuz, .puz or Crossword Compiler XML file, recognised by its content, which becomes
// a new document without a name. LOAD_NOFILE: the file could not be opened, or an interchange
// file could not be read (reported), and the document is as it was; LOAD_BADFORMAT:
// "File format error in <file>:\n<where>" (or a read error) was reported. Either way a failed load
// leaves the document, its alphabet, its name and its undo ring exactly as they were. The named
// dictionaries are loaded unless loaddicts is 0 (then the caller loads them).
int loaddocument(int loaddicts = 1);

// A fresh document: code = width * 65536 + height * 256 + pattern (see doctemplates), or 0 for
// the current grid type and size, empty. Starts a fresh undo history.
void newdocument(int code);

// The New submenu: the item's submenu ("" for the New menu itself), its label and its code.
struct doctemplate {
  const char* submenu;
  const char* label;
  int code;
};
constexpr int NDOCTEMPLATES = 38;
extern const doctemplate doctemplates[NDOCTEMPLATES];

// The title, else the file stem's last part (the name without its folder), else "(untitled)";
// then " by " and the author if there is one.
std::string titletext();
// "Zyn: " and the title text.
std::string windowtitle();
// Set filestem from a file name: the name without a final ".zyn".
void setfilestem(const char* name);

// Plain-text clue files: one line per numbered light, "1A Clue text (5)", "12D ...", and
// "F3 ..." for free light 3, with backslashes and line breaks in a clue written \\ and \n.
// cluestext() is the export's text; exportclues writes it without ever destroying the previous
// file. importclues reads a file and sets the clues of the lights its lines name (one undo
// step); lines naming no light are skipped and listed in a warning. A line that is not a clue
// line, a second line for one light, text that is not UTF-8 or a clue over the limit is an
// error naming the line, and then no clue changes. Both return 0 on success, 1 on failure.
std::string cluestext();
int exportclues(const char* path);
int importclues(const char* path);
// The import's reading, from bytes already read (name is the file's for the messages); the
// skipped lines are added to unmatched.
int readclues(const std::string& bytes, const char* name, std::vector<std::string>* unmatched);

// Free light path files. Both report their errors; 0 on success, 1 on failure.
// The export never destroys the previous file; a failed import changes nothing, and an import
// that succeeds is one edit, whose report goes to *r when given.
int exportfreelights(const char* path);
int importfreelights(const char* path, editreport* r = nullptr);
