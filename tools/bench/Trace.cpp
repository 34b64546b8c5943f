// pellium-bench trace: replays a rules script on the board's rules model and prints
// what the board does, one line per move. RunTrace in Trace.h is the entry.
//
// Script lines are "command argument" (the argument runs to the end of the line):
//   position TEXT   write Position ('.' a blank, the two characters \0 a NUL)
//   white 0|1       write WhiteToMove
//   castle LETTERS  store CastlingAllowed (a subset of KQkq, or -)
//   ep NAME|-       write EnPassant through its setter
//   promote C       from now on OnPromotion sets the new piece to C ('.' a blank)
//   newgame         NewGame
//   assign NAME|all|none   assign one event handler, all of them, or none
//   move TEXT       parse a move text and MakeMove; prints 1|0 and the events fired
//   ---             prints the final line and ---, then starts a fresh board
// At the end: final POSITION w|b CASTLING EP MOVENUMBER.
#include "tools/bench/Trace.h"

#include "GameBoard/Rules/ChessModel.h"
#include "GameBoard/Rules/SquareNames.h"

#include <functional>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

std::string PieceText(char c) {
    if (c == ' ') return ".";
    if (c == '\0') return "\\0";
    return std::string(1, c);
}

// '.' stands for a blank and the two characters \0 for a NUL.
std::string DecodeText(const std::string& text) {
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '0') {
            decoded += '\0';
            ++i;
        } else {
            decoded += text[i] == '.' ? ' ' : text[i];
        }
    }
    return decoded;
}

// One board with the script's event handlers; the handlers note each event fired.
class TraceBoard {
public:
    TraceBoard() {
        board_ = std::make_unique<TChessModel>();
        AssignAll(true);
    }

    TChessModel& Board() { return *board_; }
    void SetPromotion(char piece) { promotion_ = piece; }
    void ClearFired() { fired_.clear(); }
    const std::vector<std::string>& Fired() const { return fired_; }

    void AssignAll(bool on) {
        for (const Handler& h : Handlers()) (this->*h.assign)(on);
    }
    // False when the name is not one of the board's move events.
    bool Assign(const std::string& name) {
        for (const Handler& h : Handlers())
            if (name == h.name) {
                (this->*h.assign)(true);
                return true;
            }
        return false;
    }

    std::string FinalLine() const {
        std::string position;
        for (char c : board_->Position()) position += PieceText(c);
        return "final " + position + (board_->WhiteToMove() ? " w " : " b ")
            + CastleSetLetters(board_->CastlingAllowed()) + " " + FormatSquare(board_->EnPassant())
            + " " + std::to_string(board_->CurrentMove());
    }

private:
    struct Handler {
        const char* name;
        void (TraceBoard::*assign)(bool on);
    };
    static const std::vector<Handler>& Handlers() {
        static const std::vector<Handler> handlers {
            { "OnLegalMove", &TraceBoard::AssignLegalMove },
            { "OnCapture", &TraceBoard::AssignCapture },
            { "OnPromotion", &TraceBoard::AssignPromotion },
            { "OnCastle", &TraceBoard::AssignCastle },
            { "OnCheck", &TraceBoard::AssignCheck },
            { "OnMate", &TraceBoard::AssignMate },
            { "OnStaleMate", &TraceBoard::AssignStaleMate },
            { "OnNoMatingMaterial", &TraceBoard::AssignNoMatingMaterial },
            { "OnThreefoldPosition", &TraceBoard::AssignThreefold },
            { "OnDraw", &TraceBoard::AssignDraw },
            { "OnPaint", &TraceBoard::AssignPaint },
        };
        return handlers;
    }

    TMoveEvent MoveNote(bool on, const char* name) {
        if (!on) return nullptr;
        return [this, name](TChessModel*, Square from, Square to) {
            fired_.push_back(
                std::string(name) + "(" + FormatSquare(from) + "," + FormatSquare(to) + ")");
        };
    }
    TNotifyEvent Note(bool on, const char* name) {
        if (!on) return nullptr;
        return [this, name](TChessModel*) { fired_.push_back(name); };
    }

    void AssignLegalMove(bool on) { board_->OnLegalMove = MoveNote(on, "OnLegalMove"); }
    void AssignCastle(bool on) { board_->OnCastle = MoveNote(on, "OnCastle"); }
    void AssignCheck(bool on) { board_->OnCheck = MoveNote(on, "OnCheck"); }
    void AssignMate(bool on) { board_->OnMate = MoveNote(on, "OnMate"); }
    void AssignStaleMate(bool on) { board_->OnStaleMate = MoveNote(on, "OnStaleMate"); }
    void AssignNoMatingMaterial(bool on) {
        board_->OnNoMatingMaterial = Note(on, "OnNoMatingMaterial");
    }
    void AssignThreefold(bool on) { board_->OnThreefoldPosition = Note(on, "OnThreefoldPosition"); }
    void AssignDraw(bool on) { board_->OnDraw = Note(on, "OnDraw"); }
    void AssignPaint(bool on) { board_->OnPaint = Note(on, "OnPaint"); }
    void AssignCapture(bool on) {
        if (!on) {
            board_->OnCapture = nullptr;
            return;
        }
        board_->OnCapture = [this](TChessModel*, Square from, Square to, char piece) {
            fired_.push_back("OnCapture(" + FormatSquare(from) + "," + FormatSquare(to) + ","
                + PieceText(piece) + ")");
        };
    }
    void AssignPromotion(bool on) {
        if (!on) {
            board_->OnPromotion = nullptr;
            return;
        }
        board_->OnPromotion = [this](TChessModel*, Square from, Square to, char& piece) {
            fired_.push_back("OnPromotion(" + FormatSquare(from) + "," + FormatSquare(to) + ","
                + PieceText(piece) + ")");
            if (promotion_) piece = *promotion_;
        };
    }

    std::unique_ptr<TChessModel> board_;
    std::vector<std::string> fired_;
    std::optional<char> promotion_;
};

void RunCommand(
    TraceBoard& trace, const std::string& command, const std::string& argument, std::ostream& out) {
    TChessModel& board = trace.Board();
    trace.ClearFired();
    if (command == "position") {
        board.SetPosition(DecodeText(argument));
    } else if (command == "white") {
        if (argument == "0" || argument == "1") board.SetWhiteToMove(argument == "1");
    } else if (command == "castle") {
        board.SetCastlingAllowed(CastleSetFromLetters(argument));
    } else if (command == "ep") {
        board.SetEnPassant(argument == "-" ? Square::None : TChessModel::SquareFromText(argument));
    } else if (command == "promote") {
        const std::string piece = DecodeText(argument);
        if (piece.size() == 1) trace.SetPromotion(piece[0]);
    } else if (command == "newgame") {
        board.NewGame();
    } else if (command == "assign") {
        if (argument == "all" || argument == "none")
            trace.AssignAll(argument == "all");
        else
            trace.Assign(argument);
    } else if (command == "move") {
        const auto [from, to] = TChessModel::MoveFromText(argument);
        trace.ClearFired();
        out << (board.MakeMove(from, to) ? '1' : '0');
        for (const std::string& event : trace.Fired()) out << ' ' << event;
        out << '\n';
    }
}

} // namespace

int RunTrace(std::istream& in, std::ostream& out) {
    auto trace = std::make_unique<TraceBoard>();
    bool pendingFinal = true; // a script without a closing --- still gets its final line
    std::string line;
    while (std::getline(in, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        if (line == "---") {
            out << trace->FinalLine() << "\n---\n";
            trace = std::make_unique<TraceBoard>();
            pendingFinal = false;
            continue;
        }
        const std::size_t space = line.find(' ');
        const std::string command = line.substr(0, space);
        const std::string argument
            = space == std::string::npos ? std::string() : line.substr(space + 1);
        RunCommand(*trace, command, argument, out);
        pendingFinal = true;
    }
    if (pendingFinal) out << trace->FinalLine() << '\n';
    return 0;
}
