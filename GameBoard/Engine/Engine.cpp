#include "GameBoard/Engine/Engine.h"

#include "GameBoard/Engine/EnginePerft.h"
#include "GameBoard/Engine/EngineSearch.h"

#include <algorithm>

struct TEngine::State {
    engine::EngineSearch Search;
    engine::LoadRefusal Refusal = engine::LoadRefusal::NoPosition;
};

TEngine::TEngine()
    : state_(std::make_unique<State>()) { }

TEngine::~TEngine() = default;

bool TEngine::LoadPosition(const EnginePositionSource& source) {
    state_->Refusal = state_->Search.LoadPosition(source);
    return state_->Refusal == engine::LoadRefusal::Accepted;
}

std::string_view TEngine::RefusalReason() const {
    return engine::RefusalText(state_->Refusal);
}

int TEngine::SearchRoot(int depth) {
    if (state_->Refusal != engine::LoadRefusal::Accepted) return 0;
    return state_->Search.SearchRoot(std::clamp(depth, 1, 8));
}

EngineMove TEngine::BestMove() const {
    return state_->Search.BestLine[0][0];
}

std::uint64_t TEngine::Nodes() const {
    return state_->Search.Board.AcceptedMoves;
}

std::optional<std::uint64_t> TEngine::Perft(int depth) {
    const engine::EngineBoard& board = state_->Search.Board;
    if (state_->Refusal != engine::LoadRefusal::Accepted || depth < 0) return std::nullopt;
    if (depth >= engine::MaxPly || depth * board.GenerationReserve > engine::MoveStackSize)
        return std::nullopt;
    return engine::Perft(state_->Search.Board, depth);
}

void TEngine::SetStopFlag(const std::atomic<bool>* stop) {
    state_->Search.StopFlag = stop;
}
