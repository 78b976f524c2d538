#include "gui/mainwindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>

#include "core/list/commands.h"
#include "gui/picturelistmodel.h"
#include "gui/qtui.h"

namespace ambrel::gui {

using platform::Window;

MainWindow::MainWindow(app::Tmyambrel& app, QtUi& ui, QWidget* browserWidget)
    : m_app(app), m_ui(ui) {
    setObjectName("mainWindow");
    setWindowTitle(qs(m_app.caption()));

    for (const list::CommandInfo& info : list::kMainCommands) {
        auto* b = new QPushButton(QString::fromUtf8(info.caption));
        b->setObjectName(QString::fromUtf8(info.objectName));
        b->setToolTip(QString::fromUtf8(info.hint));
        b->setEnabled(false);  // a command is enabled once it is wired
        m_buttons.emplace(b->objectName(), b);
    }

    m_listView = new QTreeView;
    m_listView->setObjectName("pictureList");
    m_listView->setRootIsDecorated(false);
    m_listView->setUniformRowHeights(true);
    m_listView->setAllColumnsShowFocus(true);
    m_listView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_listView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_model = new PictureListModel(m_app.pictures(), this);
    m_listView->setModel(m_model);
    m_listView->header()->setStretchLastSection(false);
    applyColumnWidths();
    m_app.setTextWidthMeasure([this](const std::string& text) {
        return m_listView->fontMetrics().horizontalAdvance(qs(text));
    });
    connect(m_listView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MainWindow::syncSelectionToCore);
    connect(m_model, &PictureListModel::coreSelectionChanged, this,
            &MainWindow::syncSelectionFromCore);
    connect(m_model, &PictureListModel::coreColumnWidthsChanged, this,
            &MainWindow::applyColumnWidths);

    // The list with its folder buttons beside it.
    auto* folderButtons = new QVBoxLayout;
    for (const list::CommandInfo& info : list::kMainCommands) {
        if (info.box == list::CommandBox::Folder) {
            QPushButton* b = button(QString::fromUtf8(info.objectName));
            b->setFixedWidth(28);
            folderButtons->addWidget(b);
        }
    }
    folderButtons->addStretch();
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(m_listView, 1);
    listRow->addLayout(folderButtons);

    // "Add to this group file": the target group and the group commands.
    auto* groupBox = new QGroupBox("Add to this group file");
    groupBox->setObjectName("groupBox");
    groupBox->setToolTip("The current file list");
    m_groupCombo = new QComboBox;
    m_groupCombo->setObjectName("groupCombo");
    m_groupCombo->setToolTip("The current file list");
    m_groupCombo->setEditable(false);
    connect(m_groupCombo, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_app.setTargetIndex(index); });
    auto* groupLayout = new QHBoxLayout(groupBox);
    groupLayout->addWidget(m_groupCombo, 1);
    for (const char* name :
         {"deleteGroupButton", "createGroupButton", "showGroupButton", "helpButton"}) {
        groupLayout->addWidget(button(name));
    }

    auto* left = new QWidget;
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(6, 6, 0, 6);
    leftLayout->addWidget(
        buildCommandBox(list::CommandBox::FilesOptions, "filesOptionsBox", "Files options", 4));
    leftLayout->addWidget(
        buildCommandBox(list::CommandBox::Commands, "commandsBox", "Commands", 5));
    leftLayout->addLayout(listRow, 1);
    leftLayout->addWidget(groupBox);

    // The browser buttons above the browser.
    auto* right = new QWidget;
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 6, 6, 6);
    auto* browserButtons = new QHBoxLayout;
    for (const list::CommandInfo& info : list::kMainCommands) {
        if (info.box == list::CommandBox::Browser) {
            QPushButton* b = button(QString::fromUtf8(info.objectName));
            b->setFixedWidth(32);
            browserButtons->addWidget(b);
        }
    }
    browserButtons->addStretch();
    rightLayout->addLayout(browserButtons);
    browserWidget->setObjectName("browser");
    rightLayout->addWidget(browserWidget, 1);

    auto* splitter = new QSplitter;
    splitter->addWidget(left);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    setCentralWidget(splitter);
    resize(1100, 700);
    splitter->setSizes({470, 630});

    buildPopupMenu();
    m_app.addObserver(this);
    groupsChanged();
}

void MainWindow::buildPopupMenu() {
    m_popup = new QMenu(this);
    m_popup->setObjectName("popupMenu");
    std::array<QMenu*, list::kPopupItemCount> submenus{};
    const auto add = [&](int n, QMenu* into) {
        const list::PopupItem& item = list::kPopupItems.at(static_cast<std::size_t>(n));
        QAction* action = nullptr;
        if (*item.command == '\0') {
            auto* submenu = new QMenu(QString::fromUtf8(item.caption), into);
            submenu->setObjectName(QString::fromUtf8(item.name));
            submenus.at(static_cast<std::size_t>(n)) = submenu;
            action = into->addMenu(submenu);
        } else {
            action = into->addAction(QString::fromUtf8(item.caption));
            action->setEnabled(false);  // enabled once its command is wired
        }
        action->setObjectName(QString::fromUtf8(item.name));
        action->setVisible(false);
        m_popupActions.at(static_cast<std::size_t>(n)) = action;
    };
    for (int n : list::kPopupMenuOrder) {
        const int parent = list::kPopupItems.at(static_cast<std::size_t>(n)).parent;
        add(n, parent < 0 ? m_popup : submenus.at(static_cast<std::size_t>(parent)));
    }
    setContextMenuPolicy(Qt::CustomContextMenu);
    m_listView->setContextMenuPolicy(Qt::CustomContextMenu);
    const auto show = [this](QWidget* from, const QPoint& pos) {
        m_popup->popup(from->mapToGlobal(pos));
    };
    connect(this, &QWidget::customContextMenuRequested, this,
            [this, show](const QPoint& pos) { show(this, pos); });
    connect(m_listView, &QWidget::customContextMenuRequested, this,
            [this, show](const QPoint& pos) { show(m_listView->viewport(), pos); });
}

QAction* MainWindow::popupAction(int number) const {
    return m_popupActions.at(static_cast<std::size_t>(number));
}

void MainWindow::setPopupItemVisible(int number, bool visible) {
    popupAction(number)->setVisible(visible);
}

MainWindow::~MainWindow() {
    // The application object can outlive its window: it must not call back into it.
    m_app.removeObserver(this);
    m_app.setTextWidthMeasure({});
}

QWidget* MainWindow::buildCommandBox(list::CommandBox box, const QString& objectName,
                                     const QString& title, int columns) {
    auto* group = new QGroupBox(title);
    group->setObjectName(objectName);
    auto* grid = new QGridLayout(group);
    grid->setSpacing(3);
    int i = 0;
    for (const list::CommandInfo& info : list::kMainCommands) {
        if (info.box == box) {
            grid->addWidget(button(QString::fromUtf8(info.objectName)), i / columns, i % columns);
            ++i;
        }
    }
    return group;
}

QPushButton* MainWindow::button(const QString& objectName) const {
    const auto it = m_buttons.find(objectName);
    return it == m_buttons.end() ? nullptr : it->second;
}

void MainWindow::wire(const QString& command, std::function<void()> run) {
    auto shared = std::make_shared<std::function<void()>>(std::move(run));
    const auto trigger = [this, shared] { m_app.runCommand(*shared); };
    if (QPushButton* b = button(command)) {
        b->setEnabled(true);
        connect(b, &QPushButton::clicked, this, trigger);
    }
    for (std::size_t n = 0; n < m_popupActions.size(); ++n) {
        if (command == QString::fromUtf8(list::kPopupItems.at(n).command)) {
            m_popupActions.at(n)->setEnabled(true);
            connect(m_popupActions.at(n), &QAction::triggered, this, trigger);
        }
    }
}

void MainWindow::captionChanged() {
    setWindowTitle(qs(m_app.caption()));
}

void MainWindow::groupsChanged() {
    const QSignalBlocker block(m_groupCombo);
    m_groupCombo->clear();
    for (const std::string& item : m_app.targetItems()) {
        m_groupCombo->addItem(qs(item));
    }
    m_groupCombo->setCurrentIndex(m_app.targetIndex());
}

void MainWindow::syncSelectionToCore() {
    if (m_syncingSelection) {
        return;
    }
    std::vector<int> rows;
    for (const QModelIndex& index : m_listView->selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    m_syncingSelection = true;
    m_app.runCommand([&] { m_app.pictures().setSelection(rows); });
    m_syncingSelection = false;
}

void MainWindow::syncSelectionFromCore() {
    if (m_syncingSelection) {
        return;
    }
    m_syncingSelection = true;
    QItemSelection selection;
    for (int row : m_app.pictures().selectedRows()) {
        selection.select(m_model->index(row, 0), m_model->index(row, 1));
    }
    m_listView->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    m_syncingSelection = false;
}

void MainWindow::applyColumnWidths() {
    m_listView->header()->resizeSection(0, m_app.pictures().nameWidth());
    m_listView->header()->resizeSection(1, m_app.pictures().pathWidth());
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        m_app.runCommand([this] { m_app.onActivate(); });
        for (Window w : {Window::EditFtpServer, Window::AddFtpServer, Window::FrameChooser,
                         Window::Progress}) {
            if (QWidget* widget = m_ui.window(w); widget != nullptr && widget->isVisible()) {
                widget->raise();
            }
        }
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    m_app.onClose();
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) {
        emit closed();
    }
}

}  // namespace ambrel::gui
