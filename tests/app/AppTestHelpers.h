// Helpers of the application tests: the icon bundle, and the window's parts by object name.
#pragma once

#include <QObject>
#include <QtGlobal>

// The icon bundle sits in a static library: each test program registers it once, as main() does.
inline void registerAppResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    (void)registered;
}

// A named part of the window; a missing name is a broken test, so it stops the program loudly.
template <class T> T *part(const QObject *root, const char *name) {
    T *found = root->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("the window has no %s named %s", T::staticMetaObject.className(), name);
    return found;
}
