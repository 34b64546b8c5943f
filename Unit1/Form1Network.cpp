// The network link: hosting (ServerSocket1, "Oyunu Kur"), joining (ClientSocket1, "Oyuna
// Katıl"), the connection buttons and notifications, sending lines and receiving messages.
//
// The link is up exactly while status panel 0 reads "Connected". Lines go out on the client's
// connection when it is established, otherwise on the host's connection. A host plays one game
// at a time: while its peer is connected, the listening endpoint closes any further connection
// as soon as it is accepted, so a stray second copy or a port scan never touches the game.
// When a link comes up the keyboard focus goes to the chat entry. When the peer's move or chat
// line arrives or the link drops, the window asks for the user's attention (if it is not the
// active window). While hosting, a hint lists the machine's addresses (Form1HostHint.cpp).
//
// Receiving: each connection keeps a TWireReader, so a message that TCP splits over two reads
// is completed by the second. Messages are handled one at a time by a single pass; bytes that
// arrive while the pass runs (NewGame may process events while it stops the engine) are only
// queued and the running pass takes them in order, so a received move or game start never
// runs in the middle of another one. The pass returns to the event loop every few dozen
// messages, so a flood of them never freezes the window, and it reads a socket only when the
// messages read before are handled, so a flood never fills memory either.
#include "GameBoard/GameBoard.h"
#include "Net/ClientSocket.h"
#include "Net/ServerSocket.h"
#include "Net/TextCodec.h"
#include "Net/WireMessageQueue.h"
#include "Net/WireProtocol.h"
#include "Unit1/PelliumApplication.h"
#include "Unit1/Unit1.h"
#include "Widgets/RadioGroup.h"
#include "Widgets/StatusBar.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QMetaObject>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTcpSocket>
#include <optional>
#include <variant>
#include <vector>

namespace {

const QString kConnected = QStringLiteral("Connected");
const QString kDisconnected = QStringLiteral("Disconnected");
const QString kDisconnectCaption = QStringLiteral("Disconnect");
const QString kConnectCaption = QStringLiteral("Connect");

// How much of the received messages one turn of the event loop handles (see
// HandleReceivedMessages).
constexpr int kMessagesPerTurn = 64;
constexpr qint64 kTurnMilliseconds = 20;

template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

} // namespace

// ---- Wiring, called once while the window is built ----

void TForm1::CreateNetworkLink() {
    ServerSocket1 = new TServerSocket(this);
    ServerSocket1->SetMaxConnections(1); // one game per host: a second peer is turned away
    ClientSocket1 = new TClientSocket(this);
    ClientSocket1->SetAddress(Edit3->text());

    ServerSocket1->OnClientConnect = Guarded(&TForm1::ServerSocket1ClientConnect);
    ServerSocket1->OnClientDisconnect = Guarded(&TForm1::ServerSocket1ClientDisconnect);
    ServerSocket1->OnClientRead = Guarded(&TForm1::ServerSocket1ClientReadEvent);
    ServerSocket1->OnClientError = Guarded(&TForm1::ServerSocket1ClientErrorEvent);
    ClientSocket1->OnConnect = Guarded(&TForm1::ClientSocket1Connect);
    ClientSocket1->OnDisconnect = Guarded(&TForm1::ClientSocket1Disconnect);
    ClientSocket1->OnRead = Guarded(&TForm1::ClientSocket1ReadEvent);
    ClientSocket1->OnError = Guarded(&TForm1::ClientSocket1ErrorEvent);

    connect(BitBtn1, &QPushButton::clicked, this, Guarded(&TForm1::BitBtn1Click));
    connect(BitBtn3, &QPushButton::clicked, this, Guarded(&TForm1::BitBtn3Click));
    connect(BitBtn4, &QPushButton::clicked, this, Guarded(&TForm1::BitBtn4Click));
    ConnectChat();
    ConnectHostHint();
    ConnectAttention();
}

void TForm1::DestroyNetworkLink() {
    // First of all, so that no socket notification reaches a window that is going away.
    delete ServerSocket1;
    ServerSocket1 = nullptr;
    delete ClientSocket1;
    ClientSocket1 = nullptr;
}

// ---- The operations the mode handlers and the move lock use ----

void TForm1::OpenServer() {
    ServerSocket1->Open();
    RefreshHostHint();
}

void TForm1::CloseServer() {
    ServerSocket1->Close();
    RefreshHostHint();
}

void TForm1::CloseClient() {
    ClientSocket1->Close();
}

void TForm1::SendMove(Square oldSq, Square newSq) {
    // Inside MakeMove: a failed send is reported from the event loop once the move is done.
    SendLine(MoveMessage(oldSq, newSq));
}

bool TForm1::LinkUp() const {
    return StatusBar1->PanelText(0) == kConnected;
}

bool TForm1::SendLine(const QByteArray& message) {
    if (ClientSocket1->Connected()) return ClientSocket1->SendText(message);
    const auto& connections = ServerSocket1->Connections();
    if (!connections.empty()) return ServerSocket1->SendText(connections.front(), message);
    // No connection to send on: reported like any other error, from the event loop.
    RunLater(this, [] {
        RunGuarded([] { throw TSocketError(TErrorEvent::eeSend, 0, "no connection to send on"); });
    });
    return false;
}

// ---- Join side ----

void TForm1::BitBtn3Click() {
    if (BitBtn3->text() == kDisconnectCaption) {
        ClientSocket1->Close(); // runs ClientSocket1Disconnect
        BitBtn3->setText(kConnectCaption);
        RadioButton3->setEnabled(true);
        RadioButton1->setEnabled(true);
        return;
    }
    ClientSocket1->Close();
    ClientSocket1->SetAddress(Edit3->text());
    ClientSocket1->Open(); // a bad address ends the handler here
    Disable(BitBtn3);
    Disable(RadioButton3);
    Disable(RadioButton1);
}

void TForm1::ClientSocket1Connect(TClientSocket*, QTcpSocket*) {
    StatusBar1->SetPanelText(0, kConnected);
    BitBtn3->setText(kDisconnectCaption);
    BitBtn3->setEnabled(true);
    FocusChatEntry();
}

void TForm1::ClientSocket1Disconnect(TClientSocket*, QTcpSocket*) {
    KeepUnhandledMessages(ClientSocket1->Reader());
    StatusBar1->SetPanelText(0, kDisconnected);
    BitBtn3->setText(kConnectCaption);
    BitBtn3->setEnabled(true);
    RadioButton3->setEnabled(true);
    RadioButton1->setEnabled(true);
    AskAttention();
}

void TForm1::ClientSocket1Error(TClientSocket*, QTcpSocket*, TErrorEvent, int&) {
    ClientSocket1->Close(); // an established connection: ClientSocket1Disconnect runs here
    BitBtn3->setText(kConnectCaption);
    BitBtn3->setEnabled(true);
    StatusBar1->SetPanelText(0, QStringLiteral("Connection Error"));
    RadioButton3->setEnabled(true);
    RadioButton1->setEnabled(true);
}

// An error the handler leaves unhandled (ErrorCode not 0) goes on to AppException: "Error".
void TForm1::ClientSocket1ErrorEvent(
    TClientSocket* Sender, QTcpSocket* Socket, TErrorEvent ErrorEvent, int ErrorCode) {
    ClientSocket1Error(Sender, Socket, ErrorEvent, ErrorCode);
    if (ErrorCode != 0) throw TSocketError(ErrorEvent, ErrorCode, "client socket error");
}

// ---- Host side ----

void TForm1::ServerSocket1ClientConnect(TServerSocket*, QTcpSocket*) {
    StatusBar1->SetPanelText(0, kConnected);
    BitBtn1->setEnabled(true);
    BitBtn4->setEnabled(true);
    Disable(RadioButton3);
    Disable(RadioButton2);
    FocusChatEntry();
}

void TForm1::ServerSocket1ClientDisconnect(TServerSocket*, QTcpSocket* Socket) {
    if (TWireReader* reader = ServerSocket1->Reader(Socket)) KeepUnhandledMessages(*reader);
    StatusBar1->SetPanelText(0, kDisconnected);
    Disable(BitBtn1);
    Disable(BitBtn4);
    RadioButton3->setEnabled(true);
    RadioButton2->setEnabled(true);
    AskAttention();
}

void TForm1::ServerSocket1ClientError(TServerSocket*, QTcpSocket*, TErrorEvent, int&) {
    ShowMessage(QStringLiteral("Socket Error"));
}

void TForm1::ServerSocket1ClientErrorEvent(
    TServerSocket* Sender, QTcpSocket* Socket, TErrorEvent ErrorEvent, int ErrorCode) {
    ServerSocket1ClientError(Sender, Socket, ErrorEvent, ErrorCode);
    if (ErrorCode != 0) throw TSocketError(ErrorEvent, ErrorCode, "server socket error");
}

// "Bağlantıyı Kes": drop the peer and go on listening.
void TForm1::BitBtn1Click() {
    ServerSocket1->Close();
    ServerSocket1->Open();
    StatusBar1->SetPanelText(0, kDisconnected);
    RadioButton3->setEnabled(true);
    RadioButton2->setEnabled(true);
    Disable(BitBtn1);
    Disable(BitBtn4);
}

// "Başla" of the host: the r message carries the host's colour; the host takes it, the peer
// the other one, and both boards start a new game.
void TForm1::BitBtn4Click() {
    const int colour = RadioGroup1->ItemIndex();
    if (!SendLine(StartMessage(colour))) return;
    TGameBoard& board = *GameBoard1;
    board.SetTag(colour);
    board.SetWhiteOnTop(colour == 1);
    board.NewGame();
    board.setEnabled(true);
    ShowTurn();
}

// ---- Receiving ----

void TForm1::ServerSocket1ClientReadEvent(TServerSocket* Sender, QTcpSocket* Socket) {
    ServerSocket1ClientRead(Sender, Socket);
}

void TForm1::ClientSocket1ReadEvent(TClientSocket* Sender, QTcpSocket* Socket) {
    ServerSocket1ClientRead(Sender, Socket);
}

// The bytes are taken from the socket as the messages before them are handled
// (NextReceivedMessage): a peer that sends faster than the window can handle is held back by
// TCP (the socket buffers only so much, LinkReadBufferSize) instead of filling memory.
void TForm1::ServerSocket1ClientRead(QObject*, QTcpSocket*) {
    HandleReceivedMessages();
}

// The next message of any connection. Bytes that arrived while a pass was running are read
// here too: a socket does not announce data again while its own read notification is still
// running (a handler that waits with the event loop running, for instance).
std::optional<TWireMessage> TForm1::NextReceivedMessage() {
    if (auto message = closedConnectionMessages_.Next()) return message;
    if (QTcpSocket* client = ClientSocket1->Socket())
        if (auto message = NextMessageOf(client, ClientSocket1->Reader())) return message;
    for (QTcpSocket* socket : ServerSocket1->Connections())
        if (TWireReader* reader = ServerSocket1->Reader(socket))
            if (auto message = NextMessageOf(socket, *reader)) return message;
    return std::nullopt;
}

// The next message of one connection: from what its reader holds, else from the bytes
// waiting on the socket.
std::optional<TWireMessage> TForm1::NextMessageOf(QTcpSocket* socket, TWireReader& reader) {
    if (auto message = reader.Next()) return message;
    if (socket->bytesAvailable() <= 0) return std::nullopt;
    reader.Feed(socket->readAll());
    return reader.Next();
}

// The messages a connection that has just closed delivered and nobody has handled yet are
// handled still (the socket and its reader go away when control returns to the event loop).
void TForm1::KeepUnhandledMessages(TWireReader& reader) {
    closedConnectionMessages_.Keep(reader);
    RunLater(this, [this] { RunGuarded([this] { HandleReceivedMessages(); }); });
}

// A pass handles the waiting messages in order, but at most kMessagesPerTurn of them or for
// kTurnMilliseconds at a time; then it lets the event loop run (input, painting, the user
// cutting the link) and goes on from there. It stays under way meanwhile, so the messages keep
// their order. A message whose handling failed ends the turn too; the rest follow.
void TForm1::HandleReceivedMessages() {
    if (handlingMessages_) return; // the pass under way takes the new messages in turn
    handlingMessages_ = true;
    bool more = true;
    const auto endOfTurn = qScopeGuard([this, &more] {
        if (!more) {
            handlingMessages_ = false;
            return;
        }
        QMetaObject::invokeMethod(
            this,
            [this] {
                handlingMessages_ = false;
                RunGuarded([this] { HandleReceivedMessages(); });
            },
            Qt::QueuedConnection);
    });
    QElapsedTimer turn;
    turn.start();
    for (int handled = 0; handled < kMessagesPerTurn && !turn.hasExpired(kTurnMilliseconds);
         ++handled) {
        const auto message = NextReceivedMessage();
        if (!message) {
            more = false;
            return;
        }
        HandleMessage(*message);
    }
}

void TForm1::HandleMessage(const TWireMessage& message) {
    std::visit(Overloaded {
                   [](std::monostate) {},
                   [this](const TChatLine& chat) {
                       AppendChatLine(TTextCodec().Decode(chat.Text));
                       AskAttention();
                   },
                   [this](const TWireMove& move) { PlayReceivedMove(move); },
                   [this](const TGameStart& start) { StartReceivedGame(start.MoveLock); },
               },
        InterpretMessage(message));
}

// A move the board refuses is dropped without a word; one it takes asks for attention.
void TForm1::PlayReceivedMove(const TWireMove& move) {
    if (GameBoard1->MakeMove(move.From, move.To)) AskAttention();
}

// A received r message: a new game with this side on the colour the host did not take.
void TForm1::StartReceivedGame(int moveLock) {
    TGameBoard& board = *GameBoard1;
    board.NewGame();
    board.setEnabled(true);
    board.SetTag(moveLock);
    board.SetWhiteOnTop(moveLock == 1);
    ShowTurn();
}
