"""Exits 0 once the X display's notification area selection has an owner, 1 if none appears in time.

A tray host maps its window before it claims _NET_SYSTEM_TRAY_S<screen>; until the claim, Qt
reports no notification area, so waiting for the window alone races with the host's start.
"""
import ctypes
import ctypes.util
import sys
import time

x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultScreen.argtypes = [ctypes.c_void_p]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XGetSelectionOwner.restype = ctypes.c_ulong
x11.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]

display = x11.XOpenDisplay(None)
if not display:
    sys.exit("cannot open the X display")
selection = x11.XInternAtom(
    display, f"_NET_SYSTEM_TRAY_S{x11.XDefaultScreen(display)}".encode(), 0)
deadline = time.monotonic() + float(sys.argv[1] if len(sys.argv) > 1 else 30)
while time.monotonic() < deadline:
    if x11.XGetSelectionOwner(display, selection):
        sys.exit(0)
    time.sleep(0.1)
sys.exit(1)
