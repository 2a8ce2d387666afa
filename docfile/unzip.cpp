// Reading one member of a zip archive (a compressed JPZ puzzle): the central directory gives
// each member's name, method and sizes; a stored member is copied, a deflated one inflated by
// zipinflate, never beyond a limit, so that a small hostile archive cannot become a huge text.
#include <cstring>

#include "docfile/import.h"

bool (*zipinflate)(const std::string& in, std::string* out, size_t limit);

namespace {

unsigned get16(const std::string& s, size_t at) { return (unsigned char)s[at] | (unsigned char)s[at + 1] << 8; }
unsigned long get32(const std::string& s, size_t at) { return get16(s, at) | (unsigned long)get16(s, at + 2) << 16; }

}  // namespace

bool unzipmember(const std::string& zip, std::string* out, std::string* why) {
  // The end of the central directory: its signature within the last 64 KiB and 22 bytes.
  size_t end = std::string::npos, lo = zip.size() > 65557 ? zip.size() - 65557 : 0;
  for (size_t i = zip.size() >= 22 ? zip.size() - 21 : 0; i-- > lo;)
    if (!zip.compare(i, 4, "PK\x05\x06")) {
      end = i;
      break;
    }
  if (end == std::string::npos) {
    *why = "it is a zip archive without its directory";
    return false;
  }
  unsigned n = get16(zip, end + 10);
  size_t p = get32(zip, end + 16);
  for (unsigned k = 0; k < n; k++) {
    if (p + 46 > zip.size() || zip.compare(p, 4, "PK\x01\x02")) break;
    unsigned method = get16(zip, p + 10), nlen = get16(zip, p + 28);
    size_t csize = get32(zip, p + 20), local = get32(zip, p + 42);
    if (p + 46 + nlen > zip.size()) break;
    std::string name = zip.substr(p + 46, nlen);
    p += 46 + nlen + get16(zip, p + 30) + get16(zip, p + 32);
    size_t dot = name.rfind('.');
    std::string ext = dot == std::string::npos ? "" : name.substr(dot);
    if (ext != ".xml" && ext != ".jpz" && ext != ".XML" && ext != ".JPZ" && n > 1) continue;
    if (local + 30 > zip.size() || zip.compare(local, 4, "PK\x03\x04")) break;
    size_t data = local + 30 + get16(zip, local + 26) + get16(zip, local + 28);
    if (data > zip.size() || csize > zip.size() - data) break;
    std::string member = zip.substr(data, csize);
    if (method == 0) {
      *out = member;
      return true;
    }
    if (method == 8 && !zipinflate) {
      *why = "this program does not inflate zipped puzzles";
      return false;
    }
    if (method == 8 && zipinflate(member, out, IMPORTMAXBYTES)) return true;
    *why = method == 8 ? "its zipped puzzle cannot be inflated, or is larger than 16 MiB"
                       : "its zipped puzzle is compressed in a way Zyn does not read";
    return false;
  }
  *why = "the zip archive holds no XML puzzle, or its directory is damaged";
  return false;
}
