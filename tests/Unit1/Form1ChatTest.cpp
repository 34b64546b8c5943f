// The chat entry while the link is down, and the status texts and message boxes of the
// board's game events (check, mate, lack of mating material, a refused mouse move).
#include "Form1NetworkTestUtil.h"

using namespace nettest;

namespace {

// A position text with the given pieces and every other square empty.
std::string Placement(std::initializer_list<std::pair<Square, char>> pieces) {
    std::string text(64, ' ');
    for (const auto& [square, piece] : pieces)
        text[static_cast<std::size_t>(ToInt(square) - 1)] = piece;
    return text;
}

class Form1Chat : public testing::Test {
protected:
    void SetUp() override { PelliumApp()->ClearRecordedMessages(); }

    // Sets up a position with White to move and plays from -> to on the board.
    void PlayFrom(const std::string& position, Square from, Square to) {
        form.GameBoard1->NewGame();
        form.GameBoard1->SetPosition(position);
        ASSERT_TRUE(form.GameBoard1->MakeMove(from, to));
    }

    TForm1 form;
};

TEST_F(Form1Chat, EnterWithoutALinkSendsNothingAndKeepsTheText) {
    for (const char* linkText :
        { "Bağlantı Yok", "Disconnected", "Connection Error", "connected" }) {
        SCOPED_TRACE(linkText);
        form.StatusBar1->SetPanelText(0, QString::fromUtf8(linkText));
        Say(form, "merhaba");
        EXPECT_EQ(form.Edit1->text(), "merhaba");
        EXPECT_TRUE(form.Memo1->document()->isEmpty());
    }
    EXPECT_TRUE(Messages().isEmpty());
}

TEST_F(Form1Chat, OtherKeysAlwaysReachTheEntry) {
    form.StatusBar1->SetPanelText(0, "Connected");
    form.Edit1->clear();
    QTest::keyClicks(form.Edit1, "ab");
    EXPECT_EQ(form.Edit1->text(), "ab");
}

TEST_F(Form1Chat, CheckStaysUntilTheNextMove) {
    PlayFrom(Placement({ { Square::E8, 'k' }, { Square::E1, 'K' }, { Square::D1, 'Q' },
                 { Square::A7, 'p' } }),
        Square::D1, Square::D8);
    EXPECT_EQ(Panel(form, 1), "Check !");
    EXPECT_EQ(Panel(form, 2), "Turn: Black");
    ASSERT_TRUE(form.GameBoard1->MakeMove(Square::E8, Square::D8));
    EXPECT_EQ(Panel(form, 1), "Playing");
    EXPECT_TRUE(Messages().isEmpty());
}

TEST_F(Form1Chat, MateOverwritesCheckAndOpensOneBox) {
    // Fool's mate: 1 f3 e5 2 g4, then Qh4 mate.
    form.GameBoard1->NewGame();
    for (auto [from, to] : { std::pair { Square::F2, Square::F3 }, { Square::E7, Square::E5 },
             { Square::G2, Square::G4 }, { Square::D8, Square::H4 } })
        ASSERT_TRUE(form.GameBoard1->MakeMove(from, to));
    EXPECT_EQ(Panel(form, 1), "Mate");
    EXPECT_EQ(Messages(), QStringList({ "Mate" }));
}

TEST_F(Form1Chat, LackOfMatingMaterialIsShownAndTheGameIsNotStopped) {
    // White's knight takes the last black pawn: king and knight against king.
    PlayFrom(Placement({ { Square::H8, 'k' }, { Square::D5, 'p' }, { Square::C3, 'N' },
                 { Square::A1, 'K' } }),
        Square::C3, Square::D5);
    EXPECT_EQ(Panel(form, 1), "No Mating Material");
    EXPECT_EQ(Messages(), QStringList({ "No Mating Material" }));
    // The window does not stop the game: the next move is played and reported the same way.
    EXPECT_TRUE(form.GameBoard1->MakeMove(Square::H8, Square::G8));
    EXPECT_EQ(Panel(form, 1), "No Mating Material");
    EXPECT_EQ(Messages(), QStringList({ "No Mating Material", "No Mating Material" }));
}

TEST_F(Form1Chat, StalemateLeavesPlayingAndNoBox) {
    PlayFrom(Placement({ { Square::H8, 'k' }, { Square::F7, 'K' }, { Square::G5, 'Q' } }),
        Square::G5, Square::G6);
    EXPECT_EQ(Panel(form, 1), "Playing");
    EXPECT_TRUE(Messages().isEmpty());
}

TEST_F(Form1Chat, ARefusedMouseMoveOpensIllegalMoveAndChangesNothingElse) {
    form.StatusBar1->SetPanelText(1, "Check !");
    form.GameBoard1->SetTag(0);
    ASSERT_TRUE(form.GameBoard1->OnIllegalMove);
    form.GameBoard1->OnIllegalMove(form.GameBoard1, Square::E2);
    EXPECT_EQ(Messages(), QStringList({ "Illegal Move" }));
    EXPECT_EQ(Panel(form, 1), "Check !");
    EXPECT_EQ(form.GameBoard1->Tag(), 0);
}

} // namespace
