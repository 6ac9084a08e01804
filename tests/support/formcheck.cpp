#include "support/formcheck.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDebug>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMetaEnum>
#include <QMetaMethod>
#include <QSpacerItem>
#include <QTest>

namespace {

QString cellText(int row, int column, int rowSpan, int columnSpan)
{
    return QStringLiteral("%1,%2 %3x%4").arg(row).arg(column).arg(rowSpan).arg(columnSpan);
}

QString policyName(QSizePolicy::Policy policy)
{
    return QLatin1String(QMetaEnum::fromType<QSizePolicy::Policy>().valueToKey(policy));
}

// The differences of one cell, each as "what: actual, expected".
QStringList mismatches(QWidget &form, const FormCell &c)
{
    QStringList found;
    const auto differs
        = [&found](const char *what, const QString &actual, const QString &expected) {
              if (actual != expected)
                  found << QStringLiteral("%1: '%2', expected '%3'")
                               .arg(QLatin1String(what), actual, expected);
          };
    QObject *object = form.findChild<QObject *>(QLatin1String(c.name));
    if (!object)
        return { QStringLiteral("missing") };
    differs("class", QLatin1String(object->metaObject()->className()), QLatin1String(c.className));

    int index = -1;
    QGridLayout *grid = gridHolding(form, object, &index);
    if (!grid) {
        found << QStringLiteral("in no grid, expected %1").arg(QLatin1String(c.grid));
    } else {
        differs("grid", grid->objectName(), QLatin1String(c.grid));
        int row, column, rowSpan, columnSpan;
        grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
        differs("cell", cellText(row, column, rowSpan, columnSpan),
            cellText(c.row, c.column, c.rowSpan, c.columnSpan));
    }

    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return found;
    if (c.text) {
        if (qobject_cast<QLabel *>(widget) || qobject_cast<QAbstractButton *>(widget)
            || qobject_cast<QLineEdit *>(widget))
            differs("text", widget->property("text").toString(), QString::fromUtf8(c.text));
        else
            found << QStringLiteral("text given, but the widget shows none");
    }
    const QFont font = widget->font();
    differs("point size", QString::number(font.pointSize()),
        QString::number(c.pointSize ? c.pointSize : QApplication::font().pointSize()));
    differs("font family", font.family(), QApplication::font().family());
    differs("italic", QVariant(font.italic()).toString(),
        QVariant(bool(c.flags & FormCell::Italic)).toString());
    differs("bold", QVariant(font.bold()).toString(),
        QVariant(bool(c.flags & FormCell::Bold)).toString());
    differs("enabled", QVariant(widget->isEnabled()).toString(),
        QVariant(!(c.flags & FormCell::Disabled)).toString());
    if (c.alignment) {
        auto *label = qobject_cast<QLabel *>(widget);
        differs("alignment", label ? QString::number(int(label->alignment()), 16) : QString(),
            QString::number(int(c.alignment), 16));
    }
    return found;
}

} // namespace

QString formMismatches(QWidget &form, const QList<FormCell> &cells)
{
    QStringList all;
    for (const FormCell &c : cells) {
        for (const QString &line : mismatches(form, c))
            all << QLatin1String(c.name) + QLatin1String(": ") + line;
    }
    return all.join(QLatin1String("; "));
}

void addFormRows(const QList<FormCell> &cells)
{
    QTest::addColumn<FormCell>("cell");
    for (const FormCell &c : cells)
        QTest::newRow(c.name) << c;
}

void addPropertyColumns()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("value");
}

void addPropertyRow(const char *name, const char *property, const QVariant &value)
{
    QTest::addRow("%s %s", name, property)
        << QString::fromLatin1(name) << QByteArray(property) << value;
}

QString propertyMismatch(
    QObject &form, const QString &name, const QByteArray &property, const QVariant &value)
{
    QObject *object = form.objectName() == name ? &form : form.findChild<QObject *>(name);
    if (!object)
        return name + QLatin1String(": missing");
    QVariant actual = object->property(property.constData());
    if (!actual.isValid())
        return name + QLatin1String(": no property ") + QLatin1String(property);
    if (value.userType() == QMetaType::Int && actual.userType() != QMetaType::Int)
        actual = actual.toInt(); // enums and flags
    if (actual == value)
        return QString();
    QString text;
    QDebug(&text).nospace().noquote()
        << name << '.' << property << ": " << actual << ", expected " << value;
    return text;
}

QStringList tabChain(QWidget &form, const QStringList &names)
{
    QStringList chain;
    QWidget *first = names.isEmpty() ? nullptr : form.findChild<QWidget *>(names.first());
    QWidget *w = first;
    while (w) {
        if (names.contains(w->objectName()) && !chain.contains(w->objectName()))
            chain << w->objectName();
        w = w->nextInFocusChain();
        if (w == first)
            break;
    }
    return chain;
}

QStringList ownMethods(const QMetaObject &meta)
{
    QStringList methods;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i)
        methods << QString::fromLatin1(meta.method(i).methodSignature());
    return methods;
}

QGridLayout *gridHolding(QWidget &form, QObject *object, int *index)
{
    for (QGridLayout *grid : form.findChildren<QGridLayout *>()) {
        for (int i = 0; i < grid->count(); ++i) {
            QLayoutItem *item = grid->itemAt(i);
            if ((item->widget() && item->widget() == object)
                || (item->layout() && item->layout() == object)) {
                *index = i;
                return grid;
            }
        }
    }
    return nullptr;
}

QSpacerItem *spacerAt(QGridLayout *grid, int row, int column)
{
    for (int i = 0; i < grid->count(); ++i) {
        int r, c, rs, cs;
        grid->getItemPosition(i, &r, &c, &rs, &cs);
        if (r == row && c == column && grid->itemAt(i)->spacerItem())
            return grid->itemAt(i)->spacerItem();
    }
    return nullptr;
}

QStringList formSpacers(QWidget &form)
{
    QStringList spacers;
    for (QGridLayout *grid : form.findChildren<QGridLayout *>()) {
        for (int i = 0; i < grid->count(); ++i) {
            QSpacerItem *spacer = grid->itemAt(i)->spacerItem();
            if (!spacer)
                continue;
            int row, column, rowSpan, columnSpan;
            grid->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
            const QSizePolicy policy = spacer->sizePolicy();
            spacers << QStringLiteral("%1 %2 %3x%4 %5/%6")
                           .arg(grid->objectName(), cellText(row, column, rowSpan, columnSpan))
                           .arg(spacer->sizeHint().width())
                           .arg(spacer->sizeHint().height())
                           .arg(policyName(policy.horizontalPolicy()),
                               policyName(policy.verticalPolicy()));
        }
    }
    spacers.sort();
    return spacers;
}
