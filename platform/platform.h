// The few operating-system services Zyn needs, behind one small interface.
// Nothing outside this module knows which platform it runs on.
#pragma once

#include <cstdio>
#include <string>

// Open a file by its UTF-8 name (mode as for fopen); a folder is refused. Null on failure;
// plat_errtext() says why.
FILE* plat_fopen(const char* utf8name, const char* mode);

// Text of the last system error (at most 1000 bytes), or "general error" when there is none.
const char* plat_errtext();
void plat_clearerr();

// The current directory, empty on failure.
std::string plat_cwd();

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
