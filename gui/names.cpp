// Window title and file chooser names.
#include "gui/names.h"

#include <cstring>

#include "grid/zyn.h"

std::string doctitle(const char* stem) {
  std::string t = title[0] ? title : stem && stem[0] ? stem : "(untitled)";
  if (author[0]) t += std::string(" by ") + author;
  return t;
}

std::string wintitle(const char* stem) { return "Zyn: " + doctitle(stem); }

std::string chooserdefault(const char* stem, const char* suffix) {
  return std::string(stem && stem[0] ? stem : "untitled") + suffix;
}

std::string suffixext(const char* suffix) {
  const char* dot = strrchr(suffix, '.');
  return dot ? dot : "";
}
