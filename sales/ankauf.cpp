#include "sales/ankauf.h"

#include "app/menulabel.h"

#include <QLabel>
#include <QVBoxLayout>

Ankauf::Ankauf(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(QStringLiteral("Übersicht der Ankäufe"), this);
    layout->addWidget(heading);
    layout->addStretch();
    auto *menu = new MenuLabel(QStringLiteral("mit ESC zum Hauptmenü"), this);
    menu->setObjectName(QStringLiteral("label_16"));
    layout->addWidget(menu);
    connect(menu, &MenuLabel::clicked, this, &Ankauf::openMenuSlot);
}

void Ankauf::refreshPage() { }

void Ankauf::openMenuSlot()
{
    emit openMenu();
}
