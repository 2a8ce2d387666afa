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
#include <glib/gstdio.h>

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

namespace {
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

int plat_newopen(plat_newfile& nf, const char* utf8name) {
  nf.path = savetarget(utf8name);
  nf.f = nullptr;
  // The temporary name is new and short, so that it is valid wherever the target's name is, and
  // in the target's folder, so that the rename stays on one file system.
  size_t slash = nf.path.rfind(PLAT_SEP);
  nf.tmp = (slash == std::string::npos ? "" : nf.path.substr(0, slash + 1)) + ".zynsaveXXXXXX";
  int fd = mkstemp(nf.tmp.data());
  if (fd < 0) {
    lasterr = errno;
    nf.tmp.clear();
    return 1;
  }
  nf.f = fdopen(fd, "w");
  if (!nf.f) {
    lasterr = errno;
    close(fd);
    unlink(nf.tmp.c_str());
    nf.tmp.clear();
    return 1;
  }
  lasterr = 0;
  return 0;
}

int plat_newcommit(plat_newfile& nf) {
  if (!nf.f) return 1;
  int fd = fileno(nf.f);
  // An existing file keeps its permissions and, where the system allows it (as root), its owner.
  struct stat st;
  mode_t mode;
  if (stat(nf.path.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
    if (fchown(fd, st.st_uid, st.st_gid) != 0) errno = 0;
  } else {
    mode_t um = umask(0);
    umask(um);
    mode = 0666 & ~um;
  }
  int bad = 0;
  if (ferror(nf.f)) bad = EIO;  // the failed write's own error number is gone by now
  else if (fflush(nf.f) != 0 || fchmod(fd, mode) != 0 || fsync(fd) != 0) bad = errno ? errno : EIO;
  if (fclose(nf.f) != 0 && !bad) bad = errno ? errno : EIO;
  nf.f = nullptr;
  if (!bad && rename(nf.tmp.c_str(), nf.path.c_str()) != 0) bad = errno;
  if (bad) {
    unlink(nf.tmp.c_str());
    lasterr = bad;
    return 1;
  }
  // Make the rename itself durable; a folder that cannot be synced does not undo the write.
  size_t slash = nf.path.rfind(PLAT_SEP);
  std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : nf.path.substr(0, slash);
  int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (dfd >= 0) {
    fsync(dfd);
    close(dfd);
  }
  lasterr = 0;
  return 0;
}

void plat_newabort(plat_newfile& nf) {
  if (nf.f) fclose(nf.f);
  nf.f = nullptr;
  if (!nf.tmp.empty()) unlink(nf.tmp.c_str());
}

int plat_writefile(const char* utf8name, const char* data, size_t len) {
  plat_newfile nf;
  if (plat_newopen(nf, utf8name)) return 1;
  if (len && fwrite(data, 1, len, nf.f) != len) {
    int err = errno ? errno : EIO;
    plat_newabort(nf);
    lasterr = err;
    return 1;
  }
  return plat_newcommit(nf);
}

void plat_seterr(int err) { lasterr = err; }

int plat_mkdir(const char* utf8name) {
  if (g_mkdir(utf8name, 0777) == 0) {
    lasterr = 0;
    return 0;
  }
  lasterr = errno;
  struct stat st;
  if (lasterr == EEXIST && stat(utf8name, &st) == 0 && S_ISDIR(st.st_mode)) {
    lasterr = 0;
    return 0;
  }
  return 1;
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

std::string plat_exedir() {
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "";
  std::string s(buf, (size_t)n);
  size_t slash = s.rfind('/');
  return slash == std::string::npos ? "" : s.substr(0, slash);
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
