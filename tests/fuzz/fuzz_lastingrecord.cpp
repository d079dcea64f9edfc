// The record of what is owed: any text parses without harm, and any record
// (names are the program's own: not empty, no "=") comes back as written.

#include "lasting/lastingrecord.h"
#include "tests/fuzz/fuzz.h"

VELUMBRA_FUZZ_TARGET(text)
{
    (void)velumbra::parseLastingRecord(std::string(text));
    velumbra::LastingRecord record;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t nameEnd = std::min(text.find('\0', start), text.size());
        const std::size_t valueEnd = std::min(text.find('\0', nameEnd + 1), text.size());
        const std::string name(text.substr(start, nameEnd - start));
        if (!name.empty() && name.find('=') == std::string::npos && nameEnd < text.size())
            record[name] = std::string(text.substr(nameEnd + 1, valueEnd - nameEnd - 1));
        start = valueEnd + 1;
    }
    FUZZ_CHECK(velumbra::parseLastingRecord(velumbra::formatLastingRecord(record)) == record);
}
