#include "app/imagedialog.h"

#include "app/dialogs.h"
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
    showNextPicture(ui->labelImage, images, imageIndex, QSize(800, 600));
}

void showNextPicture(QLabel *label, const QStringList &images, int &index, QSize size)
{
    if (images.isEmpty()) {
        label->clear();
        return;
    }
    if (++index >= images.size())
        index = 0;
    const QPixmap picture(images.at(index));
    label->setPixmap(picture.isNull() ? picture
                                      : picture.scaled(size.isEmpty() ? label->size() : size,
                                          Qt::KeepAspectRatio, Qt::FastTransformation));
}

void showPicturesBig(const QStringList &images, int index)
{
    ImageDialog dialog;
    dialog.images = images;
    dialog.imageIndex = index - 1;
    dialog.showNextImage();
    Dialogs::exec(dialog);
}
