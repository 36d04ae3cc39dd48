// A test with a Dovecot of its own, started before each test; its log is printed when the
// test failed.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "support/temp_dir.h"
#include "sync/dovecot_server.h"

class DovecotTest : public testing::Test {
protected:
    void SetUp() override {
        server = std::make_unique<CDovecotServer>(dir.path());
        ASSERT_TRUE(server->Start()) << server->Log();
    }
    void TearDown() override {
        if (HasFailure()) std::fprintf(stderr, "Dovecot's log:\n%s\n", server->Log().c_str());
    }

    TempDir dir;
    std::unique_ptr<CDovecotServer> server;
};
