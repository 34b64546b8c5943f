#pragma once
// The window's two TCP endpoints, event-driven on the user-interface thread (Qt sockets, never
// waiting): TServerSocket listens and accepts peers, TClientSocket connects to a host. They
// turn Qt's signals into the notifications the window handles, with these guarantees:
//  - a peer closing its connection is a disconnect notification, not an error;
//  - TClientSocket::Close() of an established connection delivers OnDisconnect before it
//    returns; closing in any other state, and TServerSocket::Close() for its connections,
//    releases the sockets without a notification;
//  - errors are delivered from the event loop (never from inside a call of the window), each
//    with its kind and the system's error number (an errno value, never 0);
//  - a connection object stays valid until control returns to the event loop after its
//    release, so a handler may use the pointer it was given;
//  - when the peer closes a connection, everything it received is in its ConnectionReader by
//    the time of the disconnect notification; when the window closes it, the reader is emptied.
// Byte framing is not done here (WireProtocol.h): OnRead only says that bytes are waiting;
// ConnectionReader only keeps each connection's framing state with the connection.

#include "Unit1/WireProtocol.h"

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <stdexcept>
#include <vector>

class QTcpServer;
class QTcpSocket;

// What failed on a connection.
enum class TErrorEvent { eeGeneral, eeSend, eeReceive, eeConnect, eeDisconnect, eeAccept };

// An endpoint operation that failed at once (listening, a bad address, a failed send).
class TSocketError : public std::runtime_error {
public:
    TSocketError(TErrorEvent kind, int code, const std::string& what)
        : std::runtime_error(what)
        , kind_(kind)
        , code_(code) { }
    TErrorEvent Kind() const { return kind_; }
    int Code() const { return code_; }

private:
    TErrorEvent kind_;
    int code_;
};

// "127.0.0.1" -> the address; no host-name lookup, nothing but four dotted decimal numbers.
// A null address for anything else.
QHostAddress ParseDottedIPv4(const QString& text);

constexpr int DefaultLinkPort = 4567;

// What a connection buffers of the bytes it has received and the window has not read yet.
// Past that the socket stops reading, and TCP holds the peer back.
constexpr qint64 LinkReadBufferSize = 64 * 1024;

// The framing state of one connection's received bytes: created on first use and kept as a
// child of the socket, so that it lives and dies with the connection (a new connection never
// sees the unfinished message of an old one).
TWireReader& ConnectionReader(QTcpSocket* socket);

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
    bool Active() const;

    // Listens on Port on all local IPv4 addresses, backlog 5. Throws TSocketError when it
    // cannot (the port is in use, for instance). Does nothing while already listening.
    void Open();
    // Drops every accepted connection (no notifications) and stops listening.
    void Close();
    // The open connections in the order they were accepted.
    const std::vector<QTcpSocket*>& Connections() const { return connections_; }
    // Hands all bytes to the connection. False when it cannot take them; the connection then
    // gets a send error from the event loop and is closed.
    bool SendText(QTcpSocket* socket, const QByteArray& bytes);

    TSocketNotifyEvent OnClientConnect; // after the connection joined Connections()
    TSocketNotifyEvent OnClientDisconnect; // the peer closed it; already out of Connections()
    TSocketNotifyEvent OnClientRead; // bytes are waiting on Socket
    TSocketErrorEvent OnClientError;

private:
    void AcceptPending();
    void Adopt(QTcpSocket* socket);
    void PeerClosed(QTcpSocket* socket);
    void ReportError(QPointer<QTcpSocket> socket, TErrorEvent kind, int code);
    void Release(QTcpSocket* socket);

    int port_ = DefaultLinkPort;
    QTcpServer* server_ = nullptr; // owned (Qt parent)
    std::vector<QTcpSocket*> connections_; // owned (Qt parent)
};

class TClientSocket : public QObject {
    Q_OBJECT

public:
    using TSocketNotifyEvent = std::function<void(TClientSocket* Sender, QTcpSocket* Socket)>;
    using TSocketErrorEvent = std::function<void(
        TClientSocket* Sender, QTcpSocket* Socket, TErrorEvent ErrorEvent, int ErrorCode)>;

    explicit TClientSocket(QObject* parent = nullptr);
    ~TClientSocket() override;

    int Port() const { return port_; }
    void SetPort(int value) { port_ = value; }
    const QString& Address() const { return address_; }
    void SetAddress(const QString& value) { address_ = value; }

    // Starts connecting to Address on Port and returns at once; the outcome arrives as
    // OnConnect or OnError. Throws TSocketError when Address is not a dotted IPv4 address.
    void Open();
    // Established connection: closes it and calls OnDisconnect before returning. Any other
    // state: releases the socket without a notification.
    void Close();
    // Is the connection established.
    bool Connected() const;
    QTcpSocket* Socket() const { return socket_; }
    // Hands all bytes to the connection. False when it cannot take them; a send error then
    // follows from the event loop.
    bool SendText(const QByteArray& bytes);

    TSocketNotifyEvent OnConnect;
    TSocketNotifyEvent OnDisconnect; // the connection was closed, by the peer or by Close
    TSocketNotifyEvent OnRead; // bytes are waiting
    TSocketErrorEvent OnError;

private:
    void Release();
    void PeerClosed(QTcpSocket* socket);
    void ReportError(QPointer<QTcpSocket> socket, int generation, TErrorEvent kind, int code);

    int port_ = DefaultLinkPort;
    QString address_;
    QTcpSocket* socket_ = nullptr; // owned (Qt parent)
    bool connected_ = false; // OnConnect has been delivered for socket_
    int generation_ = 0; // counts the window's Close calls: errors of a closed socket are stale
};
