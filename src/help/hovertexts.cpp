#include "help/hovertexts.h"

#include <array>

namespace fairstake::help {

namespace {

const QString& LossRecoveryStart() {
    static const QString text =
        QStringLiteral("When you lose a bet, you must recover your losses on the next one. ");
    return text;
}

// First pixel of each box on the CLEAR strip picture, right to left; the
// printed boxes are not evenly spaced.  Left of 17 the whole row is cleared.
struct ClearRange {
    int firstX;
    const char* boxes;
};

constexpr std::array<ClearRange, 8> clearRanges{{
    {142, "Click to clear box 9"},
    {123, "Click to clear box 8 and 9"},
    {103, "Click to clear box 7, 8, 9"},
    {85, "Click to clear box 6, 7, 8, 9"},
    {67, "Click to clear box 5, 6, 7, 8, 9"},
    {50, "Click to clear box 4, 5, 6, 7, 8, 9"},
    {32, "Click to clear box 3, 4, 5, 6, 7, 8, 9"},
    {17, "Click to clear box 2, 3, 4, 5, 6, 7, 8, 9"},
}};

} // namespace

QString LineBreak() {
    return QStringLiteral("\r\n");
}

QString DecimalSeparatorName(QChar separator) {
    if (separator == u',') return QStringLiteral("comma");
    if (separator == u'.') return QStringLiteral("point");
    return QStringLiteral("decimal point");
}

QString OddsBoxText(int box, QChar separator, const QString& separatorName, OddsForm form) {
    static const std::array<const char*, 9> ordinals{"first", "second", "third", "4th", "5th",
                                                     "6th",   "7th",    "8th",   "9th"};
    if (box < 1 || box > 9) return {};
    const QLatin1StringView ordinal(ordinals[std::size_t(box - 1)]);
    QString text;
    switch (form) {
    case OddsForm::ToOne:
        text = QStringLiteral("Type the odds of ") + ordinal + QStringLiteral(" horse in here.") + LineBreak() +
               QStringLiteral("Can be whole values, like 4, or numbers with decimals, like 4 ") + separator +
               QStringLiteral("5 or even 9/2");
        break;
    case OddsForm::Decimal:
        text = QStringLiteral("Type the decimal odds of ") + ordinal + QStringLiteral(" horse, stake included,") +
               LineBreak() + QStringLiteral("like 3 or 5") + separator + QStringLiteral("50 (9/2 is to-one odds)");
        break;
    case OddsForm::American:
        text = QStringLiteral("Type the American odds of ") + ordinal + QStringLiteral(" horse,") + LineBreak() +
               QStringLiteral("like +450 (4") + separator + QStringLiteral("5 to one) or -200 (1 to 2)");
        break;
    }
    return text + LineBreak() + QStringLiteral("Your decimal separator is the ") + separatorName + u'.';
}

QString OddsBoxDescription(int box, OddsForm form) {
    return OddsBoxText(box, u'.', QString(), form).section(LineBreak(), 0, 0);
}

std::optional<QString> ClearStripText(int x) {
    for (const ClearRange& range : clearRanges) {
        if (x >= range.firstX)
            return LineBreak() + QLatin1StringView(range.boxes) + LineBreak() +
                   QStringLiteral("Go more to the left to clear more boxes");
    }
    if (x >= 2) return LineBreak() + LineBreak() + QStringLiteral("Click to clear all the boxes");
    return std::nullopt;
}

QString HoverText(QStringView name) {
    if (name == u"imgprofits")
        return LossRecoveryStart() +
               QStringLiteral("Use the scroll bar on the left to calculate the TOTAL winnings you need.");
    if (name == u"Image1")
        return LossRecoveryStart() +
               QStringLiteral("Use the scroll bar above to calculate the TOTAL winnings you need.");
    if (name == u"Command1")
        return QStringLiteral(
            "Once you have chosen the quantity of horses to play and written down their odds, "
            "click here to see what kind of wagers you must place on them.");
    if (name == u"btnExample")
        return QStringLiteral(
            "Click this button to see an example with 4 horses. This simply demonstrates in "
            "one second how the program works. Bets are rounded up to multiples of $2");
    if (name == u"txtArrondir" || name == u"btnRounditup")
        return QStringLiteral("Countries have different default values for bets. In France it's multiples of "
                              "\u20AC1,5, in the US it's $2, etc. Specify here to what amount bets are to be "
                              "rounded up.");
    if (name == u"chkNomore")
        return QStringLiteral("Uncheck to shut me up") + LineBreak() + LineBreak() +
               QStringLiteral("Check to have the pleasure of hearing me through the balloons.");
    if (name == u"Edit1") return QStringLiteral("");
    if (name == u"lblTotal_ex_Label19")
        return QStringLiteral("This shows the total amount of all bets. Might be necessary to click the "
                              "\"Refresh\" button after you have changed odds or horses to play.");
    if (name == u"cmdRafraichir")
        return QStringLiteral(
            "Click to refresh (ie recalculate) the total amount of all bets. Might sometimes "
            "be necessary after you have changed the odds or number of horses to play.");
    if (name == u"Cmdrafraichirbid")
        return QStringLiteral("Click to refresh data, if needed.") + LineBreak() + LineBreak() +
               QStringLiteral("Usually data is refreshed automatically");
    if (name == u"imageradio")
        return QStringLiteral("Click the radio box to either round figures up, down or according to their "
                              "value. See this help after you have clicked a specific button and changed its "
                              "value");
    if (name == u"txtTenths")
        return QStringLiteral(
            "This figure indicates the amount at which position bets are to rounded up or "
            "down to whole numbers. Click scroll bar on the right to adjust. It goes from 1 "
            "to 9 tenths.");
    if (name == u"Image3") return ThresholdText();
    if (name == u"imggauche")
        return QStringLiteral("Click to move all the odds leftwards. Useful to check out figures without the "
                              "lowest odd. Increase number of bets if necessary.");
    if (name == u"imgDroite")
        return QStringLiteral(
            "Click to move all the odds rightwards. Useful to check out figures with further "
            "low odds. Decrease number of bets if necessary.");
    if (name == u"imgracetracks")
        return QStringLiteral("Click and travel the whole wide world of racetracks from the USA, Canada and "
                              "Europe. There are hundreds of them to which you can pay a virtual visit.");
    if (name == u"imgBig")
        return QStringLiteral(
            "Hello! Move the mouse over the boxes, buttons and pictures and I will tell you "
            "what each one does. For more, click into a box and press F1.");
    return {};
}

QString LossRecoveryText() {
    return LossRecoveryStart() +
           QStringLiteral("Use this scroll bar (or picture below) to calculate the TOTAL "
                          "winnings you need.");
}

QString DisplayModeText() {
    return QStringLiteral(
        "Make your choice as to see the decimal part or not. Useful to see the TRUE amount due "
        "in case you have rounded it up to the nearest amount to bet.");
}

QString RoundUpText() {
    return QStringLiteral("Round figures upwards to the amount you specify in the edit box on the right") +
           LineBreak() +
           QStringLiteral("You can also choose to round figures downwards or to the closest amount");
}

QString RoundDownText() {
    return QStringLiteral("Round figures downwards to the amount you specify in the edit box on the right. "
                          "Figures can also be rounded upwards or according to their value");
}

QString RoundByValueText() {
    return QStringLiteral(
               "Round figures either upwards or downwards to match the amount you specify in the edit "
               "box on the right") +
           LineBreak() + QStringLiteral("(upwards or downwards also available)");
}

QString ThresholdText() {
    return QStringLiteral("Click to set the amount at which position bets are to rounded up or down to whole "
                          "numbers. Adjust the values here. See the help file for more information.");
}

QString PastedOddsText(int count, bool heldMore) {
    if (count <= 0) return QStringLiteral("The clipboard holds no odds to paste.");
    if (heldMore) return QStringLiteral("Nine runners pasted; the clipboard held more.");
    if (count == 1) return QStringLiteral("Pasted the odds of 1 runner.");
    return QStringLiteral("Pasted the odds of %1 runners.").arg(count);
}

QString TickerText() {
    return QStringLiteral(
        "This application allows you to bet on multiple selections (several runners) in a single race for a "
        "fixed return or profit no matter which contender wins, provided it is among those you selected. "
        "Competitors are usually horses, but the program will work on every race that displays odds for all "
        "starters like greyhound racing or any other animal or human competition. As a matter of fact, you "
        "can "
        "bet on up to 9 contenders in a given race! And you'll get the same amount of cash, regardless of "
        "which "
        "one wins!     ");
}

} // namespace fairstake::help
