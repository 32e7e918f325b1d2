// The settings tree and its file: exact text, round trips, refusal of malformed files, atomic
// saves under failures, and batching. (Kills at random moments are the end-to-end kill test's.)
#include "store_fixture.h"

namespace {

using Registry = StoreTest;

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

TEST_F(Registry, UnparsableFileIsKeptAsideAndNeverOverwritten) {
    const std::string junk = "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n\"v\"=dword:xyz\n";
    WriteFile(junk);
    EXPECT_FALSE(KeyExists("A"));
    const RegKey key = RegCreateKey("SOFTWARE\\Fresh");
    RegSetDword(key, "v", 1);
    RegCloseKey(key);

    std::string aside;
    for (const std::string& name : FolderEntries()) {
        if (name.rfind("settings.reg.bad-", 0) == 0) aside = name;
    }
    ASSERT_FALSE(aside.empty());
    EXPECT_EQ(aside.size(), std::string("settings.reg.bad-20261205-153000").size());
    std::ifstream kept(folder + "/" + aside, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), junk);
    EXPECT_EQ(FolderEntries().size(), 2u);
    EXPECT_EQ(Dword("SOFTWARE\\Fresh", "v"), 1u);

    // A second bad file within the same second gets a name of its own.
    WriteFile("\x01\x02 random bytes");
    Reload();
    EXPECT_FALSE(KeyExists("SOFTWARE\\Fresh"));
    RegCloseKey(RegCreateKey("SOFTWARE\\Again"));
    EXPECT_EQ(FolderEntries().size(), 3u);
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
