// The statistics and stock-taking page: figures, stock list, shop CSV export and upload.

#include "benchcases.h"
#include "statistics/inventur.h"
#include "statistics/periodenzahlen.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

// The statistics page, entered from the menu with the shop's (empty) password.
bool enterStatistics(WindowDriver &s)
{
    if (s.page() == QLatin1String("swInventur"))
        return true;
    if (!s.toMenu())
        return false;
    Dialogs::setNextAnswer(QString());
    s.key(Qt::Key_9);
    Dialogs::takeRecords(); // the password prompt
    return s.expectPage("swInventur");
}

// The generated picture paths do not exist: the newest 1,000 articles in stock get a picture
// file of 60 KB each in Bilder/ of the working folder, every fifth a second one. Once per run.
constexpr int kBilder = 1000;
constexpr int kBildBytes = 60 * 1024;

bool bilderAngelegt()
{
    static bool angelegt = false;
    if (angelegt)
        return true;
    QDir().mkpath(QStringLiteral("Bilder"));
    QSqlQuery query;
    if (!query.exec(QStringLiteral(R"(
SELECT A.ID FROM Artikel AS A
WHERE A.EinkaufsMenge > COALESCE((SELECT SUM(VerkaufsMenge) FROM Verkauf WHERE Artikel = A.ID), 0)
                      + COALESCE((SELECT SUM(Anzahl) FROM Zurueckgegeben WHERE Artikel = A.ID), 0)
ORDER BY A.ID DESC LIMIT %1)")
                        .arg(kBilder)))
        return false;
    QList<qint64> ids;
    while (query.next())
        ids << query.value(0).toLongLong();
    QSqlQuery update;
    update.prepare(QStringLiteral("UPDATE Artikel SET Images = ? WHERE ID = ?"));
    quint32 zufall = 1;
    for (qint64 id : ids) {
        QStringList pfade;
        for (int n = 0; n < (id % 5 == 0 ? 2 : 1); ++n) {
            const QString pfad = QDir::current().absoluteFilePath(
                QStringLiteral("Bilder/IMG_%1_%2.jpg").arg(id).arg(n));
            QByteArray bytes(kBildBytes, Qt::Uninitialized);
            for (char &c : bytes) {
                zufall = zufall * 1664525u + 1013904223u; // a JPEG does not compress either
                c = char(zufall >> 24);
            }
            QFile datei(pfad);
            if (!datei.open(QIODevice::WriteOnly) || datei.write(bytes) != bytes.size())
                return false;
            pfade << pfad;
        }
        update.addBindValue(pfade.join(QLatin1Char(',')));
        update.addBindValue(id);
        if (!update.exec())
            return false;
    }
    angelegt = true;
    return true;
}

// The shop's web server on this machine: takes each request whole, counting its bytes, and
// answers 200.
class UploadServer : public QObject
{
public:
    UploadServer()
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, &UploadServer::accept);
    }
    quint16 port() const { return m_server.serverPort(); }
    int answered = 0;

private:
    void accept()
    {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            auto head = std::make_shared<QByteArray>();
            auto left = std::make_shared<qint64>(-1);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, head, left] {
                QByteArray data = socket->readAll();
                if (*left < 0) {
                    *head += data;
                    const qsizetype end = head->indexOf("\r\n\r\n");
                    if (end < 0)
                        return;
                    qint64 length = 0;
                    for (const QByteArray &line : head->left(end).split('\n'))
                        if (line.toLower().startsWith("content-length:"))
                            length = line.mid(15).trimmed().toLongLong();
                    *left = length - (head->size() - end - 4);
                } else {
                    *left -= data.size();
                }
                if (*left > 0)
                    return;
                ++answered;
                socket->write("HTTP/1.1 200 OK\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
                socket->disconnectFromHost();
            });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    QTcpServer m_server;
};

std::unique_ptr<UploadServer> g_server;

// Runs the event loop as the program does until a box is recorded. Not QTest::qWait: that
// sleeps between its passes, and the upload hands its data to Qt's network thread one chunk
// per pass.
bool untilBox(int timeoutMs)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&loop] {
        if (!Dialogs::records().isEmpty())
            loop.quit();
    });
    poll.start(1);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return !Dialogs::records().isEmpty();
}

bool setSetting(const char *name, const QString &value)
{
    QSqlQuery query;
    query.prepare(QStringLiteral("UPDATE Systemdaten SET Wert = ? WHERE Name = ?"));
    query.addBindValue(value);
    query.addBindValue(QLatin1String(name));
    return query.exec();
}

const QString kExport = QStringLiteral("export/bestand.csv");

const BenchArea statisticsCases("statistics",
    {
        // Statistics a to h of today, straight from the database (no stock list, no table).
        { "stats-figures", "Statistik a bis h für heute, ohne Bestandsliste", 100,
            [](WindowDriver &) { return true; },
            [](WindowDriver &s) {
                const QDate today = QDate::currentDate();
                const Periodenzahlen zahlen = periodenzahlen(QDateTime(today, QTime(0, 0)),
                    QDateTime(today.addDays(1), QTime(0, 0)), s.window.get());
                return zahlen.gezeigt[1] && zahlen.gezeigt[11];
            } },
        // "heute" on the statistics page: the figures, the stock list at tomorrow 00:00 (about
        // 268,000 articles of ten years) and both tables.
        { "stats-day", "Statistik: Knopf heute (Zahlen, Bestandsliste, beide Tabellen)", 2500,
            [](WindowDriver &s) {
                return enterStatistics(s) && s.field("swInventur", "pushButtonHeute");
            },
            [](WindowDriver &s) {
                QTest::mouseClick(s.field("swInventur", "pushButtonHeute"), Qt::LeftButton);
                auto *table = s.field<QTableWidget>("swInventur", "tableWidget_2");
                return table && table->rowCount() > 100000;
            } },
        // The whole program, key "9" on the menu: today's figures and the stock list of ten
        // years, in a process of its own for the peak memory.
        { "stats-memory", "Taste 9: Statistik heute und Bestandsliste, eigener Prozess", 0,
            [](WindowDriver &s) { return s.toMenu(); },
            [](WindowDriver &s) { return enterStatistics(s); }, true, 0, 800 },
        // "CSV Exportieren" with all contracts from 0 €: every listed article with its pictures
        // into the chosen file.
        { "stock-export", "CSV Exportieren: ~268.000 Artikel, 1.200 Bilder", 3000,
            [](WindowDriver &s) {
                const bool neu = !QFile::exists(QStringLiteral("Bilder"));
                if (!bilderAngelegt() || !enterStatistics(s))
                    return false;
                if (neu) // the page's list must know the pictures
                    QTest::mouseClick(s.field("swInventur", "pushButtonHeute"), Qt::LeftButton);
                QDir().mkpath(QStringLiteral("export"));
                QFile::remove(kExport);
                Dialogs::setNextAnswer(QDir::current().absoluteFilePath(kExport));
                return true;
            },
            [](WindowDriver &s) {
                QTest::mouseClick(s.field("swInventur", "pushButtonExport"), Qt::LeftButton);
                const QList<Dialogs::Record> boxes = Dialogs::takeRecords();
                return boxes.size() == 1 && boxes.at(0).kind == Dialogs::Kind::SaveFile
                    && QFileInfo(kExport).size() > 100 * 1000 * 1000;
            } },
        // "Bestand hochladen" on the menu: the stock as of now, its CSV with the pictures in
        // one form, sent to a server on this machine, until the answer is shown.
        { "stock-upload", "Bestand hochladen: Liste von jetzt, ~120 MB an den Server hier", 5000,
            [](WindowDriver &s) {
                if (!g_server)
                    g_server = std::make_unique<UploadServer>();
                Inventur::setUploadPort(g_server->port());
                return bilderAngelegt() && s.toMenu()
                    && setSetting("MasterPasswort", QStringLiteral("bench"))
                    && setSetting("UploadPath", QStringLiteral("127.0.0.1"));
            },
            [](WindowDriver &s) {
                const int before = g_server->answered;
                s.click("pushButtonUpload");
                // The settings back as the generated shop has them, for the cases after this.
                setSetting("MasterPasswort", QString());
                const bool shown = untilBox(30 * 1000);
                const QList<Dialogs::Record> boxes = Dialogs::takeRecords();
                if (!shown || boxes.size() != 1 || boxes.at(0).title != QLatin1String("Erfolg")) {
                    for (const Dialogs::Record &r : boxes)
                        std::fprintf(stderr, "stock-upload: box \"%s\": %s\n", qPrintable(r.title),
                            qPrintable(r.text));
                    return false;
                }
                if (g_server->answered != before + 1)
                    std::fprintf(stderr, "stock-upload: the server answered %d times\n",
                        g_server->answered - before);
                return g_server->answered == before + 1;
            } },
    });

} // namespace
