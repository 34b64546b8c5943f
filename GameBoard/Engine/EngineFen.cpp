#include "GameBoard/Engine/EngineFen.h"

#include "GameBoard/Rules/SquareNames.h"

#include <sstream>

namespace {

bool ParsePlacement(std::string_view text, FenPosition& position, std::string& error) {
    constexpr std::string_view pieces = "PNBRQKpnbrqk";
    int rank = 8;
    int file = 1;
    for (const char c : text) {
        if (c == '/') {
            if (file != 9 || rank == 1) {
                error = "placement: bad rank length or too many ranks";
                return false;
            }
            --rank;
            file = 1;
        } else if (c >= '1' && c <= '8') {
            file += c - '0';
            if (file > 9) {
                error = "placement: rank too long";
                return false;
            }
        } else if (pieces.find(c) != std::string_view::npos) {
            if (file > 8) {
                error = "placement: rank too long";
                return false;
            }
            position.Squares[CellOf(SquareAt(file, rank))] = c;
            ++file;
        } else {
            error = std::string("placement: unexpected character '") + c + "'";
            return false;
        }
    }
    if (rank != 1 || file != 9) {
        error = "placement: not eight full ranks";
        return false;
    }
    return true;
}

bool ParseCastling(std::string_view text, FenPosition& position, std::string& error) {
    if (text == "-") return true;
    for (const char c : text) {
        CanStillCastle member {};
        if (!CastleMemberOfLetter(c, member)) {
            error = "castling field";
            return false;
        }
        position.CastlingAllowed.Include(member);
    }
    return true;
}

bool ParseEnPassant(std::string_view text, FenPosition& position, std::string& error) {
    if (text == "-") return true;
    // The file letter in lower case only, as FEN writes it.
    const Square square = ParseSquare(text);
    if (square == Square::None || text[0] != LowerAscii(text[0])) {
        error = "en-passant field";
        return false;
    }
    position.EnPassant = square;
    return true;
}

} // namespace

bool ParseFen(std::string_view fen, FenPosition& position, std::string& error) {
    position = FenPosition {};
    position.Squares.fill(' ');
    position.Squares[NoneCell] = '_';
    position.Squares[EndCell] = '\0';

    std::istringstream in { std::string(fen) };
    std::string placement, side, castling = "-", enPassant = "-";
    if (!(in >> placement >> side)) {
        error = "expected placement and side to move";
        return false;
    }
    in >> castling >> enPassant;
    if (!ParsePlacement(placement, position, error)) return false;
    if (side != "w" && side != "b") {
        error = "side to move";
        return false;
    }
    position.WhiteToMove = side == "w";
    return ParseCastling(castling, position, error) && ParseEnPassant(enPassant, position, error);
}
