#include "order/OrderSettings.h"

#include "platform/ProgramFolder.h"

#include <QFile>
#include <QSaveFile>

#include <climits>

namespace order {

namespace {

// Longest value read for each customer key: the record field less its terminating zero.
int customerMaxLength(const CustomerField &f)
{
    return maxLength(f);
}

bool isSectionLine(const QString &line, QString *name)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')) || !t.endsWith(QLatin1Char(']')))
        return false;
    if (name)
        *name = t.mid(1, t.size() - 2).trimmed();
    return true;
}

} // namespace

bool IniFile::load(const QString &path)
{
    m_lines.clear();
    QFile f(path);
    // A settings file is a few hundred bytes; a huge one is not ours and is not read.
    if (!f.open(QIODevice::ReadOnly) || f.size() > 1024 * 1024)
        return false;
    const QString text = QString::fromUtf8(f.readAll());
    m_lines = text.split(QLatin1Char('\n'));
    for (QString &l : m_lines)
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
    while (!m_lines.isEmpty() && m_lines.last().isEmpty())
        m_lines.removeLast();
    return true;
}

bool IniFile::save(const QString &path) const
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = (m_lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    if (f.write(bytes) != bytes.size() || !f.flush()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

int IniFile::findSection(const QString &section) const
{
    for (int i = 0; i < m_lines.size(); ++i) {
        QString name;
        if (isSectionLine(m_lines[i], &name) && name.compare(section, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int IniFile::findKey(int sectionLine, const QString &key, int *insertAt) const
{
    int last = sectionLine;
    for (int i = sectionLine + 1; i < m_lines.size(); ++i) {
        const QString &l = m_lines[i];
        if (isSectionLine(l, nullptr))
            break;
        const QString t = l.trimmed();
        if (t.isEmpty() || t.startsWith(QLatin1Char(';')))
            continue;
        last = i;
        const int eq = l.indexOf(QLatin1Char('='));
        if (eq > 0 && l.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    if (insertAt)
        *insertAt = last + 1;
    return -1;
}

QString IniFile::value(const QString &section, const QString &key, int maxLength) const
{
    const int s = findSection(section);
    if (s < 0)
        return {};
    const int k = findKey(s, key, nullptr);
    if (k < 0)
        return {};
    const QString &l = m_lines[k];
    QString v = l.mid(l.indexOf(QLatin1Char('=')) + 1).trimmed();
    if (v.size() >= 2 && ((v.startsWith(QLatin1Char('"')) && v.endsWith(QLatin1Char('"')))
                          || (v.startsWith(QLatin1Char('\'')) && v.endsWith(QLatin1Char('\'')))))
        v = v.mid(1, v.size() - 2);
    return v.left(maxLength);
}

int IniFile::intValue(const QString &section, const QString &key) const
{
    const QString v = value(section, key);
    int i = 0;
    bool negative = false;
    if (i < v.size() && (v[i] == QLatin1Char('-') || v[i] == QLatin1Char('+')))
        negative = v[i++] == QLatin1Char('-');
    qint64 n = 0;
    for (; i < v.size() && v[i].isDigit() && v[i].unicode() < 128; ++i) {
        n = n * 10 + (v[i].unicode() - '0');
        if (n > INT_MAX)
            return 0;
    }
    return int(negative ? -n : n);
}

void IniFile::setValue(const QString &section, const QString &key, const QString &value)
{
    QString v = value;
    v.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QString line = key + QLatin1Char('=') + v;
    int s = findSection(section);
    if (s < 0) {
        if (!m_lines.isEmpty() && !m_lines.last().trimmed().isEmpty())
            m_lines << QString();
        m_lines << QLatin1Char('[') + section + QLatin1Char(']') << line;
        return;
    }
    int insertAt = 0;
    const int k = findKey(s, key, &insertAt);
    if (k >= 0)
        m_lines[k] = line;
    else
        m_lines.insert(insertAt, line);
}

QString orderSettingsPath()
{
    return plat::ProgramFolder::current().writablePath(QStringLiteral("owiz.ini"));
}

OrderSettings loadOrderSettings(const QString &path)
{
    OrderSettings s;
    IniFile ini;
    if (!ini.load(path))
        return s;
    s.proxyServer = ini.value(QStringLiteral("Proxy"), QStringLiteral("Server"), 259);
    s.proxyPort = ini.intValue(QStringLiteral("Proxy"), QStringLiteral("Port"));
    for (const CustomerField &f : customerFields())
        if (*f.iniKey)
            s.customer.*f.member = ini.value(QStringLiteral("Customer"), QLatin1String(f.iniKey), customerMaxLength(f));
    s.baseAddress = ini.value(QStringLiteral("Vendor"), QStringLiteral("BaseAddress"));
    return s;
}

bool saveOrderSettings(const QString &path, const OrderSettings &settings)
{
    if (path.isEmpty())
        return false;
    IniFile ini;
    ini.load(path); // a missing file starts empty
    ini.setValue(QStringLiteral("Proxy"), QStringLiteral("Server"), settings.proxyServer);
    ini.setValue(QStringLiteral("Proxy"), QStringLiteral("Port"), QString::number(settings.proxyPort));
    for (const CustomerField &f : customerFields())
        if (*f.iniKey)
            ini.setValue(QStringLiteral("Customer"), QLatin1String(f.iniKey), settings.customer.*f.member);
    return ini.save(path);
}

} // namespace order
