// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/commands/CheckPanel.h"

#include "editor/commands/ScriptWindow.h"
#include "editor/model/RecordModel.h"
#include "script/ScriptCheck.h"
#include "script/ScriptLocation.h"
#include "script/TableLayout.h"
#include "windowkit/WindowKit.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

CheckPanel::CheckPanel(ScriptWindow& window, QString workingDir)
    : QDockWidget(u"Check script"_s, &window.widget())
    , m_window(window)
    , m_dir(std::move(workingDir))
    , m_summary(new QLabel)
    , m_list(new QListWidget)
{
    setObjectName(u"CheckPanel"_s);
    auto* body = new QWidget(this);
    auto* column = new QVBoxLayout(body);
    m_summary->setObjectName(u"CheckSummary"_s);
    m_summary->setWordWrap(true);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_list->setObjectName(u"CheckFindings"_s);
    m_list->setWordWrap(true);
    m_list->setTextElideMode(Qt::ElideNone);
    m_list->setUniformItemSizes(false);
    m_list->setResizeMode(QListView::Adjust);
    // Wide enough to read a finding on a line or two; with large text on a small screen, no
    // wider than leaves the grids their room.
    m_list->setMinimumWidth(
        std::min(WindowKit::length(3600), WindowKit::roomOnScreen(window.widget()).width() / 4));
    column->addWidget(m_summary);
    column->addWidget(m_list, 1);
    setWidget(body);

    m_settle.setSingleShot(true);
    m_settle.setInterval(settleTime);
    connect(&m_settle, &QTimer::timeout, this, &CheckPanel::checkNow);
    connect(&m_running, &QFutureWatcher<QList<ScriptFinding>>::finished, this,
            &CheckPanel::showFindings);
    connect(m_list, &QListWidget::itemActivated, this, &CheckPanel::chosen);
    // The view action, not visibilityChanged, which also comes as the window is restored.
    connect(toggleViewAction(), &QAction::toggled, this, &CheckPanel::shownOrHidden);
    for (Tab tab : Tabs::all) {
        if (RecordModel* model = window.model(tab))
            connect(model, &RecordModel::wrote, this, &CheckPanel::checkSoon);
    }
}

void CheckPanel::shownOrHidden(bool shown)
{
    if (shown) {
        m_window.saveAll(); // the findings are of what the grids show, not of what they held
        checkNow();
    }
    QWidget& form = m_window.widget();
    const bool free = isFloating() || form.isMaximized() || form.isFullScreen();
    if (shown && !free && m_grownBy == 0) {
        // As far as the screen has room; past it, the panel takes its width from the grids.
        // A window already wider than the room grows by nothing, rather than shrinking.
        const int room = std::max(0, WindowKit::roomOnScreen(form).width() - form.width());
        m_grownBy = std::clamp(sizeHint().width(), 0, room);
        const QRect screen = form.screen()->availableGeometry();
        const int over = form.frameGeometry().right() + m_grownBy - screen.right();
        if (over > 0)
            form.move(form.x() - over, form.y());
        form.resize(form.width() + m_grownBy, form.height());
    } else if (!shown && m_grownBy > 0) {
        if (!free)
            form.resize(form.width() - m_grownBy, form.height());
        m_grownBy = 0;
    }
}

CheckPanel::~CheckPanel()
{
    m_running.disconnect(this);
    m_running.waitForFinished();
}

void CheckPanel::checkSoon()
{
    if (isVisible())
        m_settle.start();
}

void CheckPanel::checkNow()
{
    m_settle.stop();
    if (m_running.isRunning()) {
        m_again = true;
        return;
    }
    m_again = false;
    m_summary->setText(u"Checking\u2026"_s);
    m_running.setFuture(QtConcurrent::run([dir = m_dir] { return ScriptCheck::run(dir); }));
}

void CheckPanel::showFindings()
{
    if (m_again) {
        checkNow();
        return;
    }
    m_findings = m_running.result();
    m_list->clear();
    const QStyle* style = QApplication::style();
    for (const ScriptFinding& finding : std::as_const(m_findings)) {
        auto* item = new QListWidgetItem(style->standardIcon(finding.isError()
                                                                 ? QStyle::SP_MessageBoxCritical
                                                                 : QStyle::SP_MessageBoxWarning),
                                         finding.message(), m_list);
        item->setToolTip(finding.message());
    }
    m_summary->setText(ScriptCheck::summary(m_findings, ScriptLocation::whereShown(m_dir)));
    Q_EMIT checked();
}

void CheckPanel::chosen(const QListWidgetItem* item)
{
    const int index = m_list->row(item);
    if (index >= 0 && index < m_findings.size())
        goTo(m_findings.at(index));
}

void CheckPanel::goTo(const ScriptFinding& finding)
{
    const std::optional<Tab> tab = Tabs::ofFile(finding.file);
    if (!tab)
        return;
    const RecordModel* model = m_window.model(*tab);
    // A finding names rows in ID order, which the grid leaves after a sort.
    const int row = model ? model->rows().rowOfNumber(finding.row) : -1;
    const int column =
        finding.field.isEmpty() ? 0 : int(Tabs::layout(*tab).columns.indexOf(finding.field));
    m_window.goToCell(*tab, row, std::max(column, 0));
}
