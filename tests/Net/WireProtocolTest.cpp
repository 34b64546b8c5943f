// The game link's framing and message building, fed with bytes (no sockets).
#include "Net/WireProtocol.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

void PrintTo(const TWireMessage& m, std::ostream* os) {
    *os << "{'" << QByteArray(1, m.Kind).toHex().toStdString() << "' "
        << m.Payload.toHex().toStdString() << "}";
}

namespace {

std::vector<TWireMessage> Drain(TWireReader& reader) {
    std::vector<TWireMessage> out;
    while (auto m = reader.Next()) out.push_back(*m);
    return out;
}

std::vector<TWireMessage> ReadAll(const std::vector<QByteArray>& reads) {
    TWireReader reader;
    std::vector<TWireMessage> out;
    for (const QByteArray& r : reads) {
        reader.Feed(r);
        for (TWireMessage& m : Drain(reader)) out.push_back(std::move(m));
    }
    return out;
}

struct FramingCase {
    const char* name;
    std::vector<QByteArray> reads;
    std::vector<TWireMessage> expected;
};

void PrintTo(const FramingCase& c, std::ostream* os) {
    *os << c.name;
}

class WireFraming : public testing::TestWithParam<FramingCase> { };

TEST_P(WireFraming, YieldsCompleteMessagesInOrder) {
    EXPECT_EQ(ReadAll(GetParam().reads), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Reads, WireFraming,
    testing::Values(FramingCase { "TwoInOneRead", { "pE2E4\rm<x> hi\r" },
                        { { 'p', "E2E4" }, { 'm', "<x> hi" } } },
        FramingCase { "SplitInsidePayload", { "pE2", "E4\r" }, { { 'p', "E2E4" } } },
        FramingCase { "SplitBeforeCr", { "m<a> ", "merhaba", "\r" }, { { 'm', "<a> merhaba" } } },
        FramingCase {
            "SplitAfterKind", { "r", "1\rp", "e7e5\r" }, { { 'r', "1" }, { 'p', "e7e5" } } },
        FramingCase { "OneByteAtATime", { "p", "E", "2", "E", "4", "\r" }, { { 'p', "E2E4" } } },
        FramingCase { "TailWaitsForCr", { "pE2E4\rpE7" }, { { 'p', "E2E4" } } },
        FramingCase { "CrLfMakesLfTheNextKind", { "m<a> hi\r\nr0\r" },
            { { 'm', "<a> hi" }, { '\n', "r0" } } },
        FramingCase { "EmptyMessagesSkipped", { "\r\r", "\rpE2E4\r\r" }, { { 'p', "E2E4" } } },
        FramingCase { "KindOnly", { "p\rm\r" }, { { 'p', "" }, { 'm', "" } } },
        FramingCase { "BytesPassedUnchanged", { QByteArray("m<\xFD\x00>\x01 \xD0\r", 9) },
            { { 'm', QByteArray("<\xFD\x00>\x01 \xD0", 7) } } }),
    [](const testing::TestParamInfo<FramingCase>& row) { return row.param.name; });

TEST(WireReader, MessagesFedWhileOthersWaitKeepTheirOrder) {
    TWireReader reader;
    reader.Feed("pE2E4\rm<a");
    ASSERT_EQ(reader.Next(), (TWireMessage { 'p', "E2E4" }));
    reader.Feed("> x\rr0\r");
    EXPECT_EQ(Drain(reader), (std::vector<TWireMessage> { { 'm', "<a> x" }, { 'r', "0" } }));
    EXPECT_EQ(reader.BufferedBytes(), 0);
}

TEST(WireReader, AMegabyteWithoutCrIsDroppedWithBoundedMemory) {
    TWireReader reader;
    const QByteArray chunk(4096, 'x');
    reader.Feed("pE2E4\rm");
    for (int i = 0; i < 256; ++i) {
        reader.Feed(chunk);
        ASSERT_LE(reader.BufferedBytes(), TWireReader::MaxMessageSize + 6);
    }
    reader.Feed("end of flood\rm<a> after\r");
    EXPECT_EQ(Drain(reader), (std::vector<TWireMessage> { { 'p', "E2E4" }, { 'm', "<a> after" } }));
    EXPECT_EQ(reader.DroppedMessages(), 1);
    EXPECT_EQ(reader.BufferedBytes(), 0);
}

TEST(WireReader, OversizedMessageInOneReadIsDroppedAndNeighboursKept) {
    TWireReader reader;
    reader.Feed("r0\r" + QByteArray(TWireReader::MaxMessageSize + 1, 'm') + "\rpE2E4\r");
    EXPECT_EQ(Drain(reader), (std::vector<TWireMessage> { { 'r', "0" }, { 'p', "E2E4" } }));
    EXPECT_EQ(reader.DroppedMessages(), 1);
}

TEST(WireReader, MessageOfExactlyTheLimitIsKept) {
    const QByteArray payload(TWireReader::MaxMessageSize - 1, 'a');
    TWireReader reader;
    reader.Feed("m" + payload.left(1000));
    reader.Feed(payload.mid(1000) + "\r");
    const auto m = reader.Next();
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->Payload, payload);
    EXPECT_EQ(reader.DroppedMessages(), 0);
}

// ---- The size limit, at its boundary and wherever the reads split a message ----

constexpr qsizetype kLimit = TWireReader::MaxMessageSize;

// A chat message of `size` bytes, kind included, whose payload differs from place to place.
QByteArray MessageOfSize(qsizetype size) {
    QByteArray message(size, Qt::Uninitialized);
    message[0] = WireKind::Chat;
    for (qsizetype i = 1; i < size; ++i) message[i] = static_cast<char>('a' + i % 26);
    return message;
}

TWireMessage Framed(const QByteArray& message) {
    return { message.at(0), message.mid(1) };
}

// Where the reads end, counted from the first byte of the message under test (so 0 is right
// before its kind and size + 1 right after its CR).
struct SplitCase {
    const char* name;
    std::vector<qsizetype> (*cuts)(qsizetype size);
};

const SplitCase kSplits[] = {
    { "OneRead", [](qsizetype) { return std::vector<qsizetype> {}; } },
    { "AfterKind", [](qsizetype) { return std::vector<qsizetype> { 1 }; } },
    { "InThePayload", [](qsizetype size) { return std::vector<qsizetype> { size / 2 }; } },
    { "BeforeLastByte", [](qsizetype size) { return std::vector<qsizetype> { size - 1 }; } },
    { "BeforeCr", [](qsizetype size) { return std::vector<qsizetype> { size }; } },
    { "CrInAReadOfItsOwn",
        [](qsizetype size) {
            return std::vector<qsizetype> { size, size + 1 };
        } },
    { "ByteByByteAtTheEnd",
        [](qsizetype size) {
            return std::vector<qsizetype> { size - 2, size - 1, size, size + 1 };
        } },
    { "Everywhere",
        [](qsizetype size) {
            return std::vector<qsizetype> { 0, 1, 2, size / 2, size - 1, size, size + 1, size + 2 };
        } },
};

void PrintTo(const SplitCase& c, std::ostream* os) {
    *os << c.name;
}

class WireLimit : public testing::TestWithParam<std::tuple<int, SplitCase>> { };

// The message under test, of the limit plus 'over' bytes, comes between two short ones:
// "r0" CR, the message, CR, "pE2E4" CR. After each read the reader holds exactly what it has
// of the unfinished message while that is within the limit, and nothing of it beyond: an
// unfinished message of the limit waits across reads for its CR.
TEST_P(WireLimit, KeepsMessagesUpToTheLimitAndDropsLongerOnesWhereverTheReadsEnd) {
    const auto& [over, split] = GetParam();
    const qsizetype size = kLimit + over;
    const QByteArray message = MessageOfSize(size);
    const QByteArray before = "r0\r";
    const QByteArray stream = before + message + "\rpE2E4\r";

    TWireReader reader;
    std::vector<TWireMessage> received;
    qsizetype fed = 0;
    for (const qsizetype cut : split.cuts(size)) {
        const qsizetype end = before.size() + cut;
        reader.Feed(QByteArrayView(stream).sliced(fed, end - fed));
        fed = end;
        for (TWireMessage& m : Drain(reader)) received.push_back(std::move(m));
        SCOPED_TRACE(cut);
        // The unfinished message: the one under test, or the move after it.
        const qsizetype held = cut <= size ? (cut <= kLimit ? cut : 0) : cut - size - 1;
        EXPECT_EQ(reader.BufferedBytes(), held);
    }
    reader.Feed(QByteArrayView(stream).sliced(fed));
    for (TWireMessage& m : Drain(reader)) received.push_back(std::move(m));

    std::vector<TWireMessage> expected { { 'r', "0" } };
    if (size <= kLimit) expected.push_back(Framed(message));
    expected.push_back({ 'p', "E2E4" });
    EXPECT_EQ(received.size(), expected.size());
    EXPECT_TRUE(received == expected); // (no dump of 64 KiB payloads)
    EXPECT_EQ(reader.DroppedMessages(), size <= kLimit ? 0 : 1);
    EXPECT_EQ(reader.BufferedBytes(), 0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, WireLimit,
    testing::Combine(testing::Values(-1, 0, 1), testing::ValuesIn(kSplits)),
    [](const testing::TestParamInfo<WireLimit::ParamType>& row) {
        const int over = std::get<0>(row.param);
        return std::string(over < 0 ? "OneUnder"
                       : over == 0  ? "AtTheLimit"
                                    : "OneOver")
            + std::get<1>(row.param).name;
    });

// Messages of the limit right after a dropped one, each waiting for its CR across reads: the
// skipping ends exactly at the dropped message's CR, and what follows it is bounded afresh.
TEST(WireReader, MessagesOfTheLimitRightAfterADroppedOneAreKept) {
    const QByteArray first = MessageOfSize(kLimit);
    const QByteArray second = MessageOfSize(kLimit);
    TWireReader reader;
    reader.Feed(MessageOfSize(kLimit + 1)); // unfinished and already too long: skipped
    EXPECT_EQ(reader.BufferedBytes(), 0);
    reader.Feed("\r" + first);
    EXPECT_FALSE(reader.Next().has_value());
    EXPECT_EQ(reader.BufferedBytes(), kLimit);
    reader.Feed("\r" + second);
    EXPECT_EQ(reader.BufferedBytes(), 2 * kLimit + 1); // the first, complete, and the second
    ASSERT_TRUE(reader.Next() == Framed(first));
    EXPECT_FALSE(reader.Next().has_value());
    reader.Feed("\r");
    ASSERT_TRUE(reader.Next() == Framed(second));
    EXPECT_EQ(reader.DroppedMessages(), 1);
    EXPECT_EQ(reader.BufferedBytes(), 0);
}

TEST(WireMessages, MoveTravelsAsKindSquaresAndCr) {
    EXPECT_EQ(MoveMessage(Square::E2, Square::E4), QByteArray::fromHex("70453245340D"));
    EXPECT_EQ(MoveMessage(Square::A8, Square::H1), "pA8H1\r");
    EXPECT_EQ(MoveMessage(Square::E1, Square::G1), "pE1G1\r");
}

TEST(WireMessages, EverySquareNameParsesBackToItsSquare) {
    for (int i = 1; i <= 64; ++i) {
        const Square s = ToSquare(i);
        const QByteArray name = SquareName(s);
        SCOPED_TRACE(name.toStdString());
        ASSERT_EQ(name.size(), 2);
        EXPECT_EQ(ParseMovePayload(name + name).From, s);
        EXPECT_EQ(ParseMovePayload(name + name.toLower()).To, s);
    }
}

TEST(WireMessages, StartCarriesTheHostColour) {
    EXPECT_EQ(StartMessage(0), "r0\r");
    EXPECT_EQ(StartMessage(1), "r1\r");
}

TEST(WireMessages, LineBreaksNeverEnterAPayload) {
    EXPECT_EQ(BuildWireMessage('m', "<a\r> b\npE2E4\r\nc"), "m<a> bpE2E4c\r");
    EXPECT_EQ(BuildWireMessage('m', ""), "m\r");
    EXPECT_EQ(BuildWireMessage('m', QByteArray("<\x00>", 3)), QByteArray("m<\x00>\r", 5));
}

struct CommandCase {
    const char* name;
    QByteArray bytes;
    TWireCommand expected;
};

void PrintTo(const CommandCase& c, std::ostream* os) {
    *os << c.name;
}

class WireCommands : public testing::TestWithParam<CommandCase> { };

TEST_P(WireCommands, MessageMeansWhatItsKindSays) {
    TWireReader reader;
    reader.Feed(GetParam().bytes);
    const auto m = reader.Next();
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(InterpretMessage(*m), GetParam().expected);
    EXPECT_FALSE(reader.Next().has_value());
}

INSTANTIATE_TEST_SUITE_P(Kinds, WireCommands,
    testing::Values(CommandCase { "Move", "pE2E4\r", TWireMove { Square::E2, Square::E4 } },
        CommandCase { "MoveLowerCase", "pe2e4\r", TWireMove { Square::E2, Square::E4 } },
        CommandCase { "MoveMixedCase", "pe7E5\r", TWireMove { Square::E7, Square::E5 } },
        CommandCase { "MoveExtraIgnored", "pE2E4X\r", TWireMove { Square::E2, Square::E4 } },
        CommandCase { "MoveBadRank", "pE9E4\r", TWireMove { Square::None, Square::E4 } },
        CommandCase { "MoveBadFile", "pi2i4\r", TWireMove { Square::None, Square::None } },
        CommandCase { "MoveHalf", "pE2\r", TWireMove { Square::E2, Square::None } },
        CommandCase { "MoveBare", "p\r", TWireMove { Square::None, Square::None } },
        CommandCase { "StartHostWhite", "r0\r", TGameStart { 1 } },
        CommandCase { "StartHostBlack", "r1\r", TGameStart { 0 } },
        CommandCase { "StartEmpty", "r\r", TGameStart { 0 } },
        CommandCase { "StartZeroZero", "r00\r", TGameStart { 0 } },
        CommandCase { "StartZeroBlank", "r0 \r", TGameStart { 0 } },
        CommandCase { "StartTwo", "r2\r", TGameStart { 0 } },
        CommandCase { "Chat", "m<Oyuncu Ad\xFD> selam\r", TChatLine { "<Oyuncu Ad\xFD> selam" } },
        CommandCase { "UnknownKind", "xE2E4\r", std::monostate {} },
        CommandCase { "UpperCaseKind", "PE2E4\r", std::monostate {} },
        CommandCase { "LfKind", "\nr0\r", std::monostate {} }),
    [](const testing::TestParamInfo<CommandCase>& row) { return row.param.name; });

} // namespace
