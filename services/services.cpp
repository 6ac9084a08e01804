#include "services/services.h"

#include "app/menulabel.h"

#include <QLabel>
#include <QVBoxLayout>

Services::Services(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(QStringLiteral("Drucken Ändern Exportieren"), this);
    layout->addWidget(heading);
    layout->addStretch();
    auto *menu = new MenuLabel(QStringLiteral("mit ESC zum Hauptmenü"), this);
    menu->setObjectName(QStringLiteral("label_16"));
    layout->addWidget(menu);
    connect(menu, &MenuLabel::clicked, this, &Services::openMenuSlot);
}

void Services::refreshPage() { }

void Services::openMenuSlot()
{
    emit openMenu();
}
