#include "admin/backup.h"

#include "app/menulabel.h"

#include <QLabel>
#include <QVBoxLayout>

Backup::Backup(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(QStringLiteral("Daten sichern"), this);
    layout->addWidget(heading);
    layout->addStretch();
    auto *menu = new MenuLabel(QStringLiteral("mit ESC zum Hauptmenü"), this);
    menu->setObjectName(QStringLiteral("label_16"));
    layout->addWidget(menu);
    connect(menu, &MenuLabel::clicked, this, &Backup::openMenuSlot);
}

void Backup::refreshPage() { }

void Backup::openMenuSlot()
{
    emit openMenu();
}
