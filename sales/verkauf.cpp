#include "sales/verkauf.h"

Verkauf::Verkauf(QWidget *parent)
    : QWidget(parent)
{
}

void Verkauf::refreshPage(bool) { }

void Verkauf::openMenuSlot()
{
    emit openMenu();
}

void Verkauf::setAustragen(bool austragen)
{
    m_austragen = austragen;
}
