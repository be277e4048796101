#!/usr/bin/env python3
"""End-to-end test of the veloran executable on a real X server.

Starts its own X server with two monitors, a window manager with a compositor (openbox with
picom on Xvfb, or xfwm4 with its own on Xorg's dummy driver) and a desktop background, in a
temporary HOME, then drives the binary: windows per screen, their window-manager states,
click-through, ordinary windows over the prints, the editing mode with its backdrop and control
bar, screens unplugged and plugged back while editing, pasting an image from the clipboard, and
quitting on signals. Everything it
started is stopped again, also on failure.

Usage: run.py PATH-TO-VELORAN [--wm openbox|xfwm4] [--keep] [--shots DIR]
  --keep leaves the temporary folder; --shots copies the screenshots to DIR.
"""

import json
import math
import os
import re
import shutil
import signal
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # no cache files in the source tree
from xsession import BACKGROUND, XORG, Failure, Session, check, close_to, dimmed, wait_for

LEFT = (0, 0, 1920, 1080)
RIGHT = (1920, 0, 1280, 1024)
# A point on the first print that the window opened over it covers.
UNDER_WINDOW = (400, 500)
MAGENTA = (0xE0, 0x20, 0xE0)
GREEN = (0x20, 0xC0, 0x40)
CYAN = (0x20, 0xC0, 0xC0)


def find_bar(image, frame):
    """The control bar's right edge and vertical centre on a screen, from its dark panel colour."""
    x0, y0, w, h = frame
    centre_x = x0 + w // 2
    backdrop = dimmed(BACKGROUND)
    def in_bar(p):
        return not close_to(p, backdrop, 8)  # anything but the dimmed, empty desktop
    column = [y for y in range(y0 + h - 1, y0 + h - 200, -1) if in_bar(image.at(centre_x, y))]
    check(column, "no control bar at the bottom centre of %s" % (frame,))
    bottom, top = max(column), min(column)
    check(bottom - top + 1 == len(column), "the bar is not one piece")
    mid_y = (top + bottom) // 2
    right = centre_x
    while right < x0 + w - 1 and in_bar(image.at(right + 1, mid_y)):
        right += 1
    return bottom, top, right, mid_y


def test_at_rest(s):
    app = s.launch()
    left, right = s.wait_windows([LEFT, RIGHT], "_NET_WM_STATE_BELOW")
    check(("library root: " + s.library_root + "\n") in s.log(), "library root line names " + s.library_root)
    for w in (left, right):
        states = s.x.states(w)
        check({"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"} <= states, "taskbar/pager states: %s" % states)
        check("_NET_WM_STATE_ABOVE" not in states, "a desktop window is kept above")
        check(s.x.desktop(w) == 0xFFFFFFFF, "window not on every workspace")

    # The main screen shows the first collage (its orange and red photo decoded); the other nothing.
    image = expect_shot(s, "rest", "the first photo drawn", lambda i: photo_drawn(i.at(*UNDER_WINDOW)))
    cx, cy = layout_centers(s, "Trip")["11111111-2222-4333-8444-555555555555"]
    card = image.at(int(cx), int(1080 - cy + 120 + 14))  # bottom strip of the first print
    check(all(c > 225 for c in card), "no white card at the first print: %s" % (card,))
    check(close_to(image.at(1700, 950), BACKGROUND), "desktop not showing through: %s" % (image.at(1700, 950),))
    check(close_to(image.at(1920 + 640, 512), BACKGROUND), "unassigned screen is not empty")

    # Click-through: the pointer over a print finds the root window, not ours.
    root = s.x.root_id()
    check(s.x.window_under(500, 480) == root, "pointer events reach the desktop window")

    message = test_ordinary_windows(s, image.at(*UNDER_WINDOW))

    s.quit_with(signal.SIGTERM)
    conf = os.path.join(s.env["XDG_CONFIG_HOME"], "Veloran", "Veloran.conf")
    check(os.path.exists(conf) and "displayCollageAssignments" in open(conf, errors="replace").read(),
          "the default assignment was not stored")
    check("edit mode" not in s.log(), "editing mode entered without being asked")
    return message


def photo_drawn(pixel):
    r, g, b = pixel
    return r > 150 and g < 140 and b < 90  # the first photo's gradient, not a grey placeholder


def open_window(s, title, colour, geometry):
    proc = s.spawn(["xmessage", "-title", title, "-bg", "#%02x%02x%02x" % colour, "-geometry", geometry, title], title)
    window = wait_for(title, lambda: next((w for w in s.x.clients() if s.x.name(w) == title), None))
    wait_for(title + " to have the focus", lambda: s.x.active_window() == window, 5)
    return proc, window


def expect_shot(s, label, what, predicate):
    """A screenshot that satisfies predicate, taken again for up to 3 s while the screen settles."""
    shots = []
    def settled():
        shots.append(s.shot(label))
        return predicate(shots[-1])
    try:
        wait_for(what, settled, 3, 0.1)
    except Failure:
        raise Failure("%s (%s)" % (what, label))
    return shots[-1]


def expect_above_prints(s, label, window):
    """The ordinary window covers the print under it, on screen and in the stacking order."""
    image = expect_shot(s, label, "the print stays covered by the window over it",
                        lambda i: close_to(i.at(*UNDER_WINDOW), MAGENTA))
    order = s.x.stacking()
    for ours in s.desktop_windows():
        check(order.index(ours) < order.index(window), "%s: a desktop window is stacked above the window" % label)
    return image


def test_ordinary_windows(s, print_pixel):
    """An ordinary window over a print stays above it while it has the focus, after a click on
    the other monitor's empty desktop, while a window on the other monitor has the focus, and
    when the application starts then; closed, it shows the print again."""
    over, over_id = open_window(s, "over-the-print", MAGENTA, "400x200+300+380")
    expect_above_prints(s, "focused", over_id)
    s.x.run("xdotool", "mousemove", str(1920 + 640), "900", "click", "1")
    check(s.x.window_under(1920 + 640, 900) == s.x.root_id(), "the click missed the empty desktop")
    expect_above_prints(s, "desktop-clicked", over_id)
    other = open_window(s, "other-monitor", GREEN, "300x150+2200+300")[1]
    image = expect_above_prints(s, "focus-elsewhere", over_id)
    check(close_to(image.at(2350, 400), GREEN), "the window on the other monitor is covered")
    s.quit_with(signal.SIGTERM)
    s.launch()
    s.wait_windows([LEFT, RIGHT], "_NET_WM_STATE_BELOW")
    s.x.run("xdotool", "mousemove", str(1920 + 640), "900")  # no hover over the print
    expect_above_prints(s, "started-with-focus-elsewhere", over_id)
    s.terminate(over)
    expect_shot(s, "closed", "the print visible again where the window was",
                lambda i: close_to(i.at(*UNDER_WINDOW), print_pixel, 8))
    return other


def test_editing(s, message):
    wait_for("the ordinary window to be active", lambda: s.x.active_window() == message, 5)
    s.launch("--edit")
    wait_for("edit mode on", lambda: "[edit] INFO: edit mode: ON" in s.log())
    left, right = s.wait_windows([LEFT, RIGHT], "_NET_WM_STATE_ABOVE")
    order = s.x.stacking()
    check(order.index(left) > order.index(message), "editing windows are not above ordinary windows")
    check(s.x.hit(1700, 950, left), "editing window lets the pointer through")
    check(s.x.hit(1920 + 600, 300, right), "editing window lets the pointer through")

    image = s.shot("editing")
    check(close_to(image.at(1700, 950), dimmed(BACKGROUND)), "no dimming backdrop: %s" % (image.at(1700, 950),))
    for frame in (LEFT, RIGHT):
        bottom, top, bar_right, mid_y = find_bar(image, frame)
        gap = frame[1] + frame[3] - 1 - bottom
        check(abs(gap - 20) <= 1, "bar bottom is %d px above the screen edge, not 20" % gap)
        check(30 <= bottom - top <= 90, "bar height %d" % (bottom - top))

    # A screen unplugged and plugged back while editing: rebuilt, still editing.
    s.unplug_right()
    wait_for("one display", lambda: "screens changed → 1 display(s)" in s.log())
    s.wait_windows([LEFT], "_NET_WM_STATE_ABOVE")
    s.plug_right()
    wait_for("two displays", lambda: "screens changed → 2 display(s)" in s.log())
    left, right = s.wait_windows([LEFT, RIGHT], "_NET_WM_STATE_ABOVE")
    check(s.log().count("[edit] INFO: edit mode: ON") == 3, "editing mode not re-entered after each change")

    # "Done" on the left screen's bar leaves the editing mode everywhere.
    image = s.shot("rebuilt")
    _, _, bar_right, mid_y = find_bar(image, LEFT)
    s.x.run("xdotool", "mousemove", str(bar_right - 12 - 18), str(mid_y), "click", "1")
    wait_for("edit mode off", lambda: "[edit] INFO: edit mode: off" in s.log())
    s.wait_windows([LEFT, RIGHT], "_NET_WM_STATE_BELOW")
    order = s.x.stacking()
    check(order.index(left) < order.index(message), "after Done the window stays above ordinary windows")
    root = s.x.root_id()
    wait_for("click-through again", lambda: s.x.window_under(1700, 950) == root, 5)
    wait_for("the keyboard back with the ordinary window", lambda: s.x.active_window() == message, 5)
    image = s.shot("done")
    check(close_to(image.at(1700, 950), BACKGROUND), "backdrop left behind after Done")
    x, y, w, h = s.x.geometry(message)  # the window manager may have moved it while RIGHT was away
    check(close_to(image.at(x + w // 2, y + h // 2), GREEN), "the ordinary window is covered after Done")

    s.quit_with(signal.SIGINT)


def layout_centers(s, collage):
    import json
    with open(os.path.join(s.library_root, collage, "collage.json")) as f:
        return {p["id"]: tuple(p["center"]) for p in json.load(f)["photos"]}


def test_canvas_input(s):
    """Escape leaves the editing mode; an edit made just before SIGTERM is on disk."""
    s.launch("--edit")
    s.wait_windows([LEFT, RIGHT], "_NET_WM_STATE_ABOVE")
    s.x.run("xdotool", "key", "Escape")
    wait_for("Escape to leave the editing mode", lambda: "[edit] INFO: edit mode: off" in s.log(), 3)
    s.wait_windows([LEFT, RIGHT], "_NET_WM_STATE_BELOW")
    s.quit_with(signal.SIGTERM)

    # Drag the first print 200 px to the right and quit at once, well inside the 0.4 s delay.
    before = layout_centers(s, "Trip")
    s.launch("--edit")
    s.wait_windows([LEFT, RIGHT], "_NET_WM_STATE_ABOVE")
    x, y = 500, 1080 - 600
    expect_shot(s, "before-drag", "the print to drag drawn", lambda i: photo_drawn(i.at(x, y)))
    s.x.run("xdotool", "mousemove", str(x), str(y), "mousedown", "1")
    for step in range(1, 11):
        s.x.run("xdotool", "mousemove", str(x + 20 * step), str(y))
    s.x.run("xdotool", "mouseup", "1")
    s.quit_with(signal.SIGTERM)
    after = layout_centers(s, "Trip")
    moved = "11111111-2222-4333-8444-555555555555"
    check(abs(after[moved][0] - before[moved][0] - 200) <= 2 and abs(after[moved][1] - before[moved][1]) <= 2,
          "the drag made just before SIGTERM is not on disk: %s -> %s" % (before[moved], after[moved]))
    return True


def test_without_compositor(s):
    """Without a compositing manager the windows paint the desktop background themselves."""
    s.stop_compositor()
    s.launch()
    s.wait_windows([LEFT, RIGHT], "_NET_WM_STATE_BELOW")
    check("[app] INFO: no compositing manager" in s.log(), "no line about the missing compositor")
    image = wait_for("the windows to paint", lambda: (lambda i: i if close_to(i.at(1700, 950), BACKGROUND) else None)(
        s.shot("no-compositor")), 5, 0.3)
    check(close_to(image.at(1920 + 640, 512), BACKGROUND), "the unassigned screen is black without a compositor")
    # A point on the white bottom strip of the print the earlier test dragged.
    cx, cy = layout_centers(s, "Trip")["11111111-2222-4333-8444-555555555555"]
    card = image.at(int(cx), int(1080 - cy + 120 + 14))
    check(all(v > 225 for v in card), "no print without a compositor: %s" % (card,))
    s.quit_with(signal.SIGHUP)
    check(len(layout_centers(s, "Trip")) == 2, "the library was damaged")


def test_paste(s):
    """Ctrl+V in the editing mode puts the clipboard's image on the collage under the pointer."""
    png = os.path.join(s.tmp, "clipboard.png")
    s.x.run("convert", "-size", "400x300", "xc:#20c0c0", png)
    s.spawn(["xclip", "-quiet", "-selection", "clipboard", "-t", "image/png", "-i", png], "xclip")
    s.launch("--edit")
    s.wait_windows([LEFT, RIGHT], "_NET_WM_STATE_ABOVE")
    s.x.run("xdotool", "mousemove", "960", "200")
    s.x.run("xdotool", "key", "ctrl+v")
    added = wait_for("the pasted photo", lambda: re.search(
        r"\[import\] INFO: added [0-9A-F-]{36}\.png as ([0-9A-F-]{36}\.png)", s.log()), 10)
    name = added.group(1)
    check(os.path.exists(os.path.join(s.library_root, "Trip", name)), "the pasted image is not in the collage folder")

    def cyan_on_left(image):
        return any(close_to(image.at(x, y), CYAN) for x in range(8, 1920, 16) for y in range(8, 1080, 16))
    expect_shot(s, "pasted", "the pasted photo on the left screen", cyan_on_left)
    wait_for("the layout to be saved", lambda: name in open(os.path.join(s.library_root, "Trip", "collage.json")).read())
    s.quit_with(signal.SIGTERM)


def layout_photo(s, collage, uid):
    import json
    with open(os.path.join(s.library_root, collage, "collage.json")) as f:
        return next(p for p in json.load(f)["photos"] if p["id"] == uid)


def test_crop(s):
    """"c" on a print opens the crop editor; a corner drag and Return crop it in one step."""
    uid = "11111111-2222-4333-8444-555555555555"
    cx, cy = layout_photo(s, "Trip", uid)["center"]
    s.launch("--edit")
    s.wait_windows([LEFT, RIGHT], "_NET_WM_STATE_ABOVE")
    s.x.run("xdotool", "mousemove", str(int(cx)), str(int(1080 - cy)), "click", "1")
    s.x.run("xdotool", "key", "c")
    # a.jpg (600 x 450) fitted between the 90-point margins and the 76-point button bar.
    scale = min((1920 - 180) / 600, (1080 - 76 - 90) / 450)
    width, height = 600 * scale, 450 * scale
    left, top = 90 + (1920 - 180 - width) / 2, 90
    expect_shot(s, "crop-editor", "the crop editor over the left screen",
                lambda i: close_to(i.at(int(left + width / 2), int(top + height / 2)), (0xC8, 0x68, 0x30), 40)
                and max(i.at(40, 540)) < 60)
    corner = (int(left + width), int(top))
    s.x.run("xdotool", "mousemove", str(corner[0]), str(corner[1]), "mousedown", "1")
    for step in range(1, 11):
        s.x.run("xdotool", "mousemove", str(corner[0] - 60 * step), str(corner[1] + 10 * step))
    s.x.run("xdotool", "mouseup", "1", "key", "Return")
    s.quit_with(signal.SIGTERM)
    (x, y), (w, h) = layout_photo(s, "Trip", uid)["cropRect"]
    check(abs(x) < 0.01 and abs(y - 100 / height) < 0.01 and abs(w - (width - 600) / width) < 0.01
          and abs(h - (height - 100) / height) < 0.01, "the stored crop is %s" % ([x, y, w, h],))


def pixel_of(s, png, x, y):
    """The (r, g, b, a) of one pixel of a PNG file."""
    out = s.x.run("convert", png, "-crop", "1x1+%d+%d" % (x, y), "-depth", "8", "txt:-")
    values = re.search(r"\((\d+),(\d+),(\d+),?(\d*)\)", out.splitlines()[-1])
    r, g, b, a = values.groups()
    return int(r), int(g), int(b), int(a) if a else 255


def window_named(s, title):
    """Absolute (x, y, width, height) of the viewable window of that title, or None."""
    for line in s.x.run("xwininfo", "-root", "-tree").splitlines():
        m = re.search(r'0x[0-9a-f]+ "%s": .*?(\d+)x(\d+)\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+)' % re.escape(title), line)
        if m:
            w, h, x, y = map(int, m.groups())
            if w > 1 and h > 1:
                return x, y, w, h
    return None


def test_export(s):
    """Ctrl+Shift+E in the editing mode exports the collage under the pointer at its screen's size."""
    s.launch("--edit")
    s.wait_windows([LEFT, RIGHT], "_NET_WM_STATE_ABOVE")
    s.x.run("xdotool", "mousemove", "960", "200", "key", "ctrl+shift+e")
    wait_for("the save panel", lambda: window_named(s, "Export as Image"))
    target = os.path.join(s.tmp, "export.png")
    time.sleep(0.5)  # the file name field takes the keyboard once the panel is mapped
    s.x.run("xdotool", "key", "ctrl+a", "type", target)
    s.x.run("xdotool", "key", "Return")
    wait_for("the export line", lambda: "[app] INFO: exported image to export.png" in s.log(), 20)
    size = s.x.run("identify", "-format", "%wx%h", target)
    check(size == "1920x1080", "the exported picture is %s" % size)
    # The first print's photo where the screen shows it; nothing where no print is.
    cx, cy = layout_photo(s, "Trip", "11111111-2222-4333-8444-555555555555")["center"]
    colour = pixel_of(s, target, int(cx), int(1080 - cy))
    check(close_to(colour[:3], (0xC8, 0x68, 0x30), 40) and colour[3] == 255, "the first print is %s" % (colour,))
    # Earlier steps paste a photo at a random free spot: look where no print can reach.
    with open(os.path.join(s.library_root, "Trip", "collage.json")) as f:
        prints = json.load(f)["photos"]
    empty = next((x, y) for x, y in [(1800, 1000), (120, 1000), (1800, 80), (120, 80), (960, 1040)]
                 if all(math.hypot(x - p["center"][0], 1080 - y - p["center"][1]) > math.hypot(*p["size"]) * 0.8 + 30
                        for p in prints))
    check(pixel_of(s, target, *empty)[3] == 0, "the empty desktop at %s is not transparent" % (empty,))
    s.quit_with(signal.SIGTERM)


def test_tray_and_shortcut(s):
    """The tray icon and its menu, the global shortcut, and a second start handing over."""
    if shutil.which("trayer") is None:
        print("SKIP tray: trayer is not installed")
        return False
    s.spawn(["trayer", "--edge", "bottom", "--align", "right", "--widthtype", "pixel", "--width", "100",
             "--height", "28", "--monitor", "0"], "trayer")
    s.launch()
    s.wait_windows([LEFT, RIGHT], "_NET_WM_STATE_BELOW")
    wait_for("the launch line", lambda: "launched (menu-bar ready, hotkey Ctrl+Alt+E registered)" in s.log())
    icon = wait_for("the tray icon", lambda: window_named(s, "Veloran") if window_named(s, "panel") else None)
    x, y, w, h = icon
    check(w <= 64 and h <= 64, "the tray icon is %dx%d" % (w, h))
    # Right click: the menu; its first row is "Edit Collage".
    s.x.run("xdotool", "mousemove", str(x + w // 2), str(y + h // 2), "click", "3")
    time.sleep(0.5)
    s.x.run("xdotool", "key", "Down", "Return")
    wait_for("the editing mode from the menu", lambda: s.log().count("edit mode: ON") == 1)
    s.x.run("xdotool", "key", "ctrl+alt+e")
    wait_for("the shortcut to leave the editing mode", lambda: s.log().count("edit mode: off") == 1)
    s.x.run("xdotool", "key", "ctrl+alt+e")
    wait_for("the shortcut to enter the editing mode", lambda: s.log().count("edit mode: ON") == 2)
    s.x.run("xdotool", "key", "ctrl+alt+e")
    wait_for("the editing mode to end", lambda: s.log().count("edit mode: off") == 2)

    second = subprocess.run([s.veloran], env=s.env, capture_output=True, text=True, timeout=20)
    check(second.returncode == 0, "a second start exited with %d" % second.returncode)
    wait_for("the Collages window", lambda: window_named(s, "Collages"))
    check(s.app.poll() is None, "the first instance is gone")
    s.quit_with(signal.SIGTERM)
    return True


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    wm = sys.argv[sys.argv.index("--wm") + 1] if "--wm" in sys.argv else "openbox"
    shots = sys.argv[sys.argv.index("--shots") + 1] if "--shots" in sys.argv else None
    tools = {"openbox": ["Xvfb", "openbox", "picom"], "xfwm4": [XORG, "xfwm4", "dbus-run-session"]}[wm]
    for tool in tools + ["hsetroot", "xdotool", "xclip", "xrandr", "xprop", "xwininfo", "xmessage", "import", "convert"]:
        if shutil.which(tool) is None:
            print("SKIP: %s is not installed" % tool)
            return 77
    if wm == "xfwm4" and not os.path.exists("/usr/lib/xorg/modules/drivers/dummy_drv.so"):
        print("SKIP: Xorg's dummy video driver (xserver-xorg-video-dummy) is not installed")
        return 77
    started = time.monotonic()
    s = Session(os.path.abspath(sys.argv[1]), "--keep" in sys.argv, wm, shots)
    try:
        s.start()
        s.seed_library()
        message = test_at_rest(s)
        print("PASS at rest (%s): windows per screen, click-through, below an ordinary window with the focus, "
              "after a click on the other monitor, with the focus there and at a start then, SIGTERM" % wm)
        test_editing(s, message)
        print("PASS editing: raised, backdrop, bar, screens unplugged and back, Done, SIGINT")
        if test_canvas_input(s):
            print("PASS canvas input: Escape leaves, an edit right before SIGTERM is saved")
        test_without_compositor(s)
        print("PASS without a compositor: the desktop background is painted in, SIGHUP")
        test_paste(s)
        print("PASS paste: an image on the clipboard becomes a photo on screen and in the collage folder")
        test_crop(s)
        print("PASS crop: \"c\", a corner drag and Return store the crop")
        test_export(s)
        print("PASS export: Ctrl+Shift+E and a typed path write the screen's picture")
        if test_tray_and_shortcut(s):
            print("PASS tray: icon, menu, Ctrl+Alt+E both ways, a second start opens the Collages window")
    except Failure as failure:
        print("FAIL:", failure)
        if s.app_log and os.path.exists(s.app_log):
            print("--- application log ---")
            print(s.log())
        s.keep = True
        return 1
    finally:
        s.stop()
    print("all passed under %s in %.1f s" % (wm, time.monotonic() - started))
    return 0


if __name__ == "__main__":
    sys.exit(main())
