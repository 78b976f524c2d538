// List editing from the main window: header clicks, in-place names, dropped files, the
// Delete key, and the link builder fed by the list's selection.
#include <QComboBox>
#include <QDropEvent>
#include <QHeaderView>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <QtTest>

#include "gui/linkbuilderdialog.h"
#include "gui/mainwindow.h"
#include "guifixture.h"

using ambrel::test::GuiFixture;

namespace {

void writeDefaultList(const std::string& folder) {
    ambrel::storage::writeFileAtomically(
        folder + "listing/default.fifi",
        "b||http://h/b.jpg\r\nc||http://h/c.jpg\r\na||http://h/a.jpg\r\n");
}

QStringList names(QTreeView* list) {
    QStringList out;
    for (int row = 0; row < list->model()->rowCount(); ++row) {
        out << list->model()->index(row, 0).data().toString();
    }
    return out;
}

void selectRow(QTreeView* list, int row) {
    list->selectionModel()->select(list->model()->index(row, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void selectRows(QTreeView* list, const std::vector<int>& rows) {
    list->selectionModel()->clearSelection();
    for (int row : rows) {
        list->selectionModel()->select(list->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

QStringList selectedNames(QTreeView* list) {
    QStringList out;
    for (const QModelIndex& index : list->selectionModel()->selectedRows()) {
        out << index.data().toString();
    }
    out.sort();
    return out;
}

// Answers the next modal dialog once it is up.
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

class ListEditingTest final : public QObject {
    Q_OBJECT

private slots:
    void headerClicksSortAndFlip() {
        GuiFixture f({}, writeDefaultList);
        ambrel::gui::MainWindow& w = f.app->mainWindow();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QHeaderView* header = w.listView()->header();
        const auto click = [header](int section) {
            QTest::mouseClick(
                header->viewport(), Qt::LeftButton, {},
                QPoint(header->sectionViewportPosition(section) + 10, header->height() / 2));
        };
        selectRow(w.listView(), 1);
        click(0);
        QCOMPARE(names(w.listView()), (QStringList{"c", "b", "a"}));
        click(0);
        QCOMPARE(names(w.listView()), (QStringList{"a", "b", "c"}));
        QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
        // The selected entry stays selected wherever the sort puts it, in the view and in core.
        QCOMPARE(selectedNames(w.listView()), QStringList{"c"});
        QCOMPARE(f.app->core().pictures().selectedRows(), std::vector<int>{2});
    }

    void droppedFilesAreAdded() {
        GuiFixture f;
        ambrel::gui::MainWindow& w = f.app->mainWindow();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const std::string pic = f.root + "my pic.jpg";
        ambrel::storage::writeFileAtomically(pic, "x");

        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(pic))});
        QWidget* target = w.listView()->viewport();
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        QVERIFY(drop.isAccepted());

        QCOMPARE(names(w.listView()), QStringList{"my pic"});
        QCOMPARE(f.read("listing/default.fifi"), "my pic||" + pic + "\r\n");
        // The same file again is in the list file already.
        QDropEvent again(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &again);
        QCOMPARE(w.listView()->model()->rowCount(), 1);
    }

    void editButtonRenamesInPlaceAndSavesAfterwards() {
        GuiFixture f({}, writeDefaultList);
        ambrel::gui::MainWindow& w = f.app->mainWindow();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        selectRows(w.listView(), {1, 2});
        QTest::mouseClick(w.button("editButton"), Qt::LeftButton);
        auto* editor = w.listView()->findChild<QLineEdit*>("nameEditor");
        QVERIFY(editor != nullptr);
        QCOMPARE(editor->text(), QStringLiteral("c"));
        QCOMPARE(selectedNames(w.listView()), (QStringList{"a", "c"}));
        editor->setText("renamed");
        QTest::keyClick(editor, Qt::Key_Return);
        // The delegate commits on its next turn of the event loop.
        QTRY_COMPARE(names(w.listView()), (QStringList{"b", "renamed", "a"}));
        QTRY_COMPARE(
            f.read("listing/default.fifi"),
            std::string("b||http://h/b.jpg\r\nrenamed||http://h/c.jpg\r\na||http://h/a.jpg\r\n"));
        QCOMPARE(f.app->core().pictures().selectedRows(), (std::vector<int>{1, 2}));
    }

    void theListsOwnGesturesRenameInPlace() {
        GuiFixture f;
        ambrel::gui::MainWindow& w = f.app->mainWindow();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const std::string one = f.root + "one.jpg";
        const std::string two = f.root + "two.jpg";
        ambrel::storage::writeFileAtomically(one, "1");
        ambrel::storage::writeFileAtomically(two, "2");
        ambrel::storage::writeFileAtomically(f.folder + "listing/default.fifi",
                                             "one||" + one + "\r\ntwo||" + two + "\r\n");
        ambrel::app::Tmyambrel& core = f.app->core();
        core.loadpicmyfile(f.folder + "listing/default.fifi");
        core.fileSettings().renamefile = true;
        QTreeView* list = w.listView();

        // F2, and a click on the name of the entry already selected, as in the file manager.
        struct Gesture {
            const char* name;
            int row;
            std::function<void()> start;
        };
        const Gesture gestures[] = {
            {"F2", 0, [list] { QTest::keyClick(list, Qt::Key_F2); }},
            {"click on the selected name", 1,
             [list] {
                 QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                   list->visualRect(list->model()->index(1, 0)).center());
             }},
        };
        for (const Gesture& g : gestures) {
            qInfo() << g.name;
            list->selectionModel()->setCurrentIndex(
                list->model()->index(g.row, 0),
                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            g.start();
            QTRY_VERIFY(list->findChild<QLineEdit*>("nameEditor") != nullptr);
            auto* editor = list->findChild<QLineEdit*>("nameEditor");
            editor->setText(QStringLiteral("new%1").arg(g.row));
            QTest::keyClick(editor, Qt::Key_Return);
            const std::string renamed = f.root + "new" + std::to_string(g.row) + ".jpg";
            QTRY_COMPARE(core.pictures().at(g.row).path, renamed);
            QCOMPARE(ambrel::storage::readBytes(renamed), std::string(g.row == 0 ? "1" : "2"));
            QTRY_VERIFY(f.read("listing/default.fifi")
                            .find("new" + std::to_string(g.row) + "||" + renamed) !=
                        std::string::npos);
            QTRY_VERIFY(list->findChild<QLineEdit*>("nameEditor") == nullptr);
        }
    }

    void escapeCancelsTheEdit() {
        GuiFixture f;
        ambrel::gui::MainWindow& w = f.app->mainWindow();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const std::string pic = f.root + "pic.jpg";
        ambrel::storage::writeFileAtomically(pic, "p");
        const std::string stored = "pic||" + pic + "\r\n";
        ambrel::storage::writeFileAtomically(f.folder + "listing/default.fifi", stored);
        ambrel::app::Tmyambrel& core = f.app->core();
        core.loadpicmyfile(f.folder + "listing/default.fifi");
        core.fileSettings().renamefile = true;
        QTreeView* list = w.listView();

        for (const char* how : {"F2", "Edit"}) {
            qInfo() << how;
            selectRow(list, 0);
            if (QByteArray(how) == "F2") {
                list->selectionModel()->setCurrentIndex(list->model()->index(0, 0),
                                                        QItemSelectionModel::NoUpdate);
                QTest::keyClick(list, Qt::Key_F2);
            } else {
                QTest::mouseClick(w.button("editButton"), Qt::LeftButton);
            }
            QPointer<QLineEdit> editor = list->findChild<QLineEdit*>("nameEditor");
            QVERIFY(editor != nullptr);
            editor->setText("other");
            QTest::keyClick(editor, Qt::Key_Escape);
            QTRY_VERIFY(editor.isNull());
            QTest::qWait(20);
            QCOMPARE(names(list), QStringList{"pic"});
            QCOMPARE(core.pictures().at(0).path, pic);
            QCOMPARE(ambrel::storage::readBytes(pic), std::string("p"));
            QVERIFY(!ambrel::storage::fileExists(f.root + "other.jpg"));
            QCOMPARE(f.read("listing/default.fifi"), stored);
        }
    }

    void closingTheWindowSavesANameBeingTyped() {
        GuiFixture f({}, writeDefaultList);
        ambrel::gui::MainWindow& w = f.app->mainWindow();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        selectRows(w.listView(), {0});
        QTest::mouseClick(w.button("editButton"), Qt::LeftButton);
        auto* editor = w.listView()->findChild<QLineEdit*>("nameEditor");
        QVERIFY(editor != nullptr);
        editor->setText("typed");
        // The program may end right after the window closes: no further turn of the loop.
        QVERIFY(w.close());
        QCOMPARE(
            f.read("listing/default.fifi"),
            std::string("typed||http://h/b.jpg\r\nc||http://h/c.jpg\r\na||http://h/a.jpg\r\n"));
    }

    void renamingOntoAnotherFileKeepsBothAndSavesNothing() {
        GuiFixture f;
        ambrel::gui::MainWindow& w = f.app->mainWindow();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const std::string old = f.root + "old.jpg";
        const std::string other = f.root + "new.jpg";
        ambrel::storage::writeFileAtomically(old, "mine");
        ambrel::storage::writeFileAtomically(other, "other");
        const std::string list = "old||" + old + "\r\n";
        ambrel::storage::writeFileAtomically(f.folder + "listing/default.fifi", list);
        ambrel::app::Tmyambrel& core = f.app->core();
        core.loadpicmyfile(f.folder + "listing/default.fifi");
        core.fileSettings().renamefile = true;
        core.fileSettings().renameandoverwrite = false;

        selectRow(w.listView(), 0);
        QTest::mouseClick(w.button("editButton"), Qt::LeftButton);
        auto* editor = w.listView()->findChild<QLineEdit*>("nameEditor");
        QVERIFY(editor != nullptr);
        editor->setText("new");
        QString told;
        answerModal([&told](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                told = box->text();
            }
            modal->close();
        });
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(told, QStringLiteral("Filename exist: result is not saved"));
        QTRY_COMPARE(names(w.listView()), QStringList{"new"});
        QTest::qWait(20);
        QCOMPARE(f.read("listing/default.fifi"), list);
        QCOMPARE(ambrel::storage::readBytes(old), std::string("mine"));
        QCOMPARE(ambrel::storage::readBytes(other), std::string("other"));
        QCOMPARE(core.pictures().at(0).path, old);
    }

    void deleteAndBackspaceRunWhatRemoveRuns() {
        GuiFixture f({}, writeDefaultList);
        ambrel::gui::MainWindow& w = f.app->mainWindow();
        int removals = 0;
        w.wire("removeButton", [&removals] { ++removals; });
        // Remove itself asks in the "Remove online" window: closing it removes nothing.
        int asked = 0;
        QWidget* removeOnline = f.app->ui().window(ambrel::platform::Window::RemoveOnline);
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (removeOnline->isVisible()) {
                ++asked;
                removeOnline->close();
            }
        });
        closer.start(10);
        QTest::keyClick(w.listView(), Qt::Key_Delete);
        QTest::keyClick(w.listView(), Qt::Key_Backspace);
        QCOMPARE(removals, 2);
        QCOMPARE(asked, 2);
        QCOMPARE(f.app->core().pictures().size(), 3);
    }

    void groupButtonsKeepTheDropDownCurrent() {
        GuiFixture f({}, writeDefaultList);
        ambrel::gui::MainWindow& w = f.app->mainWindow();
        w.show();
        QComboBox* groups = w.groupCombo();
        QCOMPARE(groups->count(), 2);

        // A dialog of another kind is closed unanswered, so the test fails instead of hanging.
        QString asked;
        answerModal([&asked](QWidget* modal) {
            auto* input = qobject_cast<QInputDialog*>(modal);
            if (input == nullptr) {
                modal->close();
                return;
            }
            asked = input->labelText();
            input->setTextValue("cats");
            input->accept();
        });
        QTest::mouseClick(w.button("createGroupButton"), Qt::LeftButton);
        QCOMPARE(asked, QStringLiteral("Please type the name of the new group"));
        QCOMPARE(groups->count(), 3);
        QCOMPARE(groups->itemText(2), QStringLiteral("cats"));

        groups->setCurrentIndex(2);
        QTest::mouseClick(w.button("showGroupButton"), Qt::LeftButton);
        QCOMPARE(w.listView()->model()->rowCount(), 0);

        answerModal([&asked](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (box == nullptr || box->button(QMessageBox::Yes) == nullptr) {
                modal->close();
                return;
            }
            asked = box->text();
            box->button(QMessageBox::Yes)->click();
        });
        QTest::mouseClick(w.button("deleteGroupButton"), Qt::LeftButton);
        QCOMPARE(asked, QStringLiteral("Confirmation to delete ?"));
        QCOMPARE(groups->count(), 2);
        QCOMPARE(groups->currentIndex(), 0);
        QCOMPARE(w.listView()->model()->rowCount(), 3);  // back on the main list
        QVERIFY(!ambrel::storage::fileExists(f.folder + "listing/cats.fifi"));
    }

    void popupItemsRunTheirCommands() {
        GuiFixture f({}, writeDefaultList);
        ambrel::gui::MainWindow& w = f.app->mainWindow();
        f.app->core().pictures().setSelection({0, 2});
        struct Item {
            int number;
            std::string clipboard;
        };
        for (const Item& item :
             {Item{19, "http://h/a.jpg\r\nhttp://h/b.jpg"},
              Item{32, "<img src=\"http://h/a.jpg\"><br>\r\n<img src=\"http://h/b.jpg\">"},
              Item{21, "[img]http://h/a.jpg[/img]\r\n[img]http://h/b.jpg[/img]"}}) {
            w.popupAction(item.number)->trigger();
            QCOMPARE(f.app->core().services().clipboard.text(), item.clipboard);
        }
        QVERIFY(!f.app->linkBuilderDialog().isVisible());
        w.popupAction(3)->trigger();  // "Copy BBcode1" of "Links" opens the link builder
        QVERIFY(f.app->linkBuilderDialog().isVisible());

        f.app->core().pictures().assign({{"n", "http://h/n.jpg"}});
        w.popupAction(43)->trigger();  // "Save list"
        QCOMPARE(f.read("listing/default.fifi"), std::string("n||http://h/n.jpg\r\n"));
    }

    void linkBuilderFillsFromTheSelection() {
        GuiFixture f({}, writeDefaultList);
        ambrel::gui::MainWindow& w = f.app->mainWindow();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTreeView* list = w.listView();
        selectRow(list, 0);
        QTest::mouseClick(w.button("linkBuilderButton"), Qt::LeftButton);
        ambrel::gui::LinkBuilderDialog& dialog = f.app->linkBuilderDialog();
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Copy links for pictures to your clipboard"));
        for (const QWidget* part : dialog.findChildren<QWidget*>()) {
            QVERIFY2(!part->objectName().isEmpty(), part->metaObject()->className());
        }
        QCOMPARE(dialog.thumbnailField()->text(), QStringLiteral("http://h/b.jpg"));

        selectRow(list, 1);
        QCOMPARE(dialog.linkField()->text(), QStringLiteral("http://h/c.jpg"));
        selectRow(list, 2);
        QCOMPARE(dialog.linkField()->text(), QStringLiteral("http://h/a.jpg"));
        QCOMPARE(dialog.thumbnailField()->text(), QStringLiteral("http://h/b.jpg"));

        QTest::mouseClick(dialog.findChild<QPushButton*>("copyBBcode1Button"), Qt::LeftButton);
        QCOMPARE(f.app->core().services().clipboard.text(),
                 std::string("[url=http://h/a.jpg][img]http://h/b.jpg[/img][/url]"));

        QTest::mouseClick(dialog.findChild<QPushButton*>("clearThumbnailButton"), Qt::LeftButton);
        QTest::mouseClick(dialog.findChild<QPushButton*>("clearLinkButton"), Qt::LeftButton);
        QCOMPARE(dialog.thumbnailField()->text(), QString());
        QCOMPARE(dialog.linkField()->text(), QString());
        // A full-size address typed by hand becomes the link beside its thumbnail.
        QTest::keyClicks(dialog.thumbnailField(), "http://i/p.png");
        dialog.servicesMenu()->findChild<QAction*>("Copyforimageshack1")->trigger();
        QCOMPARE(dialog.thumbnailField()->text(), QStringLiteral("http://i/p.th.png"));
        QCOMPARE(dialog.linkField()->text(), QStringLiteral("http://i/p.png"));

        QTest::mouseClick(dialog.findChild<QPushButton*>("cancelButton"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.thumbnailField()->text(), QString());
        QCOMPARE(dialog.linkField()->text(), QString());
        selectRow(list, 0);
        // A closed dialog takes nothing.
        QCOMPARE(dialog.thumbnailField()->text(), QString());
    }
};

QTEST_MAIN(ListEditingTest)
#include "listediting_test.moc"
