#include "app/imagedialog.h"

#include "ui_imagedialog.h"

#include <QPixmap>

ImageDialog::ImageDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui_ImageDialog)
{
    ui->setupUi(this);
    connect(ui->pushButton, &QPushButton::clicked, this, &ImageDialog::showNextImage);
}

ImageDialog::~ImageDialog()
{
    delete ui;
}

void ImageDialog::showNextImage()
{
    if (images.isEmpty()) {
        ui->labelImage->setPixmap(QPixmap());
        return;
    }
    ++imageIndex;
    if (imageIndex >= images.size())
        imageIndex = 0;
    // A missing or unreadable file gives an empty picture; the index has moved on anyway.
    const QPixmap picture(images.value(imageIndex));
    ui->labelImage->setPixmap(picture.isNull()
            ? picture
            : picture.scaled(800, 600, Qt::KeepAspectRatio, Qt::FastTransformation));
}
