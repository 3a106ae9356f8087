#include "i18n/TGnuGettextInstance.h"

#include "i18n/EGnuGettext.h"
#include "i18n/TDomain.h"
#include "i18n/TFileLocator.h"
#include "i18n/UserLanguage.h"
#include "i18n/Utf8.h"

namespace {

std::string WithoutCarriageReturns(std::string text)
{
    std::erase(text, '\r');
    return text;
}

std::string WithCarriageReturns(const std::string& text)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && i > 0 && text[i - 1] != '\r')
            result += '\r';
        result += text[i];
    }
    return result;
}

} // namespace

TGnuGettextInstance::TGnuGettextInstance(TFileLocator& locator)
    : locator_(locator), creatorThread_(std::this_thread::get_id()),
      defaultDomainDirectory_(locator.BaseDirectory() + "locale")
{
    SelectLanguage("");
    BindDomain("default", defaultDomainDirectory_);
    SetTextDomain("default");
}

TGnuGettextInstance::~TGnuGettextInstance() = default;

void TGnuGettextInstance::SelectLanguage(const std::string& code)
{
    std::lock_guard guard(lock_);
    currentLanguage_ = code.empty() ? UserLanguageFromEnvironment() : code;
    for (auto& [name, domain] : domains_)
        domain->SetLanguageCode(currentLanguage_);
}

std::string TGnuGettextInstance::CurrentLanguage() const
{
    std::lock_guard guard(lock_);
    return currentLanguage_;
}

TDomain& TGnuGettextInstance::Domain(const std::string& name)
{
    auto it = domains_.find(name);
    if (it == domains_.end()) {
        auto domain = std::make_unique<TDomain>(locator_, name);
        domain->SetDirectory(defaultDomainDirectory_);
        domain->SetLanguageCode(currentLanguage_);
        it = domains_.emplace(name, std::move(domain)).first;
    }
    return *it->second;
}

void TGnuGettextInstance::BindDomain(const std::string& domain, const std::string& directory)
{
    std::lock_guard guard(lock_);
    Domain(domain).SetDirectory(directory);
}

void TGnuGettextInstance::SetTextDomain(const std::string& domain)
{
    std::lock_guard guard(lock_);
    currentDomain_ = domain;
}

std::string TGnuGettextInstance::TextDomain() const
{
    std::lock_guard guard(lock_);
    return currentDomain_;
}

std::u16string TGnuGettextInstance::LookupInDomain(const std::string& domain, const std::u16string& msgid)
{
    if (!enabled_)
        return msgid;
    std::string translation;
    {
        std::lock_guard guard(lock_);
        translation = Domain(domain).Lookup(WithoutCarriageReturns(Utf8Encode(msgid)));
    }
    return Utf8Decode(WithCarriageReturns(translation));
}

std::u16string TGnuGettextInstance::MsgidToWide(const std::string& msgid) const
{
    if (codePage_ == 0)
        return AnsiToWide(msgid);
    try {
        if (codePage_ == kUtf8CodePage)
            return Utf8Decode(msgid);
    } catch (const Exception&) {}
    throw EGGAnsi2WideConvError("Cannot convert AnsiString to UnicodeString:\r\n" + msgid);
}

std::u16string TGnuGettextInstance::TranslateText(const std::string& msgid)
{
    return Lookup(MsgidToWide(msgid));
}

std::u16string TGnuGettextInstance::HeaderProperty(const std::string& name)
{
    std::lock_guard guard(lock_);
    return Utf8Decode(Domain(currentDomain_).HeaderProperty(name));
}
