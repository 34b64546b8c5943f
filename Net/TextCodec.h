#pragma once
// Conversion between the program's Unicode text and the single-byte code page of the game
// link (Windows-1254, the Turkish Windows code page), through the C library's iconv.
//
// Encoding never fails: a character the code page cannot hold becomes "?". Decoding never
// fails either: a byte the code page leaves undefined (0x81, 0x8D, 0x8E, 0x8F, 0x90, 0x9D,
// 0x9E in Windows-1254) becomes U+FFFD, and the rest of the text is still decoded.
// Each conversion opens and closes its own iconv descriptor, so a codec holds no mutable
// state and may be used from any thread.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

class TTextCodec {
public:
    // codePage: an iconv encoding name. Throws std::runtime_error when iconv lacks it.
    explicit TTextCodec(QByteArray codePage = "CP1254");

    QByteArray Encode(const QString& text) const;
    QString Decode(QByteArrayView bytes) const;

private:
    QByteArray codePage_;
};

// text without any CR or LF: what a single-line field may put into one message.
QString WithoutLineBreaks(QString text);

// text with every control character except TAB replaced by its visible symbol (U+2400 + code
// for codes 0..31, U+2421 for DEL), so a received line shows as exactly one line of the log
// and a NUL cannot cut it short.
QString VisibleControlChars(QString text);
