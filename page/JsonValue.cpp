#include "page/JsonValue.h"

#include "runtime/AsciiText.h"

#include <cstdint>

namespace {

class TJsonReader {
public:
    explicit TJsonReader(std::string_view text) : text_(text) {}

    std::optional<TJsonValue> ReadWhole()
    {
        TJsonValue value;
        if (!ReadValue(value, 0))
            return std::nullopt;
        SkipBlanks();
        if (position_ != text_.size())
            return std::nullopt;
        return value;
    }

private:
    bool ReadValue(TJsonValue& value, int depth)
    {
        SkipBlanks();
        if (position_ >= text_.size())
            return false;
        switch (text_[position_]) {
        case '{': return depth < kJsonDepthLimit && ReadObject(value, depth + 1);
        case '[': return depth < kJsonDepthLimit && ReadArray(value, depth + 1);
        case '"': value.Kind = TJsonValue::jkString; return ReadString(value.Text);
        case 't': value.Kind = TJsonValue::jkBoolean; return ReadLiteral("true", value.Text);
        case 'f': value.Kind = TJsonValue::jkBoolean; return ReadLiteral("false", value.Text);
        case 'n': value.Kind = TJsonValue::jkNull; return ReadLiteral("null", value.Text);
        default: value.Kind = TJsonValue::jkNumber; return ReadNumber(value.Text);
        }
    }

    bool ReadObject(TJsonValue& value, int depth)
    {
        value.Kind = TJsonValue::jkObject;
        return ReadElements('}', [&] {
            TJsonMember member;
            SkipBlanks();
            if (!Peek('"') || !ReadString(member.Name) || !Take(':') || !ReadValue(member.Value, depth))
                return false;
            value.Members.push_back(std::move(member));
            return true;
        });
    }

    bool ReadArray(TJsonValue& value, int depth)
    {
        value.Kind = TJsonValue::jkArray;
        return ReadElements(']', [&] {
            value.Items.emplace_back();
            return ReadValue(value.Items.back(), depth);
        });
    }

    // The comma-separated elements of an object or array, from its opening
    // bracket up to past the closing one.
    template <typename TReadElement>
    bool ReadElements(char closing, TReadElement readElement)
    {
        ++position_; // the opening bracket
        if (Take(closing))
            return true;
        do {
            if (!readElement())
                return false;
        } while (Take(','));
        return Take(closing);
    }

    bool ReadString(std::string& out)
    {
        ++position_; // the opening quote
        while (position_ < text_.size()) {
            char c = text_[position_++];
            if (c == '"')
                return true;
            if (static_cast<unsigned char>(c) < ' ')
                return false;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (position_ >= text_.size())
                return false;
            char escape = text_[position_++];
            switch (escape) {
            case '"':
            case '\\':
            case '/': out += escape; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u':
                if (!ReadCodePoint(out))
                    return false;
                break;
            default: return false;
            }
        }
        return false;
    }

    // After "\u": four hexadecimal digits, a surrogate pair taking two
    // escapes; written out as UTF-8.
    bool ReadCodePoint(std::string& out)
    {
        std::optional<std::uint32_t> unit = ReadHex4();
        if (!unit)
            return false;
        std::uint32_t code = *unit;
        if (code >= 0xD800 && code < 0xDC00 && text_.substr(position_, 2) == "\\u") {
            const std::size_t low = position_;
            position_ += 2;
            std::optional<std::uint32_t> second = ReadHex4();
            if (second && *second >= 0xDC00 && *second < 0xE000)
                code = 0x10000 + ((code - 0xD800) << 10) + (*second - 0xDC00);
            else
                position_ = low; // not the pair's second half: read on its own
        }
        if (code >= 0xD800 && code < 0xE000)
            code = 0xFFFD; // a surrogate without its other half
        AppendUtf8(out, code);
        return true;
    }

    std::optional<std::uint32_t> ReadHex4()
    {
        if (text_.size() - position_ < 4)
            return std::nullopt;
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            int digit = AsciiText::HexDigitValue(text_[position_++]);
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + static_cast<std::uint32_t>(digit);
        }
        return value;
    }

    static void AppendUtf8(std::string& out, std::uint32_t code)
    {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    bool ReadLiteral(std::string_view literal, std::string& out)
    {
        if (text_.substr(position_, literal.size()) != literal)
            return false;
        position_ += literal.size();
        out = literal;
        return true;
    }

    // -? digits [. digits] [e [+-] digits], as written.
    bool ReadNumber(std::string& out)
    {
        const std::size_t start = position_;
        TakeHere('-');
        if (!SkipDigits())
            return false;
        if (TakeHere('.') && !SkipDigits())
            return false;
        if (TakeHere('e') || TakeHere('E')) {
            if (!TakeHere('+'))
                TakeHere('-');
            if (!SkipDigits())
                return false;
        }
        out = text_.substr(start, position_ - start);
        return true;
    }

    bool SkipDigits()
    {
        const std::size_t start = position_;
        while (position_ < text_.size() && text_[position_] >= '0' && text_[position_] <= '9')
            ++position_;
        return position_ > start;
    }

    void SkipBlanks()
    {
        while (position_ < text_.size() &&
               (text_[position_] == ' ' || text_[position_] == '\t' || text_[position_] == '\n' ||
                text_[position_] == '\r'))
            ++position_;
    }

    bool Peek(char c) const { return position_ < text_.size() && text_[position_] == c; }

    // Takes c when it comes next.
    bool TakeHere(char c)
    {
        if (!Peek(c))
            return false;
        ++position_;
        return true;
    }

    // The same after any blanks.
    bool Take(char c)
    {
        SkipBlanks();
        return TakeHere(c);
    }

    std::string_view text_;
    std::size_t position_ = 0;
};

} // namespace

const TJsonValue* TJsonValue::Member(std::string_view name) const
{
    for (const TJsonMember& member : Members)
        if (member.Name == name)
            return &member.Value;
    return nullptr;
}

std::optional<TJsonValue> ParseJson(std::string_view text)
{
    return TJsonReader(text).ReadWhole();
}
