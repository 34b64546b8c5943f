#pragma once
// A bounded queue of received messages: the messages a peer sent before it closed its
// connection and that were not handled by then, kept so that they are still handled after the
// close. Only so many are kept, as a peer that floods and leaves should not keep the window
// busy for long after it.

#include "Net/WireProtocol.h"

#include <cstddef>
#include <deque>
#include <optional>

class TWireMessageQueue {
public:
    static constexpr std::size_t MaxMessages = 256;
    static constexpr qsizetype MaxBytes = 64 * 1024;

    // Takes the complete messages out of a connection's reader; those past the bounds are
    // dropped.
    void Keep(TWireReader& reader);
    // The oldest message kept, taken out of the queue; nullopt when it is empty.
    std::optional<TWireMessage> Next();

private:
    std::deque<TWireMessage> messages_;
    qsizetype bytes_ = 0;
};
