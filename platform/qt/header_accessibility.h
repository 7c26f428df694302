#pragma once

// What assistive technology learns of the list's header when the keyboard
// is on it: each section as a column header with its title, its sort state
// and a "click" action that sorts as a click does.

class QAccessibleInterface;
class QObject;
class QString;

namespace platform {

QAccessibleInterface* HeaderAccessibilityFactory(const QString& className, QObject* object);

}  // namespace platform
