#pragma once

// Stores a property value; tells whether it changed, so that the setter can
// notify or repaint only then.
template <typename T>
bool StoreValue(T& field, const T& value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}
