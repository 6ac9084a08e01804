#include "admin/backup.h"
#include "app/database.h"
#include "app/menulabel.h"
#include "platform/platformactions.h"
#include "sales/verkauf.h"
#include "shell/clicklabel.h"
#include "shell/stylesheet.h"
#include "shell/velarix.h"
#include "support/formcheck.h"
#include "support/sqlitetool.h"
#include "support/testsupport.h"
#include "support/windowdriver.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QGridLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalSpy>
#include <QSpacerItem>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

namespace {

// The recording stand-in for the camera program and the shutdown command: every start
// appends its arguments as one line to calls.log.
class FakeCommands
{
public:
    FakeCommands()
    {
        QFile script(m_dir.filePath("fake"));
        script.open(QIODevice::WriteOnly);
        script.write(QStringLiteral("#!/bin/sh\necho \"$*\" >> '%1'\n").arg(log()).toUtf8());
        script.close();
        script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
        qputenv("VELARIX_CAMERA_CMD", (script.fileName() + " camera").toUtf8());
        qputenv("VELARIX_SHUTDOWN_CMD", (script.fileName() + " shutdown now").toUtf8());
    }
    QString log() const { return m_dir.filePath("calls.log"); }
    QStringList calls() const
    {
        QFile file(log());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    void clear() const { QFile::remove(log()); }

private:
    QTemporaryDir m_dir;
};

// A key where the keyboard sends it: to an open popup, else to the focused widget.
void press(Qt::Key k)
{
    QTest::keyClick(static_cast<QWidget *>(nullptr), k);
}
void press(char c)
{
    QTest::keyClick(static_cast<QWidget *>(nullptr), c);
}

// What the staff work with on a page. A spin box's field or a table's heading belongs to its
// control and is reached with it.
bool isControl(const QWidget *w)
{
    return qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QLineEdit *>(w)
        || qobject_cast<const QAbstractSpinBox *>(w) || qobject_cast<const QComboBox *>(w)
        || qobject_cast<const QAbstractItemView *>(w) || qobject_cast<const QTextEdit *>(w)
        || qobject_cast<const ClickLabel *>(w) || qobject_cast<const MenuLabel *>(w);
}

// The scroll area that shows this widget as its content, if any.
const QScrollArea *scrollAreaOf(const QWidget *content)
{
    const QWidget *viewport = content->parentWidget();
    const auto *area
        = viewport ? qobject_cast<const QScrollArea *>(viewport->parentWidget()) : nullptr;
    return area && area->widget() == content ? area : nullptr;
}

// A widget can be reached when each parent holds it whole, up to the window, where a scroll
// area's content counts as held when its scroll bars reach all of it.
bool reachable(const QWidget *w)
{
    QRect r = w->rect();
    for (const QWidget *at = w;;) {
        if (!at->rect().contains(r))
            return false;
        if (at->isWindow())
            return true;
        if (const QScrollArea *area = scrollAreaOf(at)) {
            const QWidget *viewport = area->viewport();
            const QScrollBar *h = area->horizontalScrollBar(), *v = area->verticalScrollBar();
            const int hiddenWidth = at->width() - viewport->width();
            const int hiddenHeight = at->height() - viewport->height();
            if ((hiddenWidth > 0 && (!h->isVisible() || h->maximum() < hiddenWidth))
                || (hiddenHeight > 0 && (!v->isVisible() || v->maximum() < hiddenHeight)))
                return false;
            at = viewport;
            r = viewport->rect();
            continue;
        }
        r.translate(at->pos());
        at = at->parentWidget();
    }
}

// The page's visible controls that cannot be brought into view, with where they lie.
QStringList unreachableControls(QWidget &page)
{
    QStringList out;
    for (QWidget *w : page.findChildren<QWidget *>()) {
        bool part = false;
        for (QWidget *p = w->parentWidget(); p != &page; p = p->parentWidget())
            part = part || isControl(p);
        if (!w->isVisible() || !isControl(w) || part || reachable(w))
            continue;
        const QRect r(w->mapTo(w->window(), QPoint()), w->size());
        out << QStringLiteral("%1/%2 at %3,%4 %5x%6")
                   .arg(page.objectName(), w->objectName())
                   .arg(r.x())
                   .arg(r.y())
                   .arg(r.width())
                   .arg(r.height());
    }
    return out;
}

bool inView(const QWidget *w, const QScrollArea *area)
{
    return area->viewport()->rect().contains(
        QRect(w->mapTo(area->viewport(), QPoint()), w->size()));
}

// The box about another program's lock: what it means and what to do, the driver's text
// below, shown under the wait cursor.
bool isLockBox(const Dialogs::Record &box)
{
    return box.title == QLatin1String("SQL-Fehler") && box.busy
        && box.text.startsWith("Ein anderes Programm greift gerade auf die Datenbank zu.\nBitte "
                               "schließen Sie das andere Programm und versuchen Sie es dann "
                               "erneut.\n\ndatabase is locked");
}

// How many statements waited for another program's lock, as the program notes each wait.
int lockWaits(const QStringList &debugLines)
{
    static const QRegularExpression wait(
        "^Gesperrt von einem anderen Programm: \\d+ ms gewartet, in (\\d+) Anweisung");
    int waits = 0;
    for (const QString &line : debugLines) {
        const QRegularExpressionMatch match = wait.match(line);
        if (match.hasMatch())
            waits += match.captured(1).toInt();
    }
    return waits;
}

const QString kMenuKeys = QStringLiteral("1234567890eab");
const QString kPageKeys = QStringLiteral("ab");

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

    FakeCommands fakes;

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() { fakes.clear(); }

    // --- the form -------------------------------------------------------------------------

    void formWidgetsMatchTheirTable()
    {
        Shell s;
        QVERIFY(s.start());
        const QString family = QApplication::font().family();
        const Qt::Alignment leftCentred = Qt::AlignLeft | Qt::AlignVCenter;
        const Qt::Alignment rightCentred = Qt::AlignRight | Qt::AlignTrailing | Qt::AlignVCenter;
        const QList<FormCell> cells = {
            { "label", "QLabel", "gridLayout_2", 6, 1, 1, 1, "1", 24, 0, leftCentred },
            { "label_arrive", "ClickLabel", "gridLayout_2", 6, 3, 1, 1, "Kommission Ankauf", 24, 0,
                leftCentred },
            { "label_2", "QLabel", "gridLayout_2", 7, 1, 1, 1, "2", 24, 0, leftCentred },
            { "label_services", "ClickLabel", "gridLayout_2", 7, 3, 1, 1,
                "Drucken Ändern Exportieren", 24, 0, leftCentred },
            { "label_6", "QLabel", "gridLayout_2", 8, 1, 1, 1, "3", 24, 0, leftCentred },
            { "label_sell", "ClickLabel", "gridLayout_2", 8, 3, 1, 1, "Verkauf", 24, 0,
                leftCentred },
            { "label_a", "QLabel", "gridLayout_2", 9, 1, 1, 1, "a", 24, 0, leftCentred },
            { "label_austragen", "ClickLabel", "gridLayout_2", 9, 3, 1, 1, "Artikel Austragen", 24,
                0, leftCentred },
            { "label_b", "QLabel", "gridLayout_2", 10, 1, 1, 1, "b", 24, 0, leftCentred },
            { "label_image", "ClickLabel", "gridLayout_2", 10, 3, 1, 1, "Bilder aufnehmen", 24, 0,
                leftCentred },
            { "label_4", "QLabel", "gridLayout_2", 11, 1, 1, 1, "4", 24, 0, leftCentred },
            { "label_sellout", "ClickLabel", "gridLayout_2", 11, 3, 1, 1, "Auszahlen", 24, 0,
                leftCentred },
            { "label_3", "QLabel", "gridLayout_2", 12, 1, 1, 1, "5", 24, 0, leftCentred },
            { "label_kunden", "ClickLabel", "gridLayout_2", 12, 3, 1, 1, "Kunden verwalten", 24, 0,
                leftCentred },
            { "label_9", "QLabel", "gridLayout_2", 14, 1, 1, 1, "6", 24, 0, leftCentred },
            { "label_backup", "ClickLabel", "gridLayout_2", 14, 3, 1, 1, "Daten sichern", 24, 0,
                leftCentred },
            { "label_5", "QLabel", "gridLayout_2", 16, 1, 1, 1, "7", 24, 0, leftCentred },
            { "label_ankauf", "ClickLabel", "gridLayout_2", 16, 3, 1, 1, "Übersicht der Ankäufe",
                24, FormCell::Italic, leftCentred },
            { "label_10", "QLabel", "gridLayout_2", 18, 1, 1, 1, "8", 24, 0, leftCentred },
            { "label_abgelaufene", "ClickLabel", "gridLayout_2", 18, 3, 1, 1,
                "Abgelaufene Verträge", 24, FormCell::Italic, leftCentred },
            { "label_7", "QLabel", "gridLayout_2", 19, 1, 1, 1, "9", 24, 0, leftCentred },
            { "label_inventur", "ClickLabel", "gridLayout_2", 19, 3, 1, 1,
                "Statistik Inventur Exportieren", 24, FormCell::Italic, leftCentred },
            { "label_8", "QLabel", "gridLayout_2", 21, 1, 1, 1, "0", 24, 0, leftCentred },
            { "label_settings", "ClickLabel", "gridLayout_2", 21, 3, 1, 1, "Einstellungen", 24,
                FormCell::Italic, leftCentred },
            { "pushButtonUpload", "QPushButton", "gridLayout_2", 1, 3, 1, 1, "Bestand hochladen",
                14 },
            { "widget", "QWidget", "gridLayout_2", 1, 5, 1, 1, nullptr, 18 },
            { "label_14", "QLabel", "gridLayout_2", 2, 0, 1, 6, "Hauptmenü", 22, 0,
                Qt::AlignCenter },
            { "labelVertr", "QLabel", "gridLayout_2", 3, 0, 1, 3, nullptr, 18, 0, leftCentred },
            { "labelDate", "QLabel", "gridLayout_2", 3, 5, 1, 1, nullptr, 18, 0, rightCentred },
            { "labelTime", "QLabel", "gridLayout_2", 6, 5, 1, 1, nullptr, 18, 0, rightCentred },
            { "label_12", "QLabel", "gridLayout_2", 24, 0, 1, 5, nullptr, 8, 0, leftCentred },
            // the quit box
            { "label_beenden", "ClickLabel", "gridLayout_3", 1, 3, 1, 1, " Programm beenden", 12, 0,
                rightCentred },
            { "label_11", "QLabel", "gridLayout_3", 2, 1, 1, 1, "e", 12, 0, leftCentred },
            { "label_shutdown", "ClickLabel", "gridLayout_3", 2, 3, 1, 1, "Herunterfahren", 12, 0,
                rightCentred },
        };
        QWidget *menu = s.find("swMenu");
        QCOMPARE(formMismatches(*menu, cells), QString());
        for (const FormCell &c : cells) {
            // Everything of the menu lies on it, the quit box in its own widget.
            QWidget *w = s.find(c.name);
            const bool inQuitBox = QByteArray(c.grid) == "gridLayout_3";
            QCOMPARE(w->parentWidget()->objectName(), QString(inQuitBox ? "widget" : "swMenu"));
            if (qobject_cast<QLabel *>(w))
                QCOMPARE(w->focusPolicy(), Qt::NoFocus);
        }
        const struct
        {
            const char *name;
            QSizePolicy::Policy horizontal;
        } policies[] = { { "label", QSizePolicy::Fixed }, { "label_2", QSizePolicy::Fixed },
            { "label_6", QSizePolicy::Fixed }, { "label_3", QSizePolicy::Fixed },
            { "label_7", QSizePolicy::Fixed }, { "label_8", QSizePolicy::Fixed },
            { "labelVertr", QSizePolicy::Fixed }, { "label_services", QSizePolicy::Expanding },
            { "label_4", QSizePolicy::Preferred }, { "label_sell", QSizePolicy::Preferred } };
        for (const auto &p : policies) {
            QCOMPARE(s.find(p.name)->sizePolicy().horizontalPolicy(), p.horizontal);
            QCOMPARE(s.find(p.name)->sizePolicy().verticalPolicy(), QSizePolicy::Preferred);
        }
        QVERIFY(!s.find<QLabel>("label_services")->wordWrap());

        // The spacers that push the menu into shape: layout, cell, size and stretch direction.
        QCOMPARE(formSpacers(*menu),
            QStringList({ "gridLayout_2 22,3 1x1 20x40 Minimum/Expanding",
                "gridLayout_2 7,0 1x1 40x20 Expanding/Minimum",
                "gridLayout_2 7,5 1x1 40x20 Expanding/Minimum",
                "gridLayout_3 2,0 1x1 40x20 Expanding/Minimum" }));

        // Fourteen captions, all on the menu.
        QCOMPARE(s.find("swMenu")->findChildren<ClickLabel *>().size(), 14);

        // The page stack in its order; the two sale pages are distinct objects.
        auto *stack = s.find<QStackedWidget>("stackedWidget");
        const QStringList pages = { "swMenu:QWidget", "swBackup:Backup", "swService:Services",
            "swSettings:Einstellungen", "swSellout:Auszahlung", "swArrive:Anlieferung",
            "swSell:Verkauf", "swInventur:Inventur", "swAbgelaufene:Abgelaufene", "swKunden:Kunden",
            "swAnkauf:Ankauf", "swAustragen:Verkauf" };
        QStringList actual;
        for (int i = 0; i < stack->count(); ++i)
            actual << stack->widget(i)->objectName() + ":"
                    + stack->widget(i)->metaObject()->className();
        QCOMPARE(actual, pages);
        QVERIFY(stack->widget(6) != stack->widget(11));
        QCOMPARE(stack->font().pointSize(), 18);
        QCOMPARE(s.page(), QString("swMenu"));

        QCOMPARE(s.window->objectName(), QString("Velarix"));
        QCOMPARE(s.window->windowTitle(), QString("Velarix"));
        QVERIFY(s.window->windowState() & Qt::WindowFullScreen);
        QVERIFY(s.window->menuBar());
        QCOMPARE(s.window->menuBar()->objectName(), QString("menuBar"));
        QVERIFY(s.window->menuBar()->actions().isEmpty());
        QCOMPARE(s.window->centralWidget()->objectName(), QString("centralWidget"));
        QCOMPARE(s.window->centralWidget()->styleSheet(),
            QString("QStackedWidget { background-color: qlineargradient(x1: 0.4, y1: 0.4, "
                    "x2: 1, y2: 1, stop: 0 #FFFFFF, stop: 1 #FFCC87);}QLabel {color: "
                    "rgb(0,0,0) ;}ClickLabel:hover, MenuLabel:hover{color: #DF7F00;}"));
        QVERIFY(s.find<QLabel>("label_12")
                    ->text()
                    .contains(QRegularExpression("Version \\d+\\.\\d+.*\\d\\d\\.\\d\\d\\.\\d{4}")));
    }

    void clockAndLastContractOnTheMenu()
    {
        Shell s;
        TestWorkdir::exec("INSERT INTO Vertrag (ID, Kunde, Laufzeit) VALUES (57, 1, 90)");
        TestWorkdir::exec("INSERT INTO Vertrag (ID, Kunde, Laufzeit) VALUES (56, 1, -1)");
        QVERIFY(s.start());
        QCOMPARE(s.find<QLabel>("labelVertr")->text(), QString("Letzter Vertrag: 57"));
        QCOMPARE(s.find<QLabel>("labelDate")->text(), "Datum: " + today());
        auto *time = s.find<QLabel>("labelTime");
        const QRegularExpression clock("^Uhrzeit: ([01]\\d|2[0-3]):[0-5]\\d:[0-5]\\d$");
        QVERIFY2(clock.match(time->text()).hasMatch(), qPrintable(time->text()));
        const QString first = time->text();
        QTRY_VERIFY_WITH_TIMEOUT(time->text() != first, 3000);
        QVERIFY(clock.match(time->text()).hasMatch());
        QVERIFY(dialogLog().isEmpty());
    }

    void emptyContractTableShowsNoNumber()
    {
        Shell s;
        QVERIFY(s.start());
        QCOMPARE(s.find<QLabel>("labelVertr")->text(), QString("Letzter Vertrag: "));
    }

    void freshFolderGetsItsSchema()
    {
        Shell s(false);
        QVERIFY(s.start());
        QCOMPARE(TestWorkdir::scalar("SELECT COUNT(*) FROM Systemdaten").toInt(), 16);
        QCOMPARE(s.find<QLabel>("labelVertr")->text(), QString("Letzter Vertrag: "));
        QVERIFY(dialogLog().isEmpty());
    }

    // A missing table comes at start-up; one lost while the program runs warns on every
    // return to the menu.
    void missingContractTable()
    {
        Shell s;
        TestWorkdir::exec("DROP TABLE Vertrag");
        QVERIFY(s.start());
        QVERIFY(dialogLog().isEmpty());
        QCOMPARE(s.find<QLabel>("labelVertr")->text(), QString("Letzter Vertrag: "));
        TestWorkdir::exec("INSERT INTO Vertrag (Kunde) VALUES (1)");
        s.key("1");
        TestWorkdir::exec("DROP TABLE Vertrag");
        s.key("Esc");
        QCOMPARE(dialogLog().size(), 1);
        QVERIFY(dialogLog().at(0).startsWith("Warning|SQL-Fehler|no such table: Vertrag"));
        QCOMPARE(s.find<QLabel>("labelVertr")->text(), QString("Letzter Vertrag: "));
    }

    // --- page switch ----------------------------------------------------------------------

    void navigation_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("gate");
        const struct
        {
            const char *key, *caption, *page, *gate;
        } rows[] = {
            { "1", "label_arrive", "swArrive", "" },
            { "2", "label_services", "swService", "" },
            { "4", "label_sellout", "swSellout", "" },
            { "3", "label_sell", "swSell", "" },
            { "a", "label_austragen", "swAustragen", "" },
            { "9", "label_inventur", "swInventur", "Passwort" },
            { "5", "label_kunden", "swKunden", "" },
            { "8", "label_abgelaufene", "swAbgelaufene", "Passwort" },
            { "7", "label_ankauf", "swAnkauf", "Passwort" },
            { "6", "label_backup", "swBackup", "" },
            { "0", "label_settings", "swSettings", "MasterPasswort" },
        };
        for (const auto &r : rows) {
            QTest::addRow("key %s", r.key) << r.key << QString() << r.page << r.gate;
            QTest::addRow("caption %s", r.caption) << QString() << r.caption << r.page << r.gate;
        }
    }

    void navigation()
    {
        QFETCH(QString, key);
        QFETCH(QString, caption);
        QFETCH(QString, page);
        QFETCH(QString, gate);
        Shell s;
        QVERIFY(s.start());
        QCOMPARE(s.enabledKeys(), kMenuKeys);

        if (!gate.isEmpty())
            Dialogs::setNextAnswer(QString()); // the default password is empty
        if (caption.isEmpty())
            s.key(key);
        else
            s.click(qPrintable(caption));

        QCOMPARE(s.page(), page);
        QCOMPARE(s.enabledKeys(), kPageKeys);
        if (gate.isEmpty()) {
            QCOMPARE(dialogLog(), QStringList());
        } else {
            QCOMPARE(dialogLog(),
                QStringList(
                    "Text|" + gate + "|Bitte geben Sie das " + gate + " ein, um fortzufahren:"));
            QCOMPARE(Dialogs::lastCall().value("echoMode").toInt(), int(QLineEdit::Password));
            QCOMPARE(Dialogs::lastCall().value("initial").toString(), QString());
        }
        QCOMPARE(s.dbOpen(), page != "swBackup");
        // Only the write-off entry switches its own instance into write-off mode.
        QCOMPARE(s.find("swAustragen")->findChild<QLabel *>("label_15")->text(),
            QString(page == "swAustragen" ? "Austragen" : "Verkauf"));
        QCOMPARE(s.find("swSell")->findChild<QLabel *>("label_15")->text(), QString("Verkauf"));

        // Esc goes back from every page; the settings page asks first.
        Dialogs::takeRecords();
        if (page == "swSettings")
            Dialogs::setNextAnswer(QMessageBox::No);
        s.key("Esc");
        QCOMPARE(s.page(), QString("swMenu"));
        QCOMPARE(s.enabledKeys(), kMenuKeys);
        QVERIFY(s.dbOpen());
        QCOMPARE(dialogLog(),
            page == "swSettings"
                ? QStringList("Question|Speichern|Haben Sie Änderungen vorgenommen und "
                              "wollen Sie speichern?")
                : QStringList());
    }

    void returnCaptionOfEveryPageLeadsToTheMenu()
    {
        Shell s;
        QVERIFY(s.start());
        auto *stack = s.find<QStackedWidget>("stackedWidget");
        for (int i = 1; i < stack->count(); ++i) {
            QWidget *page = stack->widget(i);
            stack->setCurrentWidget(page);
            auto *back = page->findChild<QLabel *>("label_16");
            QVERIFY2(back, qPrintable(page->objectName()));
            QCOMPARE(QByteArray(back->metaObject()->className()), QByteArray("MenuLabel"));
            QCOMPARE(back->text(), QString("mit ESC zum Hauptmenü"));
            if (page->objectName() == "swSettings")
                Dialogs::setNextAnswer(QMessageBox::No);
            QTest::mouseClick(back, Qt::LeftButton);
            QCOMPARE(s.page(), QString("swMenu"));
        }
    }

    void settingsPageAsksOnceAndSavesOnYes()
    {
        Shell s;
        QVERIFY(s.start());
        Dialogs::setNextAnswer(QString());
        s.key("0");
        QCOMPARE(s.page(), QString("swSettings"));
        // Only the settings page's own Esc is live there: no ambiguity, one question.
        QVERIFY(!s.shortcut("shortcutEsc")->isEnabled());
        QVERIFY(s.shortcut("shortcutEscSettings")->isEnabled());
        Dialogs::takeRecords();
        s.key("Esc"); // unscripted: the default button, Yes
        QCOMPARE(s.page(), QString("swMenu"));
        QCOMPARE(Dialogs::lastCall().value("defaultButton").toInt(), int(QMessageBox::Yes));
        QCOMPARE(
            Dialogs::lastCall().value("buttons").toInt(), int(QMessageBox::Yes | QMessageBox::No));
        QCOMPARE(dialogLog().size(), 1);
        QVERIFY(s.shortcut("shortcutEsc")->isEnabled());
        QVERIFY(!s.shortcut("shortcutEscSettings")->isEnabled());
    }

    void keysOnAPage()
    {
        Shell s;
        QVERIFY(s.start());
        s.key("3");
        QCOMPARE(s.page(), QString("swSell"));
        for (const char *digit : { "1", "2", "4", "5", "6", "7", "8", "9", "0", "e" }) {
            s.key(digit);
            QCOMPARE(s.page(), QString("swSell"));
        }
        // A focused text field takes the letters before the shortcuts do.
        auto *edit = new QLineEdit(s.find("swSell"));
        edit->show();
        edit->setFocus();
        QTest::keyClicks(edit, "ab");
        QCOMPARE(edit->text(), QString("ab"));
        QCOMPARE(s.page(), QString("swSell"));
        QVERIFY(s.window->isVisible());
        delete edit;
        s.window->setFocus();

        s.key("a"); // never disabled
        QCOMPARE(s.page(), QString("swAustragen"));
        s.key("Esc");
        QCOMPARE(s.page(), QString("swMenu"));
        s.key("3");
        QCOMPARE(s.find("swSell")->findChild<QLabel *>("label_15")->text(), QString("Verkauf"));
        QVERIFY(dialogLog().isEmpty());
        QVERIFY(fakes.calls().isEmpty());
    }

    // Esc that closes an open list stays with it: the page and its input remain, and only
    // the next Esc leaves.
    void escClosesAnOpenListFirst()
    {
        Shell s;
        QVERIFY(s.start());
        s.key("1");
        QWidget *page = s.find("swArrive");
        auto *name = page->findChild<QLineEdit *>("lineEditNA");
        QTest::keyClicks(name, "Meier");
        auto *combo = page->findChild<QComboBox *>("comboBoxKategorie");
        combo->setFocus();
        press(Qt::Key_F4);
        QTRY_VERIFY(combo->view()->isVisible());

        press(Qt::Key_Escape);
        QTRY_VERIFY(!combo->view()->isVisible());
        QCOMPARE(s.page(), QString("swArrive"));
        QCOMPARE(name->text(), QString("Meier"));
        press(Qt::Key_Escape);
        QCOMPARE(s.page(), QString("swMenu"));
    }

    // "a" and "b" switch pages only where no widget takes typed letters: a combo box or a
    // list jumps to the entry, a table to the row, a field takes the letter.
    void lettersGoToTheFocusedWidget_data()
    {
        QTest::addColumn<QString>("widget");
        QTest::addColumn<char>("letter");
        QTest::addColumn<QString>("after"); // the widget's text afterwards, where it shows one
        QTest::newRow("category box") << "comboBoxKategorie" << 'b' << "Bücher (2)";
        QTest::newRow("customer list") << "listWidget" << 'a' << "";
        QTest::newRow("table") << "table" << 'b' << "Becher";
        QTest::newRow("description") << "textEditBeschreibung" << 'b' << "b";
        QTest::newRow("price") << "doubleSpinBoxEk" << 'a' << "";
    }
    void lettersGoToTheFocusedWidget()
    {
        QFETCH(QString, widget);
        QFETCH(char, letter);
        QFETCH(QString, after);
        Shell s;
        TestWorkdir::exec("INSERT INTO Kunde (Name, Vorname) VALUES ('Becker', 'Anna')");
        QVERIFY(s.start());
        s.key("1");
        QWidget *page = s.find("swArrive");
        QTest::keyClicks(page->findChild<QLineEdit *>("lineEditSearch"), "Becker");
        QWidget *target = page->findChild<QWidget *>(widget);
        std::unique_ptr<QTableWidget> table;
        if (widget == "table") {
            table = std::make_unique<QTableWidget>(2, 1, page);
            table->setEditTriggers(QAbstractItemView::NoEditTriggers);
            table->setItem(0, 0, new QTableWidgetItem("Becher"));
            table->setItem(1, 0, new QTableWidgetItem("Tisch"));
            table->show();
            table->setCurrentCell(1, 0);
            target = table.get();
        }
        QVERIFY(target);
        target->setFocus();
        press(letter);

        QCOMPARE(s.page(), QString("swArrive"));
        QVERIFY(s.window->isVisible());
        QVERIFY(fakes.calls().isEmpty());
        if (auto *c = qobject_cast<QComboBox *>(target))
            QCOMPARE(c->currentText(), after);
        else if (auto *t = qobject_cast<QTableWidget *>(target))
            QCOMPARE(t->currentItem()->text(), after);
        else if (auto *t = qobject_cast<QTextEdit *>(target))
            QCOMPARE(t->toPlainText(), after);
        QCOMPARE(QApplication::focusWidget(), target);

        // Where the page itself has the focus, the letters switch as ever.
        s.window->setFocus();
        s.key("a");
        QCOMPARE(s.page(), QString("swAustragen"));
    }

    void keyLabelsAndHeadingDoNothingOnClick()
    {
        Shell s;
        QVERIFY(s.start());
        for (const char *name : { "label", "label_2", "label_6", "label_a", "label_b", "label_4",
                 "label_3", "label_9", "label_5", "label_10", "label_7", "label_8", "label_11",
                 "label_14", "labelVertr", "label_12" }) {
            s.click(name);
            QVERIFY(s.window->isVisible());
            QCOMPARE(s.page(), QString("swMenu"));
        }
        QCOMPARE(s.enabledKeys(), kMenuKeys);
        QVERIFY(dialogLog().isEmpty());
        QVERIFY(fakes.calls().isEmpty());
    }

    void escOnTheMenuBeforeAnySwitchIsAmbiguous()
    {
        Shell s;
        QVERIFY(s.start());
        QVERIFY(s.shortcut("shortcutEsc")->isEnabled());
        QVERIFY(s.shortcut("shortcutEscSettings")->isEnabled());
        QSignalSpy ambiguous(s.shortcut("shortcutEsc"), &QShortcut::activatedAmbiguously);
        s.key("Esc");
        QCOMPARE(ambiguous.size(), 1);
        QCOMPARE(s.page(), QString("swMenu"));
        QVERIFY(dialogLog().isEmpty());
    }

    void password_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QVariant>("stored"); // invalid: no row
        QTest::addColumn<QVariant>("entered"); // invalid: Cancel
        QTest::addColumn<bool>("opens");
        const QVariant none;
        QTest::newRow("empty, confirmed") << "9"
                                          << "Passwort" << QVariant("") << QVariant("") << true;
        QTest::newRow("empty, cancelled") << "9"
                                          << "Passwort" << QVariant("") << none << false;
        QTest::newRow("missing row, confirmed empty") << "8"
                                                      << "Passwort" << none << QVariant("") << true;
        QTest::newRow("missing row, cancelled") << "8"
                                                << "Passwort" << none << none << false;
        QTest::newRow("right") << "7"
                               << "Passwort" << QVariant("Geheim") << QVariant("Geheim") << true;
        QTest::newRow("wrong") << "9"
                               << "Passwort" << QVariant("Geheim") << QVariant("falsch") << false;
        QTest::newRow("case matters")
            << "9"
            << "Passwort" << QVariant("Geheim") << QVariant("geheim") << false;
        QTest::newRow("not trimmed")
            << "9"
            << "Passwort" << QVariant("Geheim") << QVariant("Geheim ") << false;
        QTest::newRow("right, cancelled") << "7"
                                          << "Passwort" << QVariant("Geheim") << none << false;
        QTest::newRow("master right")
            << "0"
            << "MasterPasswort" << QVariant("Chef") << QVariant("Chef") << true;
        QTest::newRow("master wrong")
            << "0"
            << "MasterPasswort" << QVariant("Chef") << QVariant("Geheim") << false;
    }

    void password()
    {
        QFETCH(QString, key);
        QFETCH(QString, setting);
        QFETCH(QVariant, stored);
        QFETCH(QVariant, entered);
        QFETCH(bool, opens);
        Shell s;
        QVERIFY(s.start());
        // The other gate's password is set too: the switch must compare against its own.
        TestWorkdir::exec("UPDATE Systemdaten SET Wert = 'anders' WHERE Name = '"
            + QString(setting == "Passwort" ? "MasterPasswort" : "Passwort") + "'");
        if (stored.isValid())
            TestWorkdir::exec("UPDATE Systemdaten SET Wert = '" + stored.toString()
                + "' WHERE Name = '" + setting + "'");
        else
            TestWorkdir::exec("DELETE FROM Systemdaten WHERE Name = '" + setting + "'");
        // A contract concluded meanwhile shows up when the refusal returns to the menu.
        TestWorkdir::exec("INSERT INTO Vertrag (ID, Kunde, Laufzeit) VALUES (12, 1, 90)");

        Dialogs::setNextAnswer(entered);
        s.key(key);
        QCOMPARE(dialogLog().size(), 1); // the prompt, and no message after it
        QVERIFY(dialogLog().at(0).startsWith("Text|" + setting + "|"));
        if (opens) {
            QVERIFY(s.page() != "swMenu");
            QCOMPARE(s.enabledKeys(), kPageKeys);
        } else {
            QCOMPARE(s.page(), QString("swMenu"));
            QCOMPARE(s.enabledKeys(), kMenuKeys);
            QCOMPARE(s.find<QLabel>("labelVertr")->text(), QString("Letzter Vertrag: 12"));
        }
    }

    // Each switch to a page reads both passwords; one that cannot be read opens no gate, and
    // the box names the statement's own fault.
    void unreadablePasswordKeepsTheGateClosed()
    {
        Shell s;
        QVERIFY(s.start());
        TestWorkdir::exec("DROP TABLE Systemdaten");
        const QString box = "Warning|SQL-Fehler|no such table: Systemdaten";
        for (const char *key : { "9", "8", "7", "0" }) {
            Dialogs::setNextAnswer(QString()); // an empty entry, were there a prompt
            s.key(key);
            QCOMPARE(s.page(), QString("swMenu"));
            QCOMPARE(s.enabledKeys(), kMenuKeys);
            // The refused switch reads both, no prompt; its return to the menu needs neither.
            const QStringList log = dialogLog();
            QCOMPARE(log.size(), 2);
            for (const QString &line : log)
                QVERIFY2(line.startsWith(box), qPrintable(line));
            Dialogs::clearAnswers();
            Dialogs::takeRecords();
        }
        s.key("1"); // a page without a gate still opens
        QCOMPARE(s.page(), QString("swArrive"));
    }

    void backupEntryTakesTheFolderAndClosesTheConnection()
    {
        Shell s;
        QVERIFY(s.start());
        TestWorkdir::exec("UPDATE Systemdaten SET Wert = '/mnt/usb' WHERE Name = 'PfadBackup'");
        s.click("label_backup");
        QCOMPARE(s.page(), QString("swBackup"));
        QCOMPARE(s.find<Backup>("swBackup")->pfadBackup, QString("/mnt/usb"));
        QVERIFY(!s.dbOpen());

        // The first switch after the backup page reopens the connection before anything else.
        s.key("Esc");
        QVERIFY(s.dbOpen());
        QCOMPARE(s.page(), QString("swMenu"));
        QVERIFY(dialogLog().isEmpty());

        // Without the row the folder stays as it was.
        TestWorkdir::exec("DELETE FROM Systemdaten WHERE Name = 'PfadBackup'");
        s.key("6");
        QCOMPARE(s.find<Backup>("swBackup")->pfadBackup, QString("/mnt/usb"));
        s.key("Esc");
    }

    // --- a smaller screen ------------------------------------------------------------------

    // On a 1280 x 1024 screen every control of every page can be reached, and the pages fit; on
    // a smaller one a page that needs more room than the window has scrolls instead of being
    // cut off. The table names the pages that scroll at that size, and which way: a page that
    // fits never scrolls, however much room another page of the stack needs.
    void everyControlReachable_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QStringList>("scrolling");
        QTest::newRow("1280 x 1024 screen") << QSize(1280, 1000) << QStringList();
        QTest::newRow("800 x 600 screen")
            << QSize(800, 600)
            << QStringList({ "swBackup down", "swService across and down",
                   "swArrive across and down", "swSell across and down", "swInventur across",
                   "swKunden across", "swAustragen across and down", "swSettings down" });
    }
    void everyControlReachable()
    {
        QFETCH(QSize, size);
        QFETCH(QStringList, scrolling);
        const bool fits = scrolling.isEmpty();
        Shell s;
        // A shop's own category, longer than any of the sample list.
        QFile categories("kategorien.txt");
        QVERIFY(categories.open(QIODevice::Append));
        categories.write("Haushaltswaren, K\xFC"
                         "chenger\xE4"
                         "te und Dekoration;13\r\n");
        categories.close();
        QVERIFY(s.start());
        s.window->showNormal();
        s.window->resize(size);
        QCoreApplication::processEvents();
        QCOMPARE(s.window->size(), size);
        QCOMPARE(unreachableControls(*s.page("swMenu")), QStringList());
        const auto *area = s.find<QScrollArea>("scrollArea");
        QVERIFY(area);
        if (fits) {
            // The gradient still spans the window, from white to light orange.
            const QImage shot = s.window->grab().toImage();
            QCOMPARE(shot.pixelColor(1, 1), QColor(Qt::white));
            const QColor corner = shot.pixelColor(shot.width() - 2, shot.height() - 2);
            QVERIFY2(
                qAbs(corner.red() - 0xFF) + qAbs(corner.green() - 0xCC) + qAbs(corner.blue() - 0x87)
                    < 6,
                qPrintable(corner.name()));
        }

        const struct
        {
            Qt::Key key;
            const char *page;
            bool gated;
        } pages[] = { { Qt::Key_6, "swBackup", false }, { Qt::Key_2, "swService", false },
            { Qt::Key_4, "swSellout", false }, { Qt::Key_1, "swArrive", false },
            { Qt::Key_3, "swSell", false }, { Qt::Key_9, "swInventur", true },
            { Qt::Key_8, "swAbgelaufene", true }, { Qt::Key_5, "swKunden", false },
            { Qt::Key_7, "swAnkauf", true }, { Qt::Key_A, "swAustragen", false },
            { Qt::Key_0, "swSettings", true } }; // last: leaving it asks
        // A page shrinks as far as its layout allows, and only then scrolls.
        QStringList scrolled;
        for (const auto &p : pages) {
            if (p.gated)
                Dialogs::setNextAnswer(QString()); // the default password is empty
            QVERIFY(s.enter(p.key, p.page));
            QCOMPARE(unreachableControls(*s.page(p.page)), QStringList());
            const bool across = area->horizontalScrollBar()->maximum() > 0;
            const bool down = area->verticalScrollBar()->maximum() > 0;
            if (across || down)
                scrolled << QLatin1String(p.page)
                        + QLatin1String(across && down ? " across and down"
                                : across               ? " across"
                                                       : " down");
        }
        QCOMPARE(scrolled.join(QLatin1String(", ")), scrolling.join(QLatin1String(", ")));
        QCOMPARE(dialogLog().size(), 4); // the four password prompts
    }

    // Worked by keyboard in a window too small for the page, the focus stays in sight: moved
    // by Tab, and moved by the page itself.
    void focusIsScrolledIntoView()
    {
        Shell s;
        QVERIFY(s.start());
        s.window->showNormal();
        s.window->resize(600, 400);
        QCoreApplication::processEvents();
        QVERIFY(s.enter(Qt::Key_1, "swArrive"));
        const auto *area = s.find<QScrollArea>("scrollArea");
        QVERIFY(area);
        QWidget *standButton = s.field("swArrive", "pushButtonStand");
        for (int i = 0; i < 60 && QApplication::focusWidget() != standButton; ++i) {
            press(Qt::Key_Tab);
            QVERIFY2(inView(QApplication::focusWidget(), area),
                qPrintable(QApplication::focusWidget()->objectName()));
        }
        QCOMPARE(QApplication::focusWidget(), standButton);
        // The button opens the stand fee field, on the far left, for typing.
        press(Qt::Key_Return);
        QWidget *fee = s.field("swArrive", "doubleSpinBoxStand");
        QCOMPARE(QApplication::focusWidget(), fee);
        QVERIFY(inView(fee, area));
    }

    // --- closing, shutdown, camera, upload -------------------------------------------------

    void closeReminder_data()
    {
        QTest::addColumn<QVariant>("backupDate"); // invalid: no row
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("asks");
        QTest::addColumn<bool>("closes");
        const int yes = QMessageBox::Yes, no = QMessageBox::No;
        QTest::newRow("today") << QVariant(today()) << no << false << true;
        QTest::newRow("tomorrow") << QVariant(today(1)) << no << false << true;
        QTest::newRow("yesterday, No") << QVariant(today(-1)) << no << true << true;
        QTest::newRow("yesterday, Yes") << QVariant(today(-1)) << yes << true << false;
        QTest::newRow("empty") << QVariant("") << no << true << true;
        QTest::newRow("empty, Yes") << QVariant("") << yes << true << false;
        QTest::newRow("missing") << QVariant() << no << true << true;
        QTest::newRow("unreadable") << QVariant("2021-03-15") << no << true << true;
        QTest::newRow("box closed otherwise")
            << QVariant(today(-3)) << int(QMessageBox::NoButton) << true << true;
    }

    void closeReminder()
    {
        QFETCH(QVariant, backupDate);
        QFETCH(int, answer);
        QFETCH(bool, asks);
        QFETCH(bool, closes);
        Shell s;
        QVERIFY(s.start());
        if (backupDate.isValid())
            TestWorkdir::exec("UPDATE Systemdaten SET Wert = '" + backupDate.toString()
                + "' WHERE Name = 'BackupDate'");
        else
            TestWorkdir::exec("DELETE FROM Systemdaten WHERE Name = 'BackupDate'");

        Dialogs::setNextAnswer(answer);
        s.click("label_beenden");
        QCOMPARE(dialogLog(),
            asks ? QStringList("Question|Warnung|Die Daten wurden heute noch nicht "
                               "gesichert.\nWollen Sie sichern?")
                 : QStringList());
        if (asks) {
            QCOMPARE(Dialogs::lastCall().value("defaultButton").toInt(), int(QMessageBox::Yes));
            QCOMPARE(Dialogs::lastCall().value("buttons").toInt(),
                int(QMessageBox::Yes | QMessageBox::No));
        }
        QCOMPARE(s.window->isVisible(), !closes);
        if (!closes) {
            // Yes goes to the backup page exactly as "6" does.
            QCOMPARE(s.page(), QString("swBackup"));
            QVERIFY(!s.dbOpen());
            QCOMPARE(s.enabledKeys(), kPageKeys);
        }
        QVERIFY(fakes.calls().isEmpty());
    }

    // Another program holds the database for long: the return to the menu and the close each
    // wait once, under the wait cursor, and say so in one box; the menu comes back, and the
    // close asks as for no backup and closes. Yes leads to the backup page, whose entry too
    // waits once.
    void lastingLockOfAnotherProgram_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("answer");
        const int no = QMessageBox::No;
        QTest::newRow("sale page") << "3" << no;
        QTest::newRow("backup page, its connection closed") << "6" << no;
        QTest::newRow("sale page, then Yes to the backup") << "3" << int(QMessageBox::Yes);
    }
    void lastingLockOfAnotherProgram()
    {
        QFETCH(QString, page);
        QFETCH(int, answer);
        Shell s;
        QVERIFY(s.start());
        TestWorkdir::exec(
            "UPDATE Systemdaten SET Wert = '" + today() + "' WHERE Name = 'BackupDate'");
        const QString last = s.find<QLabel>("labelVertr")->text();
        s.key(page);
        SqliteTool other(s.dir.path("db.sqlite"));
        QVERIFY(other.run("BEGIN EXCLUSIVE;"));
        // The boxes since the last look: a failed read's is marked by the driver's text alone.
        const auto boxes = [](const QStringList &expected) {
            const QList<Dialogs::Record> shown = Dialogs::takeRecords();
            QCOMPARE(shown.size(), expected.size());
            for (int i = 0; i < shown.size(); ++i) {
                if (expected.at(i) != "locked") {
                    QCOMPARE(shown.at(i).text, expected.at(i));
                    continue;
                }
                QVERIFY2(isLockBox(shown.at(i)), qPrintable(shown.at(i).text));
            }
        };
        Dialogs::takeRecords();
        s.key("Esc");
        QCOMPARE(s.page(), QString("swMenu"));
        QCOMPARE(s.enabledKeys(), kMenuKeys);
        QCOMPARE(s.find<QLabel>("labelVertr")->text(), last);
        boxes({ "locked" });

        Dialogs::setNextAnswer(QMessageBox::Ok);
        Dialogs::setNextAnswer(answer);
        const QString question
            = "Die Daten wurden heute noch nicht gesichert.\nWollen Sie sichern?";
        if (answer == QMessageBox::No) {
            QVERIFY(s.window->close());
            boxes({ "locked", question });
            return;
        }
        QVERIFY(!s.window->close());
        boxes({ "locked", question, "locked" });
        QCOMPARE(s.page(), QString("swBackup"));
    }

    // Another program holds the database. Every page entry and every return to the menu waits
    // for it once, briefly, under the wait cursor, with at most one box; the page shows what
    // it could read, a guarded page stays closed. Without indexes the return to the menu
    // writes them, and a program that holds the write lock costs it one wait, not one per
    // index.
    void pageEntriesUnderAnotherProgramsLock_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("page"); // shown after the key
        QTest::addColumn<QString>("lock"); // what the other program holds
        QTest::addColumn<int>("boxes"); // on the entry and on the return, each
        const QString exclusive = "BEGIN EXCLUSIVE;";
        const struct
        {
            const char *key, *page;
        } pages[] = {
            { "1", "swArrive" },
            { "2", "swService" },
            { "3", "swSell" },
            { "a", "swAustragen" },
            { "4", "swSellout" },
            { "5", "swKunden" },
            { "6", "swBackup" },
            // The password cannot be read: the gate stays closed.
            { "7", "swMenu" },
            { "8", "swMenu" },
            { "9", "swMenu" },
            { "0", "swMenu" },
        };
        for (const auto &p : pages)
            QTest::addRow("key %s, exclusive lock", p.key) << p.key << p.page << exclusive << 1;
        // Reading goes on, writing waits.
        QTest::newRow("key 5, write reservation, indexes missing")
            << "5"
            << "swKunden"
            << "PRAGMA cache_size = -200000; BEGIN IMMEDIATE; UPDATE Kunde SET Name = 'X';" << 0;
    }
    void pageEntriesUnderAnotherProgramsLock()
    {
        QFETCH(QString, key);
        QFETCH(QString, page);
        QFETCH(QString, lock);
        QFETCH(int, boxes);
        Shell s;
        QVERIFY(s.start());
        TestWorkdir::exec("INSERT INTO Vertrag (Kunde, Laufzeit) VALUES (1, 90)");
        const bool reservation = lock.contains("IMMEDIATE");
        if (reservation) {
            // As after "Daten löschen" or the restore of an older backup.
            for (const QString &index : indexNames())
                TestWorkdir::exec("DROP INDEX " + index);
        }
        QVERIFY(s.toMenu());
        SqliteTool other(s.dir.path("db.sqlite"));
        QVERIFY(other.run(lock));
        Dialogs::takeRecords();

        const auto answeredOnce = [&](const char *what) {
            const QList<Dialogs::Record> shown = Dialogs::takeRecords();
            QVERIFY2(shown.size() == boxes, what);
            for (const Dialogs::Record &box : shown)
                QVERIFY2(isLockBox(box), qPrintable(box.text));
        };
        {
            DebugLines debug;
            s.key(key);
            QCOMPARE(s.page(), page);
            answeredOnce("entry");
            QVERIFY2(lockWaits(debug.lines()) <= 1, qPrintable(debug.lines().join('\n')));
        }
        {
            DebugLines debug;
            s.key("Esc");
            QCOMPARE(s.page(), QString("swMenu"));
            QCOMPARE(s.enabledKeys(), kMenuKeys);
            answeredOnce("return");
            QCOMPARE(lockWaits(debug.lines()), 1);
        }
        if (!reservation)
            return;
        // Reading was allowed: the menu shows the last contract.
        QCOMPARE(s.find<QLabel>("labelVertr")->text(), QString("Letzter Vertrag: 1"));
        other.kill();
        QVERIFY(s.enter(Qt::Key_5, "swKunden"));
        QVERIFY(s.toMenu());
        QCOMPARE(TestWorkdir::scalar("SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' AND "
                                     "name LIKE 'idx_%'"),
            QVariant(int(indexNames().size())));
    }

    void closeFromTheBackupPageReopensTheConnection()
    {
        Shell s;
        QVERIFY(s.start());
        TestWorkdir::exec(
            "UPDATE Systemdaten SET Wert = '" + today() + "' WHERE Name = 'BackupDate'");
        s.key("6");
        QVERIFY(!s.dbOpen());
        QVERIFY(s.window->close());
        QVERIFY(dialogLog().isEmpty()); // the date was read, so no reminder
    }

    void shutdownAfterNo()
    {
        Shell s;
        QVERIFY(s.start());
        Dialogs::setNextAnswer(QMessageBox::No);
        s.key("e");
        QVERIFY(!s.window->isVisible());
        QCOMPARE(dialogLog().size(), 1);
        QTRY_COMPARE(fakes.calls(), QStringList("shutdown now"));
    }

    void noShutdownAfterYes()
    {
        Shell s;
        QVERIFY(s.start());
        Dialogs::setNextAnswer(QMessageBox::Yes);
        s.click("label_shutdown");
        QVERIFY(s.window->isVisible());
        QCOMPARE(s.page(), QString("swBackup"));
        QTest::qWait(300); // a started command would have written by now
        QVERIFY(fakes.calls().isEmpty());
    }

    void shutdownWithTodaysBackupAsksNothing()
    {
        Shell s;
        QVERIFY(s.start());
        TestWorkdir::exec(
            "UPDATE Systemdaten SET Wert = '" + today() + "' WHERE Name = 'BackupDate'");
        s.click("label_shutdown");
        QVERIFY(!s.window->isVisible());
        QVERIFY(dialogLog().isEmpty());
        QTRY_COMPARE(fakes.calls(), QStringList("shutdown now"));
    }

    void camera_data()
    {
        QTest::addColumn<QString>("from");
        QTest::newRow("key b on the menu") << "menu";
        QTest::newRow("caption") << "caption";
        QTest::newRow("key b on a page") << "page";
    }

    void camera()
    {
        QFETCH(QString, from);
        Shell s;
        QVERIFY(s.start()); // BackupDate is empty: closing normally would ask
        if (from == "page") {
            s.key("4");
            QCOMPARE(s.page(), QString("swSellout"));
            // Away from the customer number field, which takes the letter.
            s.field("swSellout", "pushButtonDetail")->setFocus();
        }
        if (from == "caption")
            s.click("label_image");
        else
            s.key("b");
        QVERIFY(!s.window->isVisible());
        QVERIFY(dialogLog().isEmpty());
        QTRY_COMPARE(fakes.calls(), QStringList("camera"));
        // Once started, every later close goes through without a question.
        s.window->show();
        QVERIFY(s.window->close());
        QVERIFY(dialogLog().isEmpty());
    }

    void platformCommandsWithoutConfiguration()
    {
        TestWorkdir dir;
        const QByteArray camera = qgetenv("VELARIX_CAMERA_CMD");
        const QByteArray shutdown = qgetenv("VELARIX_SHUTDOWN_CMD");
        qunsetenv("VELARIX_CAMERA_CMD");
        qunsetenv("VELARIX_SHUTDOWN_CMD");
        // Under the test runner nothing real may start.
        QCOMPARE(Platform::cameraCommand(), QStringList());
        QCOMPARE(Platform::shutdownCommand(), QStringList());
        // A camera program in the working folder is the first choice.
        QFile local(dir.path("camera"));
        QVERIFY(local.open(QIODevice::WriteOnly));
        local.write("#!/bin/sh\n");
        local.close();
        local.setPermissions(local.permissions() | QFileDevice::ExeOwner);
        QCOMPARE(Platform::cameraCommand(), QStringList(local.fileName()));
        qputenv("VELARIX_CAMERA_CMD", camera);
        qputenv("VELARIX_SHUTDOWN_CMD", shutdown);
        QCOMPARE(Platform::cameraCommand().value(1), QString("camera"));
    }

    void uploadButton()
    {
        Shell s;
        QVERIFY(s.start());
        QStringList debugLines;
        {
            DebugLines debug;
            QTest::mouseClick(s.find("pushButtonUpload"), Qt::LeftButton);
            debugLines = debug.lines();
        }
        QCOMPARE(debugLines.size(), 2);
        QVERIFY2(QRegularExpression("^calc took: \\d+$").match(debugLines[0]).hasMatch(),
            qPrintable(debugLines[0]));
        QVERIFY2(QRegularExpression("^upload took: \\d+$").match(debugLines[1]).hasMatch(),
            qPrintable(debugLines[1]));
        // No password prompt; without master password and server the page says so.
        QCOMPARE(dialogLog(),
            QStringList("Critical|Fehler|Bitte erstellen sie ein MasterPasswort "
                        "und geben Sie den Server ein."));
        QCOMPARE(s.page(), QString("swMenu"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
