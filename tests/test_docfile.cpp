// Document files: golden native files, round trips of every field, the format's edge cases and
// errors, legacy and foreign grids, safe saving, new documents and free light path files.
#include <gtest/gtest.h>

#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "alphabet/alphabet.h"
#include "core/message.h"
#include "core/prefs.h"
#include "core/undo.h"
#include "dicts/dicts.h"
#include "docfile/docfile.h"
#include "filler/filler.h"
#include "grid/geometry.h"
#include "grid/lights.h"
#include "grid/select.h"
#include "grid/symm.h"
#include "grid/zyn.h"
#include "treatment/treatment.h"
#include "tests/testutil.h"

namespace {

struct loaded {
  int status;
  std::vector<std::string> msgs;
};

loaded loadpath(const std::string& path, int loaddicts = 0) {
  msgcapture cap;
  strlcpy0(filename, path.c_str(), SLEN);
  int r = loaddocument(loaddicts);
  return {r, cap.msgs};
}

loaded load(const std::string& text) { return loadpath(writetemp(text, ".zyn")); }

std::string save() {
  std::string p = writetemp("", ".zyn");
  strlcpy0(filename, p.c_str(), SLEN);
  msgcapture cap;
  EXPECT_EQ(savedocument(), 0);
  EXPECT_TRUE(cap.msgs.empty());
  return readfile(p);
}

// The required head of a native file: version, grid line, empty title and author.
std::string head(const std::string& gp = "GP 0 3 3 2 0 0", int version = 3) {
  return "#ZYN2v" + std::to_string(version) + " test\n" + gp + "\nTTL\n+\nAUT\n+\n";
}

ABM code(const char* ch) {
  ABM b;
  EXPECT_EQ(parseabm(&b, 1, ch, 0), 1);
  return b;
}

class Doc : public ::testing::Test {
 protected:
  void SetUp() override {
    filestem[0] = 0;
    havename = 0;
    selmode = SEL_CELLS;
    resetdocument(12);
  }
  void TearDown() override {
    filler_stop();
    unloadplugin();
  }
};

}  // namespace

TEST_F(Doc, GoldenFilesComeBackByteForByte) {
  const struct {
    const char* name;
    std::function<void()> check;  // a few fields, to show the file was really read
  } cases[] = {
      {"plain.zyn", [] { EXPECT_TRUE(sqarray[1][0].sqflags & SQF_BLOCK); EXPECT_EQ(sqarray[0][1].charsets[0][0], code("[BC]")); }},
      {"hex.zyn", [] { EXPECT_EQ(gtype, 1); EXPECT_EQ(rotsym, 3); EXPECT_EQ(sqarray[2][0].sqflags, SQF_CUTOUT); }},
      {"barred.zyn",
       [] {
         EXPECT_EQ(sqarray[2][0].merge, 1u);
         EXPECT_EQ(sqarray[3][1].bars, 3u);
         EXPECT_EQ(sqarray[0][1].nchars[0], 2);
         EXPECT_EQ(sqarray[3][0].nchars[0], 0);
         EXPECT_EQ(getcprops(1, 0)->unlinked, 1);
       }},
      {"props.zyn",
       [] {
         EXPECT_EQ(defcell.fgcolour, 0x112233u);
         EXPECT_EQ(deflight.dmask, 6u);
         EXPECT_STREQ(defcell.marktexts[2], "\xc3\x89t\xc3\xa9");
         EXPECT_EQ(getlprops(1, 1, 1)->dmask, 511u);
         EXPECT_STREQ(sqarray[1][1].cellrec.marktexts[5], "\xc3\xbc");
       }},
      {"fltreat.zyn",
       [] {
         EXPECT_EQ(nfreelights, 2);
         EXPECT_EQ(freelights[1].lp.emask, 4u);
         EXPECT_EQ(treattype, TT_LATENT);
         EXPECT_STREQ(treatmsg[1], "AB DE");
         EXPECT_EQ(msgconstr[0][3], ABM_DASH);
         EXPECT_STREQ(dictpaths[8], "words 9.txt");
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string text = readfile(std::string(ZYN_SOURCE_DIR "/tests/docfiles/") + c.name);
    ASSERT_FALSE(text.empty());
    loaded r = load(text);
    ASSERT_EQ(r.status, LOAD_OK);
    EXPECT_TRUE(r.msgs.empty());
    c.check();
    EXPECT_EQ(save(), text);
  }
}

namespace {

// Random UTF-8 text of at most maxbytes bytes with no control characters.
std::string randtext(std::mt19937& rng, size_t maxbytes) {
  static const char* const pieces[] = {"a", "Z", " ", "9", "#", "+", "\"", "\xc3\xa9", "\xe2\x82\xac", "\xf0\x9f\x98\x80"};
  std::string s;
  size_t n = rng() % (maxbytes + 1);
  for (;;) {
    const char* p = pieces[rng() % 10];
    if (s.size() + strlen(p) > n) break;
    s += p;
  }
  return s;
}

ABM randset(std::mt19937& rng) {
  switch (rng() % 4) {
    case 0:
      return ABM_ALL;
    case 1:
      return 1ULL << (rng() % ncodes);
    default:
      return ((ABM)rng() << 32 | rng()) & alphaset;
  }
}

void randlp(std::mt19937& rng, lightprops* l, int own) {
  l->dmask = rng() & 0x1ff;
  l->emask = rng() % 31 + 1;
  l->ten = rng() & 1;
  l->lightown = own ? rng() & 1 : 0;
  l->nonumber = rng() & 1;
  l->layered = rng() & 1;
}

void randcp(std::mt19937& rng, cellprops* c, int own) {
  c->bgcolour = rng() & 0xffffff;
  c->fgcolour = rng() & 0xffffff;
  c->markcolour = rng() & 0xffffff;
  c->treatcell = rng() & 1;
  c->cellown = own ? rng() & 1 : 0;
  c->fontstyle = rng() % 4;
  c->unlinked = rng() % 3;
  for (auto& m : c->marktexts) strlcpy0(m, randtext(rng, MXMK).c_str(), MXMK + 1);
}

// Every saved field of a document filled with random values in range.
void randomdocument(std::mt19937& rng, int gt) {
  gtype = gt;
  width = rng() % 10 + 3;
  height = rng() % 10 + 3;
  docreset();
  do rotsym = rng() % 12 + 1;
  while (!symmrotok(rotsym));
  mirsym = rng() % 4;
  dupsym = rng() % 4;
  strlcpy0(title, randtext(rng, 999).c_str(), SLEN);
  strlcpy0(author, randtext(rng, 999).c_str(), SLEN);
  randlp(rng, &deflight, 0);
  randcp(rng, &defcell, 0);
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++) {
      square& s = sqarray[x][y];
      s.bars = rng() % (1u << ndir());
      s.merge = rng() % (1u << ndir());
      s.sqflags = (unsigned char)(rng() % 3 == 0 ? SQF_BLOCK : rng() % 5 == 0 ? SQF_CUTOUT : 0);
      randcp(rng, &s.cellrec, 1);
      for (int d = 0; d < ndir(); d++) {
        randlp(rng, &s.lightrec[d], 1);
        s.nchars[d] = (int)(rng() % 4);
        if (rng() % 10 == 0) s.nchars[d] = MXCP;
        for (int k = 0; k < s.nchars[d]; k++) s.charsets[d][k] = randset(rng);
      }
    }
  nfreelights = rng() % 5;
  for (int i = 0; i < nfreelights; i++) {
    freelight& f = freelights[i];
    f.n = i == 0 ? MXCL : (int)(rng() % 20) + 1;
    for (int k = 0; k < f.n; k++) f.x[k] = rng() % MXSZ, f.y[k] = rng() % MXSZ;
    randlp(rng, &f.lp, 1);
  }
  do treattype = rng() % NTREATTYPES;
  while (treattype == TT_PLUGIN);
  mustbeword = rng() & 1;
  for (int m = 0; m < 2; m++) {
    allocmode[m] = discretionok(treattype, m) ? rng() % 3 : 0;
    strlcpy0(treatmsg[m], randtext(rng, 3000).c_str(), MXMSGLEN + 1);
    for (int k = 0; k < MXMSGSLOTS; k++)
      if (rng() % 8 == 0) msgconstr[m][k] = randset(rng) | (rng() & 1 ? ABM_DASH : 0);
  }
  for (int d = 0; d < MAXNDICTS; d++) {
    strlcpy0(dictpaths[d], randtext(rng, 999).c_str(), SLEN);
    strlcpy0(dsfilter[d], randtext(rng, 40).c_str(), SLEN);
    strlcpy0(dafilter[d], randtext(rng, 40).c_str(), SLEN);
  }
}

// What a document holds that a file must bring back, with character sets seen through the
// alphabet (a set and its codes within the alphabet are written alike).
std::string snapshot() {
  std::string s;
  auto put = [&](const void* p, size_t n) { s.append((const char*)p, n); };
  auto putint = [&](long long v) { put(&v, sizeof v); };
  auto putstr = [&](const char* t) { s += t, s += '\0'; };
  auto putlp = [&](const lightprops& l) {
    for (long long v : {(long long)l.dmask, (long long)l.emask, (long long)l.ten, (long long)l.lightown,
                        (long long)l.nonumber, (long long)l.layered})
      putint(v);
  };
  auto putcp = [&](const cellprops& c) {
    for (long long v : {(long long)c.bgcolour, (long long)c.fgcolour, (long long)c.markcolour, (long long)c.treatcell,
                        (long long)c.cellown, (long long)c.fontstyle, (long long)c.unlinked})
      putint(v);
    for (auto& m : c.marktexts) putstr(m);
  };
  for (int v : {gtype, width, height, rotsym, mirsym, dupsym, nfreelights, treattype, mustbeword, allocmode[0], allocmode[1]})
    putint(v);
  putstr(title), putstr(author), putstr(pluginpath), putstr(treatmsg[0]), putstr(treatmsg[1]);
  for (int d = 0; d < MAXNDICTS; d++) putstr(dictpaths[d]), putstr(dsfilter[d]), putstr(dafilter[d]);
  for (int c = 1; c <= MAXICC; c++) putstr(icctext[c]), putstr(iccequiv[c]), putint(iccrun[c]);
  putint((long long)atset), putint((long long)hashset), putint((long long)alphaset);
  putlp(deflight), putcp(defcell);
  for (auto& m : msgconstr)
    for (ABM b : m) putint((long long)(b & (alphaset | ABM_DASH)));
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++) {
      const square& q = sqarray[x][y];
      putint(q.bars), putint(q.merge), putint(q.sqflags & (SQF_BLOCK | SQF_CUTOUT));
      putcp(q.cellrec);
      for (int d = 0; d < ndir(); d++) {
        putlp(q.lightrec[d]);
        putint(q.nchars[d]);
        for (int k = 0; k < q.nchars[d]; k++) putint((long long)(q.charsets[d][k] & alphaset));
      }
    }
  for (int i = 0; i < nfreelights; i++) {
    putint(freelights[i].n);
    put(freelights[i].x, sizeof(int) * freelights[i].n);
    put(freelights[i].y, sizeof(int) * freelights[i].n);
    putlp(freelights[i].lp);
  }
  return s;
}

}  // namespace

TEST_F(Doc, EveryFieldSurvivesSaveAndLoad) {
  std::mt19937 rng(12345);
  const struct {
    int alphabet, gtype;
  } cases[] = {{2, 0}, {9, 1}, {0, 2}, {3, 4}, {2, 9}, {9, 12}};
  for (const auto& c : cases) {
    SCOPED_TRACE("gtype " + std::to_string(c.gtype));
    alphaload(c.alphabet);
    randomdocument(rng, c.gtype);
    std::string before = snapshot();
    save();
    gtype = 0, width = height = 12;
    alphaload(1);
    docreset();
    ASSERT_EQ(loadpath(filename).status, LOAD_OK);
    EXPECT_TRUE(snapshot() == before);
    EXPECT_EQ(unsaved, 0);
    EXPECT_EQ(havename, 1);
  }
}

// A slot's minimum score is a record of its own, written only when set: a document without one
// stays version 5, one with one is version 6 and an older reader skips the record.
TEST_F(Doc, MinimumScoresAreWrittenOnlyWhenSet) {
  std::string plain = save();
  EXPECT_EQ(plain.rfind("#ZYN2v5 ", 0), 0u);
  EXPECT_EQ(plain.find("DMS"), std::string::npos);

  dminscore[0] = 40;
  dminscore[8] = 100;
  std::string text = save();
  EXPECT_EQ(text.rfind("#ZYN2v6 ", 0), 0u);
  EXPECT_NE(text.find("\nDMS 0 40\nDMS 8 100\nEND\n"), std::string::npos);
  std::fill_n(dminscore, MAXNDICTS, 7);
  loaded l = loadpath(filename);
  EXPECT_EQ(l.status, LOAD_OK);
  EXPECT_TRUE(l.msgs.empty());  // version 6 is this version
  EXPECT_EQ(dminscore[0], 40);
  EXPECT_EQ(dminscore[8], 100);
  EXPECT_EQ(dminscore[1], 0);  // a slot without a record has no floor

  // Out of range: clamped; a bad slot is skipped; too few fields is a format error.
  EXPECT_EQ(load(head() + "DMS 1 250\nDMS 2 -5\nDMS 9 50\nEND\n").status, LOAD_OK);
  EXPECT_EQ(dminscore[1], 100);
  EXPECT_EQ(dminscore[2], 0);
  EXPECT_NE(load(head() + "DMS 1\nEND\n").status, LOAD_OK);
  std::fill_n(dminscore, MAXNDICTS, 0);
}

TEST_F(Doc, LongTextsComeBackWholeAndLimitsCutAtCharacters) {
  // A message at its limit, made of two-, three- and four-byte characters.
  std::string msg;
  while (msg.size() + 10 <= (size_t)MXMSGLEN) msg += "\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80" "a";
  while (msg.size() < (size_t)MXMSGLEN) msg += "b";
  ASSERT_EQ(msg.size(), (size_t)MXMSGLEN);
  strlcpy0(treatmsg[0], msg.c_str(), MXMSGLEN + 1);
  strlcpy0(author, "after the long line", SLEN);
  save();
  treatmsg[0][0] = 0;
  ASSERT_EQ(loadpath(filename).status, LOAD_OK);
  EXPECT_EQ(std::string(treatmsg[0]), msg);
  EXPECT_STREQ(author, "after the long line");

  // Texts over their limits are cut before the character that would not fit.
  std::string e = "\xc3\xa9";
  std::string file = "#ZYN2v3 x\nGP 0 3 3 2 0 0\nTTL\n+" + std::string(998, 't') + e + "\nAUT\n+" + std::string(999, 'a') +
                     "b\nGSP ffffff 000000 0 0 0 0 000000\nGSPMK 1\n+" + std::string(29, 'm') + e + "\nTMSG 0 1\n+" +
                     std::string(MXMSGLEN - 1, 'x') + e + "\nEND\n";
  ASSERT_EQ(load(file).status, LOAD_OK);
  EXPECT_EQ(std::string(title), std::string(998, 't'));
  EXPECT_EQ(std::string(author), std::string(999, 'a'));
  EXPECT_EQ(std::string(defcell.marktexts[1]), std::string(29, 'm'));
  EXPECT_EQ(std::string(treatmsg[1]), std::string(MXMSGLEN - 1, 'x'));
}

// A path or a filter is kept whole or refused, never cut into another one; a NUL byte is no end
// of a field; a text that is not UTF-8 is read as ISO-8859-1.
TEST_F(Doc, PathsAndTextsAreNeverCutIntoOthers) {
  const std::string skipped = "W:Some lines of the file were not recognised\nand have been skipped.";
  const std::string longpath = "/tmp/" + std::string(990, 'd') + "/words.txt.missing";  // 999 bytes name words.txt
  const std::string nul("\0", 1), fffd = "\xEF\xBF\xBD";
  const struct {
    const char* name;
    std::string records;  // after the head
    std::vector<std::string> msgs;
    std::function<void()> check;
  } cases[] = {
      {"long dictionary path", "DFN 0\n+" + longpath + "\nDFN 1\n+short.txt\n", {skipped},
       [] { EXPECT_STREQ(dictpaths[0], ""); EXPECT_STREQ(dictpaths[1], "short.txt"); }},
      {"long filters", "DSF 0\n+" + std::string(1200, 'f') + "\nDAF 2\n+" + std::string(1000, 'a') + "\n", {skipped},
       [] { EXPECT_STREQ(dsfilter[0], ""); EXPECT_STREQ(dafilter[2], ""); }},
      {"long plug-in path", "TM 0 9 0 0 0\n+" + longpath.substr(0, longpath.size() - 18) + "/plug.so.not-this-file\n",
       {skipped}, [] { EXPECT_EQ(treattype, 0); EXPECT_STREQ(pluginpath, ""); }},
      {"NUL in a path", "DFN 0\n+words.txt" + nul + ".missing\n", {},
       [&] { EXPECT_EQ(std::string(dictpaths[0]), "words.txt" + fffd + ".missing"); }},
      {"ISO-8859-1 mark", "GSP ffffff 000000 0 0 0 0 000000\nGSPMK 0\n+\xE9t\xE9\n", {},
       [] { EXPECT_STREQ(defcell.marktexts[0], "\xc3\xa9t\xc3\xa9"); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    resetdocument(12);
    loaded l = load(head() + c.records + "END\n");
    EXPECT_EQ(l.status, LOAD_OK);
    EXPECT_EQ(l.msgs, c.msgs);
    c.check();
  }
  // The title and author line: a NUL keeps the rest of the text; ISO-8859-1 becomes UTF-8.
  ASSERT_EQ(load("#ZYN2v5 x\nGP 0 3 3 1 0 0\nTTL\n+ab" + nul + "cd\nAUT\n+Andr\xE9\nEND\n").status, LOAD_OK);
  EXPECT_EQ(std::string(title), "ab" + fffd + "cd");
  EXPECT_STREQ(author, "Andr\xc3\xa9");
  ASSERT_EQ(load("XXympath\n[Grid 3 1]\n#Title=Caf\xE9\n[Light 0 0 3 0]\n").status, LOAD_OK);
  EXPECT_STREQ(title, "Caf\xc3\xa9");
  // A path line of a free light file with a NUL inside is no cell followed by nothing.
  msgcapture cap;
  std::string fl = writetemp("1 1" + nul + " 2 2\n", ".fl.txt");
  EXPECT_EQ(importfreelights(fl.c_str()), 1);
  EXPECT_EQ(cap.msgs, std::vector<std::string>{"E:File format error in " + fl + ":\nline 1"});
}

TEST_F(Doc, EdgeCasesOfTheFormat) {
  const struct {
    const char* name;
    std::string file;
    std::vector<std::string> msgs;
    std::function<void()> check;
  } cases[] = {
      {"version 3 has the Roman alphabet with digits", head() + "SQCT 0 0 0 \"Q7\"\nEND\n", {},
       [] { EXPECT_EQ(ncodes, 36); EXPECT_EQ(sqarray[0][0].nchars[0], 2); }},
      {"a newer version loads and warns", head("GP 0 4 5 1 0 0", 7) + "NEWREC 1 2\n+more\nSQ 1 1 0 0 1 .\nEND\n",
       {"W:File was saved using\na newer version of Zyn.\nSome features may be lost."},
       [] { EXPECT_EQ(width, 4); EXPECT_TRUE(sqarray[1][1].sqflags & SQF_BLOCK); }},
      {"order 4 is not allowed on a hexagonal grid of even width", head("GP 1 6 5 4 0 0") + "END\n", {},
       [] { EXPECT_EQ(rotsym, 1); }},
      {"order 3 is allowed where the grid has a centre", head("GP 1 5 5 3 0 0") + "END\n", {},
       [] { EXPECT_EQ(rotsym, 3); }},
      {"symmetry out of range", head("GP 0 5 5 13 4 -1") + "END\n", {},
       [] { EXPECT_EQ(rotsym, 1); EXPECT_EQ(mirsym, 0); EXPECT_EQ(dupsym, 0); }},
      {"font style and unlinked clamped", head() + "GSP 1ffffff 000000 7 1 9 -2\nSQSP 0 0 0 0 0 1 -1 3\nEND\n", {},
       [] {
         EXPECT_EQ(defcell.fontstyle, 3);
         EXPECT_EQ(defcell.unlinked, 2);
         EXPECT_EQ(defcell.bgcolour, 0xffffffu);
         EXPECT_EQ(defcell.treatcell, 1);
         EXPECT_EQ(defcell.cellown, 0);
         EXPECT_EQ(sqarray[0][0].cellrec.fontstyle, 3);
         EXPECT_EQ(sqarray[0][0].cellrec.unlinked, 2);
         EXPECT_EQ(sqarray[0][0].cellrec.markcolour, 0u);
       }},
      {"END right after AUT is an empty document", head("GP 2 7 4 1 1 0") + "END\n", {},
       [] { EXPECT_EQ(gtype, 2); EXPECT_EQ(width, 7); EXPECT_EQ(height, 4); EXPECT_EQ(mirsym, 1); }},
      {"records out of range are skipped",
       head() + "GSPMK 6\n+x\nTM 1 3 0\n+\nTMSG 0 2\n+m\nTCST 2 0 A\nTCST 0 255 A\nDFN 9\n+d\nSQ 70 0 0 0 1 .\nSQ 0 3 0 0 1 .\n"
                "SQSPMK 0 0 6\n+x\nSQLP 0 0 2 5 5 0 1\nVL 252 0 1 1\nVL 0 250 1 1\nVL 0 0 63 1\nVL 0 0 1 -1\nVLP -1 2 2 0 0\n"
                "SQCT 0 0 2 \"A\"\nSQCT 3 0 0 \"A\"\nEND\n",
       {},
       [] {
         for (int x = 0; x < 3; x++)
           for (int y = 0; y < 3; y++) EXPECT_EQ(sqarray[x][y].sqflags, 0) << x << "," << y;
         EXPECT_EQ(treattype, 0);
         EXPECT_EQ(nfreelights, 0);
         EXPECT_EQ(msgconstr[0][0], ABM_ALLDASH);
         EXPECT_FALSE(sqarray[0][0].lightrec[0].lightown);
       }},
      {"an empty pair of quotes holds no characters", head() + "SQCT 1 1 0 \"\"\nSQCT 2 2 1 \"AB C\"\nEND\n", {},
       [] {
         EXPECT_EQ(sqarray[1][1].nchars[0], 0);
         EXPECT_EQ(sqarray[2][2].nchars[1], 2);
       }},
      {"default properties never carry their own flags; a mask of 0 is 1",
       head() + "GLP 1023 0 5 1 2 300\nGSP 0 0 0 1\nSQLP 1 1 0 0 64 1 7\nEND\n", {},
       [] {
         EXPECT_EQ(deflight.dmask, 0x1ffu);
         EXPECT_EQ(deflight.emask, 1u);
         EXPECT_EQ(deflight.lightown, 0);
         EXPECT_EQ(deflight.nonumber, 1);
         EXPECT_EQ(deflight.layered, 1);
         EXPECT_EQ(defcell.cellown, 0);
         EXPECT_EQ(sqarray[1][1].lightrec[0].emask, 1u);
         EXPECT_EQ(sqarray[1][1].lightrec[0].lightown, 1);
       }},
      {"a second GLP line is not read", head() + "GLP 2 1 0 0\nGLP 4 1 0 0\nEND\n",
       {"W:Some lines of the file were not recognised\nand have been skipped."},
       [] { EXPECT_EQ(deflight.dmask, 2u); }},
      {"treatment fields normalised; a plug-in path only for plug-ins",
       head() + "TM 0 5 7 9 1\n+/lib/p.so\nTMSG 0 0\n+AB\nTCST 0 4 [A-C-]\nTCST 1 0 -\nEND\n", {},
       [] {
         EXPECT_EQ(treattype, TT_MISPRINT);
         EXPECT_EQ(mustbeword, 1);
         EXPECT_EQ(allocmode[0], 0);
         EXPECT_STREQ(pluginpath, "");
         EXPECT_STREQ(treatmsg[0], "AB");
         EXPECT_EQ(msgconstr[0][4], code("[A-C]") | ABM_DASH);
         EXPECT_EQ(msgconstr[1][0], ABM_DASH);
       }},
      {"a treatment type out of range is not applied", head() + "TM 0 12 1 1 1\n+\nEND\n", {},
       [] { EXPECT_EQ(treattype, 0); EXPECT_EQ(mustbeword, 0); }},
      {"a record missing its continuation sets nothing, and the next line is read",
       head() + "TMSG 0 0\nTMSG 0 1\n+second\nDFN 0\nSQ 0 0 0 0 1 .\nEND\n", {},
       [] {
         EXPECT_STREQ(treatmsg[0], "");
         EXPECT_STREQ(treatmsg[1], "second");
         EXPECT_STREQ(dictpaths[0], "");
         EXPECT_EQ(sqarray[0][0].sqflags, SQF_BLOCK);
       }},
      {"an old file's letter in SQ", head() + "SQ 0 0 7 7 31 Q\nSQ 1 0 0 0 0 [AB]\nSQ 2 0 0 0 0  \nEND\n", {},
       [] {
         EXPECT_EQ(sqarray[0][0].charsets[0][0], code("Q"));
         EXPECT_EQ(sqarray[0][0].bars, 3u);
         EXPECT_EQ(sqarray[0][0].merge, 3u);
         EXPECT_EQ(sqarray[0][0].sqflags, SQF_BLOCK | SQF_CUTOUT);
         EXPECT_EQ(sqarray[1][0].charsets[0][0], ABM_ALL);
         EXPECT_EQ(sqarray[2][0].charsets[0][0], ABM_ALL);
       }},
      {"CR LF line ends", "#ZYN2v3 x\r\nGP 0 4 4 2 0 0\r\nTTL\r\n+T\r\nAUT\r\n+A\r\nSQ 0 0 0 0 1 .\r\nEND\r\n", {},
       [] { EXPECT_STREQ(title, "T"); EXPECT_EQ(width, 4); EXPECT_EQ(sqarray[0][0].sqflags, SQF_BLOCK); }},
      {"an unknown line or a record out of its place is skipped",
       head("GP 0 3 3 2 0 0", 5) + "DFN 0\n+w.txt\nXYZ 3\n+ignored\n+and this\nSQ 0 0 0 0 1 .\nSQSP 0 0 ff0000 0 0 1\n"
                                   "SQ 1 1 0 0 1 .\nDAF 0\n+late\nSQCT 0 0 0 \"\"\nEND\nafter the end\n",
       {"W:Some lines of the file were not recognised\nand have been skipped."},
       [] {
         EXPECT_STREQ(dictpaths[0], "w.txt");
         EXPECT_EQ(sqarray[0][0].sqflags, SQF_BLOCK);
         EXPECT_EQ(sqarray[0][0].cellrec.bgcolour, 0xff0000u);
         EXPECT_EQ(sqarray[1][1].sqflags, 0);
         EXPECT_STREQ(dafilter[0], "");
         EXPECT_EQ(sqarray[0][0].nchars[0], 0);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    loaded r = load(c.file);
    ASSERT_EQ(r.status, LOAD_OK);
    EXPECT_EQ(r.msgs, c.msgs);
    c.check();
  }
}

TEST_F(Doc, FreeLightRecordsNeverMakeEmptyLights) {
  ASSERT_EQ(load(head() + "VL 0 0 1 1\nVL 2 0 3 3\nVL 2 2 4 4\nVL 5 0 62 0\nVL 99999999999999999999 0 1 1\n"
                          "VL 5 -99999999999999999999 1 1\nVLP 2 4 2 1 1 1 1\nVLP 3 4 2 1 1\nEND\n")
                .status,
            LOAD_OK);
  ASSERT_EQ(nfreelights, 3);
  EXPECT_EQ(freelights[0].n, 1);
  EXPECT_EQ(freelights[1].n, 2);
  EXPECT_EQ(freelights[1].x[1], 4);
  EXPECT_EQ(freelights[1].lp.dmask, 4u);
  EXPECT_EQ(freelights[1].lp.layered, 1);
  EXPECT_EQ(freelights[2].x[0], 62);
  for (int i = 0; i < nfreelights; i++) EXPECT_EQ(freelights[i].sel, 0);
}

// A malformed file of any format leaves the open document, its alphabet, its name and its undo
// ring exactly as they were, and the message names the file.
TEST_F(Doc, FormatErrorsLeaveTheDocumentAsItWas) {
  const std::string barred = "XXympath grid\n[Grid 5 5]\n";
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"empty file", ""},
      {"no grid line", "#ZYN2v5\nTTL\n+\nAUT\n+\nEND\n"},
      {"five grid numbers", "#ZYN2v5\nGP 0 3 3 2 0\nTTL\n+\nAUT\n+\nEND\n"},
      {"grid type 13", head("GP 13 3 3 1 0 0") + "END\n"},
      {"width 0", head("GP 0 0 3 1 0 0") + "END\n"},
      {"height 64", head("GP 0 3 64 1 0 0") + "END\n"},
      {"no title", "#ZYN2v5\nGP 0 3 3 2 0 0\nAUT\n+\nEND\n"},
      {"title without its text", "#ZYN2v5\nGP 0 3 3 2 0 0\nTTL\nAUT\n+\nEND\n"},
      {"no author", "#ZYN2v5\nGP 0 3 3 2 0 0\nTTL\n+\nEND\n"},
      {"no END", head() + "SQ 0 0 0 0 1 .\n"},
      {"too few SQ fields", head() + "SQ 0 0 0 0\nEND\n"},
      {"SQ field not a number", head() + "SQ 0 0 x 0 1 .\nEND\n"},
      {"keyword alone", head() + "SQSP\nEND\n"},
      {"too few SQSP fields", head() + "SQSP 0 0 ffffff 000000 0\nEND\n"},
      {"too few SQLP fields", head() + "SQLP 0 0 0 1 1 0\nEND\n"},
      {"too few GLP fields", head() + "GLP 1 1 0\nEND\n"},
      {"too few ALP fields", "#ZYN2v5\nGP 0 3 3 2 0 0\nTTL\n+\nAUT\n+\nALP 1 0 0\n+A\n+a\nEND\n"},
      {"too few TM fields", head() + "TM 0 1\n+\nEND\n"},
      {"SQCT without its text", head() + "SQCT 0 0 0\nEND\n"},
      {"VL with three numbers", head() + "VL 0 0 1\nEND\n"},
      {"legacy size 64", "64 3 0 0 0\n"},
      {"legacy symmetry code 3", "3 2 3 0 0\n0 0 0\n0 0 0\nABC\nABC\n"},
      {"legacy row too short", "3 2 0 0 0\n0 0\n0 0 0\nABC\nABC\n"},
      {"legacy row too long", "3 2 0 0 0\n0 0 0 0\n0 0 0\nABC\nABC\n"},
      {"legacy square 32", "3 2 0 0 0\n0 32 0\n0 0 0\nABC\nABC\n"},
      {"legacy letters too short", "3 2 0 0 0\n0 0 0\n0 0 0\nAB\nABC\n"},
      {"legacy lower-case letter", "3 2 0 0 0\n0 0 0\n0 0 0\nAbC\nABC\n"},
      {"legacy letters missing", "3 2 0 0 0\n0 0 0\n0 0 0\nABC\n"},
      {"binary junk", std::string("\x00\xff\xfe\x01zyn\n\x80\x80", 10)},
      {"a foreign first line needs 8 bytes", "XXympat\n[Grid 5 5]\n[Light 0 0 5 0]\n"},
      {"foreign grid line missing", "XXympath grid\n#Title=x\n[Light 0 0 5 0]\n"},
      {"foreign grid line malformed", "XXympath grid\n[Grid 5 5\n[Light 0 0 5 0]\n"},
      {"foreign size out of range", "XXympath grid\n[Grid 0 5]\n[Light 0 0 5 0]\n"},
      {"foreign without lights", barred + "#Title=x\nCheckingType=0\n"},
      {"foreign light past the right edge", barred + "[Light 0 0 6 0]\n"},
      {"foreign light reversed", barred + "[Light 3 0 2 0]\n"},
      {"foreign light at a negative column", barred + "[Light -1 0 2 0]\n"},
      {"foreign light at a negative row", barred + "[Light 2 -1 2 3]\n"},
      {"foreign light below the grid", barred + "[Light 0 5 3 5]\n"},
      {"foreign light not straight", barred + "[Light 0 0 2 2]\n"},
      {"foreign later light bad", barred + "[Light 0 0 5 0]\nText=ABCDE\n[Light 0 0 0 9]\n"},
  };
  for (const auto& [name, text] : cases) {
    SCOPED_TRACE(name);
    filler_stop();
    resetdocument(9);
    alphaload(0);  // Roman A-Z: 26 codes, where a load starts with 36
    sqarray[0][0].sqflags = SQF_BLOCK;
    setfreelight(0, {{1, 1}, {2, 2}});
    strlcpy0(title, "Before", SLEN);
    strlcpy0(dictpaths[0], "/my/words.txt", SLEN);
    numbering();
    undo_push();
    strlcpy0(filestem, "/some/folder/previous", SLEN);
    havename = 1;
    unsaved = 1;
    std::string path = writetemp(text, ".zyn");
    loaded r = loadpath(path);
    EXPECT_EQ(r.status, LOAD_BADFORMAT);
    ASSERT_EQ(r.msgs.size(), 1u);
    EXPECT_EQ(r.msgs[0].rfind("E:File format error in " + path + ":\n", 0), 0u) << r.msgs[0];
    EXPECT_EQ(sqarray[0][0].sqflags, SQF_BLOCK);
    EXPECT_EQ(width, 9);
    EXPECT_EQ(nfreelights, 1);
    EXPECT_STREQ(title, "Before");
    EXPECT_STREQ(dictpaths[0], "/my/words.txt");
    EXPECT_STREQ(filestem, "/some/folder/previous");
    EXPECT_EQ(havename, 1);
    EXPECT_EQ(unsaved, 1);
    EXPECT_EQ(undo_steps(), 1);
    EXPECT_EQ(ncodes, 26);
    EXPECT_EQ(sqarray[0][0].number, -1);  // derived data made again
    EXPECT_EQ(sqarray[1][0].number, 1);
  }
}

// Squares are made when a grid first reaches them: a failed load of a larger grid leaves those it
// made unmade again, so that the next larger grid still gets fresh squares.
TEST_F(Doc, FormatErrorOfALargerGridLeavesItsSquaresToBeMade) {
  resetdocument(9);
  sqext = 9;                             // as at start-up: the rest not made yet
  sqarray[20][20].sqflags = SQF_BLOCK;  // what an earlier grid left there
  loaded r = loadpath(writetemp("XXympath grid\n[Grid 30 30]\n[Light 0 0 2 2]\n", ".zyn"));
  EXPECT_EQ(r.status, LOAD_BADFORMAT);
  EXPECT_EQ(width, 9);
  setgridsize(30, 30);
  EXPECT_EQ(sqarray[20][20].sqflags, 0);
  EXPECT_EQ(sqarray[20][20].nchars[0], 1);
}

TEST_F(Doc, FormatErrorKeepsTheWordLists) {
  ASSERT_EQ(loadwords({"apple", "pear", "plum"}), 0);
  fillmode = FM_PROPAGATE;
  loaded r = loadpath(writetemp("#ZYN2v5\n", ".zyn"), 1);
  EXPECT_EQ(r.status, LOAD_BADFORMAT);
  EXPECT_EQ(r.msgs.size(), 1u);
  EXPECT_EQ(atotal, 3);
  // The document gets its background fill back.
  EXPECT_EQ(fillmode, FM_ASSIST);
  dictsfree();
}

TEST_F(Doc, LegacyGrid) {
  ASSERT_EQ(load("4 3 2 1 2\n"
                 "0 1 8 9\n"
                 "2 4 6 17\n"
                 "0 0 0 31\n"
                 "AB 9\n"
                 "    \n"
                 "Z  Q\n")
                .status,
            LOAD_OK);
  EXPECT_EQ(gtype, 0);
  EXPECT_EQ(width, 4);
  EXPECT_EQ(height, 3);
  EXPECT_EQ(rotsym, 4);
  EXPECT_EQ(mirsym, 1);
  EXPECT_EQ(dupsym, 2);
  EXPECT_EQ(sqarray[1][0].sqflags, SQF_BLOCK);
  EXPECT_EQ(sqarray[2][0].sqflags, SQF_CUTOUT);
  EXPECT_EQ(sqarray[3][0].sqflags, SQF_BLOCK | SQF_CUTOUT);
  EXPECT_EQ(sqarray[0][1].bars, 1u);
  EXPECT_EQ(sqarray[1][1].bars, 2u);
  EXPECT_EQ(sqarray[2][1].bars, 3u);
  EXPECT_EQ(sqarray[3][1].sqflags, SQF_BLOCK);
  EXPECT_EQ(sqarray[3][2].bars, 3u);
  EXPECT_EQ(sqarray[0][0].charsets[0][0], code("A"));
  EXPECT_EQ(sqarray[3][0].charsets[0][0], code("9"));
  EXPECT_EQ(sqarray[2][0].charsets[0][0], ABM_ALL);
  EXPECT_EQ(sqarray[3][2].charsets[0][0], code("Q"));
  EXPECT_EQ(ncodes, 36);
  EXPECT_EQ(havename, 1);
}

TEST_F(Doc, ForeignGrids) {
  const std::string top = "XXympath grid\n[Grid 6 4]\n";
  const struct {
    const char* name;
    std::string body;
    std::function<void()> check;
  } cases[] = {
      {"a barred grid keeps bars off its light", "CheckingType=0\n[Light 0 0 5 0]\n",
       [] {
         for (int x = 0; x < 5; x++) EXPECT_EQ(sqarray[x][0].sqflags, 0);
         EXPECT_EQ(sqarray[5][0].sqflags, SQF_BLOCK);
         for (int x = 0; x < 4; x++) EXPECT_FALSE(sqarray[x][0].bars & 1) << x;
         EXPECT_EQ(sqarray[4][0].bars, 3u);
         EXPECT_EQ(sqarray[0][0].bars, 2u);
         EXPECT_EQ(sqarray[2][2].bars, 3u);
         EXPECT_EQ(sqarray[5][3].bars, 0u);
       }},
      {"a vertical light; a blocked grid has no bars", "#Title=Tall\n#Author=Me\nSymmetryType=1\nOther=1\n[Light 2 1 2 4]\nText=ab\xc3\xa9\n",
       [] {
         EXPECT_STREQ(title, "Tall");
         EXPECT_STREQ(author, "Me");
         EXPECT_EQ(sqarray[2][0].sqflags, SQF_BLOCK);
         for (int y = 1; y < 4; y++) EXPECT_EQ(sqarray[2][y].sqflags, 0);
         EXPECT_EQ(sqarray[2][1].charsets[0][0], code("A"));
         EXPECT_EQ(sqarray[2][2].charsets[0][0], code("B"));
         EXPECT_EQ(sqarray[2][3].charsets[0][0], ABM_ALL);
         EXPECT_EQ(sqarray[2][2].bars, 0u);
       }},
      {"cutouts lose their bars and those leading to them", "BlockHole=1\nCheckingType=0\n[Light 0 1 6 1]\n",
       [] {
         EXPECT_EQ(sqarray[0][0].sqflags, SQF_CUTOUT);
         EXPECT_EQ(sqarray[0][0].bars, 0u);
         EXPECT_EQ(sqarray[3][1].bars, 0u);
         EXPECT_EQ(sqarray[5][1].bars, 0u);
         EXPECT_EQ(sqarray[0][2].bars, 0u);
       }},
      {"Number= leaves a light unnumbered", "[Light 0 0 3 0]\nNumber=\n[Light 0 2 3 2]\nNumber=5\n",
       [] {
         EXPECT_EQ(sqarray[0][0].lightrec[0].lightown, 1);
         EXPECT_EQ(sqarray[0][0].lightrec[0].nonumber, 1);
         EXPECT_EQ(sqarray[0][0].number, -1);
         EXPECT_EQ(sqarray[0][2].number, 1);
         EXPECT_EQ(sqarray[0][2].lightrec[0].lightown, 0);
       }},
      {"colours take the low byte", "[Light 1 3 4 3]\nBackgroundColor=256,-1,300\n",
       [] {
         for (int x = 1; x < 4; x++) {
           EXPECT_EQ(sqarray[x][3].cellrec.cellown, 1);
           EXPECT_EQ(sqarray[x][3].cellrec.bgcolour, 0x00ff2cu);
         }
         EXPECT_EQ(sqarray[0][3].cellrec.cellown, 0);
       }},
      {"an empty light at the edge changes nothing", "[Light 6 3 6 3]\nNumber=\nBackgroundColor=1,2,3\nText=A\n[Light 0 0 2 0]\n",
       [] {
         EXPECT_EQ(sqarray[5][3].sqflags, SQF_BLOCK);
         EXPECT_EQ(sqarray[5][3].cellrec.cellown, 0);
         EXPECT_EQ(sqarray[0][0].sqflags, 0);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    gtype = 1, width = height = 5, rotsym = 3, mirsym = 1;
    ASSERT_EQ(load(top + c.body).status, LOAD_OK);
    EXPECT_EQ(gtype, 0);
    EXPECT_EQ(width, 6);
    EXPECT_EQ(height, 4);
    EXPECT_EQ(rotsym, 1);  // a plain grid has no threefold symmetry
    EXPECT_EQ(mirsym, 1);
    c.check();
  }

  // The author is cut at 999 bytes, at a character boundary.
  ASSERT_EQ(load(top + "#Author=" + std::string(998, 'a') + "\xc3\xa9\n[Light 0 0 1 0]\n").status, LOAD_OK);
  EXPECT_EQ(std::string(author), std::string(998, 'a'));
}

TEST_F(Doc, SaveNeverDestroysThePreviousFile) {
  std::string dir = writetemp("", ".d");
  unlink(dir.c_str());
  ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
  std::string path = dir + "/grid.zyn";
  strlcpy0(title, "first", SLEN);
  strlcpy0(filename, path.c_str(), SLEN);
  ASSERT_EQ(savedocument(), 0);
  EXPECT_STREQ(filestem, (dir + "/grid").c_str());
  chmod(path.c_str(), 0640);
  std::string first = readfile(path);

  // A file that cannot be written: reported, nothing changed.
  strlcpy0(title, "second", SLEN);
  sqarray[0][0].sqflags = SQF_BLOCK;
  undo_push();
  {
    msgcapture cap;
    strlcpy0(filename, "/proc/zyn-cannot-be-here.zyn", SLEN);
    EXPECT_EQ(savedocument(), 1);
    ASSERT_EQ(cap.msgs.size(), 1u);
    EXPECT_EQ(cap.msgs[0].rfind("E:Filing system error: ", 0), 0u);
  }
  EXPECT_EQ(unsaved, 1);
  EXPECT_STREQ(filestem, (dir + "/grid").c_str());

  // A write that fails part-way, as on a full disk: the old file stays whole and no
  // temporary file is left behind.
  {
    msgcapture cap;
    for (int x = 0; x < 12; x++) strlcpy0(sqarray[x][0].cellrec.marktexts[1], "long enough to pass the limit", MXMK + 1);
    strlcpy0(filename, path.c_str(), SLEN);
    EXPECT_EQ(withfilesizelimit((long)first.size(), [] { return savedocument(); }), 1);
    EXPECT_EQ(cap.msgs, std::vector<std::string>{"E:Filing system error: File too large"});
  }
  EXPECT_EQ(readfile(path), first);
  EXPECT_EQ(unsaved, 1);
  std::string out, err;
  runcmd("ls -A " + dir, &out, &err);
  EXPECT_EQ(out, "grid.zyn\n");

  // A save through a link replaces the file it names, keeping the link and the permissions.
  std::string link = dir + "/link.zyn";
  ASSERT_EQ(symlink(path.c_str(), link.c_str()), 0);
  strlcpy0(filename, link.c_str(), SLEN);
  ASSERT_EQ(savedocument(), 0);
  EXPECT_STREQ(filestem, (dir + "/link").c_str());
  EXPECT_EQ(unsaved, 0);
  struct stat st;
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_NE(readfile(path).find("+second\n"), std::string::npos);
  runcmd("rm -rf " + dir, nullptr, nullptr);
}

// Save never writes over the legacy or foreign grid a document was read from, and never to a
// name cut short to fit.
TEST_F(Doc, SaveNeverWritesOverTheGridItWasReadFrom) {
  std::string dir = tempdir();
  // A grid file whose whole path is n bytes long, in nested folders.
  auto gridat = [&](size_t n, const std::string& text) {
    std::string p = dir;
    while (n - p.size() - 10 > 250) {
      p += "/" + std::string(199, 'f');
      mkdir(p.c_str(), 0755);
    }
    p += "/" + std::string(n - p.size() - 10, 'g');
    mkdir(p.c_str(), 0755);
    p += "/grid.txt";
    EXPECT_EQ(p.size(), n);
    FILE* f = fopen(p.c_str(), "w");
    fputs(text.c_str(), f);
    fclose(f);
    return p;
  };
  const std::string foreign = "XXympath\n[Grid 3 1]\n[Light 0 0 3 0]\n", legacy = "1 1 0 0 0\n0\nA\n";
  std::string name;
  for (size_t n : {998, 999}) {
    ASSERT_EQ(loadpath(gridat(n, foreign)).status, LOAD_OK);
    EXPECT_EQ(savename(&name), SAVE_TOOLONG) << n;
  }
  // A grid named as a document is not replaced by one; once saved elsewhere, Save goes there.
  std::string old = dir + "/old.zyn";
  FILE* f = fopen(old.c_str(), "w");
  fputs(legacy.c_str(), f);
  fclose(f);
  ASSERT_EQ(loadpath(old).status, LOAD_OK);
  EXPECT_EQ(savename(&name), SAVE_ASK);
  strlcpy0(filename, (dir + "/new.zyn").c_str(), SLEN);
  ASSERT_EQ(savedocument(), 0);
  EXPECT_EQ(savename(&name), SAVE_NAMED);
  EXPECT_EQ(name, dir + "/new.zyn");
  EXPECT_EQ(readfile(old), legacy);
  runcmd("rm -rf " + dir, nullptr, nullptr);
}

TEST_F(Doc, OpeningAFileThatIsNotThereChangesNothing) {
  strlcpy0(title, "kept", SLEN);
  strlcpy0(filestem, "/my/doc", SLEN);
  havename = 1;
  sqarray[2][2].sqflags = SQF_BLOCK;
  fillmode = FM_PROPAGATE;
  loaded r = loadpath("/nonexistent/folder/doc.zyn");
  EXPECT_EQ(r.status, LOAD_NOFILE);
  EXPECT_EQ(r.msgs, std::vector<std::string>{"E:Filing system error: No such file or directory"});
  EXPECT_STREQ(title, "kept");
  EXPECT_STREQ(filestem, "/my/doc");
  EXPECT_EQ(sqarray[2][2].sqflags, SQF_BLOCK);
  EXPECT_EQ(fillmode, FM_ASSIST);  // the background fill was restarted
}

TEST_F(Doc, ADocumentNamingAPlugInAsksFirst) {
  std::string file = head() + "TM 0 9 0 0 0\n+/nonexistent/zyn/plugin.so\nEND\n";
  static std::string asked;
  {
    msgcapture cap;
    ui.askplugin = [](const char* p) {
      asked = p;
      return 0;
    };
    strlcpy0(filename, writetemp(file, ".zyn").c_str(), SLEN);
    EXPECT_EQ(loaddocument(0), LOAD_OK);
    EXPECT_TRUE(cap.msgs.empty());
  }
  EXPECT_EQ(asked, "/nonexistent/zyn/plugin.so");
  EXPECT_STREQ(pluginpath, "/nonexistent/zyn/plugin.so");
  EXPECT_FALSE(pluginloaded());

  // Without the question the plug-in is loaded, and a failure reported.
  ui.askplugin = nullptr;
  loaded r = load(file);
  EXPECT_EQ(r.status, LOAD_OK);
  ASSERT_EQ(r.msgs.size(), 1u);
  EXPECT_EQ(r.msgs[0].rfind("E:Error loading custom plug-in\n\"/nonexistent/zyn/plugin.so\": ", 0), 0u);
  EXPECT_EQ(treattype, TT_PLUGIN);
}

TEST_F(Doc, NewDocumentsFromTheirCodes) {
  auto blocks = [] {
    int n = 0;
    for (int x = 0; x < width; x++)
      for (int y = 0; y < height; y++) n += sqarray[x][y].sqflags == SQF_BLOCK;
    return n;
  };
  const struct {
    int code, gt, w, h, nblocks;
    std::vector<std::pair<int, int>> blocked;
  } cases[] = {
      {13 << 16 | 13 << 8 | 0, 0, 13, 13, 36, {{1, 1}, {11, 11}}},
      {15 << 16 | 15 << 8 | 3, 0, 15, 15, 64, {{0, 0}, {14, 14}, {0, 14}}},
      {15 << 16 | 15 << 8 | 1, 0, 15, 15, 56, {{0, 1}, {14, 13}}},
      {15 << 16 | 15 << 8 | 2, 0, 15, 15, 56, {{1, 0}, {13, 14}}},
      {11 << 16 | 13 << 8 | 128, 0, 11, 13, 0, {}},
      {63 << 16 | 63 << 8 | 128, 0, 63, 63, 0, {}},
      {0, 1, 5, 5, 0, {}},                  // the current shape and size
      {64 << 16 | 5 << 8, 1, 5, 5, 0, {}},  // out of range: the same
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    gtype = 1, width = height = 5, rotsym = 3;
    strlcpy0(title, "T", SLEN);
    strlcpy0(author, "A", SLEN);
    sqarray[3][3].sqflags = SQF_CUTOUT;
    nfreelights = 1;
    freelights[0].n = 1;
    undo_push();
    newdocument(c.code);
    EXPECT_EQ(gtype, c.gt);
    EXPECT_EQ(width, c.w);
    EXPECT_EQ(height, c.h);
    EXPECT_EQ(blocks(), c.nblocks);
    for (auto [x, y] : c.blocked) EXPECT_EQ(sqarray[x][y].sqflags, SQF_BLOCK) << x << "," << y;
    EXPECT_EQ(nfreelights, 0);
    EXPECT_STREQ(title, "T");
    EXPECT_STREQ(author, "A");
    EXPECT_EQ(rotsym, c.gt ? 3 : 1);
    EXPECT_EQ(unsaved, 0);
    EXPECT_EQ(havename, 0);
    EXPECT_EQ(undo_steps(), 0);
  }

  int n13 = 0;
  for (int i = 0; i < NDOCTEMPLATES; i++) {
    for (int j = 0; j < i; j++) EXPECT_NE(doctemplates[i].code, doctemplates[j].code);
    n13 += !strcmp(doctemplates[i].submenu, "Blocked 13x13 template");
  }
  EXPECT_EQ(n13, 4);
  EXPECT_STREQ(doctemplates[37].submenu, "Blocked 25x25 template");
  EXPECT_STREQ(doctemplates[37].label, "Unches on all edges");
  EXPECT_EQ(doctemplates[37].code, 25 << 16 | 25 << 8 | 3);
}

TEST_F(Doc, FileStemAndTitleText) {
  strlcpy0(filestem, "/home/me/puzzles/old", SLEN);
  newdocument(0);
  EXPECT_STREQ(filestem, "/home/me/puzzles/untitled");
  filestem[0] = 0;
  newdocument(0);
  std::string stem = filestem;
  EXPECT_TRUE(stem == "untitled" || stem.ends_with("/untitled")) << stem;

  setfilestem("/a/b.zyn.zyn");
  EXPECT_STREQ(filestem, "/a/b.zyn");
  setfilestem("/a/grid.txt");
  EXPECT_STREQ(filestem, "/a/grid.txt");

  const struct {
    const char *t, *stem, *a, *want;
  } cases[] = {
      {"Prize puzzle", "/x/y", "", "Prize puzzle"},
      {"", "/x/y", "Ann", "y by Ann"},
      {"", "y", "", "y"},  // opened from the command line by a relative name, or saved by a full one
      {"", "", "Ann", "(untitled) by Ann"},
      {"", "", "", "(untitled)"},
  };
  for (const auto& c : cases) {
    strlcpy0(title, c.t, SLEN);
    strlcpy0(filestem, c.stem, SLEN);
    strlcpy0(author, c.a, SLEN);
    EXPECT_EQ(titletext(), c.want);
    EXPECT_EQ(windowtitle(), std::string("Zyn: ") + c.want);
  }
}

TEST_F(Doc, FreeLightPathFiles) {
  nfreelights = 2;
  freelights[0].n = 3;
  int xs[3] = {0, 5, 62}, ys[3] = {1, 6, 62};
  for (int k = 0; k < 3; k++) freelights[0].x[k] = xs[k], freelights[0].y[k] = ys[k];
  freelights[0].lp.dmask = 7;
  freelights[1].n = 1;
  freelights[1].x[0] = freelights[1].y[0] = 2;
  std::string path = writetemp("", ".fl.txt");
  ASSERT_EQ(exportfreelights(path.c_str()), 0);
  EXPECT_EQ(readfile(path), std::string("# Free light export file created by Zyn ") + "0.1 Zyn crossword construction\n" +
                                "# Free light 0\n0 1\n5 6\n62 62\n\n# Free light 1\n2 2\n\n# END\n");

  // Importing brings the paths back with default properties, as a change of the document.
  nfreelights = 0;
  unsaved = 0;
  int steps = undo_steps();
  ASSERT_EQ(importfreelights(path.c_str()), 0);
  ASSERT_EQ(nfreelights, 2);
  EXPECT_EQ(freelights[0].n, 3);
  EXPECT_EQ(freelights[0].x[2], 62);
  EXPECT_EQ(freelights[0].lp.dmask, 1u);
  EXPECT_EQ(freelights[1].y[0], 2);
  EXPECT_EQ(unsaved, 1);
  EXPECT_EQ(undo_steps(), steps + 1);

  // Blank lines end a light without making an empty one; a file of comments removes them all.
  ASSERT_EQ(importfreelights(writetemp("1 1\n\n\n  \n2 2\n3\t3\n# c\n\n").c_str()), 0);
  EXPECT_EQ(nfreelights, 2);
  EXPECT_EQ(freelights[1].n, 2);
  ASSERT_EQ(importfreelights(writetemp("# nothing\n").c_str()), 0);
  EXPECT_EQ(nfreelights, 0);

  // Lines after the 252nd light are ignored.
  std::string many;
  for (int i = 0; i < MXFL + 3; i++) many += "4 4\n\n";
  many += "junk\n";
  ASSERT_EQ(importfreelights(writetemp(many).c_str()), 0);
  EXPECT_EQ(nfreelights, MXFL);

  // Format errors change nothing.
  std::string longlight;
  for (int i = 0; i <= MXCL; i++) longlight += "1 2\n";
  for (const std::string& bad : {longlight, std::string("1 63\n"), std::string("1\n"), std::string("1 2 3\n"),
                                 std::string("-1 2\n"), std::string("a b\n")}) {
    msgcapture cap;
    fillmode = FM_PROPAGATE;
    std::string path = writetemp(bad);
    EXPECT_EQ(importfreelights(path.c_str()), 1);
    ASSERT_EQ(cap.msgs.size(), 1u);
    EXPECT_EQ(cap.msgs[0].rfind("E:File format error in " + path + ":\nline ", 0), 0u);
    EXPECT_EQ(nfreelights, MXFL);
    EXPECT_EQ(fillmode, FM_ASSIST);  // the background fill was restarted
  }
  msgcapture cap;
  EXPECT_EQ(importfreelights("/nonexistent/x.fl.txt"), 1);
  EXPECT_EQ(cap.msgs, std::vector<std::string>{"E:Filing system error: No such file or directory"});
  EXPECT_EQ(exportfreelights("/proc/zyn.fl.txt"), 1);
  EXPECT_EQ(nfreelights, MXFL);
}
