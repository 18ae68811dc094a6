#!/usr/bin/env python3
"""Times Windows programs under Wine from launch to their window being shown.

Usage: launch_timer.py RUNS TITLE PROGRAM [TITLE PROGRAM ...]

Launches the programs in turn, RUNS times each (after one launch of each
that is not counted, to warm the caches), and prints the median, minimum
and maximum of each in milliseconds, then, for each program and the one
after it, the ratio of their medians and of their minimums.

The clock starts just before the launch and stops when the X server tells
us that a top-level window titled TITLE has been mapped: we listen for
MapNotify on the root window (Wine's windows are the root's children when
no window manager runs), so there is no polling interval in the result.
Each program is then ended and waited for before the next launch, so two
programs may show the same title.
"""
import ctypes
import ctypes.util
import os
import select
import statistics
import subprocess
import sys
import time

MAP_NOTIFY = 19
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
TIMEOUT_SECONDS = 30


class MapEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("event", ctypes.c_ulong), ("window", ctypes.c_ulong),
                ("override_redirect", ctypes.c_int)]


class Event(ctypes.Union):
    _fields_ = [("map", MapEvent), ("pad", ctypes.c_long * 24)]


x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
x11.XConnectionNumber.argtypes = [ctypes.c_void_p]
x11.XPending.argtypes = [ctypes.c_void_p]
x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(Event)]
x11.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_void_p)]
x11.XFree.argtypes = [ctypes.c_void_p]
# A window may be gone by the time we ask for its name: ignore X errors
# instead of letting Xlib end the process.
ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)
x11.XSetErrorHandler(ERROR_HANDLER)


def window_name(display, window):
    name = ctypes.c_void_p()
    if not x11.XFetchName(display, window, ctypes.byref(name)) or not name.value:
        return None
    text = ctypes.string_at(name.value).decode("latin-1")  # WM_NAME is a STRING
    x11.XFree(name)
    return text


class Screen:
    def __init__(self):
        self.display = x11.XOpenDisplay(None)
        if not self.display:
            sys.exit("launch_timer: cannot open the X display %r" % os.environ.get("DISPLAY"))
        x11.XSelectInput(self.display, x11.XDefaultRootWindow(self.display),
                         SUBSTRUCTURE_NOTIFY_MASK)
        x11.XSync(self.display, 0)
        self.fd = x11.XConnectionNumber(self.display)

    def events(self):
        event = Event()
        while x11.XPending(self.display):
            x11.XNextEvent(self.display, ctypes.byref(event))
            yield event

    def discard_events(self):
        x11.XSync(self.display, 0)
        for _ in self.events():
            pass

    def time_launch(self, title, command):
        """Seconds from launching `command` to its window titled `title` being mapped."""
        self.discard_events()
        start = time.perf_counter()
        process = subprocess.Popen(command, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            while True:
                remaining = start + TIMEOUT_SECONDS - time.perf_counter()
                if process.poll() is not None:
                    sys.exit("launch_timer: %s ended (exit code %d) without showing %r"
                             % (command[-1], process.returncode, title))
                if remaining <= 0:
                    sys.exit("launch_timer: no window %r from %s in %d s"
                             % (title, command[-1], TIMEOUT_SECONDS))
                select.select([self.fd], [], [], min(remaining, 0.5))
                for event in self.events():
                    if event.map.type != MAP_NOTIFY:
                        continue
                    mapped = time.perf_counter()
                    if window_name(self.display, event.map.window) == title:
                        return mapped - start
        finally:
            process.terminate()
            process.wait()


def summary(name, times):
    ms = [t * 1000 for t in times]
    return "%-24s median %7.1f ms   min %7.1f ms   max %7.1f ms" % (
        name, statistics.median(ms), min(ms), max(ms))


def main():
    if len(sys.argv) < 4 or len(sys.argv) % 2:
        sys.exit(__doc__)
    runs = int(sys.argv[1])
    programs = list(zip(sys.argv[2::2], sys.argv[3::2]))
    wine = os.environ.get("WINE64", "/usr/lib/wine/wine64")
    screen = Screen()
    times = [[] for _ in programs]
    for run in range(runs + 1):
        for i, (title, program) in enumerate(programs):
            elapsed = screen.time_launch(title, [wine, program])
            if run > 0:
                times[i].append(elapsed)
    names = [os.path.basename(program) for _, program in programs]
    for name, series in zip(names, times):
        print(summary(name, series))
    for i in range(len(programs) - 1):
        a, b = times[i], times[i + 1]
        print("%s / %s: %.2f (medians), %.2f (minimums)" % (
            names[i], names[i + 1], statistics.median(a) / statistics.median(b), min(a) / min(b)))


if __name__ == "__main__":
    main()
