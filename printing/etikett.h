#pragma once

#include <QDate>
#include <QString>

struct Vertragsdaten;
class QWidget;

// Price labels on the label printer named by the setting "Etikettendrucker": one page of
// 999 x (20 + 5 * LabelSize) mm per piece, with the price, the article code as Code 39 bars
// and in plain text, and the calendar week, contract/article number and name.
namespace Labels {

// Prints one label. False when nothing was printed: no label printer chosen (an empty
// setting switches labels off without a message), a printer the system does not have, or a
// print job that could not be started; the reason has been shown where it is worth showing.
bool printEtikett(QWidget *parent, const QDate &datum, qint64 vertragNr, int position,
    const QString &bezeichnung, double preis);

// Prints menge labels for every article, the n-th article with article number n; stops at
// the first label that is not printed, so a missing printer is reported once.
void printEtiketten(QWidget *parent, const Vertragsdaten &vertrag);

} // namespace Labels
