// Clue text for the interchange formats, from the document's clues.
#include "export/clueseam.h"

#include "export/interchange.h"
#include "grid/clues.h"

std::string cluetextof(int x, int y, int d) {
  const clue* c = cluefor({x, y, d});
  return c ? c->text : "";
}

std::string enumerationof(int x, int y, int d) {
  const clue* c = cluefor({x, y, d});
  return c && !c->enumr.empty() ? c->enumr : lightenumeration(x, y, d);
}

void setcluefrom(int x, int y, int d, const std::string& text, const std::string& enumeration) {
  std::string e = enumeration == lightenumeration(x, y, d) ? "" : cluecut(enumeration, MXENUM);
  clueset({x, y, d}, cluecut(text, MXCLUE), e);
}
