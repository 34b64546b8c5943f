#include "Net/ClientSocket.h"

#include "Net/HostAddress.h"

#include <QTcpSocket>
#include <cerrno>

TClientSocket::TClientSocket(QObject* parent)
    : QObject(parent) { }

TClientSocket::~TClientSocket() {
    if (socket_) QObject::disconnect(socket_, nullptr, this, nullptr);
}

void TClientSocket::Open() {
    const QHostAddress host = ParseHostAddress(address_);
    if (host.isNull())
        throw TSocketError(TErrorEvent::eeConnect,
            SocketErrorCode(QAbstractSocket::HostNotFoundError),
            "not an IP address: " + address_.toStdString());
    Release();
    ++generation_;
    reader_ = TWireReader(); // a new connection never sees the unfinished message of an old one
    auto* socket = new QTcpSocket(this);
    socket_ = socket;
    socket->setReadBufferSize(LinkReadBufferSize);
    connect(socket, &QTcpSocket::connected, this, [this, socket] { Established(socket); });
    WatchConnection(this, socket,
        { .Read =
                [this, socket] {
                    if (OnRead) OnRead(this, socket);
                },
            .Closed = [this, socket] { PeerClosed(socket); },
            .Error =
                [this, socket = QPointer<QTcpSocket>(socket), generation = generation_](
                    QAbstractSocket::SocketError error) {
                    const TErrorEvent kind
                        = connected_ ? TErrorEvent::eeGeneral : TErrorEvent::eeConnect;
                    RunLater(this, [this, socket, generation, kind, error] {
                        ReportError(socket, generation, kind, SocketErrorCode(error));
                    });
                } });
    socket->connectToHost(host, static_cast<quint16>(port_));
}

void TClientSocket::Established(QTcpSocket* socket) {
    connected_ = true;
    resetProbe_ = std::make_unique<TTcpResetProbe>(socket->socketDescriptor());
    if (OnConnect) OnConnect(this, socket);
}

void TClientSocket::Close() {
    ++generation_;
    // Established and not yet closed by the peer in order (a reset one still counts).
    const bool wasConnected = socket_ && connected_;
    QTcpSocket* socket = socket_;
    reader_ = TWireReader(); // the window drops what is unread
    Release();
    if (wasConnected && OnDisconnect) OnDisconnect(this, socket);
}

bool TClientSocket::Connected() const {
    return socket_ && connected_ && socket_->state() == QAbstractSocket::ConnectedState;
}

void TClientSocket::Release() {
    resetProbe_.reset();
    if (!socket_) return;
    QObject::disconnect(socket_, nullptr, this, nullptr);
    socket_->abort();
    socket_->deleteLater();
    socket_ = nullptr;
    connected_ = false;
}

// The connection has ended from the peer's side. An orderly close is a disconnect; a reset is
// an error on the connection, reported while it still counts as established.
void TClientSocket::PeerClosed(QTcpSocket* socket) {
    if (socket != socket_) return;
    reader_.Feed(socket->readAll()); // what arrived before the close
    if (resetProbe_ && resetProbe_->WasReset()) {
        resetProbe_.reset();
        // From the event loop, like every error; the handler is expected to close the
        // endpoint, which then delivers OnDisconnect. If it does not, the connection is
        // released here afterwards, as after an orderly close.
        RunLater(this, [this, socket = QPointer<QTcpSocket>(socket), generation = generation_] {
            ReportError(socket, generation, TErrorEvent::eeReceive, ECONNRESET);
            if (generation != generation_ || socket.data() != socket_) return;
            Release();
            if (OnDisconnect) OnDisconnect(this, socket.data());
        });
        return;
    }
    Release();
    if (OnDisconnect) OnDisconnect(this, socket);
}

void TClientSocket::ReportError(
    QPointer<QTcpSocket> socket, int generation, TErrorEvent kind, int code) {
    if (generation != generation_) return; // the window has closed that attempt meanwhile
    if (OnError) OnError(this, socket.data(), kind, code);
}

bool TClientSocket::SendText(const QByteArray& bytes) {
    const int code = WriteAll(socket_, bytes);
    if (code == 0) return true;
    RunLater(this, [this, socket = QPointer<QTcpSocket>(socket_), generation = generation_, code] {
        ReportError(socket, generation, TErrorEvent::eeSend, code);
        // The connection that could not send is closed (the window's handler usually has).
        if (socket && socket == socket_) Close();
    });
    return false;
}
