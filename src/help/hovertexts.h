#pragma once
// Every text the talking horse says, as plain functions.  The calculator window
// decides when a text is shown; these functions only build it.  Texts are looked
// up by the control's objectName, never by anything the user sees.

#include <QChar>
#include <QString>
#include <QStringView>
#include <optional>

namespace fairstake::help {

// The program-wide line break of help texts: CR LF.
QString LineBreak();

// "comma" for ',', "point" for '.', "decimal point" for any other separator.
QString DecimalSeparatorName(QChar separator);

// The form in which odds are typed, as the Race menu sets it (the calculator's odds format).
enum class OddsForm { ToOne, Decimal, American };

// Hover text of odds box 1..9 (txtCote1 .. txtCote9); a null QString outside that range.
// The separator is the locale's decimal separator as read now; the name is the
// program-wide name set at start-up, passed separately so that the two may differ.
// The text names the form in force and gives its examples.
QString OddsBoxText(int box, QChar separator, const QString& separatorName, OddsForm form = OddsForm::ToOne);
// The first line of that text: what a screen reader says of the odds box.
QString OddsBoxDescription(int box, OddsForm form);

// Hover text of the CLEAR strip for the pointer at x pixels from its left edge.
// nullopt for x <= 1: the balloon keeps the text it had.
std::optional<QString> ClearStripText(int x);

// The fixed hover texts, by the control's objectName.  txtArrondir and btnRounditup
// share one text; Edit1 gives the empty (non-null) text, which clears the balloon.
// A null QString for a control without a fixed hover text (among them the odds
// boxes and the CLEAR strip, whose texts are built by the functions above).
QString HoverText(QStringView objectName);

// Texts written by handlers rather than by hovering.
QString LossRecoveryText(); // HScroll1Change
QString DisplayModeText();  // radioOptionsClick
QString RoundUpText();      // radioupClick
QString RoundDownText();    // radiodownClick
QString RoundByValueText(); // radiocenterClick
QString ThresholdText();    // ScrollBar1Change
// The Race menu's paste: what it did with the clipboard's prices (count 0 to 9;
// heldMore when a tenth was left behind).
QString PastedOddsText(int count, bool heldMore);

// The ticker text, followed by the five blanks that make the gap before it comes round again.
QString TickerText();

} // namespace fairstake::help
