#include "payout/abgelaufene.h"

#include "app/menulabel.h"

#include <QLabel>
#include <QVBoxLayout>

Abgelaufene::Abgelaufene(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(QStringLiteral("Abgelaufene Verträge"), this);
    layout->addWidget(heading);
    layout->addStretch();
    auto *menu = new MenuLabel(QStringLiteral("mit ESC zum Hauptmenü"), this);
    menu->setObjectName(QStringLiteral("label_16"));
    layout->addWidget(menu);
    connect(menu, &MenuLabel::clicked, this, &Abgelaufene::openMenuSlot);
}

void Abgelaufene::refreshPage() { }

void Abgelaufene::openMenuSlot()
{
    emit openMenu();
}
