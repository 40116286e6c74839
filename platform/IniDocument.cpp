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

std::string_view trim(std::string_view text)
{
    constexpr std::string_view blanks = " \t\r\v\f";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
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

std::string_view unquote(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

} // namespace

IniDocument::IniDocument(std::string_view text)
{
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            lines_.emplace_back(text.substr(start));
            break;
        }
        lines_.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    endsWithLineBreak_ = !text.empty() && text.back() == '\n';
    crlf_ = !lines_.empty() && !lines_.front().empty() && lines_.front().back() == '\r';
}

std::optional<IniDocument::Range> IniDocument::findSection(std::string_view section) const
{
    for (size_t i = 0; i < lines_.size(); ++i) {
        const ParsedLine line = parseLine(lines_[i]);
        if (line.kind != LineKind::Section || !equalsIgnoringCase(line.name, section))
            continue;
        size_t end = i + 1;
        while (end < lines_.size() && parseLine(lines_[end]).kind != LineKind::Section)
            ++end;
        return Range{i, end};
    }
    return std::nullopt;
}

std::optional<size_t> IniDocument::findKey(const Range& range, std::string_view key) const
{
    for (size_t i = range.header + 1; i < range.end; ++i) {
        const ParsedLine line = parseLine(lines_[i]);
        if (line.kind == LineKind::Key && equalsIgnoringCase(line.name, key))
            return i;
    }
    return std::nullopt;
}

std::optional<std::string> IniDocument::value(std::string_view section, std::string_view key) const
{
    const auto range = findSection(section);
    if (!range)
        return std::nullopt;
    const auto index = findKey(*range, key);
    if (!index)
        return std::nullopt;
    return std::string(unquote(parseLine(lines_[*index]).value));
}

std::vector<std::string> IniDocument::keyNames(std::string_view section) const
{
    std::vector<std::string> names;
    const auto range = findSection(section);
    if (!range)
        return names;
    for (size_t i = range->header + 1; i < range->end; ++i) {
        const ParsedLine line = parseLine(lines_[i]);
        if (line.kind != LineKind::Key)
            continue;
        const bool seen = std::any_of(names.begin(), names.end(),
                                      [&](const std::string& name) { return equalsIgnoringCase(name, line.name); });
        if (!seen)
            names.emplace_back(line.name);
    }
    return names;
}

std::string IniDocument::newLine(std::string line) const
{
    if (crlf_)
        line += '\r';
    return line;
}

void IniDocument::set(std::string_view section, std::string_view key, std::string_view value)
{
    const auto range = findSection(section);
    if (!range) {
        lines_.push_back(newLine("[" + std::string(section) + "]"));
        lines_.push_back(newLine(std::string(key) + "=" + std::string(value)));
        endsWithLineBreak_ = true;
        return;
    }
    if (const auto index = findKey(*range, key)) {
        std::string& raw = lines_[*index];
        const ParsedLine line = parseLine(raw);
        // Keep the key as the file spells it, and the file's own line ending.
        std::string prefix = line.equalsPos != std::string_view::npos ? raw.substr(0, line.equalsPos + 1)
                                                                       : std::string(line.name) + "=";
        raw = newLine(prefix + std::string(value));
        return;
    }
    size_t insertAt = range->header + 1;
    for (size_t i = range->header + 1; i < range->end; ++i) {
        if (parseLine(lines_[i]).kind == LineKind::Key)
            insertAt = i + 1;
    }
    if (insertAt == lines_.size())
        endsWithLineBreak_ = true;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                  newLine(std::string(key) + "=" + std::string(value)));
}

void IniDocument::removeKey(std::string_view section, std::string_view key)
{
    const auto range = findSection(section);
    if (!range)
        return;
    if (const auto index = findKey(*range, key))
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*index));
}

void IniDocument::removeSection(std::string_view section)
{
    if (const auto range = findSection(section))
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(range->header),
                     lines_.begin() + static_cast<std::ptrdiff_t>(range->end));
}

std::string IniDocument::text() const
{
    std::string out;
    for (size_t i = 0; i < lines_.size(); ++i) {
        out += lines_[i];
        if (i + 1 < lines_.size() || endsWithLineBreak_)
            out += '\n';
    }
    return out;
}

} // namespace platform
