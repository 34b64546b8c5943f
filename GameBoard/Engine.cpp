#include "GameBoard/Engine.h"
