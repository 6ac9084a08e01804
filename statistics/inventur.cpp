#include "statistics/inventur.h"

#include "app/database.h"
#include "app/dialogs.h"
#include "app/numbers.h"
#include "app/paths.h"
#include "app/sql.h"
#include "app/tablecell.h"
#include "app/textcodec.h"
#include "app/textwidgets.h"
#include "app/waitcursor.h"
#include "printing/csvwriter.h"
#include "printing/reportprinter.h"
#include "statistics/bestandsliste.h"
#include "statistics/periodenzahlen.h"
#include "statistics/shopcsv.h"
#include "ui_inventur.h"

#include <QApplication>
#include <QDebug>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>

namespace {

const QString kAnzeigeFormat = QStringLiteral("dd.MM.yyyy hh:mm:ss");

// The items of comboBoxVertraege.
enum { kBeendeteVertraege = 0, kAlleVertraege = 1, kLaufendeVertraege = 2 };

// The shop's server reads the form by this boundary; it is the same in every upload.
const QByteArray kBoundary = QByteArrayLiteral("---------------------------193971182219750");
const int kUploadTimeoutMs = 60 * 1000;
quint16 g_uploadPort = 80;

QString stueck(int count)
{
    return QString::number(count) + QStringLiteral(" Stk.");
}

// Cells of the stock table keep their value and make their text when the table asks for it,
// where a TableCell holds its text made: a stock of ten years is some two million cells, and
// a text in each would cost a quarter of a gigabyte and much of the calculation's time. The
// next calculation gives a cell of the same kind its new value instead of making a new one.
class BestandsZelle : public QTableWidgetItem
{
public:
    explicit BestandsZelle(int art)
        : QTableWidgetItem(art)
    { }
    QVariant data(int role) const override
    {
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return anzeige();
        if (role == Qt::TextAlignmentRole)
            return int(ausrichtung());
        return QTableWidgetItem::data(role);
    }

protected:
    virtual QString anzeige() const = 0;
    virtual Qt::Alignment ausrichtung() const = 0;
};

class ZahlZelle : public BestandsZelle
{
public:
    enum { Art = UserType + 1 };
    explicit ZahlZelle(qint64 zahl)
        : BestandsZelle(Art)
        , m_zahl(zahl)
    { }
    void setWert(qint64 zahl) { m_zahl = zahl; }
    QTableWidgetItem *clone() const override { return new ZahlZelle(*this); }

protected:
    QString anzeige() const override { return QString::number(m_zahl); }
    Qt::Alignment ausrichtung() const override { return Qt::AlignCenter; }

private:
    qint64 m_zahl;
};

class GeldZelle : public BestandsZelle
{
public:
    enum { Art = UserType + 2 };
    explicit GeldZelle(double betrag)
        : BestandsZelle(Art)
        , m_betrag(betrag)
    { }
    void setWert(double betrag) { m_betrag = betrag; }
    QTableWidgetItem *clone() const override { return new GeldZelle(*this); }

protected:
    QString anzeige() const override { return euroText(m_betrag); }
    Qt::Alignment ausrichtung() const override { return Qt::AlignRight | Qt::AlignVCenter; }

private:
    double m_betrag;
};

// The name shares its text with the stock list.
class NameZelle : public BestandsZelle
{
public:
    enum { Art = UserType + 3 };
    explicit NameZelle(const QString &name)
        : BestandsZelle(Art)
        , m_name(name)
    { }
    void setWert(const QString &name) { m_name = name; }
    QTableWidgetItem *clone() const override { return new NameZelle(*this); }
    // The column cuts a long name.
    QVariant data(int role) const override
    {
        if (role == Qt::ToolTipRole)
            return plainToolTip(m_name);
        return BestandsZelle::data(role);
    }

protected:
    QString anzeige() const override { return m_name; }
    Qt::Alignment ausrichtung() const override { return {}; }

private:
    QString m_name;
};

class AnkaufZelle : public BestandsZelle
{
public:
    enum { Art = UserType + 4 };
    explicit AnkaufZelle(bool = true)
        : BestandsZelle(Art)
    { }
    void setWert(bool) { }
    QTableWidgetItem *clone() const override { return new AnkaufZelle(*this); }

protected:
    QString anzeige() const override { return QStringLiteral("Ank."); }
    Qt::Alignment ausrichtung() const override { return Qt::AlignRight | Qt::AlignVCenter; }
};

template <class Zelle, class Wert> void setze(QTableWidget *tabelle, int row, int column, Wert wert)
{
    QTableWidgetItem *alt = tabelle->item(row, column);
    if (alt && alt->type() == Zelle::Art)
        static_cast<Zelle *>(alt)->setWert(wert);
    else
        tabelle->setItem(row, column, new Zelle(wert));
}

void leere(QTableWidget *tabelle, int row, int column)
{
    delete tabelle->takeItem(row, column);
}

QFont fett()
{
    QFont font = QApplication::font();
    font.setBold(true);
    return font;
}

} // namespace

Inventur::Inventur(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui_Inventur)
{
    ui->setupUi(this);
    connect(ui->label_16, &MenuLabel::clicked, this, &Inventur::openMenuSlot);
    ui->comboBoxVertraege->setCurrentIndex(1);
    ui->dateTimeEditAnfang->setDateTime(QDateTime::currentDateTime());
    ui->dateTimeEditEnde->setDateTime(QDateTime::currentDateTime());
    ui->tableWidget->setWordWrap(true);

    connect(ui->pushButtonCalculate, &QPushButton::clicked, this, &Inventur::calculate);
    connect(ui->pushButtonHeute, &QPushButton::clicked, this, &Inventur::heute);
    connect(ui->pushButtonGestern, &QPushButton::clicked, this, &Inventur::gestern);
    connect(ui->pushButtonVorgestern, &QPushButton::clicked, this, &Inventur::vorgestern);
    connect(ui->pushButtonPrintInv, &QPushButton::clicked, this, &Inventur::printInv);
    connect(ui->pushButtonPrintStat, &QPushButton::clicked, this, &Inventur::printStat);
    connect(ui->pushButtonExport, &QPushButton::clicked, this, &Inventur::exportInv);

    ui->tableWidget->setRowCount(1);
    ui->tableWidget->verticalHeader()->hide();
    ui->tableWidget->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Minimum);
}

Inventur::~Inventur()
{
    delete ui;
}

void Inventur::refreshPage()
{
    setCursor(Qt::WaitCursor);
    ui->dateTimeEditEnde->setMaximumDateTime(
        QDateTime(QDate::currentDate().addDays(1), QTime(0, 0)));
    ui->tableWidget->setRowCount(0);
    // The stock table keeps its cells: the calculation below gives them their new values.
    setCursor(Qt::ArrowCursor);
    heute();
}

void Inventur::openMenuSlot()
{
    emit openMenu();
}

void Inventur::heute()
{
    tagZurueck(0);
}

void Inventur::gestern()
{
    tagZurueck(1);
}

void Inventur::vorgestern()
{
    tagZurueck(2);
}

void Inventur::tagZurueck(int n)
{
    const QDate heute = QDate::currentDate();
    // A page left open past midnight still reaches today's end.
    ui->dateTimeEditEnde->setMaximumDateTime(QDateTime(heute.addDays(1), QTime(0, 0)));
    const QDate anfang = heute.addDays(-n);
    ui->dateTimeEditAnfang->setDateTime(QDateTime(anfang, QTime(0, 0)));
    ui->dateTimeEditEnde->setDateTime(QDateTime(anfang.addDays(1), QTime(0, 0)));
    calculate();
}

void Inventur::calculate()
{
    const WaitCursor wait;
    const QDateTime anfang = ui->dateTimeEditAnfang->dateTime();
    const QDateTime ende = ui->dateTimeEditEnde->dateTime();
    QTableWidget *tabelle = ui->tableWidget;
    // A figure whose statement fails shows nothing rather than another period's number.
    tabelle->setRowCount(0);
    tabelle->setRowCount(1);
    const auto zeige = [tabelle](int column, const QString &text) {
        tabelle->setItem(0, column, new TableCell(text, Qt::AlignCenter));
    };

    if (ende < anfang)
        Dialogs::warning(this, QStringLiteral("Warnung"),
            QStringLiteral("Anfangsdatum muss vor dem Enddatum liegen."));
    else if (anfang > QDateTime::currentDateTime())
        Dialogs::warning(this, QStringLiteral("Warnung"),
            QStringLiteral("Anfangsdatum darf nicht in der Zukunft liegen."));

    const Periodenzahlen zahlen = periodenzahlen(anfang, ende, this);
    InventurStatistik s = zahlen.statistik;
    const QString texte[12] = { stueck(s.kunden), stueck(s.vertraege), stueck(s.artikelmenge),
        stueck(s.verkauftZurueck), euroText(s.einkauf), euroText(s.verkauftVk),
        euroText(s.standgebuehr), euroText(s.ankaufAuszahlung),
        euroText(s.standgebuehr + s.verkauftVk - s.ankaufAuszahlung), euroText(s.umsatz), QString(),
        euroText(s.offeneAuszahlungen) };
    for (int column = 0; column < 12; ++column) {
        if (zahlen.gezeigt[size_t(column)])
            zeige(column, texte[column]);
    }

    QHash<qint64, double> ankaufPreise;
    bool listeOk = true;
    InventurListe liste = bestandsliste(ende, this, &ankaufPreise, &listeOk);

    // In list order, so the sum and the lines come out alike in every run.
    for (const QString &idText : qAsConst(liste.artikelIds)) {
        const qint64 id = idText.toLongLong();
        const auto preis = ankaufPreise.constFind(id);
        if (preis == ankaufPreise.cend())
            continue;
        const int menge = liste.artikel.value(id).menge;
        qDebug().noquote()
            << QStringLiteral("%1   %2   %3 ").arg(id).arg(menge).arg(*preis, 0, 'g', 6);
        s.offenerAnkaufVk += *preis * menge;
    }
    if (listeOk)
        zeige(10, euroText(s.offenerAnkaufVk));
    // Fitted with every figure in place: the last one, too, shows whole.
    fitColumns(tabelle, -1);

    zeigeBestand(liste);
    ui->label_date->setText(QStringLiteral("Entsprechend dem Zeitraum von ")
        + anfang.toString(kAnzeigeFormat) + QStringLiteral(" bis ")
        + ende.toString(kAnzeigeFormat));
    ui->label_date2->setText(QStringLiteral("Inventurliste am ") + ende.toString(kAnzeigeFormat));

    inventurListe = liste;
    statistik = s;
}

void Inventur::zeigeBestand(const InventurListe &liste)
{
    QTableWidget *tabelle = ui->tableWidget_2;
    const Qt::Alignment rechts = Qt::AlignRight | Qt::AlignVCenter;
    const int zeilen = int(liste.artikelIds.size());
    tabelle->setRowCount(zeilen + 1);

    int vertraege = 0, bestand = 0;
    double summeEk = 0, summeVk = 0;
    // The cells make their text only when they are shown: the widest of each column is found
    // from the figures.
    ExtremeRows breiteste(tabelle->columnCount());
    bool ankaufGesehen = false;
    // The view hears of the cells once: told of each of two million cells, it would take
    // seconds. The row headers likewise.
    fillCells(tabelle, [&] {
        int row = 0;
        qint64 vorigerVertrag = 0;
        for (const QString &idText : liste.artikelIds) {
            const auto found = liste.artikel.constFind(idText.toLongLong());
            const InventurArtikel &a = found != liste.artikel.cend() ? *found : InventurArtikel();
            ++row;
            // The contract number heads each run of its articles.
            if (row == 1 || a.vertrag != vorigerVertrag) {
                ++vertraege;
                setze<ZahlZelle>(tabelle, row, 0, a.vertrag);
                breiteste.note(0, a.vertrag, row);
            } else {
                leere(tabelle, row, 0);
            }
            vorigerVertrag = a.vertrag;
            bestand += a.menge;
            summeEk += a.einkaufsPreis * a.menge;
            summeVk += a.verkaufsPreis * a.menge;

            setze<ZahlZelle>(tabelle, row, 1, a.artikelNr);
            setze<NameZelle>(tabelle, row, 2, a.bezeichnung);
            setze<ZahlZelle>(tabelle, row, 3, a.menge);
            setze<GeldZelle>(tabelle, row, 4, a.einkaufsPreis);
            setze<GeldZelle>(tabelle, row, 5, a.verkaufsPreis);
            setze<GeldZelle>(tabelle, row, 6, a.einkaufsPreis * a.menge);
            setze<GeldZelle>(tabelle, row, 7, a.verkaufsPreis * a.menge);
            breiteste.note(1, a.artikelNr, row);
            breiteste.note(3, a.menge, row);
            breiteste.note(4, a.einkaufsPreis, row);
            breiteste.note(5, a.verkaufsPreis, row);
            breiteste.note(6, a.einkaufsPreis * a.menge, row);
            breiteste.note(7, a.verkaufsPreis * a.menge, row);
            if (a.laufzeit == -1) {
                setze<AnkaufZelle>(tabelle, row, 8, true);
                if (!ankaufGesehen)
                    breiteste.add(8, row);
                ankaufGesehen = true;
            } else {
                leere(tabelle, row, 8);
            }
            // An empty header item, so that the row shows no number.
            if (!tabelle->verticalHeaderItem(row))
                tabelle->setVerticalHeaderItem(row, new QTableWidgetItem);
        }
    });
    if (zeilen > 0)
        emit tabelle->model()->headerDataChanged(Qt::Vertical, 1, zeilen);

    const QFont bold = fett();
    const auto summe = [&](int column, const QString &text, Qt::Alignment alignment) {
        auto *item = new TableCell(text, alignment);
        item->setFont(bold);
        tabelle->setItem(0, column, item);
    };
    summe(0, QString::number(vertraege), {});
    summe(1, QString::number(zeilen), {});
    summe(3, QString::number(bestand), {});
    summe(6, euroText(summeEk), rechts);
    summe(7, euroText(summeVk), rechts);
    auto *summenKopf = new QTableWidgetItem(QStringLiteral("Summe"));
    summenKopf->setFont(bold);
    tabelle->setVerticalHeaderItem(0, summenKopf);
    for (const int column : { 0, 1, 3, 6, 7 })
        breiteste.add(column, 0);
    fitColumns(tabelle, 2, breiteste.rows());
}

void Inventur::calculateUpload()
{
    inventurListe = bestandsliste(QDateTime::currentDateTime(), this);
}

void Inventur::printStat()
{
    ReportPrinter printer;
    printer.parent = this;
    printer.printStatistik(statistik);
}

void Inventur::printInv()
{
    const WaitCursor wait;
    ReportPrinter printer;
    printer.parent = this;
    printer.printInventur(inventurListe);
}

void Inventur::exportInv()
{
    const double abPreis = ui->spinBoxAbPreis->value();
    const int auswahl = ui->comboBoxVertraege->currentIndex();
    const QString pfad = Dialogs::getSaveFileName(this, QStringLiteral("Export Datei wählen"),
        joinPath(desktopFolder(),
            QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".csv")),
        QStringLiteral("CSV (*.csv)"));
    if (pfad.isEmpty())
        return;
    const WaitCursor wait;

    // The state of every contract, read once; only the two state choices need it.
    QHash<qint64, bool> beendet;
    if (auswahl != kAlleVertraege) {
        QSqlQuery query;
        query.setForwardOnly(true);
        if (!execOrWarn(query, QStringLiteral("SELECT ID, Vertragsende FROM Vertrag"), this))
            return; // a file without the states would hold the wrong articles
        while (query.next())
            beendet.insert(query.value(0).toLongLong(), !contractRunning(query.value(1)));
    }
    const auto filter = [&](const InventurArtikel &a) {
        if (abPreis > a.verkaufsPreis)
            return false;
        if (auswahl == kAlleVertraege)
            return true;
        // An article whose contract row is gone counts as running.
        return beendet.value(a.vertrag, false) == (auswahl == kBeendeteVertraege);
    };
    QByteArray csv;
    inventurShopCsv(inventurListe, filter, csv);
    writeFile(pfad, csv, this);
}

void Inventur::setUploadPort(quint16 port)
{
    g_uploadPort = port;
}

void Inventur::uploadInv()
{
    const QString passwort = readSetting(QStringLiteral("MasterPasswort"), this);
    const QString server = readSetting(QStringLiteral("UploadPath"), this);
    if (passwort.isEmpty() || server.isEmpty()) {
        Dialogs::critical(this, QStringLiteral("Fehler"),
            QStringLiteral("Bitte erstellen sie ein MasterPasswort und geben Sie "
                           "den Server ein."));
        return;
    }

    // The form is written by hand, byte for byte as the shop's server reads it; the CSV goes
    // straight into the body, so the request holds the file once.
    const QByteArray trenner = QByteArrayLiteral("--") + kBoundary;
    QByteArray body = trenner
        + QByteArrayLiteral("\r\nContent-Disposition: form-data; name=\"uploaddatei\"; "
                            "filename=\"test1.csv\"\r\n"
                            "Content-Type: application/octet-stream\r\n\r\n");
    inventurShopCsv(
        inventurListe, [](const InventurArtikel &) { return true; }, body);
    body += QByteArrayLiteral("\r\n") + trenner
        + QByteArrayLiteral("\r\nContent-Disposition: form-data; name=\"password\"\r\n\r\n")
        + toCp1252(passwort) + QByteArrayLiteral("\r\n") + trenner
        + QByteArrayLiteral("\r\nContent-Disposition: form-data; name=\"submit\"\r\n\r\n"
                            "Datei hochladen\r\n")
        + trenner + QByteArrayLiteral("--\r\n");
    // The body holds the master password: only its length goes to the log.
    qDebug() << "Bestand hochladen:" << body.size() << "Bytes";

    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(server);
    url.setPort(g_uploadPort);
    url.setPath(QStringLiteral("/upload.php"));
    QNetworkRequest request(url);
    request.setRawHeader("Host", toCp1252(server));
    request.setRawHeader(
        "Content-Type", QByteArrayLiteral("multipart/form-data; boundary=") + kBoundary);
    request.setRawHeader("Content-Length", QByteArray::number(body.size()));
    request.setAttribute(
        QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setTransferTimeout(kUploadTimeoutMs);
    if (!uploadClient)
        uploadClient = new QNetworkAccessManager(this);
    QNetworkReply *reply = uploadClient->post(request, body);
    connect(reply, &QNetworkReply::finished, this, [this, reply] { httpRequestFinished(reply); });
}

void Inventur::httpRequestFinished(QNetworkReply *reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() == QNetworkReply::NoError && status >= 200 && status < 300) {
        Dialogs::information(this, QStringLiteral("Erfolg"),
            QStringLiteral("Bestand wurde erfolgreich hochgeladen."));
    } else {
        // A redirect is not followed and is no error to the network layer.
        const QString grund = reply->error() != QNetworkReply::NoError
            ? reply->errorString()
            : QStringLiteral("Antwort des Servers: %1 %2")
                  .arg(status)
                  .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
        Dialogs::information(this, QStringLiteral("Problem"),
            QStringLiteral("Bestand konnte nicht hochgeladen werden.\n") + grund);
    }
    reply->deleteLater();
}
