// Treatment plug-ins: loading and unloading the user's library and calling its entry points.
// The library resolves the names of treatment/zynplugin.h against the program itself.
#include <glib.h>

#include <cstring>
#include <string>

#include "core/common.h"
#include "core/message.h"
#include "platform/platform.h"
#include "treatment/treatment.h"

typedef void (*voidfn)();
typedef int (*treatfn)(const char*);

static void* lib = nullptr;
static treatfn treatp = nullptr;
static std::string pending;   // error of the load under way
static std::string reported;  // the text loadplugin last returned

// Longest error text, as the system's message table allows.
constexpr size_t MXERR = 65535;

// The pending error: the quoted name, then the loader's reason.
static void seterror(const char* name, const char* why) {
  if (!why || !*why) why = "general error";
  pending = std::string("\"") + name + "\": " + why;
  if (pending.size() > MXERR) pending.resize(MXERR);
}

// UTF-16 units the name would take; names the system cannot take are not tried.
static size_t utf16units(const char* s) {
  size_t n = 0;
  for (const char* p = s; *p; p = g_utf8_next_char(p)) n += g_utf8_get_char(p) >= 0x10000 ? 2 : 1;
  return n;
}

const char* loadplugin() {
  unloadplugin();
  pending.clear();
  char path[SLEN];
  strlcpy0(path, pluginpath, sizeof path);
  if (deb(DEB_TREAT)) pstdout("dlopen(\"%s\")\n", path);
  if (!g_utf8_validate(path, -1, nullptr) || utf16units(path) > SLEN) path[0] = 0;
  // A bare name is a file beside the document or deck that names it (the current folder for
  // one without a name); the loader is always given a folder, so it never searches the
  // system's library path.
  std::string full = path;
  if (path[0] && !strchr(path, PLAT_SEP)) {
    const char* sep = strrchr(filename, PLAT_SEP);
    full = (sep ? std::string(filename, (size_t)(sep - filename)) : std::string(".")) + PLAT_SEP + path;
  }
  // An empty name would open the program itself.
  lib = path[0] ? plat_dlopen(full.c_str()) : nullptr;
  if (!lib) {
    seterror(path, path[0] ? plat_dlerror() : "no file name");
  } else if (!(treatp = (treatfn)plat_dlsym(lib, "treat"))) {
    // A library without treat is refused, and unloaded, before its init is called.
    seterror("treat", plat_dlerror());
    plat_dlclose(lib);
    lib = nullptr;
  } else if (voidfn init = (voidfn)plat_dlsym(lib, "init")) {
    init();
  }
  if (pending.empty()) return nullptr;
  reported.swap(pending);
  pending.clear();
  if (deb(DEB_TREAT)) pstdout("%s\n", reported.c_str());
  return reported.c_str();
}

void unloadplugin() {
  if (!lib) return;
  if (voidfn finit = (voidfn)plat_dlsym(lib, "finit")) finit();
  plat_dlclose(lib);
  lib = nullptr;
  treatp = nullptr;
}

void pluginerror(const char* err) {
  char why[201];
  utf8cut(why, err, sizeof why);
  std::string msg = std::string("Error loading custom plug-in\n") + why;
  errbox(msg.c_str());
}

int syncplugin() {
  if (treattype != TT_PLUGIN) {
    unloadplugin();
    return 0;
  }
  const char* err = loadplugin();
  if (err) pluginerror(err);
  return err != nullptr;
}

bool pluginloaded() { return treatp != nullptr; }

int plugintreat(const char* utf8) { return treatp ? treatp(utf8) : 1; }
