#include "platform/Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace plat {

namespace {

// A settings file larger than this is not ours; reading it would only waste memory.
constexpr qint64 MaxFileSize = 32 * 1024 * 1024;

QString escaped(const QString &s)
{
    QString out;
    out.reserve(s.size() + 2);
    out += QLatin1Char('"');
    for (QChar c : s) {
        switch (c.unicode()) {
        case '\\': out += QLatin1String("\\\\"); break;
        case '"': out += QLatin1String("\\\""); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\t': out += QLatin1String("\\t"); break;
        default: out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

// Reads a quoted string starting at line[pos] == '"'; on success pos is just past the
// closing quote.
bool parseQuoted(const QString &line, qsizetype &pos, QString &out)
{
    if (pos >= line.size() || line[pos] != QLatin1Char('"'))
        return false;
    out.clear();
    for (qsizetype i = pos + 1; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == QLatin1Char('"')) {
            pos = i + 1;
            return true;
        }
        if (c != QLatin1Char('\\')) {
            out += c;
            continue;
        }
        if (++i >= line.size())
            return false;
        switch (line[i].unicode()) {
        case '\\': out += QLatin1Char('\\'); break;
        case '"': out += QLatin1Char('"'); break;
        case 'r': out += QLatin1Char('\r'); break;
        case 'n': out += QLatin1Char('\n'); break;
        case 't': out += QLatin1Char('\t'); break;
        default: return false;
        }
    }
    return false;   // no closing quote
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

} // namespace

QString Registry::defaultFilePath()
{
    const QString home = qEnvironmentVariable("OSTRAVEL_HOME");
    const QString folder = home.isEmpty()
        ? QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) : home;
    return QDir::cleanPath(folder + QStringLiteral("/settings.reg"));
}

Registry &Registry::user()
{
    static Registry store = [] {
        Registry r(defaultFilePath());
        r.load();
        return r;
    }();
    return store;
}

std::optional<QString> Registry::normalise(const QString &key)
{
    QString k = key;
    while (k.startsWith(QLatin1Char('\\')))
        k.remove(0, 1);
    while (k.endsWith(QLatin1Char('\\')))
        k.chop(1);
    if (k.isEmpty() || k.contains(QLatin1String("\\\\")))
        return std::nullopt;
    for (QChar c : k)
        if (c.unicode() < 0x20)
            return std::nullopt;   // control characters would break the file's lines
    return k;
}

bool Registry::keyExists(const QString &key) const
{
    const auto k = normalise(key);
    return k && m_keys.count(fold(*k)) != 0;
}

bool Registry::createKey(const QString &key)
{
    const auto k = normalise(key);
    if (!k)
        return false;
    const QStringList parts = k->split(QLatin1Char('\\'));
    QString path;
    for (const QString &part : parts) {
        if (!path.isEmpty())
            path += QLatin1Char('\\');
        path += part;
        auto [it, inserted] = m_keys.try_emplace(fold(path));
        if (inserted)
            it->second.path = path;
    }
    return true;
}

bool Registry::deleteKey(const QString &key)
{
    const auto k = normalise(key);
    if (!k)
        return false;
    const QString f = fold(*k);
    const QString prefix = f + QLatin1Char('\\');
    bool any = false;
    for (auto it = m_keys.begin(); it != m_keys.end();) {
        if (it->first == f || it->first.startsWith(prefix)) {
            it = m_keys.erase(it);
            any = true;
        } else {
            ++it;
        }
    }
    return any;
}

QStringList Registry::subKeys(const QString &key) const
{
    QString prefix;
    if (!key.isEmpty() && key != QLatin1String("\\")) {
        const auto k = normalise(key);
        if (!k)
            return {};
        prefix = fold(*k) + QLatin1Char('\\');
    }
    QStringList out;
    for (const auto &[folded, entry] : m_keys) {
        if (!folded.startsWith(prefix))
            continue;
        const QString rest = folded.mid(prefix.size());
        if (!rest.isEmpty() && !rest.contains(QLatin1Char('\\')))
            out.append(entry.path.mid(prefix.size()));
    }
    return out;
}

const Registry::Value *Registry::find(const QString &key, const QString &name) const
{
    const auto k = normalise(key);
    if (!k)
        return nullptr;
    const auto it = m_keys.find(fold(*k));
    if (it == m_keys.end())
        return nullptr;
    const auto v = it->second.values.find(fold(name));
    return v == it->second.values.end() ? nullptr : &v->second;
}

Registry::Value *Registry::slot(const QString &key, const QString &name)
{
    const auto k = normalise(key);
    if (!k)
        return nullptr;
    const auto it = m_keys.find(fold(*k));
    if (it == m_keys.end())
        return nullptr;
    for (QChar c : name)
        if (c.unicode() < 0x20 && c != QLatin1Char('\t'))
            return nullptr;
    Value &v = it->second.values[fold(name)];
    if (v.type == RegType::None)
        v.name = name;
    v.dword = 0;
    v.string.clear();
    v.binary.clear();
    return &v;
}

RegType Registry::valueType(const QString &key, const QString &name) const
{
    const Value *v = find(key, name);
    return v ? v->type : RegType::None;
}

QStringList Registry::valueNames(const QString &key) const
{
    const auto k = normalise(key);
    if (!k)
        return {};
    const auto it = m_keys.find(fold(*k));
    if (it == m_keys.end())
        return {};
    QStringList out;
    for (const auto &[folded, v] : it->second.values)
        out.append(v.name);
    return out;
}

std::optional<uint32_t> Registry::readDword(const QString &key, const QString &name) const
{
    const Value *v = find(key, name);
    if (!v || v->type != RegType::Dword)
        return std::nullopt;
    return v->dword;
}

std::optional<QString> Registry::readString(const QString &key, const QString &name) const
{
    const Value *v = find(key, name);
    if (!v || v->type != RegType::String)
        return std::nullopt;
    return v->string;
}

std::optional<QByteArray> Registry::readBinary(const QString &key, const QString &name) const
{
    const Value *v = find(key, name);
    if (!v || v->type != RegType::Binary)
        return std::nullopt;
    return v->binary;
}

bool Registry::writeDword(const QString &key, const QString &name, uint32_t value)
{
    Value *v = slot(key, name);
    if (!v)
        return false;
    v->type = RegType::Dword;
    v->dword = value;
    return true;
}

bool Registry::writeString(const QString &key, const QString &name, const QString &value)
{
    Value *v = slot(key, name);
    if (!v)
        return false;
    v->type = RegType::String;
    v->string = value;
    return true;
}

bool Registry::writeBinary(const QString &key, const QString &name, const QByteArray &value)
{
    Value *v = slot(key, name);
    if (!v)
        return false;
    v->type = RegType::Binary;
    v->binary = value;
    return true;
}

bool Registry::deleteValue(const QString &key, const QString &name)
{
    const auto k = normalise(key);
    if (!k)
        return false;
    const auto it = m_keys.find(fold(*k));
    return it != m_keys.end() && it->second.values.erase(fold(name)) != 0;
}

QByteArray Registry::toText() const
{
    QString out = QStringLiteral("; Ostravel settings\n");
    for (const auto &[folded, key] : m_keys) {
        out += QLatin1Char('\n');
        out += QLatin1Char('[') + key.path + QLatin1String("]\n");
        for (const auto &[vf, v] : key.values) {
            out += v.name.isEmpty() ? QStringLiteral("@") : escaped(v.name);
            out += QLatin1Char('=');
            switch (v.type) {
            case RegType::Dword:
                out += QStringLiteral("dword:%1").arg(v.dword, 8, 16, QLatin1Char('0'));
                break;
            case RegType::String:
                out += escaped(v.string);
                break;
            case RegType::Binary: {
                out += QLatin1String("hex:");
                const QByteArray hex = v.binary.toHex(',');
                out += QString::fromLatin1(hex);
                break;
            }
            case RegType::None:
                break;
            }
            out += QLatin1Char('\n');
        }
    }
    return out.toUtf8();
}

void Registry::fromText(const QByteArray &text)
{
    m_keys.clear();
    const QString all = QString::fromUtf8(text);
    QString current;            // empty: no valid key header yet
    qsizetype start = 0;
    while (start <= all.size()) {
        qsizetype end = all.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = all.size();
        const QString line = all.mid(start, end - start).trimmed();
        start = end + 1;
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;

        if (line.startsWith(QLatin1Char('['))) {
            current.clear();
            if (line.endsWith(QLatin1Char(']'))) {
                const QString path = line.mid(1, line.size() - 2);
                if (createKey(path))
                    current = path;
            }
            continue;
        }
        if (current.isEmpty())
            continue;

        // name=data
        QString name;
        qsizetype pos = 0;
        if (line.startsWith(QLatin1Char('@'))) {
            pos = 1;
        } else if (!parseQuoted(line, pos, name)) {
            continue;
        }
        if (pos >= line.size() || line[pos] != QLatin1Char('='))
            continue;
        ++pos;
        const QString data = line.mid(pos);

        if (data.startsWith(QLatin1Char('"'))) {
            QString s;
            qsizetype p = 0;
            if (parseQuoted(data, p, s) && p == data.size())
                writeString(current, name, s);
        } else if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
            const QString digits = data.mid(6);
            if (digits.isEmpty() || digits.size() > 8)
                continue;
            uint32_t value = 0;
            bool ok = true;
            for (QChar c : digits) {
                const int d = hexDigit(c);
                if (d < 0) { ok = false; break; }
                value = value << 4 | uint32_t(d);
            }
            if (ok)
                writeDword(current, name, value);
        } else if (data.startsWith(QLatin1String("hex:"), Qt::CaseInsensitive)) {
            const QString body = data.mid(4);
            QByteArray bytes;
            bool ok = true;
            if (!body.isEmpty()) {
                const QStringList parts = body.split(QLatin1Char(','));
                bytes.reserve(parts.size());
                for (const QString &part : parts) {
                    const QString t = part.trimmed();
                    if (t.size() != 2 || hexDigit(t[0]) < 0 || hexDigit(t[1]) < 0) { ok = false; break; }
                    bytes.append(char(hexDigit(t[0]) << 4 | hexDigit(t[1])));
                }
            }
            if (ok)
                writeBinary(current, name, bytes);
        }
    }
}

bool Registry::load()
{
    m_keys.clear();
    if (m_file.isEmpty())
        return false;
    QFile f(m_file);
    if (!f.exists())
        return true;
    if (!f.open(QIODevice::ReadOnly) || f.size() > MaxFileSize)
        return false;
    const QByteArray bytes = f.read(MaxFileSize + 1);
    if (bytes.size() > MaxFileSize)
        return false;
    fromText(bytes);
    return true;
}

bool Registry::save() const
{
    if (m_file.isEmpty())
        return false;
    if (!QDir().mkpath(QFileInfo(m_file).absolutePath()))
        return false;
    QSaveFile f(m_file);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const QByteArray text = toText();
    if (f.write(text) != text.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

} // namespace plat
