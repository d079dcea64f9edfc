// SPDX-License-Identifier: GPL-3.0-or-later
// The registry look-up and the search for the system-information program,
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

// The order of the search: registry path, well-known full paths, registry
// folder, search folders; the first source that answers decides. Only the
// last attempt of a successful search may start.
// starts: the attempts, in order.
// clang-format off
struct SearchCase { const char *name; Value pathValue; std::optional<std::string> folderValue;
                    std::set<std::string> files; std::vector<std::string> starts; bool started; };
class StartSysInfoTest : public testing::TestWithParam<SearchCase> {};
// clang-format on

TEST_P(StartSysInfoTest, FollowsTheOrderAndReportsFailure)
{
    const SearchCase &c = GetParam();
    FakeRegistry registry;
    if (c.pathValue)
        registry.set(kMachine, kKey, "PATH", *c.pathValue);
    if (c.folderValue)
        registry.set(kMachine, "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO",
                     *str(*c.folderValue));
    FakeFileProbe files;
    files.files = c.files;
    FakeProcessStarter processes;
    if (c.started)
        processes.startable = {c.starts.back()};
    processes.folders = {"/opt/outils/bin", "/usr/local/bin/"};
    const WellKnownPrograms programs{{"/usr/bin/hardinfo", "/usr/bin/kinfocenter"},
                                     {"hardinfo", "kinfocenter"}};
    EXPECT_EQ(startSysInfo({registry, files, processes, programs}).ok(), c.started);
    EXPECT_EQ(processes.started, c.starts);
    EXPECT_EQ(registry.stillOpen(), 0u);
}

const std::string kMsinfo = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo";
const std::string kMsinfo32 = kMsinfo + "\\MSINFO32.EXE";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Sources, StartSysInfoTest, testing::Values(
    SearchCase{"RegistryPathMissingFileGivesNotice", str("C:\\absent.exe"), kMsinfo, {kMsinfo32}, {"C:\\absent.exe"}, false},
    SearchCase{"RegistryFolderWithMsinfo32", {}, kMsinfo, {kMsinfo32}, {kMsinfo32}, true},
    SearchCase{"SearchFolderInPathOrder", {}, {}, {"/usr/local/bin/hardinfo", "/opt/outils/bin/kinfocenter"}, {"/opt/outils/bin/kinfocenter"}, true},
    SearchCase{"FoundButWillNotStart", {}, {}, {"/usr/bin/hardinfo"}, {"/usr/bin/hardinfo"}, false},
    SearchCase{"NothingAnywhere", {}, {}, {}, {}, false}),
    [](const auto &p) { return std::string(p.param.name); });
// clang-format on

} // namespace
} // namespace velumbra
