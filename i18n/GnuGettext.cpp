#include "i18n/GnuGettext.h"

#include "i18n/AppendedFiles.h"
#include "i18n/TFileLocator.h"
#include "i18n/TGnuGettextInstance.h"
#include "i18n/Utf8.h"
#include "runtime/ResourceString.h"

#include <climits>
#include <memory>
#include <shared_mutex>
#include <unistd.h>

namespace {

// Everything the engine holds for the process, created in the order of the
// process initialisation and freed the other way round.
class TGnuGettextProcess {
public:
    TGnuGettextProcess() : locator(std::make_unique<TFileLocator>(ExecutableName()))
    {
        locator->Analyze(AppendedDirectoryOffset());
        resourceStringDomains = {"default"};
        instance = std::make_unique<TGnuGettextInstance>(*locator);
        SetResourceStringLoader(&TranslateResourceString);
    }

    ~TGnuGettextProcess()
    {
        instance.reset();
        resourceStringDomains.clear();
        SetResourceStringLoader(nullptr);
        locator.reset();
    }

    std::unique_ptr<TFileLocator> locator;
    std::vector<std::string> resourceStringDomains;
    std::shared_mutex resourceStringLock;
    std::unique_ptr<TGnuGettextInstance> instance;
};

TGnuGettextProcess& Process()
{
    static TGnuGettextProcess process;
    return process;
}

std::string TranslateInDomains(const std::string& text)
{
    TGnuGettextProcess& process = Process();
    std::u16string msgid = AnsiToWide(text);
    std::shared_lock guard(process.resourceStringLock);
    for (const std::string& domain : process.resourceStringDomains) {
        std::u16string translation = process.instance->LookupInDomain(domain, msgid);
        if (translation != msgid)
            return WideToAnsi(translation);
    }
    return text;
}

} // namespace

std::string ExecutableName()
{
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string();
}

TGnuGettextInstance& DefaultInstance()
{
    return *Process().instance;
}

void StartTranslationEngine()
{
    Process();
}

TFileLocator& FileLocator()
{
    return *Process().locator;
}

void SelectLanguage(const std::string& code)
{
    DefaultInstance().SelectLanguage(code);
}

std::string CurrentLanguage()
{
    return DefaultInstance().CurrentLanguage();
}

std::u16string TranslateText(const std::string& msgid)
{
    return DefaultInstance().TranslateText(msgid);
}

std::string TranslateResourceString(const std::string& text)
{
    if (text.empty() || std::this_thread::get_id() != DefaultInstance().CreatorThread())
        return text;
    return TranslateInDomains(text);
}

void AddResourceStringDomain(const std::string& domain)
{
    TGnuGettextProcess& process = Process();
    std::unique_lock guard(process.resourceStringLock);
    process.resourceStringDomains.push_back(domain);
}

std::vector<std::string> ResourceStringDomains()
{
    TGnuGettextProcess& process = Process();
    std::shared_lock guard(process.resourceStringLock);
    return process.resourceStringDomains;
}
