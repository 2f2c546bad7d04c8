// Sounds stay silent without an output device and refuse what is no wave file; the screen
// saver is left alone, silently, where the desktop offers no screen-saver service.
#include "shell/ScreenSaver.h"
#include "shell/Sound.h"

#include "support/QtApp.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <iostream>

namespace qor::shell {
namespace {

const std::filesystem::path kData = std::filesystem::path(QOR_SOURCE_DIR) / "data";

TEST(SoundOutput, ShippedSoundsAreWaveFilesAndOthersAreRefused) {
    test::QtApp();
    SoundOutput sound;
    for (const char* wav : {"Ding.wav", "Error.wav", "Oracl.wav", "Long.wav", "Short.wav",
                            "Ship.wav", "Begin.wav", "Stone.wav", "Couto.wav", "Yes.wav", "no.wav"})
        EXPECT_TRUE(sound.CanOpen(kData / wav)) << wav;
    test::TempDir dir;
    EXPECT_FALSE(sound.CanOpen(dir.Write("fake.wav", "RIFF1234WAVX" + std::string(40, '\0'))));
    EXPECT_FALSE(sound.CanOpen(dir.Write("short.wav", "RIFF")));
    EXPECT_FALSE(sound.CanOpen(dir / "missing.wav"));
    // Only the header is read: a sparse wave file of 64 GiB (taking no room) is taken at once.
    const std::filesystem::path huge =
        dir.Write("huge.wav", test::TempDir::Read(kData / "Ding.wav").substr(0, 44));
    std::error_code ec;
    std::filesystem::resize_file(huge, std::uintmax_t{64} << 30, ec);
    if (ec)
        std::cout << "[  SKIPPED ] no sparse file of 64 GiB here (" << ec.message() << ")\n";
    else
        EXPECT_TRUE(sound.CanOpen(huge));
    sound.Play(dir / "missing.wav");
    EXPECT_EQ(sound.Played, 0);
}

TEST(SoundOutput, SilentWithoutAnOutputDevice) {
    test::QtApp();
    SoundOutput sound;
    if (sound.HasDevice()) GTEST_SKIP() << "this machine has a sound output";
    sound.Play(kData / "Ding.wav");
    EXPECT_EQ(sound.Played, 0);
}

TEST(ScreenSaver, NothingHappensWithoutTheService) {
    // A session bus that does not exist (the connection is made on first use).
    setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/qor-test-bus", 1);
    test::QtApp();
    ScreenSaverInhibitor saver;
    EXPECT_FALSE(saver.Inhibit());
    EXPECT_FALSE(saver.Active());
    saver.Release(); // nothing to release, and no complaint
    EXPECT_FALSE(saver.Active());
}

} // namespace
} // namespace qor::shell
