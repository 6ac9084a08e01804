#include "sales/kassenimport.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

#include <cmath>

namespace Kassenimport {

LineKind kind(const QString &line)
{
    if (line.isEmpty() || line == QLatin1String("\n") || line == QLatin1String("\r\n"))
        return LineKind::Empty;
    if (line.startsWith(QLatin1String("\"Datum\";")))
        return LineKind::Header;
    return LineKind::Data;
}

namespace {

bool readInt(const QString &text, int *value)
{
    bool ok = false;
    *value = text.trimmed().toInt(&ok);
    return ok;
}

} // namespace

bool parse(const QString &line, Line *out)
{
    QStringList fields = line.split(QLatin1Char(';'), Qt::KeepEmptyParts);
    if (fields.size() != 27)
        return false;
    for (QString &field : fields)
        field.remove(QLatin1Char('"'));

    Line read;
    // "yy" reads as 19yy: the register writes this century.
    read.date = QDate::fromString(fields.at(0).trimmed(), QStringLiteral("dd.MM.yy")).addYears(100);
    read.time = QTime::fromString(fields.at(1).trimmed(), QStringLiteral("hh:mm"));
    if (!read.date.isValid() || !read.time.isValid())
        return false;

    if (!readInt(fields.at(3), &read.menge))
        return false;

    // Only the two numbers as the register writes them: a sign, a blank or a third part is a
    // line it did not write, and a guess could book another article.
    static const QRegularExpression reference(
        QRegularExpression::anchoredPattern(QStringLiteral("(?:Vertr:)?([0-9]+)/([0-9]+)")));
    const QRegularExpressionMatch match = reference.match(fields.at(4));
    if (!match.hasMatch())
        return false;
    bool contractOk = false, articleOk = false;
    read.vertrag = match.captured(1).toLongLong(&contractOk);
    read.artikel = match.captured(2).toInt(&articleOk);
    if (!contractOk || !articleOk)
        return false;

    // German registers write "12,50"; read in the C locale, a thousands point is no number.
    const QString price
        = QString(fields.at(18)).replace(QLatin1Char(','), QLatin1Char('.')).trimmed();
    if (!price.isEmpty()) {
        bool ok = false;
        read.preis = QLocale::c().toDouble(price, &ok);
        if (!ok || !std::isfinite(read.preis))
            return false;
    }
    *out = read;
    return true;
}

} // namespace Kassenimport
