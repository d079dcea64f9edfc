// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/folders.h"

namespace velumbra {
namespace {

constexpr char16_t kFirstEscape = 0xDC80;
constexpr char16_t kLastEscape = 0xDCFF;

bool isContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

/// The length of the well-formed UTF-8 sequence at the start of @p s, 0 if none.
std::size_t sequenceLength(std::string_view s)
{
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = at(0);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF; // nothing beyond U+10FFFF
    } else {
        return 0;
    }
    if (s.size() < length || at(1) < low || at(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (!isContinuation(at(i)))
            return 0;
    return length;
}

void appendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

bool isEscape(char16_t c)
{
    return c >= kFirstEscape && c <= kLastEscape;
}

} // namespace

void textOfFileName(std::string_view bytes, std::u16string &out)
{
    // Never more code units than bytes: written in place, cut to size at the end.
    out.resize(bytes.size());
    std::size_t o = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out[o++] = char16_t(b);
            ++i;
            continue;
        }
        const std::size_t length = sequenceLength(bytes.substr(i));
        if (length == 0) {
            out[o++] = char16_t(0xDC00 + b);
            ++i;
            continue;
        }
        char32_t c = b & (0xFF >> (length + 1));
        for (std::size_t k = 1; k < length; ++k)
            c = (c << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
        if (c >= 0x10000) {
            out[o++] = char16_t(0xD800 + ((c - 0x10000) >> 10));
            out[o++] = char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out[o++] = char16_t(c);
        }
        i += length;
    }
    out.resize(o);
}

std::u16string textOfFileName(std::string_view bytes)
{
    std::u16string text;
    textOfFileName(bytes, text);
    return text;
}

std::string fileNameOfText(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const bool pair =
            (c & 0xFC00) == 0xD800 && i + 1 < text.size() && (text[i + 1] & 0xFC00) == 0xDC00;
        if (pair) {
            appendUtf8(out, 0x10000 + ((char32_t(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (isEscape(c)) {
            out += char(c - 0xDC00);
        } else if ((c & 0xF800) == 0xD800) {
            appendUtf8(out, 0xFFFD);
        } else {
            appendUtf8(out, c);
        }
    }
    return out;
}

bool holdsForeignBytes(std::u16string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((text[i] & 0xFC00) == 0xD800 && i + 1 < text.size() && (text[i + 1] & 0xFC00) == 0xDC00)
            ++i;
        else if (isEscape(text[i]))
            return true;
    }
    return false;
}

std::u16string shownName(std::u16string_view text)
{
    std::u16string shown(text);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if ((shown[i] & 0xFC00) == 0xD800 && i + 1 < shown.size() &&
            (shown[i + 1] & 0xFC00) == 0xDC00)
            ++i;
        else if (isEscape(shown[i]))
            shown[i] = 0xFFFD;
    }
    return shown;
}

std::string shownFileName(std::string_view bytes)
{
    return fileNameOfText(shownName(textOfFileName(bytes)));
}

Failure cannotReadFolder(std::string_view folder, FolderReadProblem problem)
{
    const char *why = problem == FolderReadProblem::NoPermission
                          ? "vous n'avez pas le droit de le lire"
                      : problem == FolderReadProblem::Missing    ? "ce dossier n'existe pas ou plus"
                      : problem == FolderReadProblem::NotAFolder ? "ce n'est pas un dossier"
                                                                 : "le système a refusé de le lire";
    return Failure{"Impossible de lire le dossier « " + shownFileName(folder) + " » : " + why +
                   "."};
}

} // namespace velumbra
