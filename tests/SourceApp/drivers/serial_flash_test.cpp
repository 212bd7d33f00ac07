#include "SourceApp/drivers/serial_flash.h"

#include "Libraries/base/os.h"
#include "SourceHost/api_lib/scratch_folder.h"
#include "support/trace_capture.h"

#include <gtest/gtest.h>

#include <string>

namespace tdx {
namespace {

struct Refused {
    std::string message;
};

class SerialFlash : public test::ScratchFolder {
protected:
    void TearDown() override {
        sf_deinit_serial_flash();
        sf_protect_ctrl(0);
        os_set_assert_handler(nullptr);
        test::ScratchFolder::TearDown();
    }
    // Closes the flash; the file must hold `start` and then erased bytes up to the chip's size (checked
    // so that a failure prints no megabyte).
    void expectFileHolds(const std::string& start) {
        sf_deinit_serial_flash();
        const std::string file = readFile(SF_FILE_NAME);
        EXPECT_EQ(file.size(), SF_SIZE);
        EXPECT_EQ(file.substr(0, start.size()), start);
        EXPECT_EQ(file.find_first_not_of('\xFF', start.size()), std::string::npos);
    }
};

TEST_F(SerialFlash, InitialisingMakesAMissingOrShortFileAWholeErasedChipEvenWhileProtected) {
    ASSERT_EQ(sf_init_serial_flash(), 0);
    expectFileHolds("");

    writeFile(SF_FILE_NAME, "kept");
    ASSERT_EQ(sf_init_serial_flash(), 0);
    expectFileHolds("kept");
}

TEST_F(SerialFlash, ProgrammedBytesReadBackAndStayInTheFile) {
    ASSERT_EQ(sf_init_serial_flash(), 0);
    EXPECT_EQ(sf_protect_ctrl(1), 0);
    const std::string data = "sector data";
    EXPECT_EQ(sf_page_program(0x1FF8, data.data(), data.size()), data.size()) << "across two sectors";
    EXPECT_EQ(sf_auto_program(SF_SIZE - 1, "!", 1), 1u) << "the last byte";

    std::string back(data.size(), '\0');
    EXPECT_EQ(sf_byte_read(0x1FF8, back.data(), back.size()), data.size());
    EXPECT_EQ(back, data);

    // Erasing inside the second sector erases it whole, from its first byte, and nothing else.
    EXPECT_EQ(sf_sector_erase(0x2ABC), SF_SECTOR_SIZE);
    sf_deinit_serial_flash();
    const std::string file = readFile(SF_FILE_NAME);
    ASSERT_EQ(file.size(), SF_SIZE);
    EXPECT_EQ(file.substr(0x1FF8, 8), data.substr(0, 8));
    EXPECT_EQ(file.substr(0x2000, 3), "\xFF\xFF\xFF");
    EXPECT_EQ(file.back(), '!');

    ASSERT_EQ(sf_init_serial_flash(), 0);
    EXPECT_EQ(sf_chip_erase(), SF_SIZE);
    expectFileHolds("");
}

// The chip is erased a block at a time: on a disk that takes only part of the file, the write that fails is
// a block's, and what was erased before it stands erased.
TEST_F(SerialFlash, TheChipIsErasedInWritesOfABlock) {
    writeFile(SF_FILE_NAME, std::string(SF_SIZE, 'x'));
    ASSERT_EQ(sf_init_serial_flash(), 0);
    sf_protect_ctrl(1);
    constexpr uint32_t ROOM = 3 * SF_BLOCK_SIZE + 1000;
    uint32_t erased = 0;
    test::TraceCapture trace;
    {
        const test::FileSizeLimit disk(ROOM);
        erased = sf_chip_erase();
        sf_deinit_serial_flash(); // what stdio still holds goes to the file under the limit
    }
    EXPECT_EQ(trace.count("of 65536 bytes"), 1u) << trace.str();
    EXPECT_EQ(trace.count("of 4096 bytes"), 0u) << trace.str();
    EXPECT_GE(erased, 3 * SF_BLOCK_SIZE);
    EXPECT_LE(erased, ROOM);
    const std::string file = readFile(SF_FILE_NAME);
    ASSERT_EQ(file.size(), SF_SIZE);
    EXPECT_EQ(file.find_first_not_of('\xFF'), erased) << "erased up to where the disk refused";
    EXPECT_EQ(file.find_first_not_of('x', erased), std::string::npos) << "and nothing after it";
}

TEST_F(SerialFlash, AccessesPastTheChipAreRefusedWithATraceAndChangeNothing) {
    ASSERT_EQ(sf_init_serial_flash(), 0);
    sf_protect_ctrl(1);
    ASSERT_EQ(sf_page_program(0, "kept", 4), 4u);
    test::TraceCapture trace;
    char buffer[4] = {};
    EXPECT_EQ(sf_page_program(SF_SIZE - 1, "ab", 2), 0u);
    EXPECT_EQ(sf_auto_program(0xFFFFFFFF, "ab", 2), 0u) << "the end must not wrap around";
    EXPECT_EQ(sf_sector_erase(SF_SIZE), 0u);
    EXPECT_EQ(sf_sector_erase(0x01000000), 0u) << "must not wrap onto the first sector";
    EXPECT_EQ(sf_byte_read(SF_SIZE, buffer, 1), 0u);
    EXPECT_EQ(trace.count("refused"), 5u) << trace.str();
    expectFileHolds("kept");
}

TEST_F(SerialFlash, ErasingOrProgrammingWhileProtectedIsAFatalAssertion) {
    ASSERT_EQ(sf_init_serial_flash(), 0);
    os_set_assert_handler([](const AssertionFailure& f) { throw Refused{f.message}; });
    EXPECT_EQ(sf_protect_ctrl(5), 1);
    for (auto operation : {+[] { sf_chip_erase(); }, +[] { sf_sector_erase(0); },
                           +[] { sf_page_program(0, "x", 1); }, +[] { sf_auto_program(0, "x", 1); }}) {
        try {
            operation();
            ADD_FAILURE() << "no assertion";
        } catch (const Refused& refused) {
            EXPECT_EQ(refused.message, "sf_chip_erase failed, flash protected");
        }
    }
    char byte = 0;
    EXPECT_EQ(sf_byte_read(0, &byte, 1), 1u) << "reading stays allowed";
    EXPECT_EQ(byte, '\xFF');
}

} // namespace
} // namespace tdx
