#include "intake/anlieferung.h"

Anlieferung::Anlieferung(QWidget *parent)
    : QWidget(parent)
{
}

void Anlieferung::refreshPage() { }

void Anlieferung::openMenuSlot()
{
    emit openMenu();
}

void Anlieferung::loadKunden() { }
