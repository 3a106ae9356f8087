#include "app/AddressRule.h"

#include "app/Site.h"

bool IsVideoAddress(const std::string& text)
{
    auto holds = [&text](const std::string& part) { return text.find(part) != std::string::npos; };
    return holds(Site::Domain()) && (holds("v=") || holds("key="));
}
