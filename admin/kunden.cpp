#include "admin/kunden.h"

#include "app/menulabel.h"

#include <QLabel>
#include <QVBoxLayout>

Kunden::Kunden(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(QStringLiteral("Kunden verwalten"), this);
    layout->addWidget(heading);
    layout->addStretch();
    auto *menu = new MenuLabel(QStringLiteral("mit ESC zum Hauptmenü"), this);
    menu->setObjectName(QStringLiteral("label_16"));
    layout->addWidget(menu);
    connect(menu, &MenuLabel::clicked, this, &Kunden::openMenuSlot);
}

void Kunden::refreshPage() { }

void Kunden::openMenuSlot()
{
    emit openMenu();
}
