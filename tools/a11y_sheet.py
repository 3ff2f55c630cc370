"""The race sheet read over the accessibility bus, as a screen reader reads it (tools/a11y-check
PROGRAM a11y_sheet.py): example 1 pressed, the sheet opened from the Race menu, its table read
through the table interface and its controls by name, the commission typed, the figures again."""
import sys
import time

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
        for name, role in (("Commission on winnings (%)", "text"), ("Spread a total of", "text"),
                           ("Round onto the calculator's unit", "check box"), ("Copy", "push button")):
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

    return run_checks(check)


if __name__ == "__main__":
    sys.exit(main())
