// Start-up, command line, preferences and the message routines.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "alphabet/alphabet.h"
#include "core/common.h"
#include "core/message.h"
#include "core/prefs.h"
#include "core/startup.h"
#include "dicts/dicts.h"
#include "grid/zyn.h"
#include "platform/platform.h"
#include "tests/testutil.h"

namespace {

void resetsettings() {
  debug = rseed = filler_seed = 0;
  usegui = 1;
  filename[0] = 0;
  for (int d = 0; d < MAXNDICTS; d++) dictpaths[d][0] = 0;
}

int parse(std::vector<std::string> args) {
  resetsettings();
  args.insert(args.begin(), "zyn");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  return parseargs((int)argv.size(), argv.data());
}

std::string zyn() { return ZYN_BINARY; }

}  // namespace

TEST(Core, BitIndexTable) {
  initbitidx16();
  EXPECT_EQ(bitidx16[0], 0);
  EXPECT_EQ(bitidx16[1], 0);
  EXPECT_EQ(bitidx16[0x8000], 15);
  EXPECT_EQ(bitidx16[0x0c00], 10);
  for (int v = 1; v < 65536; v++) ASSERT_EQ(bitidx16[v], __builtin_ctz(v)) << v;
}

TEST(Core, OptionsSetTheirSettings) {
  ASSERT_EQ(parse({"-b", "-D0x10", "-R", "077", "-F12", "deck.txt", "more"}), 0);
  EXPECT_EQ(usegui, 0);
  EXPECT_EQ(debug, 0x80000010u);
  EXPECT_EQ(rseed, 077u);
  EXPECT_EQ(filler_seed, 12u);
  EXPECT_STREQ(filename, "deck.txt");

  ASSERT_EQ(parse({"-D", "0"}), 0);
  EXPECT_EQ(debug, 0x80000000u);

  // Flags may be grouped; a value may follow in the same word.
  ASSERT_EQ(parse({"-bF5"}), 0);
  EXPECT_EQ(usegui, 0);
  EXPECT_EQ(filler_seed, 5u);

  // "--" ends the options.
  ASSERT_EQ(parse({"--", "-b"}), 0);
  EXPECT_EQ(usegui, 1);
  EXPECT_STREQ(filename, "-b");
}

TEST(Core, UsageCases) {
  for (auto args : std::vector<std::vector<std::string>>{{"-?"}, {"-x"}, {"-d"}, {"-b", "-a"}, {"-:"}})
    EXPECT_EQ(parse(args), 1) << args.back();
}

TEST(Core, DictionaryOptionsAndLengthLimits) {
  std::vector<std::string> args;
  for (int i = 0; i < 10; i++) args.push_back(std::string("-dw") + std::to_string(i));
  ASSERT_EQ(parse(args), 0);
  for (int i = 0; i < MAXNDICTS; i++) EXPECT_EQ(dictpaths[i], std::string("w") + std::to_string(i));

  std::string long999(999, 'f'), long1000(1000, 'f');
  ASSERT_EQ(parse({"-d", long999, "-a", long999, long999}), 0);
  EXPECT_EQ(std::string(dictpaths[0]), long999);
  EXPECT_EQ(std::string(filename), long999);

  // A value that does not fit is refused: cut short or dropped, it would silently name another
  // file or none.
  const struct {
    std::vector<std::string> args;
    const char* why;
  } refused[] = {
      {{"-d", long1000, "-d", "ok"}, "Dictionary file name too long (at most 999 bytes)"},
      {{"-d" + long1000}, "Dictionary file name too long (at most 999 bytes)"},
      {{"-a", long1000}, "Alphabet name too long (at most 999 bytes)"},
      {{"-b", long1000}, "File name too long (at most 999 bytes)"},
  };
  for (auto& r : refused) {
    EXPECT_EQ(parse(r.args), 2) << r.why;
    EXPECT_STREQ(parseerror(), r.why);
  }
}

// Values the command line refuses end the program before it starts, with status 16.
TEST(CoreProgram, RefusedValues) {
  const struct {
    std::string args;
    const char* err;
  } cases[] = {
      // An empty name, as from an unset shell variable, is looked up like any other.
      {"-b -a '' none.deck", "Error: Unrecognised alphabet\n"},
      {"-b -d " + std::string(1000, 'f') + " none.deck", "Error: Dictionary file name too long (at most 999 bytes)\n"},
      {"-b " + std::string(1000, 'f'), "Error: File name too long (at most 999 bytes)\n"},
  };
  for (auto& c : cases) {
    std::string out, err;
    EXPECT_EQ(runcmd(zyn() + " " + c.args, &out, &err), 16) << c.args;
    EXPECT_EQ(out, "");
    EXPECT_EQ(err, c.err);
  }
}

TEST(Core, PreferenceLines) {
  loadprefdefaults();
  EXPECT_EQ(prefint(PREF_STARTUP_AL), 2);
  EXPECT_EQ(prefint(PREF_STATS_MIN_CHECK_PERCENT), 66);
  EXPECT_STREQ(prefstr(PREF_LOOKUPNAME_0 + 2), "Search at English Wiktionary");

  std::string file =
      "stats_min_check_percent 150\n"
      "startup_al -3\n"
      "edit_show_numbers\n"              // no space: ignored
      "export_EPS_square_points 5\r\n"   // clamped up to 10
      "lookupname_0 three  spaced words \r\n"
      "Autofill_random 2\n"              // keys are case-sensitive
      "autofill_random 1\n"
      "autofill_random 2\n"              // last one wins
      "light_numbers_in_solutions xyz\n" // not a number: 0
      "startup_defdict1 /tmp/w.txt\n"
      "garbage\x01\x02 line\n"
      "edit_click_for_block 99999999999999999999\n";
  std::string path = writetemp(file);
  FILE* f = fopen(path.c_str(), "r");
  ASSERT_TRUE(f);
  readprefs(f);
  fclose(f);
  EXPECT_EQ(prefint(PREF_STATS_MIN_CHECK_PERCENT), 100);
  EXPECT_EQ(prefint(PREF_STARTUP_AL), 0);
  EXPECT_EQ(prefint(PREF_EDIT_SHOW_NUMBERS), 1);
  EXPECT_EQ(prefint(PREF_EXPORT_EPS_SQUARE_POINTS), 10);
  EXPECT_STREQ(prefstr(PREF_LOOKUPNAME_0), "three  spaced words ");
  EXPECT_EQ(prefint(PREF_AUTOFILL_RANDOM), 2);
  EXPECT_EQ(prefint(PREF_LIGHT_NUMBERS_IN_SOLUTIONS), 0);
  EXPECT_STREQ(prefstr(PREF_STARTUP_DEFDICT1), "/tmp/w.txt");
  EXPECT_EQ(prefint(PREF_EDIT_CLICK_FOR_BLOCK), 1);

  // A key and a single space with nothing after it gives the value 0.
  path = writetemp("edit_show_numbers \n");
  f = fopen(path.c_str(), "r");
  readprefs(f);
  fclose(f);
  EXPECT_EQ(prefint(PREF_EDIT_SHOW_NUMBERS), 0);
}

// A value of the longest length the Preferences dialog keeps comes back exactly, and never as
// two lines; a NUL byte or lone CR line ends neither cut nor merge values.
TEST(Core, PreferenceLinesAreReadWhole) {
  std::string dir = tempdir();
  setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
  loadprefdefaults();
  // Cut at the 1000th byte of its line, the tail would read as "startup_al 5 ...".
  std::string longest = std::string(982, 'p') + "startup_al 5 " + std::string(4, 'q');
  ASSERT_EQ(longest.size(), (size_t)SLEN - 1);
  storeprefstr(PREF_STARTUP_DEFDICT1, longest.c_str());
  ASSERT_EQ(saveprefs(), 0);
  loadprefs();
  EXPECT_EQ(std::string(prefstr(PREF_STARTUP_DEFDICT1)), longest);
  EXPECT_EQ(prefint(PREF_STARTUP_AL), 2);

  std::string file = std::string("startup_ff1 ab\0cd\rstartup_af1 x\rstartup_al 7", 44) + "\nlookupname_0 " + std::string(SLEN, 'n');
  FILE* f = fopen(writetemp(file).c_str(), "r");
  ASSERT_TRUE(f);
  loadprefdefaults();
  readprefs(f);
  fclose(f);
  EXPECT_STREQ(prefstr(PREF_STARTUP_FF1), "");
  EXPECT_STREQ(prefstr(PREF_STARTUP_AF1), "x");
  EXPECT_EQ(prefint(PREF_STARTUP_AL), 7);
  EXPECT_STREQ(prefstr(PREF_LOOKUPNAME_0), "Look up at Collins online");
  system(("rm -rf " + dir).c_str());
  unsetenv("XDG_CONFIG_HOME");
}

TEST(Core, PreferencesFileRoundTrip) {
  std::string dir = writetemp("", ".d");
  unlink(dir.c_str());
  setenv("XDG_CONFIG_HOME", dir.c_str(), 1);

  // No folder yet: reading keeps the defaults and creates nothing.
  loadprefs();
  EXPECT_EQ(prefint(PREF_STARTUP_AL), 2);
  EXPECT_EQ(plat_fopen((dir + "/Zyn/Zyn.ini").c_str(), "r"), nullptr);

  prefdata[PREF_AUTOFILL_RANDOM] = 2;
  strcpy(prefstrs[PREF_STARTUP_FF1], "^[a-z]+$");
  ASSERT_EQ(saveprefs(), 0);
  loadprefs();
  EXPECT_EQ(prefint(PREF_AUTOFILL_RANDOM), 2);
  EXPECT_STREQ(prefstr(PREF_STARTUP_FF1), "^[a-z]+$");
  EXPECT_STREQ(prefstr(PREF_LOOKUPURI_0 + 5), "https://www.dictionary.com/browse/%s?s=t");

  // A write that fails part-way keeps the previous file whole.
  std::string before = readfile(dir + "/Zyn/Zyn.ini");
  prefdata[PREF_AUTOFILL_RANDOM] = 1;
  EXPECT_EQ(withfilesizelimit(100, [] { return saveprefs(); }), 1);
  EXPECT_EQ(readfile(dir + "/Zyn/Zyn.ini"), before);
  system(("rm -rf " + dir).c_str());
  unsetenv("XDG_CONFIG_HOME");
}

TEST(Core, PreferencesFromTheDialog) {
  loadprefdefaults();
  struct {
    int pref, v, want;
  } ints[] = {
      {PREF_EXPORT_EPS_SQUARE_POINTS, 5, 10},   {PREF_EXPORT_HTML_SQUARE_PIXELS, 100, 72},
      {PREF_STATS_MIN_CHECK_PERCENT, 150, 100}, {PREF_STATS_MAX_CHECK_PERCENT, -4, 0},
      {PREF_EDIT_SHOW_NUMBERS, 0, 0},           {PREF_STARTUP_AL, 19, 19},
      {PREF_STARTUP_AL, 20, 2},                 {PREF_STARTUP_AL, -1, 2},
  };
  for (auto& c : ints) {
    storeprefint(c.pref, c.v);
    EXPECT_EQ(prefint(c.pref), c.want) << prefdefs[c.pref].key << " " << c.v;
  }
  // A pasted line break or tab cannot break the file's lines.
  storeprefstr(PREF_LOOKUPNAME_0, "Look\n up\r\n\there\x7f");
  EXPECT_STREQ(prefstr(PREF_LOOKUPNAME_0), "Look uphere");
  // 1200 bytes of two-byte characters: cut at 999 bytes, before the character that would not fit.
  std::string longname;
  for (int i = 0; i < 600; i++) longname += "é";
  storeprefstr(PREF_LOOKUPNAME_0 + 1, longname.c_str());
  EXPECT_EQ(std::string(prefstr(PREF_LOOKUPNAME_0 + 1)), longname.substr(0, 998));

  // A write that fails is reported with the system's reason.
  std::string dir = tempdir();
  setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
  {
    msgcapture cap;
    EXPECT_EQ(withfilesizelimit(100, [] { return writeprefs(); }), 1);
    EXPECT_EQ(cap.msgs, std::vector<std::string>{"E:Filing system error: File too large"});
    EXPECT_EQ(writeprefs(), 0);
    EXPECT_EQ(cap.msgs.size(), 1u);
  }
  system(("rm -rf " + dir).c_str());
  unsetenv("XDG_CONFIG_HOME");
}

TEST(Core, FilingSystemErrorText) {
  msgcapture cap;
  EXPECT_EQ(plat_fopen("/nonexistent/dir/file", "r"), nullptr);
  errno = EACCES;  // as a call made between the failure and the report (a dialog, say) may leave it
  fserror();
  ASSERT_EQ(cap.msgs.size(), 1u);
  EXPECT_EQ(cap.msgs[0], "E:Filing system error: No such file or directory");
  plat_clearerr();
  EXPECT_STREQ(plat_errtext(), "general error");
}

TEST(CoreProgram, UsageText) {
  std::string out, err;
  EXPECT_EQ(runcmd(zyn() + " -?", &out, &err), 0);
  EXPECT_NE(out.find("\nThis is Zyn, release "), std::string::npos);
  EXPECT_NE(out.find("Usage: " + zyn() + "    [-a <initial alphabet code>]"), std::string::npos);
  EXPECT_NE(out.find("   OR: " + zyn() + " -b [-a"), std::string::npos);
  EXPECT_NE(out.find("                        German: German, DE\n"), std::string::npos);
  EXPECT_NE(out.find("                         Empty: Empty, Null\n"), std::string::npos);
  size_t at = out.find("Available alphabets and corresponding names and codes:\n");
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(std::count(out.begin() + at, out.end(), '\n'), 21);

  EXPECT_EQ(runcmd(zyn() + " -q", &out, &err), 0);
  EXPECT_NE(out.find("Usage: "), std::string::npos);
}

TEST(CoreProgram, WithoutBatchModeNeedsADisplay) {
  std::string out, err;
  EXPECT_EQ(runcmd("env -u DISPLAY " + zyn(), &out, &err), 16);
  EXPECT_EQ(out, "");
  EXPECT_EQ(err, zyn() + ": cannot open the display; use -b <deck> for batch mode\n");
}

// zyn itself links neither the toolkit nor the drawing libraries, and runs the window's program
// in its place for the window; without it, it says which program it could not start.
TEST(CoreProgram, BatchProgramStartsTheWindowsProgram) {
  std::string out, err;
  EXPECT_EQ(runcmd("objdump -p '" + zyn() + "' | grep NEEDED", &out, &err), 0);
  for (const char* lib : {"libgtk", "libgdk", "libcairo", "libpango"}) EXPECT_EQ(out.find(lib), std::string::npos) << lib;
  std::string dir = tempdir();
  std::string lone = dir + "/zyn";
  ASSERT_EQ(runcmd("cp '" + zyn() + "' '" + lone + "'", &out, &err), 0);
  EXPECT_EQ(runcmd("env -u DISPLAY " + lone, &out, &err), 16);
  EXPECT_EQ(err, lone + ": cannot start the window's program " + dir + "/../lib/zyn/zyn-window: No such file or directory\n");
  // Batch mode runs without it.
  std::string deck = writetemp(".DI 1 " + writetemp("ab\ncd\n") + "\nA1 A2\n", ".deck");
  EXPECT_EQ(runcmd(lone + " -b " + deck, &out, &err), 0) << err;
  EXPECT_NE(out.find("W0 "), std::string::npos) << out;
  runcmd("rm -rf '" + dir + "'", &out, &err);
}

TEST(CoreProgram, VersionLinesAndBadAlphabet) {
  std::string out, err;
  EXPECT_EQ(runcmd(zyn() + " -D0 -R0x1234 -b -a Klingon", &out, &err), 16);
  EXPECT_EQ(out.rfind("Zyn release ", 0), 0u);
  EXPECT_NE(out.find("debug=0x80000000\nrseed=0x00001234 (set this using -R)\nglib version 2."), std::string::npos);
  EXPECT_NE(out.find("\ngtk version 2."), std::string::npos);
  EXPECT_NE(out.find("\npango version 1."), std::string::npos);
  EXPECT_NE(out.find("\ncairo version 1."), std::string::npos);
  EXPECT_EQ(err, "Error: Unrecognised alphabet\n");
}

TEST(Core, StartupDictionaries) {
  initbitidx16();
  alphaload(2);
  for (int d = 0; d < MAXNDICTS; d++) dictpaths[d][0] = dsfilter[d][0] = dafilter[d][0] = 0;
  {
    msgcapture cap;
    strcpy(dictpaths[0], writetemp("apple\npear\n").c_str());
    loadstartdicts();
    EXPECT_TRUE(cap.msgs.empty());
    EXPECT_EQ(atotal, 2);
  }
  {
    msgcapture cap;
    strcpy(dictpaths[0], "/nonexistent/words.txt");
    loadstartdicts();
    ASSERT_EQ(cap.msgs.size(), 3u);
    EXPECT_EQ(cap.msgs[0], "E:Dictionary 1\nFile not found");
    EXPECT_EQ(cap.msgs[1], "E:No words available from any dictionary");
    EXPECT_EQ(cap.msgs[2], "W:No dictionaries loaded");
    EXPECT_EQ(atotal, 0);
  }
  dictsfree();
}
