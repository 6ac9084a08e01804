#pragma once

#include "support/testsupport.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringList>
#include <QtTest>

// Small helpers shared by the document tests.

// The text of every printed document in job order, whitespace collapsed so that table rows
// and wrapped sentences read as one line.
inline QStringList printedTexts(const TestWorkdir &wd)
{
    QStringList texts;
    for (const QString &file : wd.printedFiles()) {
        // Ligatures back to letters; the extractor sometimes drops the thin blank before "€".
        QString text = pdfText(QDir(wd.printDir()).filePath(file))
                           .normalized(QString::NormalizationForm_KC)
                           .simplified();
        text.replace(QRegularExpression(QStringLiteral("(\\d)€")), QStringLiteral("\\1 €"));
        texts << text;
    }
    return texts;
}

// Fails the test with the document's text when a piece is missing.
#define VERIFY_CONTAINS(text, piece)                                                               \
    QVERIFY2((text).contains(piece),                                                               \
        qPrintable(QStringLiteral("missing \"%1\" in: %2").arg(piece, text)))
#define VERIFY_LACKS(text, piece)                                                                  \
    QVERIFY2(!(text).contains(piece),                                                              \
        qPrintable(QStringLiteral("unexpected \"%1\" in: %2").arg(piece, text)))
