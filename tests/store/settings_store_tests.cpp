// Value operations, players and preferences on a fresh settings file.
#include "store_fixture.h"

namespace {

using Settings = StoreTest;

const std::string kTestKey = SettingsPath("Test");

TEST_F(Settings, StringsLiveInAThreeHundredByteBuffer) {
    const SettingsKey key(kTestKey);
    const std::string longest(kStringValueBytes - 1, 'a');
    WriteStringValue(key, "Fits", longest);
    EXPECT_EQ(ReadStringValue(key, "Fits", "default"), longest);

    // One byte more cannot be read and is replaced by the default.
    RegSetString(key, "TooLong", std::string(kStringValueBytes, 'b'));
    EXPECT_EQ(ReadStringValue(key, "TooLong", "default"), "default");
    EXPECT_EQ(String(kTestKey, "TooLong"), "default");

    // Writing cuts to the buffer, never inside a UTF-8 character.
    WriteStringValue(key, "Cut", std::string(kStringValueBytes, 'c'));
    EXPECT_EQ(String(kTestKey, "Cut"), std::string(kStringValueBytes - 1, 'c'));
    const std::string accented = std::string(kStringValueBytes - 2, 'd') + "\xC3\xA9";
    WriteStringValue(key, "Accent", accented);
    EXPECT_EQ(String(kTestKey, "Accent"), std::string(kStringValueBytes - 2, 'd'));
}

TEST_F(Settings, FirstRunCreatesPlayerAndPreferences) {
    int dialogs = 0;
    const bool started = ChoosePlayerAtStartUp([&] {
        ++dialogs;
        userPreferences.HumanName = "Ann";
        AcceptPlayerChoice();
        return true;
    });
    EXPECT_TRUE(started);
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(userPreferences.CurrentPlayer, kFirstPlayerNumber);
    Reload();
    EXPECT_EQ(String(PlayerPath(20), "Name"), "Ann");
    EXPECT_EQ(String(PreferencesPath(), "HumanName"), "Ann");
    EXPECT_EQ(Dword(PreferencesPath(), "DontShowAgain"), 0u);
    for (const char* name : {"MusicEnabled", "SoundEnabled", "AutoGameOver"}) {
        EXPECT_EQ(Dword(PlayerPreferencesPath(20), name), 1u) << name;
    }
    EXPECT_EQ(userPreferences.SongEnabled[0], 1u);
    EXPECT_EQ(userPreferences.SongEnabled[1], 0u);
}

TEST_F(Settings, RememberedPlayerSkipsTheDialogAndCancelWritesNothing) {
    {
        const SettingsKey key(PreferencesPath());
        WriteStringValue(key, "HumanName", "Ann");
        WriteDwordValue(key, "DontShowAgain", 1);
        const SettingsKey player(PlayerPreferencesPath(20));
        WriteDwordValue(player, "SoundEnabled", 0);
    }
    EXPECT_TRUE(ChoosePlayerAtStartUp([] {
        ADD_FAILURE() << "dialog shown";
        return false;
    }));
    EXPECT_EQ(userPreferences.CurrentPlayer, 20);
    EXPECT_EQ(userPreferences.SoundEnabled, 0u);
    EXPECT_EQ(userPreferences.MusicEnabled, 1u);

    // With the dialog wanted, a cancel ends start-up and leaves "HumanName" alone.
    {
        const SettingsKey key(PreferencesPath());
        WriteDwordValue(key, "DontShowAgain", 0);
    }
    EXPECT_FALSE(ChoosePlayerAtStartUp([] {
        userPreferences.HumanName = "Bob";
        return false;
    }));
    EXPECT_EQ(String(PreferencesPath(), "HumanName"), "Ann");
}

TEST_F(Settings, PlayersAreNumberedFromTwentyAndTheScanStopsAtAGap) {
    EXPECT_EQ(FindOrAddPlayer("Ann"), 20);
    EXPECT_EQ(FindOrAddPlayer("Bob"), 21);
    EXPECT_EQ(FindOrAddPlayer("Ann"), 20);
    EXPECT_EQ(FindOrAddPlayer("ann"), 22);
    EXPECT_EQ(FindOrAddPlayer("Bob"), 21);
    // A player key without a name gets an empty one and matches nobody else.
    RegCloseKey(RegCreateKey(PlayerPath(23)));
    EXPECT_EQ(FindOrAddPlayer("Cy"), 24);
    EXPECT_EQ(String(PlayerPath(23), "Name"), "");

    ASSERT_EQ(RegDeleteKey(PlayerPath(20)), kRegOk);
    EXPECT_EQ(FindOrAddPlayer("Bob"), 20);
    EXPECT_EQ(String(PlayerPath(20), "Name"), "Bob");
    EXPECT_EQ(String(PlayerPath(21), "Name"), "Bob");
}

// Saving and reading back a choice is the appearance choosers' test; here the other player's.
TEST_F(Settings, AnotherPlayerStartsFromTheDefaultsAndNoPlayerWritesNothing) {
    userPreferences.CurrentPlayer = 20;
    userPreferences.Backdrop = 5;
    userPreferences.CardBack = 20;
    SavePlayerPreferences();
    // A value out of range reads as the first choice.
    userPreferences.CurrentPlayer = 21;
    {
        const SettingsKey key(PlayerPreferencesPath(21));
        WriteDwordValue(key, "CardBack", 21);
    }
    LoadPreferences();
    EXPECT_EQ(userPreferences.Backdrop, 0u);
    EXPECT_EQ(userPreferences.CardBack, 0u);

    // No player known yet: nothing is written.
    userPreferences.CurrentPlayer = -1;
    SavePlayerPreferences();
    EXPECT_FALSE(KeyExists(PlayerPreferencesPath(-1)));
}

}  // namespace
