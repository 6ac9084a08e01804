#include "bench/shopgen.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

// The schema scripts log every DROP of a table that is not there yet and the empty last part
// of each script: expected on a new file. Failures of the generator come back as its error.
static void quietDebug(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtWarningMsg && type != QtInfoMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

int main(int argc, char *argv[])
{
    qInstallMessageHandler(quietDebug);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velarix_benchgen"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes a reproducible database of a shop after ten years."));
    parser.addHelpOption();
    const ShopGenOptions defaults;
    const QCommandLineOption seed({ "s", "seed" }, QStringLiteral("Seed (default 1)."),
        QStringLiteral("n"), QString::number(defaults.seed));
    const QCommandLineOption output({ "o", "output" },
        QStringLiteral("Database file (default db.sqlite)."), QStringLiteral("file"),
        defaults.path);
    const QCommandLineOption scale(QStringLiteral("scale"),
        QStringLiteral("Scale factor of every row count (default 1)."), QStringLiteral("factor"),
        QStringLiteral("1"));
    const QCommandLineOption now(QStringLiteral("now"),
        QStringLiteral("The shop's today, \"yyyy-MM-dd[ hh:mm:ss]\" (default %1).")
            .arg(defaults.now),
        QStringLiteral("date"), defaults.now);
    parser.addOptions({ seed, output, scale, now });
    parser.process(app);

    ShopGenOptions options;
    bool ok = true;
    options.seed = parser.value(seed).toULongLong(&ok);
    if (!ok) {
        std::fprintf(stderr, "invalid seed\n");
        return 2;
    }
    options.scale = parser.value(scale).toDouble(&ok);
    if (!ok) {
        std::fprintf(stderr, "invalid scale\n");
        return 2;
    }
    options.path = parser.value(output);
    options.now = parser.value(now);

    QElapsedTimer timer;
    timer.start();
    ShopGenCounts counts;
    QString error;
    if (!generateShopDatabase(options, &counts, &error)) {
        std::fprintf(stderr, "velarix_benchgen: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("%s: %lld customers, %lld contracts, %lld articles, %lld sales, %lld returns "
                "in %.1f s\n",
        qPrintable(options.path), counts.customers, counts.contracts, counts.articles, counts.sales,
        counts.returns, double(timer.elapsed()) / 1000.0);
    return 0;
}
