#pragma once
// Helpers for the network tests of the main window: free loopback ports, waiting with the
// event loop running, reading the controls, and driving the host and join modes.

#include "GameBoard/GameBoard.h"
#include "Net/ClientSocket.h"
#include "Net/ServerSocket.h"
#include "Unit1/PelliumApplication.h"
#include "Unit1/Unit1.h"
#include "Widgets/StatusBar.h"
#include "tests/Net/NetTestUtil.h"

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

namespace nettest {

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

// What status panel 0 reads once a link has gone down: in order, or with an error on the
// join side.
inline const QStringList kLinkDownStates
    = { QStringLiteral("Disconnected"), QStringLiteral("Connection Error") };

// Waits until the window's link is down, whichever way, and returns panel 0 then, for the
// caller to check which way it went.
inline QString WaitForLinkDown(const TForm1& form) {
    return WaitForAnyOf([&form] { return Panel(form, 0); }, kLinkDownStates);
}

// Waits until the join side's connection attempt has an outcome (its button is enabled again,
// whether connected or failed) and returns panel 0 then.
inline QString WaitForJoinOutcome(const TForm1& form) {
    WaitFor([&form] { return form.BitBtn3->isEnabled(); });
    return Panel(form, 0);
}

// Which of the three mode buttons are enabled, as "SHJ" letters (Single, Host, Join).
inline QString EnabledModes(const TForm1& form) {
    QString s;
    if (form.RadioButton3->isEnabled()) s += 'S';
    if (form.RadioButton1->isEnabled()) s += 'H';
    if (form.RadioButton2->isEnabled()) s += 'J';
    return s;
}

// The join side after an address that failed at once: one "Error" box, the connect button
// enabled with its first caption, every mode button enabled, no link.
inline void ExpectJoinFailedAtOnce(const TForm1& joiner) {
    EXPECT_EQ(Messages(), QStringList({ "Error" }));
    EXPECT_TRUE(joiner.BitBtn3->isEnabled());
    EXPECT_EQ(joiner.BitBtn3->text(), "Bağlan");
    EXPECT_EQ(EnabledModes(joiner), "SHJ");
    EXPECT_EQ(Panel(joiner, 0), "Bağlantı Yok");
}

} // namespace nettest
