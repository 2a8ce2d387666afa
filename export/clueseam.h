// The clue of a grid light as the interchange formats read and write it: the light is named by
// its start square and direction, as numbering names it.
#pragma once

#include <string>

// The clue text of the light starting at (x, y) in direction d; "" when it has none.
std::string cluetextof(int x, int y, int d);
// Its enumeration without brackets: the document's own when it has one, else the count of the
// light's characters ("5").
std::string enumerationof(int x, int y, int d);
// Give the light its clue; an enumeration equal to the computed one is not kept as its own.
void setcluefrom(int x, int y, int d, const std::string& text, const std::string& enumeration);
