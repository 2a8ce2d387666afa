// The program's thread lock, taken through these two calls only. The main thread holds it from
// start-up on, except while it waits for the filler thread and inside the window's main loop;
// the filler thread takes it to publish results. The window installs the same pair as GDK's
// lock functions, so widget code and the engine never hold two different locks.
#pragma once

void zyn_lock();
void zyn_unlock();
