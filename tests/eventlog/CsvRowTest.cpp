#include <gtest/gtest.h>

#include "eventlog/CsvRow.h"

namespace {

// Names stand as they are: no quoting, even with commas, and empty names give empty titles.
TEST(CsvRow, HeaderCarriesTheNamesUnquoted) {
    const std::string fixed =
        "\x93\xfa\x95\x74,\x8e\x9e\x8d\x8f,\x90\xda\x91\xb1\x8c\xb3IP\x83\x41\x83h\x83\x8c\x83X,";
    EXPECT_EQ(FormatCsvHeader({"DI1", "DI2", "DI3", "DI4", "DI5"}),
              fixed + "DI1,DI2,DI3,DI4,DI5\n");
    EXPECT_EQ(FormatCsvHeader({"a,b", "", "\x83\x7c\x83\x93\x83\x76", "", "\"q\""}),
              fixed + "a,b,,\x83\x7c\x83\x93\x83\x76,,\"q\"\n");
}

TEST(CsvRow, RowCarriesLocalTimeAddressAndStates) {
    std::tm time{};
    time.tm_year = 2024 - 1900;
    time.tm_mon = 4;
    time.tm_mday = 17;
    time.tm_hour = 9;
    time.tm_min = 30;
    time.tm_sec = 15;
    EXPECT_EQ(FormatCsvRow(time, "192.168.0.10", {true, false, true, false, false}),
              "2024/05/17,09:30:15,192.168.0.10,1,0,1,0,0\n");
    EXPECT_EQ(FormatCsvRow(time, "255.255.255.255", {true, true, true, true, true}).size(), 46u);
}

}  // namespace
