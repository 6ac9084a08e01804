#include "payout/auszahlung.h"

#include "app/menulabel.h"

#include <QLabel>
#include <QVBoxLayout>

Auszahlung::Auszahlung(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(QStringLiteral("Auszahlen"), this);
    layout->addWidget(heading);
    layout->addStretch();
    auto *menu = new MenuLabel(QStringLiteral("mit ESC zum Hauptmenü"), this);
    menu->setObjectName(QStringLiteral("label_16"));
    layout->addWidget(menu);
    connect(menu, &MenuLabel::clicked, this, &Auszahlung::openMenuSlot);
}

void Auszahlung::refreshPage() { }

void Auszahlung::openMenuSlot()
{
    emit openMenu();
}
