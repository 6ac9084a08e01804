// The services page: looking up a contract and its articles.

#include "benchcases.h"

#include "app/dialogs.h"
#include "app/sql.h"
#include "services/services.h"

#include <QDateTime>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QLocale>
#include <QSpinBox>
#include <QSqlDatabase>
#include <QSqlQuery>
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

// The newest article of a running commission contract that had neither been sold nor given
// back, with its position; found once, then every run its quantity set to 10 again and the
// returns of earlier runs removed.
struct Chosen
{
    qint64 vertrag = 0;
    int position = 0;
    qint64 id = 0;
};

Chosen freshArticle()
{
    static Chosen c;
    QSqlQuery query;
    if (!c.id) {
        if (!query.exec(QStringLiteral(R"(
SELECT A.Vertrag, A.ID,
       (SELECT COUNT(*) FROM Artikel AS B WHERE B.Vertrag = A.Vertrag AND B.ID <= A.ID)
FROM Artikel AS A JOIN Vertrag AS V ON V.ID = A.Vertrag
WHERE V.Laufzeit <> -1 AND (V.Vertragsende IS NULL OR V.Vertragsende IN ('', '-1'))
  AND NOT EXISTS (SELECT 1 FROM Verkauf WHERE Artikel = A.ID)
  AND NOT EXISTS (SELECT 1 FROM Zurueckgegeben WHERE Artikel = A.ID)
ORDER BY A.ID DESC LIMIT 1)"))
            || !query.next())
            return Chosen();
        c.vertrag = query.value(0).toLongLong();
        c.id = query.value(1).toLongLong();
        c.position = query.value(2).toInt();
        query.finish();
    }
    query.prepare(QStringLiteral("DELETE FROM Zurueckgegeben WHERE Artikel = ?"));
    query.addBindValue(c.id);
    bool ok = query.exec();
    query.prepare(QStringLiteral("UPDATE Artikel SET EinkaufsMenge = 10 WHERE ID = ?"));
    query.addBindValue(c.id);
    ok = ok && query.exec();
    return ok ? c : Chosen();
}

// The page entered and the article dialled, as the clerk types them.
bool dial(WindowDriver &s, qint64 vertrag, int position)
{
    if (!s.toMenu() || !s.enter(Qt::Key_2, "swService")
        || !typeInto(servicesField(s, "spinBox_vertr"), QString::number(vertrag)))
        return false;
    if (position != 1 && !typeInto(servicesField(s, "spinBox_art"), QString::number(position)))
        return false;
    auto *article = s.field<QSpinBox>("swService", "spinBox_art");
    return article && article->value() == position;
}

// The boxes a case expects are part of its action; any other fails it.
bool expectBoxes(const QStringList &texts)
{
    QStringList shown;
    for (const Dialogs::Record &r : Dialogs::takeRecords())
        shown << r.text;
    if (shown == texts)
        return true;
    for (const QString &text : shown)
        std::fprintf(stderr, "unexpected box: %s\n", qPrintable(text));
    return false;
}

// A new running contract of 20 articles, each sold once and given back once, unpaid.
qint64 contractToDelete()
{
    QSqlDatabase db = QSqlDatabase::database();
    db.transaction();
    QSqlQuery query;
    query.prepare(QStringLiteral("INSERT INTO Vertrag (Kunde, DateTime, Standgebuehr, Laufzeit) "
                                 "VALUES (1, ?, 5, 90)"));
    const QDateTime now = QDateTime::currentDateTime();
    query.addBindValue(now.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")));
    bool ok = query.exec();
    const qint64 vertrag = query.lastInsertId().toLongLong();
    for (int i = 1; ok && i <= 20; ++i) {
        query.prepare(QStringLiteral("INSERT INTO Artikel (Vertrag, Bezeichnung, EinkaufsPreis, "
                                     "VerkaufsPreis, EinkaufsMenge) VALUES (?, ?, 2.5, 6.5, 3)"));
        query.addBindValue(vertrag);
        query.addBindValue(QStringLiteral("Testartikel %1").arg(i));
        ok = query.exec();
        const qint64 artikel = query.lastInsertId().toLongLong();
        // Keys in the future, clear of the shop's own.
        const QString key
            = now.addYears(5).addMSecs(i).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
        query.prepare(QStringLiteral("INSERT INTO Verkauf (DateTime, EinkaufsPreis, "
                                     "VerkaufsPreis, VerkaufsMenge, Artikel) VALUES (?, 2.5, 6.5, "
                                     "1, ?)"));
        query.addBindValue(key);
        query.addBindValue(artikel);
        ok = ok && query.exec();
        query.prepare(QStringLiteral(
            "INSERT INTO Zurueckgegeben (DateTime, Anzahl, Artikel) VALUES (?, 1, ?)"));
        query.addBindValue(key);
        query.addBindValue(artikel);
        ok = ok && query.exec();
    }
    if (!ok || !db.commit()) {
        db.rollback();
        return 0;
    }
    return vertrag;
}

qint64 g_deleting = 0;

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
        // A new selling price for an article of 10 pieces: stored, and 10 labels to PDF.
        { "services-price-labels", "neuer Verkaufspreis mit 10 Etiketten", 300,
            [](WindowDriver &s) {
                clearPrintFolder();
                const Chosen c = freshArticle();
                auto *vk = s.field<QDoubleSpinBox>("swService", "doubleSpinBoxVk");
                if (!c.id || !dial(s, c.vertrag, c.position) || !vk)
                    return false;
                // A price other than the stored one, every run.
                const double preis = vk->value() >= 50 ? 9.5 : vk->value() + 1.0;
                return typeInto(vk, QLocale().toString(preis, 'f', 2));
            },
            [](WindowDriver &s) {
                QTest::mouseClick(servicesField(s, "pushButtonChangePrice"), Qt::LeftButton);
                return expectBoxes({ QStringLiteral(
                           "Preis ändern erfolgreich.\nEtiketten werden ausgedruckt.") })
                    && printedJobs() == 10;
            } },
        // Two pieces given back: the return stored under a free key, the receipt printed, the
        // article shown again.
        { "services-give-back", "Rückgabe von 2 Stück mit Rückgabebeleg", 100,
            [](WindowDriver &s) {
                clearPrintFolder();
                const Chosen c = freshArticle();
                return c.id && dial(s, c.vertrag, c.position)
                    && typeInto(servicesField(s, "spinBox_given_back"), QStringLiteral("2"));
            },
            [](WindowDriver &s) {
                QTest::mouseClick(servicesField(s, "pushButton_given_back"), Qt::LeftButton);
                return expectBoxes({}) && printedJobs() == 1
                    && shown(s, "lineEdit_bs") == QLatin1String("8 Stk.");
            } },
        // "Vertrag nicht abgeschlossen" on a contract of 20 articles with sales and returns:
        // the password, the question, the marked copy printed, everything deleted in one
        // transaction, the page entered again. services-reprint-20 is the copy alone.
        { "services-delete-20", "Vertrag mit 20 Artikeln, Verkäufen und Rückgaben löschen", 100,
            [](WindowDriver &s) {
                clearPrintFolder();
                g_deleting = contractToDelete();
                if (!g_deleting || !dial(s, g_deleting, 1))
                    return false;
                Dialogs::setNextAnswer(readSettingQuietly(QStringLiteral("Passwort")));
                Dialogs::setNextAnswer(int(QMessageBox::Yes));
                return true;
            },
            [](WindowDriver &s) {
                QTest::mouseClick(servicesField(s, "pushButtonDelete"), Qt::LeftButton);
                Dialogs::takeRecords(); // the password prompt and the question
                const QString gone
                    = QStringLiteral("SELECT COUNT(*) FROM Artikel WHERE Vertrag = %1")
                          .arg(g_deleting);
                return printedJobs() == 1 && scalar(qPrintable(gone)) == 0
                    && s.field<QSpinBox>("swService", "spinBox_vertr")->value() == 0;
            } },
        { "services-reprint-20", "nur der Druck: Kopie \"nicht abgeschlossen\" mit 20 Artikeln",
            100,
            [](WindowDriver &s) {
                clearPrintFolder();
                static const qint64 vertrag = contractToDelete();
                return vertrag && dial(s, vertrag, 1);
            },
            [](WindowDriver &s) {
                auto *page = s.page<Services>("swService");
                return page && page->printVertr(true) && printedJobs() == 1;
            } },
    });

} // namespace
