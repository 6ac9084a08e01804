#include "support/windowdriver.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QStackedWidget>
#include <QTest>

#include <cstdio>

WindowDriver::~WindowDriver()
{
    window.reset();
}

bool WindowDriver::start()
{
    window = std::make_unique<Velarix>();
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window.get());
}

QObject *WindowDriver::findObject(const char *name, const QMetaObject *type) const
{
    if (!window)
        return nullptr;
    QObject *first = nullptr;
    for (QObject *candidate : window->findChildren<QObject *>(QLatin1String(name))) {
        if (!type->cast(candidate))
            continue;
        bool insidePage = false;
        for (QObject *o = candidate->parent(); o; o = o->parent()) {
            if (o->parent() && o->parent()->objectName() == QLatin1String("stackedWidget")
                && o->objectName() != QLatin1String("swMenu"))
                insidePage = true;
        }
        if (!insidePage)
            return candidate;
        if (!first)
            first = candidate;
    }
    if (!first)
        std::fprintf(stderr, "no widget %s\n", name);
    return first;
}

QWidget *WindowDriver::findField(const char *pageName, const char *name) const
{
    QWidget *onPage = page(pageName);
    QWidget *field = onPage ? onPage->findChild<QWidget *>(QLatin1String(name)) : nullptr;
    if (!field)
        std::fprintf(stderr, "no field %s on the page %s\n", name, pageName);
    return field;
}

QString WindowDriver::page() const
{
    auto *stack = find<QStackedWidget>("stackedWidget");
    return stack && stack->currentWidget() ? stack->currentWidget()->objectName() : QString();
}

QString WindowDriver::enabledKeys() const
{
    QString keys;
    for (const char *name :
        { "shortcut1", "shortcut2", "shortcut3", "shortcut4", "shortcut5", "shortcut6", "shortcut7",
            "shortcut8", "shortcut9", "shortcut0", "shortcutE", "shortcutA", "shortcutB" })
        if (shortcut(name)->isEnabled())
            keys += shortcut(name)->key().toString().toLower();
    return keys;
}

void WindowDriver::key(const QString &k)
{
    if (k == QLatin1String("Esc"))
        QTest::keyClick(window.get(), Qt::Key_Escape);
    else
        QTest::keyClick(window.get(), k.at(0).toLatin1());
}

void WindowDriver::key(Qt::Key k)
{
    QTest::keyClick(window.get(), k);
    QCoreApplication::processEvents();
}

void WindowDriver::click(const char *caption)
{
    QTest::mouseClick(find(caption), Qt::LeftButton);
}

bool WindowDriver::toMenu()
{
    key(Qt::Key_Escape);
    return expectPage("swMenu");
}

bool WindowDriver::enter(Qt::Key menuKey, const char *pageName)
{
    if (!toMenu())
        return false;
    key(menuKey);
    return expectPage(pageName);
}

bool WindowDriver::expectPage(const char *name) const
{
    if (page() == QLatin1String(name))
        return true;
    std::fprintf(stderr, "on the page %s instead of %s\n", qPrintable(page()), name);
    return false;
}

bool WindowDriver::dbOpen()
{
    return QSqlDatabase::database(QSqlDatabase::defaultConnection, false).isOpen();
}
