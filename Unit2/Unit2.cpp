#include "Unit2/Unit2.h"

#include "Unit2/JpegDecoder.h"
#include "Widgets/BitBtnGlyph.h"
#include "Widgets/LinkLabel.h"
#include "Widgets/ShadowLabel.h"

#include <QDesktopServices>
#include <QFile>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <algorithm>
#include <qdrawutil.h>
#include <utility>

// The about box's resources live in the static board library; pull them in by name.
static void InitAboutResources() {
    Q_INIT_RESOURCE(about);
}

namespace {

// The credit names Pellium's own makers; the two sites and the mail address stay in the
// reserved example.org domain until the project has its own.
const char* const kAuthorCredit = "by Pellium Geliştiricileri";
const char* const kAuthorWeb = "https://yazar.example.org/";
const char* const kMakerWeb = "https://ombrel.example.org/";
const char* const kAuthorMail = "yazar@example.org";
constexpr QSize kClientSize(463, 178);
constexpr int kCreditLeft = 244;
const char* const kPortraitName = "Mustafa Kemal Atatürk";

const QColor kRed(0xFF, 0x00, 0x00);
const QColor kSilver(0xC0, 0xC0, 0xC0);
const QColor kLime(0x00, 0xFF, 0x00);
const QColor kAqua(0x00, 0xFF, 0xFF);
const QColor kNavy(0x00, 0x00, 0x80);
const QColor kWhite(0xFF, 0xFF, 0xFF);
const QColor kBlack(0x00, 0x00, 0x00);

QFont PixelFont(const QString& family, int pixels, bool bold = false) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void SetTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::ButtonText, color);
    widget->setPalette(palette);
}

// A panel with a black face and a one-pixel raised bevel (highlight at the top and left,
// shadow at the bottom and right), drawn the same in every widget style.
class TBevelPanel : public QFrame {
public:
    explicit TBevelPanel(QWidget* parent)
        : QFrame(parent) {
        setContentsMargins(1, 1, 1, 1);
        setAutoFillBackground(true);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        qDrawShadePanel(&painter, rect(), palette(), false, 1);
    }
};

// Tightens the letter spacing of a one-line label just enough for its text to fit its width
// (by at most one pixel a letter); substitute fonts may run a little wider than the original.
void FitTextToWidth(QLabel* label) {
    const QString text = label->text();
    const int excess = QFontMetrics(label->font()).horizontalAdvance(text) - label->width();
    if (excess <= 0 || text.size() < 2) return;
    const double tighten = std::min(1.0, (excess + 0.5) / (text.size() - 1));
    QFont font = label->font();
    font.setLetterSpacing(QFont::AbsoluteSpacing, -tighten);
    label->setFont(font);
}

QByteArray ReadResource(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

} // namespace

TForm2::TForm2(QWidget* parent)
    : QDialog(parent,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
            | Qt::MSWindowsFixedSizeDialogHint)
    , UrlOpener([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
    InitAboutResources();
    setWindowTitle(QStringLiteral("Oyun Hakkında"));
    setFixedSize(kClientSize);
    QFont dialogFont(QStringLiteral("MS Sans Serif"));
    dialogFont.setPointSize(8);
    setFont(dialogFont);
    QPalette black = palette();
    black.setColor(QPalette::Window, kBlack);
    setPalette(black);
    setAutoFillBackground(true);

    CreatePicturePanel();
    CreateTitles();
    CreateLinks();
    CreateButton();

    const std::pair<QWidget*, const char*> names[] = { { Panel2, "Panel2" }, { Image2, "Image2" },
        { Label3, "Label3" }, { ShadowLabel1, "ShadowLabel1" }, { ShadowLabel2, "ShadowLabel2" },
        { Label1, "Label1" }, { Label5, "Label5" }, { Label8, "Label8" }, { Label7, "Label7" },
        { Label4, "Label4" }, { Label6, "Label6" }, { BitBtn1, "BitBtn1" } };
    for (const auto& [control, name] : names) control->setObjectName(QLatin1String(name));
}

void TForm2::CreatePicturePanel() {
    Panel2 = new TBevelPanel(this);
    Panel2->setGeometry(8, 6, 153, 107);

    Image2 = new QLabel(Panel2);
    Image2->setGeometry(1, 2, 150, 87);
    Image2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const QImage picture = DecodeJpeg(ReadResource(QStringLiteral(":/About.jpg")));
    if (!picture.isNull()) Image2->setPixmap(QPixmap::fromImage(picture));
    Image2->setToolTip(QStringLiteral("Türkiye Cumhuriyeti Bayrağı\n") + kPortraitName);

    // Aligned to the bottom of the panel inside its bevel.
    Label3 = new QLabel(QStringLiteral("Hayatta En Hakiki Mürşit İlimdir."), Panel2);
    Label3->setGeometry(1, 107 - 1 - 14, 153 - 2, 14);
    Label3->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label3->setFont(PixelFont(QStringLiteral("Arial"), 11));
    FitTextToWidth(Label3);
    SetTextColor(Label3, kWhite);
    Label3->setToolTip(kPortraitName);
}

void TForm2::CreateTitles() {
    ShadowLabel1 = new TShadowLabel(QStringLiteral("Ombrel Software"), this);
    ShadowLabel1->setGeometry(192, 4, 249, 37);
    ShadowLabel1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ShadowLabel1->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 32));
    SetTextColor(ShadowLabel1, kRed);

    ShadowLabel2 = new TShadowLabel(QStringLiteral("Pellium"), this);
    ShadowLabel2->setGeometry(164, 36, 293, 49);
    ShadowLabel2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QFont productFont = PixelFont(QStringLiteral("Comic Sans MS"), 35, true);
    productFont.setItalic(true);
    ShadowLabel2->setFont(productFont);
    SetTextColor(ShadowLabel2, kSilver);

    Label1 = new QLabel(QString::fromUtf8(kAuthorCredit), this);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 16));
    SetTextColor(Label1, kLime);
    // The credit grows to the right as far as its text needs, like a label that sizes itself,
    // but never past the dialog's right edge; there it is tightened to fit instead.
    const int creditWidth = QFontMetrics(Label1->font()).horizontalAdvance(Label1->text()) + 1;
    Label1->setGeometry(
        kCreditLeft, 92, std::clamp(creditWidth, 139, kClientSize.width() - kCreditLeft), 20);
    FitTextToWidth(Label1);
}

void TForm2::CreateLinks() {
    const QFont captionFont = PixelFont(QStringLiteral("Verdana"), 11, true);
    QFont linkFont = PixelFont(QStringLiteral("Verdana"), 11);
    linkFont.setUnderline(true);

    // Captions are sized to their text and right-aligned on x = 121.
    const auto caption = [&](const QString& text, int top) {
        auto* label = new QLabel(text, this);
        label->setFont(captionFont);
        label->setAlignment(Qt::AlignRight | Qt::AlignTop);
        SetTextColor(label, kAqua);
        label->adjustSize();
        label->move(121 - label->width(), top);
        return label;
    };
    const auto link = [&](const char* address, int top) {
        auto* label = new TLinkLabel(QString::fromUtf8(address), this);
        label->setFont(linkFont);
        SetTextColor(label, kLime);
        label->adjustSize();
        label->move(123, top);
        return label;
    };

    Label5 = caption(QStringLiteral("Web Siteleri :"), 124);
    Label8 = link(kAuthorWeb, 124);
    Label7 = link(kMakerWeb, 140);
    Label4 = caption(QStringLiteral("E-posta :"), 156);
    Label6 = link(kAuthorMail, 156);

    Label8->OnClick = [this] { Label8Click(); };
    Label7->OnClick = [this] { Label7Click(); };
    Label6->OnClick = [this] { Label6Click(); };
}

void TForm2::CreateButton() {
    BitBtn1 = new QPushButton(QStringLiteral("Tamam"), this);
    BitBtn1->setGeometry(300, 144, 149, 25);
    QFont buttonFont(QStringLiteral("Arial"));
    buttonFont.setPointSize(8);
    buttonFont.setBold(true);
    BitBtn1->setFont(buttonFont);
    SetTextColor(BitBtn1, kNavy);
    QIcon glyph = LoadBitBtnGlyph(QStringLiteral(":/OkGlyph.bmp"), 2);
    if (glyph.isNull()) glyph = style()->standardIcon(QStyle::SP_DialogOkButton);
    BitBtn1->setIcon(glyph);
    BitBtn1->setIconSize(QSize(18, 18));
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

void TForm2::Label8Click() {
    Open(QUrl(QString::fromUtf8(kAuthorWeb)));
}

void TForm2::Label7Click() {
    Open(QUrl(QString::fromUtf8(kMakerWeb)));
}

void TForm2::Label6Click() {
    Open(QUrl(QStringLiteral("mailto:") + QString::fromUtf8(kAuthorMail)));
}

void TForm2::reject() { }

void TForm2::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CentreOnDesktop();
}

void TForm2::CentreOnDesktop() {
    const QScreen* desktop = screen();
    if (!desktop) return;
    QRect frame = frameGeometry();
    frame.moveCenter(desktop->availableGeometry().center());
    move(frame.topLeft());
}

// A missing browser or mail program shows nothing: the opener's result is ignored.
void TForm2::Open(const QUrl& url) const {
    if (UrlOpener) UrlOpener(url);
}
