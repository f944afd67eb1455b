// The USB phones: gvfs's MTP and gphoto2 mounts laid out in a scratch folder, and a scratch
// mount table with memory cards, a phone mounted by an MTP file system and the system's own
// mounts, which are never looked into; and the services' state in a program without the
// application object.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <QCoreApplication>

#include "phonelink/phones.h"
#include "tests/phonelink/phonelink_test_support.h"

namespace fs = std::filesystem;

namespace {

class UsbScanTest : public testing::Test {
protected:
    fs::path Gvfs() const { return scratch.Path() / "gvfs"; }
    fs::path Table() const { return scratch.Path() / "mounts"; }

    void WriteTable(const std::string& text) const {
        std::ofstream file(Table());
        file << text;
    }

    PhoneScan Scan() const {
        ScanPlaces places;
        places.gvfsRoot = Gvfs().string();
        places.mountTable = Table().string();
        places.sessionBus = false;
        return ScanPhones(places);
    }

    void SetUp() override {
        fs::create_directories(Gvfs());
        WriteTable("");
    }

    ScratchFolder scratch;
};

const Phone* FindStorage(const PhoneScan& scan, const fs::path& storage) {
    for (const Phone& phone : scan.phones) {
        if (phone.storage == storage.string()) return &phone;
    }
    return nullptr;
}

TEST_F(UsbScanTest, NothingMountedGivesTheHint) {
    fs::create_directories(Gvfs() / "smb-share:server=nas,share=music" / "Ringtones");
    const PhoneScan scan = Scan();
    EXPECT_TRUE(scan.phones.empty());
    ASSERT_EQ(scan.ways.size(), 1u);
    EXPECT_EQ(scan.ways[0].way, PhoneWay::Usb);
    EXPECT_FALSE(scan.ways[0].available);
    EXPECT_EQ(scan.ways[0].hint, "No phone storage is mounted (connect the phone by USB and allow file transfer)");

    // A missing gvfs folder and mount table are the same as empty ones.
    fs::remove_all(Gvfs());
    fs::remove(Table());
    const PhoneScan none = Scan();
    EXPECT_TRUE(none.phones.empty());
    ASSERT_EQ(none.ways.size(), 1u);
    EXPECT_FALSE(none.ways[0].available);
}

TEST_F(UsbScanTest, MtpStoragesAreListedWithTheDevicesName) {
    const fs::path pixel = Gvfs() / "mtp:host=Google_Pixel_7" / "Internal shared storage";
    fs::create_directories(pixel / "Ringtones");
    // Two storages, one without tone folders yet: both listed, named after the storage.
    const fs::path galaxy = Gvfs() / "mtp:host=SAMSUNG_Galaxy_XYZ";
    fs::create_directories(galaxy / "Phone" / "Music");
    fs::create_directories(galaxy / "Card" / "alarms");
    // A gphoto2 device (a camera) without tone folders is no phone; one with them is.
    fs::create_directories(Gvfs() / "gphoto2:host=Canon_EOS" / "store_00010001" / "DCIM");
    fs::create_directories(Gvfs() / "gphoto2:host=Apple_Inc._iPhone" / "store_00010001" / "Ringtones");

    const PhoneScan scan = Scan();
    ASSERT_EQ(scan.phones.size(), 4u);
    const Phone* phone = FindStorage(scan, pixel);
    ASSERT_NE(phone, nullptr);
    EXPECT_EQ(phone->name, "Google Pixel 7");
    EXPECT_EQ(phone->way, PhoneWay::Usb);
    EXPECT_EQ(phone->id, "usb:" + pixel.string());
    EXPECT_TRUE(phone->objectPath.empty());
    ASSERT_NE(FindStorage(scan, galaxy / "Phone"), nullptr);
    EXPECT_EQ(FindStorage(scan, galaxy / "Phone")->name, "SAMSUNG Galaxy XYZ (Phone)");
    ASSERT_NE(FindStorage(scan, galaxy / "Card"), nullptr);
    EXPECT_EQ(FindStorage(scan, galaxy / "Card")->name, "SAMSUNG Galaxy XYZ (Card)");
    ASSERT_NE(FindStorage(scan, Gvfs() / "gphoto2:host=Apple_Inc._iPhone" / "store_00010001"), nullptr);
    EXPECT_EQ(FindStorage(scan, Gvfs() / "gphoto2:host=Apple_Inc._iPhone" / "store_00010001")->name,
              "Apple Inc. iPhone");
    ASSERT_EQ(scan.ways.size(), 1u);
    EXPECT_TRUE(scan.ways[0].available);
    EXPECT_TRUE(scan.ways[0].hint.empty());
}

TEST_F(UsbScanTest, MountNamesAreDecoded) {
    fs::create_directories(Gvfs() / "mtp:host=Fairphone%205_a%2Fb" / "Internal storage");
    const PhoneScan scan = Scan();
    ASSERT_EQ(scan.phones.size(), 1u);
    EXPECT_EQ(scan.phones[0].name, "Fairphone 5 a/b");
}

TEST_F(UsbScanTest, AnMtpDeviceWithoutStorageSaysToUnlockThePhone) {
    fs::create_directories(Gvfs() / "mtp:host=Google_Pixel_7");
    const PhoneScan scan = Scan();
    EXPECT_TRUE(scan.phones.empty());
    ASSERT_EQ(scan.ways.size(), 1u);
    EXPECT_FALSE(scan.ways[0].available);
    EXPECT_EQ(scan.ways[0].hint, "Google Pixel 7 shows no storage (unlock the phone and allow file transfer)");
}

TEST_F(UsbScanTest, MountedStoragesWithToneFoldersAreListed) {
    // A memory card with Alarms at its root, its mount point written with the kernel's
    // escape for a blank; a phone mounted by an MTP file system with its storages one
    // level down; a USB disk without tone folders.
    const fs::path card = scratch.Path() / "media" / "SD CARD";
    fs::create_directories(card / "Alarms");
    const fs::path mtpfs = scratch.Path() / "phone";
    fs::create_directories(mtpfs / "Internal storage" / "Notifications");
    fs::create_directories(mtpfs / "SD card" / "Ringtones");
    fs::create_directories(mtpfs / "Empty storage" / "DCIM");
    const fs::path disk = scratch.Path() / "media" / "BACKUP";
    fs::create_directories(disk / "Music");
    std::string cardEscaped = card.string();
    cardEscaped.replace(cardEscaped.find(' '), 1, "\\040");
    WriteTable(
        "/dev/sda1 / ext4 rw,relatime 0 0\n"
        "proc /proc proc rw 0 0\n"
        "tmpfs /run tmpfs rw 0 0\n"
        "/dev/sdb1 " +
        cardEscaped +
        " vfat rw,uid=1000 0 0\n"
        "jmtpfs " +
        mtpfs.string() +
        " fuse.jmtpfs rw 0 0\n"
        "/dev/sdc1 " +
        disk.string() + " ext4 rw 0 0\n");

    const PhoneScan scan = Scan();
    ASSERT_EQ(scan.phones.size(), 3u);
    ASSERT_NE(FindStorage(scan, card), nullptr);
    EXPECT_EQ(FindStorage(scan, card)->name, "SD CARD");
    EXPECT_EQ(FindStorage(scan, card)->id, "usb:" + card.string());
    ASSERT_NE(FindStorage(scan, mtpfs / "Internal storage"), nullptr);
    EXPECT_EQ(FindStorage(scan, mtpfs / "Internal storage")->name, "phone (Internal storage)");
    ASSERT_NE(FindStorage(scan, mtpfs / "SD card"), nullptr);
    EXPECT_EQ(FindStorage(scan, mtpfs / "SD card")->name, "phone (SD card)");
}

TEST_F(UsbScanTest, SystemMountsAreNotLookedInto) {
    // Storages that would count, mounted as the system's own parts or file systems.
    const fs::path shm = scratch.Path() / "shm";
    fs::create_directories(shm / "Ringtones");
    const fs::path share = scratch.Path() / "nas";
    fs::create_directories(share / "Ringtones");
    const fs::path gvfsMount = Gvfs();
    fs::create_directories(gvfsMount / "Ringtones");
    WriteTable("tmpfs " + shm.string() +
               " tmpfs rw 0 0\n"
               "nas:/music " +
               share.string() +
               " nfs4 rw 0 0\n"
               "gvfsd-fuse " +
               gvfsMount.string() +
               " fuse.gvfsd-fuse rw 0 0\n"
               "/dev/sda2 /home ext4 rw 0 0\n"
               "/dev/sda3 /boot/efi vfat rw 0 0\n"
               "tmpfs /run/user/1000 tmpfs rw 0 0\n"
               "sysfs /sys sysfs rw 0 0\n");
    EXPECT_TRUE(Scan().phones.empty());
}

TEST_F(UsbScanTest, TheLastMountOnAPointCounts) {
    const fs::path card = scratch.Path() / "card";
    fs::create_directories(card / "Ringtones");
    // Mounted over by a network share: that one hides the card.
    WriteTable("/dev/sdb1 " + card.string() + " vfat rw 0 0\n" + "nas:/x " + card.string() + " nfs rw 0 0\n");
    EXPECT_TRUE(Scan().phones.empty());
    // The other way round the card is there, once though mounted twice.
    WriteTable("nas:/x " + card.string() + " nfs rw 0 0\n" + "/dev/sdb1 " + card.string() + " vfat rw 0 0\n" +
               "/dev/sdb1 " + card.string() + " vfat rw 0 0\n");
    const PhoneScan scan = Scan();
    ASSERT_EQ(scan.phones.size(), 1u);
    EXPECT_EQ(scan.phones[0].storage, card.string());
}

// This program makes no QCoreApplication: the services are not asked, and say so.
TEST_F(UsbScanTest, WithoutTheApplicationObjectTheServicesAreNotAsked) {
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    fs::create_directories(Gvfs() / "mtp:host=Google_Pixel_7" / "Internal shared storage");
    ScanPlaces places;
    places.gvfsRoot = Gvfs().string();
    places.mountTable = Table().string();
    const PhoneScan scan = ScanPhones(places);
    ASSERT_EQ(scan.phones.size(), 1u);
    ASSERT_EQ(scan.ways.size(), 3u);
    EXPECT_TRUE(scan.ways[0].available);
    for (size_t way : {1u, 2u}) {
        EXPECT_FALSE(scan.ways[way].available);
        EXPECT_EQ(scan.ways[way].hint, "The session bus cannot be reached");
    }
    EXPECT_EQ(scan.ways[1].way, PhoneWay::KdeConnect);
    EXPECT_EQ(scan.ways[2].way, PhoneWay::GsConnect);
}

}  // namespace
