// The look-up entries of the feasible-word list's pop-up menu: the address a template gives
// for a word, and which addresses may be opened. GTK-free.
#pragma once

#include <string>

constexpr size_t LOOKUPMAX = 1000;  // longest citation form and longest address, in bytes

// The template with every "%s" replaced by the citation form cf, each byte of it that is not
// an ASCII letter or digit written as "%" and two upper-case hexadecimal digits (so a UTF-8
// character becomes its encoded bytes); "%" followed by any other character gives that
// character, and a "%" that ends the template stays "%". Empty when cf or the address would be
// longer than LOOKUPMAX bytes.
std::string lookupaddress(const char* tmpl, const char* cf);
// Only web addresses are handed to the system: those starting "http://" or "https://".
bool openableaddress(const std::string& uri);
