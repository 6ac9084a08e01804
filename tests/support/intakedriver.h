#pragma once

#include "intake/anlieferung.h"
#include "support/pagehelpers.h"

// Drives the intake page through its widgets, the way the shop assistant does.
namespace intake {

using namespace pages;

// Types one article and confirms it; a sale price given is typed after "Preis ändern".
inline void addArticle(Anlieferung &page, const QString &bezeichnung, int menge, const QString &ek,
    const QString &vk = QString())
{
    type(edit(page, "lineEditBZ"), bezeichnung);
    type(spin(page, "spinBoxME"), QString::number(menge));
    type(money(page, "doubleSpinBoxEk"), ek);
    if (!vk.isNull()) {
        click(button(page, "pushButtonVk"));
        type(money(page, "doubleSpinBoxVk"), vk);
    }
    click(button(page, "pushButtonNeuArt"));
}

} // namespace intake
