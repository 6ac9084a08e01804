#pragma once

#include <QLabel>

// A label that reacts to any mouse press. The style sheet addresses it by its class name.
class ClickLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ClickLabel(QWidget *parent = nullptr);
    explicit ClickLabel(const QString &text, QWidget *parent = nullptr);
    ~ClickLabel() override;

signals:
    void clicked();

protected:
    // Fires on the press, whatever button, so a drag off the label still counts.
    void mousePressEvent(QMouseEvent *event) override;
};
