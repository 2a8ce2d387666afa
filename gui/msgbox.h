// Message boxes and the file chooser. The boxes reach the engine through the hook table; the
// chooser is called by the window's file commands.
#pragma once

#include <cstddef>

void guiinfobox(const char* msg);
void guiwarnbox(const char* msg);
void guierrbox(const char* msg);
int guiareyousure(const char* verb);

// Ask for a file name: title, the suffix of the proposed name (".zyn", ".blank.eps"), the
// filter's name ("Zyn" gives "Zyn files"), save or open mode, and the document's file stem for
// the proposed name. Returns 1 with the chosen name in UTF-8 in dest (n bytes), 0 when cancelled,
// leaving dest as it was. In save mode choosing an existing file asks before overwriting it.
int filechooser(char* dest, size_t n, const char* title, const char* suffix, const char* filtername, int save,
                const char* stem);

// Run a dialog modally, counting it so that Quit waits for it to close.
int rundialog(void* dialog);
