// File names the window derives: the file chooser's proposed name and filter pattern, and the
// extension Save as adds. GTK-free, so that they can be checked without a display.
#pragma once

#include <string>

// The name a file chooser proposes: the stem, or "untitled" without one, followed by the suffix.
std::string chooserdefault(const char* stem, const char* suffix);
// The extension a chooser filters on: the suffix from its last "." (".blank.eps" gives ".eps").
std::string suffixext(const char* suffix);
// A name with no extension gets ext (".zyn"); a name that has one keeps it.
std::string withextension(const char* name, const char* ext);
