// Feeds arbitrary bytes to the settings-file parser: it must refuse or parse, never crash or
// overread, and whatever it parses must format to text that parses back to the same tree.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/settings_file.h"

// With QUILLFEN_FUZZ_SEEDS set to a folder, writes a settings file there as the program writes
// it (players, scores, preferences, a string needing escapes, a binary value) to start from.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* folder = std::getenv("QUILLFEN_FUZZ_SEEDS");
    if (!folder) return 0;
    SetRegistryFile(std::string(folder) + "/seed-settings.reg");
    const RegKey preferences = RegCreateKey("SOFTWARE\\Quillfen Software\\Solitaire\\Preferences");
    RegSetString(preferences, "HumanName", "Ann \"Quill\" O\\Fen\xc3\xa9");
    RegSetDword(preferences, "DontShowAgain", 1);
    RegSetDword(preferences, "CardBack", 3);
    const uint8_t binary[] = {0, 1, 2, 0xFF, '\n', '"'};
    RegSetValue(preferences, "Layout", REG_BINARY, binary, sizeof binary);
    RegCloseKey(preferences);
    const RegKey player = RegCreateKey("SOFTWARE\\Quillfen Software\\Solitaire\\Players\\20");
    RegSetString(player, "Name", "Ann");
    RegSetDword(player, "Score", 42);
    RegCloseKey(player);
    SetRegistryFile(std::string(folder) + "/unused.reg");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RegistryTree tree;
    if (!ParseRegistryText(std::string_view(reinterpret_cast<const char*>(data), size), &tree)) return 0;
    const std::string text = FormatRegistryText(tree);
    RegistryTree again;
    if (!ParseRegistryText(text, &again)) __builtin_trap();
    if (FormatRegistryText(again) != text) __builtin_trap();
    return 0;
}
