#pragma once

#include "shell/velarix.h"
#include "support/testsupport.h"

#include <QShortcut>
#include <QString>
#include <QWidget>

#include <memory>

// The program as the shop staff have it: the real main window, shown and active, driven by its
// menu keys and captions. Tests make a TestWorkdir first; the benchmark runs it in its prepared
// working folder. A widget that is not there is named on stderr, so a failed case says why.
class WindowDriver
{
public:
    WindowDriver() = default;
    ~WindowDriver();
    WindowDriver(const WindowDriver &) = delete;
    WindowDriver &operator=(const WindowDriver &) = delete;

    std::unique_ptr<Velarix> window;

    // Builds the main window on the working folder's database, shows it and waits until it is
    // active: the menu keys are window shortcuts.
    bool start();

    // The main window's own widget of that name: pages reuse names such as labelVertr.
    template <class T = QWidget> T *find(const char *name) const
    {
        return qobject_cast<T *>(findObject(name, &T::staticMetaObject));
    }
    // A page of the stack by its name ("swArrive"), and a widget on it.
    template <class T = QWidget> T *page(const char *pageName) const { return find<T>(pageName); }
    template <class T = QWidget> T *field(const char *pageName, const char *name) const
    {
        return qobject_cast<T *>(findField(pageName, name));
    }
    // The name of the page shown ("swMenu" for the menu).
    QString page() const;
    QShortcut *shortcut(const char *name) const { return find<QShortcut>(name); }
    // The keys of the enabled menu shortcuts, in menu order ("1234567890eab" on the menu).
    QString enabledKeys() const;

    // One key on the window: "Esc" or a single character.
    void key(const QString &k);
    // One key on the window, then one pass of the event loop, as between two keystrokes.
    void key(Qt::Key k);
    // A mouse click on the main window's own widget of that name (a menu caption).
    void click(const char *caption);

    // Esc to the menu; false (and why on stderr) when the menu is not shown afterwards.
    bool toMenu();
    // From the menu with its key, as the staff enter a page: every entry refreshes the page.
    bool enter(Qt::Key menuKey, const char *pageName);
    // True when that page is shown; otherwise says on stderr which one is.
    bool expectPage(const char *name) const;

    static bool dbOpen();

private:
    QObject *findObject(const char *name, const QMetaObject *type) const;
    QWidget *findField(const char *pageName, const char *name) const;
};

// A fresh working folder (TestWorkdir) and the main window on it, for tests that drive the
// program through its menu. The window goes before the folder and its connection.
namespace detail {
struct WorkdirFirst
{
    explicit WorkdirFirst(bool createSchema)
        : dir(createSchema)
    { }
    TestWorkdir dir;
};
} // namespace detail

struct Shell : detail::WorkdirFirst, WindowDriver
{
    explicit Shell(bool createSchema = true)
        : WorkdirFirst(createSchema)
    { }
};
