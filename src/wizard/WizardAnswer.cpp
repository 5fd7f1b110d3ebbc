#include "wizard/WizardAnswer.h"

namespace wizard {

CardFields CardFields::fromRecord(const std::function<QString(const QString &)> &field)
{
    CardFields c;
    const QString first = field(QStringLiteral("FNAME")).trimmed();
    const QString last = field(QStringLiteral("LNAME")).trimmed();
    c.name = first.isEmpty() ? last : last.isEmpty() ? first : first + QLatin1Char(' ') + last;
    c.company = field(QStringLiteral("COMPANY"));
    c.title = field(QStringLiteral("TITLE"));
    c.address = field(QStringLiteral("ADDRESS"));
    c.phone = field(QStringLiteral("PHONE"));
    c.fax = field(QStringLiteral("FAX"));
    c.email = field(QStringLiteral("EMAIL"));
    for (int i = 0; i < 4; ++i)
        c.user[size_t(i)] = field(QStringLiteral("USER%1").arg(i + 1));
    return c;
}

void fillValues(files::Substitution &s, const CardFields &card, int templateKind)
{
    auto &v = s.values;
    v[MarkerName] = card.name;
    v[MarkerFromName].clear();
    v[MarkerCompany] = card.company;
    v[MarkerTitle] = card.title;
    v[MarkerAddress] = templateKind == kBusinessCardKind ? card.address : QString();
    v[MarkerReturnAddress].clear();
    v[MarkerPhone] = card.phone;
    v[MarkerFax] = card.fax;
    v[MarkerEmail] = card.email;
    for (int i = 0; i < 4; ++i)
        v[size_t(MarkerUser1 + i)] = card.user[size_t(i)];
}

void clearValues(files::Substitution &s)
{
    for (QString &v : s.values)
        v.clear();
}

QStringList fieldNames()
{
    QStringList names;
    for (const char *m : files::Substitution::markers())
        names.append(QString::fromLatin1(m).replace(QLatin1Char(' '), QLatin1Char('_')));
    return names;
}

int markerForField(const QString &field)
{
    const QString key = field.trimmed().toUpper().replace(QLatin1Char(' '), QLatin1Char('_'));
    return int(fieldNames().indexOf(key));
}

} // namespace wizard
