#include "ui/form1.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QResizeEvent>
#include <QStatusBar>

#include "casefile/case_file.h"
#include "envelope/case.h"
#include "interaction/interaction_table.h"
#include "envelope/csv.h"
#include "envelope/run.h"
#include "envelope/traced_overlay.h"
#include "output/output_files.h"

#include "ui/flex_grid.h"
#include "ui/look.h"
#include "ui/mixture_editor.h"

namespace envelope {

namespace {

// A captioned frame holding a grid of three columns and two rows, placed
// below the menu bar.
FlexGrid* NewTableFrame(QWidget& form, int top, int number, const char* caption, QRect frame, QRect grid)
{
    auto* box = new QGroupBox(QString::fromLatin1(caption), &form);
    box->setObjectName(QStringLiteral("Frame%1").arg(number));
    box->setGeometry(frame.translated(0, top));
    auto* table = new FlexGrid(box);
    table->setObjectName(QStringLiteral("MSFlexGrid%1").arg(number));
    table->setGeometry(grid);
    table->setColumnCount(Table::ColumnCount);
    table->setRowCount(2);
    return table;
}

} // namespace

Form1::Form1(QWidget* parent) : QWidget(parent), mixture_(BuiltInMixture())
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Envelope"));
    setFont(DialogFont());

    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName(QStringLiteral("MenuBar"));
    QMenu* file = menuBar_->addMenu(tr("&File"));
    file->addAction(tr("&Open case\u2026"), this, &Form1::askAndOpenCase)->setObjectName(QStringLiteral("OpenCase"));
    file->addAction(tr("&Save case\u2026"), this, &Form1::askAndSaveCase)->setObjectName(QStringLiteral("SaveCase"));
    file->addSeparator();
    file->addAction(tr("&Quit"), this, &QWidget::close)->setObjectName(QStringLiteral("Quit"));
    QMenu* mixture = menuBar_->addMenu(tr("&Mixture"));
    mixture->addAction(tr("&Edit\u2026"), this, &Form1::editMixture)->setObjectName(QStringLiteral("EditMixture"));
    mixture->addAction(tr("&Built-in case"), this, &Form1::useBuiltInCase)
        ->setObjectName(QStringLiteral("BuiltInCase"));
    // The controls keep their places within the area below the menu bar.
    const int top = menuBar_->sizeHint().height();
    menuBar_->setGeometry(0, 0, Pixels(10965), top);

    auto* run = new QPushButton(QStringLiteral("Run"), this);
    run->setObjectName(QStringLiteral("Command1"));
    run->setGeometry(TwipsRect(1440, 4560, 7095, 615).translated(0, top));
    connect(run, &QPushButton::clicked, this, &Form1::Command1_Click);
    // The chart window's traced envelope is that of the mixture the run uses.
    chart_.setTracedOverlaySource([this] { return TracedOverlayOf(mixture_); });

    FlexGrid* grid1 = NewTableFrame(*this, top, 1, "Bubble Curve Table", TwipsRect(120, 240, 4695, 4095),
                                    TwipsRect(240, 480, 3975, 3255));
    FlexGrid* grid2 = NewTableFrame(*this, top, 2, "Dew Curve Table", TwipsRect(5160, 240, 4935, 4095),
                                    TwipsRect(240, 480, 4215, 3255));
    FlexGrid* grid3 = NewTableFrame(*this, top, 3, "Interpolation by Spline", TwipsRect(2640, 5280, 5055, 4215),
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

    // The status line lies below the tables' area, which keeps its size.
    statusLine_ = new QStatusBar(this);
    statusLine_->setObjectName(QStringLiteral("RunSummary"));
    statusLine_->setSizeGripEnabled(false);
    const int statusHeight = statusLine_->sizeHint().height();
    statusLine_->setGeometry(0, top + Pixels(9645), Pixels(10965), statusHeight);

    resize(Pixels(10965), top + Pixels(9645) + statusHeight);
    move(Pixels(2175), Pixels(870));
    Form_Load();
}

Form1::~Form1() = default;

void Form1::Form_Load()
{
    for (Table* table : {bubble_.get(), dew_.get(), spline_.get()})
        WriteColumnHeadings(*table);
}

void Form1::resizeEvent(QResizeEvent* event)
{
    menuBar_->resize(event->size().width(), menuBar_->height());
    statusLine_->setGeometry(0, event->size().height() - statusLine_->height(), event->size().width(),
                             statusLine_->height());
    QWidget::resizeEvent(event);
}

void Form1::useMixture(const Mixture& mixture, const QString& fileName)
{
    mixture_ = mixture;
    if (mixture_.name.empty() && !fileName.isEmpty())
        mixture_.name = QFileInfo(fileName).completeBaseName().toStdString();
    if (mixture_ == BuiltInMixture())
        chart_.setMixtureName({});
    else
        chart_.setMixtureName(mixture_.name.empty() ? tr("unnamed mixture") : QString::fromStdString(mixture_.name));
    // Says which pairs took their k_ij from the interaction table, until a run
    // sums itself up here.
    if (mixture_.kijFromTable) {
        const TableInteractions found = InteractionsFromTable(mixture_.componentNames, EosKind::SRK);
        const QString note = QString::fromStdString(TablePairsText(mixture_.componentNames, found, EosKind::SRK));
        statusLine_->showMessage(note);
        statusLine_->setToolTip(note);
    }
}

QString Form1::openCase(const QString& fileName)
{
    const CaseReading reading = ReadCaseFile(fileName);
    if (!reading.ok())
        return reading.problem;
    useMixture(reading.mixture, fileName);
    return {};
}

QString Form1::saveCase(const QString& fileName) const
{
    OutputFiles files;
    if (files.add(QFile::encodeName(fileName).toStdString(), CaseJson(mixture_).toStdString()) && files.commit())
        return {};
    return QString::fromStdString(files.problem());
}

void Form1::showProblem(const QString& objectName, const QString& text)
{
    QMessageBox message(QMessageBox::Warning, windowTitle(), text, QMessageBox::Ok, this);
    message.setObjectName(objectName);
    message.exec();
}

void Form1::askAndOpenCase()
{
    const QString fileName = QFileDialog::getOpenFileName(this, tr("Open case"), caseDirectory_,
                                                          tr("Case files (*.json);;All files (*)"));
    if (fileName.isEmpty())
        return;
    caseDirectory_ = QFileInfo(fileName).absolutePath();
    const QString problem = openCase(fileName);
    if (!problem.isEmpty())
        showProblem(QStringLiteral("OpenCaseProblem"), tr("The case could not be opened: %1").arg(problem));
}

void Form1::askAndSaveCase()
{
    QFileDialog dialog(this, tr("Save case"));
    dialog.setObjectName(QStringLiteral("SaveCaseDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({tr("Case files (*.json)"), tr("All files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("json"));
    if (!caseDirectory_.isEmpty())
        dialog.setDirectory(caseDirectory_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString fileName = dialog.selectedFiles().constFirst();
    const QString problem = saveCase(fileName);
    if (problem.isEmpty())
        caseDirectory_ = QFileInfo(fileName).absolutePath();
    else
        showProblem(QStringLiteral("SaveCaseProblem"), tr("The case could not be saved: %1.").arg(problem));
}

void Form1::editMixture()
{
    MixtureEditor editor(mixture_, this);
    if (editor.exec() == QDialog::Accepted)
        useMixture(editor.mixture());
}

void Form1::useBuiltInCase()
{
    useMixture(BuiltInMixture());
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
    // The results of another mixture would mix with this one's: its points in
    // the same series, and rows of a longer earlier run below the new ones.
    if (lastRun_ && *lastRun_ != mixture_) {
        for (Table* table : {bubble_.get(), dew_.get(), spline_.get()})
            ClearResultRows(*table);
        chart_.clear();
    }
    lastRun_ = mixture_;

    // The run works to its end inside this handler: further clicks wait in
    // the event queue until it returns.
    FractionPointLog chart(chart_);
    SolverCounters counters;
    const RunReport report = RunWithReport(mixture_, *bubble_, *dew_, *spline_, chart, counters);
    fractionPoints_ = chart.points();
    statusLine_->showMessage(QString::fromStdString(report.Summary()));
    statusLine_->setToolTip(QString::fromStdString(report.Details()));
    if (report.outcome != RunOutcome::Completed) {
        QMessageBox message(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(),
                            QString::fromLatin1(NumericalErrorMessage), QMessageBox::Ok, this);
        message.setObjectName(QStringLiteral("NumericalErrorMessage"));
        message.setDetailedText(QString::fromStdString(report.FailureReason()));
        message.exec();
    }
    // A run that failed in its start phase has drawn nothing worth showing.
    if (report.outcome != RunOutcome::StartPhaseFailed)
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
