// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wallpaper/sway.h"
#include "platform/wallpaper/desktopprocess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace velumbra {
namespace {

constexpr std::string_view kMagic = "i3-ipc";
constexpr std::uint32_t kRunCommand = 0;
constexpr int kTimeoutSeconds = 5;

class Fd
{
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    [[nodiscard]] int get() const { return m_fd; }

private:
    int m_fd;
};

bool writeAll(int fd, const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

bool readAll(int fd, char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::recv(fd, data, size, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

std::string unreachable(const std::string &socketPath)
{
    return "sway ne répond pas sur « " + socketPath + " » : le papier peint reste inchangé.";
}

std::string extensionOf(const std::string &path)
{
    std::string ext = std::filesystem::path(path).extension().string();
    for (char &c : ext) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return isPlainSwayPath(ext) ? ext : std::string();
}

} // namespace

bool isPlainSwayPath(const std::string &path)
{
    for (const char c : path) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '/' || c == '.' || c == '_' || c == '-';
        if (!plain)
            return false;
    }
    return !path.empty();
}

std::string runSwayCommand(const std::string &socketPath, const std::string &command)
{
    sockaddr_un addr{};
    if (socketPath.empty() || socketPath.size() >= sizeof addr.sun_path)
        return unreachable(socketPath);
    Fd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (fd.get() < 0)
        return unreachable(socketPath);
    const timeval timeout{kTimeoutSeconds, 0};
    ::setsockopt(fd.get(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    ::setsockopt(fd.get(), SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, socketPath.data(), socketPath.size());
    if (::connect(fd.get(), reinterpret_cast<const sockaddr *>(&addr), sizeof addr) != 0)
        return unreachable(socketPath);

    // The header is the magic, then the payload's length and the message
    // type in the machine's byte order.
    std::string message(kMagic);
    const std::uint32_t header[2] = {std::uint32_t(command.size()), kRunCommand};
    message.append(reinterpret_cast<const char *>(header), sizeof header);
    message += command;
    if (!writeAll(fd.get(), message.data(), message.size()))
        return unreachable(socketPath);

    char replyHeader[kMagic.size() + sizeof header];
    if (!readAll(fd.get(), replyHeader, sizeof replyHeader) ||
        std::string_view(replyHeader, kMagic.size()) != kMagic)
        return unreachable(socketPath);
    std::uint32_t replyFields[2];
    std::memcpy(replyFields, replyHeader + kMagic.size(), sizeof replyFields);
    if (replyFields[0] > (1u << 20))
        return unreachable(socketPath);
    std::string payload(replyFields[0], '\0');
    if (!readAll(fd.get(), payload.data(), payload.size()))
        return unreachable(socketPath);

    const QJsonArray results = QJsonDocument::fromJson(QByteArray::fromStdString(payload)).array();
    if (results.isEmpty())
        return "sway a répondu de façon inattendue : le papier peint reste inchangé.";
    for (const auto &r : results) {
        const QJsonObject result = r.toObject();
        if (!result.value(QStringLiteral("success")).toBool())
            return "sway a refusé le papier peint (" +
                   result.value(QStringLiteral("error")).toString().toStdString() + ").";
    }
    return {};
}

SwaySetter::SwaySetter(std::string socketPath, std::string runtimeDir, std::string display)
    : m_socket(std::move(socketPath)), m_runtimeDir(std::move(runtimeDir)),
      m_display(std::move(display))
{
}

Result<> SwaySetter::setWallpaper(const std::string &path, WallpaperLifetime)
{
    // sway answers success for a file that does not exist, or is no
    // picture, and shows nothing.
    if (const auto picture = checkedPicture(path); !picture)
        return Failure{picture.reason()};
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path target = fs::absolute(fs::path(path), ec);
    if (m_runtimeDir.empty() || !isPlainSwayPath(m_runtimeDir))
        return Failure{"Le dossier XDG_RUNTIME_DIR (« " + m_runtimeDir +
                       " ») ne convient pas : le papier peint reste inchangé."};
    const fs::path dir = fs::path(m_runtimeDir) / "velumbra";
    fs::create_directories(dir, ec);
    fs::permissions(dir, fs::perms::owner_all, ec);

    // Two names in turn: the link sway shows now is never the one replaced,
    // in case sway reads the file again (a new monitor).
    const std::string base = "wallpaper-" + std::to_string(m_nextLink) + extensionOf(path);
    m_nextLink = 1 - m_nextLink;
    const fs::path link = dir / base;
    const fs::path temporary = dir / (base + ".new");
    fs::remove(temporary, ec);
    fs::create_symlink(target, temporary, ec);
    if (!ec)
        fs::rename(temporary, link, ec);
    if (ec)
        return Failure{"Le lien « " + link.string() + " » ne peut pas être créé (" + ec.message() +
                       ") : le papier peint reste inchangé."};

    if (auto error = runSwayCommand(m_socket, "output * bg " + link.string() + " stretch");
        !error.empty())
        return Failure{std::move(error)};
    return Result<>::success();
}

Result<> SwaySetter::disableScreenSaver()
{
    return disableSessionScreenSaver(m_inhibitor, m_display);
}

} // namespace velumbra
