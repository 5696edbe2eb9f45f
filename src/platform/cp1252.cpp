#include "platform/cp1252.h"

#include <QStringDecoder>
#include <array>
#include <cstdint>

namespace cp1252 {
namespace {

// Characters of the bytes 80..9F; the gaps keep their control character.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

char byteFor(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == c) return static_cast<char>(0x80 + i);
    return '?';
}

}  // namespace

QString decode(QByteArrayView bytes) {
    QString s(bytes.size(), Qt::Uninitialized);
    QChar* out = s.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<uint8_t>(bytes[i]);
        out[i] = QChar(b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : char16_t(b));
    }
    return s;
}

QByteArray encode(const QString& text, qsizetype maxChars) {
    QByteArray out;
    out.reserve(maxChars >= 0 ? maxChars : text.size());
    for (qsizetype i = 0; i < text.size() && (maxChars < 0 || out.size() < maxChars); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        out.append(byteFor(c));
    }
    return out;
}

QStringList fileLines(const QByteArray& bytes) {
    QStringList lines;
    const bool le = bytes.startsWith("\xFF\xFE");
    if (le || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(le ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        QString text = utf16.decode(QByteArrayView(bytes).sliced(2));
        // A lone surrogate has no UTF-8 form: it reads as the replacement character a save writes.
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
                ++i;
            else if (text[i].isSurrogate())
                text[i] = QChar::ReplacementCharacter;
        }
        lines = text.split(QLatin1Char('\n'));
    } else {
        QByteArrayView rest(bytes);
        if (rest.startsWith("\xEF\xBB\xBF")) rest = rest.sliced(3);
        // A newline byte is never part of a longer UTF-8 sequence: the lines split before decoding.
        for (;;) {
            const qsizetype end = rest.indexOf('\n');
            const QByteArrayView line = end < 0 ? rest : rest.first(end);
            QStringDecoder utf8(QStringDecoder::Utf8);
            QString text = utf8.decode(line);
            lines << (utf8.hasError() ? decode(line) : text);
            if (end < 0) break;
            rest = rest.sliced(end + 1);
        }
    }
    // A file ends with a line end, not with an empty line.
    if (lines.last().isEmpty()) lines.removeLast();
    for (QString& l : lines)
        if (l.endsWith(QLatin1Char('\r'))) l.chop(1);
    return lines;
}

}  // namespace cp1252
