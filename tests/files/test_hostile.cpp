// Hostile bytes: damaged design files must give one of the reader's result codes and
// never crash or read out of bounds (this suite also runs under the asan preset).
// Whatever the reader accepts, the writer must write as a file the reader accepts again.
#include "FileTestSupport.h"

#include "platform/ByteIO.h"

#include <QDirIterator>
#include <gtest/gtest.h>

using namespace filetests;

namespace {

bool isResultCode(int r)
{
    return r == files::ResultOk || r == files::ResultLoadError || r == files::ResultBadVersion
           || r == files::ResultNoMemory;
}

// Reads `bytes`; if they are accepted, writes the design back and reads that again.
// Returns the first result.
int readAndRewrite(const QByteArray &bytes, std::string *problem)
{
    Opened o;
    const int r = o.read(bytes);
    if (!isResultCode(r)) {
        *problem = "unexpected result " + std::to_string(r);
        return r;
    }
    if (r == files::ResultOk) {
        // Visit every region as a user would, so every blob is rebuilt once.
        for (int side = 0; side < 2; ++side)
            for (int region = 0; region < 4; ++region)
                o.m.SwitchRegion(o.m.currentSide(), o.m.currentRegion(), side, region, o.zoom);
        o.m.SwitchRegion(o.m.currentSide(), o.m.currentRegion(), 0, 0, o.zoom);
        const QByteArray again = o.write();
        Opened o2;
        const int r2 = o2.read(again);
        if (r2 != files::ResultOk)
            *problem = "rewritten file refused with " + std::to_string(r2);
    }
    return r;
}

} // namespace

TEST(Hostile, CommittedCorpusGivesTheNamedCodes)
{
    QDirIterator it(fixturePath(QStringLiteral("damaged")), {QStringLiteral("*.bcp")}, QDir::Files);
    int files = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        const int expected = it.fileName().section(QLatin1Char('_'), 0, 0).toInt();
        std::string problem;
        EXPECT_EQ(readAndRewrite(testsupport::readFile(path), &problem), expected) << path.toStdString();
        EXPECT_EQ(problem, "") << path.toStdString();
        ++files;
    }
    EXPECT_GE(files, 20);
}

TEST(Hostile, TruncatedAtEveryOffset)
{
    for (const char *name : {"sample.bcp", "template.cct"}) {
        const QByteArray sample = fixtureBytes(QLatin1String(name));
        ASSERT_FALSE(sample.isEmpty());
        for (qsizetype len = 0; len < sample.size(); ++len) {
            // A copy of exactly `len` bytes, so the sanitizers see any read beyond it.
            const QByteArray cut(sample.constData(), len);
            Opened o;
            const int expected = len < files::kHeaderSize ? files::ResultBadVersion : files::ResultLoadError;
            ASSERT_EQ(o.read(cut), expected) << name << " cut at " << len;
        }
    }
}

TEST(Hostile, FieldsSetHugeNegativeOrZeroAtEveryOffset)
{
    const QByteArray sample = fixtureBytes(QStringLiteral("sample.bcp"));
    const uint32_t values[] = {0x7FFFFFFFu, 0xFFFFFFFFu, 0x80000000u, 0xFFFFFF00u, 0u, 0x00010000u};
    int accepted = 0, refused = 0;
    for (qsizetype off = 0; off + 4 <= sample.size(); ++off) {
        for (uint32_t v : values) {
            QByteArray b = sample;
            plat::putU32(b.data() + off, v);
            std::string problem;
            const int r = readAndRewrite(b, &problem);
            ASSERT_EQ(problem, "") << "offset " << off << " value " << v;
            (r == files::ResultOk ? accepted : refused)++;
        }
    }
    // Both outcomes occur: the corpus exercises the checks and the accepting paths.
    EXPECT_GT(accepted, 0);
    EXPECT_GT(refused, 0);
}

TEST(Hostile, SingleBytesChangedAtEveryOffset)
{
    const QByteArray sample = fixtureBytes(QStringLiteral("sample.bcp"));
    for (qsizetype off = 0; off < sample.size(); ++off) {
        for (char v : {'\0', '\xFF', '\x7F', 'T', 'G', 'O'}) {
            QByteArray b = sample;
            b[off] = v;
            std::string problem;
            readAndRewrite(b, &problem);
            ASSERT_EQ(problem, "") << "offset " << off << " byte " << int(v);
        }
    }
}

TEST(Hostile, TargetedDamages)
{
    const QByteArray sample = fixtureBytes(QStringLiteral("sample.bcp"));
    const auto sec = samples::sections(sample);
    auto put = [](QByteArray b, int off, uint32_t v) { plat::putU32(b.data() + off, v); return b; };
    struct Case { const char *name; QByteArray bytes; int expected; };
    const int text = sec[0].records[0];
    const Case cases[] = {
        // Every record's DataSize pointing past the blob.
        {"first DataSize one too many", put(sample, text + model::Rec::DataSize,
                                            plat::getU32(sample.constData() + text + model::Rec::DataSize) + 1), 1000},
        {"object count zero, blob size kept", put(sample, sec[0].record + 4, 0), 1000}, // the blob is then read as a section
        {"second region count zero", put(sample, 12, 1), 1},
        {"layout region type 200", [&] { QByteArray b = sample; b[samples::kLayoutOffset + 90] = char(200); return b; }(), 1},
        {"layout width huge", put(sample, samples::kLayoutOffset + 58, 0xFFFFFFFFu), 1},
        {"data file name without terminator", [&] { QByteArray b = sample; b.replace(272, 256, QByteArray(256, 'd')); return b; }(), 1},
        {"bitmap header size huge", put(sample, sec[0].picture + 14, 0xFFFFFFF0u), 1000},
        {"bitmap palette count huge", put(sample, sec[0].picture + 46, 0x7FFFFFFFu), 1000},
        {"emf header size huge", put(sample, sec[1].picture + 4, 0xFFFFFFF0u), 1000},
    };
    for (const Case &c : cases) {
        std::string problem;
        EXPECT_EQ(readAndRewrite(c.bytes, &problem), c.expected) << c.name;
        EXPECT_EQ(problem, "") << c.name;
    }
}
