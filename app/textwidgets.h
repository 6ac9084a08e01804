#pragma once

#include <QComboBox>
#include <QLabel>

#include <initializer_list>

class QLineEdit;

// The tool tip that shows a text from the data as it is. Qt reads a tool tip that looks like
// markup as rich text: a stored "<b>" would show bold and an "<img>" would load a file. Such a
// text is escaped; any other is its own tool tip.
QString plainToolTip(const QString &text);

// Narrow fields that show texts from the data show each text's start, as a label does, with
// the whole text as tool tip: QLineEdit::setText leaves the cursor, and with it the view, at
// the end. What the user types keeps the cursor where they type; a field left unchanged goes
// back to the start when the focus leaves it.
void showFromStart(std::initializer_list<QLineEdit *> fields);

// A narrow field whose text ends with what must stay in sight however long the rest: the
// text from the last endMark on (the number of "Name, Vorname (Nr)" after " ("). Where the
// whole text does not fit, the part before it gives way, cut with "…"; text() stays whole.
// Otherwise as showFromStart; while the field has the focus it shows its text as any field.
void showStartAndEnd(QLineEdit *field, const QString &endMark);

// What the field shows of its text in its present width: the part in view, or in a field of
// showStartAndEnd the text as cut to fit.
QString shownText(const QLineEdit *field);

// A field that the program fills with a text of its own (a default, a notice) is made wide
// enough to show it whole, in the field's own font and style.
void widenForText(QLineEdit *field, const QString &text);

// Widgets for texts from the data (names, descriptions, categories, printers): however long
// the text, it asks for no more room than a usual one needs and never widens its page. What
// does not fit is cut with "…"; the whole text is the tool tip.

// A one-line label. text() stays the whole text; a stored line break shows as a blank. Set
// the text through this class: QLabel::setText is not virtual.
class ElidedLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget *parent = nullptr);
    ~ElidedLabel() override;

    // The text as it is drawn in the label's present width.
    QString shownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    void setText(const QString &text);
    void clear();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSize sizeFor(int textWidth) const;
    QRect textRect() const;
};

// A combo box that shows its current entry cut to its width; the list shows every entry
// whole.
class ElidedComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit ElidedComboBox(QWidget *parent = nullptr);
    ~ElidedComboBox() override;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSize bounded(QSize hint) const;
};
