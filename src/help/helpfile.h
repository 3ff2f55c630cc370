#pragma once
// The help file: our own plain-text format, read by our own help viewer.
//
//   ; a comment line (only at the start of a line)
//   [topic Rounding]           a full topic; its ID is matched without regard to case
//   Title: Rounding to a betting unit
//   Context: 2100, 2200        context numbers that open this topic (optional)
//   (blank line, then the body)
//
//   [popup 2100]               the pop-up text of a context number
//   (the body)
//
// The topic with the ID "Contents" is the contents page (else the first topic).
// Body markup, by line: paragraphs are separated by blank lines; "== " starts a
// heading, "- " a bulleted item, "1. " (any number) a numbered item, "| " a table
// row (cells separated by " | ", the first row is the heading row).  Inside a
// line: [[ID]] or [[ID|text]] is a link to a topic, **text** is bold.

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <memory>
#include <optional>

namespace fairstake::help {

struct HelpTopic {
    QString id;
    QString title;
    QList<int> contexts;
    QString body; // markup
};

class HelpFile {
public:
    // Parses the text of a help file; what cannot be read goes into problems().
    static HelpFile Parse(QStringView text);
    // Reads and parses a file (UTF-8); nullptr when it cannot be read, is larger than
    // kLargestFile (a help file is a few dozen kilobytes; a file of hundreds of
    // megabytes would cost several times its size in memory) or holds no topic.
    static std::shared_ptr<const HelpFile> Load(const QString& path);
    static constexpr qint64 kLargestFile = qint64(8) << 20;

    const QList<HelpTopic>& topics() const { return topics_; }
    const HelpTopic* contents() const;
    const HelpTopic* topicById(QStringView id) const;
    const HelpTopic* topicByContext(int context) const;
    // The pop-up markup of a context number; nullopt when it has none.
    std::optional<QString> popup(int context) const;
    QList<int> popupContexts() const;

    // Links to missing topics, duplicate IDs and context numbers, malformed lines.
    const QStringList& problems() const { return problems_; }

    // HTML for the help window: the title as a heading, the body, links as "topic:ID".
    QString topicHtml(const HelpTopic& topic) const;
    // HTML for a pop-up (no links: a pop-up closes on the first click).
    QString popupHtml(int context) const;

private:
    QString bodyHtml(QStringView markup, bool links) const;
    // marksLeft: how many more links and bold runs the page may have.
    QString inlineHtml(QStringView line, bool links, int& marksLeft) const;
    void check();

    QList<HelpTopic> topics_;
    QHash<QString, qsizetype> byId_; // lower-case ID -> index
    QHash<int, qsizetype> byContext_;
    QHash<int, QString> popups_;
    QStringList problems_;
};

} // namespace fairstake::help
