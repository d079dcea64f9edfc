#include "lasting/lastingrecord.h"

#include <string_view>

namespace velumbra {
namespace {

constexpr const char *kHeader = "velumbra-lasting 1";

// @p value with its backslashes doubled and the line breaks and tabs named
// in @p controls written as \n, \r, \t.
std::string escaped(const std::string &value, std::string_view controls)
{
    std::string out;
    for (const char c : value) {
        const char letter = c == '\n' ? 'n' : c == '\r' ? 'r' : c == '\t' ? 't' : 0;
        if (c == '\\' || (letter && controls.find(c) != std::string_view::npos)) {
            out += '\\';
            out += c == '\\' ? c : letter;
        } else {
            out += c;
        }
    }
    return out;
}

std::string unescaped(const std::string &value)
{
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const char next = value[++i];
        out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return out;
}

// The string escapes of every desktop entry value.
std::string desktopEntryString(const std::string &value)
{
    return escaped(value, "\n\t");
}

} // namespace

std::string formatLastingRecord(const LastingRecord &record)
{
    std::string text = std::string(kHeader) + "\n";
    for (const auto &[name, value] : record)
        text += escaped(name, "\n\r") + "=" + escaped(value, "\n\r") + "\n";
    return text;
}

std::optional<LastingRecord> parseLastingRecord(const std::string &text)
{
    const auto firstEnd = text.find('\n');
    if (text.substr(0, firstEnd) != kHeader)
        return std::nullopt;
    LastingRecord record;
    std::size_t start = firstEnd == std::string::npos ? text.size() : firstEnd + 1;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        const auto eq = line.find('=');
        if (eq == std::string::npos || eq == 0)
            continue;
        record[unescaped(line.substr(0, eq))] = unescaped(line.substr(eq + 1));
    }
    return record;
}

std::string desktopEntryExec(const std::string &program)
{
    // Exec quoting: inside double quotes, " ` $ and \ take a backslash.
    bool plain = !program.empty();
    std::string quoted = "\"";
    for (const char c : program) {
        const bool reserved = c == ' ' || c == '\t' || c == '\n' || c == '"' || c == '\'' ||
                              c == '\\' || c == '>' || c == '<' || c == '~' || c == '|' ||
                              c == '&' || c == ';' || c == '$' || c == '*' || c == '?' ||
                              c == '#' || c == '(' || c == ')' || c == '`';
        plain = plain && !reserved;
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    std::string exec = plain ? program : quoted;
    // A literal % is written %% in Exec.
    std::string withPercent;
    for (const char c : exec) {
        withPercent += c;
        if (c == '%')
            withPercent += '%';
    }
    return desktopEntryString(withPercent);
}

std::string autostartEntryText(const std::string &program)
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Velumbra : rétablir le papier peint\n"
           "Comment=Rétablit le papier peint et l'économiseur d'écran qu'un changement temporaire "
           "a remplacés\n"
           // Skipped, not failing at each login, once that installation is gone.
           "TryExec=" +
           desktopEntryString(program) +
           "\n"
           "Exec=" +
           desktopEntryExec(program) +
           "\n"
           "NoDisplay=true\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-Phase=Applications\n";
}

LastingPaths lastingPaths(const std::string &home, const std::string &stateHome,
                          const std::string &configHome)
{
    // The XDG rules: a relative value is invalid and ignored.
    const auto base = [&home](const std::string &value, const char *fallback) {
        if (!value.empty() && value.front() == '/')
            return value;
        return home + fallback;
    };
    return {base(stateHome, "/.local/state") + "/velumbra/lasting",
            base(configHome, "/.config") + "/autostart/velumbra-restore.desktop"};
}

} // namespace velumbra
