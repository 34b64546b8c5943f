#pragma once
// Helpers for the network tests of the main window: free loopback ports, waiting with the
// event loop running, reading the controls, and driving the host and join modes.

#include "GameBoard/GameBoard.h"
#include "Unit1/ClientSocket.h"
#include "Unit1/PelliumApplication.h"
#include "Unit1/ServerSocket.h"
#include "Unit1/StatusBar.h"
#include "Unit1/Unit1.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTextBlock>
#include <functional>
#include <gtest/gtest.h>
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

inline QString Panel(const TForm1& form, int index) {
    return form.StatusBar1->PanelText(index);
}

inline QString LastLogLine(const TForm1& form) {
    const QTextDocument* doc = form.Memo1->document();
    return doc->isEmpty() ? QString() : doc->lastBlock().text();
}

inline QStringList Messages() {
    return PelliumApp()->RecordedMessages();
}

inline void UsePort(TForm1& form, int port) {
    form.ServerSocket1->SetPort(port);
    form.ClientSocket1->SetPort(port);
}

inline void ChooseHost(TForm1& form) {
    form.RadioButton1->click();
}

inline void ChooseJoin(TForm1& form, const QString& address = QStringLiteral("127.0.0.1")) {
    form.RadioButton2->click();
    form.Edit3->setText(address);
}

// Types text into the chat entry and presses Enter.
inline void Say(TForm1& form, const QString& text) {
    form.Edit1->setText(text);
    QTest::keyClick(form.Edit1, Qt::Key_Return);
}

// What one of the window's connections holds in its framing state (received, not handed out).
inline qsizetype FramedBytes(TForm1& form, const QTcpSocket* socket) {
    if (socket == form.ClientSocket1->Socket()) return form.ClientSocket1->Reader().BufferedBytes();
    const TWireReader* reader = form.ServerSocket1->Reader(socket);
    return reader ? reader->BufferedBytes() : 0;
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

// Which of the three mode buttons are enabled, as "SHJ" letters (Single, Host, Join).
inline QString EnabledModes(const TForm1& form) {
    QString s;
    if (form.RadioButton3->isEnabled()) s += 'S';
    if (form.RadioButton1->isEnabled()) s += 'H';
    if (form.RadioButton2->isEnabled()) s += 'J';
    return s;
}

} // namespace nettest
