#pragma once

#include "runtime/TMemoryStream.h"

// A memory stream that starts from a text and hands its bytes back as one.
class TStringStream : public TMemoryStream {
public:
    explicit TStringStream(const std::string& text = {})
    {
        WriteString(text);
        SetPosition(0);
    }

    std::string ClassName() const override { return "TStringStream"; }
    const std::string& DataString() const { return Bytes(); }
};
