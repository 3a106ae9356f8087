#include "http/TIdHeaderList.h"

#include "runtime/AsciiText.h"

namespace {

bool IsContinuation(const std::string& line)
{
    return !line.empty() && (line[0] == ' ' || line[0] == '\t');
}
bool IsBreakChar(char c)
{
    return c == ' ' || c == '\t' || c == ',';
}

void TrimRight(std::string& text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
}

// The last position in text[from, limit) after which a line may break, or
// npos. Breaks inside double quotes do not count.
std::size_t LastBreak(const std::string& text, std::size_t from, std::size_t limit)
{
    std::size_t found = std::string::npos;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size() && i < limit; ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (!quoted && i >= from && IsBreakChar(text[i]))
            found = i;
    }
    return found;
}

} // namespace

void TIdHeaderList::AddStrings(const TIdHeaderList& other)
{
    lines_.insert(lines_.end(), other.lines_.begin(), other.lines_.end());
}

void TIdHeaderList::Delete(std::size_t index)
{
    if (index < lines_.size())
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::string TIdHeaderList::Text() const
{
    std::string text;
    for (const std::string& line : lines_)
        text += line + "\r\n";
    return text;
}

std::string TIdHeaderList::Names(std::size_t index) const
{
    const std::string& line = lines_.at(index);
    if (IsContinuation(line))
        return {};
    std::size_t colon = line.find(':');
    return colon == std::string::npos ? std::string() : line.substr(0, colon);
}

std::ptrdiff_t TIdHeaderList::IndexOfName(std::string_view name) const
{
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (!IsContinuation(lines_[i]) && lines_[i].find(':') != std::string::npos &&
            AsciiText::SameText(Names(i), name))
            return static_cast<std::ptrdiff_t>(i);
    return -1;
}

std::size_t TIdHeaderList::ContinuationEnd(std::size_t index) const
{
    std::size_t end = index + 1;
    while (end < lines_.size() && IsContinuation(lines_[end]))
        ++end;
    return end;
}

std::string TIdHeaderList::UnfoldedValue(std::size_t index) const
{
    const std::string& line = lines_[index];
    std::string value = AsciiText::Trim(std::string_view(line).substr(line.find(':') + 1));
    for (std::size_t next = index + 1; next < ContinuationEnd(index); ++next)
        value = AsciiText::Trim(value) + " " + AsciiText::Trim(lines_[next]);
    return value;
}

std::string TIdHeaderList::ValueOf(std::string_view name) const
{
    std::ptrdiff_t index = IndexOfName(name);
    return index < 0 ? std::string() : UnfoldedValue(static_cast<std::size_t>(index));
}

std::vector<std::string> TIdHeaderList::CollectValues(std::string_view name) const
{
    std::vector<std::string> values;
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (!IsContinuation(lines_[i]) && lines_[i].find(':') != std::string::npos &&
            AsciiText::SameText(Names(i), name))
            values.push_back(UnfoldedValue(i));
    return values;
}

void TIdHeaderList::SetValueOf(std::string_view name, std::string_view value)
{
    std::ptrdiff_t found = IndexOfName(name);
    std::size_t at = lines_.size();
    if (found >= 0) {
        at = static_cast<std::size_t>(found);
        lines_.erase(lines_.begin() + found, lines_.begin() + static_cast<std::ptrdiff_t>(ContinuationEnd(at)));
    }
    if (value.empty())
        return;
    std::vector<std::string> folded = FoldLine(std::string(name) + ": " + std::string(value), foldLength_);
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), folded.begin(), folded.end());
}

std::vector<std::string> TIdHeaderList::FoldLine(const std::string& line, std::size_t foldLength)
{
    std::vector<std::string> lines;
    std::string rest = line;
    // A continuation starts with its blank, which must not count as a break.
    std::size_t searchFrom = 0;
    while (foldLength > 0 && rest.size() > foldLength) {
        std::size_t at = LastBreak(rest, searchFrom, foldLength);
        if (at == std::string::npos || at == 0)
            break;
        std::string head = rest.substr(0, at + 1);
        TrimRight(head);
        std::size_t next = at + 1;
        while (next < rest.size() && IsBreakChar(rest[next]))
            ++next;
        if (next >= rest.size()) {
            rest = head;
            break;
        }
        lines.push_back(head);
        rest = " " + rest.substr(next);
        searchFrom = 1;
    }
    TrimRight(rest);
    lines.push_back(rest);
    return lines;
}
