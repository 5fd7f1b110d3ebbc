// `ostravel templates` and `ostravel new` run as a program on a program folder of their own.
#include "WizardTestSupport.h"

#include "document/DesignDocument.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

using namespace wizardtests;

namespace {

struct ProcessResult {
    int status = -1;
    QString out, err;
};

ProcessResult ostravel(const QString &home, const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("OSTRAVEL_HOME"), home);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(OSTRAVEL_EXECUTABLE), args);
    ProcessResult r;
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.status = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QStringList texts(const model::SurfaceModel &s)
{
    QStringList out;
    for (const auto &item : s.items())
        if (item->data() && item->data()->isText())
            out.append(item->data()->Lines.join(QLatin1Char('|')));
    return out;
}

class Commands : public ::testing::Test {
protected:
    void SetUp() override
    {
        home.file(QStringLiteral("Template/Standard/Cards/Blue Wave.cct"),
                  templateBytes(4, {QStringLiteral("NAME"), QStringLiteral("COMPANY"), QStringLiteral("RETURN ADDRESS")}));
        home.file(QStringLiteral("Template/Standard/Gifts/Tag.cct"), templateBytes(0, {QStringLiteral("COMPANY")}));
        home.file(QStringLiteral("Template/Standard/readme.txt"));
        home.folder(QStringLiteral("Background"));
        QImage img(35, 20, QImage::Format_RGB32);
        img.fill(Qt::darkCyan);
        img.save(home.path(QStringLiteral("Background/Waves.png")));
    }
    Tree home;
};

} // namespace

TEST_F(Commands, TemplatesListsWhatTheWizardOffers)
{
    const ProcessResult r = ostravel(home.path(), {QStringLiteral("templates"), QStringLiteral("--json")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QJsonArray list = QJsonDocument::fromJson(r.out.toUtf8()).object().value(QStringLiteral("templates")).toArray();
    ASSERT_EQ(list.size(), 2) << r.out.toStdString();
    const QJsonObject first = list.at(0).toObject();
    EXPECT_EQ(first.value(QStringLiteral("category")).toString(), QStringLiteral("Cards"));
    EXPECT_EQ(first.value(QStringLiteral("name")).toString(), QStringLiteral("Blue Wave"));
    EXPECT_EQ(first.value(QStringLiteral("kind")).toInt(), 4);
    EXPECT_EQ(first.value(QStringLiteral("file")).toString(), home.path(QStringLiteral("Template/Standard/Cards/Blue Wave.cct")));
    EXPECT_EQ(list.at(1).toObject().value(QStringLiteral("kind")).toInt(), 0);

    const ProcessResult plain = ostravel(home.path(), {QStringLiteral("templates")});
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(plain.out, QStringLiteral("Cards/Blue Wave  (business-card data)\nGifts/Tag\n"));
}

TEST_F(Commands, NewMakesTheDesignTheWizardWould)
{
    const QString out = home.path(QStringLiteral("out/card.bcp"));
    QDir().mkpath(home.path(QStringLiteral("out")));
    const ProcessResult r = ostravel(home.path(), {QStringLiteral("new"), out, QStringLiteral("--template"), QStringLiteral("cards/blue wave"),
                                         QStringLiteral("--set"), QStringLiteral("COMPANY=Acme & Sons"),
                                         QStringLiteral("--set"), QStringLiteral("return_address=1 Mill Lane"),
                                         QStringLiteral("--background"), QStringLiteral("Waves")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    document::DesignDocument doc;
    ASSERT_EQ(doc.openFile(out), 1);
    EXPECT_EQ(texts(*doc.surface()),
              (QStringList{QStringLiteral("NAME"), QStringLiteral("Acme & Sons"), QStringLiteral("1 Mill Lane")}));
    EXPECT_FALSE(doc.surface()->background().isNull());

    // A template without card data keeps its texts, and says so.
    const QString tag = home.path(QStringLiteral("out/tag.bcp"));
    const ProcessResult plain = ostravel(home.path(), {QStringLiteral("new"), tag, QStringLiteral("--template"), QStringLiteral("Gifts/Tag"),
                                             QStringLiteral("--set"), QStringLiteral("COMPANY=Acme")});
    ASSERT_EQ(plain.status, 0) << plain.err.toStdString();
    EXPECT_TRUE(plain.err.contains(QStringLiteral("takes no business-card data")));
    document::DesignDocument tagDoc;
    ASSERT_EQ(tagDoc.openFile(tag), 1);
    EXPECT_EQ(texts(*tagDoc.surface()), QStringList{QStringLiteral("COMPANY")});
    EXPECT_TRUE(tagDoc.surface()->background().isNull());
}

TEST_F(Commands, NewRefusesWhatItCannotDo)
{
    const QString out = home.path(QStringLiteral("x.bcp"));
    const QString tpl = QStringLiteral("Cards/Blue Wave");
    struct Case {
        QStringList args;
        const char *message;
    } const cases[] = {
        {{QStringLiteral("--template"), QStringLiteral("Cards/Red Wave")}, "No template Cards/Red Wave"},
        {{QStringLiteral("--template"), tpl, QStringLiteral("--set"), QStringLiteral("NICKNAME=x")}, "Unknown field"},
        {{QStringLiteral("--template"), tpl, QStringLiteral("--background"), QStringLiteral("Sky")}, "No background Sky"},
        {{QStringLiteral("--template"), tpl, QStringLiteral("--contact"), QStringLiteral("1")}, "--contact is not available"},
        {{}, "Usage: ostravel new"},
    };
    for (const Case &c : cases) {
        const ProcessResult r = ostravel(home.path(), QStringList{QStringLiteral("new"), out} + c.args);
        EXPECT_EQ(r.status, 1) << c.message;
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(c.message))) << r.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(out)) << c.message;
    }
    // A design that cannot be written reports message 1003.
    const ProcessResult r = ostravel(home.path(), {QStringLiteral("new"), home.path(QStringLiteral("no/such/folder/x.bcp")),
                                         QStringLiteral("--template"), tpl});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("An error occurred saving the specified file."))) << r.err.toStdString();
}
