#include "app/clicklabel.h"

ClickLabel::ClickLabel(QWidget *parent)
    : QLabel(parent)
{ }

void ClickLabel::mousePressEvent(QMouseEvent *)
{
    emit clicked();
}

MenuLabel::MenuLabel(QWidget *parent)
    : QLabel(parent)
{ }

MenuLabel::MenuLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{ }

void MenuLabel::mousePressEvent(QMouseEvent *)
{
    emit clicked();
}
