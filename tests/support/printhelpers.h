#pragma once

#include "support/testsupport.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringList>
#include <QtTest>

// Small helpers shared by the document tests.

// A printed text with whitespace collapsed, so that table rows and wrapped sentences read as
// one line, whatever the fonts make of the line breaks.
inline QString collapsed(const QString &pdfText)
{
    // Ligatures back to letters; the extractor sometimes drops the thin blank before "€".
    QString text = pdfText.normalized(QString::NormalizationForm_KC).simplified();
    text.replace(QRegularExpression(QStringLiteral("(\\d)€")), QStringLiteral("\\1 €"));
    return text;
}

// The text of every printed document in job order, whitespace collapsed.
inline QStringList printedTexts(const TestWorkdir &wd)
{
    QStringList texts;
    for (const QString &file : wd.printedFiles())
        texts << collapsed(pdfText(QDir(wd.printDir()).filePath(file)));
    return texts;
}

// The text of each page of one printed PDF, whitespace collapsed.
inline QStringList printedPages(const QString &pdf)
{
    QStringList pages;
    for (const QString &page : pdfText(pdf).split(QLatin1Char('\f'), Qt::SkipEmptyParts))
        pages << collapsed(page);
    return pages;
}

// Fails the test with the document's text when a piece is missing.
#define VERIFY_CONTAINS(text, piece)                                                               \
    QVERIFY2((text).contains(piece),                                                               \
        qPrintable(QStringLiteral("missing \"%1\" in: %2").arg(piece, text)))
#define VERIFY_LACKS(text, piece)                                                                  \
    QVERIFY2(!(text).contains(piece),                                                              \
        qPrintable(QStringLiteral("unexpected \"%1\" in: %2").arg(piece, text)))
