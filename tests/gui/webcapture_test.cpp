// The grab dialog and the browser buttons of the main window, on the fake browser and a
// page source from a table; the external browser is a script that records its argument.
#include <sys/stat.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>
#include <QtTest>
#include <map>

#include "core/list/popupmenu.h"
#include "core/web/browseurl.h"
#include "gui/grabdialog.h"
#include "gui/mainwindow.h"
#include "guifixture.h"

using ambrel::test::GuiFixture;

namespace {

class TablePages final : public ambrel::web::PageFetcher {
public:
    std::map<std::string, std::string> pages;
    ambrel::web::FetchedPage get(const std::string& address) override {
        const auto it = pages.find(address);
        if (it == pages.end()) {
            throw ambrel::web::FetchError("HTTP/1.1 404 Not Found", 404);
        }
        return {it->second, address};
    }
    void setCredentials(const std::string&, const std::string&) override {}
    ambrel::web::FetchedPage relayb(const std::string&) override { return {}; }
};

// The windows with the table of pages, and an external browser that appends each address
// it is given as a line of the file "opened" in the fixture's root.
struct WebFixture {
    TablePages pages;
    GuiFixture f{{}, {}, [this](ambrel::gui::GuiOptions& options, const std::string& root) {
                     options.pages = &pages;
                     const std::string script = root + "browser";
                     ambrel::storage::writeFileAtomically(
                         script, "#!/bin/sh\nprintf '%s\\n' \"$@\" >> \"" + root + "opened\"\n");
                     ::chmod(script.c_str(), 0700);
                     ambrel::platform::RegistryStore store(root + "registry.reg");
                     store.createKey(ambrel::web::kHtmlOpenCommandKey);
                     store.setString(ambrel::web::kHtmlOpenCommandKey, "",
                                     "\"" + script + "\" -new \"%1\"");
                 }};

    QString opened() const {
        const std::string file = f.root + "opened";
        return ambrel::storage::fileExists(file)
                   ? QString::fromStdString(ambrel::storage::readBytes(file))
                   : QString();
    }
};

int popupNumber(const char* name) {
    for (int n = 0; n < ambrel::list::kPopupItemCount; ++n) {
        if (std::string_view(ambrel::list::kPopupItems.at(static_cast<std::size_t>(n)).name) ==
            name) {
            return n;
        }
    }
    return -1;
}

void answerModal(const std::function<void(QWidget*)>& answer) {
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [answer, poll] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            answer(modal);
        } else {
            QTimer::singleShot(10, *poll);
        }
    };
    QTimer::singleShot(0, *poll);
}

}  // namespace

class WebCaptureTest final : public QObject {
    Q_OBJECT

private slots:
    void grabDialogAddsWhatPassesTheFilters() {
        WebFixture w;
        w.pages.pages["http://h/a/b.html"] =
            R"(<img src="p.jpg"><img src="thumb.jpg"><a href="/l.html"><img src="q.gif">)";
        ambrel::gui::MainWindow& main = w.f.app->mainWindow();
        main.show();
        QTest::mouseClick(main.button("grabButton"), Qt::LeftButton);
        auto& dialog = w.f.app->grabDialog();
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Add links from an address"));
        QVERIFY(dialog.findChild<QRadioButton*>("grabPicturesRadio")->isChecked());
        QVERIFY(!dialog.findChild<QCheckBox*>("useSrcBox")->isChecked());
        QCOMPARE(dialog.findChild<QCheckBox*>("useSrcBox")->text(), QStringLiteral("use \"src\""));

        // Activation takes a web address from the clipboard.
        QGuiApplication::clipboard()->setText("http://h/a/b.html");
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&dialog, &activate);
        QCOMPARE(dialog.findChild<QLineEdit*>("addressField")->text(),
                 QStringLiteral("http://h/a/b.html"));

        QTest::keyClicks(dialog.findChild<QLineEdit*>("includeField"), "http*.jpg");
        QTest::keyClicks(dialog.findChild<QLineEdit*>("excludeField"), "thumb");
        auto* grab = dialog.findChild<QPushButton*>("grabButton");
        QCOMPARE(grab->text(), QStringLiteral("Grab !"));
        QTest::mouseClick(grab, Qt::LeftButton);
        QCOMPARE(main.listView()->model()->rowCount(), 1);
        QCOMPARE(main.listView()->model()->index(0, 1).data().toString(),
                 QStringLiteral("http://h/a/p.jpg"));
        QCOMPARE(QString::fromStdString(w.f.read("listing/default.fifi")),
                 QStringLiteral("p||http://h/a/p.jpg\r\n"));
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QVERIFY(dialog.isVisible());

        // Links, with the filters cleared.
        dialog.findChild<QLineEdit*>("includeField")->clear();
        dialog.findChild<QLineEdit*>("excludeField")->clear();
        dialog.findChild<QRadioButton*>("grabLinksRadio")->click();
        QTest::mouseClick(grab, Qt::LeftButton);
        QCOMPARE(main.listView()->model()->rowCount(), 2);
        QCOMPARE(main.listView()->model()->index(1, 1).data().toString(),
                 QStringLiteral("http://h/l.html"));

        QTest::mouseClick(dialog.findChild<QPushButton*>("helpButton"), Qt::LeftButton);
        // The option after the registered program is dropped: the address is all it gets.
        QTRY_COMPARE(w.opened(), QStringLiteral("http://www.corvane.net/diderozeroz/"
                                                "how_to_extract_links_from_a_webpage.html\n"));
    }

    void popupItemsOpenTheGrabDialog() {
        WebFixture w;
        ambrel::gui::MainWindow& main = w.f.app->mainWindow();
        for (const char* item : {"Fromurl1", "GrabFromUrl1"}) {
            w.f.app->grabDialog().hide();
            main.setPopupItemVisible(popupNumber(item), true);
            QAction* action = main.popupMenu()->findChild<QAction*>(item);
            if (action == nullptr) {
                for (QMenu* sub : main.popupMenu()->findChildren<QMenu*>()) {
                    action = action != nullptr ? action : sub->findChild<QAction*>(item);
                }
            }
            QVERIFY2(action != nullptr, item);
            QVERIFY(action->isEnabled());
            action->trigger();
            QVERIFY2(w.f.app->grabDialog().isVisible(), item);
        }
    }

    void browserButtonsSteerTheBrowser() {
        WebFixture w;
        ambrel::gui::MainWindow& main = w.f.app->mainWindow();
        auto& browser = w.f.browser;
        browser.completeLoad();
        QVERIFY(!main.button("forwardButton")->isEnabled());

        QString asked;
        answerModal([&asked](QWidget* modal) {
            auto* input = qobject_cast<QInputDialog*>(modal);
            if (input == nullptr) {
                modal->close();
                return;
            }
            asked = input->windowTitle() + "|" + input->labelText() + "|" + input->textValue();
            input->setTextValue("http://h/next.html");
            input->accept();
        });
        QTest::mouseClick(main.button("goToUrlButton"), Qt::LeftButton);
        QCOMPARE(asked, QStringLiteral("Go to this url|Please your link|"));
        QCOMPARE(browser.navigations.back(), std::string("http://h/next.html"));
        browser.completeLoad();
        QVERIFY(main.button("backButton")->isEnabled());
        QVERIFY(!main.button("forwardButton")->isEnabled());

        QTest::mouseClick(main.button("backButton"), Qt::LeftButton);
        browser.completeLoad();
        QVERIFY(main.button("forwardButton")->isEnabled());
        QTest::mouseClick(main.button("forwardButton"), Qt::LeftButton);
        browser.completeLoad();
        QCOMPARE(browser.currentAddress(), std::string("http://h/next.html"));

        QTest::mouseClick(main.button("stopButton"), Qt::LeftButton);
        QCOMPARE(browser.stops, 1);

        // "l", the popup's "Open in browser", "¤" and "?" open the external browser.
        QTest::mouseClick(main.button("externalBrowserButton"), Qt::LeftButton);
        main.setPopupItemVisible(popupNumber("Openinbrowser1"), true);
        QAction* open = main.popupMenu()->findChild<QAction*>("Openinbrowser1");
        QVERIFY(open != nullptr && open->isEnabled());
        open->trigger();
        QTest::mouseClick(main.button("websiteButton"), Qt::LeftButton);
        QTest::mouseClick(main.button("helpButton"), Qt::LeftButton);
        QTRY_COMPARE(w.opened().count('\n'), 4);
        // Each start is a process of its own: they may finish in any order.
        QStringList lines = w.opened().split('\n', Qt::SkipEmptyParts);
        lines.sort();
        QCOMPARE(lines,
                 QStringList({"http://h/next.html", "http://h/next.html", "http://www.corvane.net/",
                              "http://www.corvane.net/diderozeroz/add_pictures.html"}));
    }

    void aPictureShownAloneIsFitted() {
        WebFixture w;
        auto& browser = w.f.browser;
        browser.images = {{800, 600}};
        browser.completeLoad();
        QCOMPARE(browser.images[0].width, 270);
        QCOMPARE(browser.images[0].height, 202);
    }
};

QTEST_MAIN(WebCaptureTest)
#include "webcapture_test.moc"
