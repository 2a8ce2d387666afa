// Message boxes, questions and the file chooser. The boxes reach the engine through the hook
// table; the chooser is called by the window's file commands.
#pragma once

#include <cstddef>

void guiinfobox(const char* msg);
void guiwarnbox(const char* msg);
void guierrbox(const char* msg);
int guiareyousure(const char* verb);
int guiaskyesno(const char* question);
int guiaskplugin(const char* path);
// "That file already exists. Overwrite it?": 1 only for Overwrite.
int askoverwrite();
// A question with OK and Cancel: 1 for OK.
int askokcancel(const char* question);

// File chooser modes: open an existing file; save (the caller asks before overwriting); export
// (the chooser itself asks before overwriting an existing file).
constexpr int FC_OPEN = 0, FC_SAVE = 1, FC_EXPORT = 2;

// Ask for a file name: title, the suffix of the proposed name (".zyn", ".blank.eps"), the
// filter's name ("Zyn" gives "Zyn files") and the mode; the name proposed is the document's
// file stem (or "untitled") and the suffix. Returns 1 with the chosen name in UTF-8 in dest
// (n bytes), 0 when cancelled, leaving dest as it was. Names of n bytes or more are refused.
int filechooser(char* dest, size_t n, const char* title, const char* suffix, const char* filtername, int mode);

// Run a dialog modally, counting it so that Quit waits for it to close.
int rundialog(void* dialog);
