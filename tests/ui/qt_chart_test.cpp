// The chart window and the chart operations over it.

#include <cmath>
#include <limits>

#include <QApplication>
#include <QChart>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QMenu>
#include <QScatterSeries>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QValueAxis>

#include "thermo/numerical_fault.h"
#include "ui/chart_view.h"
#include "ui/qt_chart.h"

using namespace envelope;

namespace {

QList<QPointF> Points(Form2& form, int series)
{
    return form.series(series).points();
}

// Where a point of a series is drawn, in the chart view's viewport.
QPoint OnScreen(Form2& form, int series, QPointF value)
{
    ChartView& view = form.chartView();
    return view.mapFromScene(form.chart().mapToScene(form.chart().mapToPosition(value, &form.series(series))));
}

void SendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

} // namespace

class QtChartTest : public QObject {
    Q_OBJECT

private slots:
    void firstOperationCreatesTheWindowHiddenAndClosingStartsItAfresh();
    void showFormShowsItWithoutOwner();
    void windowLayoutAndLegendLabels();
    void legendStaysBesideTheChartWhenResized();
    void sixSeriesInIndexOrderWithTheirStyles();
    void titlesAndPointColours();
    void pointsStaySortedByXWithEqualXInInsertionOrder();
    void axesPanelTitleAndLegendSettings();
    void axesFollowTheData();
    void outOfRangeSeriesAndNonFinitePointsFault();
    void hoverShowsThePointsCoordinates();
    void rubberBandZoomAndBackToTheFullView();
    void contextMenuSavesPngAndSvg();
    void tracedEnvelopeIsOffUntilCheckedAndLeavesNoTrace();
};

void QtChartTest::firstOperationCreatesTheWindowHiddenAndClosingStartsItAfresh()
{
    QtChart chart;
    QVERIFY(chart.form() == nullptr);
    chart.setSeriesTitle(0, "bubble");
    QPointer<Form2> first = chart.form();
    QVERIFY(first != nullptr);
    QVERIFY(!first->isVisible());
    chart.addPoint(0, 300.0, 10.0, "", 0xFF0000);
    chart.addPoint(1, 400.0, 20.0, "", 0x0000FF);
    QCOMPARE(chart.form(), first.data());
    QCOMPARE(Points(*first, 0).size(), 1);

    // Closed, the window keeps what it showed until it is shown again.
    chart.showForm();
    QVERIFY(QTest::qWaitForWindowExposed(first.data()));
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!first.isNull());
    QVERIFY(!first->isVisible());
    chart.showForm();
    QCOMPARE(chart.form(), first.data());
    QCOMPARE(Points(*first, 0).size(), 1);
    QCOMPARE(first->series(0).name(), QStringLiteral("bubble"));

    // Closed, then written to: the next operation starts on an empty chart.
    first->close();
    chart.addPoint(0, 310.0, 11.0, "", 0xFF0000);
    QCOMPARE(chart.form(), first.data());
    QCOMPARE(Points(*chart.form(), 0), QList<QPointF>{QPointF(310.0, 11.0)});
    QVERIFY(Points(*chart.form(), 1).isEmpty());
    QCOMPARE(chart.form()->series(0).name(), QString());
}

void QtChartTest::showFormShowsItWithoutOwner()
{
    QtChart chart;
    chart.showForm();
    Form2* form = chart.form();
    QVERIFY(form != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QVERIFY(form->isWindow());
    QVERIFY(form->parentWidget() == nullptr);
    QCOMPARE(form->windowModality(), Qt::NonModal);
}

void QtChartTest::windowLayoutAndLegendLabels()
{
    Form2 form;
    QCOMPARE(form.objectName(), QStringLiteral("Form2"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Envelope"));
    QCOMPARE(form.pos(), QPoint(75, 47));
    QCOMPARE(form.chartView().objectName(), QStringLiteral("TChart1"));
    QCOMPARE(form.chartView().geometry(), QRect(0, 0, 897, 616));
    QCOMPARE(form.height(), 616);

    struct Expected {
        const char* caption;
        QRect geometry;
        QColor background;
        QColor text;
    };
    const Expected labels[] = {
        {"Bubble", QRect(904, 48, 97, 17), QColor(0, 0, 255), Qt::white},
        {"vapor fraction 0.05", QRect(904, 72, 97, 17), QColor(255, 255, 128), Qt::black},
        {"vapor fraction 0.3", QRect(904, 96, 97, 17), QColor(0, 0, 64), Qt::white},
        {"vapor fraction 0.5", QRect(904, 120, 97, 17), QColor(0, 255, 255), Qt::black},
        {"Dew", QRect(904, 144, 97, 17), QColor(255, 0, 0), Qt::white},
    };
    for (int i = 0; i < 5; ++i) {
        auto* label = form.findChild<QLabel*>(QStringLiteral("Label%1").arg(i + 1));
        QVERIFY(label != nullptr);
        QCOMPARE(label->text(), QString::fromLatin1(labels[i].caption));
        QCOMPARE(label->geometry(), labels[i].geometry);
        QVERIFY(label->autoFillBackground());
        QCOMPARE(label->palette().color(QPalette::Window), labels[i].background);
        QCOMPARE(label->palette().color(QPalette::WindowText), labels[i].text);
        // Wholly inside the window, caption included.
        QVERIFY(form.rect().contains(label->geometry()));
        QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
    }
}

void QtChartTest::legendStaysBesideTheChartWhenResized()
{
    Form2 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.resize(form.width() + 200, form.height() + 100);
    QTRY_COMPARE(form.chartView().geometry(), QRect(0, 0, 1097, 716));
    auto* label = form.findChild<QLabel*>(QStringLiteral("Label3"));
    QCOMPARE(label->geometry(), QRect(1104, 96, 97, 17));
}

void QtChartTest::sixSeriesInIndexOrderWithTheirStyles()
{
    Form2 form;
    const QList<QAbstractSeries*> all = form.chart().series();
    QCOMPARE(all.size(), 6);
    for (int index = 0; index < 6; ++index) {
        QCOMPARE(all[index], &form.series(index));
        QCOMPARE(all[index]->objectName(), QStringLiteral("Series%1").arg(index));
        QCOMPARE(form.series(index).attachedAxes().size(), 2);
        if (index == Form2::MarkerSeries) {
            auto* markers = qobject_cast<QScatterSeries*>(all[index]);
            QVERIFY(markers != nullptr);
            QCOMPARE(markers->markerShape(), QScatterSeries::MarkerShapeCircle);
            QVERIFY(markers->markerSize() <= 6.0);
            QCOMPARE(markers->color(), QColor(Qt::black));
        } else {
            auto* line = qobject_cast<QLineSeries*>(all[index]);
            QVERIFY(line != nullptr);
            QVERIFY(!line->pointsVisible());
            QVERIFY(line->pen().style() != Qt::NoPen);
        }
    }
}

void QtChartTest::titlesAndPointColours()
{
    QtChart chart;
    const char* titles[] = {"bubble", "dew", "interp", "VF=0.05", "VF=0.3", "VF=0.5"};
    for (int s = 0; s < 6; ++s)
        chart.setSeriesTitle(s, titles[s]);
    chart.setSeriesTitle(4, "VF=0.3");
    Form2& form = *chart.form();
    for (int s = 0; s < 6; ++s)
        QCOMPARE(form.series(s).name(), QString::fromLatin1(titles[s]));
    chart.setSeriesTitle(0, "again");
    QCOMPARE(form.series(0).name(), QStringLiteral("again"));

    // 0x00BBGGRR: red in the low byte.
    const Colour colours[] = {0xFF0000, 0x0000FF, 0x000000, 0x00FFFF, 0x000000, 0xFFFF00};
    const QColor expected[] = {QColor(0, 0, 255), QColor(255, 0, 0),   QColor(0, 0, 0),
                               QColor(255, 255, 0), QColor(0, 0, 0), QColor(0, 255, 255)};
    for (int s = 0; s < 6; ++s) {
        chart.addPoint(s, 300.0, 10.0, "", colours[s]);
        QCOMPARE(form.series(s).color(), expected[s]);
        QCOMPARE(form.pointColour(s, 0), expected[s]);
    }
    QCOMPARE(ColourFromBgr(0x123456), QColor(0x56, 0x34, 0x12));

    // A point of another colour keeps its own on the markers.
    chart.addPoint(2, 310.0, 11.0, "odd", 0x0000FF);
    chart.addPoint(2, 305.0, 10.5, "", 0x000000);
    QCOMPARE(form.series(2).color(), QColor(Qt::black));
    QCOMPARE(form.pointLabel(2, 2), QStringLiteral("odd"));
    const auto own = form.series(2).pointsConfiguration();
    QCOMPARE(own.size(), 1);
    QCOMPARE(own.value(2).value(QXYSeries::PointConfiguration::Color).value<QColor>(), QColor(Qt::red));
}

void QtChartTest::pointsStaySortedByXWithEqualXInInsertionOrder()
{
    QtChart chart;
    QCOMPARE(chart.addPoint(5, 300.0, 1.0, "", 0), 0);
    QCOMPARE(chart.addPoint(5, 200.0, 2.0, "", 0), 0);
    QCOMPARE(chart.addPoint(5, 300.0, 3.0, "", 0), 2);
    QCOMPARE(chart.addPoint(5, 250.0, 4.0, "c", 0x00FF00), 1);
    QCOMPARE(chart.addPoint(5, 300.0, 5.0, "", 0), 4);
    QCOMPARE(chart.addPoint(5, 100.0, 6.0, "", 0), 0);
    Form2& form = *chart.form();
    const QList<QPointF> expected = {{100.0, 6.0}, {200.0, 2.0}, {250.0, 4.0},
                                     {300.0, 1.0}, {300.0, 3.0}, {300.0, 5.0}};
    QCOMPARE(Points(form, 5), expected);
    QCOMPARE(form.pointLabel(5, 2), QStringLiteral("c"));
    QCOMPARE(form.pointColour(5, 2), QColor(0, 255, 0));
    for (int other : {0, 1, 2, 3, 4})
        QVERIFY(Points(form, other).isEmpty());
}

void QtChartTest::axesPanelTitleAndLegendSettings()
{
    Form2 form;
    QChart& chart = form.chart();
    QCOMPARE(form.axisX().titleText(), QStringLiteral("T (K)"));
    QCOMPARE(form.axisY().titleText(), QStringLiteral("P (bar)"));
    QCOMPARE(form.axisX().alignment(), Qt::AlignBottom);
    QCOMPARE(form.axisY().alignment(), Qt::AlignLeft);
    QCOMPARE(chart.axes().size(), 2);

    // Horizontal grid lines only, grey and solid.
    QVERIFY(!form.axisX().isGridLineVisible());
    QVERIFY(form.axisY().isGridLineVisible());
    QCOMPARE(form.axisY().gridLinePen().color(), QColor(196, 196, 196));
    QCOMPARE(form.axisY().gridLinePen().style(), Qt::SolidLine);
    for (QValueAxis* axis : {&form.axisX(), &form.axisY()}) {
        QVERIFY(!axis->isMinorGridLineVisible());
        QCOMPARE(axis->tickType(), QValueAxis::TicksDynamic);
        QCOMPARE(axis->minorTickCount(), 3);
    }

    QVERIFY(chart.title().isEmpty());
    QVERIFY(!chart.legend()->isVisible());
    QCOMPARE(chart.backgroundBrush().color(), QColor(196, 196, 196));
    QVERIFY(chart.isPlotAreaBackgroundVisible());
    QCOMPARE(chart.plotAreaBackgroundBrush().color(), QColor(Qt::white));
}

void QtChartTest::axesFollowTheData()
{
    QtChart chart;
    chart.addPoint(0, 200.0, 2.0, "", 0xFF0000);
    Form2& form = *chart.form();
    // A single point still gets axes of some length around it.
    QVERIFY(form.axisX().min() < 200.0 && form.axisX().max() > 200.0);
    QVERIFY(form.axisY().min() < 2.0 && form.axisY().max() > 2.0);

    chart.addPoint(1, 480.0, 35.5, "", 0x0000FF);
    chart.addPoint(3, 250.0, 1.5, "", 0x00FFFF);
    QCOMPARE(form.axisX().min(), 200.0);
    QCOMPARE(form.axisX().max(), 480.0);
    QCOMPARE(form.axisY().min(), 1.5);
    QCOMPARE(form.axisY().max(), 35.5);
    // Ticks at round values: about ten intervals along each axis.
    QCOMPARE(form.axisX().tickInterval(), 50.0);
    QCOMPARE(form.axisY().tickInterval(), 5.0);
}

void QtChartTest::outOfRangeSeriesAndNonFinitePointsFault()
{
    QtChart chart;
    for (int series : {-1, 6, 100}) {
        QVERIFY_THROWS_EXCEPTION(NumericalFault, chart.setSeriesTitle(series, "x"));
        QVERIFY_THROWS_EXCEPTION(NumericalFault, chart.addPoint(series, 1.0, 1.0, "", 0));
    }
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QVERIFY_THROWS_EXCEPTION(NumericalFault, chart.addPoint(0, nan, 1.0, "", 0));
    QVERIFY_THROWS_EXCEPTION(NumericalFault, chart.addPoint(0, 1.0, -inf, "", 0));
    if (chart.form() != nullptr)
        QVERIFY(Points(*chart.form(), 0).isEmpty());
}

void QtChartTest::hoverShowsThePointsCoordinates()
{
    QtChart chart;
    chart.setSeriesTitle(1, "dew");
    chart.addPoint(1, 300.0, 10.0, "", 0x0000FF);
    chart.addPoint(1, 400.0, 30.0, "", 0x0000FF);
    chart.addPoint(1, 350.0, 25.125, "", 0x0000FF);
    chart.showForm();
    Form2& form = *chart.form();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    ChartView& view = form.chartView();

    const QPoint at = OnScreen(form, 1, QPointF(350.0, 25.125));
    QCOMPARE(view.pointTextAt(at + QPoint(3, -2)), QStringLiteral("dew\nT: 350.000 K (76.850 \u00B0C)\nP: 25.125 bar"));
    QCOMPARE(view.pointTextAt(at + QPoint(30, 30)), QString());
    QCOMPARE(view.pointTextAt(OnScreen(form, 1, QPointF(400.0, 30.0))),
             QStringLiteral("dew\nT: 400.000 K (126.850 \u00B0C)\nP: 30.000 bar"));

    SendMouse(view.viewport(), QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QStringLiteral("dew\nT: 350.000 K (76.850 \u00B0C)\nP: 25.125 bar"));
}

void QtChartTest::rubberBandZoomAndBackToTheFullView()
{
    QtChart chart;
    for (int i = 0; i <= 10; ++i)
        chart.addPoint(0, 200.0 + 10.0 * i, 2.0 + i, "", 0xFF0000);
    chart.showForm();
    Form2& form = *chart.form();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    ChartView& view = form.chartView();

    const QPoint from = OnScreen(form, 0, QPointF(220.0, 8.0));
    const QPoint to = OnScreen(form, 0, QPointF(260.0, 4.0));
    SendMouse(view.viewport(), QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    SendMouse(view.viewport(), QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    SendMouse(view.viewport(), QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    QVERIFY(form.chart().isZoomed());
    QVERIFY(std::abs(form.axisX().min() - 220.0) < 1.0);
    QVERIFY(std::abs(form.axisX().max() - 260.0) < 1.0);
    QVERIFY(form.axisX().tickInterval() < 10.0);

    // The right button is left to the context menu: it does not zoom out.
    SendMouse(view.viewport(), QEvent::MouseButtonPress, to, Qt::RightButton, Qt::RightButton);
    SendMouse(view.viewport(), QEvent::MouseButtonRelease, to, Qt::RightButton, Qt::NoButton);
    QVERIFY(form.chart().isZoomed());

    QTest::keyClick(&view, Qt::Key_Escape);
    QVERIFY(!form.chart().isZoomed());
    QCOMPARE(form.axisX().min(), 200.0);
    QCOMPARE(form.axisX().max(), 300.0);

    // A point that arrives while zoomed brings the full view back, with it.
    form.chart().zoomIn(QRectF(form.chart().plotArea().center(), QSizeF(50, 50)));
    QVERIFY(form.chart().isZoomed());
    chart.addPoint(0, 310.0, 20.0, "", 0xFF0000);
    QVERIFY(!form.chart().isZoomed());
    QCOMPARE(form.axisX().max(), 310.0);
}

void QtChartTest::contextMenuSavesPngAndSvg()
{
    QtChart chart;
    chart.addPoint(0, 200.0, 2.0, "", 0xFF0000);
    chart.addPoint(0, 300.0, 20.0, "", 0xFF0000);
    chart.showForm();
    Form2& form = *chart.form();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    QStringList entries;
    QTimer::singleShot(0, [&entries] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr)
            return;
        for (QAction* action : menu->actions())
            if (!action->isSeparator())
                entries << action->text();
        menu->close();
    });
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(100, 100),
                                form.chartView().viewport()->mapToGlobal(QPoint(100, 100)));
    QApplication::sendEvent(form.chartView().viewport(), &menuEvent);
    QCOMPARE(entries, (QStringList{QStringLiteral("Full view\tEsc, Home"), QStringLiteral("Copy chart"),
                                   QStringLiteral("Save chart as\u2026"), QStringLiteral("Print\u2026"),
                                   QStringLiteral("Show traced envelope")}));

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString png = folder.filePath(QStringLiteral("chart.png"));
    QVERIFY(form.saveImage(png));
    const QImage image(png);
    QCOMPARE(image.size(), form.size());
    // The legend column is part of the picture.
    const QRect bubbleLabel = form.findChild<QLabel*>(QStringLiteral("Label1"))->geometry();
    QCOMPARE(QColor(image.pixel(bubbleLabel.right() - 1, bubbleLabel.bottom() - 1)), QColor(0, 0, 255));

    const QString svg = folder.filePath(QStringLiteral("chart.SVG"));
    QVERIFY(form.saveImage(svg));
    QFile file(svg);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray drawing = file.readAll();
    QVERIFY(drawing.contains("<svg"));
    QVERIFY(drawing.contains("P (bar)"));
    QVERIFY(drawing.contains("vapor fraction 0.05"));

    // As the exported tables, the picture makes the directory it goes in.
    QVERIFY(form.saveImage(folder.filePath(QStringLiteral("missing/chart.png"))));
    QVERIFY(QImage(folder.filePath(QStringLiteral("missing/chart.png"))).size() == form.size());
}

// The context menu's "Show traced envelope": unchecked at first; checked, the
// chart asks its source once, draws the curve and the named markers and takes
// them into the axes; unchecked again, the chart is exactly as before.
void QtChartTest::tracedEnvelopeIsOffUntilCheckedAndLeavesNoTrace()
{
    QtChart chart;
    chart.addPoint(0, 200.0, 2.0, "", 0xFF0000);
    chart.addPoint(0, 300.0, 20.0, "", 0xFF0000);
    int asked = 0;
    chart.setTracedOverlaySource([&asked] {
        ++asked;
        TracedOverlay overlay;
        overlay.curve = {{150.0, 1.0}, {250.0, 30.0}, {320.0, 25.0}, {180.0, 1.0}};
        overlay.markers = {{"critical point", 320.0, 25.0}, {"cricondenbar", 250.0, 30.0}};
        return overlay;
    });
    chart.showForm();
    Form2& form = *chart.form();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QAction& item = form.showTracedAction();
    QVERIFY(item.isCheckable());
    QVERIFY(!item.isChecked());
    QCOMPARE(item.text(), QStringLiteral("Show traced envelope"));
    const QImage before = form.grab().toImage();
    const qsizetype seriesBefore = form.chart().series().size();

    QStringList entries;
    QTimer::singleShot(0, [&entries] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* action : menu->actions())
                if (!action->isSeparator())
                    entries << action->text();
            menu->close();
        }
    });
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(100, 100),
                                form.chartView().viewport()->mapToGlobal(QPoint(100, 100)));
    QApplication::sendEvent(form.chartView().viewport(), &menuEvent);
    QVERIFY(entries.contains(QStringLiteral("Show traced envelope")));

    item.setChecked(true);
    QCOMPARE(asked, 1);
    QCOMPARE(form.chart().series().size(), seriesBefore + 3);
    QVERIFY(form.axisX().min() < 150.0 && form.axisY().max() > 30.0);
    QXYSeries* critical = form.tracedSeries().at(1);
    const QPoint at = form.chartView().mapFromScene(
        form.chart().mapToScene(form.chart().mapToPosition(QPointF(320.0, 25.0), critical)));
    QCOMPARE(form.chartView().pointTextAt(at), QStringLiteral("critical point\nT: 320.000 K (46.850 \u00B0C)\nP: 25.000 bar"));
    QVERIFY(form.grab().toImage() != before);

    item.setChecked(false);
    QCOMPARE(form.chart().series().size(), seriesBefore);
    QCOMPARE(form.axisX().min(), 200.0);
    QCOMPARE(form.axisY().max(), 20.0);
    QCOMPARE(form.axisY().tickInterval(), 2.0);
    QCoreApplication::processEvents(); // the axes lay out their new ticks
    QCOMPARE(form.grab().toImage(), before);
    // Shown again from what it has: the source is not asked twice.
    item.setChecked(true);
    QCOMPARE(asked, 1);
    QCOMPARE(form.chart().series().size(), seriesBefore + 3);
}

QTEST_MAIN(QtChartTest)
#include "qt_chart_test.moc"
