#pragma once
// Helpers for the network tests on loopback: free ports, waiting with the event loop running,
// the bytes waiting on a connection, and a peer leaving in order or with a reset.

#include <QHostAddress>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <sys/ioctl.h>
#include <sys/socket.h>

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os) {
    *os << '[' << l.join(", ").toStdString() << ']';
}

namespace nettest {

// A port nobody listens on right now (picked by the system, then released), so that test
// programs running side by side do not collide.
inline int FreePort() {
    QTcpServer probe;
    EXPECT_TRUE(probe.listen(QHostAddress::AnyIPv4, 0));
    return probe.serverPort();
}

// Runs the event loop until done() holds (true) or 5 seconds have passed (false).
inline bool WaitFor(const std::function<bool()>& done) {
    return QTest::qWaitFor(done, 5000);
}

// Runs the event loop until state() reads one of the end states, or 5 seconds have passed,
// and returns what it read last. A test that expects one of them checks the result: the wait
// ends as soon as any end is reached, so it never sits out its time after another one.
inline QString WaitForAnyOf(const std::function<QString()>& state, const QStringList& ends) {
    QString last = state();
    static_cast<void>(QTest::qWaitFor(
        [&] {
            last = state();
            return ends.contains(last);
        },
        5000));
    return last;
}

// The bytes that have reached a connection and are not read yet: in the socket's buffer and
// still in the system's, whether or not the socket has announced them.
inline qint64 ArrivedBytes(QTcpSocket* socket) {
    int waiting = 0;
    ::ioctl(static_cast<int>(socket->socketDescriptor()), FIONREAD, &waiting);
    return socket->bytesAvailable() + waiting;
}

// A peer leaves with FIN (an orderly close) or with RST (an abortive one).
enum class Leave { Close, Reset };

inline void DropSocket(QTcpSocket& socket, Leave how) {
    if (how == Leave::Reset) {
        const linger abortive { 1, 0 };
        ::setsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_LINGER, &abortive,
            sizeof abortive);
        socket.abort();
    } else {
        socket.disconnectFromHost(); // what is still to be written goes first
    }
}

} // namespace nettest
