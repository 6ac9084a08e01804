#pragma once

#include "support/testsupport.h"

#include <QColor>
#include <QImage>
#include <QLabel>
#include <QSize>
#include <QSqlQuery>
#include <QString>

// Article pictures for the page tests: one colour per file, so that the picture a page shows
// can be told apart.

// A picture of one colour in the test's folder; its path, empty when it could not be written.
inline QString writePicture(
    const TestWorkdir &dir, const QString &name, const QColor &colour, QSize size = QSize(40, 30))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = dir.path(name);
    return image.save(path) ? path : QString();
}

// The colour in the middle of the picture a label shows; invalid without a picture.
inline QColor shownColour(const QLabel *label)
{
    const QImage image = label->pixmap().toImage();
    return image.isNull() ? QColor() : image.pixelColor(image.width() / 2, image.height() / 2);
}

// Stores an article's picture list, the paths joined by ",".
inline bool setImages(int artikelId, const QString &images)
{
    QSqlQuery query;
    query.prepare(QStringLiteral("UPDATE Artikel SET Images = ? WHERE ID = ?"));
    query.addBindValue(images);
    query.addBindValue(artikelId);
    return query.exec();
}
