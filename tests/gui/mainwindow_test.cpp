// The main window and its "Add url" dialog, driven by object name.
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTreeView>
#include <QtTest>
#include <map>

#include "core/list/popupmenu.h"
#include "core/platform/scripted_ui.h"
#include "core/platform/shell.h"
#include "gui/addurldialog.h"
#include "gui/mainwindow.h"
#include "gui/qtui.h"
#include "gui/tray.h"
#include "guifixture.h"

using ambrel::test::GuiFixture;

class MainWindowTest final : public QObject {
    Q_OBJECT

private slots:
    void showsEveryCommandWithItsCaptionHintAndPlace() {
        // Where a button stands: the caption of its group box, or "list" / "browser" for the
        // buttons beside the list and beside the browser.
        struct Command {
            const char* objectName;
            const char* caption;
            const char* hint;
            const char* place;
        };
        const Command commands[] = {
            {"addUrlButton", "Add picture", "Add links", "Files options"},
            {"addLocalButton", "Add picture", "Choose an image file from your local drive",
             "Files options"},
            {"grabButton", "Grab from url", "Extracts links from a webpage", "Files options"},
            {"fromClipboardButton", "From clipboard",
             "Extract pictures and thumbnails or from the clipboard or from links or files",
             "Files options"},
            {"uploadSettingsButton", "Upload settings", "Where to upload ?", "Files options"},
            {"fileSettingsButton", "Files settings", "Where to download, what to exclude...",
             "Files options"},
            {"optionsButton", "Options", "General options", "Files options"},
            {"uploadButton", "Upload", "Upload file(s)", "Commands"},
            {"downloadButton", "Download", "Download to the hard drive", "Commands"},
            {"checkLinksButton", "S", "Check links", "Commands"},
            {"pasteButton", "Paste", "Paste links", "Commands"},
            {"copyButton", "Copy", "Copy links", "Commands"},
            {"cutButton", "Cut", "Cut links", "Commands"},
            {"removeButton", "Remove", "Remove links", "Commands"},
            {"editButton", " Edit   ", "Change name", "Commands"},
            {"resizeButton", "Resize", "to make thumbnails for example", "Commands"},
            {"toBmpButton", "To bmp", "Convert to bitmap", "Commands"},
            {"toJpegButton", "To Jpeg", "Convert to jpeg", "Commands"},
            {"wallpaperButton", "Set as wallpaper", "dito", "Commands"},
            {"aviToGifButton", "avi 2 gif", "Make animated gif from a small avi file", "Commands"},
            {"slideshowButton", "Slideshow", "View slideshow", "Commands"},
            {"mobileButton", "M", "Upload to your mobile", "Commands"},
            {"createGroupButton", "Create", "Create a file list", "Add to this group file"},
            {"deleteGroupButton", "Del", "Delete a full file list", "Add to this group file"},
            {"showGroupButton", "Show", "Display this file list", "Add to this group file"},
            {"helpButton", "?", "", "Add to this group file"},
            {"openFolderButton", "o", "Open directory", "list"},
            {"moveToFolderButton", "M", "Move to this directory", "list"},
            {"cutToFolderButton", "C", "Cut to this directory", "list"},
            {"linkBuilderButton", "li", "Build an image link", "list"},
            {"externalBrowserButton", "l", "Open in external browser", "browser"},
            {"goToUrlButton", "G", "Go to url", "browser"},
            {"stopButton", "x", "Stop", "browser"},
            {"forwardButton", "+", "forward", "browser"},
            {"backButton", "-", "back", "browser"},
            {"websiteButton", "\u00a4", "Open corvane's website", "browser"},
        };
        GuiFixture f;
        ambrel::gui::MainWindow& w = f.app->mainWindow();
        QTreeView* list = w.findChild<QTreeView*>("pictureList");
        QWidget* browser = w.findChild<QWidget*>("browser");
        QVERIFY(list != nullptr && browser != nullptr);

        std::map<QString, QStringList> inBox;
        for (const QGroupBox* box : w.findChildren<QGroupBox*>()) {
            for (const QPushButton* b : box->findChildren<QPushButton*>()) {
                inBox[box->title()] << b->objectName();
            }
        }
        std::map<QString, QStringList> expected;
        for (const Command& c : commands) {
            QPushButton* b = w.findChild<QPushButton*>(c.objectName);
            QVERIFY2(b != nullptr, c.objectName);
            QCOMPARE(b->text(), QString::fromUtf8(c.caption));
            QCOMPARE(b->toolTip(), QString::fromUtf8(c.hint));
            const QString place = QString::fromUtf8(c.place);
            if (place == "list" || place == "browser") {
                QWidget* beside = place == "list" ? static_cast<QWidget*>(list) : browser;
                QVERIFY2(b->parentWidget() == beside->parentWidget(), c.objectName);
            } else {
                expected[place] << QString::fromUtf8(c.objectName);
            }
        }
        for (auto& [title, names] : inBox) {
            names.sort();
        }
        for (auto& [title, names] : expected) {
            names.sort();
        }
        QCOMPARE(inBox.size(), expected.size());
        for (const auto& [title, names] : expected) {
            QCOMPARE(inBox[title], names);
        }
        QGroupBox* groupBox = w.findChild<QGroupBox*>("groupBox");
        QCOMPARE(groupBox->toolTip(), QStringLiteral("The current file list"));
        QVERIFY(groupBox->isAncestorOf(w.groupCombo()));
        QVERIFY(!w.groupCombo()->isEditable());

        QCOMPARE(w.windowTitle(), QStringLiteral("My ambrel"));
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

    void theApplicationObjectOutlivesItsWindowSafely() {
        QTemporaryDir dir;
        const std::string folder = dir.path().toStdString() + "/";
        ambrel::platform::ensureDataLayout(folder);
        ambrel::platform::ScriptedUi scripted;
        ambrel::platform::MemoryClipboard clipboard;
        ambrel::platform::FakeBrowser browser;
        ambrel::platform::RegistryStore registry(folder + "registry.reg");
        ambrel::platform::FakeShell shell;
        const ambrel::app::Services services{scripted, clipboard, browser, registry, shell};
        ambrel::app::Tmyambrel core(folder, services);
        ambrel::app::Tmyambrel windowless(folder, services);
        {
            ambrel::gui::QtUi ui;
            ambrel::gui::MainWindow w(core, ui, new QLabel("browser"));
        }
        // Told of a change and asked for text widths, the object no longer reaches the window:
        // the columns fit as they do where no window was ever shown.
        core.setTargetItems({"", "trips"}, 1);
        for (ambrel::app::Tmyambrel* app : {&core, &windowless}) {
            app->addtolistview("http://host/a/a-rather-long-picture-name.jpg");
            app->adresizescroll();
        }
        QCOMPARE(core.pictures().nameWidth(), windowless.pictures().nameWidth());
        QCOMPARE(core.pictures().pathWidth(), windowless.pictures().pathWidth());
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
