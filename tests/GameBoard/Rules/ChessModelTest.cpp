// The game state: squares, the Position text and its write rules, the property setters
// and the engine hooks they call, NewGame/ResetGame, and the square and move texts.
#include "GameBoard/Rules/ChessModel.h"

#include "GameBoard/Rules/AsciiCase.h"
#include "GameBoard/Rules/SquareNames.h"
#include "tests/GameBoard/Rules/ChessTestBoards.h"

#include <functional>
#include <gtest/gtest.h>

using namespace chess_test;

namespace {

const std::string Start = TChessModel::StartPosition;
const std::string Empty(64, ' ');

// Notes every engine and repaint hook the state writers call.
class HookLog : public TChessModel {
public:
    std::string calls;
    void StopThinking() override {
        calls += "stop ";
        TChessModel::StopThinking();
    }
    void StartThinking() override { calls += "start "; }
    void PaintBoard() override { calls += "paint "; }
};

} // namespace

TEST(SquareTest, CoordinatesRoundTrip) {
    for (int v = 1; v <= 64; ++v) {
        const Square s = ToSquare(v);
        EXPECT_EQ(SquareAt(FileOf(s), RankOf(s)), s);
    }
    EXPECT_EQ(ToInt(Square::A8), 1);
    EXPECT_EQ(ToInt(Square::E1), 61);
    EXPECT_EQ(SquareAt(0, 4), Square::None);
    EXPECT_EQ(SquareAt(5, 9), Square::None);
}

TEST(ChessModelTest, StartsInTheStartingPosition) {
    TChessModel board;
    EXPECT_EQ(board.Position(), Start);
    EXPECT_TRUE(board.WhiteToMove());
    EXPECT_EQ(board.CastlingAllowed(), AllCastling);
    EXPECT_EQ(board.EnPassant(), Square::None);
    EXPECT_EQ(board.CurrentMove(), 1);
    EXPECT_EQ(board.PromotionPiece(), 'q');
    EXPECT_EQ(board.Squares()[NoneCell], '_');
    EXPECT_EQ(board.Squares()[EndCell], '\0');
}

TEST(ChessModelTest, PositionWriteRules) {
    const std::string seventy = Diagram({ "k.......", "........", "........", "........",
                                    "........", "........", "........", "......QK" })
        + "KKKKKK";
    struct Case {
        const char* name;
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        { "empty text empties the board", "", Empty },
        { "init", "init", Start },
        { "INIT in capitals", "INIT", Start },
        { "newgame in mixed case", "NewGame", Start },
        { "init with more after it is a placement", "initx", " n" + std::string(62, ' ') },
        { "first 64 of 70 characters", seventy, seventy.substr(0, 64) },
        { "10 characters set A8..B7 only", "rnbqkbnrpp", "rnbqkbnrpp" + std::string(54, ' ') },
        { "unknown characters leave squares empty", "rx1.K", "r   K" + std::string(59, ' ') },
        { "NUL at 4 leaves 4..64 empty", std::string("rnb\0kbnr", 8),
            "rnb" + std::string(61, ' ') },
        { "case decides the colour", "Kk", "Kk" + std::string(62, ' ') },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TChessModel board;
        board.SetPosition(c.text);
        EXPECT_EQ(board.Position(), c.expected);
        EXPECT_EQ(board.PieceColor(Square::None), -1);
    }
}

TEST(ChessModelTest, PositionWriteChangesOnlyThePlacementAndRepaints) {
    TChessModel board;
    board.SetWhiteToMove(false);
    board.SetCastlingAllowed(Castling("Kq"));
    board.SetEnPassant(Square::E3);
    ASSERT_TRUE(board.MakeMove(Square::E7, Square::E5));
    int paints = 0;
    board.OnPaint = [&paints](TChessModel*) { ++paints; };
    const auto history = board.MoveHistory().size();

    board.SetPosition("newgame");

    EXPECT_EQ(board.Position(), Start);
    EXPECT_TRUE(board.WhiteToMove());
    EXPECT_EQ(board.CastlingAllowed(), Castling("Kq"));
    EXPECT_EQ(board.EnPassant(), Square::E6);
    EXPECT_EQ(board.CurrentMove(), 2);
    EXPECT_EQ(board.MoveHistory().size(), history);
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(board.Squares()[0], ' ') << "the None cell reads as empty after a write";
}

TEST(ChessModelTest, SettersCallTheEngineHooksTheirRulesName) {
    struct Case {
        const char* name;
        std::function<void(TChessModel&)> write;
        const char* calls;
    };
    const Case cases[] = {
        { "WhiteToMove", [](TChessModel& b) { b.SetWhiteToMove(false); }, "stop " },
        { "CastlingAllowed is stored directly", [](TChessModel& b) { b.SetCastlingAllowed({}); },
            "" },
        { "EnPassant on rank 3", [](TChessModel& b) { b.SetEnPassant(Square::E3); }, "stop " },
        { "EnPassant on rank 6", [](TChessModel& b) { b.SetEnPassant(Square::A6); }, "stop " },
        { "EnPassant elsewhere is ignored", [](TChessModel& b) { b.SetEnPassant(Square::E4); },
            "" },
        { "EnPassant None is ignored", [](TChessModel& b) { b.SetEnPassant(Square::None); }, "" },
        { "ComputerPlaysWhite", [](TChessModel& b) { b.SetComputerPlaysWhite(true); },
            "stop start " },
        { "ComputerPlaysBlack", [](TChessModel& b) { b.SetComputerPlaysBlack(true); },
            "stop start " },
        { "Position", [](TChessModel& b) { b.SetPosition("init"); }, "stop paint " },
        { "NewGame", [](TChessModel& b) { b.NewGame(); }, "stop paint " },
        { "ResetGame", [](TChessModel& b) { b.ResetGame(); }, "stop " },
        { "CurrentMove is not writable", [](TChessModel& b) { b.SetCurrentMove(10); }, "" },
        { "UserMove", [](TChessModel& b) { b.UserMove(Square::E2, Square::E4); }, "stop start " },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HookLog board;
        board.calls.clear();
        c.write(board);
        EXPECT_EQ(board.calls, c.calls);
    }
}

TEST(ChessModelTest, EnPassantAcceptsOnlyRanksThreeAndSix) {
    TChessModel board;
    board.SetEnPassant(Square::E3);
    EXPECT_EQ(board.EnPassant(), Square::E3);
    for (Square ignored : { Square::None, Square::E4, Square::H5, Square::A7, Square::H2 }) {
        board.SetEnPassant(ignored);
        EXPECT_EQ(board.EnPassant(), Square::E3);
    }
    board.SetEnPassant(Square::H6);
    EXPECT_EQ(board.EnPassant(), Square::H6);
    board.SetCurrentMove(10);
    EXPECT_EQ(board.CurrentMove(), 1);
}

TEST(ChessModelTest, UserMoveClearsHaltedAfterTheMove) {
    TChessModel board;
    bool haltedDuringMove = false;
    board.OnLegalMove = [&](TChessModel* b, Square, Square) { haltedDuringMove = b->Halted(); };
    EXPECT_TRUE(board.UserMove(Square::E2, Square::E4));
    EXPECT_TRUE(haltedDuringMove);
    EXPECT_FALSE(board.Halted());
    EXPECT_FALSE(board.UserMove(Square::E2, Square::E4));
    EXPECT_FALSE(board.Halted());
}

TEST(ChessModelTest, NewGameRestoresTheStartAndClearsTheRecord) {
    TChessModel board;
    for (const char* m : { "e2e4", "d7d5", "e4d5", "e8d7" }) ASSERT_TRUE(Play(board, m));
    board.OnPromotion = [](TChessModel*, Square, Square, char& piece) { piece = 'n'; };
    board.SetComputerPlaysBlack(true);
    board.SetPosition(Diagram({ "........", "P......k", "........", "........", "........",
        "........", "........", "K......." }));
    board.SetWhiteToMove(true);
    ASSERT_TRUE(Play(board, "a7a8"));
    board.SetEnPassant(Square::C6);
    int paints = 0;
    board.OnPaint = [&paints](TChessModel*) { ++paints; };

    board.NewGame();

    EXPECT_EQ(board.Position(), Start);
    EXPECT_EQ(board.Squares()[NoneCell], '_');
    EXPECT_TRUE(board.WhiteToMove());
    EXPECT_EQ(board.CurrentMove(), 1);
    EXPECT_EQ(board.EnPassant(), Square::None);
    EXPECT_EQ(board.CastlingAllowed(), AllCastling);
    EXPECT_TRUE(board.MoveHistory().empty());
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(board.PromotionPiece(), 'n') << "kept across games";
    EXPECT_TRUE(board.ComputerPlaysBlack()) << "kept across games";
}

TEST(ChessModelTest, PieceColorByCharacterCode) {
    TChessModel board;
    board.SetPosition("PKpkxX_ 9");
    const int expected[] = { 1, 1, 0, 0, -1, -1, -1, -1, -1 };
    for (int i = 0; i < 9; ++i) EXPECT_EQ(board.PieceColor(ToSquare(i + 1)), expected[i]) << i;
}

TEST(ChessModelTest, SquareFromText) {
    const std::pair<const char*, Square> cases[] = {
        { "e2", Square::E2 },
        { "E2", Square::E2 },
        { "a8", Square::A8 },
        { "H1", Square::H1 },
        { "e9", Square::None },
        { "i2", Square::None },
        { "e0", Square::None },
        { "e", Square::None },
        { "", Square::None },
        { "e2 ", Square::None },
        { "2e", Square::None },
    };
    for (const auto& [text, square] : cases)
        EXPECT_EQ(TChessModel::SquareFromText(text), square) << text;
}

// Every square's name reads back as that square, in either case of its file letter.
TEST(ChessModelTest, SquareNamesReadBack) {
    EXPECT_EQ(FormatSquare(Square::None), "-");
    EXPECT_EQ(FormatSquare(Square::A8), "a8");
    EXPECT_EQ(FormatSquare(Square::H1), "h1");
    for (int i = 1; i <= 64; ++i) {
        const Square s = ToSquare(i);
        std::string name = FormatSquare(s);
        ASSERT_EQ(name.size(), 2u) << i;
        EXPECT_EQ(ParseSquare(name), s) << name;
        name[0] = UpperAscii(name[0]);
        EXPECT_EQ(ParseSquare(name), s) << name;
    }
}

// Only A..Z and a..z change case; digits, NUL, punctuation and bytes above 127 stay.
TEST(ChessModelTest, AsciiCaseChangesLettersOnly) {
    for (int i = 0; i < 256; ++i) {
        const char c = static_cast<char>(i);
        const bool upper = i >= 'A' && i <= 'Z';
        const bool lower = i >= 'a' && i <= 'z';
        EXPECT_EQ(LowerAscii(c), upper ? static_cast<char>(i + 32) : c) << i;
        EXPECT_EQ(UpperAscii(c), lower ? static_cast<char>(i - 32) : c) << i;
    }
    EXPECT_EQ(LowerAscii(std::string("InIt\xC9")), "init\xC9");
}

TEST(ChessModelTest, MoveTextParsing) {
    struct Case {
        const char* text;
        Square from, to;
    };
    const Case cases[] = {
        { "e2e4", Square::E2, Square::E4 },
        { "E2E4", Square::E2, Square::E4 },
        { "e2E4", Square::E2, Square::E4 },
        { "e7e8q and more", Square::E7, Square::E8 },
        { "e9e4", Square::None, Square::E4 },
        { "i2i4", Square::None, Square::None },
        { "e2e", Square::E2, Square::None },
        { "e2", Square::E2, Square::None },
        { "", Square::None, Square::None },
    };
    for (const Case& c : cases) {
        const auto [from, to] = TChessModel::MoveFromText(c.text);
        EXPECT_EQ(from, c.from) << c.text;
        EXPECT_EQ(to, c.to) << c.text;
    }
}
