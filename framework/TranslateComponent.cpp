#include "framework/TranslateComponent.h"

#include "framework/MessageBox.h"
#include "framework/TGnuGettextComponentMarker.h"
#include "framework/TranslationWalk.h"
#include "i18n/EGnuGettext.h"
#include "i18n/GnuGettext.h"
#include "runtime/TComponent.h"

#include <QObject>

#include <algorithm>
#include <cctype>

namespace {

const char* const kTranslatedTwiceText =
    "This application tried to switch the language, but in an incorrect way. The programmer needs to replace a call "
    "to TranslateComponent with a call to RetranslateComponent(). The programmer should see the changelog of "
    "gnugettext for more information.";
const char* const kNotTranslatedText = "Retranslate was called on an object that has not been translated before. "
                                       "Please use TranslateComponent() before RetranslateComponent().";
const char* const kHandlerSetText = "You cannot ignore a class property for a class that has a handler set.";

TTranslationSettings& Settings()
{
    static TTranslationSettings settings = [] {
        TTranslationSettings initial;
        // Component names are never translated.
        initial.GlobalModes.push_back({ClassOf<QObject>(), {"objectName"}, {}});
        initial.GlobalModes.push_back({ComponentClassNamed("TComponent"), {"Name"}, {}});
        initial.GlobalModes.push_back({ComponentClassNamed("TCollection"), {"PropName"}, {}});
        return initial;
    }();
    return settings;
}

TGnuGettextComponentMarker* FindMarker(QObject* component)
{
    return component->findChild<TGnuGettextComponentMarker*>(QString::fromLatin1(TGnuGettextComponentMarker::kName),
                                                             Qt::FindDirectChildrenOnly);
}

// Clears what belongs to one run, however the run ends.
struct TRunScope {
    ~TRunScope()
    {
        Settings().PerCallModes.clear();
        Settings().IgnoreList.clear();
        Settings().Recording = nullptr;
    }
};

// Puts a global entry for cls where it stands before its ancestors, or
// returns the one there is.
TClassMode& GlobalMode(const TClassRef& cls, bool& created)
{
    auto& modes = Settings().GlobalModes;
    created = false;
    for (auto it = modes.begin(); it != modes.end(); ++it) {
        if (it->Class == cls)
            return *it;
        if (cls.InheritsFrom(it->Class)) {
            created = true;
            return *modes.insert(it, TClassMode{cls, {}, {}});
        }
    }
    created = true;
    return modes.emplace_back(TClassMode{cls, {}, {}});
}

} // namespace

bool TCaseInsensitiveLess::operator()(const std::string& left, const std::string& right) const
{
    return std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) < std::tolower(static_cast<unsigned char>(b));
    });
}

void TranslateComponent(QObject* component, const std::string& textDomain)
{
    TGnuGettextComponentMarker* marker = FindMarker(component);
    const std::string language = CurrentLanguage();
    if (!marker) {
        TRunScope scope;
        auto created = std::make_unique<TGnuGettextComponentMarker>();
        created->Retranslator = std::make_unique<TTP_Retranslator>();
        Settings().Recording = created->Retranslator.get();
        TTranslationWalk(Settings(), textDomain).Run(TTranslatable(component));
        created->setParent(component);
        marker = created.release();
    } else if (marker->LastLanguage != language) {
        ShowMessageBox({nullptr, kTranslatedTwiceText, "Error", mbiError});
    }
    marker->LastLanguage = language;
}

void RetranslateComponent(QObject* component, const std::string&)
{
    TGnuGettextComponentMarker* marker = FindMarker(component);
    if (!marker)
        throw EGGProgrammingError(kNotTranslatedText);
    const std::string language = CurrentLanguage();
    if (marker->LastLanguage != language)
        marker->Retranslator->Execute();
    marker->LastLanguage = language;
}

void TP_GlobalIgnoreClassProperty(const TClassRef& cls, const std::string& propertyName)
{
    bool created = false;
    TClassMode& mode = GlobalMode(cls, created);
    if (!created && mode.Handler)
        throw EGGProgrammingError(kHandlerSetText);
    mode.PropertiesToIgnore.insert(propertyName);
}

void TP_GlobalIgnoreClass(const TClassRef& cls)
{
    bool created = false;
    TClassMode& mode = GlobalMode(cls, created);
    mode.PropertiesToIgnore.clear();
}

void TP_GlobalHandleClass(const TClassRef& cls, std::function<void(const TTranslatable&)> handler)
{
    bool created = false;
    TClassMode& mode = GlobalMode(cls, created);
    mode.PropertiesToIgnore.clear();
    mode.Handler = std::move(handler);
}

void TP_Ignore(const std::string& name)
{
    Settings().IgnoreList.insert(name);
}

void TP_IgnoreClass(const TClassRef& cls)
{
    Settings().PerCallModes.push_back({cls, {}, {}});
}

void TP_IgnoreClassProperty(const TClassRef& cls, const std::string& propertyName)
{
    for (TClassMode& mode : Settings().PerCallModes) {
        if (mode.Class == cls && !mode.IsWholeClass()) {
            mode.PropertiesToIgnore.insert(propertyName);
            return;
        }
    }
    Settings().PerCallModes.push_back({cls, {propertyName}, {}});
}
