// The queue of messages a closed connection delivered and nobody handled yet: its bounds on
// the number of messages and on their bytes, at, under and over each, and which messages it
// keeps.
#include "Net/WireMessageQueue.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

void PrintTo(const TWireMessage& m, std::ostream* os) {
    *os << "{'" << m.Kind << "' " << m.Payload.size() << " bytes "
        << m.Payload.left(12).toStdString() << "}";
}

namespace {

constexpr int kMaxMessages = static_cast<int>(TWireMessageQueue::MaxMessages);
constexpr qsizetype kMaxBytes = TWireMessageQueue::MaxBytes;

// A chat message whose payload is `size` bytes and starts with its name.
TWireMessage Chat(const std::string& name, qsizetype size) {
    QByteArray payload = QByteArray::fromStdString(name).leftJustified(size, '.', true);
    return { WireKind::Chat, payload };
}

// The messages as they travel on the wire.
QByteArray Wire(const std::vector<TWireMessage>& messages) {
    QByteArray bytes;
    for (const TWireMessage& m : messages) bytes += BuildWireMessage(m.Kind, m.Payload);
    return bytes;
}

// What a connection's reader holds of these messages (and of an unfinished one after them),
// handed to the queue.
void KeepFromReader(TWireMessageQueue& queue, const std::vector<TWireMessage>& messages,
    const QByteArray& unfinished = {}) {
    TWireReader reader;
    reader.Feed(Wire(messages) + unfinished);
    queue.Keep(reader);
    EXPECT_FALSE(reader.Next().has_value()); // every complete message was taken, kept or not
    EXPECT_EQ(reader.BufferedBytes(), unfinished.size());
}

std::vector<TWireMessage> TakeAll(TWireMessageQueue& queue) {
    std::vector<TWireMessage> out;
    while (auto m = queue.Next()) out.push_back(*m);
    return out;
}

std::vector<TWireMessage> Numbered(int count, qsizetype size = 4) {
    std::vector<TWireMessage> out;
    for (int i = 0; i < count; ++i) out.push_back(Chat(std::to_string(i), size));
    return out;
}

// One connection's messages, and the indices of those the queue keeps.
struct BoundCase {
    const char* name;
    std::vector<TWireMessage> sent;
    std::vector<int> kept;
};

void PrintTo(const BoundCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<int> FirstIndices(int count) {
    std::vector<int> out;
    for (int i = 0; i < count; ++i) out.push_back(i);
    return out;
}

// Two large messages (each well within what the reader takes) that together are `over` bytes
// off the byte bound, then a short move.
std::vector<TWireMessage> TwoLargeAndAMove(qsizetype over) {
    constexpr qsizetype first = 40000;
    return { Chat("first", first), Chat("second", kMaxBytes - first + over),
        { WireKind::Move, "E2E4" } };
}

const BoundCase kBoundCases[] = {
    { "CountOneUnder", Numbered(kMaxMessages - 1), FirstIndices(kMaxMessages - 1) },
    { "CountAtTheLimit", Numbered(kMaxMessages), FirstIndices(kMaxMessages) },
    // The oldest are kept: the messages past the bound are the ones dropped.
    { "CountOneOver", Numbered(kMaxMessages + 1), FirstIndices(kMaxMessages) },
    { "CountFarOver", Numbered(3 * kMaxMessages), FirstIndices(kMaxMessages) },
    // Only the payloads count towards the bytes: the kind letter does not.
    { "EmptyPayloadsCountAsMessagesOnly",
        std::vector<TWireMessage>(kMaxMessages + 1, TWireMessage { WireKind::Move, "" }),
        FirstIndices(kMaxMessages) },
    { "BytesOneUnder", TwoLargeAndAMove(-5), { 0, 1, 2 } },
    { "BytesAtTheLimit", TwoLargeAndAMove(-4), { 0, 1, 2 } },
    // A message that does not fit is dropped on its own; a later one that fits is kept.
    { "BytesOneOver", TwoLargeAndAMove(-3), { 0, 1 } },
    { "BytesOverByTheSecond", TwoLargeAndAMove(1), { 0, 2 } },
};

class WireQueueBounds : public testing::TestWithParam<BoundCase> { };

TEST_P(WireQueueBounds, KeepsTheOldestMessagesWithinBothBoundsInOrder) {
    const BoundCase& c = GetParam();
    TWireMessageQueue queue;
    KeepFromReader(queue, c.sent);
    std::vector<TWireMessage> expected;
    for (const int i : c.kept) expected.push_back(c.sent[static_cast<std::size_t>(i)]);
    const std::vector<TWireMessage> kept = TakeAll(queue);
    EXPECT_EQ(kept.size(), expected.size());
    EXPECT_TRUE(kept == expected);
    if (kept != expected && !kept.empty()) {
        ADD_FAILURE() << "kept from " << testing::PrintToString(kept.front()) << " to "
                      << testing::PrintToString(kept.back());
    }
}

INSTANTIATE_TEST_SUITE_P(Bounds, WireQueueBounds, testing::ValuesIn(kBoundCases),
    [](const testing::TestParamInfo<BoundCase>& row) { return std::string(row.param.name); });

TEST(WireQueue, AnUnfinishedMessageIsNotKept) {
    TWireMessageQueue queue;
    KeepFromReader(queue, Numbered(2), "m<x> unfinished");
    EXPECT_EQ(TakeAll(queue), Numbered(2));
}

TEST(WireQueue, EmptyHandsOutNothing) {
    TWireMessageQueue queue;
    EXPECT_FALSE(queue.Next().has_value());
    KeepFromReader(queue, {});
    EXPECT_FALSE(queue.Next().has_value());
}

// The bounds are on what the queue holds at a time, whichever connections it came from.
TEST(WireQueue, SeveralConnectionsShareTheBoundsInTheOrderTheyClosed) {
    TWireMessageQueue queue;
    const std::vector<TWireMessage> first = Numbered(kMaxMessages - 2);
    const std::vector<TWireMessage> second { Chat("a", 1), Chat("b", 1), Chat("c", 1) };
    KeepFromReader(queue, first);
    KeepFromReader(queue, second);
    std::vector<TWireMessage> expected = first;
    expected.push_back(second[0]);
    expected.push_back(second[1]);
    EXPECT_TRUE(TakeAll(queue) == expected);
}

TEST(WireQueue, AMessageTakenOutMakesRoomForOneMore) {
    TWireMessageQueue queue;
    KeepFromReader(queue, Numbered(kMaxMessages));
    ASSERT_EQ(queue.Next(), Numbered(1).front());
    KeepFromReader(queue, { Chat("late", 4), Chat("later", 4) });
    std::vector<TWireMessage> kept = TakeAll(queue);
    ASSERT_EQ(kept.size(), static_cast<std::size_t>(kMaxMessages));
    EXPECT_EQ(kept.front(), Chat("1", 4));
    EXPECT_EQ(kept.back(), Chat("late", 4));
}

TEST(WireQueue, BytesTakenOutMakeRoomForAsManyAgain) {
    TWireMessageQueue queue;
    const std::vector<TWireMessage> full = TwoLargeAndAMove(-4); // exactly the byte bound
    KeepFromReader(queue, full);
    ASSERT_EQ(queue.Next(), full[0]);
    // The room of the first message, and not a byte more.
    const TWireMessage fits = Chat("fits", full[0].Payload.size());
    const TWireMessage tooLong = Chat("too long", 1);
    KeepFromReader(queue, { fits, tooLong });
    EXPECT_TRUE(TakeAll(queue) == (std::vector<TWireMessage> { full[1], full[2], fits }));
    // Emptied, it takes the whole bound again.
    KeepFromReader(queue, full);
    EXPECT_TRUE(TakeAll(queue) == full);
}

} // namespace
