#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The header lines of a request or response, "Name: value" one per line.
// Names are compared without regard to letter case. A line that begins with
// a blank or tab continues the value of the line before it: reading a value
// unfolds it, and writing a value longer than FoldLength folds it.
class TIdHeaderList {
public:
    static constexpr std::size_t kDefaultFoldLength = 78;

    explicit TIdHeaderList(std::size_t foldLength = kDefaultFoldLength) : foldLength_(foldLength) {}

    std::size_t FoldLength() const { return foldLength_; }
    void SetFoldLength(std::size_t length) { foldLength_ = length; }

    // The plain list.
    std::size_t Count() const { return lines_.size(); }
    const std::string& Strings(std::size_t index) const { return lines_.at(index); }
    const std::vector<std::string>& Lines() const { return lines_; }
    void Add(std::string line) { lines_.push_back(std::move(line)); }
    void AddStrings(const TIdHeaderList& other);
    void Delete(std::size_t index);
    void Clear() { lines_.clear(); }
    // Every line followed by CR LF.
    std::string Text() const;

    // The name of line index: the text before its first ":" (empty for a
    // continuation line).
    std::string Names(std::size_t index) const;

    // The unfolded value of the first line named name; empty when there is none.
    std::string ValueOf(std::string_view name) const;
    // Replaces the first line named name (with its continuation lines) in
    // place, or appends one; an empty value removes the line.
    void SetValueOf(std::string_view name, std::string_view value);
    // The unfolded values of every line named name, in order.
    std::vector<std::string> CollectValues(std::string_view name) const;
    // Index of the first line named name, or -1.
    std::ptrdiff_t IndexOfName(std::string_view name) const;

    // Splits "name: value" into lines no longer than foldLength where that is
    // possible (breaking after a blank, tab or comma outside double quotes).
    static std::vector<std::string> FoldLine(const std::string& line, std::size_t foldLength);

private:
    std::string UnfoldedValue(std::size_t index) const;
    std::size_t ContinuationEnd(std::size_t index) const;

    std::vector<std::string> lines_;
    std::size_t foldLength_;
};
