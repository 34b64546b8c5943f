// Loads arbitrary positions into the engine, as FEN text or as raw square cells, and checks on
// each accepted one:
// - every generated move against a plain model of the rules kept here (squares walked on the
//   two arrays, no bit sets or tables of the engine): ApplyMove accepts exactly the moves that
//   leave the mover's king safe, so check, pins, en passant and castling are judged alike;
// - that RetractMove restores everything ApplyMove changed (squares, square sets, kings,
//   castling rights, en-passant square, running score sums), one and two plies deep;
// - that the captures-only list is the full list without its quiet moves;
// - that the evaluation counts alike for both colours (the position with colours exchanged);
// - a search of one or two plies (with its capture search): it returns to the root position
//   and chooses a legal move.
// The first byte chooses the form (bit 0: raw cells or FEN) and, besides the moves one ply
// deep, one more piece of work (bits 1 and 2): the moves two plies deep, a search of one or of
// two plies, or the colours exchanged. So each input is a small piece of work, and the fuzzer
// tries many positions a second; the sanitizers watch every access meanwhile.
#include "FuzzChecks.h"
#include "GameBoard/Engine/EngineFen.h"
#include "GameBoard/Engine/EngineSearch.h"
#include "GameBoard/Rules/SquareNumbering.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace {

using namespace engine;

// ---- What ApplyMove changes and RetractMove must restore ----

struct BoardState {
    std::uint64_t ColorSets[2];
    std::uint64_t PieceSets[2][7];
    int Color[64];
    int Piece[64];
    int Side, Other, Rights, Ep, Ply;
    int Kings[2];
    int Sums[2];
    int Unused; // makes the size a multiple of 8: no padding, so memcmp compares the members
};
static_assert(sizeof(BoardState) == 16 + 112 + 512 + 40);

bool operator==(const BoardState& a, const BoardState& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

BoardState StateOf(const EngineBoard& b) {
    BoardState s;
    std::memset(&s, 0, sizeof s);
    std::memcpy(s.Color, b.SquareColor, sizeof s.Color);
    std::memcpy(s.Piece, b.SquarePiece, sizeof s.Piece);
    s.Side = b.SideToMove;
    s.Other = b.OtherSide;
    s.Rights = b.CastleRights;
    s.Ep = b.EpSquare;
    s.Ply = b.Ply;
    s.Kings[0] = b.KingSquare[0];
    s.Kings[1] = b.KingSquare[1];
    std::memcpy(s.ColorSets, b.ColorBits, sizeof s.ColorSets);
    std::memcpy(s.PieceSets, b.PieceBits, sizeof s.PieceSets);
    s.Sums[0] = b.ScoreSum[0];
    s.Sums[1] = b.ScoreSum[1];
    return s;
}

// The square sets, kings and score sums agree with the two arrays.
void CheckKeptInStep(const EngineBoard& b) {
    std::uint64_t colours[2] = { 0, 0 };
    std::uint64_t pieces[2][7] = {};
    int sums[2] = { 0, 0 };
    for (int sq = 0; sq < 64; ++sq) {
        const int c = b.SquareColor[sq];
        if (c == NoColor) {
            FUZZ_CHECK(b.SquarePiece[sq] == NoPiece);
            continue;
        }
        FUZZ_CHECK(
            (c == White || c == Black) && b.SquarePiece[sq] >= Pawn && b.SquarePiece[sq] <= King);
        colours[c] |= std::uint64_t(1) << sq;
        pieces[c][b.SquarePiece[sq]] |= std::uint64_t(1) << sq;
        if (b.Scores != nullptr) sums[c] += (*b.Scores)[c][b.SquarePiece[sq]][sq];
    }
    FUZZ_CHECK(std::memcmp(colours, b.ColorBits, sizeof colours) == 0);
    FUZZ_CHECK(std::memcmp(pieces, b.PieceBits, sizeof pieces) == 0);
    FUZZ_CHECK(sums[0] == b.ScoreSum[0] && sums[1] == b.ScoreSum[1]);
    for (int c = White; c <= Black; ++c)
        FUZZ_CHECK(b.KingSquare[c] >= 0 && b.SquareColor[b.KingSquare[c]] == c
            && b.SquarePiece[b.KingSquare[c]] == King);
}

// ---- A plain model of the rules on the two arrays ----

struct PlainBoard {
    int Color[64];
    int Piece[64];
};

bool OnBoard(int row, int column) {
    return row >= 0 && row < 8 && column >= 0 && column < 8;
}

bool Holds(const PlainBoard& p, int row, int column, int colour, int piece) {
    return OnBoard(row, column) && p.Color[row * 8 + column] == colour
        && p.Piece[row * 8 + column] == piece;
}

// Whether a piece of colour c attacks the square, found by looking outwards from it.
bool PlainAttacked(const PlainBoard& p, int square, int c) {
    const int row = square / 8;
    const int column = square % 8;
    const int pawnRow = c == White ? row + 1 : row - 1; // White pawns move towards row 0
    if (Holds(p, pawnRow, column - 1, c, Pawn) || Holds(p, pawnRow, column + 1, c, Pawn))
        return true;
    static constexpr int Knight[8][2] = { { -2, -1 }, { -2, 1 }, { -1, -2 }, { -1, 2 }, { 1, -2 },
        { 1, 2 }, { 2, -1 }, { 2, 1 } };
    for (const auto& d : Knight)
        if (Holds(p, row + d[0], column + d[1], c, engine::Knight)) return true;
    for (int dr = -1; dr <= 1; ++dr) {
        for (int dc = -1; dc <= 1; ++dc) {
            if (dr == 0 && dc == 0) continue;
            if (Holds(p, row + dr, column + dc, c, King)) return true;
            const int slider = dr != 0 && dc != 0 ? Bishop : Rook;
            for (int r = row + dr, f = column + dc; OnBoard(r, f); r += dr, f += dc) {
                const int sq = r * 8 + f;
                if (p.Color[sq] == NoColor) continue;
                if (p.Color[sq] == c && (p.Piece[sq] == slider || p.Piece[sq] == Queen))
                    return true;
                break;
            }
        }
    }
    return false;
}

int PlainKing(const PlainBoard& p, int colour) {
    for (int sq = 0; sq < 64; ++sq)
        if (p.Color[sq] == colour && p.Piece[sq] == King) return sq;
    return -1;
}

// Whether the pseudo-legal move m of the side to move is legal: castling out of, through or
// into check is not, nor is any move that leaves the mover's king attacked.
bool PlainLegal(const EngineBoard& b, EngineMove m) {
    PlainBoard p;
    std::memcpy(p.Color, b.SquareColor, sizeof p.Color);
    std::memcpy(p.Piece, b.SquarePiece, sizeof p.Piece);
    const int us = b.SideToMove;
    const int them = us ^ 1;
    if (m.Flags & FlagCastle) {
        if (PlainAttacked(p, m.From, them)) return false;
        const int step = m.To > m.From ? 1 : -1;
        for (int sq = m.From + step; sq != m.To + step; sq += step)
            if (PlainAttacked(p, sq, them)) return false;
        const int rookFrom = step > 0 ? m.From + 3 : m.From - 4;
        for (int sq = m.From + step; sq != rookFrom; sq += step)
            if (p.Color[sq] != NoColor) return false;
        p.Color[m.From + step] = us;
        p.Piece[m.From + step] = Rook;
        p.Color[rookFrom] = NoColor;
        p.Piece[rookFrom] = NoPiece;
    }
    if (m.Flags & FlagEnPassant) {
        const int taken = us == White ? m.To + 8 : m.To - 8;
        p.Color[taken] = NoColor;
        p.Piece[taken] = NoPiece;
    }
    p.Color[m.To] = us;
    p.Piece[m.To] = (m.Flags & FlagPromotion) ? m.Promote : p.Piece[m.From];
    p.Color[m.From] = NoColor;
    p.Piece[m.From] = NoPiece;
    return !PlainAttacked(p, PlainKing(p, us), them);
}

// ---- The checks at one ply ----

// The captures-only list is the full list without its quiet moves: same moves, order and keys.
void CheckCaptureList(EngineBoard& b) {
    b.GenerateMoves();
    StackEntry expected[MoveStackSize / 2];
    int count = 0;
    for (int i = b.CurrentFirst(); i < b.CurrentEnd(); ++i)
        if (b.MoveList[i].Move.Flags & (FlagCapture | FlagPromotion))
            expected[count++] = b.MoveList[i];
    b.GenerateCaptures();
    FUZZ_CHECK(b.CurrentEnd() - b.CurrentFirst() == count);
    for (int n = 0; n < count; ++n) {
        const StackEntry& e = b.MoveList[b.CurrentFirst() + n];
        FUZZ_CHECK(e.Move == expected[n].Move && e.Key == expected[n].Key);
    }
}

// Tries every generated move of the current ply: accepted exactly when legal, and taken back
// to the state before. Below, while budget lasts, the same one ply deeper. Returns the number
// of legal moves.
int CheckMoves(EngineBoard& b, int depth, int& budget) {
    const BoardState before = StateOf(b);
    b.GenerateMoves();
    const int first = b.CurrentFirst();
    const int end = b.CurrentEnd();
    int legal = 0;
    for (int i = first; i < end; ++i) {
        const EngineMove m = b.MoveList[i].Move;
        FUZZ_CHECK(b.SquareColor[m.From] == b.SideToMove);
        FUZZ_CHECK(b.SquareColor[m.To] != b.SideToMove || (m.Flags & FlagCastle));
        const bool expected = PlainLegal(b, m);
        const bool accepted = b.ApplyMove(m);
        FUZZ_CHECK(accepted == expected);
        if (!accepted) {
            FUZZ_CHECK(StateOf(b) == before);
            continue;
        }
        ++legal;
        --budget;
        if (depth > 1 && budget > 0) {
            CheckKeptInStep(b);
            CheckMoves(b, depth - 1, budget);
        }
        b.RetractMove();
        FUZZ_CHECK(StateOf(b) == before);
    }
    // The lists made below overwrite this ply's entries.
    CheckCaptureList(b);
    if (b.SideToMoveInCheck()) {
        int evasions[EngineSearch::MaxEvasions];
        const int n = b.GenerateMovesInCheck(evasions, EngineSearch::MaxEvasions);
        FUZZ_CHECK(b.CurrentEnd() - b.CurrentFirst() == end - first);
        const EngineBoard::EvasionFilter filter = b.EvasionsOfPly();
        int notRefused = 0;
        for (int i = b.CurrentFirst(); i < b.CurrentEnd(); ++i) {
            const EngineMove m = b.MoveList[i].Move;
            if (filter.Refuses(m)) {
                FUZZ_CHECK(!PlainLegal(b, m));
            } else {
                FUZZ_CHECK(n < 0 || (notRefused < n && evasions[notRefused] == i));
                ++notRefused;
            }
        }
        FUZZ_CHECK(n < 0 || n == notRefused);
    }
    return legal;
}

// ---- The position with the colours exchanged ----

// Cells for LoadPosition: rank order reversed and the colours of the pieces swapped.
SquareCells MirroredCells(const EngineBoard& b) {
    static constexpr char Letters[2][6]
        = { { 'P', 'N', 'B', 'R', 'Q', 'K' }, { 'p', 'n', 'b', 'r', 'q', 'k' } };
    SquareCells cells {};
    cells[NoneCell] = '_';
    for (int sq = 0; sq < SquareCount; ++sq) {
        const int c = b.SquareColor[sq];
        cells[CellOf(SquareOfIndex(sq ^ 56))]
            = c == NoColor ? ' ' : Letters[c ^ 1][b.SquarePiece[sq]];
    }
    return cells;
}

EnginePositionSource MirroredSource(const EngineBoard& b, const SquareCells& cells) {
    const int r = b.CastleRights;
    const int swapped = (r >> 2 & 3) | (r & 3) << 2; // White's rights are Black's and back
    return EnginePositionSource { cells.data(), b.SideToMove == Black,
        CastleSet::FromBits(std::uint8_t(swapped)),
        b.EpSquare < 0 ? Square::None : ToSquare((b.EpSquare ^ 56) + 1) };
}

// ---- A stop for searches that run long ----

// Requests a stop of the search in progress after a few milliseconds, the way the board's
// thread stops a search: some crowded positions make the capture search very large, and the
// fuzzer looks for faults, not for slow positions; what such a search runs through is seen in
// its first milliseconds, and a stopped search must end back at the root all the same. One
// thread for the fuzzer's whole run, armed for each search.
constexpr auto SearchTime = std::chrono::milliseconds(3);

class StopWatchdog {
public:
    StopWatchdog()
        : thread_([this] { Watch(); }) { }
    ~StopWatchdog() {
        {
            const std::lock_guard lock(mutex_);
            ending_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }
    const std::atomic<bool>* Flag() const { return &stop_; }
    void Arm() {
        stop_.store(false);
        {
            const std::lock_guard lock(mutex_);
            armed_ = true;
            ++round_;
        }
        wake_.notify_one();
    }
    // Returns whether the stop was requested.
    bool Disarm() {
        const std::lock_guard lock(mutex_);
        armed_ = false;
        return stop_.load();
    }

private:
    void Watch() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return ending_ || armed_; });
            if (ending_) return;
            const unsigned round = round_;
            const bool over = !wake_.wait_for(
                lock, SearchTime, [&] { return ending_ || !armed_ || round_ != round; });
            if (over) stop_.store(true);
            if (over) wake_.wait(lock, [&] { return ending_ || !armed_ || round_ != round; });
        }
    }

    std::atomic<bool> stop_ { false };
    std::mutex mutex_;
    std::condition_variable wake_;
    bool ending_ = false;
    bool armed_ = false;
    unsigned round_ = 0;
    std::thread thread_;
};

// ---- One input ----

struct Engines {
    EngineSearch Search;
    EngineSearch Mirror;
    StopWatchdog Watchdog;
};

// What an input asks for besides the moves of the position (bits 1 and 2 of its first byte).
enum class Task { SecondPly, SearchOnePly, SearchTwoPlies, ColoursExchanged };

void CheckPosition(Engines& e, const EnginePositionSource& source, Task task) {
    EngineSearch& s = e.Search;
    if (s.LoadPosition(source) != LoadRefusal::Accepted) return;
    EngineBoard& b = s.Board;
    s.PrepareSquareScores();
    CheckKeptInStep(b);
    const BoardState root = StateOf(b);

    // The moves, one ply deep or two, with a bound on the second ply's work.
    int budget = 200;
    CheckMoves(b, task == Task::SecondPly ? 2 : 1, budget);
    FUZZ_CHECK(StateOf(b) == root);

    if (task == Task::ColoursExchanged) {
        const SquareCells cells = MirroredCells(b);
        EngineSearch& m = e.Mirror;
        FUZZ_CHECK(m.LoadPosition(MirroredSource(b, cells)) == LoadRefusal::Accepted);
        m.PrepareSquareScores();
        FUZZ_CHECK(m.Evaluate() == s.Evaluate());
        return;
    }
    if (task == Task::SecondPly) return;

    // A small search from a fresh best line; it ends back at the root with a legal move.
    for (EngineMove& move : s.BestLine[0]) move = EngineMove {};
    s.StopFlag = e.Watchdog.Flag();
    e.Watchdog.Arm();
    s.SearchRoot(task == Task::SearchOnePly ? 1 : 2);
    e.Watchdog.Disarm();
    s.StopFlag = nullptr;
    FUZZ_CHECK(StateOf(b) == root);
    const EngineMove best = s.BestLine[0][0];
    if (best.From != best.To) {
        FUZZ_CHECK(best.From < 64 && best.To < 64);
        FUZZ_CHECK(b.ApplyMove(best));
        b.RetractMove();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static const auto engines = std::make_unique<Engines>();
    const auto task = static_cast<Task>(data[0] >> 1 & 3);
    if (data[0] & 1) {
        // Raw cells: 64 arbitrary characters, side, castling bits and en-passant square.
        SquareCells cells {};
        cells[NoneCell] = '_';
        for (const Square s : BoardSquares) {
            const std::size_t at = CellOf(s); // input byte n is cell n
            cells[at] = at < size ? char(data[at]) : ' ';
        }
        const std::uint8_t flags = size > 65 ? data[65] : 0;
        const std::uint8_t ep = size > 66 ? data[66] : 0;
        const EnginePositionSource source { cells.data(), bool(flags & 1),
            CastleSet::FromBits(std::uint8_t((flags >> 1) & 15)), ToSquare(ep % 65) };
        CheckPosition(*engines, source, task);
    } else {
        const std::string_view fen(reinterpret_cast<const char*>(data + 1), size - 1);
        FenPosition position;
        std::string error;
        if (ParseFen(fen, position, error)) CheckPosition(*engines, position.Source(), task);
    }
    return 0;
}
