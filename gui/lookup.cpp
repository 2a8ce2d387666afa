// Expanding the address templates of the look-up entries.
#include "gui/lookup.h"

#include <cstring>

static std::string percentencoded(const char* s) {
  static const char hex[] = "0123456789ABCDEF";
  std::string t;
  for (const unsigned char* p = (const unsigned char*)s; *p; p++) {
    bool plain = (*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z') || (*p >= '0' && *p <= '9');
    if (plain) t += (char)*p;
    else {
      t += '%';
      t += hex[*p >> 4];
      t += hex[*p & 15];
    }
  }
  return t;
}

std::string lookupaddress(const char* tmpl, const char* cf) {
  if (strlen(cf) > LOOKUPMAX) return "";
  const std::string word = percentencoded(cf);
  std::string uri;
  for (const char* p = tmpl; *p && uri.size() <= LOOKUPMAX; p++) {
    if (*p != '%' || !p[1]) uri += *p;
    else if (*++p == 's') uri += word;
    else uri += *p;
  }
  return uri.size() > LOOKUPMAX ? "" : uri;
}

bool openableaddress(const std::string& uri) { return uri.starts_with("http://") || uri.starts_with("https://"); }
