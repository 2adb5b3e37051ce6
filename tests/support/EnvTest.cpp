#include "EnvTest.h"

#include <QtTest>

void EnvTest::init() {
    m_owned = std::make_unique<TestEnv>(m_withDatabase);
    m_env = m_owned.get();
    QVERIFY(m_env->ok());
}

void EnvTest::cleanup() {
    m_env = nullptr;
    m_owned.reset();
}
