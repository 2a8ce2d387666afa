// What the ipuz and .puz writers share: naming a cell in a message, a cell's letters and the
// lights in numbering order.
#include "export/interchange.h"

#include <glib.h>

#include "alphabet/alphabet.h"
#include "grid/geometry.h"
#include "grid/lights.h"
#include "grid/zyn.h"

unsigned puzcksum(const unsigned char* p, size_t n, unsigned c) {
  for (size_t i = 0; i < n; i++) {
    c = (c & 1) ? (c >> 1) | 0x8000 : c >> 1;
    c = (c + p[i]) & 0xffff;
  }
  return c;
}

std::string cellname(int x, int y) { return "row " + std::to_string(y + 1) + ", column " + std::to_string(x + 1); }

std::string cellletters(int x, int y) {
  const square& s = sqarray[x][y];
  std::string t;
  for (int k = 0; k < s.nchars[0] && k < MXCP; k++) {
    int c = settoicc(s.charsets[0][k] & ABM_ALL);
    if (c <= 0) return "";
    t += icctext[c];
  }
  gchar* up = g_utf8_strup(t.c_str(), -1);
  t = up;
  g_free(up);
  return t;
}

std::vector<gridlight> gridlights() {
  std::vector<gridlight> v;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++)
      for (int d = 0; d < 2; d++)
        if (isstartoflight(x, y, d)) v.push_back({x, y, d, sqarray[x][y].number});
  return v;
}

std::string lightenumeration(int x, int y, int d) {
  lightpos pos[MXCL];
  int n = lightpositions(pos, x, y, d, 0);
  return std::to_string(n > 0 ? n : 0);
}
