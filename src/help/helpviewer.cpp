#include "help/helpviewer.h"

#include "help/helpfile.h"
#include "paths/installedfiles.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QWindow>
#include <cmath>
#include <optional>

namespace fairstake::help {

namespace {

QString& ApplicationHelpFileValue() {
    static QString file;
    return file;
}

HelpHandler& HandlerValue() {
    static HelpHandler handler;
    return handler;
}

// Parsed files by absolute path; a file is parsed again when its time or size changes.
std::shared_ptr<const HelpFile> LoadCached(const QString& path) {
    struct Entry {
        QDateTime modified;
        qint64 size = -1;
        std::shared_ptr<const HelpFile> file;
    };
    static QHash<QString, Entry> cache;

    const QFileInfo info(path);
    if (!info.isFile()) return nullptr;
    const QString key = info.absoluteFilePath();
    Entry& entry = cache[key];
    if (!entry.file || entry.modified != info.lastModified() || entry.size != info.size()) {
        entry.file = HelpFile::Load(key);
        entry.modified = info.lastModified();
        entry.size = info.size();
    }
    return entry.file;
}

const QString topicScheme = QStringLiteral("topic");

QUrl TopicUrl(const QString& id) {
    QUrl url;
    url.setScheme(topicScheme);
    url.setPath(id);
    return url;
}

class TopicBrowser : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;

    void setFile(std::shared_ptr<const HelpFile> file) { file_ = std::move(file); }

    QVariant loadResource(int type, const QUrl& url) override {
        if (url.scheme() != topicScheme) return QTextBrowser::loadResource(type, url);
        const HelpTopic* topic = file_ ? file_->topicById(url.path()) : nullptr;
        if (!topic) return QStringLiteral("<p>This topic is not in the help file.</p>");
        return file_->topicHtml(*topic);
    }

private:
    std::shared_ptr<const HelpFile> file_;
};

class HelpWindow : public QWidget {
public:
    HelpWindow() {
        setObjectName(QStringLiteral("helpWindow"));
        setAttribute(Qt::WA_QuitOnClose, false);
        setWindowTitle(QStringLiteral("Help"));

        auto* contents =
            new QPushButton(style()->standardIcon(QStyle::SP_DirHomeIcon), QStringLiteral("&Contents"));
        auto* back = new QPushButton(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("&Back"));
        auto* forward =
            new QPushButton(style()->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("&Forward"));
        contents->setObjectName(QStringLiteral("helpContents"));
        back->setObjectName(QStringLiteral("helpBack"));
        forward->setObjectName(QStringLiteral("helpForward"));
        for (QPushButton* button : {contents, back, forward}) {
            button->setAutoDefault(false);
            button->setFocusPolicy(Qt::TabFocus);
        }
        back->setEnabled(false);
        forward->setEnabled(false);

        browser_ = new TopicBrowser;
        browser_->setObjectName(QStringLiteral("helpBrowser"));
        browser_->setAccessibleName(QStringLiteral("Help topic"));
        browser_->document()->setDefaultStyleSheet(
            QStringLiteral("h2 { color: #1b3f73; } h3 { color: #1b3f73; } th { background-color: #dde4ee; } "
                           "table { margin-top: 6px; margin-bottom: 10px; } li { margin-bottom: 2px; }"));
        browser_->document()->setDocumentMargin(12);

        auto* buttons = new QHBoxLayout;
        buttons->addWidget(contents);
        buttons->addWidget(back);
        buttons->addWidget(forward);
        buttons->addStretch();
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(6, 6, 6, 6);
        layout->addLayout(buttons);
        layout->addWidget(browser_);
        resize(600, 640);

        connect(contents, &QPushButton::clicked, this, [this] { showContents(); });
        connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
        connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
        connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
        connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    }

    void showTopic(const QString& path, std::shared_ptr<const HelpFile> file, const HelpTopic& topic) {
        const bool otherFile = path != path_;
        if (otherFile) {
            path_ = path;
            if (const HelpTopic* contents = file->contents()) setWindowTitle(contents->title);
        }
        file_ = file;
        browser_->setFile(std::move(file));
        const QUrl url = TopicUrl(topic.id);
        if (browser_->source() == url)
            browser_->reload(); // the file may have changed
        else
            browser_->setSource(url, QTextDocument::HtmlResource);
        // Another file starts a history of its own, with its first topic: the topic names of the old file
        // mean nothing in the new one.
        if (otherFile) browser_->clearHistory();
        setWindowState(windowState() & ~Qt::WindowMinimized);
        show();
        raise();
        activateWindow();
    }

    void showContents() {
        if (const HelpTopic* contents = file_ ? file_->contents() : nullptr)
            showTopic(path_, file_, *contents);
    }

    QString topic() const { return browser_->source().path(); }
    const QString& path() const { return path_; }

private:
    TopicBrowser* browser_ = nullptr;
    QString path_;
    std::shared_ptr<const HelpFile> file_;
};

class PopupWindow : public QFrame {
public:
    PopupWindow(const QString& html, int context, const QString& path, QPoint anchor)
        : QFrame(nullptr, Qt::Popup | Qt::FramelessWindowHint), context_(context), path_(path),
          anchor_(anchor) {
        setObjectName(QStringLiteral("helpPopup"));
        setAttribute(Qt::WA_DeleteOnClose);
        setAttribute(Qt::WA_QuitOnClose, false);
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setAutoFillBackground(true);
        QPalette colours = palette();
        colours.setColor(QPalette::Window, colours.color(QPalette::ToolTipBase));
        colours.setColor(QPalette::WindowText, colours.color(QPalette::ToolTipText));
        setPalette(colours);

        auto* label = new QLabel(html);
        label->setObjectName(QStringLiteral("helpPopupText"));
        label->setTextFormat(Qt::RichText);
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::NoTextInteraction);
        // As wide as the longest line, up to a comfortable reading width; then wrap.
        QTextDocument measure;
        measure.setDefaultFont(label->font());
        measure.setDocumentMargin(0);
        measure.setHtml(html);
        label->setFixedWidth(qMin(int(std::ceil(measure.idealWidth())) + 2, 340));
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(10, 8, 10, 8);
        layout->addWidget(label);
    }

    int context() const { return context_; }
    const QString& path() const { return path_; }
    QPoint anchor() const { return anchor_; }

protected:
    void mousePressEvent(QMouseEvent*) override { close(); }
    void keyPressEvent(QKeyEvent*) override { close(); }

private:
    int context_;
    QString path_;
    QPoint anchor_;
};

QPointer<HelpWindow>& TheHelpWindow() {
    static QPointer<HelpWindow> window;
    return window;
}

QPointer<PopupWindow>& ThePopup() {
    static QPointer<PopupWindow> popup;
    return popup;
}

std::optional<QPoint>& NextPopupPosition() {
    static std::optional<QPoint> position;
    return position;
}

void CloseAll() {
    delete ThePopup().data();
    delete TheHelpWindow().data();
    NextPopupPosition().reset();
}

HelpWindow& EnsureHelpWindow() {
    QPointer<HelpWindow>& window = TheHelpWindow();
    if (!window) {
        window = new HelpWindow;
        // The help window does not keep the program running; it goes with it.
        static const bool closesWithProgram [[maybe_unused]] =
            bool(QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp, [] { CloseAll(); }));
    }
    return *window;
}

bool ShowTopic(const QString& path, const std::shared_ptr<const HelpFile>& file, const HelpTopic* topic) {
    if (!topic) return false;
    EnsureHelpWindow().showTopic(QFileInfo(path).absoluteFilePath(), file, *topic);
    return true;
}

bool ShowPopup(QWidget* window, const QString& path, const HelpFile& file, int context) {
    if (!file.popup(context)) return false;
    const QPoint anchor = NextPopupPosition().value_or(QCursor::pos());
    NextPopupPosition().reset();

    delete ThePopup().data();
    auto* popup =
        new PopupWindow(file.popupHtml(context), context, QFileInfo(path).absoluteFilePath(), anchor);
    popup->adjustSize();

    QScreen* screen = QGuiApplication::screenAt(anchor);
    if (!screen && window) screen = window->screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    QPoint topLeft = anchor;
    if (screen) {
        const QRect area = screen->availableGeometry();
        topLeft.setX(qBound(area.left(), topLeft.x(), qMax(area.left(), area.right() + 1 - popup->width())));
        topLeft.setY(qBound(area.top(), topLeft.y(), qMax(area.top(), area.bottom() + 1 - popup->height())));
    }
    popup->move(topLeft);
    // Beside the window that asked (on Wayland a pop-up needs a parent window,
    // and its position is taken relative to it).
    QWidget* owner = window ? window->window() : QApplication::activeWindow();
    if (owner && owner->windowHandle()) {
        popup->winId();
        popup->windowHandle()->setTransientParent(owner->windowHandle());
    }
    ThePopup() = popup;
    popup->show();
    return true;
}

// JumpID("file","id") or JI(...): the file may be empty (the current one) or name
// another help file beside it, with an optional ">window" that we ignore.
bool RunMacro(const QString& path, const std::shared_ptr<const HelpFile>& file, const QString& macro) {
    static const QRegularExpression jump(
        QString::fromLatin1(R"re(^\s*(?:JumpID|JI)\s*\(\s*"([^"]*)"\s*,\s*"([^"]*)"\s*\)\s*$)re"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression contents(QStringLiteral(R"(^\s*Contents\s*\(\s*\)\s*$)"),
                                             QRegularExpression::CaseInsensitiveOption);
    if (contents.match(macro).hasMatch()) return ShowTopic(path, file, file->contents());
    const QRegularExpressionMatch match = jump.match(macro);
    if (!match.hasMatch()) return false;
    QString target = match.captured(1).section(u'>', 0, 0).trimmed();
    if (target.isEmpty()) return ShowTopic(path, file, file->topicById(match.captured(2)));
    target = QFileInfo(path).absoluteDir().absoluteFilePath(target);
    const std::shared_ptr<const HelpFile> other = LoadCached(target);
    return other && ShowTopic(target, other, other->topicById(match.captured(2)));
}

} // namespace

bool WinHelp(QWidget* window, const QString& helpFile, unsigned command, quintptr data) {
    switch (command) {
    case HelpQuit:
        CloseAll();
        return true;
    case HelpSetPopupPos:
        NextPopupPosition() = UnpackPopupPosition(data);
        return true;
    case HelpContext:
    case HelpContents:
    case HelpFinder:
    case HelpContextPopup:
    case HelpCommandMacro:
        break;
    default:
        return false;
    }

    const std::shared_ptr<const HelpFile> file = LoadCached(helpFile);
    if (!file) return false;
    switch (command) {
    case HelpContext:
        return ShowTopic(helpFile, file, file->topicByContext(int(data)));
    case HelpContents:
    case HelpFinder:
        return ShowTopic(helpFile, file, file->contents());
    case HelpContextPopup:
        return ShowPopup(window, helpFile, *file, int(data));
    case HelpCommandMacro:
        return data != 0 && RunMacro(helpFile, file, QString::fromUtf8(reinterpret_cast<const char*>(data)));
    default:
        return false;
    }
}

quintptr PackPopupPosition(QPoint screenPoint) {
    return quintptr(quint32(quint16(screenPoint.x())) | (quint32(quint16(screenPoint.y())) << 16));
}

QPoint UnpackPopupPosition(quintptr data) {
    return {qint16(quint16(data & 0xFFFF)), qint16(quint16((data >> 16) & 0xFFFF))};
}

void setApplicationHelpFile(const QString& file) {
    ApplicationHelpFileValue() = file;
}

QString applicationHelpFile() {
    return ApplicationHelpFileValue();
}

QString InstalledHelpFile() {
    return paths::FindShippedFile(QCoreApplication::applicationDirPath(), QStringLiteral("fairstake.hlp"),
                                  paths::HelpFileDirs());
}

void setApplicationHelpHandler(HelpHandler handler) {
    HandlerValue() = std::move(handler);
}

HelpHandler applicationHelpHandler() {
    return HandlerValue();
}

bool ApplicationHelpCommand(unsigned command, quintptr data) {
    bool callHelp = true;
    bool result = false;
    // A copy: the handler may replace itself while it runs.
    if (const HelpHandler handler = HandlerValue()) result = handler(command, data, callHelp);
    if (callHelp) {
        QWidget* active = QApplication::activeWindow();
        QString file = active ? active->property("helpFile").toString() : QString();
        if (file.isEmpty()) file = applicationHelpFile();
        result = WinHelp(active, file, command, data);
    }
    return result;
}

void ShellOpen(QWidget* parent, const QString& fileName) {
    const QFileInfo info(QDir::current(), fileName);
    if (info.isFile()) WinHelp(parent, info.absoluteFilePath(), HelpContents, 0);
}

QWidget* helpWindow() {
    return TheHelpWindow().data();
}

QString helpWindowTopic() {
    const HelpWindow* window = TheHelpWindow().data();
    return window && window->isVisible() ? window->topic() : QString();
}

QString helpWindowFile() {
    const HelpWindow* window = TheHelpWindow().data();
    return window ? window->path() : QString();
}

QWidget* popupWindow() {
    PopupWindow* popup = ThePopup().data();
    return popup && popup->isVisible() ? popup : nullptr;
}

int popupContext() {
    const PopupWindow* popup = ThePopup().data();
    return popup && popup->isVisible() ? popup->context() : 0;
}

QString popupFile() {
    const PopupWindow* popup = ThePopup().data();
    return popup && popup->isVisible() ? popup->path() : QString();
}

QPoint popupAnchor() {
    const PopupWindow* popup = ThePopup().data();
    return popup && popup->isVisible() ? popup->anchor() : QPoint();
}

} // namespace fairstake::help
