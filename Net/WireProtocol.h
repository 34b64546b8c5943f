#pragma once
// The game link's wire protocol, without sockets: framing of the byte stream into messages
// and the building of outgoing messages.
//
// A message is one kind letter, a payload of zero or more bytes and a CR (code 13). Nothing
// else travels: no LF, no length, no header. Kinds: 'm' a chat line, 'p' a move ("E2E4"),
// 'r' a game start (the host's colour, "0" White or "1" Black).

#include "GameBoard/Rules/BoardTypes.h"

#include <QByteArray>
#include <QByteArrayView>
#include <optional>
#include <variant>

namespace WireKind {
constexpr char Chat = 'm';
constexpr char Move = 'p';
constexpr char Start = 'r';
} // namespace WireKind

constexpr char WireTerminator = '\r';

// One received message: its kind letter and its payload (the bytes after the kind, without
// the terminating CR).
struct TWireMessage {
    char Kind = 0;
    QByteArray Payload;
    bool operator==(const TWireMessage&) const = default;
};

// Splits the byte stream of one connection into messages. Feed it every read, in order;
// Next() yields the complete messages in the order they arrived. Bytes after the last CR are
// kept and completed by later reads, so a message that TCP splits is not lost.
//
// Memory is bounded: a message longer than MaxMessageSize bytes (kind and payload) is dropped
// whole. While the oversized message is still arriving only the fact that it is being skipped
// is kept, and reading resumes with the message after its CR.
class TWireReader {
public:
    static constexpr qsizetype MaxMessageSize = 64 * 1024;

    void Feed(QByteArrayView bytes);
    // The next complete, non-empty message of acceptable size; nullopt when none is waiting.
    // Empty messages (a CR right after a CR) are skipped.
    std::optional<TWireMessage> Next();
    // Bytes received and not yet handed out (complete messages and the incomplete tail).
    qsizetype BufferedBytes() const { return buffer_.size() - readPos_; }
    // Messages dropped so far because they were longer than MaxMessageSize.
    int DroppedMessages() const { return dropped_; }

private:
    void BoundTail();

    QByteArray buffer_;
    qsizetype readPos_ = 0; // start of the first message not yet handed out
    qsizetype tailStart_ = 0; // start of the incomplete message after the last CR
    bool skipping_ = false; // inside an oversized message: drop bytes up to the next CR
    int dropped_ = 0;
};

// A whole outgoing message: kind, payload, CR. CR and LF are removed from the payload, so
// nothing we send can end a message early or smuggle in a second one.
QByteArray BuildWireMessage(char kind, QByteArrayView payload);

// "E2": the file letter 'A'..'H' (64 + file) and the rank digit.
QByteArray SquareName(Square square);
// The p message for a move: "p", SquareName(from), SquareName(to), CR.
QByteArray MoveMessage(Square from, Square to);
// The r message: "r", the host's colour index in decimal, CR.
QByteArray StartMessage(int hostColour);
// The m message: "m", the chat line ("<name> text" in the link's code page), CR.
QByteArray ChatMessage(QByteArrayView line);

// A received move payload: characters 1-2 and 3-4 read as square names ("e2" or "E2"),
// anything after the fourth ignored; a part that is no square name yields None.
struct TWireMove {
    Square From = Square::None;
    Square To = Square::None;
};
TWireMove ParseMovePayload(QByteArrayView payload);

// The move lock the receiver of an r message takes: 1 (it plays Black) when the host plays
// White, that is when the payload is exactly "0"; 0 (it plays White) for any other payload.
int ReceiverLockForStart(QByteArrayView payload);

// What a received message asks of the window.
struct TChatLine {
    QByteArray Text; // the payload, in the link's code page
    bool operator==(const TChatLine&) const = default;
};
struct TGameStart {
    int MoveLock = 0; // the receiver's move lock, see ReceiverLockForStart
    bool operator==(const TGameStart&) const = default;
};
inline bool operator==(const TWireMove& a, const TWireMove& b) {
    return a.From == b.From && a.To == b.To;
}
// std::monostate: a kind the protocol does not know; the message is ignored.
using TWireCommand = std::variant<std::monostate, TChatLine, TWireMove, TGameStart>;
TWireCommand InterpretMessage(const TWireMessage& message);
