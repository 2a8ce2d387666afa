#!/usr/bin/python3
"""Read what Zyn's window shows through the accessibility bus. Run with Debian's
/usr/bin/python3 inside the private session of lib.sh.
  a11y.py menus   the main window's title, then the menu bar's menus, one per line
  a11y.py alert   the text of the message box now showing (waits for one)
  a11y.py grid    the grid's width and height on screen
  a11y.py buttons the screen centre of each push button of the main window, one per line
  a11y.py label   the feasible-characters line
  a11y.py menustate       every menu item: its name, a tab, 1 when sensitive else 0
  a11y.py labels TITLE    the texts of the labels of the dialog titled TITLE
  a11y.py list    the feasible-word list: each row's text and its screen centre, one per line
  a11y.py popup   the items of the pop-up menu now showing: name and screen centre
  a11y.py focuslist       give the feasible-word list the keyboard
  a11y.py scrollbars [N]  the scroll bars the grid's pane (or the Nth scrolled pane: 1 the
                          feasible-word list's, 2 the clues') shows now, one per line:
                          horizontal or vertical
  a11y.py entries TITLE   the text entries of the dialog titled TITLE: text, caret offset and
                          tooltip, tab-separated, one per line
  a11y.py cluerows        the lights of the clue pane's rows that show, one per line
  a11y.py widths          each row of the feasible-word list: its text, a tab, its width
  a11y.py menu PATH       choose the main window's menu item PATH, its labels without
                          mnemonics joined by "/" (File/New/Blank 15x15)"""
import sys

import pyatspi
from a11ybus import app, wait_for
if sys.argv[1] == "menus":
    frame = wait_for(lambda: app.child(roleName="frame"), "the main window")
    print(frame.name)
    for menu in frame.child(roleName="menu bar").children:
        print(menu.name)
elif sys.argv[1] == "alert":
    alert = wait_for(lambda: [a for a in app.children if a.roleName == "alert" and a.showing], "a message box")[0]
    print("\n".join(n.name for n in alert.findChildren(lambda n: n.roleName == "label") if n.name))
elif sys.argv[1] == "menu":
    node = wait_for(lambda: app.child(roleName="frame"), "the main window").child(roleName="menu bar")
    for name in sys.argv[2].split("/"):
        node = [n for n in node.children if n.name == name and n.roleName in ("menu", "menu item", "radio menu item")][0]
    node.doActionNamed("click")
elif sys.argv[1] == "menustate":
    frame = wait_for(lambda: app.child(roleName="frame"), "the main window")
    for item in frame.child(roleName="menu bar").findChildren(lambda n: n.roleName in ("menu item", "radio menu item")):
        print("%s\t%d" % (item.name, 1 if item.sensitive else 0))
elif sys.argv[1] == "labels":
    dialog = wait_for(lambda: [d for d in app.children if d.name == sys.argv[2] and d.showing], "the dialog")[0]
    for n in dialog.findChildren(lambda n: n.roleName == "label"):
        print(n.name)
elif sys.argv[1] == "list":
    frame = wait_for(lambda: app.child(roleName="frame"), "the main window")
    table = frame.child(roleName="table")
    for n in table.children:
        if n.roleName == "table cell" and n.name and n.showing:
            (x, y), (w, h) = n.position, n.size
            print("%s\t%d %d" % (n.name, x + w // 2, y + h // 2))
elif sys.argv[1] == "focuslist":
    frame = wait_for(lambda: app.child(roleName="frame"), "the main window")
    table = frame.child(roleName="table")
    table.grabFocus()
    wait_for(lambda: table.focused, "the list to take the keyboard")
elif sys.argv[1] == "popup":
    menu = wait_for(lambda: [m for m in app.children if m.roleName == "window" and m.showing
                             and m.findChildren(lambda n: n.roleName == "menu item" and n.showing)], "a pop-up menu")[0]
    for n in menu.findChildren(lambda n: n.roleName == "menu item" and n.showing):
        (x, y), (w, h) = n.position, n.size
        print("%s\t%d %d" % (n.name, x + w // 2, y + h // 2))
elif sys.argv[1] == "scrollbars":
    frame = wait_for(lambda: app.child(roleName="frame"), "the main window")
    pane = frame.findChildren(lambda n: n.roleName == "scroll pane")[int(sys.argv[2]) if len(sys.argv) > 2 else 0]
    for b in pane.children:
        if b.roleName == "scroll bar" and b.showing:
            print("horizontal" if b.getState().contains(pyatspi.STATE_HORIZONTAL) else "vertical")
elif sys.argv[1] == "entries":
    dialog = wait_for(lambda: [d for d in app.children if d.name == sys.argv[2] and d.showing], "the dialog")[0]
    for n in dialog.findChildren(lambda n: n.roleName == "text"):
        print("%s\t%d\t%s" % (n.text, n.queryText().caretOffset, n.description))
elif sys.argv[1] == "cluerows":
    frame = wait_for(lambda: app.child(roleName="frame"), "the main window")
    clues = frame.findChildren(lambda n: n.roleName == "table")[-1]
    for n in clues.children:
        if n.roleName == "table cell" and n.showing and n.name.endswith((" Across", " Down")):
            print(n.name)
elif sys.argv[1] == "widths":
    frame = wait_for(lambda: app.child(roleName="frame"), "the main window")
    for n in frame.child(roleName="table").children:
        if n.roleName == "table cell" and n.name and n.showing:
            print("%s\t%d" % (n.name, n.size[0]))
elif sys.argv[1] == "grid":
    frame = wait_for(lambda: app.child(roleName="frame"), "the main window")
    print("%d %d" % tuple(frame.child(roleName="viewport").children[0].size))
else:
    frame = wait_for(lambda: app.child(roleName="frame"), "the main window")
    # The strip at the bottom of the window, reached directly: a search of the whole tree would
    # also walk every row of the feasible-word list.
    strip = frame.children[0].children[-1]
    if sys.argv[1] == "buttons":
        for b in [n for n in strip.children if n.roleName == "push button"]:
            (x, y), (w, h) = b.position, b.size
            print("%d %d" % (x + w // 2, y + h // 2))
    elif sys.argv[1] == "label":
        print([n for n in strip.children if n.roleName == "label"][0].name)
