#include "app/velarix.h"

#include "app/database.h"
#include "app/sql.h"

#include <QSqlDatabase>
#include <QSqlQuery>

Velarix::Velarix(QWidget *parent)
    : QMainWindow(parent)
{
    openDatabase();
    ensureSchema();
    updateDb();
}

Velarix::~Velarix()
{
    QSqlDatabase::database(QSqlDatabase::defaultConnection, false).close();
}

void Velarix::updateDb()
{
    upgradeSchema();
    QSqlQuery query;
    execOrWarn(query, QStringLiteral("SELECT MAX(ID) FROM Vertrag;"), this);
}
