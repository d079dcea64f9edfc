// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/folders.h"

#include "platform/widen_windows.h"

#include <windows.h>

#include <memory>

namespace velumbra {
namespace {

Failure cannotRead(const std::string &folder, DWORD error)
{
    return cannotReadFolder(folder, error == ERROR_ACCESS_DENIED ? FolderReadProblem::NoPermission
                                    : error == ERROR_PATH_NOT_FOUND ? FolderReadProblem::Missing
                                    : error == ERROR_DIRECTORY      ? FolderReadProblem::NotAFolder
                                                                    : FolderReadProblem::Other);
}

struct FindCloser
{
    void operator()(HANDLE h) const { FindClose(h); }
};

} // namespace

unsigned lookUpKind(const std::string &folder, const std::string &name)
{
    const Result<std::wstring> path = widen(folder + "\\" + name);
    const DWORD attributes = path ? GetFileAttributesW(path->c_str()) : INVALID_FILE_ATTRIBUTES;
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return 0;
    return unsigned((attributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryKind::Subfolder
                                                            : EntryKind::File);
}

Result<> readFolder(const std::string &folder, const EntryVisitor &visit)
{
    Result<std::wstring> wide = widen(folder);
    if (!wide)
        return Failure{wide.reason()};
    std::wstring pattern = *wide;
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/')
        pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW data;
    // The basic information leaves out the short 8.3 names, and the large
    // fetch asks the file system for many entries per call.
    HANDLE found = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                    nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (found == INVALID_HANDLE_VALUE) {
        // A drive's root holds no "." entry: empty, it has nothing to find.
        if (const DWORD error = GetLastError(); error != ERROR_FILE_NOT_FOUND)
            return cannotRead(folder, error);
        return Result<>::success();
    }
    const std::unique_ptr<void, FindCloser> closer(found);
    do {
        const std::u16string_view name(reinterpret_cast<const char16_t *>(data.cFileName));
        if (name.empty() || name[0] == u'.' || (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN))
            continue;
        const EntryKind kind = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                                   ? EntryKind::Subfolder
                                   : EntryKind::File;
        visit(kind, name);
    } while (FindNextFileW(found, &data));
    if (const DWORD error = GetLastError(); error != ERROR_NO_MORE_FILES)
        return cannotRead(folder, error);
    return Result<>::success();
}

} // namespace velumbra
