// ipuz and .puz: the .puz writer against the format's worked example and a checksum verifier of
// the tests' own, the refusals of both writers, round trips through the importers, an
// independent ipuz reader, and hostile files for each importer.
#include <gio/gio.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "alphabet/alphabet.h"
#include "core/undo.h"
#include "docfile/docfile.h"
#include "docfile/import.h"
#include "docfile/json.h"
#include "export/clueseam.h"
#include "export/interchange.h"
#include "export/kinds.h"
#include "filler/filler.h"
#include "grid/freelight.h"
#include "grid/geometry.h"
#include "grid/lights.h"
#include "grid/zyn.h"
#include "tests/testutil.h"

namespace {

class Interchange : public ::testing::Test {
 protected:
  void SetUp() override { resetdocument(3); }
  void TearDown() override { filler_stop(); }
};

// ---- the tests' own .puz checker, written from the format's description ----

unsigned rot16(const std::string& s, size_t at, size_t n, unsigned c) {
  for (size_t i = at; i < at + n; i++) c = (((c >> 1) | ((c & 1) << 15)) + (unsigned char)s[i]) & 0xffff;
  return c;
}
unsigned le16(const std::string& s, size_t at) { return (unsigned char)s[at] | (unsigned char)s[at + 1] << 8; }

// Every checksum of a .puz file, the header's four and each section's: "" when all are right,
// else the first that is wrong. *sections receives the names of the sections found.
std::string puzproblems(const std::string& b, std::vector<std::string>* sections = nullptr) {
  if (b.size() < 0x34 || b.compare(2, 12, std::string("ACROSS&DOWN\0", 12))) return "no header";
  size_t w = (unsigned char)b[0x2c], h = (unsigned char)b[0x2d], n = le16(b, 0x2e), p = 0x34 + 2 * w * h;
  std::vector<std::pair<size_t, size_t>> strs;  // offset, length
  for (size_t k = 0; k < 4 + n; k++) {
    size_t e = b.find('\0', p);
    if (e == std::string::npos) return "strings run past the end";
    strs.push_back({p, e - p});
    p = e + 1;
  }
  auto text = [&](unsigned c) {
    for (size_t k = 0; k < strs.size(); k++) {
      auto [at, len] = strs[k];
      bool clue = k >= 3 && k < 3 + n;
      if (len) c = rot16(b, at, clue ? len : len + 1, c);
    }
    return c;
  };
  unsigned cib = rot16(b, 0x2c, 8, 0), sol = rot16(b, 0x34, w * h, 0), fill = rot16(b, 0x34 + w * h, w * h, 0);
  if (le16(b, 0x0e) != cib) return "CIB checksum";
  if (le16(b, 0) != text(rot16(b, 0x34 + w * h, w * h, rot16(b, 0x34, w * h, cib)))) return "overall checksum";
  unsigned four[4] = {cib, sol, fill, text(0)};
  for (int i = 0; i < 4; i++)
    if ((unsigned char)b[0x10 + i] != ("ICHE"[i] ^ (four[i] & 0xff)) || (unsigned char)b[0x14 + i] != ("ATED"[i] ^ (four[i] >> 8)))
      return "masked checksum " + std::to_string(i);
  while (p < b.size()) {
    if (p + 8 > b.size()) return "a section header is cut short";
    size_t len = le16(b, p + 4);
    if (p + 9 + len > b.size() || b[p + 8 + len]) return "a section runs past the end";
    if (rot16(b, p + 8, len, 0) != le16(b, p + 6)) return "checksum of " + b.substr(p, 4);
    if (sections) sections->push_back(b.substr(p, 4));
    p += 9 + len;
  }
  return "";
}

std::string hexbytes(const std::string& hex) {
  std::string o;
  for (size_t i = 0; i + 1 < hex.size();) {
    if (hex[i] == ' ' || hex[i] == '\n') {
      i++;
      continue;
    }
    o += (char)std::stoi(hex.substr(i, 2), nullptr, 16);
    i += 2;
  }
  return o;
}

// The 164 bytes of the format description's worked example.
const std::string workedpuz = hexbytes(
    "3afd 4143 524f 5353 2644 4f57 4e00 0052 49d3 115f 1381 a6a8 312e 3300 0000 0000"
    "0000 0000 0000 0000 0000 0000 0303 0400 0100 0000 4341 4241 2e45 544f 452d 2d2d"
    "2d2e 2d2d 2d2d 576f 726b 6564 2065 7861 6d70 6c65 0041 2e20 5365 7474 6572 00a9"
    "2032 3032 3620 412e 2053 6574 7465 7200 5461 7869 0046 656c 696e 6500 4275 7379"
    "2069 6e73 6563 7400 466f 6f74 2064 6967 6974 0048 616e 642d 6d61 6465 2073 616d"
    "706c 6500");

// A plain grid from rows: '#' a block, 'x' a cutout, '.' an empty cell, other characters the
// cell's letter (UTF-8).
void lettered(const std::vector<std::string>& rows) {
  std::vector<std::string> shape;
  for (const std::string& r : rows) {
    std::string s;
    for (const char* p = r.c_str(); *p; p = g_utf8_next_char(p)) s += *p == '#' || *p == 'x' ? *p : '.';
    shape.push_back(s);
  }
  drawgrid(0, shape);
  for (int y = 0; y < (int)rows.size(); y++) {
    int x = 0;
    for (const char* p = rows[y].c_str(); *p; p = g_utf8_next_char(p), x++) {
      int c = uchartoICC((int)g_utf8_get_char(p));
      if (c > 0) sqarray[x][y].charsets[0][0] = 1ULL << (c - 1);
    }
  }
  numbering();
}

// The cells of the document: '#' block, 'x' cutout, else its letters ("." when empty), with
// "|" after a cell with a bar on its right and "_" after one with a bar below.
std::string cells() {
  std::string o;
  for (int y = 0; y < height; y++) {
    for (int x = 0; x < width; x++) {
      const square& s = sqarray[x][y];
      if (s.sqflags & SQF_CUTOUT) o += 'x';
      else if (s.sqflags & SQF_BLOCK) o += '#';
      else {
        std::string t = cellletters(x, y);
        o += t.empty() ? "." : t.size() > 1 ? "(" + t + ")" : t;
        if (s.bars & 1) o += '|';
        if (s.bars & 2) o += '_';
      }
    }
    o += '/';
  }
  return o;
}

std::string numbers() {
  std::string o;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++)
      if (sqarray[x][y].number > 0) o += std::to_string(sqarray[x][y].number) + "@" + std::to_string(x) + "," + std::to_string(y) + " ";
  return o;
}

std::string replaced(std::string s, const std::string& from, const std::string& to) {
  size_t at = s.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? s : s.replace(at, from.size(), to);
}

void add16(std::string& o, unsigned v) { o += (char)(v & 255), o += (char)(v >> 8 & 255); }
void add32(std::string& o, unsigned long v) { add16(o, v & 0xffff), add16(o, v >> 16); }

// A zip archive of one member, deflated by GLib's zlib converter.
std::string zipped(const std::string& name, const std::string& data) {
  GZlibCompressor* z = g_zlib_compressor_new(G_ZLIB_COMPRESSOR_FORMAT_RAW, 6);
  std::string packed;
  std::vector<char> buf(data.size() + 4096);
  gsize read = 0, written = 0;
  g_converter_convert(G_CONVERTER(z), data.data(), data.size(), buf.data(), buf.size(), G_CONVERTER_INPUT_AT_END, &read,
                      &written, nullptr);
  packed.assign(buf.data(), written);
  g_object_unref(z);
  std::string local = "PK\x03\x04", central = "PK\x01\x02", end = "PK\x05\x06";
  add16(local, 20), add16(local, 0), add16(local, 8), add32(local, 0), add32(local, 0);
  add32(local, packed.size()), add32(local, data.size()), add16(local, name.size()), add16(local, 0);
  local += name + packed;
  add16(central, 20), add16(central, 20), add16(central, 0), add16(central, 8), add32(central, 0), add32(central, 0);
  add32(central, packed.size()), add32(central, data.size()), add16(central, name.size());
  for (int i = 0; i < 4; i++) add16(central, 0);
  add32(central, 0), add32(central, 0);
  central += name;
  add16(end, 0), add16(end, 0), add16(end, 1), add16(end, 1), add32(end, central.size()), add32(end, local.size()), add16(end, 0);
  return local + central + end;
}

struct loaded {
  int status;
  std::vector<std::string> msgs;
};

loaded import(const std::string& bytes, const char* suffix) {
  msgcapture cap;
  strlcpy0(filename, writetemp(bytes, suffix).c_str(), SLEN);
  int r = loaddocument(0);
  filler_stop();
  return {r, cap.msgs};
}

// Write with the export item, capturing its messages.
loaded exportas(const char* kind, const std::string& path) {
  msgcapture cap;
  int r = findexportkind(kind)->run(path.c_str());
  return {r, cap.msgs};
}

}  // namespace

TEST_F(Interchange, PuzWriterReproducesTheWorkedExample) {
  puzdata p;
  p.w = p.h = 3;
  p.board = "CABA.ETOE";
  p.title = "Worked example", p.author = "A. Setter", p.copyright = "\xC2\xA9 2026 A. Setter", p.notes = "Hand-made sample";
  p.clues = {"Taxi", "Feline", "Busy insect", "Foot digit"};
  std::string bytes, why;
  ASSERT_TRUE(puzencode(p, &bytes, &why)) << why;
  EXPECT_EQ(bytes.size(), 164u);
  EXPECT_EQ(bytes, workedpuz);
  EXPECT_EQ(puzproblems(workedpuz), "");
  EXPECT_EQ(puzcksum(std::string("CABA.ETOE"), 0), 0xD590u);

  // The checker is no mirror of the writer: each damaged checksum is found.
  for (size_t at : {0x00, 0x0e, 0x12, 0x34, 0x70}) {
    std::string bad = workedpuz;
    bad[at] ^= 1;
    EXPECT_NE(puzproblems(bad), "") << at;
  }
}

TEST_F(Interchange, PuzFromADocumentHasRightChecksumsRebusAndCircles) {
  lettered({"CAB", "A#E", "TOE"});
  strcpy(title, "Worked example");
  std::string path = writetemp("", ".puz");
  ASSERT_EQ(exportas("puz", path).status, 0);
  std::string b = readfile(path);
  std::vector<std::string> sections;
  EXPECT_EQ(puzproblems(b, &sections), "");
  EXPECT_TRUE(sections.empty());
  EXPECT_EQ(b.substr(0x34, 9), "CABA.ETOE");
  EXPECT_EQ(le16(b, 0x2e), 4u);

  // SHOE, SHIP, EAT, PUT: the first cell holds two characters, the U is circled.
  lettered({"HOE", "I#A", "PUT"});
  square& s = sqarray[0][0];
  s.nchars[0] = 2;
  s.charsets[0][0] = 1ULL << (uchartoICC('S') - 1);
  s.charsets[0][1] = 1ULL << (uchartoICC('H') - 1);
  strcpy(owncell(1, 2)->marktexts[1], "\\o");
  ASSERT_EQ(exportas("puz", path).status, 0);
  b = readfile(path);
  sections.clear();
  EXPECT_EQ(puzproblems(b, &sections), "");
  EXPECT_EQ(sections, (std::vector<std::string>{"GRBS", "RTBL", "GEXT"}));
  EXPECT_EQ(b[0x34], 'S');
  EXPECT_NE(b.find(std::string("RTBL\x06\0", 6)), std::string::npos);
  EXPECT_NE(b.find(" 0:SH;"), std::string::npos);

  // Read back: the rebus and the circle survive.
  loaded r = import(b, ".puz");
  ASSERT_EQ(r.status, LOAD_OK) << (r.msgs.empty() ? "" : r.msgs[0]);
  EXPECT_TRUE(r.msgs.empty());
  EXPECT_EQ(cells(), "(SH)OE/I#A/PUT/");
  EXPECT_TRUE(circled(1, 2));

  // A damaged file loads with a warning; a locked one loads without its solution and says so.
  std::string damaged = workedpuz;
  damaged[0x34] = 'K';
  r = import(damaged, ".puz");
  ASSERT_EQ(r.status, LOAD_OK);
  EXPECT_EQ(r.msgs, std::vector<std::string>{"W:The file's checksums do not match; the file may be damaged"});
  EXPECT_EQ(cells(), "KAB/A#E/TOE/");
  std::string locked = workedpuz;
  locked[0x32] = 4;
  r = import(locked, ".puz");
  ASSERT_EQ(r.status, LOAD_OK);
  ASSERT_EQ(r.msgs.size(), 1u);
  EXPECT_NE(r.msgs[0].find("The file's solution is locked (scrambled):\nthe grid is loaded without its letters"), std::string::npos);
  EXPECT_EQ(cells(), ".../.#./.../");
  EXPECT_STREQ(title, "Worked example");
}

TEST_F(Interchange, RefusalsNameTheCellOrLightAndWriteNothing) {
  struct {
    const char* kinds;  // the exports that refuse
    std::function<void()> make;
    const char* why;
  } cases[] = {
      {"ipuz puz", [] { drawgrid(1, {"...", "..."}); }, "it holds plain rectangular grids only"},
      {"ipuz puz", [] { drawgrid(9, {"...", "..."}); }, "this grid is of the type\n\"Torus\""},
      {"puz", [] { lettered({"AB", "CD"}); sqarray[0][1].bars = 1; }, "the cell in row 2, column 1 has a bar"},
      {"ipuz puz", [] { lettered({"AB", "CD"}); setmerge(0, 1, 0, 1); }, "the cell in row 2, column 1 is merged"},
      {"puz", [] { lettered({"ABx", "CDE"}); }, "the cell in row 1, column 3 is cut out of the grid"},
      {"puz", [] { alphaentry(40, "\xCE\x94", "", 0, 0, 0); lettered({"AB", "C\xCE\x94"}); }, "the cell in row 2, column 2 holds \xCE\x94, which is not in Latin-1"},
      {"puz", [] { lettered({"AB", "C."}); }, "the cell in row 2, column 2 has no letter yet"},
      {"puz", [] { lettered({"A#A", "###", "AAA"}); }, "the cell in row 1, column 1 is a light of one cell"},
      {"ipuz puz", [] { lettered({"AB", "CD"}); setfreelight(0, {{0, 0}, {1, 1}}); }, "it cannot hold free lights"},
      {"ipuz puz", [] { lettered({"AB", "CD"}); owncell(1, 1)->unlinked = 1; }, "the cell in row 2, column 2 has lights that need not agree"},
      {"ipuz puz",
       [] {
         lettered({"AB", "CD"});
         sqarray[0][1].lightrec[0].lightown = sqarray[0][1].lightrec[0].nonumber = 1;
         numbering();
       },
       "(Across) has no number"},
      {"puz", [] { lettered({"AB", "CD"}); strcpy(title, "\xCE\xA3 puzzle"); }, "a text holds \xCE\xA3, which is not in Latin-1"},
  };
  std::string dir = tempdir();
  for (auto& c : cases) {
    for (const char* kind : {"ipuz", "puz"}) {
      resetdocument(3);
      c.make();
      std::string path = dir + "/out." + kind;
      loaded r = exportas(kind, path);
      bool refuses = (" " + std::string(c.kinds) + " ").find(std::string(" ") + kind + " ") != std::string::npos;
      struct stat st;
      if (refuses) {
        EXPECT_EQ(r.status, 1) << kind << ": " << c.why;
        ASSERT_EQ(r.msgs.size(), 1u) << kind << ": " << c.why;
        EXPECT_NE(r.msgs[0].find(c.why), std::string::npos) << r.msgs[0];
        EXPECT_EQ(r.msgs[0].rfind(std::string("E:Cannot export to ") + (kind[0] == 'i' ? "ipuz" : ".puz"), 0), 0u) << r.msgs[0];
        EXPECT_NE(stat(path.c_str(), &st), 0) << kind << ": " << c.why;
      } else {
        EXPECT_EQ(r.status, 0) << kind << ": " << c.why << (r.msgs.empty() ? "" : r.msgs[0]);
        unlink(path.c_str());
      }
    }
  }
  // Typographic punctuation in a text becomes its plain form rather than a refusal.
  lettered({"AB", "CD"});
  strcpy(title, "Setter\xE2\x80\x99s \xE2\x80\x9C" "best\xE2\x80\x9D");
  std::string path = dir + "/q.puz";
  ASSERT_EQ(exportas("puz", path).status, 0);
  EXPECT_NE(readfile(path).find(std::string("Setter's \"best\"\0", 16)), std::string::npos);
  runcmd("rm -r " + dir, nullptr, nullptr);
}

TEST_F(Interchange, RoundTripsKeepGridLettersNumbersAndBars) {
  // A blocked 15x15, filled, through both formats.
  strlcpy0(filename, ZYN_SOURCE_DIR "/examples/blocked15.zyn", SLEN);
  ASSERT_EQ(loaddocument(0), LOAD_OK);
  strcpy(copyright, "\xC2\xA9 2026 A. Setter");
  // Every light clued, one with an enumeration of the setter's own.
  auto clueall = [] {
    for (const gridlight& l : gridlights())
      setcluefrom(l.x, l.y, l.d, "Clue \xC3\xA9 " + std::to_string(l.number) + (l.d ? " down" : " across"), l.number == 1 && !l.d ? "2,3" : "");
  };
  auto allclues = [] {
    std::string o;
    for (const gridlight& l : gridlights()) o += cluetextof(l.x, l.y, l.d) + " (" + enumerationof(l.x, l.y, l.d) + ")/";
    return o;
  };
  clueall();
  std::string clues = allclues();
  EXPECT_NE(clues.find("Clue \xC3\xA9 1 across (2,3)/"), std::string::npos);
  std::string grid = cells(), nums = numbers();
  EXPECT_EQ(std::count(nums.begin(), nums.end(), '@'), 28);
  for (const char* kind : {"ipuz", "puz"}) {
    std::string path = writetemp("", kind[0] == 'i' ? ".ipuz" : ".puz");
    ASSERT_EQ(exportas(kind, path).status, 0) << kind;
    resetdocument(5);
    loaded r = import(readfile(path), kind[0] == 'i' ? ".ipuz" : ".puz");
    ASSERT_EQ(r.status, LOAD_OK) << kind;
    EXPECT_TRUE(r.msgs.empty()) << kind << " " << r.msgs[0];
    EXPECT_EQ(cells(), grid) << kind;
    EXPECT_EQ(numbers(), nums) << kind;
    EXPECT_EQ(allclues(), clues) << kind;
    EXPECT_STREQ(title, "A blocked 15x15, filled");
    EXPECT_STREQ(copyright, "\xC2\xA9 2026 A. Setter");
    // A new document without a name: Save asks, proposing the import's own name.
    EXPECT_EQ(havename, 0);
    EXPECT_EQ(std::string(filestem) + (kind[0] == 'i' ? ".ipuz" : ".puz"), std::string(filename));
    strlcpy0(filename, ZYN_SOURCE_DIR "/examples/blocked15.zyn", SLEN);
    ASSERT_EQ(loaddocument(0), LOAD_OK);
    strcpy(copyright, "\xC2\xA9 2026 A. Setter");
    clueall();
  }

  // A barred 13x13 (the example without its merged cells): every bar once, and back again.
  strlcpy0(filename, ZYN_SOURCE_DIR "/examples/barred.zyn", SLEN);
  ASSERT_EQ(loaddocument(0), LOAD_OK);
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++) sqarray[x][y].merge = 0;
  numbering();
  grid = cells(), nums = numbers();
  int bars = 0;
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++) bars += (x + 1 < width && isbar(x, y, 0)) + (y + 1 < height && isbar(x, y, 1));
  ASSERT_GT(bars, 20);
  std::string path = writetemp("", ".ipuz"), text;
  ASSERT_EQ(exportas("ipuz", path).status, 0);
  text = readfile(path);
  size_t written = 0;
  for (size_t at = 0; (at = text.find("\"barred\":\"", at)) != std::string::npos; at++) {
    size_t e = text.find('"', at + 10);
    written += e - at - 10;
  }
  EXPECT_EQ(written, (size_t)bars);
  resetdocument(4);
  loaded r = import(text, ".ipuz");
  ASSERT_EQ(r.status, LOAD_OK);
  EXPECT_EQ(cells(), grid);
  EXPECT_EQ(numbers(), nums);
}

TEST_F(Interchange, IpuzImportTakesEveryCellFormAndWarnsOfOtherNumbers) {
  // Bars given as T and L, a custom block and empty value, numeric strings, styles, a solution
  // of strings and {"value"} objects, clues short and long; numbers that are not Zyn's.
  std::string f = R"({"version":"http://ipuz.org/v1","kind":["http://ipuz.org/crossword#1"],
    "block":"X","empty":"_","dimensions":{"width":4,"height":3},
    "title":"T \u00e9","author":"A","copyright":"C","notes":"N",
    "puzzle":[[1,"_",{"cell":"4","style":{"shapebg":"circle","color":"FF0000"}},"X"],
              ["_",null,"_","X"],
              ["3","_",{"cell":"_","style":{"barred":"TL"}},"X"]],
    "solution":[["C","A",{"value":"b"},"X"],["A",null,"E","X"],["TH","O","E","X"]],
    "clues":{"Across":[[1,"Taxi"],{"number":"3","clue":"Feet","enumeration":"3"}],
             "Down":[{"number":1,"clue":"Cat"},[4,"Bee"]]}})";
  loaded r = import(f, ".ipuz");
  ASSERT_EQ(r.status, LOAD_OK) << (r.msgs.empty() ? "" : r.msgs[0]);
  EXPECT_EQ(cells(), "CAB#/AxE_#/(TH)O|E#/");
  EXPECT_EQ(numbers(), "1@0,0 2@2,0 3@0,2 ");
  EXPECT_STREQ(title, "T \xC3\xA9");
  EXPECT_STREQ(notes, "N");
  EXPECT_TRUE(circled(2, 0));
  EXPECT_EQ(getcprops(2, 0)->bgcolour, 0xFF0000u);
  // The file numbers (2,0) 4 where Zyn's numbering gives 2; its clue still finds that light.
  ASSERT_EQ(r.msgs.size(), 1u);
  EXPECT_EQ(r.msgs[0], "W:The file's light numbers differ from Zyn's numbering;\nZyn's own numbers are used");
}

TEST_F(Interchange, HostileFilesAreRefusedAndLeaveTheDocumentAsItWas) {
  std::string ok = R"({"version":"http://ipuz.org/v2","kind":["http://ipuz.org/crossword#1"],"dimensions":{"width":2,"height":2},)"
                   R"("puzzle":[[1,2],[3,0]],"solution":[["A","B"],["C","D"]],"clues":{"Across":[[1,"a"],[3,"b"]],"Down":[[1,"c"],[2,"d"]]}})";
  auto with = [&](const std::string& from, const std::string& to) { return replaced(ok, from, to); };
  std::string deep = "{\"version\":\"http://ipuz.org/v2\",\"x\":" + std::string(100, '[') + std::string(100, ']') + "}";
  puzdata p;
  p.w = p.h = 2;
  p.board = "ABCD";
  p.clues = {"a", "c", "d", "b"};
  std::string puz, why;
  ASSERT_TRUE(puzencode(p, &puz, &why));
  std::string latin1title;
  p.title = "\xC3\xA9t\xC3\xA9";
  ASSERT_TRUE(puzencode(p, &latin1title, &why));
  p.title = "";
  auto puzwith = [&](size_t at, const std::string& bytes) { return puz.substr(0, at) + bytes + puz.substr(std::min(puz.size(), at + bytes.size())); };
  std::string xml = "<?xml version=\"1.0\"?><crossword-compiler><rectangular-puzzle><crossword><grid width=\"2\" height=\"2\">"
                    "<cell x=\"1\" y=\"1\" solution=\"A\"/></grid></crossword></rectangular-puzzle></crossword-compiler>";
  const struct {
    const char* name;
    std::string bytes;
    const char* suffix;
    const char* reason;
  } cases[] = {
      {"ipuz: truncated", ok.substr(0, 80), ".ipuz", "it is not valid JSON (unterminated string"},
      {"ipuz: trailing comma", with("]]}}", "]],}}"), ".ipuz", "it is not valid JSON (expected a key"},
      {"ipuz: no version", with("\"version\"", "\"versio\""), ".ipuz", "it has no ipuz version 1 or 2"},
      {"ipuz: not a crossword", with("crossword#1", "sudoku#1"), ".ipuz", "it is not an ipuz crossword"},
      {"ipuz: size over 63", with("\"width\":2", "\"width\":64"), ".ipuz", "the grid is 64 by 2"},
      {"ipuz: size as a string", with("\"width\":2", "\"width\":\"2\""), ".ipuz", "its dimensions are missing"},
      {"ipuz: a row too short", with("[3,0]", "[3]"), ".ipuz", "row 2 of \"puzzle\" does not have 2 cells"},
      {"ipuz: wrong type of cell", with("[3,0]", "[3,true]"), ".ipuz", "is neither a number, a block"},
      {"ipuz: deep nesting", deep, ".ipuz", "nesting too deep"},
      {"ipuz: huge string", with("\"a\"]", "\"" + std::string(JSONMAXSTRING + 10, 'x') + "\"]"), ".ipuz", "string too long"},
      {"ipuz: invalid UTF-8", with("\"a\"]", "\"\xC3\x28\"]"), ".ipuz", "invalid UTF-8"},
      {"ipuz: NUL escape", with("\"a\"]", "\"a\\u0000b\"]"), ".ipuz", "NUL in a string"},
      {"ipuz: NUL byte", with("\"a\"]", std::string("\"a\0b\"]", 6)), ".ipuz", "NUL in a string"},
      {"ipuz: duplicate key", with("\"puzzle\"", "\"title\":\"a\",\"title\":\"b\",\"puzzle\""), ".ipuz", "duplicate key \"title\""},
      {"ipuz: duplicate clue", with("[3,\"b\"]", "[3,\"b\"],[3,\"e\"]"), ".ipuz", "there are two clues for the light 3 Across"},
      {"ipuz: clue for no light", with("[2,\"d\"]", "[4,\"d\"]"), ".ipuz", "the clue 4 Down belongs to no light of the grid"},
      {"ipuz: lone surrogate", with("\"a\"]", "\"\\ud800\"]"), ".ipuz", "lone surrogate"},
      {".puz: truncated header", puz.substr(0, 40), ".puz", "the file ends inside its header"},
      {".puz: truncated grid", puz.substr(0, 0x36), ".puz", "the file ends inside its grid"},
      {".puz: clue count past the end", puzwith(0x2e, std::string("\xff\x00", 2)), ".puz", "the file ends inside the clues"},
      {".puz: size over 63", puzwith(0x2c, "\x40"), ".puz", "the grid is 64 by 2"},
      {".puz: no cells", puzwith(0x2c, std::string("\0", 1)), ".puz", "the grid has no cells"},
      {".puz: too few clues", puzwith(0x2e, std::string("\x03\x00", 2)), ".puz", "the file has 3 clues for the 4 lights"},
      {".puz: section past the end", puz + "GEXT" + std::string("\x10\x00\x00\x00", 4) + "abc", ".puz", "the section GEXT runs past the end"},
      {".puz: rebus key missing", puz + "GRBS" + std::string("\x04\x00\x01\x00\x01\x00\x00\x00\x00", 9), ".puz",
       "a rebus cell names key 0, which RTBL does not have"},
      {".puz: a version 2.0 title that is not UTF-8", latin1title.replace(0x18, 3, "2.0"), ".puz", "the title is not UTF-8"},
      {"xml: not well-formed", xml.substr(0, 100), ".xml", "it is not well-formed XML"},
      {"xml: cell outside the grid", replaced(xml, "x=\"1\"", "x=\"3\""), ".xml", "a cell lies outside the grid"},
      {"xml: size over 63", replaced(xml, "width=\"2\"", "width=\"99\""), ".xml", "the grid is 99 by 2"},
      {"xml: clue for a missing word", replaced(xml, "</grid>", "</grid><clues><clue word=\"7\">x</clue></clues>"), ".xml",
       "a clue names the word 7, which the file does not have"},
      {"xml: invalid UTF-8", replaced(xml, "solution=\"A\"", "solution=\"\xC3\x28\""), ".xml", "it is not well-formed XML"},
      {"xml: duplicate clue",
       replaced(xml, "</grid>", "</grid><word id=\"1\" x=\"1-2\" y=\"1\"/><clues><clue word=\"1\">x</clue><clue word=\"1\">y</clue></clues>"),
       ".xml", "there are two clues for the light at row 1, column 1 Across"},
      {"xml: NUL byte", replaced(xml, "<grid", std::string("\0<grid", 6)), ".xml", "it holds a NUL byte"},
  };
  (void)why;
  for (auto& c : cases) {
    lettered({"CAB", "A#E", "TOE"});
    strcpy(title, "Kept");
    strlcpy0(filestem, "/tmp/kept", SLEN);
    havename = 1;
    undo_start();
    loaded r = import(c.bytes, c.suffix);
    EXPECT_EQ(r.status, LOAD_NOFILE) << c.name;
    ASSERT_EQ(r.msgs.size(), 1u) << c.name;
    EXPECT_EQ(r.msgs[0].rfind("E:File format error in ", 0), 0u) << r.msgs[0];
    EXPECT_NE(r.msgs[0].find(c.reason, r.msgs[0].find(":\n")), std::string::npos) << c.name << ": " << r.msgs[0];
    EXPECT_EQ(cells(), "CAB/A#E/TOE/") << c.name;
    EXPECT_STREQ(title, "Kept") << c.name;
    EXPECT_STREQ(filestem, "/tmp/kept") << c.name;
    EXPECT_EQ(havename, 1) << c.name;
  }
}

namespace {

// What the independent npm reader sees in an ipuz file (see tools/npm/xwread.mjs).
jvalue npmread(const std::string& path) {
  std::string out, err;
  int st = runcmd("node " ZYN_SOURCE_DIR "/tools/npm/xwread.mjs " + path, &out, &err);
  EXPECT_EQ(st, 0) << out << err;
  jvalue v;
  std::string why;
  EXPECT_TRUE(jsonparse(out, &v, &why)) << why << out;
  return v;
}

std::string field(const jvalue& v, const char* key) {
  const jvalue* f = v.get(key);
  if (!f) return "(none)";
  if (f->k == jvalue::NUM) return std::to_string((long)f->num);
  if (f->k == jvalue::STR) return f->s;
  std::string o;
  for (const jvalue& e : f->a) o += e.s + "/";
  return o;
}

}  // namespace

TEST_F(Interchange, AnIndependentReaderReadsZynsIpuz) {
  strlcpy0(filename, ZYN_SOURCE_DIR "/examples/blocked15.zyn", SLEN);
  ASSERT_EQ(loaddocument(0), LOAD_OK);
  std::string path = writetemp("", ".ipuz");
  ASSERT_EQ(exportas("ipuz", path).status, 0);
  jvalue v = npmread(path);
  EXPECT_EQ(field(v, "width"), "15");
  EXPECT_EQ(field(v, "height"), "15");
  EXPECT_EQ(field(v, "numbered"), "28");
  EXPECT_EQ(field(v, "title"), title);
  std::string rows;
  for (int y = 0; y < height; y++) {
    for (int x = 0; x < width; x++) rows += std::string(x ? " " : "") + (sqarray[x][y].sqflags & SQF_BLOCK ? "#" : cellletters(x, y));
    rows += "/";
  }
  EXPECT_EQ(field(v, "rows"), rows);
  // Every light's clue at its number (the clue texts are those the document holds).
  std::string across, down;
  for (const gridlight& l : gridlights()) (l.d ? down : across) += std::to_string(l.number) + " " + cluetextof(l.x, l.y, l.d) + "/";
  EXPECT_EQ(field(v, "across"), across);
  EXPECT_EQ(field(v, "down"), down);

  // Bars: each as R or B on the cell left of or above it.
  lettered({"HOPS", "ABLE", "LOAN", "TEND"});
  sqarray[3][0].bars = 2;
  sqarray[2][3].bars = 1;
  numbering();
  ASSERT_EQ(exportas("ipuz", path).status, 0);
  v = npmread(path);
  EXPECT_EQ(field(v, "bars"), "B@3,0 R@2,3");
  EXPECT_EQ(field(v, "numbers"), "1@0,0 2@1,0 3@2,0 4@0,1 5@3,1 6@0,2 7@0,3");
}

TEST_F(Interchange, ZynExportWritesReadsAndRefuses) {
  std::string dir = tempdir(), out, err;
  auto run = [&](const std::string& args) {
    return runcmd("cd " + dir + " && " ZYN_EXPORT_BINARY " " + args, &out, &err);
  };
  const std::string ex = ZYN_SOURCE_DIR "/examples/";
  EXPECT_EQ(run(ex + "blocked15.zyn puz b.puz"), 0) << err;
  EXPECT_EQ(puzproblems(readfile(dir + "/b.puz")), "");
  EXPECT_EQ(run("b.puz ipuz b.ipuz"), 0) << err;
  EXPECT_EQ(run("b.ipuz zyn b.zyn"), 0) << err;
  EXPECT_NE(readfile(dir + "/b.zyn").find("+A blocked 15x15, filled\n"), std::string::npos);
  // -t sets the document's fields for the output.
  EXPECT_EQ(run("-t 'copyright=\xC2\xA9 2026 A. Setter' -t notes=N b.zyn puz m.puz"), 0) << err;
  EXPECT_NE(readfile(dir + "/m.puz").find(std::string("\0\xA9 2026 A. Setter\0", 19)), std::string::npos);
  EXPECT_EQ(run("-t colour=red b.zyn puz m.puz"), 16);
  EXPECT_NE(err.find("Error: Unrecognised document field: colour=red"), std::string::npos) << err;

  // Refusals: exit 16, the reason on standard error, no file.
  std::string greek = "#ZYN2v5 x\nGP 0 2 2 1 0 0\nTTL\n+\nAUT\n+\nALP 1 0 0 0\n+\xCE\x94\n+\nALP 2 0 0 0\n+B\n+\n"
                      "SQCT 0 0 0 \"\xCE\x94\"\nSQCT 1 0 0 \"B\"\nSQCT 0 1 0 \"B\"\nSQCT 1 1 0 \"B\"\nEND\n";
  std::ofstream(dir + "/greek.zyn") << greek;
  struct {
    std::string args;
    const char* msg;
  } refusals[] = {
      {ex + "barred.zyn puz x.puz", "Error: Cannot export to .puz:\nthe cell in row 1, column 3 has a bar\n"},
      {ex + "barred.zyn ipuz x.ipuz", "Error: Cannot export to ipuz:\nthe cell in row 1, column 4 is merged\n"},
      {ex + "hexagonal.zyn puz x.puz", "it holds plain rectangular grids only"},
      {ex + "hexagonal.zyn ipuz x.ipuz", "it holds plain rectangular grids only"},
      {"greek.zyn puz x.puz", "Error: Cannot export to .puz:\nthe cell in row 1, column 1 holds \xCE\x94, which is not in Latin-1\n"},
  };
  for (auto& r : refusals) {
    EXPECT_EQ(run(r.args), 16) << r.args;
    EXPECT_NE(err.find(r.msg), std::string::npos) << r.args << ": " << err;
    struct stat st;
    EXPECT_NE(stat((dir + "/x.puz").c_str(), &st), 0) << r.args;
    EXPECT_NE(stat((dir + "/x.ipuz").c_str(), &st), 0) << r.args;
  }
  // A file that cannot be imported: exit 16 with the reason.
  std::ofstream(dir + "/bad.ipuz") << "{\"version\":\"http://ipuz.org/v2\"}";
  EXPECT_EQ(run("bad.ipuz zyn x.zyn"), 16);
  EXPECT_NE(err.find("Error: File format error in bad.ipuz:\nit is not an ipuz crossword"), std::string::npos) << err;
  runcmd("rm -r " + dir, nullptr, nullptr);
}

TEST_F(Interchange, CopyrightAndNotesAreKeptInRecordsOfVersion6) {
  std::string path = writetemp("", ".zyn");
  strlcpy0(filename, path.c_str(), SLEN);
  ASSERT_EQ(savedocument(), 0);
  std::string plain = readfile(path);
  EXPECT_EQ(plain.rfind("#ZYN2v5 ", 0), 0u);
  EXPECT_EQ(plain.find("CPR"), std::string::npos);

  strcpy(copyright, "\xC2\xA9 2026 A. Setter");
  strcpy(notes, "Hand-made");
  ASSERT_EQ(savedocument(), 0);
  std::string text = readfile(path);
  EXPECT_EQ(text.rfind("#ZYN2v6 ", 0), 0u);
  // After every older group, before the end: the same file but for the first line and the records.
  std::string want = "#ZYN2v6" + plain.substr(7, plain.size() - 11) + "CPR\n+\xC2\xA9 2026 A. Setter\nNOTE\n+Hand-made\nEND\n";
  EXPECT_EQ(text, want);
  copyright[0] = notes[0] = 0;
  msgcapture cap;
  ASSERT_EQ(loaddocument(0), LOAD_OK);
  EXPECT_TRUE(cap.msgs.empty());
  EXPECT_STREQ(copyright, "\xC2\xA9 2026 A. Setter");
  EXPECT_STREQ(notes, "Hand-made");
}

TEST_F(Interchange, CrosswordCompilerXmlAsZynWritesItReadsBack) {
  lettered({"CAB.", "A#Ex", "TOEx"});
  sqarray[0][2].bars = 1;  // a bar right of T: the Across light of row 3 goes
  strcpy(owncell(1, 0)->marktexts[1], "\\o");
  strcpy(title, "X & Y");
  numbering();
  std::string grid = cells(), nums = numbers();
  std::string path = writetemp("", "-ccw.xml");
  {
    msgcapture cap;
    ASSERT_EQ(findexportkind("ccw-xml")->run(path.c_str()), 0);
  }
  filler_stop();
  resetdocument(3);
  loaded r = import(readfile(path), ".xml");
  ASSERT_EQ(r.status, LOAD_OK) << (r.msgs.empty() ? "" : r.msgs[0]);
  EXPECT_TRUE(r.msgs.empty()) << r.msgs[0];
  EXPECT_EQ(cells(), grid);
  EXPECT_EQ(numbers(), nums);
  EXPECT_TRUE(circled(1, 0));
  EXPECT_STREQ(title, "X & Y");
  // The answers Zyn writes where there is no clue text are not taken for clues.
  for (const gridlight& l : gridlights()) EXPECT_EQ(cluetextof(l.x, l.y, l.d), "");

  // The same as a zipped JPZ; a zip that would inflate past the limit is refused.
  resetdocument(3);
  r = import(zipped("puzzle.jpz", readfile(path)), ".jpz");
  ASSERT_EQ(r.status, LOAD_OK) << (r.msgs.empty() ? "" : r.msgs[0]);
  EXPECT_EQ(cells(), grid);
  r = import(zipped("bomb.xml", std::string(IMPORTMAXBYTES + 1, 'a')), ".jpz");
  EXPECT_EQ(r.status, LOAD_NOFILE);
  ASSERT_EQ(r.msgs.size(), 1u);
  EXPECT_NE(r.msgs[0].find("its zipped puzzle cannot be inflated, or is larger than 16 MiB"), std::string::npos) << r.msgs[0];
  r = import(zipped("puzzle.jpz", readfile(path)).substr(0, 100), ".jpz");
  EXPECT_EQ(r.status, LOAD_NOFILE);
}
