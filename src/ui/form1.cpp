#include "ui/form1.h"

#include <cmath>
#include <string_view>

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "casefile/case_file.h"
#include "envelope/case.h"
#include "envelope/condition_tables.h"
#include "interaction/interaction_table.h"
#include "envelope/csv.h"
#include "envelope/run.h"
#include "envelope/traced_overlay.h"
#include "envelope/traced_tables.h"
#include "envelope/write_result.h"
#include "output/output_files.h"

#include "ui/condition_panel.h"
#include "ui/flex_grid.h"
#include "ui/look.h"
#include "ui/mixture_editor.h"
#include "ui/points_panel.h"
#include "ui/unit_choice.h"

namespace envelope {

namespace {

QString EosText(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// A captioned frame holding a grid of three columns and two rows.
FlexGrid* NewTableFrame(QWidget& form, int number, const char* caption, QBoxLayout& row, int stretch)
{
    auto* box = new QGroupBox(QString::fromLatin1(caption), &form);
    box->setObjectName(QStringLiteral("Frame%1").arg(number));
    auto* table = new FlexGrid(box);
    table->setObjectName(QStringLiteral("MSFlexGrid%1").arg(number));
    table->setColumnCount(Table::ColumnCount);
    table->setRowCount(2);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(table);
    row.addWidget(box, stretch);
    return table;
}

// The points of the chart's spline series, in K and bar.
std::vector<trace::TracePoint> SplinePoints(const Form2* form)
{
    std::vector<trace::TracePoint> points;
    if (form == nullptr)
        return points;
    for (int i = 0; i < form->series(Form2::MarkerSeries).count(); ++i) {
        const QPointF value = form->pointValue(Form2::MarkerSeries, i);
        points.push_back({value.x(), value.y(), trace::TracePhase::Dew});
    }
    return points;
}

// Writes the files into the folder, all of them or none; the problem, or an
// empty text.
QString WriteCsvFiles(const QString& folder, const std::vector<CsvFile>& csvFiles)
{
    OutputFiles files;
    for (const CsvFile& csv : csvFiles)
        if (!files.add(QFile::encodeName(QDir(folder).filePath(QString::fromLatin1(csv.fileName))).toStdString(),
                       csv.contents))
            return QString::fromStdString(files.problem());
    return files.commit() ? QString() : QString::fromStdString(files.problem());
}

} // namespace

Form1::Form1(QWidget* parent) : QWidget(parent), mixture_(BuiltInMixture()), units_(new UnitChoice(this))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Envelope"));
    setFont(DialogFont());

    auto* run = new QPushButton(QStringLiteral("Run"), this);
    run->setObjectName(QStringLiteral("Command1"));
    run->setShortcut(QKeySequence(Qt::Key_F5));
    run->setToolTip(tr("Run (F5)"));
    run->setMinimumWidth(Pixels(7095));
    run->setFixedHeight(Pixels(615));
    connect(run, &QPushButton::clicked, this, &Form1::Command1_Click);

    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName(QStringLiteral("MenuBar"));
    QMenu* file = menuBar_->addMenu(tr("&File"));
    QAction* open = file->addAction(tr("&Open case\u2026"), this, &Form1::askAndOpenCase);
    open->setObjectName(QStringLiteral("OpenCase"));
    open->setShortcut(QKeySequence::Open);
    QAction* save = file->addAction(tr("&Save case\u2026"), this, &Form1::askAndSaveCase);
    save->setObjectName(QStringLiteral("SaveCase"));
    save->setShortcut(QKeySequence::Save);
    file->addSeparator();
    QAction* runAction = file->addAction(tr("&Run"), run, &QPushButton::click);
    runAction->setObjectName(QStringLiteral("RunAction"));
    runAction->setShortcut(QKeySequence(Qt::Key_F5));
    // The button's own shortcut would be ambiguous with the item's.
    run->setShortcut(QKeySequence());
    file->addSeparator();
    QAction* quit = file->addAction(tr("&Quit"), this, &QWidget::close);
    quit->setObjectName(QStringLiteral("Quit"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    QMenu* mixture = menuBar_->addMenu(tr("&Mixture"));
    mixture->addAction(tr("&Edit\u2026"), this, &Form1::editMixture)->setObjectName(QStringLiteral("EditMixture"));
    mixture->addAction(tr("&Built-in case"), this, &Form1::useBuiltInCase)
        ->setObjectName(QStringLiteral("BuiltInCase"));
    QMenu* view = menuBar_->addMenu(tr("&View"));
    view->setObjectName(QStringLiteral("ViewMenu"));
    view->addAction(tr("&Chart"), this, &Form1::showChart)->setObjectName(QStringLiteral("ViewChart"));
    view->addSeparator();
    units_->addMenusTo(*view);

    // The chart window's traced envelope is that of the mixture whose
    // results it shows.
    chart_.setTracedOverlaySource([this] { return OverlayOf(tracedEnvelope()); });
    chart_.setUnitChoice(units_);
    chart_.setFormMade([this](Form2& form) { chartWindowMade(form); });

    auto* tablesRow = new QHBoxLayout;
    FlexGrid* grid1 = NewTableFrame(*this, 1, "Bubble Curve Table", *tablesRow, 1);
    FlexGrid* grid2 = NewTableFrame(*this, 2, "Dew Curve Table", *tablesRow, 1);
    conditions_ = new ConditionPanel(*units_, this);
    conditions_->setMixture(mixture_, eos_);
    tablesRow->addWidget(conditions_, 1);
    connect(conditions_, &ConditionPanel::conditionsChanged, this,
            [this] { chart_.setConditionMarkers(ConditionMarkers(conditions_->conditions())); });
    connect(conditions_, &ConditionPanel::exportRequested, this, &Form1::askAndExportConditions);

    auto* runRow = new QHBoxLayout;
    runRow->addStretch(1);
    runRow->addWidget(run, 3);
    runRow->addStretch(1);

    mixtureFrame_ = new QGroupBox(tr("Mixture"), this);
    mixtureFrame_->setObjectName(QStringLiteral("MixtureFrame"));
    mixtureName_ = new QLabel(mixtureFrame_);
    mixtureName_->setObjectName(QStringLiteral("MixtureName"));
    mixtureName_->setWordWrap(true);
    // The case's own name: shown as text, never as markup.
    mixtureName_->setTextFormat(Qt::PlainText);
    mixtureName_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = mixtureName_->font();
    bold.setBold(true);
    mixtureName_->setFont(bold);
    composition_ = new QTableWidget(0, 2, mixtureFrame_);
    composition_->setObjectName(QStringLiteral("MixtureComposition"));
    composition_->setHorizontalHeaderLabels({tr("Component"), QStringLiteral("z")});
    composition_->verticalHeader()->hide();
    composition_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    composition_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    composition_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    composition_->setFocusPolicy(Qt::NoFocus);
    composition_->setWordWrap(false);
    composition_->verticalHeader()->setDefaultSectionSize(composition_->fontMetrics().height() + 4);
    auto* mixtureLayout = new QVBoxLayout(mixtureFrame_);
    mixtureLayout->addWidget(mixtureName_);
    mixtureLayout->addWidget(composition_, 1);

    points_ = new PointsPanel(*units_, this);

    auto* lowerRow = new QHBoxLayout;
    lowerRow->addWidget(mixtureFrame_, 3);
    FlexGrid* grid3 = NewTableFrame(*this, 3, "Interpolation by Spline", *lowerRow, 5);
    lowerRow->addWidget(points_, 5);

    bubble_ = std::make_unique<QtTable>(*grid1);
    dew_ = std::make_unique<QtTable>(*grid2);
    spline_ = std::make_unique<QtTable>(*grid3);
    connect(grid1, &FlexGrid::exportRequested, this, [this] { askAndExportCsv(*bubble_, BubbleCsvFileName); });
    connect(grid2, &FlexGrid::exportRequested, this, [this] { askAndExportCsv(*dew_, DewCsvFileName); });
    connect(grid3, &FlexGrid::exportRequested, this,
            [this] { askAndExportCsv(*spline_, InterpolationCsvFileName); });
    for (FlexGrid* grid : {grid1, grid2, grid3})
        connect(grid, &FlexGrid::exportAllRequested, this, &Form1::askAndExportAll);

    statusLine_ = new QStatusBar(this);
    statusLine_->setObjectName(QStringLiteral("RunSummary"));
    statusLine_->setSizeGripEnabled(false);

    // The menu bar and the status line span the window; the tables' area
    // between them keeps a margin.
    auto* tables = new QVBoxLayout;
    tables->setContentsMargins(Pixels(120), Pixels(120), Pixels(120), Pixels(120));
    tables->addLayout(tablesRow, 1);
    tables->addLayout(runRow);
    tables->addLayout(lowerRow, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar_);
    layout->addLayout(tables, 1);
    layout->addWidget(statusLine_);

    // "Run" first, then the grids in order, then the units, then the
    // condition check; the frames take no focus.
    setTabOrder(run, grid1);
    setTabOrder(grid1, grid2);
    setTabOrder(grid2, grid3);
    setTabOrder(grid3, points_->findChild<QWidget*>(QStringLiteral("TemperatureUnit")));
    setTabOrder(points_->findChild<QWidget*>(QStringLiteral("TemperatureUnit")),
                points_->findChild<QWidget*>(QStringLiteral("PressureUnit")));
    setTabOrder(points_->findChild<QWidget*>(QStringLiteral("PressureUnit")), &conditions_->temperatureField());
    setTabOrder(&conditions_->compositions(), run);
    run->setFocus();

    connect(units_, &UnitChoice::changed, this, [this] {
        refreshStatusLine();
        writeSettings();
    });

    // The tables' area keeps its size below the menu bar and above the status line.
    resize(Pixels(10965), menuBar_->sizeHint().height() + Pixels(9645) + statusLine_->sizeHint().height());
    move(Pixels(2175), Pixels(870));
    showMixture();
    Form_Load();
}

Form1::~Form1() = default;

void Form1::Form_Load()
{
    for (Table* table : {bubble_.get(), dew_.get(), spline_.get()})
        WriteColumnHeadings(*table);
}

void Form1::useMixture(const Mixture& mixture, EosKind eos, const QString& fileName)
{
    Mixture chosen = mixture;
    if (chosen.name.empty() && !fileName.isEmpty())
        chosen.name = QFileInfo(fileName).completeBaseName().toStdString();
    if (chosen == mixture_ && eos == eos_)
        return;
    mixture_ = chosen;
    eos_ = eos;
    // The results shown are another mixture's or model's: none of them may
    // stay. The conditions kept are checked again for this one.
    clearResults();
    conditions_->setMixture(mixture_, eos_);
    chart_.setModelName(eos_ == EosKind::SRK ? QString() : EosText(EosName(eos_)));
    if (IsBuiltInCase(mixture_))
        chart_.setMixtureName({});
    else
        chart_.setMixtureName(mixture_.name.empty() ? tr("unnamed mixture") : QString::fromStdString(mixture_.name));
    showMixture();
    statusLine_->showMessage(tr("%1 in use: press Run (F5) to compute its envelope.").arg(mixtureName_->text()));
    // Says which pairs took their k_ij from the interaction table, until a run
    // sums itself up here.
    if (mixture_.kijFromTable) {
        const TableInteractions found = InteractionsFromTable(mixture_.componentNames, eos_);
        const QString note = QString::fromStdString(TablePairsText(mixture_.componentNames, found, eos_));
        statusLine_->showMessage(statusLine_->currentMessage() + QLatin1Char(' ') + note);
        statusLine_->setToolTip(note);
    }
}

void Form1::showMixture()
{
    mixtureName_->setText(IsBuiltInCase(mixture_) ? tr("built-in case")
                          : mixture_.name.empty() ? tr("unnamed mixture")
                                                  : QString::fromStdString(mixture_.name));
    if (eos_ != EosKind::SRK)
        mixtureName_->setText(mixtureName_->text() + QStringLiteral(", ") + EosText(EosTitle(eos_)));
    composition_->setRowCount(static_cast<int>(mixture_.componentNames.size()));
    for (std::size_t i = 0; i < mixture_.componentNames.size(); ++i) {
        const int row = static_cast<int>(i);
        composition_->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(mixture_.componentNames[i])));
        auto* z = new QTableWidgetItem(QString::number(mixture_.feed.at(i), 'g', 6));
        z->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        composition_->setItem(row, 1, z);
    }
}

void Form1::clearResults()
{
    // First: a traced envelope shown is traced again for the mixture now
    // in use, not for the last run's.
    lastRun_.reset();
    for (Table* table : {bubble_.get(), dew_.get(), spline_.get()})
        ClearResultRows(*table);
    chart_.clear();
    chart_.setBridgeEstimate(false);
    fractionPoints_.clear();
    bridge_ = {};
    runSummary_.clear();
    runDetails_.clear();
    points_->clear(tr("Run to trace the envelope."));
    refreshStatusLine();
}

bool& Form1::tracedShown(const Mixture& mixture)
{
    return IsBuiltInCase(mixture) ? tracedForBuiltIn_ : tracedForOthers_;
}

const trace::TracedEnvelope& Form1::tracedEnvelope()
{
    const Mixture& mixture = lastRun_ ? *lastRun_ : mixture_;
    const EosKind eos = lastRun_ ? lastRunEos_ : eos_;
    if (!traced_ || tracedMixture_ != mixture || tracedEos_ != eos) {
        traced_ = TracedEnvelopeOf(mixture, CubicModelOf(eos));
        tracedMixture_ = mixture;
        tracedEos_ = eos;
    }
    return *traced_;
}

void Form1::showTracedEnvelope()
{
    const trace::TracedEnvelope& traced = tracedEnvelope();
    points_->showEnvelope(traced, QString::fromStdString(TraceVerdictText(traced)));
    bridge_ = MeasureBridge(SplinePoints(chart_.form()), traced);
    chart_.setTracedOverlay(OverlayOf(traced));
    chart_.setBridgeEstimate(bridge_.IsEstimate());
    chart_.form()->showTracedAction().setChecked(tracedShown(*lastRun_));
}

void Form1::refreshStatusLine()
{
    if (runSummary_.isEmpty()) {
        statusLine_->clearMessage();
        statusLine_->setToolTip({});
        return;
    }
    QStringList sentences;
    if (traced_ && lastRun_ && tracedMixture_ == *lastRun_ && tracedEos_ == lastRunEos_)
        sentences << tr("Traced envelope: %1.").arg(QString::fromStdString(TraceVerdictText(*traced_)));
    if (bridge_.IsEstimate()) {
        const Units& units = units_->units();
        const double dT = std::abs(FromKelvin(bridge_.farthest.temperature, units.temperature) -
                                   FromKelvin(bridge_.nearest.temperature, units.temperature));
        const double dP = std::abs(FromBar(bridge_.farthest.pressure, units.pressure) -
                                   FromBar(bridge_.nearest.pressure, units.pressure));
        sentences << tr("Hollow spline points: only an estimate, up to %1 %2 and %3 %4 off the traced envelope.")
                         .arg(QString::number(dT, 'f', 1), UnitSymbol(units.temperature),
                              QString::number(dP, 'f', units.pressure == PressureUnit::MegaPascal ? 2 : 1),
                              UnitSymbol(units.pressure));
    }
    sentences << tr("Run: %1").arg(runSummary_);
    statusLine_->showMessage(sentences.join(QLatin1Char(' ')));
    statusLine_->setToolTip(sentences.join(QLatin1Char('\n')) + QStringLiteral("\n\n") + runDetails_);
}

QString Form1::openCase(const QString& fileName)
{
    const CaseReading reading = ReadCaseFile(fileName);
    if (!reading.ok())
        return reading.problem;
    useMixture(reading.mixture, reading.eos, fileName);
    return {};
}

QString Form1::saveCase(const QString& fileName) const
{
    OutputFiles files;
    if (files.add(QFile::encodeName(fileName).toStdString(), CaseJson(mixture_, eos_).toStdString()) && files.commit())
        return {};
    return QString::fromStdString(files.problem());
}

void Form1::showProblem(const QString& objectName, const QString& text)
{
    QMessageBox message(QMessageBox::Warning, windowTitle(), text, QMessageBox::Ok, this);
    // Names in the text are the user's: shown as they are, never as markup.
    message.setTextFormat(Qt::PlainText);
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
    MixtureEditor editor(mixture_, eos_, this);
    if (editor.exec() == QDialog::Accepted)
        useMixture(editor.mixture(), editor.equationOfState());
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

QString Form1::exportAll(const QString& folder)
{
    std::vector<CsvFile> csvFiles;
    for (CsvFile& csv : RunCsvFiles(*bubble_, *dew_, *spline_, fractionPoints_))
        csvFiles.push_back(std::move(csv));
    for (CsvFile& csv : TracedCsvFiles(tracedEnvelope()))
        csvFiles.push_back(std::move(csv));
    if (!conditions_->conditions().points.empty())
        for (CsvFile& csv : ConditionsCsvFiles(conditions_->conditions()))
            csvFiles.push_back(std::move(csv));
    return WriteCsvFiles(folder, csvFiles);
}

QString Form1::exportConditions(const QString& folder) const
{
    const std::array<CsvFile, 2> files = ConditionsCsvFiles(conditions_->conditions());
    return WriteCsvFiles(folder, {files.begin(), files.end()});
}

void Form1::askAndExportInto(const QString& caption, const QString& name, const QString& failure,
                             const std::function<QString(const QString&)>& write)
{
    QFileDialog dialog(this, caption);
    dialog.setObjectName(name + QStringLiteral("Dialog"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (!exportDirectory_.isEmpty())
        dialog.setDirectory(exportDirectory_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString chosen = dialog.selectedFiles().constFirst();
    const QString problem = write(chosen);
    if (problem.isEmpty()) {
        exportDirectory_ = QFileInfo(chosen).absoluteFilePath();
        return;
    }
    QMessageBox message(QMessageBox::Warning, windowTitle(), failure.arg(problem), QMessageBox::Ok, this);
    message.setTextFormat(Qt::PlainText);
    message.setObjectName(name + QStringLiteral("Problem"));
    message.exec();
}

void Form1::askAndExportAll()
{
    askAndExportInto(tr("Export all into folder"), QStringLiteral("ExportAll"),
                     tr("The results could not be exported: %1."),
                     [this](const QString& folder) { return exportAll(folder); });
}

void Form1::askAndExportConditions()
{
    askAndExportInto(tr("Export the conditions into folder"), QStringLiteral("ExportConditions"),
                     tr("The conditions could not be exported: %1."),
                     [this](const QString& folder) { return exportConditions(folder); });
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
    message.setTextFormat(Qt::PlainText);
    message.setObjectName(QStringLiteral("ExportCsvProblem"));
    message.exec();
}

void Form1::Command1_Click()
{
    // The results of another mixture would mix with this one's: its points in
    // the same series, and rows of a longer earlier run below the new ones.
    if (lastRun_ && (*lastRun_ != mixture_ || lastRunEos_ != eos_)) {
        for (Table* table : {bubble_.get(), dew_.get(), spline_.get()})
            ClearResultRows(*table);
        chart_.clear();
    }
    lastRun_ = mixture_;
    lastRunEos_ = eos_;

    // The run works to its end inside this handler: further clicks wait in
    // the event queue until it returns. Its result is then written onto the
    // tables and the chart as the run has always written it.
    const RunResult result = Run(mixture_, CubicModelOf(eos_));
    WriteRunResult(result, *bubble_, *dew_, *spline_, chart_);
    fractionPoints_ = FractionPoints(result);
    const RunReport& report = result.report;
    runSummary_ = QString::fromStdString(report.Summary());
    runDetails_ = QString::fromStdString(report.Details());
    if (report.outcome != RunOutcome::StartPhaseFailed)
        showTracedEnvelope();
    refreshStatusLine();
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

void Form1::showChart()
{
    chart_.showForm();
}

void Form1::chartWindowMade(Form2& form)
{
    if (settings_ != nullptr && settings_->contains(QStringLiteral("chart/geometry")))
        form.restoreGeometry(settings_->value(QStringLiteral("chart/geometry")).toByteArray());
    // A choice made on the chart is remembered for mixtures of its kind.
    connect(&form.showTracedAction(), &QAction::triggered, this, [this](bool shown) {
        tracedShown(lastRun_ ? *lastRun_ : mixture_) = shown;
        writeSettings();
    });
}

void Form1::rememberIn(QSettings* settings)
{
    // Nothing is written back while the remembered state is read.
    settings_ = nullptr;
    if (settings == nullptr)
        return;
    units_->readFrom(*settings);
    if (settings->contains(QStringLiteral("main/geometry")))
        restoreGeometry(settings->value(QStringLiteral("main/geometry")).toByteArray());
    caseDirectory_ = settings->value(QStringLiteral("folders/case"), caseDirectory_).toString();
    exportDirectory_ = settings->value(QStringLiteral("folders/export"), exportDirectory_).toString();
    tracedForBuiltIn_ = settings->value(QStringLiteral("chart/tracedForBuiltIn"), tracedForBuiltIn_).toBool();
    tracedForOthers_ = settings->value(QStringLiteral("chart/tracedForOthers"), tracedForOthers_).toBool();
    settings_ = settings;
    if (Form2* form = chart_.form())
        chartWindowMade(*form);
}

void Form1::writeSettings()
{
    if (settings_ == nullptr)
        return;
    units_->writeTo(*settings_);
    settings_->setValue(QStringLiteral("main/geometry"), saveGeometry());
    if (Form2* form = chart_.form())
        settings_->setValue(QStringLiteral("chart/geometry"), form->saveGeometry());
    settings_->setValue(QStringLiteral("folders/case"), caseDirectory_);
    settings_->setValue(QStringLiteral("folders/export"), exportDirectory_);
    settings_->setValue(QStringLiteral("chart/tracedForBuiltIn"), tracedForBuiltIn_);
    settings_->setValue(QStringLiteral("chart/tracedForOthers"), tracedForOthers_);
}

void Form1::closeEvent(QCloseEvent* event)
{
    writeSettings();
    // The chart window has no owner: left open it would keep the program
    // running without a window to run from.
    if (Form2* form = chart_.form())
        form->close();
    QWidget::closeEvent(event);
}

} // namespace envelope
