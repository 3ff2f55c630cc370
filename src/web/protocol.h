#pragma once
// The line protocol between the calculator and the fairstake-web helper, over the
// helper's stdin (commands) and stdout (reports).  One command or report per
// line, UTF-8, ended by "\n"; a text argument follows the word after one blank and
// is escaped so that it stays on its line.
//
// Commands, calculator -> helper:
//   restore           the window's state becomes normal (a minimized window is restored)
//   address <text>    the address box text
//   show              the window is shown without being modal and comes to the front;
//                     then the helper lets its pending events run, so that the window
//                     is drawn before a following visit
//   visit             VisitAddress: the trimmed address box text is navigated to
//   back, forward     the back and forward buttons are clicked
//   report            the helper answers with a window report
// The helper ends when its stdin reaches its end, so it ends with the calculator
// however the calculator ends.
//
// Reports, helper -> calculator:
//   ready                       the window exists (hidden)
//   address <text>              the address box text changed
//   loaded <0|1> <url>          a page load ended (1: it succeeded)
//   window <left> <top> <width> <height> <visible 0|1> <minimized 0|1>
//                               the window's frame position and client size

#include <QString>
#include <QStringView>

namespace fairstake::web::protocol {

// Backslash, CR and LF become "\\", "\r" and "\n".
inline QString Escape(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else
            out += c;
    }
    return out;
}

// The inverse of Escape; an unknown escape keeps its character, a lone
// backslash at the end is dropped.
inline QString Unescape(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\\') {
            out += c;
            continue;
        }
        if (++i == text.size()) break;
        const QChar e = text[i];
        out += e == u'n' ? QChar(u'\n') : e == u'r' ? QChar(u'\r') : e;
    }
    return out;
}

// "word rest of line" -> word and the rest (empty when there is none).
struct Line {
    QString word;
    QString argument;
};

inline Line Split(QStringView line) {
    const qsizetype blank = line.indexOf(u' ');
    if (blank < 0) return {line.toString(), {}};
    return {line.left(blank).toString(), line.mid(blank + 1).toString()};
}

} // namespace fairstake::web::protocol
