#include "Net/TextCodec.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <stdexcept>
#include <string>
#include <utility>

namespace {

// An iconv descriptor that closes itself.
class IconvHandle {
public:
    IconvHandle(const char* to, const char* from)
        : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~IconvHandle() { iconv_close(cd_); }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

// Converts in (units of inUnit bytes each) to out through cd. Whenever iconv meets a unit it
// cannot convert, the unit is skipped and replace(out) is called to write its stand-in.
template <typename Replace>
void Convert(iconv_t cd, QByteArrayView in, qsizetype inUnit, QByteArray& out, Replace replace) {
    char* inPtr = const_cast<char*>(in.data());
    size_t inLeft = static_cast<size_t>(in.size());
    out.resize(in.size() * 4 + 16);
    qsizetype written = 0;
    while (inLeft > 0) {
        char* outPtr = out.data() + written;
        size_t outLeft = static_cast<size_t>(out.size() - written);
        const size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        written = outPtr - out.data();
        if (r != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        // EILSEQ (no mapping / invalid input) or EINVAL (incomplete unit at the end).
        const size_t skip = std::min(inLeft, static_cast<size_t>(inUnit));
        inPtr += skip;
        inLeft -= skip;
        out.truncate(written);
        replace(out);
        written = out.size();
        out.resize(written + static_cast<qsizetype>(inLeft) * 4 + 16);
    }
    out.truncate(written);
}

} // namespace

TTextCodec::TTextCodec(QByteArray codePage)
    : codePage_(std::move(codePage)) {
    IconvHandle probe("UTF-32LE", codePage_.constData()); // fail early on an unknown name
}

QByteArray TTextCodec::Encode(const QString& text) const {
    // Composed form first, so "g" + combining breve still becomes the single byte of "ğ".
    const QList<uint> ucs4 = text.normalized(QString::NormalizationForm_C).toUcs4();
    const QByteArrayView in(reinterpret_cast<const char*>(ucs4.constData()), ucs4.size() * 4);
    IconvHandle cd(codePage_.constData(), "UTF-32LE");
    QByteArray out;
    Convert(cd.get(), in, 4, out, [](QByteArray& o) { o.append('?'); });
    return out;
}

QString TTextCodec::Decode(QByteArrayView bytes) const {
    IconvHandle cd("UTF-16LE", codePage_.constData());
    QByteArray out;
    Convert(cd.get(), bytes, 1, out, [](QByteArray& o) {
        o.append(static_cast<char>(0xFD)); // U+FFFD, little-endian
        o.append(static_cast<char>(0xFF));
    });
    return QString(reinterpret_cast<const QChar*>(out.constData()), out.size() / 2);
}

QString WithoutLineBreaks(QString text) {
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return text;
}

QString VisibleControlChars(QString text) {
    for (QChar& c : text) {
        const char16_t code = c.unicode();
        if (code == u'\t') continue;
        if (code < 0x20)
            c = QChar(static_cast<char16_t>(0x2400 + code));
        else if (code == 0x7F)
            c = QChar(static_cast<char16_t>(0x2421));
    }
    return text;
}
