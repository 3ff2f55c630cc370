#pragma once
// The web browser window, hosted by the fairstake-web helper process: an
// address box, a "Visit:" button, back and forward buttons and the embedded
// browser.  The browsing history belongs to the browser; the window keeps no
// state of its own beyond the address box text.
//
// The browser works in an off-the-record profile: no disk cache, no cookies
// kept, no history file, nothing under the user's home.  Closing the window hides it; it lives as long as the
// helper.

#include <QString>
#include <QUrl>
#include <QWidget>
#include <memory>
#include <optional>

class QAbstractButton;
class QLineEdit;
class QTemporaryDir;
class QWebEngineProfile;
class QWebEngineView;

namespace fairstake::web {

// Sets up the process for Qt WebEngine; before the application object exists.
// No GL stack may keep a shader cache on disk (Qt's, Mesa's, NVIDIA's).
void PrepareWebEngineProcess();
// As root, where Chromium's sandbox cannot run, the engine runs without it
// (and the helper says so once on stderr); before the engine starts.
void RunWithoutSandboxAsRoot();

class TfrmWWW : public QWidget {
    Q_OBJECT

public:
    static constexpr int kClientWidth = 787;
    static constexpr int kClientHeight = 521;

    // Created hidden and placed at the top of the screen.  The profile keeps
    // what WebEngine insists on writing in profileFolder (which the caller
    // owns and removes); without one the window makes a scratch folder of its own.
    explicit TfrmWWW(QWidget* parent = nullptr, const QString& profileFolder = {});
    ~TfrmWWW() override;

    // Navigates the browser to the address box text, trimmed and otherwise
    // unchanged, when it is an http or https address or has no scheme at all;
    // any other address is refused and nothing happens.
    void VisitAddress();
    // The address VisitAddress opens for a box text; empty when it is refused.
    static std::optional<QUrl> AddressToVisit(const QString& text);
    void btnVisitClick() { VisitAddress(); }
    void btnGaucheWeb1Click();
    void btnDroiteWeb1Click();

    QLineEdit* editLeSite = nullptr;
    QWebEngineView* ie = nullptr;
    QAbstractButton* btnVisit = nullptr;
    QAbstractButton* btnDroiteWeb1 = nullptr;
    QAbstractButton* btnGaucheWeb1 = nullptr;

    // The left edge for a screen of that width: centred over the calculator's
    // 800 pixels, halves to the even neighbour; negative on narrow screens.
    static int LeftForScreenWidth(int screenWidth);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void connectHandlers();
    // Enter and Return visit the whole text; other keys only edit it.
    bool editLeSiteKeyDown(int key);

    // Off the record, WebEngine still makes a folder for the profile (under the
    // user's data folder unless told otherwise); it gets a scratch folder in the
    // temporary folder instead, removed with the window.
    std::unique_ptr<QTemporaryDir> scratch_;
    QWebEngineProfile* profile_ = nullptr;
};

} // namespace fairstake::web
