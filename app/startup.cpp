#include "app/startup.h"

#include "app/database.h"
#include "app/titleprefix.h"

#include <QApplication>
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
