#include "app/menulabel.h"

#include <QMouseEvent>

MenuLabel::MenuLabel(QWidget *parent)
    : QLabel(parent)
{ }

MenuLabel::MenuLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{ }

MenuLabel::~MenuLabel() = default;

void MenuLabel::mousePressEvent(QMouseEvent *event)
{
    event->accept(); // handled here, not by the parent
    emit clicked();
}
