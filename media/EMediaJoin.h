#pragma once

#include "runtime/Exception.h"

#include <string>
#include <vector>

// Pieces that could not be joined into one file. The message is one of the
// catalogue's, with its "%s" marks filled in order, worded again in the
// user's language when asked.
class EMediaJoin : public Exception {
public:
    EMediaJoin(const char* wording, std::vector<std::string> arguments);

    // The catalogue's English text, before filling.
    const char* Wording() const { return wording_; }
    const std::vector<std::string>& Arguments() const { return arguments_; }
    void Reword() override;

private:
    const char* wording_;
    std::vector<std::string> arguments_;
};
