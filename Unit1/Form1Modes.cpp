// The three play modes: single play, host, join. A handler acts only when its own radio
// button is now checked. Switching modes never touches the game on the board, its Enabled
// state or the move lock; the network modes take the engine off both colours.
#include "GameBoard/GameBoard.h"
#include "Unit1/PelliumApplication.h"
#include "Unit1/Unit1.h"

#include <QFrame>
#include <QRadioButton>

// The colour the engine plays goes off first. The other way round, the first setter's
// restart would let the engine start a new search for that colour, and a move found before
// the second setter's stop would still be played.
void TForm1::TakeEngineOffBothColours() {
    TGameBoard& board = *GameBoard1;
    if (board.ComputerPlaysWhite()) {
        board.SetComputerPlaysWhite(false);
        board.SetComputerPlaysBlack(false);
    } else {
        board.SetComputerPlaysBlack(false);
        board.SetComputerPlaysWhite(false);
    }
}

void TForm1::RadioButton3Click() {
    if (!RadioButton3->isChecked()) return;
    CloseServer();
    CloseClient();
    Panel7->hide();
    Panel5->hide();
    Panel8->show();
}

void TForm1::RadioButton1Click() {
    if (!RadioButton1->isChecked()) return;
    // When listening fails nothing else changes: the previous mode's panel stays visible.
    try {
        OpenServer(); // throws when it cannot listen (the port is in use, for instance)
        CloseClient();
        TakeEngineOffBothColours();
        Panel7->hide();
        Panel8->hide();
        Panel5->show();
    } catch (...) {
        ShowMessage(QStringLiteral("Socket Error"));
    }
}

void TForm1::RadioButton2Click() {
    if (!RadioButton2->isChecked()) return;
    CloseServer();
    TakeEngineOffBothColours();
    Panel8->hide();
    Panel5->hide();
    Panel7->show();
}
