#include "platform/IniDocument.h"

#include <algorithm>

namespace platform {
namespace {

enum class LineKind { Other, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;
    std::string_view value;
    size_t equalsPos = std::string_view::npos; // position of '=' in the raw line
};

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view trim(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// A quick test that lets the search for a section skip every other line without parsing it.
bool mayBeSectionHeader(std::string_view raw)
{
    size_t i = 0;
    while (i < raw.size() && isBlank(raw[i]))
        ++i;
    return i < raw.size() && raw[i] == '[';
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

ParsedLine parseLine(std::string_view raw)
{
    // A NUL byte ends the line's text, as it ends a C string.
    const std::string_view content = raw.substr(0, raw.find('\0'));
    const std::string_view text = trim(content);
    ParsedLine line;
    if (text.empty() || text.front() == ';')
        return line;
    if (text.front() == '[') {
        line.kind = LineKind::Section;
        line.name = trim(text.substr(1, text.find(']') - 1));
        return line;
    }
    const size_t equals = content.find('=');
    line.name = trim(content.substr(0, equals));
    if (line.name.empty())
        return line;
    line.kind = LineKind::Key;
    if (equals != std::string_view::npos) {
        line.value = trim(content.substr(equals + 1));
        line.equalsPos = equals;
    }
    return line;
}

std::string keyLine(std::string_view key, std::string_view value)
{
    std::string line(key);
    line.append("=").append(value);
    return line;
}

std::string_view unquote(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// Calls visit(start, end, next) for every line: [start, end) is the line without its LF, next the start of
// the following line. visit returns false to stop.
template <typename Visit> void forEachLine(std::string_view text, Visit visit)
{
    size_t start = 0;
    while (start < text.size()) {
        const size_t lineFeed = text.find('\n', start);
        const size_t end = lineFeed == std::string_view::npos ? text.size() : lineFeed;
        const size_t next = lineFeed == std::string_view::npos ? text.size() : lineFeed + 1;
        if (!visit(start, end, next))
            return;
        start = next;
    }
}

} // namespace

IniDocument::IniDocument(std::string text) : text_(std::move(text))
{
    const size_t lineFeed = text_.find('\n');
    crlf_ = lineFeed != std::string::npos && lineFeed > 0 && text_[lineFeed - 1] == '\r';
}

// With a key that is found, the scan stops there and sectionEnd is not known.
IniDocument::Location IniDocument::locate(std::string_view section, std::optional<std::string_view> key) const
{
    Location location;
    bool inSection = false;
    forEachLine(text_, [&](size_t start, size_t end, size_t next) {
        const std::string_view raw = std::string_view(text_).substr(start, end - start);
        if (!inSection && !mayBeSectionHeader(raw))
            return true;
        const ParsedLine line = parseLine(raw);
        if (!inSection) {
            if (line.kind == LineKind::Section && equalsIgnoringCase(line.name, section)) {
                inSection = true;
                location.sectionFound = true;
                location.sectionStart = start;
                location.afterLastKey = next;
            }
            return true;
        }
        if (line.kind == LineKind::Section) {
            location.sectionEnd = start;
            inSection = false;
            return false;
        }
        if (line.kind == LineKind::Key) {
            location.afterLastKey = next;
            if (key && equalsIgnoringCase(line.name, *key)) {
                location.keyFound = true;
                location.keyStart = start;
                location.keyEnd = end;
                return false;
            }
        }
        return true;
    });
    if (inSection && !location.keyFound)
        location.sectionEnd = text_.size();
    return location;
}

std::optional<std::string> IniDocument::value(std::string_view section, std::string_view key) const
{
    const Location location = locate(section, key);
    if (!location.keyFound)
        return std::nullopt;
    const std::string_view line =
        std::string_view(text_).substr(location.keyStart, location.keyEnd - location.keyStart);
    return std::string(unquote(parseLine(line).value));
}

std::vector<std::string> IniDocument::keyNames(std::string_view section) const
{
    std::vector<std::string> names;
    const Location location = locate(section, std::nullopt);
    if (!location.sectionFound)
        return names;
    const std::string_view lines =
        std::string_view(text_).substr(location.sectionStart, location.sectionEnd - location.sectionStart);
    forEachLine(lines, [&](size_t start, size_t end, size_t) {
        const ParsedLine line = parseLine(lines.substr(start, end - start));
        if (line.kind != LineKind::Key)
            return true;
        const bool seen = std::any_of(names.begin(), names.end(), [&](const std::string& name) {
            return equalsIgnoringCase(name, line.name);
        });
        if (!seen)
            names.emplace_back(line.name);
        return true;
    });
    return names;
}

// NOLINTNEXTLINE(performance-unnecessary-value-param): moved in
void IniDocument::insertLine(size_t offset, std::string line)
{
    std::string insertion;
    if (offset == text_.size() && !text_.empty() && text_.back() != '\n')
        insertion += '\n';
    insertion += line;
    insertion += crlf_ ? "\r\n" : "\n";
    text_.insert(offset, insertion);
}

void IniDocument::set(std::string_view section, std::string_view key, std::string_view value)
{
    const Location location = locate(section, key);
    if (!location.sectionFound) {
        std::string header = "[";
        header.append(section).append("]");
        insertLine(text_.size(), std::move(header));
        insertLine(text_.size(), keyLine(key, value));
        return;
    }
    if (!location.keyFound) {
        insertLine(location.afterLastKey, keyLine(key, value));
        return;
    }
    // Keep the key as the file spells it, and the line's own CR of a CRLF.
    const size_t length = location.keyEnd - location.keyStart;
    const std::string_view raw = std::string_view(text_).substr(location.keyStart, length);
    const ParsedLine line = parseLine(raw);
    std::string replacement = line.equalsPos != std::string_view::npos
                                  ? std::string(raw.substr(0, line.equalsPos + 1)).append(value)
                                  : keyLine(line.name, value);
    if (raw.ends_with('\r'))
        replacement += '\r';
    text_.replace(location.keyStart, length, replacement);
}

void IniDocument::removeKey(std::string_view section, std::string_view key)
{
    const Location location = locate(section, key);
    if (location.keyFound)
        text_.erase(location.keyStart, std::min(location.keyEnd + 1, text_.size()) - location.keyStart);
}

void IniDocument::removeSection(std::string_view section)
{
    const Location location = locate(section, std::nullopt);
    if (location.sectionFound)
        text_.erase(location.sectionStart, location.sectionEnd - location.sectionStart);
}

} // namespace platform
