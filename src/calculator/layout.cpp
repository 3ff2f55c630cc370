// The window's controls, built from one table, its menu and its tab order.

#include <QAccessible>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <future>
#include <vector>

#include "calculator/frmjeugagnant.h"
#include "components/artwork.h"
#include "components/combostyle.h"
#include "components/fitlabel.h"
#include "components/focusframe.h"
#include "components/glyphbutton.h"
#include "components/marquee.h"
#include "components/picturebox.h"
#include "components/radiogroup.h"
#include "help/hovertexts.h"

namespace fairstake {

namespace {

// Metric-compatible stand-ins for the design's Windows fonts.
constexpr const char* kSans = "Liberation Sans";   // Arial, MS Sans Serif
constexpr const char* kSerif = "Liberation Serif"; // Times New Roman

constexpr unsigned kGray = 0x808080;
constexpr unsigned kBlue = 0x0000FF;
constexpr unsigned kRed = 0xFF0000;
constexpr unsigned kYellow = 0xFFFF00;
constexpr unsigned kDefault = ControlSpec::kWindowText;

using K = ControlSpec::Kind;

const int kOddsLeft[kSelections] = {80, 153, 228, 304, 376, 451, 525, 599, 674};
const int kComboLeft[kSelections] = {80, 152, 232, 304, 376, 448, 528, 600, 672};

QString ordinal(int i) {
    switch (i) {
    case 1: return QStringLiteral("1st");
    case 2: return QStringLiteral("2nd");
    case 3: return QStringLiteral("3rd");
    default: return QString::number(i) + QStringLiteral("th");
    }
}

std::vector<ControlSpec> makeTable() {
    std::vector<ControlSpec> t;
    auto add = [&t](ControlSpec s) { t.push_back(std::move(s)); };

    add({"imgBig", K::Picture, 0, 0, 792, 566, {}, nullptr, 0, false, kDefault, 1600});
    add({"Label20", K::Label, 176, 8, 0, 0, QStringLiteral("®VELCORA"), nullptr, 0, false, kDefault, 0});
    add({"imgMinimize", K::Picture, 770, 0, 25, 25, {}, nullptr, 0, false, kDefault, 0});
    add({"Option1", K::Group, 72, 48, 681, 41, QStringLiteral("Quantity of horses you want to play: "), nullptr, 0,
         false, kDefault, 1200});

    add({"Label2", K::WrapLabel, 85, 104, 76, 26, QStringLiteral("Specify number of starters"), nullptr, 0, false,
         kDefault, 0});
    add({"comboStarters", K::Combo, 176, 104, 49, 24, QStringLiteral("10"), kSans, 13, false, kDefault, 1300});
    const QString calculate = QStringLiteral("Click here to calculate the amount to bet on each horse");
    add({"Button1", K::Button, 240, 104, 321, 33, calculate, nullptr, 0, false, kDefault, 0});
    add({"Command1", K::Button, 240, 104, 321, 33, calculate, nullptr, 0, false, kDefault, 1400});
    add({"btnExample", K::Button, 576, 104, 129, 33, QStringLiteral("Click here for example 1"), nullptr, 0, false,
         kDefault, 1500});
    add({"btnExample2", K::Button, 712, 104, 17, 33, QStringLiteral("2"), nullptr, 0, false, kDefault, 0});
    add({"btnExample3", K::Button, 736, 104, 17, 33, QStringLiteral("3"), nullptr, 0, false, kDefault, 0});

    static std::array<std::string, 4 * kSelections> names;
    for (int i = 1; i <= kSelections; ++i) {
        const auto c = static_cast<std::size_t>(i - 1);
        names[c] = "Combo1_" + std::to_string(i);
        names[9 + c] = "txtCote" + std::to_string(i);
        names[18 + c] = "Label" + std::to_string(i + 3);
        names[27 + c] = "Label2_" + std::to_string(i);
    }
    for (int i = 0; i < kSelections; ++i)
        add({names[i].c_str(), K::Combo, kComboLeft[i], 152, 57, 22, QStringLiteral("Select"), kSans, 11, false, kGray,
             1600});
    for (int i = 0; i < kSelections; ++i)
        add({names[9 + i].c_str(), K::Edit, kOddsLeft[i], 184, 59, 30, {}, kSans, 19, false, kDefault, 1700});
    for (int i = 0; i < kSelections; ++i) {
        const int w = i == 0 ? 76 : i == 1 ? 47 : 44;
        const QString caption = i == 0 ? QStringLiteral("Amount to bet \r\non the 1st horse")
                                       : QStringLiteral("on the\r\n") + ordinal(i + 1) + QStringLiteral(" horse");
        add({names[18 + i].c_str(), K::WrapLabel, i == 0 ? 64 : kOddsLeft[i], 264, w, 26, caption, nullptr, 0, false,
             kDefault, 0});
    }
    for (int i = 0; i < kSelections; ++i)
        add({names[27 + i].c_str(), K::Label, kOddsLeft[i], 296, 0, 0, QString::fromLatin1(kPlaceholder), kSans, 16,
             true, kBlue, 0});

    add({"Label1", K::Label, 24, 148, 0, 0, QStringLiteral("Horse #"), kSans, 13, true, kDefault, 0});
    add({"lblOdds", K::Label, 32, 192, 0, 0, QStringLiteral("ODDS"), kSans, 13, true, kDefault, 0});
    add({"Label16", K::Label, 24, 162, 0, 0, QStringLiteral("Runner"), nullptr, 0, false, kDefault, 0});
    add({"Label3", K::Label, 72, 240, 0, 0, QStringLiteral("Amount to bet on each horse:"), kSans, 16, true, kDefault,
         0});

    add({"lblYield", K::Label, 80, 216, 0, 0, QString::fromLatin1(kYieldAtStart), nullptr, 0, false, kGray, 0});
    add({"imggauche", K::Picture, 456, 216, 33, 25, {}, nullptr, 0, false, kDefault, 0});
    add({"imgDroite", K::Picture, 488, 216, 33, 25, {}, nullptr, 0, false, kDefault, 0});
    add({"Label15", K::Label, 416, 240, 0, 0, QStringLiteral("Move odds all together"), nullptr, 0, false, kGray, 0});
    add({"Label17", K::Label, 536, 232, 0, 0, QStringLiteral("CLEAR"), nullptr, 0, false, kGray, 0});
    add({"imgBlanc", K::Picture, 576, 224, 162, 19, {}, nullptr, 0, false, kDefault, 0});

    add({"Label13", K::Label, 56, 320, 0, 0, QStringLiteral("Start at"), nullptr, 0, false, kDefault, 0});
    add({"lblDollar2", K::Label, 56, 336, 0, 0, QStringLiteral("$"), kSerif, 21, false, kDefault, 0});
    add({"Edit1", K::Edit, 72, 336, 25, 24, QStringLiteral("2"), kSans, 13, false, kDefault, 1800});
    add({"HScroll1", K::HScroll, 112, 336, 188, 21, {}, nullptr, 0, false, kDefault, 1900});
    add({"Image1", K::Picture, 112, 361, 190, 25, {}, nullptr, 0, false, kDefault, 1900});
    add({"Label14", K::Label, 120, 320, 0, 0, QStringLiteral("Click to increase or decrease profits"), nullptr, 0,
         false, kDefault, 0});
    add({"imgprofits", K::Picture, 304, 323, 297, 65, {}, nullptr, 0, false, kDefault, 0});
    add({"lblAmount_ie_Label4", K::Label, 352, 356, 210, 22, QString::fromLatin1(kProfitAtStart), kSans, 19, true,
         kYellow, 0});
    add({"imgracetracks", K::Picture, 624, 325, 89, 65, {}, nullptr, 0, false, kDefault, 0});
    add({"lblDansleRouge", K::Label, 72, 392, 652, 16,
         QStringLiteral("Profits not possible - Reduce quantity of horses to play or choose competitors with higher odds"),
         kSans, 13, true, kRed, 0});

    add({"radioOptions", K::Group, 40, 408, 233, 33, {}, nullptr, 0, false, kDefault, 2000});
    add({"imageradio", K::Picture, 279, 408, 58, 41, {}, nullptr, 0, false, kDefault, 0});
    add({"radioup", K::Radio, 288, 412, 13, 17, {}, nullptr, 0, false, kDefault, 2100});
    add({"radiodown", K::Radio, 288, 428, 13, 17, {}, nullptr, 0, false, kDefault, 2200});
    add({"radiocenter", K::Radio, 304, 420, 13, 17, {}, nullptr, 0, false, kDefault, 2300});
    add({"txtTenths", K::Edit, 336, 417, 23, 21, {}, nullptr, 0, false, kDefault, 2400});
    add({"ScrollBar1", K::VScroll, 360, 413, 13, 33, {}, nullptr, 0, false, kDefault, 2400});
    add({"Image3", K::Picture, 360, 408, 23, 41, {}, nullptr, 0, false, kDefault, 0});
    add({"btnRounditup", K::Button, 384, 416, 137, 25, QStringLiteral("Round it up to the next..."), nullptr, 0, false,
         kDefault, 2500});
    add({"lblDollar", K::Label, 528, 416, 0, 0, QStringLiteral("$"), kSerif, 21, false, kDefault, 0});
    add({"txtArrondir", K::Edit, 544, 416, 33, 24, QStringLiteral("2"), kSans, 13, true, kDefault, 2600});

    add({"lblTotal_ex_Label19", K::Label, 50, 459, 0, 0, QString::fromLatin1(kTotalAtStart), kSans, 16, true, kBlue,
         0});
    add({"lblAide", K::WrapLabel, 384, 465, 193, 0, {}, nullptr, 0, false, kGray, 0});
    add({"Cmdrafraichirbid", K::Glyph, 48, 480, 105, 27, {}, nullptr, 0, false, kDefault, 0});
    add({"cmdRafraichir", K::Glyph, 1600, 480, 105, 27, {}, nullptr, 0, false, kDefault, 2900});
    add({"Label18", K::WrapLabel, 645, 480, 41, 26, QStringLiteral("Straight from the "), nullptr, 0, false, kGray,
         0});
    add({"Label19", K::Label, 624, 506, 0, 0, QStringLiteral("horse's mouth"), nullptr, 0, false, kGray, 0});

    add({"MarqueeFreeware", K::Ticker, 48, 536, 593, 20, {}, kSans, 13, false, kDefault, 0});
    add({"chkNomore", K::Check, 656, 528, 15, 17, {}, nullptr, 0, false, kDefault, 2800});
    add({"lblShow", K::Label, 672, 530, 0, 0, QStringLiteral("Show"), nullptr, 0, false, kDefault, 0});
    add({"imgNomore", K::Picture, 824, 450, 393, 98, {}, nullptr, 0, false, kDefault, 0});

    for (const char* cell : {"avantgauche", "txtGauche", "txtDroite", "apresdroite"})
        add({cell, K::Edit, 1300, 184, 59, 30, {}, kSans, 19, false, kDefault, 0});
    return t;
}

// The design's captions were set in a bitmap font a little narrower than its
// stand-in: a wrapped caption that needs more lines than its box holds (the
// last word would be cut off) is set one pixel smaller, or two.
void fitWrappedText(QLabel* label) {
    QFont font = label->font();
    const int smallest = font.pixelSize() - 2;
    while (label->heightForWidth(label->width()) > label->height() && font.pixelSize() > smallest) {
        font.setPixelSize(font.pixelSize() - 1);
        label->setFont(font);
    }
}

// The labels whose figures and lines change: they keep to their place however long the text.
bool fitsItsPlace(const ControlSpec& s) {
    const QLatin1String name(s.name);
    for (const char* live : {"lblTotal_ex_Label19", "lblAmount_ie_Label4", "lblYield", "lblDansleRouge"})
        if (name == QLatin1String(live)) return true;
    return name.startsWith(QLatin1String("Label2_"));
}

QWidget* createControl(const ControlSpec& s, QWidget* parent) {
    switch (s.kind) {
    case K::Label:
    case K::WrapLabel: {
        auto* label = s.kind == K::Label && fitsItsPlace(s) ? new FitLabel(parent) : new QLabel(parent);
        label->setWordWrap(s.kind == K::WrapLabel);
        QString text = s.text;
        label->setText(text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        return label;
    }
    case K::Edit: {
        auto* edit = new QLineEdit(parent);
        edit->setText(s.text);
        return edit;
    }
    case K::Combo: {
        auto* combo = new QComboBox(parent);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        return combo;
    }
    case K::Button: return new QPushButton(s.text, parent);
    case K::Glyph: return new GlyphButton(parent);
    case K::Picture: return new PictureBox(parent);
    case K::HScroll:
    case K::VScroll: {
        // A click gives a scroll bar the focus, as it does every windowed control.
        auto* bar = new QScrollBar(s.kind == K::HScroll ? Qt::Horizontal : Qt::Vertical, parent);
        bar->setFocusPolicy(Qt::StrongFocus);
        return bar;
    }
    case K::Radio: return new QRadioButton(parent);
    case K::Check: return new QCheckBox(parent);
    case K::Group: {
        auto* group = new RadioGroup(parent);
        group->setCaption(s.text);
        return group;
    }
    case K::Ticker: return new Marquee(parent);
    }
    return nullptr;
}

// The accessible name a screen reader speaks: the caption where there is one,
// else a plain description of the control's role.
QString accessibleNameFor(const ControlSpec& s) {
    const QString name = QString::fromLatin1(s.name);
    if (name.startsWith(QLatin1String("txtCote"))) return QStringLiteral("Odds of horse ") + name.mid(7);
    if (name.startsWith(QLatin1String("Combo1_"))) return QStringLiteral("Runner number of horse ") + name.mid(7);
    // Labels whose text changes are named by their text, so that a screen
    // reader hears the new figure when it changes.
    if (name.startsWith(QLatin1String("Label2_"))) return {};
    for (const char* live : {"lblTotal_ex_Label19", "lblAmount_ie_Label4", "lblYield", "lblDansleRouge", "lblAide",
                             "lblDollar", "lblDollar2"})
        if (name == QLatin1String(live)) return {};
    static const QHash<QString, QString> names = {
        {QStringLiteral("imgBig"), QStringLiteral("Fairstake")},
        {QStringLiteral("imgMinimize"), QStringLiteral("Add a minimize button")},
        {QStringLiteral("comboStarters"), QStringLiteral("Number of starters")},
        {QStringLiteral("Button1"), QStringLiteral("Calculate for refresh")},
        {QStringLiteral("imggauche"), QStringLiteral("Move odds left")},
        {QStringLiteral("imgDroite"), QStringLiteral("Move odds right")},
        {QStringLiteral("imgBlanc"), QStringLiteral("Clear odds boxes")},
        {QStringLiteral("Edit1"), QStringLiteral("Start at")},
        {QStringLiteral("HScroll1"), QStringLiteral("Amount you want to win")},
        {QStringLiteral("Image1"), QStringLiteral("Decrease or increase the amount to win")},
        {QStringLiteral("imgprofits"), QStringLiteral("Profit panel")},
        {QStringLiteral("imgracetracks"), QStringLiteral("Racetracks of the world")},
        {QStringLiteral("radioOptions"), QStringLiteral("Display of the amounts")},
        {QStringLiteral("imageradio"), QStringLiteral("Rounding direction")},
        {QStringLiteral("radioup"), QStringLiteral("Round up")},
        {QStringLiteral("radiodown"), QStringLiteral("Round down")},
        {QStringLiteral("radiocenter"), QStringLiteral("Round by value")},
        {QStringLiteral("txtTenths"), QStringLiteral("Rounding threshold")},
        {QStringLiteral("ScrollBar1"), QStringLiteral("Rounding threshold in tenths")},
        {QStringLiteral("Image3"), QStringLiteral("Rounding threshold")},
        {QStringLiteral("txtArrondir"), QStringLiteral("Betting unit")},
        {QStringLiteral("Cmdrafraichirbid"), QStringLiteral("Refresh")},
        {QStringLiteral("cmdRafraichir"), QStringLiteral("Refresh and calculate")},
        {QStringLiteral("MarqueeFreeware"), QStringLiteral("About Fairstake")},
        {QStringLiteral("chkNomore"), QStringLiteral("Show the horse's help")},
        {QStringLiteral("imgNomore"), QStringLiteral("The horse is silent")},
        {QStringLiteral("avantgauche"), QStringLiteral("Odds shifted out, second on the left")},
        {QStringLiteral("txtGauche"), QStringLiteral("Odds shifted out on the left")},
        {QStringLiteral("txtDroite"), QStringLiteral("Odds shifted out on the right")},
        {QStringLiteral("apresdroite"), QStringLiteral("Odds shifted out, second on the right")},
    };
    if (const auto it = names.find(name); it != names.end()) return *it;
    QString caption = s.text;
    return caption.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).simplified();
}

QString accessibleDescriptionFor(const ControlSpec& s) {
    const QString name = QString::fromLatin1(s.name);
    if (name.startsWith(QLatin1String("txtCote")))
        return help::OddsBoxDescription(name.mid(7).toInt(), help::OddsForm::ToOne);
    if (name.startsWith(QLatin1String("Label2_"))) return QStringLiteral("Amount to bet on horse ") + name.mid(7);
    if (name == QLatin1String("imgBlanc")) return QStringLiteral("Click a numbered box to clear it and the boxes to its right");
    if (name == QLatin1String("lblAmount_ie_Label4")) return QStringLiteral("Profit");
    if (name == QLatin1String("lblTotal_ex_Label19")) return help::HoverText(name);
    if (name == QLatin1String("lblYield")) return QStringLiteral("Yield of the odds last typed");
    if (name == QLatin1String("lblAide")) return QStringLiteral("Help from the horse");
    const QString text = help::HoverText(name);
    return text.isNull() ? QString() : QString(text).replace(help::LineBreak(), QStringLiteral(" "));
}

// The window's picture boxes and their pictures; the glyph of the two refresh
// buttons is decoded with them, last.
struct PictureSpec {
    PictureBox* TfrmJeuGagnant::*box;
    const char* name;
};
constexpr PictureSpec kPictures[] = {
    {&TfrmJeuGagnant::imgBig, "background.jpg"},          {&TfrmJeuGagnant::imgMinimize, "minimize.jpg"},
    {&TfrmJeuGagnant::imggauche, "arrow_left.jpg"},       {&TfrmJeuGagnant::imgDroite, "arrow_right.jpg"},
    {&TfrmJeuGagnant::imgBlanc, "clear_strip.jpg"},       {&TfrmJeuGagnant::Image1, "under_scroll.jpg"},
    {&TfrmJeuGagnant::imgprofits, "profits.jpg"},         {&TfrmJeuGagnant::imgracetracks, "racetracks.jpg"},
    {&TfrmJeuGagnant::imageradio, "radio_back.png"},      {&TfrmJeuGagnant::imgNomore, "nomore.jpg"}};
constexpr const char* kRefreshGlyph = "refresh.png";

std::future<std::vector<QImage>> decodePictures(qreal ratio) {
    return std::async(std::launch::async | std::launch::deferred, [ratio] {
        std::vector<QImage> images;
        auto decode = [&](const char* name) { images.push_back(ArtworkImage(QStringLiteral(":/img/") + QLatin1String(name), ratio)); };
        for (const PictureSpec& p : kPictures) decode(p.name);
        decode(kRefreshGlyph);
        return images;
    });
}

} // namespace

const std::vector<ControlSpec>& CalculatorControls() {
    static const std::vector<ControlSpec> table = makeTable();
    return table;
}

void TfrmJeuGagnant::buildLayout() {
    std::future<std::vector<QImage>> pictures = decodePictures(devicePixelRatioF());
    client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);

    QFont windowFont(QString::fromLatin1(kSans));
    windowFont.setPixelSize(11);
    setFont(windowFont);

    // The design's combos are 49 to 57 pixels wide: their drop-down part is
    // the width of a classic scroll bar arrow.
    auto* comboStyle = new NarrowComboStyle(12, this);
    std::vector<QWidget*> windowed;
    for (const ControlSpec& s : CalculatorControls()) {
        QWidget* w = createControl(s, client);
        if (s.kind != K::Label && s.kind != K::WrapLabel && s.kind != K::Picture) windowed.push_back(w);
        w->setObjectName(QString::fromLatin1(s.name));
        w->setAccessibleName(accessibleNameFor(s));
        w->setAccessibleDescription(accessibleDescriptionFor(s));
        if (s.family || s.pixelSize || s.bold) {
            QFont f = w->font();
            if (s.family) f.setFamily(QString::fromLatin1(s.family));
            if (s.pixelSize) f.setPixelSize(s.pixelSize);
            f.setBold(s.bold);
            w->setFont(f);
        }
        const bool edit = s.kind == ControlSpec::Kind::Edit;
        if (s.colour != ControlSpec::kWindowText || edit) {
            QPalette p = w->palette();
            if (s.colour != ControlSpec::kWindowText) {
                const QColor c = QColor::fromRgb(s.colour);
                p.setColor(QPalette::WindowText, c);
                p.setColor(QPalette::Text, c);
            }
            // A disabled box keeps its text readable, as the classic desktop
            // draws it: grey text on the box's silver, not the style's pale
            // grey (about 1.2:1 on silver).
            if (edit) p.setColor(QPalette::Disabled, QPalette::Text, QColor::fromRgb(kGray));
            w->setPalette(p);
        }
        if (s.helpContext) w->setProperty("helpContext", s.helpContext);
        if (s.w > 0 && s.h > 0) {
            w->setGeometry(s.x, s.y, s.w, s.h);
            if (s.kind == ControlSpec::Kind::WrapLabel) fitWrappedText(static_cast<QLabel*>(w));
        } else if (s.w > 0) {
            w->move(s.x, s.y);
            w->resize(s.w, w->heightForWidth(s.w) > 0 ? w->heightForWidth(s.w) : w->sizeHint().height());
        } else {
            w->move(s.x, s.y);
            w->adjustSize();
        }
        w->setMouseTracking(true);
        w->installEventFilter(this);
        if (auto* combo = qobject_cast<QComboBox*>(w)) {
            combo->lineEdit()->setAccessibleName(w->accessibleName());
            combo->setStyle(comboStyle);
        }
    }

    auto find = [this](auto*& field, const char* name) {
        field = client->findChild<std::remove_reference_t<decltype(*field)>*>(QString::fromLatin1(name),
                                                                              Qt::FindDirectChildrenOnly);
        Q_ASSERT(field);
    };
    find(imgBig, "imgBig");
    find(Label20, "Label20");
    find(imgMinimize, "imgMinimize");
    find(Option1, "Option1");
    find(Label2, "Label2");
    find(comboStarters, "comboStarters");
    find(Button1, "Button1");
    find(Command1, "Command1");
    find(btnExample, "btnExample");
    find(btnExample2, "btnExample2");
    find(btnExample3, "btnExample3");
    for (int i = 1; i <= kSelections; ++i) {
        const auto c = static_cast<std::size_t>(i - 1);
        Combo1_[c] = client->findChild<QComboBox*>(QStringLiteral("Combo1_%1").arg(i));
        txtCote[c] = client->findChild<QLineEdit*>(QStringLiteral("txtCote%1").arg(i));
        columnCaption[c] = client->findChild<QLabel*>(QStringLiteral("Label%1").arg(i + 3));
        Label2_[c] = client->findChild<FitLabel*>(QStringLiteral("Label2_%1").arg(i));
    }
    find(Label1, "Label1");
    find(lblOdds, "lblOdds");
    find(Label16, "Label16");
    find(Label3, "Label3");
    find(lblYield, "lblYield");
    find(imggauche, "imggauche");
    find(imgDroite, "imgDroite");
    find(Label15, "Label15");
    find(Label17, "Label17");
    find(imgBlanc, "imgBlanc");
    find(Label13, "Label13");
    find(lblDollar2, "lblDollar2");
    find(Edit1, "Edit1");
    find(HScroll1, "HScroll1");
    find(Image1, "Image1");
    find(Label14, "Label14");
    find(imgprofits, "imgprofits");
    find(lblAmount_ie_Label4, "lblAmount_ie_Label4");
    find(imgracetracks, "imgracetracks");
    find(lblDansleRouge, "lblDansleRouge");
    find(radioOptions, "radioOptions");
    find(imageradio, "imageradio");
    find(radioup, "radioup");
    find(radiodown, "radiodown");
    find(radiocenter, "radiocenter");
    find(txtTenths, "txtTenths");
    find(ScrollBar1, "ScrollBar1");
    find(Image3, "Image3");
    find(btnRounditup, "btnRounditup");
    find(lblDollar, "lblDollar");
    find(txtArrondir, "txtArrondir");
    find(lblTotal_ex_Label19, "lblTotal_ex_Label19");
    find(lblAide, "lblAide");
    find(Cmdrafraichirbid, "Cmdrafraichirbid");
    find(cmdRafraichir, "cmdRafraichir");
    find(Label18, "Label18");
    find(Label19, "Label19");
    find(MarqueeFreeware, "MarqueeFreeware");
    find(chkNomore, "chkNomore");
    find(lblShow, "lblShow");
    find(imgNomore, "imgNomore");
    find(avantgauche, "avantgauche");
    find(txtGauche, "txtGauche");
    find(txtDroite, "txtDroite");
    find(apresdroite, "apresdroite");

    // Pictures.
    const std::vector<QImage> images = pictures.get();
    for (std::size_t i = 0; i < std::size(kPictures); ++i) (this->*kPictures[i].box)->setPicture(QPixmap::fromImage(images[i]));
    const QPixmap refreshGlyph = QPixmap::fromImage(images.back());
    for (GlyphButton* refresh : {Cmdrafraichirbid, cmdRafraichir}) refresh->setGlyph(refreshGlyph);
    imgracetracks->setCursor(Qt::PointingHandCursor);
    imgMinimize->setCursor(Qt::PointingHandCursor);

    // The played count and the display mode.
    Option1->setColumns(kSelections);
    Option1->setItems({QStringLiteral("1 horse"), QStringLiteral("2 horses"), QStringLiteral("3 horses"),
                       QStringLiteral("4 horses"), QStringLiteral("5 horses"), QStringLiteral("6 horses"),
                       QStringLiteral("7 horses"), QStringLiteral("8 horses"), QStringLiteral("9  horses")});
    radioOptions->setColumns(2);
    radioOptions->setItems({QStringLiteral("See decimal parts"), QStringLiteral("Whole numbers")});
    radioOptions->setItemIndex(0);

    // Starters and runner numbers.
    QStringList starters;
    for (int n = 3; n <= 22; ++n) starters << QString::number(n);
    comboStarters->addItems(starters);
    comboStarters->setCurrentIndex(-1);
    comboStarters->setEditText(QStringLiteral("10"));
    QStringList runners;
    for (int n = 1; n <= 22; ++n) runners << QString::number(n);
    for (QComboBox* combo : Combo1_) {
        combo->addItems(runners);
        combo->setCurrentIndex(-1);
        combo->setEditText(QStringLiteral("Select"));
    }

    // Scroll bars: a click on an arrow or on the page moves by one.
    HScroll1->setRange(2, 100);
    HScroll1->setValue(2);
    HScroll1->setSingleStep(1);
    HScroll1->setPageStep(1);
    ScrollBar1->setRange(1, 9);
    ScrollBar1->setValue(5);
    ScrollBar1->setSingleStep(1);
    ScrollBar1->setPageStep(1);

    // Boxes with their own colours.
    {
        QPalette p = Edit1->palette();
        p.setColor(QPalette::Base, QColor::fromRgb(0xC0C0C0));
        Edit1->setPalette(p);
        txtTenths->setFrame(false);
        p = txtTenths->palette();
        p.setColor(QPalette::Base, palette().color(QPalette::Button));
        txtTenths->setPalette(p);
        txtTenths->setAlignment(Qt::AlignCenter);
        Edit1->setAlignment(Qt::AlignCenter);
        txtArrondir->setAlignment(Qt::AlignCenter);
    }
    for (QLabel* caption : columnCaption) caption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label2->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Label18->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Label19->setAlignment(Qt::AlignRight);

    // The warning is the one opaque label; it starts hidden.
    lblDansleRouge->setAutoFillBackground(true);
    {
        QPalette p = lblDansleRouge->palette();
        p.setColor(QPalette::Window, palette().color(QPalette::Button));
        lblDansleRouge->setPalette(p);
    }
    lblDansleRouge->hide();

    // The room of each changing line, up to its right-hand neighbour: the next
    // column's amount, the arrows beside the yield line, the horse's balloon
    // beside the total line.  The profit and the warning have sizes of their own.
    for (int c = 0; c < kSelections; ++c) {
        const int next = c + 1 < kSelections ? kOddsLeft[c + 1] : kOddsLeft[c] + 74;
        Label2_[static_cast<std::size_t>(c)]->setMaximumWidth(next - 3 - kOddsLeft[c]);
    }
    lblYield->setMaximumWidth(456 - 4 - lblYield->x());
    lblTotal_ex_Label19->setMaximumWidth(366 - 6 - lblTotal_ex_Label19->x());

    lblAide->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblAide->resize(193, 0);

    {
        QPalette p = MarqueeFreeware->palette();
        p.setColor(QPalette::Window, QColor::fromRgb(0xC0C0C0));
        MarqueeFreeware->setPalette(p);
        MarqueeFreeware->setFrameStyle(QFrame::Box | QFrame::Sunken);
    }
    chkNomore->setChecked(true);
    // The three direction buttons are the window's own radio buttons: one
    // group keeps exactly one of them checked, apart from the radio groups'.
    auto* directions = new QButtonGroup(this);
    directions->setObjectName(QStringLiteral("roundingDirection"));
    for (QRadioButton* direction : {radioup, radiodown, radiocenter}) directions->addButton(direction);
    radiocenter->setChecked(true);

    // Command1 covers Button1, which the refresh button presses unseen.
    Command1->raise();
    // The silencing picture covers the balloon but not the toggle that lifts
    // it again, nor the caption beside the horse.
    imgNomore->raise();
    for (QWidget* above : {static_cast<QWidget*>(chkNomore), static_cast<QWidget*>(lblShow),
                           static_cast<QWidget*>(Label18), static_cast<QWidget*>(Label19)})
        above->raise();
    // Pictures and labels are drawn on the window itself: every windowed
    // control lies above all of them, for the eye and for the pointer (the
    // hover area around the tenths scroll bar must not swallow its clicks).
    for (QWidget* control : windowed) control->raise();

    // The style draws no focus on the caption-less radio buttons and check box
    // nor on the scroll bars, and Button1's lies under Command1: the frame
    // around the calculate button shows that Button1 has it.
    auto* focusFrame = new FocusFrame(client);
    focusFrame->setObjectName(QStringLiteral("focusFrame"));
    for (QWidget* plain : std::initializer_list<QWidget*>{radioup, radiodown, radiocenter, chkNomore, HScroll1,
                                                          ScrollBar1, Button1})
        focusFrame->watch(plain);

    buildMenu();
    setTabOrderChain();
}

void TfrmJeuGagnant::buildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto image = [](const char* name) { return ArtworkIcon(QStringLiteral(":/img/%1.png").arg(QLatin1String(name))); };
    auto item = [&](QWidget* owner, const char* name, const QString& caption, const char* icon) {
        auto* action = new QAction(caption, owner);
        action->setObjectName(QString::fromLatin1(name));
        if (icon) action->setIcon(image(icon));
        owner->addAction(action);
        return action;
    };
    auto submenu = [&](QWidget* owner, const char* name, const QString& caption, const char* icon) {
        auto* menu = new QMenu(caption, owner);
        menu->setObjectName(QString::fromLatin1(name));
        if (icon) menu->setIcon(image(icon));
        if (auto* parentMenu = qobject_cast<QMenu*>(owner))
            parentMenu->addMenu(menu);
        else
            static_cast<QMenuBar*>(owner)->addMenu(menu);
        return menu;
    };

    // The menu bar shows top-level items by caption only; their images appear
    // where Qt shows images, in the drop-down menus.
    E1 = item(bar, "E1", QString(), nullptr);
    internet = submenu(bar, "internet", QString(), nullptr);
    homepage = item(internet, "homepage", QString(), "menu_home");
    latestversion = item(internet, "latestversion", QString(), "menu_latest");
    I1 = submenu(internet, "I1", QString(), "menu_sites");
    drf = item(I1, "drf", QStringLiteral("Daily Racing Form (US)"), "menu_drf");
    racingpost = item(I1, "racingpost", QStringLiteral("Racing Post (UK)"), "menu_racingpost");
    paristurf = item(I1, "paristurf", QStringLiteral("Paris-Turf (FR)"), "menu_paristurf");
    I1->addSeparator()->setObjectName(QStringLiteral("N4"));
    search = item(I1, "search", QStringLiteral("Online horse betting (search)"), "menu_search");
    race = submenu(bar, "race", QStringLiteral("&Race"), nullptr);
    oddsToOne = item(race, "oddsToOne", QStringLiteral("To-one odds (4.5 or 9/2)"), nullptr);
    oddsDecimal = item(race, "oddsDecimal", QStringLiteral("Decimal odds (5.50)"), nullptr);
    oddsAmerican = item(race, "oddsAmerican", QStringLiteral("American odds (+450 or -200)"), nullptr);
    // How the odds boxes are read: one format of three, to-one odds at every start.
    oddsFormats = new QActionGroup(race);
    oddsFormats->setObjectName(QStringLiteral("oddsFormats"));
    oddsFormats->setExclusive(true);
    for (QAction* format : {oddsToOne, oddsDecimal, oddsAmerican}) {
        format->setCheckable(true);
        oddsFormats->addAction(format);
    }
    oddsToOne->setChecked(true);
    race->addSeparator()->setObjectName(QStringLiteral("N5"));
    // The key works whichever control has the focus; Ctrl+V in an odds box still pastes into that box.
    pasteOdds = item(race, "pasteOdds", QStringLiteral("Paste the odds"), nullptr);
    pasteOdds->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
    raceSheet = item(race, "raceSheet", QStringLiteral("Race sheet..."), nullptr);
    raceSheet->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    copyRace = item(race, "copyRace", QStringLiteral("Copy the race"), nullptr);
    copyRace->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    H1 = submenu(bar, "H1", QString(), nullptr);
    M1 = item(H1, "M1", QStringLiteral("Program help"), nullptr);
    Q1 = item(H1, "Q1", QStringLiteral("Quick help"), nullptr);
    conctact = item(H1, "conctact", QStringLiteral("Contact us"), nullptr);
    H1->addSeparator()->setObjectName(QStringLiteral("N1"));
    Language1 = submenu(H1, "Language1", QStringLiteral("Localization"), nullptr);
    E2 = item(Language1, "E2", QStringLiteral("$  Dollar sign"), nullptr);
    U1 = item(Language1, "U1", QStringLiteral("£  Pound sign"), nullptr);
    F1 = item(Language1, "F1", QStringLiteral("€  Euro sign"), nullptr);
    // The check mark marks the sign at start; the currency items change only the labels.
    E2->setCheckable(true);
    E2->setChecked(true);
    // Top-level items show no image in the bar.
    E1->setIconVisibleInMenu(false);
}

void TfrmJeuGagnant::setTabOrderChain() {
    std::vector<QWidget*> chain;
    for (int i = 0; i < Option1->count(); ++i) chain.push_back(Option1->button(i));
    for (QLineEdit* box : txtCote) chain.push_back(box);
    chain.push_back(Combo1_[0]);
    chain.push_back(comboStarters);
    for (std::size_t i = 1; i < Combo1_.size(); ++i) chain.push_back(Combo1_[i]);
    chain.push_back(HScroll1);
    chain.push_back(btnExample);
    chain.push_back(Command1);
    for (int i = 0; i < radioOptions->count(); ++i) chain.push_back(radioOptions->button(i));
    // The refresh button outside the window and the odds row's hidden cells
    // cannot be seen: the focus never goes there (what was typed into a hidden
    // cell would come back in a later shift), and Tab passes them by.
    for (QWidget* unseen : std::initializer_list<QWidget*>{cmdRafraichir, txtGauche, txtDroite, avantgauche, apresdroite})
        unseen->setFocusPolicy(Qt::NoFocus);
    for (QWidget* w : std::initializer_list<QWidget*>{txtArrondir, Edit1, btnRounditup, chkNomore, radioup, radiodown,
                                                      radiocenter, txtTenths, ScrollBar1, Button1, Cmdrafraichirbid,
                                                      btnExample2, btnExample3})
        chain.push_back(w);
    for (QWidget* w : chain) w->setFocusPolicy(Qt::FocusPolicy(w->focusPolicy() | Qt::TabFocus));
    for (std::size_t i = 1; i < chain.size(); ++i) setTabOrder(chain[i - 1], chain[i]);
}

} // namespace fairstake
