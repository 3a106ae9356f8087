#pragma once

#include "runtime/TObject.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class TDomain;
class TFileLocator;

// The translation engine: the current language, the text domains and the
// lookup of single texts. Message identifiers are the English texts; a text
// without a translation comes back unchanged.
class TGnuGettextInstance : public TObject {
public:
    // Chooses the start language from the environment and binds "default" to
    // the folder "locale" beside the executable.
    explicit TGnuGettextInstance(TFileLocator& locator);
    ~TGnuGettextInstance() override;

    std::string ClassName() const override { return "TGnuGettextInstance"; }

    // An empty code means: the language that the user's environment asks for.
    void SelectLanguage(const std::string& code);
    std::string CurrentLanguage() const;

    // Creates the domain if needed and points it at directory.
    void BindDomain(const std::string& domain, const std::string& directory);
    void SetTextDomain(const std::string& domain);
    std::string TextDomain() const;
    const std::string& DefaultDomainDirectory() const { return defaultDomainDirectory_; }

    // The core lookup. Carriage returns in msgid are ignored; every line feed
    // of the result but a leading one comes with a carriage return before it.
    std::u16string LookupInDomain(const std::string& domain, const std::u16string& msgid);
    std::u16string Lookup(const std::u16string& msgid) { return LookupInDomain(TextDomain(), msgid); }
    // An 8-bit text in the system code page, looked up in the current domain.
    std::u16string TranslateText(const std::string& msgid);

    // One header line of the current domain's catalogue; empty if absent.
    std::u16string HeaderProperty(const std::string& name);

    // The code page of 8-bit msgids: 0 is the system's (UTF-8 here, never
    // failing); kUtf8CodePage converts strictly. Other code pages are not
    // available, so every conversion through one fails.
    static constexpr int kUtf8CodePage = 65001;
    int CodePage() const { return codePage_; }
    void SetCodePage(int codePage) { codePage_ = codePage; }

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    std::thread::id CreatorThread() const { return creatorThread_; }

private:
    TDomain& Domain(const std::string& name);
    std::u16string MsgidToWide(const std::string& msgid) const;

    TFileLocator& locator_;
    std::thread::id creatorThread_;
    int codePage_ = 0;
    bool enabled_ = true;
    std::string currentDomain_ = "default";
    std::string currentLanguage_;
    std::string defaultDomainDirectory_;
    std::map<std::string, std::unique_ptr<TDomain>> domains_;
    // Domains open their catalogues lazily on a lookup, which may come from
    // any thread; re-entrant because a lookup may show a message box.
    mutable std::recursive_mutex lock_;
};
