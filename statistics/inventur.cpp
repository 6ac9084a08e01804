#include "statistics/inventur.h"

#include "app/dialogs.h"
#include "app/menulabel.h"
#include "app/sql.h"

#include <QLabel>
#include <QVBoxLayout>

Inventur::Inventur(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(QStringLiteral("Statistik Inventur Exportieren"), this);
    layout->addWidget(heading);
    layout->addStretch();
    auto *menu = new MenuLabel(QStringLiteral("mit ESC zum Hauptmenü"), this);
    menu->setObjectName(QStringLiteral("label_16"));
    layout->addWidget(menu);
    connect(menu, &MenuLabel::clicked, this, &Inventur::openMenuSlot);
}

void Inventur::refreshPage() { }

void Inventur::openMenuSlot()
{
    emit openMenu();
}

void Inventur::calculate() { }

void Inventur::uploadInv()
{
    const QString password = readSetting(QStringLiteral("MasterPasswort"), this);
    const QString server = readSetting(QStringLiteral("UploadPath"), this);
    if (password.isEmpty() || server.isEmpty()) {
        Dialogs::critical(this, QStringLiteral("Fehler"),
            QStringLiteral("Bitte erstellen sie ein MasterPasswort und geben Sie "
                           "den Server ein."));
        return;
    }
    // Nothing is sent yet, so nothing may claim the stock went up.
    Dialogs::warning(this, QStringLiteral("Hochladen"),
        QStringLiteral("Das Hochladen des Bestands ist noch nicht verfügbar."));
}
