// The picture windows driven by object name: "Resize to jpg" and the GIF frame chooser,
// reached from the main window's buttons.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <fstream>

#include "core/imaging/bmpcodec.h"
#include "core/imaging/jpegcodec.h"
#include "gui/mainwindow.h"
#include "gui/qtui.h"
#include "guifixture.h"
#include "imaging/picturefixtures.h"

using ambrel::platform::Window;
using ambrel::test::child;
using ambrel::test::GuiFixture;

namespace {

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
}

// A data folder whose default list holds the given paths, made by prepare().
std::function<void(const std::string&)> listOf(std::vector<std::string> names,
                                               std::function<void(const std::string&)> files) {
    return [names, files](const std::string& folder) {
        files(folder);
        std::string text;
        for (const std::string& n : names) {
            text += n + "||" + folder + "pics/" + n + "\r\n";
        }
        ambrel::storage::writeFileAtomically(folder + "listing/default.fifi", text);
    };
}

}  // namespace

class PicturesTest : public QObject {
    Q_OBJECT

private slots:
    void resizeWindowHoldsItsControlsAndMakesThumbnails() {
        GuiFixture f({}, listOf({"holiday.2005.jpg"}, [](const std::string& folder) {
                         std::filesystem::create_directories(folder + "pics");
                         writeBytes(
                             folder + "pics/holiday.2005.jpg",
                             ambrel::imaging::encodeJpeg(ambrel::test::gradientPicture(60, 40)));
                     }));
        auto& main = f.app->mainWindow();
        QPushButton* resize = main.button("resizeButton");
        QVERIFY(resize->isEnabled());
        resize->click();
        QWidget* dialog = f.app->ui().window(Window::ResizeToJpg);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QString("Resize to jpg"));
        QStringList groups;
        for (auto* g : dialog->findChildren<QGroupBox*>())
            groups << g->title();
        QCOMPARE(groups, (QStringList{"Mode", "Value"}));
        QCOMPARE(child<QRadioButton>(dialog, "ratioRadio")->text(), QString("Ratio %"));
        QVERIFY(child<QRadioButton>(dialog, "fixedWidthRadio")->isChecked());
        QCOMPARE(child<QRadioButton>(dialog, "fixedHeightRadio")->text(), QString("Fixed height"));
        QCOMPARE(child<QLineEdit>(dialog, "valueField")->text(), QString("100"));
        auto* add = child<QCheckBox>(dialog, "addThumbnailsCheck");
        QCOMPARE(add->text(), QString("Add thumbnails to list"));
        QVERIFY(add->isChecked());
        QCOMPARE(child<QCheckBox>(dialog, "deleteTemporaryCheck")->text(),
                 QString("Delete temporary downloaded files"));
        QVERIFY(child<QCheckBox>(dialog, "deleteTemporaryCheck")->isChecked());
        QCOMPARE(child<QCheckBox>(dialog, "overwriteCheck")->text(),
                 QString("Overwrite existing original file with downloaded one"));
        QVERIFY(!child<QCheckBox>(dialog, "overwriteCheck")->isChecked());
        QCOMPARE(child<QPushButton>(dialog, "okButton")->text(), QString("Ok"));
        QCOMPARE(child<QPushButton>(dialog, "cancelButton")->text(), QString("Cancel"));
        QCOMPARE(child<QPushButton>(dialog, "helpButton")->text(), QString("help"));

        // Ratio 50 on the selected entry; the window stays open after Ok.
        child<QRadioButton>(dialog, "ratioRadio")->click();
        QLineEdit* value = child<QLineEdit>(dialog, "valueField");
        value->clear();
        QTest::keyClicks(value, "50");
        f.app->core().pictures().setSelection({0});
        child<QPushButton>(dialog, "okButton")->click();
        QVERIFY(dialog->isVisible());
        const std::string thumb = f.folder + "conv/holiday.tn.jpg";
        const auto picture = ambrel::imaging::readJpegFile(thumb);
        QCOMPARE(picture.width(), 30);
        QCOMPARE(picture.height(), 20);
        QCOMPARE(QString::fromStdString(f.app->core().pictures().entries().back().path),
                 QString::fromStdString(thumb));
        QCOMPARE(f.app->pictureTools().resize.mode, ambrel::imaging::ResizeMode::Ratio);

        // A value that is not a whole number is shown as an error and writes nothing.
        std::filesystem::remove(thumb);
        value->setText("abc");
        QString shown;
        QTimer::singleShot(0, [&shown] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (w->inherits("QMessageBox") && w->isVisible()) {
                    shown = w->findChild<QLabel*>("qt_msgbox_label")->text();
                    w->close();
                }
            }
        });
        child<QPushButton>(dialog, "okButton")->click();
        QCOMPARE(shown, QString("'abc' is not a valid integer value"));
        QVERIFY(!std::filesystem::exists(thumb));

        child<QPushButton>(dialog, "cancelButton")->click();
        QVERIFY(!dialog->isVisible());
    }

    void frameChooserPicksTheFrameAndWraps() {
        GuiFixture f({}, listOf({"anim.gif"}, [](const std::string& folder) {
                         std::filesystem::create_directories(folder + "pics");
                         std::vector<ambrel::test::GifFrameSpec> frames;
                         for (std::uint8_t c = 1; c <= 3; ++c) {
                             frames.push_back({0, 0, 4, 4, std::vector<std::uint8_t>(16, c)});
                         }
                         writeBytes(folder + "pics/anim.gif", ambrel::test::makeGif(4, 4, frames));
                     }));
        QWidget* chooser = f.app->ui().window(Window::FrameChooser);
        QVERIFY(chooser->windowTitle().isEmpty());
        QVERIFY(chooser->windowFlags() & Qt::Tool);
        bool checked = false;
        // While "To Jpeg" waits for the chooser, the person steps through the frames.
        QTimer::singleShot(50, [&] {
            QVERIFY(chooser->isVisible());
            auto* number = child<QLineEdit>(chooser, "frameNumber");
            auto* max = child<QLabel>(chooser, "maxLabel");
            QCOMPARE(number->text(), QString("0"));
            QCOMPARE(max->text(), QString("2"));
            auto* up = child<QToolButton>(chooser, "upButton");
            auto* down = child<QToolButton>(chooser, "downButton");
            up->click();
            QCOMPARE(number->text(), QString("1"));
            up->click();
            up->click();
            QCOMPARE(number->text(), QString("0"));
            down->click();
            QCOMPARE(number->text(), QString("2"));
            checked = true;
            chooser->close();
        });
        f.app->core().pictures().setSelection({0});
        f.app->mainWindow().button("toJpegButton")->click();
        QVERIFY(checked);
        QVERIFY(!chooser->isVisible());
        const auto picture = ambrel::imaging::readJpegFile(f.folder + "conv/anim.jpg");
        QVERIFY(picture.row(1)[3] > 200);  // frame 2 is blue
        QVERIFY(picture.row(1)[5] < 50);
        // The number carries over to the next GIF.
        QCOMPARE(f.app->pictureTools().frameChooser.number(), 2);
    }
};

QTEST_MAIN(PicturesTest)
#include "pictures_test.moc"
