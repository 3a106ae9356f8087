#pragma once

#include "framework/TClassMode.h"
#include "framework/TTranslatable.h"

#include <functional>
#include <string>

class QObject;

// Translation of whole windows. Every non-empty, writable text property of a
// window, of every object it owns and of every object reached through its
// object-valued properties is replaced by its translation; component names
// ("objectName", "Name") never are. Runtime components reach the walk by
// being attached to a Qt object (framework/AttachedComponent.h).
//
// An empty text domain means the engine's current one ("default").

// Translates once and records the English texts for later switches. Called
// again after a language change, it shows an "Error" box and translates
// nothing: that is RetranslateComponent's work.
void TranslateComponent(QObject* component, const std::string& textDomain = "");

// Sets every recorded property again from its English text in the current
// language; skipped when the window is already in that language. The text
// domain recorded at the first translation applies.
void RetranslateComponent(QObject* component, const std::string& textDomain = "");

// For every later translation run.
void TP_GlobalIgnoreClassProperty(const TClassRef& cls, const std::string& propertyName);
void TP_GlobalIgnoreClass(const TClassRef& cls);
void TP_GlobalHandleClass(const TClassRef& cls, std::function<void(const TTranslatable&)> handler);

// For the next translation run only. TP_Ignore takes "component.property"
// (".property" for the window itself) or a bare component name, whose object
// is then not visited.
void TP_Ignore(const std::string& name);
void TP_IgnoreClass(const TClassRef& cls);
void TP_IgnoreClassProperty(const TClassRef& cls, const std::string& propertyName);
