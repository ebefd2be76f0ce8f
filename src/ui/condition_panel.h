#pragma once
// The "Check a condition" panel: a temperature and a pressure typed in the
// units chosen, checked for the mixture in use on "Check" (or Enter). Each
// checked condition is kept in a list, numbered from 1, with its phases and
// vapour fraction; the selected one's answer is spelt out below the list,
// with the liquid's and the vapour's compositions where it has two phases.
// A condition that could not be checked says so and why, never with a
// number. A value that cannot be checked (empty, not a number, out of range)
// is shown at its field and nothing is checked. The values typed follow a
// change of units, and everything shown is in the units chosen. A new
// mixture or equation of state checks every condition kept again, for them. The list's
// context menu and buttons remove conditions, copy them as the two
// tab-separated sections that --point prints, and export them.

#include <QGroupBox>
#include <QList>
#include <QString>

#include "envelope/condition_tables.h"
#include "thermo/eos_kind.h"
#include "thermo/mixture.h"
#include "ui/form2.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace envelope {

class UnitChoice;

// How the chart draws the conditions, in their order.
QList<Form2::ConditionMarker> ConditionMarkers(const CheckedConditions& conditions);

class ConditionPanel : public QGroupBox {
    Q_OBJECT

public:
    explicit ConditionPanel(UnitChoice& units, QWidget* parent = nullptr);

    // Checks the conditions for this mixture with this equation of state
    // from now on, and those kept again when either is another.
    void setMixture(const Mixture& mixture, EosKind eos = EosKind::SRK);

    // Checks the condition given in K and bar, adds it at the end of the
    // list and selects it.
    void addCondition(double kelvin, double bar);
    // The conditions checked, in the list's order.
    const CheckedConditions& conditions() const { return checked_; }
    // The list's row selected, or -1.
    int currentPoint() const;
    void selectPoint(int index);

    // The conditions as text: the sections "Conditions" and "Phase
    // Compositions" with T and P in the units chosen.
    QString text() const;

    QLineEdit& temperatureField() const { return *temperatureField_.edit; }
    QLineEdit& pressureField() const { return *pressureField_.edit; }
    // Why the values typed cannot be checked; empty while they can.
    QLabel& problem() const { return *problem_; }
    QTableWidget& list() const { return *list_; }
    // The selected condition's answer in words.
    QLabel& answer() const { return *answer_; }
    QTableWidget& compositions() const { return *compositions_; }

public slots:
    // Checks the values typed; false, with the problem shown, when they
    // cannot be checked.
    bool checkEntered();
    void removeSelected();
    void removeAll();
    void copy() const;

signals:
    // The list changed: a condition added, removed or checked again.
    void conditionsChanged();
    // "Export…" was chosen.
    void exportRequested();

private:
    // A field and the exact value it shows (K or bar), which a change of
    // units keeps while the text is not edited.
    struct Field {
        QLineEdit* edit = nullptr;
        QLabel* unit = nullptr;
        QString shownText;
        double value = 0.0;
    };

    // The value typed, in K or bar, or the problem shown at the field.
    bool read(Field& field, bool temperature, double& value);
    void showProblem(Field& field, const QString& text);
    void clearProblem();
    void followUnits();
    void refresh();
    void showAnswer();

    UnitChoice& units_;
    Units shownUnits_;
    Mixture mixture_;
    EosKind eos_ = EosKind::SRK;
    CheckedConditions checked_;
    Field temperatureField_;
    Field pressureField_;
    QLabel* problem_;
    QTableWidget* list_;
    QLabel* answer_;
    QTableWidget* compositions_;
    QList<QPushButton*> listButtons_;
};

} // namespace envelope
