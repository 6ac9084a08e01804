#pragma once

#include <QLineEdit>
#include <QList>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

class QDialog;

// Every modal box and input/file dialog of the program goes through here, so that tests can
// record what the user would have seen and answer in the user's place.
namespace Dialogs {

enum class Kind {
    Information,
    Warning,
    Critical,
    Question,
    Text,
    Item,
    Int,
    Double,
    OpenFile,
    OpenFiles,
    SaveFile,
    Directory,
    Dialog
};

struct Record
{
    Kind kind;
    QString title;
    QString text;
    bool busy = false; // called while the wait cursor was up (app/waitcursor.h)
};

QMessageBox::StandardButton information(QWidget *parent, const QString &title, const QString &text,
    QMessageBox::StandardButtons buttons = QMessageBox::Ok,
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
QMessageBox::StandardButton warning(QWidget *parent, const QString &title, const QString &text,
    QMessageBox::StandardButtons buttons = QMessageBox::Ok,
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
QMessageBox::StandardButton critical(QWidget *parent, const QString &title, const QString &text,
    QMessageBox::StandardButtons buttons = QMessageBox::Ok,
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
QMessageBox::StandardButton question(QWidget *parent, const QString &title, const QString &text,
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No,
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

QString getText(QWidget *parent, const QString &title, const QString &label,
    QLineEdit::EchoMode mode = QLineEdit::Normal, const QString &text = QString(),
    bool *ok = nullptr);
QString getItem(QWidget *parent, const QString &title, const QString &label,
    const QStringList &items, int current = 0, bool editable = true, bool *ok = nullptr);
int getInt(QWidget *parent, const QString &title, const QString &label, int value = 0,
    int min = -2147483647, int max = 2147483647, int step = 1, bool *ok = nullptr);
double getDouble(QWidget *parent, const QString &title, const QString &label, double value = 0,
    double min = -2147483647, double max = 2147483647, int decimals = 1, bool *ok = nullptr);

QString getOpenFileName(QWidget *parent, const QString &caption, const QString &dir = QString(),
    const QString &filter = QString());
QStringList getOpenFileNames(QWidget *parent, const QString &caption,
    const QString &dir = QString(), const QString &filter = QString());
QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir = QString(),
    const QString &filter = QString(), QString *selectedFilter = nullptr);
QString getExistingDirectory(
    QWidget *parent, const QString &caption, const QString &dir = QString());

// Runs one of our own dialogs modally and returns its result code. In test mode it records
// (Dialog, window title, class name) and returns at once: the scripted int answer, else the
// exec hook's result, else QDialog::Rejected.
int exec(QDialog &dialog);

// --- test double -------------------------------------------------------------------------
// In test mode nothing is shown: every call is recorded and answered from the script.
// A message box takes a StandardButton (or, unscripted, its default button, else the
// escape-like button: Ok, Cancel or No). An input dialog takes a value, or an invalid
// QVariant for Cancel; unscripted input dialogs are cancelled. A save dialog may be given
// a QStringList {path, selectedFilter}.
void setTestMode(bool on);
// Lets a test look at (or work in) a dialog while exec() "runs" it; empty to remove.
void setExecHook(const std::function<int(QDialog &)> &hook);
bool testMode();
// Also writes every record to the message output as "Dialog: Kind|title|text": for the real
// program run by a test, which can only read its output.
void setEcho(bool on);
// "Warning", "Critical", "Text" and so on.
QString kindName(Kind kind);
void setNextAnswer(const QVariant &answer);
void clearAnswers();
int pendingAnswers();
QList<Record> records();
QList<Record> takeRecords();
// Arguments of the last call, for checks on the dialog's folder, filter, default button etc.
QVariantMap lastCall();

} // namespace Dialogs
