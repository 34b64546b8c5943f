#include "Net/WireMessageQueue.h"

#include <utility>

void TWireMessageQueue::Keep(TWireReader& reader) {
    while (auto message = reader.Next()) {
        if (messages_.size() >= MaxMessages || bytes_ + message->Payload.size() > MaxBytes)
            continue; // dropped
        bytes_ += message->Payload.size();
        messages_.push_back(std::move(*message));
    }
}

std::optional<TWireMessage> TWireMessageQueue::Next() {
    if (messages_.empty()) return std::nullopt;
    TWireMessage message = std::move(messages_.front());
    messages_.pop_front();
    bytes_ -= message.Payload.size();
    return message;
}
