#pragma once
// The main window: the bubble curve, dew curve and spline interpolation
// tables, each in its frame, and the button "Run". Loading the window gives
// each table its headings through the table operations. The window also holds
// the chart operations, whose chart window it creates on first use.

#include <memory>

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

public slots:
    // Clicked "Run".
    void Command1_Click();

private:
    void Form_Load();

    std::unique_ptr<QtTable> bubble_;
    std::unique_ptr<QtTable> dew_;
    std::unique_ptr<QtTable> spline_;
    QtChart chart_;
};

} // namespace envelope
