#pragma once

#include <string>

// The common base of the Qt-free components, streams and helpers: a virtual
// destructor and the class name used in messages.
class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    virtual std::string ClassName() const { return "TObject"; }
};
