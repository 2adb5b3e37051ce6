#include "core/Log.h"

Q_LOGGING_CATEGORY(lcSql, "memberdesk.sql")
Q_LOGGING_CATEGORY(lcStartup, "memberdesk.startup")
Q_LOGGING_CATEGORY(lcPrompt, "memberdesk.prompt")
Q_LOGGING_CATEGORY(lcUi, "memberdesk.ui")
