// While hosting, the hint of "Oyunu Kur" and of status panel 0: the machine's addresses that a
// friend can type to join, with the port. A hint only: nothing drawn in the window changes.
#include "Net/HostAddress.h"
#include "Net/ServerSocket.h"
#include "Unit1/Unit1.h"
#include "Widgets/StatusBar.h"

#include <QEvent>
#include <QLabel>
#include <QRadioButton>
#include <functional>
#include <utility>

namespace {

// Runs a function each time a hint of a watched control is about to show, before it shows.
class TToolTipHook : public QObject {
public:
    TToolTipHook(QObject* parent, std::function<void()> refresh)
        : QObject(parent)
        , refresh_(std::move(refresh)) { }

    void Watch(QWidget* control) { control->installEventFilter(this); }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ToolTip) refresh_();
        return false; // the control shows the hint as it now stands
    }

private:
    std::function<void()> refresh_;
};

} // namespace

QString HostAddressHint(const std::vector<QHostAddress>& addresses, int port) {
    QString hint = QString::fromUtf8("Bu Makinanın IP Adresleri (Port %1) :").arg(port);
    if (addresses.empty()) hint += QString::fromUtf8("\nAdres Yok");
    for (const QHostAddress& address : addresses) hint += u'\n' + address.toString();
    return hint;
}

void TForm1::ConnectHostHint() {
    auto* hook = new TToolTipHook(this, [this] { RunGuarded([this] { RefreshHostHint(); }); });
    hook->Watch(RadioButton1);
    hook->Watch(StatusBar1->Panel(0));
}

void TForm1::RefreshHostHint() {
    QString hint;
    if (ServerSocket1->Active())
        hint = HostAddressHint(FriendAddresses(MachineAddresses(), ServerSocket1->ListensOnIPv6()),
            ServerSocket1->Port());
    RadioButton1->setToolTip(hint);
    StatusBar1->Panel(0)->setToolTip(hint);
}
