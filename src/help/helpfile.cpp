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

const QRegularExpression& LinkPattern() {
    static const QRegularExpression re(QStringLiteral(R"(\[\[([^\]|]+)(?:\|([^\]]*))?\]\])"));
    return re;
}

const QRegularExpression& NumberedPattern() {
    static const QRegularExpression re(QStringLiteral(R"(^\d+\.\s)"));
    return re;
}

std::optional<int> ToInt(QStringView text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok) return std::nullopt;
    return value;
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
    if (!source.open(QIODevice::ReadOnly)) return nullptr;
    auto file = std::make_shared<HelpFile>(Parse(QString::fromUtf8(source.readAll())));
    if (file->topics_.isEmpty()) return nullptr;
    return file;
}

void HelpFile::check() {
    auto checkLinks = [this](const QString& where, const QString& markup, bool linksAllowed) {
        QRegularExpressionMatchIterator it = LinkPattern().globalMatch(markup);
        while (it.hasNext()) {
            const QRegularExpressionMatch link = it.next();
            if (!linksAllowed)
                problems_.append(QStringLiteral("%1: a link in a pop-up").arg(where));
            else if (!topicById(link.capturedView(1).trimmed()))
                problems_.append(
                    QStringLiteral("%1: link to a missing topic %2").arg(where, link.captured(1)));
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
    return QStringLiteral("<h2>") + topic.title.toHtmlEscaped() + QStringLiteral("</h2>") +
           bodyHtml(topic.body, true);
}

QString HelpFile::popupHtml(int context) const {
    const auto it = popups_.constFind(context);
    return it == popups_.cend() ? QString() : bodyHtml(*it, false);
}

QString HelpFile::inlineHtml(QStringView line, bool links) const {
    QString html;
    qsizetype done = 0;
    QRegularExpressionMatchIterator it = LinkPattern().globalMatch(line);
    while (it.hasNext()) {
        const QRegularExpressionMatch link = it.next();
        html += line.sliced(done, link.capturedStart() - done).toString().toHtmlEscaped();
        const QString id = link.captured(1).trimmed();
        QString text = link.captured(2).trimmed();
        if (text.isEmpty()) {
            const HelpTopic* target = topicById(id);
            text = target ? target->title : id;
        }
        if (links)
            html +=
                QStringLiteral("<a href=\"topic:%1\">%2</a>").arg(id.toHtmlEscaped(), text.toHtmlEscaped());
        else
            html += text.toHtmlEscaped();
        done = link.capturedEnd();
    }
    html += line.sliced(done).toString().toHtmlEscaped();

    // **bold**: pairs of markers; an unpaired marker stays as typed.
    QString result;
    qsizetype from = 0;
    for (;;) {
        const qsizetype open = html.indexOf(QStringLiteral("**"), from);
        const qsizetype close = open < 0 ? -1 : html.indexOf(QStringLiteral("**"), open + 2);
        if (close < 0) break;
        result += QStringView(html).sliced(from, open - from);
        result += QStringLiteral("<b>");
        result += QStringView(html).sliced(open + 2, close - open - 2);
        result += QStringLiteral("</b>");
        from = close + 2;
    }
    result += QStringView(html).sliced(from);
    return result;
}

QString HelpFile::bodyHtml(QStringView markup, bool links) const {
    QString html;
    Block block = Block::None;
    QString pending; // the paragraph or list item being collected
    bool headingRow = false;

    auto flushItem = [&] {
        if (pending.isEmpty()) return;
        const QString text = inlineHtml(pending, links);
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
            html += QStringLiteral("<h3>") + inlineHtml(line.sliced(3).trimmed(), links) +
                    QStringLiteral("</h3>");
        } else if (line.startsWith(u"- ")) {
            open(Block::Bullets);
            flushItem();
            append(line.sliced(2));
        } else if (NumberedPattern().match(line).hasMatch()) {
            open(Block::Numbers);
            flushItem();
            append(line.sliced(line.indexOf(u'.') + 1));
        } else if (line.startsWith(u"| ")) {
            open(Block::Table);
            QStringView row = trimmed.sliced(1);
            if (row.endsWith(u'|')) row.chop(1);
            const QString cell = headingRow ? QStringLiteral("th") : QStringLiteral("td");
            html += QStringLiteral("<tr>");
            for (QStringView item : row.split(u" | "))
                html += u'<' + cell + u'>' + inlineHtml(item.trimmed(), links) + QStringLiteral("</") + cell +
                        u'>';
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
