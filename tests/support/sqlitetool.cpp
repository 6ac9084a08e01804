#include "support/sqlitetool.h"

#include <QDebug>

SqliteTool::SqliteTool(const QString &file)
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(QStringLiteral("sqlite3"), { file });
}

SqliteTool::~SqliteTool()
{
    m_process.closeWriteChannel(); // ends the tool; its open transaction is rolled back
    m_process.waitForFinished();
}

void SqliteTool::kill()
{
    m_process.kill();
    m_process.waitForFinished();
}

bool SqliteTool::run(const QString &statements)
{
    m_process.write(statements.toUtf8() + "\nSELECT 'fertig';\n");
    QByteArray output;
    while (!output.endsWith("fertig\n")) {
        if (!m_process.waitForReadyRead(30000))
            return false;
        output += m_process.readAll();
    }
    if (output != "fertig\n")
        qWarning().noquote() << output;
    return output == "fertig\n";
}
