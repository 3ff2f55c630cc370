#pragma once

#include <QGroupBox>
#include <QList>
#include <QString>
#include <QStringList>

class QRadioButton;

namespace fairstake {

// A captioned box of radio items with one item index, like the radio groups of
// classic form designers. Items are laid out in columns of equal width and fill
// each column from the top before moving to the next one to the right.
//
// clicked() is emitted whenever the item index changes, whether the program set
// it or the user picked an item with the mouse or the arrow keys; setting the
// index it already has emits nothing. Handlers connected to clicked() read the
// new index through itemIndex().
//
// The arrow keys step through the items in item order whatever the column
// layout (Left/Up back, Right/Down forward, wrapping at the ends), moving the
// focus and the selection together.
class RadioGroup : public QGroupBox {
    Q_OBJECT

public:
    explicit RadioGroup(QWidget* parent = nullptr);

    void setCaption(const QString& caption);
    QString caption() const;

    // Replaces every item; the index is cleared to -1 (without clicked()).
    void setItems(const QStringList& items);
    QStringList items() const;
    int count() const { return static_cast<int>(m_buttons.size()); }

    void setColumns(int columns);
    int columns() const { return m_columns; }

    // -1 when no item is selected.
    int itemIndex() const { return m_index; }
    // Out-of-range indexes clear the selection like -1 does.
    void setItemIndex(int index);

    // While the check marks are held, setItemIndex() changes the index and
    // emits clicked() as usual but leaves the buttons as they are; when the
    // outermost hold is released they show the index as it is then.  A run of
    // settings that ends where it began neither toggles nor repaints a button.
    void holdCheckMarks() { ++m_marksHeld; }
    void releaseCheckMarks();

    // The radio button of item i (nullptr when out of range); its objectName is
    // "<group objectName>_item<i>".
    QRadioButton* button(int i) const;

Q_SIGNALS:
    void clicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void arrangeButtons();
    void nameButtons();
    void buttonToggled(int i, bool checked);
    void checkButtons(int index);

    QList<QRadioButton*> m_buttons;
    int m_columns = 1;
    int m_index = -1;
    bool m_updating = false;
    int m_marksHeld = 0;
};

} // namespace fairstake
