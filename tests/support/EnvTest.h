#pragma once

#include "TestEnv.h"

#include <QObject>

#include <memory>

// Base of a test class whose every test runs in its own fresh TestEnv: created before each
// test (init) and removed after it (cleanup). Derive instead of writing both slots again.
class EnvTest : public QObject {
    Q_OBJECT
public:
    explicit EnvTest(bool withDatabase = true) : m_withDatabase(withDatabase) {}

protected:
    TestEnv* m_env = nullptr;

protected slots:
    void init();
    void cleanup();

private:
    std::unique_ptr<TestEnv> m_owned;
    bool m_withDatabase;
};
