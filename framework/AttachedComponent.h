#pragma once

class QObject;
class TComponent;

// A component that is not a Qt object (the download component) is attached
// to the Qt object that holds it, so that walks over a window's Qt objects,
// such as the window translation, reach it and its published texts. The
// holder does not own it.
void AttachComponent(QObject* holder, TComponent* component);
TComponent* AttachedComponent(const QObject* holder);
