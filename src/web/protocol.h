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
//   report            the helper answers with a window report (the calculator asks
//                     after every link: a helper that does not answer is hung)
// The helper ends when its stdin reaches its end, so it ends with the calculator
// however the calculator ends, and removes the scratch folder it was given: a
// calculator killed outright cannot.  A line over LineBuffer::kMaxLine bytes is
// dropped on either side.
//
// Reports, helper -> calculator:
//   ready                       the window exists (hidden)
//   address <text>              the address box text changed
//   loaded <0|1> <url>          a page load ended (1: it succeeded)
//   window <left> <top> <width> <height> <visible 0|1> <minimized 0|1>
//                               the window's frame position and client size

#include <QByteArray>
#include <QByteArrayView>
#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QString>
#include <QStringView>
#include <cstdio>
#include <optional>
#include <utility>

namespace fairstake::web::protocol {

// The browser's scratch folder, made by whichever side owns it: QTemporaryDir's
// template in the temporary folder.
inline QString ScratchFolderTemplate() { return QDir::tempPath() + QStringLiteral("/fairstake-web-XXXXXX"); }
// Whether a path names a folder made from that template (in this process's
// temporary folder, not a link): the only kind the helper ever removes.
inline bool IsScratchFolder(const QString& path) {
    const QFileInfo folder(path);
    const QString name = folder.fileName(), prefix = QStringLiteral("fairstake-web-");
    return folder.isDir() && !folder.isSymLink() && name.size() == prefix.size() + 6 && name.startsWith(prefix) &&
           folder.absoluteDir() == QDir(QDir::tempPath());
}

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

// The commands the helper knows; anything else is Unknown and ignored.
enum class Command { Unknown, Restore, Address, Show, Visit, Back, Forward, Report };

struct CommandLine {
    Command command = Command::Unknown;
    QString argument; // unescaped; the address of Address, empty for the others
};

inline CommandLine ParseCommand(QStringView line) {
    const Line parts = Split(line);
    static const struct {
        const char16_t* word;
        Command command;
    } kWords[] = {{u"restore", Command::Restore}, {u"address", Command::Address}, {u"show", Command::Show},
                  {u"visit", Command::Visit},     {u"back", Command::Back},       {u"forward", Command::Forward},
                  {u"report", Command::Report}};
    for (const auto& w : kWords) {
        if (parts.word != QStringView(w.word)) continue;
        if (w.command == Command::Address) return {w.command, Unescape(parts.argument)};
        return {w.command, {}};
    }
    return {};
}

// Cuts the bytes of a channel into lines, on either side.  A line longer than
// kMaxLine bytes is dropped as it comes in, without ever being held whole (the
// rest of it, up to its line end, is skipped), and the first such line is
// reported once on stderr.  Lines come without their "\n"; a "\r" before it
// stays.
class LineBuffer {
public:
    static constexpr qsizetype kMaxLine = qsizetype(1) << 20;

    // notice: the text written to stderr when the first long line is dropped (none: nullptr).
    explicit LineBuffer(const char* notice) : notice_(notice) {}

    void append(QByteArrayView bytes) {
        while (!bytes.isEmpty()) {
            const qsizetype end = bytes.indexOf('\n');
            const QByteArrayView piece = end < 0 ? bytes : bytes.first(end);
            if (!skipping_) {
                if (tail_.size() + piece.size() > kMaxLine) {
                    tail_ = QByteArray();
                    skipping_ = true;
                    ++dropped_;
                    if (dropped_ == 1 && notice_) std::fprintf(stderr, "%s\n", notice_);
                } else {
                    tail_ += piece;
                }
            }
            if (end < 0) return;
            if (!skipping_) lines_.append(std::exchange(tail_, QByteArray()));
            skipping_ = false;
            bytes = bytes.sliced(end + 1);
        }
    }

    // The next complete line, in the order they came.
    std::optional<QByteArray> takeLine() {
        if (lines_.isEmpty()) return std::nullopt;
        return lines_.takeFirst();
    }

    // Forgets every line and the unfinished one (a new channel starts).
    void clear() {
        lines_.clear();
        tail_ = QByteArray();
        skipping_ = false;
    }

    // Bytes of the unfinished line held now (never more than kMaxLine).
    qsizetype unfinished() const { return tail_.size(); }
    int dropped() const { return dropped_; }

private:
    const char* notice_;
    QList<QByteArray> lines_;
    QByteArray tail_;
    bool skipping_ = false;
    int dropped_ = 0;
};

} // namespace fairstake::web::protocol
