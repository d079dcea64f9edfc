// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/pictureopening.h"

#include "platform/folders.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velumbra {

Result<> openPlainFile(QFile &file, const QString &path)
{
    const std::string name = fileNameOfText(std::u16string_view(
        reinterpret_cast<const char16_t *>(path.utf16()), std::size_t(path.size())));
    // Without O_NONBLOCK, opening a pipe would wait for a writer.
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return Failure{errno == ENOENT   ? "le fichier n'existe pas"
                       : errno == EACCES ? "vous n'avez pas le droit de le lire"
                                         : "le fichier n'a pas pu être ouvert"};
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Failure{"ce n'est pas un fichier"};
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return Failure{file.errorString().toStdString()};
    }
    return Result<>::success();
}

} // namespace velumbra
