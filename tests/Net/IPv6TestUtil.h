#pragma once
// Helpers for the network tests over IPv6: whether this machine has an IPv6 loopback (the
// tests that need one skip cleanly where it has none), and a port free on both families.

#include <QHostAddress>
#include <QTcpServer>
#include <gtest/gtest.h>

namespace nettest {

// Can this machine listen on ::1 (and so connect to it).
inline bool HasIPv6Loopback() {
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHostIPv6, 0);
}

// A port nobody listens on right now, on IPv4 nor on IPv6 (where there is IPv6).
inline int FreeDualPort() {
    for (int attempt = 0; attempt < 50; ++attempt) {
        QTcpServer ipv4;
        if (!ipv4.listen(QHostAddress::AnyIPv4, 0)) continue;
        QTcpServer ipv6;
        if (!HasIPv6Loopback() || ipv6.listen(QHostAddress::AnyIPv6, ipv4.serverPort()))
            return ipv4.serverPort();
    }
    ADD_FAILURE() << "no port free on both families";
    return 0;
}

} // namespace nettest

// Ends the test here, as skipped, where the machine has no IPv6 loopback.
#define PELLIUM_SKIP_WITHOUT_IPV6_LOOPBACK()                                                       \
    if (!nettest::HasIPv6Loopback()) GTEST_SKIP() << "this machine has no IPv6 loopback (::1)"
