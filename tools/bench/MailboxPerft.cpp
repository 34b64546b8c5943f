// pellium-mailbox-perft: a plain 10 x 12 mailbox move counter, the yardstick the engine's
// perft is measured against. It generates every pseudo-legal move, makes and unmakes each
// one and keeps it when its own king is not attacked afterwards (no counting shortcut at
// the last ply). Reads "DEPTH FEN" lines from standard input and prints
// "nodes N cpu_ms T" per line, T being this thread's CPU time.
#include <cctype>
#include <cstdint>
#include <ctime>
#include <iostream>
#include <sstream>
#include <string>

namespace {

// Board cells hold 0 (empty), Off (outside), or +piece for White and -piece for Black.
enum Piece : int { Empty = 0, Pawn = 1, Knight, Bishop, Rook, Queen, King, Off = 7 };

constexpr int KnightSteps[8] = { -21, -19, -12, -8, 8, 12, 19, 21 };
constexpr int KingSteps[8] = { -11, -10, -9, -1, 1, 9, 10, 11 };
constexpr int BishopSteps[4] = { -11, -9, 9, 11 };
constexpr int RookSteps[4] = { -10, -1, 1, 10 };

// Castling bits: 1 White short, 2 White long, 4 Black short, 8 Black long.
struct Move {
    int From = 0;
    int To = 0;
    int Promote = 0;
    int Captured = 0;
    bool EnPassant = false;
    bool Castle = false;
};

struct Undo {
    int Castling;
    int EpSquare;
};

class MailboxBoard {
public:
    bool Load(const std::string& fen);
    std::uint64_t Perft(int depth);

private:
    bool Attacked(int sq, int bySign) const;
    int Generate(Move* out) const;
    void Make(const Move& m);
    void Unmake(const Move& m, const Undo& u);
    void Add(Move*& out, int from, int to, int captured) const;

    int cell_[120];
    int side_ = 1; // +1 White, -1 Black
    int castling_ = 0;
    int epSquare_ = 0; // cell index, 0 for none
    int king_[2] = { 0, 0 }; // [0] White, [1] Black
};

int Cell(int file, int rankFromTop) {
    return 21 + 10 * rankFromTop + file;
}

bool MailboxBoard::Load(const std::string& fen) {
    std::istringstream in(fen);
    std::string placement, side, castling, ep;
    if (!(in >> placement >> side >> castling >> ep)) return false;
    for (int& c : cell_) c = Off;
    for (int r = 0; r < 8; ++r)
        for (int f = 0; f < 8; ++f) cell_[Cell(f, r)] = Empty;
    int file = 0, rank = 0;
    for (const char ch : placement) {
        if (ch == '/') {
            ++rank;
            file = 0;
        } else if (std::isdigit(static_cast<unsigned char>(ch))) {
            file += ch - '0';
        } else {
            const std::string letters = "pnbrqk";
            const auto code = letters.find(char(std::tolower(static_cast<unsigned char>(ch))));
            if (code == std::string::npos || file > 7 || rank > 7) return false;
            const int sign = std::isupper(static_cast<unsigned char>(ch)) ? 1 : -1;
            cell_[Cell(file, rank)] = sign * int(code + 1);
            if (code + 1 == King) king_[sign > 0 ? 0 : 1] = Cell(file, rank);
            ++file;
        }
    }
    side_ = side == "b" ? -1 : 1;
    castling_ = 0;
    for (const char ch : castling) {
        castling_ |= ch == 'K' ? 1 : ch == 'Q' ? 2 : ch == 'k' ? 4 : ch == 'q' ? 8 : 0;
    }
    epSquare_ = ep.size() == 2 ? Cell(ep[0] - 'a', '8' - ep[1]) : 0;
    return true;
}

// Whether a piece of the given side attacks sq, looking outwards from sq.
bool MailboxBoard::Attacked(int sq, int bySign) const {
    const int pawnFrom = bySign > 0 ? 10 : -10; // White pawns attack upwards
    if (cell_[sq + pawnFrom - 1] == bySign * Pawn || cell_[sq + pawnFrom + 1] == bySign * Pawn)
        return true;
    for (const int d : KnightSteps)
        if (cell_[sq + d] == bySign * Knight) return true;
    for (const int d : KingSteps)
        if (cell_[sq + d] == bySign * King) return true;
    for (const int d : BishopSteps) {
        int n = sq + d;
        while (cell_[n] == Empty) n += d;
        if (cell_[n] == bySign * Bishop || cell_[n] == bySign * Queen) return true;
    }
    for (const int d : RookSteps) {
        int n = sq + d;
        while (cell_[n] == Empty) n += d;
        if (cell_[n] == bySign * Rook || cell_[n] == bySign * Queen) return true;
    }
    return false;
}

void MailboxBoard::Add(Move*& out, int from, int to, int captured) const {
    const bool pawn = cell_[from] * side_ == Pawn;
    const int lastRank = side_ > 0 ? 2 : 9; // row of the cell index
    if (pawn && to / 10 == lastRank) {
        for (int p = Knight; p <= Queen; ++p) *out++ = Move { from, to, p, captured, false, false };
        return;
    }
    *out++ = Move { from, to, 0, captured, false, false };
}

int MailboxBoard::Generate(Move* out) const {
    Move* const start = out;
    for (int sq = 21; sq <= 98; ++sq) {
        const int piece = cell_[sq] * side_;
        if (piece <= 0 || piece == Off || cell_[sq] == Off) continue;
        if (piece == Pawn) {
            const int up = side_ > 0 ? -10 : 10;
            const int startRow = side_ > 0 ? 8 : 3;
            if (cell_[sq + up] == Empty) {
                Add(out, sq, sq + up, Empty);
                if (sq / 10 == startRow && cell_[sq + 2 * up] == Empty)
                    Add(out, sq, sq + 2 * up, Empty);
            }
            for (const int d : { up - 1, up + 1 }) {
                const int target = cell_[sq + d];
                if (target != Off && target * side_ < 0) Add(out, sq, sq + d, target);
                if (sq + d == epSquare_)
                    *out++ = Move { sq, sq + d, 0, -side_ * Pawn, true, false };
            }
            continue;
        }
        const int* steps = piece == Knight ? KnightSteps
            : piece == Bishop              ? BishopSteps
            : piece == Rook                ? RookSteps
                                           : KingSteps;
        const int count = piece == Bishop || piece == Rook ? 4 : 8;
        const bool slides = piece == Bishop || piece == Rook || piece == Queen;
        for (int k = 0; k < count; ++k) {
            for (int n = sq + steps[k];; n += steps[k]) {
                const int target = cell_[n];
                if (target == Off || target * side_ > 0) break;
                Add(out, sq, n, target);
                if (target != Empty || !slides) break;
            }
        }
    }
    // Castling: rights imply king and rook at home; the king may not be in, pass through
    // or land on an attacked square.
    const int home = side_ > 0 ? 95 : 25;
    const int shortBit = side_ > 0 ? 1 : 4;
    if ((castling_ & shortBit) && cell_[home + 1] == Empty && cell_[home + 2] == Empty
        && !Attacked(home, -side_) && !Attacked(home + 1, -side_) && !Attacked(home + 2, -side_))
        *out++ = Move { home, home + 2, 0, Empty, false, true };
    if ((castling_ & (shortBit << 1)) && cell_[home - 1] == Empty && cell_[home - 2] == Empty
        && cell_[home - 3] == Empty && !Attacked(home, -side_) && !Attacked(home - 1, -side_)
        && !Attacked(home - 2, -side_))
        *out++ = Move { home, home - 2, 0, Empty, false, true };
    return int(out - start);
}

// Castling bits that survive a move from or to a cell.
int KeptRights(int cell) {
    switch (cell) {
    case 21:
        return 7;
    case 25:
        return 3;
    case 28:
        return 11;
    case 91:
        return 13;
    case 95:
        return 12;
    case 98:
        return 14;
    default:
        return 15;
    }
}

void MailboxBoard::Make(const Move& m) {
    const int piece = cell_[m.From];
    cell_[m.To] = m.Promote != 0 ? side_ * m.Promote : piece;
    cell_[m.From] = Empty;
    if (m.EnPassant) cell_[m.To + (side_ > 0 ? 10 : -10)] = Empty;
    if (m.Castle) {
        const bool kingSide = m.To > m.From;
        cell_[kingSide ? m.From + 1 : m.From - 1] = cell_[kingSide ? m.From + 3 : m.From - 4];
        cell_[kingSide ? m.From + 3 : m.From - 4] = Empty;
    }
    if (piece * side_ == King) king_[side_ > 0 ? 0 : 1] = m.To;
    castling_ &= KeptRights(m.From) & KeptRights(m.To);
    const bool doubleStep = piece * side_ == Pawn && (m.To - m.From == 20 || m.From - m.To == 20);
    epSquare_ = doubleStep ? (m.From + m.To) / 2 : 0;
    side_ = -side_;
}

void MailboxBoard::Unmake(const Move& m, const Undo& u) {
    side_ = -side_;
    castling_ = u.Castling;
    epSquare_ = u.EpSquare;
    const int piece = m.Promote != 0 ? side_ * Pawn : cell_[m.To];
    cell_[m.From] = piece;
    cell_[m.To] = m.EnPassant ? Empty : m.Captured;
    if (m.EnPassant) cell_[m.To + (side_ > 0 ? 10 : -10)] = m.Captured;
    if (m.Castle) {
        const bool kingSide = m.To > m.From;
        cell_[kingSide ? m.From + 3 : m.From - 4] = cell_[kingSide ? m.From + 1 : m.From - 1];
        cell_[kingSide ? m.From + 1 : m.From - 1] = Empty;
    }
    if (piece * side_ == King) king_[side_ > 0 ? 0 : 1] = m.From;
}

std::uint64_t MailboxBoard::Perft(int depth) {
    if (depth == 0) return 1;
    Move moves[256];
    const int count = Generate(moves);
    const Undo undo { castling_, epSquare_ };
    std::uint64_t nodes = 0;
    for (int i = 0; i < count; ++i) {
        Make(moves[i]);
        const int mover = -side_;
        if (!Attacked(king_[mover > 0 ? 0 : 1], side_)) nodes += Perft(depth - 1);
        Unmake(moves[i], undo);
    }
    return nodes;
}

double ThreadSeconds() {
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

} // namespace

int main() {
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream in(line);
        int depth = 0;
        std::string fen;
        if (!(in >> depth) || !std::getline(in, fen)) continue;
        MailboxBoard board;
        if (!board.Load(fen)) {
            std::cout << "invalid\n";
            continue;
        }
        const double start = ThreadSeconds();
        const std::uint64_t nodes = board.Perft(depth);
        const double seconds = ThreadSeconds() - start;
        std::cout << "nodes " << nodes << " cpu_ms " << (long long)(seconds * 1000) << '\n';
    }
    return 0;
}
