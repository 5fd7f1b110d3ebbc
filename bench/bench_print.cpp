// Prints 10,000 business cards to PDF through `ostravel print` and reports elements per
// second and the peak memory of the printing process.
//
// The design: 2 x 5 cards of 3.5 x 2 inches on Letter, each with a text, a counter, a
// Code 39 bar code of the counter, a shadowed box and a bitmap background.
//
//   bench_print [elements] [dpi]     (defaults 10000 and 600)
#include "document/DesignDocument.h"
#include "model/SurfaceItem.h"
#include "model/TObjectData.h"
#include "platform/bmp/BmpCodec.h"
#include "render/TextStyles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <sys/resource.h>

namespace {

QString writeDesign(const QString &dir)
{
    document::DesignDocument doc;
    const layout::LayoutRecord l = layout::businessCardLayout();
    if (doc.createBlank(l, 1) != 1)
        return {};
    model::TObjectManager *m = doc.manager();

    // A 256 x 146 gradient as the background bitmap.
    QImage bg(256, 146, QImage::Format_RGB32);
    {
        QPainter p(&bg);
        QLinearGradient g(0, 0, 256, 146);
        g.setColorAt(0, QColor(230, 240, 255));
        g.setColorAt(1, QColor(255, 250, 230));
        p.fillRect(bg.rect(), g);
    }
    doc.surface()->setBackground(plat::Picture::bitmap(plat::bmp::encodeBmpFile(bg, 24)));

    model::SurfaceItem *name = m->NewText(20, 15);
    name->setBounds(20, 15, 300, 30);
    name->data()->Lines = {QStringLiteral("Ostravel Printing Works")};
    name->data()->TextStyle = render::TextStyleNoWrap;

    model::SurfaceItem *counter = m->NewText(20, 50);
    counter->setBounds(20, 50, 200, 25);
    counter->data()->Lines = {QStringLiteral("{-_00001_-}")};
    counter->data()->TextStyle = render::TextStyleNoWrap;

    model::SurfaceItem *bar = m->NewText(20, 90);
    bar->setBounds(20, 90, 250, 80);
    bar->data()->Lines = {QStringLiteral("{-_00001_-}")};
    bar->data()->TextStyle = render::TextStyleBarCode | (2u << 8) | (1u << 16);

    model::SurfaceItem *box = m->NewBox(280, 20);
    box->setBounds(280, 20, 50, 50);
    box->data()->Style = 1;
    box->data()->ColorBG = 0x00C08040;
    box->data()->ShadowDX = 4;
    box->data()->ShadowDY = 4;

    const QString file = dir + QStringLiteral("/bench.bcp");
    return doc.save(file) ? file : QString();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    const int elements = args.size() > 1 ? args.at(1).toInt() : 10000;
    const int dpi = args.size() > 2 ? args.at(2).toInt() : 600;
    if (elements <= 0 || dpi <= 0) {
        out << "usage: bench_print [elements] [dpi]\n";
        return 2;
    }
    QTemporaryDir dir;
    const QString design = writeDesign(dir.path());
    if (design.isEmpty()) {
        out << "could not write the design\n";
        return 1;
    }
    const QString pdf = dir.filePath(QStringLiteral("bench.pdf"));
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    QElapsedTimer timer;
    timer.start();
    p.start(QStringLiteral(OSTRAVEL_EXECUTABLE),
            {QStringLiteral("print"), design, QStringLiteral("--pdf"), pdf, QStringLiteral("--quantity"),
             QString::number(elements), QStringLiteral("--crop-marks"), QStringLiteral("--dpi"), QString::number(dpi)});
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        out << "ostravel print failed\n";
        return 1;
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    // BENCH_KEEP_PDF=<file> keeps the output for a look.
    if (!qEnvironmentVariableIsEmpty("BENCH_KEEP_PDF"))
        QFile::copy(pdf, qEnvironmentVariable("BENCH_KEEP_PDF"));
    rusage ru{};
    getrusage(RUSAGE_CHILDREN, &ru);
    const int pages = (elements + 9) / 10;
    out << "elements:        " << elements << " (" << pages << " pages, " << dpi << " dpi)\n"
        << "wall time:       " << QString::number(seconds, 'f', 2) << " s\n"
        << "elements/second: " << QString::number(elements / seconds, 'f', 0) << "\n"
        << "peak memory:     " << QString::number(ru.ru_maxrss / 1024.0, 'f', 1) << " MiB (maximum resident set)\n"
        << "PDF size:        " << QString::number(QFileInfo(pdf).size() / (1024.0 * 1024.0), 'f', 1) << " MiB\n";
    return 0;
}
