// Compound files for the import tests and the fuzz corpus, written with libgsf's writer.
#include "LegacySamples.h"

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-output.h>
#include <gsf/gsf-utils.h>

namespace legacysamples {

QByteArray compoundFile(const std::vector<Entry> &entries, int sectorSize)
{
    gsf_init();
    GsfOutput *sink = gsf_output_memory_new();
    GsfOutfile *root = gsf_outfile_msole_new_full(sink, guint(sectorSize), 64);
    for (const Entry &e : entries) {
        const QByteArray name = e.name.toUtf8();
        GsfOutput *child = gsf_outfile_new_child(root, name.constData(), e.storage ? TRUE : FALSE);
        if (!e.storage && !e.bytes.isEmpty())
            gsf_output_write(child, size_t(e.bytes.size()), reinterpret_cast<const guint8 *>(e.bytes.constData()));
        gsf_output_close(child);
        g_object_unref(child);
    }
    gsf_output_close(GSF_OUTPUT(root));
    g_object_unref(root);
    const gsf_off_t size = gsf_output_size(sink);
    QByteArray out(reinterpret_cast<const char *>(gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink))), qsizetype(size));
    g_object_unref(sink);
    return out;
}

} // namespace legacysamples
