// Drives the rules model with a byte script: position writes, property writes, move texts,
// MakeMove and UserMove sequences and new games, with event handlers that re-enter the board
// from inside MakeMove. The board must stay in a valid game state throughout.
#include "FuzzChecks.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

class ByteScript {
public:
    ByteScript(const std::uint8_t* data, std::size_t size)
        : data_(data)
        , size_(size) { }
    bool AtEnd() const { return pos_ >= size_; }
    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    Square AnySquare() { return ToSquare(Byte() % 65); }
    std::string Text(std::size_t maxLength) {
        std::string text;
        const std::size_t length = Byte() % (maxLength + 1);
        for (std::size_t i = 0; i < length && !AtEnd(); ++i) text += char(Byte());
        return text;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ByteScript script(data, size);
    TChessModel board;
    // Handlers chosen by the script re-enter the board from inside MakeMove.
    int reentry = 0;
    board.OnLegalMove = [&](TChessModel* sender, Square from, Square to) {
        if (reentry == 1) sender->MakeMove(to, from);
        if (reentry == 2) sender->NewGame();
        if (reentry == 3) sender->SetPosition("init");
    };
    board.OnMate = [&](TChessModel* sender, Square, Square) {
        if (reentry != 0) sender->NewGame();
    };
    board.OnDraw = [&](TChessModel* sender) {
        if (reentry != 0) sender->SetPosition(std::string(64, ' '));
    };
    char promotion = 'q';
    board.OnPromotion = [&](TChessModel*, Square, Square, char& piece) { piece = promotion; };

    while (!script.AtEnd()) {
        switch (script.Byte() % 12) {
        case 0:
            board.SetPosition(script.Text(80));
            break;
        case 1:
            board.MakeMove(script.AnySquare(), script.AnySquare());
            break;
        case 2:
            board.UserMove(script.AnySquare(), script.AnySquare());
            break;
        case 3: {
            const auto [from, to] = TChessModel::MoveFromText(script.Text(6));
            board.MakeMove(from, to);
            break;
        }
        case 4:
            board.SetEnPassant(script.AnySquare());
            break;
        case 5:
            board.SetWhiteToMove(script.Byte() & 1);
            break;
        case 6:
            board.SetCastlingAllowed(CastleSet::FromBits(script.Byte() & 15));
            break;
        case 7:
            board.NewGame();
            break;
        case 8:
            reentry = script.Byte() % 4;
            promotion = char(script.Byte());
            break;
        case 9:
            board.HasLegalMove();
            break;
        case 10:
            board.IsThreefoldRepetition();
            board.LacksMatingMaterial();
            break;
        default: {
            // A burst of legal moves: try every pair from a square until one is accepted.
            const Square from = script.AnySquare();
            for (int to = 1; to <= 64; ++to)
                if (board.MakeMove(from, ToSquare(to))) break;
            break;
        }
        }
        CheckValidGameState(board);
    }
    return 0;
}
