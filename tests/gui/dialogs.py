#!/usr/bin/python3
"""Work Zyn's dialogs through the accessibility bus. Run with Debian's /usr/bin/python3 inside
the private session of lib.sh, while the dialog named TITLE is open.
  dialogs.py texts TITLE                 the text of every entry, one per line, in order
  dialogs.py labels TITLE                every label with text, one per line, in order
  dialogs.py combos TITLE                what every combo box shows, one per line, in order
  dialogs.py set TITLE ROLE N TEXT       give the Nth (from 0) "text" or "spin button" TEXT
  dialogs.py combo TITLE N ITEM          choose ITEM in the Nth combo box
  dialogs.py pick TITLE N ITEM           the same for a combo box that does not stay on ITEM
  dialogs.py press TITLE NAME [N]        press the (Nth) push button or check box named NAME
  dialogs.py checked TITLE               the check boxes, one per line: 1 or 0 and the name
  dialogs.py sensitive TITLE ROLE N      1 when the Nth node of the role is sensitive, else 0
  dialogs.py colour TITLE N [#RRGGBB]    open the Nth colour button's chooser; print its colour,
                                         or give it the new one
Several commands may follow one another, separated by "::" (the toolkit's start-up takes "--"
out of the arguments). Entries of a table come last row first. Press only what is showing: a
control on a hidden notebook page has no window to take the click."""
import sys

from a11ybus import app, wait_for
from dogtail.predicate import GenericPredicate


def dialog(title):
    return wait_for(lambda: [d for d in app.children if d.name == title and d.roleName in ("dialog", "color chooser")][0],
                    "the dialog %r" % title)


def nodes(d, role):
    return d.findChildren(GenericPredicate(roleName=role), showingOnly=False)


def run(cmd, title, args):
    d = dialog(title)
    if cmd == "texts":
        for n in nodes(d, "text"):
            print(n.text)
    elif cmd == "labels":
        for n in nodes(d, "label"):
            if n.name:
                print(n.name)
    elif cmd == "combos":
        for n in nodes(d, "combo box"):
            print(n.name)
    elif cmd == "set":
        role, i, text = args[0], int(args[1]), args[2]
        n = nodes(d, role)[i]
        n.text = text
        wait_for(lambda: n.text == text, "the %s to read %r (now %r)" % (role, text, n.text))
    elif cmd in ("combo", "pick"):
        c = nodes(d, "combo box")[int(args[0])]
        item = c.findChild(GenericPredicate(name=args[1], roleName="menu item"), showingOnly=False)
        item.doActionNamed("click")
        if cmd == "combo":
            wait_for(lambda: c.name == args[1], "the combo box to show %r (now %r)" % (args[1], c.name))
    elif cmd == "press":
        found = [n for n in d.findChildren(lambda n: n.name == args[0] and n.roleName in ("push button", "check box"),
                                           showingOnly=False)]
        found[int(args[1]) if len(args) > 1 else 0].doActionNamed("click")
    elif cmd == "checked":
        for n in nodes(d, "check box"):
            print("%d %s" % (n.checked, n.name))
    elif cmd == "colour":
        # Colour buttons have no name; the chooser takes a colour from its name entry.
        [n for n in nodes(d, "push button") if not n.name][int(args[0])].doActionNamed("click")
        c = dialog("Pick a Color")
        entry = wait_for(lambda: [n for n in nodes(c, "text") if n.text.startswith("#")][0], "the colour name")
        if len(args) > 1:
            entry.text = args[1]
            entry.doActionNamed("activate")
            c.findChild(GenericPredicate(name="OK", roleName="push button"), showingOnly=False).doActionNamed("click")
        else:
            print(entry.text)
            c.findChild(GenericPredicate(name="Cancel", roleName="push button"), showingOnly=False).doActionNamed("click")
        wait_for(lambda: not [a for a in app.children if a.name == "Pick a Color" and a.showing], "the chooser to close")
    elif cmd == "sensitive":
        print(1 if nodes(d, args[0])[int(args[1])].sensitive else 0)


argv = sys.argv[1:]
while argv:
    part = argv[:argv.index("::")] if "::" in argv else argv
    argv = argv[len(part) + 1:]
    run(part[0], part[1], part[2:])
