// The rules text reader on arbitrary bytes: the first byte picks the section asked for, so the
// fuzzer reaches both found and missing sections. The store must never be written past.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "rules/rules_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static RulesPages pages;
    static constexpr const char* kNames[] = {"Klondike", "Golf", "Spider", "Forty Thieves"};
    if (size == 0) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    LoadRulesText(bytes, kNames[data[0] % 4], &pages);
    return 0;
}
