// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/folders.h"

#include <cerrno>
#include <cstring>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velumbra {
namespace {

Failure cannotRead(const std::string &folder, int error)
{
    return cannotReadFolder(folder, error == EACCES    ? FolderReadProblem::NoPermission
                                    : error == ENOENT  ? FolderReadProblem::Missing
                                    : error == ENOTDIR ? FolderReadProblem::NotAFolder
                                                       : FolderReadProblem::Other);
}

/// The kind of the entry @p name of @p type, following a link; 0 for anything else.
unsigned kindOf(int folder, const char *name, unsigned char type)
{
    // Only links and file systems that leave the type unknown cost a stat.
    if (type == DT_LNK || type == DT_UNKNOWN) {
        struct stat st;
        if (fstatat(folder, name, &st, 0) != 0)
            return 0;
        type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
    }
    if (type == DT_REG)
        return unsigned(EntryKind::File);
    if (type == DT_DIR)
        return unsigned(EntryKind::Subfolder);
    return 0;
}

} // namespace

unsigned lookUpKind(const std::string &folder, const std::string &name)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    const unsigned kind = kindOf(fd, name.c_str(), DT_UNKNOWN);
    close(fd);
    return kind;
}

Result<> readFolder(const std::string &folder, const EntryVisitor &visit)
{
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(opendir(folder.c_str()), closedir);
    if (!dir)
        return cannotRead(folder, errno);
    std::u16string name; // one buffer for every name read, kept or not
    while (true) {
        errno = 0;
        const dirent *e = readdir(dir.get());
        if (!e) {
            if (errno != 0)
                return cannotRead(folder, errno);
            break;
        }
        if (e->d_name[0] == '.') // hidden, and "." and ".."
            continue;
        const unsigned kind = kindOf(dirfd(dir.get()), e->d_name, e->d_type);
        if (kind == 0)
            continue;
        textOfFileName(e->d_name, name);
        visit(EntryKind(kind), name);
    }
    return Result<>::success();
}

} // namespace velumbra
