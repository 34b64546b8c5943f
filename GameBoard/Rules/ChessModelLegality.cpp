// Move legality and game-end tests of the rules model. All of them read the state only.
#include "GameBoard/Rules/AsciiCase.h"
#include "GameBoard/Rules/Castlings.h"
#include "GameBoard/Rules/ChessModel.h"

#include <cstdlib>

namespace {

constexpr int DiagonalSteps[4][2] = { { -1, -1 }, { -1, 1 }, { 1, -1 }, { 1, 1 } };
constexpr int StraightSteps[4][2] = { { -1, 0 }, { 1, 0 }, { 0, -1 }, { 0, 1 } };
constexpr int KnightSteps[8][2]
    = { { -1, 2 }, { 1, 2 }, { -1, -2 }, { 1, -2 }, { -2, 1 }, { 2, 1 }, { -2, -1 }, { 2, -1 } };

int FileDistance(Square a, Square b) {
    return std::abs(FileOf(a) - FileOf(b));
}
int RankDistance(Square a, Square b) {
    return std::abs(RankOf(a) - RankOf(b));
}

// Attack test on a cell array for the king letter `king`. The attackers are given by their
// letters; pawns attack from `pawnRankStep` ranks away (+1: from above, -1: from below).
struct AttackerSet {
    char king, pawn, knight, bishop, rook, queen, enemyKing;
    int pawnRankStep;
};

constexpr AttackerSet BlackAttackers { 'K', 'p', 'n', 'b', 'r', 'q', 'k', 1 };
constexpr AttackerSet WhiteAttackers { 'k', 'P', 'N', 'B', 'R', 'Q', 'K', -1 };

template <typename Cells> char At(const Cells& cells, int file, int rank) {
    return cells[CellOf(SquareAt(file, rank))];
}

// The first square of the ray that is not blank, with its distance; 0 when the ray is empty.
template <typename Cells>
char FirstOnRay(const Cells& cells, int file, int rank, const int (&step)[2], int& distance) {
    for (int k = 1; k <= 7; ++k) {
        const Square s = SquareAt(file + k * step[0], rank + k * step[1]);
        if (s == Square::None) return 0;
        const char c = cells[CellOf(s)];
        if (c != ' ') {
            distance = k;
            return c;
        }
    }
    return 0;
}

// Whether the king is attacked; `found` tells whether there is a king at all.
template <typename Cells> bool KingAttacked(const Cells& cells, const AttackerSet& a, bool& found) {
    Square king = Square::None;
    for (const Square s : BoardSquares) {
        if (cells[CellOf(s)] == a.king) {
            king = s;
            break;
        }
    }
    found = king != Square::None;
    if (!found) return false;
    const int f = FileOf(king);
    const int r = RankOf(king);

    for (int df : { -1, 1 }) {
        const Square s = SquareAt(f + df, r + a.pawnRankStep);
        if (s != Square::None && cells[CellOf(s)] == a.pawn) return true;
    }
    for (const auto& step : KnightSteps) {
        const Square s = SquareAt(f + step[0], r + step[1]);
        if (s != Square::None && cells[CellOf(s)] == a.knight) return true;
    }
    const auto raysHit = [&](const int(*steps)[2], char slider) {
        for (int i = 0; i < 4; ++i) {
            int distance = 0;
            const char c = FirstOnRay(cells, f, r, steps[i], distance);
            if (c == a.queen || c == slider || (c == a.enemyKing && distance == 1)) return true;
        }
        return false;
    };
    return raysHit(DiagonalSteps, a.bishop) || raysHit(StraightSteps, a.rook);
}

} // namespace

bool TChessModel::IsLegalMove(Square from, Square to) const {
    if (!IsBoardSquare(from) || !IsBoardSquare(to)) return false;
    if (IsThreefoldRepetition()) return false;
    return PassesMoveRules(from, to);
}

bool TChessModel::PassesMoveRules(Square from, Square to) const {
    const int color = PieceColor(from);
    if (color != (whiteToMove_ ? 1 : 0)) return false;
    if (PieceColor(to) == color) return false;
    bool ruleOk = false;
    switch (LowerAscii(Cell(from))) {
    case 'p':
        ruleOk = PawnMoveOk(from, to);
        break;
    case 'n':
        ruleOk = KnightMoveOk(from, to);
        break;
    case 'b':
        ruleOk = BishopMoveOk(from, to);
        break;
    case 'r':
        ruleOk = RookMoveOk(from, to);
        break;
    case 'q':
        ruleOk = QueenMoveOk(from, to);
        break;
    case 'k':
        ruleOk = KingMoveOk(from, to);
        break;
    default:
        break;
    }
    if (!ruleOk) return false;
    return color == 0 ? !BlackKingAttacked(from, to) : !WhiteKingAttacked(from, to);
}

bool TChessModel::PawnMoveOk(Square from, Square to) const {
    const int color = PieceColor(from);
    if (color == -1) return false;
    const int forward = color == 1 ? 1 : -1;
    const int df = FileDistance(from, to);
    if (RankOf(to) == RankOf(from) + forward) {
        if (df == 0) return Cell(to) == ' ';
        if (df == 1) return PieceColor(to) == 1 - color || to == enPassant_;
        return false;
    }
    const int homeRank = color == 1 ? 2 : 7;
    const Square passed = SquareHalfway(from, to);
    return RankOf(from) == homeRank && RankOf(to) == homeRank + 2 * forward && df == 0
        && Cell(to) == ' ' && Cell(passed) == ' ';
}

bool TChessModel::KnightMoveOk(Square from, Square to) const {
    const int df = FileDistance(from, to);
    const int dr = RankDistance(from, to);
    return (df == 2 && dr == 1) || (df == 1 && dr == 2);
}

// An off-board coordinate gives None, whose cell reads as empty: such a ray runs on to
// seven steps without meeting `to`.
bool TChessModel::SlideReaches(Square from, Square to, const int (*steps)[2], int count) const {
    const int mover = PieceColor(from);
    for (int i = 0; i < count; ++i) {
        for (int k = 1; k <= 7; ++k) {
            const Square s
                = SquareAt(FileOf(from) + k * steps[i][0], RankOf(from) + k * steps[i][1]);
            if (s == to && PieceColor(s) != mover) return true;
            if (PieceColor(s) != -1) break;
        }
    }
    return false;
}

bool TChessModel::BishopMoveOk(Square from, Square to) const {
    return SlideReaches(from, to, DiagonalSteps, 4);
}

bool TChessModel::RookMoveOk(Square from, Square to) const {
    return SlideReaches(from, to, StraightSteps, 4);
}

bool TChessModel::QueenMoveOk(Square from, Square to) const {
    return BishopMoveOk(from, to) || RookMoveOk(from, to);
}

bool TChessModel::KingMoveOk(Square from, Square to) const {
    if (FileDistance(from, to) <= 1 && RankDistance(from, to) <= 1) return true;
    return CastlingOk(from, to);
}

// The four castlings: right, rook on the corner (any rook of that colour), blank squares
// between, and the king lifted from E1/E8 not attacked on any square it stands on or crosses.
bool TChessModel::CastlingOk(Square from, Square to) const {
    for (const Castling& c : Castlings) {
        if (from != c.kingFrom || to != c.kingTo) continue;
        if (!castlingAllowed_.Contains(c.right) || Cell(c.rookFrom) != c.rook) return false;
        for (Square s : c.blank)
            if (s != Square::None && Cell(s) != ' ') return false;
        for (Square s : c.kingPath)
            if (c.White() ? WhiteKingAttacked(c.kingFrom, s) : BlackKingAttacked(c.kingFrom, s))
                return false;
        return true;
    }
    return false;
}

// A copy of the cells with the piece on from standing on to; a pawn moving onto the
// en-passant square also removes the pawn beside it (to's file, from's rank). A castling
// rook stays put and a promoting pawn stays a pawn. With from == to nothing changes.
TChessModel::Cells TChessModel::CellsAfter(Square from, Square to) const {
    Cells cells = squares_;
    if (from == to) return cells;
    const char piece = Cell(from);
    cells[CellIndex(to)] = piece;
    cells[CellIndex(from)] = ' ';
    if (LowerAscii(piece) == 'p' && to == enPassant_)
        cells[CellIndex(SquareAt(FileOf(to), RankOf(from)))] = ' ';
    return cells;
}

bool TChessModel::WhiteKingAttackedOn(const Cells& cells) {
    bool found = false;
    const bool attacked = KingAttacked(cells, BlackAttackers, found);
    return found && attacked; // no white king: never attacked
}

bool TChessModel::BlackKingAttackedOn(const Cells& cells) {
    bool found = false;
    const bool attacked = KingAttacked(cells, WhiteAttackers, found);
    return !found || attacked; // no black king: always attacked
}

bool TChessModel::WhiteKingAttacked(Square from, Square to) const {
    return WhiteKingAttackedOn(CellsAfter(from, to));
}

bool TChessModel::BlackKingAttacked(Square from, Square to) const {
    return BlackKingAttackedOn(CellsAfter(from, to));
}

// The repetition test is the same for every pair, so it runs once instead of per pair.
bool TChessModel::HasLegalMove() const {
    if (IsThreefoldRepetition()) return false;
    const int side = whiteToMove_ ? 1 : 0;
    for (const Square from : BoardSquares) {
        if (PieceColor(from) != side) continue;
        for (const Square to : BoardSquares)
            if (PassesMoveRules(from, to)) return true;
    }
    return false;
}

// The placement in the slot of the position now to move, against every earlier slot.
// A slot never written holds no position and matches nothing.
bool TChessModel::IsThreefoldRepetition() const {
    const int current = SlotIndex(currentMove_, whiteToMove_);
    if (current < 0 || static_cast<std::size_t>(current) >= history_.size()) return false;
    const std::string& placement = history_[static_cast<std::size_t>(current)].Position;
    if (placement.empty()) return false;
    int count = 0;
    for (int i = current - 1; i >= 0; --i)
        if (history_[static_cast<std::size_t>(i)].Position == placement && ++count >= 2)
            return true;
    return false;
}

// Weights: pawn, rook and queen 5, bishop 3, knight 2, king 0. Both sides below 5.
bool TChessModel::LacksMatingMaterial() const {
    const auto weight = [](char lower) {
        switch (lower) {
        case 'p':
        case 'r':
        case 'q':
            return 5;
        case 'b':
            return 3;
        case 'n':
            return 2;
        default:
            return 0;
        }
    };
    int white = 0;
    int black = 0;
    for (const Square s : BoardSquares) {
        const char c = Cell(s);
        if (c >= 'A' && c <= 'Z') white += weight(LowerAscii(c));
        if (c >= 'a' && c <= 'z') black += weight(c);
    }
    return white < 5 && black < 5;
}
