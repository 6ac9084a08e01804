#pragma once

#include <QString>
#include <QtGlobal>

// The article code on price labels, in the cash-register export and at the till: the article
// value (contract * 100 + article number) with its check number (value mod 11) appended as two
// decimal digits, written in base 36 with capital letters.
namespace ArtikelBarcode {

// The decimal code value; 64 bits, so that large contract numbers do not overflow.
qint64 codeValue(qint64 vertragNr, int artikelNr);

// The written code, e.g. "7CHZV" for contract 1234, article 5.
QString encode(qint64 vertragNr, int artikelNr);

// Reads a scanned or typed code back (surrounding blanks and line ends are ignored, small
// letters read like capitals). Returns false, leaving the out-parameters alone, for a text
// that is no base-36 number, a wrong check number, or a contract or article number below 1.
bool decode(const QString &code, qint64 *vertragNr, int *artikelNr);
// The same for an int contract number: refuses a contract beyond its range.
bool decode(const QString &code, int *vertragNr, int *artikelNr);

} // namespace ArtikelBarcode
