#pragma once
// The addresses of network play: what the joiner may type as the host's address, and which of
// this machine's own addresses a host can give a friend to type.

#include <QHostAddress>
#include <QString>
#include <vector>

// The host's address as typed: a dotted IPv4 address (exactly as ParseDottedIPv4 takes it) or
// an IPv6 literal ("::1", "2001:db8::5"), the latter with or without square brackets and with
// an optional zone ("fe80::1%eth0", the zone being an interface name or number). No host-name
// lookup, no port, no blanks. A null address for anything else.
QHostAddress ParseHostAddress(const QString& text);

// One address of one of the machine's network interfaces.
struct TInterfaceAddress {
    QHostAddress Address;
    bool InterfaceUp = false;
};

// Every address of every network interface of this machine, in the system's order.
std::vector<TInterfaceAddress> MachineAddresses();

// The addresses a friend can use to join this machine, best first: the IPv4 addresses of
// interfaces that are up, then their global IPv6 addresses, then their unique-local IPv6 ones;
// only when there is none of these, their link-local and then their loopback addresses. A
// link-local address is given without its zone, which names an interface of this machine and
// not of the friend's. Without withIPv6 (the host does not listen on IPv6) no IPv6 address is
// given. Each address once.
std::vector<QHostAddress> FriendAddresses(
    const std::vector<TInterfaceAddress>& addresses, bool withIPv6);
