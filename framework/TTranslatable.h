#pragma once

#include <QPointer>

#include <string>
#include <vector>

class QMetaObject;
class QObject;
class TComponent;

// A class as the window translation names it: a Qt class through its
// meta-object, or a runtime component class through its class name.
struct TClassRef {
    const QMetaObject* Meta = nullptr;
    std::string ComponentClass;

    std::string Name() const;
    bool operator==(const TClassRef& other) const;
    // Whether this class is other or derives from it.
    bool InheritsFrom(const TClassRef& other) const;
};

template <typename QtClass>
TClassRef ClassOf()
{
    return {&QtClass::staticMetaObject, {}};
}
inline TClassRef ComponentClassNamed(std::string name)
{
    return {nullptr, std::move(name)};
}

// What the window translation walks: a Qt object, whose published
// properties are its meta-object's, or a runtime component, which declares
// its published texts itself. A Qt object is held weakly, so a recorded one
// that has died since is skipped, never touched.
class TTranslatable {
public:
    // A text list reads and writes as its lines joined by line feeds.
    enum TPropertyKind { pkText, pkTextList, pkObject, pkOther };
    struct TProperty {
        std::string Name;
        TPropertyKind Kind = pkOther;
        bool Writable = false;
    };

    TTranslatable() = default;
    explicit TTranslatable(QObject* object);
    explicit TTranslatable(TComponent* component);

    bool IsNull() const;
    const void* Identity() const;
    bool IsQt() const { return qt_ != nullptr; }
    QObject* Qt() const { return qt_; }
    TClassRef Class() const;
    std::string ClassName() const { return Class().Name(); }
    std::string Name() const;

    std::vector<TProperty> Properties() const;
    bool HasProperty(const std::string& name) const;
    std::u16string ReadText(const std::string& name) const;
    void WriteText(const std::string& name, const std::u16string& value) const;
    // The object a property of kind pkObject refers to (null when none).
    TTranslatable ReadObject(const std::string& name) const;

    // The objects this one owns, in order, and an attached runtime component.
    std::vector<TTranslatable> Owned() const;

private:
    QPointer<QObject> qt_;
    TComponent* component_ = nullptr;
};
