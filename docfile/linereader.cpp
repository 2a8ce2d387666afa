// The document readers' line reader and number parser.
#include "docfile/linereader.h"

#include <climits>
#include <cstring>

bool linereader::next() {
  if (pushed) {
    pushed = false;
    return true;
  }
  line.clear();
  int c = getc_unlocked(f);
  if (c == EOF) return false;
  for (; c != EOF && c != '\n'; c = getc_unlocked(f))
    if (line.size() < LINEKEEP) line.push_back((char)c);
  size_t l = line.size();
  while (l > 0 && ((unsigned char)line[l - 1] < 0x20 || line[l - 1] == 0x7f)) l--;
  line.resize(l);
  return true;
}

bool startswith(const std::string& s, const char* prefix) { return s.compare(0, strlen(prefix), prefix) == 0; }

bool readint(const char*& p, int* v) {
  const char* q = p;
  bool neg = *q == '-';
  if (*q == '-' || *q == '+') q++;
  if (*q < '0' || *q > '9') return false;
  long long n = 0;
  for (; *q >= '0' && *q <= '9'; q++)
    if (n <= INT_MAX) n = n * 10 + (*q - '0');
  if (neg) n = -n;
  *v = n > INT_MAX ? INT_MAX : n < INT_MIN ? INT_MIN : (int)n;
  p = q;
  return true;
}
