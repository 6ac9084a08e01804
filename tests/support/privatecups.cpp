#include "support/privatecups.h"

#include "support/testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <cups/cups.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace {

const QString kDaemon = QStringLiteral("/usr/sbin/cupsd");
const QString kBackend = QStringLiteral("/usr/lib/cups/backend/cups-pdf");
// The PDF driver's own PPD takes custom paper sizes; the generic one prints labels on Letter.
const QString kPpd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
// The PDF backend reads a queue's settings only from here, by the name in its device URI.
const QString kBackendConfigs = QStringLiteral("/etc/cups");

bool writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(text.toUtf8()) == text.toUtf8().size();
}

} // namespace

PrivateCups::PrivateCups(const QStringList &queues)
    : m_dir(QDir::tempPath() + QStringLiteral("/velarix-cups-XXXXXX"))
{
    if (geteuid() != 0) {
        m_skipReason = QStringLiteral("printing through a private CUPS needs root rights: its "
                                      "PDF backend runs as root and reads each queue's settings "
                                      "from /etc/cups");
        return;
    }
    QStringList missing;
    for (const QString &file : { kDaemon, kBackend, kPpd })
        if (!QFileInfo::exists(file))
            missing << file;
    for (const char *tool : { "lpadmin", "cupsaccept", "cupsenable", "cancel" })
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            missing << QLatin1String(tool);
    if (!missing.isEmpty()) {
        m_error = QStringLiteral("missing %1: scripts/install-deps.sh installs the CUPS packages")
                      .arg(missing.join(QStringLiteral(", ")));
        return;
    }
    if (!m_dir.isValid() || !start())
        return;
    for (const QString &queue : queues) {
        m_queues << queue;
        if (!addQueue(queue))
            return;
    }
}

PrivateCups::~PrivateCups()
{
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(10000)) {
            m_daemon.kill();
            m_daemon.waitForFinished(5000);
        }
    }
    for (const QString &config : qAsConst(m_queueConfigs))
        QFile::remove(config);
    cupsSetServer(nullptr);
    qunsetenv("CUPS_SERVER");
}

QString PrivateCups::path(const QString &name) const
{
    return QDir(m_dir.path()).filePath(name);
}

QString PrivateCups::deviceName(const QString &queue) const
{
    // Unique per test process, so that two test runs on one machine never share a file.
    return QStringLiteral("velarix-%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(queue.toLower());
}

bool PrivateCups::start()
{
    // The filters run as lp: they must reach into the folder, read the spool and write temp
    // files, or every job fails and the queue prints an empty PDF.
    QFile::setPermissions(m_dir.path(),
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
            | QFile::ReadOther | QFile::ExeOther);
    for (const char *folder : { "conf", "spool", "tmp", "cache", "state", "log", "out" })
        QDir().mkpath(path(QLatin1String(folder)));
    const group *lp = getgrnam("lp");
    if (!lp) {
        m_error = QStringLiteral("no group lp");
        return false;
    }
    if (chown(QFile::encodeName(path("spool")).constData(), 0, lp->gr_gid) != 0
        || chmod(QFile::encodeName(path("spool")).constData(), 0710) != 0
        || chown(QFile::encodeName(path("tmp")).constData(), 0, lp->gr_gid) != 0
        || chmod(QFile::encodeName(path("tmp")).constData(), 01770) != 0
        || chmod(QFile::encodeName(path("out")).constData(), 0755) != 0) {
        m_error = QStringLiteral("cannot set the owners of the CUPS folders");
        return false;
    }

    const QString socket = path("cups.sock");
    const QString cupsdConf = QStringLiteral("Listen %1\n"
                                             "LogLevel warn\n"
                                             "PreserveJobFiles Yes\n"
                                             "PreserveJobHistory Yes\n"
                                             "ErrorPolicy abort-job\n"
                                             "WebInterface No\n"
                                             "Browsing Off\n"
                                             "DefaultAuthType None\n"
                                             "<Location />\n  Order allow,deny\n  Allow all\n"
                                             "</Location>\n")
                                  .arg(socket);
    const QString filesConf
        = QStringLiteral("ServerRoot %1\n"
                         "RequestRoot %2\n"
                         "TempDir %3\n"
                         "CacheDir %4\n"
                         "StateDir %5\n"
                         "ErrorLog %6\n"
                         "AccessLog %7\n"
                         "PageLog %7\n"
                         "Printcap %8\n"
                         "User lp\n"
                         "Group lp\n"
                         "SystemGroup root\n")
              .arg(path("conf"), path("spool"), path("tmp"), path("cache"), path("state"),
                  path("log/error_log"), path("log/access_log"), path("printcap"));
    if (!writeFile(path("conf/cupsd.conf"), cupsdConf)
        || !writeFile(path("conf/cups-files.conf"), filesConf)) {
        m_error = QStringLiteral("cannot write the CUPS configuration");
        return false;
    }

    m_daemon.setProcessChannelMode(QProcess::MergedChannels);
    m_daemon.setStandardOutputFile(path("log/cupsd.out"));
    m_daemon.start(kDaemon,
        { QStringLiteral("-f"), QStringLiteral("-c"), path("conf/cupsd.conf"), QStringLiteral("-s"),
            path("conf/cups-files.conf") });
    if (!m_daemon.waitForStarted(10000)) {
        m_error = QStringLiteral("cupsd does not start: ") + m_daemon.errorString();
        return false;
    }
    qputenv("CUPS_SERVER", QFile::encodeName(socket));
    cupsSetServer(QFile::encodeName(socket).constData());

    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 10000) {
        if (m_daemon.state() == QProcess::NotRunning)
            break;
        http_t *http = httpConnect2(QFile::encodeName(socket).constData(), 0, nullptr, AF_UNSPEC,
            HTTP_ENCRYPTION_NEVER, 1, 1000, nullptr);
        if (http) {
            httpClose(http);
            return true;
        }
        QThread::msleep(20);
    }
    QFile log(path("log/cupsd.out"));
    log.open(QIODevice::ReadOnly);
    m_error = QStringLiteral("cupsd does not answer: ") + QString::fromLocal8Bit(log.readAll());
    return false;
}

bool PrivateCups::run(const QString &tool, const QStringList &args)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    // Named explicitly as well: a tool must never reach the system's daemon.
    process.start(tool, QStringList { QStringLiteral("-h"), path("cups.sock") } + args);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        m_error = QStringLiteral("%1 %2: %3")
                      .arg(tool, args.join(QLatin1Char(' ')),
                          QString::fromLocal8Bit(process.readAll()));
        return false;
    }
    return true;
}

bool PrivateCups::addQueue(const QString &name)
{
    const QString config
        = QDir(kBackendConfigs).filePath(QStringLiteral("cups-pdf-%1.conf").arg(deviceName(name)));
    // Label 2: the output's file name ends in the job's number. Its log stays ours too.
    if (!writeFile(config,
            QStringLiteral("Out %1\nAnonDirName %1\nLabel 2\nLog %2\n")
                .arg(path(QStringLiteral("out")), path(QStringLiteral("log"))))) {
        m_error = QStringLiteral("cannot write ") + config;
        return false;
    }
    if (!m_queueConfigs.contains(config))
        m_queueConfigs << config;
    return run(QStringLiteral("lpadmin"),
        { QStringLiteral("-p"), name, QStringLiteral("-E"), QStringLiteral("-v"),
            QStringLiteral("cups-pdf:/") + deviceName(name), QStringLiteral("-P"), kPpd });
}

bool PrivateCups::reset()
{
    // Purging also forgets the finished jobs, so that jobs() holds only the test's own.
    if (!run(QStringLiteral("cancel"), { QStringLiteral("-a"), QStringLiteral("-x") }))
        return false;
    // lpadmin -E accepts and enables the queue again, as cupsaccept and cupsenable would.
    for (const QString &queue : qAsConst(m_queues)) {
        if (!addQueue(queue))
            return false;
    }
    return true;
}

QList<PrivateCups::Job> PrivateCups::jobs() const
{
    cups_job_t *list = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &list, nullptr, 0, CUPS_WHICHJOBS_ALL);
    QList<Job> result;
    for (int i = 0; i < count; ++i) {
        result.append({ list[i].id, QString::fromUtf8(list[i].dest),
            QString::fromUtf8(list[i].title), int(list[i].state) });
    }
    cupsFreeJobs(count, list);
    std::sort(result.begin(), result.end(), [](const Job &a, const Job &b) { return a.id < b.id; });
    return result;
}

bool PrivateCups::waitForCompletion(int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        bool done = true;
        for (const Job &job : jobs()) {
            if (job.state == IPP_JSTATE_STOPPED || job.state == IPP_JSTATE_CANCELED
                || job.state == IPP_JSTATE_ABORTED) {
                QFile log(path("log/error_log"));
                log.open(QIODevice::ReadOnly);
                m_error = QStringLiteral("job %1 (%2) ended in state %3: %4")
                              .arg(job.id)
                              .arg(job.title)
                              .arg(job.state)
                              .arg(QString::fromLocal8Bit(log.readAll()));
                return false;
            }
            done = done && job.state == IPP_JSTATE_COMPLETED;
        }
        if (done)
            return true;
        QThread::msleep(50);
    }
    m_error = QStringLiteral("the jobs did not complete in time");
    return false;
}

QByteArray PrivateCups::spooledFile(int jobId) const
{
    QFile file(path(QStringLiteral("spool/d%1-001").arg(jobId, 5, 10, QLatin1Char('0'))));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QSizeF PrivateCups::printedPageSizeMm(int jobId) const
{
    const QStringList outputs
        = QDir(path(QStringLiteral("out"))).entryList({ QStringLiteral("*job_%1.pdf").arg(jobId) });
    if (outputs.size() != 1)
        return QSizeF();
    return pdfPageSizeMm(QDir(path(QStringLiteral("out"))).filePath(outputs.first()));
}
