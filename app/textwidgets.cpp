#include "app/textwidgets.h"

#include <QEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QStylePainter>
#include <QTextDocument>

namespace {

// The length, in average characters, of the longest text a page makes room for; a longer one
// is cut. An article name or a category of a usual length shows whole.
constexpr int kUsualLength = 40;
// What a label keeps when its page is squeezed.
constexpr int kShortestLength = 8;

int usualWidth(const QFontMetrics &metrics)
{
    return metrics.averageCharWidth() * kUsualLength;
}

QString oneLine(QString text)
{
    for (QChar &c : text) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator
            || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
    return text;
}

// Keeps a field wide enough for its text in whatever font and style it has: a page gets the
// font of the stack it is put into only after it was built.
class RoomForText : public QObject
{
public:
    RoomForText(QLineEdit *field, const QString &text)
        : QObject(field)
        , m_text(text)
        , m_least(field->minimumWidth())
    {
        field->installEventFilter(this);
        fit(field);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
            fit(static_cast<QLineEdit *>(watched));
        return false;
    }

private:
    // As QLineEdit measures itself, with the text in place of its usual seventeen "x".
    void fit(QLineEdit *field) const
    {
        QStyleOptionFrame option;
        option.initFrom(field);
        option.rect = field->rect();
        option.lineWidth = field->hasFrame()
            ? field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field)
            : 0;
        const QMargins margins = field->textMargins() + field->contentsMargins();
        const int cursor = field->style()->pixelMetric(QStyle::PM_TextCursorWidth, &option, field);
        // QLineEdit keeps two pixels free on either side of its text.
        const int width = QFontMetrics(field->font()).horizontalAdvance(m_text) + 2 * 2 + cursor
            + margins.left() + margins.right();
        const QSize size = field->style()->sizeFromContents(
            QStyle::CT_LineEdit, &option, QSize(width, field->sizeHint().height()), field);
        field->setMinimumWidth(qMax(m_least, size.width()));
    }

    const QString m_text;
    const int m_least;
};

} // namespace

void widenForText(QLineEdit *field, const QString &text)
{
    new RoomForText(field, text);
}

QString plainToolTip(const QString &text)
{
    if (!Qt::mightBeRichText(text))
        return text;
    // Blanks and line breaks as stored; a long text still wraps.
    return QStringLiteral("<p style='white-space:pre-wrap'>") + text.toHtmlEscaped()
        + QStringLiteral("</p>");
}

void showFromStart(std::initializer_list<QLineEdit *> fields)
{
    for (QLineEdit *field : fields) {
        // setText puts the cursor at the end, an unchanged text too, and clears the modified
        // flag; the user moves the cursor in a field that has the focus, and typing or
        // pasting sets the flag.
        const auto toStart = [field] {
            if (!field->hasFocus() && !field->isModified())
                field->setCursorPosition(0);
        };
        QObject::connect(field, &QLineEdit::cursorPositionChanged, field, toStart);
        QObject::connect(
            field, &QLineEdit::textChanged, field, [field, toStart](const QString &text) {
                field->setToolTip(plainToolTip(text));
                toStart();
            });
    }
}

ElidedLabel::ElidedLabel(QWidget *parent)
    : QLabel(parent)
{ }

ElidedLabel::~ElidedLabel() = default;

void ElidedLabel::setText(const QString &text)
{
    QLabel::setText(text);
    setToolTip(plainToolTip(text));
}

void ElidedLabel::clear()
{
    setText(QString());
}

QRect ElidedLabel::textRect() const
{
    const int m = margin();
    return contentsRect().adjusted(m, m, -m, -m);
}

QString ElidedLabel::shownText() const
{
    return fontMetrics().elidedText(oneLine(text()), Qt::ElideRight, textRect().width());
}

QSize ElidedLabel::sizeFor(int textWidth) const
{
    const QMargins frame = contentsMargins();
    const int m = 2 * margin();
    return QSize(textWidth + m + frame.left() + frame.right(),
        fontMetrics().height() + m + frame.top() + frame.bottom())
        .expandedTo(minimumSize());
}

QSize ElidedLabel::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    return sizeFor(qMin(metrics.horizontalAdvance(oneLine(text())), usualWidth(metrics)));
}

QSize ElidedLabel::minimumSizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    return sizeFor(qMin(
        metrics.horizontalAdvance(oneLine(text())), metrics.averageCharWidth() * kShortestLength));
}

void ElidedLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawFrame(&painter);
    // Drawn as plain text whatever the text holds: a stored "<b>" is no markup.
    style()->drawItemText(&painter, textRect(),
        QStyle::visualAlignment(layoutDirection(), alignment()), palette(), isEnabled(),
        shownText(), foregroundRole());
}

ElidedComboBox::ElidedComboBox(QWidget *parent)
    : QComboBox(parent)
{
    connect(this, &QComboBox::currentTextChanged, this,
        [this](const QString &text) { setToolTip(plainToolTip(text)); });
}

ElidedComboBox::~ElidedComboBox() = default;

QSize ElidedComboBox::bounded(QSize hint) const
{
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QFontMetrics metrics = fontMetrics();
    const QSize usual = style()->sizeFromContents(
        QStyle::CT_ComboBox, &option, QSize(usualWidth(metrics), metrics.height()), this);
    hint.setWidth(qMin(hint.width(), usual.width()));
    return hint;
}

QSize ElidedComboBox::sizeHint() const
{
    return bounded(QComboBox::sizeHint());
}

QSize ElidedComboBox::minimumSizeHint() const
{
    return bounded(QComboBox::minimumSizeHint());
}

void ElidedComboBox::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    QRect field
        = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    if (!option.currentIcon.isNull())
        field.setLeft(field.left() + option.iconSize.width() + 4);
    // The style draws the text one pixel in from either side of the field.
    option.currentText
        = fontMetrics().elidedText(option.currentText, Qt::ElideRight, field.width() - 2);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}
