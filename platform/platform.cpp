// Linux implementation of the operating-system services: files by UTF-8 name, error texts,
// folders, the browser and dynamic libraries.
#include "platform/platform.h"

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <glib.h>
#include <glib/gstdio.h>

namespace {
// Per thread, as the index cache is written on a thread of its own.
thread_local int lasterr = 0;
thread_local char errbuf[1001];
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
// When this process started: a temporary file of a save older than that was left by a save that
// was killed, since every save removes its own.
const timespec started = [] {
  timespec t;
  clock_gettime(CLOCK_REALTIME, &t);
  return t;
}();

constexpr char TMPPREFIX[] = ".zynsave";
constexpr size_t TMPLEN = sizeof TMPPREFIX - 1 + 6;  // mkstemp's six characters

std::string dirof(const std::string& path) {
  size_t slash = path.rfind(PLAT_SEP);
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// The file a dangling symbolic link names, following a chain of links; empty on failure.
std::string linkend(std::string name) {
  for (int hops = 0; hops < 40; hops++) {
    struct stat st;
    if (lstat(name.c_str(), &st) != 0) return errno == ENOENT ? name : "";
    if (!S_ISLNK(st.st_mode)) return name;
    std::string to(PATH_MAX, 0);
    ssize_t n = readlink(name.c_str(), to.data(), to.size());
    if (n <= 0) return "";
    to.resize((size_t)n);
    name = to[0] == PLAT_SEP ? to : dirof(name) + PLAT_SEP + to;
  }
  errno = ELOOP;
  return "";
}

bool canwrite(const std::string& path, int how) { return faccessat(AT_FDCWD, path.c_str(), how, AT_EACCESS) == 0; }

// Remove the temporary files that killed saves left in the folder: regular files of the
// temporary pattern, the user's own, mode 0600, older than this process and not locked by a save
// still running.
void sweepstale(const std::string& dir) {
  DIR* d = opendir(dir.c_str());
  if (!d) return;
  int dfd = dirfd(d);
  while (dirent* e = readdir(d)) {
    if (strlen(e->d_name) != TMPLEN || strncmp(e->d_name, TMPPREFIX, sizeof TMPPREFIX - 1) != 0) continue;
    struct stat st;
    if (fstatat(dfd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid() ||
        (st.st_mode & 07777) != 0600)
      continue;
    if (st.st_mtim.tv_sec > started.tv_sec ||
        (st.st_mtim.tv_sec == started.tv_sec && st.st_mtim.tv_nsec >= started.tv_nsec))
      continue;
    int fd = openat(dfd, e->d_name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) unlinkat(dfd, e->d_name, 0);
    close(fd);
  }
  closedir(d);
}

// All of buf to fd; 0, or the error number.
int writeall(int fd, const char* buf, size_t len) {
  while (len > 0) {
    ssize_t n = write(fd, buf, len);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : EIO;
    buf += n;
    len -= (size_t)n;
  }
  return 0;
}

int inplace(const std::string& path, const char* buf, size_t len) {
  int fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return errno;
  int bad = writeall(fd, buf, len);
  if (close(fd) != 0 && !bad) bad = errno ? errno : EIO;
  return bad;
}

// The bytes into a new temporary file beside path, which then replaces it. The temporary name is
// short, so that it is valid wherever the target's name is, and in the target's folder, so that
// the rename stays on one file system.
int replace(const std::string& path, const char* buf, size_t len) {
  std::string dir = dirof(path);
  sweepstale(dir);
  std::string tmp = dir + PLAT_SEP + TMPPREFIX + "XXXXXX";
  int fd = mkstemp(tmp.data());
  if (fd < 0) return errno;
  flock(fd, LOCK_EX);  // a save still running keeps its temporary file from another's sweep
  // An existing file keeps its permissions and, where the system allows it (as root), its owner.
  struct stat st;
  mode_t mode;
  if (stat(path.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
    if (fchown(fd, st.st_uid, st.st_gid) != 0) errno = 0;
  } else {
    mode_t um = umask(0);
    umask(um);
    mode = 0666 & ~um;
  }
  int bad = writeall(fd, buf, len);
  if (!bad && (fchmod(fd, mode) != 0 || fsync(fd) != 0)) bad = errno ? errno : EIO;
  if (!bad && rename(tmp.c_str(), path.c_str()) != 0) bad = errno;
  if (bad) unlink(tmp.c_str());
  if (close(fd) != 0 && !bad) bad = errno ? errno : EIO;
  if (bad) return bad;
  // Make the rename itself durable; a folder that cannot be synced does not undo the write.
  int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    fsync(dfd);
    close(dfd);
  }
  return 0;
}

// Where and how a write to name goes (see platform.h); 0, or the error number.
int target(const char* name, std::string* path, bool* inplace) {
  struct stat st;
  *inplace = false;
  if (stat(name, &st) == 0) {
    if (S_ISDIR(st.st_mode)) return EISDIR;
    if (!canwrite(name, W_OK)) return errno;
    if (!S_ISREG(st.st_mode)) {
      *path = name;  // a device or a pipe: opened by its own name, so /dev/stdout stays itself
      *inplace = true;
      return 0;
    }
    char* real = realpath(name, nullptr);
    if (!real) return errno;
    *path = real;
    free(real);
    *inplace = !canwrite(dirof(*path), W_OK | X_OK);
    return 0;
  }
  if (errno != ENOENT) return errno;
  *path = linkend(name);
  if (path->empty()) return errno ? errno : ENOENT;
  // A new file needs a folder that exists and may be written.
  if (!canwrite(dirof(*path), W_OK | X_OK)) return errno;
  return 0;
}
}  // namespace

int plat_newopen(plat_newfile& nf, const char* utf8name) {
  nf.f = nullptr;
  nf.buf = nullptr;
  nf.len = 0;
  nf.inplace = false;
  if (nf.scratch) {
    nf.path = utf8name;  // replaced by the rename, whatever is there
    nf.tmp = dirof(nf.path);
    nf.tmp += PLAT_SEP;
    nf.tmp += TMPPREFIX;
    nf.tmp += "XXXXXX";
    int fd = mkstemp(nf.tmp.data());
    if (fd >= 0 && !(nf.f = fdopen(fd, "w"))) close(fd);
    lasterr = nf.f ? 0 : errno;
    if (!nf.f && fd >= 0) unlink(nf.tmp.c_str());
    return nf.f ? 0 : 1;
  }
  if (int err = target(utf8name, &nf.path, &nf.inplace)) {
    lasterr = err;
    return 1;
  }
  nf.f = open_memstream(&nf.buf, &nf.len);
  lasterr = nf.f ? 0 : errno;
  return nf.f ? 0 : 1;
}

int plat_newcommit(plat_newfile& nf) {
  if (!nf.f) return 1;
  if (nf.scratch) {
    int bad = ferror(nf.f) ? EIO : 0;  // kept with mkstemp's mode 0600: the user's own
    if (fclose(nf.f) != 0 && !bad) bad = errno ? errno : EIO;
    nf.f = nullptr;
    if (!bad && rename(nf.tmp.c_str(), nf.path.c_str()) != 0) bad = errno;
    if (bad) unlink(nf.tmp.c_str());
    lasterr = bad;
    return bad ? 1 : 0;
  }
  int bad = ferror(nf.f) ? ENOMEM : 0;
  if (fclose(nf.f) != 0 && !bad) bad = errno ? errno : ENOMEM;
  nf.f = nullptr;
  if (!bad) bad = nf.inplace ? inplace(nf.path, nf.buf, nf.len) : replace(nf.path, nf.buf, nf.len);
  free(nf.buf);
  nf.buf = nullptr;
  lasterr = bad;
  return bad ? 1 : 0;
}

void plat_newabort(plat_newfile& nf) {
  if (nf.f) fclose(nf.f);
  if (nf.f && nf.scratch) unlink(nf.tmp.c_str());
  nf.f = nullptr;
  free(nf.buf);
  nf.buf = nullptr;
}

int plat_writefile(const char* utf8name, const char* data, size_t len) {
  plat_newfile nf;
  if (plat_newopen(nf, utf8name)) return 1;
  if (len && fwrite(data, 1, len, nf.f) != len) {
    plat_newabort(nf);
    lasterr = ENOMEM;
    return 1;
  }
  return plat_newcommit(nf);
}

void* plat_bigalloc(size_t n) {
  constexpr size_t HUGE = 2 << 20;
  if (n < HUGE) return malloc(n ? n : 1);
  size_t m = (n + HUGE - 1) & ~(HUGE - 1);
  void* p = aligned_alloc(HUGE, m);
  if (p) madvise(p, m, MADV_HUGEPAGE);
  return p;
}

void plat_seterr(int err) { lasterr = err; }

int plat_mkdir(const char* utf8name, bool* made) {
  if (made) *made = false;
  if (g_mkdir(utf8name, 0777) == 0) {
    if (made) *made = true;
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

// The folder an XDG variable names when it is an absolute path, else the one under the home
// folder; "" when there is no home folder.
namespace {
std::string xdgbase(const char* var, const char* underhome) {
  const char* x = getenv(var);
  if (x && *x == '/') return x;
  std::string h = homedir();
  return h.empty() ? "" : h + underhome;
}
}  // namespace

std::string plat_configdir(bool mk) {
  std::string base = xdgbase("XDG_CONFIG_HOME", "/.config");
  if (base.empty()) return "";
  std::string dir = base + "/Zyn";
  if (mk && g_mkdir_with_parents(dir.c_str(), 0755) != 0) {
    lasterr = errno;
    return "";
  }
  return dir;
}

std::string plat_cachedir(bool mk) {
  std::string base = xdgbase("XDG_CACHE_HOME", "/.cache");
  if (base.empty()) return "";
  std::string dir = base + "/zyn";
  struct stat st;
  if (lstat(dir.c_str(), &st) != 0) {
    if (!mk || g_mkdir_with_parents(base.c_str(), 0700) != 0 || mkdir(dir.c_str(), 0700) != 0 ||
        lstat(dir.c_str(), &st) != 0) {
      lasterr = errno;
      return "";
    }
  }
  if (!S_ISDIR(st.st_mode) || st.st_uid != geteuid() || (st.st_mode & 022)) return "";
  return dir;
}

int plat_identify(const char* utf8name, plat_fileid* id) {
  struct stat st;
  if (stat(utf8name, &st) != 0 || !S_ISREG(st.st_mode)) return 1;
  id->dev = st.st_dev, id->ino = st.st_ino, id->size = (uint64_t)st.st_size;
  id->mtime_ns = (int64_t)st.st_mtim.tv_sec * 1000000000 + st.st_mtim.tv_nsec;
  id->ctime_ns = (int64_t)st.st_ctim.tv_sec * 1000000000 + st.st_ctim.tv_nsec;
  return 0;
}

FILE* plat_fopenplain(const char* utf8name) {
  int fd = open(utf8name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  struct stat st;
  if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    lasterr = fd < 0 ? errno : EINVAL;
    if (fd >= 0) close(fd);
    return nullptr;
  }
  FILE* f = fdopen(fd, "rb");
  if (!f) {
    lasterr = errno;
    close(fd);
  }
  return f;
}

int plat_mapfile(const char* utf8name, plat_mapped* m) {
  *m = {};
  int fd = open(utf8name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  struct stat st;
  if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0) {
    lasterr = fd < 0 ? errno : EINVAL;
    if (fd >= 0) close(fd);
    return 1;
  }
  // The pages are put in place at once, so that a file read whole takes one call rather than a
  // fault for every few pages; read-only at first, as a writable mapping would be copied whole.
  size_t n = (size_t)st.st_size;
  void* p = mmap(nullptr, n, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
  lasterr = p == MAP_FAILED ? errno : 0;
  close(fd);
  if (p == MAP_FAILED) return 1;
  if (mprotect(p, n, PROT_READ | PROT_WRITE)) {
    lasterr = errno;
    munmap(p, n);
    return 1;
  }
  *m = {(char*)p, n};
  return 0;
}

void plat_unmapfile(plat_mapped* m) {
  if (m->p) munmap(m->p, m->n);
  *m = {};
}

std::vector<plat_direntry> plat_listdir(const char* utf8dir) {
  std::vector<plat_direntry> out;
  DIR* d = opendir(utf8dir);
  if (!d) return out;
  while (dirent* e = readdir(d)) {
    struct stat st;
    if (fstatat(dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
      out.push_back({e->d_name, (int64_t)st.st_mtim.tv_sec * 1000000000 + st.st_mtim.tv_nsec});
  }
  closedir(d);
  return out;
}

int plat_remove(const char* utf8name) { return unlink(utf8name) == 0 ? 0 : 1; }

int plat_touch(const char* utf8name) { return utimensat(AT_FDCWD, utf8name, nullptr, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : 1; }

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

void plat_exec(const std::string& path, char** argv) {
  // Output buffered so far would be lost with this process's image.
  fflush(stdout);
  fflush(stderr);
  execv(path.c_str(), argv);
  lasterr = errno;
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

int plat_background(void (*fn)(void*), void* arg) {
  fflush(nullptr);  // so that buffered output is not written twice
  pid_t pid = fork();
  if (pid < 0) {
    lasterr = errno;
    return 1;
  }
  if (pid > 0) return 0;
  // The child: nothing it does may reach the caller's streams, and a pipe the caller reads from
  // must close when the caller ends, not when this process does.
  int fd = open("/dev/null", O_RDWR);
  if (fd >= 0) {
    for (int i = 0; i < 3; i++) dup2(fd, i);
    if (fd > 2) close(fd);
  }
  fn(arg);
  _exit(0);
}

