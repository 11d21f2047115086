#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTest>
#include <functional>

namespace test {

// A control by its object name, as the windows name them.
template <class T>
T* enfant(QObject* parent, const char* nom) {
    T* w = parent->findChild<T*>(QString::fromLatin1(nom));
    if (!w) {
        ADD_FAILURE() << "contrôle introuvable : " << nom;
    }
    return w;
}

// Lets events through until the condition holds (or five seconds pass).
inline bool attendreQue(const std::function<bool()>& condition, int ms = 5000) {
    QElapsedTimer t;
    t.start();
    while (!condition()) {
        if (t.elapsed() > ms) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qSleep(5);
    }
    return true;
}

}  // namespace test
