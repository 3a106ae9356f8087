#include "regex/TRegExpr.h"

#include "regex/RegExprProgram.h"

#include <cctype>
#include <cstring>

using namespace regexpr;

namespace {

// Process-wide creation defaults of modifiers 1 to 5 (i, r, s, g, m).
constexpr bool kModifierDefaults[5] = {false, true, true, true, false};

const std::string kDefaultSpaceClassChars = " \t\n\r\f";
const std::string kDefaultWordClassChars =
    "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_";
const std::string kDefaultLineSeparatorChars = "\r\n";

}  // namespace

TRegExpr::TRegExpr()
    : caseInverter_(DefaultCaseInverter),
      compiler_(settings_, [this](int number) { RaiseError(number); }),
      matcher_(settings_, [this](int number) { RaiseError(number); })
{
    for (int index = 1; index <= 5; ++index)
        SetModifier(index, kModifierDefaults[index - 1]);
    settings_.spaceClassChars = kDefaultSpaceClassChars;
    SetWordClassChars(kDefaultWordClassChars);
    settings_.lineSeparatorChars = kDefaultLineSeparatorChars;
    settings_.pairedAssigned = true;
    settings_.pairedHead = '\r';
    settings_.pairedTail = '\n';
    RebuildCaseTable();
}

TRegExpr::~TRegExpr() = default;

char TRegExpr::DefaultCaseInverter(char c)
{
    const auto value = static_cast<unsigned char>(c);
    const int upper = std::toupper(value);
    if (upper != value)
        return static_cast<char>(upper);
    return static_cast<char>(std::tolower(value));
}

void TRegExpr::SetExpression(const std::string& text)
{
    // The pattern ends at its first zero character.
    const std::string pattern(text.c_str());
    if (pattern == expression_ && compiled_)
        return;
    compiled_ = false;
    expression_.clear();
    // An empty pattern keeps the program of the previous one.
    if (!pattern.empty()) {
        expression_ = pattern;
        DiscardProgram();
    }
}

bool TRegExpr::Modifier(int index)
{
    if (index < 1 || index > kModifierCount)
        RaiseError(1013);
    return (modifiers_ >> (index - 1)) & 1;
}

void TRegExpr::SetModifier(int index, bool on)
{
    if (index < 1 || index > kModifierCount)
        RaiseError(1013);
    const uint32_t bit = 1u << (index - 1);
    modifiers_ = on ? modifiers_ | bit : modifiers_ & ~bit;
}

std::string TRegExpr::LinePairedSeparator() const
{
    if (!settings_.pairedAssigned)
        return {};
    return {char(settings_.pairedHead), char(settings_.pairedTail)};
}

void TRegExpr::SetLinePairedSeparator(const std::string& text)
{
    if (text.empty()) {
        if (settings_.pairedAssigned) {
            settings_.pairedAssigned = false;
            DiscardProgram();
        }
        return;
    }
    if (text.size() != 2 || text[0] == text[1])
        RaiseError(128);
    const auto head = static_cast<uint8_t>(text[0]);
    const auto tail = static_cast<uint8_t>(text[1]);
    if (settings_.pairedAssigned && settings_.pairedHead == head && settings_.pairedTail == tail)
        return;
    settings_.pairedAssigned = true;
    settings_.pairedHead = head;
    settings_.pairedTail = tail;
    DiscardProgram();
}

void TRegExpr::SetSpaceClassChars(const std::string& chars)
{
    settings_.spaceClassChars = chars;
    DiscardProgram();
}

void TRegExpr::SetWordClassChars(const std::string& chars)
{
    settings_.wordClassChars = chars;
    settings_.wordSet = ByteSet();
    settings_.wordSet.AddChars(chars);
    DiscardProgram();
}

void TRegExpr::SetLineSeparatorChars(const std::string& chars)
{
    settings_.lineSeparatorChars = chars;
    DiscardProgram();
}

void TRegExpr::SetCaseInverter(TCaseInverter inverter)
{
    caseInverter_ = inverter ? std::move(inverter) : TCaseInverter(DefaultCaseInverter);
    RebuildCaseTable();
    DiscardProgram();
}

void TRegExpr::RebuildCaseTable()
{
    for (int c = 0; c < 256; ++c)
        settings_.caseInverse[size_t(c)] = static_cast<uint8_t>(caseInverter_(static_cast<char>(c)));
}

void TRegExpr::DiscardProgram()
{
    program_.clear();
    hints_ = SearchHints();
}

std::string TRegExpr::ErrorText(int number) const
{
    switch (number) {
    case 0: return "No errors";
    case 102: return "TRegExpr(comp): ParseReg Too Many ()";
    case 103: return "TRegExpr(comp): ParseReg Unmatched ()";
    case 104: return "TRegExpr(comp): ParseReg Unmatched ()";
    case 105: return "TRegExpr(comp): ParseReg Junk On End";
    case 106: return "TRegExpr(comp): *+ Operand Could Be Empty";
    case 107: return "TRegExpr(comp): Nested *?+";
    case 108: return "TRegExpr(comp): Bad Hex Digit";
    case 109: return "TRegExpr(comp): Invalid [] Range";
    case 110: return "TRegExpr(comp): Parse Atom Trailing \\";
    case 111: return "TRegExpr(comp): No Hex Code After \\x";
    case 112: return "TRegExpr(comp): Hex Code After \\x Is Too Big";
    case 113: return "TRegExpr(comp): Unmatched []";
    case 114: return "TRegExpr(comp): Internal Urp";
    case 115: return "TRegExpr(comp): ?+*{ Follows Nothing";
    case 116: return "TRegExpr(comp): Trailing \\";
    case 119: return "TRegExpr(comp): RarseAtom Internal Disaster";
    case 122: return "TRegExpr(comp): BRACES Argument Too Big";
    case 124: return "TRegExpr(comp): BRACE Min Param Greater then Max";
    case 125: return "TRegExpr(comp): Unclosed (?#Comment)";
    case 127: return "TRegExpr(comp): Urecognized Modifier";
    case 128: return "TRegExpr(comp): LinePairedSeparator must countain two different chars or no chars at all";
    case 1000: return "TRegExpr(exec): RegRepeat Called Inappropriately";
    case 1001: return "TRegExpr(exec): MatchPrim Memory Corruption";
    case 1002: return "TRegExpr(exec): MatchPrim Corrupted Pointers";
    case 1003: return "TRegExpr(exec): Not Assigned Expression Property";
    case 1004: return "TRegExpr(exec): Corrupted Program";
    case 1005: return "TRegExpr(exec): No Input String Specified";
    case 1006: return "TRegExpr(exec): Offset Must Be Greater Then 0";
    case 1014: return "TRegExpr(exec): Loop Stack Exceeded";
    case 1015: return "TRegExpr(exec): Loop Without LoopEntry !";
    case 1016: return "TRegExpr(exec): Backtrack Stack Exceeded";
    default: return "Unknown error";
    }
}

void TRegExpr::RaiseError(int number)
{
    lastError_ = number;
    std::string message = ErrorText(number);
    int32_t position = 0;
    if (number < 1000) {
        position = compiling_ ? compiler_.Position() : 0;
        message += " (pos " + std::to_string(position) + ")";
    }
    throw ERegExpr(std::move(message), number, position);
}

void TRegExpr::Compile()
{
    if (expression_.empty())
        RaiseError(1003);
    DiscardProgram();
    programModifiers_ = modifiers_;
    compiling_ = true;
    try {
        CompiledPattern compiled = compiler_.Compile(expression_, modifiers_);
        program_ = std::move(compiled.program);
        hints_ = DeriveSearchHints(program_, compiled.flags, (modifiers_ & kModM) != 0, settings_,
                                   [this](int number) { RaiseError(number); });
    } catch (...) {
        DiscardProgram();
        compiling_ = false;
        compiled_ = false;
        throw;
    }
    compiling_ = false;
    compiled_ = true;
}
