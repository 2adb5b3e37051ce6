#!/bin/sh
# Runs a test program with its databases on the PostgreSQL server named by
# MEMBERDESK_TEST_PG; without one the test is skipped (exit 77).
if [ -z "${MEMBERDESK_TEST_PG:-}" ]; then
  echo "skipped: MEMBERDESK_TEST_PG names no PostgreSQL server (scripts/test.sh starts one)"
  exit 77
fi
MEMBERDESK_TEST_ENGINE=postgresql exec "$@"
