#include "shell/clicklabel.h"

#include <QMouseEvent>

ClickLabel::ClickLabel(QWidget *parent)
    : QLabel(parent)
{ }

ClickLabel::ClickLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{ }

ClickLabel::~ClickLabel() = default;

void ClickLabel::mousePressEvent(QMouseEvent *event)
{
    event->accept(); // handled here, not by the parent
    emit clicked();
}
