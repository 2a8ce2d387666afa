// Clue text for the interchange formats. Until the document holds clues, every light has an
// empty clue and the enumeration its length gives.
#include "export/clueseam.h"

#include "export/interchange.h"

std::string cluetextof(int, int, int) { return ""; }

std::string enumerationof(int x, int y, int d) { return lightenumeration(x, y, d); }

void setcluefrom(int, int, int, const std::string&, const std::string&) {}
