#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

// Starts the real program in a fresh working folder and reads what it logs.
class TestStartup : public QObject
{
    Q_OBJECT

    // Runs the program until done() holds for its output so far (or it ends), then stops it.
    static QString runUntil(const QString &folder, const std::function<bool(const QString &)> &done)
    {
        QProcess process;
        process.setWorkingDirectory(folder);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("VELARIX_SHUTDOWN_CMD", "true");
        env.insert("VELARIX_CAMERA_CMD", "true");
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral(VELARIX_BINARY), {});
        QString output;
        QElapsedTimer timer;
        timer.start();
        while (
            !done(output) && process.state() != QProcess::NotRunning && timer.elapsed() < 20000) {
            process.waitForReadyRead(200);
            output += QString::fromLocal8Bit(process.readAll());
        }
        process.kill();
        process.waitForFinished();
        output += QString::fromLocal8Bit(process.readAll());
        return output;
    }

private slots:
    void missingTranslationWarnsTwiceInOrderAndStillStarts()
    {
        QTemporaryDir dir;
        const QString db = QDir(dir.path()).filePath("db.sqlite");
        const QString output = runUntil(dir.path(), [&](const QString &out) {
            return out.contains("failed-cant load qm file") && QFile::exists(db);
        });
        const int first = output.indexOf("failed-no qt qm file");
        const int second = output.indexOf("failed-cant load qm file");
        QVERIFY2(first >= 0 && second > first, qPrintable(output));
        QVERIFY2(QFile::exists(db), "the program went on and created its database");
    }

    void translationPresentGivesNoWarning()
    {
        const QString qm = "/usr/share/qt6/translations/qt_de.qm";
        if (!QFile::exists(qm))
            QSKIP("Qt's German translation is not installed");
        QTemporaryDir dir;
        QFile::copy(qm, QDir(dir.path()).filePath("qt_de.qm"));
        // qt_de.qm is a catalogue that pulls in these two from the same folder.
        for (const char *name : { "qtbase_de.qm", "qtmultimedia_de.qm" })
            QFile::copy(QStringLiteral("/usr/share/qt6/translations/") + name,
                QDir(dir.path()).filePath(name));
        const QString db = QDir(dir.path()).filePath("db.sqlite");
        const QString output
            = runUntil(dir.path(), [&](const QString &) { return QFile::exists(db); });
        QVERIFY2(!output.contains("failed-"), qPrintable(output));
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
