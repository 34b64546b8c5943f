#include "Net/HostAddress.h"

#include "Net/SocketSupport.h"

#include <QNetworkAddressEntry>
#include <QNetworkInterface>
#include <algorithm>
#include <array>

namespace {

// Interface names are at most 15 characters (IFNAMSIZ less the NUL).
constexpr qsizetype kMaxZoneLength = 15;

bool IsHexDigitColonOrDot(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F')
        || c == u':' || c == u'.';
}

// An interface name ("eth0", "wlp2s0", "br-lan.10") or number.
bool IsZone(const QString& zone) {
    return !zone.isEmpty() && zone.size() <= kMaxZoneLength
        && std::all_of(zone.begin(), zone.end(), [](QChar c) {
               return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')
                   || (c >= u'0' && c <= u'9') || c == u'.' || c == u'-' || c == u'_';
           });
}

QHostAddress ParseIPv6Literal(QString text) {
    const bool opens = text.startsWith(u'[');
    if (opens != text.endsWith(u']')) return {};
    if (opens) text = text.mid(1, text.size() - 2);
    const qsizetype percent = text.indexOf(u'%');
    const QString address = percent < 0 ? text : text.left(percent);
    if (address.isEmpty() || !std::all_of(address.begin(), address.end(), IsHexDigitColonOrDot))
        return {};
    QHostAddress host;
    if (!host.setAddress(address) || host.protocol() != QAbstractSocket::IPv6Protocol) return {};
    if (percent >= 0) {
        const QString zone = text.mid(percent + 1);
        if (!IsZone(zone)) return {};
        host.setScopeId(zone);
    }
    return host;
}

// The ranks of FriendAddresses, best first.
enum class Rank { IPv4, GlobalIPv6, UniqueLocalIPv6, LinkLocal, Loopback, Unusable };

Rank RankOf(const QHostAddress& address, bool withIPv6) {
    const bool ipv4 = address.protocol() == QAbstractSocket::IPv4Protocol;
    if (address.isNull() || address.isMulticast() || address.isBroadcast()
        || (!ipv4 && (!withIPv6 || address.protocol() != QAbstractSocket::IPv6Protocol)))
        return Rank::Unusable;
    if (address.isLoopback()) return Rank::Loopback;
    if (address.isLinkLocal()) return Rank::LinkLocal;
    if (ipv4) return Rank::IPv4;
    if (address.isSiteLocal()) return Rank::Unusable; // fec0::/10, long deprecated
    if (address.isUniqueLocalUnicast()) return Rank::UniqueLocalIPv6;
    if (address.isGlobal()) return Rank::GlobalIPv6;
    return Rank::Unusable; // site-local and other reserved ranges
}

} // namespace

QHostAddress ParseHostAddress(const QString& text) {
    if (!text.contains(u':')) return ParseDottedIPv4(text);
    return ParseIPv6Literal(text);
}

std::vector<TInterfaceAddress> MachineAddresses() {
    std::vector<TInterfaceAddress> addresses;
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        const bool up = interface.flags().testFlag(QNetworkInterface::IsUp);
        for (const QNetworkAddressEntry& entry : interface.addressEntries())
            addresses.push_back({ entry.ip(), up });
    }
    return addresses;
}

std::vector<QHostAddress> FriendAddresses(
    const std::vector<TInterfaceAddress>& addresses, bool withIPv6) {
    std::array<std::vector<QHostAddress>, static_cast<std::size_t>(Rank::Unusable)> ranked;
    for (const TInterfaceAddress& entry : addresses) {
        if (!entry.InterfaceUp) continue;
        const Rank rank = RankOf(entry.Address, withIPv6);
        if (rank == Rank::Unusable) continue;
        QHostAddress address = entry.Address;
        address.setScopeId(QString());
        std::vector<QHostAddress>& group = ranked[static_cast<std::size_t>(rank)];
        if (std::find(group.begin(), group.end(), address) == group.end()) group.push_back(address);
    }
    const auto take = [&ranked](std::initializer_list<Rank> ranks) {
        std::vector<QHostAddress> result;
        for (const Rank rank : ranks) {
            const std::vector<QHostAddress>& group = ranked[static_cast<std::size_t>(rank)];
            result.insert(result.end(), group.begin(), group.end());
        }
        return result;
    };
    std::vector<QHostAddress> usable
        = take({ Rank::IPv4, Rank::GlobalIPv6, Rank::UniqueLocalIPv6 });
    if (!usable.empty()) return usable;
    return take({ Rank::LinkLocal, Rank::Loopback });
}
