#pragma once

#include <QLabel>

// Labels that act on a mouse press: the menu captions and every page's way back to the menu.
class ClickLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ClickLabel(QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

class MenuLabel : public QLabel
{
    Q_OBJECT
public:
    explicit MenuLabel(QWidget *parent = nullptr);
    explicit MenuLabel(const QString &text, QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
};
