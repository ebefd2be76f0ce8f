// Renders both windows with rows in every table and points on every series
// and checks what a person would see in the pictures. With
// ENVELOPE_SCREENSHOT_DIR set, the pictures are also written there, with the
// chart's readout, a zoomed chart and both context menus.

#include <cmath>

#include <QChart>
#include <QDir>
#include <QGuiApplication>
#include <QScatterSeries>
#include <QScreen>
#include <QImage>
#include <QGraphicsEllipseItem>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QValueAxis>
#include <QWheelEvent>
#include <QXYSeries>

#include "envelope/case.h"
#include "envelope/memory_run.h"
#include "ui/chart_view.h"
#include "ui/condition_panel.h"
#include "ui/flex_grid.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/legend_entry.h"
#include "ui/unit_choice.h"

using namespace envelope;

namespace {

// Made-up curves of roughly the envelope's shape, temperatures in K.
double BubblePressure(double t)
{
    return 2.0 + 58.0 * std::pow((t - 170.0) / 240.0, 1.7);
}

double DewPressure(double t)
{
    return 2.0 + 62.0 * std::sin(3.14159265 / 2.0 * (560.0 - t) / 148.0);
}

std::string Text(double v)
{
    return QString::number(v, 'f', 3).toStdString();
}

void FillTable(Table& table, int rows, double t0, double step, double (*pressure)(double))
{
    for (int row = 1; row <= rows; ++row) {
        if (row > 1)
            table.setRowCount(row + 1);
        const double t = t0 + step * (row - 1);
        table.writeCell(row, 0, std::to_string(row));
        table.writeCell(row, 1, Text(t - 273.15));
        table.writeCell(row, 2, Text(pressure(t)));
    }
}

bool SameColour(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) <= 8 && std::abs(qGreen(a) - qGreen(b)) <= 8 &&
           std::abs(qBlue(a) - qBlue(b)) <= 8;
}

int CountColour(const QImage& image, const QRect& area, QRgb colour)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += SameColour(image.pixel(x, y), colour) ? 1 : 0;
    return count;
}

void Save(const QImage& image, const char* name);

bool OnXServer()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

// What the screen shows around the widget's window, tool tips and menus
// included; on a platform without a screen to grab, the window alone.
QImage ScreenAround(QWidget& widget)
{
    QWidget& window = *widget.window();
    if (!OnXServer())
        return window.grab().toImage();
    const QRect area = window.frameGeometry().adjusted(-8, -8, 8, 8);
    return QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
}

// The mouse moved to the position with no button held.
void Hover(QWidget& target, QPoint at)
{
    QMouseEvent event(QEvent::MouseMove, QPointF(at), QPointF(target.mapToGlobal(at)), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&target, &event);
}

// Opens the widget's context menu at the position and saves the picture of
// it, over the screen where there is one.
void SaveContextMenu(QWidget& target, QPoint at, const char* name)
{
    QTimer::singleShot(100, [&target, name] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr)
            return;
        Save(OnXServer() ? ScreenAround(target) : menu->grab().toImage(), name);
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, target.mapToGlobal(at));
    QApplication::sendEvent(&target, &event);
}

// Each of the markers shows its own colour around its place on the chart's
// picture, however near the others lie.
void MarkersStayApart(Form2& form, const QList<QXYSeries*>& markers)
{
    const QImage chart = form.grab().toImage();
    for (QXYSeries* series : markers) {
        auto* marker = qobject_cast<QScatterSeries*>(series);
        QVERIFY(marker != nullptr);
        const QPointF at = form.chart().mapToPosition(marker->at(0), marker);
        const QPoint centre = form.chartView().mapTo(&form, form.chartView().mapFromScene(form.chart().mapToScene(at)));
        const QColor colour = marker->brush().style() == Qt::NoBrush ? marker->pen().color() : marker->color();
        QVERIFY2(CountColour(chart, QRect(centre - QPoint(10, 10), QSize(21, 21)), colour.rgb()) > 3,
                 qPrintable(marker->name()));
    }
}

void Save(const QImage& image, const char* name)
{
    const QString folder = qEnvironmentVariable("ENVELOPE_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    QVERIFY(image.save(QDir(folder).filePath(QString::fromLatin1(name))));
}

} // namespace

class RenderTest : public QObject {
    Q_OBJECT

private slots:
    void form1ShowsHeadedTablesWhileScrolled();
    void form2ShowsSeriesAndLegend();
    void screenWithBothWindows();
    void chartReadoutZoomAndMenus();
    void naturalGasAfterF5();
    void crowdedTracedPointsOfTheBuiltInCase();
};

void RenderTest::form1ShowsHeadedTablesWhileScrolled()
{
    Form1 form;
    FillTable(form.bubbleTable(), 30, 170.0, 8.0, BubblePressure);
    FillTable(form.dewTable(), 12, 412.0, 5.0, DewPressure);
    FillTable(form.splineTable(), 21, 400.0, 1.0, BubblePressure);
    form.statusLine().showMessage(QString::fromStdString(RunInMemory(BuiltInMixture()).result.report.Summary()));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    auto* bubble = form.findChild<FlexGrid*>(QStringLiteral("MSFlexGrid1"));
    QVERIFY(bubble != nullptr);
    const QRect headingStrip(bubble->viewport()->geometry().topLeft(),
                             QSize(bubble->viewport()->width(), bubble->rowHeight(0)));
    const QRect rowStrip = headingStrip.translated(0, bubble->rowHeight(0));
    const QImage headingBefore = bubble->grab(headingStrip).toImage();
    const QImage rowBefore = bubble->grab(rowStrip).toImage();

    bubble->setCurrentCell(29, 2);
    QVERIFY(bubble->verticalScrollBar()->value() > 0);
    QTest::qWait(50);

    // The rows moved up beneath a heading row that stayed where it was.
    QCOMPARE(bubble->grab(headingStrip).toImage(), headingBefore);
    QVERIFY(bubble->grab(rowStrip).toImage() != rowBefore);

    const QImage image = form.grab().toImage();
    Save(image, "form1.png");
    QCOMPARE(image.size(), QSize(731, form.menuBar().height() + 643 + form.statusLine().height()));
    // Grey fills the grid beyond its three columns.
    const QPoint gridTopLeft = bubble->mapTo(&form, bubble->viewport()->geometry().topLeft());
    const int columns = bubble->columnWidth(0) * 3;
    QVERIFY(bubble->viewport()->width() > columns + 2);
    const QRgb outside = image.pixel(gridTopLeft + QPoint((columns + bubble->viewport()->width()) / 2, 40));
    QVERIFY(SameColour(outside, qRgb(128, 128, 128)));
}

void RenderTest::form2ShowsSeriesAndLegend()
{
    Form1 main;
    QtChart& chart = main.chart();
    const char* titles[] = {"bubble", "dew", "interp", "VF=0.05", "VF=0.3", "VF=0.5"};
    for (int s = 0; s < 6; ++s)
        chart.setSeriesTitle(s, titles[s]);
    // Points go in out of order; the series sort them by temperature.
    for (int i = 25; i >= 0; --i) {
        const double t = 170.0 + 8.0 * i;
        chart.addPoint(0, t, BubblePressure(t), "", 0xFF0000);
        chart.addPoint(3, t, BubblePressure(t) * 0.93, "", 0x00FFFF);
        chart.addPoint(4, t, BubblePressure(t) * 0.72, "", 0x000000);
        chart.addPoint(5, t, BubblePressure(t) * 0.58, "", 0xFFFF00);
    }
    for (int i = 0; i < 24; ++i) {
        const double t = 412.0 + 5.0 * i;
        chart.addPoint(1, t, DewPressure(t), "", 0x0000FF);
    }
    // The interpolated points bridge the gap between the two curves.
    for (int i = 0; i <= 20; ++i) {
        const double t = 370.0 + 2.1 * i;
        const double p = BubblePressure(370.0) + (DewPressure(412.0) - BubblePressure(370.0)) * std::sqrt(i / 20.0);
        chart.addPoint(2, t, p, "", 0x000000);
    }
    chart.showForm();
    Form2* form = chart.form();
    QVERIFY(form != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QTest::qWait(50);

    const QImage image = form->grab().toImage();
    Save(image, "form2.png");

    // Every legend label lies wholly inside the window and shows its colour.
    const QRgb backgrounds[] = {qRgb(0, 0, 255), qRgb(255, 255, 128), qRgb(0, 0, 64), qRgb(0, 255, 255),
                                qRgb(255, 0, 0)};
    for (int i = 0; i < 5; ++i) {
        auto* label = form->findChild<QLabel*>(QStringLiteral("Label%1").arg(i + 1));
        QVERIFY(label != nullptr);
        QVERIFY(form->rect().contains(label->geometry()));
        QVERIFY(SameColour(image.pixel(label->geometry().right() - 1, label->geometry().bottom() - 1),
                           backgrounds[i]));
    }

    // The curves show in their colours inside the plot area.
    const QRect plot = form->chart().plotArea().toRect().adjusted(2, 2, -2, -2);
    QVERIFY(CountColour(image, plot, qRgb(0, 0, 255)) > 100);
    QVERIFY(CountColour(image, plot, qRgb(255, 0, 0)) > 100);
    QVERIFY(CountColour(image, plot, qRgb(0, 255, 255)) > 100);
    QVERIFY(CountColour(image, plot, qRgb(255, 255, 0)) > 100);
    QVERIFY(CountColour(image, plot, qRgb(0, 0, 0)) > 100);
}

void RenderTest::screenWithBothWindows()
{
    // What the X server shows: both windows at their places on the screen.
    if (QGuiApplication::platformName() != QLatin1String("xcb") ||
        qEnvironmentVariable("ENVELOPE_SCREENSHOT_DIR").isEmpty())
        QSKIP("needs an X server and a screenshot folder");
    Form1 main;
    FillTable(main.bubbleTable(), 30, 170.0, 8.0, BubblePressure);
    FillTable(main.dewTable(), 12, 412.0, 5.0, DewPressure);
    for (int i = 0; i < 30; ++i)
        main.chart().addPoint(0, 170.0 + 8.0 * i, BubblePressure(170.0 + 8.0 * i), "", 0xFF0000);
    for (int i = 0; i < 24; ++i)
        main.chart().addPoint(1, 412.0 + 5.0 * i, DewPressure(412.0 + 5.0 * i), "", 0x0000FF);
    main.show();
    main.chart().showForm();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QVERIFY(QTest::qWaitForWindowExposed(main.chart().form()));
    QTest::qWait(200);
    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    QVERIFY(!screen.isNull());
    Save(screen, "screen.png");
}

void RenderTest::chartReadoutZoomAndMenus()
{
    Form1 main;
    main.show();
    QTest::mouseClick(main.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    Form2* form = main.chart().form();
    QVERIFY(form != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(form));
    ChartView& view = form->chartView();
    QTest::qWait(100);

    // The mouse a little off a point of the 0.3 line: the ring goes round
    // the point, and the tip names the line.
    const QXYSeries& line = form->series(4);
    const QPointF value = line.at(line.count() / 2);
    const QPoint point =
        view.mapFromScene(form->chart().mapToScene(form->chart().mapToPosition(value, &form->series(4))));
    const QImage before = form->grab().toImage();
    Hover(*view.viewport(), point + QPoint(8, 9));
    QTRY_VERIFY(view.readoutMarker().isVisible());
    QTest::qWait(OnXServer() ? 700 : 50);
    const QImage marked = form->grab().toImage();
    Save(ScreenAround(view), "chart-readout.png");
    const QPoint centre = view.mapTo(form, point);
    const QRect ring(centre - QPoint(7, 7), QSize(15, 15));
    QVERIFY(CountColour(marked, ring, qRgb(0, 0, 0)) > CountColour(before, ring, qRgb(0, 0, 0)) + 10);

    SaveContextMenu(*view.viewport(), point + QPoint(40, -40), "chart-menu.png");

    // Two wheel steps in about the point, then a rectangle round it.
    for (int step = 0; step < 2; ++step) {
        QWheelEvent wheel(QPointF(point), QPointF(view.viewport()->mapToGlobal(point)), QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &wheel);
    }
    const double span = form->axisX().max() - form->axisX().min();
    QTest::mousePress(view.viewport(), Qt::LeftButton, Qt::NoModifier, point - QPoint(150, 100));
    QMouseEvent drag(QEvent::MouseMove, QPointF(point + QPoint(150, 100)),
                     QPointF(view.viewport()->mapToGlobal(point + QPoint(150, 100))), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &drag);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, Qt::NoModifier, point + QPoint(150, 100));
    QVERIFY(form->axisX().max() - form->axisX().min() < span / 2);
    QVERIFY(form->axisX().min() < value.x() && value.x() < form->axisX().max());
    Hover(*view.viewport(),
          view.mapFromScene(form->chart().mapToScene(form->chart().mapToPosition(value, &form->series(4)))) +
              QPoint(5, 5));
    QTest::qWait(OnXServer() ? 700 : 50);
    Save(ScreenAround(view), "chart-zoomed.png");

    auto* grid = main.findChild<FlexGrid*>(QStringLiteral("MSFlexGrid1"));
    main.raise();
    main.activateWindow();
    QTest::qWait(OnXServer() ? 300 : 10);
    SaveContextMenu(*grid->viewport(), QPoint(60, 60), "table-menu.png");
}

void RenderTest::naturalGasAfterF5()
{
    // A user opens the natural gas and presses F5: the chart shows the traced
    // envelope with its points named in the legend, the main window its three
    // numbers, in the units chosen in the panel.
    Form1 main;
    QCOMPARE(main.openCase(QStringLiteral(ENVELOPE_EXAMPLES_DIR "/natural-gas.json")), QString());
    main.show();
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QTest::keyClick(&main, Qt::Key_F5);
    Form2* form = main.chart().form();
    QVERIFY(form != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QVERIFY(form->showTracedAction().isChecked());
    // Two conditions typed in the main window, one of two phases and one of
    // one; the first selected, with its compositions.
    ConditionPanel& conditions = main.conditionPanel();
    const std::pair<const char*, const char*> typed[] = {{"250", "60"}, {"320", "60"}};
    for (const auto& [t, p] : typed) {
        conditions.temperatureField().clear();
        QTest::keyClicks(&conditions.temperatureField(), QString::fromLatin1(t));
        conditions.pressureField().clear();
        QTest::keyClicks(&conditions.pressureField(), QString::fromLatin1(p));
        QTest::keyClick(&conditions.pressureField(), Qt::Key_Return);
    }
    QCOMPARE(conditions.conditions().points.size(), std::size_t(2));
    conditions.selectPoint(0);
    QCOMPARE(form->conditionSeries().size(), 2);
    QTest::qWait(OnXServer() ? 300 : 20);
    Save(form->grab().toImage(), "natural-gas-chart.png");
    // Every condition here could be checked: no entry for one that was not.
    for (LegendEntry* entry : form->legendEntries() + form->conditionLegendEntries().mid(0, 2)) {
        QVERIFY2(entry->isVisible(), qPrintable(entry->objectName()));
        QVERIFY(form->rect().contains(entry->geometry()));
    }
    MarkersStayApart(*form, form->tracedSeries().mid(1));
    MarkersStayApart(*form, form->conditionSeries());
    if (OnXServer()) {
        // The readout over the condition of two phases.
        QXYSeries* point = form->conditionSeries().constFirst();
        ChartView& view = form->chartView();
        const QPoint at = view.mapFromScene(form->chart().mapToScene(form->chart().mapToPosition(point->at(0), point)));
        Hover(*view.viewport(), at + QPoint(3, 2));
        QTRY_VERIFY(view.readoutMarker().isVisible());
        QTest::qWait(700);
        Save(ScreenAround(view), "natural-gas-condition-readout.png");
        view.hideReadout();
    }

    Save(main.grab().toImage(), "natural-gas-main.png");
    main.units().setUnits({TemperatureUnit::Celsius, PressureUnit::Psia});
    QTest::qWait(OnXServer() ? 200 : 20);
    Save(main.grab().toImage(), "natural-gas-main-celsius-psia.png");
    Save(form->grab().toImage(), "natural-gas-chart-celsius-psia.png");
    if (OnXServer()) {
        main.units().setUnits({});
        QTest::qWait(300);
        Save(QGuiApplication::primaryScreen()->grabWindow(0).toImage(), "natural-gas-screen.png");
    }
}

void RenderTest::crowdedTracedPointsOfTheBuiltInCase()
{
    // The critical point and the cricondentherm lie a kelvin apart, among
    // the spline points.
    Form1 main;
    main.show();
    QTest::mouseClick(main.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    Form2* form = main.chart().form();
    QVERIFY(form != nullptr);
    form->showTracedAction().trigger();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QTest::qWait(20);
    MarkersStayApart(*form, form->tracedSeries().mid(1));
    Save(form->grab().toImage(), "builtin-traced-chart.png");
}

QTEST_MAIN(RenderTest)
#include "render_test.moc"
