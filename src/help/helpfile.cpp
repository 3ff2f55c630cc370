#include "help/helpfile.h"

#include <QFile>
#include <QRegularExpression>
#include <algorithm>

namespace fairstake::help {

namespace {

enum class Block { None, Paragraph, Bullets, Numbers, Table };

const QRegularExpression& SectionPattern() {
    static const QRegularExpression re(QStringLiteral(R"(^\[(topic|popup)\s+([^\]\s]+)\s*\]\s*$)"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re;
}

// A link: [[ID]] or [[ID|text]], the ID one or more characters other than ']' and '|',
// the text any characters other than ']'.
struct Link {
    qsizetype start = 0;
    qsizetype end = 0; // just past the closing "]]"
    QStringView id;
    QStringView text; // empty when the link has none
};

// The first link at or after from.  Scanned by hand in one pass: a file is outside
// input, and a pattern with repetitions backtracks on a long line of unclosed links
// (quadratic; minutes for a megabyte).  A candidate that fails is never scanned
// again: every "[[" inside the part it covered runs into the same stop and fails
// the same way, so the search goes on after that stop.
std::optional<Link> NextLink(QStringView s, qsizetype from) {
    const qsizetype n = s.size();
    for (;;) {
        const qsizetype open = s.indexOf(u"[[", from);
        if (open < 0) return std::nullopt;
        const qsizetype idStart = open + 2;
        qsizetype p = idStart;
        while (p < n && s[p] != u']' && s[p] != u'|')
            ++p;
        if (p == n) return std::nullopt;
        if (p == idStart) { // "[[]" or "[[|": no ID
            from = open + 1;
            continue;
        }
        qsizetype close = p; // the first ']' after the ID (and its text)
        if (s[p] == u'|') {
            close = p + 1;
            while (close < n && s[close] != u']')
                ++close;
            if (close == n) return std::nullopt;
        }
        if (close + 1 < n && s[close + 1] == u']') {
            const QStringView text = close > p ? s.sliced(p + 1, close - p - 1) : QStringView();
            return Link{open, close + 2, s.sliced(idStart, p - idStart), text};
        }
        from = close + 1;
    }
}

// "1. " with any number (ASCII digits, then a dot and a blank): a numbered item.
bool IsNumbered(QStringView line) {
    qsizetype i = 0;
    while (i < line.size() && line[i] >= u'0' && line[i] <= u'9')
        ++i;
    return i > 0 && i + 1 < line.size() && line[i] == u'.' && QStringView(u" \t\v\f\r").contains(line[i + 1]);
}

std::optional<int> ToInt(QStringView text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok) return std::nullopt;
    return value;
}

// Qt's line breaking is quadratic in the length of a word wider than the line (a
// megabyte of "[[" takes a minute to lay out), so a run of text longer than this
// without a blank gets a zero-width space, a place to break that shows nothing.
constexpr int kLongestUnbrokenRun = 64;

// Qt lays out a list in time quadratic in its length (every item looks up its
// number), and a list item or table cell costs it tens of microseconds: a longer list
// goes on as a new list (its numbers start again), and items and rows past the page's
// share are shown as the text they are written as.
constexpr int kLongestList = 100;
// The same goes for links and bold runs: past the page's share they show as plain
// text (a link its text, bold its markers).
constexpr int kMostMarks = 4000;
constexpr int kMostListItems = 4000;
constexpr int kMostTableCells = 4000;

// HTML of our own making: tags are ours (text '<' is escaped), entities end with ';'.
QString BreakLongRuns(const QString& html) {
    QString out;
    out.reserve(html.size() + html.size() / kLongestUnbrokenRun);
    int run = 0;
    bool inTag = false;
    bool inEntity = false;
    for (const QChar c : html) {
        if (inTag || inEntity) {
            out += c;
            inTag = inTag && c != u'>';
            inEntity = inEntity && c != u';';
            continue;
        }
        if (c == u'<') {
            inTag = true;
        } else if (c.isSpace() || c == QChar(0x200B)) {
            run = 0;
        } else if (++run > kLongestUnbrokenRun) {
            out += QChar(0x200B);
            run = 1;
        }
        inEntity = c == u'&';
        out += c;
    }
    return out;
}

} // namespace

HelpFile HelpFile::Parse(QStringView text) {
    HelpFile file;
    enum class Section { None, Topic, Popup } section = Section::None;
    bool inHeader = false;
    int popupContext = 0;
    QString* body = nullptr;
    int lineNumber = 0;

    for (QStringView line : text.split(u'\n')) {
        ++lineNumber;
        if (line.endsWith(u'\r')) line.chop(1);
        if (line.startsWith(u';')) continue;

        const QRegularExpressionMatch section_match = SectionPattern().match(line);
        if (section_match.hasMatch()) {
            const QString kind = section_match.captured(1).toLower();
            const QString name = section_match.captured(2);
            if (kind == u"topic") {
                section = Section::Topic;
                inHeader = true;
                file.topics_.append(HelpTopic{name, {}, {}, {}});
                body = &file.topics_.last().body;
            } else {
                const std::optional<int> context = ToInt(name);
                if (!context || *context <= 0) {
                    file.problems_.append(
                        QStringLiteral("line %1: pop-up without a context number").arg(lineNumber));
                    section = Section::None;
                    body = nullptr;
                    continue;
                }
                if (file.popups_.contains(*context))
                    file.problems_.append(
                        QStringLiteral("line %1: second pop-up %2").arg(lineNumber).arg(*context));
                section = Section::Popup;
                inHeader = false;
                popupContext = *context;
                body = &file.popups_[popupContext];
                body->clear();
            }
            continue;
        }

        if (section == Section::None) {
            if (!line.trimmed().isEmpty())
                file.problems_.append(QStringLiteral("line %1: text outside a topic").arg(lineNumber));
            continue;
        }

        if (inHeader) {
            if (line.trimmed().isEmpty()) {
                inHeader = false;
                continue;
            }
            HelpTopic& topic = file.topics_.last();
            if (line.startsWith(u"Title:", Qt::CaseInsensitive)) {
                topic.title = line.mid(6).trimmed().toString();
                continue;
            }
            if (line.startsWith(u"Context:", Qt::CaseInsensitive)) {
                for (QStringView item : line.mid(8).split(u',')) {
                    const std::optional<int> context = ToInt(item);
                    if (context && *context > 0)
                        topic.contexts.append(*context);
                    else
                        file.problems_.append(QStringLiteral("line %1: bad context number").arg(lineNumber));
                }
                continue;
            }
            inHeader = false; // a body that starts without a blank line
        }
        body->append(line);
        body->append(u'\n');
    }

    for (qsizetype i = 0; i < file.topics_.size(); ++i) {
        const HelpTopic& topic = file.topics_[i];
        const QString key = topic.id.toLower();
        if (file.byId_.contains(key))
            file.problems_.append(QStringLiteral("second topic with the ID %1").arg(topic.id));
        else
            file.byId_.insert(key, i);
        for (int context : topic.contexts) {
            if (file.byContext_.contains(context))
                file.problems_.append(QStringLiteral("context %1 on two topics").arg(context));
            else
                file.byContext_.insert(context, i);
        }
    }
    file.check();
    return file;
}

std::shared_ptr<const HelpFile> HelpFile::Load(const QString& path) {
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly) || source.size() > kLargestFile) return nullptr;
    const QByteArray bytes = source.read(kLargestFile + 1); // the size may not be known, or grow
    if (bytes.size() > kLargestFile) return nullptr;
    auto file = std::make_shared<HelpFile>(Parse(QString::fromUtf8(bytes)));
    if (file->topics_.isEmpty()) return nullptr;
    return file;
}

void HelpFile::check() {
    auto checkLinks = [this](const QString& where, const QString& markup, bool linksAllowed) {
        for (std::optional<Link> link = NextLink(markup, 0); link; link = NextLink(markup, link->end)) {
            if (!linksAllowed)
                problems_.append(QStringLiteral("%1: a link in a pop-up").arg(where));
            else if (!topicById(link->id.trimmed()))
                problems_.append(
                    QStringLiteral("%1: link to a missing topic %2").arg(where, link->id.toString()));
        }
    };
    for (const HelpTopic& topic : topics_) {
        if (topic.title.isEmpty()) problems_.append(QStringLiteral("topic %1 has no title").arg(topic.id));
        checkLinks(QStringLiteral("topic ") + topic.id, topic.body, true);
    }
    for (auto it = popups_.cbegin(); it != popups_.cend(); ++it) {
        if (it.value().trimmed().isEmpty())
            problems_.append(QStringLiteral("pop-up %1 is empty").arg(it.key()));
        checkLinks(QStringLiteral("pop-up %1").arg(it.key()), it.value(), false);
    }
}

const HelpTopic* HelpFile::contents() const {
    if (const HelpTopic* topic = topicById(u"Contents")) return topic;
    return topics_.isEmpty() ? nullptr : &topics_.first();
}

const HelpTopic* HelpFile::topicById(QStringView id) const {
    const auto it = byId_.constFind(id.toString().toLower());
    return it == byId_.cend() ? nullptr : &topics_[*it];
}

const HelpTopic* HelpFile::topicByContext(int context) const {
    const auto it = byContext_.constFind(context);
    return it == byContext_.cend() ? nullptr : &topics_[*it];
}

std::optional<QString> HelpFile::popup(int context) const {
    const auto it = popups_.constFind(context);
    if (it == popups_.cend()) return std::nullopt;
    return *it;
}

QList<int> HelpFile::popupContexts() const {
    QList<int> contexts = popups_.keys();
    std::sort(contexts.begin(), contexts.end());
    return contexts;
}

QString HelpFile::topicHtml(const HelpTopic& topic) const {
    return QStringLiteral("<h2>") + BreakLongRuns(topic.title.toHtmlEscaped()) + QStringLiteral("</h2>") +
           bodyHtml(topic.body, true);
}

QString HelpFile::popupHtml(int context) const {
    const auto it = popups_.constFind(context);
    return it == popups_.cend() ? QString() : bodyHtml(*it, false);
}

QString HelpFile::inlineHtml(QStringView line, bool links, int& marksLeft) const {
    QString html;
    qsizetype done = 0;
    for (std::optional<Link> link = NextLink(line, 0); link; link = NextLink(line, link->end)) {
        html += line.sliced(done, link->start - done).toString().toHtmlEscaped();
        const QString id = link->id.trimmed().toString();
        QString text = link->text.trimmed().toString();
        if (text.isEmpty()) {
            const HelpTopic* target = topicById(id);
            text = target ? target->title : id;
        }
        if (links && marksLeft > 0) {
            html +=
                QStringLiteral("<a href=\"topic:%1\">%2</a>").arg(id.toHtmlEscaped(), text.toHtmlEscaped());
            --marksLeft;
        } else {
            html += text.toHtmlEscaped();
        }
        done = link->end;
    }
    html += line.sliced(done).toString().toHtmlEscaped();

    // **bold**: pairs of markers; an unpaired marker stays as typed.
    QString result;
    qsizetype from = 0;
    while (marksLeft > 0) {
        const qsizetype open = html.indexOf(QStringLiteral("**"), from);
        const qsizetype close = open < 0 ? -1 : html.indexOf(QStringLiteral("**"), open + 2);
        if (close < 0) break;
        result += QStringView(html).sliced(from, open - from);
        result += QStringLiteral("<b>");
        result += QStringView(html).sliced(open + 2, close - open - 2);
        result += QStringLiteral("</b>");
        from = close + 2;
        --marksLeft;
    }
    result += QStringView(html).sliced(from);
    return BreakLongRuns(result);
}

QString HelpFile::bodyHtml(QStringView markup, bool links) const {
    QString html;
    Block block = Block::None;
    QString pending; // the paragraph or list item being collected
    bool headingRow = false;
    int listItems = 0; // in the open list
    int pageListItems = 0;
    int marksLeft = kMostMarks;
    int tableCells = 0; // on the whole page

    auto flushItem = [&] {
        if (pending.isEmpty()) return;
        const QString text = inlineHtml(pending, links, marksLeft);
        if (block == Block::Paragraph)
            html += QStringLiteral("<p>") + text + QStringLiteral("</p>");
        else
            html += QStringLiteral("<li>") + text + QStringLiteral("</li>");
        pending.clear();
    };
    auto close = [&] {
        flushItem();
        if (block == Block::Bullets)
            html += QStringLiteral("</ul>");
        else if (block == Block::Numbers)
            html += QStringLiteral("</ol>");
        else if (block == Block::Table)
            html += QStringLiteral("</table>");
        block = Block::None;
    };
    auto open = [&](Block wanted) {
        if (block == wanted) return;
        close();
        block = wanted;
        listItems = 0;
        if (wanted == Block::Bullets)
            html += QStringLiteral("<ul>");
        else if (wanted == Block::Numbers)
            html += QStringLiteral("<ol>");
        else if (wanted == Block::Table) {
            html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">");
            headingRow = true;
        }
    };
    auto append = [&](QStringView text) {
        if (!pending.isEmpty()) pending += u' ';
        pending += text.trimmed();
    };

    for (QStringView line : markup.split(u'\n')) {
        const QStringView trimmed = line.trimmed();
        if (trimmed.isEmpty()) {
            close();
        } else if (line.startsWith(u"== ")) {
            close();
            html += QStringLiteral("<h3>") + inlineHtml(line.sliced(3).trimmed(), links, marksLeft) +
                    QStringLiteral("</h3>");
        } else if ((line.startsWith(u"- ") || IsNumbered(line)) && pageListItems < kMostListItems) {
            const Block list = line.startsWith(u"- ") ? Block::Bullets : Block::Numbers;
            if (block == list && listItems == kLongestList) close();
            open(list);
            flushItem();
            ++listItems;
            ++pageListItems;
            append(list == Block::Bullets ? line.sliced(2) : line.sliced(line.indexOf(u'.') + 1));
        } else if (line.startsWith(u"| ") && tableCells + line.count(u" | ") < kMostTableCells) {
            open(Block::Table);
            QStringView row = trimmed.sliced(1);
            if (row.endsWith(u'|')) row.chop(1);
            tableCells += 1 + row.count(u" | ");
            const QString cell = headingRow ? QStringLiteral("th") : QStringLiteral("td");
            html += QStringLiteral("<tr>");
            for (QStringView item : row.split(u" | "))
                html += u'<' + cell + u'>' + inlineHtml(item.trimmed(), links, marksLeft) +
                        QStringLiteral("</") + cell + u'>';
            html += QStringLiteral("</tr>");
            headingRow = false;
        } else if ((block == Block::Bullets || block == Block::Numbers) && line.startsWith(u' ')) {
            append(line); // continuation of a list item
        } else {
            if (block != Block::Paragraph) open(Block::Paragraph);
            append(line);
        }
    }
    close();
    return html;
}

} // namespace fairstake::help
