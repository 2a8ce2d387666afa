// File chooser names and the extension of a saved document.
#include "gui/names.h"

#include <cstring>

#include "platform/platform.h"

std::string chooserdefault(const char* stem, const char* suffix) {
  return std::string(stem && stem[0] ? stem : "untitled") + suffix;
}

std::string suffixext(const char* suffix) {
  const char* dot = strrchr(suffix, '.');
  return dot ? dot : "";
}

std::string withextension(const char* name, const char* ext) {
  const char* base = strrchr(name, PLAT_SEP);
  base = base ? base + 1 : name;
  return strchr(base, '.') ? name : std::string(name) + ext;
}
