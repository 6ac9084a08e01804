#include "app/dialogs.h"

#include "app/waitcursor.h"

#include <QCursor>
#include <QDebug>
#include <QDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>

namespace Dialogs {
namespace {
bool g_testMode = false;
bool g_echo = false;
QList<QVariant> g_answers;
QList<Record> g_records;
QVariantMap g_lastCall;
std::function<int(QDialog &)> g_execHook;

// A box met on the way of a long action waits for the user: it shows the normal cursor.
class NormalCursor
{
public:
    NormalCursor()
        : m_waiting(WaitCursor::active())
    {
        if (m_waiting)
            QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    }
    ~NormalCursor()
    {
        if (m_waiting)
            QGuiApplication::restoreOverrideCursor();
    }
    NormalCursor(const NormalCursor &) = delete;
    NormalCursor &operator=(const NormalCursor &) = delete;

private:
    bool m_waiting;
};

void record(Kind kind, const QString &title, const QString &text, const QVariantMap &call)
{
    g_records.append({ kind, title, text, WaitCursor::active() });
    if (g_echo)
        qInfo().noquote() << QStringLiteral("Dialog: %1|%2|%3").arg(kindName(kind), title, text);
    g_lastCall = call;
    g_lastCall.insert("title", title);
    g_lastCall.insert("text", text);
}

bool takeAnswer(QVariant *answer)
{
    if (g_answers.isEmpty())
        return false;
    *answer = g_answers.takeFirst();
    return true;
}

QMessageBox::StandardButton unscriptedButton(
    QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    if (defaultButton != QMessageBox::NoButton)
        return defaultButton;
    for (auto b : { QMessageBox::Ok, QMessageBox::Cancel, QMessageBox::No }) {
        if (buttons & b)
            return b;
    }
    return QMessageBox::NoButton;
}

QMessageBox::StandardButton box(Kind kind, QMessageBox::Icon icon, QWidget *parent,
    const QString &title, const QString &text, QMessageBox::StandardButtons buttons,
    QMessageBox::StandardButton defaultButton)
{
    if (g_testMode) {
        record(kind, title, text,
            { { "buttons", int(buttons) }, { "defaultButton", int(defaultButton) } });
        QVariant answer;
        if (takeAnswer(&answer))
            return QMessageBox::StandardButton(answer.toInt());
        return unscriptedButton(buttons, defaultButton);
    }
    const NormalCursor normal;
    QMessageBox messageBox(icon, title, text, buttons, parent);
    messageBox.setDefaultButton(defaultButton);
    return QMessageBox::StandardButton(messageBox.exec());
}
} // namespace

QMessageBox::StandardButton information(QWidget *parent, const QString &title, const QString &text,
    QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    return box(
        Kind::Information, QMessageBox::Information, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton warning(QWidget *parent, const QString &title, const QString &text,
    QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    return box(Kind::Warning, QMessageBox::Warning, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton critical(QWidget *parent, const QString &title, const QString &text,
    QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    return box(Kind::Critical, QMessageBox::Critical, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton question(QWidget *parent, const QString &title, const QString &text,
    QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    return box(Kind::Question, QMessageBox::Question, parent, title, text, buttons, defaultButton);
}

QString getText(QWidget *parent, const QString &title, const QString &label,
    QLineEdit::EchoMode mode, const QString &text, bool *ok)
{
    if (g_testMode) {
        record(Kind::Text, title, label, { { "echoMode", int(mode) }, { "initial", text } });
        QVariant answer;
        const bool accepted = takeAnswer(&answer) && answer.isValid();
        if (ok)
            *ok = accepted;
        return accepted ? answer.toString() : QString();
    }
    const NormalCursor normal;
    return QInputDialog::getText(parent, title, label, mode, text, ok);
}

QString getItem(QWidget *parent, const QString &title, const QString &label,
    const QStringList &items, int current, bool editable, bool *ok)
{
    if (g_testMode) {
        record(Kind::Item, title, label, { { "items", items }, { "current", current } });
        QVariant answer;
        const bool accepted = takeAnswer(&answer) && answer.isValid();
        if (ok)
            *ok = accepted;
        return accepted ? answer.toString() : QString();
    }
    const NormalCursor normal;
    return QInputDialog::getItem(parent, title, label, items, current, editable, ok);
}

int getInt(QWidget *parent, const QString &title, const QString &label, int value, int min, int max,
    int step, bool *ok)
{
    if (g_testMode) {
        record(Kind::Int, title, label, { { "value", value }, { "min", min }, { "max", max } });
        QVariant answer;
        const bool accepted = takeAnswer(&answer) && answer.isValid();
        if (ok)
            *ok = accepted;
        return accepted ? answer.toInt() : value;
    }
    const NormalCursor normal;
    return QInputDialog::getInt(parent, title, label, value, min, max, step, ok);
}

double getDouble(QWidget *parent, const QString &title, const QString &label, double value,
    double min, double max, int decimals, bool *ok)
{
    if (g_testMode) {
        record(Kind::Double, title, label, { { "value", value }, { "min", min }, { "max", max } });
        QVariant answer;
        const bool accepted = takeAnswer(&answer) && answer.isValid();
        if (ok)
            *ok = accepted;
        return accepted ? answer.toDouble() : value;
    }
    const NormalCursor normal;
    return QInputDialog::getDouble(parent, title, label, value, min, max, decimals, ok);
}

QString getOpenFileName(
    QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    if (g_testMode) {
        record(Kind::OpenFile, caption, QString(), { { "dir", dir }, { "filter", filter } });
        QVariant answer;
        return takeAnswer(&answer) ? answer.toString() : QString();
    }
    const NormalCursor normal;
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QStringList getOpenFileNames(
    QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    if (g_testMode) {
        record(Kind::OpenFiles, caption, QString(), { { "dir", dir }, { "filter", filter } });
        QVariant answer;
        return takeAnswer(&answer) ? answer.toStringList() : QStringList();
    }
    const NormalCursor normal;
    return QFileDialog::getOpenFileNames(parent, caption, dir, filter);
}

QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir,
    const QString &filter, QString *selectedFilter)
{
    if (g_testMode) {
        record(Kind::SaveFile, caption, QString(), { { "dir", dir }, { "filter", filter } });
        QVariant answer;
        if (!takeAnswer(&answer))
            return QString();
        const QStringList parts = answer.toStringList();
        if (selectedFilter)
            *selectedFilter = parts.value(1);
        return parts.value(0);
    }
    const NormalCursor normal;
    return QFileDialog::getSaveFileName(parent, caption, dir, filter, selectedFilter);
}

QString getExistingDirectory(QWidget *parent, const QString &caption, const QString &dir)
{
    if (g_testMode) {
        record(Kind::Directory, caption, QString(), { { "dir", dir } });
        QVariant answer;
        return takeAnswer(&answer) ? answer.toString() : QString();
    }
    const NormalCursor normal;
    return QFileDialog::getExistingDirectory(parent, caption, dir);
}

int exec(QDialog &dialog)
{
    if (g_testMode) {
        record(Kind::Dialog, dialog.windowTitle(),
            QString::fromLatin1(dialog.metaObject()->className()), {});
        QVariant answer;
        if (takeAnswer(&answer))
            return answer.toInt();
        return g_execHook ? g_execHook(dialog) : int(QDialog::Rejected);
    }
    const NormalCursor normal;
    return dialog.exec();
}

void setExecHook(const std::function<int(QDialog &)> &hook)
{
    g_execHook = hook;
}

void setTestMode(bool on)
{
    g_testMode = on;
}

bool testMode()
{
    return g_testMode;
}

void setEcho(bool on)
{
    g_echo = on;
}

QString kindName(Kind kind)
{
    static const char *const names[] = { "Information", "Warning", "Critical", "Question", "Text",
        "Item", "Int", "Double", "OpenFile", "OpenFiles", "SaveFile", "Directory", "Dialog" };
    return QLatin1String(names[int(kind)]);
}

void setNextAnswer(const QVariant &answer)
{
    g_answers.append(answer);
}

void clearAnswers()
{
    g_answers.clear();
}

int pendingAnswers()
{
    return g_answers.size();
}

QList<Record> records()
{
    return g_records;
}

QList<Record> takeRecords()
{
    QList<Record> taken;
    taken.swap(g_records);
    return taken;
}

QVariantMap lastCall()
{
    return g_lastCall;
}

} // namespace Dialogs
