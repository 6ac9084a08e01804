#include "app/tablecell.h"

#include <algorithm>

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QStringView>
#include <QStyleOptionHeader>
#include <QStyleOptionViewItem>
#include <QtMath>

namespace {

// Nearly every font draws its digits in one width: then texts of one shape ("0.00 €") are
// equally wide, and one of them stands for all.
bool digitsOfOneWidth(const QFontMetrics &metrics)
{
    const int width = metrics.horizontalAdvance(QLatin1Char('0'));
    for (char digit = '1'; digit <= '9'; ++digit) {
        if (metrics.horizontalAdvance(QLatin1Char(digit)) != width)
            return false;
    }
    return true;
}

// What of a cell decides its width: its text, in which any digit stands for any other where
// digits are of one width, its own font, a check box, an icon.
struct Shape
{
    QString text;
    QVariant font;
    bool check;
    bool icon;
    int row;
};

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool sameText(QStringView a, QStringView b, bool oneWidth)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && !(oneWidth && isDigit(a[i]) && isDigit(b[i])))
            return false;
    }
    return true;
}

// One row of each shape of cell in the column. A long list has a handful of shapes; measuring
// a cell costs a microsecond or more, reading it a tenth of that: a TableCell's text is read
// as it is where it alone decides the width, and a row that shows the very text of the row
// before is passed over. The shapes are found by a hash of their own, cheaper than hashing
// and comparing texts; shapes that share a hash are told apart by their texts.
QList<int> rowsOfEachShape(const QTableWidget *table, int column, bool oneWidth)
{
    QHash<quint64, QList<Shape>> shapes;
    const QChar *before = nullptr;
    qsizetype beforeSize = -1;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QTableWidgetItem *item = table->item(row, column);
        if (!item)
            continue;
        const QString *alone = item->type() == TableCell::CellType
            ? static_cast<const TableCell *>(item)->widthText()
            : nullptr;
        if (alone && alone->constData() == before && alone->size() == beforeSize)
            continue;
        before = alone ? alone->constData() : nullptr;
        beforeSize = alone ? alone->size() : -1;
        const QString text = alone ? *alone : item->text();
        const QVariant font = alone ? QVariant() : item->data(Qt::FontRole);
        const bool check = !alone && item->data(Qt::CheckStateRole).isValid();
        const bool icon = !alone && item->data(Qt::DecorationRole).isValid();
        // FNV-1a over the text, digits as "0" where they are of one width.
        quint64 hash = 14695981039346656037ULL;
        for (const QChar c : text)
            hash = (hash ^ (oneWidth && isDigit(c) ? u'0' : c.unicode())) * 1099511628211ULL;
        hash ^= (font.isValid() ? 1 : 0) | (check ? 2 : 0) | (icon ? 4 : 0);
        QList<Shape> &same = shapes[hash];
        const bool known = std::any_of(same.cbegin(), same.cend(), [&](const Shape &s) {
            return s.check == check && s.icon == icon
                && (!font.isValid() ? !s.font.isValid() : s.font == font)
                && sameText(s.text, text, oneWidth);
        });
        if (!known)
            same.append({ text, font, check, icon, row });
    }
    QList<int> rows;
    for (const QList<Shape> &same : qAsConst(shapes)) {
        for (const Shape &s : same)
            rows.append(s.row);
    }
    return rows;
}

// What a font's digit pairs do to a text of figures. Digits of one width may still kern in
// pairs: Liberation Sans draws "11" closer than "10", so "1111" is narrower than "0000".
struct DigitPairs
{
    bool kern = false; // whether any pair of a digit and a digit or a mark kerns
    QChar widest = QLatin1Char('0'); // the digit whose pairs are widest
};

// The marks that stand beside digits in the figures of a list.
const QString kMarks = QStringLiteral(".,:;-+/ ()%€");

DigitPairs digitPairs(const QFont &font)
{
    // Asked for every list fitted: the answer is kept for each font.
    static QHash<QString, DigitPairs> known;
    const QString key = font.key();
    const auto found = known.constFind(key);
    if (found != known.cend())
        return *found;
    const QFontMetricsF metrics(font);
    const QString next = QStringLiteral("0123456789") + kMarks;
    qreal nextAlone = 0;
    for (const QChar x : next)
        nextAlone += metrics.horizontalAdvance(x);
    DigitPairs pairs;
    qreal widest = 0;
    for (char digit = '0'; digit <= '9'; ++digit) {
        // The digit between every other character, "d0d1d2…d€d": shaped at once, the text
        // holds each of the digit's pairs, both ways round, and kerns by their sum.
        const QChar d = QLatin1Char(digit);
        QString text(d);
        for (const QChar x : next)
            text.append(x).append(d);
        const qreal kerning = metrics.horizontalAdvance(text) - nextAlone
            - (next.size() + 1) * metrics.horizontalAdvance(d);
        pairs.kern = pairs.kern || qAbs(kerning) > 0.01;
        if (digit == '0' || kerning > widest) {
            widest = kerning;
            pairs.widest = d;
        }
    }
    known.insert(key, pairs);
    return pairs;
}

// The room a cell's text of figures may need beyond the delegate's width for it: any text of
// its shape, whatever its digits, is at most as wide as the text with every digit the one
// whose pairs are widest. `pairs` are those of the table's font.
int kerningRoom(const QTableWidget *table, const QTableWidgetItem *item, DigitPairs pairs)
{
    const QString *alone = item->type() == TableCell::CellType
        ? static_cast<const TableCell *>(item)->widthText()
        : nullptr;
    QFont font = table->font();
    const QVariant own = alone ? QVariant() : item->data(Qt::FontRole);
    if (own.isValid()) {
        font = own.value<QFont>().resolve(font);
        pairs = digitPairs(font);
    }
    if (!pairs.kern)
        return 0;
    const QString text = alone ? *alone : item->text();
    QString neutral = text;
    bool changed = false;
    for (QChar &c : neutral) {
        if (isDigit(c) && c != pairs.widest) {
            c = pairs.widest;
            changed = true;
        }
    }
    if (!changed)
        return 0;
    const QFontMetricsF metrics(font);
    return qMax(0, qCeil(metrics.horizontalAdvance(neutral) - metrics.horizontalAdvance(text)));
}

// The widest of the rows' cells; with digits of one width, room for any text of each one's
// shape.
int widestCell(const QTableWidget *table, int column, const QList<int> &rows, bool oneWidth)
{
    const DigitPairs pairs = oneWidth ? digitPairs(table->font()) : DigitPairs();
    int width = 0;
    for (const int row : rows) {
        if (row < 0 || row >= table->rowCount())
            continue;
        int cell = table->sizeHintForIndex(table->model()->index(row, column)).width();
        const QTableWidgetItem *item = table->item(row, column);
        if (oneWidth && item)
            cell += kerningRoom(table, item, pairs);
        width = qMax(width, cell);
    }
    // The grid line takes a pixel of the column, as when Qt fits a column.
    return width + (table->showGrid() ? 1 : 0);
}

// A caption's room as the header measures it: in bold, so that a bold caption fits too.
QSize captionSize(const QHeaderView *header, int column, const QString &text)
{
    QStyleOptionHeader option;
    option.initFrom(header);
    option.orientation = Qt::Horizontal;
    option.section = column;
    const QVariant own = header->model()->headerData(column, Qt::Horizontal, Qt::FontRole);
    QFont font = own.isValid() ? own.value<QFont>() : header->font();
    font.setBold(true);
    option.fontMetrics = QFontMetrics(font);
    option.text = text;
    return header->style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), header);
}

// The caption on two lines, broken at the blank that leaves the longer line shortest; the
// caption itself when it has no blank.
QString onTwoLines(const QString &caption, const QFontMetrics &metrics)
{
    QString best = caption;
    int bestWidth = metrics.horizontalAdvance(caption);
    for (int at = caption.indexOf(QLatin1Char(' ')); at > 0;
         at = caption.indexOf(QLatin1Char(' '), at + 1)) {
        const int width = qMax(metrics.horizontalAdvance(caption.left(at)),
            metrics.horizontalAdvance(caption.mid(at + 1)));
        if (width < bestWidth) {
            bestWidth = width;
            best = caption.left(at) + QLatin1Char('\n') + caption.mid(at + 1);
        }
    }
    return best;
}

// The column's width for its caption: on one line, or on two where its values are narrower.
// A caption on two lines wraps where it is drawn and tells the header its height; the
// header item keeps its text.
int fitCaption(QTableWidget *table, int column, int values)
{
    QHeaderView *header = table->horizontalHeader();
    if (header->isHidden())
        return 0;
    QAbstractItemModel *model = table->model();
    const QString caption = model->headerData(column, Qt::Horizontal).toString();
    const QSize oneLine = captionSize(header, column, caption);
    QSize shown = oneLine;
    if (values < oneLine.width()) {
        const QVariant own = model->headerData(column, Qt::Horizontal, Qt::FontRole);
        QFont font = own.isValid() ? own.value<QFont>() : header->font();
        font.setBold(true);
        shown = captionSize(header, column, onTwoLines(caption, QFontMetrics(font)));
    }
    const bool wraps = shown != oneLine;
    const QVariant stored = model->headerData(column, Qt::Horizontal, Qt::TextAlignmentRole);
    const int alignment = stored.isValid() ? stored.toInt() : int(header->defaultAlignment());
    if (!wraps && !(alignment & Qt::TextWordWrap))
        return oneLine.width();
    // A column without a header item of its own keeps its caption on one line.
    if (!model->setHeaderData(column, Qt::Horizontal,
            wraps ? alignment | Qt::TextWordWrap : alignment & ~Qt::TextWordWrap,
            Qt::TextAlignmentRole))
        return oneLine.width();
    model->setHeaderData(
        column, Qt::Horizontal, wraps ? QVariant(shown) : QVariant(), Qt::SizeHintRole);
    return shown.width();
}

} // namespace

void fitColumns(QTableWidget *table, int nameColumn, const WidestRows &widest)
{
    table->ensurePolished();
    QHeaderView *header = table->horizontalHeader();
    const bool oneWidth = digitsOfOneWidth(table->fontMetrics());
    for (int column = 0; column < table->columnCount(); ++column) {
        if (column == nameColumn)
            continue;
        const auto given = widest.constFind(column);
        const int values = widestCell(table, column,
            given != widest.cend() && oneWidth ? *given : rowsOfEachShape(table, column, oneWidth),
            oneWidth);
        header->setSectionResizeMode(column, QHeaderView::Interactive);
        header->resizeSection(column, qMax(values, fitCaption(table, column, values)));
    }
    if (nameColumn >= 0)
        header->setSectionResizeMode(nameColumn, QHeaderView::Stretch);
}

void limitColumn(QTableWidget *table, int column, const QString &longest)
{
    table->ensurePolished();
    // The room the delegate gives such a text, as for the cells.
    QStyleOptionViewItem option;
    option.initFrom(table);
    option.font = table->font();
    option.fontMetrics = QFontMetrics(option.font);
    option.features = QStyleOptionViewItem::HasDisplay;
    option.text = longest;
    const int width
        = table->style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), table).width()
        + (table->showGrid() ? 1 : 0);
    QHeaderView *header = table->horizontalHeader();
    if (header->sectionSize(column) > width)
        header->resizeSection(column, width);
}

void shareColumns(QTableWidget *table)
{
    table->ensurePolished();
    QHeaderView *header = table->horizontalHeader();
    const bool oneWidth = digitsOfOneWidth(table->fontMetrics());
    int least = 0;
    for (int column = 0; column < table->columnCount(); ++column) {
        least = qMax(
            least, widestCell(table, column, rowsOfEachShape(table, column, oneWidth), oneWidth));
        if (!header->isHidden())
            least = qMax(least, header->sectionSizeHint(column));
    }
    header->setMinimumSectionSize(least);
    // Shares the width out again, also when the least width has shrunk.
    header->setSectionResizeMode(QHeaderView::Stretch);
}

WidestRows ExtremeRows::rows() const
{
    WidestRows rows = m_extra;
    for (int column = 0; column < m_columns.size(); ++column) {
        const Extremes &e = m_columns.at(column);
        if (e.lowRow >= 0)
            rows[column] << e.lowRow << e.highRow;
    }
    return rows;
}
