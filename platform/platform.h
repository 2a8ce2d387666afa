// The few operating-system services Zyn needs, behind one small interface.
// Nothing outside this module knows which platform it runs on.
#pragma once

#include <cstdio>
#include <string>

// Open a file by its UTF-8 name (mode as for fopen); a folder is refused. Null on failure;
// plat_errtext() says why.
FILE* plat_fopen(const char* utf8name, const char* mode);

// A file written whole or not at all: the bytes go to a new temporary file beside the target,
// which replaces the target only when everything was written and closed, so that a failed
// export never destroys an existing file.
struct plat_newfile {
  FILE* f = nullptr;
  std::string path, tmp;
};
int plat_newopen(plat_newfile& nf, const char* utf8name);  // 0, or 1 (plat_errtext says why)
int plat_newcommit(plat_newfile& nf);  // close and rename into place; 0, or 1 with nothing replaced
void plat_newabort(plat_newfile& nf);  // close and remove the temporary file
// Record a system error number for plat_errtext (one that arose where errno was not kept).
void plat_seterr(int err);
// Make a folder (mode 0777 less the umask); an existing folder is fine. 0 on success.
int plat_mkdir(const char* utf8name);
// Write a whole file so that its previous copy survives any failure: the data goes to a new
// temporary file in the same folder, is flushed to the disk and then renamed over the target
// (a symbolic link keeps pointing at the file it names; an existing file keeps its permissions).
// Returns 0 on success; 1 on failure, with the target untouched, no temporary file left behind
// and plat_errtext() saying why.
int plat_writefile(const char* utf8name, const char* data, size_t len);

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

// The user's documents folder (falls back to the home folder); empty when unknown.
std::string plat_docsdir();

// Open a web address in the user's browser. Returns 0 on success.
int plat_openuri(const char* uri);

// Dynamic libraries for plug-ins. Null on failure; plat_dlerror() gives the text.
void* plat_dlopen(const char* utf8path);
void* plat_dlsym(void* lib, const char* name);
int plat_dlclose(void* lib);
const char* plat_dlerror();
