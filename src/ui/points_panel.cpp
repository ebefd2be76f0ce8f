#include "ui/points_panel.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/unit_choice.h"

namespace envelope {

namespace {

const char* const PointNames[] = {"critical point", "cricondenbar", "cricondentherm"};

} // namespace

PointsPanel::PointsPanel(UnitChoice& units, QWidget* parent)
    : QGroupBox(tr("Characteristic points"), parent), units_(units)
{
    setObjectName(QStringLiteral("CharacteristicPoints"));

    auto* unitRow = new QHBoxLayout;
    auto* temperatureLabel = new QLabel(tr("&T in"), this);
    QComboBox* temperature = units.newTemperatureBox(this);
    temperatureLabel->setBuddy(temperature);
    auto* pressureLabel = new QLabel(tr("&P in"), this);
    QComboBox* pressure = units.newPressureBox(this);
    pressureLabel->setBuddy(pressure);
    unitRow->addWidget(temperatureLabel);
    unitRow->addWidget(temperature);
    unitRow->addSpacing(6);
    unitRow->addWidget(pressureLabel);
    unitRow->addWidget(pressure);
    unitRow->addStretch();

    table_ = new QTableWidget(3, 3, this);
    table_->setObjectName(QStringLiteral("CharacteristicPointsTable"));
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table_->horizontalHeader()->setMinimumSectionSize(8);
    table_->setWordWrap(false);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->setFocusPolicy(Qt::NoFocus);
    table_->setContextMenuPolicy(Qt::NoContextMenu);
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int row = 0; row < 3; ++row) {
        table_->setItem(row, 0, new QTableWidgetItem(tr(PointNames[row])));
        for (int column = 1; column < 3; ++column) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(row, column, item);
        }
    }
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    table_->setStyleSheet(QStringLiteral("QTableWidget::item { padding: 0px 2px; }"));
    // Three rows and the heading, and no more.
    table_->setFixedHeight(table_->horizontalHeader()->sizeHint().height() + 3 * table_->rowHeight(0) +
                           2 * table_->frameWidth());

    verdict_ = new QLabel(this);
    verdict_->setObjectName(QStringLiteral("TraceVerdict"));
    verdict_->setWordWrap(true);
    verdict_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    verdict_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(unitRow);
    layout->addWidget(table_);
    layout->addWidget(verdict_, 1);

    auto* copyAction = new QAction(tr("&Copy"), this);
    copyAction->setObjectName(QStringLiteral("CopyCharacteristicPoints"));
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(copyAction, &QAction::triggered, this, &PointsPanel::copy);
    addAction(copyAction);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    setFocusPolicy(Qt::ClickFocus);

    connect(&units, &UnitChoice::changed, this, &PointsPanel::refresh);
    clear(tr("Run to trace the envelope."));
}

void PointsPanel::showEnvelope(const trace::TracedEnvelope& envelope, const QString& verdict)
{
    points_ = {envelope.critical, envelope.cricondenbar, envelope.cricondentherm};
    verdictText_ = tr("Traced envelope: %1").arg(verdict);
    traced_ = true;
    refresh();
}

void PointsPanel::clear(const QString& note)
{
    points_ = {};
    verdictText_ = note;
    traced_ = false;
    refresh();
}

void PointsPanel::refresh()
{
    const Units& units = units_.units();
    table_->setHorizontalHeaderLabels({tr("Point"), QStringLiteral("T (%1)").arg(UnitSymbol(units.temperature)),
                                       QStringLiteral("P (%1)").arg(UnitSymbol(units.pressure))});
    for (int row = 0; row < 3; ++row) {
        const trace::CharacteristicPoint& point = points_[static_cast<std::size_t>(row)];
        const bool shown = traced_ && point.found;
        table_->item(row, 1)->setText(shown ? TemperatureText(point.temperature, units.temperature)
                                            : QStringLiteral("-"));
        table_->item(row, 2)->setText(shown ? PressureText(point.pressure, units.pressure) : QStringLiteral("-"));
    }
    verdict_->setText(verdictText_);
}

QString PointsPanel::text() const
{
    QStringList lines;
    for (int row = -1; row < 3; ++row) {
        QStringList cells;
        for (int column = 0; column < 3; ++column)
            cells << (row < 0 ? table_->horizontalHeaderItem(column)->text() : table_->item(row, column)->text());
        lines << cells.join(QLatin1Char('\t'));
    }
    lines << verdictText_;
    return lines.join(QLatin1Char('\n'));
}

void PointsPanel::copy() const
{
    QApplication::clipboard()->setText(text());
}

} // namespace envelope
