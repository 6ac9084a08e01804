#pragma once

#include <QString>
#include <QTimer>
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
    void refreshPage();

    // The folder proposed for backups; the main window sets it before every entry.
    QString pfadBackup;

    // Damaged: the database fails SQLite's check, so no sound copy of it can be made.
    enum class Outcome { Saved, NotSaved, Damaged };

    // A failed backup never counts as today's. Its date goes back as soon as the database takes
    // the write; until then the date it replaced stands for the stored one. True while that is
    // so, with that date (empty when there was none); the write is tried once more first.
    bool unwrittenBackupDate(QString *date);

    // Told the path of a backup's copy once it is written, before it is checked: the tests
    // step in there. None by default.
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
    struct BackupDate
    {
        bool present = false;
        QString value;
    };
    // Writes the setting on a connection of its own; previous, when given, gets what was
    // stored. False when the database could not be read or written.
    // error, when given, gets the failed statement's error. Quiet: a failure goes to the debug
    // output only, for the caller that has already shown the one box of its failure.
    // wait: for another program's lock, as long as the driver waits; else fail at once.
    bool writeBackupDate(const BackupDate &value, BackupDate *previous = nullptr,
        QSqlError *error = nullptr, bool quiet = false, bool wait = true);
    // Writes the older date back after a failed backup, or keeps trying.
    void putBack(const BackupDate &previous, bool quiet);
    void retryPutBack();
    Outcome backup(bool menu);
    bool masterPasswordAccepted();
    QString folder() const;

    Ui_Backup *ui;
    QString masterPasswort;
    bool masterPasswortRead = false; // at the last entry
    // A failed backup's date that still waits to be replaced by the one before it.
    bool putBackPending = false;
    BackupDate dateToPutBack;
    QTimer putBackTimer;
};
