// libFuzzer target for the keyed-archive reader (binary and XML forms).
//
// Properties checked on every input, beyond "no crash, no hang, no leak, no
// undefined behaviour": a refused input has a message; an accepted one dumps,
// writing it to memory and streaming it to a device give the same bytes, and
// reading those back gives the same dump, as does reading it back from the
// layout of a writer that merges nothing.

#include "core/archive/archive.h"
#include "core/archive/canonical_json.h"
#include "core/database.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace quandor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const archive::ReadResult first = archive::read(bytes);
    if (!first.ok) {
        if (first.error.isEmpty()) std::abort();
        return 0;
    }
    const QByteArray dump = archive::canonicalJson(first.root);
    (void)Database::fromRoot(first.root);
    const QByteArray written = archive::write(first.root);
    QBuffer streamed;
    streamed.open(QIODevice::WriteOnly);
    if (!archive::write(first.root, streamed) || streamed.data() != written) {
        std::fprintf(stderr, "streamed archive differs from the written one\n");
        std::abort();
    }
    const archive::ReadResult second = archive::read(written);
    if (!second.ok) {
        std::fprintf(stderr, "rewritten archive refused: %s\n", qPrintable(second.error));
        std::abort();
    }
    if (archive::canonicalJson(second.root) != dump) {
        std::fprintf(stderr, "dump changed by write and read:\n%s\n%s\n", dump.constData(),
                     archive::canonicalJson(second.root).constData());
        std::abort();
    }
    const archive::ReadResult third =
        archive::read(archive::write(first.root, archive::Sharing::Unshared));
    if (!third.ok || archive::canonicalJson(third.root) != dump) {
        std::fprintf(stderr, "unshared layout read back %s\n",
                     third.ok ? "with another dump" : qPrintable(third.error));
        std::abort();
    }
    return 0;
}
