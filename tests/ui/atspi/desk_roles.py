"""The windows as a screen reader meets them over AT-SPI: each window's role and name, and the names
(not captions or values) of the controls a user has to find. Runs the real program on a demo agenda.

usage: desk_roles.py VRELMONT VRELMONT_CLI   (inside dbus-run-session, on an X display)
"""
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

import pyatspi

failures = []


def check(what, actual, expected):
    if actual != expected:
        failures.append(f"{what}: {actual!r}, expected {expected!r}")


def program():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == "Vrelmont":
            return app
    return None


def find(node, role, name=None):
    """The first node below `node` with the role (and name), depth first."""
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is None:
            continue
        if child.getRoleName() == role and (name is None or child.name == name):
            return child
        found = find(child, role, name)
        if found is not None:
            return found
    return None


def wait_for(what, look, seconds=60, fail=True):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = look()
        if found is not None:
            return found
        time.sleep(0.2)
    if not fail:
        return None
    raise SystemExit(f"FAIL: {what} did not appear within {seconds} s")


def press(button):
    # A button that opens a modal window answers only when the window closes: press it aside.
    threading.Thread(target=lambda: button.queryAction().doAction(0), daemon=True).start()


def window(app, role, name):
    return wait_for(f"the {role} {name!r}", lambda: next(
        (w for w in (app.getChildAtIndex(i) for i in range(app.childCount))
         if w is not None and w.getRoleName() == role and w.name == name), None))


def main():
    gui, cli = sys.argv[1], sys.argv[2]
    work = tempfile.mkdtemp(prefix="vrelmont-atspi-")
    try:
        subprocess.run([cli, "demo", os.path.join(work, "data")], check=True, stdout=subprocess.DEVNULL)
        # The window keeps its settings beside itself: a copy of its own, with the demo data filled in.
        os.mkdir(os.path.join(work, "bin"))
        shutil.copy(gui, os.path.join(work, "bin", "vrelmont"))
        with open(os.path.join(work, "bin", "Vrelmont.ini"), "w", newline="") as ini:
            ini.write(f"[PATH]\r\nMoneyDataRoot={work}/data/\r\n")
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
        env.pop("QT_QPA_PLATFORM", None)
        # A program that started before the accessibility registry did may never be listed on the bus
        # (seen once beside a loaded parallel test run): it gets a second start.
        for attempt in (1, 2):
            started = subprocess.Popen([os.path.join(work, "bin", "vrelmont")], env=env)
            try:
                app = wait_for("the program on the accessibility bus", program, 30 if attempt == 1 else 60,
                               fail=attempt == 2)
                if app is not None:
                    run(app)
                    break
                print("the program is not on the accessibility bus after 30 s; starting it again")
            finally:
                started.kill()
                started.wait()
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for failure in failures:
        print("FAIL:", failure)
    print(f"{'FAILED' if failures else 'passed'}: windows' roles and names over AT-SPI")
    return 1 if failures else 0


def run(app):
    setup = window(app, "dialog", "Nastavení cesty k Money")
    path = find(setup, "text", "Cesta k adresáři DATA")
    check("the locked path field", path is not None, True)
    if path is not None:
        check("the locked path field can take the focus", path.getState().contains(pyatspi.STATE_FOCUSABLE), True)
    check("Další is named without its arrows", find(setup, "push button", "Další") is not None, True)

    press(find(setup, "push button", "Odemknout cestu k adresáři DATA"))
    choose = wait_for("the unlocked path's button", lambda: find(setup, "push button", "Vybrat adresář DATA"))
    press(choose)
    directory = window(app, "dialog", "Výběr adresáře")
    drives = find(directory, "combo box")
    check("the drive list's name", drives.name if drives else None, "Jednotky")
    press(find(directory, "push button", "Zpět"))
    wait_for("the directory dialog to close", lambda: None if find(app, "dialog", "Výběr adresáře") else True)

    press(find(setup, "push button", "Další"))
    agendas = window(app, "dialog", "Výběr agendy")
    names = find(agendas, "list", "Nalezené agendy")
    check("the agenda list", names is not None, True)
    if names is None:
        return
    check("the first agenda, whole", names.getChildAtIndex(0).name, "Železářství Novák s.r.o.")
    names.getChildAtIndex(0).queryAction().doAction(0)  # selects the agenda
    press(wait_for("OK to be enabled", lambda: find(agendas, "push button", "OK") if find(
        agendas, "push button", "OK").getState().contains(pyatspi.STATE_ENABLED) else None))
    main_window = wait_for("the main window", lambda: next(
        (w for w in (app.getChildAtIndex(i) for i in range(app.childCount))
         if w is not None and w.getRoleName() in ("frame", "filler", "window")
         and find(w, "progress bar") is not None), None))
    check("the main window's role", main_window.getRoleName(), "frame")
    check("the gauge's name", find(main_window, "progress bar").name, "Průběh kontroly")


if __name__ == "__main__":
    sys.exit(main())
