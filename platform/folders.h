#pragma once

#include "platform/result.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velumbra {

/// The kinds of entry a folder reading keeps.
enum class EntryKind : std::uint8_t { File = 1, Subfolder = 2 };

/// Decides, while a folder is read, whether an entry of @p kind named @p name
/// is kept; @p name is only valid during the call.
using EntryFilter = std::function<bool(EntryKind kind, std::u16string_view name)>;

/// The entries one reading of a folder kept, in the order the file system gave
/// them. Names are text in UTF-16; on Linux, a byte of a name that is not part
/// of valid UTF-8 is held as the lone surrogate U+DC00 + byte, so that the name
/// still leads back to its file (fileSystemName()) and shows as a replacement
/// character (shownName()).
class FolderListing
{
public:
    [[nodiscard]] std::size_t size() const { return m_entries.size(); }
    [[nodiscard]] EntryKind kind(std::size_t i) const { return m_entries[i].kind; }
    [[nodiscard]] std::u16string_view name(std::size_t i) const
    {
        const Entry &e = m_entries[i];
        return {m_blocks[e.block].get() + e.start, e.length};
    }

    /// Appends an entry. Names share large blocks that are never moved, so
    /// that a folder of many long names costs neither an allocation per name
    /// nor copies as it grows.
    void add(EntryKind kind, std::u16string_view name);

private:
    struct Entry
    {
        std::uint32_t block;
        std::uint32_t start;
        std::uint32_t length;
        EntryKind kind;
    };
    std::vector<std::unique_ptr<char16_t[]>> m_blocks;
    std::size_t m_used = 0; // in the last block
    std::vector<Entry> m_entries;
};

/// Reads @p folder once and keeps its visible files and subfolders that
/// @p keep accepts. Visible: not hidden (no leading dot; on Windows not
/// hidden either), neither "." nor "..". A file is a regular file or a link
/// to one; a subfolder a folder or a link to one; other entries and links
/// that lead nowhere are left out. Fails, in French, when the folder cannot
/// be opened. On Linux @p folder is the file system's name (bytes); on
/// Windows it is UTF-8.
[[nodiscard]] Result<FolderListing> readFolder(const std::string &folder, const EntryFilter &keep);

/// The kind of @p name in @p folder, asked of the file system as readFolder()
/// does where the listing leaves the type unknown (or for a link); 0 for
/// anything that is neither a file nor a folder, or that leads nowhere.
[[nodiscard]] unsigned lookUpKind(const std::string &folder, const std::string &name);

/// A name from the file system as the text a FolderListing holds (see there).
[[nodiscard]] std::u16string textOfFileName(std::string_view bytes);
/// As above, into @p out, whose storage is reused from one name to the next.
void textOfFileName(std::string_view bytes, std::u16string &out);

/// The file system's name of @p text: UTF-8, with each lone surrogate
/// U+DC80 to U+DCFF turned back into the byte it stands for.
[[nodiscard]] std::string fileNameOfText(std::u16string_view text);

/// Whether @p text holds a byte that was not valid UTF-8 (see FolderListing).
[[nodiscard]] bool holdsForeignBytes(std::u16string_view text);

/// @p text with each such byte shown as U+FFFD, the replacement character.
[[nodiscard]] std::u16string shownName(std::u16string_view text);

/// A file system name as UTF-8 for a message, each foreign byte shown as U+FFFD.
[[nodiscard]] std::string shownFileName(std::string_view bytes);

} // namespace velumbra
