#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The text of one settings file held line by line, read and edited with the rules of the Windows profile
// functions. Sections and keys match without regard to (ASCII) case; the first of duplicate sections and
// the first of duplicate keys in it count; keys and values are trimmed; a line without '=' is a key with an
// empty value; lines starting with ';' are comments. An edit changes or adds the one line concerned and
// keeps every other line byte for byte.
class IniDocument {
public:
    // text is UTF-8 without byte-order mark; lines end with LF or CRLF.
    explicit IniDocument(std::string text);

    // The trimmed value with one pair of surrounding quotes removed; nothing when section or key is missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // The key names of the section in file order, each name once.
    std::vector<std::string> keyNames(std::string_view section) const;

    // Changes the key's line in place, or adds it at the end of the section's keys, or adds the section at
    // the end of the file.
    void set(std::string_view section, std::string_view key, std::string_view value);
    void removeKey(std::string_view section, std::string_view key);
    void removeSection(std::string_view section);

    const std::string& text() const { return text_; }

private:
    // Where a section and a key lie in text_, as byte offsets of line starts and ends.
    struct Location {
        bool sectionFound = false;
        size_t sectionStart = 0; // the header line
        size_t sectionEnd = 0;   // the first line after the section
        bool keyFound = false;
        size_t keyStart = 0;
        size_t keyEnd = 0;       // the end of the key's line, before its line break
        size_t afterLastKey = 0; // the line after the section's last key, or after the header
    };
    Location locate(std::string_view section, std::optional<std::string_view> key) const;
    void insertLine(size_t offset, std::string line);

    std::string text_;
    bool crlf_ = false;
};

} // namespace platform
