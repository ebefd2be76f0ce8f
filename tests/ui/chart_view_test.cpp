// The chart view under the mouse, the wheel and the keys: reading values,
// zooming, panning and the full view; and the chart's picture copied, printed
// and saved.

#include <cmath>

#include <QApplication>
#include <QChart>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QGraphicsEllipseItem>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QValueAxis>
#include <QWheelEvent>

#include "ui/chart_view.h"
#include "ui/qt_chart.h"

using namespace envelope;

namespace {

// Where a point of a series is drawn, in the chart view's viewport.
QPoint OnScreen(Form2& form, int series, QPointF value)
{
    ChartView& view = form.chartView();
    return view.mapFromScene(form.chart().mapToScene(form.chart().mapToPosition(value, &form.series(series))));
}

// The value at a viewport position, in the scale of the series' axes.
QPointF ValueAt(Form2& form, QPoint position)
{
    return form.chart().mapToValue(form.chart().mapFromScene(form.chartView().mapToScene(position)),
                                   &form.series(0));
}

// A move with buttons held, which QTest::mouseMove does not send.
void Drag(QWidget* target, QPoint to, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent event(QEvent::MouseMove, QPointF(to), QPointF(target->mapToGlobal(to)), Qt::NoButton, buttons,
                      modifiers);
    QApplication::sendEvent(target, &event);
}

void Wheel(QWidget* target, QPoint at, int angle)
{
    QWheelEvent event(QPointF(at), QPointF(target->mapToGlobal(at)), QPoint(), QPoint(0, angle), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

bool Near(double a, double b, double tolerance)
{
    return std::abs(a - b) <= tolerance;
}

// A shown chart window with a bubble line from (200, 2) to (300, 12) and,
// where asked, a dew line just above it.
class ShownChart {
public:
    explicit ShownChart(bool withDew = false)
    {
        chart_.setSeriesTitle(0, "bubble");
        chart_.setSeriesTitle(1, "dew");
        for (int i = 0; i <= 10; ++i) {
            chart_.addPoint(0, 200.0 + 10.0 * i, 2.0 + i, "", 0xFF0000);
            if (withDew)
                chart_.addPoint(1, 205.0 + 10.0 * i, 2.5 + i, "", 0x0000FF);
        }
        chart_.showForm();
    }
    Form2& form() { return *chart_.form(); }
    ChartView& view() { return chart_.form()->chartView(); }
    QWidget* viewport() { return view().viewport(); }

private:
    QtChart chart_;
};

} // namespace

class ChartViewTest : public QObject {
    Q_OBJECT

private slots:
    void readoutSnapsToTheNearestPointOfAnyVisibleSeries();
    void aShakyClickDoesNotZoom();
    void wheelZoomsAboutTheCursor();
    void middleOrShiftDragPansAndEveryWayBackGivesTheFullView();
    void contextMenuNamesTheKeys();
    void copyPutsThePictureOnTheClipboard();
    void printDrawsThePictureOnAPage();
    void svgTextHasTheSizeOfTheWindowsText();
    void aFailedSaveSaysWhy();
    void readoutStaysWhileTheMouseRests();
    void unitsConvertTheAxesTheReadoutAndKeepTheZoom();
    void aPictureIsSavedAsItsSuffixSaysOrRefused();
};

void ChartViewTest::readoutSnapsToTheNearestPointOfAnyVisibleSeries()
{
    ShownChart shown(true);
    QVERIFY(QTest::qWaitForWindowExposed(&shown.form()));
    ChartView& view = shown.view();
    const QPoint bubble = OnScreen(shown.form(), 0, QPointF(250.0, 7.0));
    const QPoint dew = OnScreen(shown.form(), 1, QPointF(255.0, 7.5));

    // 15 pixels away from the nearest point, the nearest of both series.
    const QPoint near = bubble + QPoint(-9, 12);
    QTest::mouseMove(shown.viewport(), near);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QStringLiteral("bubble\nT: 250.000 K (-23.150 \u00B0C)\nP: 7.000 bar"));
    QVERIFY(view.readoutMarker().isVisible());
    QCOMPARE(view.mapFromScene(view.readoutMarker().scenePos()), bubble);

    const ChartView::Readout other = view.readoutAt(dew + QPoint(2, -3));
    QCOMPARE(other.series, &shown.form().series(1));
    QCOMPARE(other.value, QPointF(255.0, 7.5));

    // Farther than the snap radius from every point: nothing, and no mark.
    const QPoint empty = OnScreen(shown.form(), 0, QPointF(300.0, 2.0));
    QVERIFY(view.readoutAt(empty).series == nullptr);
    QTest::mouseMove(shown.viewport(), empty);
    QTRY_VERIFY(!QToolTip::isVisible());
    QVERIFY(!view.readoutMarker().isVisible());

    // A hidden series is not read.
    shown.form().series(1).setVisible(false);
    QVERIFY(view.readoutAt(dew).series == nullptr);
}

void ChartViewTest::aShakyClickDoesNotZoom()
{
    ShownChart shown;
    QVERIFY(QTest::qWaitForWindowExposed(&shown.form()));
    const QPoint at = OnScreen(shown.form(), 0, QPointF(240.0, 6.0));

    QTest::mousePress(shown.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    Drag(shown.viewport(), at + QPoint(4, 3), Qt::LeftButton);
    QTest::mouseRelease(shown.viewport(), Qt::LeftButton, Qt::NoModifier, at + QPoint(4, 3));
    QVERIFY(!shown.form().chart().isZoomed());
    QCOMPARE(shown.form().axisX().min(), 200.0);
    QCOMPARE(shown.form().axisX().max(), 300.0);

    // A rectangle of a little more than a few pixels does zoom.
    QTest::mousePress(shown.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    Drag(shown.viewport(), at + QPoint(ChartView::MinimumZoomBand, ChartView::MinimumZoomBand), Qt::LeftButton);
    QTest::mouseRelease(shown.viewport(), Qt::LeftButton, Qt::NoModifier,
                        at + QPoint(ChartView::MinimumZoomBand, ChartView::MinimumZoomBand));
    QVERIFY(shown.form().chart().isZoomed());
    QVERIFY(shown.form().axisX().max() - shown.form().axisX().min() < 2.0);
}

void ChartViewTest::wheelZoomsAboutTheCursor()
{
    ShownChart shown;
    QVERIFY(QTest::qWaitForWindowExposed(&shown.form()));
    QValueAxis& x = shown.form().axisX();
    QValueAxis& y = shown.form().axisY();
    const QPoint at = OnScreen(shown.form(), 0, QPointF(230.0, 5.0)) + QPoint(7, -5);
    const QPointF before = ValueAt(shown.form(), at);

    // Two steps in: the spans shrink by the factor twice, the value under the
    // cursor stays under it.
    Wheel(shown.viewport(), at, 240);
    QVERIFY(shown.form().chart().isZoomed());
    const double zoom = ChartView::WheelZoom * ChartView::WheelZoom;
    QVERIFY(Near(x.max() - x.min(), 100.0 / zoom, 0.01));
    QVERIFY(Near(y.max() - y.min(), 10.0 / zoom, 0.001));
    const QPointF after = ValueAt(shown.form(), at);
    QVERIFY2(Near(after.x(), before.x(), 0.1) && Near(after.y(), before.y(), 0.01),
             qPrintable(QStringLiteral("%1,%2 moved to %3,%4").arg(before.x()).arg(before.y()).arg(after.x())
                            .arg(after.y())));

    // One step out widens again about the same value.
    Wheel(shown.viewport(), at, -120);
    QVERIFY(Near(x.max() - x.min(), 100.0 / ChartView::WheelZoom, 0.01));
    QVERIFY(Near(ValueAt(shown.form(), at).x(), before.x(), 0.1));
}

void ChartViewTest::middleOrShiftDragPansAndEveryWayBackGivesTheFullView()
{
    ShownChart shown;
    QVERIFY(QTest::qWaitForWindowExposed(&shown.form()));
    QValueAxis& x = shown.form().axisX();
    QValueAxis& y = shown.form().axisY();
    const QRectF plot = shown.form().chart().plotArea();
    const double kelvinPerPixel = 100.0 / plot.width();
    const double barPerPixel = 10.0 / plot.height();
    const QPoint at = plot.center().toPoint();

    // The data follow the mouse: 50 pixels to the right shows lower temperatures.
    QTest::mousePress(shown.viewport(), Qt::MiddleButton, Qt::NoModifier, at);
    Drag(shown.viewport(), at + QPoint(50, 0), Qt::MiddleButton);
    QTest::mouseRelease(shown.viewport(), Qt::MiddleButton, Qt::NoModifier, at + QPoint(50, 0));
    QVERIFY(Near(x.min(), 200.0 - 50 * kelvinPerPixel, 0.5));
    QVERIFY(Near(x.max(), 300.0 - 50 * kelvinPerPixel, 0.5));
    QVERIFY(Near(y.min(), 2.0, 1e-9));
    QVERIFY(shown.form().chart().isZoomed());

    // With Shift the left button pans too, and draws no zoom rectangle:
    // 40 pixels down shows higher pressures.
    QTest::mousePress(shown.viewport(), Qt::LeftButton, Qt::ShiftModifier, at);
    Drag(shown.viewport(), at + QPoint(0, 40), Qt::LeftButton, Qt::ShiftModifier);
    QTest::mouseRelease(shown.viewport(), Qt::LeftButton, Qt::ShiftModifier, at + QPoint(0, 40));
    QVERIFY(Near(y.min(), 2.0 + 40 * barPerPixel, 0.05));
    QVERIFY(Near(y.max() - y.min(), 10.0, 1e-9));

    // Home, Escape and a double click each bring back the full view.
    const auto fullView = [&] { return x.min() == 200.0 && x.max() == 300.0 && y.min() == 2.0 && y.max() == 12.0; };
    QTest::keyClick(&shown.view(), Qt::Key_Home);
    QVERIFY(fullView());
    Wheel(shown.viewport(), at, 120);
    QVERIFY(!fullView());
    QTest::keyClick(&shown.view(), Qt::Key_Escape);
    QVERIFY(fullView());
    Wheel(shown.viewport(), at, 120);
    QTest::mouseDClick(shown.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QVERIFY(fullView());
    QVERIFY(!shown.form().chart().isZoomed());
}

void ChartViewTest::contextMenuNamesTheKeys()
{
    ShownChart shown;
    QVERIFY(QTest::qWaitForWindowExposed(&shown.form()));
    Wheel(shown.viewport(), QPoint(300, 300), 120);
    QStringList entries;
    bool fullViewEnabled = false;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr)
            return;
        for (QAction* action : menu->actions())
            if (!action->isSeparator())
                entries << action->text() + (action->shortcut().isEmpty() ? QString() : QLatin1Char('\t') +
                                                 action->shortcut().toString());
        fullViewEnabled = menu->actions().constFirst()->isEnabled();
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(100, 100),
                            shown.viewport()->mapToGlobal(QPoint(100, 100)));
    QApplication::sendEvent(shown.viewport(), &event);
    QCOMPARE(entries, (QStringList{QStringLiteral("Full view\tEsc, Home"), QStringLiteral("Copy chart\tCtrl+C"),
                                   QStringLiteral("Save chart as\u2026"), QStringLiteral("Print\u2026"),
                                   QStringLiteral("Show traced envelope")}));
    QVERIFY(fullViewEnabled);
}

void ChartViewTest::copyPutsThePictureOnTheClipboard()
{
    ShownChart shown;
    QVERIFY(QTest::qWaitForWindowExposed(&shown.form()));
    QApplication::clipboard()->clear();
    QTest::keySequence(&shown.view(), QKeySequence::Copy);
    const QImage image = QApplication::clipboard()->image();
    QCOMPARE(image.size(), shown.form().size());
    const QRect label = shown.form().findChild<QLabel*>(QStringLiteral("Label5"))->geometry();
    QCOMPARE(QColor(image.pixel(label.right() - 1, label.bottom() - 1)), QColor(255, 0, 0));
}

void ChartViewTest::printDrawsThePictureOnAPage()
{
    ShownChart shown;
    QTemporaryDir folder;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.filePath(QStringLiteral("chart.pdf")));
    QVERIFY(shown.form().print(printer));
    QFile pdf(printer.outputFileName());
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray document = pdf.readAll();
    QVERIFY(document.startsWith("%PDF"));
    QCOMPARE(document.count("/Type /Page\n") + document.count("/Type /Page\r"), 1);
    QVERIFY(document.contains("/Subtype /Image"));

    // A printer that cannot start is reported, not taken for printed.
    printer.setOutputFileName(folder.filePath(QStringLiteral("missing/chart.pdf")));
    QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    QVERIFY(!shown.form().print(printer));
}

void ChartViewTest::svgTextHasTheSizeOfTheWindowsText()
{
    ShownChart shown;
    const QString drawing = QString::fromUtf8(shown.form().picture(Form2::PictureFormat::Svg));
    QVERIFY(drawing.startsWith(QStringLiteral("<?xml")));
    // The font of each text is given by the last font attribute before it.
    const auto fontOf = [&drawing](const QString& text, const char* attribute) {
        const qsizetype at = drawing.indexOf(QLatin1Char('>') + text + QLatin1Char('<'));
        const QRegularExpression value(QStringLiteral("%1=\"([^\"]*)\"").arg(QLatin1String(attribute)));
        QRegularExpressionMatch last;
        for (QRegularExpressionMatchIterator it = value.globalMatch(drawing.left(at)); it.hasNext();)
            last = it.next();
        return at < 0 ? QString() : last.captured(1);
    };
    const auto* label = shown.form().findChild<QLabel*>(QStringLiteral("Label2"));
    const QFontInfo labelFont(label->font());
    QCOMPARE(fontOf(QStringLiteral("vapor fraction 0.05"), "font-size").toDouble(), double(labelFont.pixelSize()));
    QCOMPARE(fontOf(QStringLiteral("P (bar)"), "font-size").toDouble(),
             double(QFontInfo(shown.form().axisY().titleFont()).pixelSize()));
    // The family the window draws with is among those the drawing names.
    QVERIFY(fontOf(QStringLiteral("vapor fraction 0.05"), "font-family")
                .contains(QLatin1Char('\'') + labelFont.family() + QLatin1Char('\'')));
}

void ChartViewTest::aFailedSaveSaysWhy()
{
    ShownChart shown;
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("file")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    QString problem;
    QVERIFY(!shown.form().saveImage(folder.filePath(QStringLiteral("file/chart.png")), &problem));
    QVERIFY2(problem.endsWith(QStringLiteral("is not a directory")), qPrintable(problem));
    QVERIFY(shown.form().saveImage(folder.filePath(QStringLiteral("chart.svg")), &problem));
    QVERIFY(problem.isEmpty());

    // The same reason in the message after "Save chart as…": the file dialog
    // is answered, then the message box read and closed, as each shows.
    QString shownText;
    int tries = 0;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<QFileDialog*>(modal); dialog != nullptr && dialog->isVisible()) {
            dialog->selectFile(folder.filePath(QStringLiteral("file/a.png")));
            QMetaObject::invokeMethod(dialog, "done", Q_ARG(int, QDialog::Accepted));
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            shownText = box->objectName() + QLatin1Char(':') + box->text();
            box->accept();
        }
        if (!shownText.isEmpty() || ++tries > 1000)
            poll.stop();
    });
    poll.start(10);
    shown.form().saveChartAs();
    QVERIFY2(shownText.startsWith(QStringLiteral("SaveChartProblem:The chart could not be saved: ")) &&
                 shownText.contains(QStringLiteral("is not a directory")),
             qPrintable(shownText));
}

void ChartViewTest::readoutStaysWhileTheMouseRests()
{
    ShownChart shown;
    QVERIFY(QTest::qWaitForWindowExposed(&shown.form()));
    const QPoint point = OnScreen(shown.form(), 0, QPointF(250.0, 7.0));
    Drag(shown.viewport(), point + QPoint(3, 3), Qt::NoButton);
    QTRY_VERIFY(QToolTip::isVisible());
    const QString text = QToolTip::text();
    // The mouse rests: the view is asked for its tool tip, as it is about a
    // second after the mouse stops, and again later.
    for (int rest = 0; rest < 3; ++rest) {
        QHelpEvent help(QEvent::ToolTip, point + QPoint(3, 3), shown.viewport()->mapToGlobal(point + QPoint(3, 3)));
        QApplication::sendEvent(shown.viewport(), &help);
        // A tip told to hide goes after 300 ms.
        QTest::qWait(400);
        QVERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), text);
        QVERIFY(shown.view().readoutMarker().isVisible());
    }
}

void ChartViewTest::unitsConvertTheAxesTheReadoutAndKeepTheZoom()
{
    ShownChart shown;
    Form2& form = shown.form();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // Zoomed about (250 K, 7 bar).
    form.chart().zoomIn(QRectF(form.chart().plotArea().center() - QPointF(100, 80), QSizeF(200, 160)));
    QVERIFY(form.chart().isZoomed());
    const double lowK = form.axisX().min(), highK = form.axisX().max();
    const double lowBar = form.axisY().min(), highBar = form.axisY().max();

    form.setUnits({TemperatureUnit::Celsius, PressureUnit::Psia});
    QCOMPARE(form.axisX().titleText(), QStringLiteral("T (\u00B0C)"));
    QCOMPARE(form.axisY().titleText(), QStringLiteral("P (psia)"));
    // The same values stay in sight, in the new units.
    QVERIFY(Near(form.axisX().min(), lowK - 273.15, 0.5) && Near(form.axisX().max(), highK - 273.15, 0.5));
    QVERIFY(Near(form.axisY().min(), lowBar * 14.5038, 0.2) && Near(form.axisY().max(), highBar * 14.5038, 0.2));
    // The points are shown converted and kept as given.
    QVERIFY(Near(form.series(0).at(5).x(), -23.15, 1e-9));
    QVERIFY(Near(form.series(0).at(5).y(), 7.0 * 14.503773773, 1e-6));
    QCOMPARE(form.pointValue(0, 5), QPointF(250.0, 7.0));
    const QPoint point = OnScreen(form, 0, form.series(0).at(5));
    QCOMPARE(shown.view().readoutAt(point).text,
             QStringLiteral("bubble\nT: -23.150 \u00B0C (250.000 K)\nP: 101.53 psia"));
    // A point added now is converted as it comes.
    shown.form().addPoint(1, QPointF(300.0, 10.0), QString(), Qt::red);
    QVERIFY(Near(form.series(1).at(0).x(), 26.85, 1e-9));

    // Back to K and bar: the values as given, the full view after a reset.
    form.setUnits({});
    QCOMPARE(form.series(0).at(5), QPointF(250.0, 7.0));
    QCOMPARE(form.axisX().titleText(), QStringLiteral("T (K)"));
    form.chart().zoomReset();
    QVERIFY(form.axisX().min() <= 200.0 && form.axisX().max() >= 300.0);
}

void ChartViewTest::aPictureIsSavedAsItsSuffixSaysOrRefused()
{
    ShownChart shown;
    QTemporaryDir folder;
    QString problem;
    const auto head = [&](const QString& name) {
        QFile file(folder.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.read(8) : QByteArray();
    };
    QVERIFY(shown.form().saveImage(folder.filePath(QStringLiteral("c.jpg")), &problem));
    QVERIFY(head(QStringLiteral("c.jpg")).startsWith("\xFF\xD8\xFF"));
    QVERIFY(shown.form().saveImage(folder.filePath(QStringLiteral("c.JPEG")), &problem));
    QVERIFY(head(QStringLiteral("c.JPEG")).startsWith("\xFF\xD8\xFF"));
    QVERIFY(shown.form().saveImage(folder.filePath(QStringLiteral("c.png")), &problem));
    QVERIFY(head(QStringLiteral("c.png")).startsWith("\x89PNG"));
    QVERIFY(!shown.form().saveImage(folder.filePath(QStringLiteral("c.bmp")), &problem));
    QVERIFY2(problem.contains(QStringLiteral(".bmp")), qPrintable(problem));
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("c.bmp"))));

    // "Save chart as…" with c.jpg writes c.jpg, never c.jpg.png.
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            dialog->selectFile(folder.filePath(QStringLiteral("d.jpg")));
            QMetaObject::invokeMethod(dialog, "done", Q_ARG(int, QDialog::Accepted));
        }
    });
    shown.form().saveChartAs();
    QVERIFY(head(QStringLiteral("d.jpg")).startsWith("\xFF\xD8\xFF"));
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("d.jpg.png"))));
}

QTEST_MAIN(ChartViewTest)
#include "chart_view_test.moc"
