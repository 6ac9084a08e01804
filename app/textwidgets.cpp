#include "app/textwidgets.h"

#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QStylePainter>
#include <QTextDocument>

#include <optional>

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

// The frame of a field as QLineEdit draws and measures it.
QStyleOptionFrame frameOption(const QLineEdit *field)
{
    QStyleOptionFrame option;
    option.initFrom(field);
    option.rect = field->contentsRect();
    option.lineWidth = field->hasFrame()
        ? field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field)
        : 0;
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    if (field->isReadOnly())
        option.state |= QStyle::State_ReadOnly;
    option.features = QStyleOptionFrame::None;
    return option;
}

// The room QLineEdit gives its text.
QRect textArea(const QLineEdit *field)
{
    const QStyleOptionFrame option = frameOption(field);
    const QRect contents
        = field->style()->subElementRect(QStyle::SE_LineEditContents, &option, field);
    // QLineEdit keeps two pixels free on either side of its text.
    return contents.marginsRemoved(field->textMargins()).adjusted(2, 0, -2, 0);
}

const char *const kStartInSight = "startInSight";

// Keeps a field's view at the start of its text. setText puts the cursor at the end, an
// unchanged text too, and clears the modified flag; the user moves the cursor in a field that
// has the focus, and typing or pasting sets the flag. With an end mark the field draws its
// text cut to fit, the end kept, wherever QLineEdit would show only the start.
class StartInSight : public QObject
{
public:
    StartInSight(QLineEdit *field, const QString &endMark)
        : QObject(field)
        , m_field(field)
        , m_endMark(endMark)
    {
        setObjectName(QLatin1String(kStartInSight));
        connect(field, &QLineEdit::cursorPositionChanged, this, &StartInSight::toStart);
        connect(field, &QLineEdit::textChanged, this, [this](const QString &text) {
            m_field->setToolTip(plainToolTip(text));
            toStart();
        });
        field->installEventFilter(this);
    }

    // The text as this field draws it; none where QLineEdit shows it as it does.
    std::optional<QString> cut() const
    {
        if (m_endMark.isEmpty() || m_field->hasFocus())
            return std::nullopt;
        const QString text = m_field->text();
        const QFontMetrics metrics = m_field->fontMetrics();
        const int width = textArea(m_field).width();
        if (metrics.horizontalAdvance(text) <= width)
            return std::nullopt;
        const int at = int(text.lastIndexOf(m_endMark));
        const QString end = at < 0 ? QString() : text.mid(at);
        const int room = width - metrics.horizontalAdvance(end);
        // Without an end, or too narrow for it, the field shows as much of the start as fits.
        if (end.isEmpty() || room < metrics.horizontalAdvance(QChar(0x2026)))
            return metrics.elidedText(text, Qt::ElideRight, width);
        return metrics.elidedText(text.left(at), Qt::ElideRight, room) + end;
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::FocusOut: {
            // Back in the window, or out of its context menu, the user finds the cursor where
            // they left it.
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                toStart();
            m_field->update();
            return false;
        }
        case QEvent::FocusIn:
            m_field->update();
            return false;
        case QEvent::Paint:
            if (const std::optional<QString> shown = cut()) {
                paint(*shown);
                return true;
            }
            return false;
        default:
            return false;
        }
    }

private:
    void toStart()
    {
        if (!m_field->hasFocus() && !m_field->isModified())
            m_field->setCursorPosition(0);
    }

    // The frame as QLineEdit draws it, and the text on its line.
    void paint(const QString &shown) const
    {
        QPainter painter(m_field);
        const QStyleOptionFrame option = frameOption(m_field);
        m_field->style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, m_field);
        const QRect area = textArea(m_field);
        const QFontMetrics metrics = m_field->fontMetrics();
        const int top = area.top() + (area.height() - metrics.height() + 1) / 2;
        painter.setClipRect(area.adjusted(-2, 0, 2, 0));
        painter.setPen(m_field->palette().color(QPalette::Text));
        painter.drawText(QPoint(area.left(), top + metrics.ascent()), shown);
    }

    QLineEdit *const m_field;
    const QString m_endMark;
};

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
        const QStyleOptionFrame option = frameOption(field);
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
    for (QLineEdit *field : fields)
        new StartInSight(field, QString());
}

void showStartAndEnd(QLineEdit *field, const QString &endMark)
{
    new StartInSight(field, endMark);
}

QString shownText(const QLineEdit *field)
{
    const auto *view = static_cast<const StartInSight *>(
        field->findChild<QObject *>(QLatin1String(kStartInSight), Qt::FindDirectChildrenOnly));
    if (view) {
        if (const std::optional<QString> cut = view->cut())
            return *cut;
    }
    // From the character at the left edge to the one at the right edge (cursorPositionAt
    // only reads, though it is not const).
    const QRect area = textArea(field);
    auto *at = const_cast<QLineEdit *>(field);
    const int from = at->cursorPositionAt(QPoint(area.left(), area.center().y()));
    const int to = at->cursorPositionAt(QPoint(area.right(), area.center().y()));
    return field->text().mid(from, to - from);
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
