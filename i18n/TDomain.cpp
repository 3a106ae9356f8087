#include "i18n/TDomain.h"

#include "i18n/MessageBoxHook.h"
#include "i18n/TFileLocator.h"
#include "i18n/TMoFile.h"
#include "runtime/AsciiText.h"

std::string HeaderLineValue(const std::string& header, const std::string& name)
{
    std::string prefix = name + ": ";
    for (const std::string& line : AsciiText::SplitList(header, "\n"))
        if (AsciiText::StartsWithText(line, prefix))
            return AsciiText::Trim(line.substr(prefix.size()));
    return "";
}

TDomain::TDomain(TFileLocator& locator, std::string name) : locator_(locator), name_(std::move(name)) {}

TDomain::~TDomain()
{
    CloseCatalogue();
}

void TDomain::SetDirectory(const std::string& directory)
{
    directory_ = directory;
    if (directory_.empty() || directory_.back() != '/')
        directory_ += '/';
    CloseCatalogue();
}

void TDomain::SetLanguageCode(const std::string& code)
{
    CloseCatalogue();
    languageCode_ = code;
}

void TDomain::SetSpecificFileName(const std::string& fileName)
{
    CloseCatalogue();
    specificFileName_ = fileName;
}

void TDomain::CloseCatalogue()
{
    if (moFile_)
        locator_.ReleaseMoFile(moFile_);
    moFile_ = nullptr;
    openHasFailed_ = false;
}

std::string TDomain::CataloguePath(const std::string& languageCode) const
{
    if (!specificFileName_.empty())
        return specificFileName_;
    return directory_ + languageCode + "/LC_MESSAGES/" + name_ + ".mo";
}

void TDomain::OpenCatalogueIfDue()
{
    if (moFile_ || openHasFailed_)
        return;
    std::string path = CataloguePath(languageCode_);
    if (!locator_.FileExists(path))
        path = CataloguePath(languageCode_.substr(0, 2));
    if (!locator_.FileExists(path)) {
        openHasFailed_ = true;
        return;
    }
    moFile_ = locator_.GetMoFile(path);
    std::string contentType = HeaderProperty("Content-Type");
    if (AsciiText::UpperCase(contentType).find("CHARSET=UTF-8") == std::string::npos)
        RefuseWrongCharset(path);
}

void TDomain::RefuseWrongCharset(const std::string& path)
{
    locator_.ReleaseMoFile(moFile_);
    moFile_ = nullptr;
    enabled_ = false;
    const char* text = "The translation for the language code %s (in %s) does not have charset=utf-8 in its "
                       "Content-Type. Translations are turned off.";
    ShowEngineMessageBox(AsciiText::FillPlaceholders(text, {languageCode_, path}), "Localization problem");
}

std::string TDomain::Lookup(const std::string& msgid)
{
    if (!enabled_)
        return msgid;
    OpenCatalogueIfDue();
    if (!moFile_)
        return msgid;
    bool found = false;
    return moFile_->Lookup(msgid, found);
}

std::string TDomain::HeaderProperty(const std::string& name)
{
    std::string header = Lookup("");
    return HeaderLineValue(header, name);
}
