#include "GameBoard/GameBoard.h"

void TGameBoard::SetBoardLines(bool value) { boardLines_ = value; }
void TGameBoard::SetBorderBitmap(const QImage& value) { borderBitmap_ = value.copy(); }
void TGameBoard::SetBorderColor(TColor value) { borderColor_ = value; }
void TGameBoard::SetCoordFont(const TFont& value) { coordFont_ = value; }
void TGameBoard::SetCustomPieceSet(const QImage* value) { customPieceSet_ = value ? value->copy() : QImage(); }
void TGameBoard::SetDisplayCoords(CoordSet value) { displayCoords_ = value; }
void TGameBoard::SetLineStyle(const QPen& value) { lineStyle_ = value; }
void TGameBoard::SetResizeMinSize(int value) { resizeMinSize_ = value; }
void TGameBoard::SetResizeMaxSize(int value) { resizeMaxSize_ = value; }
void TGameBoard::SetSearchDepth(int value) { searchDepth_ = value; }
void TGameBoard::SetSizeOfBorder(int value) { sizeOfBorder_ = value; }
void TGameBoard::SetSizeOfSquare(int value) { sizeOfSquare_ = value; }
void TGameBoard::SetSquareColorDark(TColor value) { squareColorDark_ = value; }
void TGameBoard::SetSquareColorLight(TColor value) { squareColorLight_ = value; }
void TGameBoard::SetSquareDark(const QImage& value) { squareDark_ = value.copy(); }
void TGameBoard::SetSquareLight(const QImage& value) { squareLight_ = value.copy(); }
void TGameBoard::SetWhiteOnTop(bool value) { whiteOnTop_ = value; }
void TGameBoard::SetThinkingPriority(TThreadPriority value) { thinkingPriority_ = value; }
