// The transfer windows and commands driven by object name: "Download list", "Authorization
// required", "Progress" and "Remove online", against loopback test servers.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "core/list/popupmenu.h"
#include "core/transfer/textrules.h"
#include "gui/mainwindow.h"
#include "gui/qtui.h"
#include "guifixture.h"
#include "support/ftpserver.h"
#include "support/httpserver.h"

using ambrel::platform::Window;
using ambrel::test::child;
using ambrel::test::GuiFixture;

namespace {

// Closes every message box as it comes, keeping its text.
class MessageCatcher {
public:
    MessageCatcher() {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(w);
                if (box != nullptr && box->isVisible()) {
                    texts << box->text();
                    box->done(QMessageBox::Ok);
                }
            }
        });
        m_timer.start(20);
    }
    QStringList texts;

private:
    QTimer m_timer;
};

void selectRow(QTreeView* view, int row) {
    view->selectionModel()->select(view->model()->index(row, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

}  // namespace

class TransfersTest final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { m_http = std::make_unique<ambrel::test::HttpServer>(); }
    void cleanupTestCase() { m_http.reset(); }

    void commandsAreWired() {
        GuiFixture f;
        ambrel::gui::MainWindow& w = f.app->mainWindow();
        for (const char* name : {"uploadButton", "downloadButton", "checkLinksButton",
                                 "removeButton", "stopButton", "mobileButton"}) {
            QVERIFY2(w.button(name)->isEnabled(), name);
        }
        const QStringList commands = {"uploadButton", "downloadButton", "checkLinksButton",
                                      "removeButton"};
        int items = 0;
        for (int n = 0; n < ambrel::list::kPopupItemCount; ++n) {
            const auto& item = ambrel::list::kPopupItems.at(static_cast<std::size_t>(n));
            if (commands.contains(QString::fromUtf8(item.command))) {
                ++items;
                w.setPopupItemVisible(n, true);  // a hidden action also reads as disabled
                QVERIFY2(w.popupAction(n)->isEnabled(), item.name);
            }
        }
        QCOMPARE(items, 8);
        // "M" with nothing selected only explains itself.
        MessageCatcher messages;
        QTest::mouseClick(w.button("mobileButton"), Qt::LeftButton);
        QTRY_COMPARE(messages.texts.size(), 1);
        QVERIFY(messages.texts[0].contains("mobile"));
    }

    void downloadListFetchesIntoTheDownloadFolder() {
        GuiFixture f;
        ambrel::gui::MainWindow& w = f.app->mainWindow();
        const std::string downloads = f.root + "down";
        std::filesystem::create_directory(downloads);
        f.app->core().fileSettings().downdir = downloads;
        const std::string address = m_http->url("/size/1000/pic.jpg");
        QApplication::clipboard()->setText(
            QString::fromStdString(address + "\nftp://h/x.jpg\n not/this"));
        QTest::mouseClick(w.button("downloadButton"), Qt::LeftButton);
        QWidget* dialog = f.app->ui().window(Window::DownloadList);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Download list"));
        QCOMPARE(child<QLabel>(dialog, "warningLabel")->text(),
                 QStringLiteral("Warning myambrel is a picture manager and not a download "
                                "manager and does not support resume for now"));
        QCOMPARE(child<QPlainTextEdit>(dialog, "downloadListField")->toPlainText(),
                 QString::fromStdString(address + "\n"));
        QCOMPARE(child<QCheckBox>(dialog, "addToListBox")->text(), QStringLiteral("Add to list"));
        QVERIFY(child<QCheckBox>(dialog, "addToListBox")->isChecked());

        QTest::mouseClick(child<QPushButton>(dialog, "downloadButton"), Qt::LeftButton);
        QTRY_VERIFY(!dialog->isVisible());
        QCOMPARE(ambrel::transfer::GetFileSize(downloads + "/pic.jpg"), 1000);
        QCOMPARE(f.app->core().pictures().size(), 1);
        QCOMPARE(f.app->core().pictures().at(0).path, downloads + "/pic.jpg");
        QVERIFY(!f.app->ui().window(Window::Progress)->isVisible());

        // "Cancel" only closes.
        QTest::mouseClick(w.button("downloadButton"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(dialog, "cancelButton"), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
    }

    void authorizationIsAnsweredInItsWindow() {
        GuiFixture f;
        const std::string downloads = f.root + "down";
        std::filesystem::create_directory(downloads);
        f.app->core().fileSettings().downdir = downloads;
        QWidget* auth = f.app->ui().window(Window::Authorization);
        QCOMPARE(auth->windowTitle(), QStringLiteral("Authorization required"));
        QCOMPARE(child<QLineEdit>(auth, "passwordField")->echoMode(), QLineEdit::Password);
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            if (auth->isVisible()) {
                answer.stop();
                QTest::keyClicks(child<QLineEdit>(auth, "usernameField"), "ann");
                QTest::keyClicks(child<QLineEdit>(auth, "passwordField"), "pw");
                QTest::mouseClick(child<QPushButton>(auth, "okButton"), Qt::LeftButton);
            }
        });
        answer.start(20);
        f.app->downloadList().setText(m_http->url("/auth/ann/pw/secret.jpg"));
        f.app->core().runCommand([&] { f.app->downloadList().download(); });
        QCOMPARE(f.read("../down/secret.jpg"), std::string("granted"));
        QVERIFY(!auth->isVisible());
    }

    void progressWindowShowsTheTransferAndCancels() {
        GuiFixture f;
        const std::string downloads = f.root + "down";
        std::filesystem::create_directory(downloads);
        f.app->core().fileSettings().downdir = downloads;
        QWidget* progress = f.app->ui().window(Window::Progress);
        QCOMPARE(progress->windowTitle(), QStringLiteral("Progress"));
        QVERIFY(progress->windowFlags().testFlag(Qt::FramelessWindowHint));
        auto* cancel = child<QPushButton>(progress, "cancelButton");
        QCOMPARE(cancel->text(), QStringLiteral("C"));
        QCOMPARE(cancel->toolTip(), QStringLiteral("Cancel"));
        auto* bar = child<QProgressBar>(progress, "transferBar");
        MessageCatcher messages;
        QTimer press;
        int maximum = 0;
        QString speed;
        QObject::connect(&press, &QTimer::timeout, [&] {
            if (progress->isVisible() && bar->value() > 2000) {
                press.stop();
                maximum = bar->maximum();
                speed = child<QLabel>(progress, "speedLine")->text();
                QTest::mouseClick(cancel, Qt::LeftButton);
            }
        });
        press.start(20);
        f.app->downloadList().setText(m_http->url("/slow/500000/slow.jpg") + "\n" +
                                      m_http->url("/size/10/after.jpg"));
        f.app->core().runCommand([&] { f.app->downloadList().download(); });
        QCOMPARE(maximum, 500000);
        QVERIFY(speed.startsWith("Transfert speed: "));
        QVERIFY(!progress->isVisible());
        QTRY_COMPARE(messages.texts.size(), 1);
        QVERIFY(messages.texts[0].startsWith("Error : Connection closed"));
        QVERIFY(!std::filesystem::exists(downloads + "/after.jpg"));
    }

    void removeOnlineAsksThenRemoves() {
        GuiFixture f({}, [](const std::string& folder) {
            ambrel::test::writeFtpDefinition(folder + "upfiles/site.txt", "http://r", 21, "", "",
                                             "");
            ambrel::storage::writeFileAtomically(folder + "upfiles/form.txt",
                                                 "<url>http://f</url>\r\n<html>\r\n");
            ambrel::storage::writeFileAtomically(folder + "listing/default.fifi",
                                                 "a||http://h/a.jpg\r\nb||http://h/b.jpg\r\n");
        });
        ambrel::gui::MainWindow& w = f.app->mainWindow();
        QCOMPARE(f.app->core().pictures().size(), 2);
        selectRow(w.listView(), 0);
        QWidget* dialog = f.app->ui().window(Window::RemoveOnline);
        MessageCatcher messages;
        QStringList servers;
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            if (dialog->isVisible()) {
                answer.stop();
                auto* combo = child<QComboBox>(dialog, "serverCombo");
                for (int i = 0; i < combo->count(); ++i) {
                    servers << combo->itemText(i);
                }
                QTest::mouseClick(child<QPushButton>(dialog, "noButton"), Qt::LeftButton);
            }
        });
        answer.start(20);
        QTest::mouseClick(w.button("removeButton"), Qt::LeftButton);
        QTRY_COMPARE(messages.texts, QStringList{"Done !"});
        QCOMPARE(servers, QStringList{"site"});
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Remove online"));
        QCOMPARE(child<QLabel>(dialog, "serverLabel")->text(),
                 QStringLiteral("Remove files online if  they come from this website:"));
        QCOMPARE(child<QCheckBox>(dialog, "removeLocalBox")->toolTip(),
                 QStringLiteral("Check to delete local files"));
        QCOMPARE(child<QPushButton>(dialog, "cancelDeletionButton")->text(),
                 QStringLiteral("Cancel deletion"));
        QCOMPARE(f.app->core().pictures().size(), 1);
        QCOMPARE(f.read("listing/default.fifi"), std::string("b||http://h/b.jpg\r\n"));

        // Closing the window by its frame removes nothing.
        selectRow(w.listView(), 0);
        QTimer closeIt;
        QObject::connect(&closeIt, &QTimer::timeout, [&] {
            if (dialog->isVisible()) {
                closeIt.stop();
                dialog->close();
            }
        });
        closeIt.start(20);
        messages.texts.clear();
        QTest::keyClick(w.listView(), Qt::Key_Delete);
        QTest::qWait(50);
        QCOMPARE(f.app->core().pictures().size(), 1);
        QVERIFY(messages.texts.isEmpty());
    }

private:
    std::unique_ptr<ambrel::test::HttpServer> m_http;
};

QTEST_MAIN(TransfersTest)
#include "transfers_test.moc"
