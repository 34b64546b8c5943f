// Loading the engine board from the board component's state, with the clean-up and the
// refusals that keep the generators inside the board.
#include "GameBoard/Engine/EngineBoard.h"

namespace engine {

namespace {

// Colour and piece code of a position character; anything but the twelve piece
// letters is an empty square.
void DecodePiece(char c, int& colour, int& piece) {
    constexpr std::string_view letters = "pnbrqk";
    colour = NoColor;
    piece = NoPiece;
    const bool black = c >= 'a' && c <= 'z';
    const bool white = c >= 'A' && c <= 'Z';
    if (!black && !white) return;
    const char lower = white ? char(c - 'A' + 'a') : c;
    const auto code = letters.find(lower);
    if (code == std::string_view::npos) return;
    colour = black ? Black : White;
    piece = int(code);
}

} // namespace

std::string_view RefusalText(LoadRefusal refusal) {
    switch (refusal) {
    case LoadRefusal::Accepted:
        return "accepted";
    case LoadRefusal::NoPosition:
        return "no position";
    case LoadRefusal::WhiteKingCount:
        return "white must have exactly one king";
    case LoadRefusal::BlackKingCount:
        return "black must have exactly one king";
    case LoadRefusal::PawnOnBackRank:
        return "pawn on the first or last rank";
    case LoadRefusal::KingCapturable:
        return "the side not to move is in check";
    }
    return "unknown";
}

LoadRefusal EngineBoard::LoadPosition(const EnginePositionSource& source) {
    Ply = 0;
    PlyFirst[0] = 0;
    PlyEnd[0] = 0;
    if (source.Squares.Empty()) return LoadRefusal::NoPosition;

    int kings[2] = { 0, 0 };
    int pieces[2] = { 0, 0 };
    bool pawnOnBackRank = false;
    for (int i = 0; i < 64; ++i) {
        DecodePiece(source.Squares.At(SquareOfIndex(i)), SquareColor[i], SquarePiece[i]);
        if (SquareColor[i] != NoColor) ++pieces[SquareColor[i]];
        if (SquarePiece[i] == King) ++kings[SquareColor[i]];
        if (SquarePiece[i] == Pawn && (i < 8 || i >= 56)) pawnOnBackRank = true;
    }
    GenerationReserve = 27 * (pieces[White] > pieces[Black] ? pieces[White] : pieces[Black]) + 4;
    RebuildSquareSets();
    SideToMove = source.WhiteToMove ? White : Black;
    OtherSide = SideToMove ^ 1;

    // Castling rights count only with king and rook on their home squares: a castling
    // without its rook would otherwise create one.
    auto holds = [this](int sq, int colour, int piece) {
        return SquareColor[sq] == colour && SquarePiece[sq] == piece;
    };
    const CastleSet rights = source.CastlingAllowed;
    CastleRights = 0;
    for (const EngineCastling& c : EngineCastlings)
        if (rights.Contains(c.Member) && holds(c.KingFrom, c.Colour, King)
            && holds(c.RookFrom, c.Colour, Rook))
            CastleRights |= c.Right;

    // The en-passant square counts only where a capture onto it is possible: empty, on
    // rank 6 (White to move) or rank 3 (Black to move), with the enemy pawn in front of
    // it. Otherwise taking it back would put a pawn where there was none.
    const int ep = SquareIndexOf(source.EnPassant);
    EpSquare = -1;
    if (SideToMove == White && ep >= 16 && ep <= 23 && SquareColor[ep] == NoColor
        && holds(ep + 8, Black, Pawn))
        EpSquare = ep;
    if (SideToMove == Black && ep >= 40 && ep <= 47 && SquareColor[ep] == NoColor
        && holds(ep - 8, White, Pawn))
        EpSquare = ep;

    if (kings[White] != 1) return LoadRefusal::WhiteKingCount;
    if (kings[Black] != 1) return LoadRefusal::BlackKingCount;
    if (pawnOnBackRank) return LoadRefusal::PawnOnBackRank;
    if (InCheck(OtherSide)) return LoadRefusal::KingCapturable;
    return LoadRefusal::Accepted;
}

} // namespace engine
