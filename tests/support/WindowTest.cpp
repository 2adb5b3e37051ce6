#include "WindowTest.h"

#include <QtTest>

void WindowTest::init() {
    m_owned = std::make_unique<MainWindowDriver>();
    m_d = m_owned.get();
    QVERIFY(m_d->ok());
}

void WindowTest::cleanup() {
    m_d = nullptr;
    m_owned.reset();
}
