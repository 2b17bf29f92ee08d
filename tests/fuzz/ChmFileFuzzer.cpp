// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the help-file reader as a file: the structure check must refuse
// whatever chmlib cannot take, and whatever it lets through must open, list and read every object
// without crashing or hanging inside chmlib.
#include "help/ChmFile.h"
#include "help/ChmLayout.h"

#include <QFile>

#include <cstddef>
#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

namespace
{

// One in-memory file for every input: chmlib opens files by name, and /proc/self/fd names it.
int File()
{
    static const int fd = memfd_create("orvena-chm-fuzz", MFD_CLOEXEC);
    return fd;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const int fd = File();
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size))
        __builtin_trap();
    const QString name = QStringLiteral("/proc/self/fd/%1").arg(fd);
    help::ChmFile chm;
    if (!chm.Open(name))
        return 0;
    std::uint64_t total = 0;
    for (const QString &object : chm.Objects()) {
        if (const auto bytes = chm.Read(object))
            total += std::uint64_t(bytes->size());
        (void)chm.TopicTitle(object);
    }
    for (const auto &[id, topic] : chm.ContextMap())
        (void)chm.ResolvePath(topic);
    (void)chm.WindowType(chm.System().defaultWindow);
    // Every object is at most the reader's cap, so the total is bounded by what was listed.
    if (total > std::uint64_t(chm.Objects().size()) * help::ChmFile::MaxObjectSize)
        __builtin_trap();
    return 0;
}
