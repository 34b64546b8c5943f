#include "GameBoard/Engine/EngineBoard.h"

#include "GameBoard/Engine/EngineTables.h"

#include <bit>
#include <cstring>

namespace engine {

namespace {
// Per piece (knight to king) and square: the squares the piece reaches from there on an
// empty board. The pawn's row stays empty.
constexpr std::array<std::array<std::uint64_t, 64>, 6> MakePieceReach() {
    std::array<std::array<std::uint64_t, 64>, 6> reach {};
    for (int sq = 0; sq < 64; ++sq) {
        reach[Knight][sq] = KnightTargets[sq];
        reach[Bishop][sq] = DiagonalBits[sq];
        reach[Rook][sq] = StraightBits[sq];
        reach[Queen][sq] = DiagonalBits[sq] | StraightBits[sq];
        reach[King][sq] = KingTargets[sq];
    }
    return reach;
}
constexpr auto PieceReach = MakePieceReach();

// std::has_single_bit, without the library call for a population count that it becomes
// on processors not known to have the instruction.
constexpr bool SingleBit(std::uint64_t bits) {
    return bits != 0 && (bits & (bits - 1)) == 0;
}
} // namespace

EngineBoard::EngineBoard() {
    for (int i = 0; i < 64; ++i) {
        SquareColor[i] = NoColor;
        SquarePiece[i] = NoPiece;
    }
    std::memset(PlyFirst, 0, sizeof PlyFirst);
    std::memset(PlyEnd, 0, sizeof PlyEnd);
    std::memset(HistoryScore, 0, sizeof HistoryScore);
    std::memset(checkCache_, -1, sizeof checkCache_);
    std::memset(pinsKnown_, 0, sizeof pinsKnown_);
    UseScoreTable(nullptr);
}

void EngineBoard::UseScoreTable(const ScoreTable* table) {
    Scores = table;
    ScoreSum[White] = ScoreSum[Black] = 0;
    if (Scores == nullptr) return;
    for (int sq = 0; sq < 64; ++sq)
        if (SquareColor[sq] != NoColor)
            ScoreSum[SquareColor[sq]] += (*Scores)[SquareColor[sq]][SquarePiece[sq]][sq];
}

void EngineBoard::RebuildSquareSets() {
    KingSquare[White] = KingSquare[Black] = -1;
    ColorBits[White] = ColorBits[Black] = 0;
    std::memset(PieceBits, 0, sizeof PieceBits);
    for (int sq = 63; sq >= 0; --sq) {
        const int colour = SquareColor[sq];
        if (colour == NoColor) continue;
        ColorBits[colour] |= std::uint64_t(1) << sq;
        PieceBits[colour][SquarePiece[sq]] |= std::uint64_t(1) << sq;
        if (SquarePiece[sq] == King) KingSquare[colour] = sq; // the first one, like InCheck
    }
    UseScoreTable(Scores);
    std::memset(checkCache_, -1, sizeof checkCache_);
    std::memset(pinsKnown_, 0, sizeof pinsKnown_);
}

// ---- Move generation ----

void EngineBoard::AddMove(int from, int to, std::uint8_t flags) {
    if ((flags & FlagPawn) && (SideToMove == White ? to <= 7 : to >= 56)) {
        AddPromotions(from, to, flags);
        return;
    }
    PushPieceMove(from, to, flags);
}

void EngineBoard::AddPromotions(int from, int to, std::uint8_t flags) {
    for (int promote = Knight; promote <= Queen; ++promote) {
        StackEntry& e = MoveList[PlyEnd[Ply]++];
        e.Move = EngineMove { std::uint8_t(from), std::uint8_t(to), std::uint8_t(promote),
            std::uint8_t(flags | FlagPromotion) };
        e.Key = 1000000 + 10 * promote;
    }
}

template <bool capturesOnly> void EngineBoard::GeneratePawn(int i) {
    const int file = ColumnOf(i);
    // Only a pawn one step from the last rank promotes, so the others skip that test per move.
    const bool promoting = SideToMove == White ? i <= 15 : i >= 48;
    auto add = [&](int to, std::uint8_t flags) {
        if (promoting)
            AddPromotions(i, to, flags);
        else
            PushPieceMove(i, to, flags);
    };
    if (SideToMove == White) {
        if (file != 0 && SquareColor[i - 9] == Black) add(i - 9, FlagCapture | FlagPawn);
        if (file != 7 && SquareColor[i - 7] == Black) add(i - 7, FlagCapture | FlagPawn);
        if constexpr (capturesOnly)
            if (i > 15) return;
        if (SquarePiece[i - 8] == NoPiece) {
            add(i - 8, FlagPawn);
            if (!capturesOnly && i >= 48 && SquarePiece[i - 16] == NoPiece)
                add(i - 16, FlagPawn | FlagDoubleStep);
        }
    } else {
        if (file != 0 && SquareColor[i + 7] == White) add(i + 7, FlagCapture | FlagPawn);
        if (file != 7 && SquareColor[i + 9] == White) add(i + 9, FlagCapture | FlagPawn);
        if constexpr (capturesOnly)
            if (i < 48) return;
        if (SquarePiece[i + 8] == NoPiece) {
            add(i + 8, FlagPawn);
            if (!capturesOnly && i <= 15 && SquarePiece[i + 16] == NoPiece)
                add(i + 16, FlagPawn | FlagDoubleStep);
        }
    }
}

// A piece's moves: its directions in table order, each ray from near to far up to the
// first occupied square, which is a capture when it holds an enemy piece. The knight's
// and the king's directions in table order reach ascending squares, so their targets are
// taken from a bit set in ascending order; a slider's ray up to its first blocker is cut
// from the ray's bit set, so that no square is looked at twice.
template <bool capturesOnly> std::uint64_t EngineBoard::GeneratePiece(int i) {
    const std::uint64_t occupied = ColorBits[White] | ColorBits[Black];
    const std::uint64_t enemy = ColorBits[OtherSide];
    const std::uint64_t allowed = capturesOnly ? enemy : ~ColorBits[SideToMove];
    std::uint64_t reached = 0;
    auto steps = [&](std::uint64_t targets) {
        reached = targets & allowed;
        for (targets &= allowed; targets != 0; targets &= targets - 1) {
            const int n = std::countr_zero(targets);
            PushPieceMove(i, n, (enemy >> n & 1) ? FlagCapture : 0);
        }
    };
    // One instance per direction (called for each below), so that everything that depends on
    // the direction is settled when compiling.
    auto slide = [&]<int dir>() {
        const std::uint64_t ray = RayBits[i][dir];
        if constexpr (capturesOnly)
            if (!(ray & enemy)) return; // no enemy piece to take on this ray
        const std::uint64_t blockers = ray & occupied;
        const int first = blockers == 0 ? -1
            : dir >= 4                  ? std::countr_zero(blockers)
                                        : 63 - std::countl_zero(blockers);
        if constexpr (!capturesOnly) {
            // Directions 4..7 run towards higher squares: near to far is ascending.
            std::uint64_t quiet = first == -1 ? ray : ray & ~RayBits[first][dir] & ~blockers;
            reached |= quiet;
            if constexpr (dir >= 4) {
                for (; quiet != 0; quiet &= quiet - 1) PushPieceMove(i, std::countr_zero(quiet), 0);
            } else {
                for (; quiet != 0; quiet &= ~(std::uint64_t(1) << 63 >> std::countl_zero(quiet)))
                    PushPieceMove(i, 63 - std::countl_zero(quiet), 0);
            }
        }
        if (first != -1 && (enemy >> first & 1)) {
            reached |= std::uint64_t(1) << first;
            PushPieceMove(i, first, FlagCapture);
        }
    };
    const int piece = SquarePiece[i];
    switch (piece) {
    case Knight:
        steps(KnightTargets[i]);
        break;
    case King:
        steps(KingTargets[i]);
        break;
    case Bishop:
        slide.template operator()<0>();
        slide.template operator()<2>();
        slide.template operator()<5>();
        slide.template operator()<7>();
        break;
    case Rook:
        slide.template operator()<1>();
        slide.template operator()<3>();
        slide.template operator()<4>();
        slide.template operator()<6>();
        break;
    case Queen:
        slide.template operator()<0>();
        slide.template operator()<1>();
        slide.template operator()<2>();
        slide.template operator()<3>();
        slide.template operator()<4>();
        slide.template operator()<5>();
        slide.template operator()<6>();
        slide.template operator()<7>();
        break;
    default:
        break;
    }
    return reached;
}

void EngineBoard::GenerateEnPassant() {
    const int e = EpSquare;
    if (e == -1) return;
    const std::uint8_t flags = FlagCapture | FlagEnPassant | FlagPawn;
    auto isPawn = [this](int sq, int colour) {
        return SquareColor[sq] == colour && SquarePiece[sq] == Pawn;
    };
    if (SideToMove == White) {
        if (ColumnOf(e) != 0 && isPawn(e + 7, White)) AddMove(e + 7, e, flags);
        if (ColumnOf(e) != 7 && isPawn(e + 9, White)) AddMove(e + 9, e, flags);
    } else {
        if (ColumnOf(e) != 0 && isPawn(e - 9, Black)) AddMove(e - 9, e, flags);
        if (ColumnOf(e) != 7 && isPawn(e - 7, Black)) AddMove(e - 7, e, flags);
    }
}

void EngineBoard::GenerateMoves() {
    GenerateAll<false>(nullptr, 0);
}

int EngineBoard::GenerateMovesInCheck(int* evasions, int max) {
    return GenerateAll<true>(evasions, max);
}

// With noteEvasions, only the moves of the king, of a piece that reaches one of the filter's
// target squares and of a pawn that could are looked at.
template <bool noteEvasions> int EngineBoard::GenerateAll(int* evasions, int max) {
    PlyEnd[Ply] = PlyFirst[Ply];
    EvasionFilter filter { -1, 0 };
    if constexpr (noteEvasions) filter = EvasionsOfPly();
    int count = 0;
    bool fits = true;
    auto note = [&](int first) {
        for (int j = first; j < PlyEnd[Ply]; ++j) {
            if (filter.Refuses(MoveList[j].Move)) continue;
            if (count == max) {
                fits = false;
                return;
            }
            evasions[count++] = j;
        }
    };
    // Ascending square order, a8 to h1.
    for (std::uint64_t bits = ColorBits[SideToMove]; bits != 0; bits &= bits - 1) {
        const int i = std::countr_zero(bits);
        const int first = PlyEnd[Ply];
        if (SquarePiece[i] == Pawn) {
            GeneratePawn<false>(i);
            if constexpr (noteEvasions)
                if (PawnReach[SideToMove][i] & filter.Targets) note(first);
        } else {
            const std::uint64_t reached = GeneratePiece<false>(i);
            if constexpr (noteEvasions)
                if (i == filter.King || (reached & filter.Targets)) note(first);
        }
    }
    // The side's two castlings, the king's side first.
    for (int k = 2 * SideToMove; k < 2 * SideToMove + 2; ++k) {
        const EngineCastling& c = EngineCastlings[k];
        if (CastleRights & c.Right) AddMove(c.KingFrom, c.KingTo, FlagCastle);
    }
    const int enPassant = PlyEnd[Ply];
    GenerateEnPassant();
    if constexpr (noteEvasions) note(enPassant);
    PlyFirst[Ply + 1] = PlyEnd[Ply];
    return fits ? count : -1;
}

// The pawns of SideToMove that have something for GenerateCaptures: an enemy piece on a
// square they capture on, or a step onto the last rank to try.
std::uint64_t EngineBoard::PawnsWithCaptures() const {
    constexpr std::uint64_t FileA = 0x0101010101010101ull;
    constexpr std::uint64_t FileH = FileA << 7;
    const std::uint64_t enemy = ColorBits[OtherSide];
    if (SideToMove == White) // a White pawn on i takes on i - 9 (not from file a) and i - 7
        return PieceBits[White][Pawn]
            & (((enemy << 9) & ~FileA) | ((enemy << 7) & ~FileH) | 0xFFFFull);
    return PieceBits[Black][Pawn]
        & (((enemy >> 7) & ~FileA) | ((enemy >> 9) & ~FileH) | (0xFFFFull << 48));
}

void EngineBoard::GenerateCaptures() {
    PlyEnd[Ply] = PlyFirst[Ply];
    // Only the pawns and pieces that can add something are visited, in ascending order: pawns
    // with something to take or a step onto the last rank, and pieces with an enemy piece
    // among the squares they reach on an empty board. The pieces are sorted out without a
    // branch, as which of them qualify is hard to predict.
    const std::uint64_t enemy = ColorBits[OtherSide];
    const std::uint64_t pawns = PieceBits[SideToMove][Pawn];
    std::uint64_t active = pawns & PawnsWithCaptures();
    for (std::uint64_t bits = ColorBits[SideToMove] & ~pawns; bits != 0; bits &= bits - 1) {
        const int i = std::countr_zero(bits);
        active |= std::uint64_t((PieceReach[SquarePiece[i]][i] & enemy) != 0) << i;
    }
    for (; active != 0; active &= active - 1) {
        const int i = std::countr_zero(active);
        if (pawns >> i & 1)
            GeneratePawn<true>(i);
        else
            GeneratePiece<true>(i);
    }
    GenerateEnPassant();
    PlyFirst[Ply + 1] = PlyEnd[Ply];
}

// ---- Attacks ----

// Looks outwards from the square for each kind of attacker of colour c; the answer is the
// same as scanning the attacker's pieces and walking their rays.
bool EngineBoard::IsAttacked(int sq, int c) const {
    return IsAttackedThrough(sq, c, ColorBits[White] | ColorBits[Black]);
}

bool EngineBoard::IsAttackedThrough(int sq, int c, std::uint64_t occupied) const {
    const std::uint64_t* pieces = PieceBits[c];
    if (KnightTargets[sq] & pieces[Knight]) return true;
    if (KingTargets[sq] & pieces[King]) return true;
    if (PawnAttackers[c][sq] & pieces[Pawn]) return true;
    // A slider on one of the square's lines attacks it when nothing stands between them.
    std::uint64_t sliders = (DiagonalBits[sq] & (pieces[Bishop] | pieces[Queen]))
        | (StraightBits[sq] & (pieces[Rook] | pieces[Queen]));
    for (; sliders != 0; sliders &= sliders - 1) {
        const int slider = std::countr_zero(sliders);
        if (!(BetweenBits(sq, slider) & occupied)) return true;
    }
    return false;
}

bool EngineBoard::InCheck(int c) const {
    const int king = KingSquare[c];
    return king != -1 && IsAttacked(king, c ^ 1);
}

// The pieces of SideToMove that stand alone between their king and an enemy slider on a
// line the slider moves along. Only such a piece can open a line onto its own king.
std::uint64_t EngineBoard::PinnedPieces() const {
    const int king = KingSquare[SideToMove];
    if (king == -1) return 0; // only in a refused position
    const std::uint64_t* enemy = PieceBits[OtherSide];
    const std::uint64_t occupied = ColorBits[White] | ColorBits[Black];
    std::uint64_t pinned = 0;
    std::uint64_t sliders = (DiagonalBits[king] & (enemy[Bishop] | enemy[Queen]))
        | (StraightBits[king] & (enemy[Rook] | enemy[Queen]));
    for (; sliders != 0; sliders &= sliders - 1) {
        const int slider = std::countr_zero(sliders);
        const std::uint64_t blockers = BetweenBits(king, slider) & occupied;
        if (SingleBit(blockers) && (blockers & ColorBits[SideToMove]) != 0) pinned |= blockers;
    }
    return pinned;
}

// The squares where a piece other than the king can end a move out of check: the checking
// piece and, for a slider, the squares between it and the king; none against two checkers.
std::uint64_t EngineBoard::EvasionSquares() const {
    const int king = KingSquare[SideToMove];
    const std::uint64_t* enemy = PieceBits[OtherSide];
    const std::uint64_t occupied = ColorBits[White] | ColorBits[Black];
    std::uint64_t checkers = (KnightTargets[king] & enemy[Knight])
        | (PawnAttackers[OtherSide][king] & enemy[Pawn]) | (KingTargets[king] & enemy[King]);
    std::uint64_t between = 0;
    const std::uint64_t diagonal = enemy[Bishop] | enemy[Queen];
    const std::uint64_t straight = enemy[Rook] | enemy[Queen];
    for (int dir = 0; dir < 8; ++dir) {
        const int n = FirstOnRay(king, dir, occupied);
        if (n == -1 || !((IsDiagonalDirection(dir) ? diagonal : straight) >> n & 1)) continue;
        checkers |= std::uint64_t(1) << n;
        between |= BetweenBits(king, n);
    }
    return SingleBit(checkers) ? checkers | between : 0;
}

// Whether the move just made (sides already swapped) leaves the mover's king attacked.
// Castling, an en-passant capture (two squares vacated) or a move out of check is tested
// in full; any other king move was tested before it was made (ApplyMove). Any other move of a side
// not in check exposes its king only when a pinned piece leaves the line of its pin; the pins are
// found once per ply, before the move, so that most moves are checked with two table lookups.
inline bool EngineBoard::LeavesKingAttacked(EngineMove m, bool wasInCheck, bool kingMoved) {
    if (m.Flags & (FlagCastle | FlagEnPassant)) return InCheck(OtherSide);
    if (kingMoved) return false;
    if (wasInCheck) return InCheck(OtherSide);
    const int before = Ply - 1;
    if (!(pinned_[before] >> m.From & 1)) return false;
    const int king = KingSquare[OtherSide];
    return LineDirection[king][m.To] != LineDirection[king][m.From];
}

// ---- Making and taking back moves ----

// The squares between king and rook are empty and those the king crosses are not attacked.
bool EngineBoard::CastlingPathFree(const EngineCastling& castling) const {
    if ((ColorBits[White] | ColorBits[Black]) & castling.Empty) return false;
    for (std::uint64_t bits = castling.Safe; bits != 0; bits &= bits - 1)
        if (IsAttacked(std::countr_zero(bits), OtherSide)) return false;
    return true;
}

void EngineBoard::FindPins() {
    pinned_[Ply] = PinnedPieces();
    evasions_[Ply] = SideToMoveInCheck() ? EvasionSquares() : ~std::uint64_t(0);
    pinsKnown_[Ply] = true;
}

bool EngineBoard::ApplyMove(EngineMove m) {
    const bool wasInCheck = SideToMoveInCheck();
    if (!pinsKnown_[Ply]) FindPins();
    // Moves that are certainly illegal are refused before anything changes: a king step onto
    // an attacked square (its own square counted empty, so that a slider's line runs through
    // it; a piece on the target square attacks other squares only), or, in check, a move of
    // another piece that neither takes the checking piece nor blocks its line. En passant and
    // castling keep their own tests.
    const bool kingMoved = SquarePiece[m.From] == King;
    if (!(m.Flags & (FlagCastle | FlagEnPassant))) {
        if (kingMoved) {
            const std::uint64_t occupied
                = (ColorBits[White] | ColorBits[Black]) & ~(std::uint64_t(1) << m.From);
            if (IsAttackedThrough(m.To, OtherSide, occupied)) return false;
        } else if (!(evasions_[Ply] >> m.To & 1)) {
            return false;
        }
    }
    if (m.Flags & FlagCastle) {
        // The rights guarantee king and rook at home (LoadPosition, RightsKeptMask).
        const int k = CastlingByKingTo[m.To];
        if (wasInCheck || k < 0 || !CastlingPathFree(EngineCastlings[k])) return false;
        Shift(EngineCastlings[k].RookFrom, EngineCastlings[k].RookTo);
    }
    const int captured = SquarePiece[m.To];
    UndoRecord& undo = UndoStack[Ply];
    undo.Move = m;
    undo.CapturedPiece = captured;
    undo.CastleRights = CastleRights;
    undo.EpSquare = EpSquare;
    ++Ply;
    checkCache_[Ply] = -1;
    pinsKnown_[Ply] = false;
    CastleRights &= RightsKeptMask[m.From] & RightsKeptMask[m.To];
    if (m.Flags & FlagDoubleStep)
        EpSquare = SideToMove == White ? m.To + 8 : m.To - 8;
    else
        EpSquare = -1;
    TakeOff(m.To, captured);
    if (m.Flags & FlagPromotion) {
        Remove(m.From);
        Place(m.To, SideToMove, m.Promote);
    } else {
        Shift(m.From, m.To);
    }
    if (m.Flags & FlagEnPassant) Remove(SideToMove == White ? m.To + 8 : m.To - 8);
    std::swap(SideToMove, OtherSide);
    if (LeavesKingAttacked(m, wasInCheck, kingMoved)) {
        RetractMove();
        return false;
    }
    ++AcceptedMoves;
    return true;
}

void EngineBoard::RetractMove() {
    OtherSide = SideToMove;
    SideToMove = OtherSide ^ 1;
    --Ply;
    const UndoRecord& u = UndoStack[Ply];
    const EngineMove m = u.Move;
    CastleRights = u.CastleRights;
    EpSquare = u.EpSquare;
    if (!(m.Flags & (FlagPromotion | FlagCastle | FlagEnPassant))) { // most moves
        Shift(m.To, m.From);
        PutBack(m.To, u.CapturedPiece);
        return;
    }
    if (m.Flags & FlagPromotion) {
        Remove(m.To);
        Place(m.From, SideToMove, Pawn);
    } else {
        Shift(m.To, m.From);
    }
    PutBack(m.To, u.CapturedPiece);
    if (m.Flags & FlagCastle) {
        const EngineCastling& c = EngineCastlings[CastlingByKingTo[m.To]];
        Shift(c.RookTo, c.RookFrom);
    }
    if (m.Flags & FlagEnPassant) Place(SideToMove == White ? m.To + 8 : m.To - 8, OtherSide, Pawn);
}

} // namespace engine
