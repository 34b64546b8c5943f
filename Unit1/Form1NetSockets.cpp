#include "Unit1/Form1NetSockets.h"

#include <QMetaObject>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <algorithm>
#include <cerrno>

namespace {

constexpr int kListenBacklog = 5;

// The system's error number for a socket error (never 0, which marks an error as handled).
int CodeOf(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return ECONNREFUSED;
    case QAbstractSocket::RemoteHostClosedError:
        return ECONNRESET;
    case QAbstractSocket::HostNotFoundError:
        return EHOSTUNREACH;
    case QAbstractSocket::SocketAccessError:
        return EACCES;
    case QAbstractSocket::SocketResourceError:
        return EMFILE;
    case QAbstractSocket::SocketTimeoutError:
        return ETIMEDOUT;
    case QAbstractSocket::NetworkError:
        return ENETDOWN;
    case QAbstractSocket::AddressInUseError:
        return EADDRINUSE;
    case QAbstractSocket::SocketAddressNotAvailableError:
        return EADDRNOTAVAIL;
    case QAbstractSocket::UnsupportedSocketOperationError:
        return EOPNOTSUPP;
    default:
        return EIO;
    }
}

// Runs work from the event loop, after the current handler has returned.
template <typename Work> void Later(QObject* context, Work&& work) {
    QMetaObject::invokeMethod(context, std::forward<Work>(work), Qt::QueuedConnection);
}

class TConnectionReader : public QObject {
public:
    explicit TConnectionReader(QTcpSocket* socket)
        : QObject(socket) {
        setObjectName(Name());
    }
    static QString Name() { return QStringLiteral("PelliumWireReader"); }
    TWireReader Reader;
};

} // namespace

TWireReader& ConnectionReader(QTcpSocket* socket) {
    auto* reader = dynamic_cast<TConnectionReader*>(
        socket->findChild<QObject*>(TConnectionReader::Name(), Qt::FindDirectChildrenOnly));
    if (!reader) reader = new TConnectionReader(socket); // owned by the socket (Qt parent)
    return reader->Reader;
}

QHostAddress ParseDottedIPv4(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4) return {};
    quint32 address = 0;
    for (const QString& part : parts) {
        if (part.isEmpty() || part.size() > 3) return {};
        if (!std::all_of(part.begin(), part.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
            return {};
        const uint value = part.toUInt();
        if (value > 255) return {};
        address = (address << 8) | value;
    }
    return QHostAddress(address);
}

// ---- TServerSocket ----

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
        const int code = CodeOf(server->serverError());
        const std::string text = server->errorString().toStdString();
        delete server;
        throw TSocketError(TErrorEvent::eeGeneral, code, text);
    }
    server_ = server;
    connect(server_, &QTcpServer::newConnection, this, &TServerSocket::AcceptPending);
    connect(server_, &QTcpServer::acceptError, this, [this](QAbstractSocket::SocketError error) {
        ReportError(nullptr, TErrorEvent::eeAccept, CodeOf(error));
    });
}

void TServerSocket::Close() {
    for (QTcpSocket* socket : std::exchange(connections_, {})) Release(socket);
    if (server_) {
        server_->close();
        server_->deleteLater();
        server_ = nullptr;
    }
}

void TServerSocket::Release(QTcpSocket* socket) {
    QObject::disconnect(socket, nullptr, this, nullptr);
    socket->abort();
    socket->deleteLater();
}

void TServerSocket::AcceptPending() {
    while (server_ && server_->hasPendingConnections()) Adopt(server_->nextPendingConnection());
}

void TServerSocket::Adopt(QTcpSocket* socket) {
    socket->setParent(this); // outlives a server that is closed and opened again
    socket->setReadBufferSize(LinkReadBufferSize);
    connections_.push_back(socket);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
        if (OnClientRead) OnClientRead(this, socket);
    });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] { PeerClosed(socket); });
    connect(socket, &QTcpSocket::errorOccurred, this,
        [this, socket = QPointer<QTcpSocket>(socket)](QAbstractSocket::SocketError error) {
            // A peer that closes its end is a disconnect, which follows as its own signal.
            if (error == QAbstractSocket::RemoteHostClosedError) return;
            Later(this, [this, socket, error] {
                ReportError(socket, TErrorEvent::eeGeneral, CodeOf(error));
            });
        });
    if (OnClientConnect) OnClientConnect(this, socket);
}

void TServerSocket::PeerClosed(QTcpSocket* socket) {
    const auto it = std::find(connections_.begin(), connections_.end(), socket);
    if (it == connections_.end()) return;
    ConnectionReader(socket).Feed(socket->readAll()); // what arrived before the close
    connections_.erase(it);
    QObject::disconnect(socket, nullptr, this, nullptr);
    socket->deleteLater();
    if (OnClientDisconnect) OnClientDisconnect(this, socket);
}

void TServerSocket::ReportError(QPointer<QTcpSocket> socket, TErrorEvent kind, int code) {
    if (OnClientError) OnClientError(this, socket.data(), kind, code);
}

bool TServerSocket::SendText(QTcpSocket* socket, const QByteArray& bytes) {
    if (socket->write(bytes) == bytes.size()) return true;
    const int code = CodeOf(socket->error());
    Later(this, [this, socket = QPointer<QTcpSocket>(socket), code] {
        ReportError(socket, TErrorEvent::eeSend, code);
        // The connection that could not send is closed, as if the peer had left.
        if (socket) {
            socket->abort();
            PeerClosed(socket);
        }
    });
    return false;
}

// ---- TClientSocket ----

TClientSocket::TClientSocket(QObject* parent)
    : QObject(parent) { }

TClientSocket::~TClientSocket() {
    if (socket_) QObject::disconnect(socket_, nullptr, this, nullptr);
}

void TClientSocket::Open() {
    const QHostAddress host = ParseDottedIPv4(address_);
    if (host.isNull())
        throw TSocketError(TErrorEvent::eeConnect, CodeOf(QAbstractSocket::HostNotFoundError),
            "not a dotted IPv4 address: " + address_.toStdString());
    Release();
    ++generation_;
    auto* socket = new QTcpSocket(this);
    socket_ = socket;
    socket->setReadBufferSize(LinkReadBufferSize);
    connect(socket, &QTcpSocket::connected, this, [this, socket] {
        connected_ = true;
        if (OnConnect) OnConnect(this, socket);
    });
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
        if (OnRead) OnRead(this, socket);
    });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] { PeerClosed(socket); });
    connect(socket, &QTcpSocket::errorOccurred, this,
        [this, socket = QPointer<QTcpSocket>(socket), generation = generation_](
            QAbstractSocket::SocketError error) {
            if (error == QAbstractSocket::RemoteHostClosedError) return; // a disconnect follows
            const TErrorEvent kind = connected_ ? TErrorEvent::eeGeneral : TErrorEvent::eeConnect;
            Later(this, [this, socket, generation, kind, error] {
                ReportError(socket, generation, kind, CodeOf(error));
            });
        });
    socket->connectToHost(host, static_cast<quint16>(port_));
}

void TClientSocket::Close() {
    ++generation_;
    const bool wasConnected = Connected();
    QTcpSocket* socket = socket_;
    if (socket) ConnectionReader(socket) = TWireReader(); // the window drops what is unread
    Release();
    if (wasConnected && OnDisconnect) OnDisconnect(this, socket);
}

bool TClientSocket::Connected() const {
    return socket_ && connected_ && socket_->state() == QAbstractSocket::ConnectedState;
}

void TClientSocket::Release() {
    if (!socket_) return;
    QObject::disconnect(socket_, nullptr, this, nullptr);
    socket_->abort();
    socket_->deleteLater();
    socket_ = nullptr;
    connected_ = false;
}

void TClientSocket::PeerClosed(QTcpSocket* socket) {
    if (socket != socket_) return;
    ConnectionReader(socket).Feed(socket->readAll()); // what arrived before the close
    Release();
    if (OnDisconnect) OnDisconnect(this, socket);
}

void TClientSocket::ReportError(
    QPointer<QTcpSocket> socket, int generation, TErrorEvent kind, int code) {
    if (generation != generation_) return; // the window has closed that attempt meanwhile
    if (OnError) OnError(this, socket.data(), kind, code);
}

bool TClientSocket::SendText(const QByteArray& bytes) {
    if (socket_ && socket_->write(bytes) == bytes.size()) return true;
    const int code
        = socket_ ? CodeOf(socket_->error()) : CodeOf(QAbstractSocket::UnknownSocketError);
    Later(this, [this, socket = QPointer<QTcpSocket>(socket_), generation = generation_, code] {
        ReportError(socket, generation, TErrorEvent::eeSend, code);
        // The connection that could not send is closed (the window's handler usually has).
        if (socket && socket == socket_) Close();
    });
    return false;
}
