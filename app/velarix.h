#pragma once

#include <QMainWindow>

// The program's one window. For now it only opens the database and upgrades the schema.
class Velarix : public QMainWindow
{
    Q_OBJECT
public:
    explicit Velarix(QWidget *parent = nullptr);
    ~Velarix() override;

    void updateDb();
};
