#include "admin/backup.h"

Backup::Backup(QWidget *parent)
    : QWidget(parent)
{
}

void Backup::refreshPage() { }

void Backup::openMenuSlot()
{
    emit openMenu();
}
