#pragma once

#include <QDialog>
#include <QStringList>

class Ui_ImageDialog;

// Shows an article's pictures enlarged, one at a time. The caller fills images, sets
// imageIndex one before the picture to start on and calls showNextImage() before exec().
class ImageDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ImageDialog(QWidget *parent = nullptr);
    ~ImageDialog() override;

private:
    Ui_ImageDialog *ui;

public:
    int imageIndex = -1;
    QStringList images;

public slots:
    void showNextImage();
};
