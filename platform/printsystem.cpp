#include "platform/printsystem.h"

#include <cups/cups.h>

namespace PrintSystem {
namespace {

// A queue that asks for a password must not wait for one on a terminal nobody watches: the
// job is refused and the box says why.
const char *noPassword(const char *, http_t *, const char *, const char *, void *)
{
    return nullptr;
}

QString lastError()
{
    return QString::fromUtf8(cupsLastErrorString());
}

} // namespace

bool submitPdf(const QString &queue, const QString &title, const QString &media,
    const QByteArray &pdf, QString *reason)
{
    cupsSetPasswordCB2(noPassword, nullptr);
    const QByteArray name = queue.toUtf8();
    const QByteArray jobTitle = title.toUtf8();
    cups_option_t *options = nullptr;
    int optionCount = cupsAddOption("media", media.toUtf8().constData(), 0, &options);
    const int job = cupsCreateJob(
        CUPS_HTTP_DEFAULT, name.constData(), jobTitle.constData(), optionCount, options);
    cupsFreeOptions(optionCount, options);
    if (job == 0) {
        *reason = lastError();
        return false;
    }

    if (cupsStartDocument(
            CUPS_HTTP_DEFAULT, name.constData(), job, jobTitle.constData(), CUPS_FORMAT_PDF, 1)
        != HTTP_STATUS_CONTINUE) {
        *reason = lastError();
        cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), job, 0);
        return false;
    }
    bool written = true;
    constexpr qsizetype chunk = 64 * 1024;
    for (qsizetype offset = 0; written && offset < pdf.size(); offset += chunk) {
        written = cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.constData() + offset,
                      size_t(qMin(chunk, pdf.size() - offset)))
            == HTTP_STATUS_CONTINUE;
    }
    const QString writeError = written ? QString() : lastError();
    // Finishing reads the spooler's answer, also after a failed write.
    if (cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData()) == IPP_STATUS_OK && written)
        return true;
    *reason = written ? lastError() : writeError;
    // Half a job must not print later on its own.
    cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), job, 0);
    return false;
}

} // namespace PrintSystem
