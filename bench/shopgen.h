#pragma once

#include <QString>
#include <QtGlobal>

// Writes the database of a shop that has been open for ten years, for benchmarks. The same
// options give the same file, byte for byte (same build, same SQLite).
struct ShopGenOptions
{
    quint64 seed = 1;
    QString path = QStringLiteral("db.sqlite");
    // 1.0 gives 20,000 customers, 100,000 contracts, 500,000 articles, 1,000,000 sales and
    // 50,000 returns; every count scales with it.
    double scale = 1.0;
    // The shop's "now" as "yyyy-MM-dd" or "yyyy-MM-dd hh:mm:ss"; the data end there and start
    // ten years before. Never the clock, so the file does not depend on the day it is made.
    QString now = QStringLiteral("2026-12-01 18:00:00");
};

struct ShopGenCounts
{
    qint64 customers = 0;
    qint64 contracts = 0;
    qint64 articles = 0;
    qint64 sales = 0;
    qint64 returns = 0;
};

// The row counts the options ask for.
ShopGenCounts plannedCounts(double scale);

// Replaces the file at options.path. Uses Qt's default database connection while it runs and
// removes it afterwards, so nothing else may hold that connection. On failure returns false
// with a message in *error and leaves no half-written file behind.
bool generateShopDatabase(const ShopGenOptions &options, ShopGenCounts *written, QString *error);
