#pragma once
// TEngineThread: the board's engine thread (stub while the real one is written).

class TGameBoard;

class TEngineThread {
public:
    explicit TEngineThread(TGameBoard& board);
    ~TEngineThread();
    bool Thinking() const { return false; }

private:
    TGameBoard& board_;
};
