// The registry look-up and the search for the system-information program,
// over an in-memory registry and file system: the real registry exists only
// on Windows, where these same tests run under wine.
#include "about/pageaddress.h"
#include "about/sysinfo.h"
#include "platform/fakes/fakeregistry.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace velumbra {
namespace {

constexpr RegistryRoot kMachine = RegistryRoot::LocalMachine;
const std::string kKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const std::string kKept = "laissé par l'appelant";

FakeRegistry::Value str(std::string bytes, std::uint32_t type = RegistryType::String)
{
    return {type, std::move(bytes)};
}

struct KeyValueCase
{
    const char *name;
    bool keyExists;
    std::optional<FakeRegistry::Value> value;
    bool expectedResult;
    std::string expectedText;
};

class GetKeyValueTest : public testing::TestWithParam<KeyValueCase>
{
};

TEST_P(GetKeyValueTest, ReadsTheValueAndAlwaysClosesTheKey)
{
    const KeyValueCase &c = GetParam();
    FakeRegistry registry;
    if (c.keyExists)
        registry.keys[{kMachine, kKey}];
    if (c.value)
        registry.set(kMachine, kKey, "PATH", *c.value);

    std::string text = kKept;
    EXPECT_EQ(GetKeyValue(registry, kMachine, kKey, "PATH", text), c.expectedResult);
    EXPECT_EQ(text, c.expectedText);
    ASSERT_EQ(registry.closed.size(), 1u) << "the key is closed once on every road";
    EXPECT_EQ(registry.stillOpen(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    ValueShapes, GetKeyValueTest,
    testing::Values(
        KeyValueCase{"StringWithoutNul", true, str("C:\\msinfo32.exe"), true, "C:\\msinfo32.exe"},
        KeyValueCase{"StringEndsAtFirstNul", true, str({'a', 'b', 0, 'c', 0}), true, "ab"},
        KeyValueCase{"ZeroLengthString", true, str(""), true, ""},
        KeyValueCase{"ExactlyTheBuffer", true, str(std::string(1024, 'x')), true,
                     std::string(1024, 'x')},
        KeyValueCase{"LongerThanTheBuffer", true, str(std::string(1025, 'x')), false, ""},
        KeyValueCase{"Dword", true, str({0x2a, 0x01, 0, 0}, RegistryType::Dword), true, "298"},
        KeyValueCase{"DwordHighBit", true, str("\xff\xff\xff\xff", RegistryType::Dword), true,
                     "4294967295"},
        KeyValueCase{"OtherTypeKeepsCallersText", true, str("abc", RegistryType::Binary), true,
                     kKept},
        KeyValueCase{"ExpandStringIsAnotherType", true, str("%x%", RegistryType::ExpandString),
                     true, kKept},
        KeyValueCase{"MissingValue", true, std::nullopt, false, ""},
        KeyValueCase{"MissingKey", false, std::nullopt, false, ""}),
    [](const testing::TestParamInfo<KeyValueCase> &p) { return p.param.name; });

TEST(GetKeyValue, ARefusedKeyCountsAsMissingAndIsStillClosed)
{
    FakeRegistry registry;
    registry.set(kMachine, kKey, "PATH", str("C:\\x.exe"));
    registry.deniedKeys.insert({kMachine, kKey});
    std::string text = "avant";
    EXPECT_FALSE(GetKeyValue(registry, kMachine, kKey, "PATH", text));
    EXPECT_EQ(text, "");
    EXPECT_EQ(registry.closed.size(), 1u);
}

// The order of the search: registry path, well-known full paths, registry
// folder, search folders; the first source that answers decides. Only the
// last attempt of a successful search may start.
struct SearchCase
{
    const char *name;
    std::optional<FakeRegistry::Value> pathValue;
    std::optional<std::string> locationValue;
    std::set<std::string> files;
    std::vector<std::string> expectedStarts; ///< attempts, in order
    bool expectedStarted;
};

class StartSysInfoTest : public testing::TestWithParam<SearchCase>
{
};

TEST_P(StartSysInfoTest, FollowsTheOrderAndReportsFailure)
{
    const SearchCase &c = GetParam();
    FakeRegistry registry;
    if (c.pathValue)
        registry.set(kMachine, kKey, "PATH", *c.pathValue);
    if (c.locationValue)
        registry.set(kMachine, kLocationKey, "MSINFO", str(*c.locationValue));
    FakeFileProbe files;
    files.files = c.files;
    FakeProcessStarter processes;
    if (c.expectedStarted)
        processes.startable = {c.expectedStarts.back()};
    processes.folders = {"/opt/outils/bin", "/usr/local/bin/"};
    const WellKnownPrograms programs{{"/usr/bin/hardinfo", "/usr/bin/kinfocenter"},
                                     {"hardinfo", "kinfocenter"}};

    EXPECT_EQ(startSysInfo({registry, files, processes, programs}), c.expectedStarted);
    EXPECT_EQ(processes.started, c.expectedStarts);
    EXPECT_EQ(registry.stillOpen(), 0u);
}

const std::string kMsinfo = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo";
const std::string kMsinfo32 = kMsinfo + "\\MSINFO32.EXE";

INSTANTIATE_TEST_SUITE_P(
    Sources, StartSysInfoTest,
    testing::Values(
        SearchCase{"RegistryPathStartedUnchecked", str("C:\\si.exe"), {}, {}, {"C:\\si.exe"}, true},
        SearchCase{"RegistryPathMissingFileGivesNotice",
                   str("C:\\absent.exe"),
                   kMsinfo,
                   {kMsinfo32},
                   {"C:\\absent.exe"},
                   false},
        SearchCase{"RegistryPathOfOtherTypeStartsEmptyPath",
                   str("xyz", RegistryType::Binary),
                   {},
                   {},
                   {""},
                   false},
        SearchCase{"RegistryPathBeatsWellKnownPrograms",
                   str("C:\\si.exe"),
                   {},
                   {"/usr/bin/hardinfo"},
                   {"C:\\si.exe"},
                   true},
        SearchCase{"RegistryFolderWithMsinfo32", {}, kMsinfo, {kMsinfo32}, {kMsinfo32}, true},
        SearchCase{"RegistryFolderWithTrailingBackslash",
                   {},
                   "C:\\Outils\\",
                   {"C:\\Outils\\MSINFO32.EXE"},
                   {"C:\\Outils\\MSINFO32.EXE"},
                   true},
        SearchCase{"RegistryFolderWithoutMsinfo32StartsNothing", {}, kMsinfo, {}, {}, false},
        SearchCase{"EmptyRegistryFolderStartsNothing", {}, "", {"\\MSINFO32.EXE"}, {}, false},
        SearchCase{"FullPathsBeforeSearchFolders",
                   {},
                   {},
                   {"/usr/bin/kinfocenter", "/opt/outils/bin/hardinfo"},
                   {"/usr/bin/kinfocenter"},
                   true},
        SearchCase{"SearchFolderInPathOrder",
                   {},
                   {},
                   {"/usr/local/bin/hardinfo", "/opt/outils/bin/kinfocenter"},
                   {"/opt/outils/bin/kinfocenter"},
                   true},
        SearchCase{"SearchFolderWithTrailingSlash",
                   {},
                   {},
                   {"/usr/local/bin/kinfocenter"},
                   {"/usr/local/bin/kinfocenter"},
                   true},
        SearchCase{
            "FoundButWillNotStart", {}, {}, {"/usr/bin/hardinfo"}, {"/usr/bin/hardinfo"}, false},
        SearchCase{"NothingAnywhere", {}, {}, {}, {}, false}),
    [](const testing::TestParamInfo<SearchCase> &p) { return p.param.name; });

struct AddressCase
{
    const char *name;
    std::string configured;
    std::string relative;
    std::string expected;
};

class HelpAddressTest : public testing::TestWithParam<AddressCase>
{
};

// Paths are compared in the system's own separators (backslashes on
// Windows), the form the browser is given.
TEST_P(HelpAddressTest, PrefersConfiguredThenThePageBesideTheProgram)
{
    const AddressCase &c = GetParam();
    const std::string expected = c.configured.empty()
                                     ? std::filesystem::path(c.expected).make_preferred().string()
                                     : c.expected;
    EXPECT_EQ(helpPageAddress(c.configured, "/usr/bin", c.relative), expected);
}

const std::string kInstalled = "/usr/share/velumbra/aide.html";

INSTANTIATE_TEST_SUITE_P(
    Addresses, HelpAddressTest,
    testing::Values(AddressCase{"Configured", "https://exemple.fr/aide",
                                "../share/velumbra/aide.html", "https://exemple.fr/aide"},
                    AddressCase{"Installed", "", "../share/velumbra/aide.html", kInstalled}),
    [](const testing::TestParamInfo<AddressCase> &p) { return p.param.name; });

TEST(AuthorAddress, FallsBackToTheHelpPage)
{
    EXPECT_EQ(authorSiteAddress("", kInstalled), kInstalled);
    EXPECT_EQ(authorSiteAddress("https://auteur.fr/", "/aide.html"), "https://auteur.fr/");
}

} // namespace
} // namespace velumbra
