#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

// Starts the real program in a fresh working folder and reads what it logs.
class TestStartup : public QObject
{
    Q_OBJECT

    // Runs the program until done() holds for its output so far (or it ends), then stops it.
    static QString runUntil(const QString &folder, const std::function<bool(const QString &)> &done,
        int *exitCode = nullptr)
    {
        QProcess process;
        process.setWorkingDirectory(folder);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("VELARIX_SHUTDOWN_CMD", "true");
        env.insert("VELARIX_CAMERA_CMD", "true");
        env.insert("VELARIX_TEST", "1"); // boxes are answered and written to the output
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
        const bool ended = process.state() == QProcess::NotRunning;
        process.kill();
        process.waitForFinished();
        output += QString::fromLocal8Bit(process.readAll());
        if (exitCode)
            *exitCode
                = ended && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        return output;
    }

    struct Run
    {
        QString output;
        int exitCode = -1; // -1: still running after 20 s, then stopped
    };

    // Runs the program to its own end.
    static Run runToEnd(const QString &folder)
    {
        Run run;
        run.output = runUntil(
            folder, [](const QString &) { return false; }, &run.exitCode);
        return run;
    }

    static QStringList entries(const QString &folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
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

    // Every statement would fail with a box of its own: one box instead, and no program.
    void unusableDatabaseStopsWithOneBox_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("text file") << "text"
                                   << "file is not a database";
        QTest::newRow("folder") << "folder"
                                << "unable to open database file";
        QTest::newRow("link into a missing folder") << "link"
                                                    << "unable to open database file";
    }
    void unusableDatabaseStopsWithOneBox()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString db = QDir(dir.path()).filePath("db.sqlite");
        const QByteArray text = "Einkaufsliste\nMilch, Brot\n";
        if (kind == "text") {
            QFile file(db);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(text);
        } else if (kind == "folder") {
            QVERIFY(QDir().mkdir(db));
        } else {
            QVERIFY(QFile::link(QDir(dir.path()).filePath("fehlt/db.sqlite"), db));
        }
        const QStringList before = entries(dir.path());

        const Run run = runToEnd(dir.path());
        QVERIFY2(run.exitCode > 0, qPrintable(run.output));
        const QStringList boxes = run.output.split('\n').filter(QRegularExpression("^Dialog: "));
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes.at(0).startsWith("Dialog: Critical|Fehler|Die Datenbank " + db
                     + " kann nicht geöffnet werden:"),
            qPrintable(boxes.at(0)));
        QVERIFY2(run.output.contains(reason), qPrintable(run.output));

        QCOMPARE(entries(dir.path()), before);
        if (kind == "text") {
            QFile file(db);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), text);
        } else if (kind == "folder") {
            QCOMPARE(entries(db), QStringList());
        } else {
            QVERIFY(!QFileInfo::exists(QDir(dir.path()).filePath("fehlt")));
        }
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
