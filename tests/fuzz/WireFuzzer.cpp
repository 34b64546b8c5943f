// Feeds arbitrary byte chunks to the game link's reader and acts on a board the way the
// window's read handler does: moves are played, start messages begin a new game, chat lines
// are decoded for the log. The board must stay in a valid game state and the reader's memory
// must stay bounded.
#include "FuzzChecks.h"
#include "Net/TextCodec.h"
#include "Net/WireProtocol.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TChessModel board;
    TWireReader reader;
    const TTextCodec codec;
    std::size_t pos = 0;
    while (pos < size) {
        // The first byte of every chunk is its length: TCP may split the stream anywhere.
        const std::size_t chunk = std::min<std::size_t>(size - pos - 1, data[pos]);
        reader.Feed(
            QByteArrayView(reinterpret_cast<const char*>(data + pos + 1), qsizetype(chunk)));
        pos += chunk + 1;
        FUZZ_CHECK(reader.BufferedBytes() <= 2 * TWireReader::MaxMessageSize + 256);
        while (auto message = reader.Next()) {
            FUZZ_CHECK(message->Payload.size() < TWireReader::MaxMessageSize);
            std::visit(
                [&](const auto& command) {
                    using T = std::decay_t<decltype(command)>;
                    if constexpr (std::is_same_v<T, TWireMove>) {
                        board.MakeMove(command.From, command.To);
                    } else if constexpr (std::is_same_v<T, TGameStart>) {
                        FUZZ_CHECK(command.MoveLock == 0 || command.MoveLock == 1);
                        board.NewGame();
                    } else if constexpr (std::is_same_v<T, TChatLine>) {
                        const QString line = VisibleControlChars(codec.Decode(command.Text));
                        FUZZ_CHECK(!line.contains(QChar('\r')) && !line.contains(QChar('\n')));
                    }
                },
                InterpretMessage(*message));
            CheckValidGameState(board);
        }
    }
    return 0;
}
