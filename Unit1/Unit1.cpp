#include "Unit1/Unit1.h"

#include "GameBoard/GameBoard.h"
#include "Unit1/PelliumApplication.h"
#include "Widgets/BitBtnGlyph.h"
#include "Widgets/ChatEdit.h"
#include "Widgets/ProgramIcon.h"
#include "Widgets/RadioGroup.h"
#include "Widgets/SpinEdit.h"
#include "Widgets/StatusBar.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The caption: the product's name and credits, the version (major.minor of the package's
// version, which the build passes as PELLIUM_CAPTION_VERSION), the author and the translator.
const char* const kMakers = "Pellium Geliştiricileri";
QString Caption() {
    return QStringLiteral("Pellium by ") + QString::fromUtf8(kMakers)
        + QStringLiteral(" v " PELLIUM_CAPTION_VERSION) + QString::fromUtf8(" - Türkçeye Çeviren ")
        + QString::fromUtf8(kMakers);
}

// Client area of the window. With a 4-pixel frame and a 19-pixel caption these are the outer
// sizes 493 x 497 (at opening) and 438 x 450 (the smallest).
constexpr QSize kOpeningClientSize(485, 470);
constexpr QSize kMinimumClientSize(430, 423);

constexpr int kRightColumnWidth = 105;
constexpr int kModePanelHeight = 60;
constexpr int kSinglePlayPanelHeight = 116;
constexpr int kJoinPanelHeight = 72;
constexpr int kHostPanelHeight = 111;
constexpr int kPlayerPanelHeight = 69;
constexpr int kMemoHeight = 53;
constexpr int kChatEntryPanelHeight = 18;
constexpr int kChatLogLines = 5000;
// Inside the right column: one pixel of bevel on each side.
constexpr int kInnerWidth = kRightColumnWidth - 2;
constexpr int kControlLeft = 4;
constexpr int kControlWidth = kInnerWidth - 2 * kControlLeft;

const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kLime(0, 255, 0);
// The text of a disabled mode button: dimmed, still readable on the black panel.
const QColor kDimmed(128, 128, 128);

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// A panel as the window uses them: a raised one-pixel bevel unless flat.
QFrame* NewPanel(QWidget* parent, bool bevel = true) {
    auto* panel = new QFrame(parent);
    panel->setFrameStyle(bevel ? QFrame::Panel | QFrame::Raised : QFrame::NoFrame);
    panel->setLineWidth(1);
    return panel;
}

// The face colour of buttons and panels, for the panels inside the black right column.
QColor FaceColor() {
    return QApplication::palette().color(QPalette::Button);
}

void SetBackground(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// Black background, lime text: the chat log and entry.
void SetChatColours(QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, kBlack);
    palette.setColor(QPalette::Text, kLime);
    widget->setPalette(palette);
}

QPushButton* NewButton(const char* caption, QWidget* parent, int top) {
    auto* button = new QPushButton(Text(caption), parent);
    button->setGeometry(kControlLeft, top, kControlWidth, 25);
    return button;
}

QLabel* NewLabel(const char* caption, QWidget* parent, int left, int top) {
    auto* label = new QLabel(Text(caption), parent);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QLineEdit* NewEdit(const char* text, QWidget* parent, int top) {
    auto* edit = new QLineEdit(Text(text), parent);
    edit->setGeometry(kControlLeft, top, kControlWidth, 21);
    return edit;
}

} // namespace

TForm1::TForm1(QWidget* parent)
    : QWidget(parent) {
    CreateBoardPanel();
    CreateRightColumn();
    CreateChat();
    CreateStatusBar();
    ArrangeWindow();
    ApplyBoardSettings();
    Timer1 = new QTimer(this);
    Timer1->setInterval(1);
    ConnectHandlers();
    FormCreate();
    Timer1->start();
}

// The network link goes first, so that no socket notification reaches a half-destroyed window.
// The application outlives the window: AppException is taken off it.
TForm1::~TForm1() {
    DestroyNetworkLink();
    if (TPelliumApplication* app = PelliumApp()) app->OnException = nullptr;
}

void TForm1::CreateBoardPanel() {
    Panel1 = NewPanel(this, false);
    SetBackground(Panel1, kBlack);
    GameBoard1 = new TGameBoard(Panel1);
}

void TForm1::CreateRightColumn() {
    Panel3 = NewPanel(this);
    Panel3->setFixedWidth(kRightColumnWidth);
    SetBackground(Panel3, kBlack);
    CreateModePanel();
    CreateSinglePlayPanel();
    CreateJoinPanel();
    CreateHostPanel();
    CreatePlayerPanel();

    // A hidden mode panel takes no room, so the visible one stands right under Panel6.
    auto* column = new QVBoxLayout(Panel3); // inside the panel's bevel
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(Panel6);
    column->addWidget(Panel8);
    column->addWidget(Panel7);
    column->addWidget(Panel5);
    column->addStretch(1);
    column->addWidget(Panel4);
    Panel7->hide();
    Panel5->hide();
}

void TForm1::CreateModePanel() {
    Panel6 = NewPanel(Panel3);
    Panel6->setFixedHeight(kModePanelHeight);
    SetBackground(Panel6, kBlack);
    auto radio = [this](const char* caption, int top) {
        auto* button = new QRadioButton(Text(caption), Panel6);
        QPalette palette = button->palette();
        palette.setColor(QPalette::WindowText, kWhite);
        palette.setColor(QPalette::Disabled, QPalette::WindowText, kDimmed);
        button->setPalette(palette);
        button->setGeometry(8, top, kInnerWidth - 12, 17);
        return button;
    };
    RadioButton3 = radio("Tek Oyna", 4);
    RadioButton1 = radio("Oyunu Kur", 21);
    RadioButton2 = radio("Oyuna Katıl", 38);
    RadioButton3->setChecked(true);
}

void TForm1::CreateSinglePlayPanel() {
    Panel8 = NewPanel(Panel3);
    Panel8->setFixedHeight(kSinglePlayPanelHeight);
    SetBackground(Panel8, FaceColor());
    RadioGroup2 = new TRadioGroup(Text("Renk"), { Text("Beyaz"), Text("Siyah") }, Panel8);
    RadioGroup2->setGeometry(kControlLeft, 2, kControlWidth, 53);
    RadioGroup2->SetItemIndex(0);
    Label3 = NewLabel("Zorluk :", Panel8, 8, 62);
    SpinEdit1 = new TSpinEdit(1, 4, 4, Panel8);
    SpinEdit1->setGeometry(54, 59, kControlLeft + kControlWidth - 54, 21);
    BitBtn5 = NewButton("Başla", Panel8, 86);
}

void TForm1::CreateJoinPanel() {
    Panel7 = NewPanel(Panel3);
    Panel7->setFixedHeight(kJoinPanelHeight);
    SetBackground(Panel7, FaceColor());
    Label2 = NewLabel("Ana Makina IP :", Panel7, 6, 3);
    Edit3 = NewEdit("127.0.0.1", Panel7, 19);
    BitBtn3 = NewButton("Bağlan", Panel7, 43);
}

void TForm1::CreateHostPanel() {
    Panel5 = NewPanel(Panel3);
    Panel5->setFixedHeight(kHostPanelHeight);
    SetBackground(Panel5, FaceColor());
    RadioGroup1 = new TRadioGroup(Text("Renk"), { Text("Beyaz"), Text("Siyah") }, Panel5);
    RadioGroup1->setGeometry(kControlLeft, 2, kControlWidth, 53);
    RadioGroup1->SetItemIndex(0);
    BitBtn4 = NewButton("Başla", Panel5, 57);
    BitBtn4->setEnabled(false);
    BitBtn1 = NewButton("Bağlantıyı Kes", Panel5, 83);
    BitBtn1->setEnabled(false);
}

void TForm1::CreatePlayerPanel() {
    Panel4 = NewPanel(Panel3);
    Panel4->setFixedHeight(kPlayerPanelHeight);
    SetBackground(Panel4, FaceColor());
    Label1 = NewLabel("Oyuncu Adı :", Panel4, 6, 2);
    Edit2 = NewEdit("Oyuncu Adı", Panel4, 17);
    BitBtn2 = NewButton("Hakkında", Panel4, 40);
    // Two 18 x 18 images: normal and disabled.
    BitBtn2->setIcon(LoadBitBtnGlyph(QStringLiteral(":/AboutGlyph.bmp"), 2));
    BitBtn2->setIconSize(QSize(18, 18));
}

void TForm1::CreateChat() {
    Memo1 = new QPlainTextEdit(this);
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setFixedHeight(kMemoHeight);
    // The log keeps the latest lines only, so that a peer's chat cannot grow it without end.
    Memo1->setMaximumBlockCount(kChatLogLines);
    SetChatColours(Memo1);

    Panel2 = NewPanel(this, false);
    Panel2->setFixedHeight(kChatEntryPanelHeight);
    Edit1 = new TChatEdit(Panel2);
    Edit1->setGeometry(0, 0, Panel2->width(), kChatEntryPanelHeight);
    SetChatColours(Edit1);
}

void TForm1::CreateStatusBar() {
    StatusBar1 = new TStatusBar({ 100, 120, 120, 50 }, this);
    StatusBar1->SetPanelText(0, Text("Bağlantı Yok"));
    StatusBar1->SetPanelText(1, Text("Oyun Yok"));
    StatusBar1->SetPanelText(2, Text("Beyazın Sırası"));
}

void TForm1::ArrangeWindow() {
    auto* top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(0);
    top->addWidget(Panel1, 1);
    top->addWidget(Panel3);

    auto* window = new QVBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->setSpacing(0);
    window->addLayout(top, 1);
    window->addWidget(Memo1);
    window->addWidget(Panel2);
    window->addWidget(StatusBar1);

    setWindowTitle(Caption());
    // A white knight, on the window and in the task bar, in every size of the icon set.
    setWindowIcon(LoadProgramIcon());
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setMinimumSize(kMinimumClientSize);
    resize(kOpeningClientSize);
}

void TForm1::ConnectHandlers() {
    connect(RadioButton3, &QRadioButton::clicked, this, Guarded(&TForm1::RadioButton3Click));
    connect(RadioButton1, &QRadioButton::clicked, this, Guarded(&TForm1::RadioButton1Click));
    connect(RadioButton2, &QRadioButton::clicked, this, Guarded(&TForm1::RadioButton2Click));
    connect(BitBtn5, &QPushButton::clicked, this, Guarded(&TForm1::BitBtn5Click));
    connect(BitBtn2, &QPushButton::clicked, this, Guarded(&TForm1::BitBtn2Click));
    connect(SpinEdit1, &TSpinEdit::Changed, this, Guarded(&TForm1::SpinEdit1Change));
    connect(Timer1, &QTimer::timeout, this, Guarded(&TForm1::Timer1Timer));
    Panel2->installEventFilter(this);
    GameBoard1->OnLegalMove = Guarded(&TForm1::GameBoard1LegalMove);
    // The endpoints, the connection buttons, the chat entry and the board's game events.
    CreateNetworkLink();
}
