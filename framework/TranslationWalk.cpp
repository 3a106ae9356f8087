#include "framework/TranslationWalk.h"

#include "framework/TranslateStrings.h"
#include "i18n/EGnuGettext.h"
#include "i18n/GnuGettext.h"
#include "i18n/TGnuGettextInstance.h"

namespace {

const char* const kLineBreak = "\r\n";

std::string CannotTranslateText(const TTranslatable& object, const std::string& property, const std::string& reason)
{
    return std::string("Property cannot be translated.") + kLineBreak + "Add TP_GlobalIgnoreClassProperty(" +
        object.ClassName() + ", '" + property + "') to your source code or use" + kLineBreak + "TP_Ignore (self, '." +
        property + "') to prevent this message." + kLineBreak + "Reason: " + reason;
}

// Adds the properties of a matching entry to skipped; true when a
// whole-class entry took the object over.
bool ApplyModes(const std::vector<TClassMode>& modes, const TTranslatable& object, TPropertyNames& skipped)
{
    const TClassRef cls = object.Class();
    for (const TClassMode& mode : modes) {
        if (!cls.InheritsFrom(mode.Class))
            continue;
        if (mode.IsWholeClass()) {
            if (mode.Handler)
                mode.Handler(object);
            return true;
        }
        skipped.insert(mode.PropertiesToIgnore.begin(), mode.PropertiesToIgnore.end());
    }
    return false;
}

} // namespace

TTranslationWalk::TTranslationWalk(TTranslationSettings& settings, std::string textDomain)
    : settings_(settings), textDomain_(textDomain.empty() ? DefaultInstance().TextDomain() : std::move(textDomain))
{
    if (settings_.Recording)
        settings_.Recording->TextDomain = textDomain_;
}

void TTranslationWalk::Run(const TTranslatable& root)
{
    queue_.push_back({root, ""});
    while (!queue_.empty()) {
        auto [object, name] = queue_.front();
        queue_.pop_front();
        if (object.IsNull() || !visited_.insert(object.Identity()).second)
            continue;
        TPropertyNames skipped;
        if (HandledByClassMode(object, skipped))
            continue;
        TranslateProperties(object, name, skipped);
        QueueOwned(object);
    }
}

bool TTranslationWalk::HandledByClassMode(const TTranslatable& object, TPropertyNames& skipped) const
{
    return ApplyModes(settings_.PerCallModes, object, skipped) || ApplyModes(settings_.GlobalModes, object, skipped);
}

void TTranslationWalk::TranslateProperties(const TTranslatable& object, const std::string& name,
                                           const TPropertyNames& skipped)
{
    for (const TTranslatable::TProperty& property : object.Properties()) {
        if (settings_.IgnoreList.count(name + "." + property.Name) || skipped.count(property.Name))
            continue;
        TranslateProperty(object, property);
    }
}

void TTranslationWalk::TranslateProperty(const TTranslatable& object, const TTranslatable::TProperty& property)
{
    try {
        if (property.Kind == TTranslatable::pkObject) {
            queue_.push_back({object.ReadObject(property.Name), ""});
            return;
        }
        if (property.Kind != TTranslatable::pkText && property.Kind != TTranslatable::pkTextList)
            return;
        const bool isList = property.Kind == TTranslatable::pkTextList;
        std::u16string value = object.ReadText(property.Name);
        if (value.empty() || !property.Writable)
            return;
        if (settings_.Recording)
            settings_.Recording->Items.push_back({object, property.Name, value, isList});
        std::u16string translation =
            isList ? TranslateLines(value, textDomain_) : DefaultInstance().LookupInDomain(textDomain_, value);
        if (translation != value)
            object.WriteText(property.Name, translation);
    } catch (const Exception& failure) {
        throw EGGComponentError(CannotTranslateText(object, property.Name, failure.Message()));
    }
}

void TTranslationWalk::QueueOwned(const TTranslatable& object)
{
    for (const TTranslatable& owned : object.Owned()) {
        std::string name = owned.Name();
        if (!settings_.IgnoreList.count(name))
            queue_.push_back({owned, name});
    }
}
