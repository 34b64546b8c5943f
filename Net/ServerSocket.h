#pragma once
// TServerSocket: the window's listening TCP endpoint, event-driven on the user-interface thread
// (Qt sockets, never waiting). It turns Qt's signals into the notifications the window handles:
//  - a peer closing its connection is a disconnect notification, not an error;
//  - Close() drops its connections without a notification for them;
//  - errors are delivered from the event loop (never from inside a call of the window), each
//    with its kind and the system's error number (an errno value, never 0);
//  - a connection object stays valid until control returns to the event loop after its
//    release, so a handler may use the pointer it was given;
//  - each connection has its framing state (Reader); when the peer closes it, everything it
//    received is in its reader by the time of the disconnect notification, and the reader
//    lives until that notification has returned.
// With MaxConnections set, a connection beyond that many is closed as soon as it is accepted:
// nothing is read from it or sent on it and nobody is notified.
//
// It listens with two sockets: the IPv4 one exactly as a listener of IPv4 alone, and beside it
// an IPv6-only one on the same port, where the machine has IPv6. Both feed the one list of
// connections, so every rule above (MaxConnections included) spans the two families.

#include "Net/SocketSupport.h"
#include "Net/WireProtocol.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <map>
#include <vector>

class QTcpServer;
class QTcpSocket;

class TServerSocket : public QObject {
    Q_OBJECT

public:
    using TSocketNotifyEvent = std::function<void(TServerSocket* Sender, QTcpSocket* Socket)>;
    using TSocketErrorEvent = std::function<void(
        TServerSocket* Sender, QTcpSocket* Socket, TErrorEvent ErrorEvent, int ErrorCode)>;

    explicit TServerSocket(QObject* parent = nullptr);
    ~TServerSocket() override;

    int Port() const { return port_; }
    void SetPort(int value) { port_ = value; }
    // The most connections kept open at a time; 0 (the default) for no limit.
    int MaxConnections() const { return maxConnections_; }
    void SetMaxConnections(int value) { maxConnections_ = value; }
    bool Active() const;

    // Listens on Port on all local IPv4 addresses, backlog 5. Throws TSocketError when it
    // cannot (the port is in use, for instance). Does nothing while already listening. Then
    // listens on all local IPv6 addresses too, on the same port, when it can; when it cannot
    // (no IPv6 on this machine, or the port taken on IPv6 alone) it goes on with IPv4 alone.
    void Open();
    // Listening on IPv6 as well (see Open).
    bool ListensOnIPv6() const { return server6_ != nullptr; }
    // Drops every accepted connection (no notifications) and stops listening.
    void Close();
    // The open connections in the order they were accepted.
    const std::vector<QTcpSocket*>& Connections() const { return connections_; }
    // The framing state of an open connection, or of one whose disconnect is being notified;
    // nullptr for any other socket.
    TWireReader* Reader(const QTcpSocket* socket);
    // Hands all bytes to the connection. False when it cannot take them; the connection then
    // gets a send error from the event loop and is closed.
    bool SendText(QTcpSocket* socket, const QByteArray& bytes);

    TSocketNotifyEvent OnClientConnect; // after the connection joined Connections()
    TSocketNotifyEvent OnClientDisconnect; // the peer closed it; already out of Connections()
    TSocketNotifyEvent OnClientRead; // bytes are waiting on Socket
    TSocketErrorEvent OnClientError;

private:
    void Watch(QTcpServer* server);
    void AcceptPending(QTcpServer* server);
    void Adopt(QTcpSocket* socket);
    void PeerClosed(QTcpSocket* socket);
    void ReportError(QPointer<QTcpSocket> socket, TErrorEvent kind, int code);
    void Release(QTcpSocket* socket);

    int port_ = DefaultLinkPort;
    int maxConnections_ = 0;
    QTcpServer* server_ = nullptr; // IPv4; owned (Qt parent)
    QTcpServer* server6_ = nullptr; // IPv6 only, beside server_; owned (Qt parent)
    std::vector<QTcpSocket*> connections_; // owned (Qt parent)
    std::map<const QTcpSocket*, TWireReader> readers_; // one for each open connection
};
