#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The running studio as a screen reader finds it over AT-SPI.

Run by run-accessibility-e2e, which gives it a private session bus with the accessibility bus on it.
Starts the studio, walks its accessible tree, finds every control by role and name, reads the
sliders' values, types a text into the editor through its editable-text interface, presses SPEAK
through its action and checks that the null sink hears speech while the status reads SPEAKING.
"""
import array
import math
import os
import subprocess
import sys
import tempfile
import time

import pyatspi

STUDIO = sys.argv[1]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what, flush=True)
    else:
        print("ok:", what, flush=True)


def wait_for(predicate, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            value = predicate()
        except Exception:  # the tree may change under us while the window builds
            value = None
        if value:
            return value
        time.sleep(0.2)
    return None


def walk(node, depth=0):
    yield node
    if depth > 12:
        return
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


def find(root, role, name):
    for node in walk(root):
        if node.getRole() == role and node.name == name:
            return node
    return None


def studio_app(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def rms_of(path):
    with open(path, "rb") as f:
        data = array.array("h", f.read())
    if not data:
        return 0.0
    return math.sqrt(sum(s * s for s in data) / len(data))


def main():
    home = tempfile.mkdtemp(prefix="orvena-a11y-home.")
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1", QT_QPA_PLATFORM="xcb")
    studio = subprocess.Popen([STUDIO], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    try:
        app = wait_for(lambda: studio_app(studio.pid), 30)
        check(app is not None, "the studio appears on the accessibility bus")
        if app is None:
            return
        frame = wait_for(lambda: find(app, pyatspi.ROLE_FRAME, "Orvena STUDIO 4")
                         or find(app, pyatspi.ROLE_WINDOW, "Orvena STUDIO 4"), 20) or app
        wait_for(lambda: find(frame, pyatspi.ROLE_PUSH_BUTTON, "SPEAK"), 20)

        buttons = ["SPEAK", "PAUSE", "STOP", "CLEAR", "RECORD", "FILENAME", "Open File", "Cut", "Copy",
                   "Paste", "Delete", "Clear Clipboard", "Select All", "Set Font", "Set Fore Color",
                   "Set Back Color", "Close", "Minimize Window"]
        for name in buttons:
            check(find(frame, pyatspi.ROLE_PUSH_BUTTON, name) is not None
                  or find(frame, pyatspi.ROLE_TOGGLE_BUTTON, name) is not None, "button %r" % name)
        # Bold and Italic turn over: their checked state follows each press of their action.
        for name in ["Bold", "Italic"]:
            node = find(frame, pyatspi.ROLE_PUSH_BUTTON, name) or find(frame, pyatspi.ROLE_TOGGLE_BUTTON, name)
            check(node is not None, "button %r" % name)
            if node is None:
                continue
            checked = lambda: node.getState().contains(pyatspi.STATE_CHECKED)
            check(not checked(), "%s starts unchecked" % name)
            node.queryAction().doAction(0)
            check(wait_for(checked, 5), "%s is checked after its press action" % name)
            node.queryAction().doAction(0)
            check(wait_for(lambda: not checked(), 5), "%s is unchecked after a second press" % name)
        pause = find(frame, pyatspi.ROLE_PUSH_BUTTON, "PAUSE")
        check(pause is not None and not pause.getState().contains(pyatspi.STATE_SENSITIVE),
              "PAUSE is unavailable while stopped")
        restore = find(frame, pyatspi.ROLE_PUSH_BUTTON, "Restore")
        check(restore is None or not restore.getState().contains(pyatspi.STATE_SENSITIVE),
              "the restore button is hidden or unavailable")

        for name, expected in [("Speed", 150), ("Tone", 170)]:
            slider = find(frame, pyatspi.ROLE_SLIDER, name)
            check(slider is not None, "slider %r" % name)
            if slider is not None:
                value = slider.queryValue()
                check(int(value.currentValue) == expected, "%s reads %d (got %s)" % (name, expected,
                                                                                    value.currentValue))
        # Setting a slider's value over the bus moves it; out of range stops at its end.
        speed = find(frame, pyatspi.ROLE_SLIDER, "Speed")
        if speed is not None:
            value = speed.queryValue()
            value.currentValue = 200.0
            check(wait_for(lambda: int(value.currentValue) == 200, 5), "Speed set to 200 over the bus")
            value.currentValue = 5000.0
            check(wait_for(lambda: int(value.currentValue) == 270, 5), "Speed set beyond Max stops at 270")
            value.currentValue = 150.0
        for name in ["FEMALE VOICE", "MALE VOICE 1", "MALE VOICE 2"]:
            found = any(n.getRole() == pyatspi.ROLE_RADIO_BUTTON and n.name.strip() == name for n in walk(frame))
            check(found, "voice option %r" % name)
        check(any(n.getRole() == pyatspi.ROLE_MENU_BAR for n in walk(frame)), "the menu bar")
        status = find(frame, pyatspi.ROLE_LABEL, "STOPPED")
        check(status is not None, "the status label reads STOPPED")

        editor = None
        for node in walk(frame):
            if node.name == "Text to speak" and node.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY,
                                                                   pyatspi.ROLE_PARAGRAPH,
                                                                   pyatspi.ROLE_DOCUMENT_TEXT):
                editor = node
                break
        check(editor is not None, "the editor named 'Text to speak'")
        if editor is None:
            return
        text = "Good evening. A screen reader pressed this button."
        editor.queryEditableText().setTextContents(text)
        check(wait_for(lambda: editor.queryText().getText(0, -1) == text, 10), "the text is typed in")

        sound = os.path.join(home, "heard.raw")
        with open(sound, "wb") as out:
            parec = subprocess.Popen(["parec", "-d", "null.monitor", "--format=s16le", "--rate=16000",
                                      "--channels=1", "--latency-msec=50"], stdout=out)
            time.sleep(1.0)
            speak = find(frame, pyatspi.ROLE_PUSH_BUTTON, "SPEAK")
            action = speak.queryAction()
            names = [action.getName(i) for i in range(action.nActions)]
            check("Press" in names or "press" in [n.lower() for n in names], "SPEAK has a press action")
            keys = [action.getKeyBinding(i) for i in range(action.nActions)]
            check(any("F5" in k for k in keys), "SPEAK's action reports F5 (got %r)" % keys)
            action.doAction([n.lower() for n in names].index("press"))
            speaking = wait_for(lambda: find(frame, pyatspi.ROLE_LABEL, "SPEAKING"), 10)
            check(speaking is not None, "the status reads SPEAKING")
            time.sleep(2.5)
            still = find(frame, pyatspi.ROLE_LABEL, "SPEAKING") is not None
            parec.terminate()
            parec.wait(5)
        level = rms_of(sound)
        check(level > 200, "the null sink hears speech (RMS %.0f)" % level)
        check(still, "the status still reads SPEAKING while it is heard")

        stop = find(frame, pyatspi.ROLE_PUSH_BUTTON, "STOP")
        stop.queryAction().doAction(0)
        check(wait_for(lambda: find(frame, pyatspi.ROLE_LABEL, "STOPPED"), 10) is not None,
              "STOP through its action stops")
    finally:
        studio.terminate()
        try:
            studio.wait(10)
        except subprocess.TimeoutExpired:
            studio.kill()
            studio.wait(5)


if __name__ == "__main__":
    main()
    if failures:
        print("%d check(s) failed" % len(failures))
        sys.exit(1)
    print("all checks passed")
