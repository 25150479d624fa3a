#include "DecimalSymbol.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace korvane {
namespace {

using namespace korvane::testing;

// Compiles a locale from its Debian source into folder/<name>, as locale-gen
// names them (so "xx_XX.UTF-8" finds "xx_XX.utf8").
void CompileLocale(const TempDir& folder, const std::string& source, const std::string& name) {
    const std::string command =
        "localedef -c -i " + source + " -f UTF-8 " + folder.file(name) + " >/dev/null 2>&1";
    [[maybe_unused]] const int status = std::system(command.c_str());
    ASSERT_TRUE(std::filesystem::exists(folder.file(name) + "/LC_NUMERIC"))
        << command << " made no locale (the locales package installs the sources)";
}

TEST(DecimalSymbol, NumericLocaleNamedByTheEnvironmentValues) {
    TempDir locales;
    CompileLocale(locales, "de_DE", "de_DE.utf8");
    CompileLocale(locales, "en_US", "en_US.utf8");
    CompileLocale(locales, "ps_AF", "ps_AF.utf8"); // its symbol is U+066B
    ASSERT_EQ(::setenv("LOCPATH", locales.path().c_str(), 1), 0);

    EXPECT_EQ(NumericLocaleDecimalSymbol(nullptr, nullptr, "de_DE.UTF-8"), ',');
    EXPECT_EQ(NumericLocaleDecimalSymbol(nullptr, nullptr, "en_US.UTF-8"), '.');
    // LC_ALL before LC_NUMERIC before LANG; an empty value counts as unset.
    EXPECT_EQ(NumericLocaleDecimalSymbol("de_DE.UTF-8", "en_US.UTF-8", "en_US.UTF-8"), ',');
    EXPECT_EQ(NumericLocaleDecimalSymbol("", "de_DE.UTF-8", "en_US.UTF-8"), ',');
    EXPECT_EQ(NumericLocaleDecimalSymbol("", "", "de_DE.UTF-8"), ',');
    // Not installed, unknown, the C locale, and a symbol outside ASCII.
    EXPECT_EQ(NumericLocaleDecimalSymbol("fr_FR.UTF-8", "de_DE.UTF-8", nullptr), '.');
    EXPECT_EQ(NumericLocaleDecimalSymbol(nullptr, "no such locale", nullptr), '.');
    EXPECT_EQ(NumericLocaleDecimalSymbol(nullptr, nullptr, nullptr), '.');
    EXPECT_EQ(NumericLocaleDecimalSymbol(nullptr, nullptr, "ps_AF.UTF-8"), '.');

    // Nothing comes from the process's own environment.
    ASSERT_EQ(::setenv("LC_ALL", "de_DE.UTF-8", 1), 0);
    EXPECT_EQ(NumericLocaleDecimalSymbol(nullptr, nullptr, "en_US.UTF-8"), '.');
    EXPECT_EQ(UserDecimalSymbol(), ',');
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    ::unsetenv("LC_ALL");
    ::unsetenv("LOCPATH");
}

} // namespace
} // namespace korvane
