// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the fuzz targets share: the entry point libFuzzer calls, a check that
// stops the run (and keeps the input) when a property fails, and the input
// cut into fields.

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#define VELUMBRA_FUZZ_TARGET(text)                                                                 \
    static void fuzzOne(std::string_view text);                                                    \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)              \
    {                                                                                              \
        fuzzOne(std::string_view(reinterpret_cast<const char *>(data), size));                     \
        return 0;                                                                                  \
    }                                                                                              \
    static void fuzzOne(std::string_view text)

// libFuzzer reports the abort with the target's stack and keeps the input.
#define FUZZ_CHECK(condition) ((condition) ? void() : std::abort())

inline std::vector<std::string_view> fields(std::string_view text, char separator)
{
    std::vector<std::string_view> out;
    for (std::size_t start = 0, end = 0; end != text.npos; start = end + 1)
        out.push_back(text.substr(start, (end = text.find(separator, start)) - start));
    return out;
}
