#include "Net/SocketSupport.h"

#include <QStringList>
#include <QTcpSocket>
#include <algorithm>
#include <cerrno>

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

int SocketErrorCode(QAbstractSocket::SocketError error) {
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

void WatchConnection(QObject* context, QTcpSocket* socket, TConnectionHandlers handlers) {
    QObject::connect(socket, &QTcpSocket::readyRead, context, std::move(handlers.Read));
    QObject::connect(socket, &QTcpSocket::disconnected, context, std::move(handlers.Closed));
    QObject::connect(socket, &QTcpSocket::errorOccurred, context,
        [error = std::move(handlers.Error)](QAbstractSocket::SocketError e) {
            if (e != QAbstractSocket::RemoteHostClosedError) error(e);
        });
}

int WriteAll(QTcpSocket* socket, const QByteArray& bytes) {
    if (!socket) return SocketErrorCode(QAbstractSocket::UnknownSocketError);
    if (socket->write(bytes) == bytes.size()) return 0;
    return SocketErrorCode(socket->error());
}
