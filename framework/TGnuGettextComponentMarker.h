#pragma once

#include "framework/TTP_Retranslator.h"

#include <QObject>

#include <memory>
#include <string>

// Left in a translated window: the language of its last translation and what
// was recorded to translate it again. The window owns it.
class TGnuGettextComponentMarker : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kName = "GNUgettextMarker";

    TGnuGettextComponentMarker();
    ~TGnuGettextComponentMarker() override;

    std::string LastLanguage;
    std::unique_ptr<TTP_Retranslator> Retranslator;
};
