// Single play against the engine from the main window: "Başla" with either colour, the move
// lock, the turn display, a new start during a search, the difficulty spin box, and the
// about button.
#include "GameBoard/EngineThread.h"
#include "Unit2/Unit2.h"
#include "Widgets/RadioGroup.h"
#include "Widgets/SpinEdit.h"
#include "support/Screenshot.h"
#include "tests/Unit1/Form1Fixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <optional>
#include <utility>

namespace {

constexpr int kEngineTimeoutMs = 30000;

class Form1GameTest : public Form1Test {
protected:
    // "Başla" with colour 0 ("Beyaz") or 1 ("Siyah") at the given difficulty.
    void Start(int colour, int depth) {
        form->SpinEdit1->SetValue(depth);
        form->RadioGroup2->SetItemIndex(colour);
        form->BitBtn5->click();
    }
    // Waits until the engine has answered and the lock is back with the user.
    bool WaitForUsersTurn() {
        return QTest::qWaitFor(
            [&] { return Board().Tag() == 0 && !Board().Thinking(); }, kEngineTimeoutMs);
    }
    // The engine is searching, or has found its move and waits to hand it over.
    bool EngineBusy() const { return !Board().EngineThread()->Parked(); }
    // The first legal move of the side to move, scanning from A8.
    std::pair<Square, Square> AnyLegalMove() const {
        for (int from = 1; from <= 64; ++from)
            for (int to = 1; to <= 64; ++to)
                if (Board().IsLegalMove(ToSquare(from), ToSquare(to)))
                    return { ToSquare(from), ToSquare(to) };
        return { Square::None, Square::None };
    }
};

TEST_F(Form1GameTest, WithWhiteTheUserMovesFirst) {
    Start(0, 1);
    EXPECT_TRUE(Board().isEnabled());
    EXPECT_EQ(Board().Position(), TChessModel::StartPosition);
    EXPECT_TRUE(Board().ComputerPlaysBlack());
    EXPECT_FALSE(Board().ComputerPlaysWhite());
    EXPECT_EQ(Board().Tag(), 0);
    EXPECT_FALSE(Board().WhiteOnTop());
    EXPECT_EQ(Panel(1), QStringLiteral("Playing"));
    EXPECT_EQ(Panel(2), QStringLiteral("Turn: White"));
    EXPECT_FALSE(Board().Thinking());
}

TEST_F(Form1GameTest, WithBlackTheEngineOpensAndThenTheLockIsTheUsers) {
    Start(1, 1);
    EXPECT_TRUE(Board().WhiteOnTop()) << "Black at the bottom";
    EXPECT_TRUE(Board().ComputerPlaysWhite());
    EXPECT_FALSE(Board().ComputerPlaysBlack());
    EXPECT_EQ(Board().Tag(), 1) << "the mouse cannot start a move";
    EXPECT_EQ(Panel(1), QStringLiteral("Playing"));
    EXPECT_EQ(Panel(2), QStringLiteral("Turn: White"));

    ASSERT_TRUE(WaitForUsersTurn());
    EXPECT_FALSE(Board().WhiteToMove());
    EXPECT_NE(Board().Position(), TChessModel::StartPosition);
    EXPECT_EQ(Panel(1), QStringLiteral("Playing"));
    EXPECT_EQ(Panel(2), QStringLiteral("Turn: Black"));
}

TEST_F(Form1GameTest, MovesAlternateTheLockAndTheTurnDisplay) {
    Start(0, 1);
    for (int move = 0; move < 3; ++move) {
        SCOPED_TRACE(move);
        const auto [from, to] = AnyLegalMove();
        ASSERT_TRUE(Board().UserMove(from, to));
        EXPECT_EQ(Board().Tag(), 1);
        EXPECT_EQ(Panel(2), QStringLiteral("Turn: Black"));
        ASSERT_TRUE(WaitForUsersTurn());
        EXPECT_TRUE(Board().WhiteToMove());
        EXPECT_EQ(Panel(1), QStringLiteral("Playing"));
        EXPECT_EQ(Panel(2), QStringLiteral("Turn: White"));
    }
    EXPECT_EQ(Board().CurrentMove(), 4);
    EXPECT_TRUE(Messages().isEmpty());

    // A picture of the whole window after a few moves, for a person to look at.
    QCoreApplication::processEvents();
    const QImage shot = form->grab().toImage();
    EXPECT_EQ(shot.size(), form->size());
    SaveScreenshot(shot, QStringLiteral("Form1AfterFourMoves"));
}

TEST_F(Form1GameTest, StartingAgainDuringASearchStopsTheEngineFirst) {
    Start(1, 4);
    ASSERT_TRUE(EngineBusy()) << "the engine works on White's first move";
    Start(0, 4);
    EXPECT_FALSE(EngineBusy());
    EXPECT_EQ(Board().Position(), TChessModel::StartPosition);
    EXPECT_EQ(Board().Tag(), 0);
    EXPECT_FALSE(Board().WhiteOnTop());
    // No move of the abandoned search arrives later.
    QTest::qWait(300);
    EXPECT_EQ(Board().Position(), TChessModel::StartPosition);
    EXPECT_EQ(Board().Tag(), 0);
    EXPECT_EQ(Panel(2), QStringLiteral("Turn: White"));
}

TEST_F(Form1GameTest, ANetworkModeDuringASearchStopsTheEngineForGood) {
    Start(1, 4);
    ASSERT_TRUE(EngineBusy());
    form->RadioButton2->click();
    EXPECT_FALSE(EngineBusy());
    EXPECT_FALSE(Board().ComputerPlaysWhite());
    EXPECT_FALSE(Board().ComputerPlaysBlack());
    const std::string position = Board().Position();
    const int lock = Board().Tag();
    QTest::qWait(300);
    EXPECT_EQ(Board().Position(), position);
    EXPECT_EQ(Board().Tag(), lock);
    // Unless the engine's move was already on its way, nothing moved and the lock stays 1.
    if (position == TChessModel::StartPosition) {
        EXPECT_EQ(lock, 1);
    }
}

TEST_F(Form1GameTest, TheLockAlternatesWhoeverMoves) {
    form->GameBoard1LegalMove(&Board(), Square::E2, Square::E4);
    EXPECT_EQ(Board().Tag(), 1);
    EXPECT_EQ(Panel(1), QStringLiteral("Playing"));
    form->GameBoard1LegalMove(&Board(), Square::E7, Square::E5);
    EXPECT_EQ(Board().Tag(), 0);
    Board().SetWhiteToMove(false);
    form->ShowTurn();
    EXPECT_EQ(Panel(2), QStringLiteral("Turn: Black"));
}

TEST_F(Form1GameTest, TypedDifficultyGoesToTheBoardAndIsCorrectedWhenFocusLeaves) {
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QLineEdit* editor = form->SpinEdit1->Editor();
    editor->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return editor->hasFocus(); }));

    struct Row {
        const char* typed;
        int depth;
    };
    const Row rows[] = { { "x", 1 }, { "3", 3 }, { "7", 7 }, { "", 1 }, { "0", 1 } };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.typed);
        editor->selectAll();
        if (*r.typed)
            QTest::keyClicks(editor, QString::fromLatin1(r.typed));
        else
            QTest::keyClick(editor, Qt::Key_Delete);
        EXPECT_EQ(Board().SearchDepth(), r.depth);
    }
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("7"));
    ASSERT_EQ(Board().SearchDepth(), 7);
    form->Edit2->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !editor->hasFocus(); }));
    EXPECT_EQ(form->SpinEdit1->Text(), QStringLiteral("4"));
    EXPECT_EQ(Board().SearchDepth(), 4);
}

TEST_F(Form1GameTest, ArrowsKeepTheDifficultyWithinOneToFour) {
    form->SpinEdit1->UpButton()->click();
    EXPECT_EQ(Board().SearchDepth(), 4);
    for (int expected : { 3, 2, 1, 1 }) {
        form->SpinEdit1->DownButton()->click();
        EXPECT_EQ(form->SpinEdit1->Value(), expected);
    }
    EXPECT_EQ(Board().SearchDepth(), 1);
    form->SpinEdit1->SetText(QStringLiteral("9"));
    form->SpinEdit1->UpButton()->click();
    EXPECT_EQ(Board().SearchDepth(), 4);
}

TEST_F(Form1GameTest, AboutButtonShowsTheAboutBoxModally) {
    TForm2 about;
    form->SetAboutBox(&about);
    bool shownModally = false;
    QTimer::singleShot(0, [&] {
        shownModally = QApplication::activeModalWidget() == &about;
        about.accept();
    });
    form->BitBtn2->click();
    EXPECT_TRUE(shownModally);
    EXPECT_FALSE(about.isVisible());
}

} // namespace
