#include "GameBoard/GameBoard.h"

void TGameBoard::AnimateMove(Square, Square, int) { }
