#include "app/database.h"
#include "app/titleprefix.h"
#include "app/velarix.h"

#include <QApplication>
#include <QDebug>
#include <QFile>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::AnyTerritory));
    QTranslator translator;
    QApplication app(argc, argv);

    if (!QFile::exists(QStringLiteral("qt_de.qm")))
        qWarning("failed-no qt qm file");
    if (!translator.load(QStringLiteral("qt_de")))
        qWarning("failed-cant load qm file");
    app.installTranslator(&translator);

    fixDatabasePath();
    titlePrefix(); // read once, fixed for the run

    int result;
    {
        Velarix window;
        window.show();
        result = app.exec();
    }
    return result;
}
