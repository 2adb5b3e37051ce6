#pragma once

#include <QLoggingCategory>

// Logging categories of the program. Tests that provoke a logged failure expect it with
// QTest::ignoreMessage; any other warning fails them (see tests/support).
Q_DECLARE_LOGGING_CATEGORY(lcSql)      // rejected statements, failed reads
Q_DECLARE_LOGGING_CATEGORY(lcStartup)  // data folder, database creation and upgrade
Q_DECLARE_LOGGING_CATEGORY(lcPrompt)   // texts shown while no prompt service is installed
Q_DECLARE_LOGGING_CATEGORY(lcUi)       // windows, layout files, exports
