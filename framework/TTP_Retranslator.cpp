#include "framework/TTP_Retranslator.h"

#include "i18n/GnuGettext.h"
#include "i18n/TGnuGettextInstance.h"

void TTP_Retranslator::Execute()
{
    for (const TTP_RetranslatorItem& item : Items) {
        if (item.Object.IsNull() || !item.Object.HasProperty(item.PropertyName))
            continue;
        std::u16string translation = DefaultInstance().LookupInDomain(TextDomain, item.OldValue);
        item.Object.WriteText(item.PropertyName, translation);
    }
}
