#include "Net/TcpResetProbe.h"

#include <fcntl.h>
#include <unistd.h>

#if defined(__linux__)
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif

TTcpResetProbe::TTcpResetProbe(qintptr descriptor) {
    if (descriptor >= 0) descriptor_ = ::fcntl(static_cast<int>(descriptor), F_DUPFD_CLOEXEC, 0);
}

TTcpResetProbe::~TTcpResetProbe() {
    if (descriptor_ >= 0) ::close(descriptor_);
}

bool TTcpResetProbe::WasReset() const {
#if defined(__linux__)
    if (descriptor_ < 0) return false;
    tcp_info info {};
    socklen_t size = sizeof info;
    if (::getsockopt(descriptor_, IPPROTO_TCP, TCP_INFO, &info, &size) != 0) return false;
    return info.tcpi_state == TCP_CLOSE;
#else
    return false;
#endif
}
