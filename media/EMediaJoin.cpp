#include "media/EMediaJoin.h"

#include "runtime/AsciiText.h"
#include "runtime/ResourceString.h"

EMediaJoin::EMediaJoin(const char* wording, std::vector<std::string> arguments)
    : Exception(""), wording_(wording), arguments_(std::move(arguments))
{
    Reword();
}

void EMediaJoin::Reword()
{
    SetMessage(AsciiText::FillPlaceholders(LoadResString(wording_), arguments_));
}
