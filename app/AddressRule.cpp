#include "app/AddressRule.h"

#include "app/Site.h"

bool IsVideoAddress(const std::function<std::string()>& readText)
{
    auto holds = [&readText](const std::string& part) { return readText().find(part) != std::string::npos; };
    return holds(Site::Domain()) && (holds("v=") || holds("key="));
}

bool IsVideoAddress(const std::string& text)
{
    return IsVideoAddress([&text] { return text; });
}
