// The "Upload settings" window and the two FTP dialogs, driven by object name.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "core/app/uploadsettingswindow.h"
#include "core/storage/tagfile.h"
#include "gui/mainwindow.h"
#include "guifixture.h"

using ambrel::platform::Window;
using ambrel::test::child;
using ambrel::test::GuiFixture;

namespace {

const std::string kFtp =
    "<url>http://pics.example</url>\r\n<ftp>\r\n<passive>y</passive>\r\n<port>21</port>\r\n"
    "<host>ftp.example</host>\r\n<login>me</login>\r\n<pass>pw</pass>\r\n<dir>up</dir>\r\n"
    "<notfound>410</notfound>\r\n<startdirr>www</startdirr>\r\n";
const std::string kHtml = "<url>http://host/post</url>\r\n<html>\r\n<topost>\r\n</topost>\r\n";

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

// Lays out definitions (file name, text) before the program starts.
std::function<void(const std::string&)> definitions(
    std::vector<std::pair<std::string, std::string>> files) {
    return [files](const std::string& folder) {
        for (const auto& [name, text] : files) {
            ambrel::storage::writeFileAtomically(folder + "upfiles/" + name, text);
        }
    };
}

// Runs the click and returns the text of the message box it opened (closed unanswered),
// or "" when none came up.
QString messageFrom(const std::function<void()>& click) {
    auto told = std::make_shared<QString>();
    auto poll = std::make_shared<std::function<void()>>();
    auto done = std::make_shared<bool>(false);
    *poll = [told, poll, done] {
        if (*done) {
            return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            *told = box->text();
            box->close();
        } else {
            QTimer::singleShot(10, *poll);
        }
    };
    QTimer::singleShot(0, *poll);
    click();
    *done = true;
    return *told;
}

void click(QWidget* window, const char* button) {
    QTest::mouseClick(child<QPushButton>(window, button), Qt::LeftButton);
}

void type(QWidget* window, const char* field, const QString& text) {
    auto* edit = child<QLineEdit>(window, field);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

}  // namespace

class UploadSettingsTest final : public QObject {
    Q_OBJECT

private slots:
    void ftpDialogsCarryTheirCaptionsExactly() {
        GuiFixture f;
        for (Window which : {Window::AddFtpServer, Window::EditFtpServer}) {
            QWidget* dialog = f.app->ui().window(which);
            const QList<std::pair<const char*, QString>> rows = {
                {"nameGroup", "Name of ouput file"},
                {"passiveBox", "Upload in passive mode"},
                {"urlGroup", "Root url for your files"},
                {"dirGroup", "Upload directory"},
                {"hostGroup", "Server Host "},
                {"notfoundGroup", "\"Not found\" code"},
                {"startdirrGroup", "Start directory"},
                {"loginGroup", "Login and pass"},
                {"loginLabel", "login"},
                {"passLabel", "pass (you can\n leave blank)"},
                {"portGroup", "Port"},
                {"okButton", "Ok"},
                {"cancelButton", "Cancel"},
            };
            for (const auto& [name, caption] : rows) {
                QCOMPARE(captionOf(dialog, name), caption);
            }
            QCOMPARE(child<QLineEdit>(dialog, "notfoundField")->text(), QStringLiteral("404"));
            QVERIFY(!child<QCheckBox>(dialog, "passiveBox")->isChecked());
        }
        QCOMPARE(f.app->ui().window(Window::AddFtpServer)->windowTitle(),
                 QStringLiteral("Add a new ftp server"));
        QCOMPARE(f.app->ui().window(Window::EditFtpServer)->windowTitle(),
                 QStringLiteral("Edit a ftp server"));
        QWidget* settings = f.app->ui().window(Window::UploadSettings);
        QCOMPARE(settings->windowTitle(), QStringLiteral("Upload settings"));
        for (const auto& [name, caption] :
             QList<std::pair<const char*, QString>>{{"uploadWithGroup", "Upload with"},
                                                    {"editButton", "Edit"},
                                                    {"deleteButton", "Delete"},
                                                    {"setDefaultButton", "Set default"},
                                                    {"addHtmlButton", "Add Html upload"},
                                                    {"addFtpButton", "Add FTP upload"}}) {
            QCOMPARE(captionOf(settings, name), caption);
        }
        QVERIFY(!child<QPushButton>(settings, "addHtmlButton")->isEnabled());
    }

    void addingChecksTheFieldsInOrderThenSaves() {
        GuiFixture f({}, definitions({{"taken.txt", kFtp}, {"zed.txt", kFtp}}));
        ambrel::gui::MainWindow& w = f.app->mainWindow();
        QTest::mouseClick(w.button("uploadSettingsButton"), Qt::LeftButton);
        QWidget* settings = f.app->ui().window(Window::UploadSettings);
        QVERIFY(settings->isVisible());
        auto* list = child<QComboBox>(settings, "definitionsList");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->currentText(), QStringLiteral("taken"));

        click(settings, "addFtpButton");
        QWidget* add = f.app->ui().window(Window::AddFtpServer);
        QVERIFY(add->isVisible());
        type(add, "notfoundField", "");
        const auto ok = [add] { return messageFrom([add] { click(add, "okButton"); }); };
        type(add, "nameField", "my.site");
        QCOMPARE(ok(), QStringLiteral("No dots please"));
        type(add, "nameField", "taken");
        QCOMPARE(ok(), QStringLiteral("This name is already in use"));
        type(add, "nameField", "");
        QCOMPARE(ok(), QStringLiteral("Enter a root for your files"));
        type(add, "urlField", "http://pics.example");
        QCOMPARE(ok(), QStringLiteral("Enter a port"));
        type(add, "portField", "21");
        QCOMPARE(ok(), QStringLiteral("Enter a host"));
        type(add, "hostField", "ftp.example");
        QCOMPARE(ok(), QStringLiteral("Enter a login"));
        type(add, "loginField", "me");
        QCOMPARE(ok(), QStringLiteral("Enter a code"));
        type(add, "notfoundField", "404");
        QCOMPARE(ok(), QStringLiteral("Enter a name for the output"));
        QVERIFY(add->isVisible());

        type(add, "nameField", "new");
        QTest::mouseClick(child<QCheckBox>(add, "passiveBox"), Qt::LeftButton);
        QCOMPARE(ok(), QString());
        QVERIFY(!add->isVisible());
        const std::string text = f.read("upfiles/new.txt");
        QVERIFY(
            text.starts_with("<url>http://pics.example</url>\r\n<ftp>\r\n<passive>y</passive>"));
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->itemText(0), QStringLiteral("new"));
        QCOMPARE(list->currentText(), QStringLiteral("taken"));

        // "Cancel" only closes: the fields come back as they were.
        click(settings, "addFtpButton");
        type(add, "nameField", "half");
        click(add, "cancelButton");
        QVERIFY(!add->isVisible());
        click(settings, "addFtpButton");
        QCOMPARE(child<QLineEdit>(add, "nameField")->text(), QStringLiteral("half"));
        QCOMPARE(child<QLineEdit>(add, "hostField")->text(), QStringLiteral("ftp.example"));
    }

    void editFillsTheDialogWhoseCaptionFollowsTheName() {
        GuiFixture f({}, definitions({{"form.txt", kHtml}, {"home.txt", kFtp}}));
        QWidget* settings = f.app->ui().window(Window::UploadSettings);
        auto* list = child<QComboBox>(settings, "definitionsList");
        QCOMPARE(list->currentText(), QStringLiteral("form"));
        QCOMPARE(messageFrom([settings] { click(settings, "editButton"); }),
                 QString::fromUtf8(ambrel::app::UploadSettingsWindow::kNotEditableYet));
        QWidget* edit = f.app->ui().window(Window::EditFtpServer);
        QVERIFY(!edit->isVisible());

        list->setCurrentIndex(1);
        emit list->activated(1);
        QCOMPARE(f.app->core().uploadSettings().current(), std::string("home"));
        QCOMPARE(messageFrom([settings] { click(settings, "editButton"); }), QString());
        QVERIFY(edit->isVisible());
        QCOMPARE(edit->windowTitle(), QStringLiteral("Edit a ftp server"));
        for (const auto& [name, value] :
             QList<std::pair<const char*, QString>>{{"nameField", "home"},
                                                    {"urlField", "http://pics.example"},
                                                    {"portField", "21"},
                                                    {"hostField", "ftp.example"},
                                                    {"loginField", "me"},
                                                    {"passField", "pw"},
                                                    {"dirField", "up"},
                                                    {"notfoundField", "410"},
                                                    {"startdirrField", "www"}}) {
            QCOMPARE(child<QLineEdit>(edit, name)->text(), value);
        }
        QVERIFY(child<QCheckBox>(edit, "passiveBox")->isChecked());

        QTest::keyClicks(child<QLineEdit>(edit, "nameField"), "2");
        QCOMPARE(edit->windowTitle(), QStringLiteral("Add a ftp server"));
        QTest::keyClick(child<QLineEdit>(edit, "nameField"), Qt::Key_Backspace);
        QCOMPARE(edit->windowTitle(), QStringLiteral("Edit a ftp server"));

        // "Cancel" empties the dialog.
        click(edit, "cancelButton");
        QVERIFY(!edit->isVisible());
        for (const char* name : {"nameField", "urlField", "portField", "hostField", "loginField",
                                 "passField", "dirField", "startdirrField"}) {
            QVERIFY2(child<QLineEdit>(edit, name)->text().isEmpty(), name);
        }
        QCOMPARE(child<QLineEdit>(edit, "notfoundField")->text(), QStringLiteral("404"));
        QVERIFY(!child<QCheckBox>(edit, "passiveBox")->isChecked());
        QCOMPARE(f.read("upfiles/home.txt"), kFtp);
    }

    void deleteAndSetDefault() {
        GuiFixture f({}, definitions({{"a.txt", kFtp}, {"b.txt", kFtp}, {"c.txt", kFtp}}));
        QWidget* settings = f.app->ui().window(Window::UploadSettings);
        auto* list = child<QComboBox>(settings, "definitionsList");
        QString asked;
        auto poll = std::make_shared<std::function<void()>>();
        *poll = [&asked, poll] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || box->button(QMessageBox::Yes) == nullptr) {
                QTimer::singleShot(10, *poll);
                return;
            }
            asked = box->text();
            QVERIFY(box->icon() == QMessageBox::NoIcon);
            box->button(QMessageBox::Yes)->click();
        };
        QTimer::singleShot(0, *poll);
        click(settings, "deleteButton");
        QCOMPARE(asked, QStringLiteral("Confirmation to delete ?"));
        QVERIFY(!ambrel::storage::fileExists(f.folder + "upfiles/a.txt"));
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->currentText(), QStringLiteral("c"));

        click(settings, "setDefaultButton");
        QCOMPARE(ambrel::storage::getfromstrxml(f.read("options.ini"), "useupset"),
                 std::string("2"));
    }
};

QTEST_MAIN(UploadSettingsTest)
#include "uploadsettings_test.moc"
