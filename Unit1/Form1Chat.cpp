// Chat and game messages: Enter in the chat entry sends an m message and logs the line; a
// received chat line is logged; check, mate, lack of mating material and a refused mouse move
// show in status panel 1 and in message boxes.
//
// The log shows text only: a line is appended as plain text, never as markup, and control
// characters (a NUL, a line break from a peer) are shown as visible symbols, so every chat
// line stays exactly one line of the log.
#include "GameBoard/GameBoard.h"
#include "Net/TextCodec.h"
#include "Net/WireProtocol.h"
#include "Unit1/PelliumApplication.h"
#include "Unit1/Unit1.h"
#include "Widgets/StatusBar.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <functional>
#include <utility>

namespace {

// The most characters the chat log keeps (see AppendChatLine).
constexpr int kChatLogCharacters = 1'000'000;

// A key-press hook on a control: every character typed into it goes to the handler before
// the control takes it, Enter as the carriage return. The handler swallows the key by setting
// it to NUL.
class TKeyPressHook : public QObject {
public:
    using Handler = std::function<void(QObject* Sender, QChar& Key)>;

    TKeyPressHook(QObject* control, Handler handler)
        : QObject(control)
        , handler_(std::move(handler)) {
        control->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* keyEvent = static_cast<QKeyEvent*>(event);
        QChar key;
        if (keyEvent->key() == Qt::Key_Return || keyEvent->key() == Qt::Key_Enter)
            key = QChar(u'\r');
        else if (!keyEvent->text().isEmpty())
            key = keyEvent->text().front();
        else
            return false; // not a character: arrows, function keys and the like
        handler_(watched, key);
        return key.isNull();
    }

private:
    Handler handler_;
};

} // namespace

void TForm1::ConnectChat() {
    new TKeyPressHook(Edit1, Guarded(&TForm1::Edit1KeyPress)); // owned by Edit1 (Qt parent)
    GameBoard1->OnCheck = Guarded(&TForm1::GameBoard1Check);
    GameBoard1->OnMate = Guarded(&TForm1::GameBoard1Mate);
    GameBoard1->OnNoMatingMaterial = Guarded(&TForm1::GameBoard1NoMatingMaterial);
    GameBoard1->OnIllegalMove = Guarded(&TForm1::GameBoard1IllegalMove);
}

// Enter while the link is up: send "m<name> text" and log "<name> text". Line breaks pasted
// into the name or the text are left out, so a chat line is always exactly one message. The
// log shows the line as the code page carries it, which is what the peer's log shows.
void TForm1::Edit1KeyPress(QObject*, QChar& Key) {
    if (!LinkUp() || Key != QChar(u'\r')) return;
    Key = QChar();
    const QString line = QStringLiteral("<") + WithoutLineBreaks(Edit2->text())
        + QStringLiteral("> ") + WithoutLineBreaks(Edit1->text());
    const TTextCodec codec;
    const QByteArray bytes = codec.Encode(line);
    if (!SendLine(ChatMessage(bytes))) return; // not logged, stays in the entry
    AppendChatLine(codec.Decode(bytes));
    Edit1->clear();
}

// Besides its latest 5,000 lines (Unit1.cpp) the log keeps no more than kChatLogCharacters:
// the oldest lines go first, so that a peer's long lines cannot grow it without end either.
void TForm1::AppendChatLine(const QString& line) {
    Memo1->appendPlainText(VisibleControlChars(line));
    QTextDocument* log = Memo1->document();
    if (log->characterCount() <= kChatLogCharacters) return;
    QTextCursor oldest(log);
    oldest.beginEditBlock();
    while (log->characterCount() > kChatLogCharacters && log->blockCount() > 1) {
        oldest.movePosition(QTextCursor::Start);
        oldest.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
        oldest.removeSelectedText();
    }
    oldest.endEditBlock();
}

void TForm1::GameBoard1Check(TChessModel*, Square, Square) {
    StatusBar1->SetPanelText(1, QStringLiteral("Check !"));
}

void TForm1::GameBoard1Mate(TChessModel*, Square, Square) {
    StatusBar1->SetPanelText(1, QStringLiteral("Mate"));
    ShowMessage(QStringLiteral("Mate"));
}

void TForm1::GameBoard1NoMatingMaterial(TChessModel*) {
    StatusBar1->SetPanelText(1, QStringLiteral("No Mating Material"));
    ShowMessage(QStringLiteral("No Mating Material"));
}

void TForm1::GameBoard1IllegalMove(TChessModel*, Square) {
    ShowMessage(QStringLiteral("Illegal Move"));
}
