#include "framework/TTP_Retranslator.h"

#include "framework/TranslateStrings.h"
#include "i18n/GnuGettext.h"
#include "i18n/TGnuGettextInstance.h"

void TTP_Retranslator::Execute()
{
    for (const TTP_RetranslatorItem& item : Items) {
        if (item.Object.IsNull() || !item.Object.HasProperty(item.PropertyName))
            continue;
        std::u16string translation = item.IsTextList ? TranslateLines(item.OldValue, TextDomain)
                                                     : DefaultInstance().LookupInDomain(TextDomain, item.OldValue);
        item.Object.WriteText(item.PropertyName, translation);
    }
}
