#pragma once

#include "MainWindowDriver.h"

#include <QObject>

#include <memory>

// Base of a test class whose every test starts on a fresh database with the real main
// window open (MainWindowDriver `m_d`), removed again after the test.
class WindowTest : public QObject {
    Q_OBJECT
protected:
    MainWindowDriver* m_d = nullptr;
    ScriptedPrompt& prompt() { return m_d->prompt(); }

protected slots:
    void init();
    void cleanup();

private:
    std::unique_ptr<MainWindowDriver> m_owned;
};
