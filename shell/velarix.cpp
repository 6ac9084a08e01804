#include "shell/velarix.h"

#include "app/database.h"
#include "app/dialogs.h"
#include "app/sql.h"
#include "app/waitcursor.h"
#include "platform/platformactions.h"
#include "shell/stylesheet.h"
#include "ui_velarix.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDebug>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSqlError>
#include <QSqlQuery>
#include <QStackedWidget>
#include <QTextEdit>
#include <QTime>
#include <functional>

namespace {

const char *const kVersion = "0.1";

// "Dec 10 2026" from the compiler, shown the way the shop reads dates.
QString buildDate()
{
    const QString compiled = QString::fromLatin1(__DATE__).simplified();
    const QDate date = QDate::fromString(compiled, QStringLiteral("MMM d yyyy"));
    return date.isValid() ? date.toString(QStringLiteral("dd.MM.yyyy")) : compiled;
}

bool takesTyping(const QWidget *w)
{
    return qobject_cast<const QComboBox *>(w) || qobject_cast<const QAbstractItemView *>(w)
        || qobject_cast<const QLineEdit *>(w) || qobject_cast<const QAbstractSpinBox *>(w)
        || qobject_cast<const QTextEdit *>(w) || qobject_cast<const QPlainTextEdit *>(w);
}

// The page keys are window shortcuts, and a shortcut comes before the focused widget. A
// letter belongs to a widget that takes typing (a combo box or a list jumps to the entry, a
// table starts an edit), Esc to an open popup (a combo box's list): claiming the key for them
// here keeps the page and what was entered on it.
class FocusKeys : public QObject
{
public:
    explicit FocusKeys(QWidget *window)
        : QObject(window)
        , m_window(window)
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::ShortcutOverride || QApplication::activeWindow() != m_window
            || !focusTakes(*static_cast<QKeyEvent *>(event)))
            return QObject::eventFilter(watched, event);
        event->accept();
        return true;
    }

private:
    static bool focusTakes(const QKeyEvent &key)
    {
        if (key.key() == Qt::Key_Escape)
            return QApplication::activePopupWidget() != nullptr;
        if (key.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))
            return false;
        return !key.text().isEmpty() && key.text().at(0).isPrint()
            && takesTyping(QApplication::focusWidget());
    }

    QWidget *m_window;
};

} // namespace

Velarix::Velarix(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui_Velarix)
    , shortcutEsc(this)
    , shortcutEscSettings(this)
    , shortcut1(this)
    , shortcut2(this)
    , shortcut4(this)
    , shortcut3(this)
    , shortcut0(this)
    , shortcut9(this)
    , shortcut8(this)
    , shortcut5(this)
    , shortcut6(this)
    , shortcut7(this)
    , shortcutA(this)
    , shortcutB(this)
    , shortcutE(this)
{
    ui->setupUi(this);
    ui->label_12->setText(QStringLiteral("Velarix Version %1, erstellt am %2")
                              .arg(QLatin1String(kVersion), buildDate()));

    // The counter pages are worked with the mouse as well: larger buttons there.
    for (QWidget *page : { static_cast<QWidget *>(ui->swSell),
             static_cast<QWidget *>(ui->swAustragen), static_cast<QWidget *>(ui->swService) }) {
        for (QPushButton *button : page->findChildren<QPushButton *>()) {
            QFont font = button->font();
            font.setPointSize(12);
            button->setFont(font);
        }
    }

    setWindowState(windowState() | Qt::WindowFullScreen);
    ui->centralWidget->setStyleSheet(QString::fromUtf8(::styleSheet));

    connect(ui->label_beenden, &ClickLabel::clicked, this, &QWidget::close);
    connect(ui->pushButtonUpload, &QPushButton::clicked, this, &Velarix::uploadInv);

    db = openDatabase();
    ensureSchema(this);
    new FocusKeys(this);
    // The intake page reads its customers when it is first entered, not here: start-up
    // stays as quick and as small at twenty years of customers as at one.

    const struct
    {
        QShortcut *shortcut;
        const char *name;
        QKeySequence key;
    } keys[] = {
        { &shortcutE, "shortcutE", QKeySequence(Qt::Key_E) },
        { &shortcutEsc, "shortcutEsc", QKeySequence(Qt::Key_Escape) },
        { &shortcutEscSettings, "shortcutEscSettings", QKeySequence(Qt::Key_Escape) },
        { &shortcut1, "shortcut1", QKeySequence(Qt::Key_1) },
        { &shortcut2, "shortcut2", QKeySequence(Qt::Key_2) },
        { &shortcut3, "shortcut3", QKeySequence(Qt::Key_3) },
        { &shortcutA, "shortcutA", QKeySequence(Qt::Key_A) },
        { &shortcutB, "shortcutB", QKeySequence(Qt::Key_B) },
        { &shortcut4, "shortcut4", QKeySequence(Qt::Key_4) },
        { &shortcut5, "shortcut5", QKeySequence(Qt::Key_5) },
        { &shortcut6, "shortcut6", QKeySequence(Qt::Key_6) },
        { &shortcut7, "shortcut7", QKeySequence(Qt::Key_7) },
        { &shortcut8, "shortcut8", QKeySequence(Qt::Key_8) },
        { &shortcut9, "shortcut9", QKeySequence(Qt::Key_9) },
        { &shortcut0, "shortcut0", QKeySequence(Qt::Key_0) },
    };
    for (const auto &k : keys) {
        k.shortcut->setObjectName(QLatin1String(k.name));
        k.shortcut->setKey(k.key);
    }
    connect(ui->label_shutdown, &ClickLabel::clicked, this, &Velarix::shutdown);
    connect(&shortcutE, &QShortcut::activated, this, &Velarix::shutdown);

    // String connections: changeWidget's argument has a default, and it reads sender().
    connect(&shortcutEsc, SIGNAL(activated()), this, SLOT(changeWidget()));
    connect(
        &shortcutEscSettings, &QShortcut::activated, ui->swSettings, &Einstellungen::openMenuSlot);
    for (QShortcut *sc : { &shortcut1, &shortcut2, &shortcut4, &shortcut3, &shortcut6, &shortcut9,
             &shortcut8, &shortcut5, &shortcut0, &shortcut7, &shortcutA, &shortcutB })
        connect(sc, SIGNAL(activated()), this, SLOT(changeWidget()));
    for (ClickLabel *caption :
        { ui->label_arrive, ui->label_services, ui->label_sellout, ui->label_sell, ui->label_backup,
            ui->label_inventur, ui->label_abgelaufene, ui->label_kunden, ui->label_settings,
            ui->label_ankauf, ui->label_austragen, ui->label_image })
        connect(caption, SIGNAL(clicked()), this, SLOT(changeWidget()));

    connect(ui->swArrive, &Anlieferung::openMenu, this, &Velarix::openMenu);
    connect(ui->swService, &Services::openMenu, this, &Velarix::openMenu);
    connect(ui->swSellout, &Auszahlung::openMenu, this, &Velarix::openMenu);
    connect(ui->swSell, &Verkauf::openMenu, this, &Velarix::openMenu);
    connect(ui->swBackup, &Backup::openMenu, this, &Velarix::openMenu);
    connect(ui->swInventur, &Inventur::openMenu, this, &Velarix::openMenu);
    connect(ui->swAbgelaufene, &Abgelaufene::openMenu, this, &Velarix::openMenu);
    connect(ui->swKunden, &Kunden::openMenu, this, &Velarix::openMenu);
    connect(ui->swSettings, &Einstellungen::openMenu, this, &Velarix::openMenu);
    connect(ui->swAnkauf, &Ankauf::openMenu, this, &Velarix::openMenu);
    connect(ui->swAustragen, &Verkauf::openMenu, this, &Velarix::openMenu);

    // The stack sits in a scroll area: a page that needs more room than the screen has
    // scrolls instead of being cut off.
    connect(ui->stackedWidget, &QStackedWidget::currentChanged, this, &Velarix::fitStackToPage);
    fitStackToPage();
    connect(qApp, &QApplication::focusChanged, this,
        [this](QWidget *, QWidget *now) { scrollToFocus(now); });

    updateView();
    clockTimer.setInterval(1000);
    clockTimer.start();
    connect(&clockTimer, &QTimer::timeout, this, &Velarix::updateView);

    updateDb();
}

Velarix::~Velarix()
{
    // The widgets outlive ui by a little: a last page switch or focus change must not reach it.
    disconnect(qApp, nullptr, this, nullptr);
    disconnect(ui->stackedWidget, nullptr, this, nullptr);
    delete ui;
    db.close();
}

void Velarix::updateDb()
{
    // Another program may hold the database for long: one short wait, and one box for it.
    const LockWait wait(db, kShortLockWaitMs);
    QSqlError error;
    if (!upgradeSchema(&error)) {
        showSqlError(error, this);
        return;
    }
    QSqlQuery query;
    if (execOrWarn(query, QStringLiteral("SELECT MAX(ID) FROM Vertrag;"), this) && query.next())
        ui->labelVertr->setText(QStringLiteral("Letzter Vertrag: ") + query.value(0).toString());
}

void Velarix::updateView()
{
    ui->labelDate->setText(
        QStringLiteral("Datum: ") + QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
    ui->labelTime->setText(
        QStringLiteral("Uhrzeit: ") + QTime::currentTime().toString(QStringLiteral("hh:mm:ss")));
}

void Velarix::openMenu()
{
    changeWidget(&shortcutEsc);
}

void Velarix::deactivateShortcuts()
{
    qDebug("deactive");
    for (QShortcut *sc : { &shortcut1, &shortcut2, &shortcut3, &shortcut4, &shortcut5, &shortcut6,
             &shortcut7, &shortcut8, &shortcut9, &shortcut0, &shortcutE })
        sc->setEnabled(false);
    setFocus();
}

void Velarix::activateShortcuts()
{
    qDebug("active");
    for (QShortcut *sc : { &shortcut1, &shortcut2, &shortcut3, &shortcut4, &shortcut5, &shortcut6,
             &shortcut7, &shortcut8, &shortcut9, &shortcut0, &shortcutE })
        sc->setEnabled(true);
    setFocus();
}

bool Velarix::passwordAccepted(const QString &setting, const QString &password)
{
    bool ok = false;
    const QString entered = Dialogs::getText(this, setting,
        QStringLiteral("Bitte geben Sie das %1 ein, um fortzufahren:").arg(setting),
        QLineEdit::Password, QString(), &ok);
    return ok && entered == password;
}

void Velarix::enterBackup()
{
    {
        QSqlQuery query;
        const bool read = execOrWarn(
            query, QStringLiteral("SELECT Wert FROM Systemdaten WHERE Name = 'PfadBackup';"), this);
        if (read && query.next())
            ui->swBackup->pfadBackup = query.value(0).toString();
        ui->swBackup->refreshPage(read || !isLockError(query.lastError()));
    }
    // The backup page copies and replaces the database file: no connection may hold it.
    db.close();
    ui->stackedWidget->setCurrentWidget(ui->swBackup);
}

void Velarix::fitStackToPage()
{
    // A stack asks for the room of its largest page; only the page shown may count, or every
    // page would scroll as far as the widest one needs.
    QStackedWidget *stack = ui->stackedWidget;
    for (int i = 0; i < stack->count(); ++i) {
        QWidget *page = stack->widget(i);
        page->setSizePolicy(page == stack->currentWidget()
                ? QSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred)
                : QSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored));
    }
    // Sized at once, not on the next pass of the event loop: page entry moves the focus next.
    QEvent relayout(QEvent::LayoutRequest);
    QCoreApplication::sendEvent(ui->scrollArea, &relayout);
    ui->scrollArea->horizontalScrollBar()->setValue(0);
    ui->scrollArea->verticalScrollBar()->setValue(0);
}

void Velarix::scrollToFocus(QWidget *focused)
{
    // Keyboard work: the field the focus moves to is shown. Not on a mouse press, which only
    // reaches what is shown already, and whose release must land where it was pressed.
    if (!focused || !ui->stackedWidget->isAncestorOf(focused)
        || QGuiApplication::mouseButtons() != Qt::NoButton)
        return;
    // The whole field, not just its text cursor as ensureWidgetVisible would.
    const QRect field(focused->mapTo(ui->stackedWidget, QPoint()), focused->size());
    const int margin = 20;
    ui->scrollArea->ensureVisible(field.center().x(), field.center().y(),
        field.width() / 2 + margin, field.height() / 2 + margin);
}

void Velarix::changeWidget(QShortcut *sc)
{
    shortcutEsc.setEnabled(true);
    shortcutEscSettings.setEnabled(false);

    if (!db.isOpen())
        db = openDatabase();

    QShortcut *triggerShortcut = sc;
    QObject *triggerCaption = nullptr;
    if (!triggerShortcut) {
        triggerShortcut = qobject_cast<QShortcut *>(sender());
        if (!triggerShortcut)
            triggerCaption = qobject_cast<QWidget *>(sender());
    }

    if (triggerShortcut == &shortcutEsc) {
        activateShortcuts();
        ui->stackedWidget->setCurrentWidget(ui->swMenu);
        updateDb();
        return;
    }
    deactivateShortcuts();
    // Another program's lock: the entry waits for it once and briefly, under the wait cursor,
    // and says so in one box; the page then shows what could be read, or the menu stays.
    const LockWait wait(db, kShortLockWaitMs);

    // Both read on every switch to a guarded page; a missing row leaves a null password, which
    // an empty entry matches. A password that cannot be read keeps its gate closed. The menu
    // and the other pages need neither, and are not kept waiting for them under another
    // program's lock.
    bool passwortRead = false, masterPasswortRead = false;
    QString passwort, masterPasswort;
    const auto readPasswords = [&] {
        passwort = readSetting(QStringLiteral("Passwort"), this, nullptr, &passwortRead);
        masterPasswort
            = readSetting(QStringLiteral("MasterPasswort"), this, nullptr, &masterPasswortRead);
    };

    const auto show = [this](QWidget *page) { ui->stackedWidget->setCurrentWidget(page); };
    struct Row
    {
        QShortcut *shortcut;
        QObject *caption;
        const QString *password;
        const bool *passwordRead;
        const char *setting;
        std::function<void()> action;
    };
    const Row rows[] = {
        { &shortcut1, ui->label_arrive, nullptr, nullptr, nullptr,
            [&] {
                show(ui->swArrive);
                ui->swArrive->refreshPage();
            } },
        { &shortcut2, ui->label_services, nullptr, nullptr, nullptr,
            [&] {
                show(ui->swService);
                ui->swService->refreshPage();
            } },
        { &shortcut4, ui->label_sellout, nullptr, nullptr, nullptr,
            [&] {
                show(ui->swSellout);
                ui->swSellout->refreshPage();
            } },
        { &shortcut3, ui->label_sell, nullptr, nullptr, nullptr,
            [&] {
                show(ui->swSell);
                ui->swSell->refreshPage(true);
            } },
        { &shortcutA, ui->label_austragen, nullptr, nullptr, nullptr,
            [&] {
                show(ui->swAustragen);
                ui->swAustragen->refreshPage(true);
                ui->swAustragen->setAustragen(true);
            } },
        { &shortcutB, ui->label_image, nullptr, nullptr, nullptr,
            [&] {
                Platform::startCamera();
                cameraStarted = true;
                close();
            } },
        { &shortcut9, ui->label_inventur, &passwort, &passwortRead, "Passwort",
            [&] {
                show(ui->swInventur);
                ui->swInventur->refreshPage();
            } },
        { &shortcut5, ui->label_kunden, nullptr, nullptr, nullptr,
            [&] {
                show(ui->swKunden);
                ui->swKunden->refreshPage();
            } },
        { &shortcut8, ui->label_abgelaufene, &passwort, &passwortRead, "Passwort",
            [&] {
                show(ui->swAbgelaufene);
                ui->swAbgelaufene->refreshPage();
            } },
        { &shortcut7, ui->label_ankauf, &passwort, &passwortRead, "Passwort",
            [&] {
                show(ui->swAnkauf);
                ui->swAnkauf->refreshPage();
            } },
        { &shortcut6, ui->label_backup, nullptr, nullptr, nullptr, [&] { enterBackup(); } },
        { &shortcut0, ui->label_settings, &masterPasswort, &masterPasswortRead, "MasterPasswort",
            [&] {
                show(ui->swSettings);
                shortcutEsc.setEnabled(false);
                shortcutEscSettings.setEnabled(true);
                ui->swSettings->refreshPage();
            } },
    };

    for (const Row &row : rows) {
        if ((triggerShortcut && row.shortcut == triggerShortcut)
            || (triggerCaption && row.caption == triggerCaption)) {
            if (row.password) {
                readPasswords();
                if (!*row.passwordRead
                    || !passwordAccepted(QLatin1String(row.setting), *row.password)) {
                    changeWidget(&shortcutEsc); // refused quietly: back to the menu
                    return;
                }
            }
            row.action();
            return;
        }
    }
}

void Velarix::closeEvent(QCloseEvent *event)
{
    if (cameraStarted) {
        event->accept();
        return;
    }
    if (!db.isOpen())
        db = openDatabase();

    const QDate today = QDate::currentDate();
    QDate lastBackup = today.addDays(-10);
    // Only a backup that was made stores its date, so the stored one is true. Another
    // program's lock costs a short wait, and then the question as for no date.
    bool found = false;
    QString stored;
    {
        const LockWait wait(db, kShortLockWaitMs);
        stored = readSetting(QStringLiteral("BackupDate"), this, &found);
    }
    if (found)
        lastBackup = QDate::fromString(stored, QStringLiteral("dd.MM.yyyy"));

    // An unreadable date counts as no backup at all.
    if (!lastBackup.isValid() || lastBackup < today) {
        const auto answer = Dialogs::question(this, QStringLiteral("Warnung"),
            QStringLiteral("Die Daten wurden heute noch nicht gesichert.\nWollen Sie sichern?"),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
        if (answer == QMessageBox::Yes) {
            event->ignore();
            changeWidget(&shortcut6);
            return;
        }
    }
    event->accept();
}

void Velarix::shutdown()
{
    // A close refused for a backup first must not power the machine off.
    if (close())
        Platform::startShutdown();
}

void Velarix::uploadInv()
{
    const WaitCursor wait;
    QElapsedTimer timer;
    timer.start();
    // The stock as of now, whatever period the statistics page shows.
    ui->swInventur->calculateUpload();
    qDebug().noquote() << QStringLiteral("calc took: ") + QString::number(timer.elapsed());

    QElapsedTimer uploadTimer;
    uploadTimer.start();
    ui->swInventur->uploadInv();
    qDebug().noquote() << QStringLiteral("upload took: ") + QString::number(uploadTimer.elapsed());
}
