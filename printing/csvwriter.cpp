#include "printing/csvwriter.h"

#include "app/dialogs.h"
#include "app/savefile.h"
#include "app/textcodec.h"

#include <QVariant>

QString feld(const QVariant &value)
{
    QString text = value.toString();
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (QChar &c : text) {
        if (c == QLatin1Char(';') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    }
    return text;
}

QString csvPreis(double value)
{
    QString text = QString::number(value, 'f', 2);
    if (text.endsWith(QLatin1String("00")))
        text.chop(3);
    else if (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

QByteArray csvText(const QStringList &header, const QList<QStringList> &records)
{
    const QString lineEnd = QStringLiteral("\r\n");
    QString text = header.join(QLatin1Char(';')) + lineEnd;
    for (const QStringList &record : records)
        text += record.join(QLatin1Char(';')) + lineEnd;
    return toCp1252(text);
}

const QStringList &shopCsvHeader()
{
    static const QStringList header = { "Verkaufsart", "Kurzbeschreibung", "Stück", "Zahlungsart",
        "Versandart", "Versandkosten", "Preis", "Zustand", "EAN", "ISBN", "Lagerplatz", "Gewicht",
        "Bild1", "Bild2", "Bild3", "Bild4", "Bild5", "Beschreibung", "Kategorie" };
    return header;
}

bool writeFile(const QString &path, const QByteArray &bytes, QWidget *parent)
{
    QString failure;
    if (saveFile(path, bytes, &failure))
        return true;
    Dialogs::warning(parent, QStringLiteral("Fehler"), failure);
    return false;
}
