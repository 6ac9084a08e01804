#include "printing/etikett.h"

#include "app/dialogs.h"
#include "app/numbers.h"
#include "app/sql.h"
#include "printing/artikelbarcode.h"
#include "printing/printoutput.h"
#include "printing/records/vertrag.h"

#include <QDebug>
#include <QFont>
#include <QFontMetricsF>
#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QSqlQuery>

#include <zint.h>

#include <algorithm>

namespace Labels {
namespace {

// Drawing happens in hundredths of a millimetre.
constexpr double kUnitsPerMm = 100.0;
constexpr double kLabelWidthMm = 999.0;

int labelSize()
{
    bool ok = false;
    const int size = readSettingQuietly(QStringLiteral("LabelSize")).trimmed().toInt(&ok);
    if (!ok || size <= -4)
        return 0; // a label of no height cannot be printed; take the normal one
    return qMin(size, 99);
}

// One bar of the code: left edge and width in modules of the narrow element.
struct Bar
{
    double x;
    double width;
};

// The Code 39 bars of the code from libzint, the wide elements widened from zint's 2:1 to
// 2.5:1, which scanners read more reliably at small module widths. Empty on failure.
QList<Bar> code39Bars(const QString &code, double *totalModules)
{
    QList<Bar> bars;
    *totalModules = 0;
    zint_symbol *symbol = ZBarcode_Create();
    if (!symbol)
        return bars;
    symbol->symbology = BARCODE_CODE39;
    symbol->show_hrt = 0;
    const QByteArray data = code.toLatin1();
    if (ZBarcode_Encode(
            symbol, reinterpret_cast<const unsigned char *>(data.constData()), data.size())
            >= ZINT_ERROR
        || ZBarcode_Buffer_Vector(symbol, 0) >= ZINT_ERROR || !symbol->vector
        || symbol->width <= 0) {
        qWarning() << "barcode failed:" << symbol->errtxt;
        ZBarcode_Delete(symbol);
        return bars;
    }
    QList<QPair<double, double>> rects; // in zint's modules
    const double perModule = symbol->vector->width / symbol->width;
    for (zint_vector_rect *rect = symbol->vector->rectangles; rect; rect = rect->next)
        rects.append({ rect->x / perModule, rect->width / perModule });
    ZBarcode_Delete(symbol);
    std::sort(rects.begin(), rects.end());

    constexpr double wide = 2.5;
    auto scaled = [](double modules) { return modules > 1.5 ? wide : 1.0; };
    double x = 0;
    double previousEnd = rects.isEmpty() ? 0 : rects.first().first;
    for (const auto &rect : rects) {
        x += rect.first > previousEnd + 0.5 ? scaled(rect.first - previousEnd) : 0.0;
        const double width = scaled(rect.second);
        bars.append({ x, width });
        x += width;
        previousEnd = rect.first + rect.second;
    }
    *totalModules = x;
    return bars;
}

QFont labelFont(double pixelSize, bool bold = false)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(qMax(1, qRound(pixelSize)));
    font.setBold(bold);
    return font;
}

// Lays the label out for its page height: sizes are designed for the 20 mm label and grow
// (or shrink) with the page, so everything always fits its one page.
void paintLabel(QPainter &painter, double heightMm, const QString &preis, const QString &code,
    const QString &zeile, const QString &name)
{
    // Design sizes in units for a 20 mm label.
    const double pad = 60;
    const double left = 300; // also the quiet zone before the bars
    const double priceSize = 340;
    const double textSize = 210;
    const double barHeight = 620;
    const double gap = 25;

    auto lineHeight = [](const QFont &font) { return QFontMetricsF(font).height(); };
    const double designHeight = 2 * pad + lineHeight(labelFont(priceSize, true)) + barHeight + gap
        + 3 * lineHeight(labelFont(textSize));
    const double f = heightMm * kUnitsPerMm / designHeight;

    const QFont priceFont = labelFont(priceSize * f, true);
    const QFont textFont = labelFont(textSize * f);
    const double module = 25 * qMax(1.0, f); // a quarter millimetre at the normal size

    painter.setPen(Qt::black);
    double y = pad * f;
    const double x0 = left * qMax(1.0, f);

    auto drawLine = [&](const QFont &font, const QString &text, double x) {
        painter.setFont(font);
        const QFontMetricsF metrics(font);
        painter.drawText(QPointF(x, y + metrics.ascent()), text);
        y += metrics.height();
    };

    drawLine(priceFont, preis, x0);

    double modules = 0;
    const QList<Bar> bars = code39Bars(code, &modules);
    for (const Bar &bar : bars)
        painter.fillRect(
            QRectF(x0 + bar.x * module, y, bar.width * module, barHeight * f), Qt::black);
    y += barHeight * f + gap * f;

    // The code in plain text, centred under the bars, for typing it in by hand.
    const double codeWidth = QFontMetricsF(textFont).horizontalAdvance(code);
    const double barsWidth = modules * module;
    drawLine(textFont, code, x0 + qMax(0.0, (barsWidth - codeWidth) / 2));
    drawLine(textFont, zeile, x0);
    drawLine(textFont, name, x0);
}

// The name's first 100 characters, on the label's one line. A line break or tab in a stored
// name would be drawn as nothing and glue two words together, so blanks stand for them; a
// character beyond 16 bits counts once and is never cut in half.
QString labelName(const QString &bezeichnung)
{
    const QString name = bezeichnung.simplified();
    qsizetype end = 0;
    for (int characters = 0; characters < 100 && end < name.size(); ++characters) {
        const bool pair = name.at(end).isHighSurrogate() && end + 1 < name.size()
            && name.at(end + 1).isLowSurrogate();
        end += pair ? 2 : 1;
    }
    return name.left(end);
}

} // namespace

bool printEtikett(QWidget *parent, const QDate &datum, qint64 vertragNr, int position,
    const QString &bezeichnung, double preis)
{
    bool found = false;
    const QString druckerName = readSetting(QStringLiteral("Etikettendrucker"), parent, &found);
    if (!found) {
        Dialogs::critical(parent, QStringLiteral("Fehler"),
            QStringLiteral("Bitte einen Etikettendrucker auswählen!"));
        return false;
    }
    if (druckerName.isEmpty())
        return false; // labels switched off

    if (!PrintOutput::checkInstalled(druckerName, parent))
        return false;

    const int size = labelSize();
    const double heightMm = 20.0 + 5.0 * size;
    const QPageLayout layout(QPageSize(QSizeF(kLabelWidthMm, heightMm), QPageSize::Millimeter,
                                 QString(), QPageSize::ExactMatch),
        QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);

    const qint64 artNr = vertragNr * 100 + position;
    const QString code = ArtikelBarcode::encode(vertragNr, position);
    qDebug() << "code " << artNr << " pruefziffer " << artNr % 11 << " barcode " << code;

    const QString preisText = euroText(preis);
    const QString zeile
        = QStringLiteral("%1 %2/%3").arg(datum.weekNumber()).arg(vertragNr).arg(position);

    auto paint = [&](QPagedPaintDevice &device) {
        QPainter painter;
        if (!painter.begin(&device))
            return false;
        const double pixelsPerMm = device.logicalDpiX() / 25.4;
        painter.scale(pixelsPerMm / kUnitsPerMm, pixelsPerMm / kUnitsPerMm);
        paintLabel(painter, heightMm, preisText, code, zeile, labelName(bezeichnung));
        return painter.end();
    };
    QString failure;
    const QString title = QStringLiteral("Etikett %1/%2").arg(vertragNr).arg(position);
    if (!PrintOutput::print(
            druckerName, PrintOutput::Kind::Etikett, title, layout, paint, &failure)) {
        QString text = QStringLiteral("Das Etikett konnte nicht gedruckt werden!");
        if (!failure.isEmpty())
            text += QLatin1Char('\n') + failure;
        Dialogs::critical(parent, QStringLiteral("Fehler"), text);
        return false;
    }
    return true;
}

void printEtiketten(QWidget *parent, const Vertragsdaten &vertrag)
{
    const QDate datum = vertrag.datum.date();
    int position = 1;
    for (const Vertragsartikel &artikel : vertrag.artikel) {
        for (int piece = 0; piece < artikel.menge; ++piece) {
            if (!printEtikett(parent, datum, vertrag.vertragNr, position, artikel.bezeichnung,
                    artikel.verkaufsPreis))
                return;
        }
        ++position;
    }
}

} // namespace Labels
