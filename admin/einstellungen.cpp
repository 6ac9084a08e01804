#include "admin/einstellungen.h"

#include "app/dialogs.h"
#include "app/menulabel.h"

#include <QLabel>
#include <QVBoxLayout>

Einstellungen::Einstellungen(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(QStringLiteral("Einstellungen"), this);
    layout->addWidget(heading);
    layout->addStretch();
    auto *menu = new MenuLabel(QStringLiteral("mit ESC zum Hauptmenü"), this);
    menu->setObjectName(QStringLiteral("label_16"));
    layout->addWidget(menu);
    connect(menu, &MenuLabel::clicked, this, &Einstellungen::openMenuSlot);
}

void Einstellungen::refreshPage()
{
    saved = false;
}

void Einstellungen::openMenuSlot()
{
    if (!saved
        && Dialogs::question(this, QStringLiteral("Speichern"),
               QStringLiteral("Haben Sie Änderungen vorgenommen und wollen Sie "
                              "speichern?"),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
            == QMessageBox::Yes)
        save();
    saved = true;
    emit openMenu();
}

void Einstellungen::save() { }
