// While hosting, "Oyunu Kur" and status panel 0 carry a hint listing the machine's addresses
// that a friend can type to join, with the port: set when hosting starts, refreshed each time
// it is about to show, gone when hosting ends. Nothing drawn in the window changes.
#include "Form1NetworkTestUtil.h"
#include "Net/HostAddress.h"
#include "tests/Net/IPv6TestUtil.h"

#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QToolTip>

using namespace nettest;

namespace {

const QString kHeading = QStringLiteral("Bu Makinanın IP Adresleri (Port %1) :");

TEST(HostAddressHintText, AHeadingWithThePortThenOneAddressALine) {
    EXPECT_EQ(HostAddressHint({ QHostAddress(QStringLiteral("192.0.2.2")),
                                  QHostAddress(QStringLiteral("2001:db8::5")) },
                  4567),
        "Bu Makinanın IP Adresleri (Port 4567) :\n192.0.2.2\n2001:db8::5");
    EXPECT_EQ(HostAddressHint({}, 4567), "Bu Makinanın IP Adresleri (Port 4567) :\nAdres Yok");
}

class Form1HostAddresses : public testing::Test {
protected:
    void SetUp() override {
        PelliumApp()->ClearRecordedMessages();
        port = FreeDualPort();
        UsePort(form, port);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }

    QLabel* LinkPanel() const { return form.StatusBar1->Panel(0); }

    // The hint as the machine stands now.
    QString ExpectedHint() const {
        return HostAddressHint(
            FriendAddresses(MachineAddresses(), form.ServerSocket1->ListensOnIPv6()), port);
    }

    // What the user gets when the mouse rests on control: the toolkit's hint event.
    static void HoverFor(QWidget* control) {
        const QPoint inside(2, 2);
        QHelpEvent event(QEvent::ToolTip, inside, control->mapToGlobal(inside));
        QApplication::sendEvent(control, &event);
    }

    int port = 0;
    TForm1 form;
};

TEST_F(Form1HostAddresses, NoHintUntilHosting) {
    EXPECT_TRUE(form.RadioButton1->toolTip().isEmpty());
    EXPECT_TRUE(LinkPanel()->toolTip().isEmpty());
    ChooseJoin(form);
    HoverFor(form.RadioButton1);
    EXPECT_TRUE(form.RadioButton1->toolTip().isEmpty());
    EXPECT_TRUE(LinkPanel()->toolTip().isEmpty());
}

TEST_F(Form1HostAddresses, HostingPutsTheMachinesAddressesOnBothControls) {
    ChooseHost(form);
    const QString hint = form.RadioButton1->toolTip();
    EXPECT_EQ(hint, ExpectedHint());
    EXPECT_EQ(LinkPanel()->toolTip(), hint);
    const QStringList lines = hint.split(u'\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines.front(), kHeading.arg(port));
    // Every address offered is one the joiner's field takes as it stands.
    for (const QString& address : lines.mid(1)) {
        SCOPED_TRACE(address.toStdString());
        EXPECT_FALSE(ParseHostAddress(address).isNull());
    }
}

TEST_F(Form1HostAddresses, TheHintIsRefreshedWhenItIsAboutToShow) {
    ChooseHost(form);
    for (QWidget* control :
        { static_cast<QWidget*>(form.RadioButton1), static_cast<QWidget*>(LinkPanel()) }) {
        control->setToolTip(QStringLiteral("eski"));
        HoverFor(control);
        EXPECT_EQ(control->toolTip(), ExpectedHint());
    }
}

TEST_F(Form1HostAddresses, LeavingHostModeTakesTheHintAway) {
    ChooseHost(form);
    ASSERT_FALSE(form.RadioButton1->toolTip().isEmpty());
    form.RadioButton3->click();
    EXPECT_TRUE(form.RadioButton1->toolTip().isEmpty());
    EXPECT_TRUE(LinkPanel()->toolTip().isEmpty());
    LinkPanel()->setToolTip(QStringLiteral("eski"));
    HoverFor(LinkPanel());
    EXPECT_TRUE(LinkPanel()->toolTip().isEmpty());
}

// Hosting where the port is taken on IPv6 alone: the host listens on IPv4, and the hint offers
// no IPv6 address that would lead nowhere.
TEST_F(Form1HostAddresses, WithoutAnIPv6ListenerTheHintOffersIPv4Only) {
    PELLIUM_SKIP_WITHOUT_IPV6_LOOPBACK();
    QTcpServer squatter;
    ASSERT_TRUE(squatter.listen(QHostAddress::AnyIPv6, static_cast<quint16>(port)));
    ChooseHost(form);
    ASSERT_TRUE(form.ServerSocket1->Active());
    EXPECT_TRUE(Messages().isEmpty());
    const QStringList lines = form.RadioButton1->toolTip().split(u'\n');
    ASSERT_GE(lines.size(), 2);
    for (const QString& address : lines.mid(1)) {
        SCOPED_TRACE(address.toStdString());
        EXPECT_EQ(QHostAddress(address).protocol(), QAbstractSocket::IPv4Protocol);
    }
}

// The hint is a hint only: the status bar shows what it showed, pixel for pixel.
TEST_F(Form1HostAddresses, TheStatusBarLooksAsBefore) {
    const QImage before = form.StatusBar1->grab().toImage();
    ChooseHost(form);
    EXPECT_EQ(Panel(form, 0), "Bağlantı Yok");
    EXPECT_EQ(form.RadioButton1->text(), "Oyunu Kur");
    EXPECT_EQ(form.StatusBar1->grab().toImage(), before);
}

} // namespace
