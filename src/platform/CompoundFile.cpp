#include "platform/CompoundFile.h"

#include <QFile>

#include <gsf/gsf-infile-impl.h>
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-input.h>
#include <gsf/gsf-utils.h>

#include <algorithm>
#include <memory>
#include <mutex>

namespace plat {

namespace {

// GLib objects released through their reference count.
struct Unref {
    void operator()(gpointer p) const
    {
        if (p)
            g_object_unref(p);
    }
};
template <typename T> using GPtr = std::unique_ptr<T, Unref>;

void initLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] {
        gsf_init();
        // The reader reports damaged files on the log as well as through its result;
        // the result is what counts here, and a damaged design must not fill the
        // terminal or the program's output.
        // Its checks of damaged sector chains report as criticals and then fail the call.
        const auto levels = GLogLevelFlags(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE
                                           | G_LOG_LEVEL_INFO | G_LOG_LEVEL_DEBUG);
        for (const char *domain : {"libgsf:msole", "libgsf"})
            g_log_set_handler(domain, levels, [](const gchar *, GLogLevelFlags, const gchar *, gpointer) {}, nullptr);
    });
}

CompoundResult readFrom(GsfInput *source, const QString &streamName, QByteArray *out)
{
    out->clear();
    GError *err = nullptr;
    GPtr<GsfInfile> storage(gsf_infile_msole_new(source, &err));
    if (err)
        g_error_free(err);
    if (!storage)
        return CompoundResult::NotOpened;

    // Names in a compound file are compared without regard to letter case; an exact
    // match wins over one that differs in case.
    const int count = gsf_infile_num_children(storage.get());
    int found = -1;
    for (int i = 0; i < count; ++i) {
        const char *name = gsf_infile_name_by_index(storage.get(), i);
        if (!name)
            continue;
        const QString entry = QString::fromUtf8(name);
        if (entry == streamName) {
            found = i;
            break;
        }
        if (found < 0 && entry.compare(streamName, Qt::CaseInsensitive) == 0)
            found = i;
    }
    if (found < 0)
        return CompoundResult::NoStream;
    // Through the class's own function: the public wrapper reports a damaged entry on
    // the log as well as by its result.
    GsfInfileClass *klass = G_TYPE_INSTANCE_GET_CLASS(storage.get(), GSF_INFILE_TYPE, GsfInfileClass);
    err = nullptr;
    GPtr<GsfInput> stream(klass->child_by_index ? klass->child_by_index(storage.get(), found, &err) : nullptr);
    if (err)
        g_error_free(err);
    if (!stream)
        return CompoundResult::ReadFailed;
    // A storage of that name is not a stream.
    if (GSF_IS_INFILE(stream.get()) && gsf_infile_num_children(GSF_INFILE(stream.get())) >= 0)
        return CompoundResult::NoStream;

    // Every sector of a stream is a sector of the file, so a stream can never be larger
    // than the file that holds it.
    const gsf_off_t size = gsf_input_size(stream.get());
    const gsf_off_t containerSize = gsf_input_size(source);
    if (size < 0 || size > containerSize)
        return CompoundResult::ReadFailed;

    // Read in pieces, so memory grows only with bytes that really arrive.
    constexpr gsf_off_t kPiece = 64 * 1024;
    QByteArray bytes;
    gsf_off_t done = 0;
    while (done < size) {
        const gsf_off_t n = std::min(kPiece, size - done);
        const qsizetype at = bytes.size();
        bytes.resize(at + qsizetype(n));
        if (!gsf_input_read(stream.get(), size_t(n), reinterpret_cast<guint8 *>(bytes.data() + at)))
            return CompoundResult::ReadFailed;
        done += n;
    }
    *out = std::move(bytes);
    return CompoundResult::Ok;
}

} // namespace

CompoundResult readCompoundStream(const QString &fileName, const QString &streamName, QByteArray *out)
{
    initLibrary();
    out->clear();
    GError *err = nullptr;
    // Opened for reading only.
    GPtr<GsfInput> input(gsf_input_stdio_new(QFile::encodeName(fileName).constData(), &err));
    if (err)
        g_error_free(err);
    if (!input)
        return CompoundResult::NotOpened;
    return readFrom(input.get(), streamName, out);
}

CompoundResult readCompoundStreamFromBytes(const QByteArray &file, const QString &streamName, QByteArray *out)
{
    initLibrary();
    out->clear();
    GPtr<GsfInput> input(gsf_input_memory_new(reinterpret_cast<const guint8 *>(file.constData()),
                                              gsf_off_t(file.size()), FALSE));
    if (!input)
        return CompoundResult::NotOpened;
    return readFrom(input.get(), streamName, out);
}

} // namespace plat
