#pragma once

#include <QMainWindow>
#include <QShortcut>
#include <QSqlDatabase>
#include <QTimer>

class Ui_Velarix;

// The program's one window: the menu, the page stack, the shortcuts, the clock and the main
// database connection. All page switching goes through changeWidget().
class Velarix : public QMainWindow
{
    Q_OBJECT
public:
    explicit Velarix(QWidget *parent = nullptr);
    ~Velarix() override;

    // Brings the schema up to date and shows the last contract number on the menu.
    void updateDb();

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    // Without an argument the trigger is the sender: a shortcut or a menu caption.
    void changeWidget(QShortcut *sc = nullptr);
    void updateView();
    void openMenu();
    void shutdown();
    void uploadInv();

private:
    void deactivateShortcuts();
    void activateShortcuts();
    bool passwordAccepted(const QString &setting, const QString &password);
    void enterBackup();
    void fitStackToPage();
    void scrollToFocus(QWidget *focused);

    Ui_Velarix *ui;
    QShortcut shortcutEsc;
    QShortcut shortcutEscSettings;
    QShortcut shortcut1;
    QShortcut shortcut2;
    QShortcut shortcut4;
    QShortcut shortcut3;
    QShortcut shortcut0;
    QShortcut shortcut9;
    QShortcut shortcut8;
    QShortcut shortcut5;
    QShortcut shortcut6;
    QShortcut shortcut7;
    QShortcut shortcutA;
    QShortcut shortcutB;
    QShortcut shortcutE;
    QTimer clockTimer;
    QSqlDatabase db;
    bool cameraStarted = false;
};
