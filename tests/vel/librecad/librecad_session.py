#!/usr/bin/python3
# librecad_session.py - an example session played in LibreCAD as a designer plays it: LibreCAD
# started under its own X server, the build's plug-in installed by
# scripts/install-librecad-plugin.sh, the command chosen from the Plugins menu, every pick a click
# of the mouse and every key a key (xdotool), the drawing saved by LibreCAD. The same picks, where LibreCAD says they landed, are then played in velhost,
# and both saved drawings, read by ezdxf, must hold the same entities. Each insert is one step of
# LibreCAD's undo: one Ctrl+Z takes back the last insert alone, one for each insert gives back the
# drawing as it was and as many Ctrl+Shift+Z the run's result, each checked in a drawing LibreCAD
# saves.
#   librecad_session.py BUILD_DIR SESSION...   (SESSION: a name of examples/sessions)
# Exits 77 (skipped) without LibreCAD, xdotool, Xvfb or ezdxf, or without the plug-in built.
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(os.path.dirname(os.path.dirname(HERE)))
BUILD = os.path.abspath(sys.argv[1])
PLUGIN = os.path.join(BUILD, "bin", "librecad")
VELHOST = os.path.join(BUILD, "bin", "velhost")
# The example sessions, and those only LibreCAD's inputs need.
SESSIONS = [os.path.join(TOP, "examples", "sessions"),
            os.path.join(HERE, "sessions")]
DRAWING = os.path.join(TOP, "examples", "bracket.dxf")
WAIT = 20.0  # seconds LibreCAD may take for one step on a loaded machine
SELECTION = 0x20  # the mask of a prompt that takes a selection
# xdotool's names of the keys that type a point.
KEYS = {"-": "minus", ",": "comma", ".": "period", "@": "at", "<": "less", "+": "plus"}

try:
    import ezdxf
except ImportError:
    print("ezdxf is not installed; skipped")
    sys.exit(77)
for tool in ("librecad", "xdotool", "Xvfb", "import", "convert"):
    if not shutil.which(tool):
        print(f"{tool} is not installed; skipped")
        sys.exit(77)
if not os.path.exists(os.path.join(PLUGIN, "liborvanta.so")):
    print("the LibreCAD plug-in is not built; skipped")
    sys.exit(77)


class LibreCad:
    """LibreCAD on a display of its own, with a home of its own holding the plug-in."""

    def __init__(self, folder, drawing, registry):
        self.folder = folder
        self.trace = os.path.join(folder, "trace.txt")
        self.messages_closed = 0
        home = os.path.join(folder, "home")
        # The plug-in installed for this home as a designer installs it.
        subprocess.run(["bash", os.path.join(TOP, "scripts", "install-librecad-plugin.sh"), BUILD],
                       env=dict(os.environ, HOME=home), check=True, capture_output=True)
        config = os.path.join(home, ".config", "LibreCAD")
        os.makedirs(config)
        with open(os.path.join(config, "LibreCAD.conf"), "w") as f:
            f.write("[Appearance]\nLanguage=en\nLanguageCmd=en\n[Defaults]\nUnit=Millimeter\n"
                    "[Startup]\nFirstLoad=0\n")
        # A free display, which the X server names once it listens.
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-noreset", "-screen", "0",
                                      "1400x900x24"], pass_fds=(write,), stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as named:
            self.display = ":" + named.readline().strip()
        self.env = dict(os.environ, HOME=home, DISPLAY=self.display, VEL_REGISTRY=registry,
                        ORVANTA_LIBRECAD_TRACE=self.trace, XDG_CONFIG_HOME=os.path.join(home, ".config"))
        self.env.pop("QT_QPA_PLATFORM", None)
        self.app = subprocess.Popen(["librecad", drawing], env=self.env, stdout=subprocess.DEVNULL,
                                    stderr=open(os.path.join(folder, "librecad.log"), "w"))
        self.window = self.until(lambda: self.find_window(), "LibreCAD's window")
        self.xdo("windowsize", self.window, "1380", "880")
        self.xdo("windowmove", self.window, "0", "0")
        time.sleep(2)
        # The whole drawing in view with room around it: View, Auto Zoom, then Zoom Out.
        self.xdo("windowactivate", "--sync", self.window)
        for letter in "ao":
            self.key("alt+v")
            self.key(letter)
        time.sleep(1)

    def xdo(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env, capture_output=True,
                              text=True).stdout.strip()

    def find_window(self):
        found = self.xdo("search", "--onlyvisible", "--name", "LibreCAD")
        return found.split()[-1] if found else None

    def until(self, check, what):
        end = time.time() + WAIT
        while time.time() < end:
            value = check()
            if value:
                return value
            time.sleep(0.2)
        raise RuntimeError("LibreCAD never showed " + what)

    def lines(self):
        if not os.path.exists(self.trace):
            return []
        with open(self.trace) as f:
            return f.read().splitlines()

    def mask(self):
        """The input the last prompt asks for (its host event mask)."""
        prompts = [l for l in self.lines() if l.startswith("prompt")]
        return int(prompts[-1].split()[1]) if prompts else 0

    def count(self, word):
        return sum(l.split()[0] == word for l in self.lines() if l)

    def editing(self):
        """While the editing window shows the insert: drawing point to screen pixel."""
        lines = self.lines()
        last = max((i for i, l in enumerate(lines) if l.startswith("editing")), default=-1)
        ended = max((i for i, l in enumerate(lines) if l in ("end",)), default=-1)
        if last < 0 or ended > last:
            return None
        ox, oy, scale = map(float, lines[last].split()[1:])
        return lambda x, y: (round(ox + scale * x), round(oy - scale * y))

    def controls(self):
        """Where the controls of the innermost dialog still open lie, by id."""
        stack = []
        for line in self.lines():
            word = line.split()
            if word[0] == "dialog":
                stack.append((word[1], {}))
            elif word[0] == "control" and stack:
                stack[-1][1][word[1]] = (int(word[2]), int(word[3]))
            elif word[0] == "closed" and stack and stack[-1][0] == word[1]:
                stack.pop()
        return stack[-1][1] if stack else {}

    def answer(self, actions):
        """Answers dialogs as a velhost script does: type ID TEXT, click ID, dblclick ID,
        choose ID N, key enter, ok. A click that opens another dialog answers on in that one."""
        for action in actions.split(","):
            word = action.split()
            shown = self.count("dialog")
            controls = self.controls()
            if word[0] == "type":
                self.click(*controls[word[1]])
                self.xdo("key", "ctrl+a")
                self.xdo("type", "--delay", "50", " ".join(word[2:]))
            elif word[0] in ("click", "dblclick"):
                x, y = controls[word[1]]
                self.xdo("mousemove", str(x), str(y))
                time.sleep(0.2)
                self.xdo("click", "--repeat", "2" if word[0] == "dblclick" else "1", "1")
            elif word[0] == "choose":
                # A list's entries by the keyboard: the first, then down to the one asked.
                self.click(*controls[word[1]])
                self.xdo("key", "Home", *(["Down"] * int(word[2])), "Return")
            elif word[0] == "ok":
                self.click(*controls["1"])
            elif word[0] == "key":
                self.xdo("key", {"enter": "Return", "escape": "Escape"}.get(word[1], word[1]))
            time.sleep(0.5)
            if self.count("dialog") > shown:
                time.sleep(0.3)

    def wait_prompt(self, count):
        """Waits until the bridge has asked COUNT prompts in all, or the run has ended; a
        message of the plug-in's on the way is read and closed, as a person closes it."""
        def asked():
            lines = self.lines()
            if self.messages_closed < self.count("message"):
                self.until(lambda: "dialog message" in self.lines(), "the message box")
                time.sleep(0.3)
                self.xdo("key", "Return")
                self.messages_closed += 1
            return sum(l.startswith("prompt") for l in lines) >= count or (
                lines and (lines[-1] == "end" or lines[-1].startswith("stopped")))
        self.until(asked, "prompt %d" % count)

    def key(self, *keys):
        self.xdo("key", "--window", self.window, *keys)
        time.sleep(0.4)

    def click(self, x, y, button="1"):
        self.xdo("mousemove", str(x), str(y))
        time.sleep(0.2)
        self.xdo("click", button)
        time.sleep(0.4)

    def start_command(self):
        # The Plugins menu by its letter; Orvanta's entry comes first, from the user's folder.
        self.xdo("windowactivate", "--sync", self.window)
        self.key("alt+u")
        self.key("Return")

    def picture(self, name):
        """What the screen shows, for a person to look at (with ImageMagick, when installed)."""
        if shutil.which("import"):
            subprocess.run(["import", "-window", "root", os.path.join(self.folder, name + ".png")],
                           env=self.env, capture_output=True)

    def close(self):
        self.app.terminate()
        try:
            self.app.wait(5)
        except subprocess.TimeoutExpired:
            self.app.kill()
        self.xvfb.terminate()


def session_file(name):
    return next(p for p in (os.path.join(folder, name) for folder in SESSIONS) if os.path.exists(p))


def read_script(name):
    with open(session_file(name + ".vel")) as f:
        return [l.split() for l in f if l.strip() and not l.startswith("#")]


def entities(path):
    """The model's entities as comparable rows, in a stable order."""
    doc = ezdxf.readfile(path)
    rows = []
    r = lambda v: round(v + 0.0, 6) + 0.0
    for e in doc.modelspace():
        t = e.dxftype()
        # Programs pick different nearest index colours for one true colour.
        colour = e.rgb if e.rgb else (e.dxf.color if e.dxf.hasattr("color") else 256)
        row = [t, e.dxf.layer, colour,
               e.dxf.linetype.upper() if e.dxf.hasattr("linetype") else "BYLAYER"]
        if t == "LWPOLYLINE":
            row += [bool(e.closed)] + [tuple(r(v) for v in p) for p in e.get_points("xyb")]
        elif t in ("CIRCLE", "ARC"):
            row += [r(e.dxf.center.x), r(e.dxf.center.y), r(e.dxf.radius)]
            if t == "ARC":
                row += [r(e.dxf.start_angle % 360), r(e.dxf.end_angle % 360)]
        elif t == "LINE":
            row += [r(e.dxf.start.x), r(e.dxf.start.y), r(e.dxf.end.x), r(e.dxf.end.y)]
        rows.append(tuple(map(str, row)))
    return sorted(rows)


CALIBRATION = ('Windows Registry Editor Version 5.00\n\n'
               '[HKEY_CURRENT_USER\\SOFTWARE\\Tolvane\\VEL\\Orvanta]\n"mType"="2"\n"Method"="0"\n')


BAND = "#C8C8C8"  # the rubber band's colour, as ImageMagick writes a pixel


def check_band(lc, first, cursor):
    """The rectangle's edges through the first corner, between it and the cursor, are dashed in
    the band's colour on the screen."""
    shot = os.path.join(lc.folder, "band.png")
    subprocess.run(["import", "-window", "root", shot], env=lc.env, check=True)
    (fx, fy), (cx, cy) = first, cursor
    for edge in ("top", "side"):
        # Where the first corner was typed, the band may start a pixel off the harness's own
        # reckoning of it: the best of three neighbouring lines counts.
        best, count = 0, 0
        for off in (-1, 0, 1):
            crop = (f"{abs(cx - fx) - 4}x1+{min(cx, fx) + 2}+{fy + off}" if edge == "top" else
                    f"1x{abs(cy - fy) - 4}+{fx + off}+{min(cy, fy) + 2}")
            pixels = subprocess.run(["convert", shot, "-crop", crop, "txt:-"],
                                    capture_output=True, text=True,
                                    check=True).stdout.splitlines()[1:]
            lit = sum(BAND in p.upper() for p in pixels)
            best, count = max(best, lit), len(pixels)
        # A dash pattern lights about two pixels of three.
        if best < 0.4 * count:
            raise RuntimeError(f"no rubber band along its {edge} edge: {best} of {count} "
                               f"pixels lit ({shot})")


def learn_pixels(lc, registry):
    """A run that only learns where clicks land at LibreCAD's zoom of the moment: a first corner,
    taken back with the right button, and another first corner, which leave nothing behind.
    Returns drawing point to screen pixel, and where LibreCAD's command line lies."""
    with open(registry) as f:
        kept = f.read()
    with open(registry, "w") as f:
        f.write(CALIBRATION)
    if os.path.exists(lc.trace):
        os.remove(lc.trace)
    lc.start_command()
    lc.wait_prompt(1)
    corners = [(1000, 130), (100, 720)]
    lc.click(*corners[0])
    lc.wait_prompt(2)
    lc.click(700, 600, "3")
    lc.wait_prompt(3)
    lc.click(*corners[1])
    lc.wait_prompt(4)
    lc.key("Escape")
    lc.until(lambda: lc.lines()[-1] == "end", "the end of the run")
    command_line = [tuple(map(int, l.split()[1:])) for l in lc.lines()
                    if l.startswith("commandline")][-1]
    points = [tuple(map(float, l.split()[1:])) for l in lc.lines() if l.startswith("point")]
    (px0, py0), (px1, py1) = corners
    (x0, y0), (x1, y1) = points[-2:]
    sx, sy = (px1 - px0) / (x1 - x0), (py1 - py0) / (y1 - y0)
    os.remove(lc.trace)
    with open(registry, "w") as f:
        f.write(kept)
    return (lambda x, y: (round(px0 + (x - x0) * sx), round(py0 + (y - y0) * sy))), command_line


def play(name, folder):
    """Plays session NAME in LibreCAD; returns the saved drawings and the script velhost runs."""
    drawing = os.path.join(folder, "drawing.dxf")
    shutil.copy(DRAWING, drawing)
    registry = os.path.join(folder, "registry.reg")
    shutil.copy(session_file(name + ".reg"), registry)
    lc = LibreCad(folder, drawing, registry)
    try:
        pixel, command_line = learn_pixels(lc, registry)

        def save(state):
            before = os.path.getmtime(drawing)
            lc.key("ctrl+s")
            # LibreCAD saves only a drawing that changed since it was last saved.
            end = time.time() + 5
            while os.path.getmtime(drawing) == before and time.time() < end:
                time.sleep(0.2)
            time.sleep(0.5)
            saves[state] = os.path.join(folder, state + ".dxf")
            shutil.copy(drawing, saves[state])

        def type_in_command_line(text):
            lc.click(*command_line)
            lc.key(*[KEYS.get(c, c) for c in text], "Return")

        replay, pending, saves, last_click = [], None, {}, None
        for command in read_script(name):
            asked, popups = lc.count("prompt"), lc.count("dialog")
            if command[0] == "dialog":
                # The answers to the popup that the next input opens, as in a velhost script.
                pending = " ".join(command[1:])
                replay.append(" ".join(command))
                continue
            if command[0] == "run":
                lc.start_command()
                replay.append("run")
            elif command[0] == "pick" and lc.mask() == SELECTION:
                # Clicks that LibreCAD's selection input takes; the figures are told at the end.
                lc.click(*pixel(float(command[1]), float(command[2])))
                continue
            elif command[0] == "done":
                chosen = lc.count("selected")
                lc.key("Return")
                lc.until(lambda: lc.count("selected") > chosen, "the selection taken")
                lines = lc.lines()
                taken = max(i for i, l in enumerate(lines) if l.startswith("selected"))
                since = max(i for i, l in enumerate(lines[:taken]) if l.startswith("prompt"))
                replay += ["pick " + " ".join(l.split()[1:]) for l in lines[since:taken]
                           if l.startswith("select ")]
                replay.append("done")
            elif command[0] == "pick":
                x, y = float(command[1]), float(command[2])
                editing = lc.editing()
                points = lc.count("point")
                last_click = editing(x, y) if editing else pixel(x, y)
                lc.click(*last_click)
                lc.until(lambda: lc.count("point") > points, "the pick taken")
                landed = [l for l in lc.lines() if l.startswith("point")][-1].split()
                replay.append("pick %s %s" % (landed[1], landed[2]))
            elif command[0] == "type":
                # A point typed in LibreCAD's command line, as its own commands take one.
                points = lc.count("point")
                line = [l for l in lc.lines() if l.startswith("commandline")][-1].split()
                lc.click(int(line[1]), int(line[2]))
                lc.key(*[KEYS.get(c, c) for c in command[1]], "Return")
                lc.until(lambda: lc.count("point") > points, "the typed point taken")
                if not command[1].startswith("@") and "<" not in command[1]:
                    last_click = pixel(*map(float, command[1].split(",")))
                landed = [l for l in lc.lines() if l.startswith("point")][-1].split()
                replay.append("pick %s %s" % (landed[1], landed[2]))
            elif command[0] == "librecad":
                # LibreCAD's own command, each of its inputs typed in its command line; the
                # drawing it leaves is saved as the one the run must leave as it was.
                for text in command[1:]:
                    type_in_command_line(text)
                lc.key("Escape")
                lc.key("Escape")
                save("before")
                continue
            elif command[0] == "stopped":
                # The run stops on what it cannot take, and says why in LibreCAD's command line.
                lc.until(lambda: lc.count("stopped"), "the run stopped")
                why = [l for l in lc.lines() if l.startswith("stopped")][-1]
                if " ".join(command[1:]) not in why:
                    raise RuntimeError("the run stopped for another reason: " + why)
                replay.append("stopped")
                continue
            elif command[0] == "back":
                # The right button: back one step, as in LibreCAD's own rectangle.
                backs = lc.count("back")
                lc.click(700, 600, "3")
                lc.until(lambda: lc.count("back") > backs, "the step back")
                replay += ["escape", "run"]
            elif command[0] == "band":
                # After a first corner clicked: the rubber band from it to the cursor, its dashed
                # edges read off the screen.
                x, y = pixel(float(command[1]), float(command[2]))
                lc.xdo("mousemove", str(x), str(y))
                time.sleep(0.7)
                check_band(lc, last_click, (x, y))
                continue
            elif command[0] == "relearn":
                # After a zoom: where clicks land now (LibreCAD's wheel does not keep the point
                # under the cursor exactly).
                pixel, command_line = learn_pixels(lc, registry)
                continue
            elif command[0] == "zoom":
                # The mouse wheel over a point of the drawing, which stays where it is on screen.
                x, y = pixel(float(command[1]), float(command[2]))
                lc.xdo("mousemove", str(x), str(y))
                for _ in range(int(command[4])):
                    lc.xdo("click", "4" if command[3] == "in" else "5")
                    time.sleep(0.05)
                time.sleep(0.5)
                continue
            elif command[0] == "miss":
                # A click that picks nothing: LibreCAD says so and the prompt stays.
                missed, asked_before = lc.count("missed"), lc.count("prompt")
                lc.click(*pixel(float(command[1]), float(command[2])))
                lc.until(lambda: lc.count("missed") > missed, "the miss told")
                time.sleep(0.5)
                if lc.count("prompt") != asked_before or lc.count("point"):
                    raise RuntimeError("a click beside the figure, zoomed in, picked something")
                continue
            elif command[0] in ("confirm", "escape"):
                if lc.editing():
                    lc.xdo("key", "Return" if command[0] == "confirm" else "Escape")
                elif command[0] == "confirm":
                    lc.key("Return")  # the right button steps back, as in LibreCAD's own
                else:
                    lc.key("Escape")
                replay.append(command[0])
            else:
                continue
            if pending:
                lc.until(lambda: lc.count("dialog") > popups, "the popup")
                time.sleep(0.3)
                lc.answer(pending)
                pending = None
            if command[0] != "escape":
                lc.wait_prompt(asked + 1)
                if command[0] == "pick" and lc.count("message"):
                    print(f"{name}: LibreCAD showed the message", lc.lines()[
                        max(i for i, l in enumerate(lc.lines()) if l.startswith("message"))][8:])
            if command[0] == "pick" and lc.editing():
                time.sleep(0.5)
                lc.picture(name + "-editing")
        if "stopped" not in replay:
            lc.until(lambda: lc.lines() and lc.lines()[-1] == "end", "the end of the run")
        aperture = next((l.split()[1] for l in lc.lines() if l.startswith("aperture")), None)

        lc.picture(name + "-after")
        # Each insert is one step of LibreCAD's undo: a continuous run pauses after each.
        inserts = max(lc.count("paused"), 1)
        save("after")
        if inserts > 1:
            lc.key("ctrl+z")
            save("undone-one")
        for _ in range(inserts - 1 if inserts > 1 else 1):
            lc.key("ctrl+z")
        save("undone")
        for _ in range(inserts):
            lc.key("ctrl+shift+z")
        save("redone")
        saves["inserts"] = inserts
        return saves, "\n".join(replay) + "\n", aperture
    except Exception:
        lc.picture("failure")
        print("LibreCAD's screen at the failure:", os.path.join(folder, "failure.png"))
        raise
    finally:
        lc.close()


def main():
    failures = 0
    for name in sys.argv[2:]:
        folder = tempfile.mkdtemp(prefix="librecad-" + name + "-")
        saves, replay, aperture = play(name, folder)
        original = entities(DRAWING)
        if "before" in saves:
            # A run that stopped leaves LibreCAD's drawing as it found it, and no step of undo:
            # Ctrl+Z takes back LibreCAD's own command before it.
            expected = entities(saves["before"])
        else:
            script = os.path.join(folder, "replay.vel")
            with open(script, "w") as f:
                f.write(replay)
            registry = os.path.join(folder, "velhost.reg")
            shutil.copy(session_file(name + ".reg"), registry)
            velhost_out = os.path.join(folder, "velhost.dxf")
            subprocess.run([VELHOST, "run", "--drawing", DRAWING, "--script", script,
                            "--registry", registry, "--out", velhost_out, "--aperture", aperture],
                           check=True, capture_output=True)
            expected = entities(velhost_out)
        checks = [("after the run", entities(saves["after"]), expected),
                  ("after Ctrl+Z for each insert", entities(saves["undone"]), original),
                  ("after Ctrl+Shift+Z for each insert", entities(saves["redone"]), expected)]
        if "before" not in saves:
            # The inserts velhost made, told apart from their holes (layer 100): as many steps of
            # LibreCAD's undo as the run in LibreCAD made.
            made = list(expected)
            for row in original:
                if row in made:
                    made.remove(row)
            inserts = sum(1 for row in made if row[0] == "LWPOLYLINE" and row[1] != "100")
            if inserts > 1 and saves["inserts"] != inserts:
                failures += 1
                print(f"{name}: {inserts} inserts made, but {saves['inserts']} steps of undo")
        if "undone-one" in saves:
            # One Ctrl+Z takes back the last insert alone: fewer entities than the run left,
            # more than it found, and none that neither had.
            one, after = entities(saves["undone-one"]), entities(saves["after"])
            between = len(original) < len(one) < len(after) and set(one) <= set(after)
            print(f"{name}: after one Ctrl+Z: {len(one)} entities, "
                  f"{'the last insert taken back' if between else 'NOT the last insert alone'}")
            failures += 0 if between else 1
        for what, got, want in checks:
            if got != want:
                failures += 1
                print(f"{name}: {what}: LibreCAD's drawing differs ({folder})")
                for row in sorted(set(got) - set(want)):
                    print("  only in LibreCAD:", row)
                for row in sorted(set(want) - set(got)):
                    print("  missing in LibreCAD:", row)
            else:
                print(f"{name}: {what}: {len(got)} entities as expected")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
