// A fixture that points the settings tree at a fresh file in a private folder, with helpers to
// look at the file and at values without creating anything.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "store/settings_store.h"

class StoreTest : public ::testing::Test {
protected:
    StoreTest() {
        char pattern[] = "/tmp/qf-store-XXXXXX";
        folder = mkdtemp(pattern);
        file = folder + "/settings.reg";
        SetRegistryFile(file);
        InjectRegistrySaveFault(RegistrySaveFault::kNone);
        ResetPreferences();
    }
    ~StoreTest() override {
        InjectRegistrySaveFault(RegistrySaveFault::kNone);
        SetRegistryFile(folder + "/unused.reg");
        std::filesystem::remove_all(folder);
    }

    static void ResetPreferences() {
        UserPreferences& p = userPreferences;
        p.CurrentPlayer = 0;
        p.HumanName.clear();
        p.DontShowAgain = p.MusicEnabled = p.SoundEnabled = p.AutoGameOver = 0;
        for (auto& song : p.SongEnabled) song = 0;
        p.Backdrop = p.CardBack = p.CardFront = 0;
    }

    std::string FileText() const {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void WriteFile(const std::string& text) const { std::ofstream(file, std::ios::binary) << text; }
    // Forgets the tree in memory, so the next call reads the file again.
    void Reload() const { SetRegistryFile(file); }
    std::vector<std::string> FolderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    static bool KeyExists(const std::string& path) {
        const RegKey key = RegOpenKey(path);
        RegCloseKey(key);
        return key != kNoRegKey;
    }
    static std::optional<uint32_t> Dword(const std::string& path, const char* name) {
        const RegKey key = RegOpenKey(path);
        uint32_t value = 0;
        const bool found = RegQueryDword(key, name, &value) == kRegOk;
        RegCloseKey(key);
        return found ? std::optional(value) : std::nullopt;
    }
    static std::optional<std::string> String(const std::string& path, const char* name) {
        const RegKey key = RegOpenKey(path);
        std::string value;
        const bool found = RegQueryString(key, name, &value) == kRegOk;
        RegCloseKey(key);
        return found ? std::optional(value) : std::nullopt;
    }

    std::string folder;
    std::string file;
};
