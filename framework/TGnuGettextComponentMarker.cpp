#include "framework/TGnuGettextComponentMarker.h"

TGnuGettextComponentMarker::TGnuGettextComponentMarker()
{
    setObjectName(QString::fromLatin1(kName));
}

TGnuGettextComponentMarker::~TGnuGettextComponentMarker() = default;
