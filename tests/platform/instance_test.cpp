// One running copy per data home; a copy that crashed leaves a lock that must not block.
#include "platform/drives.h"
#include "platform/instance.h"
#include "support/testenv.h"
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using testenv::EnvTest;

class InstanceTest : public EnvTest {
  protected:
    void TearDown() override { plat::releaseSingleInstance(); }
    QString lockPath() const { return env->home() + "/zelnori.lock"; }
};

TEST_F(InstanceTest, SecondCopyIsRefusedWhileTheFirstRuns) {
    {
        // Another running copy holds the lock.
        QLockFile other(lockPath());
        ASSERT_TRUE(other.tryLock(0));
        EXPECT_FALSE(plat::acquireSingleInstance());
    }
    EXPECT_TRUE(plat::acquireSingleInstance());
    EXPECT_TRUE(plat::acquireSingleInstance()); // asking again changes nothing
    EXPECT_TRUE(QFile::exists(lockPath()));
    QLockFile second(lockPath());
    EXPECT_FALSE(second.tryLock(0));
    plat::releaseSingleInstance();
    EXPECT_FALSE(QFile::exists(lockPath()));
    EXPECT_TRUE(second.tryLock(0));
}

TEST_F(InstanceTest, LockOfACrashedCopyDoesNotBlock) {
    // The lock a live holder writes, with the number of a process that has ended.
    QTemporaryDir scratch;
    QByteArray content;
    {
        QLockFile sample(scratch.path() + "/sample.lock");
        ASSERT_TRUE(sample.tryLock(0));
        QFile f(scratch.path() + "/sample.lock");
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        content = f.readAll();
    }
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ASSERT_GT(child, 0);
    ::waitpid(child, nullptr, 0);
    const qsizetype eol = content.indexOf('\n');
    ASSERT_GT(eol, 0);
    content = QByteArray::number(child) + content.mid(eol);
    testenv::writeFile(lockPath(), content);

    EXPECT_TRUE(plat::acquireSingleInstance());
}

TEST_F(InstanceTest, EachDataHomeHasItsOwnLock) {
    ASSERT_TRUE(plat::acquireSingleInstance());
    QTemporaryDir otherHome;
    QLockFile other(otherHome.path() + "/zelnori.lock");
    EXPECT_TRUE(other.tryLock(0));
}

} // namespace
