#pragma once
// The main window: the bubble curve, dew curve and spline interpolation
// tables, each in its frame, and the button "Run". Loading the window gives
// each table its headings through the table operations. The window also holds
// the chart operations, whose chart window it creates on first use. Each
// table's context menu exports the table as a CSV file.

#include <memory>

#include <QString>
#include <QWidget>

#include "envelope/table.h"
#include "ui/qt_chart.h"
#include "ui/qt_table.h"

class QGroupBox;
class QPushButton;

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

    // Writes the table as CSV into the file, which is replaced only by a
    // complete new one. The problem, or an empty text when the file is written.
    static QString ExportCsv(const Table& table, const QString& fileName);

public slots:
    // Clicked "Run".
    void Command1_Click();

private:
    void Form_Load();
    // Asks where to export the table, offering the name under which the
    // command line writes it, and reports a failure in a message box.
    void askAndExportCsv(const Table& table, const char* fileName);

    // Where the last export went: the next one is offered the same place.
    QString exportDirectory_;

    std::unique_ptr<QtTable> bubble_;
    std::unique_ptr<QtTable> dew_;
    std::unique_ptr<QtTable> spline_;
    QtChart chart_;
};

} // namespace envelope
