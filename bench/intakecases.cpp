// The goods intake page: entering it, the customer search, concluding a contract.

#include "benchcases.h"

#include "app/dialogs.h"

#include <QLineEdit>
#include <QListWidget>
#include <QSqlQuery>
#include <QTest>

namespace {

QWidget *intakeField(WindowDriver &s, const char *name)
{
    return s.field("swArrive", name);
}

// A fresh intake page, entered from the menu as the staff do (every entry starts a new
// contract with empty fields and an empty customer list).
bool enterIntake(WindowDriver &s)
{
    return s.enter(Qt::Key_1, "swArrive");
}

// A new customer (a telephone number of its own, so that no run finds the customer of an
// earlier one) and 20 articles of 2 pieces each.
bool fillContract(WindowDriver &s)
{
    // The next customer number in the telephone number: unique in this database.
    const qint64 next = scalar("SELECT MAX(ID) FROM Kunde") + 1;
    const QStringList customer = { QStringLiteral("Neumann"), QStringLiteral("Jana"),
        QStringLiteral("0171 55%1").arg(next, 6, 10, QLatin1Char('0')), QStringLiteral("12345"),
        QStringLiteral("Musterhausen"), QStringLiteral("Lindenweg 7") };
    const char *fields[] = { "lineEditNA", "lineEditVNA", "lineEditTEL", "lineEditPLZ",
        "lineEditORT", "lineEditSTR" };
    for (int i = 0; i < 6; ++i) {
        if (!typeInto(intakeField(s, fields[i]), customer.at(i)))
            return false;
    }
    static const char *const names[] = { "Damenjacke Wolle", "Herrenhemd blau", "Kinderstiefel 28",
        "Kaffeeservice 12-tlg.", "Roman Taschenbuch", "Jeans Gr. 38", "Tischlampe Messing",
        "Wollschal rot", "Kochbuch", "Puzzle 1000 Teile" };
    QWidget *bz = intakeField(s, "lineEditBZ");
    QWidget *me = intakeField(s, "spinBoxME");
    QWidget *ek = intakeField(s, "doubleSpinBoxEk");
    QWidget *add = intakeField(s, "pushButtonNeuArt");
    if (!bz || !me || !ek || !add)
        return false;
    for (int i = 0; i < 20; ++i) {
        typeInto(bz, QString::fromUtf8(names[i % 10]) + QStringLiteral(" %1").arg(i + 1));
        typeInto(me, QStringLiteral("2"));
        typeInto(ek, QStringLiteral("%1,50").arg(2 + i % 7 * 3));
        QTest::mouseClick(add, Qt::LeftButton);
    }
    QLineEdit *count = qobject_cast<QLineEdit *>(intakeField(s, "lineEditArtAnzahl"));
    return count && count->text() == QLatin1String("20");
}

int listedCustomers(WindowDriver &s)
{
    auto *list = s.field<QListWidget>("swArrive", "listWidget");
    return list ? list->count() : -1;
}

// A new customer (a telephone number of its own) and one article, concluded: the page
// leaves for the menu with one customer more in the database.
bool concludeOne(WindowDriver &s)
{
    clearPrintFolder();
    if (!enterIntake(s))
        return false;
    const qint64 next = scalar("SELECT MAX(ID) FROM Kunde") + 1;
    const QStringList customer = { QStringLiteral("Neumann"), QStringLiteral("Jana"),
        QStringLiteral("0171 56%1").arg(next, 6, 10, QLatin1Char('0')), QString(), QString(),
        QString() };
    const char *fields[] = { "lineEditNA", "lineEditVNA", "lineEditTEL" };
    for (int i = 0; i < 3; ++i) {
        if (!typeInto(intakeField(s, fields[i]), customer.at(i)))
            return false;
    }
    typeInto(intakeField(s, "lineEditBZ"), QStringLiteral("Stehlampe"));
    typeInto(intakeField(s, "spinBoxME"), QStringLiteral("1"));
    typeInto(intakeField(s, "doubleSpinBoxEk"), QStringLiteral("12,50"));
    QTest::mouseClick(intakeField(s, "pushButtonNeuArt"), Qt::LeftButton);
    QTest::mouseClick(intakeField(s, "pushButtonVertrAbsch"), Qt::LeftButton);
    return s.expectPage("swMenu") && scalar("SELECT MAX(ID) FROM Kunde") == next;
}

// The six fields of a stored customer, the ASCII letters of the name in capitals: the
// conclusion finds it again only case-insensitively.
bool typeStoredCustomer(WindowDriver &s, qint64 id)
{
    QSqlQuery query;
    query.prepare(
        QStringLiteral("SELECT Name, Vorname, Telefon, PLZ, Ort, Strasse FROM Kunde WHERE ID = ?"));
    query.addBindValue(id);
    if (!query.exec() || !query.next())
        return false;
    const char *fields[] = { "lineEditNA", "lineEditVNA", "lineEditTEL", "lineEditPLZ",
        "lineEditORT", "lineEditSTR" };
    for (int i = 0; i < 6; ++i) {
        QString text = query.value(i).toString();
        if (i == 0) {
            for (QChar &ch : text)
                if (ch.unicode() < 128)
                    ch = ch.toUpper();
        }
        if (!typeInto(intakeField(s, fields[i]), text))
            return false;
    }
    return true;
}

const BenchArea intakeCases("intake",
    {
        // Key "1" on the menu: the page switch, the page's reset and the customer cache,
        // which nothing has changed since the last entry.
        { "intake-enter", "Taste 1 im Menü: Anlieferung, Kunden unverändert", 10,
            // As staff leave the page: a customer typed in (after a contract, say).
            [](WindowDriver &s) {
                return enterIntake(s)
                    && typeInto(intakeField(s, "lineEditNA"), QStringLiteral("Neumann"))
                    && typeInto(intakeField(s, "lineEditVNA"), QStringLiteral("Jana"))
                    && s.toMenu();
            },
            [](WindowDriver &s) {
                s.key(Qt::Key_1);
                return s.expectPage("swArrive");
            } },
        // The same right after a contract with a new customer.
        { "intake-new", "Taste 1 im Menü nach einem Vertrag mit neuem Kunden", 50, concludeOne,
            [](WindowDriver &s) {
                s.key(Qt::Key_1);
                return s.expectPage("swArrive");
            } },
        // The same after a customer was changed on another page: every customer is read
        // again. No target: how often it happens is up to the shop.
        { "intake-reload", "Taste 1 im Menü nach einer Kundenänderung (alle neu lesen)", 0,
            [](WindowDriver &s) {
                QSqlQuery query;
                return enterIntake(s) && s.toMenu()
                    && query.exec(QStringLiteral("UPDATE Kunde SET Telefon = Telefon WHERE ID = "
                                                 "(SELECT MAX(ID) FROM Kunde)"));
            },
            [](WindowDriver &s) {
                s.key(Qt::Key_1);
                return s.expectPage("swArrive");
            } },
        // The first letter after page entry lists most customers: the heaviest keystroke,
        // until the list is laid out.
        { "customer-key",
            "erster Buchstabe im Suchfeld (drei Viertel der Kunden), bis die "
            "Liste steht",
            30,
            [](WindowDriver &s) {
                if (!enterIntake(s))
                    return false;
                QWidget *field = intakeField(s, "lineEditSearch");
                if (!field)
                    return false;
                field->setFocus();
                return true;
            },
            [](WindowDriver &s) {
                QTest::keyClick(intakeField(s, "lineEditSearch"), Qt::Key_M);
                return listLaidOut(s.field<QListWidget>("swArrive", "listWidget"))
                    && listedCustomers(s) > 1000;
            } },
        // The second letter of a name: the long list of the first goes, a shorter one comes.
        { "customer-key2", "zweiter Buchstabe im Namensfeld (M -> Me), bis die Liste steht", 30,
            [](WindowDriver &s) {
                if (!enterIntake(s))
                    return false;
                QWidget *field = intakeField(s, "lineEditNA");
                if (!field)
                    return false;
                field->setFocus();
                QTest::keyClicks(field, QStringLiteral("M"));
                return listedCustomers(s) > 1000;
            },
            [](WindowDriver &s) {
                QTest::keyClick(intakeField(s, "lineEditNA"), Qt::Key_E);
                return listLaidOut(s.field<QListWidget>("swArrive", "listWidget"))
                    && listedCustomers(s) > 0;
            } },
        // A stored customer typed in again, the name in capitals, one article: "Kommission
        // abschliessen" looks the customer up case-insensitively and asks; No refuses. Little
        // else runs before the question, so this is the look-up.
        { "duplicate-find", "Abschluss: Kunde schon gespeichert (Suche ohne Groß/klein)", 1,
            [](WindowDriver &s) {
                if (!enterIntake(s)
                    || !typeStoredCustomer(s, scalar("SELECT MAX(ID) FROM Kunde") / 2))
                    return false;
                typeInto(intakeField(s, "lineEditBZ"), QStringLiteral("Stehlampe"));
                typeInto(intakeField(s, "spinBoxME"), QStringLiteral("1"));
                typeInto(intakeField(s, "doubleSpinBoxEk"), QStringLiteral("12,50"));
                QTest::mouseClick(intakeField(s, "pushButtonNeuArt"), Qt::LeftButton);
                Dialogs::setNextAnswer(int(QMessageBox::No));
                return true;
            },
            [](WindowDriver &s) {
                QTest::mouseClick(intakeField(s, "pushButtonVertrAbsch"), Qt::LeftButton);
                const QList<Dialogs::Record> boxes = Dialogs::takeRecords();
                return boxes.size() == 2 && boxes.at(0).kind == Dialogs::Kind::Question
                    && boxes.at(1).kind == Dialogs::Kind::Critical && s.expectPage("swArrive");
            } },
        // A new customer, 20 articles of 2 pieces typed in, then "Kommission abschliessen":
        // stored, the contract and its copy and 40 labels printed, back to the menu.
        { "conclude-20", "Kommissionsvertrag mit 20 Artikeln und 40 Etiketten abschliessen", 2000,
            [](WindowDriver &s) {
                clearPrintFolder();
                if (!enterIntake(s))
                    return false;
                return fillContract(s);
            },
            [](WindowDriver &s) {
                const qint64 before = scalar("SELECT MAX(ID) FROM Vertrag");
                QTest::mouseClick(intakeField(s, "pushButtonVertrAbsch"), Qt::LeftButton);
                return s.expectPage("swMenu") && scalar("SELECT MAX(ID) FROM Vertrag") == before + 1
                    && printedJobs() == 42;
            } },
    });

} // namespace
