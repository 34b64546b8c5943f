#pragma once
// TForm1: the program's main window. It owns the board GameBoard1 and every control around
// it: the black board panel on the left, the right column with the three play modes, the
// player's name and the about button, the chat log and entry under the board, and the status
// bar. It drives the board for single play against the engine and for network play.
//
// The window keeps no state of its own beyond its controls: the play mode is the checked mode
// radio button, the link state is the text of status panel 0, and the move lock is the
// board's Tag (0: the local user may start a mouse move; 1: the engine or the peer is due).
//
// Files (the members below are grouped by the file that implements them):
//   Unit1.cpp          builds the window and its controls
//   Form1Board.cpp     the board's settings and the timer that fits it into its panel
//   Form1Modes.cpp     switching between single play, host and join
//   Form1Game.cpp      start-up, single play, the move lock, the turn display, the about
//                      button, the chat entry's width and the application's error handler
//   Form1Focus.cpp     where the keyboard focus goes when controls are disabled
//   Form1Network.cpp   the network link: endpoints, connection handlers, sending, receiving
//   Form1Chat.cpp      the chat entry and log, and the board's game events
//   Form1HostHint.cpp  while hosting, the hint that lists the machine's addresses
//   Form1Attention.cpp asking the desktop for attention when the peer acts
// Helpers in files of their own: ServerSocket / ClientSocket (the TCP endpoints), HostAddress
// (what the joiner may type, which addresses the host offers), WireProtocol and
// WireMessageQueue (the messages on the wire), ChatEdit (the chat entry), StatusBar,
// RadioGroup, SpinEdit, MessageBox, TextCodec, Fonts, PelliumApplication.
//
// Errors: every handler is connected through Guarded(), so an error that a handler does not
// catch ends that handler only and is reported by AppException ("Error"); it never unwinds
// through the toolkit or through the board's move execution.
//
// Everything here runs on the user-interface thread.

#include "GameBoard/Rules/BoardTypes.h"
#include "Net/WireMessageQueue.h"

#include <QPointer>
#include <QRect>
#include <QWidget>
#include <exception>
#include <functional>
#include <optional>
#include <vector>

class QFrame;
class QHostAddress;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTcpSocket;
class QTimer;
class TChessModel;
class TClientSocket;
class TForm2;
class TGameBoard;
class TRadioGroup;
class TServerSocket;
class TSpinEdit;
class TStatusBar;
enum class TErrorEvent;

// The place and size of the board inside a panel of panelWidth x panelHeight pixels: the
// largest square whose side is 2 * sizeOfBorder plus a multiple of 8 and that fits the panel,
// centred (both offsets truncated toward zero). (Form1Board.cpp)
QRect FitBoard(int panelWidth, int panelHeight, int sizeOfBorder);

// The hint of a host: the addresses a friend can type to join it, one a line, under a heading
// that gives the port. (Form1HostHint.cpp)
QString HostAddressHint(const std::vector<QHostAddress>& addresses, int port);

class TForm1 : public QWidget {
    Q_OBJECT

public:
    // ---- Unit1.cpp: construction ----
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Controls, owned by the window (Qt parent), named as in the window's design.
    QFrame* Panel1 = nullptr; // black; holds only the board
    TGameBoard* GameBoard1 = nullptr;
    QFrame* Panel3 = nullptr; // the right column
    QFrame* Panel6 = nullptr; // the mode radio buttons
    QRadioButton* RadioButton3 = nullptr; // "Tek Oyna": single play
    QRadioButton* RadioButton1 = nullptr; // "Oyunu Kur": host
    QRadioButton* RadioButton2 = nullptr; // "Oyuna Katıl": join
    QFrame* Panel8 = nullptr; // single play
    QPushButton* BitBtn5 = nullptr; // "Başla"
    TRadioGroup* RadioGroup2 = nullptr; // "Renk": the user's colour
    QLabel* Label3 = nullptr; // "Zorluk :"
    TSpinEdit* SpinEdit1 = nullptr; // difficulty = search depth
    QFrame* Panel7 = nullptr; // join
    QPushButton* BitBtn3 = nullptr; // "Bağlan"
    QLabel* Label2 = nullptr; // "Ana Makina IP :"
    QLineEdit* Edit3 = nullptr; // the host's address
    QFrame* Panel5 = nullptr; // host
    QPushButton* BitBtn1 = nullptr; // "Bağlantıyı Kes"
    QPushButton* BitBtn4 = nullptr; // "Başla"
    TRadioGroup* RadioGroup1 = nullptr; // "Renk": the host's colour
    QFrame* Panel4 = nullptr; // player name and about button
    QLabel* Label1 = nullptr; // "Oyuncu Adı :"
    QLineEdit* Edit2 = nullptr; // the local player's name
    QPushButton* BitBtn2 = nullptr; // "Hakkında"
    QPlainTextEdit* Memo1 = nullptr; // the chat log
    QFrame* Panel2 = nullptr; // holds Edit1
    QLineEdit* Edit1 = nullptr; // the chat entry (a TChatEdit)
    TStatusBar* StatusBar1 = nullptr; // 0: link, 1: game, 2: turn, 3: unused
    QTimer* Timer1 = nullptr; // fits the board into Panel1
    // The two TCP endpoints, both on port 4567 (tests may set another port on both); created
    // with the network link (Form1Network.cpp).
    TServerSocket* ServerSocket1 = nullptr; // listens in host mode; owned (Qt parent)
    TClientSocket* ClientSocket1 = nullptr; // connects in join mode; owned (Qt parent)

    // ---- Form1Board.cpp ----
    void Timer1Timer();

    // ---- Form1Modes.cpp ----
    void RadioButton3Click();
    void RadioButton1Click();
    void RadioButton2Click();

    // ---- Form1Game.cpp ----
    void FormCreate();
    void BitBtn5Click();
    void SpinEdit1Change();
    void GameBoard1LegalMove(TChessModel* Sender, Square oldSq, Square newSq);
    void Panel2Resize();
    void BitBtn2Click();
    // Status panel 2 := the side to move.
    void ShowTurn();
    // The application-wide handler of errors that no other handler catches: the box "Error".
    void AppException(std::exception_ptr error);
    // The about box that "Hakkında" shows; created by the program's entry after this window.
    // Not owned.
    void SetAboutBox(TForm2* aboutBox);
    TForm2* AboutBox() const;
    static void ReportUncaught(std::exception_ptr error);

    // ---- Form1Network.cpp ----
    void BitBtn3Click();
    void ClientSocket1Connect(TClientSocket* Sender, QTcpSocket* Socket);
    void ClientSocket1Disconnect(TClientSocket* Sender, QTcpSocket* Socket);
    // An error left with ErrorCode not 0 goes on to AppException ("Error").
    void ClientSocket1Error(
        TClientSocket* Sender, QTcpSocket* Socket, TErrorEvent ErrorEvent, int& ErrorCode);
    void ServerSocket1ClientConnect(TServerSocket* Sender, QTcpSocket* Socket);
    void ServerSocket1ClientDisconnect(TServerSocket* Sender, QTcpSocket* Socket);
    void ServerSocket1ClientError(
        TServerSocket* Sender, QTcpSocket* Socket, TErrorEvent ErrorEvent, int& ErrorCode);
    void BitBtn1Click();
    void BitBtn4Click();
    // The data-readable notification of both endpoints: Socket has bytes waiting.
    void ServerSocket1ClientRead(QObject* Sender, QTcpSocket* Socket);
    // Sends one whole message as WireProtocol.h builds it (kind, payload, CR) to the peer, on
    // the client's connection when it is established, else on the host's connection. False
    // when the send failed; the error is then reported from the event loop.
    bool SendLine(const QByteArray& message);
    // Opens the listening endpoint on port 4567; throws when it cannot listen.
    void OpenServer();
    // Closes the listening endpoint and every connection it accepted.
    void CloseServer();
    // Closes the client endpoint (and its connection, if any).
    void CloseClient();
    // Sends the local player's move oldSq -> newSq to the peer (a p message).
    void SendMove(Square oldSq, Square newSq);

    // ---- Form1Chat.cpp ----
    // Key is NUL afterwards when the handler swallowed it.
    void Edit1KeyPress(QObject* Sender, QChar& Key);
    void GameBoard1Check(TChessModel* Sender, Square oldSq, Square newSq);
    void GameBoard1Mate(TChessModel* Sender, Square oldSq, Square newSq);
    void GameBoard1NoMatingMaterial(TChessModel* Sender);
    void GameBoard1IllegalMove(TChessModel* Sender, Square square);

    // ---- Form1HostHint.cpp ----
    // While hosting, "Oyunu Kur" and status panel 0 carry a hint (tooltip) listing the
    // machine's addresses a friend can type, with the port; otherwise no hint. Runs when
    // hosting starts or ends, and each time one of the two hints is about to show.
    void RefreshHostHint();

    // ---- Form1Attention.cpp ----
    // The peer has acted (its move or chat line arrived, or the link dropped): when the window
    // is not the active one, asks the desktop for the user's attention (OnAttention).
    void AskAttention();
    // How the window asks for attention: QApplication::alert(this), the task bar entry
    // flashing or being marked, unless replaced.
    std::function<void()> OnAttention;

    // ---- Here: error routing for every handler ----
    // Wraps a handler so that an error it raises ends only that handler and goes to the
    // application's error handler (AppException once FormCreate has run). Use it for every
    // toolkit connection and every board event of this window.
    template <typename... Args> auto Guarded(void (TForm1::*handler)(Args...)) {
        return [this, handler](Args... args) { RunGuarded([&] { (this->*handler)(args...); }); };
    }

    // Runs work; an error it raises ends it there and goes to the application's error
    // handler. For handlers that are not members of this window (lambdas).
    template <typename Work> static void RunGuarded(Work&& work) {
        try {
            work();
        } catch (...) {
            ReportUncaught(std::current_exception());
        }
    }

protected:
    // Form1Game.cpp: Panel2's resizes.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // ---- Unit1.cpp ----
    void CreateBoardPanel();
    void CreateRightColumn();
    void CreateModePanel();
    void CreateSinglePlayPanel();
    void CreateJoinPanel();
    void CreateHostPanel();
    void CreatePlayerPanel();
    void CreateChat();
    void CreateStatusBar();
    void ArrangeWindow();
    void ConnectHandlers();

    // ---- Form1Board.cpp ----
    // The board's settings as the window gives them.
    void ApplyBoardSettings();

    // ---- Form1Modes.cpp ----
    // ComputerPlaysWhite and ComputerPlaysBlack := False.
    void TakeEngineOffBothColours();

    // ---- Form1Focus.cpp ----
    // Disables control; when it (or a control inside it) has the keyboard focus, the focus
    // goes to the chat entry first instead of on to the next control.
    void Disable(QWidget* control);
    void FocusChatEntry();

    // ---- Form1Network.cpp ----
    void CreateNetworkLink();
    void DestroyNetworkLink();
    // The link is up exactly while status panel 0 reads "Connected".
    bool LinkUp() const;
    void ServerSocket1ClientReadEvent(TServerSocket* Sender, QTcpSocket* Socket);
    void ClientSocket1ReadEvent(TClientSocket* Sender, QTcpSocket* Socket);
    void ServerSocket1ClientErrorEvent(
        TServerSocket* Sender, QTcpSocket* Socket, TErrorEvent ErrorEvent, int ErrorCode);
    void ClientSocket1ErrorEvent(
        TClientSocket* Sender, QTcpSocket* Socket, TErrorEvent ErrorEvent, int ErrorCode);
    void KeepUnhandledMessages(TWireReader& reader);
    std::optional<TWireMessage> NextReceivedMessage();
    std::optional<TWireMessage> NextMessageOf(QTcpSocket* socket, TWireReader& reader);
    void HandleReceivedMessages();
    void HandleMessage(const TWireMessage& message);
    void PlayReceivedMove(const TWireMove& move);
    void StartReceivedGame(int moveLock);

    // ---- Form1HostHint.cpp ----
    void ConnectHostHint();

    // ---- Form1Attention.cpp ----
    void ConnectAttention();

    // ---- Form1Chat.cpp ----
    void ConnectChat();
    void AppendChatLine(const QString& line);

    QPointer<TForm2> aboutBox_; // Form1Game.cpp
    // Form1Network.cpp: messages of closed connections still to be handled, and whether a
    // pass over the received messages is under way.
    TWireMessageQueue closedConnectionMessages_;
    bool handlingMessages_ = false;
};
