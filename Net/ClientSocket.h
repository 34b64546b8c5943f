#pragma once
// TClientSocket: the window's client TCP endpoint, event-driven on the user-interface thread
// (Qt sockets, never waiting). It turns Qt's signals into the notifications the window handles:
//  - a peer closing its connection in order is a disconnect notification, not an error; a
//    peer resetting an established connection is an error (eeReceive, ECONNRESET), delivered
//    from the event loop while the connection still counts as established, so that closing
//    the endpoint in the error handler delivers OnDisconnect as for any other error on it;
//  - Close() of an established connection delivers OnDisconnect before it returns; closing
//    in any other state releases the socket without a notification;
//  - other errors are delivered from the event loop (never from inside a call of the window),
//    each with its kind and the system's error number (an errno value, never 0);
//  - a connection object stays valid until control returns to the event loop after its
//    release, so a handler may use the pointer it was given;
//  - Reader() keeps the connection's framing state: started afresh by Open(), emptied by
//    Close(); when the peer closes the connection in order, everything it received is in it by
//    the time of the disconnect notification.

#include "Net/SocketSupport.h"
#include "Net/TcpResetProbe.h"
#include "Net/WireProtocol.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class QTcpSocket;

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
    // OnConnect or OnError. Throws TSocketError when Address is not an address as
    // ParseHostAddress takes it (a dotted IPv4 address or an IPv6 literal).
    void Open();
    // Established connection: closes it and calls OnDisconnect before returning. Any other
    // state: releases the socket without a notification.
    void Close();
    // Is the connection established.
    bool Connected() const;
    QTcpSocket* Socket() const { return socket_; }
    // The framing state of the current (or last) connection's received bytes.
    TWireReader& Reader() { return reader_; }
    // Hands all bytes to the connection. False when it cannot take them; a send error then
    // follows from the event loop.
    bool SendText(const QByteArray& bytes);

    TSocketNotifyEvent OnConnect;
    TSocketNotifyEvent OnDisconnect; // the connection was closed, by the peer or by Close
    TSocketNotifyEvent OnRead; // bytes are waiting
    TSocketErrorEvent OnError;

private:
    void Established(QTcpSocket* socket);
    void Release();
    void PeerClosed(QTcpSocket* socket);
    void ReportError(QPointer<QTcpSocket> socket, int generation, TErrorEvent kind, int code);

    int port_ = DefaultLinkPort;
    QString address_;
    QTcpSocket* socket_ = nullptr; // owned (Qt parent)
    std::unique_ptr<TTcpResetProbe> resetProbe_; // while socket_ is established
    TWireReader reader_;
    bool connected_ = false; // OnConnect has been delivered for socket_
    int generation_ = 0; // counts the window's Close calls: errors of a closed socket are stale
};
