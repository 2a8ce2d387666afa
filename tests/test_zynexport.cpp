// zyn-export end to end: documents and word lists in a scratch folder, the built tool run on
// them, and its output file, messages and exit status checked.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <set>
#include <string>

#include "docfile/docfile.h"
#include "filler/filler.h"
#include "grid/pattern.h"
#include "grid/zyn.h"
#include "tests/testutil.h"

namespace {

struct result {
  int status;
  std::string out, err;
};

class Export : public ::testing::Test {
 protected:
  std::string dir;
  void SetUp() override {
    resetengine();
    dir = writetemp("", ".d");
    unlink(dir.c_str());
    mkdir(dir.c_str(), 0755);
  }
  void TearDown() override {
    filler_stop();
    runcmd("rm -rf " + dir, nullptr, nullptr);
  }
  std::string put(const std::string& name, const std::string& text) {
    std::ofstream(dir + "/" + name, std::ios::binary) << text;
    return dir + "/" + name;
  }
  result run(const std::string& args) {
    result r;
    r.status = runcmd("cd " + dir + " && " ZYN_EXPORT_BINARY " " + args, &r.out, &r.err);
    return r;
  }
};

const std::string docfiles = ZYN_SOURCE_DIR "/tests/docfiles/";

// A 2x2 plain grid whose dictionary slot 1 names `dict`.
std::string square2(const std::string& dict) {
  return "#ZYN2v3 x\nGP 0 2 2 1 0 0\nTTL\n+Tiny\nAUT\n+\nDFN 0\n+" + dict + "\nEND\n";
}

}  // namespace

TEST_F(Export, ConvertsGridsToTheNativeFormat) {
  put("legacy.txt", "3 2 1 0 0\n0 1 0\n0 0 0\nA  \n 9C\n");
  result r = run("legacy.txt zyn legacy.zyn");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  std::string out = readfile(dir + "/legacy.zyn");
  EXPECT_EQ(out.rfind("#ZYN2v5 ", 0), 0u);
  EXPECT_NE(out.find("GP 0 3 2 2 0 0\n"), std::string::npos);
  EXPECT_NE(out.find("SQ 1 0 0 0 1 .\n"), std::string::npos);
  EXPECT_NE(out.find("SQCT 2 1 0 \"C\"\n"), std::string::npos);

  put("foreign.txt", "XXympath grid\n[Grid 4 1]\n#Title=Row\n[Light 0 0 4 0]\nText=ZYN\n");
  r = run("foreign.txt zyn foreign.zyn");
  EXPECT_EQ(r.status, 0);
  out = readfile(dir + "/foreign.zyn");
  EXPECT_NE(out.find("TTL\n+Row\n"), std::string::npos);
  EXPECT_NE(out.find("SQCT 1 0 0 \"Y\"\n"), std::string::npos);

  // A native document comes out as it went in, and its free lights as a path file.
  r = run(docfiles + "fltreat.zyn zyn same.zyn");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(readfile(dir + "/same.zyn"), readfile(docfiles + "fltreat.zyn"));
  r = run(docfiles + "fltreat.zyn fl paths.fl.txt");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(readfile(dir + "/paths.fl.txt"), "# Free light export file created by Zyn 0.1 Zyn crossword construction\n"
                                               "# Free light 0\n0 0\n1 0\n1 1\n\n# Free light 1\n3 1\n\n# END\n");
}

TEST_F(Export, FillsAndSaves) {
  put("words.txt", "at\nno\nan\nto\n");
  put("grid.zyn", square2("/nonexistent/words.txt"));
  result r = run("-F 7 -d words.txt -f grid.zyn zyn filled.zyn");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");

  // The fill is in the cells, and -d's list is the document's slot 1 now.
  resetengine();
  strlcpy0(filename, (dir + "/filled.zyn").c_str(), SLEN);
  {
    msgcapture cap;
    ASSERT_EQ(loaddocument(0), LOAD_OK);
  }
  EXPECT_STREQ(dictpaths[0], "words.txt");
  char w[4][3] = {};
  for (int i = 0; i < 2; i++)
    for (int j = 0; j < 2; j++) {
      char c[8];
      abmstodispstr(c, sizeof c, sqarray[j][i].charsets[0], 1);
      ASSERT_EQ(strlen(c), 1u);
      w[i][j] = w[2 + j][i] = c[0];
    }
  std::set<std::string> list = {"AT", "NO", "AN", "TO"}, seen;
  for (auto& s : w) {
    EXPECT_TRUE(list.count(s)) << s;
    seen.insert(s);
  }
  EXPECT_EQ(seen.size(), 4u);  // no answer twice

  put("xyz.txt", "xyz\nab\n");
  r = run("-d xyz.txt -f grid.zyn zyn nofill.zyn");
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.err, "Error: No fill found\nNothing fits 1 Across, 3 Across and 2 Down\n");
  EXPECT_EQ(access((dir + "/nofill.zyn").c_str(), F_OK), -1);
}

// A blank legacy grid of n x n squares with twofold symmetry.
std::string blanklegacy(int n) {
  std::string s = std::to_string(n) + " " + std::to_string(n) + " 1 0 0\n";
  for (int y = 0; y < n; y++) {
    for (int x = 0; x < n; x++) s += x ? " 0" : "0";
    s += "\n";
  }
  for (int y = 0; y < n; y++) s += std::string(n, ' ') + "\n";
  return s;
}

// -g puts the same pattern into the saved document as the command does in the window, for the
// same seed; a pattern the word lists cannot fill is no pattern (status 4), bad settings and
// grids it cannot work on are errors.
TEST_F(Export, GeneratesBlockPatterns) {
  put("blank.txt", blanklegacy(15));
  put("words.txt", "abc\n");
  result r = run("-g british,seed=8,blocks=28-30 blank.txt zyn gen.zyn");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  resetengine();
  strlcpy0(filename, (dir + "/gen.zyn").c_str(), SLEN);
  ASSERT_EQ(loaddocument(0), LOAD_OK);
  std::string saved;
  for (int y = 0; y < 15; y++)
    for (int x = 0; x < 15; x++) saved += sqarray[x][y].sqflags & SQF_BLOCK ? '#' : '.';
  strlcpy0(filename, (dir + "/blank.txt").c_str(), SLEN);
  ASSERT_EQ(loaddocument(0), LOAD_OK);
  patternparams p;
  p.style = PAT_BRITISH, p.seed = 8, p.minshare = 28, p.maxshare = 30;
  patternresult res;
  generateblocks(p, &res);
  ASSERT_EQ(res.status, PS_OK);
  std::string made;
  for (int y = 0; y < 15; y++)
    for (int x = 0; x < 15; x++) made += sqarray[x][y].sqflags & SQF_BLOCK ? '#' : '.';
  EXPECT_EQ(saved, made);
  filler_stop();

  put("blank14.txt", blanklegacy(14));
  const struct {
    const char* args;
    int status;
    std::string err;
  } cases[] = {
      {"-d words.txt -g american blank.txt zyn out.zyn", 4,
       "Error: No pattern found in which every light has words that fit\n"},
      {"-g gothic blank.txt zyn out.zyn", 16, "Error: Unrecognised block pattern: gothic\n"},
      {"-g american,min=x blank.txt zyn out.zyn", 16, "Error: Unrecognised block pattern"},
      {"-g american,size=3 blank.txt zyn out.zyn", 16, "Error: Unrecognised block pattern"},
      {"-g american,blocks=30-20 blank.txt zyn out.zyn", 16, "Error: The pattern settings are out of range\n"},
      {"-g british blank14.txt zyn out.zyn", 16, "Error: The chequered base does not have the grid's symmetry\n"},
      {"-g free " ZYN_SOURCE_DIR "/examples/hexagonal.zyn zyn out.zyn", 16,
       "Error: Blocks can be generated only on a plain rectangular grid\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    r = run(c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.err.substr(0, c.err.size()), c.err);
    EXPECT_EQ(access((dir + "/out.zyn").c_str(), F_OK), -1);
  }
}

TEST_F(Export, ErrorsAndUsage) {
  put("bad.zyn", "#ZYN2v5\nGP 0 3 3\n");
  put("grid.zyn", square2("/nonexistent/words.txt"));
  put("plugin.zyn", "#ZYN2v5 x\nGP 0 3 3 1 0 0\nTTL\n+\nAUT\n+\nTM 0 9 0 0 0\n+/nonexistent/p.so\nEND\n");
  const struct {
    const char* args;
    int status;
    std::string err;  // the start of standard error
  } cases[] = {
      {"missing.zyn zyn out.zyn", 16, "Error: Filing system error: No such file or directory\n"},
      {"bad.zyn zyn out.zyn", 16, "Error: File format error\n"},
      {"grid.zyn pdf out.pdf", 16, "Error: Unknown kind of output: pdf\n"},
      {"-p nosuch=1 grid.zyn zyn out.zyn", 16, "Error: Unrecognised preference setting: nosuch=1\n"},
      {"-p stats_min_check_percent grid.zyn zyn out.zyn", 16, "Error: Unrecognised preference setting"},
      {"-a Klingon grid.zyn zyn out.zyn", 16, "Error: Unrecognised alphabet\n"},
      {"grid.zyn zyn /proc/zyn/out.zyn", 16, "Error: Filing system error: "},
      {"-f grid.zyn zyn out.zyn", 16, "Error: Dictionary 1\nFile not found\n"},
      {"plugin.zyn zyn out.zyn", 16, "Error: Error loading custom plug-in\n\"/nonexistent/p.so\": "},
      {"-p stats_min_check_percent=150 -D 0 grid.zyn zyn out.zyn", 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    result r = run(c.args);
    EXPECT_EQ(r.status, c.status);
    if (c.err.empty()) {
      EXPECT_EQ(r.err, "");
    } else {
      EXPECT_EQ(r.err.substr(0, c.err.size()), c.err);
    }
  }

  result r = run("-?");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("<document> <kind> <output>"), std::string::npos);
  for (const char* args : {"", "grid.zyn zyn", "-x grid.zyn zyn out.zyn", "-b grid.zyn zyn out.zyn"}) {
    r = run(args);
    EXPECT_EQ(r.status, 16) << args;
    EXPECT_NE(r.out.find("Usage: "), std::string::npos) << args;
  }

  // The tool never needs the window's libraries.
  std::string libs;
  runcmd("ldd " ZYN_EXPORT_BINARY, &libs, nullptr);
  EXPECT_NE(libs.find("libglib"), std::string::npos);
  EXPECT_EQ(libs.find("gtk"), std::string::npos);
}

// Every export item of the File menu is a kind; a kind that needs square cells refuses other
// shapes with an error instead of writing nothing.
TEST_F(Export, ExportItemsAreKinds) {
  const std::string hex = ZYN_SOURCE_DIR "/examples/hexagonal.zyn";
  result r = run(hex + " png hex.png");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(readfile(dir + "/hex.png").substr(1, 3), "PNG");
  r = run("-p export_EPS_square_points=20 " + hex + " blank-svg hex.svg");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(readfile(dir + "/hex.svg").find("<svg"), std::string::npos);
  r = run(hex + " blank-html hex.html");
  EXPECT_EQ(r.status, 16);
  EXPECT_EQ(r.err, "Error: Cannot export non-rectangular grids\nto HTML\n");
  EXPECT_EQ(readfile(dir + "/hex.html"), "");
  r = run(hex + " no-such-kind out");
  EXPECT_EQ(r.status, 16);
}
