#include "framework/TTranslatable.h"

#include "framework/AttachedComponent.h"
#include "framework/QtText.h"
#include "runtime/Exception.h"
#include "runtime/TComponent.h"

#include <QFont>
#include <QMetaProperty>
#include <QObject>
#include <QVariant>

namespace {

std::string ComponentAncestorOf(const std::string& className)
{
    if (className == "TObject")
        return "";
    return className == "TComponent" ? "TObject" : "TComponent";
}

const QMetaProperty* FindProperty(const QObject* object, const std::string& name, QMetaProperty& storage)
{
    int index = object->metaObject()->indexOfProperty(name.c_str());
    if (index < 0)
        return nullptr;
    storage = object->metaObject()->property(index);
    return &storage;
}

// A font is walked for its family name, the one text it holds.
bool IsFont(const QMetaProperty& property)
{
    return property.metaType().id() == QMetaType::QFont;
}

TTranslatable::TPropertyKind KindOf(const QMetaProperty& property)
{
    if (property.metaType().id() == QMetaType::QString || IsFont(property))
        return TTranslatable::pkText;
    if (property.metaType().id() == QMetaType::QStringList)
        return TTranslatable::pkTextList;
    if (property.metaType().flags().testFlag(QMetaType::PointerToQObject))
        return TTranslatable::pkObject;
    return TTranslatable::pkOther;
}

const TPublishedText* FindText(const std::vector<TPublishedText>& texts, const std::string& name)
{
    for (const TPublishedText& text : texts)
        if (text.Name == name)
            return &text;
    return nullptr;
}

} // namespace

std::string TClassRef::Name() const
{
    return Meta ? Meta->className() : ComponentClass;
}

bool TClassRef::operator==(const TClassRef& other) const
{
    return Meta == other.Meta && (Meta || ComponentClass == other.ComponentClass);
}

bool TClassRef::InheritsFrom(const TClassRef& other) const
{
    if (Meta && other.Meta)
        return Meta->inherits(other.Meta);
    if (Meta || other.Meta)
        return false;
    // Runtime components only tell their own class name; their ancestors are
    // the component and object base classes.
    for (std::string name = ComponentClass; !name.empty(); name = ComponentAncestorOf(name))
        if (name == other.ComponentClass)
            return true;
    return false;
}

TTranslatable::TTranslatable(QObject* object) : qt_(object) {}

TTranslatable::TTranslatable(TComponent* component) : component_(component) {}

bool TTranslatable::IsNull() const
{
    return qt_.isNull() && !component_;
}

const void* TTranslatable::Identity() const
{
    return qt_ ? static_cast<const void*>(qt_.data()) : static_cast<const void*>(component_);
}

TClassRef TTranslatable::Class() const
{
    if (qt_)
        return {qt_->metaObject(), {}};
    return {nullptr, component_ ? component_->ClassName() : std::string()};
}

std::string TTranslatable::Name() const
{
    if (qt_)
        return FromQt(qt_->objectName());
    return component_ ? component_->Name() : std::string();
}

std::vector<TTranslatable::TProperty> TTranslatable::Properties() const
{
    std::vector<TProperty> properties;
    if (qt_) {
        const QMetaObject* meta = qt_->metaObject();
        for (int i = 0; i < meta->propertyCount(); ++i) {
            QMetaProperty property = meta->property(i);
            properties.push_back({property.name(), KindOf(property), property.isWritable()});
        }
    } else if (component_) {
        properties.push_back({"Name", pkText, true});
        for (const TPublishedText& text : component_->PublishedTexts())
            properties.push_back({text.Name, pkText, static_cast<bool>(text.Write)});
    }
    return properties;
}

bool TTranslatable::HasProperty(const std::string& name) const
{
    QMetaProperty storage;
    if (qt_)
        return FindProperty(qt_, name, storage) != nullptr;
    return component_ && (name == "Name" || FindText(component_->PublishedTexts(), name));
}

std::u16string TTranslatable::ReadText(const std::string& name) const
{
    QMetaProperty storage;
    if (qt_) {
        const QMetaProperty* property = FindProperty(qt_, name, storage);
        if (!property)
            return {};
        QVariant value = property->read(qt_);
        if (IsFont(*property))
            return value.value<QFont>().family().toStdU16String();
        if (KindOf(*property) == pkTextList)
            return value.toStringList().join(QLatin1Char('\n')).toStdU16String();
        return value.toString().toStdU16String();
    }
    if (!component_)
        return {};
    if (name == "Name")
        return ToQt(component_->Name()).toStdU16String();
    const auto texts = component_->PublishedTexts();
    const TPublishedText* text = FindText(texts, name);
    return text && text->Read ? ToQt(text->Read()).toStdU16String() : std::u16string();
}

void TTranslatable::WriteText(const std::string& name, const std::u16string& value) const
{
    QMetaProperty storage;
    if (qt_) {
        const QMetaProperty* property = FindProperty(qt_, name, storage);
        if (!property)
            return;
        QVariant text = QString::fromStdU16String(value);
        if (IsFont(*property)) {
            QFont font = property->read(qt_).value<QFont>();
            font.setFamily(text.toString());
            text = font;
        } else if (KindOf(*property) == pkTextList) {
            text = text.toString().split(QLatin1Char('\n'));
        }
        if (!property->write(qt_, text))
            throw Exception("Could not write property " + name);
        return;
    }
    if (!component_)
        return;
    if (name == "Name") {
        component_->SetName(FromQt(QString::fromStdU16String(value)));
        return;
    }
    const auto texts = component_->PublishedTexts();
    const TPublishedText* text = FindText(texts, name);
    if (text && text->Write)
        text->Write(FromQt(QString::fromStdU16String(value)));
}

TTranslatable TTranslatable::ReadObject(const std::string& name) const
{
    QMetaProperty storage;
    const QMetaProperty* property = qt_ ? FindProperty(qt_, name, storage) : nullptr;
    if (!property)
        return {};
    return TTranslatable(property->read(qt_).value<QObject*>());
}

std::vector<TTranslatable> TTranslatable::Owned() const
{
    std::vector<TTranslatable> owned;
    if (qt_) {
        for (QObject* child : qt_->children())
            owned.emplace_back(child);
        if (TComponent* attached = AttachedComponent(qt_))
            owned.emplace_back(attached);
    } else if (component_) {
        for (std::size_t i = 0; i < component_->ComponentCount(); ++i)
            owned.emplace_back(component_->Components(i));
    }
    return owned;
}
