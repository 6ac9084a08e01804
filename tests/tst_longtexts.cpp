#include "app/textwidgets.h"
#include "support/intakedriver.h"
#include "support/pagehelpers.h"
#include "support/pictures.h"
#include "support/shopfixture.h"
#include "support/testsupport.h"
#include "support/windowdriver.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QScrollArea>
#include <QScrollBar>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolTip>
#include <QtTest>

#include <functional>

using namespace pages;

namespace {

// Texts from the data far longer than any page has room for, each with its end marked. In
// the markup run each begins with what Qt would read as rich text: a bold word and a picture.
const QString kMarkup = QStringLiteral("<b>Fett</b> <img src=\"logo.png\"> ");
QString longText(const QString &start)
{
    return start + QStringLiteral(" und noch etwas mehr").repeated(15) + QStringLiteral(" Ende");
}
struct Texts
{
    explicit Texts(const QString &lead = QString())
        : kunde(longText(lead + QStringLiteral("Müller-Lüdenscheidt")))
        , artikel(longText(lead + QStringLiteral("Tischlampe Messing mit Schirm")))
        , beschreibung(longText(lead + QStringLiteral("Schirm aus Seide")))
        , kategorie(longText(lead + QStringLiteral("Haushaltswaren")))
        , drucker(longText(lead + QStringLiteral("Buero_Laserdrucker")))
        , telefon(lead + QStringLiteral("0171 2956217 / 0561 526077"))
    { }
    QString kunde, artikel, beschreibung, kategorie, drucker;
    // Longer than the fields have room for, though not long: two numbers.
    QString telefon;
};
const QString kArtikel = Texts().artikel;
const QString kKategorie = Texts().kategorie;
// The shop's own header line, the same in every run.
const QString kTitel = longText(QStringLiteral("Second-Hand Kaufhaus"));

constexpr int kLongCategory = 13;
// The window's width on a screen 1280 pixels wide under a window manager, which takes some
// for the window's frame.
constexpr int kFramedWidth = 1240;

// The shop fixture with every customer, article, category, picture path and printer name
// made long, and contract 102 past its term so that the expired contracts list it.
void makeTextsLong(const TestWorkdir &dir, const ShopFixture &shop, const Texts &texts)
{
    QSqlQuery query;
    query.prepare("UPDATE Kunde SET Name = ?, Vorname = ?, Ort = ?, Strasse = ?, Telefon = ?");
    for (int i = 0; i < 4; ++i)
        query.addBindValue(texts.kunde);
    query.addBindValue(texts.telefon);
    QVERIFY(query.exec());

    const QString folder = QStringLiteral("Bilder von der Anlieferung am Montag").repeated(4);
    QVERIFY(QDir(dir.path()).mkpath(folder));
    const QString picture = writePicture(dir, folder + "/lampe.png", Qt::darkGreen);
    QVERIFY(!picture.isEmpty());
    query.prepare(
        "UPDATE Artikel SET Bezeichnung = ?, Beschreibung = ?, Images = ?, Kategorie = ?");
    query.addBindValue(texts.artikel);
    query.addBindValue(texts.beschreibung);
    query.addBindValue(picture);
    query.addBindValue(kLongCategory);
    QVERIFY(query.exec());

    QFile categories(dir.path("kategorien.txt"));
    QVERIFY(categories.open(QIODevice::Append));
    categories.write(texts.kategorie.toLatin1() + ";" + QByteArray::number(kLongCategory) + "\r\n");
    categories.close();

    TestWorkdir::setSetting("Vertragsdrucker", texts.drucker);
    query.prepare("UPDATE Vertrag SET DateTime = ? WHERE ID = ?");
    query.addBindValue(shop.stamp(200, QTime(10, 0)));
    query.addBindValue(ShopFixture::vertragLaufend);
    QVERIFY(query.exec());
}

// The tool tip that Qt shows for the widget at that point, as the user sees it: Qt shows a
// tool tip that might be rich text as rich text. Its text, and whether any of it is bold or a
// picture; an empty text when no tool tip shows.
struct SeenTip
{
    QString text;
    bool formatted = false;
};
SeenTip toolTipAt(QWidget *widget, const QPoint &pos)
{
    // Qt hides a tool tip only after a while: the last one goes first, or it would answer
    // for a widget without one.
    const auto shownTip = [] {
        QString text;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String("qtooltip_label") && w->isVisible()) {
                text = static_cast<QLabel *>(w)->text();
                w->hide();
            }
        }
        return text;
    };
    shownTip();
    QHelpEvent event(QEvent::ToolTip, pos, widget->mapToGlobal(pos));
    QCoreApplication::sendEvent(widget, &event);
    const QString tip = shownTip();
    if (!Qt::mightBeRichText(tip))
        return { tip, false };
    QTextDocument document;
    document.setHtml(tip);
    SeenTip seen { document.toPlainText(), false };
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            seen.formatted
                = seen.formatted || format.isImageFormat() || format.fontWeight() > QFont::Normal;
        }
    }
    return seen;
}
SeenTip toolTipOf(QWidget *widget)
{
    return toolTipAt(widget, widget->rect().center());
}

// The tool tip shows the whole text as it is; an ordinary text is its own tool tip.
void checkToolTip(const SeenTip &seen, const QString &text, const QString &tip)
{
    QCOMPARE(seen.text, text);
    QVERIFY(!seen.formatted);
    if (!Qt::mightBeRichText(text))
        QCOMPARE(tip, text);
}

// The visible widgets of the page that reach past the right edge of what the window shows of
// it. What a table or list holds scrolls inside it and is left out.
QStringList pastTheRightEdge(QWidget &page, const QScrollArea &area)
{
    QStringList out;
    const int right = area.viewport()->width();
    for (QWidget *w : page.findChildren<QWidget *>()) {
        bool inside = false;
        for (QWidget *p = w->parentWidget(); p != &page; p = p->parentWidget())
            inside = inside || qobject_cast<QAbstractScrollArea *>(p);
        if (inside || !w->isVisible())
            continue;
        const QRect r(w->mapTo(area.viewport(), QPoint()), w->size());
        if (r.left() < 0 || r.right() >= right)
            out << QStringLiteral("%1 at %2..%3").arg(w->objectName()).arg(r.left()).arg(r.right());
    }
    return out;
}

// Whether the field shows its whole text: the text's width against the room inside its frame.
bool showsWhole(const QLineEdit *field)
{
    QStyleOptionFrame option;
    option.initFrom(field);
    option.rect = field->rect();
    option.lineWidth
        = field->hasFrame() ? field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
    const QRect contents
        = field->style()->subElementRect(QStyle::SE_LineEditContents, &option, field);
    const QMargins margins = field->textMargins();
    // QLineEdit keeps two pixels free on either side of its text.
    const int room = contents.width() - margins.left() - margins.right() - 2 * 2;
    return QFontMetrics(field->font()).horizontalAdvance(field->text()) <= room;
}

using TextOf = std::function<QString(const Texts &)>;

// A list that shows a name in one of its columns, and that name.
struct NameColumn
{
    const char *table;
    int column;
    TextOf name;
};

// However long the names, the list shows its other columns whole and in sight, without
// scrolling sideways; the name column takes the room left and cuts the name, whole in the
// cell's tool tip.
// Other columns that cut their long texts so (a telephone column) are named in alsoCut.
void checkNameColumn(
    QTableWidget *table, int nameColumn, const QString &name, const QList<int> &alsoCut = {})
{
    QCOMPARE(table->horizontalScrollBar()->maximum(), 0);
    const int right = table->viewport()->width();
    const QAbstractItemView *view = table; // where the contents' width is public
    for (int c = 0; c < table->columnCount(); ++c) {
        const QString heading = table->horizontalHeaderItem(c)->text();
        const int left = table->columnViewportPosition(c);
        QVERIFY2(left >= 0 && left + table->columnWidth(c) <= right, qPrintable(heading));
        if (c != nameColumn && !alsoCut.contains(c))
            QVERIFY2(table->columnWidth(c) >= view->sizeHintForColumn(c), qPrintable(heading));
    }
    QTableWidgetItem *cell = nullptr;
    for (int row = 0; row < table->rowCount() && !cell; ++row) {
        QTableWidgetItem *item = table->item(row, nameColumn);
        if (item && item->text() == name)
            cell = item;
    }
    QVERIFY(cell);
    QVERIFY(table->columnWidth(nameColumn) < table->fontMetrics().horizontalAdvance(name));
    table->scrollToItem(cell);
    checkToolTip(
        toolTipAt(table->viewport(), table->visualItemRect(cell).center()), name, cell->toolTip());
}

struct PageCase
{
    const char *name;
    Qt::Key key;
    bool gated;
    // What the staff do there to bring the texts up.
    std::function<void(WindowDriver &, QWidget &, const Texts &)> show;
    // Widgets that must stay in sight, besides the caption back to the menu.
    QStringList inSight;
    // Widgets whose tool tip holds a whole text, and that text.
    QList<QPair<const char *, TextOf>> toolTips;
    QList<NameColumn> nameColumns = {};
    // Category boxes that show every sample category whole and cut the long one.
    QStringList wholeEntries = {};
};

// The entries of a combo box that it cuts when it shows them, in the room of its field.
QStringList cutEntries(const QComboBox *box)
{
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.frame = box->hasFrame();
    option.editable = box->isEditable();
    const QRect field = box->style()->subControlRect(
        QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box);
    QStringList cut;
    for (int i = 0; i < box->count(); ++i) {
        // The style draws the text one pixel in from either side of the field.
        if (box->fontMetrics().horizontalAdvance(box->itemText(i)) > field.width() - 2)
            cut << box->itemText(i);
    }
    return cut;
}

QString artikelOf(const Texts &t)
{
    return t.artikel;
}
QString kundeOf(const Texts &t)
{
    return t.kunde;
}
QString telefonOf(const Texts &t)
{
    return t.telefon;
}
// The customer's name, telephone, address and street, as the intake and payout pages show
// them.
const QList<QPair<const char *, TextOf>> kCustomerTips
    = { { "lineEditNA", kundeOf }, { "lineEditVNA", kundeOf }, { "lineEditTEL", telefonOf },
          { "lineEditORT", kundeOf }, { "lineEditSTR", kundeOf } };

void selectArticle(QWidget &page, const char *vertrag, const char *artikel, int contract, int nr)
{
    type(spin(page, vertrag), QString::number(contract));
    type(spin(page, artikel), QString::number(nr));
}

const QList<PageCase> &pageCases()
{
    static const QList<PageCase> cases = {
        { "swSell", Qt::Key_3, false,
            [](WindowDriver &, QWidget &page, const Texts &) {
                selectArticle(page, "spinBoxVertrag", "spinBoxArtikel", ShopFixture::vertragLaufend,
                    ShopFixture::lampe.nr);
            },
            { "pushButton", "pushButtonLoeschen", "labelImage", "pushButtonImageDialog" },
            { { "labelBezeichnung", artikelOf } }, { { "tableWidgetVerkauf", 3, artikelOf } } },
        { "swAustragen", Qt::Key_A, false,
            [](WindowDriver &, QWidget &page, const Texts &) {
                selectArticle(page, "spinBoxVertrag", "spinBoxArtikel", ShopFixture::vertragBeendet,
                    ShopFixture::wollschal.nr);
            },
            { "pushButton", "pushButtonLoeschen", "labelImage", "pushButtonImageDialog" },
            { { "labelBezeichnung", artikelOf } }, { { "tableWidgetVerkauf", 3, artikelOf } } },
        { "swService", Qt::Key_2, false,
            [](WindowDriver &, QWidget &page, const Texts &) {
                selectArticle(page, "spinBox_vertr", "spinBox_art", ShopFixture::vertragLaufend,
                    ShopFixture::lampe.nr);
            },
            { "pushButtonKategorie", "pushButtonBeschreibung", "pushButtonImageDialog",
                "pushButtonDelete" },
            { { "lineEdit_kunde",
                  [](const Texts &t) {
                      return t.kunde + QStringLiteral(", ") + t.kunde + " (1)";
                  } },
                { "lineEdit_bz", artikelOf },
                { "comboBoxKategorie",
                    [](const Texts &t) {
                        return t.kategorie + QStringLiteral(" (") + QString::number(kLongCategory)
                            + ")";
                    } } },
            {}, { "comboBoxKategorie" } },
        { "swArrive", Qt::Key_1, false,
            [](WindowDriver &, QWidget &page, const Texts &t) {
                type(edit(page, "lineEditSearch"), QStringLiteral("Lüdenscheidt"));
                auto *customers = list(page, "listWidget");
                QCOMPARE(customers->count(), 2);
                QTest::mouseClick(customers->viewport(), Qt::LeftButton, {},
                    customers->visualItemRect(customers->item(0)).center());
                QCOMPARE(edit(page, "lineEditNA")->text(), t.kunde);
            },
            { "pushButtonVertrAbsch", "pushButtonNeuArt", "comboBoxKategorie" }, kCustomerTips, {},
            { "comboBoxKategorie" } },
        { "swSellout", Qt::Key_4, false,
            [](WindowDriver &, QWidget &page, const Texts &) {
                QTest::keyClicks(edit(page, "lineEditKNR"), "1");
                QVERIFY(table(page, "tableWidget")->rowCount() > 0);
            },
            { "pushButtonDetail" }, kCustomerTips },
        { "swAbgelaufene", Qt::Key_8, true,
            [](WindowDriver &, QWidget &page, const Texts &) {
                QVERIFY(table(page, "tableWidget")->rowCount() > 0);
            },
            { "pushButtonPrint", "pushButton_beenden" }, {},
            { { "tableWidget", 1,
                  [](const Texts &t) { return t.kunde + QStringLiteral(", ") + t.kunde; } },
                // A telephone number longer than twenty characters is cut too.
                { "tableWidget", 3, telefonOf } } },
        { "swAnkauf", Qt::Key_7, true,
            [](WindowDriver &, QWidget &page, const Texts &) {
                QVERIFY(table(page, "tableWidget")->rowCount() > 0);
            },
            {}, {}, { { "tableWidget", 3, artikelOf } } },
        { "swInventur", Qt::Key_9, true,
            [](WindowDriver &, QWidget &page, const Texts &) {
                QVERIFY(table(page, "tableWidget_2")->rowCount() > 0);
            },
            { "pushButtonCalculate", "pushButtonExport" }, {},
            { { "tableWidget_2", 2, artikelOf } } },
        { "swKunden", Qt::Key_5, false,
            [](WindowDriver &, QWidget &page, const Texts &t) {
                QCOMPARE(edit(page, "lineEdit_Name")->text(), t.kunde);
            },
            { "pushButton", "pushButton_remove" }, {} },
        { "swBackup", Qt::Key_6, false, [](WindowDriver &, QWidget &, const Texts &) {}, {}, {} },
        { "swSettings", Qt::Key_0, true, [](WindowDriver &, QWidget &, const Texts &) {},
            { "pushButton_save", "toolButton" },
            { { "label_Beschreibung", [](const Texts &) { return kTitel + QLatin1Char(' '); } },
                { "comboBoxVertrag",
                    [](const Texts &t) {
                        return t.drucker + QStringLiteral(" (nicht installiert)");
                    } } } },
    };
    return cases;
}

// A field that shows the start of its long text: the cursor there, the whole text kept and in
// its tool tip.
void checkShowsStart(QLineEdit *field, const QString &text)
{
    QCOMPARE(field->text(), text);
    QCOMPARE(field->cursorPosition(), 0);
    const QString shown = shownText(field);
    QVERIFY2(!shown.isEmpty() && shown.size() < text.size() && text.startsWith(shown),
        qPrintable(shown));
    checkToolTip(toolTipOf(field), text, field->toolTip());
}

// Fields that the page fills with a long text from the data, and what it does to bring it up.
struct FieldCase
{
    const char *name;
    Qt::Key key;
    const char *page;
    std::function<void(QWidget &, const Texts &)> show;
    QStringList fields;
    TextOf text;
    bool markup = true; // whether the text can hold markup
};

const QList<FieldCase> &fieldCases()
{
    static const QList<FieldCase> cases = {
        { "customer page", Qt::Key_5, "swKunden", [](QWidget &, const Texts &) {},
            { "lineEdit_Name", "lineEdit_Vorname", "lineEdit_Ort", "lineEdit_Str" }, kundeOf },
        { "customer page phone", Qt::Key_5, "swKunden",
            [](QWidget &page, const Texts &t) {
                QSqlQuery query;
                query.prepare("UPDATE Kunde SET Telefon = ? WHERE ID = ?");
                query.addBindValue(t.telefon);
                query.addBindValue(ShopFixture::kundeBeispiel);
                QVERIFY(query.exec());
                type(spin(page, "spinBox_KundeNr"), QString::number(ShopFixture::kundeBeispiel));
            },
            { "lineEdit_Telefon" }, telefonOf },
        { "intake article taken back", Qt::Key_1, "swArrive",
            [](QWidget &page, const Texts &t) {
                intake::addArticle(static_cast<Anlieferung &>(page), t.artikel, 1, "5");
                click(button(page, "pushButtonDelLast"));
            },
            { "lineEditBZ" }, artikelOf },
        { "services pictures", Qt::Key_2, "swService",
            [](QWidget &page, const Texts &) {
                selectArticle(page, "spinBox_vertr", "spinBox_art", ShopFixture::vertragLaufend,
                    ShopFixture::lampe.nr);
            },
            { "lineEditImages" },
            [](const Texts &) {
                return TestWorkdir::scalar(
                    QStringLiteral("SELECT Images FROM Artikel WHERE ID = %1")
                        .arg(ShopFixture::lampe.id))
                    .toString();
            },
            false },
    };
    return cases;
}

// ---- long lists: the figures of a ten-year shop in rows that Qt does not measure ----------

// More than a thousand contracts of four digits with a few euros each, listed before the
// longest figures of a ten-year shop: Qt sizes a column from about its first thousand rows.
// Customer 1 has the short commission contracts, expired, and a long running one with an
// open amount of six digits; customer 20000 a long expired one with the amount such a
// contract may still have open; customer 2 the cash purchases.
constexpr int kShortRows = 1100;
constexpr int kLongExpired = 99999;
constexpr int kLongContract = 100000;
constexpr int kLongCashPurchase = 100001;
constexpr int kLongCustomer = 20000;
const QString kLongPhone = QStringLiteral("0171 29562170");

// Figures whose digits kern, in a font that kerns its digits in pairs: each is the widest
// of its column, or the first of its shape, and so the one a list measures, and narrower than
// the plainer figures of its shape further down ("111111" against "100000"). Contract 111111,
// expired, of customer 21111: a sale of 111 pieces today at 11:11:11 and one of its open
// share of 2111.11 € at 3111.11 €. The first short contract and the first cash purchase are
// made at 11:11:11, and the cash purchase has an article of 1111 pieces at 2111.11 € and
// 3111.11 €.
constexpr int kKerningContract = 111111;
constexpr int kKerningCustomer = 21111;
const QTime kKerningTime(11, 11, 11, 111);

// One row written with its values bound; the new row's id. A failed write fails the test.
QVariant run(const char *statement, const QVariantList &values)
{
    QSqlQuery query;
    query.prepare(QLatin1String(statement));
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec())
        QTest::qFail(qPrintable(query.lastError().text()), __FILE__, __LINE__);
    return query.lastInsertId();
}

void writeLongLists(const ShopFixture &shop)
{
    QSqlDatabase db = QSqlDatabase::database();
    QVERIFY(db.transaction());
    const char *contract = "INSERT INTO Vertrag (ID, Kunde, DateTime, Standgebuehr, Laufzeit) "
                           "VALUES (?, ?, ?, ?, ?)";
    const char *article = "INSERT INTO Artikel (Vertrag, Bezeichnung, EinkaufsPreis, "
                          "VerkaufsPreis, EinkaufsMenge) VALUES (?, ?, ?, ?, ?)";
    const char *sale = "INSERT INTO Verkauf (DateTime, EinkaufsPreis, VerkaufsPreis, "
                       "VerkaufsMenge, Artikel) VALUES (?, ?, ?, ?, ?)";
    const QString expired = shop.stamp(200, QTime(10, 0));
    const QString kerningExpired = shop.stamp(200, kKerningTime);
    for (int i = 0; i < kShortRows; ++i) {
        // One piece sold yesterday and not paid out.
        run(contract,
            { 1001 + i, ShopFixture::kundeMuster, i == 0 ? kerningExpired : expired, 5.0, 60 });
        const QVariant id = run(article, { 1001 + i, "Buch", 1.0, 2.0, 2 });
        run(sale, { shop.stamp(1, QTime(8, 0).addSecs(i)), 0.5, 2.0, 1, id });
    }
    for (int c = 0; c < kShortRows / 100; ++c) {
        run(contract,
            { 2101 + c, ShopFixture::kundeBeispiel, c == 0 ? kerningExpired : expired, -100.0,
                -1 });
        for (int i = 0; i < 100; ++i)
            run(article, { 2101 + c, "Buch", 1.0, 2.0, 1 });
    }
    run(article, { 2101, "Kommode", 2111.11, 3111.11, 1111 });
    run("INSERT INTO Kunde (ID, Name, Vorname, Telefon) VALUES (?, ?, ?, ?)",
        { kLongCustomer, "Schneider", "Anna", kLongPhone });
    run(contract, { kLongExpired, kLongCustomer, expired, 5.0, 60 });
    QVariant id = run(article, { kLongExpired, "Kommode", 1234.5, 2469.0, 2 });
    run(sale, { shop.stamp(4, QTime(9, 0)), 1234.5, 2469.0, 1, id });
    run(contract,
        { kLongContract, ShopFixture::kundeMuster, shop.stamp(10, QTime(9, 0)), 5.0, 60 });
    id = run(article, { kLongContract, "Kommode", 1234.5, 2469.0, 1000 });
    run(sale, { shop.stamp(3, QTime(9, 0)), 1234.5, 2469.0, 100, id });
    run(contract, { kLongCashPurchase, ShopFixture::kundeBeispiel, expired, -123450.0, -1 });
    run(article, { kLongCashPurchase, "Kommode", 1234.5, 2469.0, 1000 });
    run("INSERT INTO Kunde (ID, Name, Vorname) VALUES (?, ?, ?)",
        { kKerningCustomer, "Schulze", "Hans" });
    run(contract, { kKerningContract, kKerningCustomer, expired, 5.0, 60 });
    id = run(article, { kKerningContract, "Kommode", 2111.11, 3111.11, 1000 });
    run(sale, { shop.stamp(0, kKerningTime), 0.0, 3111.11, 111, id });
    run(sale, { shop.stamp(2, QTime(9, 0)), 2111.11, 3111.11, 1, id });
    QVERIFY(db.commit());
}

// Every value outside the name column shows whole in every row; in sight, every column is
// in view without scrolling sideways.
void checkFiguresWhole(QTableWidget *table, int nameColumn, const QString &longValue, bool inSight)
{
    QVERIFY2(table->rowCount() > 1000, qPrintable(QString::number(table->rowCount())));
    QVERIFY(!table->findItems(longValue, Qt::MatchExactly).isEmpty());
    if (inSight)
        QCOMPARE(table->horizontalScrollBar()->maximum(), 0);
    const QAbstractItemView *view = table;
    const int grid = table->showGrid() ? 1 : 0;
    for (int c = 0; c < table->columnCount(); ++c) {
        const int right = table->columnViewportPosition(c) + table->columnWidth(c);
        QVERIFY2(!inSight || right <= table->viewport()->width(), qPrintable(QString::number(c)));
        if (c == nameColumn)
            continue;
        for (int row = 0; row < table->rowCount(); ++row) {
            const int needed = view->sizeHintForIndex(table->model()->index(row, c)).width() + grid;
            if (needed > table->columnWidth(c)) {
                const QTableWidgetItem *item = table->item(row, c);
                QFAIL(qPrintable(QStringLiteral("column %1, row %2: \"%3\" needs %4 pixels, has %5")
                                     .arg(c)
                                     .arg(row)
                                     .arg(item ? item->text() : QString())
                                     .arg(needed)
                                     .arg(table->columnWidth(c))));
            }
        }
    }
}

// A list of the program, and how the staff bring it up: its page, its key, and what they do
// there; the list is handed to the check while it is shown.
struct ListCase
{
    const char *name;
    const char *page;
    Qt::Key key;
    bool gated;
    const char *table;
    int nameColumn; // -1: none
    QString longValue; // a value of the list's last rows
    bool inSight = true;
    std::function<void(QWidget &, const std::function<void(QTableWidget *)> &)> open = {};
};

void showCustomer(QWidget &page)
{
    QTest::keyClicks(edit(page, "lineEditKNR"), QString::number(ShopFixture::kundeMuster));
}

const QList<ListCase> &listCases()
{
    static const QList<ListCase> cases = {
        { "recent sales", "swSell", Qt::Key_3, false, "tableWidgetVerkauf", 3, "100000" },
        { "write-off", "swAustragen", Qt::Key_A, false, "tableWidgetVerkauf", 3, "100000" },
        { "cash purchases", "swAnkauf", Qt::Key_7, true, "tableWidget", 3, "100001" },
        { "expired contracts", "swAbgelaufene", Qt::Key_8, true, "tableWidget", 1, kLongPhone },
        { "stock", "swInventur", Qt::Key_9, true, "tableWidget_2", 2, "100001" },
        // The columns share the page's width; a total of six digits scrolls.
        { "payout contracts", "swSellout", Qt::Key_4, false, "tableWidget", -1, "100000", false,
            [](QWidget &page, const std::function<void(QTableWidget *)> &check) {
                showCustomer(page);
                check(table(page, "tableWidget"));
            } },
        { "payout details", "swSellout", Qt::Key_4, false, "tableWidget", 2, "100000", true,
            [](QWidget &page, const std::function<void(QTableWidget *)> &check) {
                showCustomer(page);
                int shown = 0;
                Dialogs::setExecHook([&](QDialog &dialog) {
                    dialog.show();
                    ++shown;
                    check(table(dialog, "tableWidget"));
                    return int(QDialog::Accepted);
                });
                click(button(page, "pushButtonDetail"));
                Dialogs::setExecHook({});
                QCOMPARE(shown, 1);
            } },
    };
    return cases;
}

// The statistics of a ten-year shop: today's figures as on a busy day, the month's and the
// ten years' as large as such a shop's. Customers from 1001 on bring a contract each; the
// sums come from a few sales, returns and cash purchases of many pieces.
void writeShopFigures(const ShopFixture &shop)
{
    QSqlDatabase db = QSqlDatabase::database();
    QVERIFY(db.transaction());
    struct Period
    {
        int daysAgo, customers, pieces, sold, returned;
        double fee, purchasePrice, sellingPrice, paidOut, cashPurchase;
    };
    // Today, the rest of the month, and nine years back, long paid out.
    const Period periods[] = { { 0, 49, 1034, 2635, 584, 4.2, 6.15, 13.09, 10770.0, 353.0 },
        { 10, 887, 16223, 16369, 3389, 4.2, 6.53, 14.66, 84359.5, 13633.5 },
        { 9 * 365, 999, 99999, 9999999, 99999, 4.2, 6.5, 14.5, 999999.0, 99999.0 } };
    const QString paidLongAgo = shop.stamp(9 * 365 - 1, QTime(9, 0));
    int customer = 1000;
    for (const Period &p : periods) {
        const QString stamp = shop.stamp(p.daysAgo, QTime(0, 30));
        int first = 0;
        for (int i = 0; i < p.customers; ++i) {
            ++customer;
            run("INSERT INTO Kunde (ID, Name, Vorname) VALUES (?, 'Muster', 'Max')", { customer });
            const QVariant id = run("INSERT INTO Vertrag (Kunde, DateTime, Standgebuehr, Laufzeit) "
                                    "VALUES (?, ?, ?, 90)",
                { customer, stamp, p.fee });
            first = i == 0 ? id.toInt() : first;
        }
        const char *article = "INSERT INTO Artikel (Vertrag, Bezeichnung, EinkaufsPreis, "
                              "VerkaufsPreis, EinkaufsMenge) VALUES (?, 'Buch', ?, ?, ?)";
        const QVariant id = run(article, { first, p.purchasePrice, p.sellingPrice, p.pieces });
        const char *sale = "INSERT INTO Verkauf (DateTime, EinkaufsPreis, VerkaufsPreis, "
                           "VerkaufsMenge, Artikel, Auszahldatum) VALUES (?, ?, ?, ?, ?, ?)";
        run(sale,
            { stamp, p.purchasePrice, p.sellingPrice, p.sold, id,
                p.daysAgo > 365 ? QVariant(paidLongAgo) : QVariant() });
        run(sale, { shop.stamp(p.daysAgo + 30, QTime(9, 0)), p.paidOut, 1.0, 1, id, stamp });
        run("INSERT INTO Zurueckgegeben (DateTime, Anzahl, Artikel) VALUES (?, ?, ?)",
            { stamp, p.returned, id });
        const QVariant ankauf = run("INSERT INTO Vertrag (Kunde, DateTime, Standgebuehr, Laufzeit) "
                                    "VALUES (2, ?, ?, -1)",
            { stamp, -p.cashPurchase });
        run(article, { ankauf, 1234.5, 2469.0, 450 });
    }
    QVERIFY(db.commit());
}

// Whether the caption shows whole in its section, on at most two lines.
bool captionShowsWhole(const QHeaderView *header, int column)
{
    const QString caption = header->model()->headerData(column, Qt::Horizontal).toString();
    const QFontMetrics metrics(header->font());
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const int room = header->sectionSize(column) - 2 * margin;
    const QRect needed = metrics.boundingRect(QRect(0, 0, room, 1000), Qt::TextWordWrap, caption);
    return needed.width() <= room && needed.height() <= 2 * metrics.lineSpacing()
        && needed.height() <= header->height();
}

// The fonts the lists must fit in: DejaVu Sans, and Liberation Sans, whose digits are of one
// width but kern in pairs ("11" is narrower than "10").
const char *const kFonts[] = { "DejaVu Sans", "Liberation Sans" };

// The application's font, of the family given, while it lives; the font before afterwards.
class AppFont
{
public:
    explicit AppFont(const QString &family)
        : m_before(QApplication::font())
    {
        QFont font = m_before;
        font.setFamily(family);
        QApplication::setFont(font);
    }
    ~AppFont() { QApplication::setFont(m_before); }
    // Whether the family is installed, not stood in for by another.
    bool installed() const
    {
        return QFontInfo(QApplication::font()).family() == QApplication::font().family();
    }

private:
    const QFont m_before;
};
} // namespace

class LongTexts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        // The shop's header line is read once, at the first use.
        qputenv("VELARIX_TITLE_PREFIX", kTitel.toUtf8());
    }

    // However long a text from the data, the widgets ask for no more room than a usual text
    // needs, and show its start cut with "…" as plain text on one line; a usual text they
    // show whole, in the room a plain label or combo box would take.
    void widgetsAskForAUsualWidth()
    {
        const QString usual = QStringLiteral("Tischlampe Messing");
        QWidget window;
        QLabel plainLabel(usual, &window);
        ElidedLabel label(&window);
        label.setText(usual);
        QCOMPARE(label.sizeHint(), plainLabel.sizeHint());
        QCOMPARE(label.minimumSizeHint().height(), plainLabel.minimumSizeHint().height());
        label.resize(label.sizeHint());
        QCOMPARE(label.shownText(), usual);
        QCOMPARE(label.toolTip(), usual);

        label.setText(kArtikel);
        const QSize hint = label.sizeHint();
        QVERIFY(hint.width() > plainLabel.sizeHint().width());
        label.setText(kArtikel + kArtikel);
        QCOMPARE(label.sizeHint(), hint);
        QVERIFY(label.minimumSizeHint().width() < plainLabel.sizeHint().width());
        QCOMPARE(label.text(), kArtikel + kArtikel);
        QCOMPARE(label.toolTip(), kArtikel + kArtikel);
        label.resize(hint);
        QVERIFY(label.shownText().endsWith(QChar(0x2026)));
        label.clear();
        QCOMPARE(label.text(), QString());
        QCOMPARE(label.toolTip(), QString());

        // A stored "<b>" is no markup, and a stored line break no second line.
        label.setText(QStringLiteral("<b>Lampe</b>\nMessing"));
        label.resize(label.sizeHint());
        QCOMPARE(label.shownText(), QStringLiteral("<b>Lampe</b> Messing"));
        QCOMPARE(label.sizeHint().height(), plainLabel.sizeHint().height());

        // A combo box measures its entries once, when it is first asked.
        const auto hints = [&window](QComboBox &&box, const QStringList &entries) {
            box.setParent(&window);
            box.addItems(entries);
            return qMakePair(box.sizeHint(), box.minimumSizeHint());
        };
        const QStringList usualEntries = { QStringLiteral("keine Angabe (0)"), usual };
        const auto usualHints = hints(ElidedComboBox(), usualEntries);
        QCOMPARE(usualHints, hints(QComboBox(), usualEntries));
        const auto longHints = hints(ElidedComboBox(), usualEntries + QStringList { kKategorie });
        QVERIFY(longHints.first.width() > usualHints.first.width());
        QCOMPARE(longHints.second, longHints.first);
        QCOMPARE(hints(ElidedComboBox(), usualEntries + QStringList { kKategorie + kKategorie }),
            longHints);
        ElidedComboBox box(&window);
        box.addItems(usualEntries + QStringList { kKategorie });
        box.setCurrentIndex(2);
        QCOMPARE(box.toolTip(), kKategorie);
    }

    // On a 1280 x 1024 screen no page is widened by a long text from the data: none scrolls
    // sideways, every control stays in sight, and the shortened text is whole in its tool tip,
    // as it is stored: markup in it shows as typed.
    void pagesKeepTheirWidth_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("lead");
        for (int i = 0; i < pageCases().size(); ++i) {
            const char *name = pageCases().at(i).name;
            QTest::newRow(name) << i << QString();
            QTest::addRow("%s markup", name) << i << kMarkup;
        }
    }
    void pagesKeepTheirWidth()
    {
        QFETCH(int, index);
        QFETCH(QString, lead);
        const PageCase &c = pageCases().at(index);
        const Texts texts(lead);
        Shell s;
        ShopFixture shop;
        makeTextsLong(s.dir, shop, texts);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(startOnScreen(s));
        QVERIFY(enter(s, c.key, c.name, c.gated));
        QWidget &page = *s.page(c.name);
        c.show(s, page, texts);
        if (QTest::currentTestFailed())
            return;
        settle();

        const auto *area = s.find<QScrollArea>("scrollArea");
        QVERIFY(area);
        QCOMPARE(area->horizontalScrollBar()->maximum(), 0);
        QCOMPARE(pastTheRightEdge(page, *area), QStringList());
        for (const QString &name : c.inSight + QStringList { "label_16" }) {
            auto *w = page.findChild<QWidget *>(name);
            QVERIFY2(w && w->isVisible(), qPrintable(name));
            const QRect r(w->mapTo(s.window.get(), QPoint()), w->size());
            QVERIFY2(s.window->rect().contains(r), qPrintable(name));
        }
        for (const auto &[name, textOf] : c.toolTips) {
            auto *w = page.findChild<QWidget *>(name);
            const QString text = textOf(texts);
            checkToolTip(toolTipOf(w), text, w->toolTip());
            if (QTest::currentTestFailed())
                return;
            // A field shows the start of its text, with the cursor there.
            if (auto *field = qobject_cast<QLineEdit *>(w)) {
                QCOMPARE(field->text(), text);
                QCOMPARE(field->cursorPosition(), 0);
                const QPoint start(field->contentsRect().left() + 1, field->height() / 2);
                QCOMPARE(field->cursorPositionAt(start), 0);
            }
            // A label keeps the whole text for whoever reads it, and shows its start.
            if (auto *l = qobject_cast<ElidedLabel *>(w)) {
                QCOMPARE(l->text(), text);
                const QString shown = l->shownText();
                QVERIFY2(shown.endsWith(QChar(0x2026)), qPrintable(shown));
                QVERIFY(text.startsWith(shown.chopped(1)));
            }
        }
        // The sample categories show whole beside a long one, which alone is cut; also in the
        // room a window manager leaves of the screen's width, with the window's frame.
        for (const QString &name : c.wholeEntries) {
            const QString entry
                = texts.kategorie + QStringLiteral(" (") + QString::number(kLongCategory) + ")";
            for (const int width : { 1280, kFramedWidth }) {
                s.window->resize(width, 1000);
                settle();
                QVERIFY2(page.width() <= width, qPrintable(QString::number(page.width())));
                QCOMPARE(
                    cutEntries(combo(page, qPrintable(name))).join(QLatin1String(" | ")), entry);
            }
            s.window->resize(1280, 1000);
            settle();
        }
        for (const NameColumn &n : c.nameColumns) {
            QList<int> alsoCut;
            for (const NameColumn &other : c.nameColumns) {
                if (qstrcmp(other.table, n.table) == 0 && other.column != n.column)
                    alsoCut << other.column;
            }
            checkNameColumn(table(page, n.table), n.column, n.name(texts), alsoCut);
            if (QTest::currentTestFailed())
                return;
        }
    }

    // The payout's detail dialog fits the screen, whatever the customer's and the articles'
    // names.
    void detailDialogKeepsItsWidth_data()
    {
        QTest::addColumn<QString>("lead");
        QTest::newRow("long") << QString();
        QTest::newRow("markup") << kMarkup;
    }
    void detailDialogKeepsItsWidth()
    {
        QFETCH(QString, lead);
        const Texts texts(lead);
        Shell s;
        ShopFixture shop;
        makeTextsLong(s.dir, shop, texts);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(startOnScreen(s));
        QVERIFY(enter(s, Qt::Key_4, "swSellout", false));
        QWidget &page = *s.page("swSellout");
        QTest::keyClicks(edit(page, "lineEditKNR"), "1");
        int shown = 0;
        QSize least;
        QString tip;
        SeenTip seen;
        Dialogs::setExecHook([&](QDialog &dialog) {
            dialog.show();
            settle();
            ++shown;
            least = dialog.minimumSizeHint();
            auto *name = dialog.findChild<QWidget *>("label_name");
            tip = name->toolTip();
            seen = toolTipOf(name);
            checkNameColumn(table(dialog, "tableWidget"), 2, texts.artikel);
            return int(QDialog::Accepted);
        });
        click(button(page, "pushButtonDetail"));
        Dialogs::setExecHook({});
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(shown, 1);
        QVERIFY2(least.width() <= 1280, qPrintable(QString::number(least.width())));
        checkToolTip(seen,
            QStringLiteral("Kunde: ") + texts.kunde + QStringLiteral(", ") + texts.kunde, tip);
    }

    // A field that shows the start of a text still lets the user type where the cursor is:
    // at the end after End, at the start after Home.
    void typingKeepsTheCursor_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("before");
        QTest::newRow("article name") << int(Qt::Key_2) << "swService"
                                      << "lineEdit_bz" << kArtikel;
        QTest::newRow("new customer") << int(Qt::Key_1) << "swArrive"
                                      << "lineEditNA" << QString();
    }
    void typingKeepsTheCursor()
    {
        QFETCH(int, key);
        QFETCH(QString, page);
        QFETCH(QString, field);
        QFETCH(QString, before);
        Shell s;
        ShopFixture shop;
        makeTextsLong(s.dir, shop, Texts());
        if (QTest::currentTestFailed())
            return;
        QVERIFY(startOnScreen(s));
        QVERIFY(enter(s, Qt::Key(key), qPrintable(page), false));
        QWidget &shown = *s.page(qPrintable(page));
        if (page == QLatin1String("swService"))
            selectArticle(shown, "spinBox_vertr", "spinBox_art", ShopFixture::vertragLaufend,
                ShopFixture::lampe.nr);
        QLineEdit *f = edit(shown, qPrintable(field));
        QCOMPARE(f->text(), before);

        QTest::mouseClick(f, Qt::LeftButton);
        QVERIFY(f->hasFocus());
        QTest::keyClick(f, Qt::Key_End);
        QTest::keyClicks(f, "Neu");
        QCOMPARE(f->text(), before + "Neu");
        QCOMPARE(f->cursorPosition(), f->text().size());
        QTest::keyClick(f, Qt::Key_Home);
        QTest::keyClicks(f, "Alt");
        QCOMPARE(f->text(), "Alt" + before + "Neu");
        QCOMPARE(f->cursorPosition(), 3);
        QCOMPARE(f->toolTip(), f->text());
    }

    // The fields that the program fills with a text of its own show it whole at 1280 x 1024:
    // the default opening hours and the notice of a missing customer.
    void fieldsShowTheirUsualText_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        const QString twoShifts = QStringLiteral("09 - 13 u. 14 - 17 Uhr");
        for (const char *day : { "Mo", "Di", "Do", "Fr" })
            QTest::newRow(day) << "swSettings" << QStringLiteral("lineEdit_") + day << twoShifts;
        QTest::newRow("Mi") << "swSettings"
                            << "lineEdit_Mi"
                            << "09 - 13 Uhr";
        QTest::newRow("Sa") << "swSettings"
                            << "lineEdit_Sa"
                            << "10 - 12 Uhr";
        QTest::newRow("no customer") << "swKunden"
                                     << "lineEdit_Name"
                                     << "Kunde existiert nicht.";
    }
    void fieldsShowTheirUsualText()
    {
        QFETCH(QString, page);
        QFETCH(QString, field);
        QFETCH(QString, text);
        Shell s;
        // No customer 1: the customer page opens on it.
        TestWorkdir::exec("DELETE FROM Kunde");
        QVERIFY(startOnScreen(s));
        const bool settings = page == QLatin1String("swSettings");
        QVERIFY(enter(s, settings ? Qt::Key_0 : Qt::Key_5, qPrintable(page), settings));
        settle();
        QLineEdit *shown = edit(*s.page(qPrintable(page)), qPrintable(field));
        QCOMPARE(shown->text(), text);
        QVERIFY2(showsWhole(shown), qPrintable(QString::number(shown->width())));
    }

    // Fields that the page fills with a long text from the data show its start, with the
    // cursor there and the whole text, as it is stored, in the tool tip.
    void fieldsShowTheStart_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("lead");
        for (int i = 0; i < fieldCases().size(); ++i) {
            const char *name = fieldCases().at(i).name;
            QTest::newRow(name) << i << QString();
            if (fieldCases().at(i).markup)
                QTest::addRow("%s markup", name) << i << kMarkup;
        }
    }
    void fieldsShowTheStart()
    {
        QFETCH(int, index);
        QFETCH(QString, lead);
        const FieldCase &c = fieldCases().at(index);
        const Texts texts(lead);
        Shell s;
        ShopFixture shop;
        QVERIFY(enterWithLongTexts(s, shop, texts, c.key, c.page));
        QWidget &page = *s.page(c.page);
        c.show(page, texts);
        if (QTest::currentTestFailed())
            return;
        settle();
        for (const QString &name : c.fields) {
            checkShowsStart(edit(page, qPrintable(name)), c.text(texts));
            if (QTest::currentTestFailed())
                return;
        }
    }

    // The customer search lists of intake and payout show a long entry's start and the
    // whole entry, as stored, in its tool tip.
    void customerListsShowTheWholeEntry_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("lead");
        for (const auto &[key, page] :
            { qMakePair(Qt::Key_1, "swArrive"), qMakePair(Qt::Key_4, "swSellout") }) {
            QTest::newRow(page) << int(key) << page << QString();
            QTest::addRow("%s markup", page) << int(key) << page << kMarkup;
        }
    }
    void customerListsShowTheWholeEntry()
    {
        QFETCH(int, key);
        QFETCH(QString, page);
        QFETCH(QString, lead);
        const Texts texts(lead);
        Shell s;
        ShopFixture shop;
        QVERIFY(enterWithLongTexts(s, shop, texts, Qt::Key(key), qPrintable(page)));
        QWidget &shown = *s.page(qPrintable(page));
        type(edit(shown, "lineEditSearch"), QStringLiteral("Lüdenscheidt"));
        settle();
        auto *hits = list(shown, "listWidget");
        QCOMPARE(hits->count(), 2);
        for (int row = 0; row < hits->count(); ++row) {
            const QListWidgetItem *item = hits->item(row);
            QVERIFY(item->text().contains(texts.kunde));
            const QRect inView = hits->visualItemRect(item) & hits->viewport()->rect();
            QCOMPARE(inView.left(), 0);
            QVERIFY(inView.width() < hits->fontMetrics().horizontalAdvance(item->text()));
            const SeenTip seen = toolTipAt(hits->viewport(), inView.center());
            QCOMPARE(seen.text, item->text());
            QVERIFY(!seen.formatted);
        }
    }

    // On the services page the customer's number stays in sight at the end of "Name, Vorname
    // (Nr)" however long the name: the name gives way, cut with "…". The field's text stays
    // whole.
    void customerNumberStaysInSight_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("cut");
        const QString name = Texts().kunde;
        QTest::newRow("short") << QStringLiteral("Muster") << false;
        QTest::newRow("long") << name << true;
        QTest::newRow("markup") << Texts(kMarkup).kunde << true;
        QTest::newRow("brackets in the name")
            << QStringLiteral("Meier (geb. Schulz) ") + name << true;
    }
    void customerNumberStaysInSight()
    {
        QFETCH(QString, name);
        QFETCH(bool, cut);
        Shell s;
        ShopFixture shop;
        QSqlQuery query;
        query.prepare("UPDATE Kunde SET Name = ? WHERE ID = ?");
        query.addBindValue(name);
        query.addBindValue(ShopFixture::kundeMuster);
        QVERIFY(query.exec());
        QVERIFY(startOnScreen(s));
        QVERIFY(enter(s, Qt::Key_2, "swService", false));
        QWidget &page = *s.page("swService");
        type(spin(page, "spinBox_vertr"), QString::number(ShopFixture::vertragLaufend));
        settle();

        QLineEdit *field = edit(page, "lineEdit_kunde");
        const QString text = name + QStringLiteral(", Max (1)");
        QCOMPARE(field->text(), text);
        const QString shown = shownText(field);
        QVERIFY2(shown.endsWith(QStringLiteral(" (1)")), qPrintable(shown));
        QVERIFY(field->fontMetrics().horizontalAdvance(shown) <= field->contentsRect().width());
        if (!cut) {
            QCOMPARE(shown, text);
            return;
        }
        const qsizetype ellipsis = shown.indexOf(QChar(0x2026));
        QVERIFY2(ellipsis > 0, qPrintable(shown));
        QVERIFY(text.startsWith(shown.left(ellipsis)));
        checkToolTip(toolTipOf(field), text, field->toolTip());
    }

    // On the customer page the user types where the cursor is in a long name, and "Übernehmen"
    // stores the whole text. A field passed with Tab and left unchanged shows its start again.
    void customerPageStoresTheWholeText()
    {
        const Texts texts;
        Shell s;
        ShopFixture shop;
        QVERIFY(enterWithLongTexts(s, shop, texts, Qt::Key_5, "swKunden"));
        QWidget &page = *s.page("swKunden");
        QLineEdit *name = edit(page, "lineEdit_Name");
        QLineEdit *vorname = edit(page, "lineEdit_Vorname");

        QTest::keyClick(spin(page, "spinBox_KundeNr"), Qt::Key_Tab);
        QVERIFY(name->hasFocus());
        QTest::keyClick(name, Qt::Key_Tab);
        QVERIFY(vorname->hasFocus());
        checkShowsStart(name, texts.kunde);
        if (QTest::currentTestFailed())
            return;

        // A click into the middle of the name, then typing there.
        const QPoint middle = name->rect().center();
        const int at = name->cursorPositionAt(middle);
        QVERIFY(at > 0);
        QTest::mouseClick(name, Qt::LeftButton, {}, middle);
        QTest::keyClicks(name, "XY");
        QCOMPARE(name->cursorPosition(), at + 2);
        const QString typed = texts.kunde.left(at) + "XY" + texts.kunde.mid(at);
        QCOMPARE(name->text(), typed);
        QTest::keyClick(name, Qt::Key_End);
        QTest::keyClicks(name, " Neu");
        // Left with Tab, a changed field keeps the cursor where the user typed.
        QTest::keyClick(name, Qt::Key_Tab);
        QCOMPARE(name->cursorPosition(), name->text().size());

        Dialogs::setNextAnswer(int(QMessageBox::Yes));
        click(button(page, "pushButton"));
        QCOMPARE(
            TestWorkdir::scalar("SELECT Name FROM Kunde WHERE ID = 1").toString(), typed + " Neu");
        QCOMPARE(name->text(), typed + " Neu");
    }

    // The price rules' sale price ranges show whole at 1280 pixels, four-digit prices too; the
    // columns the staff type in share what is left.
    void priceRangesShowWhole()
    {
        Shell s;
        TestWorkdir::exec(
            "INSERT INTO Verkaufspreis (Einkaufspreis, Operator, Wert) VALUES (1000, '*', 1.5)");
        QVERIFY(startOnScreen(s));
        QVERIFY(enter(s, Qt::Key_0, "swSettings", true));
        settle();
        QTableWidget *rules = table(*s.page("swSettings"), "tableWidget");
        QCOMPARE(rules->item(9, 4)->text(), QString("300.00 € -1100.00 €"));
        QCOMPARE(rules->horizontalScrollBar()->maximum(), 0);
        const int grid = rules->showGrid() ? 1 : 0;
        for (int row = 0; row < rules->rowCount(); ++row) {
            const QModelIndex range = rules->model()->index(row, 4);
            QVERIFY2(static_cast<QAbstractItemView *>(rules)->sizeHintForIndex(range).width() + grid
                    <= rules->columnWidth(4),
                qPrintable(range.data().toString()));
        }
        QVERIFY(
            rules->columnViewportPosition(4) + rules->columnWidth(4) <= rules->viewport()->width());
        for (const int typed : { 1, 2, 3 })
            QVERIFY(rules->columnWidth(typed) >= rules->columnWidth(0));
    }

    // Every list shows each number, date and amount whole in every row, however many rows,
    // and all of them in sight at 1280 x 1024: the longest lie beyond the first thousand.
    void figuresShowWholeInLongLists_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("font");
        for (int i = 0; i < listCases().size(); ++i) {
            for (const char *font : kFonts)
                QTest::addRow("%s, %s", listCases().at(i).name, font) << i << QString(font);
        }
    }
    void figuresShowWholeInLongLists()
    {
        QFETCH(int, index);
        QFETCH(QString, font);
        const ListCase &c = listCases().at(index);
        const AppFont appFont(font);
        QVERIFY(appFont.installed());
        Shell s;
        ShopFixture shop;
        writeLongLists(shop);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(startOnScreen(s));
        QVERIFY(enter(s, c.key, c.page, c.gated));
        QWidget &page = *s.page(c.page);
        const auto check = [&](QTableWidget *list) {
            settle();
            checkFiguresWhole(list, c.nameColumn, c.longValue, c.inSight);
        };
        if (c.open)
            c.open(page, check);
        else
            check(table(page, c.table));
    }

    // On the expired list a usual name and a usual telephone number show whole beside the
    // longest figures: names up to 25 characters with numbers up to 20. Only a longer name or
    // number is cut, whole in its tool tip, and the list never scrolls sideways: the end of
    // the term, the open amount and the boxes stay in sight.
    void expiredListShowsUsualNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("phone");
        QTest::addColumn<bool>("nameWhole");
        QTest::addColumn<bool>("phoneWhole");
        QTest::addColumn<QString>("font");
        const QString name25 = QStringLiteral("Mühlenweg-Wagner, Wilhelm");
        for (const char *font : kFonts) {
            QTest::addRow("25 characters, %s", font) << QStringLiteral("Meyer-Lüdenscheid, Werner")
                                                     << kLongPhone << true << true << QString(font);
            QTest::addRow("24 characters, %s", font) << QStringLiteral("Schumacher, Hans-Joachim")
                                                     << kLongPhone << true << true << QString(font);
            QTest::addRow("59 characters, %s", font)
                << QStringLiteral("Meyer-Lüdenscheid-Hohenstein, Karl-Heinz Friedrich Wilhelm")
                << kLongPhone << false << true << QString(font);
            QTest::addRow("phone of 15, %s", font)
                << name25 << QStringLiteral("05661 929562170") << true << true << QString(font);
            QTest::addRow("phone of 20, %s", font)
                << name25 << QStringLiteral("0171 2956217 / 05661") << true << true
                << QString(font);
            QTest::addRow("phone of 26, %s", font)
                << QStringLiteral("Schulze, Reinhard")
                << QStringLiteral("0171 2956217 / 0561 526077") << true << false << QString(font);
            QTest::addRow("phone of 45, %s", font)
                << name25 << QStringLiteral("0171 29562170 / 0561 526077 / 05661 929562170") << true
                << false << QString(font);
        }
    }
    void expiredListShowsUsualNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, phone);
        QFETCH(bool, nameWhole);
        QFETCH(bool, phoneWhole);
        QFETCH(QString, font);
        const AppFont appFont(font);
        QVERIFY(appFont.installed());
        Shell s;
        ShopFixture shop;
        writeLongLists(shop);
        const QStringList parts = name.split(QStringLiteral(", "));
        TestWorkdir::exec(QStringLiteral(
            "UPDATE Kunde SET Name = '%1', Vorname = '%2', Telefon = '%3' WHERE ID = %4")
                              .arg(parts.at(0), parts.at(1), phone)
                              .arg(kLongCustomer));
        if (QTest::currentTestFailed())
            return;
        QVERIFY(startOnScreen(s));
        QVERIFY(enter(s, Qt::Key_8, "swAbgelaufene", true));
        settle();
        QTableWidget *list = table(*s.page("swAbgelaufene"), "tableWidget");
        QCOMPARE(list->horizontalScrollBar()->maximum(), 0);
        for (int c = 4; c < list->columnCount(); ++c) {
            const int right = list->columnViewportPosition(c) + list->columnWidth(c);
            QVERIFY2(right <= list->viewport()->width(),
                qPrintable(list->horizontalHeaderItem(c)->text()));
        }
        const QAbstractItemView *view = list;
        for (const auto &[text, whole] :
            { qMakePair(name, nameWhole), qMakePair(phone, phoneWhole) }) {
            const QList<QTableWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
            QCOMPARE(found.size(), 1);
            QTableWidgetItem *cell = found.first();
            const int needed = view->sizeHintForIndex(list->indexFromItem(cell)).width();
            QVERIFY2((list->columnWidth(cell->column()) >= needed) == whole,
                qPrintable(QStringLiteral("%1: %2 pixels of %3")
                               .arg(text)
                               .arg(list->columnWidth(cell->column()))
                               .arg(needed)));
            if (!whole) {
                list->scrollToItem(cell);
                checkToolTip(toolTipAt(list->viewport(), list->visualItemRect(cell).center()), text,
                    cell->toolTip());
            }
        }
    }

    // At 1280 x 1024 all twelve figures of a day and of a month of a ten-year shop are in
    // sight and whole, their captions whole on at most two lines, in the table's height;
    // ten years' sums may scroll sideways, each still whole and the row above the scroll bar.
    void statisticsFiguresInSight_data()
    {
        QTest::addColumn<int>("days");
        QTest::addColumn<bool>("inSight");
        QTest::addColumn<bool>("scrolls");
        QTest::addColumn<QString>("font");
        for (const char *font : kFonts) {
            QTest::addRow("day, %s", font) << 0 << true << false << QString(font);
            QTest::addRow("month, %s", font) << 30 << true << false << QString(font);
            // In the narrower Liberation Sans ten years' sums may fit.
            const bool wide = QLatin1String(font) == QLatin1String("DejaVu Sans");
            QTest::addRow("ten years, %s", font) << 3650 << false << wide << QString(font);
        }
    }
    void statisticsFiguresInSight()
    {
        QFETCH(int, days);
        QFETCH(bool, inSight);
        QFETCH(bool, scrolls);
        QFETCH(QString, font);
        const AppFont appFont(font);
        QVERIFY(appFont.installed());
        Shell s;
        ShopFixture shop;
        writeShopFigures(shop);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(startOnScreen(s));
        QVERIFY(enter(s, Qt::Key_9, "swInventur", true));
        QWidget &page = *s.page("swInventur");
        if (days > 0) {
            const QDate today = QDate::currentDate();
            auto *anfang = page.findChild<QDateTimeEdit *>("dateTimeEditAnfang");
            anfang->setDateTime(QDateTime(today.addDays(-days), QTime(0, 0)));
            click(button(page, "pushButtonCalculate"));
        }
        settle();
        QTableWidget *figures = table(page, "tableWidget");
        const QAbstractItemView *view = figures;
        const int grid = figures->showGrid() ? 1 : 0;
        for (int c = 0; c < 12; ++c) {
            const QString caption = figures->horizontalHeaderItem(c)->text();
            QVERIFY2(
                figures->item(0, c) && !figures->item(0, c)->text().isEmpty(), qPrintable(caption));
            const int needed = view->sizeHintForIndex(figures->model()->index(0, c)).width() + grid;
            QVERIFY2(figures->columnWidth(c) >= needed, qPrintable(caption));
            QVERIFY2(captionShowsWhole(figures->horizontalHeader(), c), qPrintable(caption));
            if (inSight) {
                const int right = figures->columnViewportPosition(c) + figures->columnWidth(c);
                QVERIFY2(right <= figures->viewport()->width(), qPrintable(caption));
            }
        }
        if (inSight)
            QCOMPARE(figures->horizontalScrollBar()->maximum(), 0);
        if (scrolls)
            QVERIFY(figures->horizontalScrollBar()->maximum() > 0);
        QCOMPARE(figures->maximumHeight(), 85);
        QVERIFY(figures->height() <= 85);
        QVERIFY(figures->rowViewportPosition(0) >= 0);
        QVERIFY2(figures->rowViewportPosition(0) + figures->rowHeight(0)
                <= figures->viewport()->height(),
            qPrintable(QString::number(figures->viewport()->height())));
    }

private:
    static bool startOnScreen(Shell &s)
    {
        if (!s.start())
            return false;
        s.window->showNormal();
        s.window->resize(1280, 1000);
        QCoreApplication::processEvents();
        return s.window->size() == QSize(1280, 1000);
    }
    // The shop with its texts made long, the window at 1280 pixels, and the page entered.
    static bool enterWithLongTexts(
        Shell &s, const ShopFixture &shop, const Texts &texts, Qt::Key key, const char *name)
    {
        makeTextsLong(s.dir, shop, texts);
        return !QTest::currentTestFailed() && startOnScreen(s) && enter(s, key, name, false);
    }
    static bool enter(Shell &s, Qt::Key key, const char *name, bool gated)
    {
        if (gated)
            Dialogs::setNextAnswer(QString()); // the default password is empty
        return s.enter(key, name);
    }
    // The layouts follow a changed text over a few passes of the event loop.
    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }
};

QTEST_MAIN(LongTexts)
#include "tst_longtexts.moc"
