#include "casefile/case_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QSet>
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

// A name from the case, quoted for a one-line message.
QString Quoted(const QString& name)
{
    return QString::fromStdString(QuotedName(name.toStdString()));
}

// The text of one JSON string, quotes included, as Qt reads it.
QString DecodedString(const QByteArray& token)
{
    return QJsonDocument::fromJson("[" + token + "]").array().at(0).toString();
}

// Qt's parser reads what strict JSON forbids: control characters inside a
// string, unknown escapes (it reads "\x" as "x"), and the same key twice in
// one object, of which the last wins. Each is refused here at its place;
// Qt has already found the text well-formed otherwise.
QString StrictJsonProblem(const QByteArray& json)
{
    struct Level {
        bool object;
        bool keyNext; // the next string of an object is a key
        QSet<QString> keys;
    };
    std::vector<Level> levels;
    for (qsizetype i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (c == '{' || c == '[') {
            levels.push_back({c == '{', c == '{', {}});
        } else if ((c == '}' || c == ']') && !levels.empty()) {
            levels.pop_back();
        } else if (c == ',' && !levels.empty()) {
            levels.back().keyNext = levels.back().object;
        } else if (c == '"') {
            const qsizetype start = i;
            for (++i; i < json.size() && json[i] != '"'; ++i) {
                const auto byte = static_cast<unsigned char>(json[i]);
                if (byte < 0x20)
                    return LineAndColumn(json, i) +
                           QString(": control character %1 inside a string; write it as \\u%2")
                               .arg(QString::fromStdString(QuotedName(std::string(1, json[i]))))
                               .arg(byte, 4, 16, QLatin1Char('0'));
                if (byte == '\\' && ++i < json.size() &&
                    std::string_view("\"\\/bfnrtu").find(json[i]) == std::string_view::npos)
                    return LineAndColumn(json, i - 1) + ": unknown escape " +
                           QString::fromStdString(QuotedName(json.mid(i - 1, 2).toStdString())) + " in a string";
            }
            Level* level = levels.empty() ? nullptr : &levels.back();
            if (level != nullptr && level->keyNext) {
                level->keyNext = false;
                const QString key = DecodedString(json.mid(start, i - start + 1));
                if (level->keys.contains(key))
                    return LineAndColumn(json, start) + ": key " + Quoted(key) + " given twice in one object";
                level->keys.insert(key);
            }
        }
    }
    return {};
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
            return place + QString(": unknown key %1 (known: %2)").arg(Quoted(unknown), ComponentKeys.join(", "));
        if (!component.value("name").isString())
            return place + ": \"name\" must be given as a text";
        const QString name = component.value("name").toString();
        m.componentNames.push_back(name.toStdString());
        const QString named = QString::fromStdString(ComponentPlace(m, static_cast<int>(i)));
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
    if (const QString problem = StrictJsonProblem(json); !problem.isEmpty())
        return problem;
    if (!document.isObject())
        return "line 1, column 1: the case must be a JSON object";
    const QJsonObject root = document.object();
    const QString unknown = UnknownKey(root, CaseKeys);
    if (!unknown.isEmpty())
        return QString("unknown key %1 (known: %2)").arg(Quoted(unknown), CaseKeys.join(", "));
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

CaseReading ParseCase(const QByteArray& json, const std::string& fileName)
{
    CaseReading reading;
    const QString problem = ReadCase(json, reading.mixture, reading.eos);
    if (!problem.isEmpty()) {
        reading.mixture = Mixture();
        reading.eos = EosKind::SRK;
        reading.problem = QString::fromStdString(QuotedName(fileName)) + ": " + problem;
    }
    return reading;
}

CaseReading ReadCaseFile(const std::string& fileName)
{
    CaseReading refused;
    const auto refuse = [&](const std::string& why) {
        refused.problem = QString::fromStdString(QuotedName(fileName) + ": " + why);
        return refused;
    };
    const int descriptor = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0)
        return refuse(std::string("cannot be read: ") + std::strerror(errno));
    const std::string tooLarge = "larger than 1 MiB, the most a case file may hold";
    // A regular file is refused by its size; anything else (a pipe, a
    // device) by what it gives, read no further than one byte past the limit.
    struct stat status {};
    if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > MaxCaseFileSize) {
        ::close(descriptor);
        return refuse(tooLarge);
    }
    QByteArray json(MaxCaseFileSize + 1, Qt::Uninitialized);
    qsizetype size = 0;
    int error = 0;
    while (size < json.size()) {
        const ssize_t got = ::read(descriptor, json.data() + size, static_cast<std::size_t>(json.size() - size));
        if (got == 0)
            break;
        if (got < 0 && errno != EINTR) {
            error = errno;
            break;
        }
        size += std::max<ssize_t>(got, 0);
    }
    ::close(descriptor);
    if (error != 0)
        return refuse(std::string("cannot be read: ") + std::strerror(error));
    if (size > MaxCaseFileSize)
        return refuse(tooLarge);
    json.truncate(size);
    return ParseCase(json, fileName);
}

CaseReading ReadCaseFile(const QString& fileName)
{
    return ReadCaseFile(QFile::encodeName(fileName).toStdString());
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
