"""The X session of the end-to-end test: its own X server with two monitors, a window manager
with a compositor and a desktop background, in a temporary HOME; queries on it; the application
under test. Everything started here is stopped again by Session.stop().
"""

import ctypes
import ctypes.util
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

BACKGROUND = (0x30, 0x50, 0xA0)
BACKDROP_ALPHA = 0.45
XORG = "/usr/lib/xorg/Xorg"
XORG_CONF = """Section "ServerFlags"
  Option "DontVTSwitch" "true"
  Option "AutoAddDevices" "false"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 65536
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 3200 1200
  EndSubSection
EndSection
"""


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_for(what, predicate, timeout=10.0, interval=0.05):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure("timed out waiting for " + what)
        time.sleep(interval)


class XServer:
    """Queries on the test display through libX11 and the x11-utils tools."""

    def __init__(self, display, env):
        self.display = display
        self.env = env
        self._xlib = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
        self._xlib.XOpenDisplay.restype = ctypes.c_void_p
        self._xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self._xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self._xlib.XInternAtom.restype = ctypes.c_ulong
        self._xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        self._xlib.XGetSelectionOwner.restype = ctypes.c_ulong
        self._xlib.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self._xlib.XDefaultRootWindow.restype = ctypes.c_ulong
        self._xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self._xlib.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                          ctypes.POINTER(ctypes.c_ulong),
                                          ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)), ctypes.POINTER(ctypes.c_uint)]
        self._xlib.XFree.argtypes = [ctypes.c_void_p]
        # A window that vanished between two requests is no reason for Xlib to end the test.
        self._ignore_errors = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)
        self._xlib.XSetErrorHandler(self._ignore_errors)

    def run(self, *args, check_rc=True):
        result = subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=20)
        if check_rc and result.returncode != 0:
            raise Failure("%s failed: %s" % (" ".join(args), result.stderr.strip()))
        return result.stdout

    def _open(self):
        dpy = self._xlib.XOpenDisplay(self.display.encode())
        check(dpy, "cannot open display " + self.display)
        return dpy

    def selection_owned(self, name):
        dpy = self._open()
        try:
            atom = self._xlib.XInternAtom(dpy, name.encode(), 0)
            return self._xlib.XGetSelectionOwner(dpy, atom) != 0
        finally:
            self._xlib.XCloseDisplay(dpy)

    def _query_tree(self, dpy, window):
        """(parent, children bottom first), or (None, []) for a window that is gone."""
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not self._xlib.XQueryTree(dpy, window, ctypes.byref(root), ctypes.byref(parent), ctypes.byref(children),
                                     ctypes.byref(count)):
            return None, []
        found = [children[i] for i in range(count.value)]
        if children:
            self._xlib.XFree(children)
        return parent.value, found

    def root_property(self, name):
        return self.run("xprop", "-root", name, check_rc=False)

    def window_manager_name(self):
        m = re.search(r"window id # (0x[0-9a-fA-F]+)", self.root_property("_NET_SUPPORTING_WM_CHECK"))
        if not m:
            return None
        m = re.search(r'= "(.*)"', self.window_property(int(m.group(1), 16), "_NET_WM_NAME"))
        return m.group(1).lower() if m else None

    def clients(self):
        return [int(w, 16) for w in re.findall(r"0x[0-9a-fA-F]+", self.root_property("_NET_CLIENT_LIST"))]

    def stacking(self):
        """Managed client windows as the server stacks their frames, bottom first. Read from the
        window tree: that is what the screen shows, and xfwm4 keeps no _NET_CLIENT_LIST_STACKING."""
        clients = self.clients()
        dpy = self._open()
        try:
            root = self._xlib.XDefaultRootWindow(dpy)
            _, top_level = self._query_tree(dpy, root)
            position = {}
            for client in clients:
                window = client
                while True:
                    parent, _ = self._query_tree(dpy, window)
                    if parent is None or parent == root:
                        break
                    window = parent
                if parent == root and window in top_level:
                    position[client] = top_level.index(window)
            return sorted(position, key=position.get)
        finally:
            self._xlib.XCloseDisplay(dpy)

    def window_property(self, window, name):
        return self.run("xprop", "-id", str(window), name, check_rc=False)

    def name(self, window):
        m = re.search(r'WM_NAME\([^)]*\) = "(.*)"', self.window_property(window, "WM_NAME"))
        return m.group(1) if m else None

    def geometry(self, window):
        out = self.run("xwininfo", "-id", str(window), check_rc=False)
        def value(label):
            m = re.search(label + r":\s+(-?\d+)", out)
            return int(m.group(1)) if m else None
        return (value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"), value("Height"))

    def is_viewable(self, window):
        return "IsViewable" in self.run("xwininfo", "-id", str(window), check_rc=False)

    def states(self, window):
        return set(re.findall(r"_NET_WM_STATE_\w+", self.window_property(window, "_NET_WM_STATE")))

    def desktop(self, window):
        m = re.search(r"= (\d+)", self.window_property(window, "_NET_WM_DESKTOP"))
        return int(m.group(1)) if m else None

    def window_under(self, x, y):
        self.run("xdotool", "mousemove", str(x), str(y))
        out = self.run("xdotool", "getmouselocation", "--shell")
        return int(re.search(r"WINDOW=(\d+)", out).group(1))

    def parent(self, window):
        out = self.run("xwininfo", "-children", "-id", str(window), check_rc=False)
        m = re.search(r"Parent window id: (0x[0-9a-f]+)", out)
        return int(m.group(1), 16) if m else None

    def hit(self, x, y, window):
        """Whether the pointer at (x, y) finds window (or the frame the window manager gave it)."""
        return self.window_under(x, y) in (window, self.parent(window))

    def active_window(self):
        m = re.search(r"# (0x[0-9a-fA-F]+)", self.root_property("_NET_ACTIVE_WINDOW"))
        return int(m.group(1), 16) if m else None

    def root_id(self):
        out = self.run("xwininfo", "-root")
        return int(re.search(r"Window id: (0x[0-9a-f]+)", out).group(1), 16)

    def screenshot(self, path):
        self.run("import", "-window", "root", path)
        ppm = path + ".ppm"
        self.run("convert", path, "-depth", "8", ppm)
        return Image(ppm)


class Image:
    def __init__(self, ppm_path):
        with open(ppm_path, "rb") as f:
            data = f.read()
        # P6 <w> <h> <max>\n<bytes>
        fields = []
        pos = 0
        while len(fields) < 4:
            while data[pos:pos + 1].isspace():
                pos += 1
            if data[pos:pos + 1] == b"#":
                pos = data.index(b"\n", pos) + 1
                continue
            end = pos
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[pos:end])
            pos = end
        check(fields[0] == b"P6", "unexpected screenshot format")
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = data[pos + 1:]

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])


def close_to(colour, expected, tolerance=14):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


def dimmed(colour, alpha=BACKDROP_ALPHA):
    return tuple(round(c * (1 - alpha)) for c in colour)


class Session:
    """The processes of one test run; stop() ends every one of them."""

    def __init__(self, veloran, keep, wm="openbox", shots_dir=None):
        self.veloran = veloran
        self.keep = keep
        self.wm = wm
        self.shots_dir = shots_dir
        # GTK, and so xfwm4, sees only monitors that have an output of their own, which Xvfb
        # cannot give; Xorg's dummy driver has an output per monitor.
        self.server = "xorg" if wm == "xfwm4" else "xvfb"
        self.tmp = tempfile.mkdtemp(prefix="veloran-e2e-%s-" % wm)
        self.processes = []
        self.app = None
        self.app_log = None
        self.display = None
        self.env = None
        self.x = None
        self.shots = 0

    # --- environment ---------------------------------------------------------------------
    def start(self):
        home = os.path.join(self.tmp, "home")
        runtime = os.path.join(self.tmp, "runtime")
        for folder in (home, runtime, os.path.join(self.tmp, "tmp")):
            os.makedirs(folder)
        os.chmod(runtime, 0o700)
        env = {k: v for k, v in os.environ.items()
               if k not in ("WAYLAND_DISPLAY", "XDG_SESSION_TYPE", "DBUS_SESSION_BUS_ADDRESS",
                            "VELORAN_PLATFORM", "QT_QPA_PLATFORM", "SESSION_MANAGER", "XAUTHORITY")}
        env.update({
            "HOME": home,
            "XDG_CONFIG_HOME": os.path.join(self.tmp, "config"),
            "XDG_DATA_HOME": os.path.join(self.tmp, "data"),
            "XDG_CACHE_HOME": os.path.join(self.tmp, "cache"),
            "XDG_STATE_HOME": os.path.join(self.tmp, "state"),
            "XDG_RUNTIME_DIR": runtime,
            "TMPDIR": os.path.join(self.tmp, "tmp"),
            "QT_QPA_PLATFORM": "xcb",
            "LC_ALL": "C.UTF-8",
            "NO_AT_BRIDGE": "1",  # no accessibility bus for xfwm4's GTK to start and leave behind
        })
        self.env = env
        self._start_server()
        self.x = XServer(self.display, self.env)
        if self.server == "xorg":
            for mode, width, height in (("1920x1080", 1920, 1080), ("1280x1024", 1280, 1024)):
                self.x.run("xrandr", "--newmode", mode, "0", str(width), "0", "0", "0", str(height), "0", "0", "0")
            self.x.run("xrandr", "--addmode", "DUMMY0", "1920x1080")
            self.x.run("xrandr", "--addmode", "DUMMY1", "1280x1024")
            self.x.run("xrandr", "--fb", "3200x1200", "--output", "DUMMY0", "--mode", "1920x1080", "--pos", "0x0",
                       "--primary")
        else:
            self.x.run("xrandr", "--setmonitor", "LEFT", "1920/508x1080/286+0+0", "screen")
        self.plug_right()

        self.x.run("hsetroot", "-solid", "#%02x%02x%02x" % BACKGROUND)
        self.start_window_manager(compositing=True)

    def start_window_manager(self, compositing):
        """openbox with picom, or xfwm4 with its own compositor (which needs a session bus)."""
        if self.wm == "openbox":
            self.spawn(["openbox", "--sm-disable"], "openbox")
        else:
            self.spawn(["dbus-run-session", "--", "xfwm4", "--replace",
                        "--compositor=" + ("on" if compositing else "off")], "xfwm4")
        # The check window names the window manager that really runs, not one that died at start.
        wait_for(self.wm + " to run", lambda: self.x.window_manager_name() == self.wm, 15)
        if self.wm == "openbox" and compositing:
            self.spawn(["picom", "--backend", "xrender"], "picom")
        if compositing:
            wait_for("the compositor", lambda: self.x.selection_owned("_NET_WM_CM_S0"), 15)

    def stop_compositor(self):
        if self.wm == "openbox":
            self.terminate(next(p for p in self.processes if p.args[0] == "picom"))
        else:
            # A second xfwm4 takes over from the first, without compositing.
            self.start_window_manager(compositing=False)
        wait_for("the compositor to go", lambda: not self.x.selection_owned("_NET_WM_CM_S0"))

    def plug_right(self):
        if self.server == "xorg":
            self.x.run("xrandr", "--fb", "3200x1200", "--output", "DUMMY1", "--mode", "1280x1024", "--pos", "1920x0")
            # A full query probes the outputs: only then do others read DUMMY1 as connected.
            self.x.run("xrandr", "--query")
        else:
            self.x.run("xrandr", "--setmonitor", "RIGHT", "1280/339x1024/271+1920+0", "none")

    def unplug_right(self):
        if self.server == "xorg":
            self.x.run("xrandr", "--fb", "3200x1200", "--output", "DUMMY1", "--off")
        else:
            self.x.run("xrandr", "--delmonitor", "RIGHT")

    def _start_server(self):
        # The server picks a free display number itself and writes it to the pipe: no race
        # with other tests starting servers at the same time.
        read_end, write_end = os.pipe()
        common = ["-displayfd", str(write_end), "-noreset", "-nolisten", "tcp"]
        if self.server == "xorg":
            conf = os.path.join(self.tmp, "xorg.conf")
            with open(conf, "w") as f:
                f.write(XORG_CONF)
            self.spawn([XORG, *common, "-novtswitch", "-keeptty", "-config", conf,
                        "-logfile", os.path.join(self.tmp, "xorg-server.log")], "xorg", pass_fds=(write_end,))
        else:
            self.spawn(["Xvfb", *common, "-screen", "0", "3200x1200x24"], "xvfb", pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        check(number.isdigit(), "the X server did not start (see %s.log)" % self.server)
        self.display = ":" + number
        self.env["DISPLAY"] = self.display

    def spawn(self, args, label, pass_fds=()):
        log = open(os.path.join(self.tmp, label + ".log"), "ab")
        proc = subprocess.Popen(args, env=self.env, stdout=log, stderr=subprocess.STDOUT, start_new_session=True,
                                pass_fds=pass_fds)
        self.processes.append(proc)
        return proc

    @staticmethod
    def terminate(proc, timeout=5):
        """Ends proc and what it started in its process group: the bus of dbus-run-session and
        the services that bus started outlive their parent otherwise."""
        def signal_group(signum):
            try:
                os.killpg(proc.pid, signum)
            except (ProcessLookupError, PermissionError):
                pass
        if proc.poll() is None:
            signal_group(signal.SIGTERM)
            try:
                proc.wait(timeout)
            except subprocess.TimeoutExpired:
                signal_group(signal.SIGKILL)
                proc.wait(timeout)
        signal_group(signal.SIGTERM)

    def stop(self):
        for proc in reversed(self.processes):
            self.terminate(proc)
        if self.keep:
            print("kept", self.tmp)
        else:
            shutil.rmtree(self.tmp, ignore_errors=True)

    # --- the library --------------------------------------------------------------------
    @property
    def library_root(self):
        return os.path.join(self.env["HOME"], "Pictures", "Veloran.collagelibrary")

    def seed_library(self):
        # Past the first-run onboarding, so only --edit opens the editing mode.
        conf = os.path.join(self.env["XDG_CONFIG_HOME"], "Veloran", "Veloran.conf")
        os.makedirs(os.path.dirname(conf))
        with open(conf, "w") as f:
            f.write("[General]\ndidOnboard=true\n")
        trip = os.path.join(self.library_root, "Trip")
        zoo = os.path.join(self.library_root, "Zoo")
        os.makedirs(trip)
        os.makedirs(zoo)
        self.x.run("convert", "-size", "600x450", "gradient:#e0a040-#b03020", os.path.join(trip, "a.jpg"))
        self.x.run("convert", "-size", "450x600", "gradient:#40a0e0-#2040b0", os.path.join(trip, "b.jpg"))
        self.x.run("convert", "-size", "500x500", "xc:#30a050", os.path.join(zoo, "c.jpg"))

        def item(uid, name, center, size, rotation, z):
            return ('{"id":"%s","imageFileName":"%s","center":[%g,%g],"size":[%g,%g],"rotation":%g,'
                    '"cropRect":[[0,0],[1,1]],"zIndex":%d,"flipH":false,"flipV":false}'
                    % (uid, name, center[0], center[1], size[0], size[1], rotation, z))

        with open(os.path.join(trip, "collage.json"), "w") as f:
            f.write('{"photos":[%s,%s]}' % (
                item("11111111-2222-4333-8444-555555555555", "a.jpg", (500, 600), (320, 240), 0.0, 0),
                item("99999999-2222-4333-8444-555555555555", "b.jpg", (1100, 500), (240, 320), 0.0, 1)))
        with open(os.path.join(zoo, "collage.json"), "w") as f:
            f.write('{"photos":[%s]}' % item("AAAAAAAA-2222-4333-8444-555555555555", "c.jpg", (640, 512), (300, 300), 0.0, 0))

    # --- the application ----------------------------------------------------------------
    def launch(self, *args):
        check(self.app is None or self.app.poll() is not None, "the application is already running")
        self.app_log = os.path.join(self.tmp, "veloran-%d.log" % len(self.processes))
        log = open(self.app_log, "wb")
        self.app = subprocess.Popen([self.veloran, *args], env=self.env, stdout=log, stderr=subprocess.STDOUT,
                                    start_new_session=True)
        self.processes.append(self.app)
        wait_for("the library root line", lambda: "library root: " in self.log())
        return self.app

    def log(self):
        with open(self.app_log, encoding="utf-8", errors="replace") as f:
            return f.read()

    def desktop_windows(self):
        """The application's mapped desktop windows, left to right."""
        found = [w for w in self.x.stacking() if self.x.name(w) == "Veloran" and self.x.is_viewable(w)]
        return sorted(found, key=lambda w: self.x.geometry(w)[0])

    def wait_windows(self, frames, state):
        def ready():
            windows = self.desktop_windows()
            if [self.x.geometry(w) for w in windows] != list(frames):
                return None
            if not all(state in self.x.states(w) for w in windows):
                return None
            return windows
        try:
            return wait_for("%d desktop window(s) with %s" % (len(frames), state), ready)
        except Failure as failure:
            found = ["%s %s" % (self.x.geometry(w), sorted(self.x.states(w))) for w in self.desktop_windows()]
            raise Failure("%s; found %s" % (failure, "; ".join(found) or "none"))

    def quit_with(self, signum):
        self.app.send_signal(signum)
        try:
            rc = self.app.wait(10)
        except subprocess.TimeoutExpired:
            raise Failure("no exit within 10 s of signal %d" % signum)
        check(rc == 0, "exit code %d after signal %d" % (rc, signum))
        check("signal %d: saving and quitting" % signum in self.log(), "no quit line for signal %d" % signum)

    def shot(self, label):
        self.shots += 1
        name = "%02d-%s.png" % (self.shots, label)
        image = self.x.screenshot(os.path.join(self.tmp, name))
        if self.shots_dir:
            os.makedirs(self.shots_dir, exist_ok=True)
            shutil.copy(os.path.join(self.tmp, name), os.path.join(self.shots_dir, self.wm + "-" + name))
        return image


