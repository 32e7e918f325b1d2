// The rules text reader on arbitrary bytes: the first byte picks the section asked for, so the
// fuzzer reaches both found and missing sections. The store must never be written past.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include "rules/rules_text.h"

namespace {
constexpr const char* kNames[] = {"Klondike", "Golf", "Spider", "Forty Thieves"};
}

// With QUILLFEN_FUZZ_SEEDS set to a folder, writes there one short section per name asked for,
// with a page break, CR LF line ends and a following section: the whole shipped text is long and
// spends most of each run outside the section read.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* folder = std::getenv("QUILLFEN_FUZZ_SEEDS");
    if (!folder) return 0;
    for (int i = 0; i < 4; ++i) {
        const std::string text = std::string(1, static_cast<char>(i)) + "[" + kNames[i] +
                                 "]\r\n+Object\r\nPlay every card.\n<BR>\n+Scoring\nPoints, less time.\n\n[Other]\n+End\n";
        std::ofstream(std::string(folder) + "/section-" + std::to_string(i) + ".txt", std::ios::binary) << text;
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static RulesPages pages;
    if (size == 0) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    LoadRulesText(bytes, kNames[data[0] % 4], &pages);
    return 0;
}
