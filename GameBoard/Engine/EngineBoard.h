#pragma once
// The engine's own board: two parallel arrays of 64 colour and piece codes, the move
// stack shared by all plies, the pseudo-legal generators and the legality filter
// (ApplyMove). Square index 0..63 runs from a8 (0) to h1 (63), rank by rank; index =
// Square - 1. White pawns move towards row 0, Black pawns towards row 7.
// Internal to the engine; public data so that the search and the tests can reach it.

#include "GameBoard/Engine/Engine.h"
#include "GameBoard/Engine/EngineCastling.h"

#include <cstdint>
#include <string_view>

namespace engine {

// Colour codes.
constexpr int White = 0;
constexpr int Black = 1;
constexpr int NoColor = 6;
// Piece codes.
constexpr int Pawn = 0;
constexpr int Knight = 1;
constexpr int Bishop = 2;
constexpr int Rook = 3;
constexpr int Queen = 4;
constexpr int King = 5;
constexpr int NoPiece = 6;

// EngineMove::Flags bits.
constexpr std::uint8_t FlagCapture = 1;
constexpr std::uint8_t FlagCastle = 2;
constexpr std::uint8_t FlagEnPassant = 4;
constexpr std::uint8_t FlagDoubleStep = 8;
constexpr std::uint8_t FlagPawn = 16;
constexpr std::uint8_t FlagPromotion = 32;

// CastleRights bits.
constexpr int WhiteKingSideRight = CastleRightBit(CanStillCastle::WhiteKingSide);
constexpr int WhiteQueenSideRight = CastleRightBit(CanStillCastle::WhiteQueenSide);
constexpr int BlackKingSideRight = CastleRightBit(CanStillCastle::BlackKingSide);
constexpr int BlackQueenSideRight = CastleRightBit(CanStillCastle::BlackQueenSide);
static_assert(EngineCastlings[0].Colour == White && EngineCastlings[2].Colour == Black);

constexpr int MaxPly = 64;
constexpr int MoveStackSize = 4096;

constexpr int RowOf(int index) {
    return index >> 3;
}
constexpr int ColumnOf(int index) {
    return index & 7;
}

// One entry of the move stack: the move and the key that orders it.
struct StackEntry {
    EngineMove Move;
    std::int32_t Key = 0;
};

// What ApplyMove needs to take a move back.
struct UndoRecord {
    EngineMove Move;
    int CapturedPiece = NoPiece;
    int CastleRights = 0;
    int EpSquare = -1;
};

// Why a position is not searched. Everything else that the generators would trip on
// is cleaned up by LoadPosition (see there).
enum class LoadRefusal {
    Accepted,
    NoPosition, // no squares given
    WhiteKingCount, // White has no king or more than one
    BlackKingCount,
    PawnOnBackRank, // a pawn on rank 1 or rank 8
    KingCapturable, // the side not to move is in check
};
std::string_view RefusalText(LoadRefusal refusal);

class EngineBoard {
public:
    EngineBoard();

    // Fills the board from the board component's fields. Characters other than the
    // twelve piece letters become empty squares; castling rights whose king and rook
    // are not both on their home squares are dropped; an en-passant square is dropped
    // unless it is empty, on the right rank for the side to move and has an enemy pawn
    // in front of it. Refused positions (see LoadRefusal) leave the board unusable for
    // search: the caller must not generate moves on them.
    LoadRefusal LoadPosition(const EnginePositionSource& source);

    // Appends every pseudo-legal move of SideToMove at the current ply.
    void GenerateMoves();
    // Appends captures, en-passant captures and pawn steps onto the last rank.
    void GenerateCaptures();

    // Makes the move and raises Ply, or returns false and leaves everything unchanged.
    bool ApplyMove(EngineMove m);
    // Undoes the last move that ApplyMove accepted.
    void RetractMove();

    // The moves that ApplyMove refuses before making them when SideToMove is in check:
    // castlings, and moves of a piece other than the king that neither take the checking
    // piece nor block its line (en passant is always tried).
    struct EvasionFilter {
        int King;
        std::uint64_t Targets;
        bool Refuses(EngineMove m) const {
            const bool tried
                = (m.From == King) | (Targets >> m.To & 1) | ((m.Flags & FlagEnPassant) != 0);
            return !tried | ((m.Flags & FlagCastle) != 0);
        }
    };
    EvasionFilter EvasionsOfPly() {
        if (!pinsKnown_[Ply]) FindPins();
        return EvasionFilter { KingSquare[SideToMove], evasions_[Ply] };
    }
    // GenerateMoves where SideToMove is in check: the same list, and the indices of its moves
    // that EvasionsOfPly() does not refuse, ascending, in evasions. Returns their number, or
    // -1 when there are more than max.
    int GenerateMovesInCheck(int* evasions, int max);

    bool IsAttacked(int square, int colour) const;
    // IsAttacked with the given occupied squares in place of the board's.
    bool IsAttackedThrough(int square, int colour, std::uint64_t occupied) const;
    bool InCheck(int colour) const;
    // InCheck(SideToMove), computed once per position of a ply.
    bool SideToMoveInCheck() {
        std::int8_t& known = checkCache_[Ply];
        if (known < 0) known = InCheck(SideToMove) ? 1 : 0;
        return known != 0;
    }

    // Moves of the current ply: MoveList[PlyFirst[Ply] .. PlyEnd[Ply]-1].
    int CurrentFirst() const { return PlyFirst[Ply]; }
    int CurrentEnd() const { return PlyEnd[Ply]; }

    int SquareColor[64];
    int SquarePiece[64];
    int SideToMove = White;
    int OtherSide = Black;
    int CastleRights = 0;
    int EpSquare = -1;
    int Ply = 0;

    StackEntry MoveList[MoveStackSize];
    int PlyFirst[MaxPly + 1];
    int PlyEnd[MaxPly];
    UndoRecord UndoStack[MaxPly];

    // Kept in step with the squares by Put and Clear: the king of each colour (exactly one
    // per side in an accepted position, and a king is never captured), and bit sets of the
    // squares per colour and per colour and piece (bit i = square i).
    int KingSquare[2] = { -1, -1 };
    std::uint64_t ColorBits[2] = { 0, 0 };
    // PieceBits[c][NoPiece] is always 0: making a move clears the to-square's bits in the set
    // of what stood there without asking whether anything did.
    std::uint64_t PieceBits[2][7] = {};

    // The evaluation's table of material plus square bonus per colour, piece and square,
    // and its running sum over the pieces of each colour. The table belongs to the search;
    // set it with UseScoreTable. Without a table (a board on its own, or while Perft counts)
    // the sums are not kept and stay 0.
    // Row NoPiece is all zero (an empty square scores nothing).
    using ScoreTable = int[2][7][64];
    void UseScoreTable(const ScoreTable* table);
    const ScoreTable* Scores = nullptr;
    int ScoreSum[2] = { 0, 0 };

    // Sort keys of quiet moves, per from- and to-square (kept by the search).
    std::int32_t HistoryScore[64][64];

    // ApplyMove calls that returned true (the engine's node count).
    std::uint64_t AcceptedMoves = 0;

    // A bound on the entries one generation can append, set by LoadPosition from the
    // piece count (27 per piece, the most a queen has, plus castling and en passant;
    // pieces never multiply). The search stops deepening before the stack could overflow.
    int GenerationReserve = 0;

private:
    void AddMove(int from, int to, std::uint8_t flags);
    // AddMove for a move that is no pawn step onto the last rank: captures are ordered by
    // victim and attacker, other moves by their history.
    void PushPieceMove(int from, int to, std::uint8_t flags) {
        StackEntry& e = MoveList[PlyEnd[Ply]++];
        e.Move = EngineMove { std::uint8_t(from), std::uint8_t(to), 0, flags };
        e.Key = (flags & FlagCapture) ? 1000000 + 10 * SquarePiece[to] - SquarePiece[from]
                                      : HistoryScore[from][to];
    }
    void AddPromotions(int from, int to, std::uint8_t flags);
    // The moves of one pawn or piece; with capturesOnly, what GenerateCaptures takes of them.
    template <bool capturesOnly> void GeneratePawn(int from);
    // Returns the squares the piece's moves go to.
    template <bool capturesOnly> std::uint64_t GeneratePiece(int from);
    template <bool noteEvasions> int GenerateAll(int* evasions, int max);
    void GenerateEnPassant();
    std::uint64_t PawnsWithCaptures() const;
    bool CastlingPathFree(const EngineCastling& castling) const;
    // Changing squares with the square sets and sums kept in step: Place needs an empty
    // square, Remove an occupied one, Shift an occupied from-square and an empty to-square.
    void Place(int square, int colour, int piece) {
        const std::uint64_t bit = std::uint64_t(1) << square;
        ColorBits[colour] |= bit;
        PieceBits[colour][piece] |= bit;
        if (Scores != nullptr) ScoreSum[colour] += (*Scores)[colour][piece][square];
        SquareColor[square] = colour;
        SquarePiece[square] = piece;
        if (piece == King) KingSquare[colour] = square;
    }
    void Remove(int square) {
        const int colour = SquareColor[square];
        const int piece = SquarePiece[square];
        const std::uint64_t bit = std::uint64_t(1) << square;
        ColorBits[colour] &= ~bit;
        PieceBits[colour][piece] &= ~bit;
        if (Scores != nullptr) ScoreSum[colour] -= (*Scores)[colour][piece][square];
        SquareColor[square] = NoColor;
        SquarePiece[square] = NoPiece;
    }
    void Shift(int from, int to) {
        const int colour = SquareColor[from];
        const int piece = SquarePiece[from];
        const std::uint64_t bits = (std::uint64_t(1) << from) | (std::uint64_t(1) << to);
        ColorBits[colour] ^= bits;
        PieceBits[colour][piece] ^= bits;
        if (Scores != nullptr)
            ScoreSum[colour] += (*Scores)[colour][piece][to] - (*Scores)[colour][piece][from];
        SquareColor[to] = colour;
        SquarePiece[to] = piece;
        SquareColor[from] = NoColor;
        SquarePiece[from] = NoPiece;
        if (piece == King) KingSquare[colour] = to;
    }
    // The to-square of a move that is no promotion, castling or en passant, with whatever it
    // holds (NoPiece for nothing): the piece is taken off, or the bits of the empty square are
    // cleared, without a branch on which it is, as captures come and go unpredictably.
    void TakeOff(int square, int piece) {
        const std::uint64_t bit = std::uint64_t(1) << square;
        ColorBits[OtherSide] &= ~bit;
        PieceBits[OtherSide][piece] &= ~bit;
        if (Scores != nullptr) ScoreSum[OtherSide] -= (*Scores)[OtherSide][piece][square];
    }
    // TakeOff undone, once the moving piece has left the square (sides not swapped back).
    void PutBack(int square, int piece) {
        const bool taken = piece != NoPiece;
        const std::uint64_t bit = std::uint64_t(taken) << square;
        ColorBits[OtherSide] |= bit;
        PieceBits[OtherSide][piece] |= bit;
        if (Scores != nullptr) ScoreSum[OtherSide] += (*Scores)[OtherSide][piece][square];
        SquareColor[square] = taken ? OtherSide : NoColor;
        SquarePiece[square] = piece;
    }
    void RebuildSquareSets();
    // Finds the pins of the current ply and, in check, its evasion squares.
    void FindPins();
    std::uint64_t PinnedPieces() const;
    std::uint64_t EvasionSquares() const;
    // Inlined into ApplyMove (it runs for every move made), which the compiler's own
    // judgement would not do for a function of ApplyMove's size.
    [[gnu::always_inline]] bool LeavesKingAttacked(EngineMove m, bool wasInCheck, bool kingMoved);

    // Per ply: -1 not yet known, else whether SideToMove is in check there.
    std::int8_t checkCache_[MaxPly + 1];
    // Per ply: whether pinned_ holds the pinned pieces of SideToMove there.
    bool pinsKnown_[MaxPly + 1];
    std::uint64_t pinned_[MaxPly + 1];
    // Per ply, beside pinned_: EvasionSquares() when SideToMove is in check there, else all.
    std::uint64_t evasions_[MaxPly + 1];
};

} // namespace engine
