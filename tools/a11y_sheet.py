"""The race sheet read over the accessibility bus, as a screen reader reads it (tools/a11y-check
PROGRAM a11y_sheet.py): example 1 pressed, the sheet opened from the Race menu, its table read
through the table interface and its controls by name; then Lay and Each way picked with real clicks (xdotool), an amount typed with real keys, and the
sheet read back again."""
import subprocess
import sys
import time

from a11y_walk import act, click, node_of, report, run

CONTROLS = (("Commission on winnings (%)", "text"), ("Amount", "text"), ("No stake below", "text"),
            ("Back to win", "radio button"), ("Lay", "radio button"), ("Each way", "radio button"),
            ("Places",), ("Size the stakes by",), ("Round the stakes",), ("Copy", "push button"))


def check(app, fail):
    def named(name, *roles):
        return node_of(app, name, *roles) or fail(f"nothing named {name!r} {roles}")

    act(named("Click here for example 1", "push button"))
    act(named("Race sheet...", "menu item"))
    table = named("Race sheet", "table")
    for control in CONTROLS:
        named(*control)
    if table is None:
        return
    t = table.queryTable()

    def read(what, heads_from, wanted_heads, cells, rows_wanted):
        """The headings from column heads_from on and the given cells (row, first column, rows' values)."""
        heads = [t.getColumnDescription(c) for c in range(t.nColumns)]
        rows = [[t.getAccessibleAt(r, c).name for c in range(t.nColumns)] for r in range(t.nRows)]
        print(f"{what}:", heads, rows)
        got = [rows[r][c:c + len(v)] if r < len(rows) else None for (r, c), v in zip(cells, rows_wanted)]
        wanted = [[v.replace(".", sep) for v in values] for values in rows_wanted]
        if heads[heads_from:] != wanted_heads or got != wanted:
            fail(f"{what}: headings {heads}, cells {got}, expected {wanted_heads} {wanted}")

    first = t.getAccessibleAt(0, 3).name if t.nRows else ""
    sep = first[1] if len(first) > 1 else "."
    if t.nRows != 4:
        fail(f"{t.nRows} rows")
    read("back", 0, ["Box", "Runner", "Odds", "Decimal", "Chance", "Stake", "Returns", "Profit"], ((0, 0), (3, 0)),
         (["1", "", "2", "3.00", "33.3 %", "20.00", "60.00", "16.00"],
          ["4", "", "12", "13.00", "7.7 %", "4.00", "52.00", "8.00"]))
    named("Book: 73.5 % of the market".replace(".", sep), "label")
    # Lay by a real click: the headings and the liabilities follow.
    click(named("Lay", "radio button"))
    read("lay", 5, ["Lay stake", "Liability", "Profit"], ((0, 5),), (["20.00", "40.00", "-16.00"],))
    # Each way by a real click, then a minimum stake of 5 typed with real keys: the smallest is lifted.
    click(named("Each way", "radio button"))
    click(named("No stake below", "text"))
    subprocess.run(["xdotool", "type", "--delay", "30", "5"], check=True)
    time.sleep(0.5)
    read("each way, no stake below 5", 4, ["Place", "Stake", "If it wins", "If it places"], ((0, 4), (3, 5)),
         (["1.40", "18.64"], ["5.00"]))


if __name__ == "__main__":
    sys.exit(report(run(check)))
