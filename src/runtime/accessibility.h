#pragma once

#include <QAccessibleInterface>

#include <functional>

// Controls that describe themselves to assistive technology register a maker
// for their class here; the first registration installs one Qt accessibility
// factory that serves them all. Registering a class twice is harmless.
using AccessibleMaker = std::function<QAccessibleInterface *(QObject *)>;
void registerAccessible(const QString &className, AccessibleMaker maker);

// The text a caption shows: "&" marks an access key and is not shown, "&&"
// shows one ampersand.
QString withoutMnemonics(const QString &caption);
