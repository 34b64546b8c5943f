// The board's settings as the window gives them, and the timer that keeps the board fitted
// to its panel.
#include "GameBoard/GameBoard.h"
#include "Unit1/Unit1.h"

#include <QFrame>
#include <QImage>
#include <QTimer>
#include <algorithm>

namespace {

constexpr int kFitInterval = 250; // ms between two fits after the first

} // namespace

QRect FitBoard(int panelWidth, int panelHeight, int sizeOfBorder) {
    const int shorter = std::min(panelWidth, panelHeight);
    const int borders = 2 * sizeOfBorder;
    // C++ integer division truncates toward zero, as the fit requires.
    const int side = ((shorter - borders) / 8) * 8 + borders;
    return QRect((panelWidth - side) / 2, (panelHeight - side) / 2, side, side);
}

void TForm1::ApplyBoardSettings() {
    TGameBoard& board = *GameBoard1;
    board.SetPosition(TChessModel::StartPosition);
    board.SetCastlingAllowed(AllCastling);
    board.SetEnPassant(Square::None);
    board.SetCustomEngine(false);
    board.SetSearchDepth(4);
    board.SetThinkingPriority(TThreadPriority::tpNormal);
    board.SetSizeOfBorder(24);
    board.SetSizeOfSquare(36);
    board.SetResizable(false);
    board.SetResizeMinSize(100);
    board.SetResizeMaxSize(1000);
    board.SetWhiteOnTop(false);
    board.SetDisplayCoords({ DisplayCoords::West, DisplayCoords::South });
    // 7 points: characters 9 pixels high on a 96 dpi screen.
    board.SetCoordFont(TFont { QStringLiteral("Arial"), 7, clWhite, TFont::Pitch::Default });
    board.SetAnimateMoves(true);
    board.SetAnimationDelay(0);
    board.SetBoardLines(false);
    board.SetBorderColor(clBlack);
    board.SetSquareColorDark(clGray);
    board.SetSquareColorLight(clSilver);
    board.SetBorderBitmap(QImage(QStringLiteral(":/BorderTexture.bmp")));
    board.SetSquareDark(QImage(QStringLiteral(":/SquareDark.bmp")));
    board.SetSquareLight(QImage(QStringLiteral(":/SquareLight.bmp")));
    board.setEnabled(false);
}

// Fits the board into Panel1 by polling: at once when the window runs, then four times a
// second. Bounds that have not changed are not applied again, so an idle tick costs nothing
// and repaints nothing.
void TForm1::Timer1Timer() {
    Timer1->stop();
    Timer1->setInterval(kFitInterval);
    const QRect bounds = FitBoard(Panel1->width(), Panel1->height(), GameBoard1->SizeOfBorder());
    if (GameBoard1->geometry() != bounds) GameBoard1->setGeometry(bounds);
    Timer1->start();
}
