#include "platform/translation.h"

#include <libintl.h>
#include <sys/stat.h>

#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <unordered_map>

#include "platform/paths.h"

namespace {

constexpr const char* kDomain = "quillfen-solitaire";
// gettext's separator between a message's context and its English.
constexpr char kContextSeparator = '\x04';

std::string& Chosen() {
    static std::string code;
    return code;
}

bool IsFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool HasCatalogue(const std::string& code) {
    return !code.empty() && IsFile(CatalogueDirectory() + "/" + code + "/LC_MESSAGES/" + kDomain + ".mo");
}

// "pt_BR.UTF-8@euro" -> "pt_BR"; "C", "POSIX" and English -> "".
std::string LanguageOfLocale(std::string_view locale) {
    const size_t end = locale.find_first_of(".@");
    locale = locale.substr(0, end);
    if (locale.empty() || locale == "C" || locale == "POSIX" || locale.substr(0, 2) == "en") return "";
    return std::string(locale);
}

// A code as one we translate to: "pt_BR" -> "pt"; "" when we have no such language.
std::string TranslatedLanguage(std::string_view code) {
    const std::string language(code.substr(0, code.find('_')));
    for (const char* known : kTranslatedLanguages) {
        if (language == known) return language;
    }
    return "";
}

// Catalogue text (UTF-8) as the fonts need it, converted once and kept for the run: gettext's
// pointers stay valid for the whole run, so each is a stable key.
const char* Converted(const char* catalogueText) {
    static std::mutex lock;
    static std::unordered_map<const char*, std::string> converted;
    const std::lock_guard<std::mutex> guard(lock);
    auto [entry, added] = converted.try_emplace(catalogueText);
    if (added) Utf8ToWindows1252(catalogueText, &entry->second);
    return entry->second.c_str();
}

// Windows-1252's 0x80..0x9F; 0 where the code is unassigned.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

int Windows1252Code(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] != 0 && kHighControls[i] == c) return 0x80 + i;
    }
    return -1;
}

}  // namespace

std::string LanguageFromEnvironment(const char* lcAll, const char* lcMessages, const char* lang,
                                    const char* language) {
    const char* locale = "";
    for (const char* value : {lcAll, lcMessages, lang}) {
        if (value && *value) {
            locale = value;
            break;
        }
    }
    const std::string_view name(locale);
    const std::string fromLocale = LanguageOfLocale(name);
    // As gettext does: LANGUAGE is a priority list, ignored under the C locale.
    const std::string_view base = name.substr(0, name.find_first_of(".@"));
    if (language && *language && !base.empty() && base != "C" && base != "POSIX") {
        std::string_view list(language);
        while (!list.empty()) {
            const size_t colon = list.find(':');
            const std::string_view entry = list.substr(0, colon);
            if (entry.substr(0, 2) == "en") return "";
            if (const std::string known = TranslatedLanguage(entry); !known.empty()) return known;
            if (colon == std::string_view::npos) break;
            list.remove_prefix(colon + 1);
        }
    }
    return TranslatedLanguage(fromLocale);
}

std::string CatalogueDirectory() {
    // A build keeps its catalogues in its data folder; an installation in share/locale, beside
    // share/quillfen-solitaire.
    const std::string data = DataDirectory();
    struct stat info {};
    if (stat((data + "/locale").c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return data + "/locale";
    return data + "/../locale";
}

std::string ChooseLanguage(std::string_view code) {
    // LANGUAGE carries the choice to gettext below, so the player's own list is kept from before.
    static const std::optional<std::string> playersList =
        std::getenv("LANGUAGE") ? std::optional<std::string>(std::getenv("LANGUAGE")) : std::nullopt;
    const std::string wanted =
        code.empty() ? LanguageFromEnvironment(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"),
                                               playersList ? playersList->c_str() : nullptr)
                     : TranslatedLanguage(LanguageOfLocale(code));
    std::string& chosen = Chosen();
    chosen = HasCatalogue(wanted) ? wanted : "";
    bindtextdomain(kDomain, CatalogueDirectory().c_str());
    bind_textdomain_codeset(kDomain, "UTF-8");
    // Leaving and re-entering a locale also empties gettext's cache of found messages.
    std::setlocale(LC_MESSAGES, "C");
    if (playersList) setenv("LANGUAGE", playersList->c_str(), 1);
    else unsetenv("LANGUAGE");
    if (!chosen.empty()) {
        // The machine need not have the language's locale generated: gettext honours LANGUAGE
        // under C.UTF-8, which the C library always has. Failing that, the player's own locale.
        setenv("LANGUAGE", chosen.c_str(), 1);
        if (!std::setlocale(LC_MESSAGES, "C.UTF-8") && !std::setlocale(LC_MESSAGES, "C.utf8"))
            std::setlocale(LC_MESSAGES, "");
    }
    return chosen;
}

const std::string& CurrentLanguage() { return Chosen(); }

const char* Translate(const char* english) {
    if (Chosen().empty() || english == nullptr || *english == '\0') return english;
    const char* found = dgettext(kDomain, english);
    return found == english ? english : Converted(found);
}

const char* Translate(const char* context, const char* english) {
    if (Chosen().empty() || english == nullptr || *english == '\0') return english;
    const std::string key = std::string(context) + kContextSeparator + english;
    const char* found = dgettext(kDomain, key.c_str());
    return found == key.c_str() ? english : Converted(found);
}

const char* TranslatePlural(const char* one, const char* many, unsigned long n) {
    if (Chosen().empty()) return n == 1 ? one : many;
    const char* found = dngettext(kDomain, one, many, n);
    return found == one || found == many ? found : Converted(found);
}

std::string FormatText(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    va_list again;
    va_copy(again, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, arguments);
    va_end(arguments);
    std::string out(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(out.data(), out.size() + 1, format, again);
    va_end(again);
    return out;
}

std::string GroupDigits(long long value) {
    const std::string& language = Chosen();
    const bool negative = value < 0;
    std::string digits = std::to_string(negative ? -(value + 1) + 1ULL : static_cast<unsigned long long>(value));
    // English keeps its plain digits. The others group from five digits on, as their typesetting
    // does: French with a no-break space, the rest with a full stop.
    if (language.empty() || digits.size() < 5) return std::to_string(value);
    const char separator = language == "fr" ? '\xA0' : '.';
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
        out += digits[i];
    }
    return negative ? "-" + out : out;
}

char DecimalSign() { return Chosen().empty() ? '.' : ','; }

bool Utf8ToWindows1252(std::string_view utf8, std::string* out) {
    out->clear();
    bool lossless = true;
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        const int length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        char32_t c = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        bool valid = length > 0 && i + static_cast<size_t>(length) <= utf8.size();
        for (int k = 1; valid && k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(utf8[i + static_cast<size_t>(k)]);
            valid = (next & 0xC0) == 0x80;
            c = c << 6 | (next & 0x3F);
        }
        const int code = valid ? Windows1252Code(c) : -1;
        if (code < 0) lossless = false;
        out->push_back(code < 0 ? '?' : static_cast<char>(code));
        i += valid ? static_cast<size_t>(length) : 1;
    }
    return lossless;
}

std::string Windows1252ToUtf8(std::string_view text) {
    std::string out;
    for (const char byte : text) {
        const unsigned char b = static_cast<unsigned char>(byte);
        char32_t c = b;
        if (b >= 0x80 && b < 0xA0 && kHighControls[b - 0x80] != 0) c = kHighControls[b - 0x80];
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}
