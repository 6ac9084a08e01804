#include "benchcases.h"

#include "support/pagehelpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QListWidget>
#include <QSqlQuery>

#include <algorithm>
#include <utility>

namespace {

struct Area
{
    std::string name;
    std::vector<BenchCase> cases;
};

// Filled before main() by the areas' static BenchArea objects, in whatever order the linker
// gives them; a function-local list exists before the first of them registers.
std::vector<Area> &areas()
{
    static std::vector<Area> list;
    return list;
}

} // namespace

BenchArea::BenchArea(const char *area, std::vector<BenchCase> cases)
{
    areas().push_back({ area, std::move(cases) });
}

std::vector<BenchCase> BenchArea::all()
{
    std::vector<Area> sorted = areas();
    std::stable_sort(
        sorted.begin(), sorted.end(), [](const Area &a, const Area &b) { return a.name < b.name; });
    std::vector<BenchCase> cases;
    for (const Area &area : sorted)
        cases.insert(cases.end(), area.cases.begin(), area.cases.end());
    return cases;
}

void clearPrintFolder()
{
    QDir dir(QString::fromLocal8Bit(qgetenv("VELARIX_PRINT_DIR")));
    for (const QString &file : dir.entryList({ QStringLiteral("*.pdf") }, QDir::Files))
        dir.remove(file);
}

int printedJobs()
{
    QDir dir(QString::fromLocal8Bit(qgetenv("VELARIX_PRINT_DIR")));
    return int(dir.entryList({ QStringLiteral("*.pdf") }, QDir::Files).size());
}

qint64 scalar(const char *sql)
{
    QSqlQuery query;
    return query.exec(QLatin1String(sql)) && query.next() ? query.value(0).toLongLong() : -1;
}

bool typeInto(QWidget *field, const QString &text)
{
    if (!field)
        return false;
    field->setFocus();
    pages::type(field, text);
    return true;
}

bool listLaidOut(QListWidget *list)
{
    if (!list)
        return false;
    QElapsedTimer waited;
    waited.start();
    // Asking for the last item's place lays out what is still pending.
    while (list->count() > 0 && !list->visualItemRect(list->item(list->count() - 1)).isValid()) {
        if (waited.elapsed() > 10000)
            return false;
        QCoreApplication::processEvents();
    }
    return true;
}
