#pragma once
// Tells, once a TCP connection has ended, whether the peer reset it or closed it in order.
//
// Qt reports both as the remote host closing, and it has closed its own descriptor by the time
// it says so. The probe holds a second descriptor of the same socket, taken while the
// connection is established, so the socket's state can still be read afterwards: a connection
// the peer closed in order waits for our side to close (CLOSE_WAIT); a reset one is closed
// already. While the probe lives our side sends nothing on its own: release it before or with
// the socket.

#include <QtGlobal>

class TTcpResetProbe {
public:
    explicit TTcpResetProbe(qintptr descriptor);
    ~TTcpResetProbe();
    TTcpResetProbe(const TTcpResetProbe&) = delete;
    TTcpResetProbe& operator=(const TTcpResetProbe&) = delete;

    // The peer reset the connection. False while it is open, after an orderly close, and where
    // the system cannot tell.
    bool WasReset() const;

private:
    int descriptor_ = -1;
};
