// SPDX-License-Identifier: GPL-3.0-or-later
// The registry look-up and the start of the system-information program,
// over an in-memory registry and file system: the real registry exists only
// on Windows, where these same tests run under wine.
#include "about/sysinfo.h"
#include "platform/fakes/fakefiles.h"
#include "platform/fakes/fakeprocess.h"
#include "platform/fakes/fakeregistry.h"

#include <gtest/gtest.h>

namespace velumbra {
namespace {

constexpr RegistryRoot kMachine = RegistryRoot::LocalMachine;
const std::string kKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kKept = "laissé par l'appelant";
using Value = std::optional<FakeRegistry::Value>;

Value str(std::string bytes, std::uint32_t type = RegistryType::String)
{
    return FakeRegistry::Value{type, std::move(bytes)};
}

// clang-format off
struct KeyValueCase { const char *name; Value value; bool found; std::string text; };
class GetKeyValueTest : public testing::TestWithParam<KeyValueCase> {};
// clang-format on

TEST_P(GetKeyValueTest, ReadsTheValueAndAlwaysClosesTheKey)
{
    const KeyValueCase &c = GetParam();
    FakeRegistry registry;
    if (c.value)
        registry.set(kMachine, kKey, "PATH", *c.value);
    std::string text = kKept;
    EXPECT_EQ(GetKeyValue(registry, kMachine, kKey, "PATH", text), c.found);
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(registry.closed.size(), 1u) << "the key is closed once on every road";
    EXPECT_EQ(registry.stillOpen(), 0u);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(ValueShapes, GetKeyValueTest, testing::Values(
    KeyValueCase{"String", str("C:\\msinfo32.exe"), true, "C:\\msinfo32.exe"},
    KeyValueCase{"StringEndsAtFirstNul", str({'a', 'b', 0, 'c', 0}), true, "ab"},
    KeyValueCase{"ExactlyTheBuffer", str(std::string(1024, 'x')), true, std::string(1024, 'x')},
    KeyValueCase{"LongerThanTheBuffer", str(std::string(1025, 'x')), false, ""},
    KeyValueCase{"DwordHighBit", str("\xff\xff\xff\xff", RegistryType::Dword), true, "4294967295"},
    KeyValueCase{"OtherTypeKeepsCallersText", str("abc", RegistryType::Binary), true, kKept},
    KeyValueCase{"MissingKey", std::nullopt, false, ""}),
    [](const auto &p) { return std::string(p.param.name); });
// clang-format on

// A program found that will not start is reported, so that the user is told.
TEST(StartSysInfo, ReportsAProgramThatWillNotStart)
{
    FakeRegistry registry;
    FakeFileProbe files;
    files.files = {"/usr/bin/hardinfo"};
    FakeProcessStarter processes;
    const WellKnownPrograms programs{{"/usr/bin/hardinfo"}, {}};
    EXPECT_FALSE(startSysInfo({registry, files, processes, programs}).ok());
    processes.startable = files.files;
    EXPECT_TRUE(startSysInfo({registry, files, processes, programs}).ok());
    EXPECT_EQ(processes.started.size(), 2u);
}

} // namespace
} // namespace velumbra
