#pragma once

#include <QByteArray>
#include <QString>

// The print system's spooler (CUPS, through libcups), on the server the environment names
// (CUPS_SERVER) or the local one.
namespace PrintSystem {

// Hands a finished PDF to the queue as one job with a title a person recognises in the queue
// and its paper as the media name ("A4", "A5", "Custom.999x20mm"). True once the spooler has
// taken the whole job: a stopped queue keeps it waiting. False when the queue refused it or
// the hand-over failed; *reason then holds the spooler's own words.
bool submitPdf(const QString &queue, const QString &title, const QString &media,
    const QByteArray &pdf, QString *reason);

} // namespace PrintSystem
