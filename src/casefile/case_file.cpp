#include "casefile/case_file.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QStringList>

#include "components/component_table.h"
#include "interaction/interaction_table.h"
#include "text/quoted_name.h"
#include "validation/mixture_check.h"

namespace envelope {

namespace {

const QStringList CaseKeys = {"name", "components", "kij", "eos"};
const QStringList ComponentKeys = {"name", "z", "tc", "pc", "omega"};

QString Text(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// Line and column (both from 1) of a byte offset into the text.
QString LineAndColumn(const QByteArray& text, qsizetype offset)
{
    offset = std::clamp<qsizetype>(offset, 0, text.size());
    const QByteArray before = text.left(offset);
    const qsizetype lineStart = before.lastIndexOf('\n') + 1;
    return QString("line %1, column %2").arg(before.count('\n') + 1).arg(offset - lineStart + 1);
}

QString UnknownKey(const QJsonObject& object, const QStringList& known)
{
    for (const QString& key : object.keys())
        if (!known.contains(key))
            return key;
    return {};
}

// Reads a JSON number into value; false when it is not one.
bool ReadNumber(const QJsonValue& json, double& value)
{
    if (!json.isDouble())
        return false;
    value = json.toDouble();
    return true;
}

// Reads the components into the mixture; the problem, or an empty text.
QString ReadComponents(const QJsonArray& components, Mixture& m)
{
    for (qsizetype i = 0; i < components.size(); ++i) {
        const QString place = QString("component %1").arg(i + 1);
        if (!components[i].isObject())
            return place + ": not an object";
        const QJsonObject component = components[i].toObject();
        const QString unknown = UnknownKey(component, ComponentKeys);
        if (!unknown.isEmpty())
            return place + QString(": unknown key \"%1\" (known: %2)").arg(unknown, ComponentKeys.join(", "));
        if (!component.value("name").isString())
            return place + ": \"name\" must be given as a text";
        const QString name = component.value("name").toString();
        const QString named = QString("component %1 (%2)").arg(i + 1).arg(name);
        double z = 0.0;
        if (!ReadNumber(component.value("z"), z))
            return named + ": \"z\" must be given as a number";

        double constants[3] = {};
        const Component* known = FindComponent(name.toStdString());
        if (known != nullptr) {
            constants[0] = known->criticalTemperature;
            constants[1] = known->criticalPressure;
            constants[2] = known->acentricFactor;
        }
        QStringList missing;
        const char* keys[3] = {"tc", "pc", "omega"};
        for (int k = 0; k < 3; ++k) {
            const QJsonValue value = component.value(QLatin1String(keys[k]));
            if (value.isUndefined()) {
                if (known == nullptr)
                    missing << keys[k];
            } else if (!ReadNumber(value, constants[k])) {
                return named + QString(": \"%1\" must be a number").arg(keys[k]);
            }
        }
        if (!missing.isEmpty())
            return named + QString(": not in the component table, so give its %1").arg(missing.join(", "));

        m.componentNames.push_back(name.toStdString());
        m.feed.push_back(z);
        m.criticalTemperature.push_back(constants[0]);
        m.criticalPressure.push_back(constants[1]);
        m.acentricFactor.push_back(constants[2]);
    }
    return {};
}

// The word that takes k_ij from the interaction table.
const QString KijTable = QStringLiteral("table");

// Reads k_ij into the mixture, row-major, or takes them from the interaction
// table of the equation of state; the problem, or an empty text.
QString ReadInteractionParameters(const QJsonValue& json, EosKind eos, Mixture& m)
{
    const qsizetype n = static_cast<qsizetype>(m.componentNames.size());
    if (json.isString() && json.toString() == KijTable) {
        ApplyInteractionTable(m, eos);
        return {};
    }
    if (!json.isArray())
        return "kij: must be an array of rows or \"table\"";
    const QJsonArray rows = json.toArray();
    if (rows.size() != n)
        return QString("kij: %1 rows for %2 components").arg(rows.size()).arg(n);
    for (qsizetype i = 0; i < n; ++i) {
        if (!rows[i].isArray() || rows[i].toArray().size() != n)
            return QString("kij row %1: must be an array of %2 numbers").arg(i + 1).arg(n);
        const QJsonArray row = rows[i].toArray();
        for (qsizetype j = 0; j < n; ++j) {
            double k = 0.0;
            if (!ReadNumber(row[j], k))
                return QString("kij row %1, column %2: not a number").arg(i + 1).arg(j + 1);
            m.kij.push_back(k);
        }
    }
    return {};
}

// Reads the equation of state's name; the problem, or an empty text.
QString ReadEquationOfState(const QJsonValue& json, EosKind& eos)
{
    QStringList known;
    for (EosKind kind : EosKinds)
        known << Text(EosName(kind));
    const QString expected = QString("(known: %1)").arg(known.join(", "));
    if (!json.isString())
        return "\"eos\" must be the name of an equation of state " + expected;
    const std::optional<EosKind> kind = EosKindNamed(json.toString().toStdString());
    if (!kind)
        return QString("\"eos\": unknown equation of state %1 %2")
            .arg(QString::fromStdString(QuotedName(json.toString().toStdString())), expected);
    eos = *kind;
    return {};
}

QString ReadCase(const QByteArray& json, Mixture& m, EosKind& eos)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        return LineAndColumn(json, error.offset) + ": " + error.errorString();
    if (!document.isObject())
        return "line 1, column 1: the case must be a JSON object";
    const QJsonObject root = document.object();
    const QString unknown = UnknownKey(root, CaseKeys);
    if (!unknown.isEmpty())
        return QString("unknown key \"%1\" (known: %2)").arg(unknown, CaseKeys.join(", "));
    if (root.contains("name")) {
        if (!root.value("name").isString())
            return "\"name\" must be a text";
        m.name = root.value("name").toString().toStdString();
    }
    if (!root.value("components").isArray())
        return "\"components\" must be given as an array";
    const QJsonArray components = root.value("components").toArray();
    if (components.size() < static_cast<qsizetype>(MinComponentCount) ||
        components.size() > static_cast<qsizetype>(MaxComponentCount))
        return QString("%1 components: a mixture has %2 to %3")
            .arg(components.size())
            .arg(MinComponentCount)
            .arg(MaxComponentCount);
    QString problem = ReadComponents(components, m);
    // The equation of state first: the interaction table's k_ij are its own.
    if (problem.isEmpty() && root.contains("eos"))
        problem = ReadEquationOfState(root.value("eos"), eos);
    if (problem.isEmpty() && root.contains("kij"))
        problem = ReadInteractionParameters(root.value("kij"), eos, m);
    // All k_ij zero is the same mixing rule as none given.
    if (problem.isEmpty() && !m.HasInteractionParameters())
        m.kij.clear();
    if (problem.isEmpty())
        problem = QString::fromStdString(CheckMixture(m).text);
    return problem;
}

} // namespace

CaseReading ParseCase(const QByteArray& json, const QString& fileName)
{
    CaseReading reading;
    const QString problem = ReadCase(json, reading.mixture, reading.eos);
    if (!problem.isEmpty()) {
        reading.mixture = Mixture();
        reading.eos = EosKind::SRK;
        reading.problem = fileName + ": " + problem;
    }
    return reading;
}

CaseReading ReadCaseFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        CaseReading reading;
        reading.problem = fileName + ": cannot be read: " + file.errorString();
        return reading;
    }
    return ParseCase(file.readAll(), fileName);
}

QByteArray CaseJson(const Mixture& m, EosKind eos)
{
    QJsonObject root;
    if (!m.name.empty())
        root.insert("name", QString::fromStdString(m.name));
    QJsonArray components;
    const std::size_t n = m.componentNames.size();
    for (std::size_t i = 0; i < n; ++i) {
        QJsonObject component;
        component.insert("name", QString::fromStdString(m.componentNames[i]));
        component.insert("z", m.feed[i]);
        const Component* known = FindComponent(m.componentNames[i]);
        if (known == nullptr || known->criticalTemperature != m.criticalTemperature[i])
            component.insert("tc", m.criticalTemperature[i]);
        if (known == nullptr || known->criticalPressure != m.criticalPressure[i])
            component.insert("pc", m.criticalPressure[i]);
        if (known == nullptr || known->acentricFactor != m.acentricFactor[i])
            component.insert("omega", m.acentricFactor[i]);
        components.append(component);
    }
    root.insert("components", components);
    if (m.kijFromTable && MatchesInteractionTable(m, eos)) {
        root.insert("kij", KijTable);
    } else if (m.HasInteractionParameters() && m.kij.size() == n * n) {
        QJsonArray rows;
        for (std::size_t i = 0; i < n; ++i) {
            QJsonArray row;
            for (std::size_t j = 0; j < n; ++j)
                row.append(m.kij[i * n + j]);
            rows.append(row);
        }
        root.insert("kij", rows);
    }
    if (eos != EosKind::SRK)
        root.insert("eos", Text(EosName(eos)));
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

} // namespace envelope
