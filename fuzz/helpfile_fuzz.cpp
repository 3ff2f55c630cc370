// The help file reader on any file a user may be given: Program help reads
// "fairstake.hlp" from the current folder, so the file is outside input.  Each
// input is parsed and every page a user can open is built.
//
// A short last line without a newline (1 to 32 bytes) is repeated until the input
// fills a megabyte: one long line of a few characters is the shape that shows
// reading or page building slower than linear (a line of unclosed links once
// backtracked for minutes), and the run's per-input time limit turns it into a
// finding.
//
// Properties:
// - every topic is found by its own ID, in any case, and so is every context
//   number it carries; the contents page exists exactly when a topic does;
// - every page and pop-up is HTML of our own tags only: file text is escaped, so
//   each '<' opens one of the tags the page builder writes, closed before the next;
// - a pop-up holds no link (it closes on the first click);
// - the links are those the format's pattern, \[\[([^\]|]+)(?:\|([^\]]*))?\]\], finds
//   (on inputs short enough for a backtracking matcher): exactly as many links to
//   missing topics and links in pop-ups are reported as the pattern finds.

#include "fuzzcheck.h"
#include "help/helpfile.h"

#include <QByteArray>
#include <QRegularExpression>
#include <QString>

using fairstake::help::HelpFile;
using fairstake::help::HelpTopic;

namespace {

constexpr qsizetype kFilled = 1 << 20;

QByteArray Input(const char* data, std::size_t size) {
    QByteArray text(data, qsizetype(size));
    const qsizetype tail = text.size() - (text.lastIndexOf('\n') + 1);
    if (tail < 1 || tail > 32) return text;
    const QByteArray unit = text.right(tail);
    text.reserve(kFilled + tail);
    while (text.size() < kFilled)
        text += unit;
    return text;
}

bool OwnTagsOnly(const QString& html) {
    static const QStringList tags{QStringLiteral("h2>"),
                                  QStringLiteral("/h2>"),
                                  QStringLiteral("h3>"),
                                  QStringLiteral("/h3>"),
                                  QStringLiteral("p>"),
                                  QStringLiteral("/p>"),
                                  QStringLiteral("ul>"),
                                  QStringLiteral("/ul>"),
                                  QStringLiteral("ol>"),
                                  QStringLiteral("/ol>"),
                                  QStringLiteral("li>"),
                                  QStringLiteral("/li>"),
                                  QStringLiteral("tr>"),
                                  QStringLiteral("/tr>"),
                                  QStringLiteral("th>"),
                                  QStringLiteral("/th>"),
                                  QStringLiteral("td>"),
                                  QStringLiteral("/td>"),
                                  QStringLiteral("/table>"),
                                  QStringLiteral("b>"),
                                  QStringLiteral("/b>"),
                                  QStringLiteral("/a>"),
                                  QStringLiteral("table border=\"1\" "),
                                  QStringLiteral("a href=\"topic:")};
    for (qsizetype at = html.indexOf(u'<'); at >= 0; at = html.indexOf(u'<', at + 1)) {
        const QStringView rest = QStringView(html).sliced(at + 1);
        bool known = false;
        for (const QString& tag : tags)
            known = known || rest.startsWith(tag);
        const qsizetype close = rest.indexOf(u'>');
        const qsizetype next = rest.indexOf(u'<');
        if (!known || close < 0 || (next >= 0 && next < close)) return false;
        // An attribute value ends only at its own quote: '"' in text is escaped.
        if (rest.startsWith(u"a href=\"") && rest.indexOf(u'"', 8) != close - 1) return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = Input(reinterpret_cast<const char*>(data), size);
    const HelpFile file = HelpFile::Parse(QString::fromUtf8(bytes));

    FUZZ_CHECK(bool(file.contents()) == !file.topics().isEmpty());
    for (const HelpTopic& topic : file.topics()) {
        const HelpTopic* byId = file.topicById(topic.id.toUpper());
        FUZZ_CHECK(byId && byId->id.compare(topic.id, Qt::CaseInsensitive) == 0);
        for (int context : topic.contexts)
            FUZZ_CHECK(file.topicByContext(context));
        FUZZ_CHECK(OwnTagsOnly(file.topicHtml(topic)));
    }
    for (int context : file.popupContexts()) {
        const QString html = file.popupHtml(context);
        FUZZ_CHECK(OwnTagsOnly(html));
        FUZZ_CHECK(!html.contains(QStringLiteral("<a ")));
    }

    if (bytes.size() <= 4096) {
        static const QRegularExpression link(QStringLiteral(R"(\[\[([^\]|]+)(?:\|([^\]]*))?\]\])"));
        qsizetype expected = 0;
        for (const HelpTopic& topic : file.topics())
            for (const QRegularExpressionMatch& m : link.globalMatch(topic.body))
                expected += file.topicById(m.capturedView(1).trimmed()) ? 0 : 1;
        for (int context : file.popupContexts())
            for (const QRegularExpressionMatch& m [[maybe_unused]] : link.globalMatch(*file.popup(context)))
                ++expected;
        qsizetype reported = 0;
        for (const QString& problem : file.problems())
            reported += problem.contains(QStringLiteral(": link to a missing topic ")) ||
                        problem.endsWith(QStringLiteral(": a link in a pop-up"));
        FUZZ_CHECK(reported == expected);
    }
    return 0;
}
