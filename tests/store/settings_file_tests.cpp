// The settings tree and its file: exact text, round trips, refusal of malformed files, atomic
// saves under failures, and batching. (Kills at random moments are the end-to-end kill test's.)
#include "store_fixture.h"

namespace {

using Registry = StoreTest;

const std::string kHeaderOnly = "Windows Registry Editor Version 5.00\n\n";

TEST_F(Registry, WritesExactTextAndReadsItBackIgnoringCase) {
    const std::string awkward = "say \"hi\" \\ [x]=y \xC3\xA9";
    {
        const RegKey key = RegCreateKey("SOFTWARE\\Test\\Values");
        EXPECT_EQ(RegSetDword(key, "Answer", 42), kRegOk);
        EXPECT_EQ(RegSetString(key, "Name", awkward), kRegOk);
        EXPECT_EQ(RegSetString(key, "", "default"), kRegOk);
        EXPECT_EQ(RegSetString(key, "Lines", "a\nb"), kRegOk);
        RegCloseKey(key);
    }
    RegCloseKey(RegCreateKey("software\\test\\Empty"));
    EXPECT_EQ(FileText(),
              "Windows Registry Editor Version 5.00\n\n"
              "[HKEY_CURRENT_USER\\SOFTWARE]\n\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\Test]\n\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\Test\\Values]\n"
              "\"Answer\"=dword:0000002a\n"
              "\"Name\"=\"say \\\"hi\\\" \\\\ [x]=y \xC3\xA9\"\n"
              "@=\"default\"\n"
              "\"Lines\"=hex(1):61,0a,62,00\n\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\Test\\Empty]\n\n");

    Reload();
    EXPECT_EQ(Dword("software\\TEST\\values", "ANSWER"), 42u);
    EXPECT_EQ(String("SOFTWARE\\Test\\Values", "name"), awkward);
    EXPECT_EQ(String("SOFTWARE\\Test\\Values", ""), "default");
    EXPECT_EQ(String("SOFTWARE\\Test\\Values", "Lines"), "a\nb");
    // A write under another spelling replaces the value and keeps the first spelling.
    const RegKey key = RegCreateKey("SOFTWARE\\TEST\\VALUES");
    RegSetDword(key, "answer", 7);
    RegCloseKey(key);
    EXPECT_NE(FileText().find("\"Answer\"=dword:00000007\n"), std::string::npos);
    EXPECT_EQ(FileText().find("VALUES"), std::string::npos);

    // Player names in the fonts' code page, the letters of the translated languages, come back
    // byte for byte.
    const char* names[] = {"J\xFCrgen M\xFCller", "Fran\xE7oise C\x9Cur", "I\xF1igo Pe\xF1" "a", "Jo\xE3o",
                           "Ni\xEBls", "Niccol\xF2"};
    {
        const RegKey players = RegCreateKey("SOFTWARE\\Test\\Players");
        for (const char* name : names) RegSetString(players, name, name);
        RegCloseKey(players);
    }
    Reload();
    for (const char* name : names) EXPECT_EQ(String("SOFTWARE\\Test\\Players", name), name);
}

TEST_F(Registry, KeepsUnknownTypesAndHives) {
    WriteFile("\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n"
              "; a comment\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n"
              "\"Path\"=hex(2):25,00,41,00\r\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\Test]\r\n"
              "\"Blob\"=hex:01,02,\\\r\n  03\r\n"
              "\"Big\"=hex(b):01,00,00,00,00,00,00,00\r\n");
    const RegKey key = RegCreateKey("SOFTWARE\\Test");
    RegSetDword(key, "New", 1);
    RegCloseKey(key);
    EXPECT_EQ(FileText(),
              "Windows Registry Editor Version 5.00\n\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE]\n\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\n"
              "\"Path\"=hex(2):25,00,41,00\n\n"
              "[HKEY_CURRENT_USER\\SOFTWARE]\n\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\Test]\n"
              "\"Blob\"=hex:01,02,03\n"
              "\"Big\"=hex(b):01,00,00,00,00,00,00,00\n"
              "\"New\"=dword:00000001\n\n");
}

TEST(RegistryText, RefusesMalformedText) {
    const std::string header = "Windows Registry Editor Version 5.00\n";
    const std::string section = header + "[HKEY_CURRENT_USER\\A]\n";
    std::string deep = header + "[HKEY_CURRENT_USER";
    for (size_t i = 0; i < kMaxKeyDepth; ++i) deep += "\\k";
    const std::string cases[] = {
        "",
        "[HKEY_CURRENT_USER\\A]\n",                        // no header
        "REGEDIT4\n",                                      // another format
        header + "\"v\"=dword:00000001\n",                 // value outside a section
        section + "\"v\"=dword:0000000g\n",                // non-hex DWORD
        section + "\"v\"=dword:000000001\n",               // nine digits
        section + "\"v\"=dword:\n",
        section + "\"v\"=\"abc\n",                         // unterminated string
        section + "\"v\"=\"a\\nb\"\n",                     // unknown escape
        section + "\"v\"=\"abc\" junk\n",
        section + "\"v\"=hex:1,2x\n",
        section + "\"v\"=hex(zz):00\n",
        section + "\"v\"=-\n",                             // deletion entries
        header + "[-HKEY_CURRENT_USER\\A]\n",
        header + "[HKEY_CURRENT_USER\\\\A]\n",             // empty component
        header + "[HKEY_CURRENT_USER\\" + std::string(kMaxKeyNameLength + 1, 'k') + "]\n",
        header + "[SOFTWARE\\A]\n",                        // no hive
        header + "[HKEY_CURRENT_USER\\A\n",
        section + "junk\n",
        deep + "]\n",                                      // one level too deep
        std::string("Windows Registry\0\xff\xfe\x01", 21),
    };
    for (const std::string& text : cases) {
        RegistryTree tree;
        EXPECT_FALSE(ParseRegistryText(text, &tree)) << text.substr(0, 80);
        EXPECT_TRUE(tree.root->Children().empty());
    }
}

// A damaged file (here cut off inside a line, as a full disk leaves it) is set aside, never
// overwritten; every whole entry before the damage becomes the new settings file at once, and the
// program is told once.
TEST_F(Registry, DamagedFileIsKeptAsideWithEveryWholeEntryBeforeTheDamageAndSaysSo) {
    const std::string whole = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\P\\20]\n\"Name\"=\"Ann\"\n"
                              "\"Score\"=dword:0000002a\n\n[HKEY_CURRENT_USER\\P\\21]\n\"Name\"=\"Bob\"\n";
    WriteFile(whole + "\"Nick\"=\"Bo");
    EXPECT_EQ(Dword("P\\20", "Score"), 42u);
    EXPECT_EQ(String("P\\21", "Name"), "Bob");
    EXPECT_FALSE(String("P\\21", "Nick")) << "a line cut short is not a whole entry";
    const SettingsFileProblem problem = TakeSettingsFileProblem();
    EXPECT_EQ(problem.kind, SettingsFileProblem::kSetAside);
    EXPECT_EQ(problem.file, file);
    EXPECT_EQ(problem.keptAs.rfind(file + ".bad-", 0), 0u) << problem.keptAs;
    EXPECT_EQ(problem.keptAs.size(), (file + ".bad-20261205-153000").size()) << problem.keptAs;
    const std::vector<uint8_t> kept = test_support::ReadBytes(problem.keptAs);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), whole + "\"Nick\"=\"Bo") << "the damaged file is kept as it was";
    EXPECT_EQ(TakeSettingsFileProblem().kind, SettingsFileProblem::kNone) << "told once";
    Reload();
    EXPECT_EQ(String("P\\21", "Name"), "Bob") << "the recovered entries were saved at once";
    EXPECT_EQ(TakeSettingsFileProblem().kind, SettingsFileProblem::kNone);
    EXPECT_EQ(FolderEntries().size(), 2u);

    // A value that cannot be read ends the whole entries as well; the key's header line was whole,
    // so the key is carried over. A second bad file within the same second gets a name of its own.
    WriteFile("Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n\"v\"=dword:xyz\n");
    Reload();
    EXPECT_TRUE(KeyExists("A"));
    EXPECT_FALSE(Dword("A", "v"));
    EXPECT_FALSE(KeyExists("P\\20"));
    EXPECT_EQ(TakeSettingsFileProblem().kind, SettingsFileProblem::kSetAside);
    EXPECT_EQ(FolderEntries().size(), 3u);
}

// A settings file that cannot be read (here a folder where the file should be) is left alone and
// nothing is saved this run, which the program is told; a symbolic link is written through to its
// target, which stays current while the link stays a link.
TEST_F(Registry, UnreadableFileIsReportedAndALinkIsWrittenThrough) {
    std::filesystem::create_directory(file);
    RegCloseKey(RegCreateKey("SOFTWARE\\Lost"));
    SettingsFileProblem problem = TakeSettingsFileProblem();
    EXPECT_EQ(problem.kind, SettingsFileProblem::kNotSaved);
    EXPECT_NE(problem.reason.find("folder"), std::string::npos) << problem.reason;
    EXPECT_TRUE(std::filesystem::is_directory(file));
    std::filesystem::remove(file);

    const std::string target = folder + "/dotfiles/settings.reg";
    std::filesystem::create_directory(folder + "/dotfiles");
    test_support::WriteBytes(target, kHeaderOnly.data(), kHeaderOnly.size());
    std::filesystem::create_symlink("dotfiles/settings.reg", file);
    Reload();
    const RegKey key = RegCreateKey("SOFTWARE\\Linked");
    EXPECT_EQ(RegSetDword(key, "v", 7), kRegOk);
    RegCloseKey(key);
    EXPECT_TRUE(std::filesystem::is_symlink(file));
    const std::vector<uint8_t> bytes = test_support::ReadBytes(target);
    EXPECT_NE(std::string(bytes.begin(), bytes.end()).find("\"v\"=dword:00000007"), std::string::npos);
    EXPECT_EQ(FolderEntries().size(), 2u) << "no temporary file left beside the link";
    EXPECT_EQ(TakeSettingsFileProblem().kind, SettingsFileProblem::kNone);
}

TEST_F(Registry, FailedSaveNeverDamagesThePreviousFile) {
    const RegKey key = RegCreateKey("SOFTWARE\\Test");
    RegSetDword(key, "Kept", 1);
    const std::string before = FileText();
    uint32_t lost = 0;
    for (const RegistrySaveFault fault : {RegistrySaveFault::kWrite, RegistrySaveFault::kSync, RegistrySaveFault::kRename}) {
        InjectRegistrySaveFault(fault);
        EXPECT_EQ(RegSetDword(key, "Lost", ++lost), kRegSaveFailed);
        EXPECT_EQ(FileText(), before);
        EXPECT_EQ(FolderEntries(), std::vector<std::string>{"settings.reg"});
    }
    // The change stays in memory and reaches the file with the next successful save.
    InjectRegistrySaveFault(RegistrySaveFault::kNone);
    EXPECT_EQ(RegSetDword(key, "Later", 3), kRegOk);
    RegCloseKey(key);
    Reload();
    EXPECT_EQ(Dword("SOFTWARE\\Test", "Lost"), lost);
    EXPECT_EQ(Dword("SOFTWARE\\Test", "Later"), 3u);
}

TEST_F(Registry, BatchSavesOnceWhenTheOutermostGuardEnds) {
    const RegKey key = RegCreateKey("SOFTWARE\\Test");
    const std::string before = FileText();
    {
        RegistryBatch outer;
        RegSetDword(key, "One", 1);
        {
            RegistryBatch inner;
            RegSetDword(key, "Two", 2);
        }
        EXPECT_EQ(FileText(), before);
    }
    RegCloseKey(key);
    Reload();
    EXPECT_EQ(Dword("SOFTWARE\\Test", "One"), 1u);
    EXPECT_EQ(Dword("SOFTWARE\\Test", "Two"), 2u);
}

}  // namespace
