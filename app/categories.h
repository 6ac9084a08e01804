#pragma once

#include <QList>
#include <QString>

class QComboBox;
class QSpinBox;

// One line of "kategorien.txt": the text the combo boxes show and the category's number.
struct Kategorie
{
    QString text; // "Name (Nummer)"
    int nummer = 0;
};

// The categories of the shop's category file, one per line in file order, an empty line
// included: "Name;Nummer" in Windows-1252. The number is the second field simplified, 0 when
// it is missing or no number; the text is the first field as read, then " (", that field and
// ")". A line without ";" keeps its line break in its text. A file that cannot be opened
// gives none, quietly.
QList<Kategorie> readCategories(const QString &path = QStringLiteral("kategorien.txt"));

// The category pair of the intake and services pages: a number box and a combo box that
// follow each other. The combo box gets "keine Angabe (0)" and then the file's categories,
// each with its number as item data; the number box allows 0 to the largest number.
void fillCategories(QComboBox *box, QSpinBox *number);
// Makes the first item with that number current; none there: no current item.
void selectCategory(QComboBox *box, int nummer);
// The number of the chosen item goes into the number box; index -1 (no item) changes nothing.
void takeCategory(const QComboBox *box, int index, QSpinBox *number);
