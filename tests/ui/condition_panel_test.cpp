// Checking a condition in the main window: the answers are the core's, in
// the units chosen; bad values are refused at their field; conditions are
// kept, removed, copied, exported, checked again for a new mixture, and
// drawn above the chart's curves.

#include <QApplication>
#include <QChart>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QXYSeries>

#include <sstream>

#include "condition/check.h"
#include "envelope/case.h"
#include "envelope/condition_tables.h"
#include "thermo/cubic_model.h"
#include "ui/chart_view.h"
#include "ui/condition_panel.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/legend_entry.h"
#include "ui/unit_choice.h"

using namespace envelope;

namespace {

const QString NaturalGas = QStringLiteral(ENVELOPE_EXAMPLES_DIR "/natural-gas.json");

// Types the values into the fields and presses Enter.
void Check(ConditionPanel& panel, const QString& temperature, const QString& pressure)
{
    panel.temperatureField().clear();
    QTest::keyClicks(&panel.temperatureField(), temperature);
    panel.pressureField().clear();
    QTest::keyClicks(&panel.pressureField(), pressure);
    QTest::keyClick(&panel.pressureField(), Qt::Key_Return);
}

QStringList Row(const QTableWidget& table, int row)
{
    QStringList cells;
    for (int column = 0; column < table.columnCount(); ++column)
        cells << (table.item(row, column) != nullptr ? table.item(row, column)->text() : QString());
    return cells;
}

QStringList Cells(const std::vector<std::string>& row)
{
    QStringList cells;
    for (const std::string& cell : row)
        cells << QString::fromStdString(cell);
    return cells;
}

// A row of --point's "Conditions" as the list shows it: the vapour fraction
// beside the phases.
QStringList Listed(const std::vector<std::string>& row)
{
    QStringList cells = Cells(row).mid(0, 4);
    if (row[3] == "2")
        cells[3] += QStringLiteral(", V = ") + QString::fromStdString(row[4]);
    return cells;
}

CheckedConditions CoreChecks(const Mixture& mixture, std::initializer_list<std::pair<double, double>> points)
{
    CheckedConditions checked{mixture.componentNames, {}};
    for (const auto& [t, p] : points)
        checked.points.push_back(condition::CheckCondition(mixture, t, p));
    return checked;
}

QByteArray Read(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class ConditionPanelTest : public QObject {
    Q_OBJECT

private slots:
    void answersAreTheCoresForTwoPhasesAndOne();
    void valuesFollowTheUnitsAndMeanTheSameCondition();
    void badValuesAreShownAtTheirField();
    void conditionsAreRemovedCopiedAndExported();
    void anotherMixtureChecksThemAgain();
    void theChartDrawsThemAboveTheCurves();
};

void ConditionPanelTest::answersAreTheCoresForTwoPhasesAndOne()
{
    Form1 form;
    QCOMPARE(form.openCase(NaturalGas), QString());
    ConditionPanel& panel = form.conditionPanel();
    Check(panel, QStringLiteral("250"), QStringLiteral("60"));
    Check(panel, QStringLiteral("320"), QStringLiteral("60"));

    // The list shows what --point prints for the core's checks: "2" and
    // 0.9264, "1".
    const CheckedConditions core = CoreChecks(form.mixture(), {{250.0, 60.0}, {320.0, 60.0}});
    const TextRows rows = ConditionsRows(core);
    QCOMPARE(panel.list().rowCount(), 2);
    QCOMPARE(Row(panel.list(), 0), Listed(rows[1]));
    QCOMPARE(Row(panel.list(), 1), Listed(rows[2]));
    QCOMPARE(panel.list().item(0, 3)->text(), QStringLiteral("2, V = 0.9264"));
    QCOMPARE(panel.list().item(1, 3)->text(), QStringLiteral("1"));

    // The two-phase point's compositions, as --point's second section.
    panel.selectPoint(0);
    QVERIFY(panel.answer().text().contains(QStringLiteral("2 phases, V = 0.9264")));
    const TextRows compositions = PhaseCompositionsRows(core);
    QCOMPARE(panel.compositions().rowCount(), static_cast<int>(form.mixture().componentNames.size()));
    for (int row = 0; row < panel.compositions().rowCount(); ++row) {
        const std::vector<std::string>& cells = compositions[static_cast<std::size_t>(row) + 1];
        QCOMPARE(Row(panel.compositions(), row), Cells({cells[1], cells[3], cells[4]}));
    }
    panel.selectPoint(1);
    QVERIFY(panel.answer().text().contains(QStringLiteral("1 phase")));
    QCOMPARE(panel.compositions().rowCount(), 0);
}

void ConditionPanelTest::valuesFollowTheUnitsAndMeanTheSameCondition()
{
    Form1 form;
    QCOMPARE(form.openCase(NaturalGas), QString());
    ConditionPanel& panel = form.conditionPanel();
    panel.temperatureField().setText(QStringLiteral("250"));
    panel.pressureField().setText(QStringLiteral("60"));
    form.units().setUnits({TemperatureUnit::Celsius, PressureUnit::Psia});
    QCOMPARE(panel.temperatureField().text(), QStringLiteral("-23.15"));
    QCOMPARE(panel.pressureField().text(), QStringLiteral("870.23"));
    QVERIFY(panel.checkEntered());
    // The values shown rounded are checked as they were given.
    QCOMPARE(panel.conditions().points[0].temperature, 250.0);
    QCOMPARE(panel.conditions().points[0].pressure, 60.0);
    QCOMPARE(panel.list().horizontalHeaderItem(1)->text(), QStringLiteral("T (\u00B0C)"));
    QCOMPARE(panel.list().item(0, 2)->text(), QStringLiteral("870.23"));

    // Typed in °C and psia, the same condition gets the same answer.
    Check(panel, QStringLiteral("-23.15"), QStringLiteral("870.2264264"));
    QVERIFY(std::abs(panel.conditions().points[1].temperature - 250.0) < 1e-9);
    QVERIFY(std::abs(panel.conditions().points[1].pressure - 60.0) < 1e-6);
    QCOMPARE(Row(panel.list(), 1).mid(1), Row(panel.list(), 0).mid(1));
    form.units().setUnits({});
    QCOMPARE(Row(panel.list(), 1).mid(1), Row(panel.list(), 0).mid(1));
    QCOMPARE(panel.list().item(1, 1)->text(), QStringLiteral("250.000"));
}

void ConditionPanelTest::badValuesAreShownAtTheirField()
{
    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    ConditionPanel& panel = form.conditionPanel();
    const struct {
        const char* temperature;
        const char* pressure;
        TemperatureUnit unit;
        bool atTemperature;
        const char* says;
    } cases[] = {
        {"", "60", TemperatureUnit::Kelvin, true, "Enter a temperature."},
        {"250", "sixty", TemperatureUnit::Kelvin, false, "must be a number"},
        {"0.5", "60", TemperatureUnit::Kelvin, true, "between 1 and 10000 K"},
        {"250", "1e5", TemperatureUnit::Kelvin, false, "between 0.001 and 10000 bar"},
        {"-300", "60", TemperatureUnit::Celsius, true, "(-272.150 to 9726.850 \u00B0C)"},
    };
    for (const auto& bad : cases) {
        form.units().setTemperatureUnit(bad.unit);
        Check(panel, QString::fromUtf8(bad.temperature), QString::fromUtf8(bad.pressure));
        QLineEdit& field = bad.atTemperature ? panel.temperatureField() : panel.pressureField();
        QVERIFY2(panel.problem().isVisible(), bad.says);
        QVERIFY2(panel.problem().text().contains(QString::fromUtf8(bad.says)), qPrintable(panel.problem().text()));
        QCOMPARE(field.toolTip(), panel.problem().text());
        QCOMPARE(QApplication::focusWidget(), &field);
        QVERIFY(panel.conditions().points.empty());
    }
    // Mending the value takes the problem away.
    QTest::keyClicks(&panel.temperatureField(), QStringLiteral("30"));
    QVERIFY(!panel.problem().isVisible());
    QVERIFY(panel.temperatureField().toolTip().isEmpty());
    QTest::keyClick(&panel.temperatureField(), Qt::Key_Return);
    QCOMPARE(panel.conditions().points.size(), std::size_t(1));
}

void ConditionPanelTest::conditionsAreRemovedCopiedAndExported()
{
    Form1 form;
    form.show();
    ConditionPanel& panel = form.conditionPanel();
    // The built-in case: the equation of state gives no answer at 2.5 K.
    for (const auto& [t, p] : {std::pair{"2.5", "1"}, {"300", "10"}, {"400", "5"}})
        Check(panel, QString::fromLatin1(t), QString::fromLatin1(p));
    QCOMPARE(panel.conditions().points[0].phases, condition::PointPhases::Failed);
    QCOMPARE(panel.list().item(0, 3)->text(), QStringLiteral("failed"));

    panel.selectPoint(0);
    QVERIFY(panel.answer().text().contains(QStringLiteral("could not be checked: ") +
                                           QString::fromStdString(panel.conditions().points[0].reason)));
    form.showChart();
    Form2& chart = *form.chart().form();
    QCOMPARE(chart.conditionSeries()[0]->name(), QStringLiteral("condition 1: could not be checked"));
    QVERIFY(chart.conditionLegendEntries()[2]->isVisible());

    // Removing the first (Del in the list) renumbers the rest, on the chart too.
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    panel.selectPoint(0);
    panel.list().setFocus();
    QTest::keyClick(&panel.list(), Qt::Key_Delete);
    QCOMPARE(panel.list().rowCount(), 2);
    QCOMPARE(panel.list().item(0, 0)->text(), QStringLiteral("1"));
    QCOMPARE(panel.conditions().points[0].temperature, 300.0);
    QCOMPARE(chart.conditionSeries().size(), 2);
    QVERIFY(chart.conditionSeries()[0]->name().startsWith(QStringLiteral("condition 1: 2 phases, V = ")));
    QVERIFY(!chart.conditionLegendEntries()[2]->isVisible());

    std::ostringstream report;
    WriteConditionsReport(report, panel.conditions());
    panel.copy();
    QCOMPARE(QApplication::clipboard()->text(), QString::fromStdString(report.str()));

    // The files of --point --csv, alone or among all the results.
    QTemporaryDir alone, all;
    QCOMPARE(form.exportConditions(alone.path()), QString());
    QCOMPARE(form.exportAll(all.path()), QString());
    for (const CsvFile& csv : ConditionsCsvFiles(panel.conditions())) {
        QCOMPARE(Read(QDir(alone.path()).filePath(QString::fromLatin1(csv.fileName))),
                 QByteArray::fromStdString(csv.contents));
        QCOMPARE(Read(QDir(all.path()).filePath(QString::fromLatin1(csv.fileName))),
                 QByteArray::fromStdString(csv.contents));
    }
    QCOMPARE(QDir(alone.path()).entryList(QDir::Files).size(), 2);

    panel.removeAll();
    QCOMPARE(panel.list().rowCount(), 0);
    QVERIFY(chart.conditionSeries().isEmpty());
    QVERIFY(!form.findChild<QPushButton*>(QStringLiteral("ExportConditions"))->isEnabled());
}

void ConditionPanelTest::anotherMixtureChecksThemAgain()
{
    Form1 form;
    QCOMPARE(form.openCase(NaturalGas), QString());
    ConditionPanel& panel = form.conditionPanel();
    Check(panel, QStringLiteral("250"), QStringLiteral("60"));

    // Another equation of state for the same mixture checks them again.
    const Mixture gas = form.mixture();
    form.useMixture(gas, EosKind::PR);
    const condition::ConditionCheck pr = condition::CheckCondition(gas, 250.0, 60.0, PengRobinson1976);
    QCOMPARE(panel.conditions().points[0].vapourFraction, pr.vapourFraction);
    QCOMPARE(panel.conditions().points[0].liquid, pr.liquid);
    QVERIFY(pr.liquid != CoreChecks(gas, {{250.0, 60.0}}).points[0].liquid);

    form.useBuiltInCase();
    const CheckedConditions builtIn = CoreChecks(BuiltInMixture(), {{250.0, 60.0}});
    QCOMPARE(panel.conditions().componentNames, BuiltInMixture().componentNames);
    QCOMPARE(panel.conditions().points[0].liquid, builtIn.points[0].liquid);
    QCOMPARE(Row(panel.list(), 0), Listed(ConditionsRows(builtIn)[1]));

}

void ConditionPanelTest::theChartDrawsThemAboveTheCurves()
{
    Form1 form;
    QCOMPARE(form.openCase(NaturalGas), QString());
    form.show();
    form.Command1_Click();
    Form2& chart = *form.chart().form();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    Check(form.conditionPanel(), QStringLiteral("250"), QStringLiteral("60"));
    QCOMPARE(chart.conditionSeries().size(), 1);
    QXYSeries* point = chart.conditionSeries()[0];
    // Drawn last, also after the traced envelope is shown again.
    QCOMPARE(chart.chart().series().constLast(), point);
    chart.showTracedAction().setChecked(false);
    chart.showTracedAction().setChecked(true);
    QCOMPARE(chart.chart().series().constLast(), point);
    // Its kind named in the legend, the others not.
    QVERIFY(chart.conditionLegendEntries()[0]->isVisible());
    QVERIFY(!chart.conditionLegendEntries()[1]->isVisible());
    QVERIFY(!chart.conditionLegendEntries()[2]->isVisible());

    // The readout names the condition and its answer.
    QTest::qWait(20);
    const QPoint at = chart.chartView().mapFromScene(chart.chart().mapToScene(chart.chart().mapToPosition(point->at(0), point)));
    QVERIFY(chart.chartView().pointTextAt(at).startsWith(QStringLiteral("condition 1: 2 phases, V = 0.9264\nT: 250.000 K")));
    form.units().setUnits({TemperatureUnit::Celsius, PressureUnit::Bar});
    QVERIFY(std::abs(point->at(0).x() - -23.15) < 1e-9);
}

QTEST_MAIN(ConditionPanelTest)
#include "condition_panel_test.moc"
