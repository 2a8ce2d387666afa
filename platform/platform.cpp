// Linux implementation of the operating-system services: files by UTF-8 name, error texts,
// folders, the browser and dynamic libraries.
#include "platform/platform.h"

#include <dlfcn.h>
#include <fcntl.h>
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
  lasterr = f ? 0 : errno;
  return f;
}

namespace {
int writeall(int fd, const char* p, size_t n) {
  while (n > 0) {
    ssize_t w = write(fd, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return 1;
    }
    p += w;
    n -= (size_t)w;
  }
  return 0;
}

// The file a save must replace: the target itself, or the file a symbolic link names.
std::string savetarget(const char* name) {
  struct stat st;
  if (lstat(name, &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = realpath(name, nullptr)) {
      std::string t = real;
      free(real);
      return t;
    }
  }
  return name;
}
}  // namespace

int plat_writefile(const char* utf8name, const char* data, size_t len) {
  std::string target = savetarget(utf8name);
  size_t slash = target.rfind('/');
  std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
  std::string tmp = (slash == std::string::npos ? "" : target.substr(0, slash + 1)) + ".zynsaveXXXXXX";
  int fd = mkstemp(tmp.data());
  if (fd < 0) {
    lasterr = errno;
    return 1;
  }
  struct stat st;
  mode_t mode;
  if (stat(target.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
    // Keep the owner where the system allows it (as root); a user's own file stays theirs anyway.
    if (fchown(fd, st.st_uid, st.st_gid) != 0) errno = 0;
  } else {
    mode_t um = umask(0);
    umask(um);
    mode = 0666 & ~um;
  }
  int bad = fchmod(fd, mode) != 0 || writeall(fd, data, len) || fsync(fd) != 0;
  int err = bad ? errno : 0;
  if (close(fd) != 0 && !bad) bad = 1, err = errno;
  if (!bad && rename(tmp.c_str(), target.c_str()) != 0) bad = 1, err = errno;
  if (bad) {
    unlink(tmp.c_str());
    lasterr = err ? err : EIO;
    return 1;
  }
  // Make the rename itself durable; a folder that cannot be synced does not undo the save.
  int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (dfd >= 0) {
    fsync(dfd);
    close(dfd);
  }
  lasterr = 0;
  return 0;
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
