// The main window: its controls, layout, tab order, headings and grids.

#include <QApplication>
#include <QChart>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QValueAxis>
#include <QGroupBox>
#include <QHeaderView>
#include <QMenuBar>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "ui/condition_panel.h"
#include "ui/flex_grid.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/points_panel.h"
#include "ui/unit_choice.h"

using namespace envelope;

namespace {

FlexGrid& Grid(Form1& form, int number)
{
    auto* grid = form.findChild<FlexGrid*>(QStringLiteral("MSFlexGrid%1").arg(number));
    if (grid == nullptr)
        qFatal("MSFlexGrid%d is missing", number);
    return *grid;
}

void FillRows(Table& table, int rows)
{
    table.setRowCount(rows + 1);
    for (int row = 1; row <= rows; ++row)
        for (int column = 0; column < 3; ++column)
            table.writeCell(row, column, std::to_string(row * 10 + column));
}

// Chooses the menu entry with the given text from the context menu that the
// next event opens.
void ChooseFromNextMenu(const QString& text, QStringList* seen = nullptr)
{
    QTimer::singleShot(0, [text, seen] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr)
            return;
        for (QAction* action : menu->actions()) {
            if (seen != nullptr && !action->isSeparator())
                *seen << action->text();
            if (action->text() == text && action->isEnabled())
                action->trigger();
        }
        menu->close();
    });
}

} // namespace

class Form1Test : public QObject {
    Q_OBJECT

private slots:
    void windowCaptionSizeAndPlace();
    void controlsKeepTheirArrangementAndFollowTheWindowsSize();
    void runIsConnectedAndFocusedFirstThenTheGridsInOrder();
    void gridsHaveTheirHeadingsAfterLoad();
    void headingCellsLookLikeHeadings();
    void headingRowStaysInSightWhileTheRowsScroll();
    void copiesTheSelectedCellsAsTabSeparatedText();
    void aHeadingCellSelectsTheDataCellsItHeads();
    void shortcutsReachTheirCommands();
    void theMixtureInUseIsShown();
    void theChartComesBackAsItWasLeft();
    void choicesAreRememberedInTheSettings();
    void thePanelFollowsTheUnitsAndCopies();
};

void Form1Test::windowCaptionSizeAndPlace()
{
    Form1 form;
    QCOMPARE(form.objectName(), QStringLiteral("Form1"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Envelope"));
    // The tables' area has its first size below the menu bar and above the
    // status line, both as wide as the window.
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const int top = form.menuBar().height();
    QCOMPARE(form.size(), QSize(731, top + 643 + form.statusLine().height()));
    QCOMPARE(form.menuBar().geometry(), QRect(0, 0, 731, top));
    QVERIFY(form.statusLine().height() > 0);
    QCOMPARE(form.statusLine().geometry(), QRect(0, top + 643, 731, form.statusLine().height()));
    QCOMPARE(form.pos(), QPoint(145, 58));
    QVERIFY(form.chart().form() == nullptr);
}

void Form1Test::controlsKeepTheirArrangementAndFollowTheWindowsSize()
{
    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const auto place = [&form](const char* name) {
        auto* control = form.findChild<QWidget*>(QString::fromLatin1(name));
        if (control == nullptr)
            qFatal("%s is missing", name);
        return QRect(control->mapTo(&form, QPoint(0, 0)), control->size());
    };
    QCOMPARE(form.findChild<QPushButton*>(QStringLiteral("Command1"))->text(), QStringLiteral("Run"));
    const char* const captions[][2] = {{"Frame1", "Bubble Curve Table"},
                                       {"Frame2", "Dew Curve Table"},
                                       {"Frame3", "Interpolation by Spline"},
                                       {"MixtureFrame", "Mixture"},
                                       {"CharacteristicPoints", "Characteristic points"},
                                       {"ConditionCheck", "Check a condition"}};
    for (const auto& [name, caption] : captions)
        QCOMPARE(form.findChild<QGroupBox*>(QString::fromLatin1(name))->title(), QString::fromLatin1(caption));
    for (int number = 1; number <= 3; ++number)
        QCOMPARE(Grid(form, number).parentWidget()->objectName(), QStringLiteral("Frame%1").arg(number));

    const auto checkArrangement = [&] {
        // Bubble beside dew beside the condition check above the Run button;
        // below it the mixture, the spline table and the characteristic
        // points side by side; nothing overlaps and everything lies inside
        // the window.
        const QRect bubble = place("Frame1"), dew = place("Frame2"), run = place("Command1"),
                    mixture = place("MixtureFrame"), spline = place("Frame3"), points = place("CharacteristicPoints"),
                    conditions = place("ConditionCheck");
        QVERIFY(bubble.right() < dew.left() && bubble.top() == dew.top());
        QVERIFY(dew.right() < conditions.left() && conditions.bottom() < run.top());
        QVERIFY(std::max(bubble.bottom(), dew.bottom()) < run.top());
        QVERIFY(run.bottom() < std::min({mixture.top(), spline.top(), points.top()}));
        QVERIFY(mixture.right() < spline.left() && spline.right() < points.left());
        QVERIFY(run.left() < spline.left() && spline.right() < run.right());
        for (const QRect& r : {bubble, dew, conditions, run, mixture, spline, points})
            QVERIFY(form.rect().contains(r));
        QVERIFY(place("RunSummary").top() > spline.bottom());
    };
    checkArrangement();
    const QSize gridBefore = Grid(form, 1).size();
    form.resize(1100, 900);
    QTRY_VERIFY(Grid(form, 1).width() > gridBefore.width() && Grid(form, 1).height() > gridBefore.height());
    checkArrangement();
    // A smaller screen: the window shrinks below its first size.
    form.resize(640, 560);
    QTRY_COMPARE(form.size(), QSize(640, 560));
    checkArrangement();
}

void Form1Test::runIsConnectedAndFocusedFirstThenTheGridsInOrder()
{
    Form1 form;
    auto* run = form.findChild<QPushButton*>(QStringLiteral("Command1"));
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(QApplication::focusWidget(), run);

    const QWidget* expected[] = {&Grid(form, 1),
                                 &Grid(form, 2),
                                 &Grid(form, 3),
                                 form.findChild<QWidget*>(QStringLiteral("TemperatureUnit")),
                                 form.findChild<QWidget*>(QStringLiteral("PressureUnit")),
                                 &form.conditionPanel().temperatureField(),
                                 &form.conditionPanel().pressureField(),
                                 form.findChild<QWidget*>(QStringLiteral("CheckCondition")),
                                 &form.conditionPanel().list(),
                                 &form.conditionPanel().compositions(),
                                 run};
    for (const QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
    // The click reaches the slot that starts a run.
    QVERIFY(QObject::disconnect(run, &QPushButton::clicked, &form, &Form1::Command1_Click));
}

void Form1Test::gridsHaveTheirHeadingsAfterLoad()
{
    Form1 form;
    Table* tables[] = {&form.bubbleTable(), &form.dewTable(), &form.splineTable()};
    for (int number = 1; number <= 3; ++number) {
        Table& table = *tables[number - 1];
        FlexGrid& grid = Grid(form, number);
        QCOMPARE(grid.columnCount(), 3);
        QCOMPARE(grid.rowCount(), 2);
        QCOMPARE(table.rowCount(), 2);
        QCOMPARE(table.readCell(0, 0), std::string("Index"));
        QCOMPARE(table.readCell(0, 1), std::string("T (C)"));
        QCOMPARE(table.readCell(0, 2), std::string("P (bar)"));
        QCOMPARE(grid.item(0, 1)->text(), QStringLiteral("T (C)"));
        for (int column = 0; column < 3; ++column)
            QCOMPARE(table.readCell(1, column), std::string());
        // The table operations reach this grid and no other.
        table.writeCell(1, 2, "x");
        QCOMPARE(grid.item(1, 2)->text(), QStringLiteral("x"));
    }
    QCOMPARE(Grid(form, 1).item(1, 2)->text(), QStringLiteral("x"));
}

void Form1Test::headingCellsLookLikeHeadings()
{
    Form1 form;
    FlexGrid& grid = Grid(form, 1);
    FillRows(form.bubbleTable(), 3);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(grid.horizontalHeader()->isHidden());
    QVERIFY(grid.verticalHeader()->isHidden());

    const QImage image = grid.viewport()->grab().toImage();
    const auto background = [&](int row, int column) {
        // A pixel near the left edge of the cell, away from right-aligned text.
        const QRect cell = grid.visualRect(grid.model()->index(row, column));
        return image.pixel(cell.left() + 2, cell.center().y());
    };
    const QRgb data = background(2, 1);
    QCOMPARE(QColor(data), grid.palette().color(QPalette::Base));
    QVERIFY(background(2, 0) != data);
    QVERIFY(background(0, 1) != data);
    QCOMPARE(background(2, 0), background(3, 0));
}

void Form1Test::headingRowStaysInSightWhileTheRowsScroll()
{
    Form1 form;
    FlexGrid& grid = Grid(form, 1);
    FillRows(form.bubbleTable(), 40);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTableView& heading = grid.headingRow();
    QVERIFY(heading.isVisible());
    QCOMPARE(heading.geometry(), QRect(grid.viewport()->geometry().topLeft(),
                                       QSize(grid.viewport()->width(), grid.rowHeight(0))));

    grid.setFocus();
    grid.setCurrentCell(40, 1);
    QVERIFY(grid.verticalScrollBar()->value() > 0);
    QVERIFY(grid.indexAt(QPoint(5, 2)).row() > 0);
    QCOMPARE(heading.indexAt(QPoint(5, 2)).row(), 0);
    QCOMPARE(heading.model()->index(0, 1).data().toString(), QStringLiteral("T (C)"));

    // Walking up through the rows keeps the current cell below the heading
    // row, and never moves it into the heading row or column.
    for (int step = 0; step < 45; ++step) {
        QTest::keyClick(&grid, Qt::Key_Up);
        const QModelIndex current = grid.currentIndex();
        QVERIFY(current.row() >= 1);
        QCOMPARE(current.column(), 1);
        QVERIFY2(grid.visualRect(current).top() >= grid.rowHeight(0), qPrintable(QString::number(current.row())));
    }
    QCOMPARE(grid.currentIndex().row(), 1);
    QCOMPARE(grid.verticalScrollBar()->value(), 0);
    QTest::keyClick(&grid, Qt::Key_Left);
    QCOMPARE(grid.currentIndex().column(), 1);
}

void Form1Test::copiesTheSelectedCellsAsTabSeparatedText()
{
    Form1 form;
    FlexGrid& grid = Grid(form, 2);
    FillRows(form.dewTable(), 4);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QApplication::clipboard()->setText(QStringLiteral("before"));

    grid.setCurrentCell(2, 1);
    grid.selectionModel()->select(QItemSelection(grid.model()->index(2, 1), grid.model()->index(3, 2)),
                                  QItemSelectionModel::ClearAndSelect);
    QTest::keySequence(&grid, QKeySequence::Copy);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("21\t22\n31\t32"));

    grid.selectionModel()->select(grid.model()->index(4, 2), QItemSelectionModel::ClearAndSelect);
    QStringList entries;
    ChooseFromNextMenu(QStringLiteral("Copy"), &entries);
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(80, 40), grid.viewport()->mapToGlobal(QPoint(80, 40)));
    QApplication::sendEvent(grid.viewport(), &menuEvent);
    QCOMPARE(entries, (QStringList{QStringLiteral("Copy"), QStringLiteral("Export CSV\u2026"),
                                   QStringLiteral("Export all\u2026")}));
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("42"));

    // Heading cells cannot be selected, so they are never copied.
    grid.selectionModel()->select(QItemSelection(grid.model()->index(0, 0), grid.model()->index(1, 1)),
                                  QItemSelectionModel::ClearAndSelect);
    QCOMPARE(grid.selectedText(), QStringLiteral("11"));
}

void Form1Test::aHeadingCellSelectsTheDataCellsItHeads()
{
    Form1 form;
    FlexGrid& grid = Grid(form, 3);
    FillRows(form.splineTable(), 3);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    QTableView& heading = grid.headingRow();
    QTest::mouseClick(heading.viewport(), Qt::LeftButton, {},
                      heading.visualRect(heading.model()->index(0, 2)).center());
    QCOMPARE(grid.selectedText(), QStringLiteral("12\n22\n32"));

    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(grid.model()->index(2, 0)).center());
    QCOMPARE(grid.selectedText(), QStringLiteral("21\t22"));
}

void Form1Test::shortcutsReachTheirCommands()
{
    Form1 form;
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    // Ctrl+O asks for a case file; the dialog is answered with Cancel.
    QString opened;
    const auto closeNextDialog = [&opened] {
        opened.clear();
        QTimer::singleShot(0, [&opened] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                opened = modal->windowTitle();
                modal->close();
            }
        });
    };
    closeNextDialog();
    QTest::keyClick(&form, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(opened, QStringLiteral("Open case"));
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    closeNextDialog();
    QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(opened, QStringLiteral("Save case"));
    // F5 runs.
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_F5);
    QVERIFY(form.chart().form() != nullptr);
    QCOMPARE(form.bubbleTable().readCell(1, 2), std::string("2"));
    form.chart().form()->close();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!form.isVisible());
}

void Form1Test::theMixtureInUseIsShown()
{
    Form1 form;
    auto* name = form.findChild<QLabel*>(QStringLiteral("MixtureName"));
    auto* composition = form.findChild<QTableWidget*>(QStringLiteral("MixtureComposition"));
    QVERIFY(name != nullptr && composition != nullptr);
    QCOMPARE(name->text(), QStringLiteral("built-in case"));
    QCOMPARE(composition->rowCount(), 3);
    QCOMPARE(composition->item(2, 0)->text(), QStringLiteral("octane"));
    QCOMPARE(composition->item(2, 1)->text(), QStringLiteral("0.75"));

    QCOMPARE(form.openCase(QStringLiteral(ENVELOPE_EXAMPLES_DIR "/natural-gas.json")), QString());
    QCOMPARE(name->text(), QStringLiteral("natural gas"));
    QCOMPARE(composition->rowCount(), static_cast<int>(form.mixture().componentNames.size()));
    QCOMPARE(composition->item(2, 0)->text(), QString::fromStdString(form.mixture().componentNames[2]));
    QCOMPARE(composition->item(2, 1)->text().toDouble(), form.mixture().feed[2]);
    QVERIFY(form.statusLine().currentMessage().startsWith(QStringLiteral("natural gas in use")));
    form.useBuiltInCase();
    QCOMPARE(name->text(), QStringLiteral("built-in case"));
}

void Form1Test::theChartComesBackAsItWasLeft()
{
    Form1 form;
    form.show();
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    Form2* chart = form.chart().form();
    QVERIFY(chart != nullptr && chart->isVisible());
    chart->showTracedAction().trigger();
    chart->chart().zoomIn(QRectF(chart->chart().plotArea().center(), QSizeF(100, 80)));
    const double low = chart->axisX().min(), high = chart->axisX().max();
    chart->close();
    QVERIFY(!chart->isVisible());

    QAction* view = form.findChild<QAction*>(QStringLiteral("ViewChart"));
    QVERIFY(view != nullptr);
    view->trigger();
    QCOMPARE(form.chart().form(), chart);
    QVERIFY(chart->isVisible());
    QVERIFY(chart->showTracedAction().isChecked());
    QVERIFY(chart->chart().isZoomed());
    QCOMPARE(chart->axisX().min(), low);
    QCOMPARE(chart->axisX().max(), high);
}

void Form1Test::choicesAreRememberedInTheSettings()
{
    QTemporaryDir folder;
    QSettings settings(folder.filePath(QStringLiteral("envelope.ini")), QSettings::IniFormat);
    {
        Form1 form;
        form.rememberIn(&settings);
        // Nothing remembered yet: the first place and size, K and bar.
        QCOMPARE(form.pos(), QPoint(145, 58));
        QCOMPARE(form.units().units(), Units{});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.units().setUnits({TemperatureUnit::Fahrenheit, PressureUnit::MegaPascal});
        // A size that fits the test platform's screen.
        form.resize(640, 520);
        QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
        // Shown once for the built-in case: from now on it is.
        form.chart().form()->showTracedAction().trigger();
        form.close();
    }
    Form1 again;
    again.rememberIn(&settings);
    QCOMPARE(again.units().units(), (Units{TemperatureUnit::Fahrenheit, PressureUnit::MegaPascal}));
    QCOMPARE(again.size(), QSize(640, 520));
    again.show();
    QTest::mouseClick(again.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY(again.chart().form()->showTracedAction().isChecked());
    QCOMPARE(again.chart().form()->axisX().titleText(), QStringLiteral("T (\u00B0F)"));
}

void Form1Test::thePanelFollowsTheUnitsAndCopies()
{
    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    PointsPanel& panel = form.pointsPanel();
    QVERIFY(panel.text().startsWith(QStringLiteral("Point\tT (K)\tP (bar)\ncritical point\t553.132\t44.119\n")));
    // The lists in the panel choose the units of every window.
    auto* temperature = panel.findChild<QComboBox*>(QStringLiteral("TemperatureUnit"));
    auto* pressure = panel.findChild<QComboBox*>(QStringLiteral("PressureUnit"));
    QVERIFY(temperature != nullptr && pressure != nullptr);
    temperature->setCurrentIndex(temperature->findText(QStringLiteral("\u00B0C")));
    emit temperature->activated(temperature->currentIndex());
    pressure->setCurrentIndex(pressure->findText(QStringLiteral("psia")));
    emit pressure->activated(pressure->currentIndex());
    QCOMPARE(form.units().units(), (Units{TemperatureUnit::Celsius, PressureUnit::Psia}));
    QCOMPARE(form.chart().form()->axisY().titleText(), QStringLiteral("P (psia)"));
    QVERIFY2(panel.text().startsWith(QStringLiteral("Point\tT (\u00B0C)\tP (psia)\ncritical point\t279.982\t639.90\n")),
             qPrintable(panel.text()));
    // The View menu's items follow the choice.
    auto* celsius = form.menuBar().findChild<QAction*>(QStringLiteral("Unit_C"));
    QVERIFY(celsius != nullptr && celsius->isChecked());

    QApplication::clipboard()->clear();
    panel.findChild<QAction*>(QStringLiteral("CopyCharacteristicPoints"))->trigger();
    QCOMPARE(QApplication::clipboard()->text(), panel.text());
    QVERIFY(panel.text().endsWith(QStringLiteral("\nTraced envelope: complete")));
}

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
