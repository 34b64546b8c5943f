#include "GameBoard/ChessModel.h"
