#include "app/imagedialog.h"
#include "app/menulabel.h"
#include "shell/clicklabel.h"
#include "shell/stylesheet.h"
#include "support/testsupport.h"

#include <QGridLayout>
#include <QImage>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpacerItem>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// How many pixels of the widget are drawn in (about) this colour.
int pixelsOf(QWidget *widget, const QColor &colour)
{
    const QImage image = widget->grab().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - colour.red()) < 24 && qAbs(c.green() - colour.green()) < 24
                && qAbs(c.blue() - colour.blue()) < 24)
                ++count;
        }
    return count;
}

QString picture(const QTemporaryDir &dir, const char *name, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    const QString path = dir.filePath(QLatin1String(name));
    image.save(path);
    return path;
}

} // namespace

class TestWidgets : public QObject
{
    Q_OBJECT

    template <class Label> void checkLabel(const char *className)
    {
        QWidget parent;
        Label plain(&parent);
        Label withText(QStringLiteral("Hauptmenü"), &parent);
        QCOMPARE(QByteArray(plain.metaObject()->className()), QByteArray(className));
        QCOMPARE(plain.parentWidget(), &parent);
        QCOMPARE(withText.text(), QStringLiteral("Hauptmenü"));
        QCOMPARE(withText.parentWidget(), &parent);
        QCOMPARE(plain.focusPolicy(), Qt::NoFocus);

        QSignalSpy clicked(&withText, &Label::clicked);
        for (Qt::MouseButton button : { Qt::LeftButton, Qt::RightButton, Qt::MiddleButton }) {
            QTest::mousePress(&withText, button);
            QCOMPARE(clicked.size(), 1); // on the press, before any release
            QTest::mouseRelease(&withText, button, {}, QPoint(-50, -50));
            QCOMPARE(clicked.size(), 1);
            clicked.clear();
        }
        QTest::mousePress(&withText, Qt::LeftButton, Qt::ControlModifier);
        QTest::mouseRelease(&withText, Qt::LeftButton, Qt::ControlModifier);
        QCOMPARE(clicked.size(), 1);

        // A double click: the first press and the double-click event each count.
        clicked.clear();
        QTest::mousePress(&withText, Qt::LeftButton);
        QTest::mouseRelease(&withText, Qt::LeftButton);
        QTest::mouseDClick(&withText, Qt::LeftButton);
        QCOMPARE(clicked.size(), 2);
    }

private slots:
    void clickLabel() { checkLabel<ClickLabel>("ClickLabel"); }
    void menuLabel() { checkLabel<MenuLabel>("MenuLabel"); }

    void pressIsNotPassedToTheParent()
    {
        // A parent that would react to a press it receives.
        struct Parent : QWidget
        {
            int presses = 0;
            void mousePressEvent(QMouseEvent *) override { ++presses; }
        } parent;
        ClickLabel label(QStringLiteral("Verkauf"), &parent);
        QLabel plain(QStringLiteral("3"), &parent);
        QTest::mousePress(&label, Qt::LeftButton);
        QCOMPARE(parent.presses, 0);
        QTest::mousePress(&plain, Qt::LeftButton); // a key label does nothing of its own
        QCOMPARE(parent.presses, 1);
    }

    void hoverColourComesFromTheStyleSheet()
    {
        QWidget central;
        central.setStyleSheet(QString::fromUtf8(styleSheet));
        auto *layout = new QVBoxLayout(&central);
        auto *stack = new QStackedWidget(&central);
        layout->addWidget(stack);
        auto *page = new QWidget;
        stack->addWidget(page);
        auto *pageLayout = new QVBoxLayout(page);
        auto *caption = new ClickLabel(QStringLiteral("XXXXXXXX"), page);
        auto *back = new MenuLabel(QStringLiteral("XXXXXXXX"), page);
        auto *plain = new QLabel(QStringLiteral("XXXXXXXX"), page);
        for (QLabel *label :
            { static_cast<QLabel *>(caption), static_cast<QLabel *>(back), plain }) {
            QFont font = label->font();
            font.setPointSize(24);
            label->setFont(font);
            pageLayout->addWidget(label);
        }
        central.resize(400, 300);
        central.show();
        QVERIFY(QTest::qWaitForWindowExposed(&central));
        const QColor orange(0xDF, 0x7F, 0x00);

        for (QLabel *label :
            { static_cast<QLabel *>(caption), static_cast<QLabel *>(back), plain }) {
            QVERIFY(pixelsOf(label, Qt::black) > 0);
            QCOMPARE(pixelsOf(label, orange), 0);
            label->setAttribute(Qt::WA_UnderMouse, true);
            const bool hoverable = label != plain;
            QCOMPARE(pixelsOf(label, orange) > 0, hoverable);
            QCOMPARE(pixelsOf(label, Qt::black) > 0, !hoverable);
            label->setAttribute(Qt::WA_UnderMouse, false);
            QCOMPARE(pixelsOf(label, orange), 0);
        }
    }

    // --- picture viewer --------------------------------------------------------------------

    void imageDialogForm()
    {
        ImageDialog dialog;
        QCOMPARE(dialog.objectName(), QStringLiteral("ImageDialog"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Dialog"));
        QCOMPARE(dialog.size(), QSize(400, 300));
        QVERIFY(dialog.images.isEmpty());
        auto *grid = dialog.findChild<QGridLayout *>("gridLayout");
        QVERIFY(grid);
        const struct
        {
            const char *name;
            const char *text;
            int row, column, rowSpan, columnSpan;
        } cells[] = {
            { "labelImage", "", 0, 0, 4, 1 },
            { "pushButton", "Nächste Bild", 1, 1, 1, 1 },
            { "pushButton_2", "Schließen", 2, 1, 1, 1 },
        };
        for (const auto &c : cells) {
            QWidget *w = dialog.findChild<QWidget *>(QLatin1String(c.name));
            QVERIFY2(w, c.name);
            int row, column, rowSpan, columnSpan;
            grid->getItemPosition(grid->indexOf(w), &row, &column, &rowSpan, &columnSpan);
            QVERIFY2(row == c.row && column == c.column && rowSpan == c.rowSpan
                    && columnSpan == c.columnSpan,
                c.name);
            const QString text = w->property("text").toString();
            QCOMPARE(text, QString::fromUtf8(c.text));
        }
        auto *image = dialog.findChild<QLabel *>("labelImage");
        QCOMPARE(image->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
        QCOMPARE(image->sizePolicy().verticalPolicy(), QSizePolicy::Expanding);
        QCOMPARE(dialog.findChild<QPushButton *>("pushButton")->minimumWidth(), 100);
        // the spacer below the buttons
        int row, column, rowSpan, columnSpan;
        bool spacerFound = false;
        for (int i = 0; i < grid->count(); ++i) {
            if (QSpacerItem *spacer = grid->itemAt(i)->spacerItem()) {
                grid->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
                QCOMPARE(QPoint(column, row), QPoint(1, 3));
                QCOMPARE(spacer->sizeHint(), QSize(20, 40));
                QCOMPARE(spacer->expandingDirections(), Qt::Vertical);
                spacerFound = true;
            }
        }
        QVERIFY(spacerFound);

        // "Schließen" accepts the dialog.
        dialog.open();
        QTest::mouseClick(dialog.findChild<QPushButton *>("pushButton_2"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void imageDialogCyclesAndScales()
    {
        QTemporaryDir dir;
        const QStringList paths = { picture(dir, "wide.png", 200, 100),
            picture(dir, "big.png", 4000, 3000), picture(dir, "tall.png", 1000, 2000) };
        const QSize shown[] = { QSize(800, 400), QSize(800, 600), QSize(300, 600) };

        ImageDialog dialog;
        auto *image = dialog.findChild<QLabel *>("labelImage");
        auto *next = dialog.findChild<QPushButton *>("pushButton");
        dialog.imageIndex = -1; // the caller's preview shows the first picture
        dialog.images = paths;
        dialog.showNextImage();
        QCOMPARE(dialog.imageIndex, 0);
        QCOMPARE(image->pixmap().size(), shown[0]);
        for (int expected : { 1, 2, 0, 1 }) {
            QTest::mouseClick(next, Qt::LeftButton);
            QCOMPARE(dialog.imageIndex, expected);
            QCOMPARE(image->pixmap().size(), shown[expected]);
        }

        // The caller's preview on the last picture: opens there, then wraps.
        dialog.imageIndex = 1;
        dialog.showNextImage();
        QCOMPARE(image->pixmap().size(), shown[2]);
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(dialog.imageIndex, 0);

        // An index past the end wraps to the first picture.
        dialog.imageIndex = 7;
        dialog.showNextImage();
        QCOMPARE(dialog.imageIndex, 0);
        QCOMPARE(image->pixmap().size(), shown[0]);

        // A single picture shows again on every press.
        dialog.images = { paths[2] };
        dialog.imageIndex = -1;
        dialog.showNextImage();
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(dialog.imageIndex, 0);
        QCOMPARE(image->pixmap().size(), shown[2]);
    }

    void imageDialogWithoutPictures()
    {
        QTemporaryDir dir;
        QFile notAPicture(dir.filePath("notes.png"));
        QVERIFY(notAPicture.open(QIODevice::WriteOnly));
        notAPicture.write("no picture in here");
        notAPicture.close();

        ImageDialog dialog;
        auto *image = dialog.findChild<QLabel *>("labelImage");
        auto *next = dialog.findChild<QPushButton *>("pushButton");
        dialog.images = { picture(dir, "a.png", 200, 100), notAPicture.fileName(),
            dir.filePath("missing.png") };
        dialog.imageIndex = -1;
        dialog.showNextImage();
        QVERIFY(!image->pixmap().isNull());
        QTest::mouseClick(next, Qt::LeftButton); // unreadable: empty area, index moved on
        QCOMPARE(dialog.imageIndex, 1);
        QVERIFY(image->pixmap().isNull());
        QTest::mouseClick(next, Qt::LeftButton); // missing file
        QCOMPARE(dialog.imageIndex, 2);
        QVERIFY(image->pixmap().isNull());

        // An empty list: the picture shown before goes, the index never moves.
        dialog.images = { picture(dir, "b.png", 200, 100) };
        dialog.showNextImage();
        QVERIFY(!image->pixmap().isNull());
        dialog.images.clear();
        dialog.showNextImage();
        QVERIFY(image->pixmap().isNull());
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(dialog.imageIndex, 0);
        QVERIFY(image->pixmap().isNull());
    }
};

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
