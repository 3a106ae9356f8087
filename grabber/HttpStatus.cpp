#include "grabber/HttpStatus.h"

#include "runtime/AsciiText.h"

#include <optional>

int HttpStatus::Number(const std::string& code)
{
    std::optional<std::uint64_t> number = code.size() == 3 ? AsciiText::ParseUnsigned(code) : std::nullopt;
    return number ? static_cast<int>(*number) : 0;
}
