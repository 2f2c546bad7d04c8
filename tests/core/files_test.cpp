#include "core/Files.h"
#include "core/ProgramFolder.h"
#include "core/Text.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace qor {
namespace {

using test::TempDir;

TEST(ResolvePath, MatchesEachPartWithoutRegardToCase) {
    TempDir d;
    d.Write("Wrk/tab2024.WRK", "x");
    d.Write(Cp1251ToUtf8(Cp("DBase/Мои.qbs")), "y");
    EXPECT_EQ(ResolvePath(d.path(), "Wrk\\Tab2024.wrk"), d / "Wrk/tab2024.WRK");
    EXPECT_EQ(ResolvePath(d.path(), "wrk/TAB2024.wrk"), d / "Wrk/tab2024.WRK");
    EXPECT_EQ(ResolvePath(d.path(), Cp("dbase\\МОИ.QBS")), d / Cp1251ToUtf8(Cp("DBase/Мои.qbs")));
    // A file that does not exist yet keeps its spelling under the existing folder.
    EXPECT_EQ(ResolvePath(d.path(), "WRK\\New.txt"), d / "Wrk/New.txt");
    EXPECT_EQ(ResolvePath(d.path(), "Img\\P5.img"), d / "Img/P5.img");
    EXPECT_TRUE(ProgramFileExists(d.path(), "WRK\\TAB2024.wrk"));
    EXPECT_FALSE(ProgramFileExists(d.path(), "Wrk"));
}

TEST(AtomicSave, ReplacesWholeOrLeavesTheOldFile) {
    TempDir d;
    const auto target = d.Write("settings.ini", "old contents");
    ASSERT_TRUE(SaveFileAtomic(target, "new contents").ok());
    EXPECT_EQ(TempDir::Read(target), "new contents");
    EXPECT_FALSE(std::filesystem::exists(d / "settings.ini.tmp"));

    // The temporary name is taken by a folder: the save fails and the old file stays.
    std::filesystem::create_directory(d / "settings.ini.tmp");
    const IoResult r = SaveFileAtomic(target, "lost?");
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.error, 0);
    EXPECT_EQ(TempDir::Read(target), "new contents");

    // A folder that does not exist.
    EXPECT_FALSE(SaveFileAtomic(d / "none/x.txt", "a").ok());
}

// A save keeps the target's permission bits; a target without any write bit is the user's
// protection and is refused, the old file unchanged and no temporary file left.
TEST(AtomicSave, KeepsTheModeAndRefusesReadOnlyTargets) {
    namespace fs = std::filesystem;
    using P = fs::perms;
    struct Case {
        P mode;
        bool refused;
    };
    for (const Case c :
         {Case{P::owner_read | P::owner_write, false},
          Case{P::owner_all | P::group_read | P::group_exec, false},
          Case{P::owner_read | P::group_write, false},
          Case{P::owner_read | P::group_read | P::others_read, true}, Case{P::owner_read, true},
          Case{P::owner_exec | P::owner_read, true}, Case{P::none, true}}) {
        TempDir d;
        const auto target = d.Write("main.ini", "old");
        fs::permissions(target, c.mode);
        const IoResult r = SaveFileAtomic(target, "new");
        const P after = fs::status(target).permissions();
        fs::permissions(target, P::owner_all); // the test may read it back whatever it was
        EXPECT_EQ(r.ok(), !c.refused) << static_cast<int>(c.mode);
        EXPECT_EQ(r.readOnly, c.refused) << static_cast<int>(c.mode);
        EXPECT_EQ(TempDir::Read(target), c.refused ? "old" : "new");
        EXPECT_FALSE(fs::exists(d / "main.ini.tmp"));
        EXPECT_EQ(after, c.mode);
        if (c.refused) EXPECT_NE(r.message.find("read-only"), std::string::npos) << r.message;
    }
    // A new file gets the usual mode.
    TempDir d;
    ASSERT_TRUE(SaveFileAtomic(d / "new.ini", "x").ok());
    EXPECT_EQ(fs::status(d / "new.ini").permissions() & fs::perms::owner_write,
              fs::perms::owner_write);
}

// A file larger than the reader's bound is refused by its size, before it is read.
TEST(ReadWholeFile, BoundBySize) {
    TempDir d;
    const auto small = d.Write("a.bin", std::string(100, 'x'));
    std::string bytes = "left over";
    EXPECT_TRUE(ReadFileBytes(small, bytes, 100).ok());
    EXPECT_EQ(bytes.size(), 100u);
    const IoResult r = ReadFileBytes(small, bytes, 99);
    EXPECT_EQ(r.error, EFBIG);
    EXPECT_TRUE(bytes.empty());
    // A sparse file of 4 GB takes no time to make and would take seconds to read.
    const auto big = d / "big.bin";
    { std::ofstream(big, std::ios::binary) << 'x'; }
    std::filesystem::resize_file(big, 4ull << 30);
    EXPECT_EQ(ReadFileBytes(big, bytes, 8192).error, EFBIG);
    std::vector<std::string> lines{"x"};
    EXPECT_EQ(ReadTextLines(big, lines, 8192).error, EFBIG);
    EXPECT_TRUE(lines.empty());
}

// A header is read from a file of any size: the bytes asked for, all of a shorter file.
TEST(WholeFiles, HeadOfAnySize) {
    TempDir d;
    const auto small = d.Write("a.bin", "RIFF1234");
    const auto big = d / "big.bin";
    { std::ofstream(big, std::ios::binary) << "RIFF"; }
    std::filesystem::resize_file(big, 4ull << 30);
    struct Case {
        std::filesystem::path file;
        std::size_t count;
        std::string head;
    };
    for (const Case& c : {Case{small, 4, "RIFF"}, Case{small, 44, "RIFF1234"}, Case{small, 0, ""},
                          Case{big, 6, std::string("RIFF\0\0", 6)},
                          Case{big, 5000, "RIFF" + std::string(4996, '\0')}}) {
        std::string bytes = "left over";
        ASSERT_TRUE(ReadFileHead(c.file, c.count, bytes).ok()) << c.file << " " << c.count;
        EXPECT_EQ(bytes, c.head) << c.file << " " << c.count;
    }
    std::string bytes = "left over";
    EXPECT_EQ(ReadFileHead(d / "missing.bin", 44, bytes).error, ENOENT);
    EXPECT_TRUE(bytes.empty());
}

TEST(TextFiles, ReadBothLineEndsWriteCrLf) {
    TempDir d;
    const auto p = d.Write("a.txt", "one\r\ntwo\nthree");
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(p, lines).ok());
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "three"}));
    lines.push_back(Cp("четыре"));
    ASSERT_TRUE(WriteTextFileAtomic(p, lines).ok());
    EXPECT_EQ(TempDir::Read(p), "one\r\ntwo\r\nthree\r\n" + Cp("четыре") + "\r\n");
    EXPECT_EQ(SplitTextLines("a\n\nb\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_FALSE(ReadTextLines(d / "missing.txt", lines).ok());
    EXPECT_TRUE(lines.empty());
}

TEST(BinaryRecords, LittleEndianWithBoundsChecks) {
    LeWriter w;
    w.i16(-2);
    w.u16(0xBEEF);
    w.i32(-70000);
    w.f64(3.25);
    w.bytes("abc", 5, ' ');
    const std::string& b = w.bytes();
    ASSERT_EQ(b.size(), 2u + 2 + 4 + 8 + 5);
    EXPECT_EQ(static_cast<unsigned char>(b[2]), 0xEF); // low byte first

    LeReader r(b);
    EXPECT_EQ(r.i16(), -2);
    EXPECT_EQ(r.u16(), 0xBEEF);
    EXPECT_EQ(r.i32(), -70000);
    EXPECT_EQ(r.f64(), 3.25);
    EXPECT_EQ(r.bytes(5), "abc  ");
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.remaining(), 0u);
    EXPECT_EQ(r.i32(), 0); // past the end: zero, and the failure sticks
    EXPECT_FALSE(r.ok());
    r.seek(0);
    EXPECT_FALSE(r.ok());

    LeReader shortRead(std::string_view(b).substr(0, 3));
    shortRead.i16();
    shortRead.u16();
    EXPECT_FALSE(shortRead.ok());
    LeReader seekPast(b);
    seekPast.seek(b.size() + 1);
    EXPECT_FALSE(seekPast.ok());
}

TEST(ProgramFolder, ChoiceOrder) {
    std::vector<std::string> args = {"/e", "--home", "/tmp/h1", "x"};
    EXPECT_EQ(ChooseProgramFolder(args, "/tmp/env", "/home/u"), "/tmp/h1");
    EXPECT_EQ(args, (std::vector<std::string>{"/e", "x"}));
    args = {"--home=/tmp/h2"};
    EXPECT_EQ(ChooseProgramFolder(args, "/tmp/env", "/home/u"), "/tmp/h2");
    EXPECT_TRUE(args.empty());
    EXPECT_EQ(ChooseProgramFolder(args, "/tmp/env", "/home/u"), "/tmp/env");
    EXPECT_EQ(ChooseProgramFolder(args, "", "/home/u"), "/home/u/.local/share/qor");
    EXPECT_EQ(ChooseProgramFolder(args, nullptr, "/home/u"), "/home/u/.local/share/qor");
}

TEST(ProgramFolder, SeedingNeverOverwritesTheUsersFiles) {
    TempDir shipped, home;
    shipped.Write("data/rtext.txt", "shipped");
    shipped.Write("data/Aspects/Main", "page");
    home.Write("rtext.txt", "user's own");
    const auto dataDir = ShippedDataDir(shipped.path());
    ASSERT_FALSE(dataDir.empty());
    int copied = -1;
    ASSERT_TRUE(SeedProgramFolder(dataDir, home.path(), &copied).ok());
    EXPECT_EQ(copied, 1);
    EXPECT_EQ(TempDir::Read(home / "rtext.txt"), "user's own");
    EXPECT_EQ(TempDir::Read(home / "Aspects/Main"), "page");
    ASSERT_TRUE(SeedProgramFolder(dataDir, home.path(), &copied).ok());
    EXPECT_EQ(copied, 0);
    // A new, nested home is created.
    ASSERT_TRUE(SeedProgramFolder(dataDir, home / "a/b", &copied).ok());
    EXPECT_EQ(copied, 2);
}

} // namespace
} // namespace qor
