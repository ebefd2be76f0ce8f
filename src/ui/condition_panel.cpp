#include "ui/condition_panel.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QColor>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "condition/check.h"
#include "thermo/cubic_model.h"
#include "ui/unit_choice.h"

namespace envelope {

namespace {

using condition::ConditionCheck;
using condition::PointPhases;

const char ProblemColour[] = "#b00000";
const char ProblemBackground[] = "background-color: #ffd0d0";

// What the check answered, in a few words: "2 phases, V = 0.9264",
// "1 phase, vapour-like", "could not be checked".
QString AnswerText(const ConditionCheck& point)
{
    switch (point.phases) {
    case PointPhases::Two:
        return QObject::tr("2 phases, V = %1").arg(QString::number(point.vapourFraction, 'f', 4));
    case PointPhases::One:
        switch (point.onePhase) {
        case condition::PhaseLike::Liquid:
            return QObject::tr("1 phase, liquid-like");
        case condition::PhaseLike::Vapour:
            return QObject::tr("1 phase, vapour-like");
        case condition::PhaseLike::Unknown:
            break;
        }
        return QObject::tr("1 phase");
    case PointPhases::Failed:
        break;
    }
    return QObject::tr("could not be checked");
}

// The value in the unit, with the unit's decimals and no trailing zeros.
QString FieldText(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

QTableWidget* NewList(QWidget* parent, const char* name, int columns)
{
    auto* table = new QTableWidget(0, columns, parent);
    table->setObjectName(QString::fromLatin1(name));
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
    table->horizontalHeader()->setMinimumSectionSize(8);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    table->setStyleSheet(QStringLiteral("QTableWidget::item { padding: 0px 2px; }"));
    return table;
}

QTableWidgetItem* Cell(const QString& text, bool number)
{
    auto* item = new QTableWidgetItem(text);
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

QList<Form2::ConditionMarker> ConditionMarkers(const CheckedConditions& conditions)
{
    QList<Form2::ConditionMarker> markers;
    for (std::size_t i = 0; i < conditions.points.size(); ++i) {
        const ConditionCheck& point = conditions.points[i];
        const Form2::ConditionKind kind = point.phases == PointPhases::Two   ? Form2::ConditionKind::TwoPhases
                                          : point.phases == PointPhases::One ? Form2::ConditionKind::OnePhase
                                                                             : Form2::ConditionKind::NotChecked;
        markers.append({QObject::tr("condition %1: %2").arg(i + 1).arg(AnswerText(point)),
                        QPointF(point.temperature, point.pressure), kind});
    }
    return markers;
}

ConditionPanel::ConditionPanel(UnitChoice& units, QWidget* parent)
    : QGroupBox(tr("Check a condition"), parent), units_(units), shownUnits_(units.units())
{
    setObjectName(QStringLiteral("ConditionCheck"));

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(3);
    const auto addField = [this, fields](Field& field, int column, const QString& caption, const char* name) {
        auto* label = new QLabel(caption, this);
        field.edit = new QLineEdit(this);
        field.edit->setObjectName(QString::fromLatin1(name));
        field.unit = new QLabel(this);
        field.unit->setObjectName(QString::fromLatin1(name) + QStringLiteral("Unit"));
        label->setBuddy(field.edit);
        fields->addWidget(label, 0, column);
        fields->addWidget(field.edit, 0, column + 1);
        fields->addWidget(field.unit, 0, column + 2);
        fields->setColumnStretch(column + 1, 1);
        connect(field.edit, &QLineEdit::returnPressed, this, &ConditionPanel::checkEntered);
        connect(field.edit, &QLineEdit::textEdited, this, &ConditionPanel::clearProblem);
    };
    addField(temperatureField_, 0, tr("T"), "ConditionTemperature");
    fields->setColumnMinimumWidth(3, 6);
    addField(pressureField_, 4, tr("P"), "ConditionPressure");

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(3);
    const auto addButton = [this, buttons](const QString& caption, const char* name, const QString& tip) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(QString::fromLatin1(name));
        button->setToolTip(tip);
        button->setAutoDefault(false);
        // As narrow as the caption: the panel shares its row with two tables.
        button->setMinimumWidth(button->fontMetrics().horizontalAdvance(button->text().remove(QLatin1Char('&'))) + 12);
        buttons->addWidget(button);
        return button;
    };
    QPushButton* check = addButton(tr("&Check"), "CheckCondition",
                                   tr("Checks the temperature and pressure for the mixture in use (Enter)"));
    connect(check, &QPushButton::clicked, this, &ConditionPanel::checkEntered);
    listButtons_ = {addButton(tr("Remove"), "RemoveCondition", tr("Removes the conditions selected (Del)")),
                    addButton(tr("Copy"), "CopyConditions", tr("Copies every condition as text (Ctrl+C)")),
                    addButton(tr("Export\u2026"), "ExportConditions",
                              tr("Writes conditions.csv and phase-compositions.csv into a folder"))};
    connect(listButtons_[0], &QPushButton::clicked, this, &ConditionPanel::removeSelected);
    connect(listButtons_[1], &QPushButton::clicked, this, &ConditionPanel::copy);
    connect(listButtons_[2], &QPushButton::clicked, this, &ConditionPanel::exportRequested);

    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("ConditionProblem"));
    problem_->setWordWrap(true);
    // The problem quotes what was typed: never read as markup.
    problem_->setTextFormat(Qt::PlainText);
    problem_->setStyleSheet(QStringLiteral("color: %1").arg(QLatin1String(ProblemColour)));
    problem_->hide();

    // Four columns, the vapour fraction beside the phases, so that the list
    // fits beside the two tables without cutting a number short.
    list_ = NewList(this, "ConditionList", 4);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(list_, &QTableWidget::currentCellChanged, this, &ConditionPanel::showAnswer);
    const auto addListAction = [this](const QString& caption, const QKeySequence& keys, const char* name) {
        auto* action = new QAction(caption, list_);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WidgetShortcut);
        list_->addAction(action);
        return action;
    };
    connect(addListAction(tr("&Remove"), QKeySequence::Delete, "RemoveConditionAction"), &QAction::triggered, this,
            &ConditionPanel::removeSelected);
    connect(addListAction(tr("Remove &all"), {}, "RemoveAllConditions"), &QAction::triggered, this,
            &ConditionPanel::removeAll);
    connect(addListAction(tr("&Copy"), QKeySequence::Copy, "CopyConditionsAction"), &QAction::triggered, this,
            &ConditionPanel::copy);
    connect(addListAction(tr("&Export\u2026"), {}, "ExportConditionsAction"), &QAction::triggered, this,
            &ConditionPanel::exportRequested);
    list_->setContextMenuPolicy(Qt::ActionsContextMenu);

    answer_ = new QLabel(this);
    answer_->setObjectName(QStringLiteral("ConditionAnswer"));
    answer_->setWordWrap(true);
    answer_->setTextFormat(Qt::PlainText);
    answer_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    // The feed is the mixture's z, shown beside: the liquid and the vapour
    // here (the copy and the export have the feed too).
    compositions_ = NewList(this, "PhaseCompositions", 3);
    compositions_->setHorizontalHeaderLabels({tr("Component"), tr("Liquid"), tr("Vapour")});
    compositions_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    compositions_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    compositions_->setSelectionMode(QAbstractItemView::ContiguousSelection);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(4);
    // Narrow side margins leave the list room for its four columns.
    const QMargins margins = layout->contentsMargins();
    layout->setContentsMargins(4, margins.top(), 4, margins.bottom());
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->addWidget(problem_);
    layout->addWidget(list_, 2);
    layout->addWidget(answer_);
    layout->addWidget(compositions_, 3);

    QWidget* previous = temperatureField_.edit;
    for (QWidget* next : std::initializer_list<QWidget*>{pressureField_.edit, check, listButtons_[0], listButtons_[1],
                                                         listButtons_[2], list_, compositions_}) {
        setTabOrder(previous, next);
        previous = next;
    }

    connect(&units, &UnitChoice::changed, this, [this] {
        followUnits();
        refresh();
    });
    followUnits();
    refresh();
}

void ConditionPanel::setMixture(const Mixture& mixture, EosKind eos)
{
    if (mixture == mixture_ && eos == eos_)
        return;
    mixture_ = mixture;
    eos_ = eos;
    checked_.componentNames = mixture.componentNames;
    // The answers kept were the other mixture's: each condition is checked
    // again, none shown for a mixture it was not checked for.
    for (ConditionCheck& point : checked_.points)
        point = condition::CheckCondition(mixture_, point.temperature, point.pressure, CubicModelOf(eos_));
    const int current = currentPoint();
    refresh();
    selectPoint(current);
    if (!checked_.points.empty())
        emit conditionsChanged();
}

void ConditionPanel::addCondition(double kelvin, double bar)
{
    checked_.points.push_back(condition::CheckCondition(mixture_, kelvin, bar, CubicModelOf(eos_)));
    refresh();
    selectPoint(static_cast<int>(checked_.points.size()) - 1);
    emit conditionsChanged();
}

int ConditionPanel::currentPoint() const
{
    const int row = list_->currentRow();
    return row >= 0 && row < static_cast<int>(checked_.points.size()) ? row : -1;
}

void ConditionPanel::selectPoint(int index)
{
    if (index >= 0 && index < list_->rowCount()) {
        list_->setCurrentCell(index, 0);
        list_->selectRow(index);
    }
    showAnswer();
}

bool ConditionPanel::checkEntered()
{
    clearProblem();
    double kelvin = 0.0;
    double bar = 0.0;
    if (!read(temperatureField_, true, kelvin) || !read(pressureField_, false, bar))
        return false;
    addCondition(kelvin, bar);
    return true;
}

bool ConditionPanel::read(Field& field, bool temperature, double& value)
{
    const QString text = field.edit->text().trimmed();
    const QString quantity = temperature ? tr("temperature") : tr("pressure");
    if (text.isEmpty()) {
        showProblem(field, tr("Enter a %1.").arg(quantity));
        return false;
    }
    const Units& units = units_.units();
    if (field.edit->text() == field.shownText) {
        value = field.value; // as given, not as rounded for showing
    } else {
        bool number = false;
        double typed = QLocale::c().toDouble(text, &number);
        if (!number)
            typed = QLocale().toDouble(text, &number);
        if (!number) {
            showProblem(field, tr("The %1 must be a number, not \u201C%2\u201D.").arg(quantity, text));
            return false;
        }
        value = temperature ? ToKelvin(typed, units.temperature) : ToBar(typed, units.pressure);
    }
    const std::string problem =
        temperature ? condition::ConditionInputProblem(value, condition::MinConditionPressure)
                    : condition::ConditionInputProblem(condition::MinConditionTemperature, value);
    if (problem.empty())
        return true;
    QString shown = QString::fromStdString(problem);
    shown[0] = shown[0].toUpper();
    // The range also in the unit the value was typed in.
    if (temperature && units.temperature != TemperatureUnit::Kelvin)
        shown += QStringLiteral(" (%1 to %2 %3)")
                     .arg(TemperatureText(condition::MinConditionTemperature, units.temperature),
                          TemperatureText(condition::MaxConditionTemperature, units.temperature),
                          UnitSymbol(units.temperature));
    else if (!temperature && units.pressure != PressureUnit::Bar)
        shown += QStringLiteral(" (%1 to %2 %3)")
                     .arg(PressureText(condition::MinConditionPressure, units.pressure),
                          PressureText(condition::MaxConditionPressure, units.pressure), UnitSymbol(units.pressure));
    showProblem(field, shown + QLatin1Char('.'));
    return false;
}

void ConditionPanel::showProblem(Field& field, const QString& text)
{
    problem_->setText(text);
    problem_->show();
    field.edit->setStyleSheet(QStringLiteral("QLineEdit { %1 }").arg(QLatin1String(ProblemBackground)));
    field.edit->setToolTip(text);
    field.edit->setFocus();
    field.edit->selectAll();
}

void ConditionPanel::clearProblem()
{
    if (problem_->text().isEmpty())
        return;
    problem_->clear();
    problem_->hide();
    for (Field* field : {&temperatureField_, &pressureField_}) {
        field->edit->setStyleSheet({});
        field->edit->setToolTip({});
    }
}

void ConditionPanel::followUnits()
{
    const Units& units = units_.units();
    // A value typed in the old units is shown in the new ones; the value
    // itself is kept exactly, however it is rounded for showing.
    for (Field* field : {&temperatureField_, &pressureField_}) {
        const bool temperature = field == &temperatureField_;
        if (field->edit->text() != field->shownText || field->shownText.isEmpty()) {
            bool number = false;
            const double typed = QLocale::c().toDouble(field->edit->text().trimmed(), &number);
            if (!number || !std::isfinite(typed))
                continue;
            field->value = temperature ? ToKelvin(typed, shownUnits_.temperature) : ToBar(typed, shownUnits_.pressure);
        }
        field->shownText = temperature ? FieldText(FromKelvin(field->value, units.temperature), Decimals(units.temperature))
                                       : FieldText(FromBar(field->value, units.pressure), Decimals(units.pressure));
        field->edit->setText(field->shownText);
    }
    shownUnits_ = units;
    temperatureField_.unit->setText(UnitSymbol(units.temperature));
    pressureField_.unit->setText(UnitSymbol(units.pressure));
    temperatureField_.edit->setPlaceholderText(UnitSymbol(units.temperature));
    pressureField_.edit->setPlaceholderText(UnitSymbol(units.pressure));
}

void ConditionPanel::refresh()
{
    const TextRows rows = ConditionsRows(checked_, units_.units());
    list_->setHorizontalHeaderLabels({QStringLiteral("#"), QString::fromStdString(rows[0][1]),
                                      QString::fromStdString(rows[0][2]), tr("Phases")});
    list_->horizontalHeaderItem(3)->setToolTip(
        tr("1 or 2; for 2 also V, the vapour fraction: the vapour's share of the feed, in moles"));
    const int current = list_->currentRow();
    list_->setRowCount(static_cast<int>(rows.size()) - 1);
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const int row = static_cast<int>(i) - 1;
        const ConditionCheck& point = checked_.points[i - 1];
        const bool failed = point.phases == PointPhases::Failed;
        for (int column = 0; column < 4; ++column) {
            QString text = QString::fromStdString(rows[i][static_cast<std::size_t>(column)]);
            if (column == 3 && failed)
                text = tr("failed");
            else if (column == 3 && point.phases == PointPhases::Two)
                text += tr(", V = %1").arg(QString::fromStdString(rows[i][4]));
            QTableWidgetItem* item = Cell(text, column != 3);
            item->setToolTip(failed ? tr("Could not be checked: %1").arg(QString::fromStdString(point.reason))
                                    : AnswerText(point));
            if (failed)
                item->setForeground(QColor(QLatin1String(ProblemColour)));
            list_->setItem(row, column, item);
        }
    }
    if (current >= 0 && current < list_->rowCount())
        list_->setCurrentCell(current, list_->currentColumn() < 0 ? 0 : list_->currentColumn());
    for (QPushButton* button : listButtons_)
        button->setEnabled(!checked_.points.empty());
    for (QAction* action : list_->actions())
        action->setEnabled(!checked_.points.empty());
    showAnswer();
}

void ConditionPanel::showAnswer()
{
    const int index = currentPoint();
    compositions_->setRowCount(0);
    if (index < 0) {
        answer_->setText(checked_.points.empty() ? tr("Type a temperature and a pressure, then Check (Enter).")
                                                 : QString());
        return;
    }
    const ConditionCheck& point = checked_.points[static_cast<std::size_t>(index)];
    const Units& units = units_.units();
    QString text = tr("Condition %1 (%2 %3, %4 %5): %6")
                       .arg(index + 1)
                       .arg(TemperatureText(point.temperature, units.temperature), UnitSymbol(units.temperature),
                            PressureText(point.pressure, units.pressure), UnitSymbol(units.pressure),
                            AnswerText(point));
    if (point.phases == PointPhases::Failed)
        text += QStringLiteral(": ") + QString::fromStdString(point.reason);
    answer_->setText(text + QLatin1Char('.'));
    // The compositions of this point alone, as the batch run writes them.
    const TextRows rows = PhaseCompositionsRows({checked_.componentNames, {point}});
    compositions_->setRowCount(static_cast<int>(rows.size()) - 1);
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const int row = static_cast<int>(i) - 1;
        compositions_->setItem(row, 0, Cell(QString::fromStdString(rows[i][1]), false));
        compositions_->setItem(row, 1, Cell(QString::fromStdString(rows[i][3]), true));
        compositions_->setItem(row, 2, Cell(QString::fromStdString(rows[i][4]), true));
    }
}

void ConditionPanel::removeSelected()
{
    QList<int> rows;
    for (const QModelIndex& index : list_->selectionModel()->selectedRows())
        rows.append(index.row());
    if (rows.isEmpty() && currentPoint() >= 0)
        rows.append(currentPoint());
    if (rows.isEmpty())
        return;
    std::sort(rows.begin(), rows.end());
    for (qsizetype i = rows.size(); i-- > 0;)
        checked_.points.erase(checked_.points.begin() + rows[i]);
    list_->clearSelection();
    refresh();
    selectPoint(std::min(rows.first(), static_cast<int>(checked_.points.size()) - 1));
    emit conditionsChanged();
}

void ConditionPanel::removeAll()
{
    if (checked_.points.empty())
        return;
    checked_.points.clear();
    refresh();
    emit conditionsChanged();
}

QString ConditionPanel::text() const
{
    std::ostringstream out;
    WriteConditionsReport(out, checked_, units_.units());
    return QString::fromStdString(out.str());
}

void ConditionPanel::copy() const
{
    QApplication::clipboard()->setText(text());
}

} // namespace envelope
