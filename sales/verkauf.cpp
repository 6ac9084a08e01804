#include "sales/verkauf.h"

#include "app/menulabel.h"

#include <QLabel>
#include <QVBoxLayout>

Verkauf::Verkauf(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    m_title = new QLabel(QStringLiteral("Verkauf"), this);
    m_title->setObjectName(QStringLiteral("label_15"));
    layout->addWidget(m_title);
    layout->addStretch();
    auto *menu = new MenuLabel(QStringLiteral("mit ESC zum Hauptmenü"), this);
    menu->setObjectName(QStringLiteral("label_16"));
    layout->addWidget(menu);
    connect(menu, &MenuLabel::clicked, this, &Verkauf::openMenuSlot);
}

void Verkauf::refreshPage(bool) { }

void Verkauf::openMenuSlot()
{
    emit openMenu();
}

void Verkauf::setAustragen(bool austragen)
{
    if (austragen)
        m_title->setText(QStringLiteral("Austragen"));
    m_austragen = austragen;
}
