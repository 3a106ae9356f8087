#pragma once

#include "framework/TTranslatable.h"

#include <string>
#include <vector>

// Something that can be run later.
class TExecutable {
public:
    virtual ~TExecutable() = default;
    virtual void Execute() = 0;
};

// One property that the first translation of a window touched, with the
// English text it had then.
struct TTP_RetranslatorItem {
    TTranslatable Object;
    std::string PropertyName;
    std::u16string OldValue;
};

// Everything needed to translate a window again into another language
// without reading its description anew.
class TTP_Retranslator : public TExecutable {
public:
    std::string TextDomain;
    std::vector<TTP_RetranslatorItem> Items;

    // Sets every recorded property that still exists from its recorded
    // English text, looked up in the current language.
    void Execute() override;
};
