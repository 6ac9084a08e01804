#include "app/categories.h"

#include "app/textcodec.h"

#include <QComboBox>
#include <QFile>
#include <QSpinBox>

QList<Kategorie> readCategories(const QString &path)
{
    QList<Kategorie> categories;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return categories;
    while (!file.atEnd()) {
        // Raw bytes: the line break stays in the line, the number field is simplified anyway.
        const QByteArray line = file.readLine();
        const QList<QByteArray> fields = line.split(';');
        const QString numberText
            = fields.size() > 1 ? fromCp1252(fields.at(1)).simplified() : QString();
        bool ok = false;
        const int number = numberText.toInt(&ok, 10);
        categories.append(
            { fromCp1252(fields.at(0)) + QStringLiteral(" (") + numberText + QLatin1Char(')'),
                ok ? number : 0 });
    }
    return categories;
}

void fillCategories(QComboBox *box, QSpinBox *number)
{
    box->addItem(QStringLiteral("keine Angabe (0)"), 0);
    int highest = 0;
    for (const Kategorie &k : readCategories()) {
        box->addItem(k.text, k.nummer);
        highest = qMax(highest, k.nummer);
    }
    number->setMaximum(highest);
}

void selectCategory(QComboBox *box, int nummer)
{
    box->setCurrentIndex(box->findData(nummer, Qt::UserRole, Qt::MatchExactly));
}

void takeCategory(const QComboBox *box, int index, QSpinBox *number)
{
    if (index != -1)
        number->setValue(box->itemData(index, Qt::UserRole).toInt());
}
