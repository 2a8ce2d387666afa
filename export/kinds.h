// The export items of the File menu as data: for each, the name zyn-export knows it by, the
// menu's action value, the file chooser's title, default suffix and filter name, whether it
// needs a grid of square cells, and the routine that writes the file.
#pragma once

struct exportkind {
  const char* name;     // zyn-export kind, e.g. "blank-eps"
  int action;           // the menu item's action value, e.g. 0x401
  const char* title;    // file chooser title
  const char* suffix;   // default name suffix, e.g. ".blank.eps"
  const char* filter;   // file chooser filter name
  int squareonly;       // needs shapeclass 0; the menu item is insensitive on other shapes
  // Write the export to path exactly as the menu item does: 0 on success; failures are
  // reported through errbox or fserror.
  int (*run)(const char* path);
};

constexpr int NEXPORTKINDS = 22;
extern const exportkind exportkinds[NEXPORTKINDS];

// By kind name or by action value; null when there is none.
const exportkind* findexportkind(const char* name);
const exportkind* exportkindof(int action);
// Whether the item can be used on the current grid.
int exportkindok(const exportkind* k);
