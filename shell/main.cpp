#include "shell/startup.h"
#include "shell/velarix.h"

#include <QApplication>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::AnyTerritory));
    QTranslator translator;
    QApplication app(argc, argv);
    installQtTranslation(app, translator);
    answerDialogsUnderTest();
    fixRunSettings();
    if (!openDatabaseAtStart())
        return 1;

    int result;
    {
        Velarix window;
        window.show();
        result = app.exec();
    }
    return result;
}
