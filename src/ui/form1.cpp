#include "ui/form1.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>

#include "envelope/case.h"
#include "envelope/csv.h"
#include "envelope/run.h"
#include "envelope/traced_overlay.h"
#include "output/output_files.h"

#include "ui/flex_grid.h"
#include "ui/look.h"

namespace envelope {

namespace {

// A captioned frame holding a grid of three columns and two rows.
FlexGrid* NewTableFrame(QWidget& form, int number, const char* caption, QRect frame, QRect grid)
{
    auto* box = new QGroupBox(QString::fromLatin1(caption), &form);
    box->setObjectName(QStringLiteral("Frame%1").arg(number));
    box->setGeometry(frame);
    auto* table = new FlexGrid(box);
    table->setObjectName(QStringLiteral("MSFlexGrid%1").arg(number));
    table->setGeometry(grid);
    table->setColumnCount(Table::ColumnCount);
    table->setRowCount(2);
    return table;
}

} // namespace

Form1::Form1(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Envelope"));
    setFont(DialogFont());

    auto* run = new QPushButton(QStringLiteral("Run"), this);
    run->setObjectName(QStringLiteral("Command1"));
    run->setGeometry(TwipsRect(1440, 4560, 7095, 615));
    connect(run, &QPushButton::clicked, this, &Form1::Command1_Click);
    // The chart window's traced envelope is that of the mixture the run uses.
    chart_.setTracedOverlaySource([] { return TracedOverlayOf(BuiltInMixture()); });

    FlexGrid* grid1 = NewTableFrame(*this, 1, "Bubble Curve Table", TwipsRect(120, 240, 4695, 4095),
                                    TwipsRect(240, 480, 3975, 3255));
    FlexGrid* grid2 = NewTableFrame(*this, 2, "Dew Curve Table", TwipsRect(5160, 240, 4935, 4095),
                                    TwipsRect(240, 480, 4215, 3255));
    FlexGrid* grid3 = NewTableFrame(*this, 3, "Interpolation by Spline", TwipsRect(2640, 5280, 5055, 4215),
                                    TwipsRect(360, 480, 4215, 3495));
    bubble_ = std::make_unique<QtTable>(*grid1);
    dew_ = std::make_unique<QtTable>(*grid2);
    spline_ = std::make_unique<QtTable>(*grid3);
    connect(grid1, &FlexGrid::exportRequested, this, [this] { askAndExportCsv(*bubble_, BubbleCsvFileName); });
    connect(grid2, &FlexGrid::exportRequested, this, [this] { askAndExportCsv(*dew_, DewCsvFileName); });
    connect(grid3, &FlexGrid::exportRequested, this,
            [this] { askAndExportCsv(*spline_, InterpolationCsvFileName); });
    for (FlexGrid* grid : {grid1, grid2, grid3})
        connect(grid, &FlexGrid::exportAllRequested, this, &Form1::askAndExportAll);

    // "Run" first, then the grids in order; the frames take no focus.
    setTabOrder(run, grid1);
    setTabOrder(grid1, grid2);
    setTabOrder(grid2, grid3);
    run->setFocus();

    resize(Pixels(10965), Pixels(9645));
    move(Pixels(2175), Pixels(870));
    Form_Load();
}

Form1::~Form1() = default;

void Form1::Form_Load()
{
    for (Table* table : {bubble_.get(), dew_.get(), spline_.get()})
        WriteColumnHeadings(*table);
}

QString Form1::ExportCsv(const Table& table, const QString& fileName)
{
    OutputFiles files;
    if (files.add(QFile::encodeName(fileName).toStdString(), TableCsv(table)) && files.commit())
        return {};
    return QString::fromStdString(files.problem());
}

QString Form1::exportAll(const QString& folder) const
{
    OutputFiles files;
    for (const CsvFile& csv : RunCsvFiles(*bubble_, *dew_, *spline_, fractionPoints_))
        if (!files.add(QFile::encodeName(QDir(folder).filePath(QString::fromLatin1(csv.fileName))).toStdString(),
                       csv.contents))
            return QString::fromStdString(files.problem());
    return files.commit() ? QString() : QString::fromStdString(files.problem());
}

void Form1::askAndExportAll()
{
    QFileDialog dialog(this, tr("Export all into folder"));
    dialog.setObjectName(QStringLiteral("ExportAllDialog"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (!exportDirectory_.isEmpty())
        dialog.setDirectory(exportDirectory_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString chosen = dialog.selectedFiles().constFirst();
    const QString problem = exportAll(chosen);
    if (problem.isEmpty()) {
        exportDirectory_ = QFileInfo(chosen).absoluteFilePath();
        return;
    }
    QMessageBox message(QMessageBox::Warning, windowTitle(), tr("The results could not be exported: %1.").arg(problem),
                        QMessageBox::Ok, this);
    message.setObjectName(QStringLiteral("ExportAllProblem"));
    message.exec();
}

void Form1::askAndExportCsv(const Table& table, const char* fileName)
{
    QFileDialog dialog(this, tr("Export CSV"));
    dialog.setObjectName(QStringLiteral("ExportCsvDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({tr("CSV files (*.csv)"), tr("All files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (!exportDirectory_.isEmpty())
        dialog.setDirectory(exportDirectory_);
    dialog.selectFile(QString::fromLatin1(fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString chosen = dialog.selectedFiles().constFirst();
    const QString problem = ExportCsv(table, chosen);
    if (problem.isEmpty()) {
        exportDirectory_ = QFileInfo(chosen).absolutePath();
        return;
    }
    QMessageBox message(QMessageBox::Warning, windowTitle(), tr("The table could not be exported: %1.").arg(problem),
                        QMessageBox::Ok, this);
    message.setObjectName(QStringLiteral("ExportCsvProblem"));
    message.exec();
}

void Form1::Command1_Click()
{
    // The run works to its end inside this handler: further clicks wait in
    // the event queue until it returns.
    FractionPointLog chart(chart_);
    const RunOutcome outcome = Run(BuiltInMixture(), *bubble_, *dew_, *spline_, chart);
    fractionPoints_ = chart.points();
    if (outcome != RunOutcome::Completed) {
        QMessageBox message(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(),
                            QString::fromLatin1(NumericalErrorMessage), QMessageBox::Ok, this);
        message.setObjectName(QStringLiteral("NumericalErrorMessage"));
        message.exec();
    }
    // A run that failed in its start phase has drawn nothing worth showing.
    if (outcome != RunOutcome::StartPhaseFailed)
        chart_.showForm();
}

void Form1::closeEvent(QCloseEvent* event)
{
    // The chart window has no owner: left open it would keep the program
    // running without a window to run from.
    if (Form2* form = chart_.form())
        form->close();
    QWidget::closeEvent(event);
}

} // namespace envelope
