// The mixture editor and the main window's mixture commands: a component
// named from the table gets its constants, a problem is shown at its field,
// k_ij stays symmetric, and the edited mixture, with the equation of state
// chosen, is the one saved, run and traced.
#include <QApplication>
#include <QComboBox>
#include <QXYSeries>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QPushButton>
#include <QStatusBar>

#include "casefile/case_file.h"
#include "components/component_table.h"
#include "envelope/case.h"
#include "envelope/memory_run.h"
#include "envelope/traced_overlay.h"
#include "interaction/interaction_table.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/mixture_editor.h"

#include "../test_mixtures.h"

using namespace envelope;

namespace {

void SetCell(QTableWidget& table, int row, int column, const QString& text)
{
    QTableWidgetItem* item = table.item(row, column);
    if (item == nullptr) {
        item = new QTableWidgetItem;
        table.setItem(row, column, item);
    }
    item->setText(text);
}

QString Cell(const QTableWidget& table, int row, int column)
{
    const QTableWidgetItem* item = table.item(row, column);
    return item == nullptr ? QString() : item->text();
}

} // namespace

class MixtureEditorTest : public QObject {
    Q_OBJECT

private slots:
    void tableNameFillsConstantsAndProblemsShowAtTheirField();
    void interactionParametersStaySymmetricAndFollowTheRows();
    void editedMixtureIsUsedNamedAndSaved();
    void editedMixtureIsRun();
    void fillFromTableSetsTheListedPairsAndSaysWhich();
    void unknownNamesTheSumOfZAndTheComponentLimit();
    void editsAreDiscardedOnlyWhenTheUserAgrees();
    void hostileNamesShowAsOneLineOfText();
};

void MixtureEditorTest::tableNameFillsConstantsAndProblemsShowAtTheirField()
{
    MixtureEditor editor(BuiltInMixture());
    QTableWidget& components = editor.components();
    QCOMPARE(components.rowCount(), 3);
    QCOMPARE(Cell(components, 2, MixtureEditor::TcColumn), QStringLiteral("568.6"));

    // Replacing octane by CO2 takes carbon dioxide's constants from the table.
    SetCell(components, 2, MixtureEditor::NameColumn, QStringLiteral("CO2"));
    const Component* co2 = FindComponent("carbon dioxide");
    QCOMPARE(Cell(components, 2, MixtureEditor::TcColumn).toDouble(), co2->criticalTemperature);
    QCOMPARE(Cell(components, 2, MixtureEditor::OmegaColumn).toDouble(), co2->acentricFactor);

    // A z that is no number, then one that is not positive, then a sum off 1:
    // each is shown at its field and keeps the mixture as it was.
    SetCell(components, 1, MixtureEditor::ZColumn, QStringLiteral("x"));
    QVERIFY(!editor.check());
    QVERIFY(editor.problem().contains("component 2 ('ethane'): z must be a number"));
    QCOMPARE(components.currentRow(), 1);
    QCOMPARE(components.currentColumn(), static_cast<int>(MixtureEditor::ZColumn));
    SetCell(components, 1, MixtureEditor::ZColumn, QStringLiteral("-0.15"));
    QVERIFY(editor.problem().isEmpty()); // an edit clears the shown problem
    QVERIFY(!editor.check());
    QVERIFY(editor.problem().contains("component 2 ('ethane'): z must be a finite number greater than 0"));
    SetCell(components, 1, MixtureEditor::ZColumn, QStringLiteral("0.3"));
    SetCell(components, 2, MixtureEditor::PcColumn, QStringLiteral("0"));
    QVERIFY(!editor.check());
    QCOMPARE(components.currentColumn(), static_cast<int>(MixtureEditor::PcColumn));
    SetCell(components, 2, MixtureEditor::PcColumn, QString::number(co2->criticalPressure));
    QVERIFY(!editor.check());
    QVERIFY(editor.problem().contains("sum to 1.15"));
    QCOMPARE(editor.mixture(), BuiltInMixture());

    editor.normaliseFeed();
    QVERIFY2(editor.check(), qPrintable(editor.problem()));
    const Mixture edited = editor.mixture();
    QCOMPARE(edited.componentNames.back(), std::string("CO2"));
    QCOMPARE(edited.criticalPressure.back(), co2->criticalPressure);
    QVERIFY(std::abs(edited.feed[1] - 0.3 / 1.15) < 1e-15);

    // A repeated component is the name's problem.
    SetCell(components, 0, MixtureEditor::NameColumn, QStringLiteral("carbon dioxide"));
    QVERIFY(!editor.check());
    QVERIFY(editor.problem().contains("component 3 ('CO2'): the same component as component 1"));
    QCOMPARE(components.currentRow(), 2);
    QCOMPARE(components.currentColumn(), static_cast<int>(MixtureEditor::NameColumn));
}

void MixtureEditorTest::interactionParametersStaySymmetricAndFollowTheRows()
{
    MixtureEditor editor(BuiltInMixture());
    QTableWidget& kij = editor.interactionParameters();
    QCOMPARE(kij.rowCount(), 3);
    QCOMPARE(kij.horizontalHeaderItem(2)->text(), QStringLiteral("octane"));
    SetCell(kij, 0, 2, QStringLiteral("0.05"));
    QCOMPARE(Cell(kij, 2, 0), QStringLiteral("0.05"));
    QVERIFY(editor.check());
    QCOMPARE(editor.mixture().Kij(2, 0), 0.05);

    SetCell(kij, 1, 2, QStringLiteral("1.5"));
    QVERIFY(!editor.check());
    QCOMPARE(editor.findChild<QTabWidget*>()->currentIndex(), 1);
    // The problem names the pair, not only the place.
    QVERIFY2(editor.problem().startsWith("k_ij of 'ethane' and 'octane' (row 2, column 3): "), qPrintable(editor.problem()));

    // Removing ethane takes its row and column of k_ij with it.
    editor.components().setCurrentCell(1, 0);
    editor.removeComponent();
    QCOMPARE(kij.rowCount(), 2);
    QCOMPARE(kij.columnCount(), 2);
    QCOMPARE(Cell(kij, 0, 1), QStringLiteral("0.05"));
    editor.addComponent();
    QCOMPARE(kij.rowCount(), 3);
    QVERIFY(!editor.check()); // the new row has no name yet
    QCOMPARE(editor.components().currentRow(), 2);
}

void MixtureEditorTest::editedMixtureIsUsedNamedAndSaved()
{
    Form1 form;
    QCOMPARE(form.mixture(), BuiltInMixture());
    Mixture binary = test::MethaneButaneFromTable();
    binary.name = "methane and n-butane";
    form.useMixture(binary, EosKind::PR78);
    form.chart().showForm();
    QCOMPARE(form.chart().form()->windowTitle(), QStringLiteral("Envelope \u2014 methane and n-butane \u2014 PR78"));

    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("binary.json"));
    QVERIFY(form.saveCase(file).isEmpty());
    form.useBuiltInCase();
    QCOMPARE(form.chart().form()->windowTitle(), QStringLiteral("Envelope"));
    QCOMPARE(form.equationOfState(), EosKind::SRK);
    QVERIFY(form.openCase(file).isEmpty());
    QCOMPARE(form.mixture(), binary);
    QCOMPARE(form.equationOfState(), EosKind::PR78);
    QVERIFY(form.openCase(folder.filePath(QStringLiteral("none.json"))).contains("none.json"));
    QCOMPARE(form.mixture(), binary);
}

void MixtureEditorTest::editedMixtureIsRun()
{
    Form1 form;
    // The editor is modal: edit it once it is open, then press OK.
    bool edited = false;
    QTimer::singleShot(0, &form, [&edited] {
        auto* editor = qobject_cast<MixtureEditor*>(QApplication::activeModalWidget());
        if (editor == nullptr)
            return;
        editor->mixtureName().setText(QStringLiteral("octane-rich"));
        SetCell(editor->interactionParameters(), 0, 2, QStringLiteral("0.04"));
        SetCell(editor->components(), 0, MixtureEditor::ZColumn, QStringLiteral("0.2"));
        SetCell(editor->components(), 2, MixtureEditor::ZColumn, QStringLiteral("0.65"));
        QComboBox& eos = editor->equationOfStateChoice();
        QCOMPARE(eos.currentText(), QStringLiteral("Soave-Redlich-Kwong"));
        eos.setCurrentIndex(eos.findData(QStringLiteral("PR")));
        QTest::mouseClick(editor->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
        edited = true;
    });
    form.editMixture();
    QVERIFY(edited);
    const Mixture mixture = form.mixture();
    QCOMPARE(mixture.name, std::string("octane-rich"));
    QCOMPARE(mixture.Kij(2, 0), 0.04);
    QCOMPARE(mixture.feed, (std::vector<double>{0.2, 0.15, 0.65}));
    QCOMPARE(form.equationOfState(), EosKind::PR);

    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    const MemoryRun expected = RunInMemory(mixture, PengRobinson1976);
    QCOMPARE(expected.result.report.outcome, RunOutcome::Completed);
    QVERIFY(expected.bubbleTable.rowCount() > 3 && expected.dewTable.rowCount() > 3);
    for (const auto& [shown, computed] : {std::pair<const Table*, const MemoryTable*>{&form.bubbleTable(), &expected.bubbleTable},
                                          {&form.dewTable(), &expected.dewTable},
                                          {&form.splineTable(), &expected.interpolationTable}}) {
        QCOMPARE(shown->rowCount(), computed->rowCount());
        for (int row = 0; row < shown->rowCount(); ++row)
            for (int column = 0; column < Table::ColumnCount; ++column)
                QCOMPARE(shown->readCell(row, column), computed->readCell(row, column));
    }
    QVERIFY(form.chart().form() != nullptr);
    QCOMPARE(form.chart().form()->windowTitle(), QStringLiteral("Envelope \u2014 octane-rich \u2014 PR"));

    // The traced envelope shown is the Peng-Robinson one.
    form.chart().form()->showTracedAction().setChecked(true);
    const TracedOverlay traced = TracedOverlayOf(mixture, PengRobinson1976);
    QVERIFY(!traced.markers.empty() && traced.markers[0].name == "critical point");
    QCOMPARE(form.chart().form()->tracedSeries().at(1)->at(0),
             QPointF(traced.markers[0].temperature, traced.markers[0].pressure));
    QVERIFY(traced.markers[0].temperature != TracedOverlayOf(mixture, SoaveRedlichKwong).markers[0].temperature);
}

void MixtureEditorTest::fillFromTableSetsTheListedPairsAndSaysWhich()
{
    Mixture m;
    m.componentNames = {"N2", "methane", "C8 cut"};
    m.criticalTemperature = {126.2, 190.56, 575.0};
    m.criticalPressure = {33.98, 45.99, 25.0};
    m.acentricFactor = {0.037, 0.011, 0.41};
    m.feed = {0.1, 0.8, 0.1};
    m.kij = {0, 0, 0, 0, 0, 0.05, 0, 0.05, 0};
    MixtureEditor editor(m);
    QTableWidget& kij = editor.interactionParameters();
    QVERIFY(editor.tableNote().isEmpty());
    QTest::mouseClick(editor.findChild<QPushButton*>(QStringLiteral("FillKijFromTable")), Qt::LeftButton);

    // The table's pair, on both sides of the diagonal; the cut's own value is kept.
    const double listed = FindInteraction("N2", "methane", EosKind::SRK)->kij;
    QCOMPARE(Cell(kij, 0, 1).toDouble(), listed);
    QCOMPARE(Cell(kij, 1, 0).toDouble(), listed);
    QCOMPARE(Cell(kij, 1, 2), QStringLiteral("0.05"));
    QCOMPARE(editor.findChild<QTabWidget*>()->currentIndex(), 1);
    QVERIFY2(editor.tableNote().contains("N2/methane"), qPrintable(editor.tableNote()));
    QVERIFY(!editor.tableNote().contains("C8 cut"));

    // With a value of its own the matrix is saved as numbers ...
    QVERIFY(editor.check());
    QCOMPARE(editor.mixture().Kij(1, 0), listed);
    QVERIFY(!editor.mixture().kijFromTable);
    // ... and once it holds only the table's, as "table".
    SetCell(kij, 1, 2, QString());
    QVERIFY(editor.check());
    QVERIFY(editor.mixture().kijFromTable);
    QVERIFY(CaseJson(editor.mixture()).contains(R"("kij": "table")"));

    // A case that said "table" opens with its pairs named in the status line.
    Form1 form;
    form.useMixture(editor.mixture());
    QVERIFY2(form.statusLine().currentMessage().contains("N2/methane"), qPrintable(form.statusLine().currentMessage()));
}

void MixtureEditorTest::unknownNamesTheSumOfZAndTheComponentLimit()
{
    MixtureEditor editor(BuiltInMixture());
    QTableWidget& components = editor.components();
    QCOMPARE(editor.feedSum().text(), QStringLiteral("Sum of z: 1"));

    // A name the table does not know is said to be so at once, and again
    // when its constants are missing.
    editor.addComponent();
    SetCell(components, 3, MixtureEditor::NameColumn, QStringLiteral("unobtainium"));
    QVERIFY2(editor.problem().contains("component 4 ('unobtainium'): not in the component table"),
             qPrintable(editor.problem()));
    SetCell(components, 3, MixtureEditor::ZColumn, QStringLiteral("0.1"));
    QCOMPARE(editor.feedSum().text(), QStringLiteral("Sum of z: 1.1, not 1"));
    QVERIFY(!editor.check());
    QVERIFY2(editor.problem().contains("component 4 ('unobtainium'): not in the component table"),
             qPrintable(editor.problem()));
    SetCell(components, 3, MixtureEditor::ZColumn, QStringLiteral("x"));
    QCOMPARE(editor.feedSum().text(), QStringLiteral("Sum of z: not every z is a number"));

    // Add stops at the largest mixture.
    while (components.rowCount() < static_cast<int>(MaxComponentCount)) {
        QVERIFY(editor.addButton().isEnabled());
        editor.addComponent();
    }
    QVERIFY(!editor.addButton().isEnabled());
    editor.addComponent();
    QCOMPARE(components.rowCount(), static_cast<int>(MaxComponentCount));
    editor.removeComponent();
    QVERIFY(editor.addButton().isEnabled());
}

void MixtureEditorTest::editsAreDiscardedOnlyWhenTheUserAgrees()
{
    // Nothing edited: Cancel closes at once.
    {
        MixtureEditor editor(BuiltInMixture());
        editor.show();
        editor.reject();
        QCOMPARE(editor.result(), static_cast<int>(QDialog::Rejected));
        QVERIFY(!editor.isVisible());
    }
    MixtureEditor editor(BuiltInMixture());
    editor.show();
    SetCell(editor.components(), 0, MixtureEditor::ZColumn, QStringLiteral("0.2"));
    QVERIFY(editor.edited());
    const auto answer = [](QMessageBox::StandardButton button, QString* asked) {
        QTimer::singleShot(0, [button, asked] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr)
                return;
            *asked = box->objectName() + QLatin1Char(':') + box->text();
            box->button(button)->click();
        });
    };
    QString asked;
    answer(QMessageBox::Cancel, &asked);
    editor.reject();
    QCOMPARE(asked, QStringLiteral("DiscardEdits:Discard the changes to the mixture?"));
    QVERIFY(editor.isVisible());
    asked.clear();
    answer(QMessageBox::Discard, &asked);
    editor.reject();
    QVERIFY(!asked.isEmpty());
    QVERIFY(!editor.isVisible());
    QCOMPARE(editor.mixture(), BuiltInMixture());
}

// A name with markup and a line break is shown quoted and escaped, as text:
// in the editor's problem, and in the message of a case that is refused.
void MixtureEditorTest::hostileNamesShowAsOneLineOfText()
{
    const QString hostile = QStringLiteral("<b>eth\nane</b>");
    const QString shown = QStringLiteral("component 2 ('<b>eth\\nane</b>')");
    MixtureEditor editor(BuiltInMixture());
    SetCell(editor.components(), 1, MixtureEditor::NameColumn, hostile);
    SetCell(editor.components(), 1, MixtureEditor::ZColumn, QStringLiteral("x"));
    QVERIFY(!editor.check());
    QVERIFY2(editor.problem().startsWith(shown + ": z must be a number"), qPrintable(editor.problem()));
    QCOMPARE(editor.findChild<QLabel*>(QStringLiteral("Problem"))->textFormat(), Qt::PlainText);

    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("bad\nname.json"));
    QFile json(file);
    QVERIFY(json.open(QIODevice::WriteOnly));
    json.write(R"({"components": [{"name": "methane", "z": 0.5}, {"name": "<b>eth\nane</b>", "z": 0.5}]})");
    json.close();
    const QString problem = ReadCaseFile(file).problem;
    QVERIFY2(problem.contains("bad\\nname.json': " + shown + ": not in the component table"), qPrintable(problem));

    Form1 form;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QTimer::singleShot(0, &form, [file] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            dialog->selectFile(file);
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        }
    });
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            text = box->text();
            format = box->textFormat();
            box->accept();
        }
    });
    poll.start(10);
    form.askAndOpenCase();
    QCOMPARE(text, "The case could not be opened: " + problem);
    QCOMPARE(format, Qt::PlainText);
}

QTEST_MAIN(MixtureEditorTest)
#include "mixture_editor_test.moc"
