#include "services/services.h"

Services::Services(QWidget *parent)
    : QWidget(parent)
{
}

void Services::refreshPage() { }

void Services::openMenuSlot()
{
    emit openMenu();
}
