#pragma once

#include <QProcess>
#include <QString>

// The sqlite3 tool on a database, as a second program beside ours: what it is given runs at
// once, and a transaction it begins stays open until the tool is gone.
class SqliteTool
{
public:
    explicit SqliteTool(const QString &file);
    ~SqliteTool();
    SqliteTool(const SqliteTool &) = delete;
    SqliteTool &operator=(const SqliteTool &) = delete;

    // Ends the tool as a crash or a power cut would, in the middle of what it was doing.
    void kill();
    // Runs the statements; false when the tool reports anything.
    bool run(const QString &statements);

private:
    QProcess m_process;
};
