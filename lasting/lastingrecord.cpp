// SPDX-License-Identifier: GPL-3.0-or-later
#include "lasting/lastingrecord.h"

#include <algorithm>

namespace velumbra {
namespace {

constexpr const char *kHeader = "velumbra-lasting 1";

std::string escaped(const std::string &value)
{
    std::string out;
    for (const char c : value) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
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

// The string escapes of every desktop entry value; control characters are
// refused before, so only backslashes remain to escape.
std::string desktopEntryString(const std::string &value)
{
    std::string out;
    for (const char c : value) {
        if (c == '\\')
            out += c;
        out += c;
    }
    return out;
}

// Well-formed UTF-8: no stray continuation byte, no overlong form, no
// surrogate, nothing past U+10FFFF.
bool isUtf8(const std::string &text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80   ? 1
                                   : lead < 0xC2 ? 0
                                   : lead < 0xE0 ? 2
                                   : lead < 0xF0 ? 3
                                   : lead < 0xF5 ? 4
                                                 : 0;
        if (length == 0 || i + length > text.size())
            return false;
        const auto second = static_cast<unsigned char>(length > 1 ? text[i + 1] : 0x80);
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
            (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F))
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += length;
    }
    return true;
}

} // namespace

std::string formatLastingRecord(const LastingRecord &record)
{
    std::string text = std::string(kHeader) + "\n";
    for (const auto &[name, value] : record)
        text += escaped(name) + "=" + escaped(value) + "\n";
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

Result<std::string> desktopEntryExec(const std::string &program)
{
    const bool control = std::any_of(program.begin(), program.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
    if (control || !isUtf8(program))
        return Failure{
            std::string("Le chemin de velumbra-restore ") +
            (control ? "contient un caractère de contrôle" : "n'est pas un texte UTF-8 valide") +
            " : l'entrée de démarrage automatique ne peut pas le lancer."};
    // Exec quoting: inside double quotes, " ` $ and \ take a backslash.
    bool plain = !program.empty();
    std::string quoted = "\"";
    for (const char c : program) {
        const bool reserved = c == ' ' || c == '"' || c == '\'' || c == '\\' || c == '>' ||
                              c == '<' || c == '~' || c == '|' || c == '&' || c == ';' ||
                              c == '$' || c == '*' || c == '?' || c == '#' || c == '(' ||
                              c == ')' || c == '`';
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

Result<std::string> autostartEntryText(const std::string &program)
{
    const Result<std::string> exec = desktopEntryExec(program);
    if (!exec)
        return Failure{exec.reason()};
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
           *exec +
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
