// The personal word list's file: reading it with its damaged lines kept aside, and writing it
// back whole, atomically, with a word's new score.
#include "dicts/personal.h"

#include <glib.h>
#include <glib/gstdio.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/common.h"
#include "core/message.h"
#include "platform/platform.h"

std::string personalpath;
std::vector<personalword> personalwords;

namespace {

// The file's lines as read: a word's line (its index in personalwords), or a blank or damaged
// line, written back as it was.
struct fileline {
  std::string text;
  int word;  // -1: not a word's line
};
std::vector<fileline> filelines;

// A "word;score" line without its line end: the spelling and a score of 0 to 100.
bool parseline(const std::string& l, personalword* w) {
  if (!g_utf8_validate(l.data(), (gssize)l.size(), nullptr) || l.size() >= (size_t)SLEN) return false;
  size_t semi = l.rfind(';');
  if (semi == std::string::npos) return false;
  std::string num = l.substr(semi + 1);
  while (!num.empty() && num.back() == ' ') num.pop_back();
  while (!num.empty() && num.front() == ' ') num.erase(0, 1);
  if (num.empty() || num.size() > 3 || num.find_first_not_of("0123456789") != std::string::npos) return false;
  int s = atoi(num.c_str());
  std::string cf = l.substr(0, semi);
  while (!cf.empty() && (unsigned char)cf.back() <= 0x20) cf.pop_back();
  if (s > 100 || cf.empty() || cf.find_first_not_of(" \t") == std::string::npos) return false;
  *w = {cf, s};
  return true;
}

int findword(const char* cf) {
  for (size_t i = 0; i < personalwords.size(); i++)
    if (personalwords[i].cf == cf) return (int)i;
  return -1;
}

void report(const char* what) {
  std::string msg = "Personal word list " + personalpath + "\n" + what;
  warnbox(msg.c_str());
}

}  // namespace

int personalload() {
  personalwords.clear();
  filelines.clear();
  if (personalpath.empty()) return 0;
  FILE* f = plat_fopen(personalpath.c_str(), "rb");
  if (!f) return 0;
  std::string text;
  char buf[1 << 16];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
  bool failed = ferror(f);
  fclose(f);
  if (failed) {
    report("could not be read");
    return 1;
  }
  std::string bad;
  int nbad = 0, lineno = 0;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string l = text.substr(at, end - at);
    at = end + 1;
    lineno++;
    while (!l.empty() && (l.back() == '\r' || l.back() == ' ' || l.back() == '\t')) l.pop_back();
    personalword w;
    if (l.empty()) {
      filelines.push_back({l, -1});
    } else if (parseline(l, &w)) {
      int i = findword(w.cf.c_str());
      if (i >= 0) personalwords[i].score = w.score;  // the later line wins
      else {
        i = (int)personalwords.size();
        personalwords.push_back(w);
      }
      filelines.push_back({l, i});
    } else {
      filelines.push_back({l, -1});
      if (nbad++ < 10) bad += (bad.empty() ? "" : ", ") + std::to_string(lineno);
    }
  }
  if (nbad) {
    std::string msg = std::string(nbad == 1 ? "line " : "lines ") + bad + (nbad > 10 ? ", ..." : "") +
                      (nbad == 1 ? " is" : " are") + " damaged and skipped\n(they stay in the file as they are)";
    report(msg.c_str());
  }
  return 0;
}

int personalscore(const char* cf) {
  int i = findword(cf);
  return i < 0 ? -1 : personalwords[i].score;
}

int personalset(const char* cf, int score) {
  int i = findword(cf);
  if (i < 0) {
    i = (int)personalwords.size();
    personalwords.push_back({cf, score});
    filelines.push_back({"", i});
  }
  personalwords[i].score = score;
  if (personalpath.empty()) return 0;
  std::string out;
  std::vector<bool> written(personalwords.size());
  for (const fileline& l : filelines) {
    if (l.word < 0) out += l.text;
    else if (!written[l.word]) {
      out += personalwords[l.word].cf + ";" + std::to_string(personalwords[l.word].score);
      written[l.word] = true;
    } else {
      continue;  // a word named twice is written once
    }
    out += '\n';
  }
  gchar* dir = g_path_get_dirname(personalpath.c_str());
  g_mkdir_with_parents(dir, 0700);
  g_free(dir);
  if (plat_writefile(personalpath.c_str(), out.data(), out.size())) {
    std::string msg = std::string("could not be written:\n") + plat_errtext();
    report(msg.c_str());
    return 1;
  }
  return 0;
}
