#include "framework/AccessibleFactory.h"

#include <set>

void EnsureAccessibleFactory(QAccessible::InterfaceFactory factory)
{
    static std::set<QAccessible::InterfaceFactory> installed;
    if (installed.insert(factory).second)
        QAccessible::installFactory(factory);
}
