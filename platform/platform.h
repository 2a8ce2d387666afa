// The few operating-system services Zyn needs, behind one small interface.
// Nothing outside this module knows which platform it runs on.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Open a file by its UTF-8 name (mode as for fopen); a folder is refused. Null on failure;
// plat_errtext() says why.
FILE* plat_fopen(const char* utf8name, const char* mode);

// A file written whole or not at all. The caller writes to `f`, which holds the bytes in memory;
// plat_newcommit then puts them out in one go, so that a failure part-way is reported with the
// system's own reason. What is at the path decides how:
// - a regular file (or a symbolic link to one, followed to the real file) that the user may
//   write, in a folder the user may write, and a name where nothing is yet: the bytes go to a new
//   temporary file beside the target, which replaces it only when everything was written, synced
//   and closed, so that a failed write never destroys an existing file;
// - a dangling symbolic link: the file it names is created, the link kept;
// - a writable regular file in a folder the user may not write: the file is written in place;
// - a device, a FIFO or a socket (/dev/stdout into a pipe, say): written in place, as the shell's
//   `cat > path` would, and a failing write is reported.
// A file the user may not write is refused before anything is written.
struct plat_newfile {
  FILE* f = nullptr;
  std::string path;  // the file written: the target, or the file its links name
  bool inplace = false;
  char* buf = nullptr;  // the bytes written to f
  size_t len = 0;
  // A scratch file (a cache) may be lost in a crash: written straight to its temporary file
  // (tmp), not flushed to the disk, and a symbolic link at its name is replaced rather than
  // followed. Set before plat_newopen.
  bool scratch = false;
  std::string tmp;
};
int plat_newopen(plat_newfile& nf, const char* utf8name);  // 0, or 1 (plat_errtext says why)
int plat_newcommit(plat_newfile& nf);  // write the bytes out; 0, or 1 (nothing replaced when atomic)
void plat_newabort(plat_newfile& nf);  // drop the bytes; nothing is written
// Record a system error number for plat_errtext (one that arose where errno was not kept).
void plat_seterr(int err);
// Make a folder (mode 0777 less the umask); an existing folder is fine. 0 on success; *made
// tells whether the folder is new.
int plat_mkdir(const char* utf8name, bool* made = nullptr);
// Write a whole file as plat_newopen and plat_newcommit do. Returns 0 on success; 1 on failure,
// with plat_errtext() saying why (and, where the file is replaced atomically, the target
// untouched and no temporary file left behind).
int plat_writefile(const char* utf8name, const char* data, size_t len);

// Memory for a large table filled at once (n bytes, uninitialised; freed with free()): where the
// system has huge pages it is made of them, so that filling it costs a few page faults rather
// than one for every 4 KB.
void* plat_bigalloc(size_t n);

// Text of the last system error (at most 1000 bytes), or "general error" when there is none.
const char* plat_errtext();
void plat_clearerr();

// The current directory, empty on failure.
std::string plat_cwd();
// The folder of the running program, empty when it cannot be found.
std::string plat_exedir();

// Separator between folder and file names.
constexpr char PLAT_SEP = '/';

// The per-user folder that holds Zyn's configuration ($XDG_CONFIG_HOME or ~/.config, then Zyn);
// empty when it cannot be determined. Created only when mkdir is set.
std::string plat_configdir(bool mkdir);

// The per-user folder for files Zyn can make again ($XDG_CACHE_HOME or ~/.cache, then zyn),
// made with mode 0700 when mkdir is set. Empty when it cannot be determined or made, and when it
// is not a folder of the user's own (a symbolic link to elsewhere included), so that nobody else
// can plant a file there.
std::string plat_cachedir(bool mkdir);

// What tells one version of a file from another without reading it.
struct plat_fileid {
  uint64_t dev, ino, size;
  int64_t mtime_ns, ctime_ns;
};
// 0 with the identity of the regular file the name leads to; 1 for anything else.
int plat_identify(const char* utf8name, plat_fileid* id);

// Open a regular file for reading, never through a symbolic link. Null on failure.
FILE* plat_fopenplain(const char* utf8name);

// A regular file's bytes in memory, mapped copy-on-write: the program may change them, the file
// stays as it is. Opened never through a symbolic link. 0 on success; 1 for anything else (an
// empty file included). A file of one's own that nobody shortens while it is mapped is the
// caller's to see to: the cache folder's files are only ever replaced or removed whole.
struct plat_mapped {
  char* p = nullptr;
  size_t n = 0;
};
int plat_mapfile(const char* utf8name, plat_mapped* m);
void plat_unmapfile(plat_mapped* m);  // and empties m

// The regular files of a folder (not through symbolic links), with their modification times.
struct plat_direntry {
  std::string name;
  int64_t mtime_ns;
};
std::vector<plat_direntry> plat_listdir(const char* utf8dir);
int plat_remove(const char* utf8name);  // 0 on success
int plat_touch(const char* utf8name);   // its modification time becomes now; 0 on success

// The user's documents folder (falls back to the home folder); empty when unknown.
std::string plat_docsdir();

// Open a web address in the user's browser. Returns 0 on success.
int plat_openuri(const char* uri);

// Run fn(arg) in a process of its own that may outlive this one, with the standard streams on
// the null device, for work a program ending now should not wait for. Returns 0 when started;
// 1 when no process could be made (fn has not run).
int plat_background(void (*fn)(void*), void* arg);

// Run the program at path in place of this process with the same environment; argv[0] is the
// name it is given. Returns only on failure (plat_errtext() says why).
void plat_exec(const std::string& path, char** argv);

// Dynamic libraries for plug-ins. Null on failure; plat_dlerror() gives the text.
void* plat_dlopen(const char* utf8path);
void* plat_dlsym(void* lib, const char* name);
int plat_dlclose(void* lib);
const char* plat_dlerror();
