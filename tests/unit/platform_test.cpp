// The platform layer, on whichever system the tests were built for: the same
// expectations hold for the POSIX and the Windows implementation, except where the
// systems themselves differ (error numbers, path separators).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "main/driver.hpp"
#include "platform/platform.hpp"

namespace quenra {
namespace {

#if defined(_WIN32)
constexpr int NOT_FOUND = 2;  // ERROR_FILE_NOT_FOUND
#else
constexpr int NOT_FOUND = 2;  // ENOENT
#endif

std::filesystem::path scratch_file(const char* name, const std::string& bytes) {
    auto path = std::filesystem::temp_directory_path() / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

TEST(Platform, ReadsAFileAsItsExactBytes) {
    // Line breaks of both kinds, a NUL and bytes that are not text come back unchanged.
    std::string bytes = "a\r\nb\n\0c\xff\xfe";
    bytes += std::string(200000, 'x');  // more than one read's worth
    auto path = scratch_file("quenra_platform_exact.qn", bytes);
    std::string out = "stale";
    int error = 0;
    ASSERT_TRUE(platform::read_file(path.string(), out, error));
    EXPECT_EQ(out, bytes);
    std::filesystem::remove(path);
}

TEST(Platform, ReadsAnEmptyFile) {
    auto path = scratch_file("quenra_platform_empty.qn", "");
    std::string out = "stale";
    int error = 0;
    ASSERT_TRUE(platform::read_file(path.string(), out, error));
    EXPECT_EQ(out, "");
    std::filesystem::remove(path);
}

TEST(Platform, MissingFileGivesTheSystemsNumberAndText) {
    std::string out;
    int error = 0;
    auto missing = std::filesystem::temp_directory_path() / "quenra_certainly_missing.qn";
    std::filesystem::remove(missing);
    ASSERT_FALSE(platform::read_file(missing.string(), out, error));
    EXPECT_EQ(error, NOT_FOUND);
    // The system's message, without its own line break, then the number.
    std::string text = platform::os_error_text(error);
    const std::string suffix = " (os error 2)";
    ASSERT_GT(text.size(), suffix.size() + 1) << text;
    EXPECT_EQ(text.substr(text.size() - suffix.size()), suffix) << text;
    std::string message = text.substr(0, text.size() - suffix.size());
    EXPECT_EQ(message.find_first_of("\r\n"), std::string::npos) << text;
    EXPECT_NE(message.back(), ' ') << text;
}

TEST(Platform, FileNamesAreUtf8) {
    // On Windows the name goes through UTF-16; elsewhere it is used as it is.
    auto path = scratch_file("quenra_\xc3\xa9t\xc3\xa9_\xe2\x82\xac.qn", "print(1)");
    std::string out;
    int error = 0;
    ASSERT_TRUE(platform::read_file(path.string(), out, error)) << error;
    EXPECT_EQ(out, "print(1)");
    std::filesystem::remove(path);
}

TEST(Platform, RandomBytesFillTheWholeBuffer) {
    // Two draws of 4 KiB: every byte position must have been written (a zero-filled
    // buffer stays zero in a whole 64-byte stretch with probability 2^-512).
    std::string first(4096, '\0'), second(4096, '\0');
    ASSERT_TRUE(platform::random_bytes(first.data(), first.size()));
    ASSERT_TRUE(platform::random_bytes(second.data(), second.size()));
    for (std::size_t at = 0; at < first.size(); at += 64) {
        EXPECT_NE(first.substr(at, 64), std::string(64, '\0')) << at;
    }
    EXPECT_NE(first, second);
}

int deep_body(void* context) {
    // Far below the usual 1-8 MiB default: only a large reserve holds it.
    volatile char block[64 << 20];
    block[0] = 1;
    block[sizeof block - 1] = 2;
    auto* low = static_cast<std::uintptr_t*>(context);
    *low = platform::current_stack_low();
    return block[0] + block[sizeof block - 1] + 40;
}

TEST(Platform, LargeStackThreadRunsTheBodyAndKnowsItsBounds) {
    std::uintptr_t low = 0;
    EXPECT_EQ(platform::run_on_large_stack(std::size_t{1} << 30, deep_body, &low), 43);
    EXPECT_NE(low, 0u);
    // Here, on the test's own thread, the stack's low end lies below this frame.
    int here = 0;
    std::uintptr_t own_low = platform::current_stack_low();
    EXPECT_NE(own_low, 0u);
    EXPECT_LT(own_low, reinterpret_cast<std::uintptr_t>(&here));
}

TEST(Platform, MissingLibraryIsReportedNotFatal) {
    static const char* const NAMES[] = {"quenra-no-such-library-1", "quenra-no-such-library-2",
                                        nullptr};
    EXPECT_EQ(platform::open_library(NAMES), nullptr);
    EXPECT_FALSE(platform::library_error().empty());
}

TEST(Platform, CommandLineKeepsEveryArgument) {
    // On POSIX the arguments are handed over as they are; on Windows they come from
    // the process's UTF-16 command line, which for this test holds its own name
    // first (and any flags ctest passed).
    char program[] = "quenra";
    char flag[] = "-v";
    char* argv[] = {program, flag, nullptr};
    std::vector<std::string> texts = platform::command_line(2, argv);
    ASSERT_FALSE(texts.empty());
#if !defined(_WIN32)
    EXPECT_EQ(texts, (std::vector<std::string>{"quenra", "-v"}));
#else
    EXPECT_NE(texts[0].find("unit_tests"), std::string::npos) << texts[0];
#endif
}

TEST(Platform, PhysicalMemoryIsKnown) { EXPECT_GT(platform::physical_memory(), 1u << 20); }

TEST(Driver, ExtensionIsTakenFromTheLastComponent) {
    EXPECT_TRUE(has_qn_extension("dir.old/script.qn"));
    EXPECT_TRUE(has_qn_extension("script.qn/"));
    EXPECT_FALSE(has_qn_extension("dir/.qn"));
    EXPECT_FALSE(has_qn_extension("script.qn.txt"));
#if defined(_WIN32)
    // Backslashes and a drive's colon separate components on Windows.
    EXPECT_TRUE(has_qn_extension("C:\\games.old\\script.qn"));
    EXPECT_TRUE(has_qn_extension("C:script.qn"));
    EXPECT_TRUE(has_qn_extension("folder\\script.qn\\"));
    EXPECT_FALSE(has_qn_extension("folder\\.qn"));
    EXPECT_FALSE(has_qn_extension("C:.qn"));
#else
    // Elsewhere a backslash is part of a name.
    EXPECT_TRUE(has_qn_extension("folder\\.qn"));
#endif
}

}  // namespace
}  // namespace quenra
