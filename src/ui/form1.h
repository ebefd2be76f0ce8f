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

#include <memory>
#include <optional>
#include <vector>

#include <QString>
#include <QWidget>

#include "envelope/fraction_points.h"
#include "envelope/table.h"
#include "thermo/mixture.h"
#include "ui/qt_chart.h"
#include "ui/qt_table.h"

class QGroupBox;
class QMenuBar;
class QPushButton;
class QStatusBar;

namespace envelope {

class FlexGrid;

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
    // Runs this mixture from now on and names it in the chart window's
    // caption, unless it is the built-in case. An unnamed mixture is named
    // after the file it came from, if any.
    void useMixture(const Mixture& mixture, const QString& fileName = {});
    // Reads the case file and uses its mixture; the problem, or an empty text.
    QString openCase(const QString& fileName);
    // Writes the mixture in use as a case file, which is replaced only by a
    // complete new one; the problem, or an empty text.
    QString saveCase(const QString& fileName) const;
    // The constant vapour-fraction points of the latest run, in the order the
    // run drew them; none before the first run.
    const std::vector<FractionPoint>& fractionPoints() const { return fractionPoints_; }
    // The line below the tables that sums up the last run.
    QStatusBar& statusLine() const { return *statusLine_; }

    // Writes the table as CSV into the file, which is replaced only by a
    // complete new one. The problem, or an empty text when the file is written.
    static QString ExportCsv(const Table& table, const QString& fileName);
    // Writes the three tables and the vapour-fraction points into the folder,
    // under the names and in the form of the command line's --csv, all of
    // them or none. The problem, or an empty text when they are written.
    QString exportAll(const QString& folder) const;

public slots:
    // Clicked "Run".
    void Command1_Click();
    // The menu commands: each asks for what it needs in a dialog.
    void askAndOpenCase();
    void askAndSaveCase();
    void editMixture();
    void useBuiltInCase();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Form_Load();
    // Asks where to export the table, offering the name under which the
    // command line writes it, and reports a failure in a message box.
    void askAndExportCsv(const Table& table, const char* fileName);
    // Asks for a folder and exports every result there.
    void askAndExportAll();

    void showProblem(const QString& objectName, const QString& text);

    // Where the last export went: the next one is offered the same place.
    QString exportDirectory_;
    // Where the last case was opened or saved.
    QString caseDirectory_;
    Mixture mixture_;
    // The mixture of the last run, whose results the tables and chart hold.
    std::optional<Mixture> lastRun_;
    QMenuBar* menuBar_;
    QStatusBar* statusLine_;

    std::unique_ptr<QtTable> bubble_;
    std::unique_ptr<QtTable> dew_;
    std::unique_ptr<QtTable> spline_;
    QtChart chart_;
    std::vector<FractionPoint> fractionPoints_;
};

} // namespace envelope
