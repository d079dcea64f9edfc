// The registry look-up and the search for the system-information program,
// over an in-memory registry and file system: the real registry exists only
// on Windows, where these same tests run under wine.
#include "fakeregistry.h"
#include "pageaddress.h"
#include "sysinfo.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace velumbra {
namespace {

constexpr RegistryRoot kMachine = RegistryRoot::LocalMachine;
const std::string kKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

std::string bytes(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values)
        s.push_back(static_cast<char>(v));
    return s;
}

struct KeyValueCase
{
    const char *name;
    bool keyExists;
    bool valueExists;
    FakeRegistry::Value value;
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
    if (c.valueExists)
        registry.set(kMachine, kKey, "PATH", c.value);

    std::string text = "laissé par l'appelant";
    EXPECT_EQ(GetKeyValue(registry, kMachine, kKey, "PATH", text), c.expectedResult);
    EXPECT_EQ(text, c.expectedText);
    ASSERT_EQ(registry.closed.size(), 1u) << "the key is closed once on every road";
    EXPECT_EQ(registry.stillOpen(), 0u);
}

const std::string kKept = "laissé par l'appelant";

INSTANTIATE_TEST_SUITE_P(
    ValueShapes, GetKeyValueTest,
    testing::Values(
        KeyValueCase{"StringWithNul",
                     true,
                     true,
                     {RegistryType::String, bytes({'a', ':', '\\', 'x', 0})},
                     true,
                     "a:\\x"},
        KeyValueCase{"StringWithoutNul",
                     true,
                     true,
                     {RegistryType::String, "C:\\msinfo32.exe"},
                     true,
                     "C:\\msinfo32.exe"},
        KeyValueCase{"StringEndsAtFirstNul",
                     true,
                     true,
                     {RegistryType::String, bytes({'a', 'b', 0, 'c', 0})},
                     true,
                     "ab"},
        KeyValueCase{"ZeroLengthString", true, true, {RegistryType::String, ""}, true, ""},
        KeyValueCase{"ExactlyTheBuffer",
                     true,
                     true,
                     {RegistryType::String, std::string(1024, 'x')},
                     true,
                     std::string(1024, 'x')},
        KeyValueCase{"LongerThanTheBuffer",
                     true,
                     true,
                     {RegistryType::String, std::string(1025, 'x')},
                     false,
                     ""},
        KeyValueCase{
            "Dword", true, true, {RegistryType::Dword, bytes({0x2a, 0x01, 0, 0})}, true, "298"},
        KeyValueCase{"DwordHighBit",
                     true,
                     true,
                     {RegistryType::Dword, bytes({0xff, 0xff, 0xff, 0xff})},
                     true,
                     "4294967295"},
        KeyValueCase{
            "OtherTypeKeepsCallersText", true, true, {RegistryType::Binary, "abc"}, true, kKept},
        KeyValueCase{"ExpandStringIsAnotherType",
                     true,
                     true,
                     {RegistryType::ExpandString, "%x%"},
                     true,
                     kKept},
        KeyValueCase{"MissingValue", true, false, {}, false, ""},
        KeyValueCase{"MissingKey", false, false, {}, false, ""}),
    [](const testing::TestParamInfo<KeyValueCase> &p) { return p.param.name; });

TEST(GetKeyValue, ARefusedKeyCountsAsMissingAndIsStillClosed)
{
    FakeRegistry registry;
    registry.set(kMachine, kKey, "PATH", {RegistryType::String, "C:\\x.exe"});
    registry.deniedKeys.insert({kMachine, kKey});
    std::string text = "avant";
    EXPECT_FALSE(GetKeyValue(registry, kMachine, kKey, "PATH", text));
    EXPECT_EQ(text, "");
    EXPECT_EQ(registry.closed.size(), 1u);
}

// The order of the search: registry path, well-known full paths, registry
// folder, search folders; the first source that answers decides.
struct SearchCase
{
    const char *name;
    std::optional<FakeRegistry::Value> pathValue;
    std::optional<std::string> locationValue;
    std::set<std::string> files;
    std::set<std::string> startable;
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
        registry.set(kMachine, kLocationKey, "MSINFO", {RegistryType::String, *c.locationValue});
    FakeFileProbe files;
    files.files = c.files;
    FakeProcessStarter processes;
    processes.startable = c.startable;
    processes.folders = {"/opt/outils/bin", "/usr/local/bin/"};
    const WellKnownPrograms programs{{"/usr/bin/hardinfo", "/usr/bin/kinfocenter"},
                                     {"hardinfo", "kinfocenter"}};

    EXPECT_EQ(startSysInfo({registry, files, processes, programs}), c.expectedStarted);
    EXPECT_EQ(processes.started, c.expectedStarts);
    EXPECT_EQ(registry.stillOpen(), 0u);
}

const std::string kMsinfo = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo";

INSTANTIATE_TEST_SUITE_P(
    Sources, StartSysInfoTest,
    testing::Values(
        SearchCase{"RegistryPathStartedUnchecked",
                   FakeRegistry::Value{RegistryType::String, "C:\\si.exe"},
                   std::nullopt,
                   {},
                   {"C:\\si.exe"},
                   {"C:\\si.exe"},
                   true},
        SearchCase{"RegistryPathMissingFileGivesNotice",
                   FakeRegistry::Value{RegistryType::String, "C:\\absent.exe"},
                   kMsinfo,
                   {kMsinfo + "\\MSINFO32.EXE"},
                   {},
                   {"C:\\absent.exe"},
                   false},
        SearchCase{"RegistryPathOfOtherTypeStartsEmptyPath",
                   FakeRegistry::Value{RegistryType::Binary, "xyz"},
                   std::nullopt,
                   {},
                   {},
                   {""},
                   false},
        SearchCase{"RegistryPathBeatsWellKnownPrograms",
                   FakeRegistry::Value{RegistryType::String, "C:\\si.exe"},
                   std::nullopt,
                   {"/usr/bin/hardinfo"},
                   {"C:\\si.exe"},
                   {"C:\\si.exe"},
                   true},
        SearchCase{"RegistryFolderWithMsinfo32",
                   std::nullopt,
                   kMsinfo,
                   {kMsinfo + "\\MSINFO32.EXE"},
                   {kMsinfo + "\\MSINFO32.EXE"},
                   {kMsinfo + "\\MSINFO32.EXE"},
                   true},
        SearchCase{"RegistryFolderWithTrailingBackslash",
                   std::nullopt,
                   "C:\\Outils\\",
                   {"C:\\Outils\\MSINFO32.EXE"},
                   {"C:\\Outils\\MSINFO32.EXE"},
                   {"C:\\Outils\\MSINFO32.EXE"},
                   true},
        SearchCase{
            "RegistryFolderWithoutMsinfo32StartsNothing", std::nullopt, kMsinfo, {}, {}, {}, false},
        SearchCase{"EmptyRegistryFolderStartsNothing",
                   std::nullopt,
                   "",
                   {"\\MSINFO32.EXE"},
                   {},
                   {},
                   false},
        SearchCase{"FirstWellKnownProgramThatExists",
                   std::nullopt,
                   std::nullopt,
                   {"/usr/bin/kinfocenter"},
                   {"/usr/bin/kinfocenter"},
                   {"/usr/bin/kinfocenter"},
                   true},
        SearchCase{"FullPathsBeforeSearchFolders",
                   std::nullopt,
                   std::nullopt,
                   {"/usr/bin/kinfocenter", "/opt/outils/bin/hardinfo"},
                   {"/usr/bin/kinfocenter"},
                   {"/usr/bin/kinfocenter"},
                   true},
        SearchCase{"SearchFolderInPathOrder",
                   std::nullopt,
                   std::nullopt,
                   {"/usr/local/bin/hardinfo", "/opt/outils/bin/kinfocenter"},
                   {"/opt/outils/bin/kinfocenter"},
                   {"/opt/outils/bin/kinfocenter"},
                   true},
        SearchCase{"SearchFolderWithTrailingSlash",
                   std::nullopt,
                   std::nullopt,
                   {"/usr/local/bin/kinfocenter"},
                   {"/usr/local/bin/kinfocenter"},
                   {"/usr/local/bin/kinfocenter"},
                   true},
        SearchCase{"FoundButWillNotStart",
                   std::nullopt,
                   std::nullopt,
                   {"/usr/bin/hardinfo"},
                   {},
                   {"/usr/bin/hardinfo"},
                   false},
        SearchCase{"NothingAnywhere", std::nullopt, std::nullopt, {}, {}, {}, false}),
    [](const testing::TestParamInfo<SearchCase> &p) { return p.param.name; });

struct AddressCase
{
    const char *name;
    std::string configured;
    std::set<std::string> files;
    std::string expected;
};

class HelpAddressTest : public testing::TestWithParam<AddressCase>
{
};

TEST_P(HelpAddressTest, PrefersConfiguredThenInstalledThenSourceCopy)
{
    const AddressCase &c = GetParam();
    // Paths are compared in the system's own separators (backslashes on
    // Windows), the form the file probe and the browser are given.
    const auto native = [](const std::string &path) {
        return std::filesystem::path(path).make_preferred().string();
    };
    FakeFileProbe files;
    for (const std::string &file : c.files)
        files.files.insert(native(file));
    const HelpPageCopies copies{"../share/velumbra/aide.html", native("/src/about/help/aide.html")};
    EXPECT_EQ(helpPageAddress(c.configured, "/usr/bin", copies, files),
              c.configured.empty() ? native(c.expected) : c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, HelpAddressTest,
    testing::Values(
        AddressCase{"Configured",
                    "https://exemple.fr/aide",
                    {"/usr/share/velumbra/aide.html"},
                    "https://exemple.fr/aide"},
        AddressCase{"Installed",
                    "",
                    {"/usr/share/velumbra/aide.html", "/src/about/help/aide.html"},
                    "/usr/share/velumbra/aide.html"},
        AddressCase{"BuildTree", "", {"/src/about/help/aide.html"}, "/src/about/help/aide.html"},
        AddressCase{"NeitherGivesInstalled", "", {}, "/usr/share/velumbra/aide.html"}),
    [](const testing::TestParamInfo<AddressCase> &p) { return p.param.name; });

TEST(AuthorAddress, FallsBackToTheHelpPage)
{
    EXPECT_EQ(authorSiteAddress("", "/usr/share/velumbra/aide.html"),
              "/usr/share/velumbra/aide.html");
    EXPECT_EQ(authorSiteAddress("https://auteur.fr/", "/aide.html"), "https://auteur.fr/");
}

} // namespace
} // namespace velumbra
