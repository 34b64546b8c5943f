#include "Net/ServerSocket.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <algorithm>
#include <utility>

namespace {

constexpr int kListenBacklog = 5;

} // namespace

TServerSocket::TServerSocket(QObject* parent)
    : QObject(parent) { }

TServerSocket::~TServerSocket() {
    // The sockets go with this object (Qt children); no notification runs any more.
    for (QTcpSocket* socket : connections_) QObject::disconnect(socket, nullptr, this, nullptr);
}

bool TServerSocket::Active() const {
    return server_ != nullptr;
}

void TServerSocket::Open() {
    if (server_) return;
    auto* server = new QTcpServer(this);
    server->setListenBacklogSize(kListenBacklog);
    if (!server->listen(QHostAddress::AnyIPv4, static_cast<quint16>(port_))) {
        const int code = SocketErrorCode(server->serverError());
        const std::string text = server->errorString().toStdString();
        delete server;
        throw TSocketError(TErrorEvent::eeGeneral, code, text);
    }
    server_ = server;
    Watch(server_);
    // An IPv6-only listener beside the IPv4 one, which thus stays as it would be alone.
    auto* server6 = new QTcpServer(this);
    server6->setListenBacklogSize(kListenBacklog);
    if (server6->listen(QHostAddress::AnyIPv6, server_->serverPort())) {
        server6_ = server6;
        Watch(server6_);
    } else {
        delete server6;
    }
}

void TServerSocket::Watch(QTcpServer* server) {
    connect(server, &QTcpServer::newConnection, this, [this, server] { AcceptPending(server); });
    connect(server, &QTcpServer::acceptError, this, [this](QAbstractSocket::SocketError error) {
        ReportError(nullptr, TErrorEvent::eeAccept, SocketErrorCode(error));
    });
}

void TServerSocket::Close() {
    for (QTcpSocket* socket : std::exchange(connections_, {})) Release(socket);
    for (QTcpServer* server : { std::exchange(server_, nullptr), std::exchange(server6_, nullptr) })
        if (server) {
            server->close();
            server->deleteLater();
        }
}

void TServerSocket::Release(QTcpSocket* socket) {
    QObject::disconnect(socket, nullptr, this, nullptr);
    readers_.erase(socket);
    socket->abort();
    socket->deleteLater();
}

TWireReader* TServerSocket::Reader(const QTcpSocket* socket) {
    const auto it = readers_.find(socket);
    return it == readers_.end() ? nullptr : &it->second;
}

void TServerSocket::AcceptPending(QTcpServer* server) {
    // A handler of a connection may close this endpoint (server is then no longer ours).
    while ((server == server_ || server == server6_) && server->hasPendingConnections())
        Adopt(server->nextPendingConnection());
}

void TServerSocket::Adopt(QTcpSocket* socket) {
    if (maxConnections_ > 0 && std::ssize(connections_) >= maxConnections_) {
        socket->abort(); // one too many: closed before anything is read or sent
        socket->deleteLater();
        return;
    }
    socket->setParent(this); // outlives a server that is closed and opened again
    socket->setReadBufferSize(LinkReadBufferSize);
    connections_.push_back(socket);
    readers_[socket] = TWireReader();
    WatchConnection(this, socket,
        { .Read =
                [this, socket] {
                    if (OnClientRead) OnClientRead(this, socket);
                },
            .Closed = [this, socket] { PeerClosed(socket); },
            .Error =
                [this, socket = QPointer<QTcpSocket>(socket)](QAbstractSocket::SocketError error) {
                    RunLater(this, [this, socket, error] {
                        ReportError(socket, TErrorEvent::eeGeneral, SocketErrorCode(error));
                    });
                } });
    if (OnClientConnect) OnClientConnect(this, socket);
}

void TServerSocket::PeerClosed(QTcpSocket* socket) {
    const auto it = std::find(connections_.begin(), connections_.end(), socket);
    if (it == connections_.end()) return;
    if (TWireReader* reader = Reader(socket))
        reader->Feed(socket->readAll()); // what arrived before the close
    connections_.erase(it);
    QObject::disconnect(socket, nullptr, this, nullptr);
    socket->deleteLater();
    if (OnClientDisconnect) OnClientDisconnect(this, socket);
    readers_.erase(socket);
}

void TServerSocket::ReportError(QPointer<QTcpSocket> socket, TErrorEvent kind, int code) {
    if (OnClientError) OnClientError(this, socket.data(), kind, code);
}

bool TServerSocket::SendText(QTcpSocket* socket, const QByteArray& bytes) {
    const int code = WriteAll(socket, bytes);
    if (code == 0) return true;
    RunLater(this, [this, socket = QPointer<QTcpSocket>(socket), code] {
        ReportError(socket, TErrorEvent::eeSend, code);
        // The connection that could not send is closed, as if the peer had left.
        if (socket) {
            socket->abort();
            PeerClosed(socket);
        }
    });
    return false;
}
