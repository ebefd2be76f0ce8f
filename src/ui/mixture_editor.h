#pragma once
// The mixture editor: the mixture's name and equation of state, the
// components with their feed fractions and constants on one tab, the binary
// interaction parameters on another. A name from the
// component table fills in that component's constants, which stay editable.
// The mixture is checked as a case file's is; a problem is shown at its field
// and keeps the dialog open. "Fill k_ij from table" sets the pairs the
// interaction table lists and says which. A name not in the component table
// is said to be so, a problem with k_ij names the two components, the sum of
// z is shown as it changes, no more components can be added than a mixture
// may have, and edits are discarded only once the user agrees.

#include <QDialog>

#include "thermo/eos_kind.h"
#include "thermo/mixture.h"
#include "validation/mixture_check.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QTableWidgetItem;

namespace envelope {

class MixtureEditor : public QDialog {
    Q_OBJECT

public:
    // The columns of the component table.
    enum Column { NameColumn, ZColumn, TcColumn, PcColumn, OmegaColumn, ColumnCount };

    explicit MixtureEditor(const Mixture& mixture, EosKind eos = EosKind::SRK, QWidget* parent = nullptr);

    // The mixture as last checked successfully; the one given until then.
    const Mixture& mixture() const { return mixture_; }
    // The equation of state chosen; the one given until another is.
    EosKind equationOfState() const;
    QComboBox& equationOfStateChoice() const { return *eosChoice_; }

    QTableWidget& components() const { return *components_; }
    QTableWidget& interactionParameters() const { return *kij_; }
    QLineEdit& mixtureName() const { return *name_; }
    // The text of the problem found by the last check; empty when there was none.
    QString problem() const;
    // The line under the k_ij that says which pairs the last "Fill k_ij from
    // table" set; empty until then.
    QString tableNote() const;
    // The line under the components that gives the sum of z.
    QLabel& feedSum() const { return *feedSum_; }
    QPushButton& addButton() const { return *add_; }
    // Whether anything was edited since the dialog opened.
    bool edited() const { return edited_; }

public slots:
    // Reads the fields into a mixture and checks it. Shows the problem at its
    // field and returns false, or keeps the mixture and returns true.
    bool check();
    void addComponent();
    // Removes the current component row, or the last one when none is current.
    void removeComponent();
    // Divides every z by their sum.
    void normaliseFeed();
    // Sets every pair of the components that the interaction table lists for
    // the equation of state chosen to its k_ij there; the other pairs keep
    // theirs.
    void fillFromTable();
    void accept() override;
    // Closes the dialog, after asking whether to discard the edits if any.
    void reject() override;

private:
    void setComponentRow(int row, const QString& name, double z, double tc, double pc, double omega);
    void componentChanged(QTableWidgetItem* item);
    // Gives the k_ij table one row and column per component, named after them.
    void matchInteractionParameters();
    void interactionParameterChanged(QTableWidgetItem* item);
    void showProblem(const MixtureProblem& problem);
    void clearProblem();
    // Something was edited: the sum of z and the Add button follow.
    void markEdited();
    void showFeedSum();
    QTableWidgetItem* cell(QTableWidget& table, int row, int column) const;

    Mixture mixture_;
    QLineEdit* name_;
    // The equation of state, whose table values "Fill k_ij from table" takes.
    QComboBox* eosChoice_;
    QTabWidget* tabs_;
    QTableWidget* components_;
    QTableWidget* kij_;
    QLabel* problem_;
    QLabel* tableNote_;
    // The k_ij were filled from the table, by the case or by the button: the
    // mixture keeps that mark while they still are the table's.
    bool fromTable_ = false;
    QLabel* feedSum_;
    QPushButton* add_;
    bool filling_ = false;
    bool edited_ = false;
};

} // namespace envelope
