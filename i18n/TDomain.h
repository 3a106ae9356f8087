#pragma once

#include "runtime/TObject.h"

#include <string>

class TFileLocator;
class TMoFile;

// One text domain: where its catalogues lie, the language they are for, and
// the catalogue it has open. It opens the catalogue at its first lookup and
// closes it whenever its language or directory changes.
class TDomain : public TObject {
public:
    TDomain(TFileLocator& locator, std::string name);
    ~TDomain() override;

    std::string ClassName() const override { return "TDomain"; }

    const std::string& Name() const { return name_; }
    const std::string& Directory() const { return directory_; }
    const std::string& LanguageCode() const { return languageCode_; }
    bool Enabled() const { return enabled_; }

    // A trailing separator is added when missing.
    void SetDirectory(const std::string& directory);
    void SetLanguageCode(const std::string& code);
    // A catalogue path to use instead of the one built from the directory.
    void SetSpecificFileName(const std::string& fileName);

    // The translation of a UTF-8 msgid, or the msgid itself.
    std::string Lookup(const std::string& msgid);
    // The value of one header line of the catalogue as UTF-8; empty if absent.
    std::string HeaderProperty(const std::string& name);

    // The path of the catalogue for this language, before any fallback.
    std::string CataloguePath(const std::string& languageCode) const;

private:
    void OpenCatalogueIfDue();
    void CloseCatalogue();
    void RefuseWrongCharset(const std::string& path);

    TFileLocator& locator_;
    std::string name_;
    std::string directory_;
    std::string specificFileName_;
    std::string languageCode_;
    TMoFile* moFile_ = nullptr;
    bool openHasFailed_ = false;
    bool enabled_ = true;
};

// The value of one header line of a catalogue's header text: the first line
// that begins with name and ": ", letter case ignored, trimmed.
std::string HeaderLineValue(const std::string& header, const std::string& name);
