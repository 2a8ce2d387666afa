// The GDK lock, taken through these two calls only, so that the engine does not depend on GDK.
// The main thread holds it from start-up on, except while it waits for the filler thread and
// inside the window's main loop; the filler thread takes it to publish results.
#pragma once

void zyn_lock();
void zyn_unlock();
