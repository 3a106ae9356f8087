#include "regex/TRegExpr.h"

#include "regex/RegExprProgram.h"

#include <cctype>
#include <cstring>
#include <utility>

using namespace regexpr;

namespace {

// Process-wide creation defaults; x is left alone and so starts off.
constexpr std::pair<TRegExprModifier, bool> kModifierDefaults[] = {
    {rmIgnoreCase, false}, {rmRussianRanges, true}, {rmSingleLine, true}, {rmGreedy, true}, {rmMultiLine, false},
};

const std::string kDefaultSpaceClassChars = " \t\n\r\f";
const std::string kDefaultWordClassChars = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_";
const std::string kDefaultLineSeparatorChars = "\r\n";

} // namespace

TRegExpr::TRegExpr()
    : caseInverter_(DefaultCaseInverter), compiler_(settings_, [this](int number) { RaiseError(number); }),
      matcher_(settings_, [this](int number) { RaiseError(number); })
{
    for (auto [modifier, on] : kModifierDefaults)
        SetModifier(modifier, on);
    settings_.spaceClassChars = kDefaultSpaceClassChars;
    SetWordClassChars(kDefaultWordClassChars);
    SetLineSeparatorChars(kDefaultLineSeparatorChars);
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
        RaiseError(reeModifierIndexOutOfRange);
    return (modifiers_ >> (index - 1)) & 1;
}

void TRegExpr::SetModifier(int index, bool on)
{
    if (index < 1 || index > kModifierCount)
        RaiseError(reeModifierIndexOutOfRange);
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
        RaiseError(reeBadLinePairedSeparator);
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
    settings_.lineSeparatorSet = ByteSet();
    settings_.lineSeparatorSet.AddChars(chars);
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
    case reeOk: return "No errors";
    case reeTooManyGroups: return "TRegExpr(comp): ParseReg Too Many ()";
    case reeUnclosedGroup: return "TRegExpr(comp): ParseReg Unmatched ()";
    case reeUnopenedGroup: return "TRegExpr(comp): ParseReg Unmatched ()";
    case reeJunkAtEnd: return "TRegExpr(comp): ParseReg Junk On End";
    case reeRepeatOperandCouldBeEmpty: return "TRegExpr(comp): *+ Operand Could Be Empty";
    case reeNestedRepeat: return "TRegExpr(comp): Nested *?+";
    case reeBadHexDigit: return "TRegExpr(comp): Bad Hex Digit";
    case reeInvalidRange: return "TRegExpr(comp): Invalid [] Range";
    case reeClassTrailingBackslash: return "TRegExpr(comp): Parse Atom Trailing \\";
    case reeNoHexCode: return "TRegExpr(comp): No Hex Code After \\x";
    case reeHexCodeTooBig: return "TRegExpr(comp): Hex Code After \\x Is Too Big";
    case reeUnclosedClass: return "TRegExpr(comp): Unmatched []";
    case reeAtomAtBranchEnd: return "TRegExpr(comp): Internal Urp";
    case reeRepeatFollowsNothing: return "TRegExpr(comp): ?+*{ Follows Nothing";
    case reeTrailingBackslash: return "TRegExpr(comp): Trailing \\";
    case reeMisplacedMetaCharacter: return "TRegExpr(comp): RarseAtom Internal Disaster";
    case reeBracesArgumentTooBig: return "TRegExpr(comp): BRACES Argument Too Big";
    case reeBracesMinAboveMax: return "TRegExpr(comp): BRACE Min Param Greater then Max";
    case reeUnclosedComment: return "TRegExpr(comp): Unclosed (?#Comment)";
    case reeUnknownModifier: return "TRegExpr(comp): Urecognized Modifier";
    case reeBadLinePairedSeparator:
        return "TRegExpr(comp): LinePairedSeparator must countain two different chars or no chars at all";
    case reeExpressionTooLong: return "TRegExpr(comp): Expression Too Long";
    case reeRepeatMisplaced: return "TRegExpr(exec): RegRepeat Called Inappropriately";
    case reeMemoryCorruption: return "TRegExpr(exec): MatchPrim Memory Corruption";
    case reeCorruptedPointers: return "TRegExpr(exec): MatchPrim Corrupted Pointers";
    case reeNoExpression: return "TRegExpr(exec): Not Assigned Expression Property";
    case reeCorruptedProgram: return "TRegExpr(exec): Corrupted Program";
    case reeNoInputString: return "TRegExpr(exec): No Input String Specified";
    case reeOffsetNotPositive: return "TRegExpr(exec): Offset Must Be Greater Then 0";
    case reeLoopStackExceeded: return "TRegExpr(exec): Loop Stack Exceeded";
    case reeLoopWithoutEntry: return "TRegExpr(exec): Loop Without LoopEntry !";
    case reeBacktrackStackExceeded: return "TRegExpr(exec): Backtrack Stack Exceeded";
    default: return "Unknown error";
    }
}

void TRegExpr::RaiseError(int number)
{
    lastError_ = number;
    std::string message = ErrorText(number);
    int32_t position = 0;
    if (number < reeFirstSearchError) {
        position = compiling_ ? compiler_.Position() : 0;
        message += " (pos " + std::to_string(position) + ")";
    }
    throw ERegExpr(std::move(message), number, position);
}

void TRegExpr::Compile()
{
    if (expression_.empty())
        RaiseError(reeNoExpression);
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
