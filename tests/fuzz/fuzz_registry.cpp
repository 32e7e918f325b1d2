// Feeds arbitrary bytes to the settings-file parser: it must refuse or parse, never crash or
// overread, and whatever it parses must format to text that parses back to the same tree.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/registry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RegistryTree tree;
    if (!ParseRegistryText(std::string_view(reinterpret_cast<const char*>(data), size), &tree)) return 0;
    const std::string text = FormatRegistryText(tree);
    RegistryTree again;
    if (!ParseRegistryText(text, &again)) __builtin_trap();
    if (FormatRegistryText(again) != text) __builtin_trap();
    return 0;
}
