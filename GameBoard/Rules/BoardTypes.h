#pragma once
// Value types shared by the board component, its engine and the game window.
// Plain C++: no toolkit dependency.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

// A square of the board: None = 0, then A8 = 1 .. H8 = 8, A7 = 9 .. down to A1 = 57 .. H1 = 64.
// value = (8 - rank) * 8 + file, files a..h numbered 1..8.
enum class Square : std::uint8_t {
    None = 0,
    // clang-format off
    A8, B8, C8, D8, E8, F8, G8, H8,
    A7, B7, C7, D7, E7, F7, G7, H7,
    A6, B6, C6, D6, E6, F6, G6, H6,
    A5, B5, C5, D5, E5, F5, G5, H5,
    A4, B4, C4, D4, E4, F4, G4, H4,
    A3, B3, C3, D3, E3, F3, G3, H3,
    A2, B2, C2, D2, E2, F2, G2, H2,
    A1, B1, C1, D1, E1, F1, G1, H1,
    // clang-format on
};

constexpr int ToInt(Square s) {
    return static_cast<int>(s);
}
constexpr Square ToSquare(int value) {
    return static_cast<Square>(value);
}

// 1 for file a .. 8 for file h.
constexpr int FileOf(Square s) {
    return ((ToInt(s) - 1) % 8) + 1;
}
// 8 for A8..H8 .. 1 for A1..H1.
constexpr int RankOf(Square s) {
    return 8 - ((ToInt(s) - 1) / 8);
}
// None when file or rank lies outside 1..8.
constexpr Square SquareAt(int file, int rank) {
    if (file < 1 || file > 8 || rank < 1 || rank > 8) return Square::None;
    return ToSquare((8 - rank) * 8 + file);
}
// The square on a's file halfway between the ranks of a and b: the one a pawn's double step
// from a to b passes over.
constexpr Square SquareHalfway(Square a, Square b) {
    return SquareAt(FileOf(a), (RankOf(a) + RankOf(b)) / 2);
}

// Castling rights: bits 0..3 of one byte.
enum class CanStillCastle : std::uint8_t {
    WhiteKingSide,
    WhiteQueenSide,
    BlackKingSide,
    BlackQueenSide
};

// Sides of the border that carry coordinate labels: bits 0..3 of one byte.
enum class DisplayCoords : std::uint8_t { West, North, East, South };

// A small set of an enumeration whose members are bit positions 0..7 of one byte.
template <typename E> class ByteSet {
public:
    constexpr ByteSet() = default;
    constexpr ByteSet(std::initializer_list<E> members) {
        for (E m : members) Include(m);
    }
    static constexpr ByteSet FromBits(std::uint8_t bits) {
        ByteSet s;
        s.bits_ = bits;
        return s;
    }
    constexpr std::uint8_t Bits() const { return bits_; }
    constexpr bool Contains(E m) const { return bits_ & Bit(m); }
    constexpr void Include(E m) { bits_ |= Bit(m); }
    constexpr void Exclude(E m) { bits_ &= static_cast<std::uint8_t>(~Bit(m)); }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr bool operator==(const ByteSet&) const = default;

private:
    static constexpr std::uint8_t Bit(E m) {
        return static_cast<std::uint8_t>(1u << static_cast<unsigned>(m));
    }
    std::uint8_t bits_ = 0;
};

using CastleSet = ByteSet<CanStillCastle>;
using CoordSet = ByteSet<DisplayCoords>;

constexpr CastleSet AllCastling { CanStillCastle::WhiteKingSide, CanStillCastle::WhiteQueenSide,
    CanStillCastle::BlackKingSide, CanStillCastle::BlackQueenSide };

// The letters of the castling rights, member i of CanStillCastle being CastleLetters[i]: K and
// Q for White's king and queen side, k and q for Black's (as chess tools write them).
inline constexpr std::string_view CastleLetters = "KQkq";

// The member a castling letter stands for; false for any other character.
constexpr bool CastleMemberOfLetter(char letter, CanStillCastle& member) {
    const std::size_t i = CastleLetters.find(letter);
    if (i == std::string_view::npos) return false;
    member = static_cast<CanStillCastle>(i);
    return true;
}

// The rights named by letters; characters other than K, Q, k and q are ignored.
inline CastleSet CastleSetFromLetters(std::string_view letters) {
    CastleSet set;
    CanStillCastle member {};
    for (const char c : letters)
        if (CastleMemberOfLetter(c, member)) set.Include(member);
    return set;
}

// The letters of the rights in the order KQkq, "-" for none.
inline std::string CastleSetLetters(CastleSet set) {
    std::string text;
    for (std::size_t i = 0; i < CastleLetters.size(); ++i)
        if (set.Contains(static_cast<CanStillCastle>(i))) text += CastleLetters[i];
    return text.empty() ? "-" : text;
}

// Scheduling priority of the engine thread.
enum class TThreadPriority : std::uint8_t {
    tpIdle,
    tpLowest,
    tpLower,
    tpNormal,
    tpHigher,
    tpHighest,
    tpTimeCritical
};

// Colour: 24-bit RGB as 0x00BBGGRR (red in the lowest byte).
using TColor = std::uint32_t;
constexpr TColor RGBColor(int r, int g, int b) {
    return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16);
}
constexpr TColor clBlack = RGBColor(0, 0, 0);
constexpr TColor clGray = RGBColor(128, 128, 128);
constexpr TColor clSilver = RGBColor(192, 192, 192);
constexpr TColor clWhite = RGBColor(255, 255, 255);

// Events. Sender is always the board (the rules model the board is built on).
class TChessModel;
using TNotifyEvent = std::function<void(TChessModel* Sender)>;
using TMoveEvent = std::function<void(TChessModel* Sender, Square oldSq, Square newSq)>;
using TCaptureEvent
    = std::function<void(TChessModel* Sender, Square oldSq, Square newSq, char CapturedPiece)>;
using TOneSquareEvent = std::function<void(TChessModel* Sender, Square square)>;
using TPromotionEvent
    = std::function<void(TChessModel* Sender, Square oldSq, Square newSq, char& NewPiece)>;
using TThinkEvent = std::function<void(TChessModel* Sender, Square& oldsq, Square& newsq)>;
