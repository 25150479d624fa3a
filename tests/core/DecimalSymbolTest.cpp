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

// Compiles a locale from its Debian source into folder/<name>, named as
// locale-gen names them ("xx_XX.UTF-8" finds "xx_XX.utf8").
void CompileLocale(const TempDir& folder, const std::string& source, const std::string& charmap,
                   const std::string& name) {
    const std::string command = "localedef -c -i " + source + " -f " + charmap + " " +
                                folder.file(name) + " >/dev/null 2>&1";
    [[maybe_unused]] const int status = std::system(command.c_str());
    ASSERT_TRUE(std::filesystem::exists(folder.file(name) + "/LC_NUMERIC"))
        << command << " made no locale (the locales package installs the sources)";
}

TEST(DecimalSymbol, NumericLocaleNamedByTheEnvironmentValues) {
    TempDir locales;
    // Single-byte character sets compile in a fraction of UTF-8's time.
    CompileLocale(locales, "de_DE", "ISO-8859-1", "de_DE.iso88591");
    CompileLocale(locales, "en_US", "ISO-8859-1", "en_US.iso88591");
    CompileLocale(locales, "ps_AF", "UTF-8", "ps_AF.utf8"); // its symbol is U+066B
    ASSERT_EQ(::setenv("LOCPATH", locales.path().c_str(), 1), 0);
    const char* comma = "de_DE.ISO-8859-1";
    const char* point = "en_US.ISO-8859-1";

    EXPECT_EQ(NumericLocaleDecimalSymbol(nullptr, nullptr, comma), ',');
    EXPECT_EQ(NumericLocaleDecimalSymbol(nullptr, nullptr, point), '.');
    // LC_ALL before LC_NUMERIC before LANG; an empty value counts as unset.
    EXPECT_EQ(NumericLocaleDecimalSymbol(comma, point, point), ',');
    EXPECT_EQ(NumericLocaleDecimalSymbol("", comma, point), ',');
    EXPECT_EQ(NumericLocaleDecimalSymbol("", "", comma), ',');
    // Not installed, unknown, the C locale, and a symbol outside ASCII.
    EXPECT_EQ(NumericLocaleDecimalSymbol("fr_FR.UTF-8", comma, nullptr), '.');
    EXPECT_EQ(NumericLocaleDecimalSymbol(nullptr, "no such locale", nullptr), '.');
    EXPECT_EQ(NumericLocaleDecimalSymbol(nullptr, nullptr, nullptr), '.');
    EXPECT_EQ(NumericLocaleDecimalSymbol(nullptr, nullptr, "ps_AF.UTF-8"), '.');

    // Nothing comes from the process's own environment or locale.
    ASSERT_EQ(::setenv("LC_ALL", comma, 1), 0);
    EXPECT_EQ(NumericLocaleDecimalSymbol(nullptr, nullptr, point), '.');
    EXPECT_EQ(UserDecimalSymbol(), ',');
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    ::unsetenv("LC_ALL");
    ::unsetenv("LOCPATH");
}

} // namespace
} // namespace korvane
