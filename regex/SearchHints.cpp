#include "regex/SearchHints.h"

#include "regex/RegExprCompiler.h"
#include "regex/RegExprProgram.h"

#include <cstring>
#include <vector>

namespace regexpr {

namespace {

const uint8_t* NextNode(const uint8_t* node)
{
    const int32_t offset = NextOffset(node);
    return offset ? node + offset : nullptr;
}

// The characters a match can begin with: every node reachable from the first
// one without passing something that consumes a character. Each node is
// walked once, so loops over empty bodies end and the walk stays flat.
class FirstCharWalk {
public:
    FirstCharWalk(std::span<const uint8_t> program, bool multiLine, const Settings& settings, const ErrorRaiser& raise)
        : program_(program), multiLine_(multiLine), settings_(settings), raise_(raise), visited_(program.size(), false)
    {}

    ByteSet Run()
    {
        pending_.push_back(program_.data() + 1);
        while (!pending_.empty()) {
            const uint8_t* node = pending_.back();
            pending_.pop_back();
            while (node && !visited_[size_t(node - program_.data())]) {
                visited_[size_t(node - program_.data())] = true;
                node = Visit(node);
            }
        }
        return set_;
    }

private:
    // Adds what the node contributes; returns the node to go on with, or
    // nullptr where this path stops.
    const uint8_t* Visit(const uint8_t* node)
    {
        const uint8_t op = node[0];
        if (IsOpen(op) || IsClose(op))
            return NextNode(node);
        switch (op) {
        case MATCH_END:
        case ANY_CHAR:
        case ANY_BUT_LINE_BREAK:
        case BACKREF:
        case BACKREF_CI: set_.AddAll(); return nullptr;
        case INPUT_END:
        case LINE_END:
            set_.Add(0);
            if (multiLine_)
                set_.AddChars(settings_.lineSeparatorChars);
            return nullptr;
        case INPUT_START:
        case LINE_START:
        case JUMP_BACK:
        case EMPTY:
        case NO_OP:
        case WORD_BOUNDARY:
        case NOT_WORD_BOUNDARY:
        case LOOPENTRY: return NextNode(node);
        case ALTERNATIVE: return VisitAlternative(node);
        case LITERAL: set_.Add(node[kNodeSize]); return nullptr;
        case LITERAL_CI:
            set_.Add(node[kNodeSize]);
            set_.Add(settings_.caseInverse[node[kNodeSize]]);
            return nullptr;
        case STAR:
        case STAR_NG: pending_.push_back(Operand(node)); return NextNode(node);
        case PLUS:
        case PLUS_NG: pending_.push_back(Operand(node)); return nullptr;
        case BRACES:
        case BRACES_NG: pending_.push_back(BracesOperand(node)); return RepeatMin(node) > 0 ? nullptr : NextNode(node);
        case LOOP:
        case LOOP_NG: pending_.push_back(LoopBody(node)); return RepeatMin(node) > 0 ? nullptr : NextNode(node);
        default: return VisitCharacterNode(node);
        }
    }

    const uint8_t* VisitAlternative(const uint8_t* node)
    {
        const uint8_t* next = NextNode(node);
        if (!next || next[0] != ALTERNATIVE)
            return Operand(node);
        for (const uint8_t* alternative = node; alternative && alternative[0] == ALTERNATIVE;
             alternative = NextNode(alternative))
            pending_.push_back(Operand(alternative));
        return nullptr;
    }

    const uint8_t* VisitCharacterNode(const uint8_t* node)
    {
        ByteSet members;
        switch (node[0]) {
        case DIGIT:
        case NOT_DIGIT:
            members.AddChars("0123456789");
            if (node[0] == NOT_DIGIT)
                members.Complement();
            break;
        case ONE_OF_3:
        case NONE_OF_3:
            for (int i = 0; i < 3; ++i)
                members.Add(node[kNodeSize + i]);
            if (node[0] == NONE_OF_3)
                members.Complement();
            break;
        case CHAR_SET: members.Merge(node + kNodeSize); break;
        default: raise_(reeMemoryCorruption); return nullptr;
        }
        set_.Merge(members.bits.data());
        return nullptr;
    }

    std::span<const uint8_t> program_;
    bool multiLine_;
    const Settings& settings_;
    const ErrorRaiser& raise_;
    std::vector<bool> visited_;
    std::vector<const uint8_t*> pending_;
    ByteSet set_;
};

// Among the nodes of the single top-level alternative, the LITERAL with the
// longest text (the later one on equal length).
std::string_view LongestLiteral(const uint8_t* first, const uint8_t* programEnd)
{
    std::string_view best;
    bool found = false;
    for (const uint8_t* node = first; node && node < programEnd; node = NextNode(node)) {
        if (node[0] != LITERAL)
            continue;
        const char* text = reinterpret_cast<const char*>(node + kNodeSize);
        const std::string_view literal(text, std::strlen(text));
        if (!found || literal.size() >= best.size()) {
            best = literal;
            found = true;
        }
    }
    return best;
}

} // namespace

SearchHints DeriveSearchHints(std::span<const uint8_t> program, int flags, bool multiLine, const Settings& settings,
                              const ErrorRaiser& raise)
{
    SearchHints hints;
    hints.firstChars = FirstCharWalk(program, multiLine, settings, raise).Run();
    for (int c = 1; c < 256; ++c) {
        if (hints.firstChars.Has(uint8_t(c)))
            hints.firstCharList += char(c);
    }
    if (hints.firstCharList.size() > SearchHints::kMaxFirstCharList)
        hints.firstCharList.clear();

    const uint8_t* top = program.data() + 1;
    const uint8_t* afterTop = NextNode(top);
    if (top[0] != ALTERNATIVE || !afterTop || afterTop[0] != MATCH_END)
        return hints;
    const uint8_t* first = Operand(top);
    if (first[0] == LITERAL)
        hints.startChar = first[kNodeSize];
    else if (first[0] == INPUT_START)
        hints.anchored = true;
    if (flags & kStartsWithRepeat)
        hints.requiredLiteral = LongestLiteral(first, program.data() + program.size());
    return hints;
}

} // namespace regexpr
