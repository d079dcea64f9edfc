// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/mounts.h"

#include <algorithm>
#include <array>

namespace velumbra {
namespace {

constexpr std::array<std::string_view, 30> kPseudoTypes = {
    "proc",        "sysfs",    "devtmpfs",        "devpts",      "tmpfs",      "ramfs",
    "cgroup",      "cgroup2",  "securityfs",      "debugfs",     "tracefs",    "pstore",
    "bpf",         "mqueue",   "hugetlbfs",       "configfs",    "fusectl",    "autofs",
    "binfmt_misc", "efivarfs", "rpc_pipefs",      "nsfs",        "overlay",    "squashfs",
    "selinuxfs",   "nfsd",     "fuse.gvfsd-fuse", "fuse.portal", "fuse.lxcfs", "devfs"};

constexpr std::array<std::string_view, 5> kNetworkTypes = {"nfs", "nfs4", "cifs", "smb3",
                                                           "fuse.sshfs"};

constexpr std::array<std::string_view, 3> kRemovableParents = {"/media", "/run/media", "/mnt"};

constexpr std::array<std::string_view, 10> kSystemParents = {
    "/proc", "/sys", "/dev", "/run", "/boot", "/snap", "/etc", "/usr", "/var", "/tmp"};

bool isUnder(std::string_view path, std::string_view parent)
{
    return path.size() > parent.size() && path.substr(0, parent.size()) == parent &&
           path[parent.size()] == '/';
}

bool isUnderOrAt(std::string_view path, std::string_view parent)
{
    return path == parent || isUnder(path, parent);
}

template <std::size_t N>
bool contains(const std::array<std::string_view, N> &list, std::string_view value)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}

std::vector<std::string_view> splitFields(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t pos = 0;
    while (pos < line.size()) {
        const std::size_t end = std::min(line.find(' ', pos), line.size());
        if (end > pos)
            fields.push_back(line.substr(pos, end - pos));
        pos = end + 1;
    }
    return fields;
}

bool keep(std::string_view mountPoint, std::string_view type, std::string_view source)
{
    if (mountPoint == "/")
        return true;
    if (contains(kPseudoTypes, type))
        return false;
    const bool removable = std::any_of(kRemovableParents.begin(), kRemovableParents.end(),
                                       [&](std::string_view p) { return isUnder(mountPoint, p); });
    if (removable)
        return true;
    const bool system = std::any_of(kSystemParents.begin(), kSystemParents.end(),
                                    [&](std::string_view p) { return isUnderOrAt(mountPoint, p); });
    if (system)
        return false;
    return source.substr(0, 5) == "/dev/" || contains(kNetworkTypes, type);
}

} // namespace

std::string unescapeMountField(std::string_view field)
{
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' &&
            field[i + 1] <= '3' && field[i + 2] >= '0' && field[i + 2] <= '7' &&
            field[i + 3] >= '0' && field[i + 3] <= '7') {
            out += char(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) |
                        (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

std::vector<std::string> browsableMounts(std::string_view mountinfo)
{
    std::vector<std::string> mounts;
    std::size_t pos = 0;
    while (pos < mountinfo.size()) {
        const std::size_t end = std::min(mountinfo.find('\n', pos), mountinfo.size());
        const std::vector<std::string_view> f = splitFields(mountinfo.substr(pos, end - pos));
        pos = end + 1;
        // id parent major:minor root mount-point options [optional…] - type source super-options
        const auto dash = std::find(f.begin(), f.end(), std::string_view("-"));
        if (f.size() < 5 || dash == f.end() || dash - f.begin() < 6 || f.end() - dash < 3)
            continue;
        const std::string mountPoint = unescapeMountField(f[4]);
        if (!mountPoint.starts_with('/'))
            continue;
        if (keep(mountPoint, dash[1], unescapeMountField(dash[2])))
            mounts.push_back(mountPoint);
    }
    std::sort(mounts.begin(), mounts.end());
    mounts.erase(std::unique(mounts.begin(), mounts.end()), mounts.end());
    // The root is listed whatever its file system, even when the table is unreadable.
    if (mounts.empty() || mounts.front() != "/")
        mounts.insert(mounts.begin(), "/");
    return mounts;
}

} // namespace velumbra
