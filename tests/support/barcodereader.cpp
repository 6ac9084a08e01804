#include "support/barcodereader.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QProcess>

#include <algorithm>

namespace {

// Code 39 by its nine elements (bar, space, bar, ...), 1 for a wide element.
QHash<QString, QChar> code39Table()
{
    static const char *const rows[][2] = {
        { "0", "000110100" },
        { "1", "100100001" },
        { "2", "001100001" },
        { "3", "101100000" },
        { "4", "000110001" },
        { "5", "100110000" },
        { "6", "001110000" },
        { "7", "000100101" },
        { "8", "100100100" },
        { "9", "001100100" },
        { "A", "100001001" },
        { "B", "001001001" },
        { "C", "101001000" },
        { "D", "000011001" },
        { "E", "100011000" },
        { "F", "001011000" },
        { "G", "000001101" },
        { "H", "100001100" },
        { "I", "001001100" },
        { "J", "000011100" },
        { "K", "100000011" },
        { "L", "001000011" },
        { "M", "101000010" },
        { "N", "000010011" },
        { "O", "100010010" },
        { "P", "001010010" },
        { "Q", "000000111" },
        { "R", "100000110" },
        { "S", "001000110" },
        { "T", "000010110" },
        { "U", "110000001" },
        { "V", "011000001" },
        { "W", "111000000" },
        { "X", "010010001" },
        { "Y", "110010000" },
        { "Z", "011010000" },
        { "-", "010000101" },
        { ".", "110000100" },
        { " ", "011000100" },
        { "*", "010010100" },
    };
    QHash<QString, QChar> table;
    for (const auto &row : rows)
        table.insert(QLatin1String(row[1]), QLatin1Char(row[0][0]));
    return table;
}

// Reads one pixel row as a Code 39 symbol; empty unless it is a whole symbol from "*" to "*".
QString decodeRow(const QImage &image, int y)
{
    QList<int> runs;
    bool dark = false;
    int length = 0;
    const uchar *line = image.constScanLine(y);
    int first = -1, last = -1;
    for (int x = 0; x < image.width(); ++x) {
        if (line[x] < 128) {
            if (first < 0)
                first = x;
            last = x;
        }
    }
    if (first < 0)
        return QString();
    for (int x = first; x <= last; ++x) {
        const bool d = line[x] < 128;
        if (x == first || d == dark) {
            dark = d;
            ++length;
            continue;
        }
        runs << length;
        dark = d;
        length = 1;
    }
    runs << length;
    if (runs.size() < 19 || (runs.size() + 1) % 10 != 0)
        return QString();
    const int narrow = *std::min_element(runs.begin(), runs.end());
    const int wide = *std::max_element(runs.begin(), runs.end());
    if (wide < 2 * narrow)
        return QString();
    const double threshold = (narrow + wide) / 2.0;
    static const QHash<QString, QChar> table = code39Table();
    QString text;
    for (int i = 0; i < runs.size(); i += 10) {
        QString bits;
        for (int k = 0; k < 9; ++k)
            bits += runs[i + k] > threshold ? QLatin1Char('1') : QLatin1Char('0');
        if (!table.contains(bits))
            return QString();
        if (i + 9 < runs.size() && runs[i + 9] > threshold)
            return QString(); // the gap between characters is narrow
        text += table.value(bits);
    }
    if (!text.startsWith(QLatin1Char('*')) || !text.endsWith(QLatin1Char('*')) || text.size() < 3)
        return QString();
    return text.mid(1, text.size() - 2);
}

} // namespace

QString readBars(const QString &pdf)
{
    const QString prefix = pdf + QStringLiteral(".bars");
    QProcess::execute(QStringLiteral("pdftoppm"),
        { QStringLiteral("-r"), QStringLiteral("600"), QStringLiteral("-gray"),
            QStringLiteral("-png"), QStringLiteral("-singlefile"), QStringLiteral("-x"),
            QStringLiteral("0"), QStringLiteral("-y"), QStringLiteral("0"), QStringLiteral("-W"),
            QStringLiteral("2362"), QStringLiteral("-H"), QStringLiteral("20000"), pdf, prefix });
    const QImage image
        = QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_Grayscale8);
    for (int y = 0; y < image.height(); ++y) {
        const QString code = decodeRow(image, y);
        if (!code.isEmpty())
            return code;
    }
    return QString();
}
