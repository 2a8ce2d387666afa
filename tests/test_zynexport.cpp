// zyn-export end to end: documents and word lists in a scratch folder, the built tool run on
// them, and its output file, messages and exit status checked.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <set>
#include <string>

#include "dicts/dicts.h"
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

  // -m gives slot 1 a minimum score that leaves out a word the only fill needs; the saved
  // document keeps it.
  put("scored.txt", "at;60\nno;60\nan;60\nto;20\n");
  r = run("-d scored.txt -m 30 -f grid.zyn zyn nofill.zyn");
  EXPECT_EQ(r.status, 4);
  r = run("-d scored.txt -m 20 -f grid.zyn zyn floor.zyn");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(readfile(dir + "/floor.zyn").find("\nDMS 0 20\nEND\n"), std::string::npos);
  r = run("-m 101 grid.zyn zyn x.zyn");
  EXPECT_EQ(r.status, 16);
  EXPECT_EQ(r.err, "Error: Minimum score must be 0..100: 101\n");
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
  // A format error after the grid: the restored document restarts the assistance's fill, which
  // must be stopped before the error ends the run.
  put("badclue.zyn", "#ZYN2v6 t\nGP 0 5 5 1 0 0\nTTL\n+\nAUT\n+\nCLU 0 0\n+Taxi\n+\nEND\n");
  put("grid.zyn", square2("/nonexistent/words.txt"));
  put("plugin.zyn", "#ZYN2v5 x\nGP 0 3 3 1 0 0\nTTL\n+\nAUT\n+\nTM 0 9 0 0 0\n+/nonexistent/p.so\nEND\n");
  const struct {
    const char* args;
    int status;
    std::string err;  // the start of standard error
  } cases[] = {
      {"missing.zyn zyn out.zyn", 16, "Error: Filing system error: No such file or directory\n"},
      {"bad.zyn zyn out.zyn", 16, "Error: File format error in bad.zyn:\nline 2\n"},
      {"badclue.zyn svg out.svg", 16, "Error: File format error in badclue.zyn:\nline 7\n"},
      {"grid.zyn pdf out.pdf", 16, "Error: Unknown kind of output: pdf\n"},
      {"-p nosuch=1 grid.zyn zyn out.zyn", 16, "Error: Unrecognised preference setting: nosuch=1\n"},
      {"-p stats_min_check_percent grid.zyn zyn out.zyn", 16, "Error: Unrecognised preference setting"},
      {"-a Klingon grid.zyn zyn out.zyn", 16, "Error: Unrecognised alphabet\n"},
      {"grid.zyn zyn /proc/zyn/out.zyn", 16, "Error: Filing system error: "},
      {"-f grid.zyn zyn out.zyn", 16, "Error: Dictionary 1\nFile not found\n"},
      {"-P plugin.zyn zyn out.zyn", 16, "Error: Error loading custom plug-in\n\"/nonexistent/p.so\": "},
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

TEST_F(Export, ImportsCluesBeforeWriting) {
  put("grid.zyn", "#ZYN2v5 x\nGP 0 3 3 1 0 0\nTTL\n+Cabs\nAUT\n+\nSQ 1 1 0 0 1 .\nEND\n");
  put("clues.txt", "1A Taxi\n2D Down (1,2)\n");
  result r = run("-c clues.txt grid.zyn clues-txt out.txt");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(readfile(dir + "/out.txt"), "1A Taxi (3)\n3A (3)\n1D (3)\n2D Down (1,2)\n");
  r = run("-c clues.txt grid.zyn zyn clued.zyn");
  ASSERT_EQ(r.status, 0) << r.err;
  std::string doc = readfile(dir + "/clued.zyn");
  EXPECT_EQ(doc.rfind("#ZYN2v6 ", 0), 0u);
  EXPECT_NE(doc.find("\nCLU 0 0 0\n+Taxi\n+\nCLU 2 0 1\n+Down\n+1,2\nEND\n"), std::string::npos) << doc;
  // A bad clue file ends the run before anything is written.
  put("bad.txt", "1A Taxi\n1A Again\n");
  r = run("-c bad.txt grid.zyn puzzle-pdf out.pdf");
  EXPECT_EQ(r.status, 16);
  EXPECT_NE(r.err.find("line 2: a second clue for 1A"), std::string::npos) << r.err;
  EXPECT_FALSE(std::ifstream(dir + "/out.pdf").good());
}

// What is at the output path decides how it is written: a regular file is replaced whole, a link
// is followed, and a device or a pipe is written into, with its failure reported.
TEST_F(Export, WritesIntoWhatIsAtTheOutputPath) {
  if (geteuid() != 0) GTEST_SKIP() << "mknod needs root";
  put("grid.zyn", square2(""));
  auto isa = [&](const std::string& name, mode_t type) {
    struct stat st;
    return lstat((dir + "/" + name).c_str(), &st) == 0 && (st.st_mode & S_IFMT) == type;
  };
  // A device that is always full: the failure is the device's, and the device stays.
  ASSERT_EQ(runcmd("mknod " + dir + "/full c 1 7", nullptr, nullptr), 0);
  result r = run("grid.zyn zyn full");
  EXPECT_EQ(r.status, 16);
  EXPECT_EQ(r.err, "Error: Filing system error: No space left on device\n");
  EXPECT_TRUE(isa("full", S_IFCHR));

  // A FIFO reaches its reader.
  ASSERT_EQ(runcmd("mkfifo " + dir + "/pipe", nullptr, nullptr), 0);
  r.status = runcmd("cd " + dir + " && { " ZYN_EXPORT_BINARY " grid.zyn svg pipe & timeout 20 cat pipe > got.svg; wait; }", &r.out, &r.err);
  EXPECT_NE(readfile(dir + "/got.svg").find("<svg"), std::string::npos);
  EXPECT_TRUE(isa("pipe", S_IFIFO));

  // A link to standard output (what /dev/stdout is) writes into the pipe the tool was given.
  ASSERT_EQ(symlink("/proc/self/fd/1", (dir + "/stdout").c_str()), 0);
  r = run("grid.zyn svg stdout | cat");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("<svg"), std::string::npos);
  EXPECT_TRUE(isa("stdout", S_IFLNK));

  // A dangling link creates the file it names; a link to a file replaces that file.
  ASSERT_EQ(symlink("sub/new.zyn", (dir + "/dangling").c_str()), 0);
  mkdir((dir + "/sub").c_str(), 0755);
  put("old.zyn", "old");
  ASSERT_EQ(symlink("old.zyn", (dir + "/tofile").c_str()), 0);
  for (const char* name : {"dangling", "tofile"}) {
    r = run(std::string("grid.zyn zyn ") + name);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(isa(name, S_IFLNK)) << name;
  }
  EXPECT_EQ(readfile(dir + "/sub/new.zyn").rfind("#ZYN2", 0), 0u);
  EXPECT_EQ(readfile(dir + "/old.zyn").rfind("#ZYN2", 0), 0u);
}

// The file's own permissions decide whether it may be written, as for the shell: a read-only
// file is refused, and a writable file in a folder the user may not write is written in place.
TEST_F(Export, PermissionsFollowTheFile) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  put("grid.zyn", square2(""));
  mkdir((dir + "/mine").c_str(), 0755);
  mkdir((dir + "/theirs").c_str(), 0755);
  std::string ro = put("mine/ro.zyn", "read-only"), rw = put("theirs/rw.zyn", "writable");
  ASSERT_EQ(chown((dir + "/mine").c_str(), 65534, 65534), 0);
  ASSERT_EQ(chown(ro.c_str(), 65534, 65534), 0);
  ASSERT_EQ(chown(rw.c_str(), 65534, 65534), 0);
  chmod(ro.c_str(), 0444);
  chmod(dir.c_str(), 0755);
  struct stat before, after;
  stat(rw.c_str(), &before);
  const std::string as = "setpriv --reuid=65534 --regid=65534 --clear-groups " ZYN_EXPORT_BINARY " grid.zyn zyn ";
  result r;
  r.status = runcmd("cd " + dir + " && " + as + ro, &r.out, &r.err);
  EXPECT_EQ(r.status, 16);
  EXPECT_EQ(r.err, "Error: Filing system error: Permission denied\n");
  EXPECT_EQ(readfile(ro), "read-only");
  r.status = runcmd("cd " + dir + " && " + as + rw, &r.out, &r.err);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(readfile(rw).rfind("#ZYN2", 0), 0u);
  stat(rw.c_str(), &after);
  EXPECT_EQ(after.st_ino, before.st_ino);
}

// A save removes the temporary files that killed saves left in its folder, and only those.
TEST_F(Export, SaveSweepsStaleTemporaries) {
  put("grid.zyn", square2(""));
  std::string stale = put(".zynsaveAbC123", "killed"), busy = put(".zynsaveXyZ789", "running");
  chmod(stale.c_str(), 0600);
  chmod(busy.c_str(), 0600);
  ASSERT_EQ(runcmd("touch -d 2001-01-01 " + stale + " && touch -d '+1 hour' " + busy, nullptr, nullptr), 0);
  result r = run("grid.zyn zyn out.zyn");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(access(stale.c_str(), F_OK), -1);
  EXPECT_EQ(readfile(busy), "running");
}

// A write that fails part-way says why, as the save does, and leaves nothing the export made.
TEST_F(Export, FailedWritesSayWhyAndLeaveNothing) {
  put("words.txt", "at\nno\nan\nto\n");
  put("grid.zyn", square2("words.txt"));
  for (const char* kind : {"blank-html", "solution-html-svg", "svg", "zyn"}) {
    SCOPED_TRACE(kind);
    result r;
    r.status = runcmd("cd " + dir + " && trap '' XFSZ && ulimit -f 1 && " ZYN_EXPORT_BINARY " grid.zyn " + kind + " out",
                      &r.out, &r.err);
    EXPECT_EQ(r.status, 16);
    EXPECT_NE(r.err.find("Error: Filing system error: File too large\n"), std::string::npos) << r.err;
    EXPECT_EQ(access((dir + "/out_files").c_str(), F_OK), -1);
    std::string left;
    runcmd("ls -A " + dir, &left, nullptr);
    EXPECT_EQ(left, "grid.zyn\nwords.txt\n");
  }
}

// A document's plug-in runs only when -P allows it; a bare plug-in name is a file beside the
// document, never a library the system's search finds.
TEST_F(Export, PlugInsRunOnlyWhenAllowedAndSitBesideTheDocument) {
  mkdir((dir + "/docs").c_str(), 0755);
  std::string err;
  ASSERT_EQ(runcmd("cc -shared -fPIC -I" ZYN_SOURCE_DIR "/treatment -o " + dir + "/docs/plug.so " ZYN_SOURCE_DIR
                   "/examples/plugins/prefix.c",
                   nullptr, &err),
            0)
      << err;
  auto doc = [&](const std::string& name, const std::string& plug) {
    put("docs/" + name, "#ZYN2v5 x\nGP 0 3 3 1 0 0\nTTL\n+\nAUT\n+\nTM 0 9 0 0 0\n+" + plug + "\nEND\n");
  };
  doc("plug.zyn", "plug.so");
  doc("libc.zyn", "libc.so.6");
  result r = run("docs/plug.zyn zyn out.zyn");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.find("plug-in loaded"), std::string::npos);
  EXPECT_EQ(r.err, "Warning: The document's custom plug-in was not loaded (-P loads it):\nplug.so\n");
  EXPECT_NE(readfile(dir + "/out.zyn").find("+plug.so\n"), std::string::npos);

  r = run("-P docs/plug.zyn zyn out.zyn");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("prefix plug-in loaded"), std::string::npos);
  EXPECT_EQ(r.err, "");

  r = run("-P docs/libc.zyn zyn out.zyn");
  EXPECT_EQ(r.status, 16);
  EXPECT_EQ(r.err.rfind("Error: Error loading custom plug-in\n\"libc.so.6\": docs/libc.so.6: ", 0), 0u) << r.err;
}

// Codeword numbers belong to the document's fill: the same in every run and in every export.
TEST_F(Export, CodewordNumbersAreTheDocumentsOwn) {
  std::string doc = "#ZYN2v3 x\nGP 0 3 2 1 0 0\nTTL\n+\nAUT\n+\nGSP ffffff 000000 0 0 0 0 000000\nGSPMK 0\n+\\c\n";
  const char* letters = "ZYNXWV";
  for (int i = 0; i < 6; i++)
    doc += "SQCT " + std::to_string(i % 3) + " " + std::to_string(i / 3) + " 0 \"" + letters[i] + "\"\n";
  put("code.zyn", doc + "END\n");
  std::string first;
  for (const char* seed : {"1", "2", "77"}) {
    for (const char* kind : {"blank-html", "html", "svg"}) {
      result r = run(std::string("-R ") + seed + " code.zyn " + kind + " " + seed + "." + kind);
      ASSERT_EQ(r.status, 0) << r.err;
      if (strcmp(seed, "1")) {
        EXPECT_EQ(readfile(dir + "/" + seed + "." + kind), readfile(dir + "/1." + kind)) << kind;
      }
    }
  }
  // The blank page shows the numbers the filled one does.
  auto numbers = [&](const std::string& file) {
    std::string h = readfile(dir + "/" + file), n;
    for (size_t at = 0; (at = h.find("class=\"nu\"", at)) != std::string::npos; at++) {
      size_t gt = h.find('>', at), lt = h.find('<', gt);
      n += h.substr(gt + 1, lt - gt - 1) + ",";
    }
    return n;
  };
  std::string blank = numbers("1.blank-html");
  EXPECT_EQ(blank.find_first_not_of("0123456789,"), std::string::npos) << blank;
  EXPECT_EQ(std::count(blank.begin(), blank.end(), ','), 6);
  EXPECT_EQ(blank, numbers("1.html"));
}

// Without a word list the answer kinds are written as the window writes them, each light by its
// pattern, with the failures as warnings.
TEST_F(Export, AnswerKindsGoOnWithoutWordLists) {
  put("grid.zyn", square2("/nonexistent/words.txt"));
  result r = run("grid.zyn answers-txt out.txt");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "Warning: Dictionary 1\nFile not found\nWarning: No words available from any dictionary\n");
  EXPECT_NE(readfile(dir + "/out.txt").find("1 .. (2)\n"), std::string::npos) << readfile(dir + "/out.txt");
}

// An example is a promise: every example document fills from the word list it names.
TEST_F(Export, EveryExampleDocumentFills) {
  std::string list;
  runcmd("ls " ZYN_SOURCE_DIR "/examples/*.zyn", &list, nullptr);
  int n = 0;
  for (size_t at = 0, nl; (nl = list.find('\n', at)) != std::string::npos; at = nl + 1, n++) {
    std::string doc = list.substr(at, nl - at);
    result r = run("-f " + doc + " zyn filled.zyn");
    EXPECT_EQ(r.status, 0) << doc << ": " << r.err;
    EXPECT_EQ(r.err, "") << doc;
  }
  EXPECT_GT(n, 0);
}
