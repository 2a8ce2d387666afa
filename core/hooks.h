// The one table through which the engine tells the window something. The window fills it in;
// batch mode and the tests leave entries empty, and callers skip an empty entry.
#pragma once

struct uihooks {
  // Messages (see core/message.h for what happens without a window).
  void (*infobox)(const char* msg);
  void (*warnbox)(const char* msg);
  void (*errbox)(const char* msg);
  int (*areyousure)(const char* verb);
  // Refreshes requested by the engine.
  void (*statsrefresh)();  // the grid's statistics changed (after a rebuild)
  void (*selchanged)();    // the selection or its mode changed: Select menu and selection layer
  void (*afteredit)();     // an edit was renumbered: redraw the cursor, the selection and the marks
  // From the filler thread, without the lock: the lists are built and the search begins.
  void (*searching)();
  // From the filler thread, with the GDK lock held.
  void (*refreshhints)();  // the entries' feasible sets changed: redraw the hints layer
  void (*updatefeas)();    // a fill ended: refill the feasible-word list and characters label
  void (*fipdone)();       // an autofill ended: close the progress dialog (killfipdia)
  // From runfiller on the main thread: the feasible-characters label ("" or " Working...").
  void (*setfeaslabel)(const char* text);
};
extern uihooks ui;
