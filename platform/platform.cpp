// Linux implementation of the operating-system services: files by UTF-8 name, error texts,
// folders, the browser and dynamic libraries.
#include "platform/platform.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <glib.h>

namespace {
int lasterr = 0;
char errbuf[1001];
char dlerrbuf[1001];

std::string homedir() {
  const char* h = getenv("HOME");
  if (h && *h) return h;
  const char* g = g_get_home_dir();
  return g ? g : "";
}
}  // namespace

FILE* plat_fopen(const char* utf8name, const char* mode) {
  // File names are UTF-8 on this platform already; no conversion is needed.
  FILE* f = fopen(utf8name, mode);
  // A folder opens for reading here, but it is no file: refuse it as other systems do.
  struct stat st;
  if (f && fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode)) {
    fclose(f);
    f = nullptr;
    errno = EISDIR;
  }
  lasterr = f ? 0 : errno;
  return f;
}

const char* plat_errtext() {
  int e = lasterr ? lasterr : errno;
  if (e == 0) return "general error";
  const char* t = strerror_r(e, errbuf, sizeof errbuf);  // GNU form: may return a static string
  if (!t || !*t) return "general error";
  return t;
}

void plat_clearerr() {
  lasterr = 0;
  errno = 0;
}

std::string plat_cwd() {
  char* p = getcwd(nullptr, 0);
  if (!p) return "";
  std::string s = p;
  free(p);
  return s;
}

std::string plat_configdir(bool mk) {
  std::string base;
  const char* x = getenv("XDG_CONFIG_HOME");
  if (x && *x == '/') base = x;
  else {
    std::string h = homedir();
    if (h.empty()) return "";
    base = h + "/.config";
  }
  std::string dir = base + "/Zyn";
  if (mk && g_mkdir_with_parents(dir.c_str(), 0755) != 0) {
    lasterr = errno;
    return "";
  }
  return dir;
}

std::string plat_docsdir() {
  const char* d = g_get_user_special_dir(G_USER_DIRECTORY_DOCUMENTS);
  if (d && *d) return d;
  return homedir();
}

int plat_openuri(const char* uri) {
  gchar* argv[] = {(gchar*)"xdg-open", (gchar*)uri, nullptr};
  GError* err = nullptr;
  gboolean ok = g_spawn_async(nullptr, argv, nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, nullptr, &err);
  if (err) g_error_free(err);
  return ok ? 0 : 1;
}

void* plat_dlopen(const char* utf8path) {
  dlerrbuf[0] = 0;
  void* h = dlopen(utf8path, RTLD_NOW | RTLD_LOCAL);
  if (!h) {
    const char* e = dlerror();
    snprintf(dlerrbuf, sizeof dlerrbuf, "%s", e ? e : "general error");
  }
  return h;
}

void* plat_dlsym(void* lib, const char* name) {
  dlerrbuf[0] = 0;
  dlerror();
  void* p = dlsym(lib, name);
  if (!p) {
    const char* e = dlerror();
    snprintf(dlerrbuf, sizeof dlerrbuf, "%s", e ? e : "symbol not found");
  }
  return p;
}

int plat_dlclose(void* lib) { return dlclose(lib); }

const char* plat_dlerror() { return dlerrbuf; }
