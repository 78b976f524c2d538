// The main window and its "Add url" dialog, driven by object name.
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTreeView>
#include <QtTest>

#include "core/list/commands.h"
#include "gui/addurldialog.h"
#include "gui/mainwindow.h"
#include "gui/tray.h"
#include "guifixture.h"

using ambrel::test::GuiFixture;

class MainWindowTest final : public QObject {
    Q_OBJECT

private slots:
    void showsEveryCommandWithItsCaptionAndHint() {
        GuiFixture f;
        ambrel::gui::MainWindow& w = f.app->mainWindow();
        for (const auto& info : ambrel::list::kMainCommands) {
            QPushButton* b = w.findChild<QPushButton*>(info.objectName);
            QVERIFY2(b != nullptr, info.objectName);
            QCOMPARE(b->text(), QString::fromUtf8(info.caption));
            QCOMPARE(b->toolTip(), QString::fromUtf8(info.hint));
        }
        QCOMPARE(w.windowTitle(), QStringLiteral("My ambrel"));
        QTreeView* list = w.findChild<QTreeView*>("pictureList");
        QCOMPARE(list->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Name"));
        QCOMPARE(list->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Path"));
        QCOMPARE(list->header()->sectionSize(0), 80);
        QCOMPARE(list->header()->sectionSize(1), 227);
        QVERIFY(w.button("addUrlButton")->isEnabled());
        // Every popup item starts hidden.
        for (int n = 0; n < ambrel::list::kPopupItemCount; ++n) {
            QVERIFY(!w.popupAction(n)->isVisible());
        }
    }

    // The icon installed into the desktop's theme is the one the windows and the tray show,
    // in every size the theme gets.
    void theWindowAndTheTrayShowTheProgramsIcon() {
        GuiFixture f;
        QVERIFY(f.app->tray() != nullptr);
        auto* tray = f.app->tray()->findChild<QSystemTrayIcon*>("trayIcon");
        QVERIFY(tray != nullptr);
        const QImage installed =
            QImage(":/icons/myambrel-48.png").convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QVERIFY(!installed.isNull());
        for (const QIcon& icon : {f.app->mainWindow().windowIcon(), tray->icon()}) {
            for (int size : {16, 24, 32, 48, 64, 128, 256}) {
                QVERIFY2(icon.availableSizes().contains(QSize(size, size)),
                         qPrintable(QString::number(size)));
            }
            QCOMPARE(icon.pixmap(48, 48).toImage().convertToFormat(installed.format()), installed);
        }
    }

    void listsGroupsAndLoadsTheDefaultList() {
        GuiFixture f({}, [](const std::string& folder) {
            ambrel::storage::writeFileAtomically(folder + "listing/default.fifi",
                                                 "a||http://h/a.jpg\r\n");
            ambrel::storage::writeFileAtomically(folder + "listing/trips.fifi", "");
        });
        ambrel::gui::MainWindow& w = f.app->mainWindow();
        QComboBox* groups = w.findChild<QComboBox*>("groupCombo");
        QCOMPARE(groups->count(), 3);
        QCOMPARE(groups->itemText(0), QString());
        QCOMPARE(groups->itemText(2), QStringLiteral("trips"));
        QCOMPARE(groups->currentIndex(), 0);
        QCOMPARE(w.listView()->model()->rowCount(), 1);
        groups->setCurrentIndex(2);
        QCOMPARE(f.app->core().targetGroupName(), std::string("trips"));
    }

    void activationWritesOptionsAndSetsTheCaption() {
        GuiFixture f;
        ambrel::gui::MainWindow& w = f.app->mainWindow();
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTRY_COMPARE(w.windowTitle(), QStringLiteral("My ambrel v1.01"));
        QVERIFY(ambrel::storage::fileExists(f.folder + "options.ini"));
    }

    void addUrlDialogAddsToTheListAndBringsTheMainWindowBack() {
        GuiFixture f;
        ambrel::gui::MainWindow& w = f.app->mainWindow();
        w.show();
        QTest::mouseClick(w.button("addUrlButton"), Qt::LeftButton);
        auto& dialog = f.app->addUrlDialog();
        QVERIFY(dialog.isVisible());
        QVERIFY(!w.isVisible());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Add url to my ambrel"));

        auto* field = dialog.findChild<QPlainTextEdit*>("urlField");
        field->setPlainText("http://host/a/pic.jpg\nnot a link\nhttps://host/b.png");
        QTest::mouseClick(dialog.findChild<QPushButton*>("addButton"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QVERIFY(w.isVisible());
        QCOMPARE(field->toPlainText(), QString());
        QCOMPARE(w.listView()->model()->rowCount(), 2);
        QCOMPARE(w.listView()->model()->index(0, 0).data().toString(), QStringLiteral("pic"));
        QCOMPARE(f.read("listing/default.fifi"),
                 std::string("pic||http://host/a/pic.jpg\r\nb||https://host/b.png\r\n"));

        // Cancel clears what was typed.
        QTest::mouseClick(w.button("addUrlButton"), Qt::LeftButton);
        field->setPlainText("http://host/c.jpg");
        QTest::mouseClick(dialog.findChild<QPushButton*>("cancelButton"), Qt::LeftButton);
        QCOMPARE(field->toPlainText(), QString());
        QCOMPARE(w.listView()->model()->rowCount(), 2);
    }

    void selectingARowPreviewsItInTheBrowser() {
        GuiFixture f({}, [](const std::string& folder) {
            ambrel::storage::writeFileAtomically(
                folder + "listing/default.fifi",
                "a||http://h/a.jpg\r\nb||/srv/pics/b.png\r\nc||/srv/clip.avi\r\n");
        });
        ambrel::gui::MainWindow& w = f.app->mainWindow();
        w.show();
        QTreeView* list = w.listView();
        f.browser.navigations.clear();
        list->selectionModel()->select(
            list->model()->index(1, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QCOMPARE(f.browser.navigations, std::vector<std::string>{"file:///srv/pics/b.png"});
        QCOMPARE(f.app->core().pictures().selectedRows(), std::vector<int>{1});
        list->selectionModel()->select(
            list->model()->index(2, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QCOMPARE(f.browser.navigations.size(), std::size_t{1});  // the filter keeps .avi out
        // A selection made by core shows in the view.
        f.app->core().pictures().setSelection({0});
        QCOMPARE(list->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(list->selectionModel()->selectedRows().front().row(), 0);
        QCOMPARE(f.browser.navigations.back(), std::string("http://h/a.jpg"));
    }

    void theStartPageIsOpenedAtStartup() {
        GuiFixture f;
        QCOMPARE(f.browser.navigations.front(), std::string(ambrel::storage::kMakerStartPage));
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
