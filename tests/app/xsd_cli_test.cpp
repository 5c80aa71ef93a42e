// A recipient's schema end to end through the trelmo program: a target
// namespace, an include in a subfolder, dates, positive integers, a pattern,
// a maximum length, an enumerated attribute and a fixed value, over a
// Shift_JIS CSV file of 1,000 records with four planted faults.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>

#include "tests/support/recode.h"
#include "tests/support/temp_dir.h"

namespace trelmo {
namespace {

namespace fs = std::filesystem;

std::string shiftJis(const std::string& utf8) {
    const std::optional<std::string> text = test::recode(utf8, "CP932", "UTF-8");
    EXPECT_TRUE(text);
    return text.value_or("");
}

// Records 250, 400, 512 and 777 break the XSD in columns 4, 3, 1 and 2.
std::string orders(bool planted) {
    std::string csv;
    for (int i = 1; i <= 1000; ++i) {
        char number[16], day[16];
        std::snprintf(number, sizeof number, "AB-%06d", i);
        std::snprintf(day, sizeof day, "2026-%02d-%02d", i % 12 + 1, i % 28 + 1);
        std::string kind = i % 7 ? "通常" : "至急", quantity = std::to_string(i % 50 + 1), code = number, date = day;
        if (planted && i == 250) quantity = "0";
        if (planted && i == 400) date = "2026/04/01";
        if (planted && i == 512) kind = "特急";
        if (planted && i == 777) code = "AB-77";
        csv += kind + "," + code + "," + date + "," + quantity + ",商品" + std::to_string(i) + ",JPY\r\n";
    }
    return shiftJis(csv);
}

class XsdCli : public testing::TestWithParam<const char*> {
protected:
    XsdCli() { fs::copy(test::sourceDir() / "tests/data/xsd", tmp.path(), fs::copy_options::recursive); }

    int trelmo(const std::string& csv) {
        const std::string command = std::string(GetParam()) + " '" + std::getenv("TRELMO_EXE") + "' '" + csv + "' '" +
                                    tmp.file("orders.dsd") + "' '" + out + "' 2>'" + tmp.file("stderr") + "'";
        const int raw = std::system(command.c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }

    test::TempDir tmp;
    std::string out = tmp.file("out.xml");
};

TEST_P(XsdCli, RefusesThePlantedFaultsAndSavesTheCleanFile) {
    test::writeFile(out, "old");
    EXPECT_EQ(trelmo(tmp.write("planted.csv", orders(true))), 1);
    EXPECT_EQ(test::readFile(out), "old");
    const std::string said = test::readFile(tmp.file("stderr"));
    std::set<std::string> cells;
    const std::regex cell("(\\d+) 件目のレコード(の (\\d+) 列目)?");
    for (auto it = std::sregex_iterator(said.begin(), said.end(), cell); it != std::sregex_iterator(); ++it) {
        cells.insert(it->str());
    }
    EXPECT_EQ(cells, (std::set<std::string>{"250 件目のレコードの 4 列目", "400 件目のレコードの 3 列目",
                                            "512 件目のレコードの 1 列目", "777 件目のレコードの 2 列目"}))
        << said;

    EXPECT_EQ(trelmo(tmp.write("clean.csv", orders(false))), 0) << test::readFile(tmp.file("stderr"));
    const std::string xmllint = "xmllint --noout --nonet --schema '" + tmp.file("xsd/orders.xsd") + "' '" + out +
                                "' 2>/dev/null";
    EXPECT_EQ(std::system(xmllint.c_str()), 0);
}

// The same without a network: nothing is fetched either way.
INSTANTIATE_TEST_SUITE_P(WithAndWithoutNetwork, XsdCli, testing::Values("", "unshare -rn"));

}  // namespace
}  // namespace trelmo
