// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace velumbra {

/// The kinds of entry a folder reading keeps.
enum class EntryKind : std::uint8_t { File = 1, Subfolder = 2 };

/// Hands over, while a folder is read, each entry of @p kind named @p name;
/// @p name is only valid during the call. On Linux, a byte of a name that is
/// not part of valid UTF-8 is held as the lone surrogate U+DC00 + byte, so
/// that the name still leads back to its file (fileNameOfText()) and shows as
/// a replacement character (shownName()).
using EntryVisitor = std::function<void(EntryKind kind, std::u16string_view name)>;

/// Reads @p folder once and hands each of its visible files and subfolders to
/// @p visit, in the order the file system gives them: the caller keeps what it
/// wants, as text, while the folder is read. Visible: not hidden (no leading dot; on Windows not
/// hidden either), neither "." nor "..". A file is a regular file or a link
/// to one; a subfolder a folder or a link to one; other entries and links
/// that lead nowhere are left out. Fails, in French, when the folder cannot
/// be opened. On Linux @p folder is the file system's name (bytes); on
/// Windows it is UTF-8.
[[nodiscard]] Result<> readFolder(const std::string &folder, const EntryVisitor &visit);

/// The kind of @p name in @p folder, asked of the file system as readFolder()
/// does where the listing leaves the type unknown (or for a link); 0 for
/// anything that is neither a file nor a folder, or that leads nowhere.
[[nodiscard]] unsigned lookUpKind(const std::string &folder, const std::string &name);

/// A name from the file system as the text readFolder() hands over (see EntryVisitor).
[[nodiscard]] std::u16string textOfFileName(std::string_view bytes);
/// As above, into @p out, whose storage is reused from one name to the next.
void textOfFileName(std::string_view bytes, std::u16string &out);

/// The file system's name of @p text: UTF-8, with each lone surrogate
/// U+DC80 to U+DCFF turned back into the byte it stands for.
[[nodiscard]] std::string fileNameOfText(std::u16string_view text);

/// Whether @p text holds a byte that was not valid UTF-8 (see EntryVisitor).
[[nodiscard]] bool holdsForeignBytes(std::u16string_view text);

/// @p text with each such byte shown as U+FFFD, the replacement character.
[[nodiscard]] std::u16string shownName(std::u16string_view text);

/// A file system name as UTF-8 for a message, each foreign byte shown as U+FFFD.
[[nodiscard]] std::string shownFileName(std::string_view bytes);

/// Why a folder could not be read, whatever the system's own error code.
enum class FolderReadProblem { NoPermission, Missing, NotAFolder, Other };

/// The failure of reading @p folder, in French, naming it.
[[nodiscard]] Failure cannotReadFolder(std::string_view folder, FolderReadProblem problem);

} // namespace velumbra
