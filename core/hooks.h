// The one table through which the engine tells the window something. The window fills it in;
// batch mode and the tests leave entries empty, and callers skip an empty entry.
#pragma once

struct uihooks {
  // Messages (see core/message.h for what happens without a window).
  void (*infobox)(const char* msg);
  void (*warnbox)(const char* msg);
  void (*errbox)(const char* msg);
  int (*areyousure)(const char* verb);
  int (*askyesno)(const char* question);  // a yes/no question: 1 yes, 0 no (or the box closed)
  // The cell contents dialog on the cursor cell, opened by typing into a cell of several
  // positions. Returns 1 when the user applied it (the dialog then ended its edit and showed
  // its report), 0 when cancelled (nothing changed).
  int (*cellcontents)();
  // A document being opened names a treatment plug-in, which is native code: 1 to load it,
  // 0 to open the document without it. Without the hook the plug-in is loaded.
  int (*askplugin)(const char* path);
  // Refreshes requested by the engine.
  // From the filler thread, without the lock: the lists are built and the search begins.
  void (*searching)();
  // The screen picture changed in this drawing-area rectangle (w < 0: everywhere): repaint it.
  void (*invalidate)(int x, int y, int w, int h);
  // From the filler thread, with the GDK lock held.
  void (*refreshhints)();  // the entries' feasible sets changed: redraw the hints layer
  void (*updatefeas)();    // a fill ended: refill the feasible-word list and characters label
  void (*fipdone)();       // an autofill ended: the progress dialog's timer closes it (killfipdia)
  // From runfiller on the main thread: the feasible-characters label ("" or " Working...").
  void (*setfeaslabel)(const char* text);
};
extern uihooks ui;
