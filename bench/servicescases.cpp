// The services page: looking up a contract and its articles.

#include "benchcases.h"

#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

namespace {

QWidget *servicesField(WindowDriver &s, const char *name)
{
    return s.field("swService", name);
}

bool enterServices(WindowDriver &s)
{
    return s.page() == QLatin1String("swService") || s.enter(Qt::Key_2, "swService");
}

QString shown(WindowDriver &s, const char *name)
{
    auto *edit = s.field<QLineEdit>("swService", name);
    return edit ? edit->text() : QString();
}

const BenchArea servicesCases("services",
    {
        // The last digit of a contract number: the contract, its customer and article count,
        // and its first article with stock and pictures.
        { "services-contract-key",
            "letzte Ziffer der Vertragsnummer (1234 -> 12345) mit erstem Artikel", 20,
            [](WindowDriver &s) {
                return enterServices(s)
                    && typeInto(servicesField(s, "spinBox_vertr"), QStringLiteral("1234"));
            },
            [](WindowDriver &s) {
                QTest::keyClick(servicesField(s, "spinBox_vertr"), Qt::Key_5);
                auto *article = s.field<QSpinBox>("swService", "spinBox_art");
                return article && article->value() == 1 && !shown(s, "lineEdit_kunde").isEmpty()
                    && !shown(s, "lineEdit_bz").isEmpty();
            } },
        // The next article of a contract with many of them.
        { "services-article", "nächster Artikel (Pfeil hoch im Feld Artikel Nr.)", 20,
            [](WindowDriver &s) {
                const qint64 vertrag = scalar("SELECT Vertrag FROM Artikel WHERE Vertrag > 90000 "
                                              "GROUP BY Vertrag HAVING COUNT(*) >= 10 LIMIT 1");
                auto *article = s.field<QSpinBox>("swService", "spinBox_art");
                if (vertrag <= 0 || !article || !enterServices(s)
                    || !typeInto(servicesField(s, "spinBox_vertr"), QString::number(vertrag)))
                    return false;
                article->setFocus();
                return article->value() == 1;
            },
            [](WindowDriver &s) {
                QTest::keyClick(servicesField(s, "spinBox_art"), Qt::Key_Up);
                auto *article = s.field<QSpinBox>("swService", "spinBox_art");
                return article && article->value() == 2 && !shown(s, "lineEdit_bz").isEmpty()
                    && shown(s, "lineEdit_bs").endsWith(QLatin1String(" Stk."));
            } },
    });

} // namespace
