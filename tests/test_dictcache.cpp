// The answer-index cache: a load from the cache leaves what a load from the lists leaves; a
// change to anything the index is made from is never answered from the cache; damaged files and
// unusable folders fall back to the lists without a word to the user; the folder keeps the most
// recently used files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "alphabet/alphabet.h"
#include "core/prefs.h"
#include "dicts/dictcache.h"
#include "dicts/dictinfo.h"
#include "dicts/dicts.h"
#include "dicts/personal.h"
#include "grid/zyn.h"
#include "platform/platform.h"
#include "tests/testutil.h"

namespace {

const char* const LISTA =
    "apple 2\nApple\nbanana -1.5\nNew York\nnew-york\no'clock\ndog's\ndogs\ncaf\xC3\xA9\nstra\xC3\x9F" "e\n"
    "zebra 10\nzebra 10\n\xCE\xBB\xCE\xB1\ncatch-22 -3\nfish 2.5\nq\n"
    "supercalifragilisticexpialidocious\nMangoes\nmango\n";
const char* const LISTB = "apple\ncherry 3\nNew York\nmango\nkiwi?\n";

class DictCache : public ::testing::Test {
 protected:
  std::string home;
  long oldmin = 0;
  void SetUp() override {
    resetengine();
    alphaload(0);
    home = tempdir();
    setenv("XDG_CACHE_HOME", home.c_str(), 1);
    oldmin = dictcachemin;
    dictcachemin = 0;
  }
  void TearDown() override {
    dictsfree();
    personalwords.clear();
    dminscore[0] = 0;
    dictcachemin = oldmin;
    unsetenv("XDG_CACHE_HOME");
    runcmd("chmod -R u+rwx '" + home + "' && rm -rf '" + home + "'", nullptr, nullptr);
  }
  std::string folder() const { return home + "/zyn"; }
  // The index files in the cache folder.
  std::vector<std::string> files() const {
    std::vector<std::string> r;
    for (const plat_direntry& e : plat_listdir(folder().c_str())) r.push_back(e.name);
    return r;
  }
};

void setslot(int d, const std::string& path, const char* ff = "", const char* af = "") {
  strlcpy0(dictpaths[d], path.c_str(), SLEN);
  strlcpy0(dsfilter[d], ff, SLEN);
  strlcpy0(dafilter[d], af, SLEN);
}

// Everything a load leaves that a consumer can see: each answer with its look-up, masks, weight,
// hash link and citation chain, each slot's statistics lines, and the loaded-slot mask.
std::string state() {
  std::string s;
  char buf[100];
  for (int i = 0; i < atotal; i++) {
    const answer* a = answerlist[i];
    snprintf(buf, sizeof buf, "%d %x %.17g %d ", findanswer(a->answercodes), (unsigned)a->dmask, a->weight, a->hlink);
    s += buf;
    s += a->answercodes;
    for (const answer* c = a; c; c = c->acf) {
      snprintf(buf, sizeof buf, " | %x %.17g %d ", (unsigned)c->cfdmask, c->weight, (int)c->banned);
      s += buf;
      s += c->cf;
    }
    s += '\n';
  }
  for (int d = 0; d < MAXNDICTS; d++)
    for (const std::string& l : dictstatlines(d)) s += l + '\n';
  return s + std::to_string(dloaded);
}

// The state a load from the lists gives, with the cache switched off.
std::string uncached() {
  prefdata[PREF_DICT_CACHE] = 0;
  EXPECT_EQ(dictsload(1), 0);
  std::string s = state();
  prefdata[PREF_DICT_CACHE] = 1;
  dictsfree();
  return s;
}

// No slot holds words read from its list: the index came from the cache.
bool fromcache() {
  for (dblock* b : dstrings)
    if (b) return false;
  return atotal > 0;
}

// Each slot setting of the table: cold, the file is written; warm, the same index is read back.
TEST_F(DictCache, WarmLoadGivesTheIndexOfTheLists) {
  std::string a = writetemp(LISTA), b = writetemp(LISTB);
  const struct {
    const char* name;
    std::function<void()> set;
  } cases[] = {
      {"one list", [&] { setslot(0, a); }},
      {"file filter", [&] { setslot(0, a, "^.*+(?<!'s)"); }},
      {"two slots, answer filter", [&] {
         setslot(0, a);
         setslot(2, b, "", "^[A-M]");
       }},
      {"one-word slot", [&] {
         setslot(0, a);
         setslot(4, "", "", "ex(ample)? 2");
       }},
      {"German alphabet", [&] {
         alphafind("German");
         setslot(0, a);
         setslot(1, b);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    resetengine();
    alphaload(0);
    c.set();
    std::string want = uncached();
    msgcapture mc;
    ASSERT_EQ(dictsload(0), 0);
    EXPECT_FALSE(fromcache());
    EXPECT_EQ(state(), want);
    dictsidle();  // the file is written while the index is in use
    EXPECT_EQ(files().size(), 1u);
    dictsfree();
    ASSERT_EQ(dictsload(0), 0);
    EXPECT_TRUE(fromcache());
    EXPECT_EQ(state(), want);
    EXPECT_TRUE(mc.msgs.empty());
    dictsfree();
    runcmd("rm -f '" + folder() + "'/*", nullptr, nullptr);
  }
}

// Whatever the index is made from changes, the next load gives the index of the lists as they
// are now, never the cached one.
TEST_F(DictCache, ChangedInputsAreNotServedFromTheCache) {
  std::string a = writetemp(LISTA), b = writetemp(LISTB);
  const struct {
    const char* name;
    std::function<void()> change;
  } cases[] = {
      {"list rewritten in place, same size", [&] {
         std::string t = LISTA;
         t.replace(t.find("apple"), 5, "grape");
         FILE* f = fopen(a.c_str(), "r+b");
         fwrite(t.data(), 1, t.size(), f);
         fclose(f);
       }},
      {"another list under the same name", [&] { rename(writetemp(LISTB).c_str(), a.c_str()); }},
      {"file filter", [&] { strlcpy0(dsfilter[0], "^[a-m]", SLEN); }},
      {"answer filter", [&] { strlcpy0(dafilter[0], "^[N-Z]", SLEN); }},
      {"alphabet", [] { alphafind("German"); }},
      {"list in another slot", [&] {
         setslot(0, "");
         setslot(3, a);
       }},
      {"second slot", [&] { setslot(1, b); }},
      {"minimum score", [] { dminscore[0] = 60; }},
      {"personal word added", [] { personalwords.push_back({"cherry", 80}); }},
      {"personal word's score", [] { personalwords[0].score = 0; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    resetengine();
    alphaload(0);
    dminscore[0] = 0;
    personalwords = {{"apple", 90}};
    std::ofstream(a, std::ios::binary) << LISTA;
    setslot(0, a);
    ASSERT_EQ(dictsload(1), 0);
    dictsfree();
    ASSERT_EQ(dictsload(1), 0);
    ASSERT_TRUE(fromcache());
    dictsfree();
    c.change();
    std::string want = uncached();
    ASSERT_EQ(dictsload(1), 0);
    EXPECT_FALSE(fromcache());
    EXPECT_EQ(state(), want);
    dictsfree();
  }
  // Switched off, the cache is neither read nor written.
  runcmd("rm -f '" + folder() + "'/*", nullptr, nullptr);
  prefdata[PREF_DICT_CACHE] = 0;
  ASSERT_EQ(dictsload(1), 0);
  dictsfree();
  ASSERT_EQ(dictsload(1), 0);
  EXPECT_FALSE(fromcache());
  EXPECT_TRUE(files().empty());
}

uint64_t headerfield(const std::string& bytes, size_t at) {
  uint64_t v = 0;
  if (bytes.size() >= at + 8) memcpy(&v, bytes.data() + at, 8);
  return v;
}

// A damaged file is never trusted: the load reads the lists, says nothing, and writes the file
// again, so that the next load is answered from it.
TEST_F(DictCache, DamagedFilesAreReadFromTheListsAndWrittenAgain) {
  std::string a = writetemp(LISTA);
  setslot(0, a);
  std::string want = uncached();
  // The header's text length, and where the text starts: it ends the file, padded to 8 bytes.
  auto textat = [](const std::string& s) {
    uint64_t n = headerfield(s, 72);
    return s.size() - ((n + 7) & ~7ull);
  };
  const struct {
    const char* name;
    std::function<void(std::string&)> damage;
  } cases[] = {
      {"empty", [](std::string& s) { s.clear(); }},
      {"truncated write", [](std::string& s) { s.resize(s.size() / 2); }},
      {"one byte longer", [](std::string& s) { s += '\0'; }},
      {"a byte of the records changed", [](std::string& s) { s[s.size() / 2] ^= 0x10; }},
      {"a byte of the text changed", [&](std::string& s) { s[textat(s) + 2] ^= 1; }},
      {"another format version", [](std::string& s) { s[8] ^= 1; }},
      {"another machine", [](std::string& s) { s[16] ^= 8; }},
      {"unterminated text, checksum made right", [&](std::string& s) {
         s[textat(s) + headerfield(s, 72) - 1] = 'x';
         cachereseal(s);
       }},
      {"a code outside the alphabet, checksum made right", [&](std::string& s) {
         s[textat(s)] = (char)200;
         cachereseal(s);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(dictsload(1), 0);
    dictsfree();
    ASSERT_EQ(files().size(), 1u);
    std::string path = folder() + "/" + files()[0];
    std::string bytes = readfile(path);
    c.damage(bytes);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    msgcapture mc;
    ASSERT_EQ(dictsload(0), 0);
    EXPECT_FALSE(fromcache());
    EXPECT_EQ(state(), want);
    EXPECT_TRUE(mc.msgs.empty());
    dictsfree();
    ASSERT_EQ(dictsload(0), 0);
    EXPECT_TRUE(fromcache());
    dictsfree();
  }

  // A file whose name matches but whose key differs (a clash of names) is not read either.
  ASSERT_EQ(dictsload(1), 0);
  std::string key = indexkey(), other = key;
  other.back() ^= 1;
  FILE* f = tmpfile();
  ASSERT_EQ(writeindex(f, key), 0);
  dictsfree();
  rewind(f);
  EXPECT_EQ(readindex(f, other), CR_KEY);
  EXPECT_EQ(atotal, 0);
  rewind(f);
  EXPECT_EQ(readindex(f, key), CR_OK);
  EXPECT_EQ(state(), want);

  // A file whose bytes after the header fill whole 64 KiB pieces of its checksum is read too: a
  // longer key (which follows the header, padded to 8 bytes) makes one.
  auto bytesof = [](FILE* g) {
    std::string s(ftell(g), '\0');
    rewind(g);
    EXPECT_EQ(fread(s.data(), 1, s.size(), g), s.size());
    return s;
  };
  fseek(f, 0, SEEK_END);
  std::string bytes = bytesof(f);
  fclose(f);
  size_t head = bytes.find(key, 1), padded = (key.size() + 7) & ~(size_t)7;
  ASSERT_NE(head, std::string::npos);
  size_t after = bytes.size() - head;
  std::string longer = key + std::string(padded - key.size() + (65536 - after % 65536) % 65536, '\1');
  f = tmpfile();
  ASSERT_EQ(writeindex(f, longer), 0);
  ASSERT_EQ((bytesof(f).size() - head) % 65536, 0u);
  dictsfree();
  rewind(f);
  EXPECT_EQ(readindex(f, longer), CR_OK);
  EXPECT_EQ(state(), want);
  fclose(f);
}

int loadquietly() {
  int r = dictsload(1);
  dictsidle();
  return r;
}

// A folder the cache cannot use: the lists are read as without a cache, nothing is said, and
// nothing is left behind.
TEST_F(DictCache, UnusableFoldersFallBackToTheLists) {
  std::string a = writetemp(LISTA);
  setslot(0, a);
  std::string want = uncached();
  std::string elsewhere = tempdir();
  const struct {
    const char* name;
    std::function<void()> make;
  } cases[] = {
      {"a symbolic link to elsewhere", [&] { ASSERT_EQ(symlink(elsewhere.c_str(), folder().c_str()), 0); }},
      {"writable by others", [&] {
         ASSERT_EQ(mkdir(folder().c_str(), 0700), 0);
         chmod(folder().c_str(), 0777);
       }},
      {"a file in its place", [&] { std::ofstream(folder()) << "x"; }},
      {"under a file", [&] { setenv("XDG_CACHE_HOME", a.c_str(), 1); }},
      {"where no folder can be made", [] { setenv("XDG_CACHE_HOME", "/proc", 1); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    runcmd("rm -rf '" + folder() + "'", nullptr, nullptr);
    setenv("XDG_CACHE_HOME", home.c_str(), 1);
    c.make();
    msgcapture mc;
    for (int i = 0; i < 2; i++) {
      ASSERT_EQ(dictsload(0), 0);
      EXPECT_FALSE(fromcache());
      EXPECT_EQ(state(), want);
      dictsfree();
    }
    EXPECT_TRUE(mc.msgs.empty());
    EXPECT_TRUE(plat_listdir(elsewhere.c_str()).empty());
  }
  // A full disk: the write fails and leaves no file, not even a temporary one.
  setenv("XDG_CACHE_HOME", home.c_str(), 1);
  runcmd("rm -rf '" + folder() + "'", nullptr, nullptr);
  EXPECT_EQ(withfilesizelimit(1000, loadquietly), 0);
  EXPECT_EQ(state(), want);
  EXPECT_TRUE(files().empty());
  runcmd("rm -rf '" + elsewhere + "'", nullptr, nullptr);
}

// With more lists than files kept, the least recently used file goes, however old its list.
TEST_F(DictCache, KeepsTheMostRecentlyUsed) {
  std::vector<std::string> lists, names;
  for (int i = 0; i <= CACHEKEEP; i++) {
    lists.push_back(writetemp(std::string(LISTB) + "word" + std::string(i + 1, 'x') + "\n"));
    setslot(0, lists[i]);
    names.push_back(cachename(indexkey()));
  }
  auto load = [&](int i) {
    setslot(0, lists[i]);
    ASSERT_EQ(dictsload(1), 0);
    dictsfree();
  };
  for (int i = 0; i < CACHEKEEP; i++) load(i);
  EXPECT_EQ(files().size(), (size_t)CACHEKEEP);
  load(0);  // read back, so now the most recent
  load(CACHEKEEP);
  std::vector<std::string> left = files();
  EXPECT_EQ(left.size(), (size_t)CACHEKEEP);
  auto has = [&](const std::string& n) { return std::find(left.begin(), left.end(), n) != left.end(); };
  EXPECT_TRUE(has(names[0]));
  EXPECT_FALSE(has(names[1]));
  EXPECT_TRUE(has(names[CACHEKEEP]));
}

// A program that ends while its cache file is being written leaves it to a process of its own:
// the file appears whole, and the next load reads the index of the lists from it.
TEST_F(DictCache, AnEndingProgramLeavesItsFileToBeFinished) {
  // Enough words that the file is still being written when the load returns.
  std::string words;
  for (int i = 0; i < 200000; i++) {
    for (int v = i + 26 * 26 * 26; v; v /= 26) words += (char)('a' + v % 26);
    words += '\n';
  }
  setslot(0, writetemp(words));
  std::string want = uncached();
  ASSERT_EQ(dictsload(0), 0);
  cachehandoff();
  dictsfree();
  auto written = [&] {
    for (const std::string& f : files())
      if (f.rfind("index-", 0) == 0) return true;
    return false;
  };
  for (int i = 0; i < 3000 && !written(); i++) usleep(10000);
  ASSERT_TRUE(written());
  ASSERT_EQ(dictsload(0), 0);
  EXPECT_TRUE(fromcache());
  EXPECT_EQ(state(), want);
}

}  // namespace
