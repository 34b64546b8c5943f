#pragma once
// What the window's two TCP endpoints (ServerSocket.h, ClientSocket.h) share: the kinds of
// socket errors and the exception for an operation that fails at once, the link's port and
// read buffer, the dotted IPv4 address parser, the system error number of a Qt socket error,
// and the handling of one connection's signals and of sending on it.

#include <QAbstractSocket>
#include <QByteArray>
#include <QHostAddress>
#include <QMetaObject>
#include <QString>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

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

constexpr int DefaultLinkPort = 4567;

// What a connection buffers of the bytes it has received and the window has not read yet.
// Past that the socket stops reading, and TCP holds the peer back.
constexpr qint64 LinkReadBufferSize = 64 * 1024;

// "127.0.0.1" -> the address; no host-name lookup, nothing but four dotted decimal numbers.
// A null address for anything else.
QHostAddress ParseDottedIPv4(const QString& text);

// The system's error number for a socket error (never 0, which marks an error as handled).
int SocketErrorCode(QAbstractSocket::SocketError error);

class QTcpSocket;

// What an endpoint does when one of its connections reports something.
struct TConnectionHandlers {
    std::function<void()> Read; // bytes are waiting
    std::function<void()> Closed; // the connection has ended (an orderly close or a reset)
    // Any error but the peer's orderly close (that one ends the connection: Closed follows),
    // at the moment Qt reports it; the endpoint reports it to its owner from the event loop.
    std::function<void(QAbstractSocket::SocketError)> Error;
};

// Connects a connection's signals to the handlers, which run in context (the endpoint).
void WatchConnection(QObject* context, QTcpSocket* socket, TConnectionHandlers handlers);

// Hands all bytes to the connection in one call: 0 when it took them all, otherwise the
// system's error number of the failure (never 0).
int WriteAll(QTcpSocket* socket, const QByteArray& bytes);

// Runs work from the event loop, after the current handler has returned.
template <typename Work> void RunLater(QObject* context, Work&& work) {
    QMetaObject::invokeMethod(context, std::forward<Work>(work), Qt::QueuedConnection);
}
