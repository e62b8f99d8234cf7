#!/usr/bin/env python3
"""The program in a real X server, as the timetabling program starts it.

Starts Xvfb with openbox (without a window manager, keyboard focus and the activation of the
dialog and the boxes are not what a desktop gives), a stand-in host window, and then
TransOrbetaArdel: embedded for an export and an import that the user confirms with the keyboard,
embedded with a cancelled dialog, and by hand for a screenshot.

Exit status 77 when the X tools are missing (the test is then skipped).
"""
import argparse
import configparser
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

TOOLS = ("Xvfb", "openbox", "xdotool", "xwininfo", "xprop", "import")
MAIN_TITLE = "Exportar e importar datos entre Tabuleo y Ardel "
TABLES = ("ASIGNOMT", "ASIGNOMT2", "PROFT", "AULAT", "CURSOST", "GRUPOST", "ASIGT", "DIASHORAST")


class Failure(Exception):
    pass


def wait_for(what, probe, timeout=20.0):
    """Polls `probe` until it gives something true; fails naming `what`."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = probe()
        if value:
            return value
        time.sleep(0.1)
    raise Failure("no llegó: " + what)


class Display:
    """Xvfb on a free display number, with openbox running on it."""

    def __init__(self, scratch):
        read_end, write_end = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x800x24",
             "-nolisten", "tcp"], pass_fds=(write_end,), stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as number:
            self.env = dict(os.environ, DISPLAY=":" + number.readline().strip())
        runtime = os.path.join(scratch, "runtime")
        os.mkdir(runtime, 0o700)
        self.env["XDG_RUNTIME_DIR"] = runtime
        self.env.pop("QT_QPA_PLATFORM", None)
        self.manager = subprocess.Popen(["openbox"], env=self.env, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        wait_for("openbox", lambda: "window id" in self.run("xprop", "-root",
                                                            "_NET_SUPPORTING_WM_CHECK"))

    def run(self, *command):
        done = subprocess.run(command, env=self.env, capture_output=True, text=True)
        return done.stdout

    def windows(self, title):
        """Visible windows with exactly this title."""
        found = self.run("xdotool", "search", "--onlyvisible", "--name",
                         "^" + re.escape(title) + "$")
        return [int(w) for w in found.split()]

    def window(self, title):
        return wait_for("la ventana «%s»" % title, lambda: self.windows(title))[0]

    def parent(self, window):
        tree = self.run("xwininfo", "-tree", "-id", str(window))
        return int(re.search(r"Parent window id: (0x[0-9a-f]+)", tree).group(1), 16)

    def title_bar(self, window):
        """Height of the frame's caption bar that the window manager gives the window."""
        extents = re.search(r"= (\d+), (\d+), (\d+), (\d+)",
                            self.run("xprop", "-id", str(window), "_NET_FRAME_EXTENTS"))
        return int(extents.group(3)) if extents else 0

    def focus(self):
        return int(self.run("xdotool", "getwindowfocus").strip() or 0)

    def keys(self, *keys):
        self.run("xdotool", "key", "--clearmodifiers", *keys)

    def type(self, text):
        self.run("xdotool", "type", "--delay", "20", text)

    def close(self):
        for process in (self.manager, self.server):
            process.terminate()
            process.wait()


class Rig:
    def __init__(self, args, scratch, display):
        self.display = display
        self.drive = os.path.join(scratch, "prefix", "drive_c")
        self.xtemp = os.path.join(self.drive, "XTEMP")
        os.makedirs(self.xtemp)
        self.folder = os.path.join(scratch, "documentos")
        os.mkdir(self.folder)
        self.document = os.path.join(self.folder, "centro.xml")
        shutil.copy(os.path.join(args.source, "examples", "centro.xml"), self.document)
        # Tabuleo.ini goes beside the executable: a copy of its own.
        bin_folder = os.path.join(scratch, "bin")
        os.mkdir(bin_folder)
        self.program = os.path.join(bin_folder, "TransOrbetaArdel")
        shutil.copy(args.app, self.program)
        self.ini = os.path.join(bin_folder, "Tabuleo.ini")
        self.env = dict(display.env, WINEPREFIX=os.path.dirname(self.drive))
        self.host = subprocess.Popen([args.host], env=display.env, stdout=subprocess.PIPE,
                                     text=True)
        self.host_id = int(self.host.stdout.readline(), 16)
        display.window("Tabuleo (anfitrión de prueba)")

    def start(self, *parameters):
        if os.path.exists(self.ini):
            os.remove(self.ini)
        return subprocess.Popen([self.program, *parameters], env=self.env, cwd=self.folder,
                                stderr=subprocess.DEVNULL)

    def result(self):
        if not os.path.exists(self.ini):
            return None
        ini = configparser.ConfigParser()
        ini.read(self.ini, encoding="latin-1")
        return ini["Transformadores"]["Transformado"]

    def close(self):
        self.host.terminate()
        self.host.wait()


def ended(process, timeout=15.0):
    try:
        return process.wait(timeout) == 0
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
        return False


def expect(condition, text):
    if not condition:
        raise Failure(text)


def check_embedded(rig):
    """The window is a child of the host window, not of a window manager's frame."""
    d = rig.display
    window = wait_for("la ventana dentro del anfitrión",
                      lambda: [w for w in d.windows(MAIN_TITLE) if d.parent(w) == rig.host_id])
    expect(window, "la ventana no es hija del anfitrión")
    expect(d.title_bar(window[0]) == 0, "la ventana incrustada tiene marco")


def box_in_front(rig):
    """The box "TransOrbetaArdel" is up and has the keyboard."""
    d = rig.display
    box = d.window("TransOrbetaArdel")
    wait_for("el teclado en el cuadro de mensaje", lambda: d.focus() == box)
    return box


def choose_document(rig, path):
    d = rig.display
    dialog = d.window("Archivo XML")
    wait_for("el teclado en el diálogo", lambda: d.focus() == dialog)
    d.type(path)
    # The first Return may only close the name completer.
    for _ in range(3):
        time.sleep(0.5)
        d.keys("Return")
        if not d.windows("Archivo XML"):
            return
    raise Failure("el diálogo no aceptó " + path)


def hosted_run(rig, action, handle, failure):
    """Tabuleo's start: embedded, the document confirmed, the box dismissed, the program gone."""
    app = rig.start(action, handle)
    check_embedded(rig)
    choose_document(rig, rig.document)
    box_in_front(rig)
    rig.display.keys("Return")
    expect(ended(app), failure)


def host_export(rig):
    hosted_run(rig, "exportar", "%X" % rig.host_id,
               "el programa no terminó tras «Proceso finalizado»")
    for table in TABLES:
        expect(os.path.exists(os.path.join(rig.xtemp, table + ".DBF")), "falta " + table)
    expect(rig.result() == "1", "Tabuleo.ini dice %r en lugar de 1" % rig.result())


def host_import_in_capitals(rig, args):
    subprocess.run([sys.executable, os.path.join(args.source, "examples", "make_soluc.py"),
                    os.path.join(args.source, "examples", "soluc.csv"),
                    os.path.join(rig.xtemp, "SOLUC.DBF")], check=True)
    hosted_run(rig, "IMPORTAR", "%x" % rig.host_id, "el programa no terminó tras la importación")
    expect(os.path.exists(os.path.join(rig.folder, "ResultadoOrbetacentro.xml")),
           "la importación no escribió ResultadoOrbetacentro.xml")
    expect(rig.result() == "1", "Tabuleo.ini dice %r en lugar de 1" % rig.result())


def host_cancels(rig):
    app = rig.start("exportar", "%X" % rig.host_id)
    dialog = rig.display.window("Archivo XML")
    wait_for("el teclado en el diálogo", lambda: rig.display.focus() == dialog)
    rig.display.keys("Escape")
    box_in_front(rig)
    rig.display.keys("Return")
    expect(ended(app), "el programa no terminó tras «No existe archivo»")
    expect(rig.result() == "-1", "Tabuleo.ini dice %r en lugar de -1" % rig.result())


def handle_naming_no_window(rig):
    """No window can have this handle (window ids leave the top bits clear): a normal window,
    still reporting to the host."""
    d = rig.display
    app = rig.start("exportar", "FFFFFFF0")
    window = d.window(MAIN_TITLE)
    expect(d.title_bar(window) > 0, "sin anfitrión la ventana debe tener su marco")
    dialog = d.window("Archivo XML")
    wait_for("el teclado en el diálogo", lambda: d.focus() == dialog)
    d.keys("Escape")
    box_in_front(rig)
    d.keys("Return")
    expect(ended(app), "el programa no terminó tras «No existe archivo»")
    expect(rig.result() == "-1", "Tabuleo.ini dice %r en lugar de -1" % rig.result())


def by_hand_screenshot(rig, picture):
    d = rig.display
    app = rig.start()
    window = d.window(MAIN_TITLE)
    expect(d.parent(window) != rig.host_id, "a mano la ventana no debe ir dentro del anfitrión")
    time.sleep(1.0)  # drawn
    d.run("import", "-window", str(window), "-frame", picture)
    expect(os.path.getsize(picture) > 0, "no se guardó la captura")
    d.keys("alt+s")  # "&Salir"
    expect(ended(app), "«Salir» no cerró el programa")
    expect(rig.result() is None, "a mano no se escribe Tabuleo.ini")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--app", required=True)
    parser.add_argument("--host", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("--picture", required=True)
    args = parser.parse_args()
    missing = [tool for tool in TOOLS if shutil.which(tool) is None]
    if missing:
        print("Faltan herramientas de X: " + " ".join(missing))
        return 77

    with tempfile.TemporaryDirectory() as scratch:
        display = Display(scratch)
        rig = None
        try:
            rig = Rig(args, scratch, display)
            for name, case in (("exportar incrustado", lambda: host_export(rig)),
                               ("IMPORTAR incrustado", lambda: host_import_in_capitals(rig, args)),
                               ("diálogo cancelado", lambda: host_cancels(rig)),
                               ("ninguna ventana con ese número",
                                lambda: handle_naming_no_window(rig)),
                               ("a mano", lambda: by_hand_screenshot(rig, args.picture))):
                case()
                print("ok: " + name)
        except Failure as failure:
            print("FALLO: %s" % failure)
            print(display.run("xwininfo", "-root", "-tree"))
            return 1
        finally:
            if rig:
                rig.close()
            display.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
