#include "app/textcodec.h"

namespace {
// 0x80..0x9F; 0 marks the five bytes the code page leaves undefined.
const char16_t kHigh[32] = { 0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6,
    0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013,
    0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178 };
} // namespace

QByteArray toCp1252(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    appendCp1252(out, text);
    return out;
}

void appendCp1252(QByteArray &out, QStringView text)
{
    // One byte per character at most: written into place, not appended one by one.
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char *p = out.data() + start;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            *p++ = char(u);
            continue;
        }
        char mapped = '?';
        for (int k = 0; k < 32; ++k) {
            if (kHigh[k] && kHigh[k] == u) {
                mapped = char(0x80 + k);
                break;
            }
        }
        // A surrogate pair is one character and becomes one "?".
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        *p++ = mapped;
    }
    out.resize(p - out.constData());
}

QString fromCp1252(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const unsigned char b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b <= 0x9F)
            out.append(kHigh[b - 0x80] ? QChar(kHigh[b - 0x80]) : QChar(0xFFFD));
        else
            out.append(QChar(b));
    }
    return out;
}
