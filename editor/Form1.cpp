// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/Form1.h"

#include "editor/About.h"
#include "editor/commands/CellStatus.h"
#include "editor/commands/CellTextEditor.h"
#include "editor/commands/CheckPanel.h"
#include "editor/commands/EditMenu.h"
#include "editor/grid/ScriptGrid.h"
#include "editor/model/CellLook.h"
#include "editor/model/RecordModel.h"
#include "script/ScriptError.h"
#include "script/ScriptTable.h"
#include "script/TableLayout.h"
#include "windowkit/BusyCursor.h"
#include "windowkit/Dialogs.h"
#include "windowkit/WindowKit.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {
QString caption(Tab tab)
{
    switch (tab) {
    case Tab::Basic:
        return u"Non Random"_s;
    case Tab::Control:
        return u"Random Single Line"_s;
    case Tab::Double:
        return u"Random Split Line"_s;
    case Tab::Special:
        break;
    }
    return u"Special Case"_s;
}
} // namespace

Form1::Form1(Dialogs& dialogs, const QString& workingDir, QWidget* parent)
    : QMainWindow(parent)
    , m_dialogs(dialogs)
{
    setObjectName(u"Form1"_s);
    setWindowTitle(u"Edit the Veyrath"_s);

    auto* exitAction = menuBar()->addAction(u"&Exit"_s);
    exitAction->setObjectName(u"MNU_EXIT"_s);
    connect(exitAction, &QAction::triggered, this, &Form1::exitProgram);
    // Alt+E belongs to "&Exit", which was there first.
    m_editMenu = menuBar()->addMenu(u"E&dit"_s);
    m_editMenu->setObjectName(u"MNU_EDIT"_s);
    m_viewMenu = menuBar()->addMenu(u"&View"_s);
    m_viewMenu->setObjectName(u"MNU_VIEW"_s);
    m_toolsMenu = menuBar()->addMenu(u"&Tools"_s);
    m_toolsMenu->setObjectName(u"MNU_TOOLS"_s);

    auto* central = new QWidget(this);
    m_tabs = new QTabWidget(central);
    m_tabs->setObjectName(u"SSTab1"_s);
    auto* centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(WindowKit::length(120), 0, WindowKit::length(120),
                                      WindowKit::length(45));
    centralLayout->addWidget(m_tabs);
    // With large text on a small screen the pages can want more room than the screen has:
    // the window still opens on the screen, and what does not fit scrolls into view as the
    // keyboard reaches it. Where it fits, as it does at the designed size, nothing scrolls.
    auto* client = new QScrollArea(this);
    client->setObjectName(u"ClientArea"_s);
    client->setFrameShape(QFrame::NoFrame);
    client->setFocusPolicy(Qt::NoFocus);
    client->setWidgetResizable(true);
    client->setWidget(central);
    setCentralWidget(client);

    for (Tab tab : Tabs::all)
        m_tabs->addTab(buildPage(tab, workingDir), caption(tab));
    m_tabs->setCurrentIndex(int(Tab::Special));
    // A row is saved when the grid leaves it; leaving its tab leaves it too, though the grid's
    // current row stays where it was (the last row of a tab has no row after it to go to).
    connect(m_tabs, &QTabWidget::currentChanged, this, [this] { saveAll(); });

    QWidget::setTabOrder(m_tabs, m_commands[0]);
    for (int i = 1; i < 4; ++i)
        QWidget::setTabOrder(m_commands[i - 1], m_commands[i]);
    QWidget* previous = m_commands[3];
    for (ScriptGrid* grid : m_grids) {
        if (grid) {
            QWidget::setTabOrder(previous, grid);
            previous = grid;
        }
    }
    updateCommands();
    statusBar()->addPermanentWidget(new CellStatus(*this, *m_tabs));
    m_checkPanel = new CheckPanel(*this, workingDir);
    addDockWidget(Qt::RightDockWidgetArea, m_checkPanel);
    m_checkPanel->hide();
    QAction* check = m_checkPanel->toggleViewAction();
    check->setShortcut(Qt::Key_F7);
    // The panel is shown from View, as panels are, and run from Tools: one action in both.
    m_viewMenu->addAction(check);
    m_toolsMenu->addAction(check);
    m_editing = new EditMenu(*this);
    connect(m_editing, &EditMenu::failed, this, &Form1::tell);
    new CellTextEditor(*this);
    // The designed client area stays whole between the menu bar and the status bar, where
    // the screen has room for it; with large text it may not, and the grids scroll inside
    // what the screen has.
    const QSize designed(WindowKit::length(9495), WindowKit::length(5940) +
                                                      menuBar()->sizeHint().height() +
                                                      statusBar()->sizeHint().height());
    resize(designed.boundedTo(WindowKit::roomOnScreen(*this)));
}

Form1::~Form1()
{
    // The tabs go with the children, after this window's own members: a tab changed on the
    // way out must not reach them.
    disconnect(m_tabs, nullptr, this, nullptr);
}

Tab Form1::currentTab() const
{
    return Tab(m_tabs->currentIndex());
}

void Form1::showStatus(const QString& message)
{
    statusBar()->showMessage(message);
}

void Form1::goToCell(Tab tab, int row, int column)
{
    m_tabs->setCurrentIndex(int(tab));
    ScriptGrid* grid = this->grid(tab);
    if (!grid)
        return;
    const QModelIndex cell = grid->model()->index(row, column);
    if (!cell.isValid())
        return;
    grid->setCurrentIndex(cell);
    grid->scrollTo(cell);
    grid->setFocus();
}

QModelIndex Form1::currentCell() const
{
    const ScriptGrid* grid = this->grid(currentTab());
    return grid ? grid->currentIndex() : QModelIndex();
}

QWidget* Form1::buildPage(Tab tab, const QString& dir)
{
    const TableLayout& layout = Tabs::layout(tab);
    // The designed object names count the tabs from 1.
    const int number = int(tab) + 1;
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(WindowKit::length(120), WindowKit::length(120),
                               WindowKit::length(120), WindowKit::length(120));
    try {
        auto* model =
            new RecordModel(ScriptTable::open(dir, layout, ScriptTable::Integrity::Deferred), this);
        model->setObjectName(u"Data%1"_s.arg(number));
        listenTo(model);
        if (model->isReadOnly()) {
            auto* note =
                new QLabel(u"%1 is read-only here, so its rows can be read but not changed."_s.arg(
                               model->table().fileName()),
                           page);
            note->setObjectName(u"ReadOnlyNote%1"_s.arg(number));
            note->setWordWrap(true);
            column->addWidget(note);
        }
        auto* grid = new ScriptGrid(page);
        grid->setObjectName(u"TDBGrid%1"_s.arg(number));
        grid->setModel(model);
        connect(grid, &ScriptGrid::typedTextLost, this, &Form1::rescueText);
        // An edit is saved when the grid leaves its row. The view commits the open cell
        // editor before this runs, as it connected to the selection model first.
        connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, model,
                [model] { model->savePending(); });
        connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
                &Form1::updateCommands);
        m_models.at(int(tab)) = model;
        m_grids.at(int(tab)) = grid;
        column->addWidget(grid);
    } catch (const ScriptError& error) {
        auto* problem = new QLabel(error.message(), page);
        problem->setObjectName(u"Problem%1"_s.arg(number));
        problem->setWordWrap(true);
        problem->setTextInteractionFlags(Qt::TextSelectableByMouse);
        problem->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        column->addWidget(problem, 1);
    }
    if (tab == Tab::Special)
        column->addWidget(buildCommands());
    return page;
}

QWidget* Form1::buildCommands()
{
    auto* row = new QWidget;
    auto* buttons = new QHBoxLayout(row);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(0);
    buttons->addStretch();
    const std::array<QString, 4> captions{u"&Add"_s, u"&Delete"_s, u"&Update"_s, u"&Sort"_s};
    const std::array<void (Form1::*)(), 4> handlers{&Form1::addRecord, &Form1::deleteRecord,
                                                    &Form1::updateRecord, &Form1::sortRecords};
    for (int i = 0; i < 4; ++i) {
        auto* button = new QPushButton(captions.at(i), row);
        button->setObjectName(u"Command%1"_s.arg(i + 1));
        // The drawn size and gaps where the window has room; on a screen too small for them
        // at a large scale, the buttons and gaps narrow down to the captions.
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        const QFontMetrics metrics(button->font());
        button->setMinimumWidth(metrics.horizontalAdvance(QString(captions.at(i)).remove(u'&')) +
                                2 * metrics.averageCharWidth());
        button->setMaximumWidth(WindowKit::length(1335));
        button->setFixedHeight(std::max(WindowKit::length(375), button->sizeHint().height()));
        connect(button, &QPushButton::clicked, this, handlers.at(i));
        if (i > 0)
            buttons->addSpacerItem(
                new QSpacerItem(WindowKit::length(3120 - 1320 - 1335), 0, QSizePolicy::Preferred));
        buttons->addWidget(button, 1);
        m_commands[i] = button;
    }
    buttons->addStretch();
    if (RecordModel* model = this->model(Tab::Special)) {
        connect(model, &QAbstractItemModel::rowsRemoved, this, &Form1::updateCommands);
        connect(model, &QAbstractItemModel::rowsInserted, this, &Form1::updateCommands);
        connect(model, &QAbstractItemModel::modelReset, this, &Form1::updateCommands);
    }
    return row;
}

void Form1::updateCommands()
{
    RecordModel* model = this->model(Tab::Special);
    const bool writable = model && !model->isReadOnly();
    const bool hasCurrent = writable && grid(Tab::Special)->currentIndex().isValid();
    m_commands[0]->setEnabled(writable);
    m_commands[1]->setEnabled(hasCurrent);
    m_commands[2]->setEnabled(hasCurrent);
    m_commands[3]->setEnabled(model != nullptr);
}

bool Form1::saveAll()
{
    bool saved = true;
    for (Tab tab : Tabs::all) {
        if (!model(tab))
            continue;
        grid(tab)->finishEditing();
        saved = model(tab)->savePending() && saved;
    }
    return saved;
}

void Form1::addRecord()
{
    if (RecordModel* model = this->model(Tab::Special))
        model->addRow();
}

void Form1::deleteRecord()
{
    RecordModel* model = this->model(Tab::Special);
    ScriptGrid* grid = this->grid(Tab::Special);
    if (!model || !grid->currentIndex().isValid())
        return;
    const int row = grid->currentIndex().row();
    const int column = grid->currentIndex().column();
    grid->dropEditing();
    if (!model->deleteRow(row))
        return;
    if (row < model->rowCount()) {
        grid->setCurrentIndex(model->index(row, column));
    } else {
        // Past the last row there is no current row, as after deleting it.
        grid->selectionModel()->clear();
    }
    updateCommands();
}

void Form1::updateRecord()
{
    RecordModel* model = this->model(Tab::Special);
    ScriptGrid* grid = this->grid(Tab::Special);
    if (!model || !grid->currentIndex().isValid())
        return;
    const int row = grid->currentIndex().row();
    // The cell being typed into belongs to the row first; a refused text stays in its cell.
    if (!grid->finishEditing())
        return;
    model->saveRow(row);
}

void Form1::sortRecords()
{
    RecordModel* model = this->model(Tab::Special);
    if (!model)
        return;
    // Saved while the window is still there to ask about a conflict.
    grid(Tab::Special)->finishEditing();
    model->savePending();
    const BusyCursor busy;
    const int tab = m_tabs->currentIndex();
    m_holdMessages = true;
    hide();
    const auto showAgain = qScopeGuard([this, tab] {
        m_tabs->setCurrentIndex(tab);
        show();
        m_holdMessages = false;
        // Told once the window is back, so no message stands alone on the screen.
        const QStringList held = std::exchange(m_heldMessages, {});
        QTimer::singleShot(0, this, [this, held] {
            for (const QString& message : held)
                tell(message);
        });
    });
    model->sortByCount();
}

void Form1::waitFarewell()
{
    // The runner's clock: the windows keep working, nothing spins, and closing the window
    // ends the wait.
    const double deadline =
        m_clock.monotonicSeconds() + std::chrono::duration<double>(m_farewellTime).count();
    while (!m_ending && m_clock.monotonicSeconds() < deadline)
        m_clock.waitUntil(deadline);
}

void Form1::exitProgram()
{
    if (!mayEnd())
        return;
    if (!m_about)
        m_about = std::make_unique<About>();
    m_about->show();
    // Active, so that a screen reader reads it out.
    m_about->activateWindow();
    waitFarewell();
    close();
}

void Form1::closeEvent(QCloseEvent* event)
{
    if (!m_ending) {
        if (!mayEnd()) {
            event->ignore();
            return;
        }
        m_ending = true;
        m_clock.interrupt();
        if (m_about)
            m_about->close();
        event->accept();
        Q_EMIT programEnded();
        return;
    }
    event->accept();
}
