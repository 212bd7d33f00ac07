#include "Libraries/base/os.h"
#include "Libraries/base/timestamp.h"
#include "SourceApp/application/App.h"
#include "SourceApp/application/AppImpl.h"
#include "SourceApp/application/log/LogManager.h"
#include "SourceApp/application/log/loggers/ProxyLoggers.h"
#include "SourceApp/application/log/templates/ProxyLoggerTemplate.h"
#include "SourceApp/application/log/writers/LoggerWriter.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/DataModel.h"
#include "SourceApp/system/SystemMgr.h"
#include "SourceApp/system/config.h"
#include "SourceHost/api_lib/scratch_folder.h"
#include "SourceHost/api_lib/sdcard.h"
#include "tests/support/trace_capture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace tdx::test {
namespace {

const std::string BOM = "\xEF\xBB\xBF";
constexpr oid_t ROOM = 258;
constexpr vid_t SWITCH = 0x8016; // the room's adaptive-mode toggle serves as the logging switch here
constexpr vid_t AIR = 0x000C;    // air temperature, hundredths of a degree
constexpr vid_t NAME = 0x8090;

// Wall clock and the installation's local time, on UTC: the location says offset 0.
void setClock(int year, int month, int day, int hour, int minute, int second) {
    SystemMgr* system = getApplication()->getSystemManager();
    Structure.addValueChangeHandler(system);
    pt_set_int(OID_LOCATION, SystemMgr::VID_LOCAL_TIME_OFFSET, 0, BT_VTYPE_S32);
    Structure.task();
    Structure.removeValueChangeHandler(system);
    os_time_set(static_cast<uint32_t>(timestamp_make_simple(year, month, day, hour, minute, second)));
}

// A card folder of its own, a room 258 in the tree, 5 December 2026 at 17:20:53 on a wall clock that
// stands still: every line of a test carries that second.
class Logging : public ScratchFolder {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        os_set_wall_clock([] { return int64_t{0}; });
        std::filesystem::create_directory("card");
        sdcard_set_folder("card");
        Configuration.daylight_saving = 0;
        proxytab_init();
        Structure.clear();
        Structure.append(new ProxyObject(OID_LOCATION, ObjectInfo(1, 0), nullptr));
        const bt_obj_info room{6, 0, 0, 0};
        Structure.append(
            new ProxyObject(ROOM, ObjectInfo(room), DataModel::Database::findObjectTemplate(room)));
        setClock(2026, 12, 5, 17, 20, 53);
    }
    void TearDown() override {
        Structure.clear();
        sdcard_set_folder("");
        os_set_wall_clock(nullptr);
        ScratchFolder::TearDown();
    }
    static std::string card(const std::string& name) { return readFile("card/" + name); }
    static bool exists(const std::string& name) { return std::filesystem::exists("card/" + name); }
    static LoggerWriter* writer(const std::string& prefix, uint32_t capacity = 1024) {
        return new BufferedFileLoggerWriter(new ::tdx::Logging::DailyFileName(prefix, "log"), capacity);
    }

    TraceCapture trace;
};

TEST_F(Logging, AByteOrderMarkStartsANewFileOnlyAndAnEntryThatDoesNotFitFollowsTheBufferedOnes) {
    std::unique_ptr<LoggerWriter> first(writer("w", 16));
    EXPECT_TRUE(first->isEmpty()); // no file yet
    first->write("a\r\n", 3);
    EXPECT_FALSE(first->isEmpty());
    EXPECT_FALSE(exists("w_20261205.log"));
    first->write("0123456789ABCD\r\n", 16);
    EXPECT_EQ(card("w_20261205.log"), BOM + "a\r\n0123456789ABCD\r\n");

    std::unique_ptr<LoggerWriter> second(writer("w", 16));
    second->write("g\r\n", 3);
    second->flush();
    EXPECT_EQ(card("w_20261205.log"), BOM + "a\r\n0123456789ABCD\r\ng\r\n");
    EXPECT_FALSE(second->isEmpty());

    std::unique_ptr<LoggerWriter> unbuffered(writer("u", 0));
    unbuffered->write("straight", 8);
    EXPECT_EQ(card("u_20261205.log"), BOM + "straight");
}

TEST_F(Logging, LinesBufferedBeforeMidnightGoToTheNewDaysFileAndDeletingAWriterWritesItsBuffer) {
    setClock(2026, 12, 31, 23, 59, 50);
    std::unique_ptr<LoggerWriter> log(writer("day"));
    log->write("late", 4);
    setClock(2027, 1, 1, 0, 0, 10);
    log->flush();
    EXPECT_FALSE(exists("day_20261231.log"));
    EXPECT_EQ(card("day_20270101.log"), BOM + "late");

    log->write("last", 4);
    log.reset();
    EXPECT_EQ(card("day_20270101.log"), BOM + "latelast");

    ::tdx::Logging::MonthlyFileName monthly("m", "txt");
    EXPECT_EQ(monthly.getFileName(), "m_202701.txt");
}

TEST_F(Logging, AWriterWithoutACardKeepsItsBufferAndDropsOnlyTheEntryThatDidNotFit) {
    std::unique_ptr<LoggerWriter> log(writer("nocard", 8));
    log->write("kept", 4);
    sdcard_set_inserted(false);
    log->flush();
    log->write("dropped!", 8);
    sdcard_set_inserted(true);
    log->flush();
    EXPECT_EQ(card("nocard_20261205.log"), BOM + "kept");
    EXPECT_TRUE(trace.contains("cannot be written"));

    // A logger's line goes whole or not at all: never a line end without its text.
    Logger lines(writer("lines", 16));
    lines.addEntry("abcdefghij");
    sdcard_set_inserted(false);
    lines.addEntry("lost");
    sdcard_set_inserted(true);
    lines.flush();
    EXPECT_EQ(card("lines_20261205.log"), BOM + "abcdefghij\r\n");
}

TEST_F(Logging, AFullCardTakesWholeLinesOnlyAndTheRestIsWrittenByTheNextFlush) {
    Logger lines(writer("full", 64));
    lines.addEntry("line-one");
    lines.flush();
    const std::string one = BOM + "line-one\r\n";
    ASSERT_EQ(card("full_20261205.log"), one);
    lines.addEntry("line-two");
    lines.addEntry("line-three");
    {
        FileSizeLimit full(one.size() + 15); // room for "line-two" and half of "line-three"
        lines.flush();
    }
    EXPECT_EQ(card("full_20261205.log"), one + "line-two\r\n");
    lines.flush();
    EXPECT_EQ(card("full_20261205.log"), one + "line-two\r\nline-three\r\n");

    // An entry longer than the buffer goes straight to the file: whole or not at all, and then it is lost.
    std::unique_ptr<LoggerWriter> big(writer("big", 8));
    const std::string entry(20, 'x');
    {
        FileSizeLimit full(10);
        big->write(entry.data(), static_cast<uint32_t>(entry.size()));
    }
    EXPECT_EQ(card("big_20261205.log"), BOM);
    EXPECT_TRUE(trace.contains("an entry of 20 bytes dropped"));
}

// A log as its reader takes it: the byte-order mark, then lines each ended by CR LF. What breaks that shows
// as a line in angle brackets: a missing mark, a bare CR or LF, bytes after the last line end.
std::vector<std::string> readLog(const std::string& file) {
    std::vector<std::string> lines;
    if (file.compare(0, BOM.size(), BOM) != 0) {
        lines.push_back("<no byte-order mark>");
    }
    size_t at = file.compare(0, BOM.size(), BOM) == 0 ? BOM.size() : 0;
    for (size_t end; (end = file.find("\r\n", at)) != std::string::npos; at = end + 2) {
        const std::string line = file.substr(at, end - at);
        lines.push_back(line.find_first_of("\r\n") == std::string::npos ? line : "<broken> " + line);
    }
    if (at < file.size()) {
        lines.push_back("<torn> " + file.substr(at));
    }
    return lines;
}

// The lines of `log` that end within its first `length` bytes.
std::vector<std::string> wholeLinesOf(const std::string& log, size_t length) {
    std::vector<std::string> lines;
    for (size_t at = BOM.size(), end; (end = log.find("\r\n", at)) != std::string::npos && end + 2 <= length;
         at = end + 2) {
        lines.push_back(log.substr(at, end - at));
    }
    return lines;
}

// Room 258 logs changes of its air temperature and name while its switch value is on. Change loggers work
// with the application's log manager, which is attached to the tree for the length of the test.
class ChangeLogging : public Logging {
protected:
    void SetUp() override {
        application_renew(); // a log manager without templates
        Logging::SetUp();
        static constexpr uint16_t WATCHED[] = {AIR, NAME};
        static ProxyChangeLoggerTemplate changes{"room", "txt", 6, WATCHED, 2};
        manager.registerTemplate(SWITCH, &changes);
        manager.registerTemplate(0x8017, &changes); // a second switch for the same template
        Structure.addObjectAppendHandler(&manager);
        Structure.addValueChangeHandler(&manager);
        manager.onProxyObjectAppend(Structure.find(ROOM));
    }
    void TearDown() override {
        set(SWITCH, 0, BT_VTYPE_U8);
        Structure.removeObjectAppendHandler(&manager);
        Structure.removeValueChangeHandler(&manager);
        Logging::TearDown();
        application_renew();
    }
    void set(vid_t vid, int value, bt_vtype type) {
        pt_set_int(ROOM, vid, value, type);
        Structure.task();
    }
    // As the network would: the value's type is replaced.
    void store(vid_t vid, bt_vtype type, uint16_t value) {
        const uint8_t bytes[] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
        pt_store(ROOM, vid, type, bytes, sizeof bytes, 0, PT_ORIGIN_NETWORK);
        Structure.task();
    }

    LogManager& manager = *getApplication()->getLogManager();
};

TEST_F(ChangeLogging, TheSwitchStartsAndEndsTheLogAndEveryWatchedChangeIsOneLine) {
    const std::string file = "room_258_20261205.txt";
    const std::string start = "05-12-2026 17:20:53 Logging started (possible cause: system restarted or "
                              "logging enabled)\r\n";
    set(SWITCH, 1, BT_VTYPE_U8);
    set(SWITCH, 1, BT_VTYPE_U8);
    pt_set_int(ROOM, 0x8017, 1, BT_VTYPE_U8); // on under the second switch: still one logger
    set(AIR, 2150, BT_VTYPE_S16_X100);
    pt_set_text(ROOM, NAME, "Kitchen");
    set(AIR, 0x7FFF, BT_VTYPE_S16_X100);  // the control unit reports no valid value
    set(0x000D, 2300, BT_VTYPE_S16_X100); // not watched
    store(AIR, BT_VTYPE_S16, 2150);       // a type the room's template does not have for this value
    set(SWITCH, 0, BT_VTYPE_U8);          // deleting the logger writes its buffer
    EXPECT_EQ(card(file), BOM + start +
                              "05-12-2026 17:20:53 'Air temperature' has changed to 21.5\xC2\xB0\r\n" +
                              "05-12-2026 17:20:53 'Name' has changed to Kitchen\r\n" +
                              "05-12-2026 17:20:53 'Air temperature' has changed to INVALID_VALUE\r\n");
    EXPECT_TRUE(trace.contains("value 000C is type 18, not 10"));

    const std::string before = card(file);
    store(SWITCH, BT_VTYPE_S16, 0x7FFF); // a switch without a valid value counts as on: a new start line
    manager.task();
    EXPECT_EQ(card(file), before) << "lines wait in the buffer until the flush";
    os_clock_advance(Logger::FLUSH_PERIOD_MS);
    manager.task();
    EXPECT_EQ(card(file), before + start);
}

// A program killed in the middle of an append leaves its log cut off at any byte: inside the byte-order mark,
// the header, the degree sign's two bytes, between CR and LF, anywhere in a line longer than three of the
// pieces the tail is read back in, so that the last line end falls on each byte of a piece. Started again,
// its logger writes on: every line of the file reads whole, none that was whole before is lost, and a table
// log without a whole header gets one.
TEST_F(ChangeLogging, ALogCutOffAtAnyByteGoesOnWithWholeLinesOnly) {
    static constexpr uint16_t COLUMN[] = {AIR};
    ProxyPeriodicLoggerTemplate table("table", "csv", 6, COLUMN, 1);
    pt_set_data(ROOM, VID_VALUE_LIST, COLUMN, sizeof COLUMN);
    const std::string start = "05-12-2026 17:20:53 Logging started (possible cause: system restarted or "
                              "logging enabled)";
    const std::string change = "05-12-2026 17:20:53 'Air temperature' has changed to 21.5\xC2\xB0";
    const std::string header = "Timestamp;Time;Air temperature";
    const std::string row = "1796491253;05-12-2026 17:20:53;2150";
    std::string longLine;
    for (uint32_t i = 0; i < 3 * BufferedFileLoggerWriter::READ_CHUNK + 2; ++i) {
        longLine += static_cast<char>('a' + i % 26);
    }
    struct Case {
        std::string file;
        std::function<void()> run; // the program started again: one logger's lines
        std::vector<std::string> written;
        bool headed;
    };
    const Case cases[] = {
        {"room_258_20261205.txt",
         [&] {
             set(AIR, 0, BT_VTYPE_S16_X100);
             set(SWITCH, 1, BT_VTYPE_U8);
             set(AIR, 2150, BT_VTYPE_S16_X100);
             set(SWITCH, 0, BT_VTYPE_U8);
         },
         {start, change},
         false},
        {"table_258_20261205.csv",
         [&] {
             std::unique_ptr<Logger> logger(table.createLogger(*Structure.find(ROOM)));
             os_clock_advance(ProxyPeriodicLoggerTemplate::PERIOD_MS);
             logger->task();
         },
         {row},
         true},
        {"long_20261205.log",
         [&] {
             Logger lines(writer("long"));
             lines.addEntry("short");
             lines.addEntry(longLine);
         },
         {"short", longLine},
         false},
    };
    for (const Case& c : cases) {
        c.run();
        const std::string log = card(c.file); // as the program writes it from the start
        for (size_t cut = 0; cut <= log.size(); ++cut) {
            SCOPED_TRACE(c.file + " cut after " + std::to_string(cut) + " bytes");
            writeFile("card/" + c.file, log.substr(0, cut));
            c.run();
            std::vector<std::string> expected = wholeLinesOf(log, cut);
            if (c.headed && expected.empty()) {
                expected.push_back(header);
            }
            expected.insert(expected.end(), c.written.begin(), c.written.end());
            EXPECT_EQ(readLog(card(c.file)), expected);
        }
    }
    EXPECT_TRUE(trace.contains("torn line of 1 bytes cut off"));
}

TEST_F(Logging, ATableLogHasAHeaderAtTheTopOfEachFileAndOneRowPerPeriodWithRawValues) {
    static constexpr uint16_t COLUMNS[] = {AIR, 0x8123, NAME};
    ProxyPeriodicLoggerTemplate table("100%s_%n", "c%sv", 6, COLUMNS, 3); // a '%' in a name is kept as it is
    std::unique_ptr<Logger> logger(table.createLogger(*Structure.find(ROOM)));
    pt_set_int(ROOM, AIR, 2150, BT_VTYPE_S16_X100);
    pt_set_int(ROOM, 0x8123, 7, BT_VTYPE_U8);
    const uint16_t list[] = {AIR, 0x8123};
    pt_set_data(ROOM, VID_VALUE_LIST, list, sizeof list); // the name is not listed: an empty field
    auto period = [&] {
        os_clock_advance(ProxyPeriodicLoggerTemplate::PERIOD_MS);
        logger->task();
    };
    period();
    period();
    Structure.remove(ROOM); // gone from the tree: nothing until it is back
    period();
    logger.reset();
    const std::string row = "1796491253;05-12-2026 17:20:53;2150;;\r\n";
    EXPECT_EQ(card("100%s_%n_258_20261205.c%sv"),
              BOM + "Timestamp;Time;Air temperature;vid 8123 (vtype 0);Name\r\n" + row + row);
}

} // namespace
} // namespace tdx::test
