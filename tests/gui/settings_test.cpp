// The settings dialogs, the popup menu's visibility, the tray and the hand-over channel of a
// running copy, driven by object name.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>
#include <thread>

#include "core/integration/channel.h"
#include "core/integration/contextmenu.h"
#include "core/integration/instance.h"
#include "core/platform/registry.h"
#include "gui/instancechannel.h"
#include "gui/mainwindow.h"
#include "gui/qtui.h"
#include "gui/tray.h"
#include "guifixture.h"

using ambrel::platform::Window;
using ambrel::test::GuiFixture;

namespace {

template <typename T>
T* child(QWidget* window, const char* name) {
    T* found = window->findChild<T*>(name);
    if (found == nullptr) {
        qFatal("no %s", name);
    }
    return found;
}

void writeOptions(const std::string& folder, const std::string& text) {
    ambrel::storage::writeFileAtomically(folder + "options.ini", text);
}

// A copy of the program with its single-instance guard on, as a first start.
struct RunningCopy {
    RunningCopy() {
        char pattern[] = "/tmp/ambrel-gui-XXXXXX";
        root = std::string(::mkdtemp(pattern)) + "/";
        folder = root + "data/";
        ambrel::platform::ensureDataLayout(folder);
        ambrel::gui::GuiOptions options{
            folder, {}, root + "registry.reg", &browser, new QLabel("browser")};
        options.commandLine = {"/bin/prog"};
        options.instanceFolder = root + "run";
        options.exeName = "prog";
        app = std::make_unique<ambrel::gui::GuiApplication>(std::move(options));
        app->start();
    }
    ~RunningCopy() {
        app.reset();
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    RunningCopy(const RunningCopy&) = delete;
    RunningCopy& operator=(const RunningCopy&) = delete;

    // Sends from another thread, as another process would, while this one keeps serving.
    std::optional<std::string> send(ambrel::integration::MessageKind kind,
                                    const std::string& payload) {
        const std::string channel = app->instanceChannel()->guard().server()->path();
        std::optional<std::string> answer;
        std::atomic<bool> done{false};
        std::thread sender([&] {
            answer = ambrel::integration::sendToRunningCopy(channel, kind, payload, 5000);
            done = true;
        });
        static_cast<void>(QTest::qWaitFor([&] { return done.load(); }, 6000));
        sender.join();
        return answer;
    }

    std::string root;
    std::string folder;
    ambrel::platform::FakeBrowser browser;
    std::unique_ptr<ambrel::gui::GuiApplication> app;
};

}  // namespace

class SettingsTest final : public QObject {
    Q_OBJECT

private slots:
    void fileSettingsEditTheHeldSettingsAndSave() {
        GuiFixture f;
        ambrel::gui::MainWindow& w = f.app->mainWindow();
        QTest::mouseClick(w.button("fileSettingsButton"), Qt::LeftButton);
        QWidget* dialog = f.app->ui().window(Window::FileSettings);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("File settings"));
        QCOMPARE(child<QLineEdit>(dialog, "downdirField")->text(),
                 QString::fromStdString(f.folder + "down"));
        QVERIFY(child<QCheckBox>(dialog, "ifcopyaddlistBox")->isChecked());

        auto* thumb = child<QLineEdit>(dialog, "thumbextField");
        thumb->clear();
        QTest::keyClicks(thumb, ".small");
        QCOMPARE(f.app->core().fileSettings().thumbext, std::string(".small"));
        QTest::mouseClick(child<QCheckBox>(dialog, "usetheextfeatureBox"), Qt::LeftButton);
        QVERIFY(!f.app->core().fileSettings().usetheextfeature);

        auto* rename = child<QCheckBox>(dialog, "renamefileBox");
        auto* overwrite = child<QCheckBox>(dialog, "renameandoverwriteBox");
        QVERIFY(!overwrite->isVisibleTo(dialog));
        QTest::mouseClick(rename, Qt::LeftButton);
        QVERIFY(overwrite->isVisibleTo(dialog));
        QTest::mouseClick(overwrite, Qt::LeftButton);
        QVERIFY(f.app->core().fileSettings().renameandoverwrite);
        QTest::mouseClick(rename, Qt::LeftButton);
        QVERIFY(!overwrite->isVisibleTo(dialog));
        QVERIFY(!overwrite->isChecked());
        QVERIFY(!f.app->core().fileSettings().renameandoverwrite);

        QTest::mouseClick(child<QPushButton>(dialog, "saveButton"), Qt::LeftButton);
        const std::string options = f.read("options.ini");
        QVERIFY(options.find("<thumbext>.small</thumbext>") != std::string::npos);
        QVERIFY(options.find("<usetheextfeature>") == std::string::npos);
        QVERIFY(dialog->isVisible());
        QTest::mouseClick(child<QPushButton>(dialog, "closeButton"), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
    }

    void generalSettingsShowTheLoadedValuesAndTheChosenPopupItems() {
        GuiFixture f({}, [](const std::string& folder) {
            writeOptions(folder,
                         "<timebetweenpictures></timebetweenpictures>\r\n"
                         "<minimizetotray>yes</minimizetotray>\r\n"
                         "<popupmenuitem18>false</popupmenuitem18>\r\n"
                         "<popupmenuitem19>true</popupmenuitem19>\r\n"
                         "<popupmenuitem43>true</popupmenuitem43>");
        });
        ambrel::gui::MainWindow& w = f.app->mainWindow();
        QTest::mouseClick(w.button("optionsButton"), Qt::LeftButton);
        QWidget* dialog = f.app->ui().window(Window::GeneralSettings);
        QVERIFY(dialog->isVisible());
        QCOMPARE(child<QLineEdit>(dialog, "timeField")->text(), QStringLiteral("3000"));
        QVERIFY(child<QCheckBox>(dialog, "minimizeBox")->isChecked());
        QVERIFY(!child<QCheckBox>(dialog, "resizeBox")->isChecked());
        QVERIFY(!child<QLineEdit>(dialog, "prependField")->isVisibleTo(dialog));

        // Only the ticked keys apply at start-up: "Url" sits in a hidden "Copy" submenu.
        auto* tree = child<QTreeWidget>(dialog, "popupTree");
        QCOMPARE(tree->topLevelItemCount(), 25);
        QTreeWidgetItem* copy = tree->topLevelItem(3);
        QCOMPARE(copy->text(0), QStringLiteral("Copy"));
        QCOMPARE(copy->child(0)->text(0), QStringLiteral("url"));
        QCOMPARE(copy->checkState(0), Qt::Unchecked);
        QCOMPARE(copy->child(0)->checkState(0), Qt::Checked);
        QVERIFY(w.popupAction(19)->isVisible());
        QVERIFY(!w.popupAction(18)->isVisible());
        QVERIFY(w.popupAction(43)->isVisible());
        QVERIFY(!w.popupAction(0)->isVisible());
    }

    void treeClicksChangeThePopupMenuAtOnce() {
        GuiFixture f;
        ambrel::gui::MainWindow& w = f.app->mainWindow();
        auto* tree = child<QTreeWidget>(f.app->ui().window(Window::GeneralSettings), "popupTree");
        QTreeWidgetItem* copy = tree->topLevelItem(3);
        QTreeWidgetItem* url = copy->child(0);
        QTreeWidgetItem* html = copy->child(1);

        // A click on the check box of "url".
        tree->show();
        tree->scrollToItem(url);
        const QRect row = tree->visualItemRect(url);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          QPoint(row.left() + 10, row.center().y()));
        QCOMPARE(copy->checkState(0), Qt::Checked);
        QVERIFY(w.popupAction(18)->isVisible());
        QVERIFY(w.popupAction(19)->isVisible());
        QVERIFY(f.app->core().generalSettings().popupmenuitem[18]);

        html->setCheckState(0, Qt::Checked);
        url->setCheckState(0, Qt::Unchecked);
        QCOMPARE(copy->checkState(0), Qt::Checked);
        QVERIFY(!w.popupAction(19)->isVisible());
        html->setCheckState(0, Qt::Unchecked);
        QCOMPARE(copy->checkState(0), Qt::Unchecked);
        QVERIFY(!w.popupAction(18)->isVisible());

        // A parent alone does not stay ticked.
        tree->topLevelItem(2)->setCheckState(0, Qt::Checked);
        QCOMPARE(tree->topLevelItem(2)->checkState(0), Qt::Unchecked);
        QVERIFY(!w.popupAction(15)->isVisible());
    }

    void contextBoxesInstallTheEntriesAndOfferTheTexts() {
        GuiFixture f;
        QWidget* dialog = f.app->ui().window(Window::GeneralSettings);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        auto* box = child<QCheckBox>(dialog, "copyAndAddBox");
        auto* prepend = child<QLineEdit>(dialog, "prependField");
        const std::string key =
            ambrel::integration::contextMenuKey(ambrel::integration::kContextMenuEntries[2]);

        // On the box itself: the row is wider than its click area.
        const QPoint onTheBox(8, box->height() / 2);
        QTest::mouseClick(box, Qt::LeftButton, {}, onTheBox);
        QVERIFY(prepend->isVisible());
        QVERIFY(ambrel::platform::RegistryStore(f.root + "registry.reg").keyExists(key));
        QTest::keyClicks(prepend, "[b]");
        QCOMPARE(f.app->core().generalSettings().ieccopyandaddbef, std::string("[b]"));

        QTest::mouseClick(box, Qt::LeftButton, {}, onTheBox);
        QVERIFY(!prepend->isVisible());
        QVERIFY(prepend->text().isEmpty());
        QVERIFY(f.app->core().generalSettings().ieccopyandaddbef.empty());
        QVERIFY(!ambrel::platform::RegistryStore(f.root + "registry.reg").keyExists(key));

        QTest::mouseClick(child<QPushButton>(dialog, "aboutButton"), Qt::LeftButton);
        QVERIFY(f.app->ui().window(Window::About)->isVisible());
        QTest::mouseClick(child<QPushButton>(dialog, "quitButton"), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
    }

    void minimisingHidesToTheTrayAndAClickBringsTheWindowBack() {
        GuiFixture f;
        ambrel::gui::MainWindow& w = f.app->mainWindow();
        ambrel::gui::Tray tray(f.app->core(), w, [] { return true; });
        QCOMPARE(tray.icon()->toolTip(), QStringLiteral("My Ambrel"));
        QStringList captions;
        for (QAction* a : tray.menu()->actions()) {
            captions << a->text();
        }
        QCOMPARE(captions, (QStringList{"Show", "Close"}));

        w.show();
        f.app->core().generalSettings().minimizetotray = true;
        w.showMinimized();
        QTRY_VERIFY(!w.isVisible());
        tray.activate(QSystemTrayIcon::Trigger);
        QVERIFY(w.isVisible());
        QVERIFY(!w.isMinimized());

        w.hide();
        tray.menu()->actions().at(0)->trigger();
        QVERIFY(w.isVisible());

        // Unticked, even unsaved, minimising is plain again.
        f.app->core().generalSettings().minimizetotray = false;
        w.showMinimized();
        QTest::qWait(50);
        QVERIFY(w.isVisible());
        QVERIFY(w.isMinimized());

        tray.menu()->actions().at(1)->trigger();
        QVERIFY(!w.isVisible());
    }

    void withoutATrayMinimisingDoesNotHideTheWindow() {
        GuiFixture f;
        ambrel::gui::MainWindow& w = f.app->mainWindow();
        ambrel::gui::Tray tray(f.app->core(), w, [] { return false; });
        f.app->core().generalSettings().minimizetotray = true;
        w.show();
        w.showMinimized();
        QTest::qWait(50);
        QVERIFY(w.isVisible());
    }

    void aSecondStartBringsTheRunningCopyBackFromTheTray() {
        RunningCopy copy;
        ambrel::gui::MainWindow& w = copy.app->mainWindow();
        QVERIFY(!copy.app->handedOver());
        w.showMinimized();
        w.hide();
        const std::string record =
            ambrel::integration::buildHandOverRecord(true, {"/bin/prog", "http://h/p.jpg"}, "");
        QCOMPARE(copy.send(ambrel::integration::MessageKind::CopyData, record), std::string());
        QVERIFY(w.isVisible());
        QVERIFY(!w.isMinimized());
        // The handed-over arguments are the second start's business.
        QVERIFY(!ambrel::storage::fileExists(copy.folder + "listing/default.fifi"));

        QCOMPARE(copy.send(ambrel::integration::MessageKind::NewDownload, "@http://h/q.jpg"),
                 std::string());
        QCOMPARE(copy.app->core().services().clipboard.text(), std::string("http://h/q.jpg"));
        QCOMPARE(copy.app->core().pictures().size(), 1);
    }
};

QTEST_MAIN(SettingsTest)
#include "settings_test.moc"
