#include "web/frmwww.h"

#include "components/artwork.h"
#include "components/glyphbutton.h"
#include "web/protocol.h"

#include <QCursor>
#include <QDir>
#include <QEvent>
#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace fairstake::web {

namespace {

const QString kAddressHint =
    QStringLiteral("Type here the address of the site you want to navigate to, then hit ENTER to continue.");

// The calculator window's outer width, over which this window is centred.
constexpr int kCalculatorWidth = 800;

QString Trimmed(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= 32)
        ++first;
    while (last > first && text[last - 1].unicode() <= 32)
        --last;
    return text.mid(first, last - first);
}

void Place(QWidget* control, const char* name, const QString& accessibleName, QRect geometry,
           int helpContext = 0) {
    control->setObjectName(QString::fromLatin1(name));
    control->setAccessibleName(accessibleName);
    control->setGeometry(geometry);
    if (helpContext != 0) control->setProperty("helpContext", helpContext);
}

GlyphButton* MakeGlyphButton(QWidget* parent, const QString& caption, const QString& picture,
                             const QColor& hotTrack) {
    auto* button = new GlyphButton(parent);
    button->setText(caption);
    button->setGlyph(ArtworkPixmap(picture, parent->devicePixelRatio()));
    button->setHotTrackColor(hotTrack);
    button->setCursor(Qt::ArrowCursor);
    return button;
}

} // namespace

void PrepareWebEngineProcess() {
    qputenv("QT_DISABLE_SHADER_DISK_CACHE", "1");
    qputenv("MESA_SHADER_CACHE_DISABLE", "true");
    qputenv("MESA_GLSL_CACHE_DISABLE", "true");
    qputenv("__GL_SHADER_DISK_CACHE", "0");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache);
}

void RunWithoutSandboxAsRoot() {
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        std::fputs("fairstake-web: running as root, so the web pages run without Chromium's sandbox\n", stderr);
    }
}

std::optional<QUrl> TfrmWWW::AddressToVisit(const QString& text) {
    const QUrl url(Trimmed(text));
    const QString scheme = url.scheme(); // QUrl gives it in lower case
    if (scheme.isEmpty() || scheme == QStringLiteral("http") || scheme == QStringLiteral("https")) return url;
    return std::nullopt;
}

TfrmWWW::TfrmWWW(QWidget* parent, const QString& profileFolder) : QWidget(parent, Qt::Dialog) {
    setObjectName(QStringLiteral("frmWWW"));
    setWindowTitle(QStringLiteral("WWW"));
    setAccessibleName(QStringLiteral("WWW"));
    // A fixed dialog border with the system menu and the context-help button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint);
    setFixedSize(kClientWidth, kClientHeight);

    QString storage = profileFolder;
    if (storage.isEmpty()) {
        scratch_ = std::make_unique<QTemporaryDir>(protocol::ScratchFolderTemplate());
        if (scratch_->isValid()) storage = scratch_->path();
    }
    profile_ = new QWebEngineProfile(this); // no storage name: off the record
    if (!storage.isEmpty()) profile_->setPersistentStoragePath(storage);
    // A local page (none is opened, but the engine could be led to one) reads no other local files.
    profile_->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    profile_->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile_->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    profile_->setSpellCheckEnabled(false);

    editLeSite = new QLineEdit(QStringLiteral("http://www."), this);
    Place(editLeSite, "editLeSite", QStringLiteral("Address"), {192, 6, 441, 30}, 1600);
    QFont addressFont(QStringLiteral("Liberation Serif")); // Times New Roman's metrics
    addressFont.setBold(true);
    addressFont.setPixelSize(19);
    editLeSite->setFont(addressFont);

    ie = new QWebEngineView(this);
    // A tab stop even before the page has made the widget that takes focus inside it.
    ie->setFocusPolicy(Qt::StrongFocus);
    ie->setPage(new QWebEnginePage(profile_, ie));
    Place(ie, "ie", QStringLiteral("Web page"), {0, 40, 785, 481}, 100);

    btnVisit = MakeGlyphButton(this, QStringLiteral("Visit:"), QStringLiteral(":/img/visit.png"), Qt::red);
    Place(btnVisit, "btnVisit", QStringLiteral("Visit"), {64, 4, 105, 35});
    btnVisit->setCursor(Qt::PointingHandCursor);

    btnDroiteWeb1 = MakeGlyphButton(this, {}, QStringLiteral(":/img/forward.png"), Qt::yellow);
    Place(btnDroiteWeb1, "btnDroiteWeb1", QStringLiteral("Forward"), {704, 8, 30, 30});

    btnGaucheWeb1 = MakeGlyphButton(this, {}, QStringLiteral(":/img/back.png"), Qt::yellow);
    Place(btnGaucheWeb1, "btnGaucheWeb1", QStringLiteral("Back"), {664, 8, 30, 30});

    setTabOrder(editLeSite, ie);
    setTabOrder(ie, btnVisit);
    setTabOrder(btnVisit, btnDroiteWeb1);
    setTabOrder(btnDroiteWeb1, btnGaucheWeb1);

    connectHandlers();
    FormCreate();
}

TfrmWWW::~TfrmWWW() {
    // The page must go before the profile it was made with, and the profile
    // before its scratch folder.
    delete ie;
    ie = nullptr;
    delete profile_;
}

int TfrmWWW::LeftForScreenWidth(int screenWidth) {
    // The default rounding mode rounds halves to the even neighbour.
    return static_cast<int>(std::nearbyint((screenWidth - kCalculatorWidth) / 2.0));
}

void TfrmWWW::FormCreate() {
    move(0, 0);
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen) move(LeftForScreenWidth(screen->geometry().width()), 0);
    // The application's balloon hints show it; without them it is a plain tool tip.
    editLeSite->setToolTip(kAddressHint);
}

void TfrmWWW::connectHandlers() {
    connect(btnVisit, &QAbstractButton::clicked, this, &TfrmWWW::btnVisitClick);
    connect(btnDroiteWeb1, &QAbstractButton::clicked, this, &TfrmWWW::btnDroiteWeb1Click);
    connect(btnGaucheWeb1, &QAbstractButton::clicked, this, &TfrmWWW::btnGaucheWeb1Click);
    editLeSite->installEventFilter(this);
}

void TfrmWWW::VisitAddress() {
    // Not completed: an address without a scheme goes as it is.  Other schemes
    // (file:, data:, view-source:, javascript:, the engine's own qrc: ...) would
    // open local files or run scripts in the open page.
    if (const std::optional<QUrl> url = AddressToVisit(editLeSite->text())) ie->load(*url);
}

// With no page to go to, the history's back and forward do nothing.
void TfrmWWW::btnGaucheWeb1Click() {
    ie->back();
}

void TfrmWWW::btnDroiteWeb1Click() {
    ie->forward();
}

bool TfrmWWW::editLeSiteKeyDown(int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    VisitAddress();
    return true;
}

bool TfrmWWW::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editLeSite && event->type() == QEvent::KeyPress)
        return editLeSiteKeyDown(static_cast<QKeyEvent*>(event)->key());
    return QWidget::eventFilter(watched, event);
}

} // namespace fairstake::web
