// Single play against the engine, the move lock, the turn display, the about button, the
// chat entry's width and the application-wide error handler.
#include "GameBoard/GameBoard.h"
#include "Unit1/PelliumApplication.h"
#include "Unit1/Unit1.h"
#include "Unit2/Unit2.h"
#include "Widgets/RadioGroup.h"
#include "Widgets/SpinEdit.h"
#include "Widgets/StatusBar.h"

#include <QEvent>
#include <QFrame>
#include <QLineEdit>

void TForm1::FormCreate() {
    if (TPelliumApplication* app = PelliumApp())
        app->OnException = [this](std::exception_ptr error) { AppException(error); };
}

void TForm1::AppException(std::exception_ptr) {
    ShowMessage(QStringLiteral("Error"));
}

void TForm1::ReportUncaught(std::exception_ptr error) {
    if (TPelliumApplication* app = PelliumApp())
        app->HandleException(error);
    else
        ShowMessage(QStringLiteral("Error"));
}

// "Başla" in single play: a new game with the engine on the colour the user did not pick.
// NewGame and the ComputerPlays setters stop the engine first (processing events while they
// wait), so a search under way is over before the new game starts.
void TForm1::BitBtn5Click() {
    TGameBoard& board = *GameBoard1;
    board.NewGame();
    board.setEnabled(true);
    // The engine plays the colour the user did not pick. Each setter stops the engine and
    // starts it again, so the user's colour is taken from it first: the other way round the
    // engine could find a move for the user's colour between the two setters (a search at
    // these depths takes milliseconds), and its hand-off would still be played during the
    // second setter's stop. With "Siyah" the engine starts on White's first move right here.
    const bool userPlaysWhite = RadioGroup2->ItemIndex() == 0;
    if (userPlaysWhite) {
        board.SetComputerPlaysWhite(false);
        board.SetComputerPlaysBlack(true);
    } else {
        board.SetComputerPlaysBlack(false);
        board.SetComputerPlaysWhite(true);
    }
    board.SetTag(board.ComputerPlaysWhite() ? 1 : 0);
    board.SetWhiteOnTop(board.Tag() == 1);
    StatusBar1->SetPanelText(1, QStringLiteral("Playing"));
    ShowTurn();
}

// The spin box's text read as a number (not a number: 1); a typed value out of 1..4 goes to
// the board as typed, and again corrected once the spin box loses the focus.
void TForm1::SpinEdit1Change() {
    GameBoard1->SetSearchDepth(SpinEdit1->Value());
}

// After every legal move, whoever made it: the lock alternates. A move made while the lock
// was 0 is the local player's and goes to the peer when the link is up.
void TForm1::GameBoard1LegalMove(TChessModel*, Square oldSq, Square newSq) {
    if (GameBoard1->Tag() == 0) {
        GameBoard1->SetTag(1);
        if (LinkUp()) SendMove(oldSq, newSq);
    } else {
        GameBoard1->SetTag(0);
    }
    StatusBar1->SetPanelText(1, QStringLiteral("Playing"));
    ShowTurn();
}

void TForm1::ShowTurn() {
    StatusBar1->SetPanelText(2,
        GameBoard1->WhiteToMove() ? QStringLiteral("Turn: White") : QStringLiteral("Turn: Black"));
}

void TForm1::Panel2Resize() {
    Edit1->resize(Panel2->width(), Edit1->height());
}

void TForm1::SetAboutBox(TForm2* aboutBox) {
    aboutBox_ = aboutBox;
}

TForm2* TForm1::AboutBox() const {
    return aboutBox_;
}

void TForm1::BitBtn2Click() {
    if (aboutBox_) aboutBox_->exec();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Panel2 && event->type() == QEvent::Resize)
        RunGuarded([this] { Panel2Resize(); });
    return QWidget::eventFilter(watched, event);
}
