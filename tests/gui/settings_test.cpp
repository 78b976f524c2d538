// The settings dialogs, the popup menu's visibility, the tray and the hand-over channel of a
// running copy, driven by object name.
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
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
using ambrel::test::child;
using ambrel::test::GuiFixture;

namespace {

void writeOptions(const std::string& folder, const std::string& text) {
    ambrel::storage::writeFileAtomically(folder + "options.ini", text);
}

// The visible text of a named control of a dialog: a group's title, a box's or a button's
// caption, a label's text.
QString captionOf(QWidget* dialog, const char* name) {
    QWidget* w = child<QWidget>(dialog, name);
    if (auto* group = qobject_cast<QGroupBox*>(w)) {
        return group->title();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        return button->text();
    }
    if (auto* label = qobject_cast<QLabel*>(w)) {
        return label->text();
    }
    qFatal("%s has no caption", name);
}

void compareCaptions(QWidget* dialog, const std::vector<std::pair<const char*, QString>>& rows) {
    for (const auto& [name, caption] : rows) {
        const QString shown = captionOf(dialog, name);
        QVERIFY2(
            shown == caption,
            qPrintable(QStringLiteral("%1 reads \"%2\", not \"%3\"").arg(name, shown, caption)));
    }
}

// The captions of a menu's items in the order they stand, hidden ones included.
QStringList captionsOf(const QMenu* menu) {
    QStringList captions;
    for (const QAction* a : menu->actions()) {
        captions << a->text();
    }
    return captions;
}

// A copy of the program with its single-instance guard on, as a first start.
struct RunningCopy : ambrel::test::GuiFixture {
    RunningCopy()
        : GuiFixture({}, {}, [](ambrel::gui::GuiOptions& options, const std::string& fixtureRoot) {
              options.commandLine = {"/bin/prog"};
              options.instanceFolder = fixtureRoot + "run";
              options.exeName = "prog";
          }) {}

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
        // A hand-over runs once its sender has the answer: let it run.
        QCoreApplication::processEvents();
        return answer;
    }
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

    void dialogsCarryTheirCaptionsExactly() {
        GuiFixture f;
        QWidget* files = f.app->ui().window(Window::FileSettings);
        QCOMPARE(files->windowTitle(), QStringLiteral("File settings"));
        compareCaptions(
            files,
            {{"downdirGroup", "Download directory"},
             {"downdirChoose", "..."},
             {"downdirOpen", "o"},
             {"convdirGroup", "Conversion directory"},
             {"convdirChoose", "..."},
             {"convdirOpen", "o"},
             {"thumbextGroup", "Extension for thumbnails"},
             {"excextensionsGroup", "Excluded extension for file loading (ends with ; )"},
             {"usetheextfeatureBox", "Use this function"},
             {"webexcextensionsGroup", "Excluded extension for browser loading (ends with ; )"},
             {"webexcextensionsNote", "(click o to open anyway)"},
             {"webusetheextfeatureBox", "Use this function"},
             {"ifcopyaddlistGroup", "Add to list if you copy in the context menu of the browser"},
             {"ifcopyaddlistBox", "yes"},
             {"renamefileGroup", "Rename real local filenames when edited"},
             {"renamefileBox", "Yes"},
             {"renamefileNote", "(be careful if you have the file in an other list)"},
             {"renameandoverwriteBox", "overwrite existing files"},
             {"saveButton", "Save"},
             {"closeButton", "Close"}});

        QWidget* general = f.app->ui().window(Window::GeneralSettings);
        QCOMPARE(general->windowTitle(), QStringLiteral("General settings"));
        compareCaptions(general, {{"slideshowGroup", "Slideshow"},
                                  {"timeLabel", "Time between each pictures (ms)"},
                                  {"resizeBox", "Resize to screen"},
                                  {"behaviorGroup", "Application behavior"},
                                  {"minimizeBox", "Minimize to tray"},
                                  {"contextMenuGroup", "Iexplorer context menu"},
                                  {"addToListBox", "Option add to list"},
                                  {"copyToClipBox", "Option: copy to clipboard"},
                                  {"copyAndAddBox", "Option: copy and add:"},
                                  {"prependLabel", "Prepend"},
                                  {"appendLabel", "Append"},
                                  {"popupMenuGroup", "Right menu options"},
                                  {"defaultPageGroup", "Default page"},
                                  {"saveButton", "Save"},
                                  {"quitButton", "Quit"},
                                  {"helpButton", "Help"},
                                  {"aboutButton", "About"}});
    }

    void aboutShowsTheVersionAndTheMakersSite() {
        GuiFixture f;
        QWidget* dialog = f.app->ui().window(Window::GeneralSettings);
        QTest::mouseClick(child<QPushButton>(dialog, "aboutButton"), Qt::LeftButton);
        QWidget* about = f.app->ui().window(Window::About);
        QVERIFY(about->isVisible());
        QCOMPARE(child<QLabel>(about, "versionLabel")->text(), QStringLiteral("Version 1.01"));
        QVERIFY(child<QLabel>(about, "makerLink")->text().contains("http://www.corvane.net/"));
        QTest::mouseClick(child<QPushButton>(about, "closeButton"), Qt::LeftButton);
        QVERIFY(!about->isVisible());
    }

    void popupMenuAndTreeStandInTheirOrders() {
        GuiFixture f;
        QMenu* popup = f.app->mainWindow().popupMenu();
        QCOMPARE(captionsOf(popup), (QStringList{"Links",
                                                 "Add links",
                                                 "Move",
                                                 "Copy",
                                                 "Open in browser",
                                                 "Add Picture",
                                                 "Add Picture Url",
                                                 "Grab From Url",
                                                 "From Clipboard",
                                                 "Upload",
                                                 "Check Links",
                                                 "Download",
                                                 "Cut",
                                                 "Paste",
                                                 "Copy",
                                                 "Copy Html",
                                                 "Copy BBCode1",
                                                 "Copy BBCode2",
                                                 "Edit",
                                                 "Remove",
                                                 "Resize",
                                                 "To bmp",
                                                 "To jpeg",
                                                 "Set as wallpaper",
                                                 "Save list"}));
        const std::vector<std::pair<int, QStringList>> submenus = {
            {0,
             {"Copy", "Copy Html", "Copy BBcode1", "Copy BBcode2", "Paste", "Cut", "Edit", "Remove",
              "Check links"}},
            {1, {"Local Files", "Url links", "From url", "From clipboard"}},
            {2, {"Upload", "Download"}},
            {3, {"Url", "Html", "BBCode1", "BBcode2"}}};
        for (const auto& [at, children] : submenus) {
            QMenu* submenu = popup->actions().at(at)->menu();
            QVERIFY(submenu != nullptr);
            QCOMPARE(captionsOf(submenu), children);
        }

        // The tree lists the same items by number, parents before their children.
        auto* tree = child<QTreeWidget>(f.app->ui().window(Window::GeneralSettings), "popupTree");
        QStringList nodes;
        for (QTreeWidgetItemIterator it(tree); *it != nullptr; ++it) {
            nodes << (*it)->text(0);
        }
        QCOMPARE(nodes, (QStringList{"Links",
                                     "Copy",
                                     "Copy html",
                                     "Copy bbcode1",
                                     "Copy bbcode2",
                                     "Paste",
                                     "Cut",
                                     "Remove",
                                     "Edit",
                                     "Check links",
                                     "Add links",
                                     "Local files",
                                     "Url links",
                                     "From url",
                                     "From clipboard",
                                     "Move",
                                     "Upload",
                                     "Download",
                                     "Copy",
                                     "url",
                                     "html",
                                     "bbcode1",
                                     "bbcode2",
                                     "Add picture",
                                     "Add picture url",
                                     "Grab from url",
                                     "From clipboard",
                                     "Upload",
                                     "Check links",
                                     "Download",
                                     "Paste",
                                     "Copy",
                                     "Copy html",
                                     "Copy bbcode1",
                                     "Copy bbcode2",
                                     "Cut",
                                     "Remove",
                                     "Resize",
                                     "To bmp",
                                     "To jpeg",
                                     "Set as wallpaper",
                                     "Edit",
                                     "Open in browser",
                                     "Save list"}));
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

    // A desktop whose tray comes up after the program started: the icon appears when the
    // window goes there, so the window can always be brought back.
    void aTrayThatComesUpLaterStillTakesTheWindowWithItsIcon() {
        GuiFixture f;
        ambrel::gui::MainWindow& w = f.app->mainWindow();
        bool available = false;
        ambrel::gui::Tray tray(f.app->core(), w, [&] { return available; });
        QVERIFY(!tray.icon()->isVisible());
        f.app->core().generalSettings().minimizetotray = true;
        w.show();
        available = true;
        w.showMinimized();
        QTRY_VERIFY(!w.isVisible());
        QVERIFY(tray.icon()->isVisible());
    }

    void comingBackKeepsAMaximisedWindowMaximised() {
        GuiFixture f;
        ambrel::gui::MainWindow& w = f.app->mainWindow();
        ambrel::gui::Tray tray(f.app->core(), w, [] { return true; });
        f.app->core().generalSettings().minimizetotray = true;
        w.showMaximized();
        w.showMinimized();
        QTRY_VERIFY(!w.isVisible());
        tray.activate(QSystemTrayIcon::Trigger);
        QVERIFY(w.isVisible());
        QVERIFY(!w.isMinimized());
        QVERIFY(w.isMaximized());
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
