#include "GameBoard/GameBoard.h"

void TGameBoard::PaintBoard() { }
void TGameBoard::DrawSquare(Square) { }
void TGameBoard::DrawPiece(Square, char) { }
void TGameBoard::DrawBoardLines() { }
QPoint TGameBoard::SquareOrigin(Square) const { return {}; }
Square TGameBoard::PixelToSquare(int, int) const { return Square::None; }
bool TGameBoard::IsLightSquare(Square) { return false; }
int TGameBoard::PieceImageIndex(char) const { return -1; }
void TGameBoard::BuildPieceImages() { }
void TGameBoard::LoadBuiltInPieceSet() { }
bool TGameBoard::HasPicture(const QImage& b) { return b.width() >= 1 && b.height() >= 1; }
bool TGameBoard::IsValidPieceSet(const QImage& b) { return HasPicture(b) && 2 * b.width() == 3 * b.height(); }
void TGameBoard::paintEvent(QPaintEvent*) { }
