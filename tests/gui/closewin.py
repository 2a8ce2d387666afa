#!/usr/bin/python3
"""Ask a window to close as a window manager would: send it the WM_DELETE_WINDOW client
message (xdotool's windowclose destroys the window without asking). Usage: closewin.py ID"""
import ctypes
import sys


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class XEvent(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]


CLIENT_MESSAGE, CURRENT_TIME = 33, 0
x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.POINTER(XEvent)]
x.XFlush.argtypes = [ctypes.c_void_p]
x.XCloseDisplay.argtypes = [ctypes.c_void_p]

dpy = x.XOpenDisplay(None)
if not dpy:
    sys.exit("cannot open the display")
win = int(sys.argv[1], 0)
ev = XEvent()
ev.xclient.type = CLIENT_MESSAGE
ev.xclient.window = win
ev.xclient.message_type = x.XInternAtom(dpy, b"WM_PROTOCOLS", 0)
ev.xclient.format = 32
ev.xclient.data[0] = x.XInternAtom(dpy, b"WM_DELETE_WINDOW", 0)
ev.xclient.data[1] = CURRENT_TIME
x.XSendEvent(dpy, win, 0, 0, ctypes.byref(ev))
x.XFlush(dpy)
x.XCloseDisplay(dpy)
