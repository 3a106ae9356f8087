#pragma once

#include "regex/ERegExpr.h"
#include "regex/RegExprCompiler.h"
#include "regex/RegExprMatcher.h"
#include "regex/RegExprSettings.h"
#include "regex/SearchHints.h"
#include "runtime/TObject.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>

// The modifiers by the index Modifier and SetModifier take.
enum TRegExprModifier : int {
    rmIgnoreCase = 1,    // i
    rmRussianRanges = 2, // r
    rmSingleLine = 3,    // s: "." matches line breaks too
    rmGreedy = 4,        // g
    rmMultiLine = 5,     // m
    rmExtended = 6,      // x
};

// The program's regular-expression engine: compiles a pattern into p-code at
// the first search after it changed, and searches 8-bit text with it.
//
//   TRegExpr re;
//   re.SetModifier(rmIgnoreCase, true);
//   re.SetExpression("v=(.*)");
//   if (re.Exec(address)) id = re.Capture(1);
//
// Pattern and subject end at their first zero character. One object serves
// one thread at a time.
class TRegExpr : public TObject {
public:
    // Gives the other-case form of a character (or the character itself).
    using TCaseInverter = std::function<char(char)>;

    TRegExpr();
    ~TRegExpr() override;

    std::string ClassName() const override { return "TRegExpr"; }

    // The pattern; compiled by the next search.
    const std::string& Expression() const { return expression_; }
    void SetExpression(const std::string& text);

    // Modifiers by index (TRegExprModifier); others raise
    // reeModifierIndexOutOfRange.
    bool Modifier(int index);
    void SetModifier(int index, bool on);

    // Searches `text` from its start; true when a match was found.
    bool Exec(const std::string& text);
    bool Exec(std::string&& text); // takes the text over instead of copying it
    // Searches the current subject from the 1-based `offset`.
    bool ExecPos(int offset = 1);
    const std::string& InputString() const { return input_; }

    // The text of the whole match (0) or of group n (1..14) of the last
    // search; empty for a group that took no part, any other n or no match.
    std::string Capture(int n) const;

    // Two different characters that form one line break, or empty for none.
    std::string LinePairedSeparator() const;
    void SetLinePairedSeparator(const std::string& text);

    const std::string& SpaceClassChars() const { return settings_.spaceClassChars; }
    void SetSpaceClassChars(const std::string& chars);
    const std::string& WordClassChars() const { return settings_.wordClassChars; }
    void SetWordClassChars(const std::string& chars);
    const std::string& LineSeparatorChars() const { return settings_.lineSeparatorChars; }
    void SetLineSeparatorChars(const std::string& chars);
    void SetCaseInverter(TCaseInverter inverter);

    int32_t LastError() const { return lastError_; }
    virtual std::string ErrorText(int number) const;
    // Stores the number as last error and raises ERegExpr.
    virtual void RaiseError(int number);

    // The compiled program and its search hints, for tests; empty before the
    // first search and after a change.
    std::span<const uint8_t> ProgramBytes() const { return program_; }
    const regexpr::SearchHints& Hints() const { return hints_; }

    // The default case inverter: the locale's single-byte upper case of c if
    // that differs, else its lower case (ASCII only under UTF-8).
    static char DefaultCaseInverter(char c);

private:
    static constexpr int kModifierCount = rmExtended;

    void DiscardProgram();
    void PrepareProgram();
    void Compile();
    void CopySubject(const std::string& text);
    bool RequiredLiteralAbsent(const char* from) const;
    bool SearchFrom(const char* start);
    bool SearchByFirstChars(const char* start);
    bool SearchByMemchr(const char* start, const std::string& list);
    bool SearchByStrcspn(const char* start, const std::string& list);
    void RebuildCaseTable();

    regexpr::Settings settings_;
    TCaseInverter caseInverter_;
    regexpr::RegExprCompiler compiler_;
    regexpr::RegExprMatcher matcher_;
    bool compiling_ = false;

    std::string expression_;
    bool compiled_ = false;
    std::vector<uint8_t> program_;
    regexpr::SearchHints hints_;
    uint32_t modifiers_ = 0;
    uint32_t programModifiers_ = 0;

    std::string input_;
    bool hasInput_ = false;
    int32_t lastError_ = 0;
};
