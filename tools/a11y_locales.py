"""The calculator read through AT-SPI, as a screen reader reads it, in the program started under each given
locale (LC_ALL, as from a user's desktop):   tools/a11y-check PROGRAM a11y_locales.py LOCALE...
Every control has a name; two horses' odds typed give their amounts; example 1 gives its amounts, total,
profit and yield line; the odds box's help comes with a real pointer move; the unit 0.1 rounds example 1
and Round up leaves it; the tenths box follows its scroll bar.  Every figure and help text is written with
the locale's decimal point.  (Real keys and clicks, Tab among them, are tests/realinput's.)
"""
import locale
import re
import subprocess
import sys

import pyatspi

from a11y_walk import act, controls, report, run, text_of, wait_for, walk

CONTROL_ROLES = ("push button", "text", "check box", "radio button", "combo box", "scroll bar")


def decimal_point(name):
    """The C library's decimal point of the locale: what the program's Qt reads too."""
    previous = locale.setlocale(locale.LC_ALL)
    try:
        locale.setlocale(locale.LC_ALL, name)
        return locale.localeconv()["decimal_point"][:1]
    finally:
        locale.setlocale(locale.LC_ALL, previous)


def check_locale(name, app, fail):
    sep = decimal_point(name)

    def expect(what, got, wanted):
        if got != wanted:
            fail(f"{name}: {what} read {got!r}, expected {wanted!r}")

    unnamed = [n.getRoleName() for n, _ in walk(app)
               if n.getRoleName() in CONTROL_ROLES and not n.name.strip() and not n.description.strip()]
    expect("controls without a name", unnamed, [])
    by_name, by_description = controls(app)
    tenths = by_name["Rounding threshold"]
    expect("tenths box at start", text_of(tenths), f"0{sep}5")
    amount = [by_description[f"Amount to bet on horse {i}"] for i in range(1, 5)]
    amounts = lambda: [a.name for a in amount]  # noqa: E731

    # Two horses, their odds typed through the boxes' editable text.
    act(by_name["2 horses"], "Press")
    for box, odds in ((1, "2"), (2, "3")):
        by_name[f"Odds of horse {box}"].queryEditableText().setTextContents(odds)
    two = [f"4{sep}67", f"3{sep}50"]
    expect("two horses' amounts", wait_for(lambda: amounts()[:2], two.__eq__), two)

    act(by_name["Click here for example 1"])
    shown = wait_for(amounts, lambda got: got == ["20", "12", "8", "4"])
    expect("example 1's amounts", shown, ["20", "12", "8", "4"])
    total = by_description[next(d for d in by_description if d.startswith("This shows the total amount"))]
    expect("total line", total.name, f"Total amount to bet: 44{sep}00")
    expect("yield line", by_description["Yield of the odds last typed"].name,
           f"Odds of 12 will yield 13{sep}00 for a $1 bet and 26{sep}00 for a $2 bet")
    profit = by_description["Profit"].name
    if not re.fullmatch(rf"-?\d+{re.escape(sep)}\d\d", profit):
        fail(f"{name}: profit read {profit!r}")

    # A real pointer move over the first odds box writes its help into the balloon.
    x, y, w, h = by_name["Odds of horse 1"].queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", str(x + w // 2), str(y + h // 2)], check=True)
    help_label = by_description["Help from the horse"]
    spoken = wait_for(lambda: help_label.name, lambda got: got.startswith("Type the odds of first horse"))
    words = {",": "comma", ".": "point"}.get(sep, "decimal point")
    if f"like 4 {sep}5 or even 9/2" not in spoken or not spoken.endswith(f"Your decimal separator is the {words}."):
        fail(f"{name}: odds help reads {spoken!r}")

    # Example 1 on the unit 0.1: one decimal, and Round up then leaves them where they are.
    by_name["Betting unit"].queryEditableText().setTextContents(f"0{sep}1")
    for button in ("Click here for example 1", "Round up", "Round it up to the next..."):
        act(by_name[button])
        tenth = [f"19{sep}3", f"11{sep}60", f"7{sep}2", f"4{sep}4"]
        expect(f"amounts on 0.1 after {button}", wait_for(amounts, tenth.__eq__), tenth)

    by_name["Rounding threshold in tenths"].queryValue().currentValue = 3
    expect("tenths box at 3", wait_for(lambda: text_of(tenths), lambda got: got == f"0{sep}3"), f"0{sep}3")
    print(f"{name}: amounts {shown}, {total.name!r}, profit {profit!r}, tenths {text_of(tenths)!r}")


if __name__ == "__main__":
    sys.exit(report([f for name in sys.argv[2:] for f in run(
        lambda app, fail, name=name: check_locale(name, app, fail), LC_ALL=name, LANG=name)]))
