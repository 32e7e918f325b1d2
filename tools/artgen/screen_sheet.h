// Review sheets of the generated pictures, for a person to judge the artwork at a glance.
#pragma once

#include <filesystem>
#include <string>

// Writes the review sheets (art-cards.png, art-theme1..6.png, art-screens.png) into sheetDir from
// the pictures already generated in dataDir. The card pictures are included when present.
bool WriteArtSheets(const std::filesystem::path& dataDir, const std::filesystem::path& fontRoot,
                    const std::filesystem::path& sheetDir, std::string* error);
