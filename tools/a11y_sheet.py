"""The race sheet read over the accessibility bus, as a screen reader reads it (tools/a11y-check
PROGRAM a11y_sheet.py): example 1 pressed, the sheet opened from the Race menu, its table read
through the table interface and its controls by name, the commission typed, the figures again;
then Lay and Each way picked with real clicks (xdotool), an amount typed with real keys, and the
sheet read back again."""
import subprocess
import sys
import time

import pyatspi

from a11y_walk import run_checks, walk


def main():
    def check(app, failures):
        def named(name, role=None):
            for node, _ in walk(app):
                if node.name == name and (role is None or node.getRoleName() == role):
                    return node
            failures.append(f"nothing named {name!r} ({role})")
            return None

        def press(node):
            action = node.queryAction()
            action.doAction(0)
            time.sleep(0.5)

        press(named("Click here for example 1", "push button"))
        press(named("Race sheet...", "menu item"))
        table = named("Race sheet", "table")
        for name, role in (("Commission on winnings (%)", "text"), ("Amount", "text"), ("No stake below", "text"),
                           ("Back to win", "radio button"), ("Lay", "radio button"), ("Each way", "radio button"),
                           ("Places", None), ("Size the stakes by", None), ("Round the stakes", None),
                           ("Copy", "push button")):
            named(name, role)
        if table is None:
            return
        t = table.queryTable()
        heads = [t.getColumnDescription(c) for c in range(t.nColumns)]
        rows = [[t.getAccessibleAt(r, c).name for c in range(t.nColumns)] for r in range(t.nRows)]
        print("headings:", heads)
        for row in rows:
            print("row:", row)
        sep = rows[0][3][1] if rows and len(rows[0][3]) > 1 else "."
        expected = [["1", "", "2", "3.00", "33.3 %", "20.00", "60.00", "16.00"],
                    ["4", "", "12", "13.00", "7.7 %", "4.00", "52.00", "8.00"]]
        expected = [[cell.replace(".", sep) for cell in row] for row in expected]
        if heads != ["Box", "Runner", "Odds", "Decimal", "Chance", "Stake", "Returns", "Profit"]:
            failures.append(f"headings {heads}")
        if len(rows) != 4 or rows[0] != expected[0] or rows[3] != expected[1]:
            failures.append(f"rows {rows}")
        book = named("Book: 73.5 % of the market".replace(".", sep), "label")
        box = named("Commission on winnings (%)", "text")
        if box is not None:
            box.queryEditableText().setTextContents("5")
            time.sleep(0.5)
            profit = t.getAccessibleAt(3, 7).name
            print("profit of row 4 at 5 %:", profit, "| book line:", book.name if book else None)
            if profit != "7.60".replace(".", sep):
                failures.append(f"profit at 5 % {profit}")
            box.queryEditableText().setTextContents("0")
            time.sleep(0.3)

        def click(node):
            x, y, w, h = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            subprocess.run(["xdotool", "mousemove", str(x + min(w // 2, 8)), str(y + h // 2), "click", "1"], check=True)
            time.sleep(0.5)

        def table_rows():
            return [[t.getAccessibleAt(r, c).name for c in range(t.nColumns)] for r in range(t.nRows)]

        # Lay by a real click: the headings and the liabilities follow.
        click(named("Lay", "radio button"))
        heads = [t.getColumnDescription(c) for c in range(t.nColumns)]
        rows = table_rows()
        print("lay:", heads, rows[0])
        if heads[5:] != ["Lay stake", "Liability", "Profit"] or rows[0][5:] != [
                f"20{sep}00", f"40{sep}00", f"-16{sep}00"]:
            failures.append(f"lay {heads} {rows[0]}")
        # Each way by a real click, then a minimum stake of 5 typed with real keys: the smallest is lifted.
        click(named("Each way", "radio button"))
        click(named("No stake below", "text"))
        subprocess.run(["xdotool", "type", "--delay", "30", "5"], check=True)
        time.sleep(0.5)
        heads = [t.getColumnDescription(c) for c in range(t.nColumns)]
        rows = table_rows()
        print("each way, no stake below 5:", heads, rows[0], rows[3])
        if heads[4:] != ["Place", "Stake", "If it wins", "If it places"] or rows[0][4:6] != [
                f"1{sep}40", f"18{sep}64"] or rows[3][5] != f"5{sep}00":
            failures.append(f"each way {heads} {rows[0]}")

    return run_checks(check)


if __name__ == "__main__":
    sys.exit(main())
