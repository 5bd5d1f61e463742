"""One end-to-end session: a fresh X display (Xvfb) with openbox, a fresh Wine prefix and HOME
in a temporary folder, tomo.exe running there, and the ways a person acts on it (pointer and
keys through xdotool) and reads it back (screenshots, and the probe program for captions,
message boxes and the clipboard). Every wait is on a condition with a time limit."""

import os
import shutil
import signal
import subprocess
import tempfile
import time

import screen

# Positions of the context menu's items, counted without the separators, as the arrow keys
# reach them; the same in both languages.
MENU = {"update": 0, "first": 1, "link": 2, "scroll": 3, "goto": 4, "search": 5, "copy": 6,
        "colors": 7, "info": 8, "author": 9, "language": 10, "export": 11}
COLORS = {"cell": 0, "record": 1, "choose": 2, "reset": 3, "undo": 4}

CLIPBOARD_SENTINEL = "(nothing copied)"

BOOT_SECONDS = 180  # the first wine start in a fresh prefix runs wineboot
WAIT_SECONDS = 20


class Failure(AssertionError):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_for(condition, what, timeout=WAIT_SECONDS, interval=0.1):
    """Polls condition() until it returns a true value, which is returned."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure("timed out after %gs waiting for %s" % (timeout, what))
        time.sleep(interval)


class Session:
    def __init__(self, tomo_exe, probe_exe, width, height, artifacts):
        self.width, self.height = width, height
        self.artifacts = artifacts
        self.root = tempfile.mkdtemp(prefix="tomo-e2e-")
        self.home = os.path.join(self.root, "home")
        self.bin = os.path.join(self.root, "bin")
        os.makedirs(self.home)
        os.makedirs(self.bin)
        # tomo.exe runs from a folder of its own, so files it keeps beside itself stay here.
        self.tomo_exe = os.path.join(self.bin, "tomo.exe")
        shutil.copy(tomo_exe, self.tomo_exe)
        self.probe_exe = os.path.join(self.root, "tomo_probe.exe")
        shutil.copy(probe_exe, self.probe_exe)
        self.processes = []
        self.tomo = None
        self.surface = None  # the grid surface's client area on screen: x, y, width, height
        self.client = None  # the main window's client area on screen, which clips the surface
        self.env = None

    # -- life cycle ------------------------------------------------------------------------

    def __enter__(self):
        try:
            self._start_display()
            self._start_wine()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def _start_display(self):
        read_fd, write_fd = os.pipe()
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
             "%dx%dx24" % (self.width, self.height), "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            start_new_session=True)
        self.processes.append(xvfb)
        os.close(write_fd)
        number = b""
        with os.fdopen(read_fd, "rb") as pipe:  # Xvfb writes its display number once ready
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    raise Failure("Xvfb did not start")
                number += chunk
        self.env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "DISPLAY": ":" + number.decode().strip(),
            "HOME": self.home,
            "WINEPREFIX": os.path.join(self.root, "prefix"),
            "WINEDEBUG": "-all",
            # Keep the Mono and Gecko installers from asking when the prefix is made.
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
            "LANG": "C.UTF-8",
        }
        ready = os.path.join(self.root, "wm-ready")
        self.processes.append(subprocess.Popen(
            ["openbox", "--sm-disable", "--config-file", self._openbox_config(),
             "--startup", "touch " + ready], env=self.env,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True))
        wait_for(lambda: os.path.exists(ready), "openbox")

    def _openbox_config(self):
        """openbox's own configuration, but with no frames round the windows: the program's
        full-screen window then lies on the screen where Windows would put it."""
        undecorated = '<application class="*"><decor>no</decor></application>'
        try:
            with open("/etc/xdg/openbox/rc.xml", encoding="utf-8") as f:
                config = f.read().replace("<applications>", "<applications>" + undecorated, 1)
        except OSError:
            config = ('<openbox_config xmlns="http://openbox.org/3.4/rc"><applications>%s'
                      '</applications></openbox_config>' % undecorated)
        path = os.path.join(self.root, "openbox-rc.xml")
        with open(path, "w", encoding="utf-8") as f:
            f.write(config)
        return path

    def _start_wine(self):
        # The first wine process makes the prefix; the code page it reports must be 1252, the
        # one whose accented letters the sample database uses.
        result = self.probe(["code-page"], timeout=BOOT_SECONDS)
        check(result.stdout.strip() == "1252",
              "Wine's ANSI code page is %r, not 1252" % result.stdout.strip())

    def close(self):
        if self.tomo and self.tomo.poll() is None:
            self.tomo.kill()
        if self.env:
            subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=30, check=False)
        for process in reversed(self.processes):
            if process.poll() is None:
                os.killpg(process.pid, signal.SIGTERM)
                try:
                    process.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    os.killpg(process.pid, signal.SIGKILL)
                    process.wait()
        if self.tomo:
            try:
                self.tomo.wait(timeout=10)
            except subprocess.TimeoutExpired:
                pass
        shutil.rmtree(self.root, ignore_errors=True)

    # -- tomo.exe --------------------------------------------------------------------------

    def start_tomo(self, *arguments):
        """Starts tomo.exe with the command-line arguments given and waits until its grid is
        on screen. The pointer waits off the grid, so the caption is the program's own until
        the pointer moves."""
        self.xdotool("mousemove", 0, self.height - 1)
        self.tomo = subprocess.Popen(["wine", self.tomo_exe, *arguments], cwd=self.bin,
                                     env=self.env, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        # Each answer is waited for: a probe run may find nothing while Wine is still busy.
        def rect(command):
            answer = wait_for(lambda: self.probe_ok([command]), "the main window", timeout=60)
            return tuple(int(v) for v in answer.split())

        # Painted: the corner header cell's fill is silver. The window's place is read again
        # while waiting, should the window manager still move it; and the first paint in a
        # fresh prefix once took more than 20 s in CI, so it has the main window's time.
        def painted():
            self.surface = rect("surface-rect")
            self.client = rect("window-rect")
            return self.surface_pixel(self.shot(), 50, 16) == screen.SILVER

        wait_for(painted, "the grid to be painted", timeout=60)

    def wait_exit(self, timeout=WAIT_SECONDS):
        try:
            return self.tomo.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure("tomo.exe did not end within %gs" % timeout) from None

    def running(self):
        return self.tomo is not None and self.tomo.poll() is None

    # -- the probe -------------------------------------------------------------------------

    def probe(self, args, timeout=30):
        return subprocess.run(["wine", self.probe_exe] + args, env=self.env, timeout=timeout,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                              encoding="utf-8", errors="replace", check=False)

    def probe_ok(self, args):
        """The probe's answer, or None when it found nothing."""
        result = self.probe(args)
        return result.stdout.rstrip("\n") if result.returncode == 0 else None

    def caption(self):
        return self.probe_ok(["caption"])

    def message(self):
        return self.probe_ok(["message"])

    def clipboard(self):
        return self.probe_ok(["clipboard"])

    def menus_open(self):
        """How many pop-up menus are open: visible top-level windows of the menu class."""
        lines = (self.probe_ok(["windows"]) or "").splitlines()
        return sum(1 for line in lines if line.split(" ")[1:2] == ["#32768"])

    def wait_message(self, timeout=WAIT_SECONDS):
        return wait_for(self.message, "a message box titled TOMO", timeout)

    def close_message(self):
        check(self.probe_ok(["close-message"]) is not None, "no message box to close")
        wait_for(lambda: self.message() is None, "the message box to close")

    # -- acting as a person ----------------------------------------------------------------

    def xdotool(self, *args):
        subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env, check=True,
                       timeout=30)

    def to_screen(self, x, y):
        return self.surface[0] + x, self.surface[1] + y

    def point_cell(self, c, r):
        """Moves the pointer to the middle of grid cell (c, r)."""
        left, top, right, bottom = screen.cell_box(c, r)
        self.xdotool("mousemove", *self.to_screen((left + right) // 2, (top + bottom) // 2))

    def click_cell(self, c, r, button=1):
        self.point_cell(c, r)
        self.xdotool("click", button)

    def keys(self, *names):
        self.xdotool("key", "--delay", 40, *names)

    def type_text(self, text):
        self.xdotool("type", "--delay", 60, text)

    def open_menu(self, c, r):
        self.click_cell(c, r, button=3)
        wait_for(lambda: self.menus_open() > 0, "the context menu to open")

    def choose(self, c, r, item, color_item=None):
        """Right-clicks cell (c, r) and chooses the menu's item (a key of MENU), or the item of
        the colours submenu (a key of COLORS), by keyboard position."""
        self.open_menu(c, r)
        index = MENU["colors"] if color_item else MENU[item]
        sub_index = COLORS[color_item] if color_item else None
        self.keys(*["Down"] * (index + 1))
        if sub_index is not None:
            self.keys("Right")
            wait_for(lambda: self.menus_open() > 1, "the submenu to open")
            if sub_index:
                self.keys(*["Down"] * sub_index)
        self.keys("Return")
        wait_for(lambda: self.menus_open() == 0, "the menu to close")

    def dismiss_menu(self, c, r):
        self.open_menu(c, r)
        self.keys("Escape")
        wait_for(lambda: self.menus_open() == 0, "the menu to close")

    def dialog_open(self, child_class):
        return self.probe_ok(["class-rect", "*", child_class]) is not None

    def focus_control(self, class_name, control_id=None):
        """Tabs through the open dialog until the probe reports its control of that class
        (and identifier, when given) focused."""
        wanted = [class_name] if control_id is None else [class_name, str(control_id)]
        for _ in range(30):
            focus = (self.probe_ok(["focus", "*"]) or "").split(" ")
            if focus[:len(wanted)] == wanted:
                return
            self.keys("Tab")
        raise Failure("the dialog's control %s never got the keyboard focus" % " ".join(wanted))

    def link(self, folder, cell=(1, 1)):
        """"Link to database" on the cell; in the folder browser the tree gets the keyboard
        focus, the folder's name is typed and Return chooses it. Returns the browser's texts."""
        self.choose(*cell, "link")
        wait_for(lambda: self.dialog_open("SysTreeView32"), "the folder browser", timeout=60)
        texts = self.probe_ok(["texts", "*"]) or ""
        self.focus_control("SysTreeView32")
        self.type_text(folder)
        wait_for(lambda: self.probe_ok(["tree-selection", "*"]) == folder,
                 "the folder browser's tree to select %r" % folder, timeout=5)
        self.keys("Return")
        wait_for(lambda: not self.dialog_open("SysTreeView32"), "the folder browser to close")
        return texts

    def copy_cell(self, c, r):
        """"Copy" on cell (c, r), and the clipboard's text read back."""
        check(self.probe(["set-clipboard", CLIPBOARD_SENTINEL]).returncode == 0,
              "could not prepare the clipboard")
        self.choose(c, r, "copy")

        def copied():  # a one-element list, so an empty text counts as an answer
            text = self.clipboard()
            return [text] if text is not None and text != CLIPBOARD_SENTINEL else None

        try:
            return wait_for(copied, "Copy to reach the clipboard", timeout=5)[0]
        except Failure:
            raise Failure("Copy on cell (%d, %d) put nothing on the clipboard" % (c, r)) from None

    def expect_cell_text(self, c, r, expected):
        got = self.copy_cell(c, r)
        check(got == expected, "cell (%d, %d) holds %r, expected %r" % (c, r, got, expected))

    def type_entry(self, text):
        """Types into the typed input and ends it with Return."""
        self.type_text(text)
        self.keys("Return")

    # -- reading the screen ----------------------------------------------------------------

    def shot(self):
        return screen.capture(self.env)

    def visible(self, x, y):
        """Whether the surface point shows: inside the main window's client area (the surface
        is wider and taller than that area) and on the screen."""
        sx, sy = self.to_screen(x, y)
        cx, cy, cw, ch = self.client
        return (cx <= sx < min(cx + cw, self.width)) and (cy <= sy < min(cy + ch, self.height))

    def surface_pixel(self, picture, x, y):
        return picture.pixel(*self.to_screen(x, y))

    def cell_interior(self, picture, c, r):
        """The pixels inside cell (c, r)'s frame."""
        left, top, right, bottom = screen.cell_box(c, r)
        x0, y0 = self.to_screen(left + 3, top + 3)
        x1, y1 = self.to_screen(right - 2, bottom - 2)
        return picture.region(x0, y0, x1, y1)

    def cell_has_text(self, picture, c, r):
        """True when dark glyph pixels show inside the cell's frame."""
        pixels = self.cell_interior(picture, c, r)
        dark = sum(1 for i in range(0, len(pixels), 3) if max(pixels[i:i + 3]) < 0x50)
        return dark >= 5

    def save(self, picture, name):
        if self.artifacts:
            os.makedirs(self.artifacts, exist_ok=True)
            picture.save_ppm(os.path.join(self.artifacts, name + ".ppm"))
