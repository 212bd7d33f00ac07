#include "SourceApp/application/update/tr1_package.h"
#include "SourceHost/api_lib/scratch_folder.h"
#include "support/child_process.h"
#include "support/trace_capture.h"
#include "update/package_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>

namespace tdx::test {
namespace {

class PackageScan : public ScratchFolder {
protected:
    std::vector<tr1_package_item> scan(const Bytes& package, const bl_dev_info& device = displayInfo()) {
        writeBytes("p.fw", package);
        File file("p.fw", FileOpenMode::Read);
        std::vector<tr1_package_item> items;
        tr1_firmware_scan_insert(file, std::back_inserter(items), tr1_firmware_device_compatible(&device));
        return items;
    }
    static std::vector<int> indexes(const std::vector<tr1_package_item>& items) {
        std::vector<int> out;
        for (const tr1_package_item& item : items) {
            out.push_back(item.index);
        }
        return out;
    }
};

TEST_F(PackageScan, ItemsAreFoundWhereTheyStandUpToTheEndOfTheFileAndCountedInOrder) {
    mkpackage::Item withBlock = displayItem(2, 4);
    withBlock.firstBlock = Bytes(200, 0xA5);
    const Bytes one = build(displayItem(1));
    const Bytes two = build(withBlock);
    const std::vector<tr1_package_item> items = scan(concat({one, two}));
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].offset, 0u);
    EXPECT_EQ(items[1].offset, one.size());
    EXPECT_EQ(items[1].dataOffset(), one.size() + 24 + 200 + 23);
    EXPECT_EQ(items[1].dataLength(), 4u) << "the second item ends exactly at the end of the file";
    EXPECT_EQ(items[1].fileName, "p.fw");
    EXPECT_EQ(indexes(items), (std::vector<int>{0, 1}));
    EXPECT_EQ(items[1].checksumFail, 0);

    EXPECT_TRUE(scan({}).empty());

    // The index counts the items that do not fit; a package is read up to 64 items.
    mkpackage::Item other = displayItem(1);
    other.descriptor.hwCode = "HM316";
    mkpackage::Item notFirmware = displayItem(1);
    notFirmware.type = 2;
    EXPECT_EQ(indexes(scan(concat({build(other), build(notFirmware), build(displayItem(3))}))),
              (std::vector<int>{2}));
    const Bytes item = build(displayItem(1, 4));
    Bytes package;
    for (int i = 0; i < 70; ++i) {
        package.insert(package.end(), item.begin(), item.end());
    }
    const std::vector<tr1_package_item> many = scan(package);
    ASSERT_EQ(many.size(), 64u);
    EXPECT_EQ(many.back().index, 63);

    const bl_dev_info device = displayInfo();
    EXPECT_TRUE(tr1_firmware_is_incompatible(&device)(tr1_package_item{{}, "gone.fw", 0, 0, 0}));
}

TEST_F(PackageScan, DescriptorFieldsDecideTheFit) {
    struct Case {
        const char* what;
        void (*edit)(mkpackage::Descriptor&, bl_dev_info&);
        bool fits;
    };
    const Case cases[] = {
        {"as built", [](mkpackage::Descriptor&, bl_dev_info&) {}, true},
        {"variant at the upper bound",
         [](mkpackage::Descriptor& d, bl_dev_info& i) { d.variantMax = 4, i.variant = 4; }, true},
        {"variant above it",
         [](mkpackage::Descriptor& d, bl_dev_info& i) { d.variantMax = 4, i.variant = 5; }, false},
        {"variant at the lower bound",
         [](mkpackage::Descriptor& d, bl_dev_info& i) { d.variantMin = 3, i.variant = 3; }, true},
        {"variant below it",
         [](mkpackage::Descriptor& d, bl_dev_info& i) { d.variantMin = 3, i.variant = 2; }, false},
        {"hardware version at both bounds",
         [](mkpackage::Descriptor& d, bl_dev_info& i) { d.hwMin = d.hwMax = 9, i.hw_version = 9; }, true},
        {"hardware version above", [](mkpackage::Descriptor&, bl_dev_info& i) { i.hw_version = 2; }, false},
        {"hardware version below", [](mkpackage::Descriptor&, bl_dev_info& i) { i.hw_version = 0; }, false},
        {"short codes ended by a 0 byte",
         [](mkpackage::Descriptor& d, bl_dev_info& i) {
             d.hwCode = "HM3", d.swCode = "X";
             std::memcpy(i.hw_code, "HM3\0Q", 5), std::memcpy(i.sw_code, "X\0\0\0\0", 5);
         },
         true},
        {"a short code against a longer one",
         [](mkpackage::Descriptor& d, bl_dev_info&) { d.hwCode = "TD41"; }, false},
        {"other software", [](mkpackage::Descriptor& d, bl_dev_info&) { d.swCode = "TD411"; }, false},
        {"other magic", [](mkpackage::Descriptor& d, bl_dev_info&) { d.magic = "TC"; }, false},
        {"other protocol", [](mkpackage::Descriptor& d, bl_dev_info&) { d.protocol = 2; }, false},
    };
    for (const Case& c : cases) {
        mkpackage::Item item = displayItem(1);
        bl_dev_info device = displayInfo();
        c.edit(item.descriptor, device);
        EXPECT_EQ(scan(build(item), device).size(), c.fits ? 1u : 0u) << c.what;
        tr1_package_item first{{}, "p.fw", 0, 0, 0};
        std::memcpy(first.header, build(item).data(), TR1_HEADER_SIZE);
        EXPECT_EQ(tr1_firmware_is_incompatible(&device)(first), !c.fits) << c.what;
    }
}

TEST_F(PackageScan, DamagedOrHostileItemsEndTheScanCleanlyKeepingTheItemsBefore) {
    const Bytes good = build(displayItem(1));
    const std::size_t at = good.size(); // the damaged item is the second
    struct Case {
        const char* what;
        void (*edit)(Bytes& package, std::size_t at);
        const char* trace;
    };
    const Case cases[] = {
        {"wrong header CRC", [](Bytes& p, std::size_t at) { p[at + 40] ^= 1; }, "TR1 header CRC of item 1"},
        {"a length that wraps the offset to 0",
         [](Bytes& p, std::size_t at) {
             put_le32(&p[at + 12], static_cast<uint32_t>(0x100000000ull - at - 24 - 23));
             resealHeader(p, at);
         },
         "TR1 data end"},
        {"data length below 4",
         [](Bytes& p, std::size_t at) {
             put_le32(&p[at + 12], 3);
             resealHeader(p, at);
         },
         "TR1 data of item 1 too short"},
        {"descriptor block below 23",
         [](Bytes& p, std::size_t at) {
             p[at + 5] = 10;
             resealHeader(p, at);
         },
         "TR1 descriptor of item 1 too short"},
        {"data past the end of the file", [](Bytes& p, std::size_t at) { p.resize(at + 24 + 23 + 999); },
         "TR1 data end"},
        {"header and blocks reaching the end, no data",
         [](Bytes& p, std::size_t at) { p.resize(at + 24 + 23); },
         "TR1 data offset (1094) greater than file size (1094)"},
        {"a short header", [](Bytes& p, std::size_t at) { p.resize(at + 10); },
         "TR1 failed to read 24 bytes"},
    };
    for (const Case& c : cases) {
        TraceCapture trace;
        Bytes package = concat({good, build(displayItem(2)), build(displayItem(3))});
        c.edit(package, at);
        EXPECT_EQ(indexes(scan(package)), (std::vector<int>{0})) << c.what;
        EXPECT_TRUE(trace.contains(c.trace)) << c.what << ": " << trace.str();
    }
}

TEST_F(PackageScan, TheToolBuildsPackagesTheScannerReads) {
    writeBytes("image.bin", Bytes(600, 0x42));
    writeBytes("tiny.bin", Bytes(3, 0x42));
    const std::string tool = MKPACKAGE_PATH;
    const std::string common = " --hw TD410 --sw TD410 --hw-versions 1-2 --variants 0 ";
    std::string said;
    ASSERT_EQ(runCommand(tool + common + "--version 3.1 --data image.bin -o p.fw", said), 0) << said;
    ASSERT_EQ(runCommand(tool + common + "--version 4.0 --data image.bin -o p.fw --append", said), 0) << said;
    EXPECT_NE(runCommand(tool + common + "--version 5.0 --data tiny.bin -o p.fw --append", said), 0) << said;
    EXPECT_NE(runCommand(tool + " --hw TOOLONG --sw TD410 --data image.bin -o q.fw", said), 0) << said;

    File file("p.fw", FileOpenMode::Read);
    const bl_dev_info device = displayInfo();
    std::vector<tr1_package_item> items;
    tr1_firmware_scan_insert(file, std::back_inserter(items), tr1_firmware_device_compatible(&device));
    ASSERT_EQ(items.size(), 2u);
    uint8_t descriptor[TR1_DESCRIPTOR_SIZE];
    ASSERT_TRUE(tr1_read_descriptor(file, items[1], descriptor));
    EXPECT_EQ(descriptor[TR1_DESC_VERSION_MAJOR], 4);
    EXPECT_EQ(descriptor[TR1_DESC_HW_MAX], 2);
    EXPECT_EQ(items[1].dataLength(), 600u);
    EXPECT_EQ(items[1].dataChecksum(), crc16(Bytes(596, 0x42).data(), 596));
}

} // namespace
} // namespace tdx::test
