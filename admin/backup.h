#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class QSqlError;
class Ui_Backup;

// Backup, restore and reset of "db.sqlite". The main window closes its connection while this
// page is shown; the page's own steps run on connections of their own.
class Backup : public QWidget
{
    Q_OBJECT
public:
    explicit Backup(QWidget *parent = nullptr);
    ~Backup() override;

    // Counts and the master password, read while the main window's connection is still open.
    // Not readable (another program holds the database): nothing is read; a lock met on the
    // way stops the reads there, the same. A count not read shows empty; a password not read
    // is read again when restore or reset is pressed.
    void refreshPage(bool readable = true);

    // The folder proposed for backups; the main window sets it before every entry.
    QString pfadBackup;

    // Damaged: the database fails SQLite's check, so no sound copy of it can be made.
    enum class Outcome { Saved, NotSaved, Damaged };

    // Told the path of a backup's copy once it is written and carries its date, before it is
    // checked: the tests step in there. None by default.
    static void setCopyObserver(std::function<void(const QString &copy)> observer);

signals:
    void openMenu();

public slots:
    void openMenuSlot();
    // Copies the database; menu asks for the menu afterwards. False when nothing was saved.
    bool sichern(bool menu = true);
    void wiederherstellen();
    void resetDb();

private:
    Outcome backup(bool menu);
    // The stored master password is known: read at the entry, or else now, on a connection of
    // its own; false with the driver's error when it still cannot be read.
    bool masterPasswordRead(QSqlError *error);
    // The prompt, and the entry compared with the stored password.
    bool masterPasswordAccepted();
    QString folder() const;

    Ui_Backup *ui;
    QString masterPasswort;
    bool masterPasswortRead = false; // since the last entry
};
