#pragma once

// What the fuzz targets share: the entry point libFuzzer calls, and a check
// that stops the run (and keeps the input) when a property fails.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#define VELUMBRA_FUZZ_TARGET(text)                                                                 \
    static void fuzzOne(std::string_view text);                                                    \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)              \
    {                                                                                              \
        fuzzOne(std::string_view(reinterpret_cast<const char *>(data), size));                     \
        return 0;                                                                                  \
    }                                                                                              \
    static void fuzzOne(std::string_view text)

#define FUZZ_CHECK(condition)                                                                      \
    ((condition)                                                                                   \
         ? void()                                                                                  \
         : (std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #condition), std::abort()))
