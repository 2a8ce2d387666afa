// Helpers shared by the tests.
#include "tests/testutil.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "core/common.h"
#include "core/message.h"

namespace {
std::vector<std::string> tempfiles;
msgcapture* current = nullptr;
uihooks saved;
int savedgui;

struct cleanup {
  ~cleanup() {
    for (auto& f : tempfiles) unlink(f.c_str());
  }
} cleaner;

std::string slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}
}  // namespace

std::string writetemp(const std::string& bytes, const char* suffix) {
  char tmpl[] = "/tmp/zyntestXXXXXX";
  int fd = mkstemp(tmpl);
  if (fd < 0) abort();
  close(fd);
  std::string path = std::string(tmpl) + suffix;
  rename(tmpl, path.c_str());
  std::ofstream(path, std::ios::binary) << bytes;
  tempfiles.push_back(path);
  return path;
}

msgcapture::msgcapture() {
  saved = ui;
  savedgui = usegui;
  current = this;
  usegui = 1;
  ui.warnbox = [](const char* m) { current->msgs.push_back(std::string("W:") + m); };
  ui.errbox = [](const char* m) { current->msgs.push_back(std::string("E:") + m); };
  ui.infobox = [](const char* m) { current->msgs.push_back(std::string("I:") + m); };
}

msgcapture::~msgcapture() {
  ui = saved;
  usegui = savedgui;
  current = nullptr;
}

int runcmd(const std::string& cmd, std::string* out, std::string* err) {
  std::string o = writetemp("", ".out"), e = writetemp("", ".err");
  int st = system((cmd + " >" + o + " 2>" + e).c_str());
  if (out) *out = slurp(o);
  if (err) *err = slurp(e);
  return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}
