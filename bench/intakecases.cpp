// The goods intake page: entering it, the customer search, concluding a contract.

#include "benchcases.h"

#include <QLineEdit>
#include <QListWidget>
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

const BenchArea intakeCases("intake",
    {
        // Key "1" on the menu: the page switch, the page's reset and the customer cache.
        { "intake-enter", "Taste 1 im Menü: Anlieferung mit 20.000 Kunden laden", 50,
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
        // The first letter after page entry lists most customers: the heaviest keystroke.
        { "customer-key", "erster Buchstabe im Suchfeld (Liste von ~15.000 Kunden)", 30,
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
                return listedCustomers(s) > 1000;
            } },
        // The second letter of a name: the long list of the first goes, a shorter one comes.
        { "customer-key2", "zweiter Buchstabe im Namensfeld (M -> Me)", 30,
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
                return listedCustomers(s) > 0;
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
