#pragma once

#include <QDialog>
#include <QSize>
#include <QStringList>

class QLabel;

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

// An article's pictures as the pages and the dialog show them, one at a time. Steps index (the
// picture shown, -1 before the first) to the next picture, after the last to the first, and
// shows it in the label scaled into size (empty: the label's size) with its aspect ratio kept;
// a missing or unreadable file, or an empty path, shows nothing. No pictures clear the label.
void showNextPicture(QLabel *label, const QStringList &images, int &index, QSize size = QSize());

// The picture dialog on images[index], the picture a page shows; returns when it is closed.
void showPicturesBig(const QStringList &images, int index);
