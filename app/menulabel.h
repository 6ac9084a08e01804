#pragma once

#include <QLabel>

// A label that reacts to any mouse press. The style sheet addresses it by its class name.
class MenuLabel : public QLabel
{
    Q_OBJECT
public:
    explicit MenuLabel(QWidget *parent = nullptr);
    explicit MenuLabel(const QString &text, QWidget *parent = nullptr);
    ~MenuLabel() override;

signals:
    void clicked();

protected:
    // Fires on the press, whatever button, so a drag off the label still counts.
    void mousePressEvent(QMouseEvent *event) override;
};
