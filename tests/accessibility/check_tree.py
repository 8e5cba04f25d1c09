# SPDX-License-Identifier: MIT
"""Reads the running program's accessibility tree, as a screen reader would,
and checks that every control a user needs has a name: the engine rows with
their ticks, the form's fields and buttons, and the result cells after a
search. Ticks an engine through the tree and runs a search through it too.

Run by run_check.sh inside a private X display and D-Bus session."""

import sys
import time

import pyatspi

failures = []


def check(condition, text):
    if not condition:
        failures.append(text)
        print("FAIL: " + text)


def walk(acc):
    yield acc
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def has_state(acc, state):
    return acc.getState().contains(state)


def wait_for(predicate, seconds):
    end = time.time() + seconds
    while time.time() < end:
        value = predicate()
        if value:
            return value
        time.sleep(0.2)
    return predicate()


def find_app():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name and "questrel" in app.name.lower():
            return app
    return None


def find(app, role, name):
    for acc in walk(app):
        if acc.getRoleName() == role and acc.name == name:
            return acc
    return None


def engine_row(table, name_prefix):
    """The tick cell and the name cell of the engine row whose text starts so."""
    cells = [table.getChildAtIndex(i) for i in range(table.childCount)]
    for i, cell in enumerate(cells):
        if cell.getRoleName() == "table cell" and cell.name.startswith(name_prefix) and i > 0:
            return cells[i - 1], cell
    return None, None


def main():
    app = wait_for(find_app, 20)
    if app is None:
        print("FAIL: the program is not in the accessibility tree")
        return 1
    frame = wait_for(lambda: find(app, "frame", "Untitled - Internet Questrel"), 10)
    check(frame is not None, "the main window is named by its title")

    engines = find(app, "table", "Search engines")
    check(engines is not None, "the engine pane is a table named 'Search engines'")
    if engines is not None:
        tick, name = engine_row(engines, "Sample Multi")
        check(name is not None, "the engine rows are read by name")
        check(tick is not None and has_state(tick, pyatspi.STATE_CHECKED), "a ticked engine reads as checked")
        tick, name = engine_row(engines, "Sample Count")
        check(tick is not None and not has_state(tick, pyatspi.STATE_CHECKED), "an unticked engine reads as not checked")
        if tick is not None:
            action = tick.queryAction()
            names = [action.getName(i) for i in range(action.nActions)]
            check("toggle" in names, "a tick can be toggled from the tree")
            if "toggle" in names:
                action.doAction(names.index("toggle"))
                check(wait_for(lambda: has_state(engine_row(engines, "Sample Count")[0], pyatspi.STATE_CHECKED), 5),
                      "toggling from the tree ticks the engine")

    for role, name in [("text", "Search For"), ("text", "Max. Hits"), ("combo box", "Options"),
                       ("check box", "All Hits"), ("push button", "Search"), ("push button", "Stop"),
                       ("push button", "Clear Results"), ("table", "Search results")]:
        check(find(app, role, name) is not None, "a %s named '%s'" % (role, name))

    search = find(app, "push button", "Search")
    results = find(app, "table", "Search results")
    if search is not None and results is not None:
        search.queryAction().doAction(0)

        def cells():
            return [results.getChildAtIndex(i) for i in range(results.childCount)]

        hits = wait_for(lambda: [c for c in cells() if c.getRoleName() == "table cell" and "red apple" in c.name], 15)
        check(len(hits) > 0, "the result cells read their text")
        check(any(c.name.startswith("http://") for c in cells()), "the URL cells read their address")
        check(any(c.name == "Sample Count" for c in cells()), "the engine ticked through the tree is searched")
        if engines is not None:
            failed = wait_for(lambda: engine_row(engines, "Sample Retired - HTTP 404")[1], 10)
            check(failed is not None, "an engine's outcome is read after its name")

    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
