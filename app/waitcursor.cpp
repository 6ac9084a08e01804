#include "app/waitcursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace {
int g_depth = 0;
}

WaitCursor::WaitCursor()
{
    ++g_depth;
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

WaitCursor::~WaitCursor()
{
    QGuiApplication::restoreOverrideCursor();
    --g_depth;
}

bool WaitCursor::active()
{
    return g_depth > 0;
}
