#include "LoggerTable.h"
#include "MeasuredProfile.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace korvane {
namespace {

using ChannelKind = ChannelDepth::Kind;

MeasuredRequest Ask(std::vector<ChannelRequest> channels, std::string timeColumn = {}) {
    MeasuredRequest request;
    request.Channels = std::move(channels);
    request.TimeColumn = std::move(timeColumn);
    return request;
}

MeasuredProfile Read(const std::string& text, const MeasuredRequest& request) {
    return ExtractProfile(ParseLoggerTable(text, "log.csv"), request);
}

// The message of reading text, or "" when it reads.
std::string Refusal(const std::string& text, const MeasuredRequest& request) {
    try {
        Read(text, request);
    } catch (const MeasuredError& error) {
        return error.what();
    }
    return {};
}

const ChannelDepth Face1{ChannelKind::Face1, 0};
const ChannelDepth Centre{ChannelKind::Centre, 0};

TEST(LoggerTable, ReadsTheShapesLoggersWrite) {
    struct Shape {
        const char* name;
        std::string text;
        char delimiter, decimal;
        int headerLine;
    };
    const Shape shapes[] = {
        {"plain CSV", "time,T1,T2\n0,20.5,21\n1.5,22.25,23\n", ',', '.', 1},
        {"preamble, blank lines and CR LF",
         "Logger: TL-8, serial 0042\r\nInterval: 1.5 s\r\n\r\nDate,2024-05-01\r\n\r\n"
         "time,T1,T2\r\n0,20.5,21\r\n1.5,22.25,23\r\n",
         ',', '.', 6},
        {"semicolons and decimal commas", "Zeit;T1;T2\n0;20,5;21\n1,5;22,25;23\n", ';', ',', 1},
        {"semicolons and points", "Zeit;T1;T2\n0;20.5;21\n1.5;22.25;23\n", ';', '.', 1},
        {"tabs and decimal commas", "time\tT1\tT2\n0\t20,5\t21\n1,5\t22,25\t23\n", '\t', ',', 1},
        {"quotes, blanks and a delimiter at each end",
         "\"time\", \"T1\" ,\"T2\",\n\"0\",\"20.5\",21,\n 1.5 , 22.25 ,23,\n", ',', '.', 1},
        {"CR alone", "time,T1,T2\r0,20.5,21\r1.5,22.25,23", ',', '.', 1},
        {"a byte-order mark", "\xEF\xBB\xBFtime,T1,T2\n0,20.5,21\n1.5,22.25,23\n", ',', '.', 1},
        {"empty lines and cells", "time,T1,T2\n\n0,20.5,21\n,,\n0.75,,\n1.5,22.25,23\n\n", ',', '.',
         1},
    };
    for (const Shape& shape : shapes) {
        SCOPED_TRACE(shape.name);
        const LoggerTable table = ParseLoggerTable(shape.text, "log.csv");
        EXPECT_EQ(table.Delimiter, shape.delimiter);
        EXPECT_EQ(table.Decimal, shape.decimal);
        EXPECT_EQ(table.HeaderLine, shape.headerLine);
        EXPECT_EQ(table.Encoding, "UTF-8");
        const auto profile = Read(shape.text, Ask({{"T1", Face1}, {"3", Centre}}));
        ASSERT_EQ(profile.Channels.size(), 2u);
        EXPECT_EQ(profile.Channels[0].Name, "T1");
        EXPECT_EQ(profile.Channels[1].Name, "T2");
        EXPECT_EQ(profile.Channels[0].Time, (std::vector<double>{0, 1.5}));
        EXPECT_EQ(profile.Channels[0].Temp, (std::vector<double>{20.5, 22.25}));
        EXPECT_EQ(profile.Channels[1].Temp, (std::vector<double>{21, 23}));
    }
}

TEST(LoggerTable, TakesCodePage932AndNamesColumnsByTheirHeaders) {
    // "時間;温度1 (℃);温度2 (°F)" in code page 932, one byte short of UTF-8.
    const std::string text = "\x8E\x9E\x8A\xD4;\x89\xB7\x93\x78\x31 (\x81\x8E);"
                             "\x89\xB7\x93\x78\x32 (\x81\x8B\x46)\n"
                             "00:00;20,0;68,0\n00:10;30,0;86,0\n";
    const LoggerTable table = ParseLoggerTable(text, "log.txt");
    EXPECT_EQ(table.Encoding, "CP932");
    EXPECT_EQ(table.Header[0], "時間");
    const auto profile = Read(text, Ask({{"温度1", Face1}, {"温度2 (°F)", Centre}}));
    EXPECT_EQ(profile.Channels[0].Unit, TemperatureUnit::Celsius);
    EXPECT_EQ(profile.Channels[1].Unit, TemperatureUnit::Fahrenheit);
    EXPECT_EQ(profile.Channels[1].Temp, (std::vector<double>{20, 30}));
    EXPECT_EQ(profile.Channels[0].Time, (std::vector<double>{0, 10}));
}

TEST(LoggerTable, FindsFahrenheitInTheHeaderUnlessTheUnitIsGiven) {
    for (const char* head : {"T (°F)", "T (F)", "T [F]", "T degF", "T deg F", "T ℉"})
        EXPECT_TRUE(HeaderSaysFahrenheit(head)) << head;
    for (const char* head : {"T (°C)", "TF1", "Flow", "T ℃", "T (C)"})
        EXPECT_FALSE(HeaderSaysFahrenheit(head)) << head;
    const std::string text = "t,T (degF)\n0,212\n1,32\n";
    EXPECT_EQ(Read(text, Ask({{"2", Face1}})).Channels[0].Temp, (std::vector<double>{100, 0}));
    auto celsius = Ask({{"2", Face1}});
    celsius.Unit = TemperatureUnit::Celsius;
    EXPECT_EQ(Read(text, celsius).Channels[0].Temp, (std::vector<double>{212, 32}));
    auto fahrenheit = Ask({{"2", Face1}});
    fahrenheit.Unit = ParseUnit("F");
    EXPECT_EQ(Read("t,T\n0,212\n", fahrenheit).Channels[0].Temp, (std::vector<double>{100}));
}

TEST(LoggerTable, ReadsTimesInSecondsMinutesAndHours) {
    const std::pair<const char*, double> times[] = {{"12", 12},
                                                    {"12.5", 12.5},
                                                    {"00:07", 7},
                                                    {"01:02.5", 62.5},
                                                    {"75:00.0", 4500},
                                                    {"1:02:03", 3723},
                                                    {"01:02:03.25", 3723.25},
                                                    {"0:00:00", 0},
                                                    {"00:02,5", 2.5},
                                                    {" 00:01 ", 1},
                                                    {"1e3", 1000}};
    for (const auto& [text, seconds] : times)
        EXPECT_EQ(ParseLoggerTime(text, '.'), seconds) << text;
    EXPECT_EQ(ParseLoggerTime("12,5", ','), 12.5);
    for (const char* text : {"", "1:2", "00:60", "01:60:00", "1:02:03:04", "00:0a", "00:1e1",
                             "-00:05", "00:05.", ":05", "12:", "2024-05-01", "12.5.1", "nan"})
        EXPECT_FALSE(ParseLoggerTime(text, '.')) << text;
    EXPECT_FALSE(ParseLoggerTime("12,5", '.'));
    EXPECT_EQ(ParseLoggerNumber("-1,5e2", ','), -150);
    for (const char* text : {"inf", "nan", "1,5", "--1", "1e", "0x10", "1 2"})
        EXPECT_FALSE(ParseLoggerNumber(text, '.')) << text;
    EXPECT_EQ(ParseStartTime("-01:30"), -90);
    EXPECT_EQ(ParseStartTime("37.4"), 37.4);
    EXPECT_FALSE(ParseStartTime("37,4"));
}

TEST(LoggerTable, FindsTheTimeAndChannelColumnsByNumberOrName) {
    const std::string text = "T top,time,T middle\n20,0,21\n22,1,23\n";
    const auto profile = Read(text, Ask({{"1", Face1}, {"t mid", Centre}}, "TIME"));
    EXPECT_EQ(profile.TimeColumn, "time");
    EXPECT_EQ(profile.Channels[0].Time, (std::vector<double>{0, 1}));
    EXPECT_EQ(profile.Channels[1].Name, "T middle");
    EXPECT_EQ(profile.Channels[1].Temp, (std::vector<double>{21, 23}));
    // Without a header row the columns have numbers alone.
    const auto bare = Read("Logger X\n0;20,5;21\n1;22;23\n", Ask({{"3", Face1}}));
    EXPECT_EQ(bare.HeaderLine, 0);
    EXPECT_EQ(bare.Channels[0].Name, "column 3");
    EXPECT_EQ(bare.Channels[0].Temp, (std::vector<double>{21, 23}));
}

TEST(LoggerTable, RefusesBrokenFilesNamingTheLineAndColumn) {
    const auto face = Ask({{"T1", Face1}, {"T2", Centre}});
    const std::pair<std::string, std::string> broken[] = {
        {"Serial;123\n\ntime;T1;T2\n0;20;21\n1;x;23\n",
         "log.csv: line 5, column 2: \"x\" is not a temperature"},
        {"time,T1,T2\n0,20,21\n1,22,23\nEnd of data\n",
         "log.csv: line 4, column 1: \"End of data\" is not a time (seconds, mm:ss or "
         "hh:mm:ss, with \".\" before a fraction)"},
        {"time;T1;T2\n0;20,5;21\n1;22.5;23\n",
         "log.csv: line 3, column 2: \"22.5\" has \".\" as its decimal symbol, but the file's "
         "is \",\""},
        {"time,T1,T2\n00:05,20,21\n00:04,22,23\n",
         "log.csv: line 3, column 1: the time 00:04 is before that of line 2"},
        {"time,T1,T2\n0,,21\n1,,23\n", "log.csv: column 2: \"T1\" holds no temperature"},
        {"time,T1,T2\n0,20,21\n1,OPEN,23\n",
         "log.csv: line 3, column 2: \"OPEN\" is not a temperature"},
        {"no numbers here\nat all\n",
         "log.csv: no line of numbers (a time and a temperature, separated by \",\", \";\" or a "
         "tab) was found"},
        {"", "log.csv: no line of numbers (a time and a temperature, separated by \",\", \";\" "
             "or a tab) was found"},
        {std::string("\xFF\xFE t\0i\0m\0e\0", 10),
         "log.csv: line 1: the file is UTF-16; export it as UTF-8 or code page 932 text"},
        {std::string("time,T1,T2\n0,20,21\n1,2\0,23\n", 26),
         "log.csv: line 3: the file holds a NUL byte: it is not a text file"},
    };
    for (const auto& [text, message] : broken)
        EXPECT_EQ(Refusal(text, face), message) << text;

    const std::string good = "time,T top,T middle,T2\n0,20,21,22\n";
    EXPECT_EQ(Refusal(good, Ask({{"T", Face1}})),
              "log.csv: \"T\" names columns 1 and 2; name it by its number");
    EXPECT_EQ(Refusal(good, Ask({{"T9", Face1}})),
              "log.csv: no column is named \"T9\"; the columns are: 1 \"time\", 2 \"T top\", "
              "3 \"T middle\", 4 \"T2\"");
    EXPECT_EQ(Refusal(good, Ask({{"5", Face1}})),
              "log.csv: there is no column 5; the 4 columns are: 1 \"time\", 2 \"T top\", 3 \"T "
              "middle\", 4 \"T2\"");
    EXPECT_EQ(Refusal(good, Ask({{"1", Face1}})), "log.csv: column 1 \"time\" is the time column");
    EXPECT_EQ(Refusal(good, Ask({{"T2", Face1}, {"4", Centre}})),
              "log.csv: column 4 \"T2\" is named twice");
    EXPECT_EQ(Refusal("0,20\n", Ask({{"x", Face1}})),
              "log.csv: no column is named \"x\"; the file has no header row, so name columns by "
              "number; the columns are: 1 \"column 1\", 2 \"column 2\"");
}

TEST(LoggerTable, ReadsFilesAndSaysWhenItCannot) {
    testing::TempDir dir;
    testing::WriteFileBytes(dir.file("log.csv"), "time,T1\n0,20\n2,21\n");
    auto request = Ask({{"T1", Face1}});
    request.File = dir.file("log.csv");
    request.Start = 1;
    const auto profile = ReadMeasuredProfile(request);
    EXPECT_EQ(profile.File, request.File);
    EXPECT_EQ(profile.Start, 1);
    EXPECT_EQ(profile.Channels[0].Line, (std::vector<int>{2, 3}));
    request.File = dir.file("missing.csv");
    EXPECT_THROW(ReadMeasuredProfile(request), MeasuredError);
    request.File = dir.path().string();
    try {
        ReadMeasuredProfile(request);
        ADD_FAILURE() << "a folder was read";
    } catch (const MeasuredError& error) {
        EXPECT_EQ(std::string(error.what()), request.File + ": the file can not be opened");
    }
}

TEST(LoggerTable, SuggestsChannelsByTheirHeaders) {
    const auto named = SuggestRequest(
        ParseLoggerTable("t;TC1 top (°F);flow;TC2 Core;TC3 bottom\n0;1;2;3;4\n", "log.csv"));
    ASSERT_EQ(named.Channels.size(), 3u);
    EXPECT_EQ(named.File, "log.csv");
    EXPECT_EQ(ChannelOptionText(named.Channels[0]), "2=face1");
    EXPECT_EQ(ChannelOptionText(named.Channels[1]), "4=centre");
    EXPECT_EQ(ChannelOptionText(named.Channels[2]), "5=face2");
    const auto bare = SuggestRequest(ParseLoggerTable("0,1,2\n1,2,3\n", "log.csv"));
    ASSERT_EQ(bare.Channels.size(), 1u);
    EXPECT_EQ(ChannelOptionText(bare.Channels[0]), "2=face1");
}

TEST(LoggerTable, ParsesChannelOptions) {
    const auto parsed = ParseChannelOption("TC1 = a (°F)=0.15");
    ASSERT_TRUE(parsed.Error.empty()) << parsed.Error;
    EXPECT_EQ(parsed.Channel.Column, "TC1 = a (°F)");
    EXPECT_EQ(parsed.Channel.Depth.Where, ChannelKind::Cm);
    EXPECT_EQ(parsed.Channel.Depth.Cm, 0.15);
    EXPECT_EQ(ChannelOptionText(parsed.Channel), "TC1 = a (°F)=0.15");
    for (const char* depth : {"face1", "Face2", "centre", "center", "MEAN"})
        EXPECT_TRUE(ParseDepth(depth)) << depth;
    EXPECT_EQ(DepthText(*ParseDepth("center")), "centre");
    EXPECT_EQ(ParseChannelOption("T1=middle").Error,
              "--channel T1=middle: the depth \"middle\" is none of face1, face2, centre, mean or "
              "a depth in cm from face 1");
    EXPECT_FALSE(ParseChannelOption("face1").Error.empty());
    EXPECT_FALSE(ParseChannelOption("=face1").Error.empty());
    EXPECT_FALSE(ParseDepth("-0.1"));
    EXPECT_FALSE(ParseDepth("0,1"));
    EXPECT_TRUE(std::isnan(DepthCm({ChannelKind::Mean, 0}, 1)));
    EXPECT_EQ(DepthCm({ChannelKind::Cm, 5}, 0.3), 0.3);
}

} // namespace
} // namespace korvane
