#include "ui/mixture_editor.h"

#include <cmath>

#include <QComboBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTextDocument>
#include <QTableWidget>
#include <QVBoxLayout>

#include "components/component_table.h"
#include "interaction/interaction_table.h"
#include "text/quoted_name.h"

namespace envelope {

namespace {

// A name the user typed, quoted and escaped as every message shows names.
QString Quoted(const QString& name)
{
    return QString::fromStdString(QuotedName(name.toStdString()));
}

QString NumberText(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

bool ReadNumber(const QTableWidgetItem* item, double& value)
{
    bool ok = false;
    value = QLocale::c().toDouble(item == nullptr ? QString() : item->text().trimmed(), &ok);
    return ok;
}

// Every name and alias of the component table, for completion.
QStringList ComponentTableNames()
{
    QStringList names;
    for (const Component& component : ComponentTable()) {
        names << QString::fromStdString(component.name);
        for (const std::string& alias : component.aliases)
            names << QString::fromStdString(alias);
    }
    names.sort(Qt::CaseInsensitive);
    return names;
}

// Edits a component's name in a line edit that completes from the table.
class ComponentNameDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        auto* editor = new QLineEdit(parent);
        editor->setObjectName(QStringLiteral("ComponentNameEditor"));
        auto* completer = new QCompleter(ComponentTableNames(), editor);
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        completer->setFilterMode(Qt::MatchContains);
        editor->setCompleter(completer);
        return editor;
    }
};

const char* const ColumnTitles[] = {"Component", "z", "Tc (K)", "Pc (bar)", "\u03c9"};
const char* const ColumnNames[] = {"name", "z", "Tc", "Pc", "omega"};

} // namespace

MixtureEditor::MixtureEditor(const Mixture& mixture, EosKind eos, QWidget* parent)
    : QDialog(parent), mixture_(mixture)
{
    setObjectName(QStringLiteral("MixtureEditor"));
    setWindowTitle(tr("Mixture"));

    name_ = new QLineEdit(QString::fromStdString(mixture.name));
    name_->setObjectName(QStringLiteral("MixtureName"));
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(tr("&Name:")));
    nameRow->addWidget(name_);
    qobject_cast<QLabel*>(nameRow->itemAt(0)->widget())->setBuddy(name_);

    // The equation of state: each by its title, with its case-file name as
    // the item's data.
    eosChoice_ = new QComboBox;
    eosChoice_->setObjectName(QStringLiteral("EquationOfState"));
    for (EosKind kind : EosKinds) {
        const std::string_view title = EosTitle(kind), name = EosName(kind);
        eosChoice_->addItem(QString::fromLatin1(title.data(), static_cast<qsizetype>(title.size())),
                      QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
        if (kind == eos)
            eosChoice_->setCurrentIndex(eosChoice_->count() - 1);
    }
    auto* eosLabel = new QLabel(tr("&Equation of state:"));
    eosLabel->setBuddy(eosChoice_);
    nameRow->addWidget(eosLabel);
    nameRow->addWidget(eosChoice_);

    components_ = new QTableWidget(0, ColumnCount);
    components_->setObjectName(QStringLiteral("Components"));
    for (int column = 0; column < ColumnCount; ++column)
        components_->setHorizontalHeaderItem(column, new QTableWidgetItem(QString::fromUtf8(ColumnTitles[column])));
    components_->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    components_->setItemDelegateForColumn(NameColumn, new ComponentNameDelegate(components_));
    components_->setSelectionBehavior(QAbstractItemView::SelectItems);

    auto* add = new QPushButton(tr("&Add"));
    add->setObjectName(QStringLiteral("AddComponent"));
    add_ = add;
    auto* remove = new QPushButton(tr("&Remove"));
    remove->setObjectName(QStringLiteral("RemoveComponent"));
    auto* normalise = new QPushButton(tr("N&ormalise z"));
    normalise->setObjectName(QStringLiteral("NormaliseFeed"));
    connect(add, &QPushButton::clicked, this, &MixtureEditor::addComponent);
    connect(remove, &QPushButton::clicked, this, &MixtureEditor::removeComponent);
    connect(normalise, &QPushButton::clicked, this, &MixtureEditor::normaliseFeed);
    feedSum_ = new QLabel;
    feedSum_->setObjectName(QStringLiteral("FeedSum"));
    auto* rowButtons = new QHBoxLayout;
    rowButtons->addWidget(add);
    rowButtons->addWidget(remove);
    rowButtons->addStretch();
    rowButtons->addWidget(feedSum_);
    rowButtons->addWidget(normalise);

    auto* componentsPage = new QWidget;
    auto* componentsLayout = new QVBoxLayout(componentsPage);
    componentsLayout->addWidget(components_);
    componentsLayout->addLayout(rowButtons);

    kij_ = new QTableWidget(0, 0);
    kij_->setObjectName(QStringLiteral("InteractionParameters"));
    auto* fill = new QPushButton(tr("&Fill k_ij from table"));
    fill->setObjectName(QStringLiteral("FillKijFromTable"));
    fill->setToolTip(tr("Sets each pair that the interaction table lists (%1) to its k_ij there; "
                        "the other pairs keep theirs.")
                         .arg(QString::fromUtf8(InteractionTableSource.data(),
                                                static_cast<qsizetype>(InteractionTableSource.size()))));
    connect(fill, &QPushButton::clicked, this, &MixtureEditor::fillFromTable);
    tableNote_ = new QLabel;
    tableNote_->setObjectName(QStringLiteral("TableNote"));
    tableNote_->setWordWrap(true);
    tableNote_->setTextFormat(Qt::PlainText);
    tableNote_->hide();
    auto* kijButtons = new QHBoxLayout;
    kijButtons->addWidget(fill);
    kijButtons->addStretch();
    auto* kijPage = new QWidget;
    auto* kijLayout = new QVBoxLayout(kijPage);
    kijLayout->addWidget(new QLabel(tr("Binary interaction parameters k<sub>ij</sub>, symmetric; empty means 0.")));
    kijLayout->addWidget(kij_);
    kijLayout->addWidget(tableNote_);
    kijLayout->addLayout(kijButtons);

    tabs_ = new QTabWidget;
    tabs_->addTab(componentsPage, tr("&Components"));
    tabs_->addTab(kijPage, tr("&Interaction parameters"));

    problem_ = new QLabel;
    problem_->setObjectName(QStringLiteral("Problem"));
    // The problem names the user's components: shown as text, never as markup.
    problem_->setTextFormat(Qt::PlainText);
    problem_->setWordWrap(true);
    problem_->setStyleSheet(QStringLiteral("color: #b00000"));
    problem_->hide();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &MixtureEditor::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &MixtureEditor::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(nameRow);
    layout->addWidget(tabs_);
    layout->addWidget(problem_);
    layout->addWidget(buttons);

    const std::size_t n = mixture.componentNames.size();
    filling_ = true;
    for (std::size_t i = 0; i < n; ++i) {
        components_->insertRow(static_cast<int>(i));
        setComponentRow(static_cast<int>(i), QString::fromStdString(mixture.componentNames[i]), mixture.feed.at(i),
                        mixture.criticalTemperature.at(i), mixture.criticalPressure.at(i),
                        mixture.acentricFactor.at(i));
    }
    kij_->setRowCount(static_cast<int>(n));
    kij_->setColumnCount(static_cast<int>(n));
    filling_ = false;
    matchInteractionParameters();
    filling_ = true;
    if (mixture.kij.size() == n * n)
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t j = 0; j < n; ++j)
                if (i != j && mixture.kij[i * n + j] != 0.0)
                    cell(*kij_, static_cast<int>(i), static_cast<int>(j))->setText(NumberText(mixture.kij[i * n + j]));
    filling_ = false;
    fromTable_ = mixture.kijFromTable;

    connect(components_, &QTableWidget::itemChanged, this, &MixtureEditor::componentChanged);
    connect(kij_, &QTableWidget::itemChanged, this, &MixtureEditor::interactionParameterChanged);
    connect(name_, &QLineEdit::textEdited, this, &MixtureEditor::markEdited);
    showFeedSum();
    edited_ = false;
    resize(560, 420);
}

EosKind MixtureEditor::equationOfState() const
{
    return EosKindNamed(eosChoice_->currentData().toString().toStdString()).value_or(EosKind::SRK);
}

QString MixtureEditor::problem() const
{
    return problem_->text();
}

QString MixtureEditor::tableNote() const
{
    return tableNote_->text();
}

QTableWidgetItem* MixtureEditor::cell(QTableWidget& table, int row, int column) const
{
    QTableWidgetItem* item = table.item(row, column);
    if (item == nullptr) {
        item = new QTableWidgetItem;
        table.setItem(row, column, item);
    }
    return item;
}

void MixtureEditor::setComponentRow(int row, const QString& name, double z, double tc, double pc, double omega)
{
    cell(*components_, row, NameColumn)->setText(name);
    cell(*components_, row, ZColumn)->setText(NumberText(z));
    cell(*components_, row, TcColumn)->setText(NumberText(tc));
    cell(*components_, row, PcColumn)->setText(NumberText(pc));
    cell(*components_, row, OmegaColumn)->setText(NumberText(omega));
}

void MixtureEditor::componentChanged(QTableWidgetItem* item)
{
    if (filling_)
        return;
    clearProblem();
    markEdited();
    if (item->column() != NameColumn)
        return;
    const QString name = item->text().trimmed();
    const Component* known = FindComponent(name.toStdString());
    filling_ = true;
    if (known != nullptr) {
        const int row = item->row();
        cell(*components_, row, TcColumn)->setText(NumberText(known->criticalTemperature));
        cell(*components_, row, PcColumn)->setText(NumberText(known->criticalPressure));
        cell(*components_, row, OmegaColumn)->setText(NumberText(known->acentricFactor));
    }
    filling_ = false;
    matchInteractionParameters();
    if (known == nullptr && !name.isEmpty())
        showProblem({MixtureProblem::Field::Name, item->row(), -1,
                     ComponentPlace(item->row(), name.toStdString()) +
                         tr(": not in the component table; give its Tc, Pc and \u03c9").toStdString()});
}

void MixtureEditor::matchInteractionParameters()
{
    const int n = components_->rowCount();
    QStringList names;
    for (int row = 0; row < n; ++row) {
        const QTableWidgetItem* item = components_->item(row, NameColumn);
        const QString name = item == nullptr ? QString() : item->text().trimmed();
        names << (name.isEmpty() ? QString::number(row + 1) : name);
    }
    const bool wasFilling = filling_;
    filling_ = true;
    kij_->setHorizontalHeaderLabels(names);
    kij_->setVerticalHeaderLabels(names);
    for (int i = 0; i < n; ++i) {
        QTableWidgetItem* diagonal = cell(*kij_, i, i);
        diagonal->setText(QStringLiteral("0"));
        diagonal->setFlags(diagonal->flags() & ~Qt::ItemIsEditable);
    }
    filling_ = wasFilling;
}

void MixtureEditor::interactionParameterChanged(QTableWidgetItem* item)
{
    if (filling_)
        return;
    clearProblem();
    markEdited();
    // k_ij = k_ji: an entry edited on one side of the diagonal is copied to the other.
    filling_ = true;
    cell(*kij_, item->column(), item->row())->setText(item->text());
    filling_ = false;
}

void MixtureEditor::addComponent()
{
    const int row = components_->rowCount();
    if (row >= static_cast<int>(MaxComponentCount))
        return;
    filling_ = true;
    components_->insertRow(row);
    for (int column = 0; column < ColumnCount; ++column)
        cell(*components_, row, column);
    kij_->insertRow(row);
    kij_->insertColumn(row);
    filling_ = false;
    matchInteractionParameters();
    markEdited();
    tabs_->setCurrentIndex(0);
    components_->setCurrentCell(row, NameColumn);
    components_->editItem(components_->item(row, NameColumn));
}

void MixtureEditor::removeComponent()
{
    int row = components_->currentRow();
    if (row < 0)
        row = components_->rowCount() - 1;
    if (row < 0)
        return;
    filling_ = true;
    components_->removeRow(row);
    kij_->removeRow(row);
    kij_->removeColumn(row);
    filling_ = false;
    clearProblem();
    matchInteractionParameters();
    markEdited();
}

void MixtureEditor::normaliseFeed()
{
    clearProblem();
    const int n = components_->rowCount();
    std::vector<double> z(static_cast<std::size_t>(n));
    double sum = 0.0;
    for (int row = 0; row < n; ++row) {
        if (!ReadNumber(components_->item(row, ZColumn), z[static_cast<std::size_t>(row)])) {
            showProblem(
                {MixtureProblem::Field::Z, row, -1, tr("component %1: z must be a number").arg(row + 1).toStdString()});
            return;
        }
        sum += z[static_cast<std::size_t>(row)];
    }
    if (!(sum > 0.0) || !std::isfinite(sum)) {
        showProblem({MixtureProblem::Field::Z, -1, -1,
                     tr("the mole fractions z sum to %1: nothing to normalise").arg(sum).toStdString()});
        return;
    }
    filling_ = true;
    for (int row = 0; row < n; ++row)
        cell(*components_, row, ZColumn)->setText(NumberText(z[static_cast<std::size_t>(row)] / sum));
    filling_ = false;
    markEdited();
}

void MixtureEditor::markEdited()
{
    edited_ = true;
    showFeedSum();
}

void MixtureEditor::showFeedSum()
{
    double sum = 0.0;
    bool numbers = true;
    for (int row = 0; row < components_->rowCount(); ++row) {
        double z = 0.0;
        numbers = ReadNumber(components_->item(row, ZColumn), z) && numbers;
        sum += z;
    }
    const bool one = numbers && std::abs(sum - 1.0) <= FeedSumTolerance;
    feedSum_->setText(numbers ? tr("Sum of z: %1").arg(QString::number(sum, 'g', 10)) + (one ? QString() : tr(", not 1"))
                              : tr("Sum of z: not every z is a number"));
    feedSum_->setStyleSheet(one ? QString() : QStringLiteral("color: #b00000"));
    const bool room = components_->rowCount() < static_cast<int>(MaxComponentCount);
    add_->setEnabled(room);
    add_->setToolTip(room ? QString() : tr("A mixture has at most %1 components.").arg(MaxComponentCount));
}

void MixtureEditor::reject()
{
    if (edited_) {
        QMessageBox question(QMessageBox::Question, windowTitle(), tr("Discard the changes to the mixture?"),
                             QMessageBox::Discard | QMessageBox::Cancel, this);
        question.setObjectName(QStringLiteral("DiscardEdits"));
        question.setDefaultButton(QMessageBox::Cancel);
        if (question.exec() != QMessageBox::Discard)
            return;
    }
    QDialog::reject();
}

void MixtureEditor::fillFromTable()
{
    clearProblem();
    std::vector<std::string> names;
    for (int row = 0; row < components_->rowCount(); ++row) {
        const QTableWidgetItem* item = components_->item(row, NameColumn);
        names.push_back(item == nullptr ? std::string() : item->text().trimmed().toStdString());
    }
    const TableInteractions found = InteractionsFromTable(names, equationOfState());
    filling_ = true;
    for (const TablePair& pair : found.pairs) {
        const QString value = NumberText(pair.entry->kij);
        cell(*kij_, static_cast<int>(pair.first), static_cast<int>(pair.second))->setText(value);
        cell(*kij_, static_cast<int>(pair.second), static_cast<int>(pair.first))->setText(value);
    }
    filling_ = false;
    // Filled pairs are edits like typed ones: Cancel asks before losing them.
    if (!found.pairs.empty())
        markEdited();
    fromTable_ = true;
    tableNote_->setText(QString::fromStdString(TablePairsText(names, found, equationOfState())));
    tableNote_->show();
    tabs_->setCurrentIndex(1);
}

bool MixtureEditor::check()
{
    clearProblem();
    Mixture m;
    m.name = name_->text().trimmed().toStdString();
    const int n = components_->rowCount();
    for (int row = 0; row < n; ++row) {
        const QTableWidgetItem* nameItem = components_->item(row, NameColumn);
        m.componentNames.push_back(nameItem == nullptr ? std::string() : nameItem->text().trimmed().toStdString());
        double values[ColumnCount] = {};
        for (int column = ZColumn; column < ColumnCount; ++column) {
            if (!ReadNumber(components_->item(row, column), values[column])) {
                const MixtureProblem::Field fields[] = {MixtureProblem::Field::Name, MixtureProblem::Field::Z,
                                                        MixtureProblem::Field::Tc, MixtureProblem::Field::Pc,
                                                        MixtureProblem::Field::Omega};
                // A constant left out of a component the table does not know.
                const bool unknown = column != ZColumn && !m.componentNames.back().empty() &&
                                     FindComponent(m.componentNames.back()) == nullptr;
                showProblem({fields[column], row, -1,
                             ComponentPlace(m, row) +
                                 (unknown ? tr(": not in the component table; give its Tc, Pc and \u03c9")
                                          : tr(": %1 must be a number").arg(ColumnNames[column]))
                                     .toStdString()});
                return false;
            }
        }
        m.feed.push_back(values[ZColumn]);
        m.criticalTemperature.push_back(values[TcColumn]);
        m.criticalPressure.push_back(values[PcColumn]);
        m.acentricFactor.push_back(values[OmegaColumn]);
    }
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const QTableWidgetItem* item = kij_->item(i, j);
            double k = 0.0;
            if (item != nullptr && !item->text().trimmed().isEmpty() && !ReadNumber(item, k)) {
                showProblem({MixtureProblem::Field::Kij, i, j,
                             tr("kij row %1, column %2: must be a number").arg(i + 1).arg(j + 1).toStdString()});
                return false;
            }
            m.kij.push_back(k);
        }
    }
    if (!m.HasInteractionParameters())
        m.kij.clear();
    m.kijFromTable = fromTable_ && MatchesInteractionTable(m, equationOfState());
    const MixtureProblem problem = CheckMixture(m);
    if (!problem.ok()) {
        showProblem(problem);
        return false;
    }
    mixture_ = m;
    return true;
}

void MixtureEditor::accept()
{
    if (check())
        QDialog::accept();
}

void MixtureEditor::showProblem(const MixtureProblem& problem)
{
    QString text = QString::fromStdString(problem.text);
    // A k_ij is named by the two components it joins, not only by its place.
    const QString kijPlace = QStringLiteral("kij row %1, column %2").arg(problem.component + 1).arg(problem.column + 1);
    if (problem.field == MixtureProblem::Field::Kij && text.startsWith(kijPlace) &&
        problem.component < components_->rowCount() && problem.column < components_->rowCount()) {
        const auto name = [this](int row) {
            const QTableWidgetItem* item = components_->item(row, NameColumn);
            const QString named = item == nullptr ? QString() : item->text().trimmed();
            return named.isEmpty() ? tr("component %1").arg(row + 1) : Quoted(named);
        };
        text.replace(0, kijPlace.size(),
                     tr("k_ij of %1 and %2 (row %3, column %4)")
                         .arg(name(problem.component), name(problem.column))
                         .arg(problem.component + 1)
                         .arg(problem.column + 1));
    }
    problem_->setText(text);
    problem_->show();
    QTableWidget* table = components_;
    int row = problem.component;
    int column = NameColumn;
    switch (problem.field) {
    case MixtureProblem::Field::None:
    case MixtureProblem::Field::ComponentCount:
    case MixtureProblem::Field::Name:
        break;
    case MixtureProblem::Field::Z:
        column = ZColumn;
        // The sum of z is the whole column's problem: show it at the first.
        row = std::max(row, 0);
        break;
    case MixtureProblem::Field::Tc:
        column = TcColumn;
        break;
    case MixtureProblem::Field::Pc:
        column = PcColumn;
        break;
    case MixtureProblem::Field::Omega:
        column = OmegaColumn;
        break;
    case MixtureProblem::Field::Kij:
        table = kij_;
        column = std::max(problem.column, 0);
        row = std::max(row, 0);
        break;
    }
    tabs_->setCurrentIndex(table == kij_ ? 1 : 0);
    if (row >= 0 && row < table->rowCount() && column < table->columnCount()) {
        const bool wasFilling = filling_;
        filling_ = true;
        QTableWidgetItem* item = cell(*table, row, column);
        item->setBackground(QColor(0xff, 0xd0, 0xd0));
        item->setToolTip(Qt::convertFromPlainText(text));
        filling_ = wasFilling;
        table->setCurrentCell(row, column);
        table->setFocus();
    }
}

void MixtureEditor::clearProblem()
{
    if (problem_->text().isEmpty())
        return;
    problem_->clear();
    problem_->hide();
    const bool wasFilling = filling_;
    filling_ = true;
    for (QTableWidget* table : {components_, kij_})
        for (int row = 0; row < table->rowCount(); ++row)
            for (int column = 0; column < table->columnCount(); ++column)
                if (QTableWidgetItem* item = table->item(row, column)) {
                    item->setData(Qt::BackgroundRole, QVariant());
                    item->setToolTip(QString());
                }
    filling_ = wasFilling;
}

} // namespace envelope
