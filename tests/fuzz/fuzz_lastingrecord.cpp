// SPDX-License-Identifier: GPL-3.0-or-later
// The record of what is owed: any text parses without harm, and any record
// (names are the program's own: not empty, no "=") comes back as written.

#include "lasting/lastingrecord.h"
#include "tests/fuzz/fuzz.h"

VELUMBRA_FUZZ_TARGET(text)
{
    (void)velumbra::parseLastingRecord(std::string(text));
    velumbra::LastingRecord record; // name NUL value NUL ...
    const auto parts = fields(text, '\0');
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2)
        if (!parts[i].empty() && parts[i].find('=') == parts[i].npos)
            record[std::string(parts[i])] = parts[i + 1];
    FUZZ_CHECK(velumbra::parseLastingRecord(velumbra::formatLastingRecord(record)) == record);
}
