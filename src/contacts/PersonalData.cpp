#include "contacts/PersonalData.h"

#include "platform/ProgramFolder.h"

#include <QFile>
#include <QSaveFile>

namespace contacts {

namespace {
const PersonalFieldInfo kFields[PersonalFieldCount] = {
    {"FNAME", 50, false, "First Name:", "First Name"},
    {"LNAME", 50, false, "Last Name:", "Last Name"},
    {"COMPANY", 50, false, "Company:", "Company"},
    {"TITLE", 50, false, "Title:", "Title"},
    {"ADDRESS", 100, true, "Address:", "Address"},
    {"RETADDRESS", 100, true, "Ret Address:", "Return Address"},
    {"PHONE", 20, false, "Phone:", "Phone"},
    {"FAX", 20, false, "FAX:", "Fax"},
    {"EMAIL", 100, false, "Email:", "Email"},
    {"USER1", 100, true, "User 1:", "User1"},
    {"USER2", 100, true, "User 2:", "User2"},
    {"USER3", 100, true, "User 3:", "User3"},
    {"USER4", 100, true, "User 4:", "User4"},
};
} // namespace

const PersonalFieldInfo &personalField(int index) { return kFields[index]; }

int personalFieldIndex(const QString &name)
{
    const QString n = name.trimmed();
    for (int i = 0; i < PersonalFieldCount; ++i)
        if (n.compare(QLatin1String(kFields[i].name), Qt::CaseInsensitive) == 0
            || n.compare(QLatin1String(kFields[i].target), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QList<FieldDef> personalFieldDefs()
{
    QList<FieldDef> defs;
    for (const PersonalFieldInfo &f : kFields)
        defs.append({QString::fromLatin1(f.name), ftString, f.size, 0, false});
    return defs;
}

QString personalDataFileName() { return QStringLiteral("Personal Data.dat"); }

QString personalDataPath() { return plat::ProgramFolder::current().writablePath(personalDataFileName()); }

void preparePersonalDataSet(TBinaryDataSet &dataSet, const QString &path)
{
    dataSet.setTableName(path);
    dataSet.setFieldDefs(personalFieldDefs());
}

bool backUpDataFile(const QString &path)
{
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = source.readAll();
    if (source.error() != QFileDevice::NoError)
        return false;
    QSaveFile copy(path + QStringLiteral(".bak"));
    return copy.open(QIODevice::WriteOnly) && copy.write(bytes) == bytes.size() && copy.commit();
}

QString keepDamagedFile(const QString &path)
{
    QString target = path + QStringLiteral(".damaged");
    for (int n = 2; QFile::exists(target); ++n) {
        if (n > 999)
            return {};
        target = path + QStringLiteral(".damaged-%1").arg(n);
    }
    return QFile::rename(path, target) ? target : QString();
}

} // namespace contacts
