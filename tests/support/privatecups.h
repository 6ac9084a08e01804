#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A CUPS daemon of the test's own: its own configuration, spool and temp folders, a Unix
// socket that CUPS_SERVER points at, and PDF queues (cups-pdf) that print into a folder of
// its own. The system's queues and daemon are never touched. It keeps every job's file in its
// spool, so a test reads the PDF the program handed over. Needs root (the PDF backend runs as
// root); without root it does not start and skipReason() says why.
class PrivateCups
{
public:
    struct Job
    {
        int id = 0;
        QString queue;
        QString title;
        int state = 0; // ipp_jstate_t
    };

    explicit PrivateCups(const QStringList &queues);
    ~PrivateCups();
    PrivateCups(const PrivateCups &) = delete;
    PrivateCups &operator=(const PrivateCups &) = delete;

    // Empty when running; else why the tests cannot run here.
    QString skipReason() const { return m_skipReason; }
    QString error() const { return m_error; }

    // Runs a CUPS command (cupsreject, lpadmin, ...) against this daemon; false and error()
    // on failure.
    bool run(const QString &tool, const QStringList &args);
    // Creates (again) a PDF queue that accepts jobs and prints them.
    bool addQueue(const QString &name);
    // Every queue as it was set up: there, accepting, enabled, no job left waiting.
    bool reset();

    // Every job the daemon knows, oldest first.
    QList<Job> jobs() const;
    // Waits until every job is completed; false (and error()) when one was stopped, aborted
    // or cancelled, or when they take too long.
    bool waitForCompletion(int timeoutMs = 60000);
    // The PDF as the program handed it over, kept in the spool.
    QByteArray spooledFile(int jobId) const;
    // The paper the queue printed the job on (mm), from the PDF queue's output.
    QSizeF printedPageSizeMm(int jobId) const;

private:
    QString path(const QString &name) const;
    QString deviceName(const QString &queue) const;
    bool start();

    QTemporaryDir m_dir;
    QProcess m_daemon;
    QStringList m_queues;
    QStringList m_queueConfigs; // per-queue files of the PDF backend, removed on destruction
    QString m_skipReason;
    QString m_error;
};
