// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/Form1.h"
#include "editor/RecordModel.h"
#include "editor/ScriptGrid.h"
#include "script/ScriptTable.h"
#include "windowkit/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {
// Special rows to build; the first argument changes it.
int rows = 100000;

// Peak resident memory of this process in kB, as the kernel counts it.
qint64 peakResidentKb()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    QTextStream in(&status);
    for (QString line = in.readLine(); !line.isNull(); line = in.readLine()) {
        if (line.startsWith(u"VmHWM:"_s))
            return line.mid(6).trimmed().section(u' ', 0, 0).toLongLong();
    }
    return -1;
}

// A message would hold the window; the benchmark prints it and goes on.
class PrintedDialogs final : public Dialogs {
public:
    QMessageBox::StandardButton message(QWidget*, const Message& message) override
    {
        std::printf("message: %s\n", qPrintable(message.text));
        return QMessageBox::Ok;
    }
    QString text(QWidget*, const QString&, const QString&) override { return {}; }
};

void buildScript(const QString& dir)
{
    for (const TableLayout* layout : TableLayout::all()) {
        auto table = ScriptTable::create(dir, *layout);
        const int count = layout == &TableLayout::special() ? rows : 20;
        table->writeTransaction([&] {
            for (int k = 1; k <= count; ++k) {
                QVariantList values;
                for (const QString& column : layout->columns)
                    values << (layout->isTextColumn(column)
                                   ? QVariant(u"%1 %2"_s.arg(column).arg(k))
                                   : QVariant((k * 7919) % 1000));
                table->insertRow(values);
            }
        });
    }
}

// Stops the clock at the grid's first paint.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(QElapsedTimer& clock)
        : m_clock(clock)
    {
    }
    qint64 elapsed = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && elapsed < 0)
            elapsed = m_clock.elapsed();
        return QObject::eventFilter(watched, event);
    }

private:
    QElapsedTimer& m_clock;
};
} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc > 1)
        rows = QByteArray(argv[1]).toInt();
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    QElapsedTimer build;
    build.start();
    buildScript(dir.path());
    std::printf("built %d special rows in %lld ms\n", rows, build.elapsed());

    QElapsedTimer clock;
    clock.start();
    PrintedDialogs dialogs;
    Form1 form(dialogs, dir.path());
    FirstPaint paint(clock);
    form.grid(3)->viewport()->installEventFilter(&paint);
    form.show();
    while (paint.elapsed < 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    std::printf("first paint of the special grid: %lld ms\n", paint.elapsed);
    const qint64 openedKb = peakResidentKb();

    // Page through the whole table as an author dragging the scroll bar would.
    QScrollBar* bar = form.grid(3)->verticalScrollBar();
    QElapsedTimer scroll;
    scroll.start();
    for (int value = 0; value <= bar->maximum(); value += 5 * bar->pageStep()) {
        bar->setValue(value);
        form.grid(3)->viewport()->repaint();
    }
    std::printf("scrolled all %d rows in %lld ms (%d cached pages)\n", rows, scroll.elapsed(),
                form.model(3)->cachedPages());

    QElapsedTimer sort;
    sort.start();
    form.findChild<QPushButton*>(u"Command4"_s)->click();
    std::printf("sort: %lld ms\n", sort.elapsed());
    std::printf("peak resident memory: %lld kB after opening, %lld kB at the end\n", openedKb,
                peakResidentKb());
    form.close();
    return 0;
}
