// The main window as it opens: every control's initial state, the board's settings, the
// layout of the right column, and the timer that fits the board into its panel.
#include "Widgets/ChatEdit.h"
#include "Widgets/RadioGroup.h"
#include "Widgets/SpinEdit.h"
#include "tests/Unit1/Form1Fixture.h"
#include "tests/support/Screenshot.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

TEST(FitBoardTest, LargestSquareOfBorderPlusEightsCentredInThePanel) {
    struct Row {
        int w, h, border;
        QRect expected;
    };
    const Row rows[] = {
        { 380, 380, 24, QRect(2, 2, 376, 376) }, // squares of 41 pixels
        { 400, 333, 24, QRect(36, 2, 328, 328) },
        { 325, 333, 24, QRect(2, 6, 320, 320) }, // the window at its minimum size
        { 385, 390, 24, QRect(0, 3, 384, 384) }, // an exact fit
        { 391, 391, 24, QRect(3, 3, 384, 384) }, // one pixel short of the next step
        { 300, 300, 10, QRect(0, 0, 300, 300) },
        { 44, 60, 24, QRect(-2, 6, 48, 48) }, // (44 - 48) div 8 truncates to 0, not -1
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.w << " x " << r.h << ", border " << r.border);
        EXPECT_EQ(FitBoard(r.w, r.h, r.border), r.expected);
    }
}

TEST_F(Form1Test, WindowOpensAtItsDesignedSizeWithCaptionAndFont) {
    EXPECT_EQ(form->windowTitle(),
        U("Pellium by Pellium Geliştiricileri v 0.9 - Türkçeye Çeviren Pellium Geliştiricileri"));
    EXPECT_EQ(form->size(), QSize(485, 470));
    EXPECT_EQ(form->minimumSize(), QSize(430, 423));
    EXPECT_EQ(form->font().family(), U("MS Sans Serif"));
    EXPECT_EQ(form->font().pointSize(), 8);
    EXPECT_TRUE(form->windowIcon().availableSizes().contains(QSize(32, 32)));
    // Board panel left, right column 105 wide, log 53, entry 18 and status bar 19 below.
    EXPECT_EQ(form->Panel1->geometry(), QRect(0, 0, 380, 380));
    EXPECT_EQ(form->Panel3->geometry(), QRect(380, 0, 105, 380));
    EXPECT_EQ(form->Memo1->geometry(), QRect(0, 380, 485, 53));
    EXPECT_EQ(form->Panel2->geometry(), QRect(0, 433, 485, 18));
    EXPECT_EQ(form->StatusBar1->geometry(), QRect(0, 451, 485, 19));
}

TEST_F(Form1Test, ModeControlsStartInSinglePlay) {
    EXPECT_EQ(form->RadioButton3->text(), U("Tek Oyna"));
    EXPECT_EQ(form->RadioButton1->text(), U("Oyunu Kur"));
    EXPECT_EQ(form->RadioButton2->text(), U("Oyuna Katıl"));
    EXPECT_TRUE(form->RadioButton3->isChecked());
    EXPECT_FALSE(form->RadioButton1->isChecked());
    EXPECT_FALSE(form->RadioButton2->isChecked());
    // The three are listed top to bottom in white text.
    EXPECT_LT(form->RadioButton3->y(), form->RadioButton1->y());
    EXPECT_LT(form->RadioButton1->y(), form->RadioButton2->y());
    EXPECT_EQ(form->RadioButton3->palette().color(QPalette::WindowText), QColor(Qt::white));

    EXPECT_TRUE(form->Panel8->isVisible());
    EXPECT_FALSE(form->Panel7->isVisible());
    EXPECT_FALSE(form->Panel5->isVisible());
    EXPECT_EQ(form->Panel6->height(), 60);
    EXPECT_EQ(form->Panel8->height(), 116);
    EXPECT_EQ(form->Panel7->height(), 72);
    EXPECT_EQ(form->Panel5->height(), 111);
    EXPECT_EQ(form->Panel4->height(), 69);
    EXPECT_EQ(form->Panel8->y(), form->Panel6->geometry().bottom() + 1);
    EXPECT_EQ(form->Panel4->geometry().bottom() + 1, form->Panel3->contentsRect().bottom() + 1);

    EXPECT_EQ(form->BitBtn5->text(), U("Başla"));
    EXPECT_TRUE(form->BitBtn5->isEnabled());
    EXPECT_EQ(form->RadioGroup2->title(), U("Renk"));
    ASSERT_EQ(form->RadioGroup2->ItemCount(), 2);
    EXPECT_EQ(form->RadioGroup2->Button(0)->text(), U("Beyaz"));
    EXPECT_EQ(form->RadioGroup2->Button(1)->text(), U("Siyah"));
    EXPECT_EQ(form->RadioGroup2->ItemIndex(), 0);
    EXPECT_EQ(form->Label3->text(), U("Zorluk :"));
    EXPECT_EQ(form->SpinEdit1->MinValue(), 1);
    EXPECT_EQ(form->SpinEdit1->MaxValue(), 4);
    EXPECT_EQ(form->SpinEdit1->Value(), 4);

    EXPECT_EQ(form->BitBtn3->text(), U("Bağlan"));
    EXPECT_TRUE(form->BitBtn3->isEnabled());
    EXPECT_EQ(form->Label2->text(), U("Ana Makina IP :"));
    EXPECT_EQ(form->Edit3->text(), U("127.0.0.1"));

    EXPECT_EQ(form->BitBtn1->text(), U("Bağlantıyı Kes"));
    EXPECT_FALSE(form->BitBtn1->isEnabled());
    EXPECT_EQ(form->BitBtn4->text(), U("Başla"));
    EXPECT_FALSE(form->BitBtn4->isEnabled());
    EXPECT_EQ(form->RadioGroup1->title(), U("Renk"));
    ASSERT_EQ(form->RadioGroup1->ItemCount(), 2);
    EXPECT_EQ(form->RadioGroup1->Button(0)->text(), U("Beyaz"));
    EXPECT_EQ(form->RadioGroup1->Button(1)->text(), U("Siyah"));
    EXPECT_EQ(form->RadioGroup1->ItemIndex(), 0);
}

TEST_F(Form1Test, PlayerChatAndStatusControlsStartEmptyOrWithTheirTexts) {
    EXPECT_EQ(form->Label1->text(), U("Oyuncu Adı :"));
    EXPECT_EQ(form->Edit2->text(), U("Oyuncu Adı"));
    EXPECT_EQ(form->BitBtn2->text(), U("Hakkında"));
    EXPECT_EQ(form->BitBtn2->iconSize(), QSize(18, 18));
    const QIcon glyph = form->BitBtn2->icon();
    ASSERT_FALSE(glyph.isNull());
    // Two states: the disabled image is the glyph's own, not a greyed copy of the normal one.
    EXPECT_NE(glyph.pixmap(18, 18, QIcon::Normal).toImage(),
        glyph.pixmap(18, 18, QIcon::Disabled).toImage());

    EXPECT_TRUE(form->Memo1->toPlainText().isEmpty());
    EXPECT_TRUE(form->Memo1->isReadOnly());
    EXPECT_EQ(form->Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    for (QWidget* chat :
        { static_cast<QWidget*>(form->Memo1), static_cast<QWidget*>(form->Edit1) }) {
        EXPECT_EQ(chat->palette().color(QPalette::Base), QColor(Qt::black));
        EXPECT_EQ(chat->palette().color(QPalette::Text), QColor(0, 255, 0));
    }
    EXPECT_TRUE(form->Edit1->text().isEmpty());
    EXPECT_EQ(form->Edit1->width(), form->Panel2->width());

    ASSERT_EQ(form->StatusBar1->PanelCount(), 4);
    const int widths[] = { 100, 120, 120, 50 };
    const QString texts[] = { U("Bağlantı Yok"), U("Oyun Yok"), U("Beyazın Sırası"), QString() };
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(form->StatusBar1->PanelWidth(i), widths[i]);
        EXPECT_EQ(Panel(i), texts[i]);
    }
}

TEST_F(Form1Test, BoardStartsDisabledWithTheWindowsSettings) {
    const TGameBoard& board = Board();
    EXPECT_FALSE(board.isEnabled());
    EXPECT_EQ(board.parentWidget(), form->Panel1);
    EXPECT_EQ(board.Position(), TChessModel::StartPosition);
    EXPECT_TRUE(board.WhiteToMove());
    EXPECT_EQ(board.CurrentMove(), 1);
    EXPECT_EQ(board.EnPassant(), Square::None);
    EXPECT_EQ(board.CastlingAllowed(), AllCastling);
    EXPECT_FALSE(board.ComputerPlaysWhite());
    EXPECT_FALSE(board.ComputerPlaysBlack());
    EXPECT_FALSE(board.CustomEngine());
    EXPECT_EQ(board.SearchDepth(), 4);
    EXPECT_EQ(board.ThinkingPriority(), TThreadPriority::tpNormal);
    EXPECT_EQ(board.SizeOfBorder(), 24);
    EXPECT_FALSE(board.Resizable());
    EXPECT_EQ(board.ResizeMinSize(), 100);
    EXPECT_EQ(board.ResizeMaxSize(), 1000);
    EXPECT_FALSE(board.WhiteOnTop());
    EXPECT_EQ(board.DisplayCoords(), (CoordSet { DisplayCoords::West, DisplayCoords::South }));
    EXPECT_EQ(board.CoordFont().Name, U("Arial"));
    EXPECT_EQ(board.CoordFont().Color, clWhite);
    EXPECT_TRUE(board.AnimateMoves());
    EXPECT_EQ(board.AnimationDelay(), 0);
    EXPECT_FALSE(board.BoardLines());
    EXPECT_EQ(board.BorderColor(), clBlack);
    EXPECT_EQ(board.SquareColorDark(), clGray);
    EXPECT_EQ(board.SquareColorLight(), clSilver);
    EXPECT_EQ(board.BorderBitmap().size(), QSize(128, 128));
    EXPECT_EQ(board.SquareDark().size(), QSize(104, 102));
    EXPECT_EQ(board.SquareLight().size(), QSize(98, 95));
    EXPECT_EQ(board.Tag(), 0);
    EXPECT_TRUE(static_cast<bool>(board.OnLegalMove));
}

TEST(Form1TimerTest, FirstFitComesAfterOneMillisecondThenEveryQuarterSecond) {
    TForm1 form;
    EXPECT_TRUE(form.Timer1->isActive());
    EXPECT_EQ(form.Timer1->interval(), 1);
    form.Timer1Timer();
    EXPECT_TRUE(form.Timer1->isActive());
    EXPECT_EQ(form.Timer1->interval(), 250);
}

TEST_F(Form1Test, TimerFitsTheBoardIntoItsPanelAsTheWindowChanges) {
    struct Row {
        QSize client;
        QSize panel;
        QRect board;
    };
    const Row rows[] = {
        { QSize(485, 470), QSize(380, 380), QRect(2, 2, 376, 376) },
        { QSize(505, 423), QSize(400, 333), QRect(36, 2, 328, 328) },
        { QSize(430, 423), QSize(325, 333), QRect(2, 6, 320, 320) }, // the smallest window
        { QSize(700, 600), QSize(595, 510), QRect(45, 3, 504, 504) },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.client.width() << " x " << r.client.height());
        ResizeClient(r.client.width(), r.client.height());
        ASSERT_EQ(form->Panel1->size(), r.panel);
        form->Timer1Timer();
        EXPECT_EQ(Board().geometry(), r.board);
    }
    // The window cannot become smaller than its minimum, and the whole board still fits.
    ResizeClient(200, 200);
    form->Timer1Timer();
    EXPECT_EQ(form->size(), QSize(430, 423));
    EXPECT_TRUE(form->Panel1->rect().contains(Board().geometry()));
}

TEST_F(Form1Test, TheTimerRunningOnItsOwnFitsTheBoardWithinAQuarterSecond) {
    ResizeClient(505, 423);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return Board().geometry() == QRect(36, 2, 328, 328); }, 2000));
}

// Counts the events that would repaint or re-lay the board.
class RepaintCounter : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint || event->type() == QEvent::Resize
            || event->type() == QEvent::Move || event->type() == QEvent::UpdateRequest)
            ++count;
        return false;
    }
};

TEST_F(Form1Test, RefittingUnchangedBoundsNeitherMovesNorRepaintsTheBoard) {
    form->Timer1Timer();
    QCoreApplication::processEvents();
    int painted = 0;
    Board().OnPaint = [&](TChessModel*) { ++painted; };
    RepaintCounter counter;
    Board().installEventFilter(&counter);
    for (int i = 0; i < 3; ++i) form->Timer1Timer();
    QCoreApplication::processEvents();
    Board().removeEventFilter(&counter);
    EXPECT_EQ(counter.count, 0);
    EXPECT_EQ(painted, 0);
}

// The chat entry shows where to type: a one-pixel sunken frame in the colours of its panel all
// round, inside its own rectangle, and a lime caret while it has the focus.
TEST_F(Form1Test, ChatEntryShowsAFrameAndALimeCaretWithinItsPlace) {
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    auto* entry = static_cast<TChatEdit*>(form->Edit1);
    entry->setText(U("merhaba"));
    entry->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return entry->hasFocus(); }));
    EXPECT_EQ(entry->geometry(), QRect(0, 0, form->Panel2->width(), 18));

    form->Memo1->appendPlainText(U("<Oyuncu Adı> selam"));
    QCoreApplication::processEvents();
    SaveScreenshot(form->grab().toImage(), QStringLiteral("MainWindowChatEntry"));
    const QImage image = entry->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPalette& palette = entry->palette();
    const int right = image.width() - 1;
    const int bottom = image.height() - 1;
    const QRgb dark = palette.color(QPalette::Dark).rgb();
    const QRgb light = palette.color(QPalette::Light).rgb();
    for (int y = 0; y <= bottom; ++y) {
        SCOPED_TRACE(y);
        EXPECT_EQ(image.pixel(0, y), y == bottom ? light : dark);
        EXPECT_EQ(image.pixel(right, y), light);
    }
    for (const int x : { 1, 10, right / 2, right - 1 }) {
        SCOPED_TRACE(x);
        EXPECT_EQ(image.pixel(x, 0), dark);
        EXPECT_EQ(image.pixel(x, bottom), light);
    }
    EXPECT_EQ(image.pixel(right - 5, 8), qRgb(0, 0, 0)); // inside: the black entry

    // The caret stands after the text: a lime column several pixels high.
    const QRect caret = entry->CaretRect();
    ASSERT_FALSE(caret.isEmpty());
    EXPECT_GT(caret.x(), 10);
    EXPECT_GE(caret.height(), 8);
    for (int y = caret.top(); y <= caret.bottom(); ++y) {
        SCOPED_TRACE(y);
        EXPECT_EQ(image.pixelColor(caret.x(), y), QColor(0, 255, 0));
    }
    EXPECT_EQ(image.pixelColor(caret.x() + 3, caret.center().y()), QColor(Qt::black));

    // Without the focus there is no caret.
    form->Edit2->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !entry->hasFocus(); }));
    const QImage unfocused = entry->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_NE(unfocused.pixelColor(caret.x(), caret.center().y()), QColor(0, 255, 0));
}

TEST_F(Form1Test, ChatEntryKeepsTheWidthOfItsPanel) {
    ResizeClient(640, 480);
    EXPECT_EQ(form->Panel2->width(), 640);
    EXPECT_EQ(form->Edit1->width(), 640);
}

} // namespace
