// The end from outside: a signal runs the handler once, on the event loop, and the program lives on.
#include "platform/session.h"
#include <QCoreApplication>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>

namespace {

TEST(ExternalEnd, SignalsRunTheHandlerOnceOnTheEventLoop) {
    int runs = 0;
    plat::onExternalEnd([&] { ++runs; });
    // Two signals before the loop runs: still one end.
    std::raise(SIGTERM);
    std::raise(SIGINT);
    EXPECT_EQ(runs, 0); // nothing ran inside the signal handler
    EXPECT_TRUE(QTest::qWaitFor([&] { return runs > 0; }, 10000));
    QTest::qWait(50);
    EXPECT_EQ(runs, 1);

    // A new handler: SIGHUP runs it.
    int hups = 0;
    plat::onExternalEnd([&] { ++hups; });
    std::raise(SIGHUP);
    EXPECT_TRUE(QTest::qWaitFor([&] { return hups > 0; }, 10000));
    EXPECT_EQ(hups, 1);
    EXPECT_EQ(runs, 1);
    plat::onExternalEnd([] {}); // leave a harmless handler behind
}

} // namespace
