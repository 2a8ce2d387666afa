// GDK's thread lock behind the engine's two lock calls.
#include "core/lock.h"

#include <gdk/gdk.h>

void zyn_lock() { gdk_threads_enter(); }
void zyn_unlock() { gdk_threads_leave(); }
