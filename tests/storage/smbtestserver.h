#pragma once
// The test program's private Samba server, started on first use; a test
// that stops it gets it started again by the next test's SetUp. A server
// that cannot start fails the test (never a skip).
#include "servers/samba_server.h"

#include <gtest/gtest.h>

class SmbTest : public ::testing::Test {
public:
    static SambaServer &Server() { return SambaServer::Shared(); }

protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(Server().start(&error)) << "Samba server: " << error.toStdString();
    }
};
