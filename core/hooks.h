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
  // positions. Returns 1 when the user applied it (the dialog then ran the after-edit routine
  // and pushed its undo step), 0 when cancelled (nothing changed).
  int (*cellcontents)();
  // A document being opened names a treatment plug-in, which is native code: 1 to load it,
  // 0 to open the document without it. Without the hook the plug-in is loaded.
  int (*askplugin)(const char* path);
  // Refreshes requested by the engine.
  void (*statsrefresh)();  // the grid's statistics changed (after a rebuild)
  void (*selchanged)();    // the selection or its mode changed: Select menu and selection layer
  void (*afteredit)();     // an edit was renumbered: redraw the cursor, the selection and the marks
  // From the filler thread, without the lock: the lists are built and the search begins.
  void (*searching)();
  // The screen picture changed in this drawing-area rectangle (w < 0: everywhere): repaint it.
  void (*invalidate)(int x, int y, int w, int h);
  // From the filler thread, with the GDK lock held.
  void (*refreshhints)();  // the entries' feasible sets changed: redraw the hints layer
  void (*updatefeas)();    // a fill ended: refill the feasible-word list and characters label
  void (*fipdone)();       // an autofill ended: close the progress dialog (killfipdia)
  // From runfiller on the main thread: the feasible-characters label ("" or " Working...").
  void (*setfeaslabel)(const char* text);
};
extern uihooks ui;
