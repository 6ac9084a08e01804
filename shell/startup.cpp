#include "shell/startup.h"

#include "app/database.h"
#include "app/dialogs.h"
#include "app/titleprefix.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTranslator>

void installQtTranslation(QApplication &app, QTranslator &translator)
{
    if (!QFile::exists(QStringLiteral("qt_de.qm")))
        qWarning("failed-no qt qm file");
    if (!translator.load(QStringLiteral("qt_de")))
        qWarning("failed-cant load qm file");
    app.installTranslator(&translator);
}

void fixRunSettings()
{
    fixDatabasePath();
    titlePrefix(); // read once, fixed for the run
}

void answerDialogsUnderTest()
{
    if (qEnvironmentVariableIsEmpty("VELARIX_TEST"))
        return;
    Dialogs::setTestMode(true);
    Dialogs::setEcho(true);
}

bool openDatabaseAtStart()
{
    QString reason;
    if (openDatabaseChecked(&reason))
        return true;
    // Every page would fail on it, one box after the other: better to stop at once.
    Dialogs::critical(nullptr, QStringLiteral("Fehler"),
        QStringLiteral("Die Datenbank %1 kann nicht geöffnet werden:\n%2")
            .arg(QDir::toNativeSeparators(databasePath()), reason));
    return false;
}
