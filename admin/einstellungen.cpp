#include "admin/einstellungen.h"

Einstellungen::Einstellungen(QWidget *parent)
    : QWidget(parent)
{
}

void Einstellungen::refreshPage() { }

void Einstellungen::openMenuSlot()
{
    emit openMenu();
}
