// Texts the window derives from the document: the window title, and the file chooser's default
// name and filter pattern. GTK-free, so that they can be checked without a display.
#pragma once

#include <string>

// The document's display title: its title, else the file stem, else "(untitled)"; then " by "
// and the author when there is one.
std::string doctitle(const char* stem);
// The window title: "Zyn: " and the display title.
std::string wintitle(const char* stem);
// The name a file chooser proposes: the stem, or "untitled" without one, followed by the suffix.
std::string chooserdefault(const char* stem, const char* suffix);
// The extension a chooser filters on: the suffix from its last "." (".blank.eps" gives ".eps").
std::string suffixext(const char* suffix);
