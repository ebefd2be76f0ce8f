#pragma once
// The main window: the bubble curve, dew curve and spline interpolation
// tables, each in its frame, and the button "Run". Loading the window gives
// each table its headings through the table operations. The window also holds
// the chart operations, whose chart window it creates on first use. Each
// table's context menu exports the table as a CSV file, or every result of the
// latest run into a folder. Closing the window closes the chart window too.
// A menu bar above the tables opens and saves case files, edits the mixture
// and returns to the built-in case; the mixture in use is the one "Run" runs.
// A run of a mixture other than the last run's starts from empty tables and an
// empty chart. A status line below the tables sums up how the last run ended.
// The window is laid out by Qt's layouts and may be resized: the bubble and
// dew tables above, the Run button, and below them the mixture in use (its
// name and composition), the spline table and the "Characteristic points"
// panel of the traced envelope. Every run also traces the envelope: for a
// mixture other than the built-in case the chart shows it at once, and where
// the spline bridge strays from it the spline points are drawn as an
// estimate and the status line says so. Choosing another mixture empties
// every result shown. Temperatures and pressures outside the tables are shown
// in the units chosen. Beside the bubble and dew tables, the "Check a
// condition" panel checks temperatures and pressures for the mixture in use;
// choosing another mixture checks them again for it, and the chart draws
// them. The choice, the windows' places, the last folders and
// whether the traced envelope is shown are remembered in the settings given
// (rememberIn).

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QString>
#include <QWidget>

#include "envelope/bridge_check.h"
#include "envelope/run_result.h"
#include "envelope/table.h"
#include "thermo/eos_kind.h"
#include "thermo/mixture.h"
#include "trace/trace.h"
#include "ui/qt_chart.h"
#include "ui/qt_table.h"

class QGroupBox;
class QLabel;
class QMenuBar;
class QPushButton;
class QSettings;
class QStatusBar;
class QTableWidget;

namespace envelope {

class ConditionPanel;
class FlexGrid;
class PointsPanel;
class UnitChoice;

class Form1 : public QWidget {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    Table& bubbleTable() { return *bubble_; }
    Table& dewTable() { return *dew_; }
    Table& splineTable() { return *spline_; }
    QtChart& chart() { return chart_; }
    QMenuBar& menuBar() const { return *menuBar_; }

    // The mixture "Run" runs: the built-in case until another is chosen.
    const Mixture& mixture() const { return mixture_; }
    // The equation of state "Run" and the traced envelope use for it.
    EosKind equationOfState() const { return eos_; }
    // Runs this mixture with this equation of state from now on, shows it,
    // and names the mixture in the chart window's caption, unless it is the
    // built-in case, and the equation of state, unless it is SRK. An unnamed
    // mixture is named after the file it came from, if any. A mixture or an
    // equation of state other than the one in use empties the tables, the
    // chart and the characteristic points.
    void useMixture(const Mixture& mixture, EosKind eos = EosKind::SRK, const QString& fileName = {});
    // Reads the case file and uses its mixture; the problem, or an empty text.
    QString openCase(const QString& fileName);
    // Writes the mixture in use as a case file, which is replaced only by a
    // complete new one; the problem, or an empty text.
    QString saveCase(const QString& fileName) const;
    // The constant vapour-fraction points of the latest run, in the order the
    // run drew them; none before the first run.
    const std::vector<FractionPoint>& fractionPoints() const { return fractionPoints_; }
    // The line below the tables that sums up the last run: how the trace
    // ended, whether the spline points are an estimate, and the run.
    QStatusBar& statusLine() const { return *statusLine_; }
    // The panel of the traced envelope's characteristic points.
    PointsPanel& pointsPanel() const { return *points_; }
    // The panel that checks conditions for the mixture in use.
    ConditionPanel& conditionPanel() const { return *conditions_; }
    // The units the windows show, outside the tables.
    UnitChoice& units() const { return *units_; }
    // The traced envelope of the mixture whose results are shown (of the
    // mixture in use before the first run), traced when first asked for.
    const trace::TracedEnvelope& tracedEnvelope();
    // How far the spline points of the latest run stray from the traced
    // envelope; not measured before a run.
    const BridgeDeviation& bridgeDeviation() const { return bridge_; }

    // Restores what the settings remember (units, the windows' places, the
    // last folders, whether the traced envelope is shown) and keeps them
    // there from now on. The settings must outlive the window.
    void rememberIn(QSettings* settings);

    // Writes the table as CSV into the file, which is replaced only by a
    // complete new one. The problem, or an empty text when the file is written.
    static QString ExportCsv(const Table& table, const QString& fileName);
    // Writes the three tables, the vapour-fraction points and the traced
    // envelope (critical-points.csv and traced.csv) into the folder, under
    // the names and in the form of the command line's --csv --trace, and
    // where conditions are checked also conditions.csv and
    // phase-compositions.csv as --point writes them; all of them or none.
    // The problem, or an empty text when they are written.
    QString exportAll(const QString& folder);
    // Writes conditions.csv and phase-compositions.csv of the conditions
    // checked into the folder, both or neither; the problem, or an empty text.
    QString exportConditions(const QString& folder) const;

public slots:
    // Clicked "Run".
    void Command1_Click();
    // The menu commands: each asks for what it needs in a dialog.
    void askAndOpenCase();
    void askAndSaveCase();
    void editMixture();
    void useBuiltInCase();
    // Shows the chart window as it was left, or an empty one.
    void showChart();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    // Asks where to export the table, offering the name under which the
    // command line writes it, and reports a failure in a message box.
    void askAndExportCsv(const Table& table, const char* fileName);
    // Asks for a folder and exports every result, or the conditions, there.
    void askAndExportAll();
    void askAndExportConditions();
    // Asks for a folder, writes into it and reports a failure; the dialog
    // and the message are named <name>Dialog and <name>Problem.
    void askAndExportInto(const QString& caption, const QString& name, const QString& failure,
                          const std::function<QString(const QString&)>& write);

    void showProblem(const QString& objectName, const QString& text);
    // Shows the mixture's name and composition.
    void showMixture();
    // Empties the tables, the chart and the characteristic points.
    void clearResults();
    // After a run: traces the envelope if need be, fills the panel, gives
    // the chart the traced envelope and says whether the spline points are
    // an estimate.
    void showTracedEnvelope();
    void refreshStatusLine();
    // Whether the traced envelope is shown for the built-in case, or for
    // another mixture.
    bool& tracedShown(const Mixture& mixture);
    void chartWindowMade(Form2& form);
    void writeSettings();

    // Where the last export went: the next one is offered the same place.
    QString exportDirectory_;
    // Where the last case was opened or saved.
    QString caseDirectory_;
    Mixture mixture_;
    EosKind eos_ = EosKind::SRK;
    // The mixture and equation of state of the last run, whose results the
    // tables and chart hold.
    std::optional<Mixture> lastRun_;
    EosKind lastRunEos_ = EosKind::SRK;
    QMenuBar* menuBar_;
    QStatusBar* statusLine_;
    UnitChoice* units_;
    PointsPanel* points_;
    ConditionPanel* conditions_;
    QGroupBox* mixtureFrame_;
    QLabel* mixtureName_;
    QTableWidget* composition_;
    QSettings* settings_ = nullptr;

    // The traced envelope and the mixture and equation of state it belongs to.
    std::optional<trace::TracedEnvelope> traced_;
    Mixture tracedMixture_;
    EosKind tracedEos_ = EosKind::SRK;
    BridgeDeviation bridge_;
    // The latest run's summary and details; empty before a run.
    QString runSummary_;
    QString runDetails_;
    // Whether the traced envelope is shown: for the built-in case, for others.
    bool tracedForBuiltIn_ = false;
    bool tracedForOthers_ = true;

    std::unique_ptr<QtTable> bubble_;
    std::unique_ptr<QtTable> dew_;
    std::unique_ptr<QtTable> spline_;
    QtChart chart_;
    std::vector<FractionPoint> fractionPoints_;
};

} // namespace envelope
