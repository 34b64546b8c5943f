#include "Net/WireProtocol.h"

#include "GameBoard/Rules/ChessModel.h"

#include <string>

void TWireReader::Feed(QByteArrayView bytes) {
    if (skipping_) {
        const qsizetype cr = bytes.indexOf(WireTerminator);
        if (cr < 0) return; // still inside the oversized message
        skipping_ = false;
        ++dropped_;
        bytes = bytes.sliced(cr + 1);
    }
    const qsizetype appendedAt = buffer_.size();
    buffer_.append(bytes.data(), bytes.size());
    const qsizetype lastCr = bytes.lastIndexOf(WireTerminator);
    if (lastCr >= 0) tailStart_ = appendedAt + lastCr + 1;
    BoundTail();
}

// The incomplete message at the end may not outgrow the limit: past it, the message can only
// be dropped, so its bytes are released at once and the rest of it is skipped as it arrives.
void TWireReader::BoundTail() {
    if (buffer_.size() - tailStart_ <= MaxMessageSize) return;
    buffer_.truncate(tailStart_);
    skipping_ = true;
}

std::optional<TWireMessage> TWireReader::Next() {
    while (readPos_ < tailStart_) {
        const qsizetype cr = buffer_.indexOf(WireTerminator, readPos_);
        const qsizetype start = readPos_;
        const qsizetype length = cr - start;
        readPos_ = cr + 1;
        if (length == 0) continue;
        if (length > MaxMessageSize) {
            ++dropped_;
            continue;
        }
        return TWireMessage { buffer_.at(start), buffer_.mid(start + 1, length - 1) };
    }
    // Everything complete has been handed out: keep only the incomplete tail.
    buffer_.remove(0, readPos_);
    tailStart_ -= readPos_;
    readPos_ = 0;
    return std::nullopt;
}

QByteArray BuildWireMessage(char kind, QByteArrayView payload) {
    QByteArray message;
    message.reserve(payload.size() + 2);
    message.append(kind);
    for (const char c : payload)
        if (c != '\r' && c != '\n') message.append(c);
    message.append(WireTerminator);
    return message;
}

QByteArray SquareName(Square square) {
    QByteArray name;
    name.append(static_cast<char>(64 + FileOf(square)));
    name.append(QByteArray::number(RankOf(square)));
    return name;
}

QByteArray MoveMessage(Square from, Square to) {
    return BuildWireMessage(WireKind::Move, SquareName(from) + SquareName(to));
}

QByteArray StartMessage(int hostColour) {
    return BuildWireMessage(WireKind::Start, QByteArray::number(hostColour));
}

QByteArray ChatMessage(QByteArrayView line) {
    return BuildWireMessage(WireKind::Chat, line);
}

TWireMove ParseMovePayload(QByteArrayView payload) {
    const auto [from, to] = TChessModel::MoveFromText(
        std::string(payload.data(), static_cast<std::size_t>(payload.size())));
    return TWireMove { from, to };
}

int ReceiverLockForStart(QByteArrayView payload) {
    return payload == QByteArrayView("0") ? 1 : 0;
}

TWireCommand InterpretMessage(const TWireMessage& message) {
    switch (message.Kind) {
    case WireKind::Chat:
        return TChatLine { message.Payload };
    case WireKind::Move:
        return ParseMovePayload(message.Payload);
    case WireKind::Start:
        return TGameStart { ReceiverLockForStart(message.Payload) };
    default:
        return std::monostate {};
    }
}
